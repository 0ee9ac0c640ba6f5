#pragma once
#include <string>

// The folder every relative data path starts from: $VELMIRA_DATA_ROOT when set (tests, installed
// layouts), else the executable's folder. Always ends in '/'.
std::string DataRoot();

// Makes DataRoot() the working folder; false (with a line on the debugger output) when it cannot.
bool SetWorkingDirectoryToExe();
