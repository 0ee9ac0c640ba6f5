#include "framework/graphics/D3DTester.h"

#include "framework/app/NubraAppBase.h" // the owner's settings store, demo sync and stored 3-D choice
#include "framework/util/DemoChannel.h"
#include "framework/util/StringUtils.h"
#include "platform/Files.h"
#include "platform/Gpu.h"
#include "platform/ProbeGpu.h"
#include "platform/Process.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace Nubra {

namespace {

constexpr size_t kMaxListLine = 4000;
constexpr uint64_t kMegabyte = 1u << 20;
// The built-in rule trusts drivers from this year on. Nothing tells a driver's age here: a card
// drawn by a driver of its own counts as that recent, a software rasteriser as unknown (0).
constexpr int kRecentDriverYear = 2002;
// Where the last outcome is kept, and for which driver and program.
constexpr const char* kVerdictKey = "Test3D\\VerdictKey";
constexpr const char* kVerdictFailure = "Test3D\\Failure";
constexpr const char* kVerdictWarning = "Test3D\\Warning";
constexpr int kProbeTimeoutMs = 15000;

std::vector<std::string>& ProbeCommand()
{
    static std::vector<std::string> command;
    return command;
}

// The fragments of a card list, trimmed, blank lines left out; nullopt when there is no list.
std::optional<std::vector<std::string>> ReadCardList(const std::string& path)
{
    FILE* file = plat::OpenFile(path, "rb");
    if (!file)
        return std::nullopt;
    std::vector<std::string> fragments;
    std::string line;
    auto keep = [&] {
        std::string fragment = Trim(line.substr(0, kMaxListLine));
        if (!fragment.empty())
            fragments.push_back(std::move(fragment));
        line.clear();
    };
    for (int c; (c = std::fgetc(file)) != EOF;) {
        if (c == '\n')
            keep();
        else
            line.push_back(char(c));
    }
    keep();
    std::fclose(file);
    return fragments;
}

bool MentionsAny(const std::string& description, const std::vector<std::string>& fragments)
{
    for (const std::string& fragment : fragments)
        if (StrFindNoCase(description.c_str(), fragment.c_str()) >= 0)
            return true;
    return false;
}

} // namespace

D3DTester::D3DTester(NubraAppBase* app) : app_(app) {}

D3DTester::~D3DTester() { Release(); }

void D3DTester::SetVidMemLimits(uint32_t minimumMegabytes, uint32_t recommendedMegabytes)
{
    minVidMemory = minimumMegabytes;
    recommendedVidMemory = recommendedMegabytes;
}

bool D3DTester::IsFirstTime() const { return !app_ || !app_->hardwareAccelerationStored; }

bool D3DTester::SetFailure(const std::string& reason)
{
    failureReason = reason;
    return false;
}

bool D3DTester::SetWarning(const std::string& text)
{
    warning = text;
    return true;
}

void D3DTester::ThrowStepError(const std::string& step, const std::string& reason)
{
    throw TestException("DXError - " + step + ": " + reason);
}

void D3DTester::TestD3D(plat::Gpu* displayGpu)
{
    const DemoChannel* demo = GetDemoChannel();
    if (!demo || !demo->IsPlaying()) {
        if (!displayGpu && !ProbeCommand().empty())
            TestInProbeProcess();
        else if (MainTest(displayGpu))
            RunRenderTests();
        Release();
    }
    SyncWithDemo();
}

void D3DTester::SetProbeCommand(std::vector<std::string> command) { ProbeCommand() = std::move(command); }

void D3DTester::TestInProbeProcess()
{
    std::vector<std::string> command = ProbeCommand();
    command.push_back(std::to_string(minVidMemory));
    command.push_back(std::to_string(recommendedVidMemory));
    const std::optional<std::string> output = plat::RunAndRead(command, kProbeTimeoutMs);
    const size_t failureEnd = output ? output->find('\0') : std::string::npos;
    const size_t warningEnd = output ? output->find('\0', failureEnd + 1) : std::string::npos;
    if (failureEnd == std::string::npos || warningEnd == std::string::npos) {
        SetFailure("DXError - card test: the test process failed");
        warning.clear();
        return;
    }
    failureReason = output->substr(0, failureEnd);
    warning = output->substr(failureEnd + 1, warningEnd - failureEnd - 1);
}

int D3DTester::RunProbeProcess(uint32_t minimumMegabytes, uint32_t recommendedMegabytes)
{
    D3DTester tester;
    tester.SetVidMemLimits(minimumMegabytes, recommendedMegabytes);
    if (tester.MainTest(nullptr))
        tester.RunRenderTests();
    tester.Release();
    const std::string outcome = tester.failureReason + '\0' + tester.warning + '\0';
    return std::fwrite(outcome.data(), 1, outcome.size(), stdout) == outcome.size() && std::fflush(stdout) == 0 ? 0 : 1;
}

void D3DTester::SyncWithDemo()
{
    if (app_) {
        app_->DemoSyncString(&failureReason);
        app_->DemoSyncString(&warning);
    }
}

