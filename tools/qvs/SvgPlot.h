#pragma once
// The SVG plot of a run: stacked panels over one shared time axis, each
// with its own value axis, grid, tick labels in engineering notation and a
// legend. A trace is drawn as one polyline; a trace with more samples than
// the panel has pixel columns is reduced to the minimum and maximum of each
// column, which keeps every peak visible and the file small.

#include <string>
#include <vector>

#include "Circuit.h"

namespace qvs {

struct PlotTrace {
  std::string name;
  std::string unit;  // "V", "A", "W" or "" for a formula or variable
  const std::vector<Sample>* samples;
};

struct PlotOptions {
  std::string title;
  bool by_unit = false;  // one panel per unit instead of one per trace
  int width = 1000;      // px
  int panel_height = 180;  // px
};

// The points drawn for samples over [t0, t1] in `columns` pixel columns:
// all of them (with the neighbours just outside the window, so the line
// reaches its edges) when they are at most two per column, else per column
// the minimum and the maximum in their time order.
std::vector<Sample> ReduceForPlot(const std::vector<Sample>& samples, double t0, double t1,
                                  int columns);

// Tick values covering [lo, hi] at a step of 1, 2 or 5 times a power of ten,
// about `target` of them.
std::vector<double> NiceTicks(double lo, double hi, int target);

// Pieces every plot of the tool shares: the colour of the i-th trace, text
// escaped for SVG, a pixel coordinate with one decimal (enough for a pixel,
// short in the file), and the significant digits that tell neighbouring
// tick labels apart (those of the largest tick down to the digit of the
// step; 3 for fewer than two ticks).
const char* PlotColor(int i);
std::string SvgEscape(const std::string& s);
std::string SvgCoord(double v);
int TickLabelDigits(const std::vector<double>& ticks);

// The whole SVG document.
std::string RenderSvg(const std::vector<PlotTrace>& traces, double t0, double t1,
                      const PlotOptions& options);

}  // namespace qvs
