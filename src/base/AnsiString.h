#pragma once
// The program's one string type: an 8-bit byte string with value semantics.
// Character positions are 1-based throughout (position 1 is the first byte),
// because every text routine of the system counts that way. Positions are
// not checked by operator[]; callers stay within 1 .. Length().

#include <compare>
#include <cstddef>
#include <string>
#include <string_view>

class AnsiString {
 public:
  AnsiString() = default;
  AnsiString(const char* s) : s_(s ? s : "") {}  // NOLINT: implicit by design
  AnsiString(const char* s, std::size_t n) : s_(s, n) {}
  AnsiString(std::string s) : s_(std::move(s)) {}  // NOLINT
  AnsiString(std::string_view s) : s_(s) {}        // NOLINT
  explicit AnsiString(char c) : s_(1, c) {}

  const char* c_str() const { return s_.c_str(); }
  int Length() const { return static_cast<int>(s_.size()); }
  bool IsEmpty() const { return s_.empty(); }
  const std::string& str() const { return s_; }
  std::string& str() { return s_; }

  // Character at 1-based position i.
  char& operator[](int i) { return s_[static_cast<std::size_t>(i - 1)]; }
  char operator[](int i) const { return s_[static_cast<std::size_t>(i - 1)]; }

  // Up to len characters from 1-based pos; a negative len takes the rest.
  // pos == Length()+1 gives ""; a larger pos (or pos < 1) throws
  // std::out_of_range, a usage fault of the caller.
  AnsiString SubString(int pos, int len) const;
  // Copy without leading and trailing blanks (the space character only).
  AnsiString Trim() const;
  AnsiString TrimLeft() const;
  AnsiString TrimRight() const;
  // Decimal integer read as by "%d" from the start; 0 / def when none.
  int ToInt() const;
  int ToIntDef(int def) const;
  // Pointer to the last character; null for the empty string.
  const char* AnsiLastChar() const;
  // 1-based position of the first occurrence of sub; 0 when absent.
  int Pos(const AnsiString& sub) const;
  // Inserts text before 1-based pos; deletes count characters from pos.
  void Insert(const AnsiString& text, int pos);
  void Delete(int pos, int count);
  void SetLength(int n) { s_.resize(static_cast<std::size_t>(n < 0 ? 0 : n)); }
  AnsiString UpperCase() const;
  AnsiString LowerCase() const;

  AnsiString& operator+=(const AnsiString& o) { s_ += o.s_; return *this; }
  AnsiString& operator+=(const char* o) { s_ += o ? o : ""; return *this; }
  AnsiString& operator+=(char c) { s_ += c; return *this; }

  friend AnsiString operator+(const AnsiString& a, const AnsiString& b) {
    return AnsiString(a.s_ + b.s_);
  }
  friend AnsiString operator+(const AnsiString& a, const char* b) {
    return AnsiString(a.s_ + (b ? b : ""));
  }
  friend AnsiString operator+(const char* a, const AnsiString& b) {
    return AnsiString((a ? a : "") + b.s_);
  }
  friend AnsiString operator+(const AnsiString& a, char c) {
    return AnsiString(a.s_ + c);
  }
  friend bool operator==(const AnsiString& a, const AnsiString& b) {
    return a.s_ == b.s_;
  }
  friend bool operator==(const AnsiString& a, const char* b) {
    return a.s_ == (b ? b : "");
  }
  friend std::strong_ordering operator<=>(const AnsiString& a,
                                          const AnsiString& b) {
    return a.s_ <=> b.s_;
  }

 private:
  std::string s_;
};
