#include "game/shell/Entry.h"

int main() { return RunGame(); }
