#include "engine/core/TCTimeSum.h"

#include <cmath>

void TCTimeSum::Add(float seconds) { microseconds_ += std::llround(double(seconds) * 1e6); }
