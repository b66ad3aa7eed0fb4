// `qvs ac FILE`: an AC analysis with its figures, CSV, Bode plot and ".qvf"
// data.

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "BodePlot.h"
#include "Circuit.h"
#include "CliCommon.h"
#include "Commands.h"
#include "EngNumber.h"
#include "Response.h"
#include "qvs_ext.h"

namespace qvs {

namespace {

struct AcTrace {
  TraceRequest request;
  int handle = -1;
  std::vector<FreqSample> samples;
  ResponseFigures figures;
};

// v with a fixed number of decimals, C locale; a value that rounds to zero
// prints without its sign.
std::string Fixed(double v, int decimals) {
  if (!std::isfinite(v)) return v > 0 ? "inf" : v < 0 ? "-inf" : "nan";
  if (std::fabs(v) < 0.5 * std::pow(10.0, -decimals)) v = 0.0;
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
  return std::string(buf, r.ptr);
}

std::string Hz(double f) { return FormatEng(f, 5) + "Hz"; }

std::string Pad(const std::string& s, std::size_t width) {
  return s.size() < width ? s + std::string(width - s.size(), ' ') : s + " ";
}

std::string Right(const std::string& s, std::size_t width) {
  return s.size() < width ? std::string(width - s.size(), ' ') + s : " " + s;
}

void PrintFigures(std::ostream& out, const AcTrace& t) {
  constexpr std::size_t kLabel = 16;
  out << t.request.label;
  if (!t.request.unit.empty()) out << "  [" << t.request.unit << "]";
  out << "\n";
  const ResponseFigures& r = t.figures;
  if (!r.valid) {
    out << "  (no data)\n";
    return;
  }
  for (const FreqSample* s : {&r.first, &r.last}) {
    out << "  " << Pad("at " + Hz(s->f), kLabel) << Right(Fixed(ToDb(s->mag), 3), 10) << " dB"
        << Right(Fixed(s->phase, 2), 10) << " deg\n";
  }
  out << "  " << Pad("peak", kLabel) << Right(Fixed(r.peak_db, 3), 10) << " dB  at "
      << Hz(r.peak_f) << "\n";
  out << "  " << Pad("-3 dB", kLabel)
      << (r.f_3db ? Hz(*r.f_3db) : "none (the level stays within 3 dB of the first point)")
      << "\n";
  out << "  " << Pad("Q", kLabel);
  if (r.q)
    out << FormatEng(*r.q, 4) << " (-3 dB at " << Hz(*r.lower_3db) << " and "
        << Hz(*r.upper_3db) << ")\n";
  else if (!r.peak_inside)
    out << "none (the peak lies at an end of the sweep)\n";
  else
    out << "none (the level stays within 3 dB of the peak on one side)\n";
}

// Frequency, then magnitude, dB and phase per trace. The first trace's
// frequencies are the rows; every trace of one run shares them.
void WriteCsv(std::ostream& os, const std::vector<AcTrace>& traces) {
  os << "frequency";
  for (const AcTrace& t : traces)
    for (const char* part : {" mag", " dB", " phase"})
      os << ',' << CsvField(t.request.label + part);
  os << '\n';
  if (traces.empty()) return;
  const std::vector<FreqSample>& base = traces[0].samples;
  for (std::size_t i = 0; i < base.size(); ++i) {
    os << FormatExact(base[i].f);
    for (const AcTrace& t : traces) {
      if (i < t.samples.size() && t.samples[i].f == base[i].f) {
        const FreqSample& s = t.samples[i];
        os << ',' << FormatExact(s.mag) << ',' << FormatExact(ToDb(s.mag)) << ','
           << FormatExact(s.phase);
      } else {
        os << ",,,";
      }
    }
    os << '\n';
  }
}

}  // namespace

int AcCommand(const AcOptions& o, std::ostream& out, std::ostream& err) {
  Circuit circuit(o.file);
  ApplySets(circuit, o.sets);

  if (o.from || o.to || o.points || o.scale) {
    const AcSettings doc = circuit.Ac();
    circuit.SetAC(o.points.value_or(doc.points), o.scale.value_or(doc.scale),
                  o.from.value_or(doc.from), o.to.value_or(doc.to));
  }
  if (!o.source.empty()) circuit.SetACSource(o.source);

  const std::vector<ComponentInfo> cmps = circuit.Components();
  const std::vector<TraceInfo> docTraces = circuit.Traces(QVSX_AC);
  const std::vector<std::string> wanted = ChosenTraces(o.traces, docTraces, cmps, false);
  std::vector<AcTrace> traces;
  for (const std::string& w : wanted) {
    AcTrace t;
    t.request = ClassifyTrace(w, cmps, docTraces);
    const char k = t.request.kind;
    if (k != 'V' && k != 'I' && k != 'T')
      throw UsageError("--trace " + w +
                       ": an AC trace is a component's voltage V(x) or current I(x), or a "
                       "trace the document's AC analysis defines");
    try {
      t.handle = circuit.AddACTrace(k, t.request.text);
    } catch (const LibError& e) {
      throw LibError("--trace " + w + ": " + e.what());
    }
    traces.push_back(std::move(t));
  }

  const auto wall0 = std::chrono::steady_clock::now();
  std::string failure;
  try {
    circuit.CalcAC();
  } catch (const LibError& e) {
    failure = e.what();  // the points before the failure are still reported
  }
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();

  std::size_t points = 0;
  for (AcTrace& t : traces) {
    // A frequency list may come in any order; the figures, the CSV and the
    // plot take the points in frequency order.
    t.samples = circuit.ACSamples(t.handle);
    std::stable_sort(t.samples.begin(), t.samples.end(),
                     [](const FreqSample& a, const FreqSample& b) { return a.f < b.f; });
    t.figures = AnalyseResponse(t.samples);
    points = std::max(points, t.samples.size());
  }

  // The figures go where the CSV does not.
  std::ostream& table = o.csv == "-" ? err : out;
  for (const AcTrace& t : traces) PrintFigures(table, t);
  table << "\npoints: " << points << "\n";
  table << "wall time: " << Fixed(wall, 3) << " s\n" << std::flush;

  if (o.csv == "-") {
    WriteCsv(out, traces);
    out << std::flush;
  } else if (!o.csv.empty()) {
    WriteOutputFile(o.csv, "CSV file", [&](std::ostream& f) { WriteCsv(f, traces); });
  }
  if (!o.plot.empty()) {
    std::vector<BodeTrace> plotted;
    for (const AcTrace& t : traces) plotted.push_back({t.request.label, &t.samples});
    BodeOptions bo;
    bo.title = o.file;
    bo.log_axis = circuit.Ac().scale == 0;
    const std::string svg = RenderBode(plotted, bo);
    WriteOutputFile(o.plot, "plot", [&](std::ostream& f) { f << svg; });
  }
  if (!o.save_data.empty()) circuit.SaveACData(o.save_data);

  if (!failure.empty()) {
    err << "qvs: " << failure << "\n";
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace qvs
