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

// The constant pi of the language: the value "pi", the exact zeros of sin,
// cos and tan, and w = 2*pi*f of AC analysis. It is 3.14159265358 as
// written, not the full double, so that the zero tests agree with what a
// user who types pi gets.
constexpr double kFormulaPi = 3.14159265358;
constexpr double kFormulaHalfPi = 1.57079632679;  // kFormulaPi / 2, exact

// Operator codes. The compound assignments of C code reuse them: "|=" is
// FOP_BOR, "=" FOP_EQ, "+=" FOP_ADD and so on.
enum : int {
  FOP_END = -1,  // end of the text
  FOP_COMMA = 10,
  FOP_COND = 11,  // "?"
  FOP_ALT = 14,   // ":"
  FOP_LOR = 15,
  FOP_LAND = 16,
  FOP_BOR = 17,
  FOP_BXOR = 18,
  FOP_BAND = 19,
  FOP_EQ = 20,
  FOP_NE = 21,
  FOP_LE = 22,
  FOP_LT = 23,
  FOP_GE = 24,
  FOP_GT = 25,
  FOP_SHR = 26,
  FOP_SHL = 27,
  FOP_ADD = 28,
  FOP_SUB = 29,
  FOP_MUL = 30,
  FOP_DIV = 31,
  FOP_MOD = 32,
  FOP_NOT = 33,   // prefix "!"
  FOP_BNOT = 34,  // prefix "~"
  FOP_NEG = 35,   // prefix "-"
  FOP_FIRST_FUNC = 36,  // function calls and casts: 36-80, FN_ codes below
  FOP_LAST_FUNC = 80,
  FOP_INDEX = 81,  // element access a[i]
};

// Function codes (operator codes of calls and casts).
enum : int {
  FN_FLOOR = 36,
  FN_CEIL = 37,
  FN_ROUND = 38,
  FN_SIN = 39,
  FN_COS = 40,
  FN_TAN = 41,
  FN_ASIN = 42,
  FN_ACOS = 43,
  FN_ATAN = 44,
  FN_ATAN2 = 45,
  FN_PHASE = 46,
  FN_SQRT = 47,
  FN_SQR = 48,
  FN_SQ = 49,
  FN_EXP = 50,
  FN_LOG = 51,
  FN_LOG10 = 52,
  FN_LOG2 = 53,
  FN_POW = 54,
  FN_PWR = 55,
  FN_ABS = 56,
  FN_SIGN = 57,
  FN_DB = 58,
  FN_MIN = 59,
  FN_MAX = 60,
  FN_MEAN = 61,
  FN_SUM = 62,
  FN_INT = 63,
  FN_INT64 = 64,
  FN_DOUBLE = 65,
  FN_FLOAT = 66,
  FN_COMPLEX = 67,
  FN_BOOL = 68,
  FN_V = 69,
  FN_I = 70,
  FN_P = 71,
  FN_S = 72,
  FN_RE = 73,
  FN_IM = 74,
  FN_RAND = 75,
  FN_GAUSS = 76,
  FN_PAR = 77,
  FN_LIMIT = 78,
  FN_ISLOW = 79,
  FN_ISHIGH = 80,
};

// Increment and decrement modes of increment_copy_number.
enum : int { INC_PRE = 1, DEC_PRE = 2, INC_POST = 3, DEC_POST = 4 };

// One entry of the function tables: a name and its operator code.
struct SFuncEntry {
  int code;
  const char* name;
};

// Evaluates text in one left-to-right pass. On success *result gets the
// value as a double (real part of a complex value) and, when number is not
// null, *number the full typed value. On failure returns false with the
// reason in m_global_errstr; *result is left alone (except "_No data for
// trace", which sets it to 0).
//   doc        document: digital levels, function cache, running engine; or null
//   vars       variables, or null
//   cmps       components; null means the document's own when doc is given
//   engine     V, I, P, S read the document's engine solution while a
//              simulation runs (without one V(...) is a trace name when
//              traces are given, else "Function V not allowed")
//   traces     trace names and {n.m} references resolve here, or null
//   ac         trace values are complex AC values
//   indexRefs  {n.m} references allowed; trace names not looked up
//   index      data set of a {n} reference without ".m"
//   cMode      C integer arithmetic (7/2 is 3)
bool formula(const AnsiString& text, double* result, CDoc* doc, CVarList* vars,
             CCmps* cmps, bool engine, CTraces* traces, SNumber* number,
             bool ac, bool indexRefs, int index, bool cMode);

// Set by every draw of rand, random or gauss. CFormula::CalculateFormula
// clears it before evaluating and, when it is set afterwards, reports a
// change whatever the value: a random formula changes at every calculation.
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
