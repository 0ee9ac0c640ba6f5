#include "engine/core/DataRoot.h"

#include <cstdlib>
#include <filesystem>

#include "platform/DebugOut.h"
#include "platform/Files.h"

std::string DataRoot()
{
    const char* root = std::getenv("VELMIRA_DATA_ROOT");
    if (!root || !*root)
        return plat::ExeDir();
    std::string folder = root;
    if (folder.back() != '/')
        folder += '/';
    return folder;
}

bool SetWorkingDirectoryToExe()
{
    const std::string root = DataRoot();
    std::error_code error;
    std::filesystem::current_path(root, error);
    if (error)
        plat::DebugOut("Cannot enter the data folder " + root + ": " + error.message() + "\n");
    return !error;
}
