#include <cmath>
#include <cstdint>

#include "base/CLocale.h"
#include "expr/Formula.h"

bool CFormula::CalculateFormula(CDoc* doc, CVarList* vars, CCmps* cmps, bool* changed) {
  const double old = value_;
  if (changed != nullptr) *changed = false;
  random_function_used = false;
  if (text_.IsEmpty()) return true;

  double v = 0.0;
  if (!formula(text_, &v, doc, vars, cmps, false, nullptr, nullptr, false, false, 0, false))
    return false;
  // Every stored value carries 12 significant digits, the digits a document
  // keeps: a value read back from the file then equals the one computed.
  if (std::isnan(v) || !indig(sprintf3(v, 12), &value_)) value_ = v;
  // A text beginning with "=" stays and follows what it names; any other is
  // evaluated once and leaves only its value.
  if (text_[1] != '=') text_ = AnsiString();

  bool moved = false;
  if (random_function_used) {
    moved = true;  // a random value is a new value at every calculation
    random_function_used = false;
  } else {
    moved = !CompareDouble(old, value_);
  }
  if (changed != nullptr) *changed = moved;
  return true;
}

AnsiString CFormula::OutValue() const {
  if (IsEmpty()) return AnsiString();
  if (error_) return AnsiString("#VAL");
  if (format_ < kInt || format_ > kHex) return sprintf3(value_, 12);

  SNumber n;
  SetDoubleNumber(&n, value_);
  ConvertNumber(&n, NUM_INT);  // truncated; NaN and out of range give INT_MIN
  uint32_t u = static_cast<uint32_t>(n.v.i);
  if (bits_ == 8) u &= 0xFFu;
  else if (bits_ == 16) u &= 0xFFFFu;
  if (u == 0) return AnsiString("0");

  char buf[40];
  switch (format_) {
    case kInt:
      snprintf_c(buf, sizeof buf, "%d", static_cast<int>(static_cast<int32_t>(u)));
      break;
    case kBin: {
      int top = 31;
      while (((u >> top) & 1u) == 0) --top;
      char* q = buf;
      *q++ = '0';
      *q++ = 'b';
      for (int b = top; b >= 0; --b) *q++ = ((u >> b) & 1u) != 0 ? '1' : '0';
      *q = '\0';
      break;
    }
    case kOct:
      snprintf_c(buf, sizeof buf, "0%o", static_cast<unsigned>(u));
      break;
    default:
      snprintf_c(buf, sizeof buf, "0x%X", static_cast<unsigned>(u));
      break;
  }
  return AnsiString(buf);
}
