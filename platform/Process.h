#pragma once
#include <optional>
#include <string>
#include <vector>

namespace plat {

// The arguments the process was started with, the program's own name first.
std::vector<std::string> CommandLineArgs();

// Ends the process at once with the code: no static destructors run, so threads still working
// cannot trip over objects torn down under them. Standard streams are flushed first.
[[noreturn]] void ExitNow(int code);

// Runs command[0] (searched on PATH) with the rest as its arguments and gives what it wrote on
// standard output; its standard error is dropped. Nothing when it cannot start, ends with another
// code than 0 or by a signal, or is still running after timeoutMs (it is then killed).
std::optional<std::string> RunAndRead(const std::vector<std::string>& command, int timeoutMs);

} // namespace plat
