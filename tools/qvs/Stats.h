#pragma once
// Figures of one recorded trace over a time window, taking the samples as
// the piece-wise linear curve the engine computed (values between samples
// are interpolated linearly), so that unevenly spaced steps weigh by their
// length and not by their count.

#include <vector>

#include "Circuit.h"

namespace qvs {

struct WindowStats {
  bool valid = false;  // false: no sample reaches into the window
  double final = 0;    // value at the last sample
  double min = 0, max = 0;
  double mean = 0;     // time average over [from, last sample]
  double rms = 0;      // root of the time average of the square
  int points = 0;      // samples inside the window
};

// The statistics of samples (times not decreasing) from time `from` on.
// A window that starts between two samples starts at the interpolated
// value there. Over a window of zero length mean and rms are those of the
// single value.
WindowStats ComputeStats(const std::vector<Sample>& samples, double from);

// The value at time t by linear interpolation, the first or last value
// outside the samples; at a time held by two samples (a jump) the later.
double ValueAt(const std::vector<Sample>& samples, double t);

}  // namespace qvs
