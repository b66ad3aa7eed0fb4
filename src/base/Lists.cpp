#include "base/Lists.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sys/stat.h>

#include "base/globals.h"

int TList::Add(void* p) {
  items_.push_back(p);
  return Count() - 1;
}

void TList::Insert(int i, void* p) {
  items_.insert(items_.begin() + i, p);
}

void TList::Delete(int i) { items_.erase(items_.begin() + i); }

void TList::Exchange(int i, int j) {
  std::swap(items_[static_cast<std::size_t>(i)], items_[static_cast<std::size_t>(j)]);
}

int TList::Find(const void* p) const {
  auto it = std::find(items_.begin(), items_.end(), p);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

int TList::Remove(const void* p) {
  const int i = Find(p);
  if (i >= 0) Delete(i);
  return i;
}

TStringList& TStringList::operator=(const TStringList& o) {
  if (this == &o) return *this;
  std::vector<std::unique_ptr<AnsiString>> copy;
  copy.reserve(o.items_.size());
  for (const auto& p : o.items_) copy.push_back(std::make_unique<AnsiString>(*p));
  items_ = std::move(copy);
  return *this;
}

int TStringList::Add(const AnsiString& s) {
  items_.push_back(std::make_unique<AnsiString>(s));
  return Count() - 1;
}

void TStringList::Insert(int i, const AnsiString& s) {
  items_.insert(items_.begin() + i, std::make_unique<AnsiString>(s));
}

void TStringList::Delete(int i) { items_.erase(items_.begin() + i); }

void TStringList::Exchange(int i, int j) {
  std::swap(items_[static_cast<std::size_t>(i)], items_[static_cast<std::size_t>(j)]);
}

int TStringList::IndexOf(const AnsiString& s) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (*items_[i] == s) return static_cast<int>(i);
  return -1;
}

AnsiString TStringList::_Text(char c) const {
  std::string out;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    out += items_[i]->str();
    if (c != ',' || i + 1 < items_.size()) out += c;
  }
  return AnsiString(std::move(out));
}

void TStringList::_SetText(const AnsiString& text, char c) {
  // A copy: text may be one of this list's own items, freed by the clear.
  const std::string s = text.str();
  items_.clear();
  const std::size_t n = s.size();
  if (n == 0) return;
  // A CR is taken as the first half of CR LF: the byte after it is skipped.
  const std::size_t step = c == '\r' ? 2 : 1;
  std::size_t pos = 0;
  for (;;) {
    const std::size_t at = s.find(c, pos);
    if (at == std::string::npos) {
      Add(AnsiString(s.substr(pos)));
      return;
    }
    Add(AnsiString(s.substr(pos, at - pos)));
    pos = at + step;
    if (pos == n) {  // the text ends on a delimiter: one more, empty item
      Add(AnsiString());
      return;
    }
    if (pos > n) return;  // a lone CR as the last byte
  }
}

namespace {
struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;
}  // namespace

bool TStringList::SaveToFile(const AnsiString& path) const {
  FilePtr f(std::fopen(path.c_str(), "wt"));
  if (!f) return false;
  bool ok = true;
  // A failed write (full disk) is reported like a failed open: a caller
  // saving data must not be told it is safe when it is not.
  for (const auto& p : items_) {
    const AnsiString& s = *p;
    if (std::fwrite(s.c_str(), 1, s.str().size(), f.get()) != s.str().size() ||
        std::fputc('\n', f.get()) == EOF)
      ok = false;
  }
  return std::fclose(f.release()) == 0 && ok;
}

void SetStringListText(TStringList& list, const AnsiString& text) { list._SetText(text, '\r'); }
void SetStringListCommaText(TStringList& list, const AnsiString& text) { list._SetText(text, ','); }
AnsiString GetStringListText(const TStringList& list) { return list.Text(); }
AnsiString GetStringListCommaText(const TStringList& list) { return list.CommaText(); }

bool LoadFromFile(TStringList& list, const AnsiString& path) {
  if (path.IsEmpty()) {
    m_global_errstr = "No file name";
    return false;
  }
  FilePtr f(std::fopen(path.c_str(), "rt"));
  if (!f) {
    m_global_errstr = "Cannot open file";
    return false;
  }
  // One read takes at most kRead characters. A shorter read ends a line; a
  // full one is a piece of a longer line, continued by the next read.
  constexpr int kRead = 32768;
  std::string buf(kRead + 1, '\0');
  std::string line;
  bool pending = false;  // a long line is being assembled
  while (std::fgets(buf.data(), kRead + 1, f.get())) {
    // fgets does not say how much it read; a zero byte inside a line ends
    // the text taken from it.
    std::size_t len = std::char_traits<char>::length(buf.data());
    const bool broke = len > 0 && (buf[len - 1] == '\n' || buf[len - 1] == '\r');
    if (len < static_cast<std::size_t>(kRead)) {
      if (broke) --len;  // only one: a CR LF line keeps its CR
      line.append(buf.data(), len);
      list.Add(AnsiString(line));
      line.clear();
      pending = false;
    } else {
      while (len > 0 && (buf[len - 1] == '\n' || buf[len - 1] == '\r')) --len;
      line.append(buf.data(), len);
      pending = !broke;
      if (broke) {
        list.Add(AnsiString(line));
        line.clear();
      }
    }
  }
  // A long line that reached the end of the file without a break is kept.
  if (pending) list.Add(AnsiString(line));
  return true;
}

bool FileExists(const AnsiString& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}
