#include "base/globals.h"

#include <cstring>
#include <string>
#include <vector>

#include "expr/globals.h"

AnsiString m_global_errstr;

namespace {

using std::string;
constexpr std::size_t npos = string::npos;

// Without leading and trailing blanks (the space character only, as Trim).
string Trimmed(const string& s) {
  const std::size_t b = s.find_first_not_of(' ');
  if (b == npos) return string();
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

string TrimmedRight(const string& s) {
  const std::size_t e = s.find_last_not_of(' ');
  return e == npos ? string() : s.substr(0, e + 1);
}

// --- CSV field scanning.

// 0-based positions of the characters that end a field. One parenthesis
// depth runs over the whole text: a "," separates only at depth 0, a TAB
// at any depth; a "{" group runs to the next "}" (or the end) and hides
// everything inside it, parentheses and separators alike.
std::vector<std::size_t> FieldSeparators(const string& s) {
  std::vector<std::size_t> seps;
  int depth = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '{') {
      const std::size_t close = s.find('}', i + 1);
      if (close == npos) break;
      i = close;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      --depth;  // a stray ")" is not corrected: what follows stays nested
    } else if (c == '\t' || (c == ',' && depth == 0)) {
      seps.push_back(i);
    }
  }
  return seps;
}

// Appends "," (unless csv is empty), then "name=" (unless name is empty).
void AddFieldHead(AnsiString& csv, const AnsiString& name) {
  if (!csv.IsEmpty()) csv += ',';
  if (!name.IsEmpty()) {
    csv += name;
    csv += '=';
  }
}

void AddField(AnsiString& csv, const AnsiString& name, const AnsiString& value) {
  AddFieldHead(csv, name);
  csv += value;
}

// Splits at the first "=": trimmed name and trimmed value, or two empty
// texts when there is no "=".
void SplitNameValue(const string& s, string& name, string& value) {
  const std::size_t eq = s.find('=');
  if (eq == npos) {
    name.clear();
    value.clear();
    return;
  }
  name = Trimmed(s.substr(0, eq));
  value = Trimmed(s.substr(eq + 1));
}

// name[index] -> name, index; an empty pair of brackets stands for a whole
// array and reads "-100".
void SplitIndex(AnsiString& name, AnsiString& index) {
  const string& n = name.str();
  if (n.empty() || n.back() != ']') return;
  const std::size_t open = n.find('[');
  if (open == npos) return;
  string idx = n.substr(open + 1, n.size() - open - 2);
  string base = n.substr(0, open);
  index = idx.empty() ? AnsiString("-100") : AnsiString(std::move(idx));
  name = AnsiString(std::move(base));
}

bool IsPathSeparator(char c) { return c == '/' || c == '\\' || c == ':'; }

}  // namespace

// --- Writers.

void add_csv(AnsiString& csv, const AnsiString& s) {
  if (!csv.IsEmpty()) csv += ',';
  csv += s;
}

void add_csv_string(AnsiString& csv, const AnsiString& name, const AnsiString& s) {
  AddField(csv, name, s);
}

void add_csv_bool(AnsiString& csv, const AnsiString& name, bool b) {
  AddField(csv, name, b ? "1" : "0");
}

void add_csv_int(AnsiString& csv, const AnsiString& name, int i) {
  AddField(csv, name, AnsiString(std::to_string(i)));
}

void add_csv_double(AnsiString& csv, const AnsiString& name, double x) {
  AddField(csv, name, sprintf3(x, 12));
}

void add_csv_hex(AnsiString& csv, const AnsiString& name, double x) {
  AddField(csv, name, double_to_hex(x));
}

void add_csv_list(AnsiString& csv, const AnsiString& name, const AnsiString& s) {
  AddFieldHead(csv, name);
  csv += '{';
  csv += s;
  csv += '}';
}

void add_csv_offon(AnsiString& csv, const AnsiString& name, int i) {
  AddField(csv, name, i > 0 ? "On" : "Off");
}

void add_csv_text(AnsiString& csv, const AnsiString& name, const TStringList& texts,
                  int selection) {
  // A selection outside the list of texts writes an empty value, which
  // reads back as "not given" rather than as some other choice.
  const bool valid = selection >= 0 && selection < texts.Count();
  AddField(csv, name, valid ? texts[selection] : AnsiString());
}

// --- Readers.

