#include "expr/VarList.h"

#include <cstring>
#include <new>

#include "expr/Formula.h"

namespace {

// Entries are added ten at a time.
constexpr int kGrowBy = 10;

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// name (zero-terminated) equals the len characters at s, ignoring case.
bool SameName(const char* name, const char* s, int len) {
  for (int k = 0; k < len; ++k) {
    if (name[k] == '\0' || LowerAscii(name[k]) != LowerAscii(s[k])) return false;
  }
  return name[len] == '\0';
}

void SetZero(SNumber* n, int kind) {
  n->kind = kind;
  n->v.i64 = 0;  // clears every member of the union
  n->im = 0.0;
}

}  // namespace

bool SVar::SetArraySize(int n) {
  if (n <= size) return true;
  SNumber* grown = new (std::nothrow) SNumber[static_cast<std::size_t>(n)];
  if (grown == nullptr) return false;
  const int kind = values[0].kind;
  for (int k = 0; k < size; ++k) grown[k] = values[k];
  for (int k = size; k < n; ++k) SetZero(&grown[k], kind);
  delete[] values;
  values = grown;
  size = n;
  return true;
}

CVarList::~CVarList() { ClearVarList(); }

bool CVarList::Grow() {
  const int capacity = capacity_ + kGrowBy;
  SVar* grown = new (std::nothrow) SVar[static_cast<std::size_t>(capacity) + 1];
  if (grown == nullptr) return false;
  for (int k = 0; k < count_; ++k) grown[k] = entries_[k];
  delete[] entries_;
  entries_ = grown;
  capacity_ = capacity;
  return true;
}

SVar* CVarList::AddVar(const AnsiString& name, int kind, int size) {
  if (name.IsEmpty()) return nullptr;
  if (count_ == capacity_ && !Grow()) return nullptr;
  // A negative size is a caller's slip; it is kept a scalar so that size
  // always tells scalar (0) from array (element count).
  if (size < 0) size = 0;
  const std::size_t len = static_cast<std::size_t>(name.Length());
  char* copy = new (std::nothrow) char[len + 1];
  if (copy == nullptr) return nullptr;
  const int n = size > 1 ? size : 1;
  SNumber* values = new (std::nothrow) SNumber[static_cast<std::size_t>(n)];
  if (values == nullptr) {
    delete[] copy;
    return nullptr;
  }
  std::memcpy(copy, name.c_str(), len + 1);
  for (int k = 0; k < n; ++k) SetZero(&values[k], kind);
  SVar& v = entries_[count_++];
  v.name = copy;
  v.values = values;
  v.size = size;
  entries_[count_] = SVar();  // the slot after the last keeps a null name
  return &v;
}

SVar* CVarList::FindVar(const AnsiString& name, int from) {
  return FindVar(name.c_str(), name.Length(), from);
}

SVar* CVarList::FindVar(const char* name, int len, int from) {
  if (from < 0) from = 0;
  for (int k = count_ - 1; k >= from; --k) {
    if (SameName(entries_[k].name, name, len)) return &entries_[k];
  }
  return nullptr;
}

void CVarList::SetSize(int n) {
  if (n < 0) n = 0;
  while (count_ > n) {
    SVar& v = entries_[--count_];
    delete[] v.name;
    delete[] v.values;
    v = SVar();
  }
}

void CVarList::ClearVarList() {
  SetSize(0);
  delete[] entries_;
  entries_ = nullptr;
  count_ = 0;
  capacity_ = 0;
}

void CVarList::CreateFreqVarlist() {
  AddVar("f", NUM_DOUBLE, 0);
  AddVar("w", NUM_DOUBLE, 0);
  AddVar("s", NUM_COMPLEX, 0);
  AddVar("p", NUM_COMPLEX, 0);
}

void CVarList::SetFreqVarlist(double f) {
  if (count_ < 4) return;
  const double w = 2.0 * kFormulaPi * f;
  SetDoubleNumber(entries_[0].values, f);
  SetDoubleNumber(entries_[1].values, w);
  SetComplexNumber(entries_[2].values, 0.0, w);
  SetComplexNumber(entries_[3].values, 0.0, w);
}
