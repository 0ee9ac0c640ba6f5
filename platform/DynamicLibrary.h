#pragma once
#include <string>

namespace plat {

// A shared library loaded at run time that may be absent.
class DynamicLibrary {
public:
    explicit DynamicLibrary(const std::string& name);
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    bool IsLoaded() const { return handle_ != nullptr; }
    void* Symbol(const char* name) const; // null when unloaded or missing

private:
    void* handle_ = nullptr;
};

} // namespace plat
