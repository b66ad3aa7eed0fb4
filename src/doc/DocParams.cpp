// Parameters, inputs and outputs reached through the library: by name on
// every call, or through records made once that keep their handle. Every
// failure appends its reason to the library's error text.

#include <cstring>
#include <new>

#include "api/CallFrame.h"
#include "base/globals.h"
#include "circuit/Cmp.h"
#include "circuit/Cmps.h"
#include "circuit/ElemSet.h"
#include "circuit/SubCir.h"
#include "circuit/Param.h"
#include "doc/Doc.h"
#include "doc/DllRecords.h"
#include "engine/Calc.h"

namespace {

// Type ids of the components that may be inputs or outputs.
constexpr int kTypeLabel = 5;
constexpr int kTypeAmperemeter = 6;
constexpr int kTypeCurrentSource = 31;
constexpr int kTypeVoltageSource = 69;
constexpr int kTypeVoltmeter = 73;

// Copies text into buffer the way every text-reading function does: cut
// to length - 1 characters and a zero when it does not fit. Returns the
// size the whole text needs (its length + 1).
int CopyOut(const AnsiString& text, char* buffer, int length) {
  const int n = text.Length();
  if (length > 0) {
    const int copied = n < length ? n : length - 1;
    std::memcpy(buffer, text.c_str(), static_cast<std::size_t>(copied));
    buffer[copied] = '\0';
  }
  return n + 1;
}

}  // namespace

void CDoc::DeleteDLLRecords() {
  params_.clear();
  inputs_.clear();
  outputs_.clear();
}

void CDoc::MarkChanged() {
  if (calc_ != nullptr && running_) calc_->SetInitFlags(calc_->InitFlags() | 4);
}

void CDoc::RecordState() {
  if (calc_ != nullptr && calc_->HasMatrices()) calc_->GetCurState();
}

// --- Parameters ---------------------------------------------------------------------

CParam* CDoc::GetDLLParamName(const char* name) {
  if (name == nullptr) {
    dll_add_error("NULL pointer");
    return nullptr;
  }
  if (name[0] == '\0') {
    dll_add_error("no parameter name");
    return nullptr;
  }
  CParam* p = cmps_->GetCmpParam(name);
  if (p == nullptr) dll_add_error((AnsiString("parameter ") + name + " not found").c_str());
  return p;
}

bool CDoc::AfterChange(int result, bool changed) {
  if (result < 0) return false;
  if (changed) {
    MarkChanged();
    cmps_->CalculateFormulas();
  }
  return true;
}

bool CDoc::GetDLLParamNameValue(const char* name, double* v) {
  CParam* p = GetDLLParamName(name);
  return p != nullptr && p->GetDLLParamValue(v) >= 0;
}

bool CDoc::SetDLLParamNameValue(const char* name, double v) {
  CParam* p = GetDLLParamName(name);
  if (p == nullptr) return false;
  RecordState();
  bool changed = false;
  const int r = p->SetDLLParamValue(v, this, &changed);
  return AfterChange(r, changed);
}

// "name.model": the walk goes one component name at a time, into the
// subcircuit of a component in model "SubCir".
static bool IsModelName(const char* name) {
  const std::size_t n = std::strlen(name);
  return n >= 6 && CompareNames(AnsiString(name + n - 6), ".model") == 0;
}

int CDoc::GetDLLParamNameText(const char* name, char* text, int length) {
  if (name != nullptr && IsModelName(name)) {
    AnsiString path(std::string(name, std::strlen(name) - 6));
    CCmps* cmps = cmps_.get();
    CCmp* cmp = nullptr;
    while (true) {
      AnsiString first, rest;
      parse_name(path, first, rest);
      if (first.IsEmpty()) {
        dll_add_error("no component name");
        return -1;
      }
      cmp = cmps != nullptr ? cmps->GetCmp(first) : nullptr;
      if (cmp == nullptr) {
        dll_add_error("component not found");
        return -1;
      }
      if (rest.IsEmpty()) break;
      cmps = cmp->Model() == MC_SUBCIR && cmp->SubCir() != nullptr ? cmp->SubCir()->Cmps() : nullptr;
      path = rest;
    }
    const SElemModel* model = cmp->GetModel();
    CopyOut(model != nullptr && model->name != nullptr ? AnsiString(model->name) : AnsiString(),
            text, length);
    return 0;
  }
  CParam* p = GetDLLParamName(name);
  return p == nullptr ? -1 : p->GetDLLParamText(text, length);
}

bool CDoc::SetDLLParamNameText(const char* name, const char* text) {
  if (name != nullptr && IsModelName(name)) {
    const AnsiString cmp_name(std::string(name, std::strlen(name) - 6));
    CCmp* cmp = cmps_->GetCmp(cmp_name);
    if (cmp != nullptr) {
      if (text[0] == '\0') {
        dll_add_error("no model name");
        return false;
      }
      for (const SElemModel* m = cmp->Type()->models; m != nullptr && m->name != nullptr; ++m) {
        if (CompareNames(AnsiString(m->name), text) != 0) continue;
        RecordState();
        const bool changed = cmp->Model() != m->id;
        cmp->SetModel(m->id);
        return AfterChange(0, changed);
      }
      dll_add_error("model not found");
      return false;
    }
    // A deeper path (X1.R1.model) is not a model one can set: it is looked
    // up as a parameter and reported as not found.
    AnsiString first, rest;
    parse_name(cmp_name, first, rest);
    if (rest.IsEmpty()) {
      dll_add_error("component not found");
      return false;
    }
  }
  CParam* p = GetDLLParamName(name);
  if (p == nullptr) return false;
  RecordState();
  bool changed = false;
  const int r = p->SetDLLParamText(text, this, &changed);
  return AfterChange(r, changed);
}

