#pragma once
#include "platform/Gpu.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

struct SDL_Window;

namespace plat {

// A renderer of its own on a hidden window, chosen as the game's window chooses one: the card's
// capability test tries the card out on it before the game's window shows anything.
class ProbeGpu {
public:
    ProbeGpu() = default;
    ~ProbeGpu();
    ProbeGpu(const ProbeGpu&) = delete;
    ProbeGpu& operator=(const ProbeGpu&) = delete;

    // False, with Error() saying why, when there is no renderer.
    bool Open();
    Gpu* GetGpu() { return gpu_.get(); }
    // Free video memory in bytes, as an OpenGL driver's memory extension tells it; nullopt
    // when the driver does not tell.
    std::optional<uint64_t> FreeVideoMemory();
    // The bytes of one frame of the desktop.
    uint64_t DesktopBytes() const;
    const std::string& Error() const { return error_; }

private:
    bool Fail(const char* step);

    bool videoStarted_ = false;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    std::unique_ptr<SdlGpu> gpu_;
    std::string error_;
};

} // namespace plat
