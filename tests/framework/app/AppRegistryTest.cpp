// The application object's settings: what a run leaves for the next one, the typed wrappers,
// and the recorded results a demo plays back in place of the store.
#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <fstream>
#include <map>

#include "framework/app/AppTestSupport.h"
#include "framework/app/NubraAppBase.h"
#include "Utf16File.h"
#include "framework/util/Buffer.h"
#include "framework/util/DemoChannel.h"
#include "platform/SettingsStore.h"

namespace {

using plat::SettingValue;

const std::string kKey = apptest::UniqueProduct("Registry Tests\\Product");
const std::string kKeyPath = "SOFTWARE\\" + kKey;

// Every run of the program starts with a fresh store that reads the files again.
class SettingsFolder {
public:
    SettingsFolder() : folder_("app_registry") { Restart(); }
    ~SettingsFolder() { plat::SetSettingsStore(nullptr); }

    plat::FileSettingsStore& Restart()
    {
        store_ = std::make_unique<plat::FileSettingsStore>(folder_.File(""));
        plat::SetSettingsStore(store_.get());
        return *store_;
    }
    plat::FileSettingsStore& Store() { return *store_; }

private:
    fixtures::TempFolder folder_;
    std::unique_ptr<plat::FileSettingsStore> store_;
};

// Values in memory, counting what reaches them.
class MemoryStore : public plat::ISettingsStore {
public:
    MemoryStore() { plat::SetSettingsStore(this); }
    ~MemoryStore() override { plat::SetSettingsStore(nullptr); }

    std::optional<SettingValue> Read(std::string_view keyPath, std::string_view name) override
    {
        ++reads;
        auto found = values.find(std::string(keyPath) + "|" + std::string(name));
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
    bool Write(std::string_view keyPath, std::string_view name, const SettingValue& value) override
    {
        ++writes;
        batchedWrites += batchDepth > 0;
        values[std::string(keyPath) + "|" + std::string(name)] = value;
        return true;
    }
    bool Erase(std::string_view keyPath, std::string_view name) override
    {
        ++erases;
        return values.erase(std::string(keyPath) + "|" + std::string(name)), true;
    }

    void BeginBatch() override { ++batchDepth; }
    bool EndBatch() override { return --batchDepth, true; }

    std::map<std::string, SettingValue> values;
    int reads = 0, writes = 0, erases = 0, batchedWrites = 0, batchDepth = 0;
};

class SettingsApp : public Nubra::NubraAppBase {
public:
    SettingsApp() { registryKey = kKey; }
};

TEST(AppRegistry, SettingsWrittenAtTheEndOfARunAreTheNextRunsStart)
{
    SettingsFolder settings;
    {
        SettingsApp run;
        run.ReadFromRegistry();
        run.musicVolume = 0.57;
        run.sfxVolume = 0.29;
        run.Mute(false);
        run.Mute(true); // focus loss: not the player's choice
        run.preferredX = 120;
        run.preferredY = 48;
        run.customCursors = true;
        run.waitForVSync = true;
        run.windowed = true;
        run.WriteToRegistry();
    }
    settings.Restart();
    SettingsApp next;
    next.ReadFromRegistry();
    EXPECT_DOUBLE_EQ(next.musicVolume, 0.57);
    EXPECT_DOUBLE_EQ(next.sfxVolume, 0.29);
    EXPECT_EQ(next.muteCount, 1);
    EXPECT_EQ(next.preferredX, 120);
    EXPECT_EQ(next.preferredY, 48);
    EXPECT_TRUE(next.customCursors);
    EXPECT_TRUE(next.waitForVSync);
    EXPECT_TRUE(next.lastRunClean);
    int32_t screenMode = -1;
    EXPECT_TRUE(next.RegistryReadInteger("ScreenMode", &screenMode));
    EXPECT_EQ(screenMode, 0) << "windowed";
}

// Ends its run at the first frame.
class ShortRun : public SettingsApp {
public:
    ShortRun() { productName = apptest::UniqueProduct("ShortRun"); }
    bool ChangeDirHook(const std::string&) override { return true; }
    void UpdateFrames() override
    {
        NubraAppBase::UpdateFrames();
        Shutdown();
    }
};

TEST(AppRegistry, TheEndOfARunStoresItsSettingsInBatches)
{
    MemoryStore store;
    ShortRun run;
    run.Init();
    const int before = store.writes;
    run.Start();
    EXPECT_GE(store.batchedWrites, 9);
    EXPECT_EQ(store.batchedWrites, store.writes - before);
    EXPECT_EQ(store.batchDepth, 0);
}

TEST(AppRegistry, VolumesKeepTheirPercentageRunAfterRun)
{
    MemoryStore store;
    struct Case {
        double volume;
        int32_t stored;
        double readBack;
    };
    for (const Case& c : {Case{1.0, 100, 1.0}, Case{0.855, 85, 0.85}, Case{0.57, 57, 0.57}, Case{0.58, 58, 0.58},
                          Case{0.29, 29, 0.29}, Case{0.0, 0, 0.0}}) {
        double volume = c.volume;
        for (int run = 0; run < 10; ++run) {
            SettingsApp app;
            app.musicVolume = volume;
            app.WriteToRegistry();
            int32_t stored = -1;
            ASSERT_TRUE(app.RegistryReadInteger("MusicVolume", &stored));
            EXPECT_EQ(stored, c.stored) << c.volume << " run " << run;
            app.ReadFromRegistry();
            volume = app.musicVolume;
        }
        EXPECT_DOUBLE_EQ(volume, c.readBack) << c.volume;
    }
}

TEST(AppRegistry, AnOutOfRangeVolumeIsHeldToFull)
{
    MemoryStore store;
    SettingsApp app;
    app.RegistryWriteInteger("SfxVolume", 5000);
    app.RegistryWriteInteger("MusicVolume", -20);
    app.ReadFromRegistry();
    EXPECT_EQ(app.sfxVolume, 1.0);
    EXPECT_EQ(app.musicVolume, 0.0);
}

TEST(AppRegistry, ARunThatCrashesLeavesItsMarkForTheNext)
{
    // Forked as it stands, so that the crashing run writes into this test's folder.
    testing::GTEST_FLAG(death_test_style) = "fast";
    SettingsFolder settings;
    EXPECT_DEATH(
        {
            SettingsApp crashing;
            crashing.ReadFromRegistry();
            std::abort();
        },
        "");
    settings.Restart();
    {
        SettingsApp next;
        next.ReadFromRegistry();
        EXPECT_FALSE(next.lastRunClean);
        next.WriteToRegistry();
    }
    settings.Restart();
    SettingsApp after;
    after.ReadFromRegistry();
    EXPECT_TRUE(after.lastRunClean);
}

TEST(AppRegistry, ASubkeyInTheNameGoesUnderTheApplicationsKey)
{
    SettingsFolder settings;
    SettingsApp app;
    ASSERT_TRUE(app.RegistryWriteString("Test3D\\RuntimeError", "EndScene: lost"));
    EXPECT_EQ(settings.Store().Read(kKeyPath + "\\Test3D", "RuntimeError"),
              (SettingValue{plat::kSettingString, {'E', 'n', 'd', 'S', 'c', 'e', 'n', 'e', ':', ' ', 'l', 'o', 's', 't'}}));
    EXPECT_FALSE(settings.Store().Read(kKeyPath, "RuntimeError").has_value());

    uint8_t text[32] = {};
    uint32_t type = 0, size = sizeof(text);
    ASSERT_TRUE(app.RegistryRead("Test3D\\RuntimeError", &type, text, &size));
    EXPECT_EQ(type, uint32_t(plat::kSettingString));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(text), size), "EndScene: lost");
}