AnsiString get_csv(const AnsiString& csv, int i) {
  const string& s = csv.str();
  const std::vector<std::size_t> seps = FieldSeparators(s);
  std::size_t k = i < 0 ? 0 : static_cast<std::size_t>(i);
  if (k > seps.size()) k = seps.size();  // past the end: the last field
  const std::size_t from = k == 0 ? 0 : seps[k - 1] + 1;
  const std::size_t to = k < seps.size() ? seps[k] : s.size();
  return AnsiString(s.substr(from, to - from));
}

int get_csv_count(const AnsiString& csv) {
  const string t = Trimmed(csv.str());
  if (t.empty()) return 0;
  return 1 + static_cast<int>(FieldSeparators(t).size());
}

AnsiString get_csv_string(const AnsiString& csv, const AnsiString& name) {
  const string& s = csv.str();
  const std::vector<std::size_t> seps = FieldSeparators(s);
  std::size_t from = 0;
  string field_name, field_value;
  for (std::size_t k = 0; k <= seps.size(); ++k) {
    const std::size_t to = k < seps.size() ? seps[k] : s.size();
    SplitNameValue(s.substr(from, to - from), field_name, field_value);
    if (field_name == name.str()) return AnsiString(std::move(field_value));
    from = to + 1;
  }
  return AnsiString();
}

bool get_csv_bool(const AnsiString& csv, const AnsiString& name, bool def) {
  const AnsiString v = get_csv_string(csv, name);
  if (v.IsEmpty()) return def;
  return v[1] != '0';
}

int get_csv_int(const AnsiString& csv, const AnsiString& name, int def) {
  const AnsiString v = get_csv_string(csv, name);
  if (v.IsEmpty()) return def;
  return v.ToIntDef(def);
}

double get_csv_double(const AnsiString& csv, const AnsiString& name, double def) {
  const AnsiString v = get_csv_string(csv, name);
  if (v.IsEmpty()) return def;
  // A value that is not a number reads as not given: the default, rather
  // than a zero that would look like a real setting.
  double x = def;
  return indig(v, &x) ? x : def;
}

double get_csv_hex(const AnsiString& csv, const AnsiString& name, double def) {
  const AnsiString v = get_csv_string(csv, name);
  if (v.IsEmpty()) return def;
  return hex_to_double(v);
}

AnsiString get_csv_list(const AnsiString& csv, const AnsiString& name, const AnsiString& def) {
  const AnsiString v = get_csv_string(csv, name);
  if (v.IsEmpty()) return def;
  // The braces are not checked: the first and last characters are dropped.
  const string& t = v.str();
  return t.size() <= 2 ? AnsiString() : AnsiString(t.substr(1, t.size() - 2));
}

// --- Bit-exact text of a double.

AnsiString double_to_hex(double x) {
  if (x == 0.0) return AnsiString("0");  // -0 too: the sign of zero is not kept
  unsigned char bytes[sizeof(double)];
  std::memcpy(bytes, &x, sizeof bytes);
  char text[1 + 2 * sizeof bytes + 1] = "#";
  bin_to_hex(bytes, text + 1, static_cast<int>(sizeof bytes));
  return AnsiString(text);
}

double hex_to_double(const AnsiString& s) {
  if (s.IsEmpty() || s[1] != '#') return 0.0;
  // Bytes before the first non-hex digit are kept, the rest stay zero; a
  // lone last digit is no byte.
  unsigned char bytes[sizeof(double)] = {};
  hex_to_bin(s.c_str() + 1, bytes, static_cast<int>(2 * sizeof bytes));
  double x;
  std::memcpy(&x, bytes, sizeof x);
  return x;
}

// --- Splitting names and statements.

void parse_name_value(const AnsiString& s, AnsiString& name, AnsiString& value) {
  string n, v;
  SplitNameValue(s.str(), n, v);
  name = AnsiString(std::move(n));
  value = AnsiString(std::move(v));
}

void parse_name(const AnsiString& s, AnsiString& first, AnsiString& rest) {
  const string t = s.str();  // a copy: s may be one of the outputs
  first = AnsiString();
  rest = AnsiString();
  if (!t.empty() && t[0] == '"') {
    // "a.b".c: the quotes let a first part hold dots; the character after
    // the closing quote is the separating dot and is skipped.
    const std::size_t close = t.find('"', 1);
    if (close == npos) return;
    first = AnsiString(t.substr(1, close - 1));
    if (close + 2 < t.size()) rest = AnsiString(t.substr(close + 2));
    return;
  }
  const std::size_t dot = t.find('.');
  if (dot == npos) {
    first = AnsiString(t);
    return;
  }
  first = AnsiString(t.substr(0, dot));
  rest = AnsiString(t.substr(dot + 1));
}

