// Traces and samples reached through the library: adding transient and AC
// traces, finding and deleting transient ones, reading their run 0,
// trimming old samples and feeding caller samples into run -1. Failures
// append their reason to the library's error text.

#include "api/CallFrame.h"
#include "circuit/Cmp.h"
#include "circuit/Cmps.h"
#include "circuit/ElemSet.h"
#include "doc/Doc.h"
#include "doc/xml.h"
#include "engine/Calc.h"
#include "traces/Data.h"
#include "traces/Trace.h"
#include "traces/Traces.h"
#include "traces/Tran.h"

namespace {

// The "Traces" element of an analysis ("Tran" or "Freq") in a kept tree,
// or null when the chain Doc/analysis/Traces is not there. With create,
// missing analysis and "Traces" elements are made, so that a trace added
// to a document that had none is still saved with it.
CXMLNode* TracesNode(CXMLNode* root, const char* analysis, bool create = false) {
  if (root == nullptr) return nullptr;
  CXMLNode* doc = root->GetNode("Doc", 0);
  if (doc == nullptr) return nullptr;
  CXMLNode* element = doc->GetNode(analysis, 0);
  if (element == nullptr && create) element = doc->CreateNode(analysis);
  if (element == nullptr) return nullptr;
  CXMLNode* traces = element->GetNode("Traces", 0);
  if (traces == nullptr && create) traces = element->CreateNode("Traces");
  return traces;
}

}  // namespace

CTrace* CDoc::AddDLLTrace(int kind, const char* text, CTran* analysis) {
  CTran* target = analysis != nullptr ? analysis : tran_.get();
  const bool ac = !target->IsTran();
  // The AC collection records a component's voltage or current only.
  if (ac && kind != TT_V && kind != TT_I) {
    dll_add_error("wrong trace type");
    return nullptr;
  }
  const AnsiString name(text);
  CCmp* cmp = nullptr;
  switch (kind) {
    case TT_V:
    case TT_I:
    case TT_P: {
      cmp = cmps_->GetCmp(name);
      if (cmp == nullptr) {
        dll_add_error((AnsiString("component ") + name + " not found").c_str());
        return nullptr;
      }
      const SElemModel* model = cmp->GetModel();
      if (model == nullptr) {
        dll_add_error("component model not found");
        return nullptr;
      }
      static const int kFlag[] = {MF_TRACE_V, MF_TRACE_I, MF_TRACE_P};
      static const char* const kLetter[] = {"V", "I", "P"};
      if ((model->flags & kFlag[kind]) == 0) {
        dll_add_error(
            (AnsiString(kLetter[kind]) + " trace not allowed for component " + name).c_str());
        return nullptr;
      }
      break;
    }
    case TT_VAR:
      cmp = cmps_->GetCmp(name);
      if (cmp == nullptr) {
        dll_add_error((AnsiString("variable ") + name + " not found").c_str());
        return nullptr;
      }
      break;
    case TT_FUNCTION:
    case TT_DATA:
      break;
    default:
      dll_add_error("wrong trace type");
      return nullptr;
  }
  CTraces& traces = target->Traces();
  auto* trace = new CTrace(&traces);
  trace->SetType(kind);
  trace->SetCmpId(kind == TT_DATA ? -1 : cmp != nullptr ? cmp->Id() : 0);
  trace->SetExprText(name);
  trace->SetExpr(name);  // V(R1) for the component kinds
  trace->SetName(trace->Expr());
  traces.Add(trace);
  // A transient run in progress binds the new trace at its next step; it
  // records from the next start, when it gets its run 0. Every AC run binds
  // and orders its traces afresh, so an AC trace records from the next one.
  if (!ac && calc_ != nullptr && running_) calc_->SetInitFlags(calc_->InitFlags() | 2);
  if (CXMLNode* list = TracesNode(tree_.get(), ac ? "Freq" : "Tran", true)) {
    CXMLNode* element = list->CreateNode("Trace");
    element->SetStore(true);
    trace->SerializeTrace(element, false);
  }
  return trace;
}

int CDoc::AddDLLTraceHandle(int kind, const char* text) {
  CTrace* trace = AddDLLTrace(kind, text);
  if (trace == nullptr) return -1;
  trace->SetHandle(GetDLLHandle());
  return trace->Handle();
}