TEST(AppRegistry, ValuesOfTheWrongTypeOrSizeAreIgnored)
{
    SettingsFolder settings;
    SettingsApp app;
    app.RegistryWriteString("PreferredX", "200");
    const uint8_t shortNumber[2] = {5, 0};
    app.RegistryWrite("PreferredY", plat::kSettingDword, shortNumber, 2);
    app.ReadFromRegistry();
    EXPECT_EQ(app.preferredX, -1);
    EXPECT_EQ(app.preferredY, -1);

    uint8_t small[2] = {9, 9};
    uint32_t type = 77, size = sizeof(small);
    EXPECT_FALSE(app.RegistryRead("PreferredX", &type, small, &size)) << "three characters do not fit in two";
    EXPECT_EQ(type, 77u);
    EXPECT_EQ(size, 2u);
    EXPECT_EQ(small[0], 9);

    ASSERT_TRUE(app.RegistryWriteBoolean("Is3D", true));
    bool is3D = false;
    EXPECT_TRUE(app.RegistryReadBoolean("Is3D", &is3D));
    EXPECT_TRUE(is3D);
    EXPECT_TRUE(app.RegistryEraseValue("Is3D"));
    EXPECT_FALSE(app.RegistryReadBoolean("Is3D", &is3D));
}

TEST(AppRegistry, WithoutARegistryKeyNothingIsReadOrWritten)
{
    MemoryStore store;
    {
        Nubra::NubraAppBase app;
        int32_t number = 0;
        bool flag = false;
        uint8_t byte = 0;
        uint32_t type = 0, size = 1;
        EXPECT_FALSE(app.RegistryWriteInteger("MusicVolume", 1));
        EXPECT_FALSE(app.RegistryWriteString("DemoJumpTime", "1:00"));
        EXPECT_FALSE(app.RegistryReadInteger("MusicVolume", &number));
        EXPECT_FALSE(app.RegistryReadBoolean("Is3D", &flag));
        EXPECT_FALSE(app.RegistryRead("Muted", &type, &byte, &size));
        EXPECT_FALSE(app.RegistryEraseValue("Is3D"));
        app.ReadFromRegistry();
        app.WriteToRegistry();
        EXPECT_TRUE(app.registryRead);
        EXPECT_EQ(store.reads + store.writes + store.erases, 0);

        // The string table may give the key after all.
        app.SetString("RegistryKey", L"Maker\\From Strings");
        app.ReadFromRegistry();
        EXPECT_EQ(app.registryKey, "Maker\\From Strings");
    }
    EXPECT_GT(store.reads, 0) << "once the string table named a key";
}

