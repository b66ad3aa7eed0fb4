// The exported functions. Each is the call frame (CallFrame.h) around
// argument checks and one forwarding call into the document.

#include "qvs_dll.h"

#include <memory>

#include "api/CallFrame.h"
#include "base/AnsiString.h"
#include "base/globals.h"
#include "doc/Doc.h"
#include "circuit/Cmp.h"
#include "circuit/Cmps.h"
#include "circuit/ElemSet.h"
#include "traces/Data.h"
#include "traces/Trace.h"
#include "traces/Traces.h"
#include "traces/Tran.h"

extern "C" {

QVS_API char* QVS_GetError(void) { return dll_error_text(); }

QVS_API char* QVS_GetInfo(void) {
  dll_set_error("Version 3.12.59.23, Date 04/24/2024");
  return dll_error_text();
}

QVS_API int QVS_Open(char* name) {
  return RunCall("QVS_Open: ", [&] {
    if (name == nullptr) return Fail("NULL pointer");
    if (name[0] == '\0') return Fail("no file name");
    auto doc = std::make_unique<CDoc>();
    // A document that fails to open is destroyed here, before it ever
    // takes a handle.
    if (doc->OpenDLL(name) < 0) return -1;
    return dll_register_doc(doc.release());
  });
}

QVS_API int QVS_Close(int ncir) {
  return RunCall("QVS_Close: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    dll_close_doc(doc);
    return 0;
  });
}

QVS_API int QVS_Save(int ncir) {
  return RunCall("QVS_Save: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    if (!doc->SaveDLLAs(doc->FileName()))
      return Fail(("cannot save file " + doc->FileName()).c_str());
    return 0;
  });
}

QVS_API int QVS_SaveAs(int ncir, char* name) {
  return RunCall("QVS_SaveAs: ", [&] {
    if (name == nullptr) return Fail("NULL pointer");
    if (name[0] == '\0') return Fail("no file name");
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    if (!doc->SaveDLLAs(name)) return Fail((AnsiString("cannot save file ") + name).c_str());
    return 0;
  });
}

// --- Simulation control ------------------------------------------------------------

QVS_API int QVS_Start(int ncir) {
  return RunCall("QVS_Start: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->StartDLLSim() ? 0 : -1;
  });
}

QVS_API int QVS_Simulate(int ncir, double interval) {
  return RunCall("QVS_Simulate: ", [&] {
    if (!(interval >= 0)) return Fail("interval < 0");  // NaN too
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->ExecuteDLLSim(interval, 0) ? 0 : -1;
  });
}

QVS_API int QVS_SimulateInterval(int ncir, double interval) {
  return RunCall("QVS_SimulateInterval: ", [&] {
    if (!(interval >= 0)) return Fail("interval < 0");  // NaN too
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->ExecuteDLLSim(interval, 2) ? 0 : -1;
  });
}

QVS_API int QVS_SimulateStep(int ncir) {
  return RunCall("QVS_SimulateStep: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->ExecuteDLLSim(0.0, 1) ? 0 : -1;
  });
}

QVS_API int QVS_SetStep(int ncir, double step) {
  return RunCall("QVS_SetStep: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->SetDLLStep(step) ? 0 : -1;
  });
}

QVS_API int QVS_SetTimeout(int ncir, int t) {
  return RunCall("QVS_SetTimeout: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    doc->Advanced().to = t;
    return 0;
  });
}

QVS_API int QVS_GetSimulationTime(int ncir, double* t) {
  return RunCall("QVS_GetSimulationTime: ", [&] {
    if (t == nullptr) return Fail("NULL pointer");
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    *t = doc->GetDLLSimulationTime();
    return 0;
  });
}

QVS_API int QVS_SaveIC(int ncir) {
  return RunCall("QVS_SaveIC: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    if (!doc->IsRunning()) return Fail("simulation not running");
    doc->SaveDLLIC();
    return 0;
  });
}

// --- Parameters, inputs and outputs ------------------------------------------------

