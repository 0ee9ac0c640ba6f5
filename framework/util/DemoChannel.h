#pragma once

namespace Nubra {

class Buffer;

// Numbers of the demo commands that carry outside data into a recording. They are read back
// by the operation that would otherwise have asked the outside, in the order they were written.
enum DemoDataCommand {
    kDemoLoadingCompleted = 9,
    kDemoRegistryRead = 11,
    kDemoRegistryWrite = 12,
    kDemoFileRead = 15,
    kDemoHTTPResult = 17,
    kDemoSyncBuffer = 18,
    kDemoScreenSettings = 23,
};

// The demo recorder and player as the framework's sources of outside data see them. The
// application object's demo stream implements it and is registered while it records or plays.
class DemoChannel {
public:
    virtual ~DemoChannel() = default;

    virtual bool IsRecording() const = 0;
    virtual bool IsPlaying() const = 0;

    // Recording: writes the header of an event with this command at the current update; the
    // caller then writes the payload into the returned stream.
    virtual Buffer& BeginEvent(int command) = 0;
    // Playing: when the next event is due at the current update and carries this command, the
    // stream positioned at its payload; null otherwise.
    virtual Buffer* DueEvent(int command) = 0;
    // Playing: the payload of the due event has been read; the next event's header follows.
    virtual void ConsumeEvent() = 0;
};

// Null while no demo is recorded or played.
DemoChannel* GetDemoChannel();
void SetDemoChannel(DemoChannel* channel);

} // namespace Nubra
