#pragma once
#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "SimFixtures.h"
#include "engine/core/EffectFile.h"
#include "engine/ui/AnmFile.h"
#include "game/sim/TCItemList.h"

namespace simtest {

// A clip of `frames` frames of 10x20 pixels side by side on its sheet, at 10 frames a second.
inline AnmClip MakeClip(const std::string& name, int frames = 2, int loop = AnmClip::Looped,
                        const std::string& sheet = "gfx\\sheet.png")
{
    AnmClip clip;
    clip.file = sheet;
    clip.name = name;
    clip.width = 10;
    clip.loop = loop;
    clip.fps = frames > 1 ? 10 : 0;
    for (int i = 0; i < frames; ++i)
        clip.frames.push_back({10 * i, 0, 10, 20, 0, 0});
    return clip;
}

// A scratch working folder with animation files and an effect file, the developer log captured,
// and the run's item list emptied afterwards.
class ItemWorld : public ::testing::Test {
protected:
    void SetUp() override
    {
        home_ = std::filesystem::current_path();
        folder_ = home_ / ("item_world_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_ / "anm");
        std::filesystem::create_directories(folder_ / "cfg");
        std::filesystem::create_directories(folder_ / "gfx");
        std::filesystem::current_path(folder_);
        WriteText("cfg/effect.xml", Effects());
        ASSERT_TRUE(LoadEffects());
    }
    void TearDown() override
    {
        GetItemList().DestroyAll();
        ReleaseEffects();
        std::filesystem::current_path(home_);
        std::filesystem::remove_all(folder_);
    }
    // The effect file's "effect" elements.
    virtual std::string Effects() const { return "<effects/>"; }

    static void WriteText(const std::string& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }
    static void WriteAnimation(const std::string& part, const std::vector<AnmClip>& clips)
    {
        const std::vector<uint8_t> bytes = WriteAnm(clips);
        std::ofstream("anm/" + part + ".anm", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    // The objects of a scene given as the inside of its "objects" element.
    static void CreateScene(const std::string& objects)
    {
        pugi::xml_document scene;
        ASSERT_TRUE(scene.load_string(("<root><objects>" + objects + "</objects></root>").c_str()));
        GetItemList().CreateObjects(scene.child("root"));
    }
    static void ApplyLevel(const std::string& objects)
    {
        pugi::xml_document level;
        ASSERT_TRUE(level.load_string(("<level><objects>" + objects + "</objects></level>").c_str()));
        GetItemList().ApplyLevel(level.child("level"));
    }

    LogCapture log_;
    ClockGuard clock_;
    std::filesystem::path home_, folder_;
};

} // namespace simtest