QVS_API int QVS_GetValue(int ncir, char* name, double* v) {
  return RunCall("QVS_GetValue: ", [&] {
    if (v == nullptr) return Fail("NULL pointer");
    *v = 0.0;
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->GetDLLParamNameValue(name, v) ? 0 : -1;
  });
}

QVS_API int QVS_SetValue(int ncir, char* name, double v) {
  return RunCall("QVS_SetValue: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->SetDLLParamNameValue(name, v) ? 0 : -1;
  });
}

QVS_API int QVS_GetText(int ncir, char* name, char* text, int length) {
  return RunCall("QVS_GetText: ", [&] {
    if (text == nullptr) return Fail("NULL pointer");
    if (length == 0) return Fail("length = 0");
    // A negative length is taken as no room at all: nothing is written,
    // and the result still gives the size the text needs.
    if (length > 0) text[0] = '\0';
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->GetDLLParamNameText(name, text, length);
  });
}

QVS_API int QVS_SetText(int ncir, char* name, char* text) {
  return RunCall("QVS_SetText: ", [&] {
    if (text == nullptr) return Fail("NULL pointer");
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->SetDLLParamNameText(name, text) ? 0 : -1;
  });
}

QVS_API int QVS_GetParam(int ncir, char* name) {
  return RunCall("QVS_GetParam: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->GetDLLParamHandle(name);
  });
}

QVS_API int QVS_GetParamValue(int ncir, int npar, double* v) {
  return RunCall("QVS_GetParamValue: ", [&] {
    if (v == nullptr) return Fail("NULL pointer");
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->GetDLLParamValue(npar, v) ? 0 : -1;
  });
}

QVS_API int QVS_SetParamValue(int ncir, int npar, double v) {
  return RunCall("QVS_SetParamValue: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->SetDLLParamValue(npar, v) ? 0 : -1;
  });
}

QVS_API int QVS_GetParamText(int ncir, int npar, char* text, int length) {
  return RunCall("QVS_GetParamText: ", [&] {
    if (text == nullptr) return Fail("NULL pointer");
    if (length == 0) return Fail("length = 0");
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->GetDLLParamText(npar, text, length);
  });
}

QVS_API int QVS_SetParamText(int ncir, int npar, char* text) {
  return RunCall("QVS_SetParamText: ", [&] {
    if (text == nullptr) return Fail("no text");
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->SetDLLParamText(npar, text) ? 0 : -1;
  });
}

QVS_API int QVS_GetInput(int ncir, char* name) {
  return RunCall("QVS_GetInput: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->GetDLLInput(name);
  });
}

QVS_API int QVS_SetInputValue(int ncir, int nin, double v) {
  return RunCall("QVS_SetInputValue: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->SetDLLInputValue(nin, v) ? 0 : -1;
  });
}

QVS_API int QVS_SetInputLogicalValue(int ncir, int nin, int i) {
  return RunCall("QVS_SetInputLogicalValue: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->SetDLLInputValue(nin, i != 0 ? doc->HighLevel() : doc->LowLevel()) ? 0 : -1;
  });
}

QVS_API int QVS_GetOutput(int ncir, char* name) {
  return RunCall("QVS_GetOutput: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->GetDLLOutput(name);
  });
}

QVS_API int QVS_GetOutputValue(int ncir, int nout, double* v) {
  return RunCall("QVS_GetOutputValue: ", [&] {
    if (v == nullptr) return Fail("NULL pointer");
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->GetDLLOutputValue(nout, v) ? 0 : -1;
  });
}

QVS_API int QVS_GetOutputLogicalValue(int ncir, int nout, int* i) {
  return RunCall("QVS_GetOutputLogicalValue: ", [&] {
    if (i == nullptr) return Fail("NULL pointer");
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    double v = 0.0;
    if (!doc->GetDLLOutputValue(nout, &v)) return -1;
    *i = v > doc->Threshold() ? 1 : 0;
    return 0;
  });
}

// --- Traces and data --------------------------------------------------------------

