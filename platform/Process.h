#pragma once
#include <string>
#include <vector>

namespace plat {

// The arguments the process was started with, the program's own name first.
std::vector<std::string> CommandLineArgs();

// Ends the process at once with the code: no static destructors run, so threads still working
// cannot trip over objects torn down under them. Standard streams are flushed first.
[[noreturn]] void ExitNow(int code);

} // namespace plat
