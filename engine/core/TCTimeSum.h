#pragma once
#include <cstdint>

// A running sum of frame times, kept in whole microseconds: frame times are whole milliseconds
// passed on as float seconds, and a float sum of them drifts by a percent over a two-hour day.
class TCTimeSum {
public:
    void Add(float seconds);
    void Reset() { microseconds_ = 0; }
    double Seconds() const { return double(microseconds_) / 1e6; }

private:
    int64_t microseconds_ = 0;
};