// The six add functions: kind is the trace type code.
static int dll_add_trace(const char* fn, int ncir, int kind, const char* name) {
  return RunCall(fn, [&] {
    if (name == nullptr) return Fail("NULL pointer");
    if (name[0] == '\0') return Fail(kind == 5 ? "no trace function" : "no trace name");
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->AddDLLTraceHandle(kind, name);
  });
}

QVS_API int QVS_AddVTrace(int ncir, char* name) {
  return dll_add_trace("QVS_AddVTrace: ", ncir, 0, name);
}
QVS_API int QVS_AddITrace(int ncir, char* name) {
  return dll_add_trace("QVS_AddITrace: ", ncir, 1, name);
}
QVS_API int QVS_AddPTrace(int ncir, char* name) {
  return dll_add_trace("QVS_AddPTrace: ", ncir, 2, name);
}
QVS_API int QVS_AddVarTrace(int ncir, char* name) {
  return dll_add_trace("QVS_AddVarTrace: ", ncir, 4, name);
}
QVS_API int QVS_AddFuncTrace(int ncir, char* text) {
  return dll_add_trace("QVS_AddFuncTrace: ", ncir, 5, text);
}
QVS_API int QVS_AddDataTrace(int ncir, char* name) {
  return dll_add_trace("QVS_AddDataTrace: ", ncir, 14, name);
}

QVS_API int QVS_GetTrace(int ncir, char* name) {
  return RunCall("QVS_GetTrace: ", [&] {
    if (name == nullptr) return Fail("NULL pointer");
    if (name[0] == '\0') return Fail("no trace name");
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->GetDLLTrace(name);
  });
}

QVS_API int QVS_DeleteTrace(int ncir, int ntrace) {
  return RunCall("QVS_DeleteTrace: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->DeleteDLLTrace(ntrace) ? 0 : -1;
  });
}

QVS_API int QVS_GetDataSize(int ncir, int ntrace) {
  return RunCall("QVS_GetDataSize: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->GetDLLDataSize(ntrace);
  });
}

QVS_API int QVS_GetDataAt(int ncir, int ntrace, int n, double* t, double* data) {
  return RunCall("QVS_GetDataAt: ", [&] {
    if (t == nullptr || data == nullptr) return Fail("NULL pointer");
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->GetDLLDataAt(ntrace, n, t, data) ? 0 : -1;
  });
}

QVS_API int QVS_GetLastData(int ncir, int ntrace, double* t, double* data) {
  return RunCall("QVS_GetLastData: ", [&] {
    if (t == nullptr || data == nullptr) return Fail("NULL pointer");
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->GetDLLLastData(ntrace, t, data) ? 0 : -1;
  });
}

QVS_API int QVS_GetData(int ncir, int ntrace, double t, double* data) {
  return RunCall("QVS_GetData: ", [&] {
    if (data == nullptr) return Fail("NULL pointer");
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->GetDLLData(ntrace, t, data) ? 0 : -1;
  });
}

QVS_API int QVS_DeleteOldData(int ncir) {
  return RunCall("QVS_DeleteOldData: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    doc->ClearDLLDataLessThan();
    return 0;
  });
}

QVS_API int QVS_AddData(int ncir, int ntrace, double t, double data) {
  return RunCall("QVS_AddData: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->AddDLLData(ntrace, t, data) ? 0 : -1;
  });
}

QVS_API int QVS_DeleteData(int ncir, int ntrace) {
  return RunCall("QVS_DeleteData: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->DeleteDLLData(ntrace) ? 0 : -1;
  });
}

QVS_API int QVS_SaveData(int ncir, char* name) {
  return RunCall("QVS_SaveData: ", [&] {
    // Unlike the other functions, the circuit is resolved before the name
    // is checked.
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    if (name == nullptr) return Fail("NULL pointer");
    if (name[0] == '\0') return Fail("no file name");
    AnsiString path(name);
    if (extract_file_ext(path).IsEmpty()) path = change_file_ext(path, ".qvt");
    if (!doc->Tran()->SaveDLLData(path)) return Fail(("cannot save file " + path).c_str());
    return 0;
  });
}

