#pragma once
// A circuit document opened through the library's C interface (qvs_dll.h
// and the extensions of qvs_ext.h), and nothing else: whatever the tool
// shows is reachable by any host of the library. Failures throw LibError
// with the library's error text, verbatim.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace qvs {

// A call into the library failed; what() is QVS_GetError() of that call.
class LibError : public std::runtime_error {
 public:
  explicit LibError(const std::string& text) : std::runtime_error(text) {}
};

struct ComponentInfo {
  std::string name, type, description, model;
};

struct ParameterInfo {
  std::string name, value, unit, formula;  // formula: "=..." or ""
};

struct TraceInfo {
  std::string name, type, expr;
};

struct TranSettings {
  double start = 0, screen = 0, step = 0;  // s
};

struct AcSettings {
  double from = 0, to = 0;  // Hz
  int points = 0, scale = 0;
  std::string source;  // component name; "" for none
};

struct Counters {
  int64_t accepted = 0, rejected = 0, switchings = 0, zone_iterations = 0;
};

struct Sample {
  double t, v;  // s, the trace's unit
};

// One point of an AC trace: the response to the unit excitation of the AC
// source.
struct FreqSample {
  double f;      // Hz
  double mag;    // magnitude, the trace's unit per unit of the source
  double phase;  // degrees, unwrapped by the library (may leave -180..180)
};

class Circuit {
 public:
  // Opens the document; throws LibError when the library refuses it.
  explicit Circuit(const std::string& path);
  ~Circuit();
  Circuit(const Circuit&) = delete;
  Circuit& operator=(const Circuit&) = delete;

  int Handle() const { return ncir_; }

  std::vector<ComponentInfo> Components() const;
  std::vector<ParameterInfo> Parameters(const std::string& component) const;
  TranSettings Tran() const;
  AcSettings Ac() const;
  std::vector<TraceInfo> Traces(int analysis) const;
  Counters RunCounters() const;

  // QVS_SetText: name is component "." parameter, value any text the
  // library reads ("4k7", "=2*R2.R", "On").
  void SetText(const std::string& name, const std::string& value);
  void SetStep(double step);
  // kind: 'V', 'I', 'P' (component), 'X' (variable), 'F' (formula), 'T'
  // (a trace the document defines). Returns the trace handle.
  int AddTrace(char kind, const std::string& text);
  // QVS_SimulateInterval: on to exactly the present time + interval.
  void SimulateInterval(double interval);
  // QVS_Simulate: on by whole steps until the last target + interval.
  void Simulate(double interval);
  // The engine's present time, s; 0 when no run is in progress.
  double Time() const;
  // Run 0 of the trace, in recording order.
  std::vector<Sample> Samples(int trace) const;
  // QVS_SaveData when this library has it; false (nothing written) when it
  // does not.
  bool SaveData(const std::string& path);

  // --- AC analysis.
  // QVS_SetAC: scale 0 logarithmic, 1 linear; from and to in Hz.
  void SetAC(int points, int scale, double from, double to);
  void SetACSource(const std::string& name);
  // kind 'V' or 'I': a component's voltage or current, added to the AC
  // collection; 'T': a trace the AC collection holds (QVS_GetACTrace).
  // Returns the trace handle.
  int AddACTrace(char kind, const std::string& text);
  // The whole sweep or list in one call.
  void CalcAC();
  // Every point of the trace's last AC run, in frequency order.
  std::vector<FreqSample> ACSamples(int trace) const;
  void SaveACData(const std::string& path);

 private:
  int ncir_ = -1;
};

// Throws LibError with the present error text when r < 0; returns r.
int Check(int r);

// A text read through one of the library's text functions (buffer, length
// -> size needed or -1): a first try with a small buffer, a second with the
// size the library asked for.
std::string ReadText(const std::function<int(char*, int)>& read);

}  // namespace qvs
