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
//
// Time. A signal runs on local time tau = t - origin, origin being the
// engine time it was started at (0 for a free-running source, the trigger
// instant for a logic controlled one); Delay and the table times are local.
// Times handed to the engine are absolute. Time comparisons are tolerant
// (CompareValues) and made on absolute times, as the engine makes them, so
// that an edge the engine has reached is never handed back as still ahead.
//
// Edges are left-continuous: at the very instant of a step edge the value
// is the one before it. The engine lands a step exactly on each edge (the
// edge is a breakpoint), so the point recorded there still has the old
// value and the step after it starts from the new one: a sharp edge rather
// than a ramp across the last step before it.

#include <memory>
#include <vector>

#include "base/AnsiString.h"
#include "expr/Formula.h"

class CCalc;
class CCmp;
class CDoc;
class CParam;
class CVarList;
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
  ~CSignal();
  CSignal(const CSignal&) = delete;
  CSignal& operator=(const CSignal&) = delete;

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

  // --- Simulation. The kind is the owner's model code, taken by
  // CreateSignal (SetKind for a signal without an owner). Failures are
  // reported through calc->SetCmpError for the owner (nothing is reported
  // when calc is null) and return false.

  // Checks the parameters the kind uses; every problem is reported, one
  // message each ("1 : formula error", "Period <= 0", ...; the level
  // messages start with the owner's level letter).
  bool CheckSignalParams(CCalc* calc);
  // Takes the kind and builds what it needs before a run: the value
  // tables of List, File and Trace, the time variable of Function. A
  // Pulse with an infinite Period runs as a Single, a Single or Pulse with
  // an infinite Width as a Step.
  bool CreateSignal(CCalc* calc);
  // Resets the edge machine and the sine phase for a start at engine time
  // t, which becomes the origin; start says whether the waveform runs from
  // now (a logic controlled source starts it later, at its trigger).
  void InitSignal(CCalc* calc, double t, bool start);
  // The value at engine time t (V or A). False only when a Function fails
  // (reported). A signal that is not running rests at its start value: V0
  // for the level kinds, the first table value, the function at local
  // time 0.
  bool GetSignalValue(CCalc* calc, double t, double* v);
  // GetSignalValue written as the engine's source value of row index.
  bool FillSignalY(CCalc* calc, double t, int index);
  // At the start of a linear interval at engine time t: lowers next (the
  // next breakpoint, absolute s, NaN for none), maxStep and firstStep (s)
  // as the waveform needs, and moves the edge machine past the edges t has
  // reached. Nothing while not running.
  void CalcSignalNewStep(CCalc* calc, double t, double& next, double& maxStep,
                         double& firstStep);
  // Logic level: 0 while not running; List and File: 1 while the present
  // table value is above 0; the other kinds: 1 while the edge machine is
  // high.
  int GetSignalState() const;
  // The zone check of a Clock's owner: true while the machine is high (the
  // pulse's one step is over), and with final the machine leaves kHigh.
  bool EndClockPulse(bool final);
  // The engine accepted its solution at t: the local time a saved initial
  // condition continues from.
  void AcceptState(double t) { state_time_ = t - origin; }
  double StateTime() const { return state_time_; }
  // Shifts Delay so that a new run from time 0 continues the waveform from
  // local time x; returns the initial-condition text ("Delay=" and the new
  // value), "" for a kind without Delay.
  AnsiString SaveSignalStateToIC(double x);
  // The kind without an owner (tests, tools); CreateSignal takes the
  // owner's model when there is an owner.
  void SetKind(int kind) { kind_ = kind; }
  int Kind() const { return kind_; }
  bool HasDelay() const { return KindHasDelay(kind_); }
  // Every kind but Function waits for its Delay.
  static bool KindHasDelay(int kind);

  // The check of a source's value or level formula: name + " : formula
  // error", name + " = infinite", or "" when the value is usable.
  static AnsiString CheckValue(const CFormula& f, const AnsiString& name);

  // The stamps of a branch between nodes a and b whose extra unknown k
  // carries the signal: a voltage source v(b) - v(a) = value (current
  // false), or a current source whose current is unknown k (current
  // true). The value arrives through Y row k (FillSignalY); the tie lets
  // the engine set the driven node exactly.
  static bool StampSignalSource(CCalc* calc, int a, int b, int k, bool current);
  // The same for a constant value v.
  static bool StampConstantSource(CCalc* calc, int a, int b, int k, bool current, double v);

  // --- Parameters (times in seconds, levels in volts or amperes).
  CFormula u0;          // level 0 (V0/I0); Sin and Sweep: offset, "u0"
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
  // s, local start of the present edge or cycle; NaN while the first
  // cycle has not begun (it begins at Delay).
  double edge_start = 0.0;
  double cycles = 0.0;      // sine phase accumulator, in cycles
  // s, local time the accumulator was last advanced to; NaN until the
  // sine has passed its Delay.
  double phase_time = 0.0;
  // Value table of List, File and Trace: time (s, local) and value pairs.
  std::vector<double> table_t;
  std::vector<double> table_v;
  int table_index = -1;  // -1 before the first point, -2 past the last

 private:
  bool Fail(CCalc* calc, const AnsiString& message) const;
  CDoc* DocOf(CCalc* calc) const;
  // Table building (SignalTable.cpp).
  bool CreateList(CCalc* calc);
  bool CreateFile(CCalc* calc);
  bool CreateTrace(CCalc* calc);
  bool CreateFunction();
  // Values at local time tau (SignalValue.cpp).
  double PulseValue(double tau) const;
  double StepValue(double tau) const;
  double SinValue(double tau);
  double SweepValue(double tau) const;
  double SweepFrequency(double s) const;  // Hz, s into the window
  double TableValue(double tau);
  bool FunctionValue(CCalc* calc, double tau, double* v);
  // Breakpoints (SignalStep.cpp).
  bool Reached(double t, double local) const;
  void Break(double& next, double local) const;
  double LatestCycleStart(double t, double start, double period) const;
  void PulseNewStep(double t, double& next, double& maxStep);
  void StepNewStep(double t, double& next, double& maxStep);
  void ClockNewStep(double t, double& next, double& maxStep, double& firstStep);
  void SweepNewStep(double t, double& next, double& maxStep);
  void TableNewStep(double t, double& next, double& maxStep);

  CCmp* owner_;
  int kind_ = 0;             // model code the signal runs as
  double state_time_ = 0.0;  // s, local time of the last accepted solution
  double last_value_ = 0.0;  // V or A, the value last computed
  int step_index_ = 1;       // table breakpoint search hint
  std::unique_ptr<CVarList> vars_;  // Function: the variable "t"
};
