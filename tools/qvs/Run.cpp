// `qvs run FILE`: a transient run with statistics, CSV, plot and trace data.

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cmath>
#include <iostream>

#include "Circuit.h"
#include "CliCommon.h"
#include "Commands.h"
#include "EngNumber.h"
#include "Stats.h"
#include "SvgPlot.h"
#include "qvs_ext.h"

namespace qvs {

namespace {

using Clock = std::chrono::steady_clock;

volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) { g_interrupted = 1; }

// Ctrl-C during a run only sets a flag, checked between two simulate calls;
// the handler is one-shot, so a second Ctrl-C ends the process at once.
class InterruptGuard {
 public:
  InterruptGuard() {
    g_interrupted = 0;
    struct sigaction sa = {};
    sa.sa_handler = OnInterrupt;
    sa.sa_flags = SA_RESETHAND;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, &old_);
  }
  ~InterruptGuard() { sigaction(SIGINT, &old_, nullptr); }
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

 private:
  struct sigaction old_ = {};
};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  const auto e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

bool IsName(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '.') return false;
  return true;
}

std::string UnitOfKind(const std::string& type) {
  if (type == "V") return "V";
  if (type == "I") return "A";
  if (type == "P") return "W";
  return "";
}

struct ActiveTrace {
  TraceRequest request;
  int handle = -1;
  std::vector<Sample> samples;
  WindowStats stats;
};

// Time and one column per trace, from `from` on. The first trace's sample
// times are the rows; another trace recorded at other times is
// interpolated there.
void WriteCsv(std::ostream& os, const std::vector<ActiveTrace>& traces, double from) {
  os << "time";
  for (const ActiveTrace& t : traces) os << ',' << CsvField(t.request.label);
  os << '\n';
  if (traces.empty()) return;
  const std::vector<Sample>& base = traces[0].samples;
  for (std::size_t i = 0; i < base.size(); ++i) {
    if (base[i].t < from) continue;
    os << FormatExact(base[i].t);
    for (const ActiveTrace& t : traces) {
      const std::vector<Sample>& s = t.samples;
      const bool same = s.size() == base.size() && s[i].t == base[i].t;
      os << ',' << (s.empty() ? std::string() : FormatExact(same ? s[i].v : ValueAt(s, base[i].t)));
    }
    os << '\n';
  }
}

void PrintTable(std::ostream& out, const std::vector<ActiveTrace>& traces) {
  std::size_t w = 5;
  for (const ActiveTrace& t : traces) w = std::max(w, t.request.label.size());
  auto cell = [](const std::string& s) {
    return std::string(s.size() < 11 ? 11 - s.size() : 1, ' ') + s;
  };
  out << "trace" << std::string(w - 5, ' ') << cell("final") << cell("min") << cell("max")
      << cell("mean") << cell("rms") << "  unit\n";
  for (const ActiveTrace& t : traces) {
    out << t.request.label << std::string(w - t.request.label.size(), ' ');
    if (!t.stats.valid) {
      out << "  (no data)\n";
      continue;
    }
    // Five digits: a converter's millivolt ripple on 12 V still shows.
    out << cell(FormatEng(t.stats.final, 5)) << cell(FormatEng(t.stats.min, 5))
        << cell(FormatEng(t.stats.max, 5)) << cell(FormatEng(t.stats.mean, 5))
        << cell(FormatEng(t.stats.rms, 5)) << "  " << t.request.unit << "\n";
  }
}

}  // namespace

TraceRequest ClassifyTrace(const std::string& expr, const std::vector<ComponentInfo>& cmps,
                           const std::vector<TraceInfo>& docTraces) {
  const std::string e = Trim(expr);
  // V(x), I(x), P(x): one bracket pair around a name.
  if (e.size() >= 4 && e[1] == '(' && e.back() == ')') {
    const char k = static_cast<char>(std::toupper(static_cast<unsigned char>(e[0])));
    const std::string inner = Trim(e.substr(2, e.size() - 3));
    if ((k == 'V' || k == 'I' || k == 'P') && !inner.empty() &&
        inner.find_first_of("()") == std::string::npos) {
      const std::string unit = k == 'V' ? "V" : k == 'I' ? "A" : "W";
      return {k, inner, std::string(1, k) + "(" + inner + ")", unit};
    }
  }
  if (IsName(e)) {
    for (const ComponentInfo& c : cmps) {
      if (Lower(c.name) != Lower(e)) continue;
      if (c.type == "var") return {'X', c.name, c.name, ""};
      return {'V', c.name, "V(" + c.name + ")", "V"};
    }
    for (const TraceInfo& t : docTraces)
      if (Lower(t.name) == Lower(e)) return {'T', t.name, t.name, UnitOfKind(t.type)};
    // Neither: asked for as a component voltage, so that the library
    // says what is missing in its own words.
    return {'V', e, "V(" + e + ")", "V"};
  }
  for (const TraceInfo& t : docTraces)
    if (Lower(t.name) == Lower(e)) return {'T', t.name, t.name, UnitOfKind(t.type)};
  return {'F', e, e, ""};
}

