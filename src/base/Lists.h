#pragma once
// Ordered containers of the program: TList (borrowed object pointers) and
// TStringList (owned strings), plus the small geometry and colour records.
// Indices are 0-based and not checked: callers keep within 0 .. Count()-1.

#include <memory>
#include <vector>

#include "base/AnsiString.h"

// An ordered array of pointers the list does not own.
class TList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  void*& Items(int i) { return items_[static_cast<std::size_t>(i)]; }
  void* Items(int i) const { return items_[static_cast<std::size_t>(i)]; }

  int Add(void* p);                // returns the new index
  void Insert(int i, void* p);     // p ends up at index i
  void Delete(int i);
  void Exchange(int i, int j);
  int Find(const void* p) const;   // first index holding p, or -1
  int IndexOf(const void* p) const { return Find(p); }
  int Remove(const void* p);       // index removed, or -1
  void* Last() const { return items_.empty() ? nullptr : items_.back(); }
  void Clear() { items_.clear(); items_.shrink_to_fit(); }

 private:
  std::vector<void*> items_;
};

// An ordered list of strings it owns. Each item is allocated on its own, so
// a reference to an item stays valid while other items are added, inserted
// or deleted: a caller may keep a reference to an item across Add.
class TStringList {
 public:
  TStringList() = default;
  TStringList(const TStringList& o) { *this = o; }
  TStringList& operator=(const TStringList& o);
  TStringList(TStringList&&) noexcept = default;
  TStringList& operator=(TStringList&&) noexcept = default;

  int Count() const { return static_cast<int>(items_.size()); }
  AnsiString& Strings(int i) { return *items_[static_cast<std::size_t>(i)]; }
  const AnsiString& Strings(int i) const { return *items_[static_cast<std::size_t>(i)]; }
  AnsiString& operator[](int i) { return Strings(i); }
  const AnsiString& operator[](int i) const { return Strings(i); }

  int Add(const AnsiString& s);             // returns the new index
  void Insert(int i, const AnsiString& s);  // s ends up at index i
  void Delete(int i);
  void Exchange(int i, int j);
  int IndexOf(const AnsiString& s) const;  // byte-exact, or -1
  void Clear() { items_.clear(); }

  // Every item followed by a line feed, the last one too.
  AnsiString Text() const { return _Text('\n'); }
  // Items joined by ",", nothing after the last; no quoting.
  AnsiString CommaText() const { return _Text(','); }
  // Every item followed by c, except that with c == ',' the last has none.
  AnsiString DelimitedText(char c) const { return _Text(c); }
  AnsiString _Text(char c) const;
  // Clears the list and splits text at c. With c == CR the step after a
  // delimiter is 2, so a CR LF pair separates two items; a text that ends
  // exactly after a delimiter yields a final empty item, a lone final CR
  // does not.
  void _SetText(const AnsiString& text, char c);
  // Writes each item and a line feed in text mode; false when the file
  // cannot be opened or the data did not reach it.
  bool SaveToFile(const AnsiString& path) const;

 private:
  std::vector<std::unique_ptr<AnsiString>> items_;
};

void SetStringListText(TStringList& list, const AnsiString& text);       // split at CR
void SetStringListCommaText(TStringList& list, const AnsiString& text);  // split at ","
AnsiString GetStringListText(const TStringList& list);
AnsiString GetStringListCommaText(const TStringList& list);
// Appends the lines of a text file to list (it is not cleared first).
// False with m_global_errstr "No file name" or "Cannot open file".
bool LoadFromFile(TStringList& list, const AnsiString& path);
// True when the file system reports any entry (file or folder) named path.
bool FileExists(const AnsiString& path);

struct TPoint {
  int x = 0, y = 0;
  TPoint() = default;
  TPoint(int ax, int ay) : x(ax), y(ay) {}
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  TRect() = default;
  TRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
  friend bool operator==(const TRect&, const TRect&) = default;
};

// Colours are 0x00BBGGRR.
constexpr int RGB(int r, int g, int b) { return r | g << 8 | b << 16; }
constexpr int GetRValue(int c) { return c & 255; }
constexpr int GetGValue(int c) { return (c >> 8) & 255; }
constexpr int GetBValue(int c) { return (c >> 16) & 255; }
