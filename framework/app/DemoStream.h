#pragma once
#include <cstdint>
#include <optional>

#include "framework/util/Buffer.h"
#include "framework/util/DemoChannel.h"

namespace Nubra {

// Commands of the input a demo carries. Mouse commands follow a header flag of 1 and take one
// bit; the others follow a flag of 0 and take five (with the data commands of DemoChannel.h).
enum DemoMouseCommand { kDemoMouseStep = 0, kDemoMouseButton = 1 };
enum DemoInputCommand {
    kDemoMouseAt = 0,
    kDemoActivation = 1,
    kDemoMinimized = 2,
    kDemoKeyDown = 3,
    kDemoKeyUp = 4,
    kDemoChar = 5,
    kDemoClose = 6,
    kDemoMouseEnter = 7,
    kDemoMouseLeave = 8,
    kDemoWheel = 21,
    kDemoFiller = 31, // only stretches the gap to the next event
};

// Relative moves are only recorded below this distance on both axes; absolute positions are
// 12-bit, so a recorded position is kept within 0..kDemoMaxCoordinate.
constexpr int kDemoMaxStep = 31;
constexpr int kDemoMaxCoordinate = 4095;

// One event of a demo with its payload as numbers: the one layout that recording and playback
// share. Values: step dx, dy; button down (0/1), clicks; position x, y; activation, minimised,
// key, character, wheel delta: one value; screen settings windowed (0/1), refresh rate.
struct DemoEvent {
    bool mouse = false;
    int command = 0;
    int32_t values[2] = {};
};

// The event bit stream of a demo. Each event starts with its gap: the update steps since the
// previous event, in 4 bits (longer gaps are made of fillers of 15), then the flag and the
// command. Events are stamped with the application's update counter as it stands.
class DemoStream : public DemoChannel {
public:
    explicit DemoStream(const uint32_t& updateCounter) : updateCounter_(updateCounter) {}

    // Recording from the current update on, into an empty stream.
    void StartRecording();
    // Playing the recorded stream from its front, from the current update on.
    void StartPlaying(const Buffer& recorded);
    void Stop();

    bool IsRecording() const override { return recording_; }
    bool IsPlaying() const override { return playing_; }

    Buffer& BeginEvent(int command) override; // a flag-0 command
    Buffer& BeginMouseEvent(int command);
    void Write(const DemoEvent& event);

    // Playing: the header of the next event while it is due (its update has come), or nothing.
    std::optional<DemoEvent> Due();
    Buffer* DueEvent(int command) override;
    void ConsumeEvent() override;
    // Playing: the payload of a due input event, which is consumed with it; nothing when the
    // command carries no input or the stream ends inside the payload.
    std::optional<DemoEvent> TakeDueInput();
    // No events are left to play.
    bool Ended() const { return ended_; }

    const Buffer& Data() const { return data_; }
    Buffer& Data() { return data_; }

private:
    Buffer& BeginHeader(bool mouse, int command);
    bool ReadHeader();
    bool Holds(size_t bits) const;

    const uint32_t& updateCounter_;
    Buffer data_;
    bool recording_ = false;
    bool playing_ = false;
    uint32_t lastEventUpdate_ = 0;
    bool needHeader_ = true;
    bool ended_ = false;
    DemoEvent pending_;
};

} // namespace Nubra
