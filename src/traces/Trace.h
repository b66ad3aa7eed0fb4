#pragma once
// CTrace: one named quantity recorded during a simulation (a voltage,
// current or power of a component, a variable, a formula over other traces,
// imported data, or a processing function of another trace), with every
// display setting a document keeps for it. This file holds the trace's data
// and its document element, its storage runs (CData), its binding to the
// engine's solution and the recording of one point per accepted time point
// (TraceRecord.cpp).

#include <memory>
#include <vector>

#include "base/AnsiString.h"
#include "traces/DataBlock.h"

class CCalc;
class CCmp;
class CData;
class CFormula;
class CTraces;
class CVarList;
class CXMLNode;

// Trace kinds: the value of CTrace::Type(); the texts are those of the
// "type" attribute. 12 and 13 are not used.
enum : int {
  TT_NONE = -1,  // not set yet
  TT_V = 0,
  TT_I = 1,
  TT_P = 2,
  TT_S = 3,
  TT_VAR = 4,
  TT_FUNCTION = 5,
  TT_Z = 6,      // AC only
  TT_GAMMA = 7,  // AC only
  TT_VSWR = 8,   // AC only
  TT_LOOP = 9,   // AC only: open-loop gain
  TT_SCOPE = 10,
  TT_MATH = 11,
  TT_DATA = 14,
};

// Display modes ("mode") and AC output selectors ("ac_out").
enum : int { TM_ANALOG = 0, TM_DIGITAL = 1, TM_BUS = 2 };
enum : int { TAC_MAG_PHASE = 0, TAC_RE = 1, TAC_IM = 2 };
// Bus display formats ("bus_format").
enum : int { TB_BIN = 0, TB_OCT = 1, TB_HEX = 2, TB_DEC = 3, TB_TXT = 4 };

// A row of the processing-function tables; a table ends with id -1.
struct STraceFunction {
  int id;
  const char* name;  // display name
  const char* description;
};

class CTrace {
 public:
  // Defaults of a new trace: type unset, analog, green, scale 10, the
  // document's digital threshold (2.5 V without a document). Takes the
  // collection's transient flag and a new document-wide id.
  explicit CTrace(CTraces* traces);
  ~CTrace();
  CTrace(const CTrace&) = delete;
  CTrace& operator=(const CTrace&) = delete;

  static const STraceFunction TranTraceFunction[];
  static const STraceFunction FreqTraceFunction[];
  // The row with that id, or null.
  static const STraceFunction* GetTraceFunction(const STraceFunction* table, int id);

  // Type texts: "V", "I" ... "Data"; "" for a value with no text.
  static const char* TypeText(int type);
  // -1 for a text that names no type.
  static int TypeFromText(const AnsiString& text);

  CTraces* Traces() const { return traces_; }
  bool IsTran() const { return tran_; }
  int Id() const { return id_; }
  int Type() const { return type_; }
  void SetType(int type) {
    type_ = type;
    data_trace_.type = type;
  }
  // > 0: the component with that id; 0: none; -1: a Data trace or one kept
  // only for its stored data.
  int CmpId() const { return cmp_id_; }
  void SetCmpId(int id) { cmp_id_ = id; }
  const AnsiString& Name() const { return name_; }
  void SetName(const AnsiString& name) { name_ = name; }
  const AnsiString& Expr() const { return expr_; }
  void SetExprText(const AnsiString& expr) { expr_ = expr; }
  // V, I, P and S traces: kind letter + "(" + text + ")"; Var traces: text;
  // other kinds keep their expression.
  void SetExpr(const AnsiString& text);
  // The expression; a Math trace bound to a source (component id >= 0)
  // reads "<function> of <expression>" ("Function" adds nothing).
  AnsiString GetTraceExpr() const;
  // The name, or GetTraceExpr() when it is empty; AC outputs "r" and "x"
  // prefix "Re of " and "Im of ".
  AnsiString GetTraceName() const;

  int Mode() const { return mode_; }
  void SetMode(int mode);
  int AcOut() const { return ac_out_; }
  void SetAcOut(int out) {
    ac_out_ = out;
    data_trace_.ac_out = out;
  }
  int Color() const { return color_; }
  double DigThreshold() const { return dig_threshold_; }
  double Shift() const { return shift_; }  // s, added to every stored time when read
  int Handle() const { return handle_; }
  void SetHandle(int handle) { handle_ = handle; }

  // Processing settings of a Math trace (kept, not evaluated here).
  int FuncId() const { return func_id_; }

  // Settings the storage runs read. Changing the mode or the threshold
  // drops the runs' cached block statistics.
  void SetShift(double s);
  void SetDigThreshold(double v);
  int BusFractionBits() const { return bus_fp_; }
  void SetBusFractionBits(int bits);
  // AC display: logarithmic frequency axis, magnitudes in dB.
  bool LogFreq() const { return data_trace_.log_freq; }
  bool ShowsDb() const { return data_trace_.db; }
  void SetLogFreq(bool on) { data_trace_.log_freq = on; }
  void SetShowsDb(bool on) { data_trace_.db = on; }
  // What V traces read from their nodes: 0 node B - node A, 1 node A only,
  // 2 node B only.
  int VoltageSelector() const { return v_selector_; }
  void SetVoltageSelector(int s) { v_selector_ = s; }

