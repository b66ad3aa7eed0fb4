#pragma once
// The formula language: the evaluator `formula`, the two helpers the C
// interpreter uses for compound assignment and increment, and `CFormula`,
// the value of every numeric component parameter.

#include <cmath>

#include "base/AnsiString.h"
#include "expr/globals.h"

class CDoc;
class CCmps;
class CTraces;
class CVarList;

// Evaluates text in one left-to-right pass. On success *result gets the
// value as a double (real part of a complex value) and, when number is not
// null, *number the full typed value. On failure returns false with the
// reason in m_global_errstr; *result is left alone (except "_No data for
// trace", which sets it to 0).
//   doc        document: digital levels, function cache, running engine; or null
//   vars       variables, or null
//   cmps       components; null means doc's own when doc is given
//   engine     V, I, P, S read the running engine's solution
//   traces     trace names and {n.m} references resolve here, or null
//   ac         trace values are complex AC values
//   indexRefs  {n.m} references allowed; trace names not looked up
//   index      data set of a {n} reference without ".m"
//   cMode      C integer arithmetic (7/2 is 3)
bool formula(const AnsiString& text, double* result, CDoc* doc, CVarList* vars,
             CCmps* cmps, bool engine, CTraces* traces, SNumber* number,
             bool ac, bool indexRefs, int index, bool cMode);

// True when the last evaluation drew a random number; formula objects then
// report a change at every calculation.
extern bool random_function_used;

// dst op= src for the compound assignment codes (17-20, 26-32); the result
// keeps dst's kind. False with m_global_errstr set on error.
bool calc_assignment_operator(int op, SNumber* dst, SNumber* src);
// Increment modes: 1 prefix ++, 2 prefix --, 3 postfix ++, 4 postfix --.
// Changes *var and copies the value the expression sees into *dst.
void increment_copy_number(int mode, SNumber* dst, SNumber* var);

// A parameter value: the text the user wrote, the value last computed from
// it, an error mark and a display format.
class CFormula {
 public:
  enum Format { kDouble = 0, kInt = 1, kBin = 2, kOct = 3, kHex = 4 };

  virtual ~CFormula() = default;

  const AnsiString& Text() const { return text_; }
  void SetText(const AnsiString& t) { text_ = t; }
  double Value() const { return value_; }
  void SetValue(double v) { value_ = v; }
  bool Error() const { return error_; }
  void SetError(bool e) { error_ = e; }
  bool EmptyAllowed() const { return empty_allowed_; }
  int GetFormat() const { return format_; }
  void SetFormat(int f) { format_ = f; }
  int Bits() const { return bits_; }
  void SetBits(int b) { bits_ = b; }

  // Text emptied, value x, error cleared.
  void SetVal(double x) {
    text_ = AnsiString();
    value_ = x;
    error_ = false;
  }
  // The parameter may stay empty; an empty one holds NaN.
  void SetEmpty() {
    empty_allowed_ = true;
    SetVal(std::nan(""));
  }
  bool IsEmpty() const { return empty_allowed_ && std::isnan(value_); }
  void ClearFormula() {
    text_ = AnsiString();
    if (error_) {
      value_ = 0.0;
      error_ = false;
    }
  }

  // Evaluates the text; a text not beginning with "=" is then dropped and
  // only its value kept. *changed tells whether the value moved (always
  // true when a random function was used). False on a formula error.
  bool CalculateFormula(CDoc* doc, CVarList* vars, CCmps* cmps, bool* changed);
  // The value as display text in the object's format.
  AnsiString OutValue() const;

 private:
  AnsiString text_;            // empty when the value is a plain number
  double value_ = 0.0;         // last computed value
  bool error_ = false;         // last calculation failed; value not valid
  bool empty_allowed_ = false;
  int format_ = kDouble;       // display format, see Format
  int bits_ = 32;              // integer display width: 8, 16 or 32
};
