#include "game/shell/Entry.h"

int main(int argc, char** argv) { return RunProgram(argc, argv); }
