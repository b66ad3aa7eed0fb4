#pragma once
// The trace collection of an analysis (transient or AC). It owns its
// traces, keeps them in list order (the order of the document's "Trace"
// elements) and answers the trace look-ups that formulas make.

#include "base/AnsiString.h"
#include "base/Lists.h"
#include "expr/globals.h"

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
  int Add(CTrace* trace) { return traces_.Add(trace); }
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
  int SelectedRun() const { return selected_run_; }

  // The "Traces" element: storing writes one "Trace" child per trace in
  // list order; loading replaces the collection with one trace per "Trace"
  // child. withData goes to CTrace::SerializeTrace. Element errors stay on
  // the "Trace" elements; the result is false only for a null node.
  bool SerializeTraces(CXMLNode* node, bool withData);

  // The look-ups below are virtual so that a tool or a test can answer
  // trace names without building traces.

  // The value at the present point of the trace named name (ignoring case):
  // 0 while it has no point; complex when ac. False when no trace has that
  // name.
  virtual bool GetTraceNamedValue(const AnsiString& name, bool ac, SNumber* value) const;
  // Data set `set` of trace n (GetAt order) at abscissa x: the value at time
  // x for a transient trace; magnitude and phase (degrees) at frequency x,
  // as a complex number, for an AC trace. False when the trace, the data set
  // or the point is missing; *name then gets the trace's name when there is
  // a trace n.
  virtual bool GetTraceDataValue(int n, int set, double x, SNumber* value,
                                 AnsiString* name) const;

 private:
  CTran* tran_;
  double left_ = 0.0;
  double right_ = 0.0;
  int selected_run_ = 0;
  TList traces_;  // CTrace*, owned
};
