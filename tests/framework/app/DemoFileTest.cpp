// Demo files: what a file keeps, the reasons a file is refused, the numbered files of the demo
// folder, and the marker list built from a file's jump points.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "framework/app/DemoFile.h"
#include "framework/app/DemoStream.h"
#include "framework/app/JumpListDialog.h"
#include "Utf16File.h"
#include "framework/app/WindowTestApp.h"

namespace {

using Nubra::Buffer;
using Nubra::DemoJumpPoint;
using Nubra::DemoRecording;
using Bytes = std::vector<uint8_t>;

const std::string kVersion = "1.0";

void PutLong(Bytes& bytes, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(uint8_t(value >> (8 * i)));
}

void PutString(Bytes& bytes, const std::string& text, size_t length)
{
    bytes.push_back(uint8_t(length));
    bytes.push_back(uint8_t(length >> 8));
    bytes.insert(bytes.end(), text.begin(), text.end());
}

// A file put together field by field.
struct FileBuilder {
    uint32_t magic = Nubra::kDemoMagic;
    uint32_t format = 2;
    std::string version = kVersion;
    size_t versionLength = 3;
    Bytes jumpBlock{0, 0, 0, 0};
    uint32_t jumpBlockSize = 4;
    Bytes stream{0xAB};

    Bytes Build() const
    {
        Bytes bytes;
        PutLong(bytes, magic);
        PutLong(bytes, format);
        PutLong(bytes, 1234);
        PutString(bytes, version, versionLength);
        if (format >= 2) {
            PutLong(bytes, jumpBlockSize);
            bytes.insert(bytes.end(), jumpBlock.begin(), jumpBlock.end());
        }
        PutLong(bytes, 77);
        bytes.insert(bytes.end(), stream.begin(), stream.end());
        return bytes;
    }
};

bool Parse(const Bytes& bytes, DemoRecording* recording, std::string* error)
{
    return Nubra::ParseDemoFile(bytes, kVersion, recording, error);
}

TEST(DemoFile, WhatIsSavedLoadsBackTheSame)
{
    fixtures::TempFolder folder("demo_file");
    const std::vector<DemoJumpPoint> points = {{"kitchen", 120}, {"", 4000}};
    Buffer stream;
    for (int i = 0; i < 30; ++i)
        stream.WriteNumBits(uint32_t(i * 7), 9);
    const std::string path = folder.File("1.dmo");
    ASSERT_TRUE(Nubra::SaveDemoFile(path.c_str(), 0xCAFEF00D, kVersion, Nubra::JumpPointBlock(points), 9000, stream));

    DemoRecording loaded;
    std::string error;
    ASSERT_TRUE(Nubra::LoadDemoFile(path, kVersion, &loaded, &error)) << error;
    EXPECT_EQ(loaded.seed, 0xCAFEF00Du);
    EXPECT_EQ(loaded.version, kVersion);
    ASSERT_EQ(loaded.jumpPoints.size(), 2u);
    EXPECT_EQ(loaded.jumpPoints[0].name, "kitchen");
    EXPECT_EQ(loaded.jumpPoints[0].update, 120u);
    EXPECT_EQ(loaded.jumpPoints[1].update, 4000u);
    EXPECT_EQ(loaded.length, 9000u);
    ASSERT_EQ(loaded.stream.GetDataLen(), stream.GetDataLen());
    EXPECT_TRUE(std::equal(stream.GetDataPtr(), stream.GetDataPtr() + stream.GetDataLen(), loaded.stream.GetDataPtr()));
    EXPECT_EQ(loaded.stream.GetReadPos(), 0u);
}

TEST(DemoFile, AVersionOneFileHasNoJumpPoints)
{
    FileBuilder file;
    file.format = 1;
    DemoRecording loaded;
    std::string error;
    ASSERT_TRUE(Parse(file.Build(), &loaded, &error)) << error;
    EXPECT_TRUE(loaded.jumpPoints.empty());
    EXPECT_EQ(loaded.length, 77u);
    EXPECT_EQ(loaded.stream.GetDataLen(), 1u);
}

TEST(DemoFile, ALongVersionIsSkippedPastSoTheFieldsAfterItStillRead)
{
    FileBuilder file;
    file.version = std::string(300, 'v');
    file.versionLength = 300;
    DemoRecording loaded;
    std::string error;
    ASSERT_TRUE(Nubra::ParseDemoFile(file.Build(), std::string(300, 'v'), &loaded, &error)) << error;
    EXPECT_EQ(loaded.version, std::string(255, 'v'));
    EXPECT_EQ(loaded.length, 77u);
}

TEST(DemoFile, RefusedFilesSayWhy)
{
    const std::string invalid = "Invalid demo file.";
    struct Case {
        const char* what;
        void (*spoil)(FileBuilder&);
        std::string error;
    };
    const Case cases[] = {
        {"bad magic", [](FileBuilder& f) { f.magic = 0x42BEEF79; }, invalid},
        {"another version", [](FileBuilder& f) { f.version = "0.9"; },
         "This demo file appears to be for '0.9'"},
        {"a version longer than the file", [](FileBuilder& f) { f.versionLength = 200; }, invalid},
        {"an empty stream", [](FileBuilder& f) { f.stream.clear(); }, invalid},
        {"a jump block as large as the rest", [](FileBuilder& f) { f.jumpBlockSize = 9; }, invalid},
        {"fewer jump points than counted", [](FileBuilder& f) { f.jumpBlock = {2, 0, 0, 0, 1, 0, 'a', 5, 0, 0, 0};
                                                             f.jumpBlockSize = 11; }, invalid},
        {"a jump point cut short", [](FileBuilder& f) { f.jumpBlock = {1, 0, 0, 0, 9, 0, 'a'};
                                                      f.jumpBlockSize = 7; }, invalid},
    };
    for (const Case& c : cases) {
        FileBuilder file;
        c.spoil(file);
        DemoRecording loaded;
        std::string error;
        EXPECT_FALSE(Parse(file.Build(), &loaded, &error)) << c.what;
        EXPECT_EQ(error, c.error) << c.what;
    }
    const Bytes whole = FileBuilder().Build();
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        DemoRecording loaded;
        std::string error;
        EXPECT_FALSE(Parse(Bytes(whole.begin(), whole.begin() + long(cut)), &loaded, &error)) << cut;
    }

