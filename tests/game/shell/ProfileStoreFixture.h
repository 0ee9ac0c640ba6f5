#pragma once
// A profile store over a file of its own in a fresh folder, with texts and a settings target
// that record what they were asked.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/shell/TCProfileStore.h"

namespace profiletest {

struct RecordingTarget : ITCProfileSettingsTarget {
    int music = -1, sound = -1, windowed = -1;
    void SetMusicVolume(int percent) override { music = percent; }
    void SetSoundVolume(int percent) override { sound = percent; }
    void SwitchScreenMode(bool window) override { windowed = window; }
};

// "record_survival_value_03" gives "300pts", the names "S03" and "C03": the values read up to
// their first non-digit.
inline std::wstring DefaultRowText(const std::string& id)
{
    const std::wstring row(id.end() - 2, id.end());
    const bool survival = id.find("survival") != std::string::npos;
    if (id.find("_name_") != std::string::npos)
        return (survival ? L"S" : L"C") + row;
    return std::to_wstring(std::stoi(std::string(id.end() - 2, id.end())) * (survival ? 100 : 1000)) + L"pts";
}

class ProfileStoreTest : public ::testing::Test {
public:
    void SetUp() override
    {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = std::filesystem::temp_directory_path()
                  / ("nubra_pref_" + std::to_string(::getpid()) + "_" + test->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string Path() const { return (folder_ / "pref.dat").string(); }
    TCProfileStore MakeStore() { return TCProfileStore(Path(), DefaultRowText, &target_); }

    std::string FileBytes(const std::string& suffix = "") const
    {
        std::ifstream in(Path() + suffix, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void WriteBytes(const std::string& bytes) const { std::ofstream(Path(), std::ios::binary) << bytes; }

    // A file with the given players, the last one current.
    void MakeFileWith(const std::vector<std::wstring>& names)
    {
        TCProfileStore store = MakeStore();
        store.Load();
        for (const std::wstring& name : names)
            ASSERT_TRUE(store.CreateProfile(name));
    }

    std::filesystem::path folder_;
    RecordingTarget target_;
};

inline int32_t I32At(const std::string& bytes, size_t at)
{
    return int32_t(uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8
                   | uint32_t(uint8_t(bytes[at + 2])) << 16 | uint32_t(uint8_t(bytes[at + 3])) << 24);
}

inline void PutI32(std::string& bytes, size_t at, int32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char(uint32_t(value) >> (8 * i));
}

} // namespace profiletest
