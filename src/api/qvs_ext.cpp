// The introspection extensions (qvs_ext.h): listings of components,
// parameters, settings and traces, the engine's run counters, and AC traces
// added by the host. Same frame as the exported functions of qvs_dll.cpp:
// RunCall around argument checks and reads of the document.

#include "qvs_ext.h"

#include <cstring>

#include "api/CallFrame.h"
#include "base/AnsiString.h"
#include "circuit/Cmp.h"
#include "circuit/Cmps.h"
#include "circuit/ElemSet.h"
#include "circuit/Param.h"
#include "doc/Doc.h"
#include "engine/Calc.h"
#include "expr/Formula.h"
#include "traces/Trace.h"
#include "traces/Traces.h"
#include "traces/Tran.h"

namespace {

// Copies s into text as QVS_GetText does: cut to length - 1 characters and
// a zero when it does not fit, nothing for a negative length. Returns the
// size the whole text needs.
int CopyText(const AnsiString& s, char* text, int length) {
  if (length > 0) {
    const int n = length > s.Length() ? s.Length() : length - 1;
    std::memcpy(text, s.c_str(), static_cast<std::size_t>(n));
    text[n] = '\0';
  }
  return s.Length() + 1;
}

// The checks every text-reading function starts with; -1 after appending
// the reason.
int CheckBuffer(char* text, int length) {
  if (text == nullptr) return Fail("NULL pointer");
  if (length == 0) return Fail("length = 0");
  if (length > 0) text[0] = '\0';
  return 0;
}

// The component a dotted name reaches, or null after appending the reason.
CCmp* FindCmp(CDoc* doc, const char* name) {
  if (name == nullptr) {
    Fail("NULL pointer");
    return nullptr;
  }
  if (name[0] == '\0') {
    Fail("no component name");
    return nullptr;
  }
  CCmp* cmp = doc->Cmps()->GetCmpName(name);
  if (cmp == nullptr) Fail(("component " + AnsiString(name) + " not found").c_str());
  return cmp;
}

// The descriptor array of cmp's present model (bound to cmp) and its length.
// The array is shared by every component of the class, so it is read right
// after binding and never kept.
int ParamCount(CCmp* cmp, CParam** list) {
  *list = cmp->GetParamsList();
  int n = 0;
  if (*list != nullptr)
    while ((*list)[n].Name() != nullptr) ++n;
  return n;
}

// The trace collection of an analysis, or null after appending the reason.
CTraces* TracesOf(CDoc* doc, int analysis) {
  CTran* tran = analysis == QVSX_TRANSIENT ? doc->Tran() : analysis == QVSX_AC ? doc->Freq() : nullptr;
  if (tran == nullptr) {
    Fail("wrong analysis");
    return nullptr;
  }
  return &tran->Traces();
}

}  // namespace

extern "C" {

QVS_API int QVSX_GetComponentCount(int ncir) {
  return RunCall("QVSX_GetComponentCount: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->Cmps()->Count();
  });
}

QVS_API int QVSX_GetComponentText(int ncir, int index, int field, char* text, int length) {
  return RunCall("QVSX_GetComponentText: ", [&] {
    if (CheckBuffer(text, length) < 0) return -1;
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    if (index < 0 || index >= doc->Cmps()->Count()) return Fail("wrong component index");
    const CCmp* cmp = doc->Cmps()->GetAt(index);
    const SElemType* type = cmp->Type();
    const SElemModel* model = cmp->GetModel();
    AnsiString s;
    switch (field) {
      case QVSX_CMP_NAME: s = cmp->Name(); break;
      case QVSX_CMP_TYPE: s = type != nullptr && type->name != nullptr ? type->name : ""; break;
      case QVSX_CMP_DESCRIPTION:
        s = type != nullptr && type->description != nullptr ? type->description : "";
        break;
      case QVSX_CMP_MODEL: s = model != nullptr && model->name != nullptr ? model->name : ""; break;
      default: return Fail("wrong field");
    }
    return CopyText(s, text, length);
  });
}

QVS_API int QVSX_GetParameterCount(int ncir, char* cmpName) {
  return RunCall("QVSX_GetParameterCount: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    CCmp* cmp = FindCmp(doc, cmpName);
    if (cmp == nullptr) return -1;
    CParam* list = nullptr;
    return ParamCount(cmp, &list);
  });
}

QVS_API int QVSX_GetParameterText(int ncir, char* cmpName, int index, int field, char* text,
                                  int length) {
  return RunCall("QVSX_GetParameterText: ", [&] {
    if (CheckBuffer(text, length) < 0) return -1;
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    CCmp* cmp = FindCmp(doc, cmpName);
    if (cmp == nullptr) return -1;
    CParam* list = nullptr;
    if (index < 0 || index >= ParamCount(cmp, &list)) return Fail("wrong parameter index");
    const CParam& p = list[index];
    AnsiString s;
    switch (field) {
      case QVSX_PARAM_NAME: s = p.Name(); break;
      case QVSX_PARAM_VALUE: s = p.GetText(); break;
      case QVSX_PARAM_UNIT: s = p.Unit(); break;
      case QVSX_PARAM_FORMULA: {
        // Plain numbers keep no text once evaluated; what is left is a
        // formula, which begins with "=".
        const CFormula* f = p.Kind() == PK_FORMULA ? p.BoundFormula() : nullptr;
        if (f != nullptr) s = f->Text();
        break;
      }
      default: return Fail("wrong field");
    }
    return CopyText(s, text, length);
  });
}

