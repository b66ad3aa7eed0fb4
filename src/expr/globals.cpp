#include "expr/globals.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "base/CLocale.h"
#include "base/globals.h"

double DoubleResolution = 1e-12;

namespace {

uint32_t unique_id = 0;  // last identity handed out; 0 before the first call

// The bool of a value is its first byte. It is read as a byte, never as a
// bool member: after a raw kind change the byte may hold any bit pattern,
// and loading such a byte as bool is undefined.
bool StoredBool(const SNumber* n) {
  unsigned char byte = 0;
  std::memcpy(&byte, &n->v, 1);
  return byte != 0;
}

bool KnownKind(int kind) { return kind >= NUM_COMPLEX && kind <= NUM_BOOL; }

// Truncation toward zero. NaN and values outside the target range give the
// most negative value of the width; the range is tested before the cast
// because converting such a double is undefined.
int32_t TruncToInt(double x) {
  if (x > -2147483649.0 && x < 2147483648.0) return static_cast<int32_t>(x);
  return std::numeric_limits<int32_t>::min();
}

int64_t TruncToInt64(double x) {
  if (x >= -9223372036854775808.0 && x < 9223372036854775808.0) return static_cast<int64_t>(x);
  return std::numeric_limits<int64_t>::min();
}

// The real part of any known kind as a double.
double RealOf(const SNumber* n) {
  switch (n->kind) {
    case NUM_INT64: return static_cast<double>(n->v.i64);
    case NUM_INT:   return static_cast<double>(n->v.i);
    case NUM_BOOL:  return StoredBool(n) ? 1.0 : 0.0;
    default:        return n->v.d;  // complex and double
  }
}

// The value of a known kind as a 64-bit integer.
int64_t IntegerOf(const SNumber* n) {
  switch (n->kind) {
    case NUM_INT64: return n->v.i64;
    case NUM_INT:   return n->v.i;  // sign-extended
    case NUM_BOOL:  return StoredBool(n) ? 1 : 0;
    default:        return TruncToInt64(n->v.d);
  }
}

bool TruthOf(const SNumber* n) {
  switch (n->kind) {
    case NUM_COMPLEX: return n->v.d != 0.0 || n->im != 0.0;  // NaN counts as non-zero
    case NUM_DOUBLE:  return n->v.d != 0.0;
    case NUM_INT64:   return n->v.i64 != 0;
    case NUM_INT:     return n->v.i != 0;
    default:          return StoredBool(n);
  }
}

// White space as the C locale's isspace sees it. The host's locale is not
// consulted: under a single-byte locale isspace may also accept bytes such
// as 0xA0, and number text must read the same everywhere.
bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

// --- Construction, copying and conversion -----------------------------------

void SetComplexNumber(SNumber* n, double re, double im) {
  n->kind = NUM_COMPLEX;
  n->v.d = re;
  n->im = im;
}

void SetDoubleNumber(SNumber* n, double x) {
  n->kind = NUM_DOUBLE;
  n->v.d = x;
}

void SetInt64Number(SNumber* n, int64_t x) {
  n->kind = NUM_INT64;
  n->v.i64 = x;
}

void SetIntNumber(SNumber* n, int32_t x) {
  n->kind = NUM_INT;
  n->v.i = x;
}

void SetBoolNumber(SNumber* n, bool b) {
  n->kind = NUM_BOOL;
  n->v.b = b;
}

void CopyNumber(SNumber* dst, const SNumber* src) {
  if (dst != nullptr && src != nullptr) *dst = *src;
}

void AssignNumber(SNumber* dst, SNumber* src) {
  if (dst == nullptr || src == nullptr) return;
  ConvertNumber(src, dst->kind);
  CopyNumber(dst, src);
}

void ConvertNumber(SNumber* n, int kind) {
  if (n == nullptr || n->kind == kind) return;
  // A kind code outside 0..4 (as target or as source) carries no rule for
  // the stored bits, so only the code changes.
  if (!KnownKind(kind) || !KnownKind(n->kind)) {
    n->kind = kind;
    return;
  }
  const bool from_float = n->kind == NUM_COMPLEX || n->kind == NUM_DOUBLE;
  switch (kind) {
    case NUM_COMPLEX:
      SetComplexNumber(n, RealOf(n), 0.0);  // the source is not complex here
      break;
    case NUM_DOUBLE:
      SetDoubleNumber(n, RealOf(n));
      break;
    case NUM_INT64:
      SetInt64Number(n, IntegerOf(n));
      break;
    case NUM_INT:
      // From an integer the low 32 bits are kept (wrapping); from a float
      // the truncation is done at 32 bits so out-of-range gives INT_MIN.
      SetIntNumber(n, from_float ? TruncToInt(n->v.d) : static_cast<int32_t>(IntegerOf(n)));
      break;
    default:  // NUM_BOOL
      SetBoolNumber(n, TruthOf(n));
      break;
  }
}

AnsiString OutNumber(const SNumber* n) {
  if (n == nullptr) return AnsiString();
  char buf[32];
  switch (n->kind) {
    case NUM_INT:
      snprintf_c(buf, sizeof buf, "%d", static_cast<int>(n->v.i));
      return AnsiString(buf);
    case NUM_INT64:
      snprintf_c(buf, sizeof buf, "%lld", static_cast<long long>(n->v.i64));
      return AnsiString(buf);
    case NUM_BOOL:
      return AnsiString(StoredBool(n) ? "true" : "false");
    case NUM_DOUBLE:
      return sprintf3(n->v.d, 12);
    case NUM_COMPLEX: {
      AnsiString out = sprintf3(n->v.d, 12);
      if (n->im > 0.0) out += "+" + sprintf3(n->im, 12) + "j";
      else if (n->im < 0.0) out += "-" + sprintf3(-n->im, 12) + "j";
      return out;  // a zero or NaN imaginary part is not written
    }
    default:
      return AnsiString();
  }
}

// --- Number text ---------------------------------------------------------------

namespace {

AnsiString Quoted(const AnsiString& what, const char* tail) {
  return "Syntax error: '" + what + "' " + tail;
}

// Leaves the reason in m_global_errstr. The caller has already made n int 0
// and writes n only on success, so every failure leaves n as int 0.
bool Fail(const AnsiString& why) {
  m_global_errstr = why;
  return false;
}

bool FailChar(char c, const char* tail) { return Fail(Quoted(AnsiString(c), tail)); }

// Power of ten of a scale letter; false for any other character. "M" is
// mega and "m" milli; "K" and "k" are both kilo.
bool ScalePower(char c, int* power) {
  switch (c) {
    case 'T': *power = 12; return true;
    case 'G': *power = 9; return true;
    case 'M': *power = 6; return true;
    case 'K':
    case 'k': *power = 3; return true;
    case 'm': *power = -3; return true;
    case 'u': *power = -6; return true;
    case 'n': *power = -9; return true;
    case 'p': *power = -12; return true;
    case 'f': *power = -15; return true;
    default: return false;
  }
}

// Reads buf (sign included) as a decimal fraction: the whole text must be
// one number. Only decimal syntax is accepted. The C library's strtod would
// also take hexadecimal floats ("0x1.8p1"), "nan(...)" and "infinity",
// which are not literals of this language; they fail where a decimal-only
// reader stops: after the "0" of "0x", at the first letter of the others.
bool ReadFraction(const std::string& buf, bool imaginary, SNumber* n) {
  const char* start = buf.c_str();
  const char* q = start + ((buf[0] == '+' || buf[0] == '-') ? 1 : 0);
  double x = 0.0;
  const char* end = start;
  if (q[0] == '0' && (q[1] == 'x' || q[1] == 'X')) {
    end = q + 1;
  } else if (is_digit(q[0]) || q[0] == '.') {
    char* e = nullptr;
    x = strtod_c(start, &e);  // C locale: "." is the decimal point
    end = e;
  }
  if (*end != '\0') return FailChar(*end, "is invalid character");
  if (imaginary) SetComplexNumber(n, 0.0, x);
  else SetDoubleNumber(n, x);
  return true;
}

// Accumulates the digits of an integer literal whose sign is already
// stripped (digits). Arithmetic is unsigned 64-bit, so a magnitude beyond
// 64 bits wraps modulo 2^64 instead of overflowing.
bool ReadIntegerDigits(const char* digits, const AnsiString& text, bool prefix, uint64_t* mag) {
  uint64_t v = 0;
  const std::size_t len = std::strlen(digits);
  const char* q = digits;
  if (prefix && digits[0] == '0' && digits[1] != '\0') {
    const char kind = digits[1];
    const auto too_big = [&] { return Fail(Quoted(digits, "is too big for 64 bit integer")); };
    if (kind == 'x' || kind == 'X') {
      if (len > 18) return too_big();  // "0x" and 16 digits
      for (q = digits + 2; *q != '\0'; ++q) {
        const int d = hex_to_val(*q);
        if (d < 0) return FailChar(*q, "is not a valid hex value");
        v = v * 16u + static_cast<uint64_t>(d);
      }
      *mag = v;
      return true;
    }
    if (kind == 'b' || kind == 'B') {
      if (len > 66) return too_big();  // "0b" and 64 digits
      for (q = digits + 2; *q != '\0'; ++q) {
        if (*q != '0' && *q != '1') return Fail(Quoted(text, "is not a valid binary value"));
        v = v * 2u + static_cast<uint64_t>(*q - '0');
      }
      *mag = v;
      return true;
    }
    if (is_digit(kind)) {
      if (len > 23) return too_big();  // "0" and 22 digits
      for (q = digits + 1; *q != '\0'; ++q) {
        if (*q < '0' || *q > '7') return FailChar(*q, "is not a valid octal value");
        v = v * 8u + static_cast<uint64_t>(*q - '0');
      }
      *mag = v;
      return true;
    }
  }
  // Decimal; without prefixes a leading 0 is decimal too (010 is 10).
  for (; *q != '\0'; ++q) {
    if (!is_digit(*q)) return FailChar(*q, "is invalid character");
    v = v * 10u + static_cast<uint64_t>(*q - '0');
  }
  *mag = v;
  return true;
}

// Integer literal from the buffer (sign included): int when the magnitude,
// read as signed 64-bit, lies in the 32-bit range, else int64.
bool ReadInteger(const std::string& buf, const AnsiString& text, bool prefix, bool negative,
                 bool int64_mark, SNumber* n) {
  const char* digits = buf.c_str() + ((buf[0] == '+' || buf[0] == '-') ? 1 : 0);
  uint64_t mag = 0;
  if (!ReadIntegerDigits(digits, text, prefix, &mag)) return false;
  const int64_t as_signed = static_cast<int64_t>(mag);  // modulo 2^64
  if (!int64_mark && as_signed == static_cast<int32_t>(as_signed)) {
    uint32_t low = static_cast<uint32_t>(mag);
    if (negative) low = 0u - low;  // unsigned: negating INT_MIN wraps to itself
    SetIntNumber(n, static_cast<int32_t>(low));
  } else {
    SetInt64Number(n, static_cast<int64_t>(negative ? 0u - mag : mag));
  }
  return true;
}

bool EndsWith(const std::string& s, const char* tail) {
  const std::size_t t = std::strlen(tail);
  return s.size() >= t && s.compare(s.size() - t, t, tail) == 0;
}

bool EqualsNoCase(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    const char la = (*a >= 'A' && *a <= 'Z') ? static_cast<char>(*a - 'A' + 'a') : *a;
    const char lb = (*b >= 'A' && *b <= 'Z') ? static_cast<char>(*b - 'A' + 'a') : *b;
    if (la != lb) return false;
  }
  return *a == *b;
}

}  // namespace

