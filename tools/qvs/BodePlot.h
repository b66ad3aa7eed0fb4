#pragma once
// The Bode plot of an AC run: two stacked panels, magnitude in dB over
// phase in degrees, sharing one frequency axis (logarithmic with a grid line
// at every decade and fainter ones at 2 ... 9 times it, or linear), tick
// labels in engineering notation (100, 1k, 10k) and one legend for both
// panels above them. Every trace is one polyline in each panel. Each panel
// is an SVG group with the id "magnitude" or "phase".

#include <string>
#include <vector>

#include "Circuit.h"

namespace qvs {

struct BodeTrace {
  std::string name;
  const std::vector<FreqSample>* samples;
};

struct BodeOptions {
  std::string title;
  bool log_axis = true;    // falls back to linear when a frequency is not above 0
  int width = 1000;        // px
  int panel_height = 220;  // px
};

// The frequencies that get a label on a logarithmic axis over [lo, hi]
// (0 < lo < hi): every decade inside it; when fewer than two decades fall
// inside, also 2 and 5 times each decade.
std::vector<double> LogAxisLabels(double lo, double hi);

// Phase ticks over [lo, hi], degrees: a step of 1, 2, 5, 10, 15, 30, 45, 90
// or a multiple of 180, the smallest that gives at most 8 ticks.
std::vector<double> DegreeTicks(double lo, double hi);

std::string RenderBode(const std::vector<BodeTrace>& traces, const BodeOptions& options);

}  // namespace qvs
