#pragma once
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// Type numbers of stored values. They are recorded in demo files, so they keep the numbers the
// game's settings were first written with.
enum SettingType : uint32_t {
    kSettingString = 1, // the characters, no terminating zero
    kSettingBinary = 3,
    kSettingDword = 4,  // 4 bytes, little-endian
};

struct SettingValue {
    uint32_t type = 0;
    std::vector<uint8_t> data;

    bool operator==(const SettingValue&) const = default;
};

// The user's settings: typed values by key path and name. Key paths are written as the game
// names them ("SOFTWARE\Maker\Product\Sub"); names compare without regard to ASCII case.
class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    virtual std::optional<SettingValue> Read(std::string_view keyPath, std::string_view name) = 0;
    virtual bool Write(std::string_view keyPath, std::string_view name, const SettingValue& value) = 0;
    // True when the value is gone afterwards (also when there was none).
    virtual bool Erase(std::string_view keyPath, std::string_view name) = 0;
    // Between these, changes may be kept in memory and stored together at the end; EndBatch is
    // false when some could not be stored. Batches nest.
    virtual void BeginBatch() {}
    virtual bool EndBatch() { return true; }
};

// A batch of the store's changes for the life of the object.
class SettingsBatch {
public:
    SettingsBatch();
    ~SettingsBatch();
    SettingsBatch(const SettingsBatch&) = delete;
    SettingsBatch& operator=(const SettingsBatch&) = delete;

private:
    ISettingsStore& store_;
};

// The store every part of the program uses; by default files under $XDG_CONFIG_HOME.
ISettingsStore& SettingsStore();
void SetSettingsStore(ISettingsStore* store); // null restores the file store

// One XML file per key path: root/<key path without "SOFTWARE\", '\' as '/'>/settings.xml.
// Every write replaces the file whole through a temporary file (written, synced, renamed), so a
// crash at any moment leaves either the old or the new settings; temporary files whose writer is
// gone are removed when the file is first read. A file that cannot be read or parsed is set aside
// beside it (".bad") with a "WARNING: " line, and its values count as absent. Something that is
// not a regular file at the path (a folder, a FIFO), or a file that cannot be set aside, is left
// alone: a warning, the defaults, and writes to it fail.
class FileSettingsStore : public ISettingsStore {
public:
    explicit FileSettingsStore(std::string root); // with or without a trailing '/'

    std::optional<SettingValue> Read(std::string_view keyPath, std::string_view name) override;
    bool Write(std::string_view keyPath, std::string_view name, const SettingValue& value) override;
    bool Erase(std::string_view keyPath, std::string_view name) override;
    // Each file changed in a batch is replaced once, at its end.
    void BeginBatch() override;
    bool EndBatch() override;

    // The file of a key path; empty when the path cannot name a folder under the root (an empty
    // or "."/".." component, or a '/').
    std::string FileFor(std::string_view keyPath) const;

private:
    using Values = std::vector<std::pair<std::string, SettingValue>>; // in the order first written
    struct Loaded {
        Values values;
        bool writable = true; // false: what is at the path must not be written over
    };

    Loaded* Load(const std::string& file); // cached after the first read
    static Loaded Parse(const std::string& file);
    static bool Save(const std::string& file, const Values& values);
    bool Commit(const std::string& file, Loaded& current, Values changed);

    std::string root_;
    std::mutex mutex_;
    std::map<std::string, Loaded> files_;
    int batchDepth_ = 0;
    std::set<std::string> unsaved_; // files changed in the batch
};

} // namespace plat
