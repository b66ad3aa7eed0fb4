#pragma once
// Helpers of the number and formula tests: typed values to start from,
// expected outcomes written as table cells, and formula runs whose failures
// name the formula text.

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <sstream>
#include <string>

#include "base/globals.h"
#include "expr/Formula.h"
#include "expr/VarList.h"

inline SNumber NumInt(int v) { SNumber n; SetIntNumber(&n, v); return n; }
inline SNumber NumInt64(long long v) { SNumber n; SetInt64Number(&n, v); return n; }
inline SNumber NumDouble(double x) { SNumber n; SetDoubleNumber(&n, x); return n; }
inline SNumber NumComplex(double r, double i) { SNumber n; SetComplexNumber(&n, r, i); return n; }
inline SNumber NumBool(bool b) { SNumber n; SetBoolNumber(&n, b); return n; }

// An expected outcome: a value of one kind, or a failure with its exact message.
struct Want {
  int kind;      // NUM_ code; -1 for a failure
  long long i;   // int, int64 and bool
  double re, im;
  double tol;    // per floating part; 0 asks for the exact value (NaN matches NaN)
  std::string message;
};
inline Want Int(int v) { return {NUM_INT, v, 0.0, 0.0, 0.0, ""}; }
inline Want Int64(long long v) { return {NUM_INT64, v, 0.0, 0.0, 0.0, ""}; }
inline Want Bool(bool b) { return {NUM_BOOL, b, 0.0, 0.0, 0.0, ""}; }
inline Want Dbl(double x, double tol = 0.0) { return {NUM_DOUBLE, 0, x, 0.0, tol, ""}; }
inline Want Cplx(double r, double i, double tol = 0.0) { return {NUM_COMPLEX, 0, r, i, tol, ""}; }
inline Want Err(const std::string& message) { return {-1, 0, 0.0, 0.0, 0.0, message}; }
// The messages that follow a pattern.
inline Want ErrComplexArg(const std::string& f) {
  return Err("Function '" + f + "' : complex argument not allowed");
}
inline Want ErrComplexArgs(const std::string& f) {
  return Err("Function '" + f + "' : complex arguments not allowed");
}
inline Want ErrCount(const std::string& f) {
  return Err("Function '" + f + "' : wrong number of parameters");
}
inline Want ErrFloatOp(const std::string& op) {
  return Err("Operator '" + op + "' : floating point arguments not allowed");
}
inline Want ErrComplexOp(const std::string& op) {
  return Err("Operator '" + op + "' : complex arguments not allowed");
}
inline Want ErrName(const std::string& text) {
  return Err("Wrong variable name or number format: '" + text + "'");
}

// Kind and value at full precision.
inline std::string Describe(const SNumber& n) {
  std::ostringstream s;
  s.precision(17);
  if (n.kind == NUM_INT) s << "int " << n.v.i;
  else if (n.kind == NUM_INT64) s << "int64 " << n.v.i64;
  else if (n.kind == NUM_BOOL) s << "bool " << OutNumber(&n).str();
  else if (n.kind == NUM_DOUBLE) s << "double " << n.v.d;
  else if (n.kind == NUM_COMPLEX) s << "complex " << n.v.d << std::showpos << n.im << "j";
  else s << "kind " << n.kind;
  return s.str();
}

// n holds the value w describes, in its kind (w is no failure). A bool is
// compared through its text: only the bytes 0 and 1 are valid bools.
inline ::testing::AssertionResult Holds(const SNumber& n, const Want& w) {
  auto close = [&](double got, double want) {
    return got == want || (std::isnan(want) && std::isnan(got)) || std::fabs(got - want) <= w.tol;
  };
  bool same = n.kind == w.kind;
  if (same && w.kind == NUM_INT) same = n.v.i == w.i;
  if (same && w.kind == NUM_INT64) same = n.v.i64 == w.i;
  if (same && w.kind == NUM_BOOL) same = OutNumber(&n).str() == (w.i ? "true" : "false");
  if (same && w.kind <= NUM_DOUBLE) same = close(n.v.d, w.re);
  if (same && w.kind == NUM_COMPLEX) same = close(n.im, w.im);
  if (same) return ::testing::AssertionSuccess();
  SNumber e;
  e.kind = w.kind;
  e.v.i64 = w.i;
  if (w.kind <= NUM_DOUBLE) e.v.d = w.re;
  e.im = w.im;
  return ::testing::AssertionFailure() << "gives " << Describe(n) << ", not " << Describe(e);
}

struct FormulaOptions {
  CVarList* vars = nullptr;
  CDoc* doc = nullptr;
  CCmps* cmps = nullptr;
  CTraces* traces = nullptr;
  bool cMode = false;      // C integer arithmetic
  bool indexRefs = false;  // {n.m} trace references instead of trace names
  int index = 0;           // data set of {n}
  bool ac = false;
};

struct FormulaRun {
  std::string text, error;
  bool ok = false;
  SNumber value;
};

inline FormulaRun Eval(const std::string& text, const FormulaOptions& o = {}) {
  FormulaRun r;
  r.text = text;
  m_global_errstr = "";
  double result = 0.0;
  r.ok = formula(AnsiString(text), &result, o.doc, o.vars, o.cmps, false, o.traces, &r.value,
                 o.ac, o.indexRefs, o.index, o.cMode);
  r.error = m_global_errstr.str();
  return r;
}

inline ::testing::AssertionResult Gives(const FormulaRun& r, const Want& w) {
  auto fail = [&] { return ::testing::AssertionFailure() << "'" << r.text << "' "; };
  if (w.kind < 0) {
    if (r.ok) return fail() << "succeeded with " << Describe(r.value);
    if (r.error == w.message) return ::testing::AssertionSuccess();
    return fail() << "fails with \"" << r.error << "\", not \"" << w.message << "\"";
  }
  if (!r.ok) return fail() << "failed: " << r.error;
  auto h = Holds(r.value, w);
  return h ? h : fail() << h.message();
}

struct FormulaRow {
  const char* text;
  Want want;
};

// Evaluates the rows in order: a row sees what earlier rows did to variables.
inline void ExpectRows(std::initializer_list<FormulaRow> rows, const FormulaOptions& o = {}) {
  for (const FormulaRow& row : rows) EXPECT_TRUE(Gives(Eval(row.text, o), row.want));
}

// Variables for the tests: x (double 3), n (int 5), b (bool true),
// z (complex 1+2j), a (int array 5, -2, 7), c (complex array 1j, 2).
inline void AddTestVars(CVarList& vars) {
  vars.AddVar("x", NUM_DOUBLE, 0)->values[0] = NumDouble(3.0);
  vars.AddVar("n", NUM_INT, 0)->values[0] = NumInt(5);
  vars.AddVar("b", NUM_BOOL, 0)->values[0] = NumBool(true);
  vars.AddVar("z", NUM_COMPLEX, 0)->values[0] = NumComplex(1.0, 2.0);
  SNumber* a = vars.AddVar("a", NUM_INT, 3)->values;
  a[0] = NumInt(5), a[1] = NumInt(-2), a[2] = NumInt(7);
  SNumber* c = vars.AddVar("c", NUM_COMPLEX, 2)->values;
  c[0] = NumComplex(0.0, 1.0), c[1] = NumComplex(2.0, 0.0);
}