int find_equal_sign(const AnsiString& s, AnsiString& name, AnsiString& value,
                    AnsiString& index) {
  const string t = s.str();  // a copy: s may be one of the outputs
  name = AnsiString(t);
  value = AnsiString();
  index = AnsiString();
  const std::size_t eq = t.find('=');
  if (eq == npos) {
    // Not an assignment, but a bare x[i] still names an array element.
    SplitIndex(name, index);
    return 0;
  }
  if (eq == 0) return 0;
  if (eq + 1 < t.size() && t[eq + 1] == '=') return 0;  // ==
  // The operator codes are those of the formula language's assignments.
  int code = 20;
  std::size_t op_len = 1;
  const char before = t[eq - 1];
  const char twice = eq >= 2 ? t[eq - 2] : '\0';
  switch (before) {
    case '!': return 0;
    case '<':
      if (twice != '<') return 0;  // a comparison
      code = 27;
      op_len = 3;
      break;
    case '>':
      if (twice != '>') return 0;
      code = 26;
      op_len = 3;
      break;
    case '|': code = 17; op_len = 2; break;
    case '^': code = 18; op_len = 2; break;
    case '&': code = 19; op_len = 2; break;
    case '+': code = 28; op_len = 2; break;
    case '-': code = 29; op_len = 2; break;
    case '*': code = 30; op_len = 2; break;
    case '/': code = 31; op_len = 2; break;
    case '%': code = 32; op_len = 2; break;
    default: break;
  }
  name = AnsiString(Trimmed(t.substr(0, eq + 1 - op_len)));
  value = AnsiString(Trimmed(t.substr(eq + 1)));
  // A quoted text is assigned whole, whatever the operator was.
  if (eq + 1 < t.size() && t[eq + 1] == '"') return 20;
  SplitIndex(name, index);
  return code;
}

AnsiString find_name(const AnsiString& s, int from, int* pos) {
  if (pos) *pos = from;
  const string& t = s.str();
  const std::size_t n = t.size();
  const auto name_char = [](char c) {
    return is_letter(c) || is_digit(c) || c == '_' || c == '.';
  };
  std::size_t i = from < 1 ? 0 : static_cast<std::size_t>(from - 1);
  while (i < n) {
    const char c = t[i];
    if (is_letter(c) || c == '_' || c == '"') {
      const std::size_t start = i;
      if (c == '"') {
        // A quoted part keeps its quotes; an unclosed one runs to the end.
        const std::size_t close = t.find('"', i + 1);
        i = close == npos ? n : close + 1;
      } else {
        ++i;
      }
      while (i < n && name_char(t[i])) ++i;
      if (i < n && t[i] == '(') continue;  // a function name: not wanted
      if (pos) *pos = static_cast<int>(start) + 1;
      return AnsiString(t.substr(start, i - start));
    }
    if (is_digit(c) || c == '.') {
      // A number with its engineering suffix (10k, 2meg) and exponent
      // (1e-3): the letters in it are not names.
      for (++i; i < n; ++i) {
        const char d = t[i];
        if (is_digit(d) || d == '.' || is_letter(d)) continue;
        if ((d == '+' || d == '-') && (t[i - 1] == 'e' || t[i - 1] == 'E')) continue;
        break;
      }
      continue;
    }
    ++i;
  }
  return AnsiString();
}

AnsiString extract_cmd(AnsiString& s, bool flag) {
  s = s.Trim();
  const string& t = s.str();
  if (!flag && !t.empty() && t[0] == '"') {
    const std::size_t close = t.find('"', 1);
    return AnsiString(close == npos ? t.substr(1) : t.substr(1, close - 1));
  }
  return AnsiString(t.substr(0, t.find_first_of(" =,")));
}