int RunCommand(const RunOptions& o, std::ostream& out, std::ostream& err) {
  // From here on Ctrl-C stops cleanly; one during the set-up stops the run
  // before its first slice.
  InterruptGuard guard;
  Circuit circuit(o.file);

  ApplySets(circuit, o.sets);
  if (o.step) {
    if (!(*o.step > 0)) throw UsageError("--step must be above 0");
    circuit.SetStep(*o.step);
  }
  const double T = o.time ? *o.time : circuit.Tran().screen;
  if (!(T > 0) || !std::isfinite(T))
    throw UsageError("the run's length must be above 0 (give --time)");
  if (!(o.from >= 0) || o.from >= T) throw UsageError("--from must lie in [0, run length)");

  const std::vector<ComponentInfo> cmps = circuit.Components();
  const std::vector<TraceInfo> docTraces = circuit.Traces(QVSX_TRANSIENT);
  const std::vector<std::string> wanted = ChosenTraces(o.traces, docTraces, cmps, true);
  std::vector<ActiveTrace> traces;
  for (const std::string& w : wanted) {
    ActiveTrace t;
    t.request = ClassifyTrace(w, cmps, docTraces);
    try {
      t.handle = circuit.AddTrace(t.request.kind, t.request.text);
    } catch (const LibError& e) {
      throw LibError("--trace " + w + ": " + e.what());
    }
    traces.push_back(std::move(t));
  }

  // The run, in slices of adapting length: each slice is one simulate
  // call of about a tenth of a second, so Ctrl-C and the progress line
  // are served promptly whatever the circuit's speed.
  const bool tty = isatty(STDERR_FILENO) != 0;
  const auto wall0 = Clock::now();
  auto lastShown = wall0;
  bool shown = false;
  // The run goes in slices, so that Ctrl-C and the progress line are
  // served. Every slice but the last runs on by whole steps: the steps are
  // then the engine's own, whatever slice sizes the wall clock chose, and
  // no slice end costs anything (an exact interval end is an event of its
  // own: the engine lands a step on it and starts a new linear interval,
  // which re-eliminates the matrices). The last slice is exact, so that
  // the run ends on T itself, not a step beyond it.
  double done = 0.0;    // engine time reached, s
  double target = 0.0;  // where the whole-step slices were asked to reach, s
  double slice = T / 1000.0;
  std::string failure;
  bool interrupted = false;
  while (T - done > T * 1e-12) {
    if (g_interrupted) {
      interrupted = true;
      break;
    }
    const auto c0 = Clock::now();
    try {
      if (T - target > 2.0 * slice) {
        circuit.Simulate(slice);
        target += slice;
      } else {
        const double h = T - circuit.Time();
        if (h > 0.0) circuit.SimulateInterval(h);
        target = T;
      }
      done = circuit.Time();
    } catch (const LibError& e) {
      failure = e.what();
      break;
    }
    const double took = std::chrono::duration<double>(Clock::now() - c0).count();
    if (took < 0.03) slice *= 2.0;
    else if (took > 0.3) slice = std::max(slice / 2.0, T * 1e-9);
    const auto now = Clock::now();
    if (tty && now - wall0 > std::chrono::seconds(1) &&
        now - lastShown > std::chrono::milliseconds(200)) {
      const double wall = std::chrono::duration<double>(now - wall0).count();
      const Counters c = circuit.RunCounters();
      err << "\r  t = " << FormatEng(done) << "s  " << FormatEng(100.0 * done / T, 3) << " %  "
          << FormatEng(static_cast<double>(c.accepted) / wall, 3) << " steps/s     "
          << std::flush;
      lastShown = now;
      shown = true;
    }
  }
  if (shown) err << "\r" << std::string(60, ' ') << "\r" << std::flush;
  const double wall = std::chrono::duration<double>(Clock::now() - wall0).count();
  const Counters counters = circuit.RunCounters();

  double reached = done;
  for (ActiveTrace& t : traces) {
    t.samples = circuit.Samples(t.handle);
    if (!t.samples.empty()) reached = std::max(reached, t.samples.back().t);
    t.stats = ComputeStats(t.samples, o.from);
  }

  // The table goes where the CSV does not.
  std::ostream& table = o.csv == "-" ? err : out;
  PrintTable(table, traces);
  table << "\nsimulated time: " << FormatEng(reached) << "s";
  if (o.from > 0) table << " (reported from " << FormatEng(o.from) << "s)";
  table << "\nengine steps: " << counters.accepted << " accepted, " << counters.rejected
        << " rejected\n";
  table << "switching events: " << counters.switchings << "\n";
  char wallText[32];
  std::snprintf(wallText, sizeof wallText, "%.3f", wall);
  table << "wall time: " << wallText << " s\n" << std::flush;

  if (o.csv == "-") {
    WriteCsv(out, traces, o.from);
    out << std::flush;
  } else if (!o.csv.empty()) {
    WriteOutputFile(o.csv, "CSV file", [&](std::ostream& f) { WriteCsv(f, traces, o.from); });
  }
  if (!o.plot.empty()) {
    std::vector<PlotTrace> plotted;
    for (const ActiveTrace& t : traces)
      plotted.push_back({t.request.label, t.request.unit, &t.samples});
    PlotOptions po;
    po.title = o.file;
    po.by_unit = o.plot_by_unit;
    const std::string svg = RenderSvg(plotted, o.from, std::max(reached, o.from), po);
    WriteOutputFile(o.plot, "plot", [&](std::ostream& f) { f << svg; });
  }
  if (!o.save_data.empty() && !circuit.SaveData(o.save_data))
    throw LibError("--save-data: this build of the library cannot save trace data yet");

  if (!failure.empty()) {
    err << "qvs: " << failure << "\n";
    return kExitFailed;
  }
  if (interrupted) {
    err << "qvs: interrupted at t = " << FormatEng(done) << "s\n";
    return kExitInterrupted;
  }
  return kExitOk;
}

}  // namespace qvs
