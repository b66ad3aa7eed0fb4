#include "circuit/Cmps.h"

#include <climits>

#include <string>
#include <unordered_map>
#include <vector>

#include "base/globals.h"
#include "circuit/Cmp.h"
#include "circuit/ElemSet.h"
#include "circuit/Param.h"
#include "elements/ElemLabel.h"
#include "expr/Formula.h"
#include "expr/VarList.h"
#include "expr/Variable.h"

int CompareNames(const AnsiString& a, const AnsiString& b) {
  // ASCII only, like every name comparison of the program: the host's
  // locale must not decide whether two names are one.
  const auto lower = [](char c) {
    return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  };
  const int n = a.Length() < b.Length() ? a.Length() : b.Length();
  for (int i = 1; i <= n; ++i) {
    const int d = lower(a[i]) - lower(b[i]);
    if (d != 0) return d;
  }
  return a.Length() - b.Length();
}

CCmps::CCmps(CDoc* doc) : doc_(doc), elem_set_(&ElemSet) {}

CCmps::~CCmps() { ClearCmps(); }

// --- Identity and naming ---------------------------------------------------------

CCmp* CCmps::GetCmp(int id) const {
  if (id == 0) return nullptr;
  for (int i = 0; i < Count(); ++i)
    if (GetAt(i)->Id() == id) return GetAt(i);
  return nullptr;
}

int CCmps::GetNewCmpId() const {
  int top = 0;
  for (int i = 0; i < Count(); ++i)
    if (GetAt(i)->Id() > top) top = GetAt(i)->Id();
  if (top < INT_MAX) return top + 1;
  // A document may carry the largest id there is; then the smallest id no
  // component holds is the next one (0 is never used), so ids stay unique.
  for (int id = 1;; ++id)
    if (GetCmp(id) == nullptr) return id;
}

AnsiString CCmps::GetNewName(const AnsiString& prefix) const {
  for (int n = 1;; ++n) {
    AnsiString name = prefix + std::to_string(n);
    if (GetCmp(name) == nullptr) return name;
  }
}

AnsiString CCmps::GetNewName(char letter) const { return GetNewName(AnsiString(letter)); }

CCmp* CCmps::AddCmp(const AnsiString& typeName) {
  if (elem_set_ == nullptr) return nullptr;
  CCmp* cmp = elem_set_->NewCmp(typeName, this);
  if (cmp == nullptr) return nullptr;
  cmp->SetName(GetNewName(cmp->GetLetter()));
  cmp->SetId(GetNewCmpId());
  Add(cmp);
  ArrangeCmps();
  cmp->CreateCustom();
  cmp->UpdateCustom();
  return cmp;
}

namespace {

// A component of a type outside the registry, named name, with a new id,
// appended to cmps and the collection re-ordered; its id, or -1.
int AddUnregistered(CCmps* cmps, const SElemType* type, const AnsiString& name) {
  CCmp* cmp = type->create(type);
  if (cmp == nullptr) return -1;
  cmp->SetOwner(cmps);
  cmp->SetName(name);
  cmp->SetId(cmps->GetNewCmpId());
  cmps->Add(cmp);
  cmps->ArrangeCmps();
  return cmp->Id();
}

}  // namespace

int CCmps::AddVariable(const AnsiString& name) {
  return AddUnregistered(this, &CVariable::m_elemtype, name);
}

int CCmps::AddLabel(const AnsiString& name) {
  return AddUnregistered(this, &CElemLabel::m_elemtype, name);
}

void CCmps::DeleteCmp(int id) {
  CCmp* cmp = GetCmp(id);
  if (cmp == nullptr) return;
  cmps_.Remove(cmp);
  delete cmp;
}

void CCmps::ClearCmps() {
  for (int i = 0; i < Count(); ++i) delete GetAt(i);
  cmps_.Clear();
}

// --- Order -----------------------------------------------------------------------------

int CCmps::Compare(const CCmp* a, const CCmp* b) {
  const bool va = a->IsVariable(), vb = b->IsVariable();
  if (va || vb) return va && vb ? CompareNames(a->Name(), b->Name()) : (va ? 1 : -1);
  const bool la = a->IsLabel(), lb = b->IsLabel();
  if (la || lb) return la && lb ? CompareNames(a->Name(), b->Name()) : (la ? 1 : -1);

  const AnsiString& na = a->Name();
  const AnsiString& nb = b->Name();
  const int ca = na.IsEmpty() ? 0 : static_cast<signed char>(na[1]);
  const int cb = nb.IsEmpty() ? 0 : static_cast<signed char>(nb[1]);
  if (ca != cb) return ca - cb;
  if (na.Length() >= 2 && nb.Length() >= 2 && is_digit(na[2]) && is_digit(nb[2])) {
    const int ia = na.SubString(2, -1).ToInt();
    const int ib = nb.SubString(2, -1).ToInt();
    return ia < ib ? -1 : (ia > ib ? 1 : 0);
  }
  return CompareNames(na, nb);
}

void CCmps::ArrangeCmps() {
  for (bool exchanged = true; exchanged;) {
    exchanged = false;
    for (int i = Count() - 1; i > 0; --i) {
      if (Compare(GetAt(i - 1), GetAt(i)) > 0) {
        cmps_.Exchange(i - 1, i);
        exchanged = true;
      }
    }
  }
}

// --- Node numbers -----------------------------------------------------------------------

int CCmps::CreateNewNodes(int offset) {
  int top = offset;
  for (int i = 0; i < Count(); ++i) {
    CCmp* cmp = GetAt(i);
    for (int p = 0; p < cmp->PinCount(); ++p) {
      if (cmp->Node(p) <= 0) continue;
      cmp->SetNode(p, cmp->Node(p) + offset);
      if (cmp->Node(p) > top) top = cmp->Node(p);
    }
  }
  return top;
}

