#include "traces/Traces.h"

#include <cmath>

#include "base/globals.h"
#include "circuit/Cmp.h"
#include "circuit/Cmps.h"
#include "doc/Doc.h"
#include "doc/xml.h"
#include "engine/Calc.h"
#include "expr/Formula.h"
#include "traces/Data.h"
#include "traces/Trace.h"
#include "traces/Tran.h"

CTraces::~CTraces() { ClearTraces(); }

bool CTraces::IsTran() const { return tran_ == nullptr || tran_->IsTran(); }

int CTraces::Add(CTrace* trace) {
  const int i = traces_.Add(trace);
  ListChanged();
  return i;
}

void CTraces::InsertToTraces(int i, CTrace* trace) {
  if (i < 0 || i > Count()) i = Count();
  traces_.Insert(i, trace);
  ListChanged();
}

void CTraces::RemoveAt(int i) {
  if (i < 0 || i >= Count()) return;
  delete GetAt(i);
  traces_.Delete(i);
  ListChanged();
}

void CTraces::Swap(int i, int j) {
  if (i < 0 || j < 0 || i >= Count() || j >= Count()) return;
  traces_.Exchange(i, j);
  ListChanged();
}

void CTraces::ClearTraces() {
  for (int i = 0; i < Count(); ++i) delete GetAt(i);
  traces_.Clear();
  order_.clear();
  ordered_ = false;
}

