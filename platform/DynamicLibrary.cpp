#include "platform/DynamicLibrary.h"

#include <dlfcn.h>

namespace plat {

DynamicLibrary::DynamicLibrary(const std::string& name) : handle_(dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL)) {}

DynamicLibrary::~DynamicLibrary()
{
    if (handle_)
        dlclose(handle_);
}

void* DynamicLibrary::Symbol(const char* name) const { return handle_ ? dlsym(handle_, name) : nullptr; }

} // namespace plat
