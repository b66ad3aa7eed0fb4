// Trace references inside trace expressions, and the order in which the
// traces of a collection are recorded: a formula trace after every trace
// its formula reads.

#include <string>

#include "circuit/Cmps.h"
#include "expr/globals.h"
#include "traces/Trace.h"
#include "traces/Traces.h"

namespace {

bool IsNameStart(char c) { return is_letter(c) || c == '_'; }
bool IsNameChar(char c) { return is_letter(c) || is_digit(c) || c == '_' || c == '.'; }

}  // namespace

AnsiString CTrace::find_trace_name(const AnsiString& text, int start, int* pos,
                                   bool* bracketed) {
  *pos = 0;
  *bracketed = false;
  const int len = text.Length();
  int i = start < 1 ? 1 : start;
  while (i <= len) {
    const char c = text[i];
    if (c == '"') {
      int close = i + 1;
      while (close <= len && text[close] != '"') ++close;
      if (close > len) close = len;  // unterminated: the rest of the text
      *pos = i;
      return text.SubString(i, close - i + 1);
    }
    if (is_digit(c) || c == '.') {
      // A number is passed over the way the formula reader takes it: digits,
      // points and letters (scale letters, hexadecimal digits, suffixes), and
      // a sign right after an exponent letter. So the "k" of 1k is no name.
      ++i;
      while (i <= len) {
        const char d = text[i];
        const char prev = text[i - 1];
        if (is_digit(d) || d == '.' || is_letter(d) ||
            ((d == '+' || d == '-') && (prev == 'e' || prev == 'E')))
          ++i;
        else
          break;
      }
      continue;
    }
    if (IsNameStart(c)) {
      int end = i;
      while (end <= len && IsNameChar(text[end])) ++end;
      *pos = i;
      const bool quantity = end == i + 1 && (c == 'V' || c == 'v' || c == 'I' || c == 'i' ||
                                             c == 'P' || c == 'p');
      if (quantity && end <= len && text[end] == '(') {
        int close = end;
        while (close <= len && text[close] != ')') ++close;
        if (close > len) close = len;
        *bracketed = true;
        return text.SubString(i, close - i + 1);
      }
      return text.SubString(i, end - i);
    }
    ++i;
  }
  return AnsiString();
}

void CTrace::CreateTraceRecalcDependence() {
  const int n = traces_ != nullptr ? traces_->Count() : 0;
  deps_.assign(static_cast<std::size_t>(n), 0);
  prepared_ = expr_;
  if ((type_ != TT_FUNCTION && type_ != TT_MATH) || cmp_ != nullptr || n == 0) return;

  std::string out;
  int copied = 1;  // expr_ is copied to out up to here (exclusive)
  int from = 1;
  for (;;) {
    int pos = 0;
    bool bracketed = false;
    const AnsiString name = find_trace_name(expr_, from, &pos, &bracketed);
    if (name.IsEmpty()) break;
    from = pos + name.Length();
    AnsiString key = name;
    if (key[1] == '"') key = key.SubString(2, key.Length() - (key[key.Length()] == '"' ? 2 : 1));
    if (key.IsEmpty()) continue;
    int match = -1;
    for (int j = 0; j < n && match < 0; ++j) {
      const CTrace* other = traces_->GetAt(j);
      if (other == this) continue;
      // A Math trace is named by what it was called, not by its
      // "<function> of <source>" text.
      const AnsiString other_name = other->type_ == TT_MATH ? other->name_ : other->GetTraceName();
      if (!other_name.IsEmpty() && CompareNames(other_name, key) == 0) match = j;
    }
    if (match < 0) continue;
    deps_[static_cast<std::size_t>(match)] = 1;
    out += expr_.SubString(copied, pos - copied).str();
    // Appended piece by piece: g++ 12 warns wrongly about "{" + string.
    out += '{';
    out += std::to_string(match);
    out += '}';
    copied = from;
  }
  if (copied > 1) {
    out += expr_.SubString(copied, expr_.Length() - copied + 1).str();
    prepared_ = AnsiString(std::move(out));
  }
}

bool CTrace::GetTraceCalculationOrder(CTrace* root, int& counter) {
  if (calc_order_ >= 0) return true;
  if (visiting_) return false;  // met again while its own dependencies are ordered
  visiting_ = true;
  for (std::size_t j = 0; j < deps_.size(); ++j) {
    if (!deps_[j]) continue;
    CTrace* dep = traces_->GetAt(static_cast<int>(j));
    if (dep == nullptr) continue;
    if (dep == root || !dep->GetTraceCalculationOrder(root, counter)) return false;
  }
  visiting_ = false;
  calc_order_ = counter++;
  return true;
}
