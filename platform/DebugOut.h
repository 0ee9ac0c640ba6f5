#pragma once
#include <string_view>

namespace plat {

// Debugger output: the lines a developer reads while the game runs. Goes to standard error, with
// "\r\n" line ends written as "\n".
void DebugOut(std::string_view text);

} // namespace plat
