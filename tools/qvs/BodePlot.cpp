#include "BodePlot.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "EngNumber.h"
#include "Response.h"
#include "SvgPlot.h"

namespace qvs {

namespace {

constexpr int kLeft = 90, kRight = 24, kGap = 40, kBottom = 52;
constexpr int kLegendTop = 46, kLegendRow = 18;

// The powers of ten from the one at or below lo to the one at or above hi.
std::vector<double> Decades(double lo, double hi) {
  std::vector<double> out;
  const int k0 = static_cast<int>(std::floor(std::log10(lo)));
  const int k1 = static_cast<int>(std::ceil(std::log10(hi)));
  for (int k = k0; k <= k1; ++k) out.push_back(std::pow(10.0, k));
  return out;
}

// Inside [lo, hi] give or take the rounding of pow and log.
bool Inside(double f, double lo, double hi) {
  return f >= lo * (1 - 1e-9) && f <= hi * (1 + 1e-9);
}

// lo and hi widened by 5 % of their span, or to a span of `flat` around a
// single value; -1 .. 1 when there is nothing finite to show.
void Pad(double* lo, double* hi, double flat) {
  if (!(*lo <= *hi)) {
    *lo = -1.0;
    *hi = 1.0;
  } else if (*hi == *lo) {
    *lo -= flat;
    *hi += flat;
  } else {
    const double pad = (*hi - *lo) * 0.05;
    *lo -= pad;
    *hi += pad;
  }
}

std::string Attr(const char* name, const std::string& value) {
  return std::string(" ") + name + "=\"" + value + "\"";
}
std::string Attr(const char* name, int value) { return Attr(name, std::to_string(value)); }

std::string HLine(int x1, int x2, double y, const char* stroke) {
  return "<line" + Attr("x1", x1) + Attr("y1", SvgCoord(y)) + Attr("x2", x2) +
         Attr("y2", SvgCoord(y)) + Attr("stroke", stroke) + "/>\n";
}

std::string VLine(double x, int y1, int y2, const char* stroke) {
  return "<line" + Attr("x1", SvgCoord(x)) + Attr("y1", y1) + Attr("x2", SvgCoord(x)) +
         Attr("y2", y2) + Attr("stroke", stroke) + "/>\n";
}

std::string Text(double x, double y, const char* anchor, const std::string& text) {
  return "<text" + Attr("x", SvgCoord(x)) + Attr("y", SvgCoord(y)) +
         Attr("text-anchor", anchor) + ">" + SvgEscape(text) + "</text>\n";
}

}  // namespace

std::vector<double> LogAxisLabels(double lo, double hi) {
  std::vector<double> out;
  if (!(lo > 0) || !(hi > lo) || !std::isfinite(hi)) return out;
  const std::vector<double> decades = Decades(lo, hi);
  for (double d : decades)
    if (Inside(d, lo, hi)) out.push_back(d);
  if (out.size() < 2) {
    for (double d : decades)
      for (double m : {2.0, 5.0})
        if (Inside(m * d, lo, hi)) out.push_back(m * d);
    std::sort(out.begin(), out.end());
  }
  return out;
}

std::vector<double> DegreeTicks(double lo, double hi) {
  std::vector<double> ticks;
  if (!(hi > lo) || !std::isfinite(lo) || !std::isfinite(hi)) return ticks;
  double step = 180.0;
  for (double s : {1.0, 2.0, 5.0, 10.0, 15.0, 30.0, 45.0, 90.0}) {
    if ((hi - lo) / s <= 7.0) {
      step = s;
      break;
    }
  }
  while ((hi - lo) / step > 7.0) step += 180.0;
  for (double k = std::ceil(lo / step - 1e-9); k * step <= hi + step * 1e-9; k += 1.0)
    ticks.push_back(k * step == 0.0 ? 0.0 : k * step);  // no "-0"
  return ticks;
}

std::string RenderBode(const std::vector<BodeTrace>& traces, const BodeOptions& opt) {
  // The frequency span and the value ranges of both panels.
  double fLo = INFINITY, fHi = -INFINITY;
  double dbLo = INFINITY, dbHi = -INFINITY, phLo = INFINITY, phHi = -INFINITY;
  for (const BodeTrace& t : traces) {
    for (const FreqSample& s : *t.samples) {
      if (!std::isfinite(s.f)) continue;
      fLo = std::min(fLo, s.f);
      fHi = std::max(fHi, s.f);
      const double db = ToDb(s.mag);
      if (std::isfinite(db)) dbLo = std::min(dbLo, db), dbHi = std::max(dbHi, db);
      if (std::isfinite(s.phase)) phLo = std::min(phLo, s.phase), phHi = std::max(phHi, s.phase);
    }
  }
  const bool log = opt.log_axis && fLo > 0;
  if (!(fLo <= fHi)) fLo = log ? 1.0 : 0.0, fHi = log ? 10.0 : 1.0;  // no data: an empty axis
  if (fLo == fHi) {
    // A single frequency: half a decade (or 10 %) each side of it.
    if (log) {
      fLo /= std::sqrt(10.0);
      fHi *= std::sqrt(10.0);
    } else {
      Pad(&fLo, &fHi, fLo != 0.0 ? std::fabs(fLo) * 0.1 : 1.0);
    }
  }
  Pad(&dbLo, &dbHi, 1.0);
  Pad(&phLo, &phHi, 10.0);

  // The legend: entries in rows across the width, above the panels.
  const int right = opt.width - kRight;
  std::vector<std::pair<int, int>> legendAt;  // x, row per trace
  int x = kLeft, rows = traces.empty() ? 0 : 1;
  for (const BodeTrace& t : traces) {
    const int w = 36 + 7 * static_cast<int>(t.name.size()) + 18;
    if (x > kLeft && x + w > right) x = kLeft, ++rows;
    legendAt.push_back({x, rows - 1});
    x += w;
  }
  const int pw = right - kLeft, ph = opt.panel_height;
  const int top0 = kLegendTop + rows * kLegendRow + 24;
  const int axisY = top0 + 2 * ph + kGap;
  const int height = axisY + kBottom;

  const double lx0 = log ? std::log10(fLo) : fLo, lx1 = log ? std::log10(fHi) : fHi;
  auto xOf = [&](double f) { return kLeft + ((log ? std::log10(f) : f) - lx0) / (lx1 - lx0) * pw; };

  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\"" + Attr("width", opt.width) +
         Attr("height", height) +
         Attr("viewBox", "0 0 " + std::to_string(opt.width) + " " + std::to_string(height)) +
         " font-family=\"sans-serif\" font-size=\"12\">\n";
  svg += "<rect x=\"0\" y=\"0\"" + Attr("width", opt.width) + Attr("height", height) +
         " fill=\"white\"/>\n";
  svg += "<text" + Attr("x", kLeft) + " y=\"24\" font-size=\"15\">" + SvgEscape(opt.title) +
         "</text>\n";
  for (std::size_t i = 0; i < traces.size(); ++i) {
    const char* color = PlotColor(static_cast<int>(i));
    const int lx = legendAt[i].first, ly = kLegendTop + legendAt[i].second * kLegendRow;
    svg += "<line" + Attr("x1", lx) + Attr("y1", ly - 4) + Attr("x2", lx + 26) +
           Attr("y2", ly - 4) + Attr("stroke", color) + " stroke-width=\"2\"/>\n";
    svg += "<text" + Attr("x", lx + 32) + Attr("y", ly) + Attr("fill", color) + ">" +
           SvgEscape(traces[i].name) + "</text>\n";
  }

  // The frequency grid, the same in both panels: decades, then the 2 ... 9
  // lines between them in a fainter grey; or the ticks of a linear axis.
  std::vector<std::pair<double, const char*>> grid;
  std::vector<double> labels;
  if (log) {
    for (double d : Decades(fLo, fHi))
      for (int m = 1; m <= 9; ++m)
        if (Inside(m * d, fLo, fHi)) grid.push_back({m * d, m == 1 ? "#bbb" : "#eee"});
    labels = LogAxisLabels(fLo, fHi);
    if (labels.empty()) labels = {fLo, fHi};  // inside one 1-2-5 interval
  } else {
    labels = NiceTicks(fLo, fHi, 8);
    for (double f : labels) grid.push_back({f, "#ddd"});
  }

  struct PanelDef {
    const char* id;
    const char* caption;
    const char* unit;
    double lo, hi;
    std::vector<double> ticks;
    std::function<double(const FreqSample&)> value;
  };
  const PanelDef panels[2] = {
      {"magnitude", "magnitude, dB", " dB", dbLo, dbHi, NiceTicks(dbLo, dbHi, 6),
       [](const FreqSample& s) { return ToDb(s.mag); }},
      {"phase", "phase, degrees", "\u00b0", phLo, phHi, DegreeTicks(phLo, phHi),
       [](const FreqSample& s) { return s.phase; }},
  };
  for (int p = 0; p < 2; ++p) {
    const PanelDef& P = panels[p];
    const int top = top0 + p * (ph + kGap);
    auto yOf = [&](double v) { return top + (P.hi - v) / (P.hi - P.lo) * ph; };
    const std::string clip = std::string("clip-") + P.id;

    svg += std::string("<g id=\"") + P.id + "\">\n";
    svg += "<clipPath" + Attr("id", clip) + "><rect" + Attr("x", kLeft) + Attr("y", top) +
           Attr("width", pw) + Attr("height", ph) + "/></clipPath>\n";
    svg += "<text" + Attr("x", kLeft) + Attr("y", top - 8) + ">" + P.caption + "</text>\n";
    for (const auto& [f, stroke] : grid) svg += VLine(xOf(f), top, top + ph, stroke);
    const int digits = TickLabelDigits(P.ticks);
    for (double v : P.ticks) {
      svg += HLine(kLeft, kLeft + pw, yOf(v), "#ddd");
      svg += Text(kLeft - 6, yOf(v) + 4, "end", FormatEng(v, digits) + P.unit);
    }
    svg += "<rect" + Attr("x", kLeft) + Attr("y", top) + Attr("width", pw) +
           Attr("height", ph) + " fill=\"none\" stroke=\"#444\"/>\n";
    for (std::size_t i = 0; i < traces.size(); ++i) {
      std::string points;
      for (const FreqSample& s : *traces[i].samples) {
        const double v = P.value(s);
        if (!std::isfinite(v) || !std::isfinite(s.f) || (log && !(s.f > 0))) continue;
        if (!points.empty()) points += ' ';
        points += SvgCoord(xOf(s.f)) + "," + SvgCoord(yOf(v));
      }
      svg += "<polyline fill=\"none\"" + Attr("stroke", PlotColor(static_cast<int>(i))) +
             " stroke-width=\"1.5\"" + Attr("clip-path", "url(#" + clip + ")") +
             Attr("points", points) + "/>\n";
    }
    svg += "</g>\n";
  }

  const int digits = log ? 3 : TickLabelDigits(labels);
  for (double f : labels) svg += Text(xOf(f), axisY + 18, "middle", FormatEng(f, digits));
  svg += Text(kLeft + pw / 2.0, axisY + 40, "middle", "frequency, Hz");
  svg += "</svg>\n";
  return svg;
}

}  // namespace qvs
