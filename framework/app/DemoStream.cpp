#include "framework/app/DemoStream.h"

#include <span>

namespace Nubra {
namespace {

constexpr int kGapBits = 4;
constexpr uint32_t kMaxGap = 15;
constexpr int kCommandBits = 5;

// A payload field: a bit count, or a boolean written as a whole byte.
struct Field {
    int bits;
    bool isSigned = false;
    bool boolean = false;
};

constexpr Field kStep[] = {{6, true}, {6, true}};
constexpr Field kButton[] = {{1}, {3, true}};
constexpr Field kPosition[] = {{12}, {12}};
constexpr Field kOneBit[] = {{1}};
constexpr Field kBoolean[] = {{8, false, true}};
constexpr Field kKey[] = {{8}};
constexpr Field kWheel[] = {{8, true}};
constexpr Field kScreenSettings[] = {{8, false, true}, {8}};

struct Layout {
    bool known;
    std::span<const Field> fields;
};

// The payload of each input command. The character (5) has a width bit of its own and is
// read and written apart.
Layout LayoutOf(bool mouse, int command)
{
    if (mouse)
        return {true, command == kDemoMouseStep ? std::span<const Field>(kStep) : std::span<const Field>(kButton)};
    switch (command) {
    case kDemoMouseAt: return {true, kPosition};
    case kDemoActivation: return {true, kOneBit};
    case kDemoMinimized: return {true, kBoolean};
    case kDemoKeyDown:
    case kDemoKeyUp: return {true, kKey};
    case kDemoWheel: return {true, kWheel};
    case kDemoScreenSettings: return {true, kScreenSettings};
    case kDemoClose:
    case kDemoMouseEnter:
    case kDemoMouseLeave: return {true, {}};
    default: return {false, {}};
    }
}

int CharBits(bool wide) { return wide ? 16 : 8; }

// The commands whose payload the operation that records them reads back.
bool IsDataCommand(int command)
{
    switch (command) {
    case kDemoLoadingCompleted:
    case kDemoRegistryRead:
    case kDemoRegistryWrite:
    case kDemoFileRead:
    case kDemoHTTPResult:
    case kDemoSyncBuffer: return true;
    default: return false;
    }
}

} // namespace

void DemoStream::StartRecording()
{
    data_.Clear();
    recording_ = true;
    playing_ = false;
    lastEventUpdate_ = updateCounter_;
}

void DemoStream::StartPlaying(const Buffer& recorded)
{
    data_ = recorded;
    data_.SeekFront();
    recording_ = false;
    playing_ = true;
    lastEventUpdate_ = updateCounter_;
    needHeader_ = true;
    ended_ = false;
}

void DemoStream::Stop()
{
    recording_ = false;
    playing_ = false;
}

Buffer& DemoStream::BeginHeader(bool mouse, int command)
{
    uint32_t gap = updateCounter_ - lastEventUpdate_;
    for (; gap > kMaxGap; gap -= kMaxGap) {
        data_.WriteNumBits(kMaxGap, kGapBits);
        data_.WriteNumBits(0, 1);
        data_.WriteNumBits(kDemoFiller, kCommandBits);
    }
    data_.WriteNumBits(gap, kGapBits);
    data_.WriteNumBits(mouse ? 1 : 0, 1);
    data_.WriteNumBits(uint32_t(command), mouse ? 1 : kCommandBits);
    lastEventUpdate_ = updateCounter_;
    return data_;
}

Buffer& DemoStream::BeginEvent(int command) { return BeginHeader(false, command); }

Buffer& DemoStream::BeginMouseEvent(int command) { return BeginHeader(true, command); }

void DemoStream::Write(const DemoEvent& event)
{
    Buffer& payload = BeginHeader(event.mouse, event.command);
    if (!event.mouse && event.command == kDemoChar) {
        const bool wide = event.values[0] > 0xFF;
        payload.WriteNumBits(wide ? 1 : 0, 1);
        payload.WriteNumBits(uint32_t(event.values[0]), CharBits(wide));
        return;
    }
    const Layout layout = LayoutOf(event.mouse, event.command);
    for (size_t i = 0; i < layout.fields.size(); ++i) {
        const Field& field = layout.fields[i];
        if (field.boolean)
            payload.WriteBoolean(event.values[i] != 0);
        else
            payload.WriteNumBits(uint32_t(event.values[i]), field.bits);
    }
}

bool DemoStream::Holds(size_t bits) const
{
    return data_.GetReadPos() <= data_.GetDataBits() && data_.GetDataBits() - data_.GetReadPos() >= bits;
}

// Fillers only move the count on. A header cut short by the end of the stream (the padding of
// its last byte) is no event.
bool DemoStream::ReadHeader()
{
    for (;;) {
        if (!Holds(kGapBits + 2))
            return false;
        const uint32_t gap = uint32_t(data_.ReadNumBits(kGapBits, false));
        const bool mouse = data_.ReadNumBits(1, false) != 0;
        if (!mouse && !Holds(kCommandBits))
            return false;
        const int command = data_.ReadNumBits(mouse ? 1 : kCommandBits, false);
        lastEventUpdate_ += gap;
        if (mouse || command != kDemoFiller) {
            pending_ = DemoEvent{mouse, command, {}};
            needHeader_ = false;
            return true;
        }
    }
}

std::optional<DemoEvent> DemoStream::Due()
{
    if (!playing_ || ended_)
        return std::nullopt;
    if (needHeader_ && !ReadHeader()) {
        ended_ = true;
        return std::nullopt;
    }
    // An event whose update has passed unplayed is still due: the replay must not stall on it.
    if (int32_t(updateCounter_ - lastEventUpdate_) < 0)
        return std::nullopt;
    return pending_;
}

Buffer* DemoStream::DueEvent(int command)
{
    std::optional<DemoEvent> due = Due();
    return due && !due->mouse && due->command == command ? &data_ : nullptr;
}

void DemoStream::ConsumeEvent() { needHeader_ = true; }

std::optional<DemoEvent> DemoStream::TakeDueInput()
{
    std::optional<DemoEvent> event = Due();
    if (!event)
        return std::nullopt;
    if (!event->mouse && event->command == kDemoChar) {
        if (!Holds(1)) {
            ended_ = true;
            return std::nullopt;
        }
        const int bits = CharBits(data_.ReadNumBits(1, false) != 0);
        if (!Holds(size_t(bits))) {
            ended_ = true;
            return std::nullopt;
        }
        event->values[0] = data_.ReadNumBits(bits, false);
        ConsumeEvent();
        return event;
    }
    const Layout layout = LayoutOf(event->mouse, event->command);
    if (!layout.known) {
        // Nothing would ever read a command of no known kind: the recording is damaged here.
        if (!IsDataCommand(event->command))
            ended_ = true;
        return std::nullopt;
    }
    for (size_t i = 0; i < layout.fields.size(); ++i) {
        const Field& field = layout.fields[i];
        if (!Holds(size_t(field.bits))) {
            ended_ = true;
            return std::nullopt;
        }
        const int32_t value = data_.ReadNumBits(field.bits, field.isSigned);
        event->values[i] = field.boolean ? value != 0 : value;
    }
    ConsumeEvent();
    return event;
}

} // namespace Nubra
