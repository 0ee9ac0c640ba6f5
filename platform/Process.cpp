#include "platform/Process.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

namespace plat {

std::vector<std::string> CommandLineArgs()
{
    std::ifstream file("/proc/self/cmdline", std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::string> args;
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find('\0', start);
        if (end == std::string::npos)
            end = all.size();
        args.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    return args;
}

void ExitNow(int code)
{
    std::fflush(nullptr);
    _exit(code);
}

} // namespace plat
