#include "SvgPlot.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

#include "EngNumber.h"

namespace qvs {

namespace {

constexpr int kLeft = 90, kRight = 20, kTop = 40, kGap = 24, kBottom = 50;

struct Panel {
  std::string unit;
  std::vector<int> traces;  // indexes into the trace list
};

}  // namespace

const char* PlotColor(int i) {
  static const char* const kColors[] = {"#1f77b4", "#d62728", "#2ca02c", "#ff7f0e", "#9467bd",
                                        "#8c564b", "#e377c2", "#7f7f7f", "#bcbd22", "#17becf"};
  return kColors[(i % 10 + 10) % 10];
}

std::string SvgEscape(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string SvgCoord(double v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, std::round(v * 10.0) / 10.0,
                               std::chars_format::fixed, 1);
  std::string s(buf, r.ptr);
  if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0) s.resize(s.size() - 2);
  return s;
}

int TickLabelDigits(const std::vector<double>& ticks) {
  if (ticks.size() < 2) return 3;
  const double step = std::fabs(ticks[1] - ticks[0]);
  double big = 0.0;
  for (double t : ticks) big = std::max(big, std::fabs(t));
  if (!(step > 0) || !(big > 0)) return 3;
  const int d = static_cast<int>(std::floor(std::log10(big)) - std::floor(std::log10(step))) + 1;
  return std::clamp(d, 3, 12);
}

std::vector<Sample> ReduceForPlot(const std::vector<Sample>& s, double t0, double t1,
                                  int columns) {
  std::vector<Sample> out;
  if (s.empty() || !(t1 > t0) || columns < 1) return out;
  // The samples inside the window and one neighbour on each side.
  std::size_t first = 0, last = s.size();
  while (first < s.size() && s[first].t < t0) ++first;
  if (first > 0) --first;
  while (last > first && s[last - 1].t > t1) --last;
  if (last < s.size()) ++last;
  if (last - first <= 2 * static_cast<std::size_t>(columns)) {
    out.assign(s.begin() + static_cast<std::ptrdiff_t>(first),
               s.begin() + static_cast<std::ptrdiff_t>(last));
    return out;
  }
  const double width = (t1 - t0) / columns;
  std::size_t i = first;
  while (i < last) {
    // The column of sample i; the neighbours outside the window get columns
    // of their own at its edges.
    const double col = std::floor((s[i].t - t0) / width);
    std::size_t lo = i, hi = i, j = i;
    for (; j < last && std::floor((s[j].t - t0) / width) == col; ++j) {
      if (s[j].v < s[lo].v) lo = j;
      if (s[j].v > s[hi].v) hi = j;
    }
    if (lo == hi) {
      out.push_back(s[lo]);
    } else {
      out.push_back(s[std::min(lo, hi)]);
      out.push_back(s[std::max(lo, hi)]);
    }
    i = j;
  }
  return out;
}

std::vector<double> NiceTicks(double lo, double hi, int target) {
  std::vector<double> ticks;
  if (!(hi > lo) || target < 1 || !std::isfinite(lo) || !std::isfinite(hi)) return ticks;
  const double raw = (hi - lo) / target;
  const double p = std::pow(10.0, std::floor(std::log10(raw)));
  const double f = raw / p;
  const double step = (f < 1.5 ? 1.0 : f < 3.5 ? 2.0 : f < 7.5 ? 5.0 : 10.0) * p;
  for (double k = std::ceil(lo / step - 1e-9); k * step <= hi + step * 1e-9; k += 1.0) {
    double v = k * step;
    if (std::fabs(v) < step * 1e-9) v = 0.0;  // no "-0" or 1e-17 at the origin
    ticks.push_back(v);
  }
  return ticks;
}