void CCmps::ChangeCmpNode(int from, int to) {
  for (int i = 0; i < Count(); ++i) {
    CCmp* cmp = GetAt(i);
    for (int p = 0; p < cmp->PinCount(); ++p)
      if (cmp->Node(p) == from) cmp->SetNode(p, to);
  }
}

std::unique_ptr<int[]> CCmps::SaveNodes() const {
  std::size_t total = 0;
  for (int i = 0; i < Count(); ++i)
    if (GetAt(i)->PinCount() > 0) total += static_cast<std::size_t>(GetAt(i)->PinCount());
  std::unique_ptr<int[]> nodes(new int[total > 0 ? total : 1]);
  std::size_t k = 0;
  for (int i = 0; i < Count(); ++i)
    for (int p = 0; p < GetAt(i)->PinCount(); ++p) nodes[k++] = GetAt(i)->Node(p);
  return nodes;
}

void CCmps::RestoreNodes(const int* nodes) {
  if (nodes == nullptr) return;
  std::size_t k = 0;
  for (int i = 0; i < Count(); ++i)
    for (int p = 0; p < GetAt(i)->PinCount(); ++p) GetAt(i)->SetNode(p, nodes[k++]);
}

// --- Look-ups by name ---------------------------------------------------------------------

CCmp* CCmps::GetCmp(const AnsiString& name) const {
  if (name.IsEmpty()) return nullptr;
  for (int i = 0; i < Count(); ++i)
    if (CompareNames(GetAt(i)->Name(), name) == 0) return GetAt(i);
  return nullptr;
}

// A name with a part after the component's name goes on inside that
// component's subcircuit (X1.R1); subcircuits hold no inner components
// yet, so such a walk ends there with nothing found.
CCmp* CCmps::GetCmpName(const AnsiString& name) const {
  AnsiString first, rest;
  parse_name(name, first, rest);
  CCmp* cmp = GetCmp(first);
  if (cmp == nullptr || rest.IsEmpty()) return cmp;
  return nullptr;
}

CParam* CCmps::GetCmpParam(const AnsiString& name) const {
  if (name.IsEmpty()) return nullptr;
  AnsiString first, rest;
  parse_name(name, first, rest);
  CCmp* cmp = GetCmp(first);
  if (cmp == nullptr) return nullptr;
  // Not a parameter of the component itself: in model "SubCir" the walk
  // would go on inside the subcircuit's components, once they exist.
  return cmp->GetParameter(rest);
}

bool CCmps::GetCmpParamValue(const AnsiString& name, double* value) const {
  const CParam* p = GetCmpParam(name);
  if (p == nullptr) return false;
  if (value != nullptr) *value = p->GetDoubleValue();
  return true;
}

SVar* CCmps::GetCmpVar(const AnsiString& name) const {
  AnsiString first, rest;
  parse_name(name, first, rest);
  if (rest.IsEmpty()) return nullptr;
  CCmp* cmp = GetCmp(first);
  if (cmp == nullptr) return nullptr;
  CVarList* vars = cmp->GetVarList();
  return vars != nullptr ? vars->FindVar(rest, 0) : nullptr;
}

// --- Formulas ---------------------------------------------------------------------------------

namespace {

// Evaluates formula holders so that every formula comes after the formula
// parameters its text names. A name met while its own formula is still
// being prepared belongs to a cycle (a document may hold one; parameter
// input refuses them): it is evaluated with the value it has.
class CFormulaOrder {
 public:
  CFormulaOrder(CCmps* cmps, CDoc* doc) : cmps_(cmps), doc_(doc) {}

  void Calculate(CFormula* f) {
    if (state_[f] != kNew) return;
    state_[f] = kBusy;
    // A copy: looking names up rebinds descriptors, not holders, but the
    // recursion below calculates other formulas meanwhile.
    const AnsiString text = f->Text();
    if (!text.IsEmpty() && text[1] == '=') {
      int from = 1;
      for (;;) {
        int start = 0;
        const AnsiString name = find_name(text, from, &start);
        if (name.IsEmpty()) break;
        from = start + name.Length();
        const CParam* p = cmps_->GetCmpParam(name);
        if (p != nullptr && p->Kind() == PK_FORMULA && p->BoundFormula() != nullptr)
          Calculate(p->BoundFormula());
      }
    }
    bool changed = false;
    if (f->CalculateFormula(doc_, nullptr, cmps_, &changed)) {
      f->SetError(false);
      moved_ = moved_ || changed;
    } else {
      f->SetError(true);
      ok_ = false;
    }
    state_[f] = kDone;
  }

  bool ok() const { return ok_; }
  bool moved() const { return moved_; }

 private:
  enum : char { kNew = 0, kBusy = 1, kDone = 2 };
  CCmps* const cmps_;
  CDoc* const doc_;
  std::unordered_map<CFormula*, char> state_;
  bool ok_ = true;
  bool moved_ = false;
};

}  // namespace

bool CCmps::CalculateFormulas(bool* changed) {
  // The holders first: a descriptor array is rebound by every look-up.
  std::vector<CFormula*> formulas;
  for (int i = 0; i < Count(); ++i) {
    CParam* list = GetAt(i)->GetParamsList();
    if (list == nullptr) continue;
    for (CParam* p = list; p->Name() != nullptr; ++p)
      if (p->Kind() == PK_FORMULA && p->BoundFormula() != nullptr)
        formulas.push_back(p->BoundFormula());
  }
  CFormulaOrder order(this, doc_);
  for (CFormula* f : formulas) order.Calculate(f);
  if (changed != nullptr) *changed = order.moved();
  return order.ok();
}
