#pragma once
#include <functional>

// What happens in the game, told to the tutorial by event number (1: a client came, 3: a client
// paid and left, ...). Without a listener nobody hears.
void SetTutorialListener(std::function<void(int event)> listener);
void SendTutorialEvent(int event);
