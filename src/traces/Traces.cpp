#include "traces/Traces.h"

#include "circuit/Cmps.h"
#include "doc/xml.h"
#include "traces/Trace.h"
#include "traces/Tran.h"

CTraces::~CTraces() { ClearTraces(); }

bool CTraces::IsTran() const { return tran_ == nullptr || tran_->IsTran(); }

void CTraces::InsertToTraces(int i, CTrace* trace) {
  if (i < 0 || i > Count()) i = Count();
  traces_.Insert(i, trace);
}

void CTraces::RemoveAt(int i) {
  if (i < 0 || i >= Count()) return;
  delete GetAt(i);
  traces_.Delete(i);
}

void CTraces::Swap(int i, int j) {
  if (i < 0 || j < 0 || i >= Count() || j >= Count()) return;
  traces_.Exchange(i, j);
}

void CTraces::ClearTraces() {
  for (int i = 0; i < Count(); ++i) delete GetAt(i);
  traces_.Clear();
}

CTrace* CTraces::GetDLLHandle(int handle) const {
  for (int i = 0; i < Count(); ++i)
    if (GetAt(i)->Handle() == handle) return GetAt(i);
  return nullptr;
}

CTrace* CTraces::FindTrace(const AnsiString& name, int kind, bool keepQuotes) const {
  if (name.IsEmpty()) return nullptr;
  AnsiString key = name;
  if (!keepQuotes && key[1] == '"') key = key.SubString(2, key.Length() - 2);
  const bool phase = kind == 1 && !IsTran();
  for (int i = 0; i < Count(); ++i) {
    AnsiString n = GetAt(i)->GetTraceName();
    if (phase) n += ".phase";
    if (CompareNames(n, key) == 0) return GetAt(i);
  }
  return nullptr;
}

bool CTraces::SerializeTraces(CXMLNode* node, bool withData) {
  if (node == nullptr) return false;
  if (node->IsStore()) {
    for (int i = 0; i < Count(); ++i) GetAt(i)->SerializeTrace(node->CreateNode("Trace"), withData);
    return true;
  }
  ClearTraces();
  for (CXMLNode* child = node->GetNode("Trace", 0); child != nullptr;
       child = node->GetNextNode()) {
    CTrace* trace = new CTrace(this);
    trace->SerializeTrace(child, withData);
    Add(trace);
  }
  return true;
}

// Traces carry their sample storage in CData, which the recording code
// brings together with the traces. Until then no trace has a point, and
// every look-up finds nothing.

bool CTraces::GetTraceNamedValue(const AnsiString& /*name*/, bool /*ac*/,
                                 SNumber* /*value*/) const {
  return false;
}

bool CTraces::GetTraceDataValue(int /*n*/, int /*set*/, double /*x*/, SNumber* /*value*/,
                                AnsiString* /*name*/) const {
  return false;
}