CTrace* CDoc::DLLTrace(int handle) {
  CTrace* trace = tran_->Traces().GetDLLHandle(handle);
  if (trace == nullptr) dll_add_error("wrong trace handle");
  return trace;
}

int CDoc::GetDLLTrace(const char* name) {
  CTrace* trace = tran_->Traces().FindTrace(name, 0, false);
  if (trace == nullptr) {
    dll_add_error((AnsiString("trace ") + name + " not found").c_str());
    return -1;
  }
  if (trace->Handle() < 0) trace->SetHandle(GetDLLHandle());
  return trace->Handle();
}

bool CDoc::DeleteDLLTrace(int handle) {
  CTrace* trace = DLLTrace(handle);
  if (trace == nullptr) return false;
  CTraces& traces = tran_->Traces();
  const int index = traces.IndexOf(trace);
  if (index < 0) {
    dll_add_error("trace not found");
    return false;
  }
  if (CXMLNode* list = TracesNode(tree_.get(), "Tran")) {
    // The element at the trace's index among the "Trace" children.
    int seen = 0;
    for (int i = 0; i < list->NodeCount(); ++i) {
      CXMLNode* child = list->GetNode(i);
      if (child->GetName() != "Trace") continue;
      if (seen++ == index) {
        list->DeleteNode(i);
        break;
      }
    }
  }
  if (calc_ != nullptr && running_) calc_->SetInitFlags(calc_->InitFlags() | 2);
  traces.RemoveAt(index);
  return true;
}

int CDoc::GetDLLDataSize(int handle) {
  CTrace* trace = DLLTrace(handle);
  if (trace == nullptr) return -1;
  CData* data = trace->GetData(0);
  return data != nullptr ? data->GetSize() : 0;
}

bool CDoc::GetDLLDataAt(int handle, int n, double* t, double* v) {
  CTrace* trace = DLLTrace(handle);
  if (trace == nullptr) return false;
  CData* data = trace->GetData(0);
  if (data == nullptr) return dll_add_error("no trace data"), false;
  if (!data->GetDataAt(n, t, v, true)) return dll_add_error("no data at requested index"), false;
  return true;
}

int CDoc::GetDLLDataBlock(int handle, int first, int count, double* t, double* v) {
  CTrace* trace = DLLTrace(handle);
  if (trace == nullptr) return -1;
  const CData* data = trace->GetData(0);
  if (data == nullptr) return dll_add_error("no trace data"), -1;
  int copied = 0;
  for (int i = first; copied < count && i < data->GetSize(); ++i, ++copied)
    data->GetDataAt(i, t + copied, v + copied, true);
  return copied;
}

bool CDoc::GetDLLLastData(int handle, double* t, double* v) {
  CTrace* trace = DLLTrace(handle);
  if (trace == nullptr) return false;
  CData* data = trace->GetData(0);
  if (data == nullptr || data->GetSize() == 0) return dll_add_error("no data"), false;
  return data->GetDataAt(data->GetSize() - 1, t, v, true) || (dll_add_error("no data"), false);
}

bool CDoc::GetDLLData(int handle, double t, double* v) {
  CTrace* trace = DLLTrace(handle);
  if (trace == nullptr) return false;
  CData* data = trace->GetData(0);
  if (data == nullptr) return dll_add_error("no trace data"), false;
  if (!data->GetDataPoint(t, v, true)) return dll_add_error("no data at requested time"), false;
  return true;
}

void CDoc::ClearDLLDataLessThan() {
  CTraces& traces = tran_->Traces();
  for (int i = 0; i < traces.Count(); ++i) {
    CTrace* trace = traces.GetAt(i);
    if (trace->CmpId() < 0) continue;
    if (CData* data = trace->GetData(0)) data->ClearDLLDataLessThan(last_time_);
  }
}

bool CDoc::AddDLLData(int handle, double t, double v) {
  CTrace* trace = DLLTrace(handle);
  if (trace == nullptr) return false;
  CData* data = trace->GetData(-1);
  if (data == nullptr) data = trace->CreateData(-1);
  if (data == nullptr) return dll_add_error("trace data error"), false;
  if (!data->InsertDLLDataPoint(t, v)) return dll_add_error("error adding data"), false;
  return true;
}

bool CDoc::DeleteDLLData(int handle) {
  CTrace* trace = DLLTrace(handle);
  if (trace == nullptr) return false;
  trace->DeleteAllData();
  return true;
}
