#pragma once
#include <string>

#include "framework/graphics/Rect.h"

// Small helpers shared by the engine's and the game's code.

// a + (b - a) * r / 32767 over the 15-bit generator, so the result lies in [a, b].
float RandomFloat(float a, float b);
// Uniform in [a, b): b is excluded, except for a span of one, which gives a or b evenly.
// Equal or reversed bounds give a.
int RandomInt(int a, int b);

// Where the line through (x1, y1) at angle1 degrees meets the one through (x2, y2) at angle2,
// with angles measured in a y-up system; screen coordinates in and out, rounded. False for
// parallel lines.
bool LineIntersection(int x1, int y1, float angle1, int x2, int y2, float angle2, Nubra::Point& out);

// A four-digit id of two pairs ("0201") with its pairs put in order ("0102" ascending). Other
// texts, and ids whose second pair is "00", come back unchanged.
std::string OrderPairId(const std::string& text, bool descending);

// Formatted text to the debugger output.
void DebugPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));
