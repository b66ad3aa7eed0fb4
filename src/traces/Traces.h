#pragma once
// The trace collection of an analysis (transient or AC). For now it holds
// only the look-ups that formulas make; the trace code fills the collection
// and brings the rest of its operations.

#include "base/AnsiString.h"
#include "base/Lists.h"
#include "expr/globals.h"

class CTrace;

class CTraces {
 public:
  CTraces() = default;
  virtual ~CTraces() = default;
  CTraces(const CTraces&) = delete;
  CTraces& operator=(const CTraces&) = delete;

  int Count() const { return traces_.Count(); }
  bool IsEmpty() const { return traces_.Count() == 0; }
  CTrace* GetAt(int i) const { return static_cast<CTrace*>(traces_.Items(i)); }

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
  TList traces_;  // CTrace*, owned by the collection once the trace code fills it
};
