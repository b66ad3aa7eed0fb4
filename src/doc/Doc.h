#pragma once
// A circuit document: what one circuit handle of the library names. It
// owns its components, its two analyses (transient and AC, each with its
// traces), its settings and the element tree of the file it was opened
// from, which saving writes into so that everything this library does not
// interpret (the drawing, display settings) survives a save unchanged.

#include <memory>
#include <vector>

#include "base/AnsiString.h"
#include "base/Lists.h"

class CCalc;
class CCmp;
class CCmps;
class CParam;
struct SDLLParam;
struct SDLLInput;
struct SDLLOutput;
class CTrace;
class CTran;
class CXMLNode;
struct SFuncEntry;

// Transient settings: element "Settings" under "Tran". Times in seconds.
struct STranSettings {
  double start = 0.0;
  double screen = 10.0;  // screen width
  double step = 0.001;   // calculation step
  bool pause_trigger = false;
  AnsiString pause_trigger_f;  // formula text
  bool start_trigger = false;
  AnsiString start_trigger_f;  // formula text
};

// AC settings: element "Settings" under "Freq". Frequencies in hertz.
struct SFreqSettings {
  int type = 0;  // analysis kind
  AnsiString list;
  AnsiString test;
  double from = 0.001;
  double to = 1000.0;
  int points = 500;
  int scale = 0;  // frequency scale code
  int id = 0;     // component id of the AC source; 0 for none
  int alg = 0;    // calculation method; the Z-transform method (2) is refused
  bool dcop = false;
  AnsiString faf = "0.1";
  bool fhl = true;
  double fmr = 10.0;
  bool fsh = false;
};

// Advanced (engine) settings: element "Advanced".
struct SAdvancedSettings {
  bool dc = true;
  bool sbs = true;
  int to = 5;  // simulation time-out, seconds of processor time; <= 0: none
  double zero = 1e-12;  // relative size below which a value counts as zero
  bool ise = false;
  double z0re = 50.0, z0im = 0.0;  // reference impedance Z0, ohms
  AnsiString zparam;
  // Step control: 0 constant step, 1 .. 4 the variable-step modes. Stored
  // as "cs" (true for mode 0) and "s_m" (mode - 1, 1 for mode 0).
  int step_mode = 2;
  double s_cs = 0.125, s_cf = 0.25;
  bool so = false;
  double low = 0.0, high = 5.0;  // logical levels, volts
  double thr = 2.5;              // logical threshold, volts
};

// The step-control constants of the variable-step modes. They are fixed:
// documents carry them ("s_fs" ... "s_af") for other readers, and loading
// ignores them.
constexpr double kStepFs = 0.5, kStepFf = 1.0, kStepOs = 0.125, kStepOf = 0.25,
                 kStepAs = 0.015625, kStepAf = 0.125;

class CDoc {
 public:
  CDoc();
  // Stops a running simulation, then frees the interface records, the
  // kept tree, the components, the engine and the two analyses, in that
  // order: records and traces refer to components, never the reverse.
  ~CDoc();
  CDoc(const CDoc&) = delete;
  CDoc& operator=(const CDoc&) = delete;

  // Process-wide count of documents created; names them "qv1", "qv2", ...
  static int newDocCount;

  const AnsiString& FileName() const { return file_name_; }
  const AnsiString& DocName() const { return doc_name_; }
  int Handle() const { return handle_; }
  void SetHandle(int h) { handle_ = h; }

  CCmps* Cmps() const { return cmps_.get(); }
  CTran* Tran() const { return tran_.get(); }
  CTran* Freq() const { return freq_.get(); }
  // The engine: created by CreateCalc when a simulation opens, kept until
  // the document closes (its matrices are freed when a simulation stops).
  CCalc* Calc() const { return calc_.get(); }
  // The engine, created when there is none; null only without memory.
  CCalc* CreateCalc();
  // True between a successful simulation start and its stop: formulas
  // evaluated for the engine then read the present solution.
  bool IsRunning() const { return running_; }
  void SetRunning(bool on) { running_ = on; }

