// The settings file that stands in for the registry: typed values survive a restart, every
// write is whole or not at all, and a damaged file never stops the program.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "Utf16File.h"
#include "platform/SettingsStore.h"

namespace {

using plat::FileSettingsStore;
using plat::SettingValue;

constexpr const char* kKey = "SOFTWARE\\Trilvo Games\\Velmira Cafe";

SettingValue Dword(uint32_t number)
{
    return {plat::kSettingDword,
            {uint8_t(number), uint8_t(number >> 8), uint8_t(number >> 16), uint8_t(number >> 24)}};
}

SettingValue String(const std::string& text) { return {plat::kSettingString, {text.begin(), text.end()}}; }

std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

TEST(SettingsStore, EveryKindOfValueSurvivesARestart)
{
    fixtures::TempFolder folder("settings_roundtrip");
    const std::vector<std::pair<std::string, SettingValue>> values = {
        {"MusicVolume", Dword(85)},
        {"Largest", Dword(0xFFFFFFFF)},
        {"DemoJumpTime", String("1:02:03")},
        {"Empty", String("")},
        {"Latin1AndControls", String("caf\xe9\r\n\x01")},
        {"Padded", String(" spaced ")},
        {"Blob", {plat::kSettingBinary, {0, 1, 0xFE, 0xFF}}},
        {"ShortDword", {plat::kSettingDword, {7, 0}}},
        {"OtherType", {11, {1, 2, 3, 4, 5, 6, 7, 8}}},
    };
    {
        FileSettingsStore store(folder.File(""));
        for (const auto& [name, value] : values)
            ASSERT_TRUE(store.Write(kKey, name, value)) << name;
    }
    FileSettingsStore restarted(folder.File(""));
    for (const auto& [name, value] : values) {
        std::optional<SettingValue> read = restarted.Read(kKey, name);
        ASSERT_TRUE(read.has_value()) << name;
        EXPECT_EQ(*read, value) << name;
    }
    EXPECT_FALSE(restarted.Read(kKey, "Missing").has_value());
}

TEST(SettingsStore, TheFileIsReadableXmlUnderTheProductsFolder)
{
    fixtures::TempFolder folder("settings_format");
    FileSettingsStore store(folder.File(""));
    ASSERT_TRUE(store.Write(kKey, "MusicVolume", Dword(85)));
    ASSERT_TRUE(store.Write(kKey, "DemoJumpTime", String("1:00")));
    ASSERT_TRUE(store.Write(kKey + std::string("\\Test3D"), "RuntimeError", String("Present: lost")));

    const std::string file = folder.File("Trilvo Games/Velmira Cafe/settings.xml");
    EXPECT_EQ(store.FileFor(kKey), file);
    const std::string text = Contents(file);
    EXPECT_NE(text.find("<value name=\"MusicVolume\" type=\"4\">85</value>"), std::string::npos) << text;
    EXPECT_NE(text.find("<value name=\"DemoJumpTime\" type=\"1\">1:00</value>"), std::string::npos) << text;
    EXPECT_EQ(text.find("RuntimeError"), std::string::npos) << "a subkey has a file of its own";
    EXPECT_NE(Contents(folder.File("Trilvo Games/Velmira Cafe/Test3D/settings.xml")).find("RuntimeError"),
              std::string::npos);
}

TEST(SettingsStore, NamesIgnoreCaseAndEraseRemovesTheValueForGood)
{
    fixtures::TempFolder folder("settings_erase");
    FileSettingsStore store(folder.File(""));
    ASSERT_TRUE(store.Write(kKey, "Is3D", Dword(1)));
    ASSERT_TRUE(store.Write(kKey, "IS3d", Dword(0)));
    EXPECT_EQ(store.Read(kKey, "is3d"), Dword(0));
    EXPECT_TRUE(store.Erase(kKey, "is3D"));
    EXPECT_TRUE(store.Erase(kKey, "is3D")) << "nothing left to erase is no failure";
    EXPECT_FALSE(FileSettingsStore(folder.File("")).Read(kKey, "Is3D").has_value());
}

TEST(SettingsStore, KeyPathsCannotLeaveTheSettingsFolder)
{
    fixtures::TempFolder folder("settings_paths");
    FileSettingsStore store(folder.File(""));
    for (const char* key : {"SOFTWARE\\..\\..\\etc", "SOFTWARE\\Maker\\.", "SOFTWARE\\", "SOFTWARE\\a\\\\b",
                            "SOFTWARE\\a/b"}) {
        EXPECT_EQ(store.FileFor(key), "") << key;
        EXPECT_FALSE(store.Write(key, "Value", Dword(1))) << key;
        EXPECT_FALSE(store.Read(key, "Value").has_value()) << key;
    }
    EXPECT_FALSE(store.Write(kKey, "", Dword(1))) << "a value needs a name";
}

TEST(SettingsStore, ABatchStoresEachChangedFileOnceAtItsOutermostEnd)
{
    fixtures::TempFolder folder("settings_batch");
    const std::string other = std::string(kKey) + "\\Test3D";
    FileSettingsStore store(folder.File(""));
    ASSERT_TRUE(store.Write(kKey, "Muted", Dword(1)));
    auto onDisk = [&](std::string_view key, const char* name) { return FileSettingsStore(folder.File("")).Read(key, name); };

    store.BeginBatch();
    store.BeginBatch();
    EXPECT_TRUE(store.Write(kKey, "SfxVolume", Dword(40)));
    EXPECT_TRUE(store.Erase(kKey, "Muted"));
    EXPECT_TRUE(store.Write(other, "Failure", String("")));
    EXPECT_EQ(store.Read(kKey, "SfxVolume"), Dword(40)) << "the batch reads its own changes";
    EXPECT_TRUE(store.EndBatch());
    EXPECT_FALSE(onDisk(kKey, "SfxVolume").has_value()) << "an inner end stores nothing";
    EXPECT_EQ(onDisk(kKey, "Muted"), Dword(1));

    EXPECT_TRUE(store.EndBatch());
    EXPECT_EQ(onDisk(kKey, "SfxVolume"), Dword(40));
    EXPECT_FALSE(onDisk(kKey, "Muted").has_value());
    EXPECT_EQ(onDisk(other, "Failure"), String(""));
    EXPECT_TRUE(store.Write(kKey, "SfxVolume", Dword(41)));
    EXPECT_EQ(onDisk(kKey, "SfxVolume"), Dword(41)) << "after the batch each write is stored at once";
}

TEST(SettingsStore, AWriteCutOffByACrashLeavesThePreviousValues)
{
    fixtures::TempFolder folder("settings_crash");
    {
        FileSettingsStore store(folder.File(""));
        ASSERT_TRUE(store.Write(kKey, "SfxVolume", Dword(40)));
    }
    // What a crash half-way through the next write leaves behind.
    const std::string file = FileSettingsStore(folder.File("")).FileFor(kKey);
    WriteFile(file + ".1.tmp", "<?xml version=\"1.0\"?>\n<settings>\n  <value name=\"SfxVol");

    FileSettingsStore restarted(folder.File(""));
    EXPECT_EQ(restarted.Read(kKey, "SfxVolume"), Dword(40));
    ASSERT_TRUE(restarted.Write(kKey, "MusicVolume", Dword(50)));
    EXPECT_EQ(FileSettingsStore(folder.File("")).Read(kKey, "SfxVolume"), Dword(40));
}

TEST(SettingsStore, ADamagedFileIsSetAsideWithAWarningAndDefaultsApply)
{
    fixtures::TempFolder folder("settings_damaged");
    const std::string file = FileSettingsStore(folder.File("")).FileFor(kKey);
    const std::string damaged = "<settings><value name=\"MusicVolume\" type=\"4\">8";
    WriteFile(file, damaged);

    FileSettingsStore store(folder.File(""));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(store.Read(kKey, "MusicVolume").has_value());
    const std::string output = testing::internal::GetCapturedStderr();
    EXPECT_EQ(output.rfind("WARNING: ", 0), 0u) << output;
    EXPECT_EQ(Contents(file + ".bad"), damaged) << "the player's file is kept";

    ASSERT_TRUE(store.Write(kKey, "SfxVolume", Dword(30)));
    EXPECT_EQ(FileSettingsStore(folder.File("")).Read(kKey, "SfxVolume"), Dword(30));
}

TEST(SettingsStore, AValueThatCannotBeReadIsSkippedAndTheRestKept)
{
    fixtures::TempFolder folder("settings_badvalue");
    const std::string file = FileSettingsStore(folder.File("")).FileFor(kKey);
    WriteFile(file, "<settings>"
                    "<value name=\"PreferredX\" type=\"4\">-5</value>"
                    "<value name=\"Blob\" type=\"3\">abc</value>"
                    "<value name=\"NoType\">1</value>"
                    "<value name=\"PreferredY\" type=\"4\">20</value>"
                    "</settings>");
    FileSettingsStore store(folder.File(""));
    testing::internal::CaptureStderr();
    EXPECT_EQ(store.Read(kKey, "PreferredY"), Dword(20));
    const std::string output = testing::internal::GetCapturedStderr();
    for (const char* name : {"PreferredX", "Blob", "NoType"}) {
        EXPECT_FALSE(store.Read(kKey, name).has_value()) << name;
        EXPECT_NE(output.find(name), std::string::npos) << output;
    }
}

TEST(SettingsStore, WhatIsNotAFileAtThePathIsLeftAloneAndNeverWaitedFor)
{
    fixtures::TempFolder folder("settings_notafile");
    const std::string file = FileSettingsStore(folder.File("")).FileFor(kKey);
    struct Case {
        const char* what;
        bool (*make)(const std::string& path);
        bool (*stillThere)(const std::string& path);
    };
    for (const Case& c : {
             Case{"a folder", [](const std::string& path) { return std::filesystem::create_directories(path); },
                  [](const std::string& path) { return std::filesystem::is_directory(path); }},
             Case{"a FIFO", [](const std::string& path) { return ::mkfifo(path.c_str(), 0644) == 0; },
                  [](const std::string& path) { return std::filesystem::is_fifo(path); }},
         }) {
        std::filesystem::remove_all(std::filesystem::path(file).parent_path());
        std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        ASSERT_TRUE(c.make(file)) << c.what;

        FileSettingsStore store(folder.File(""));
        testing::internal::CaptureStderr();
        EXPECT_FALSE(store.Read(kKey, "MusicVolume").has_value()) << c.what;
        const std::string output = testing::internal::GetCapturedStderr();
        EXPECT_EQ(output.rfind("WARNING: ", 0), 0u) << c.what << ": " << output;
        EXPECT_FALSE(store.Write(kKey, "MusicVolume", Dword(50))) << c.what;
        EXPECT_TRUE(c.stillThere(file)) << c.what;
        EXPECT_FALSE(std::filesystem::exists(file + ".bad")) << c.what;
    }
}

// Runs the store's work where a file of mode 000 cannot be read: as ourselves, or, for root, in a
// child that has become "nobody" (the folder is given to it first).
void AsAUserWhoCannotReadIt(const std::string& folder, void (*work)(const std::string& root))
{
    if (::geteuid() != 0) {
        work(folder);
        return;
    }
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        ASSERT_EQ(::chown(entry.path().c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
    pid_t child = fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            _exit(2);
        work(folder);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST(SettingsStore, AFileThatCannotBeOpenedIsSetAsideNotOverwritten)
{
    fixtures::TempFolder folder("settings_mode000");
    const std::string file = FileSettingsStore(folder.File("")).FileFor(kKey);
    const std::string mine = "<settings><value name=\"MusicVolume\" type=\"4\">85</value></settings>";
    WriteFile(file, mine);
    std::filesystem::permissions(file, std::filesystem::perms::none);

    AsAUserWhoCannotReadIt(folder.File(""), [](const std::string& root) {
        FileSettingsStore store(root);
        store.Read(kKey, "MusicVolume");
        store.Write(kKey, "SfxVolume", Dword(30));
    });

    std::filesystem::permissions(file + ".bad", std::filesystem::perms::owner_read);
    EXPECT_EQ(Contents(file + ".bad"), mine) << "the player's file is kept";
    FileSettingsStore restarted(folder.File(""));
    EXPECT_EQ(restarted.Read(kKey, "SfxVolume"), Dword(30));
    EXPECT_FALSE(restarted.Read(kKey, "MusicVolume").has_value());
}

TEST(SettingsStore, TemporaryFilesOfWritersThatAreGoneAreRemoved)
{
    fixtures::TempFolder folder("settings_stale");
    const std::string file = FileSettingsStore(folder.File("")).FileFor(kKey);
    pid_t gone = fork();
    if (gone == 0)
        _exit(0);
    ASSERT_EQ(waitpid(gone, nullptr, 0), gone);
    const std::string stale = file + "." + std::to_string(gone) + ".tmp";
    const std::string writing = file + "." + std::to_string(::getppid()) + ".tmp";
    const std::string other = file + ".notes.tmp";
    for (const std::string& path : {stale, writing, other})
        WriteFile(path, "<settings>");

    EXPECT_FALSE(FileSettingsStore(folder.File("")).Read(kKey, "MusicVolume").has_value());
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(writing)) << "its writer still runs";
    EXPECT_TRUE(std::filesystem::exists(other));
}

} // namespace
