#include "platform/CrashSupport.h"

#include <SDL.h>

#include <cerrno>
#include <dlfcn.h>
#include <execinfo.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <ucontext.h>
#include <unistd.h>

namespace plat {
namespace {

constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP};
constexpr int kFatalSignalCount = sizeof kFatalSignals / sizeof kFatalSignals[0];
constexpr int kMaxFrames = 64;

// Room for the handler even in a sanitised build, whose frames are large.
alignas(16) char gAlternateStack[256 * 1024];
struct sigaction gPreviousActions[kFatalSignalCount];
stack_t gPreviousStack;
bool gInstalled = false;

const mcontext_t& Machine(const void* context)
{
    return static_cast<const ucontext_t*>(context)->uc_mcontext;
}

struct NamedRegister {
    const char* name;
    uint64_t value;
};

void AddRegisterLine(SignalSafeText& text, const NamedRegister* registers, int count, int digits)
{
    for (int i = 0; i < count; ++i) {
        text.Add(i == 0 ? "" : " ").Add(registers[i].name).Add(":");
        text.AddHex(registers[i].value, digits);
    }
    text.Add("\r\n");
}

} // namespace

void InstallFatalSignalHandler(FatalSignalHandler handler)
{
    if (gInstalled)
        RestoreFatalSignalHandlers();
    stack_t alternate{};
    alternate.ss_sp = gAlternateStack;
    alternate.ss_size = sizeof gAlternateStack;
    sigaltstack(&alternate, &gPreviousStack);
    struct sigaction action {};
    action.sa_sigaction = handler;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < kFatalSignalCount; ++i)
        sigaction(kFatalSignals[i], &action, &gPreviousActions[i]);
    gInstalled = true;
}

void RestoreFatalSignalHandlers()
{
    if (!gInstalled)
        return;
    for (int i = 0; i < kFatalSignalCount; ++i)
        sigaction(kFatalSignals[i], &gPreviousActions[i], nullptr);
    sigaltstack(&gPreviousStack, nullptr);
    gInstalled = false;
}

void ReraiseWithDefaultAction(int signal)
{
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal);
}

InterruptedAt WhereInterrupted(const void* context)
{
    const mcontext_t& machine = Machine(context);
#if defined(__x86_64__)
    return {uintptr_t(machine.gregs[REG_RIP]), uintptr_t(machine.gregs[REG_RSP])};
#elif defined(__i386__)
    return {uintptr_t(machine.gregs[REG_EIP]), uintptr_t(machine.gregs[REG_ESP])};
#elif defined(__aarch64__)
    return {uintptr_t(machine.pc), uintptr_t(machine.sp)};
#else
    (void)machine;
    return {0, 0};
#endif
}

uint32_t CurrentThreadId()
{
    return uint32_t(gettid());
}

