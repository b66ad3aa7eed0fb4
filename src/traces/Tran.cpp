#include "traces/Tran.h"

#include "doc/xml.h"
#include "traces/Trace.h"

bool CTran::SerializeTran(CXMLNode* node, bool withData) {
  if (node == nullptr) return false;
  CXMLNode* traces = node->Node("Traces");
  if (traces == nullptr) return true;  // loading a document without traces
  return traces_.SerializeTraces(traces, withData);
}

bool CTran::AddTranPoint(bool replace) {
  Lock();
  bool ok = true;
  const int n = traces_.CalcOrderCount();
  for (int i = 0; i < n; ++i) {
    CTrace* trace = traces_.GetAtCalcOrder(i);
    if (trace == nullptr || trace->CmpId() < 0) continue;
    if (!trace->TraceAddTranPoint(replace)) ok = false;
  }
  Unlock();
  return ok;
}

bool CTran::AddFreqPoint(double f) {
  Lock();
  bool ok = true;
  const int n = traces_.CalcOrderCount();
  for (int i = 0; i < n; ++i) {
    CTrace* trace = traces_.GetAtCalcOrder(i);
    if (trace == nullptr || trace->CmpId() < 0) continue;
    // A failed AC point ends the analysis: the later traces need not run.
    if (!trace->TraceAddFreqPoint(f)) {
      ok = false;
      break;
    }
  }
  Unlock();
  return ok;
}
