// The formula evaluator under arbitrary text, in formula and in C mode, with
// a document (function cache, digital levels) and a variable list holding a
// scalar and an array; once more without a document and with trace
// references by number allowed. It must never fault; a failure must leave a message
// and the caller's result untouched; a success must report a plain kind and
// a result that is the real part of the typed value.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "base/globals.h"
#include "doc/Doc.h"
#include "expr/Formula.h"
#include "expr/VarList.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

bool SameDouble(double a, double b) {
  return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

void Evaluate(const AnsiString& text, CDoc* doc, bool cMode, bool indexRefs) {
  CVarList vars;
  SetDoubleNumber(vars.AddVar("x", NUM_DOUBLE, 0)->values, 1.5);
  SVar* a = vars.AddVar("a", NUM_INT, 4);
  for (int k = 0; k < 4; ++k) SetIntNumber(&a->values[k], k - 1);

  const double untouched = -12345.5;
  double result = untouched;
  SNumber number;
  m_global_errstr = "";
  if (!formula(text, &result, doc, &vars, nullptr, false, nullptr, &number, false, indexRefs, 0,
               cMode)) {
    Check(!m_global_errstr.IsEmpty());
    // Only a trace reference without data sets the result, to 0.
    if (m_global_errstr.str().rfind("_No data for trace ", 0) == 0)
      Check(indexRefs && result == 0.0);
    else
      Check(SameDouble(result, untouched));
    return;
  }
  Check(number.kind >= NUM_COMPLEX && number.kind <= NUM_BOOL);
  SNumber copy = number;
  ConvertNumber(&copy, NUM_DOUBLE);
  Check(SameDouble(result, copy.v.d));
  // Increments may change the variables, never their shape.
  Check(vars.Count() == 2 && a->size == 4 && a->values[0].kind == NUM_INT);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static CDoc doc;
  const AnsiString text(std::string(reinterpret_cast<const char*>(data), size));
  Evaluate(text, &doc, false, false);
  Evaluate(text, &doc, true, false);
  Evaluate(text, nullptr, false, true);
  return 0;
}
