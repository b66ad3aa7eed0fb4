#include "EngNumber.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace qvs {

namespace {

// Powers of ten of the scale letters.
int ScalePower(char c) {
  switch (c) {
    case 'T': return 12;
    case 'G': return 9;
    case 'M': return 6;
    case 'k':
    case 'K': return 3;
    case 'm': return -3;
    case 'u': return -6;
    case 'n': return -9;
    case 'p': return -12;
    case 'f': return -15;
    default: return 0;
  }
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The whole of s as a double (from_chars: no locale, no leading "+").
std::optional<double> ReadPlain(std::string_view s) {
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty() || s.front() == '+') return std::nullopt;
  double v = 0.0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return v;
}

}  // namespace

std::optional<double> ParseEng(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (text.empty()) return std::nullopt;

  // The scale letter, if any, follows the mantissa's digits; "e" is an
  // exponent, never a letter here.
  std::size_t pos = std::string_view::npos;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (ScalePower(text[i]) != 0) {
      pos = i;
      break;
    }
  }
  if (pos == std::string_view::npos) return ReadPlain(text);

  const std::string_view mantissa = text.substr(0, pos);
  const std::string_view rest = text.substr(pos + 1);
  // A letter needs a mantissa with a digit, ending in a digit or a point:
  // "k5" and "-k" are not numbers.
  if (mantissa.find_first_of("0123456789") == std::string_view::npos) return std::nullopt;
  if (!IsDigit(mantissa.back()) && mantissa.back() != '.') return std::nullopt;
  const bool hasPoint = mantissa.find('.') != std::string_view::npos;
  if (mantissa.find_first_of("eE") != std::string_view::npos) return std::nullopt;
  for (char c : rest)
    if (!IsDigit(c)) return std::nullopt;
  if (hasPoint && !rest.empty()) return std::nullopt;  // 4.7k5 is not a number

  // Built as exponent text and read once, so 10m is exactly what 10e-3 is.
  std::string s(mantissa);
  // Appended piece by piece: a "literal" + string temporary here trips a
  // false -Wrestrict in g++ 12 at -O3.
  if (!rest.empty()) {
    s += '.';
    s += rest;
  }
  s += 'e';
  s += std::to_string(ScalePower(text[pos]));
  return ReadPlain(s);
}

std::string FormatEng(double v, int digits) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
  if (v == 0.0) return "0";
  if (digits < 1) digits = 1;
  static const char kLetters[] = {'f', 'p', 'n', 'u', 'm', 0, 'k', 'M', 'G', 'T'};

  // Round to the significant digits first, so that 999.96 becomes 1k and
  // not 1000.
  const double mag = std::fabs(v);
  int e10 = static_cast<int>(std::floor(std::log10(mag)));
  const double unit = std::pow(10.0, e10 - digits + 1);
  double rounded = std::round(mag / unit) * unit;
  if (rounded >= std::pow(10.0, e10 + 1)) ++e10;
  int e3 = (e10 >= 0 ? e10 / 3 : -((-e10 + 2) / 3)) * 3;

  char buf[64];
  if (e3 < -15 || e3 > 12) {
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific,
                                 digits - 1);
    std::string s(buf, r.ptr);
    // Trailing zeros of the mantissa go: 1.500e-18 -> 1.5e-18.
    const std::size_t epos = s.find('e');
    std::string m = s.substr(0, epos), ex = s.substr(epos);
    if (m.find('.') != std::string::npos) {
      while (m.back() == '0') m.pop_back();
      if (m.back() == '.') m.pop_back();
    }
    return m + ex;
  }
  const double scaled = v / std::pow(10.0, e3);
  const int intDigits = e10 - e3 + 1;  // 1 .. 3
  const int decimals = digits > intDigits ? digits - intDigits : 0;
  const auto r = std::to_chars(buf, buf + sizeof buf, scaled, std::chars_format::fixed, decimals);
  std::string s(buf, r.ptr);
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  const char letter = kLetters[(e3 + 15) / 3];
  if (letter != 0) s += letter;
  return s;
}

std::string FormatExact(double v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

}  // namespace qvs