  // --- Simulation control (failures append to the library's error text).
  // Begins a new run from time 0 and returns once its initial solution is
  // found; false ends in the not-running state.
  bool StartDLLSim();
  // mode 0: to last time + interval (the last time then is that target);
  // 1: one engine step; 2: exactly to the engine time + interval. Starts a
  // run first when none is in progress. A failure ends the run.
  bool ExecuteDLLSim(double interval, int mode);
  // Stops the engine; not running afterwards.
  void ClearDLLSim();
  // New calculation step, s; "step <= 0" for a non-positive one. A run in
  // progress continues from its present state with the new step.
  bool SetDLLStep(double step);
  // The engine's time while running, else 0; s.
  double GetDLLSimulationTime() const;
  // The last target of an interval run, or the time reached by a step; s.
  double LastTime() const { return last_time_; }
  // Every enabled component takes its present state as its initial
  // condition; groups sharing initial conditions pass them on.
  void SaveDLLIC();
  // Every other component of source's group receives its parameters.
  void UpdateGroup(CCmp* source);

  // --- Parameters, inputs and outputs of the library. Names are component
  // "." parameter (X1.R1.R inside a subcircuit), any case; "name.model"
  // reads or sets a component's model. Failures append their reason to the
  // library's error text. A change recalculates the formulas and, during a
  // run, makes the engine rebuild its equations from the present state.
  bool GetDLLParamNameValue(const char* name, double* v);
  bool SetDLLParamNameValue(const char* name, double v);
  // The text's length + 1 (also when cut to length), or -1.
  int GetDLLParamNameText(const char* name, char* text, int length);
  bool SetDLLParamNameText(const char* name, const char* text);
  // A new parameter record; its handle, or -1.
  int GetDLLParamHandle(const char* name);
  bool GetDLLParamValue(int handle, double* v);
  bool SetDLLParamValue(int handle, double v);
  int GetDLLParamText(int handle, char* text, int length);
  bool SetDLLParamText(int handle, const char* text);
  // A label, voltage source or current source driven by the library from
  // now on; the record's handle, or -1.
  int GetDLLInput(const char* name);
  bool SetDLLInputValue(int handle, double v);
  // A label (its node's voltage), amperemeter (its current) or voltmeter
  // (pin 1 minus pin 0); the record's handle, or -1.
  int GetDLLOutput(const char* name);
  // The present value; 0 while no simulation runs.
  bool GetDLLOutputValue(int handle, double* v);

  // --- AC analysis. Runs the whole sweep or list with the document's
  // frequency settings; a failure appends "AC error:\n" (with "f = " and
  // the last frequency reached) and the reason. The engine is left cleared.
  bool CalcDLLAC();

  // --- Transient traces of the library. kind: 0 V, 1 I, 2 P (text: a
  // component), 4 Var (a variable), 5 Function (a formula), 14 Data (a free
  // name; samples from AddDLLData into run -1). A trace added here is also
  // appended to the kept tree, so that a later save includes it. analysis:
  // the collection to add to, Tran() (or null) or Freq(); the AC one takes
  // only kinds 0 and 1, "wrong trace type" for the others.
  CTrace* AddDLLTrace(int kind, const char* text, CTran* analysis = nullptr);
  // AddDLLTrace and a new handle; -1 on failure.
  int AddDLLTraceHandle(int kind, const char* text);
  // The trace's handle (given the first time it is asked for), or -1.
  int GetDLLTrace(const char* name);
  bool DeleteDLLTrace(int handle);
  // Reading run 0: size (0 without run 0; -1 for a wrong handle), by index,
  // the last sample, by time (interpolated).
  int GetDLLDataSize(int handle);
  bool GetDLLDataAt(int handle, int n, double* t, double* v);
  // Samples first .. first + count - 1 of the trace's present run into t
  // and v, as GetDLLDataAt reads them one by one; stops at the last one.
  // The number copied, or -1 (reason appended) for an unknown trace or a
  // trace without storage.
  int GetDLLDataBlock(int handle, int first, int count, double* t, double* v);
  bool GetDLLLastData(int handle, double* t, double* v);
  bool GetDLLData(int handle, double t, double* v);
  // Every trace of a component keeps its samples from the last one at or
  // before the last simulate target on.
  void ClearDLLDataLessThan();
  bool AddDLLData(int handle, double t, double v);
  bool DeleteDLLData(int handle);
  // The tree of the file last opened; null before a successful OpenDLL.
  CXMLNode* Tree() const { return tree_.get(); }
  // Set when the document was opened with its transient runs stored after
  // the XML text ("Properties" "save" bit 2).
  bool HasTraceData() const { return trace_data_; }
  bool IsEncrypted() const { return encrypted_; }

