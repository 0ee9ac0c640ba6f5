#pragma once

// The program: constructs the game, runs Init and Start once each, deletes it. Returns the
// process's exit code.
int RunGame();