void CTraces::ListChanged() {
  if (ordered_) CreateRecalcOrder();
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

// --- Simulation side ---------------------------------------------------------------------

namespace {

bool IsAcOnly(int type) { return type >= TT_Z && type <= TT_LOOP; }

}  // namespace

void CTraces::InitTraces(CCalc* calc) {
  CDoc* doc = tran_ != nullptr ? tran_->Doc() : nullptr;
  if (doc == nullptr && calc != nullptr) doc = calc->GetDoc();
  CCmps* cmps = doc != nullptr ? doc->Cmps() : nullptr;
  for (int i = 0; i < Count(); ++i) {
    CTrace* trace = GetAt(i);
    CCmp* cmp = nullptr;
    bool ac_source = false;
    if (trace->CmpId() > 0) {
      cmp = cmps != nullptr ? cmps->GetCmp(trace->CmpId()) : nullptr;
    } else if (trace->CmpId() == 0 && IsAcOnly(trace->Type())) {
      ac_source = true;
      const int id = doc != nullptr ? doc->FreqSettings().id : 0;
      cmp = cmps != nullptr && id > 0 ? cmps->GetCmp(id) : nullptr;
    }
    trace->InitTrace(calc, cmp, ac_source);
  }
}

AnsiString CTraces::CreateRecalcOrder() {
  order_.clear();
  ordered_ = false;
  const int n = Count();
  for (int i = 0; i < n; ++i) GetAt(i)->CreateTraceRecalcDependence();
  for (int i = 0; i < n; ++i) GetAt(i)->ResetCalcOrder();
  int counter = 0;
  for (int i = 0; i < n; ++i) {
    CTrace* trace = GetAt(i);
    if (!trace->GetTraceCalculationOrder(trace, counter))
      return "Trace " + trace->GetTraceName() + ": circular reference";
  }
  order_.assign(static_cast<std::size_t>(n), -1);
  for (int i = 0; i < n; ++i) {
    const int k = GetAt(i)->CalcOrder();
    if (k >= 0 && k < n) order_[static_cast<std::size_t>(k)] = i;
  }
  for (int k : order_) {
    if (k < 0) {
      order_.clear();
      return "Error creating recalculation order";
    }
  }
  ordered_ = true;
  return AnsiString();
}

CTrace* CTraces::GetAtCalcOrder(int i) const {
  if (i < 0 || i >= CalcOrderCount()) return nullptr;
  return ordered_ ? GetAt(order_[static_cast<std::size_t>(i)]) : GetAt(i);
}

bool CTraces::CreateRunData(bool clear) {
  // A trace with a negative component id records nothing; its runs hold
  // the caller's or a file's samples, which a new simulation must not wipe.
  bool ok = true;
  for (int i = 0; i < Count(); ++i) {
    CTrace* trace = GetAt(i);
    if (trace->CmpId() >= 0 && !trace->CreateRunData(clear)) ok = false;
  }
  return ok;
}

bool CTraces::UpdateTraces() {
  CDoc* doc = tran_ != nullptr ? tran_->Doc() : nullptr;
  CCmps* cmps = doc != nullptr ? doc->Cmps() : nullptr;
  if (cmps == nullptr) return false;
  bool removed = false;
  for (int i = Count() - 1; i >= 0; --i) {
    const CTrace* trace = GetAt(i);
    if (trace->CmpId() <= 0) continue;
    const CCmp* cmp = cmps->GetCmp(trace->CmpId());
    bool stale = cmp == nullptr;
    if (!stale && trace->Type() >= TT_V && trace->Type() <= TT_VAR) {
      const SElemModel* model = cmp->GetModel();
      stale = model == nullptr || (model->flags & (1 << trace->Type())) == 0;
    }
    if (stale) {
      RemoveAt(i);
      removed = true;
    }
  }
  return removed;
}

// --- Look-ups for formulas -----------------------------------------------------------------

CData* CTraces::ValueRun(const CTrace* trace) const {
  if (selected_run_ > 0) {
    if (CData* run = trace->GetData(selected_run_)) return run;
  }
  if (CData* run = trace->GetData(0)) return run;
  return trace->GetData(-1);
}

bool CTraces::GetTraceValue(const AnsiString& name, double* v, bool* ok) const {
  *ok = false;
  const AnsiString lower = name.LowerCase();
  if (lower == "left" || lower == "right" || lower == "delta") {
    *v = lower == "left" ? left_ : (lower == "right" ? right_ : right_ - left_);
    *ok = true;
    return true;
  }
  AnsiString trace_name, value_name;
  parse_name(name, trace_name, value_name);
  const CTrace* trace = nullptr;
  for (int i = 0; i < Count() && trace == nullptr; ++i)
    if (CompareNames(GetAt(i)->GetTraceName(), trace_name) == 0) trace = GetAt(i);
  if (trace == nullptr) return false;
  CData* run = ValueRun(trace);
  // A known trace without samples has a name but no value.
  if (run == nullptr) return true;
  return run->GetTraceValue(value_name, left_, right_, v, ok);
}

bool CTraces::GetTraceNamedValue(const AnsiString& name, bool ac, SNumber* value) const {
  const auto put = [ac, value](double re, double im) {
    if (ac)
      SetComplexNumber(value, re, im);
    else
      SetDoubleNumber(value, re);
  };
  // A whole trace name: the value at the present (last) point.
  bool phase = false;
  const CTrace* trace = FindTrace(name, 0, false);
  if (trace == nullptr && !IsTran()) {
    trace = FindTrace(name, 1, false);
    phase = trace != nullptr;
  }
  if (trace != nullptr) {
    const CData* run = ValueRun(trace);
    const int last = run != nullptr ? run->GetSize() - 1 : -1;
    if (trace->IsTran()) {
      double t = 0.0, v = 0.0;
      if (last >= 0) run->GetDataAt(last, &t, &v, false);
      put(v, 0.0);
    } else {
      double f = 0.0, mag = 0.0, ph = 0.0;
      if (last >= 0) run->GetFreqDataAt(last, &f, &mag, &ph);
      const double rad = ph * kFormulaPi / 180.0;
      if (phase)
        put(ph, 0.0);
      else
        put(ac ? mag * std::cos(rad) : mag, mag * std::sin(rad));
    }
    return true;
  }
  double v = 0.0;
  bool ok = false;
  if (!GetTraceValue(name, &v, &ok)) return false;
  put(ok ? v : 0.0, 0.0);
  return true;
}

bool CTraces::GetTraceDataValue(int n, int set, double x, SNumber* value,
                                AnsiString* name) const {
  if (n < 0 || n >= Count()) return false;
  const CTrace* trace = GetAt(n);
  const CData* run = trace->GetData(set);
  if (run == nullptr && set == 0) run = trace->GetData(-1);
  if (run != nullptr) {
    if (trace->IsTran()) {
      double v;
      if (run->GetDataPoint(x, &v, false)) {
        SetDoubleNumber(value, v);
        return true;
      }
    } else {
      double mag, ph;
      if (run->GetFreqDataPointFormula(x, &mag, &ph)) {
        const double rad = ph * kFormulaPi / 180.0;
        SetComplexNumber(value, mag * std::cos(rad), mag * std::sin(rad));
        return true;
      }
    }
  }
  if (name != nullptr) *name = trace->GetTraceName();
  return false;
}
