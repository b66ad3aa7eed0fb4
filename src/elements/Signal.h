#pragma once
// CSignal: the time-dependent value of a source (steps, single pulses,
// pulse trains, clocks, sines, sweeps, value lists, files, traces and
// formulas). A source-like component owns one; the signal kind is the
// owner's model code (MC_SINGLE, MC_PULSE, MC_STEP, MC_SIN, MC_FUNCTION,
// MC_FILE, MC_LIST, MC_TRACE, MC_CLOCK, MC_SWEEP). The parameters of every
// kind live here, so that a model change keeps what the user typed for
// the other kinds, and all of them are stored in one "Signal" element.
//
// Parameter binding. An owner's descriptor arrays name the signal's
// parameters ("V1", "Period", ...); BindParams points each such descriptor
// at the field of the same meaning, so an owner binds only its own fields.
// GetSignalParams gives ready arrays for the signal models of sources.

#include <vector>

#include "base/AnsiString.h"
#include "expr/Formula.h"

class CCmp;
class CParam;
class CXMLNode;

// Descriptor arrays of the signal kinds for sources: levels named V1/V0 (the
// _V arrays) or I1/I0 (the _I arrays); Function, File, List and Trace have
// no levels. Model records point at them; CSignal::GetSignalParams binds.
extern CParam m_param_single_V[], m_param_single_I[];
extern CParam m_param_pulse_V[], m_param_pulse_I[];
extern CParam m_param_step_V[], m_param_step_I[];
extern CParam m_param_sin_V[], m_param_sin_I[];
extern CParam m_param_clock_V[], m_param_clock_I[];
extern CParam m_param_sweep_V[], m_param_sweep_I[];
extern CParam m_param_function[], m_param_file[], m_param_list[], m_param_trace[];

class CSignal {
 public:
  // Slope choices: shape of the edges of Single, Pulse and Step.
  enum { kSlopeLinear = 0, kSlopeCos = 1, kSlopeExp = 2 };
  // Sweep type choices: how the frequency moves from F0 to F1.
  enum { kSweepLinear = 0, kSweepExp = 1 };
  // Edge machine states.
  enum { kBeforeDelay = 0, kRising = 1, kHigh = 2, kFalling = 3, kFinished = 4 };

  static const char* const m_signal_slope_text[];       // "Linear", "Cos", "Exp"
  static const char* const m_signal_sweep_type_text[];  // "Linear", "Exp"

  explicit CSignal(CCmp* owner = nullptr);

  // Every parameter back to its default value (the run-time state too).
  void SetDefaults();
  // Releases the run-time tables and stops the signal; parameters stay.
  void ClearSignal();

  // Reads or writes the "Signal" child of node (as node's store flag says).
  // Loading without such a child leaves the parameters as they are.
  void SerializeSignal(CXMLNode* node);

  // Binds every descriptor of params (up to the terminator) whose name is
  // a signal parameter to its field; others are left for the owner.
  // "V1"/"I1" and "V0"/"I0" (any first letter followed by 1 or 0) are the
  // levels, "Period", "Width", "Step", "Slope", "Rise", "Fall", "Delay",
  // "Phase", "Decay", "F0", "F1", "Type", "Cycle", "List", "File",
  // "Trace" and "f" (the function text) the rest.
  void BindParams(CParam* params);

  // The descriptor array of signal model `model` for a source whose
  // levels are named with letter ('V' or 'I'), bound to this signal; null
  // for a code that is no signal kind.
  CParam* GetSignalParams(int model, char letter);

  // True for the model codes that are signal kinds.
  static bool IsSignalModel(int model);

  CCmp* Owner() const { return owner_; }
  void SetOwner(CCmp* owner) { owner_ = owner; }

  // --- Parameters (times in seconds, levels in volts or amperes).
  CFormula u0;          // level 0 (V0/I0), "u0"
  CFormula u1;          // level 1 (V1/I1); Sin and Sweep: amplitude, "u1"
  CFormula period;      // s, "p"
  CFormula width;       // s, counted from the start of the rise; Sweep: duration, "w"
  CFormula clock_step;  // s, length of the first step of a clock pulse, "cw"
  int slope = kSlopeLinear;  // "s"
  CFormula rise;     // s; Exp slope: time constant, "r"
  CFormula fall;     // s; Exp slope: time constant, "f"
  CFormula delay;    // s, "d"
  CFormula phase;    // degrees, "ph"
  CFormula decay;    // 1/s, "dec"
  AnsiString list;      // time,value pairs, "list"
  AnsiString function;  // formula of time, "function"
  AnsiString file;      // value file name, "file"
  AnsiString trace;     // trace name, "trace"
  int cycle = 0;        // 1: List, File and Trace repeat, "c"
  int sweep_type = kSweepLinear;  // "type"
  CFormula f0;  // Hz, sweep start frequency, "f0"
  CFormula f1;  // Hz, sweep end frequency, "f1"

  // --- Run-time state (set by the simulation, never stored).
  int edge_state = kBeforeDelay;  // edge machine, see the enum
  bool running = false;
  double origin = 0.0;      // s, absolute time the signal was started at
  double edge_start = 0.0;  // s, local start of the present edge or cycle
  double cycles = 0.0;      // sine phase accumulator, in cycles
  double phase_time = 0.0;  // s, time the accumulator was last advanced to
  // Value table of List, File and Trace: time (s, local) and value pairs.
  std::vector<double> table_t;
  std::vector<double> table_v;
  int table_index = -1;  // -1 before the first point, -2 past the last

 private:
  CCmp* owner_;
};
