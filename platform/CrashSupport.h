#pragma once
#include "platform/SignalSafeText.h"

#include <csignal>
#include <cstdint>

namespace plat {

// What a crash handler needs of the system. Everything here except installing and restoring
// may be called inside a signal handler.

using FatalSignalHandler = void (*)(int signal, siginfo_t* info, void* context);

// Sends SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT and SIGTRAP to handler, on an alternate stack
// of the calling thread (so that a stack overflow can still be reported). Each handler runs
// once: the signal's default action is back in place while it runs. The previous handlers are
// kept for RestoreFatalSignalHandlers.
void InstallFatalSignalHandler(FatalSignalHandler handler);
void RestoreFatalSignalHandlers();
// Puts the default action back and raises the signal again, to end the process by it once the
// handler returns.
void ReraiseWithDefaultAction(int signal);

struct InterruptedAt {
    uintptr_t instruction;
    uintptr_t stack;
};
InterruptedAt WhereInterrupted(const void* context);
uint32_t CurrentThreadId();

// One register dump of the interrupted thread, as "RAX:... " lines ending in "\r\n".
void AddRegisters(SignalSafeText& text, const void* context);
// "Module: <file>\r\n" and "Logical Address: <offset in that file>\r\n" for an address.
void AddModuleOf(SignalSafeText& text, uintptr_t address);
// One line per frame of the calling thread's stack, from the frame at from (when it is on the
// stack) outwards: "<address> <symbol>+<offset>" or "<address> <module>+<offset>".
void AddCallStack(SignalSafeText& text, uintptr_t from);
// "OS Ver: ..." and "SDL Ver: ..." lines.
void AddSystemInfo(SignalSafeText& text);
// Makes the unwinder's library resident, so that the first stack walk does not load it.
void PrepareCallStack();

// Starts argv[0] with the arguments (null-terminated list) without running fork handlers,
// and waits for it to end.
void RunAndWait(const char* const* argv);

} // namespace plat