QVS_API int QVSX_GetTranSettings(int ncir, double* start, double* screen, double* step) {
  return RunCall("QVSX_GetTranSettings: ", [&] {
    if (start == nullptr || screen == nullptr || step == nullptr) return Fail("NULL pointer");
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    const STranSettings& s = doc->TranSettings();
    *start = s.start;
    *screen = s.screen;
    *step = s.step;
    return 0;
  });
}

QVS_API int QVSX_GetACSettings(int ncir, double* from, double* to, int* points, int* scale) {
  return RunCall("QVSX_GetACSettings: ", [&] {
    if (from == nullptr || to == nullptr || points == nullptr || scale == nullptr)
      return Fail("NULL pointer");
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    const SFreqSettings& s = doc->FreqSettings();
    *from = s.from;
    *to = s.to;
    *points = s.points;
    *scale = s.scale;
    return 0;
  });
}

QVS_API int QVSX_GetACSource(int ncir, char* text, int length) {
  return RunCall("QVSX_GetACSource: ", [&] {
    if (CheckBuffer(text, length) < 0) return -1;
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    const CCmp* cmp = doc->Cmps()->GetCmp(doc->FreqSettings().id);
    return CopyText(cmp != nullptr ? cmp->Name() : AnsiString(), text, length);
  });
}

QVS_API int QVSX_GetTraceCount(int ncir, int analysis) {
  return RunCall("QVSX_GetTraceCount: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    CTraces* traces = TracesOf(doc, analysis);
    return traces != nullptr ? traces->Count() : -1;
  });
}

QVS_API int QVSX_GetTraceText(int ncir, int analysis, int index, int field, char* text,
                              int length) {
  return RunCall("QVSX_GetTraceText: ", [&] {
    if (CheckBuffer(text, length) < 0) return -1;
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    CTraces* traces = TracesOf(doc, analysis);
    if (traces == nullptr) return -1;
    if (index < 0 || index >= traces->Count()) return Fail("wrong trace index");
    const CTrace* trace = traces->GetAt(index);
    AnsiString s;
    switch (field) {
      case QVSX_TRACE_NAME: s = trace->GetTraceName(); break;
      case QVSX_TRACE_TYPE: s = CTrace::TypeText(trace->Type()); break;
      case QVSX_TRACE_EXPR: s = trace->GetTraceExpr(); break;
      default: return Fail("wrong field");
    }
    return CopyText(s, text, length);
  });
}

QVS_API int QVSX_GetCounters(int ncir, long long* accepted, long long* rejected,
                             long long* switchings, long long* zone_iterations) {
  return RunCall("QVSX_GetCounters: ", [&] {
    if (accepted == nullptr || rejected == nullptr || switchings == nullptr ||
        zone_iterations == nullptr)
      return Fail("NULL pointer");
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    // The engine is made at the first simulation start; before it nothing
    // has been counted.
    CCalc::SCounters c;
    if (doc->Calc() != nullptr) c = doc->Calc()->Counters();
    *accepted = c.accepted;
    *rejected = c.rejected;
    *switchings = c.switchings;
    *zone_iterations = c.ic_iterations;
    return 0;
  });
}

QVS_API int QVSX_GetData(int ncir, int ntrace, int first, int count, double* t, double* v) {
  return RunCall("QVSX_GetData: ", [&] {
    if (t == nullptr || v == nullptr) return Fail("NULL pointer");
    if (first < 0 || count < 0) return Fail("wrong range");
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->GetDLLDataBlock(ntrace, first, count, t, v);
  });
}

QVS_API int QVSX_AddACTrace(int ncir, char* name, int kind) {
  return RunCall("QVSX_AddACTrace: ", [&] {
    if (name == nullptr) return Fail("NULL pointer");
    if (name[0] == '\0') return Fail("no trace name");
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    static_assert(static_cast<int>(QVSX_TRACE_V) == static_cast<int>(TT_V) &&
                      static_cast<int>(QVSX_TRACE_I) == static_cast<int>(TT_I),
                  "the kinds are the trace type codes");
    // The kind and component checks, the trace's name and the tree element
    // are the transient add-trace functions' own.
    CTrace* added = doc->AddDLLTrace(kind, name, doc->Freq());
    if (added == nullptr) return -1;
    added->SetHandle(GetDLLHandle());
    return added->Handle();
  });
}

}  // extern "C"