// --- AC analysis --------------------------------------------------------------------

QVS_API int QVS_SetAC(int ncir, int points, int scale, double from, double to) {
  return RunCall("QVS_SetAC: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    if (from > to) return Fail("to < from");
    if (scale == 0) {
      if (from <= 0) return Fail("from < 0");
      if (to <= 0) return Fail("to <= 0");
    }
    SFreqSettings& f = doc->FreqSettings();
    f.type = 0;
    f.points = points;
    f.scale = scale;
    f.alg = 0;
    f.from = from;
    f.to = to;
    return 0;
  });
}

QVS_API int QVS_SetACSource(int ncir, char* name) {
  return RunCall("QVS_SetACSource: ", [&] {
    if (name == nullptr) return Fail("NULL pointer");
    if (name[0] == '\0') return Fail("no component name");
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    CCmp* cmp = doc->Cmps()->GetCmp(AnsiString(name));
    if (cmp == nullptr) return Fail(("component " + AnsiString(name) + " not found").c_str());
    const SElemModel* model = cmp->GetModel();
    if (model == nullptr || (model->flags & MF_AC_SOURCE) == 0)
      return Fail(("component " + AnsiString(name) + " cannot be set as AC source").c_str());
    doc->FreqSettings().id = cmp->Id();
    return 0;
  });
}

QVS_API int QVS_CalcAC(int ncir) {
  return RunCall("QVS_CalcAC: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    return doc->CalcDLLAC() ? 0 : -1;
  });
}

QVS_API int QVS_GetACTrace(int ncir, char* name) {
  return RunCall("QVS_GetACTrace: ", [&] {
    if (name == nullptr) return Fail("NULL pointer");
    if (name[0] == '\0') return Fail("no trace name");
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    CTrace* trace = doc->Freq()->Traces().FindTrace(AnsiString(name), 0, false);
    if (trace == nullptr)
      trace = doc->Freq()->Traces().FindTrace(AnsiString(name), 1, false);
    if (trace == nullptr) return Fail(("trace " + AnsiString(name) + " not found").c_str());
    if (trace->Handle() < 0) trace->SetHandle(GetDLLHandle());
    return trace->Handle();
  });
}

static CTrace* ACTrace(CDoc* doc, int handle) {
  CTrace* trace = doc->Freq()->Traces().GetDLLHandle(handle);
  if (trace == nullptr) dll_add_error("wrong trace handle");
  return trace;
}

QVS_API int QVS_GetACDataSize(int ncir, int ntrace) {
  return RunCall("QVS_GetACDataSize: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    CTrace* trace = ACTrace(doc, ntrace);
    if (trace == nullptr) return -1;
    const CData* data = trace->GetData(0);
    return data != nullptr ? data->GetSize() : 0;
  });
}

QVS_API int QVS_GetACDataAt(int ncir, int ntrace, int n, double* f, double* mag,
                            double* phase) {
  return RunCall("QVS_GetACDataAt: ", [&] {
    if (f == nullptr || mag == nullptr || phase == nullptr) return Fail("NULL pointer");
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    CTrace* trace = ACTrace(doc, ntrace);
    if (trace == nullptr) return -1;
    const CData* data = trace->GetData(0);
    if (data == nullptr) return Fail("no trace data");
    if (!data->GetFreqDataAt(n, f, mag, phase)) {
      *f = *mag = *phase = 0.0;
      return Fail("no data at requested index");
    }
    return 0;
  });
}

QVS_API int QVS_SaveACData(int ncir, char* name) {
  return RunCall("QVS_SaveACData: ", [&] {
    if (name == nullptr) return Fail("NULL pointer");
    if (name[0] == '\0') return Fail("no file name");
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    AnsiString path(name);
    if (extract_file_ext(path).IsEmpty()) path = change_file_ext(path, ".qvf");
    if (!doc->Freq()->SaveDLLData(path)) return Fail(("cannot save file " + path).c_str());
    return 0;
  });
}

}  // extern "C"
