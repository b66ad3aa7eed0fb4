#pragma once
// The subcommands of the qvs tool, apart from their command-line parsing
// (main.cpp), so that tests can run them on their own.
//
// Exit status of the tool: 0 success; 1 the library refused the document,
// a parameter, a trace or the simulation, or an output file could not be
// written; 2 a malformed command line; 130 a run stopped by Ctrl-C (what
// was asked for is still written for the part simulated).

#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace qvs {

enum : int { kExitOk = 0, kExitFailed = 1, kExitUsage = 2, kExitInterrupted = 130 };

// A command line that parses but cannot be carried out as given.
class UsageError : public std::runtime_error {
 public:
  explicit UsageError(const std::string& text) : std::runtime_error(text) {}
};

// `qvs info FILE`: components with their parameters, settings, traces.
int InfoCommand(const std::string& file, std::ostream& out);

struct RunOptions {
  std::string file;
  std::optional<double> time;  // s; default: the document's screen width
  std::optional<double> step;  // s; default: the document's step
  double from = 0.0;           // s; statistics, CSV and plot start here
  std::vector<std::string> traces;
  std::vector<std::string> sets;  // NAME=VALUE
  std::string csv;                // "-": standard output
  std::string plot;               // .svg
  bool plot_by_unit = false;
  std::string save_data;          // .qvt
};

// `qvs run FILE`: a transient run; the table goes to out (to err when the
// CSV takes standard output), messages and progress to err.
int RunCommand(const RunOptions& options, std::ostream& out, std::ostream& err);

struct AcOptions {
  std::string file;
  // The sweep: QVS_SetAC is called only when one of these is given, since
  // it turns a document's frequency list into a sweep; what is not given
  // comes from the document's settings.
  std::optional<double> from, to;  // Hz
  std::optional<int> points;
  std::optional<int> scale;  // 0 logarithmic (--log), 1 linear (--lin)
  std::string source;        // the AC source component; "" keeps the document's
  std::vector<std::string> traces;
  std::vector<std::string> sets;  // NAME=VALUE
  std::string csv;                // "-": standard output
  std::string plot;               // .svg
  std::string save_data;          // .qvf
};

// `qvs ac FILE`: an AC analysis; per trace the level and phase at both
// ends, the peak, the -3 dB frequency and Q (Response.h), then the number
// of points and the wall time. Streams as RunCommand.
int AcCommand(const AcOptions& options, std::ostream& out, std::ostream& err);

// How a --trace text is taken: V(x), I(x), P(x) of a component; a
// component's name for its voltage (a variable component's name for its
// value); the name of a trace the document defines; anything else is a
// formula.
struct TraceRequest {
  char kind;          // 'V', 'I', 'P', 'X' variable, 'T' document trace, 'F' formula
  std::string text;   // what the library is given
  std::string label;  // column and legend title
  std::string unit;   // "V", "A", "W" or ""
};

struct ComponentInfo;
struct TraceInfo;
TraceRequest ClassifyTrace(const std::string& expr, const std::vector<ComponentInfo>& components,
                           const std::vector<TraceInfo>& documentTraces);

}  // namespace qvs