void parse_params(const AnsiString& s, TStringList& list) {
  const string t = Trimmed(s.str());  // a copy: s may be an item of list
  list.Clear();
  const std::size_t n = t.size();
  std::size_t i = 0;
  for (;;) {
    while (i < n && (t[i] == ' ' || t[i] == ',')) ++i;
    if (i >= n) break;
    if (t[i] == '"') {
      const std::size_t close = t.find('"', i + 1);
      if (close == npos) {
        list.Add(AnsiString(t.substr(i + 1)));
        break;
      }
      list.Add(AnsiString(t.substr(i + 1, close - i - 1)));
      i = close + 1;
      continue;
    }
    const std::size_t start = i;
    int depth = 0;
    for (; i < n; ++i) {
      const char c = t[i];
      if (c == '(') {
        ++depth;
      } else if (c == ')') {
        if (depth > 0) --depth;
      } else if ((c == ',' || c == '\t') && depth == 0) {
        break;
      } else if (c == '=') {
        // Comparisons stay inside the item; only an assignment splits it.
        if (i + 1 < n && t[i + 1] == '=') {
          ++i;
          continue;
        }
        if (i > start && std::strchr("<>!", t[i - 1]) != nullptr) continue;
        break;
      }
    }
    // Blanks inside an item stay; those just before its separator (R = 5)
    // belong to the layout, not to the item.
    list.Add(AnsiString(TrimmedRight(t.substr(start, i - start))));
    if (i < n) ++i;  // past the separator
  }
}

int skip_spaces(const AnsiString& s, int from, int to) {
  if (from > to) return from;
  for (int i = from; i <= to; ++i) {
    // A position outside the text holds no blank.
    if (i < 1 || i > s.Length() || s[i] != ' ') return i;
  }
  return to + 1;
}

void remove_cr_lf_tab(AnsiString& s) {
  for (char& c : s.str())
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
}

AnsiString get_line_number(const AnsiString& text, int pos, int* line) {
  if (line) *line = 0;
  if (pos < 1) return AnsiString();
  TStringList lines;
  SetStringListText(lines, text);
  // Every line is counted with the CR LF that ended it in the source text.
  long long total = 0;
  for (int k = 0; k < lines.Count(); ++k) {
    total += lines[k].Length() + 2;
    if (total >= pos) {
      if (line) *line = k + 1;
      return lines[k];
    }
  }
  return AnsiString();
}

// --- File names.

AnsiString extract_file_path(const AnsiString& f) {
  const string& t = f.str();
  const std::size_t sep = t.find_last_of("/\\:");
  return sep == npos ? AnsiString() : AnsiString(t.substr(0, sep + 1));
}

AnsiString extract_file_ext(const AnsiString& f) {
  const string& t = f.str();
  const std::size_t dot = t.rfind('.');
  if (dot == npos) return AnsiString();
  for (std::size_t i = dot + 1; i < t.size(); ++i)
    if (IsPathSeparator(t[i])) return AnsiString();  // the dot names a folder
  return AnsiString(t.substr(dot));
}

AnsiString change_file_ext(const AnsiString& f, const AnsiString& ext) {
  string r = f.str();
  if (!r.empty() && r.back() == '.') {
    r.pop_back();
    r = Trimmed(r);
  }
  if (!ext.IsEmpty()) {
    if (ext[1] != '.') r += '.';
    r += ext.str();
  }
  return AnsiString(std::move(r));
}

// --- Escaping of free text.

AnsiString StrToSafe(const AnsiString& s) {
  static const char kHex[] = "0123456789abcdef";
  string out;
  out.reserve(s.str().size());
  for (unsigned char c : s.str()) {
    if (c == ' ') {
      out += '+';
    } else if (is_letter(static_cast<char>(c)) || is_digit(static_cast<char>(c)) ||
               (c != 0 && std::strchr("!'()*-._~", c) != nullptr)) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return AnsiString(std::move(out));
}

AnsiString StrFromSafe(const AnsiString& s) {
  const string& in = s.str();
  string out;
  out.reserve(in.size());
  for (std::size_t i = 0; i < in.size(); ++i) {
    const char c = in[i];
    if (c == '+') {
      out += ' ';
    } else if (c == '%' && i + 2 < in.size() && hex_to_val(in[i + 1]) >= 0 &&
               hex_to_val(in[i + 2]) >= 0) {
      out += static_cast<char>(hex_to_val(in[i + 1]) << 4 | hex_to_val(in[i + 2]));
      i += 2;
    } else {
      out += c;
    }
  }
  return AnsiString(std::move(out));
}
