#pragma once
#include <string>
#include <vector>

#include "framework/graphics/Rect.h"

// The points of a "x y x y ..." list of integers. An odd last value is dropped; a word that is
// not an integer ends the list (and is reported by the caller through `stopped`).
std::vector<Nubra::Point> ParsePointList(const std::string& text, bool* stopped = nullptr);

// Whether a pixel lies in the polygon filled by the non-zero winding rule. Pixels are sampled
// at their centres, so a left or top edge is inside and a right or bottom edge outside; fewer
// than three points enclose nothing.
bool PolygonContains(const std::vector<Nubra::Point>& polygon, Nubra::Point pixel);