bool indig_number(const AnsiString& text, SNumber* n, bool prefix) {
  SNumber scratch;
  if (n == nullptr) n = &scratch;
  SetIntNumber(n, 0);
  if (text.Length() > 127) return Fail("Syntax error: number string is too long");

  // The work text ends at a zero byte, as a C string would; blanks go
  // wherever they stand ("1 000" is 1000).
  std::string buf(text.c_str());
  remove_spaces(buf.data());
  buf.resize(std::strlen(buf.c_str()));

  const bool negative = !buf.empty() && buf[0] == '-';
  const std::size_t body = (!buf.empty() && (buf[0] == '+' || buf[0] == '-')) ? 1 : 0;
  const char* after_sign = buf.c_str() + body;

  if (prefix && after_sign[0] == '0' &&
      (after_sign[1] == 'b' || after_sign[1] == 'B' || after_sign[1] == 'x' ||
       after_sign[1] == 'X')) {
    return ReadInteger(buf, text, prefix, negative, false, n);
  }
  if (EqualsNoCase(after_sign, "inf")) {
    const double inf = std::numeric_limits<double>::infinity();
    SetDoubleNumber(n, negative ? -inf : inf);
    return true;
  }

  bool int64_mark = false, imaginary = false;
  if (buf.size() >= 4 && EndsWith(buf, "i64")) {
    int64_mark = true;
    buf.resize(buf.size() - 3);
  } else if (EndsWith(buf, "j")) {
    imaginary = true;
    buf.resize(buf.size() - 1);
  }
  if (buf.empty()) {
    if (imaginary) SetComplexNumber(n, 0.0, 0.0);
    else if (int64_mark) SetInt64Number(n, 0);
    return true;  // an empty or blank text is int 0
  }

  bool point = false;
  for (std::size_t k = 0; k < buf.size(); ++k) {
    const char c = buf[k];
    int power = 0;
    if (c == '.') {
      point = true;
    } else if (c == 'e' || c == 'E') {
      return ReadFraction(buf, imaginary, n);
    } else if (ScalePower(c, &power)) {
      if (text.Length() < 2) return Fail(Quoted(text, "is invalid number"));
      // Without a point the letter is the point (4k7 = 4.7e3); after one,
      // the letter ends the number (4.7k5 = 4.7e3).
      if (point) buf.resize(k);
      else buf[k] = '.';
      char exp[8];
      snprintf_c(exp, sizeof exp, "e%d", power);
      buf += exp;
      return ReadFraction(buf, imaginary, n);
    }
  }
  if (point || imaginary) return ReadFraction(buf, imaginary, n);
  return ReadInteger(buf, text, prefix, negative, int64_mark, n);
}

