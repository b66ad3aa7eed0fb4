#pragma once
// Named variables of the formula language: the scalars and arrays of a Code
// component's program, the inputs and outputs of Code and function
// components, the frequency variables of AC analysis, the abscissa of trace
// expressions.

#include "base/AnsiString.h"
#include "expr/globals.h"

// One variable. A plain record: the list that holds it owns name and values.
struct SVar {
  char* name = nullptr;       // heap copy, zero-terminated
  SNumber* values = nullptr;  // at least one element
  int size = 0;               // 0 for a scalar (its value is values[0]), else the element count

  bool IsArray() const { return size > 0; }
  // Arrays only: grows to n elements; the new ones are zero of the kind of
  // element 0. n not above the present size changes nothing. False only
  // when memory runs out (the variable is then unchanged).
  bool SetArraySize(int n);
};

// Variables in order of addition. Later entries hide earlier ones of the same
// name, so an inner C block can add its own and drop them with SetSize.
// Pointers to entries stay valid until an AddVar grows the array.
class CVarList {
 public:
  CVarList() = default;
  virtual ~CVarList();
  CVarList(const CVarList&) = delete;
  CVarList& operator=(const CVarList&) = delete;

  int Count() const { return count_; }
  SVar* At(int i) { return &entries_[i]; }  // 0 <= i < Count()
  const SVar* At(int i) const { return &entries_[i]; }

  // Appends a variable of the given kind: a scalar for size 0, else an array
  // of size elements, all zero. Names are not checked for duplicates (callers
  // search first). Null, with nothing appended, for an empty name or when
  // memory runs out.
  SVar* AddVar(const AnsiString& name, int kind, int size);
  // The last entry at index from or above whose name equals name ignoring
  // case; null when none.
  SVar* FindVar(const AnsiString& name, int from = 0);
  // The same for the len characters at name (not zero-terminated); the
  // evaluator looks names up in place in the formula text.
  SVar* FindVar(const char* name, int len, int from);
  // Drops every entry at index n and above.
  void SetSize(int n);
  void ClearVarList();

  // Appends the AC variables f and w (double), s and p (complex).
  void CreateFreqVarlist();
  // Sets the first four entries for frequency f, Hz: f, w = 2*pi*f, and
  // s = p = jw. Does nothing to a list with fewer than four entries.
  void SetFreqVarlist(double f);

 private:
  bool Grow();

  SVar* entries_ = nullptr;  // capacity_ + 1 entries; entries_[count_].name is null
  int count_ = 0;
  int capacity_ = 0;
};
