#pragma once
#include <string>
#include <string_view>

namespace plat {

// The code points of UTF-8 text, as the system's interfaces hand it over. Bytes that do not
// form a Unicode scalar value are skipped.
std::u32string DecodeUtf8(std::string_view text);

} // namespace plat