bool indig(const AnsiString& text, double* x) {
  SNumber n;
  if (!indig_number(text, &n, false)) return false;
  ConvertNumber(&n, NUM_DOUBLE);  // a complex literal gives its real part
  if (x != nullptr) *x = n.v.d;
  return true;
}

double ToDouble(const AnsiString& text) {
  if (text.IsEmpty()) return std::numeric_limits<double>::quiet_NaN();
  if (text == "inf") return std::numeric_limits<double>::infinity();
  if (text == "-inf") return -std::numeric_limits<double>::infinity();
  return strtod_c(text.c_str(), nullptr);
}

AnsiString sprintf3(double x, int precision) {
  if (std::isnan(x)) return AnsiString();
  if (std::isinf(x)) return AnsiString(x > 0 ? "inf" : "-inf");
  // The mantissa text is at most 31 characters: sign, 29 digits and the
  // point. More than 17 digits say nothing about a double anyway.
  if (precision > 29) precision = 29;
  char buf[32];
  if (x == 0.0) {
    snprintf_c(buf, sizeof buf, "%-.*lg", precision, x);  // "0" or "-0"
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

// --- Comparison of doubles -----------------------------------------------------

int CompareValuesRes(double a, double b, double res) {
  // Infinities are compared exactly: as tolerance, inf * res would make
  // -inf equal +inf, and inf - inf = NaN would make inf differ from itself.
  if (a == b) return 0;
  if (std::isinf(a) || std::isinf(b)) return b > a ? -1 : 1;
  const double tol = std::fmin(std::fabs(a), std::fabs(b)) * res;
  if (std::fabs(a - b) <= tol) return 0;
  return b > a ? -1 : 1;
}

int CompareValues(double a, double b) { return CompareValuesRes(a, b, DoubleResolution); }

bool CompareDouble(double a, double b) {
  const bool na = std::isnan(a), nb = std::isnan(b);
  if (na || nb) return na && nb;
  if (std::isinf(a) && std::isinf(b)) return true;  // either sign
  return CompareValues(a, b) == 0;
}

double IsTooSmall(double x, double ref) {
  return std::fabs(ref) * DoubleResolution > std::fabs(x) ? 0.0 : x;
}

bool isgood(double x) { return std::isfinite(x); }

// --- Characters and names --------------------------------------------------------

bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_underscore(char c) { return c == '_'; }

int is_valid_name(const AnsiString& s) {
  if (s.IsEmpty()) return -1;
  if (!is_letter(s[1]) && !is_underscore(s[1])) return -1;
  for (char c : s.str()) {
    if (!is_letter(c) && !is_digit(c) && !is_underscore(c)) return -1;
  }
  static const char* const reserved[] = {"inf", "true", "false", "high", "low", "pi", "rad"};
  for (const char* word : reserved) {
    if (EqualsNoCase(s.c_str(), word)) return 1;
  }
  return 0;
}

void remove_spaces(AnsiString& s) {
  std::string& t = s.str();
  std::size_t out = 0;
  for (char c : t) {
    if (!IsCSpace(c)) t[out++] = c;
  }
  t.resize(out);
}

void remove_spaces(char* s) {
  if (s == nullptr) return;
  char* out = s;
  for (const char* in = s; *in != '\0'; ++in) {
    if (!IsCSpace(*in)) *out++ = *in;
  }
  *out = '\0';
}

// --- Hexadecimal ----------------------------------------------------------------------

int hex_to_val(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

int hex_to_bin(const char* text, unsigned char* bytes, int max) {
  if (text == nullptr || max < 1) return 0;
  int i = 0;
  int high = 0;
  for (; i < max && text[i] != '\0'; ++i) {
    const int d = hex_to_val(text[i]);
    if (d < 0) return ~i;
    if (i % 2 == 0) high = d;
    else bytes[i / 2] = static_cast<unsigned char>(high << 4 | d);
  }
  // A lone last digit is checked but not stored: a caller sizes bytes as
  // max / 2, and a half byte is no byte.
  return i / 2;
}

int bin_to_hex(const unsigned char* bytes, char* text, int count) {
  static const char digits[] = "0123456789ABCDEF";
  if (count < 1) {
    if (text != nullptr) text[0] = '\0';
    return 0;
  }
  for (int k = 0; k < count; ++k) {
    text[2 * k] = digits[bytes[k] >> 4];
    text[2 * k + 1] = digits[bytes[k] & 0x0F];
  }
  text[2 * count] = '\0';
  return 2 * count;
}

int GetUniqueID() {
  ++unique_id;  // unsigned: wraps after 2^32 calls instead of overflowing
  return static_cast<int>(unique_id);
}
