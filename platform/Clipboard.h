#pragma once
#include <string>

namespace plat {

// The desktop's clipboard, as UTF-8 text. False when the system refuses; "" when it holds none.
bool SetClipboardText(const std::string& utf8);
std::string GetClipboardText();

} // namespace plat
