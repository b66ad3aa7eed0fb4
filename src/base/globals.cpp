#include "base/globals.h"

#include <cstring>
#include <string>

AnsiString m_global_errstr;

AnsiString StrToSafe(const AnsiString& s) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(s.str().size());
  for (unsigned char c : s.str()) {
    if (c == ' ') {
      out += '+';
    } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               std::strchr("!'()*-._~", c) != nullptr) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return AnsiString(std::move(out));
}

namespace {
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

AnsiString StrFromSafe(const AnsiString& s) {
  const std::string& in = s.str();
  std::string out;
  out.reserve(in.size());
  for (std::size_t i = 0; i < in.size(); ++i) {
    const char c = in[i];
    if (c == '+') {
      out += ' ';
    } else if (c == '%' && i + 2 < in.size() && HexDigit(in[i + 1]) >= 0 &&
               HexDigit(in[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(in[i + 1]) << 4 | HexDigit(in[i + 2]));
      i += 2;
    } else {
      out += c;
    }
  }
  return AnsiString(std::move(out));
}