  // --- Storage runs. Run 0 is the current run, the one a simulation
  // records into; a Data trace keeps the caller's samples in run -1;
  // runs 1 and up are kept results.

  // Run 0: the current run when there is one; otherwise the first run with
  // that id. Null when there is none.
  CData* GetData(int runId) const;
  int GetDataSize() const { return static_cast<int>(runs_.size()); }
  // The i-th run of the list (the current run first); null outside it.
  CData* GetDataAt(int i) const;
  // A new empty run with that id. Run 0 becomes the current run (a current
  // run it replaces is deleted) and goes to the front; others are
  // appended. Null when memory runs out.
  CData* CreateData(int runId);
  // Makes sure a current run exists, empties it when clear is set, and
  // starts counting appended points and the phase unwrapping afresh.
  // False only when memory runs out.
  bool CreateRunData(bool clear);
  // Deletes the runs with that id; -2 deletes every run with id >= 1, an
  // id below -2 every run.
  void DeleteData(int runId);
  // Deletes every run; the trace records nothing until a run is made.
  void DeleteAllData();
  // The record every run of this trace reads its settings through.
  const SDataTrace& DataTrace() const { return data_trace_; }

  // --- Binding to a simulation (TraceRecord.cpp).

  // Called for every trace when a simulation starts. A transient Function
  // trace whose whole (trimmed) expression names one component parameter
  // reads that parameter's value. Otherwise a component (other than for S
  // traces) is asked for its trace nodes: when it gives them the trace
  // reads the solution itself, else it asks the component for every point.
  // acSource: cmp is the document's AC source standing in for an AC-only
  // trace; a current source (type 31) then has no current unknown to read.
  void InitTrace(CCalc* calc, CCmp* cmp, bool acSource);
  // The component asked for every point, or null when the trace reads the
  // solution (or nothing).
  CCmp* BoundCmp() const { return cmp_; }
  int NodeA() const { return node_a_; }
  int NodeB() const { return node_b_; }
  int CurrentIndex() const { return cur_index_; }
  double NodeValue() const { return value_; }  // resistance (ohm) or Var value
  bool HasParamRef() const { return param_kind_ != 0; }

  // Appends the value at the engine's present time to the current run, or,
  // with replace and a run that has points, writes it over point 0. True
  // without a current run. False only when a Function trace's formula
  // failed; its text is then the engine's error (texts beginning with "_"
  // are not errors: the point is just not recorded).
  bool TraceAddTranPoint(bool replace);
  // The AC counterpart at frequency f (Hz): magnitude and phase (degrees,
  // unwrapped along the run) from the engine's complex solution.
  bool TraceAddFreqPoint(double f);

  // The next trace reference in a formula at or after position start
  // (1-based): a name of letters, digits, "_" and "." that does not begin a
  // number, or a text in double quotes (returned with its quotes). V(...),
  // I(...) and P(...) (either case) are returned whole up to the ")" with
  // *bracketed set. *pos gets the name's position; "" when there is none.
  static AnsiString find_trace_name(const AnsiString& text, int start, int* pos,
                                    bool* bracketed);
  // Function and Math traces bound to no component: marks the traces of
  // the collection the expression names and prepares the expression with
  // those names replaced by "{" + index + "}". Others depend on nothing.
  void CreateTraceRecalcDependence();
  // Orders the traces this one depends on first, then this one (order =
  // counter++). False on a circular reference.
  bool GetTraceCalculationOrder(CTrace* root, int& counter);
  int CalcOrder() const { return calc_order_; }
  void ResetCalcOrder() {
    calc_order_ = -1;
    visiting_ = false;
  }
  // Index i of the collection is one this trace's expression refers to.
  bool DependsOn(int i) const {
    return i >= 0 && i < static_cast<int>(deps_.size()) && deps_[static_cast<std::size_t>(i)];
  }
  // The expression as the formula evaluator receives it while recording.
  const AnsiString& PreparedExpr() const { return prepared_; }

  // Values of run 0 (else run -1) joined by ",", 12 digits each. Transient:
  // from, from + step, ... to (one value at from when step <= 0).
  // AC: count frequencies from .. to, linear or logarithmic; the phase or
  // the magnitude (dB when the trace shows dB).
  AnsiString GetTraceString(double from, double to, double step, int count, bool linear,
                            bool phase) const;