    DemoRecording loaded;
    std::string error;
    EXPECT_FALSE(Nubra::LoadDemoFile("/nonexistent/7.dmo", kVersion, &loaded, &error));
    EXPECT_EQ(error, "Demo file not found: /nonexistent/7.dmo");
}

TEST(DemoFile, TheScanFindsTheHighestNumberAndMakesRoomByDeletingTheLowest)
{
    fixtures::TempFolder folder("demo_scan");
    for (const char* name : {"3.dmo", "7.dmo", "x.dmo", "-1.dmo", "12.txt"})
        std::ofstream(folder.File(name)) << "";
    const std::string root = folder.File("");
    EXPECT_EQ(Nubra::ScanDemoFiles(root, 3, true), 7) << "two numbers are below the limit of 3";
    EXPECT_TRUE(std::filesystem::exists(folder.File("3.dmo")));
    EXPECT_EQ(Nubra::ScanDemoFiles(root, 2, true), 7);
    EXPECT_FALSE(std::filesystem::exists(folder.File("3.dmo")));
    EXPECT_TRUE(std::filesystem::exists(folder.File("7.dmo")));
    EXPECT_TRUE(std::filesystem::exists(folder.File("x.dmo")));
    EXPECT_EQ(Nubra::ScanDemoFiles(folder.File("none/"), 2, true), 0);
}

TEST(JumpList, RowsShowTheTimeLeftToTheEndAndOnlyPointsAhead)
{
    const std::vector<DemoJumpPoint> points = {
        {"passed", 100}, {"now", 500}, {"one minute", 3'604'000 - 6000}, {"ten hours", 4000}};
    const std::vector<Nubra::JumpListItem> items = Nubra::JumpListItems(points, 500, 3'604'000, 10);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].text, "one minute (00:01:00)");
    EXPECT_EQ(items[0].update, 3'598'000u);
    EXPECT_EQ(items[1].text, "ten hours (10:00:00)");
}

TEST(JumpList, ADoubleClickJumpsToTheSelectedPointAndWithoutOneTheListStays)
{
    apptest::WindowApp app("JumpList");
    app.playingDemo = true;
    app.demoLength = 1000;
    app.demoJumpPoints = {{"a", 300}, {"b", 600}};
    Nubra::DoJumpListDialog();
    auto* list = static_cast<Nubra::JumpListDialog*>(app.GetDialog(Nubra::JumpListDialog::kDialogId));
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(app.demoMarkerListOpen);
    EXPECT_TRUE(app.paused) << "playback waits while the list is open";

    list->MouseDown(40, 5, 1, 2); // above the rows
    EXPECT_EQ(app.GetDialog(Nubra::JumpListDialog::kDialogId), list);
    EXPECT_EQ(app.demoJumpTarget, 0u);

    list->selected = 1;
    EXPECT_TRUE(list->JumpToSelected());
    EXPECT_EQ(app.demoJumpTarget, 600u);
    EXPECT_EQ(app.GetDialog(Nubra::JumpListDialog::kDialogId), nullptr);
    app.ProcessSafeDeleteWidgets();
    EXPECT_FALSE(app.demoMarkerListOpen);
    EXPECT_FALSE(app.paused);
}

// The fuzzing script runs this with NUBRA_FUZZ_SEEDS set to make the demo reader's seed corpus.
TEST(FuzzSeeds, WriteTheDemoCorpus)
{
    const char* root = std::getenv("NUBRA_FUZZ_SEEDS");
    if (!root)
        GTEST_SKIP() << "NUBRA_FUZZ_SEEDS is not set";
    const std::filesystem::path folder = std::filesystem::path(root) / "demo";
    std::filesystem::create_directories(folder);
    uint32_t updates = 0;
    Nubra::DemoStream recorder(updates);
    recorder.StartRecording();
    recorder.Write({false, Nubra::kDemoScreenSettings, {1, 60}});
    recorder.BeginEvent(Nubra::kDemoRegistryRead).WriteNumBits(0, 1);
    updates = 3;
    recorder.Write({false, Nubra::kDemoMouseAt, {100, 200}});
    recorder.Write({true, Nubra::kDemoMouseButton, {1, 1}});
    updates = 40;
    recorder.Write({true, Nubra::kDemoMouseStep, {-5, 7}});
    recorder.Write({false, Nubra::kDemoChar, {0x263A, 0}});
    recorder.Write({false, Nubra::kDemoClose, {}});
    const Buffer points = Nubra::JumpPointBlock({{"start", 1}, {"end", 40}});
    ASSERT_TRUE(Nubra::SaveDemoFile((folder / "seed0").c_str(), 7, kVersion, points, 41, recorder.Data()));
    FileBuilder version1;
    version1.format = 1;
    const Bytes bytes = version1.Build();
    std::ofstream(folder / "seed1", std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
}

} // namespace
