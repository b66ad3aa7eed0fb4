#pragma once
// The trace collection of an analysis (transient or AC). It owns its
// traces, keeps them in list order (the order of the document's "Trace"
// elements) and answers the trace look-ups that formulas make.

#include <vector>

#include <cstdio>

#include "base/AnsiString.h"
#include "base/Lists.h"
#include "expr/globals.h"

class CCalc;
class CData;
class CTrace;
class CTran;
class CXMLNode;

class CTraces {
 public:
  // tran: the analysis that owns the collection, or null (a tool or a
  // test); without one the collection counts as transient and without a
  // document.
  explicit CTraces(CTran* tran = nullptr) : tran_(tran) {}
  virtual ~CTraces();
  CTraces(const CTraces&) = delete;
  CTraces& operator=(const CTraces&) = delete;

  CTran* Tran() const { return tran_; }
  // True in the transient collection (and without an analysis).
  bool IsTran() const;

  int Count() const { return traces_.Count(); }
  bool IsEmpty() const { return traces_.Count() == 0; }
  CTrace* GetAt(int i) const { return static_cast<CTrace*>(traces_.Items(i)); }
  int IndexOf(const CTrace* trace) const { return traces_.IndexOf(trace); }
  // Appends trace and takes ownership; returns its index.
  int Add(CTrace* trace);
  // Takes ownership of trace at index i (appended when i is out of range).
  void InsertToTraces(int i, CTrace* trace);
  // Destroys the trace at index i; nothing when out of range.
  void RemoveAt(int i);
  void Swap(int i, int j);
  // Destroys every trace.
  void ClearTraces();
  // The trace with that library handle, or null.
  CTrace* GetDLLHandle(int handle) const;
  // The first trace whose GetTraceName() equals name ignoring case (kind
  // 0), or, in the AC collection, GetTraceName() + ".phase" (kind 1). A
  // name in double quotes loses them unless keepQuotes. Null for an empty
  // name or when none matches.
  CTrace* FindTrace(const AnsiString& name, int kind, bool keepQuotes) const;

  // Cursor positions of the display (s or Hz) and the run the look-ups read.
  double Left() const { return left_; }
  double Right() const { return right_; }
  void SetCursors(double left, double right) {
    left_ = left;
    right_ = right;
  }
  int SelectedRun() const { return selected_run_; }
  void SetSelectedRun(int id) { selected_run_ = id; }

  // --- Simulation side.

  // Binds every trace to the engine's circuit: a trace with a component id
  // gets that component (none when it no longer exists); an AC-only trace
  // (Z, Gamma, VSWR, Loop) without one gets the document's AC source.
  void InitTraces(CCalc* calc);
  // Builds every trace's dependencies and the order in which the traces
  // are recorded: a trace after the traces its expression names. "" on
  // success, else "Trace <name>: circular reference" naming the trace
  // whose ordering met the cycle, or "Error creating recalculation order".
  // On failure no order is kept (recording then goes in list order).
  AnsiString CreateRecalcOrder();
  // The i-th trace in calculation order; list order while no order is
  // built. Null outside 0 .. CalcOrderCount() - 1.
  CTrace* GetAtCalcOrder(int i) const;
  int CalcOrderCount() const { return ordered_ ? static_cast<int>(order_.size()) : Count(); }
  // Makes sure every trace that records (component id >= 0) has a current
  // run, emptied when clear is set. False when memory ran out for a run.
  bool CreateRunData(bool clear);
  // Removes every trace bound to a component id whose component no longer
  // exists or whose model no longer offers the trace's kind (V, I, P, S,
  // Var). True when a trace was removed.
  bool UpdateTraces();
  // A named value for formulas: "left", "right" (the cursors) and "delta"
  // (their difference); otherwise trace name "." value name, the value
  // computed by the trace's selected run (when the selected run id is
  // positive and present), else run 0, else run -1. False for an unknown
  // trace or value name; *ok tells whether a value came out.
  bool GetTraceValue(const AnsiString& name, double* v, bool* ok) const;

  // The "Traces" element: storing writes one "Trace" child per trace in
  // list order; loading replaces the collection with one trace per "Trace"
  // child. withData goes to CTrace::SerializeTrace. Element errors stay on
  // the "Trace" elements; the result is false only for a null node.
  bool SerializeTraces(CXMLNode* node, bool withData);

  // --- Points stored after the document's text. traces_node is the
  // "Traces" element whose "Trace" children pair with the traces by index.
  // Rewrites every "DataList": one "Data" child (id, size, type) per run
  // with points, exactly the runs SaveTracesData writes.
  void DescribeStoredRuns(CXMLNode* traces_node);
  // The raw points of those runs, trace after trace. Always true.
  bool SaveTracesData(std::FILE* file) const;
  // Reads back the runs the "DataList" elements describe. offset 0: the
  // points start after the first zero byte of the file; on return offset
  // is the position after the last point read. False when the file cannot
  // be opened or memory runs out.
  bool OpenTraceData(const AnsiString& path, CXMLNode* traces_node, long& offset);

  // The look-ups below are virtual so that a tool or a test can answer
  // trace names without building traces.

  // The value at the present point of the trace named name (ignoring case):
  // 0 while it has no point; complex when ac. False when no trace has that
  // name.
  // A name that is no trace name goes to GetTraceValue (trace.max,
  // trace.(1e-3), left ...), whose missing values read 0.
  virtual bool GetTraceNamedValue(const AnsiString& name, bool ac, SNumber* value) const;
  // Data set `set` of trace n (GetAt order) at abscissa x: the value at time
  // x for a transient trace; magnitude and phase (degrees) at frequency x,
  // as a complex number, for an AC trace. False when the trace, the data set
  // or the point is missing; *name then gets the trace's name when there is
  // a trace n.
  // Data set 0 of a trace without a current run is its run -1, so that
  // formulas read a Data trace's samples.
  virtual bool GetTraceDataValue(int n, int set, double x, SNumber* value,
                                 AnsiString* name) const;

 private:
  // The run a named value reads (see GetTraceValue).
  CData* ValueRun(const CTrace* trace) const;
  // After the list changed: an order that was built is built again, so
  // that it and the prepared expressions keep naming the right traces.
  void ListChanged();

  CTran* tran_;
  double left_ = 0.0;
  double right_ = 0.0;
  int selected_run_ = 0;
  TList traces_;  // CTrace*, owned
  // Calculation order: position k holds the list index of the k-th trace.
  std::vector<int> order_;
  bool ordered_ = false;  // order_ is built and matches the list
};
