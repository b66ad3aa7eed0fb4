#include "circuit/Param.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "api/CallFrame.h"
#include "base/globals.h"
#include "circuit/Cmps.h"
#include "expr/Formula.h"
#include "expr/globals.h"

namespace {

// The words of the two-state kinds 15, 16, 17: {state 1, state 0}.
const char* const kStateWords[3][2] = {{"On", "Off"}, {"Yes", "No"}, {"High", "Low"}};
const char* const kStateErrors[3] = {" is not On/Off", " is not Yes/No", " is not High/Low"};

bool IsStateKind(int kind) { return kind >= PK_ON_OFF && kind <= PK_HIGH_LOW; }

// The double truncated toward zero; NaN gives 0 and values beyond the int
// range its nearest end, where a plain cast would be undefined.
int TruncToInt(double x) {
  if (std::isnan(x)) return 0;
  if (x >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (x <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(x);
}

bool Evaluate(const AnsiString& text, double* v, CDoc* doc, CVarList* vars, CCmps* cmps) {
  return formula(text, v, doc, vars, cmps, false, nullptr, nullptr, false, false, 0, false);
}

AnsiString ErrorText() { return AnsiString("Error : ") + m_global_errstr; }

void AddError(const AnsiString& text) { dll_add_error(text.c_str()); }

bool CheckRefs(const CFormula* target, const AnsiString& text, CCmps* cmps,
               std::vector<const CFormula*>& seen) {
  int from = 1;
  for (;;) {
    int start = 0;
    const AnsiString name = find_name(text, from, &start);
    if (name.IsEmpty()) return true;
    from = start + name.Length();
    const CParam* p = cmps->GetCmpParam(name);
    if (p == nullptr || p->Kind() != PK_FORMULA || p->BoundFormula() == nullptr) continue;
    const CFormula* f = p->BoundFormula();
    if (f == target) {
      m_global_errstr = "Circular reference";
      return false;
    }
    // A formula met before was searched then: this also ends a cycle among
    // other parameters that does not pass through target.
    bool met = false;
    for (const CFormula* s : seen) met = met || s == f;
    if (met) continue;
    seen.push_back(f);
    // A copy: the next look-up may rebind the descriptors, never the holder.
    const AnsiString inner = f->Text();
    if (!CheckRefs(target, inner, cmps, seen)) return false;
  }
}

}  // namespace

bool IsTextParamKind(int kind) {
  return (kind >= PK_FUNC_NAME && kind <= PK_CODE_FILE) || (kind >= PK_CODE && kind <= PK_TRACE);
}

bool check_circular_ref(const CFormula* target, const AnsiString& text, CCmps* cmps) {
  if (cmps == nullptr || text.IsEmpty()) return true;
  std::vector<const CFormula*> seen;
  return CheckRefs(target, text, cmps, seen);
}

int CParam::ItemCount() const {
  int n = 0;
  if (items_ != nullptr)
    while (items_[n] != nullptr) ++n;
  return n;
}

// --- Editor side -------------------------------------------------------------------

AnsiString CParam::CodePreview() const {
  if (text_ == nullptr || text_->IsEmpty()) return AnsiString("<no code>");
  // One line: control characters (line breaks among them) are left out,
  // and the last character is never shown.
  constexpr int kMaxShown = 33;
  AnsiString out;
  int shown = 0;
  for (int i = 1; i <= text_->Length() - 1; ++i) {
    const unsigned char c = static_cast<unsigned char>((*text_)[i]);
    if (c <= 29) continue;
    out += static_cast<char>(c);
    if (++shown == kMaxShown) {
      out += "...";
      break;
    }
  }
  return out;
}

AnsiString CParam::GetText() const {
  if (kind_ == PK_CODE) return CodePreview();
  if (IsTextParamKind(kind_) || kind_ == PK_PWL) return text_ != nullptr ? *text_ : AnsiString();
  if (kind_ == PK_FORMULA) {
    if (formula_ == nullptr) return AnsiString();
    return show_text_ ? formula_->Text() : formula_->OutValue();
  }
  if (kind_ == PK_CHOICE) {
    if (int_ == nullptr || *int_ < 0 || *int_ >= ItemCount()) return AnsiString();
    return AnsiString(items_[*int_]);
  }
  if (IsStateKind(kind_)) {
    if (int_ == nullptr) return AnsiString();
    return AnsiString(kStateWords[kind_ - PK_ON_OFF][*int_ != 0 ? 0 : 1]);
  }
  return AnsiString();
}

double CParam::GetDoubleValue() const {
  if (kind_ == PK_FORMULA)
    return formula_ == nullptr || formula_->Error() ? 0.0 : formula_->Value();
  if (kind_ == PK_CHOICE) return int_ != nullptr ? *int_ : 0.0;
  if (IsStateKind(kind_)) return int_ != nullptr && *int_ != 0 ? 1.0 : 0.0;
  return 0.0;
}

// Evaluating a formula looks up other components' parameters, which binds
// the shared descriptor arrays to those components, this descriptor among
// them when it is of the same class. So the holders are taken first and
// the binding is put back afterwards: the caller may still read this
// descriptor (a command shows GetText after SetText).
AnsiString CParam::SetText(const AnsiString& text, CDoc* doc, bool& ok, CVarList* vars) {
  const AnsiString t = text.Trim();
  if (IsTextParamKind(kind_) || kind_ == PK_PWL) {
    if (text_ != nullptr) *text_ = t;
    return AnsiString();
  }
  if (kind_ == PK_FORMULA) return SetFormulaText(t, doc, ok, vars);
  if (kind_ != PK_CHOICE && !IsStateKind(kind_)) return AnsiString();

  int* const holder = int_;
  if (holder == nullptr) return AnsiString();
  if (kind_ == PK_CHOICE) {
    *holder = 0;
    const int count = ItemCount();
    for (int i = 0; i < count; ++i) {
      if (CompareNames(t, AnsiString(items_[i])) == 0) {
        *holder = i;
        return AnsiString();
      }
    }
  } else {
    const char* const* words = kStateWords[kind_ - PK_ON_OFF];
    if (CompareNames(t, AnsiString(words[0])) == 0 || CompareNames(t, AnsiString(words[1])) == 0) {
      *holder = CompareNames(t, AnsiString(words[0])) == 0 ? 1 : 0;
      return AnsiString();
    }
  }

  // Not a word of the list: a number or formula giving the index or state.
  const char* const* items = items_;
  CFormula* const formula_holder = formula_;
  AnsiString* const text_holder = text_;
  CCmps* const cmps = cmps_;
  double v = 0.0;
  const bool evaluated = Evaluate(t, &v, doc, vars, cmps);
  BindChoice(holder, items);
  formula_ = formula_holder;
  text_ = text_holder;
  cmps_ = cmps;
  if (!evaluated) {
    ok = false;
    return ErrorText();
  }
  const int n = TruncToInt(v);
  if (kind_ == PK_CHOICE) {
    if (n > 0 && n < ItemCount()) *holder = n;
  } else {
    *holder = n < 0 ? 0 : (n > 1 ? 1 : n);
  }
  return AnsiString();
}

AnsiString CParam::SetFormulaText(const AnsiString& t, CDoc* doc, bool& ok, CVarList* vars) {
  CFormula* const f = formula_;
  CCmps* const cmps = cmps_;
  if (f == nullptr) return AnsiString();
  f->SetText(t);
  f->SetError(false);
  if (t.IsEmpty() && f->EmptyAllowed()) {
    f->SetEmpty();
    return AnsiString();
  }

  bool good = true;
  if (t[1] == '=') {
    bool changed = false;
    good = check_circular_ref(f, t, cmps) && f->CalculateFormula(doc, nullptr, cmps, &changed);
  } else {
    // A plain text is evaluated once and leaves only its value, rounded to
    // the 12 digits every stored value carries.
    f->SetText(AnsiString());
    double v = 0.0;
    good = Evaluate(t, &v, doc, vars, cmps);
    if (good) {
      double rounded = 0.0;
      if (!std::isnan(v) && indig(sprintf3(v, 12), &rounded)) v = rounded;
      f->SetValue(v);
    }
  }
  formula_ = f;
  cmps_ = cmps;
  if (good) return AnsiString();
  f->SetError(true);
  ok = false;
  return ErrorText();
}

// --- Library side ---------------------------------------------------------------------

int CParam::GetDLLParamValue(double* out) const {
  if (out == nullptr) {
    AddError("NULL pointer to value");
    return -1;
  }
  if (kind_ == PK_FORMULA) {
    if (formula_ == nullptr || formula_->Error()) {
      AddError("formula error");
      return -1;
    }
    *out = formula_->Value();
    return 0;
  }
  if (kind_ == PK_CHOICE || IsStateKind(kind_)) {
    *out = GetDoubleValue();
    return 0;
  }
  AddError("parameter type not supported");
  return -1;
}

int CParam::SetDLLParamValue(double x, CDoc* /*doc*/, bool* changed) {
  if (changed != nullptr) *changed = false;
  bool moved = false;
  if (kind_ == PK_FORMULA && formula_ != nullptr) {
    const double old = formula_->Value();
    const bool had_text = !formula_->Text().IsEmpty();
    formula_->SetVal(x);
    moved = had_text || !(old == x);
  } else if ((kind_ == PK_CHOICE || IsStateKind(kind_)) && int_ != nullptr) {
    // No range check: what the caller sets is what the element reads.
    const int n = TruncToInt(x + 0.1);
    moved = *int_ != n;
    *int_ = n;
  } else {
    AddError("parameter type not supported");
    return -1;
  }
  if (changed != nullptr) *changed = moved;
  return 0;
}

int CParam::GetDLLParamText(char* buffer, int size) const {
  AnsiString s;
  if (kind_ == PK_FORMULA) {
    if (formula_ != nullptr)
      s = formula_->Text().IsEmpty() ? sprintf3(formula_->Value(), 12) : formula_->Text();
  } else if (IsTextParamKind(kind_) || kind_ == PK_PWL || kind_ == PK_CHOICE ||
             IsStateKind(kind_)) {
    s = GetText();
  } else {
    AddError("parameter type not supported");
    return -1;
  }
  if (buffer != nullptr && size >= 1) {
    const int n = size > s.Length() ? s.Length() : size - 1;
    std::memcpy(buffer, s.c_str(), static_cast<std::size_t>(n));
    buffer[n] = '\0';
  }
  return s.Length() + 1;
}

int CParam::SetDLLFormulaText(const AnsiString& text, CDoc* doc, bool* changed) {
  CFormula* const f = formula_;
  CCmps* const cmps = cmps_;
  if (text.IsEmpty()) {
    AddError("no text");
    return -1;
  }
  if (text[1] == '=') {
    f->SetText(text);
    bool calc_changed = false;
    const bool good =
        check_circular_ref(f, text, cmps) && f->CalculateFormula(doc, nullptr, cmps, &calc_changed);
    formula_ = f;
    cmps_ = cmps;
    f->SetError(!good);
    if (!good) {
      AddError("error in formula " + text + " : " + m_global_errstr);
      return -1;
    }
    if (changed != nullptr) *changed = true;
    return 0;
  }
  // Only a number, with its scale letters: no formula is evaluated here.
  f->SetText(AnsiString());
  double x = 0.0;
  if (!indig(text, &x)) {
    f->SetError(true);
    AddError("error in value  " + text + " : " + m_global_errstr);
    return -1;
  }
  const double old = f->Value();
  f->SetVal(x);
  if (changed != nullptr) *changed = !(old == x);
  return 0;
}

int CParam::SetDLLParamText(const AnsiString& text, CDoc* doc, bool* changed) {
  if (changed != nullptr) *changed = false;
  if (IsTextParamKind(kind_) || kind_ == PK_PWL) {
    if (text_ != nullptr) *text_ = text;
    if (changed != nullptr) *changed = true;
    return 0;
  }
  if (kind_ == PK_FORMULA && formula_ != nullptr) return SetDLLFormulaText(text, doc, changed);
  if (kind_ == PK_CHOICE && int_ != nullptr) {
    const int count = ItemCount();
    for (int i = 0; i < count; ++i) {
      if (text == items_[i]) {
        *int_ = i;
        if (changed != nullptr) *changed = true;
        return 0;
      }
    }
    AddError("text " + text + " not found");
    return -1;
  }
  if (IsStateKind(kind_) && int_ != nullptr) {
    const char* const* words = kStateWords[kind_ - PK_ON_OFF];
    if (text == words[0] || text == words[1]) {
      *int_ = text == words[0] ? 1 : 0;
      if (changed != nullptr) *changed = true;
      return 0;
    }
    AddError("text " + text + kStateErrors[kind_ - PK_ON_OFF]);
    return -1;
  }
  AddError("parameter type not supported");
  return -1;
}
