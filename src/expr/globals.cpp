#include "expr/globals.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "base/CLocale.h"

double DoubleResolution = 1e-12;

double ToDouble(const AnsiString& text) {
  if (text.IsEmpty()) return std::nan("");
  if (text == "inf") return HUGE_VAL;
  if (text == "-inf") return -HUGE_VAL;
  return strtod_c(text.c_str(), nullptr);
}

AnsiString sprintf3(double x, int precision) {
  if (std::isnan(x)) return AnsiString();
  if (std::isinf(x)) return AnsiString(x > 0 ? "inf" : "-inf");
  char buf[64];
  if (precision > 30) precision = 30;  // the mantissa fits in 31 characters
  if (x == 0.0) {
    snprintf_c(buf, sizeof buf, "%-.*lg", precision, x);
    return AnsiString(buf);
  }
  int e = 0;
  double y = x;
  while (std::fabs(y) < 1.0) {
    y *= 1000.0;
    e -= 3;
  }
  while (std::fabs(y) >= 1000.0) {
    y /= 1000.0;
    e += 3;
  }
  snprintf_c(buf, sizeof buf, "%-.*lg", precision, y);
  // Rounding may carry the mantissa up to 1000 (999.9999999999999 -> "1000").
  const char* digits = buf[0] == '-' ? buf + 1 : buf;
  if (std::strlen(digits) == 4 && std::strchr(digits, '.') == nullptr) {
    y /= 1000.0;
    e += 3;
    snprintf_c(buf, sizeof buf, "%-.*lg", precision, y);
  }
  AnsiString out(buf);
  if (e != 0) {
    char ebuf[16];
    snprintf_c(ebuf, sizeof ebuf, "e%-+d", e);
    out += ebuf;
  }
  return out;
}

int CompareValuesRes(double a, double b, double res) {
  const double tol = std::fmin(std::fabs(a), std::fabs(b)) * res;
  if (std::fabs(a - b) <= tol) return 0;
  return b > a ? -1 : 1;
}

int CompareValues(double a, double b) { return CompareValuesRes(a, b, DoubleResolution); }
