#include "platform/DebugOut.h"

#include <cstdio>

namespace plat {

void DebugOut(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

} // namespace plat