void D3DTester::TestD3DOrRecall(plat::Gpu* displayGpu, const std::string& key)
{
    if (Recall(key)) {
        SyncWithDemo();
        return;
    }
    TestD3D(displayGpu);
    if (app_) {
        app_->RegistryWriteString(kVerdictFailure, failureReason);
        app_->RegistryWriteString(kVerdictWarning, warning);
        // Last, so that a key is only ever found beside its verdict.
        app_->RegistryWriteString(kVerdictKey, key);
    }
}

bool D3DTester::Recall(const std::string& key)
{
    std::string storedKey, storedFailure, storedWarning;
    if (!app_ || !app_->RegistryReadString(kVerdictKey, &storedKey) || storedKey != key
        || !app_->RegistryReadString(kVerdictFailure, &storedFailure)
        || !app_->RegistryReadString(kVerdictWarning, &storedWarning))
        return false;
    failureReason = storedFailure;
    warning = storedWarning;
    return true;
}

bool D3DTester::MainTest(plat::Gpu* displayGpu)
{
    try {
        Release();
        driverYear = 0;
        OpenGpu(displayGpu);
        IdentifyAdapter();
        if (!CheckVideoMemory(probe_ ? probe_->FreeVideoMemory() : std::nullopt, probe_ ? probe_->DesktopBytes() : 0))
            return false;
        failureReason.clear();
        warning.clear();
        driverYear = IsSoftwareRasteriser() ? 0 : kRecentDriverYear;
        if (!IsSupportedCard())
            SetWarning(StrFormat("Unsupported video card: %s", description.c_str()));
        CreateTarget();
        if (!CheckTextureFormats())
            return false;
        CreateTextures();
        return true;
    } catch (const TestException& error) {
        return SetFailure(error.what());
    }
}

void D3DTester::OpenGpu(plat::Gpu* displayGpu)
{
    if (displayGpu) {
        gpu_ = displayGpu;
        return;
    }
    probe_ = std::make_unique<plat::ProbeGpu>();
    if (!probe_->Open())
        ThrowStepError("DirectDrawCreateEx", probe_->Error());
    gpu_ = probe_->GetGpu();
}

// The description is the OpenGL driver's renderer and vendor, or the renderer's name.
void D3DTester::IdentifyAdapter()
{
    driver = gpu_->Info().name;
    description = gpu_->DriverString(plat::GpuString::Renderer);
    const std::string vendor = gpu_->DriverString(plat::GpuString::Vendor);
    if (!vendor.empty() && vendor != description)
        description += " " + vendor;
}

bool D3DTester::IsSoftwareRasteriser() const
{
    return driver == "software" || MentionsAny(description, {"llvmpipe", "softpipe", "swiftshader"});
}

bool D3DTester::CheckTextureFormats()
{
    const std::vector<plat::GpuFormat> formats = gpu_->Info().nativeFormats;
    auto offers = [&](plat::GpuFormat format) {
        return std::find(formats.begin(), formats.end(), format) != formats.end();
    };
    textures32Bit_ = offers(plat::GpuFormat::ARGB8888);
    if (textures32Bit_)
        return true;
    SetWarning("A8R8G8B8 texture format not supported.");
    if (!offers(plat::GpuFormat::ARGB4444))
        return SetFailure("A4R4G4B4 and A8R8G8B8 texture formats not supported.");
    return true;
}

void D3DTester::Step(bool done, const char* step)
{
    if (!done)
        ThrowStepError(step, gpu_->Error());
}

void D3DTester::Release()
{
    if (gpu_ && target_)
        gpu_->SetTarget(nullptr); // the display's renderer draws to its output again
    texture1_.reset();
    texture2_.reset();
    target_.reset();
    gpu_ = nullptr;
    probe_.reset();
}

bool D3DTester::IsSupportedCard() const
{
    const std::string folder = listFolder.empty() || listFolder.back() == '/' ? listFolder : listFolder + "/";
    if (auto rejected = ReadCardList(folder + "vhwb.dat"); rejected && MentionsAny(description, *rejected))
        return false;
    if (auto accepted = ReadCardList(folder + "vhw.dat"))
        return MentionsAny(description, *accepted);
    return driverYear >= kRecentDriverYear || MentionsAny(description, {"nvidia", "radeon", "ati "});
}

bool D3DTester::CheckVideoMemory(std::optional<uint64_t> availableBytes, uint64_t screenBytes)
{
    if (!availableBytes)
        return true;
    const uint64_t totalMegabytes = (*availableBytes + screenBytes) / kMegabyte;
    if (totalMegabytes < minVidMemory)
        return SetFailure("Not enough video memory.");
    // Only a hint: the test clears it with the rest before it goes on.
    if (totalMegabytes < recommendedVidMemory)
        SetWarning("Low video memory.");
    return true;
}

bool D3DTester::CompareResult(uint32_t expected, const std::string& notUniformWarning, const std::string& wrongFailure)
{
    bool uniform = true;
    if (readBack.CountMismatches(expected, &uniform) > 0)
        return SetFailure(wrongFailure);
    if (!uniform)
        return SetWarning(notUniformWarning);
    return true;
}

} // namespace Nubra
