#pragma once
// Helpers of the formula tests: evaluate a text and state what it must give,
// with the text in every failure message.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "base/globals.h"
#include "expr/Formula.h"
#include "expr/VarList.h"

struct FormulaRun {
  std::string text;
  bool ok = false;
  SNumber value;
  double result = 0.0;
  std::string error;
};

struct FormulaOptions {
  CVarList* vars = nullptr;
  CDoc* doc = nullptr;
  CCmps* cmps = nullptr;
  CTraces* traces = nullptr;
  bool cMode = false;
  bool indexRefs = false;
  int index = 0;
  bool ac = false;
};

inline FormulaRun Eval(const std::string& text, const FormulaOptions& o = {}) {
  FormulaRun r;
  r.text = text;
  m_global_errstr = "";
  r.ok = formula(AnsiString(text), &r.result, o.doc, o.vars, o.cmps, false, o.traces, &r.value,
                 o.ac, o.indexRefs, o.index, o.cMode);
  r.error = m_global_errstr.str();
  return r;
}

inline FormulaRun EvalC(const std::string& text, CVarList* vars = nullptr) {
  FormulaOptions o;
  o.vars = vars;
  o.cMode = true;
  return Eval(text, o);
}

inline ::testing::AssertionResult Failed(const FormulaRun& r) {
  return ::testing::AssertionFailure() << "'" << r.text << "' failed: " << r.error;
}

inline ::testing::AssertionResult Kind(const FormulaRun& r, int kind, const char* name) {
  if (!r.ok) return Failed(r);
  if (r.value.kind != kind)
    return ::testing::AssertionFailure() << "'" << r.text << "' is of kind " << r.value.kind
                                         << ", not " << name << " (" << OutNumber(&r.value).str()
                                         << ")";
  return ::testing::AssertionSuccess();
}

// Exactly the double want (NaN matches NaN).
inline ::testing::AssertionResult GivesDouble(const FormulaRun& r, double want) {
  auto k = Kind(r, NUM_DOUBLE, "double");
  if (!k) return k;
  if (r.value.v.d == want || (std::isnan(want) && std::isnan(r.value.v.d)))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "'" << r.text << "' gives " << r.value.v.d << ", not "
                                       << want;
}

inline ::testing::AssertionResult GivesNear(const FormulaRun& r, double want, double tol) {
  auto k = Kind(r, NUM_DOUBLE, "double");
  if (!k) return k;
  if (std::fabs(r.value.v.d - want) <= tol) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "'" << r.text << "' gives " << r.value.v.d << ", not "
                                       << want << " within " << tol;
}

inline ::testing::AssertionResult GivesInt(const FormulaRun& r, int want) {
  auto k = Kind(r, NUM_INT, "int");
  if (!k) return k;
  if (r.value.v.i == want) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "'" << r.text << "' gives " << r.value.v.i << ", not "
                                       << want;
}

inline ::testing::AssertionResult GivesInt64(const FormulaRun& r, long long want) {
  auto k = Kind(r, NUM_INT64, "int64");
  if (!k) return k;
  if (r.value.v.i64 == want) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "'" << r.text << "' gives " << r.value.v.i64
                                       << ", not " << want;
}

inline ::testing::AssertionResult GivesBool(const FormulaRun& r, bool want) {
  auto k = Kind(r, NUM_BOOL, "bool");
  if (!k) return k;
  const std::string text = OutNumber(&r.value).str();
  if (text == (want ? "true" : "false")) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "'" << r.text << "' gives " << text;
}

// Complex re + j im, each part within tol (0: exactly).
inline ::testing::AssertionResult GivesComplex(const FormulaRun& r, double re, double im,
                                               double tol = 0.0) {
  auto k = Kind(r, NUM_COMPLEX, "complex");
  if (!k) return k;
  if (std::fabs(r.value.v.d - re) <= tol && std::fabs(r.value.im - im) <= tol)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "'" << r.text << "' gives " << r.value.v.d << " + j"
                                       << r.value.im << ", not " << re << " + j" << im;
}

inline ::testing::AssertionResult FailsWith(const FormulaRun& r, const std::string& message) {
  if (r.ok)
    return ::testing::AssertionFailure() << "'" << r.text << "' succeeded with "
                                         << OutNumber(&r.value).str();
  if (r.error == message) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "'" << r.text << "' fails with \"" << r.error
                                       << "\", not \"" << message << "\"";
}

// Variables for the tests: x (double 3), n (int 5), b (bool true),
// z (complex 1+2j), a (int array 5, -2, 7), c (complex array 1j, 2).
inline void AddTestVars(CVarList& vars) {
  SetDoubleNumber(vars.AddVar("x", NUM_DOUBLE, 0)->values, 3.0);
  SetIntNumber(vars.AddVar("n", NUM_INT, 0)->values, 5);
  SetBoolNumber(vars.AddVar("b", NUM_BOOL, 0)->values, true);
  SetComplexNumber(vars.AddVar("z", NUM_COMPLEX, 0)->values, 1.0, 2.0);
  SVar* a = vars.AddVar("a", NUM_INT, 3);
  SetIntNumber(&a->values[0], 5);
  SetIntNumber(&a->values[1], -2);
  SetIntNumber(&a->values[2], 7);
  SVar* c = vars.AddVar("c", NUM_COMPLEX, 2);
  SetComplexNumber(&c->values[0], 0.0, 1.0);
  SetComplexNumber(&c->values[1], 2.0, 0.0);
}