std::string RenderSvg(const std::vector<PlotTrace>& traces, double t0, double t1,
                      const PlotOptions& opt) {
  // Panels: one per trace, or one per unit in the order units first appear.
  std::vector<Panel> panels;
  for (int i = 0; i < static_cast<int>(traces.size()); ++i) {
    if (opt.by_unit) {
      auto it = std::find_if(panels.begin(), panels.end(),
                             [&](const Panel& p) { return p.unit == traces[i].unit; });
      if (it != panels.end()) {
        it->traces.push_back(i);
        continue;
      }
    }
    panels.push_back({traces[i].unit, {i}});
  }
  if (!(t1 > t0)) t1 = t0 + 1.0;  // a run of no length still gets an axis

  const int pw = opt.width - kLeft - kRight;
  const int ph = opt.panel_height;
  const int n = static_cast<int>(panels.size());
  const int height = kTop + n * ph + (n > 0 ? (n - 1) * kGap : 0) + kBottom;
  auto xOf = [&](double t) { return kLeft + (t - t0) / (t1 - t0) * pw; };

  std::string svg;
  svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(opt.width) +
         "\" height=\"" + std::to_string(height) + "\" viewBox=\"0 0 " +
         std::to_string(opt.width) + " " + std::to_string(height) +
         "\" font-family=\"sans-serif\" font-size=\"12\">\n";
  svg += "<rect x=\"0\" y=\"0\" width=\"" + std::to_string(opt.width) + "\" height=\"" +
         std::to_string(height) + "\" fill=\"white\"/>\n";
  svg += "<text x=\"" + std::to_string(kLeft) + "\" y=\"24\" font-size=\"15\">" +
         SvgEscape(opt.title) + "</text>\n";

  const std::vector<double> tTicks = NiceTicks(t0, t1, 8);
  for (int p = 0; p < n; ++p) {
    const int top = kTop + p * (ph + kGap);
    // The reduced curves first: the value range is theirs.
    std::vector<std::vector<Sample>> pts;
    double lo = INFINITY, hi = -INFINITY;
    for (int ti : panels[p].traces) {
      pts.push_back(ReduceForPlot(*traces[ti].samples, t0, t1, pw));
      for (const Sample& s : pts.back()) {
        if (s.t < t0 || s.t > t1 || !std::isfinite(s.v)) continue;
        lo = std::min(lo, s.v);
        hi = std::max(hi, s.v);
      }
    }
    if (!(lo <= hi)) lo = -1.0, hi = 1.0;  // nothing to show
    if (hi == lo) {
      const double d = lo != 0.0 ? std::fabs(lo) * 0.1 : 1.0;
      lo -= d;
      hi += d;
    } else {
      const double pad = (hi - lo) * 0.05;
      lo -= pad;
      hi += pad;
    }
    auto yOf = [&](double v) { return top + (hi - v) / (hi - lo) * ph; };

    svg += "<g>\n<clipPath id=\"clip" + std::to_string(p) + "\"><rect x=\"" +
           std::to_string(kLeft) + "\" y=\"" + std::to_string(top) + "\" width=\"" +
           std::to_string(pw) + "\" height=\"" + std::to_string(ph) + "\"/></clipPath>\n";
    svg += "<rect x=\"" + std::to_string(kLeft) + "\" y=\"" + std::to_string(top) +
           "\" width=\"" + std::to_string(pw) + "\" height=\"" + std::to_string(ph) +
           "\" fill=\"none\" stroke=\"#444\"/>\n";
    for (double t : tTicks) {
      const std::string x = SvgCoord(xOf(t));
      svg += "<line x1=\"" + x + "\" y1=\"" + std::to_string(top) + "\" x2=\"" + x +
             "\" y2=\"" + std::to_string(top + ph) + "\" stroke=\"#ddd\"/>\n";
    }
    const std::vector<double> vTicks = NiceTicks(lo, hi, 5);
    const int digits = TickLabelDigits(vTicks);
    for (double v : vTicks) {
      const std::string y = SvgCoord(yOf(v));
      svg += "<line x1=\"" + std::to_string(kLeft) + "\" y1=\"" + y + "\" x2=\"" +
             std::to_string(kLeft + pw) + "\" y2=\"" + y + "\" stroke=\"#ddd\"/>\n";
      svg += "<text x=\"" + std::to_string(kLeft - 6) + "\" y=\"" + SvgCoord(yOf(v) + 4) +
             "\" text-anchor=\"end\">" + SvgEscape(FormatEng(v, digits) + panels[p].unit) +
             "</text>\n";
    }
    for (std::size_t k = 0; k < panels[p].traces.size(); ++k) {
      const int ti = panels[p].traces[k];
      const char* color = PlotColor(ti);
      std::string points;
      for (const Sample& s : pts[k]) {
        if (!std::isfinite(s.v)) continue;
        if (!points.empty()) points += ' ';
        points += SvgCoord(xOf(s.t)) + "," + SvgCoord(yOf(s.v));
      }
      svg += "<polyline fill=\"none\" stroke=\"" + std::string(color) +
             "\" stroke-width=\"1.2\" clip-path=\"url(#clip" + std::to_string(p) +
             ")\" points=\"" + points + "\"/>\n";
    }
    // The legend over the curves, on a white box: a short stroke and the
    // name per trace, top left inside the panel.
    std::size_t longest = 0;
    for (int ti : panels[p].traces) longest = std::max(longest, traces[ti].name.size());
    svg += "<rect x=\"" + std::to_string(kLeft + 4) + "\" y=\"" + std::to_string(top + 4) +
           "\" width=\"" + std::to_string(40 + 7 * static_cast<int>(longest)) + "\" height=\"" +
           std::to_string(6 + 16 * static_cast<int>(panels[p].traces.size())) +
           "\" fill=\"white\" fill-opacity=\"0.85\" stroke=\"#999\"/>\n";
    for (std::size_t k = 0; k < panels[p].traces.size(); ++k) {
      const int ti = panels[p].traces[k];
      const char* color = PlotColor(ti);
      const int ly = top + 16 + static_cast<int>(k) * 16;
      svg += "<line x1=\"" + std::to_string(kLeft + 10) + "\" y1=\"" + std::to_string(ly - 4) +
             "\" x2=\"" + std::to_string(kLeft + 30) + "\" y2=\"" + std::to_string(ly - 4) +
             "\" stroke=\"" + color + "\" stroke-width=\"2\"/>\n";
      svg += "<text x=\"" + std::to_string(kLeft + 36) + "\" y=\"" + std::to_string(ly) +
             "\" fill=\"" + color + "\">" + SvgEscape(traces[ti].name) + "</text>\n";
    }
    svg += "</g>\n";
  }
  // The shared time axis under the last panel.
  const int axis = kTop + n * ph + (n > 0 ? (n - 1) * kGap : 0);
  const int tDigits = TickLabelDigits(tTicks);
  for (double t : tTicks) {
    svg += "<text x=\"" + SvgCoord(xOf(t)) + "\" y=\"" + std::to_string(axis + 18) +
           "\" text-anchor=\"middle\">" + SvgEscape(FormatEng(t, tDigits) + "s") + "</text>\n";
  }
  svg += "<text x=\"" + std::to_string(kLeft + pw / 2) + "\" y=\"" + std::to_string(axis + 40) +
         "\" text-anchor=\"middle\">time</text>\n";
  svg += "</svg>\n";
  return svg;
}

}  // namespace qvs
