#pragma once
#include <string_view>

namespace plat {

// Debugger output: the lines a developer reads while the game runs. Goes to standard error.
void DebugOut(std::string_view text);

} // namespace plat