int CDoc::GetDLLParamHandle(const char* name) {
  CParam* p = GetDLLParamName(name);
  if (p == nullptr) return -1;
  params_.push_back(std::make_unique<SDLLParam>(SDLLParam{GetDLLHandle(), p, *p}));
  return params_.back()->handle;
}

CParam* CDoc::ParamRecord(int handle) {
  for (auto& r : params_) {
    if (r->handle != handle) continue;
    *r->param = r->binding;
    return r->param;
  }
  dll_add_error("wrong parameter handle");
  return nullptr;
}

bool CDoc::GetDLLParamValue(int handle, double* v) {
  CParam* p = ParamRecord(handle);
  return p != nullptr && p->GetDLLParamValue(v) >= 0;
}

bool CDoc::SetDLLParamValue(int handle, double v) {
  CParam* p = ParamRecord(handle);
  if (p == nullptr) return false;
  RecordState();
  bool changed = false;
  const int r = p->SetDLLParamValue(v, this, &changed);
  return AfterChange(r, changed);
}

int CDoc::GetDLLParamText(int handle, char* text, int length) {
  CParam* p = ParamRecord(handle);
  return p == nullptr ? -1 : p->GetDLLParamText(text, length);
}

bool CDoc::SetDLLParamText(int handle, const char* text) {
  CParam* p = ParamRecord(handle);
  if (p == nullptr) return false;
  RecordState();
  bool changed = false;
  const int r = p->SetDLLParamText(text, this, &changed);
  return AfterChange(r, changed);
}

// --- Inputs and outputs ---------------------------------------------------------------

int CDoc::GetDLLInput(const char* name) {
  if (name == nullptr) return dll_add_error("NULL pointer"), -1;
  if (name[0] == '\0') return dll_add_error("no input name"), -1;
  CCmp* cmp = cmps_->GetCmp(name);
  if (cmp == nullptr)
    return dll_add_error((AnsiString("component ") + name + " not found").c_str()), -1;
  const int type = cmp->TypeId();
  if (type != kTypeLabel && type != kTypeVoltageSource && type != kTypeCurrentSource)
    return dll_add_error((AnsiString("component ") + name + " cannot be an input").c_str()), -1;
  cmp->SetDLLInput(true);
  MarkChanged();
  inputs_.push_back(std::make_unique<SDLLInput>(SDLLInput{GetDLLHandle(), cmp}));
  return inputs_.back()->handle;
}

bool CDoc::SetDLLInputValue(int handle, double v) {
  for (auto& r : inputs_) {
    if (r->handle != handle) continue;
    r->cmp->SetInputValue(v);
    return true;
  }
  dll_add_error("wrong input handle");
  return false;
}

int CDoc::GetDLLOutput(const char* name) {
  if (name == nullptr) return dll_add_error("NULL pointer"), -1;
  if (name[0] == '\0') return dll_add_error("no output name"), -1;
  CCmp* cmp = cmps_->GetCmp(name);
  if (cmp == nullptr)
    return dll_add_error((AnsiString("component ") + name + " not found").c_str()), -1;
  const int type = cmp->TypeId();
  if (type != kTypeLabel && type != kTypeAmperemeter && type != kTypeVoltmeter)
    return dll_add_error((AnsiString("component ") + name + " cannot be an output").c_str()), -1;
  outputs_.push_back(std::make_unique<SDLLOutput>(SDLLOutput{GetDLLHandle(), cmp, type}));
  return outputs_.back()->handle;
}

bool CDoc::GetDLLOutputValue(int handle, double* v) {
  for (auto& r : outputs_) {
    if (r->handle != handle) continue;
    *v = 0.0;
    if (!running_ || calc_ == nullptr || !calc_->HasMatrices()) return true;
    // Where to read is taken from the component at each call: its pins
    // carry the engine's numbers while a simulation runs.
    const CCmp* cmp = r->cmp;
    int measured = 0, reference = 0;
    switch (r->type) {
      case kTypeLabel:
        measured = cmp->PinCount() > 0 ? cmp->Node(0) : 0;
        break;
      case kTypeAmperemeter:
        measured = cmp->FirstExtra();
        break;
      default:
        measured = cmp->PinCount() > 1 ? cmp->Node(1) : 0;
        reference = cmp->PinCount() > 0 ? cmp->Node(0) : 0;
        break;
    }
    const int m = calc_->FullSize();
    const double xm = measured > 0 && measured < m ? calc_->X()[measured] : 0.0;
    const double xr = reference > 0 && reference < m ? calc_->X()[reference] : 0.0;
    *v = xm - xr;
    return true;
  }
  dll_add_error("wrong output handle");
  return false;
}
