#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "game/shell/PrefFile.h"

// Where the stored settings take effect: the sound and music tables and the screen mode.
class ITCProfileSettingsTarget {
public:
    virtual ~ITCProfileSettingsTarget() = default;
    virtual void SetMusicVolume(int percent) = 0;
    virtual void SetSoundVolume(int percent) = 0;
    // With the current 3-D setting, not forced.
    virtual void SwitchScreenMode(bool windowed) = 0;
};

// The localised text of a string id (the default hi-score rows).
using TCTextSource = std::function<std::wstring(const std::string& id)>;

// The player's settings, both hi-score tables and the current profile, mirrored to "pref.dat".
// Every write replaces the file whole (the previous one kept as "pref.dat.bak"), so a crash in the
// middle of a save leaves the last complete file.
class TCProfileStore {
public:
    // Without a text source the default rows show their string ids; without a target the settings
    // are kept but not applied.
    explicit TCProfileStore(std::string path, TCTextSource texts = {}, ITCProfileSettingsTarget* target = nullptr);

    // $XDG_DATA_HOME/Trilvo Games/Velmira2/pref.dat, the folders made on the way.
    static std::string DefaultPath();

    void SetTextSource(TCTextSource texts);
    void SetSettingsTarget(ITCProfileSettingsTarget* target);

    // Reads everything there is, then applies the settings and writes the file once. A file whose
    // header is not ours is set aside as "pref.dat.bad" and the defaults take its place.
    bool Load();
    void InitHeader();
    void ResetHiScores();
    void ApplySettings();

    // Header, both tables and the current profile (when valid); false when the file could not be
    // written.
    bool SaveTables();
    bool SaveCurrentProfile();
    // Makes record index current and saves; false (nothing changed) when there is no such record.
    bool ReadProfile(int index);
    // Every whole record in the file, in order.
    void ReadAllProfiles(std::vector<TCPlayerProfile>& list) const;

    using ProfileInit = void (*)(TCPlayerProfile& profile, void* argument);
    bool CreateProfile(std::wstring_view name, ProfileInit init = nullptr, void* argument = nullptr);
    void InitProfile(std::wstring_view name);
    void ResetCareer();
    bool DeleteProfile(int index);

    // The new row's place, or pref::kRows when the score does not enter the table (also when the
    // same name already holds a better row: one row per name).
    int AddHiScore(bool survival, std::wstring_view name, int32_t score);
    TCHiScoreTable& GetHiScoreTable(bool survival) { return survival ? survival_ : career_; }

    void DebugOpenAllLevels();

    TCPrefHeader& Header() { return header_; }
    TCPlayerProfile& CurrentProfile() { return profile_; }
    bool IsCurrentProfileValid() const { return profileValid_; }
    const std::string& Path() const { return path_; }

private:
    std::string ReadFileImage() const;
    bool WriteFileImage(std::string image);
    // The file's records with the header, both tables and the current profile laid over them.
    std::string ComposeImage(const std::string& onDisk);
    bool SelectProfile(const std::string& image, int index);
    void ForgetProfile();

    std::string path_;
    TCTextSource texts_;
    ITCProfileSettingsTarget* target_ = nullptr;
    TCPrefHeader header_;
    TCHiScoreTable survival_{};
    TCHiScoreTable career_{};
    TCPlayerProfile profile_;
    bool profileValid_ = false;
    bool writable_ = true; // false: a file we could not read or set aside is kept from being overwritten
};

// The store the game uses, built on first use at DefaultPath().
TCProfileStore& TheProfileStore();
