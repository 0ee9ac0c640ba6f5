#include "platform/SettingsStore.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <sstream>

#include <pugixml.hpp>

#include "platform/DebugOut.h"
#include "platform/Files.h"
#include "platform/Replaceable.h"

namespace plat {
namespace {

constexpr std::string_view kFileName = "settings.xml";
constexpr std::string_view kRootPrefix = "SOFTWARE\\";

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

void Warn(const std::string& text) { DebugOut("WARNING: " + text + "\n"); }

// Text of the usual readable form, or nothing when the value needs hex to survive the file.
std::optional<std::string> ReadableText(const SettingValue& value)
{
    if (value.type == kSettingDword && value.data.size() == 4) {
        uint32_t number = uint32_t(value.data[0]) | uint32_t(value.data[1]) << 8 | uint32_t(value.data[2]) << 16
                          | uint32_t(value.data[3]) << 24;
        return std::to_string(number);
    }
    if (value.type != kSettingString)
        return std::nullopt;
    // XML keeps printable ASCII exactly; leading or trailing blanks could be taken for layout.
    for (uint8_t byte : value.data)
        if (byte < 0x20 || byte > 0x7E)
            return std::nullopt;
    if (!value.data.empty() && (value.data.front() == ' ' || value.data.back() == ' '))
        return std::nullopt;
    return std::string(value.data.begin(), value.data.end());
}

std::string ToHex(const std::vector<uint8_t>& data)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (uint8_t byte : data) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}

std::optional<std::vector<uint8_t>> FromHex(std::string_view text)
{
    if (text.size() % 2 != 0)
        return std::nullopt;
    std::vector<uint8_t> data;
    for (size_t i = 0; i < text.size(); i += 2) {
        uint8_t byte = 0;
        auto [end, error] = std::from_chars(text.data() + i, text.data() + i + 2, byte, 16);
        if (error != std::errc() || end != text.data() + i + 2)
            return std::nullopt;
        data.push_back(byte);
    }
    return data;
}

std::optional<uint32_t> ParseUnsigned(std::string_view text)
{
    uint32_t number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

std::optional<SettingValue> ParseValue(const pugi::xml_node& node)
{
    std::optional<uint32_t> type = ParseUnsigned(node.attribute("type").value());
    if (!type)
        return std::nullopt;
    SettingValue value{*type, {}};
    std::string_view text = node.text().get();
    const bool hex = std::string_view(node.attribute("encoding").value()) == "hex";
    if (*type == kSettingString && !hex) {
        value.data.assign(text.begin(), text.end());
    } else if (*type == kSettingDword && !hex) {
        std::optional<uint32_t> number = ParseUnsigned(text);
        if (!number)
            return std::nullopt;
        for (int shift = 0; shift < 32; shift += 8)
            value.data.push_back(uint8_t(*number >> shift));
    } else {
        std::optional<std::vector<uint8_t>> data = FromHex(text);
        if (!data)
            return std::nullopt;
        value.data = std::move(*data);
    }
    return value;
}

// A file we cannot read must not be overwritten by the next write: the player may want it back.
// False when it could not be moved, and so must be left alone.
bool SetAsideWithWarning(const std::string& file, const std::string& problem)
{
    const std::string aside = file + ".bad";
    if (SetAside(file)) {
        Warn("the settings file " + file + " " + problem + "; it was set aside as " + aside
             + " and the defaults are used");
        return true;
    }
    Warn("the settings file " + file + " " + problem + " and could not be set aside (" + std::strerror(errno)
         + "); the defaults are used and the file is left as it is");
    return false;
}

ISettingsStore& DefaultStore()
{
    static FileSettingsStore store(UserConfigRoot());
    return store;
}

constinit Replaceable<ISettingsStore> current(DefaultStore);

} // namespace

ISettingsStore& SettingsStore() { return current.Get(); }

void SetSettingsStore(ISettingsStore* store) { current.Set(store); }

FileSettingsStore::FileSettingsStore(std::string root) : root_(std::move(root))
{
    if (!root_.empty() && root_.back() != '/')
        root_ += '/';
}

std::string FileSettingsStore::FileFor(std::string_view keyPath) const
{
    if (keyPath.size() >= kRootPrefix.size() && EqualsIgnoringCase(keyPath.substr(0, kRootPrefix.size()), kRootPrefix))
        keyPath.remove_prefix(kRootPrefix.size());
    std::string folder = root_;
    while (true) {
        size_t end = keyPath.find('\\');
        std::string_view part = keyPath.substr(0, end);
        if (part.empty() || part == "." || part == ".." || part.find('/') != std::string_view::npos)
            return {};
        folder.append(part);
        folder += '/';
        if (end == std::string_view::npos)
            break;
        keyPath.remove_prefix(end + 1);
    }
    return folder + std::string(kFileName);
}

FileSettingsStore::Loaded FileSettingsStore::Parse(const std::string& file)
{
    std::string bytes, why;
    switch (ReadWholeFile(file, &bytes, &why)) {
    case FileRead::Absent: return {};
    case FileRead::NotAFile:
        Warn("the settings path " + file + " is not a readable file (" + why
             + "); the defaults are used and the settings are not saved there");
        return {{}, false};
    case FileRead::Unreadable: return {{}, SetAsideWithWarning(file, "cannot be read (" + why + ")")};
    case FileRead::Read: break;
    }
    pugi::xml_document document;
    pugi::xml_parse_result parsed = document.load_buffer(bytes.data(), bytes.size());
    pugi::xml_node settings = document.child("settings");
    if (!parsed || !settings) {
        const std::string why = parsed ? "no settings element" : parsed.description();
        return {{}, SetAsideWithWarning(file, "is damaged (" + why + ")")};
    }
    Loaded loaded;
    for (pugi::xml_node node : settings.children("value")) {
        std::string name = node.attribute("name").value();
        std::optional<SettingValue> value = ParseValue(node);
        if (name.empty() || !value) {
            Warn("a value \"" + name + "\" of the settings file " + file + " cannot be read; it is ignored");
            continue;
        }
        loaded.values.emplace_back(std::move(name), std::move(*value));
    }
    return loaded;
}

bool FileSettingsStore::Save(const std::string& file, const Values& values)
{
    pugi::xml_document document;
    pugi::xml_node settings = document.append_child("settings");
    for (const auto& [name, value] : values) {
        pugi::xml_node node = settings.append_child("value");
        node.append_attribute("name") = name.c_str();
        node.append_attribute("type") = value.type;
        std::optional<std::string> text = ReadableText(value);
        if (!text && (value.type == kSettingString || value.type == kSettingDword))
            node.append_attribute("encoding") = "hex";
        node.text() = (text ? *text : ToHex(value.data)).c_str();
    }
    std::ostringstream out;
    document.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return MakeDirs(file.substr(0, file.rfind('/'))) && ReplaceFileAtomically(file, out.str());
}

FileSettingsStore::Loaded* FileSettingsStore::Load(const std::string& file)
{
    auto found = files_.find(file);
    if (found == files_.end()) {
        RemoveStaleTemporaries(file);
        found = files_.emplace(file, Parse(file)).first;
    }
    return &found->second;
}

std::optional<SettingValue> FileSettingsStore::Read(std::string_view keyPath, std::string_view name)
{
    const std::string file = FileFor(keyPath);
    if (file.empty())
        return std::nullopt;
    std::lock_guard lock(mutex_);
    for (const auto& [stored, value] : Load(file)->values)
        if (EqualsIgnoringCase(stored, name))
            return value;
    return std::nullopt;
}

bool FileSettingsStore::Write(std::string_view keyPath, std::string_view name, const SettingValue& value)
{
    const std::string file = FileFor(keyPath);
    if (file.empty() || name.empty())
        return false;
    std::lock_guard lock(mutex_);
    Loaded* current = Load(file);
    if (!current->writable)
        return false;
    Values changed = current->values;
    auto same = [name](const auto& entry) { return EqualsIgnoringCase(entry.first, name); };
    auto found = std::find_if(changed.begin(), changed.end(), same);
    if (found != changed.end())
        found->second = value;
    else
        changed.emplace_back(std::string(name), value);
    return Commit(file, *current, std::move(changed));
}

bool FileSettingsStore::Erase(std::string_view keyPath, std::string_view name)
{
    const std::string file = FileFor(keyPath);
    if (file.empty())
        return false;
    std::lock_guard lock(mutex_);
    Loaded* current = Load(file);
    if (!current->writable)
        return false;
    Values changed = current->values;
    std::erase_if(changed, [name](const auto& entry) { return EqualsIgnoringCase(entry.first, name); });
    if (changed.size() == current->values.size())
        return true;
    return Commit(file, *current, std::move(changed));
}

bool FileSettingsStore::Commit(const std::string& file, Loaded& current, Values changed)
{
    if (batchDepth_ > 0)
        unsaved_.insert(file);
    else if (!Save(file, changed))
        return false;
    current.values = std::move(changed);
    return true;
}

void FileSettingsStore::BeginBatch()
{
    std::lock_guard lock(mutex_);
    ++batchDepth_;
}

bool FileSettingsStore::EndBatch()
{
    std::lock_guard lock(mutex_);
    if (batchDepth_ == 0 || --batchDepth_ > 0)
        return true;
    bool saved = true;
    for (const std::string& file : unsaved_) {
        if (!Save(file, files_[file].values)) {
            Warn("the settings in " + file + " could not be saved");
            saved = false;
        }
    }
    unsaved_.clear();
    return saved;
}

SettingsBatch::SettingsBatch() : store_(SettingsStore()) { store_.BeginBatch(); }

SettingsBatch::~SettingsBatch() { store_.EndBatch(); }

} // namespace plat
