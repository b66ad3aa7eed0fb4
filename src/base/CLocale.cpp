#include "base/CLocale.h"

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace {
// Created once, never freed: a process-wide constant like the registry.
locale_t CLocaleObject() {
  static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return loc;
}

// Switches the calling thread to the C locale for one scope.
class ScopedCLocale {
 public:
  ScopedCLocale() : old_(uselocale(CLocaleObject())) {}
  ~ScopedCLocale() { uselocale(old_); }
  ScopedCLocale(const ScopedCLocale&) = delete;
  ScopedCLocale& operator=(const ScopedCLocale&) = delete;

 private:
  locale_t old_;
};
}  // namespace

double strtod_c(const char* s, char** end) { return strtod_l(s, end, CLocaleObject()); }

int snprintf_c(char* buf, unsigned long size, const char* fmt, ...) {
  ScopedCLocale c;
  va_list ap;
  va_start(ap, fmt);
  const int n = std::vsnprintf(buf, size, fmt, ap);
  va_end(ap);
  return n;
}