  STranSettings& TranSettings() { return tran_settings_; }
  SFreqSettings& FreqSettings() { return freq_settings_; }
  SAdvancedSettings& Advanced() { return advanced_; }
  const SAdvancedSettings& Advanced() const { return advanced_; }
  // Folders searched for the files the document refers to.
  TStringList& Libraries() { return libraries_; }

  // Digital levels of the "Advanced" settings, volts.
  double LowLevel() const { return advanced_.low; }
  double HighLevel() const { return advanced_.high; }
  double Threshold() const { return advanced_.thr; }

  // --- The document element.
  // Stores or loads the "Doc" element, as its store flag says: "Cir" with
  // "Cmps", "Tran" (traces with tranData, then "Settings"), "Freq" (traces
  // with freqData, then "Settings"), "Advanced", "Libraries". Missing
  // elements are skipped when loading. False when the component list
  // cannot be loaded (LoadError() says why) or doc is null.
  bool SerializeDoc(CXMLNode* doc, bool tranData, bool freqData);
  bool SerializeTranSettings(CXMLNode* node);
  bool SerializeFreqSettings(CXMLNode* node);
  bool SerializeAdvancedSettings(CXMLNode* node);
  // Why the last SerializeDoc failed; empty otherwise.
  const AnsiString& LoadError() const { return load_error_; }

  // Opens the document file path (".qvs" added when it has no extension)
  // and keeps its tree for saving. 0 on success, -1 on failure, -2 when an
  // old document cannot be converted; failures append their reasons to
  // the library's error text and leave no tree behind.
  int OpenDLL(const AnsiString& path);
  // Writes the kept tree to path with the components stored anew and the
  // present step and time-out; everything else as it was read. False
  // without a kept tree or when the file cannot be written.
  bool SaveDLLAs(const AnsiString& path);
  // The full name of an existing file the document refers to: name (ext
  // added when it has no extension) as it is, in the document's folder,
  // or in one of the library folders; "" when none exists.
  AnsiString GetFullFileName(const AnsiString& name, const AnsiString& ext) const;

  // Reflection coefficient of Z = re + j im against the reference
  // impedance: (Z - conj(Z0)) / (Z + Z0). False, nothing written, when the
  // denominator is exactly 0.
  bool Gamma(double re, double im, double* g_re, double* g_im) const;
  // (1 + |Gamma|) / (1 - |Gamma|); +infinity when Gamma fails or |Gamma| is 1.
  double VSWR(double re, double im) const;

  // Function-table entries the formulas of this document used lately, per
  // name length 1..7. The evaluator searches them before the static tables
  // and adds a table hit while a length holds fewer than kFuncCacheSize.
  static constexpr int kFuncCacheSize = 10;
  struct SFuncCache {
    const SFuncEntry* entries[kFuncCacheSize] = {};
    int count = 0;
  };
  // The cache of names of length len; null outside 1..7.
  SFuncCache* FuncCache(int len) {
    return len >= 1 && len <= 7 ? &func_cache_[len] : nullptr;
  }
  // Empties the function cache; done when the document is reset.
  void clear_func_list();

 private:
  AnsiString file_name_;  // full name of the file opened; used by Save
  AnsiString doc_name_;   // "qv" + running number until a file is opened
  int handle_ = -1;       // circuit handle; -1 until registered
  std::unique_ptr<CCmps> cmps_;
  std::unique_ptr<CTran> tran_;  // transient analysis
  std::unique_ptr<CTran> freq_;  // AC analysis
  std::unique_ptr<CCalc> calc_;
  bool running_ = false;
  double last_time_ = 0.0;  // s

  void FailDLLSim();
  void DeleteDLLRecords();
  void MarkChanged();
  void RecordState();
  CParam* GetDLLParamName(const char* name);
  CParam* ParamRecord(int handle);
  CTrace* DLLTrace(int handle);
  bool AfterChange(int result, bool changed);

  std::vector<std::unique_ptr<SDLLParam>> params_;
  std::vector<std::unique_ptr<SDLLInput>> inputs_;
  std::vector<std::unique_ptr<SDLLOutput>> outputs_;
  std::unique_ptr<CXMLNode> tree_;
  STranSettings tran_settings_;
  SFreqSettings freq_settings_;
  SAdvancedSettings advanced_;
  TStringList libraries_;
  bool trace_data_ = false;
  bool encrypted_ = false;
  AnsiString load_error_;
  SFuncCache func_cache_[8];  // index = name length; 0 unused
};