void AddRegisters(SignalSafeText& text, const void* context)
{
#if defined(__x86_64__)
    const greg_t* r = Machine(context).gregs;
    auto u = [](greg_t value) { return uint64_t(value); };
    const NamedRegister general[] = {{"RAX", u(r[REG_RAX])}, {"RBX", u(r[REG_RBX])}, {"RCX", u(r[REG_RCX])},
                                     {"RDX", u(r[REG_RDX])}, {"RSI", u(r[REG_RSI])}, {"RDI", u(r[REG_RDI])}};
    const NamedRegister numbered[] = {{"R8", u(r[REG_R8])},   {"R9", u(r[REG_R9])},   {"R10", u(r[REG_R10])},
                                      {"R11", u(r[REG_R11])}, {"R12", u(r[REG_R12])}, {"R13", u(r[REG_R13])},
                                      {"R14", u(r[REG_R14])}, {"R15", u(r[REG_R15])}};
    // Two blanks before the frame pointer, as the report has always had.
    const NamedRegister pointers[] = {{"RIP", u(r[REG_RIP])}, {"RSP", u(r[REG_RSP])}, {" RBP", u(r[REG_RBP])}};
    uint64_t segments = u(r[REG_CSGSFS]); // cs, gs, fs in 16 bits each
    const NamedRegister selectors[] = {{"CS", segments & 0xFFFF}, {"GS", (segments >> 16) & 0xFFFF},
                                       {"FS", (segments >> 32) & 0xFFFF}};
    const NamedRegister flags[] = {{"Flags", u(r[REG_EFL])}};
    AddRegisterLine(text, general, 6, 16);
    AddRegisterLine(text, numbered, 8, 16);
    AddRegisterLine(text, pointers, 3, 16);
    AddRegisterLine(text, selectors, 3, 4);
    AddRegisterLine(text, flags, 1, 8);
#elif defined(__i386__)
    const greg_t* r = Machine(context).gregs;
    auto u = [](greg_t value) { return uint64_t(uint32_t(value)); };
    const NamedRegister general[] = {{"EAX", u(r[REG_EAX])}, {"EBX", u(r[REG_EBX])}, {"ECX", u(r[REG_ECX])},
                                     {"EDX", u(r[REG_EDX])}, {"ESI", u(r[REG_ESI])}, {"EDI", u(r[REG_EDI])}};
    const NamedRegister pointers[] = {{"EIP", u(r[REG_EIP])}, {"ESP", u(r[REG_ESP])}, {" EBP", u(r[REG_EBP])}};
    const NamedRegister selectors[] = {{"CS", u(r[REG_CS])}, {"SS", u(r[REG_SS])}, {"DS", u(r[REG_DS])},
                                       {"ES", u(r[REG_ES])}, {"FS", u(r[REG_FS])}, {"GS", u(r[REG_GS])}};
    const NamedRegister flags[] = {{"Flags", u(r[REG_EFL])}};
    AddRegisterLine(text, general, 6, 8);
    AddRegisterLine(text, pointers, 3, 8);
    AddRegisterLine(text, selectors, 6, 4);
    AddRegisterLine(text, flags, 1, 8);
#else
    InterruptedAt at = WhereInterrupted(context);
    const NamedRegister pointers[] = {{"PC", at.instruction}, {"SP", at.stack}};
    AddRegisterLine(text, pointers, 2, 16);
#endif
}

void AddModuleOf(SignalSafeText& text, uintptr_t address)
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(address), &info) == 0 || info.dli_fname == nullptr) {
        text.Add("Module: unknown\r\n");
        return;
    }
    text.Add("Module: ").Add(info.dli_fname).Add("\r\n");
    text.Add("Logical Address: ").AddHex(address - uintptr_t(info.dli_fbase), 8).Add("\r\n");
}

void AddCallStack(SignalSafeText& text, uintptr_t from)
{
    void* frames[kMaxFrames];
    int count = backtrace(frames, kMaxFrames);
    if (count <= 0) {
        text.Add("StackWalk failed (error ").AddDecimal(errno).Add(")\r\n");
        return;
    }
    int first = 0;
    while (first < count && uintptr_t(frames[first]) != from)
        ++first;
    if (first == count)
        first = 0; // the interrupted frame is not on the walk: show the whole walk
    for (int i = first; i < count; ++i) {
        uintptr_t address = uintptr_t(frames[i]);
        text.AddHex(address, 2 * sizeof(void*)).Add(" ");
        Dl_info info{};
        if (dladdr(frames[i], &info) != 0 && info.dli_sname != nullptr)
            text.Add(info.dli_sname).Add("+").AddHex(address - uintptr_t(info.dli_saddr));
        else if (info.dli_fname != nullptr)
            text.Add(info.dli_fname).Add("+").AddHex(address - uintptr_t(info.dli_fbase));
        else
            text.Add("?");
        text.Add("\r\n");
    }
}

void AddSystemInfo(SignalSafeText& text)
{
    utsname system{};
    if (uname(&system) == 0) {
        text.Add("OS Ver: ").Add(system.sysname).Add(" ").Add(system.release).Add(" ");
        text.Add(system.version).Add(" ").Add(system.machine).Add("\r\n");
    }
    SDL_version sdl{};
    SDL_GetVersion(&sdl);
    text.Add("SDL Ver: ").AddDecimal(sdl.major).Add(".").AddDecimal(sdl.minor).Add(".").AddDecimal(sdl.patch).Add("\r\n");
}

void PrepareCallStack()
{
    void* frame[1];
    backtrace(frame, 1);
}

void RunAndWait(const char* const* argv)
{
    pid_t child = _Fork();
    if (child == 0) {
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr); // a handler's blocked signals would carry over exec
        execv(argv[0], const_cast<char* const*>(argv));
        _exit(127);
    }
    if (child < 0)
        return;
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

} // namespace plat
