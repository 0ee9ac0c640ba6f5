#pragma once
#include <cstdint>

namespace plat {

// A message from the system to the application's window handling, already translated.
enum class MessageKind {
    Close, // the window was asked to close, or the process to quit
};

struct Message {
    MessageKind kind = MessageKind::Close;
    int32_t first = 0;
    int32_t second = 0;
};

// Where pending messages come from. Tests swap in a scripted one.
class IEventSource {
public:
    virtual ~IEventSource() = default;
    virtual bool Poll(Message& out) = 0; // false when nothing is pending
};

IEventSource& EventSource();
void SetEventSource(IEventSource* source); // null restores the SDL one

inline bool PollMessage(Message& out) { return EventSource().Poll(out); }

} // namespace plat