  // Stores the trace into node, or loads it from node, as the node's store
  // flag says. withData: when storing, also write the descriptions of the
  // stored runs ("DataList"); loading always reads them. Unknown "type",
  // "mode", "func" and "bus_format" values put "<trace name> : unknown
  // trace ... = <value>" on the element and fall back to V, analog,
  // function and dec.
  bool SerializeTrace(CXMLNode* node, bool withData);
  // Appends this trace's element of a trace data file to root (nothing
  // without a run 0): the document form named "Copy of " + its name, the
  // size of run 0 and a "Data" child with the run's block type.
  void SaveDLLTraceData(CXMLNode* root);

 private:
  // Appends msg to the node's error text (one line per problem).
  void NodeError(CXMLNode* node, const AnsiString& msg) const;
  void SerializeNamed(CXMLNode* node, const char* attr, const char* const* names, int count,
                      int* field, int fallback, const char* why) const;
  void SerializeFunction(CXMLNode* node);
  // Copies the settings the runs read into data_trace_.
  void SyncDataTrace();
  void ClearRunStats();
  // The referenced parameter's value, as formulas read it.
  double ParamValue() const;
  // Solution entry i of the engine (real part), 0 outside the solution.
  double X(int i) const;
  double XIm(int i) const;
  // Stores v as the point at t (see TraceAddTranPoint).
  void StorePoint(double t, double v, bool replace);
  bool Fail(const AnsiString& text);

  CTraces* traces_;
  bool tran_ = true;  // in the transient collection
  int id_;            // document-wide unique
  int type_ = TT_NONE;
  int cmp_id_ = 0;
  AnsiString name_;  // empty: the expression serves as the name
  AnsiString expr_;
  int mode_ = TM_ANALOG;
  bool sel_ = false;
  int ac_out_ = TAC_MAG_PHASE;
  int color_ = 0x00FF00;  // 0x00BBGGRR
  double scale_ = 10.0;   // display units per division
  double mid_ = 0.0;      // display middle
  double shift_ = 0.0;    // time shift, s
  double dig_threshold_;  // V
  int dig_style_ = 0;
  int bus_format_ = TB_HEX;
  int bus_fp_ = 0;  // fraction bits
  AnsiString bus_text_;
  int bus_content_ = -1;
  int width_ = 1;
  int phase_width_ = 1;
  bool simple_line_ = false;
  bool simple_dp_ = false;
  int line_ = 1;
  int marker_ = 0;
  int marker_style_ = 0;
  int marker_size_ = 0;
  int window_ = 0;
  bool plot_ = true;
  int tools_ = -1;
  bool table_ = true;
  bool storage_ = true;
  int bus_bits_ = 0;
  AnsiString scale_history_;
  bool xy_ = false;

  // Processing function of a Math trace.
  int func_id_ = 0;
  int range_ = 0;
  double left_ = 0.0;
  double right_ = 1.0;
  bool min_range_ = false;
  bool max_range_ = false;
  bool mean_range_ = false;
  double tc_ = 1.0;       // s
  double fwindow_ = 0.1;  // s
  int order_ = 1;
  bool reg_range_ = false;
  double threshold_ = 2.5;  // V
  int edge_ = 0;
  bool fft_div_ = false;
  bool has_function_ = false;  // a "Function" child was read (kept for any type)

  // The "Annotations" and "DataList" children as read, in compact text,
  // written back unchanged until the annotation and run code takes them
  // over. Empty when the element had none.
  AnsiString annotations_;
  AnsiString data_list_;

  int handle_ = -1;  // library handle; -1 until handed out

  // What the runs read of this trace; declared before the runs, which
  // point at it.
  SDataTrace data_trace_;
  std::vector<std::unique_ptr<CData>> runs_;  // current run first
  CData* current_ = nullptr;                 // run 0, or none

  // Binding of the present simulation (InitTrace).
  CCalc* calc_ = nullptr;
  CCmp* cmp_ = nullptr;     // asked for every point
  CCmp* source_ = nullptr;  // the component given to InitTrace
  int node_a_ = -1;         // solution indexes; -1: none
  int node_b_ = -1;
  int cur_index_ = 0;  // current unknown; < 1: none
  double value_ = 0.0;  // resistance, ohm, or the value of a Var trace
  int v_selector_ = 0;
  // A parameter a Function trace reads instead of evaluating its formula:
  // the holder of the component's value, by descriptor kind (0 = none).
  int param_kind_ = 0;
  const CFormula* param_formula_ = nullptr;
  const int* param_int_ = nullptr;
  // Variables of the expression: "t" (s) for transient traces, "f", "w",
  // "s", "p" for AC traces; the first is the abscissa of {n} references.
  std::unique_ptr<CVarList> vars_;

  // Calculation order.
  std::vector<unsigned char> deps_;  // one flag per trace of the collection
  int calc_order_ = -1;              // -1: not ordered yet
  bool visiting_ = false;            // its dependencies are being ordered
  AnsiString prepared_;              // expression with "{index}" references

  // AC phase unwrapping along the current run, degrees.
  double prev_phase_ = 0.0;
  double phase_offset_ = 0.0;
};
