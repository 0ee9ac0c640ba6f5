#pragma once
#include "framework/graphics/D3DTestImage.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plat {
class Gpu;
class GpuTexture;
class ProbeGpu;
enum class GpuBlend;
} // namespace plat

namespace Nubra {

class NubraAppBase;

// Decides whether the graphics card may draw the game: enough video memory, a card the card
// lists accept, and blend modes and edge clipping that come out right when small scenes are
// drawn off screen and read back. The outcome is a failure reason (empty: passed) and a warning
// (empty: nothing doubtful).
class D3DTester {
public:
    // A failed step of the card's interface; caught inside the test.
    class TestException : public std::exception {
    public:
        explicit TestException(std::string message) : message_(std::move(message)) {}
        const char* what() const noexcept override { return message_.c_str(); }

    private:
        std::string message_;
    };

    explicit D3DTester(NubraAppBase* app = nullptr);
    D3DTester(const D3DTester&) = delete;
    D3DTester& operator=(const D3DTester&) = delete;
    virtual ~D3DTester();

    void SetVidMemLimits(uint32_t minimumMegabytes, uint32_t recommendedMegabytes);

    // Runs the test on the display's renderer, or without one on a renderer of its own, unless a
    // demo plays back; either way the outcome then goes through the demo stream (kept while
    // recording, replaced by the recorded one while playing). Nothing of the card is kept after.
    void TestD3D(plat::Gpu* displayGpu);
    // The outcome an earlier run stored under the same key (video driver and program version),
    // else TestD3D's, which is then stored under the key. Either way it goes through the demo
    // stream.
    void TestD3DOrRecall(plat::Gpu* displayGpu, const std::string& key);

    // With a command set, a test without the display's renderer runs in a process of its own (the
    // command with the two memory limits added): the card's driver, its context and its threads
    // then never enter this process, and a driver that crashes or hangs costs only the test.
    static void SetProbeCommand(std::vector<std::string> command);
    // That process's side: tests on a renderer of its own and writes the failure reason and the
    // warning, each ended by '\0', on standard output. Returns the exit code.
    static int RunProbeProcess(uint32_t minimumMegabytes, uint32_t recommendedMegabytes);

    const std::string& GetFailureReason() const { return failureReason; }
    const std::string& GetWarning() const { return warning; }
    // Nothing of a test is kept between runs: a result is new as long as the player has no 3-D
    // choice of their own stored, and only then may a doubtful card turn 3-D off.
    bool IsFirstTime() const;

    // The card lists "vhwb.dat" (rejected) and "vhw.dat" (accepted) in listFolder, else the
    // built-in rule, applied to the description and the driver year.
    bool IsSupportedCard() const;
    // Fails when the card's free memory plus the screen's bytes stay under the minimum; a card
    // that cannot tell its memory passes.
    bool CheckVideoMemory(std::optional<uint64_t> availableBytes, uint64_t screenBytes);
    // Compares the read-back image with the colour a blend test expects.
    bool CompareResult(uint32_t expected, const std::string& notUniformWarning, const std::string& wrongFailure);

    std::string listFolder; // where the card lists are; empty: the working folder
    std::string driver;      // the renderer's name
    std::string description; // the adapter, as the card lists match it
    D3DTestImage readBack;   // the target's pixels as 0x00RRGGBB
    std::string failureReason;
    std::string warning;
    uint32_t minVidMemory = 6; // megabytes
    uint32_t recommendedVidMemory = 14;
    int driverYear = 0; // 0 when unknown

protected:
    // Each gives the result the current step returns: a failure stops the test, a warning not.
    bool SetFailure(const std::string& reason);
    bool SetWarning(const std::string& text);
    // "DXError - step: reason" as a TestException.
    [[noreturn]] static void ThrowStepError(const std::string& step, const std::string& reason);

private:
    struct BlendTest;

    bool MainTest(plat::Gpu* displayGpu);
    bool Recall(const std::string& key);
    void TestInProbeProcess();
    void SyncWithDemo();
    void OpenGpu(plat::Gpu* displayGpu);
    void IdentifyAdapter();
    bool IsSoftwareRasteriser() const;
    void CreateTarget();
    bool CheckTextureFormats();
    void CreateTextures();
    bool RunRenderTests();
    bool RunBlendTest(const BlendTest& test);
    bool RunClipTest();
    void ClearTarget();
    void FillTexture(plat::GpuTexture& texture, const D3DTestImage& pixels);
    void DrawTexture(plat::GpuTexture& texture, int x, int y, plat::GpuBlend blend, uint32_t vertexColor);
    void ReadTarget();
    // Raises the step's error when the renderer refused it.
    void Step(bool done, const char* step);
    void Release();

    NubraAppBase* app_; // not owned; null: no demo, no stored choice
    plat::Gpu* gpu_ = nullptr; // the display's, or the probe's
    std::unique_ptr<plat::ProbeGpu> probe_;
    std::unique_ptr<plat::GpuTexture> target_;
    std::unique_ptr<plat::GpuTexture> texture1_;
    std::unique_ptr<plat::GpuTexture> texture2_;
    bool textures32Bit_ = true; // else 4:4:4:4
};

} // namespace Nubra
