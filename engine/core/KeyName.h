#pragma once
#include <string>

// The name of a virtual-key code for the developer displays: letters and digits as themselves,
// the other keys by their Windows names ("ESCAPE", "F1", "NUMPAD0"), "unknown" for codes without one.
std::string KeyName(int virtualKey);
