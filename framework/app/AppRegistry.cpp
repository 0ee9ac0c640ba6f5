// The application object's settings store access, and the demo-aware reads of outside data.
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "framework/app/NubraAppBase.h"
#include "framework/data/PakFile.h"
#include "framework/util/Buffer.h"
#include "framework/util/DemoChannel.h"
#include "framework/util/StringUtils.h"
#include "platform/SettingsStore.h"

namespace Nubra {
namespace {

DemoChannel* PlayingDemo()
{
    DemoChannel* demo = GetDemoChannel();
    return demo && demo->IsPlaying() ? demo : nullptr;
}

DemoChannel* RecordingDemo()
{
    DemoChannel* demo = GetDemoChannel();
    return demo && demo->IsRecording() ? demo : nullptr;
}

// While a demo plays: the recorded result of this command, with the stream left at the rest of
// its payload; null when the recording has nothing of the kind due here.
Buffer* RecordedResult(DemoChannel& demo, int command, bool* result)
{
    Buffer* event = demo.DueEvent(command);
    if (event)
        *result = event->ReadNumBits(1, false) != 0;
    return event;
}

void RecordResult(int command, bool result)
{
    if (DemoChannel* demo = RecordingDemo())
        demo->BeginEvent(command).WriteNumBits(result ? 1 : 0, 1);
}

// The bytes of a recorded payload; nothing when the recording ends before them.
std::optional<std::vector<uint8_t>> ReadRecordedBytes(Buffer& event, uint32_t size)
{
    size_t remainingBits = event.GetDataBits() - std::min(event.GetReadPos(), event.GetDataBits());
    if (uint64_t(size) * 8 > remainingBits)
        return std::nullopt;
    std::vector<uint8_t> data(size);
    event.ReadBytes(data.data(), data.size());
    return data;
}

void ReplaceContents(Buffer* buffer, const std::vector<uint8_t>& data)
{
    buffer->Clear();
    buffer->WriteBytes(data.data(), data.size());
}

// Everything up to the last backslash of a value name is a subkey of the application's key.
std::pair<std::string, std::string> SplitValueName(const std::string& registryKey, const std::string& valueName)
{
    std::string keyPath = "SOFTWARE\\" + registryKey;
    size_t slash = valueName.rfind('\\');
    if (slash == std::string::npos)
        return {keyPath, valueName};
    return {keyPath + "\\" + valueName.substr(0, slash), valueName.substr(slash + 1)};
}

// Whole percentages stay what they are from run to run: 0.57 * 100 is 56.99999... in binary.
int32_t VolumePercent(double volume) { return int32_t(std::floor(volume * 100.0 + 1e-6)); }

double VolumeFromPercent(int32_t percent) { return std::clamp(percent / 100.0, 0.0, 1.0); }

std::vector<uint8_t> LittleEndian(uint32_t value)
{
    return {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
}

} // namespace

bool NubraAppBase::RegistryWrite(const std::string& valueName, uint32_t type, const uint8_t* data, uint32_t size)
{
    if (registryKey.empty())
        return false;
    if (DemoChannel* demo = PlayingDemo()) {
        if (shutDown)
            return false;
        bool result = false;
        if (!RecordedResult(*demo, kDemoRegistryWrite, &result))
            return false;
        demo->ConsumeEvent();
        return result;
    }
    auto [keyPath, name] = SplitValueName(registryKey, valueName);
    plat::SettingValue value{type, std::vector<uint8_t>(data, data + size)};
    bool result = plat::SettingsStore().Write(keyPath, name, value);
    RecordResult(kDemoRegistryWrite, result);
    return result;
}

bool NubraAppBase::RegistryWriteString(const std::string& valueName, const std::string& text)
{
    return RegistryWrite(valueName, plat::kSettingString, reinterpret_cast<const uint8_t*>(text.data()),
                         uint32_t(text.size()));
}

bool NubraAppBase::RegistryWriteInteger(const std::string& valueName, int32_t value)
{
    std::vector<uint8_t> bytes = LittleEndian(uint32_t(value));
    return RegistryWrite(valueName, plat::kSettingDword, bytes.data(), uint32_t(bytes.size()));
}

bool NubraAppBase::RegistryWriteBoolean(const std::string& valueName, bool value)
{
    return RegistryWriteInteger(valueName, value ? 1 : 0);
}

bool NubraAppBase::RegistryRead(const std::string& valueName, uint32_t* type, uint8_t* buffer, uint32_t* size)
{
    if (registryKey.empty())
        return false;
    if (DemoChannel* demo = PlayingDemo()) {
        if (shutDown)
            return false;
        bool result = false;
        Buffer* event = RecordedResult(*demo, kDemoRegistryRead, &result);
        if (!event)
            return false;
        if (result) {
            uint32_t recordedType = uint32_t(event->ReadNumBits(32, false));
            uint32_t recordedSize = uint32_t(event->ReadNumBits(32, false));
            std::optional<std::vector<uint8_t>> data = ReadRecordedBytes(*event, recordedSize);
            // A damaged recording must not write past the caller's buffer.
            result = data && recordedSize <= *size;
            if (result) {
                *type = recordedType;
                *size = recordedSize;
                std::copy(data->begin(), data->end(), buffer);
            }
        }
        demo->ConsumeEvent();
        return result;
    }

    auto [keyPath, name] = SplitValueName(registryKey, valueName);
    std::optional<plat::SettingValue> value = plat::SettingsStore().Read(keyPath, name);
    const bool result = value && value->data.size() <= *size;
    if (result) {
        *type = value->type;
        *size = uint32_t(value->data.size());
        std::copy(value->data.begin(), value->data.end(), buffer);
    }
    if (DemoChannel* demo = RecordingDemo()) {
        Buffer& event = demo->BeginEvent(kDemoRegistryRead);
        event.WriteNumBits(result ? 1 : 0, 1);
        if (result) {
            event.WriteNumBits(*type, 32);
            event.WriteNumBits(*size, 32);
            event.WriteBytes(buffer, *size);
        }
    }
    return result;
}

bool NubraAppBase::RegistryReadInteger(const std::string& valueName, int32_t* value)
{
    uint8_t bytes[4] = {};
    uint32_t type = 0;
    uint32_t size = sizeof(bytes);
    if (!RegistryRead(valueName, &type, bytes, &size) || type != plat::kSettingDword || size != sizeof(bytes))
        return false;
    *value = int32_t(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24);
    return true;
}

bool NubraAppBase::RegistryReadBoolean(const std::string& valueName, bool* value)
{
    int32_t number = 0;
    if (!RegistryReadInteger(valueName, &number))
        return false;
    *value = number != 0;
    return true;
}

bool NubraAppBase::RegistryReadString(const std::string& valueName, std::string* text)
{
    uint8_t bytes[4096];
    uint32_t type = 0;
    uint32_t size = sizeof(bytes);
    if (!RegistryRead(valueName, &type, bytes, &size) || type != plat::kSettingString)
        return false;
    text->assign(reinterpret_cast<const char*>(bytes), size);
    return true;
}

bool NubraAppBase::RegistryEraseValue(const std::string& valueName)
{
    if (registryKey.empty() || PlayingDemo())
        return false;
    auto [keyPath, name] = SplitValueName(registryKey, valueName);
    return plat::SettingsStore().Erase(keyPath, name);
}

void NubraAppBase::ReadFromRegistry()
{
    registryRead = true;
    registryKey = WStringToString(GetString("RegistryKey", StringToWString(registryKey)));
    if (registryKey.empty())
        return;
    int32_t number = 0;
    if (RegistryReadInteger("MusicVolume", &number))
        musicVolume = VolumeFromPercent(number);
    if (RegistryReadInteger("SfxVolume", &number))
        sfxVolume = VolumeFromPercent(number);
    if (RegistryReadInteger("Muted", &number))
        muteCount = std::max(number, 0);
    RegistryReadInteger("PreferredX", &preferredX);
    RegistryReadInteger("PreferredY", &preferredY);
    if (RegistryReadInteger("CustomCursors", &number))
        EnableCustomCursors(number != 0);
    RegistryReadBoolean("WaitForVSync", &waitForVSync);
    if (RegistryReadInteger("InProgress", &number))
        lastRunClean = number == 0;
    // Cleared again by a clean exit, so the next run can tell that this one crashed.
    if (!screenSaverMode)
        RegistryWriteInteger("InProgress", 1);
}

void NubraAppBase::WriteToRegistry()
{
    RegistryWriteInteger("MusicVolume", VolumePercent(musicVolume));
    RegistryWriteInteger("SfxVolume", VolumePercent(sfxVolume));
    RegistryWriteInteger("Muted", IsMutedByUser() ? 1 : 0);
    RegistryWriteInteger("ScreenMode", windowed ? 0 : 1);
    RegistryWriteInteger("PreferredX", preferredX);
    RegistryWriteInteger("PreferredY", preferredY);
    RegistryWriteInteger("CustomCursors", customCursors ? 1 : 0);
    RegistryWriteInteger("InProgress", 0);
    RegistryWriteBoolean("WaitForVSync", waitForVSync);
}

bool NubraAppBase::ReadBufferFromFile(const std::string& fileName, Buffer* out, bool dontRecord)
{
    DemoChannel* playing = dontRecord ? nullptr : PlayingDemo();
    if (playing) {
        bool result = false;
        Buffer* event = RecordedResult(*playing, kDemoFileRead, &result);
        if (!event)
            return false;
        if (result) {
            std::optional<std::vector<uint8_t>> data = ReadRecordedBytes(*event, uint32_t(event->ReadNumBits(32, false)));
            result = data.has_value();
            if (result)
                ReplaceContents(out, *data);
        }
        playing->ConsumeEvent();
        return result;
    }

    std::vector<uint8_t> data;
    bool result = false;
    if (PFILE* file = PakFileOpen(fileName.c_str(), "rb")) {
        PakFileSeek(file, 0, SEEK_END);
        long size = PakFileTell(file);
        PakFileSeek(file, 0, SEEK_SET);
        if (size >= 0) {
            data.resize(size_t(size));
            result = PakFileRead(data.data(), 1, data.size(), file) == data.size();
        }
        PakFileClose(file);
    }
    if (result)
        ReplaceContents(out, data);
    if (DemoChannel* demo = dontRecord ? nullptr : RecordingDemo()) {
        Buffer& event = demo->BeginEvent(kDemoFileRead);
        event.WriteNumBits(result ? 1 : 0, 1);
        if (result) {
            event.WriteNumBits(uint32_t(data.size()), 32);
            event.WriteBytes(data.data(), data.size());
        }
    }
    return result;
}

void NubraAppBase::DemoSyncBuffer(Buffer* buffer)
{
    if (DemoChannel* demo = PlayingDemo()) {
        Buffer* event = demo->DueEvent(kDemoSyncBuffer);
        if (!event)
            return;
        std::optional<std::vector<uint8_t>> data = ReadRecordedBytes(*event, uint32_t(event->ReadNumBits(32, false)));
        demo->ConsumeEvent();
        if (data)
            ReplaceContents(buffer, *data);
    } else if (DemoChannel* demo = RecordingDemo()) {
        Buffer& event = demo->BeginEvent(kDemoSyncBuffer);
        event.WriteNumBits(uint32_t(buffer->GetDataLen()), 32);
        event.WriteBytes(buffer->GetDataPtr(), buffer->GetDataLen());
    }
}

void NubraAppBase::DemoSyncBool(bool* value)
{
    Buffer buffer;
    buffer.WriteBoolean(*value);
    DemoSyncBuffer(&buffer);
    buffer.SeekFront();
    *value = buffer.ReadBoolean();
}

void NubraAppBase::DemoSyncString(std::string* text)
{
    Buffer buffer;
    buffer.WriteString(*text);
    DemoSyncBuffer(&buffer);
    buffer.SeekFront();
    *text = buffer.ReadString();
}

} // namespace Nubra
