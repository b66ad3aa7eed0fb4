#include "base/AnsiString.h"

#include <cstdio>
#include <stdexcept>

AnsiString AnsiString::SubString(int pos, int len) const {
  if (pos < 1 || pos > Length() + 1)
    throw std::out_of_range("AnsiString::SubString: position out of range");
  const std::size_t from = static_cast<std::size_t>(pos - 1);
  if (len < 0) return AnsiString(s_.substr(from));
  return AnsiString(s_.substr(from, static_cast<std::size_t>(len)));
}

AnsiString AnsiString::Trim() const { return TrimLeft().TrimRight(); }

AnsiString AnsiString::TrimLeft() const {
  const std::size_t b = s_.find_first_not_of(' ');
  return b == std::string::npos ? AnsiString() : AnsiString(s_.substr(b));
}

AnsiString AnsiString::TrimRight() const {
  const std::size_t e = s_.find_last_not_of(' ');
  return e == std::string::npos ? AnsiString() : AnsiString(s_.substr(0, e + 1));
}

int AnsiString::ToInt() const { return ToIntDef(0); }

int AnsiString::ToIntDef(int def) const {
  // sscanf's "%d" is locale-independent for integers and skips leading
  // white space, which is the reading the callers rely on.
  int v = 0;
  return std::sscanf(s_.c_str(), "%d", &v) == 1 ? v : def;
}

const char* AnsiString::AnsiLastChar() const {
  return s_.empty() ? nullptr : s_.c_str() + s_.size() - 1;
}

int AnsiString::Pos(const AnsiString& sub) const {
  const std::size_t p = s_.find(sub.s_);
  return p == std::string::npos ? 0 : static_cast<int>(p) + 1;
}

void AnsiString::Insert(const AnsiString& text, int pos) {
  if (pos < 1) pos = 1;
  if (pos > Length() + 1) pos = Length() + 1;
  s_.insert(static_cast<std::size_t>(pos - 1), text.s_);
}

void AnsiString::Delete(int pos, int count) {
  if (pos < 1 || pos > Length() || count <= 0) return;
  s_.erase(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(count));
}

AnsiString AnsiString::UpperCase() const {
  std::string r = s_;
  // ASCII only: the host's locale must not change names.
  for (char& c : r) if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return AnsiString(std::move(r));
}

AnsiString AnsiString::LowerCase() const {
  std::string r = s_;
  for (char& c : r) if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return AnsiString(std::move(r));
}
