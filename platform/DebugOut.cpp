#include "platform/DebugOut.h"

#include <cstdio>

namespace plat {

void DebugOut(std::string_view text)
{
    // The framework's texts end their lines the Windows way; a terminal here wants "\n".
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string_view::npos; start = end + 2) {
        std::fwrite(text.data() + start, 1, end - start, stderr);
        std::fputc('\n', stderr);
    }
    std::fwrite(text.data() + start, 1, text.size() - start, stderr);
    std::fflush(stderr);
}

} // namespace plat