// A demo stream kept as one buffer per event.
class FakeDemo : public Nubra::DemoChannel {
public:
    bool IsRecording() const override { return recording; }
    bool IsPlaying() const override { return playing; }
    Nubra::Buffer& BeginEvent(int command) override
    {
        events.push_back({command, {}});
        return events.back().second;
    }
    Nubra::Buffer* DueEvent(int command) override
    {
        if (events.empty() || events.front().first != command)
            return nullptr;
        return &events.front().second;
    }
    void ConsumeEvent() override { events.pop_front(); }

    bool recording = false;
    bool playing = false;
    std::deque<std::pair<int, Nubra::Buffer>> events;
};

class DemoScope {
public:
    explicit DemoScope(FakeDemo* demo) { Nubra::SetDemoChannel(demo); }
    ~DemoScope() { Nubra::SetDemoChannel(nullptr); }
};

TEST(AppRegistry, APlayedDemoSeesTheRecordedSettingsWhateverTheStoreHolds)
{
    SettingsFolder settings;
    FakeDemo demo;
    DemoScope scope(&demo);
    fixtures::TempFolder files("app_registry_files");
    const std::string file = files.File("level.xml");
    {
        std::ofstream(file) << "<level/>";
    }

    demo.recording = true;
    std::string jump = "0:30";
    bool flag = true;
    {
        SettingsApp recorded;
        recorded.RegistryWriteInteger("MusicVolume", 40);
        recorded.ReadFromRegistry();
        EXPECT_DOUBLE_EQ(recorded.musicVolume, 0.4);
        Nubra::Buffer contents;
        EXPECT_TRUE(recorded.ReadBufferFromFile(file, &contents));
        EXPECT_FALSE(recorded.ReadBufferFromFile(files.File("missing.xml"), &contents));
        recorded.DemoSyncString(&jump);
        recorded.DemoSyncBool(&flag);
    }

    // The settings are gone, the level file too: playback must not notice.
    settings.Store().Erase(kKeyPath, "MusicVolume");
    std::remove(file.c_str());
    demo.recording = false;
    demo.playing = true;
    for (auto& event : demo.events)
        event.second.SeekFront();
    SettingsApp played;
    EXPECT_TRUE(played.RegistryWriteInteger("MusicVolume", 40));
    played.ReadFromRegistry();
    EXPECT_DOUBLE_EQ(played.musicVolume, 0.4);
    Nubra::Buffer contents;
    EXPECT_TRUE(played.ReadBufferFromFile(file, &contents));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(contents.GetDataPtr()), contents.GetDataLen()), "<level/>");
    EXPECT_FALSE(played.ReadBufferFromFile(files.File("missing.xml"), &contents));
    std::string playedJump = "other";
    bool playedFlag = false;
    played.DemoSyncString(&playedJump);
    played.DemoSyncBool(&playedFlag);
    EXPECT_EQ(playedJump, "0:30");
    EXPECT_TRUE(playedFlag);
    while (!demo.events.empty() && demo.events.front().first == Nubra::kDemoRegistryWrite)
        demo.ConsumeEvent(); // the destructor's writes
    EXPECT_TRUE(demo.events.empty());
}

TEST(AppRegistry, ARecordedValueLargerThanTheBufferIsRefused)
{
    FakeDemo demo;
    demo.playing = true;
    DemoScope scope(&demo);
    Nubra::Buffer& event = demo.BeginEvent(Nubra::kDemoRegistryRead);
    event.WriteNumBits(1, 1);
    event.WriteNumBits(plat::kSettingDword, 32);
    event.WriteNumBits(64, 32);
    const std::vector<uint8_t> payload(64, 0xAB);
    event.WriteBytes(payload.data(), payload.size());
    // And one whose data the recording does not even hold.
    Nubra::Buffer& cut = demo.BeginEvent(Nubra::kDemoRegistryRead);
    cut.WriteNumBits(1, 1);
    cut.WriteNumBits(plat::kSettingDword, 32);
    cut.WriteNumBits(4, 32);

    SettingsApp app;
    uint8_t buffer[4] = {1, 2, 3, 4};
    uint32_t type = 0, size = sizeof(buffer);
    EXPECT_FALSE(app.RegistryRead("MusicVolume", &type, buffer, &size));
    EXPECT_EQ(buffer[0], 1);
    EXPECT_EQ(size, 4u);
    EXPECT_FALSE(app.RegistryRead("MusicVolume", &type, buffer, &size));
    EXPECT_EQ(buffer[3], 4);
    EXPECT_TRUE(demo.events.empty()) << "both were consumed";
    demo.playing = false;
}

} // namespace
