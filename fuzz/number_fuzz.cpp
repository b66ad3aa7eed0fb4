// Number text under arbitrary input: the literal reader must never fault,
// every failure must leave int 0 and a syntax message, and every value it
// reads must print (sprintf3, OutNumber) to text that reads back to the
// same value within 12 significant digits.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "base/globals.h"
#include "expr/globals.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

// sprintf3(x, 12) must read back through indig to x, to 12 digits. A read
// never yields NaN: its text would be empty, which reads as 0.
void CheckDoubleReadsBack(double x) {
  Check(!std::isnan(x));
  double back = std::nan("");
  Check(indig(sprintf3(x, 12), &back));
  if (std::isinf(x) || x == 0.0) {
    Check(back == x);
  } else {
    Check(std::fabs(back - x) <= 1e-11 * std::fabs(x));
  }
}

void CheckValue(const SNumber& n) {
  switch (n.kind) {
    case NUM_COMPLEX:
      CheckDoubleReadsBack(n.v.d);
      CheckDoubleReadsBack(n.im);
      break;
    case NUM_DOUBLE:
      CheckDoubleReadsBack(n.v.d);
      break;
    case NUM_INT:
    case NUM_INT64: {
      // The decimal text of an integer reads back to the same integer,
      // with and without prefixes (it never starts with a 0 digit).
      for (bool prefix : {false, true}) {
        SNumber a = n, b;
        Check(indig_number(OutNumber(&n), &b, prefix));
        Check(b.kind == NUM_INT || b.kind == NUM_INT64);
        ConvertNumber(&a, NUM_INT64);
        ConvertNumber(&b, NUM_INT64);
        Check(a.v.i64 == b.v.i64);
      }
      break;
    }
    default:
      Check(false);  // the reader makes no other kind
  }
}

void CheckRead(const AnsiString& text, bool prefix) {
  SNumber n;
  SetDoubleNumber(&n, 1.0);
  m_global_errstr = "";
  if (indig_number(text, &n, prefix)) {
    CheckValue(n);
    return;
  }
  Check(n.kind == NUM_INT && n.v.i == 0);
  Check(m_global_errstr.str().rfind("Syntax error: ", 0) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* p = reinterpret_cast<const char*>(data);
  const AnsiString text(std::string(p, strnlen(p, size)));
  CheckRead(text, false);
  CheckRead(text, true);
  double x = 12345.0;
  if (indig(text, &x)) CheckDoubleReadsBack(x);
  else Check(x == 12345.0);
  return 0;
}
