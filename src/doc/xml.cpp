#include "doc/xml.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/CLocale.h"
#include "base/globals.h"
#include "expr/Formula.h"
#include "expr/globals.h"

namespace {
constexpr const char* kWrongFormat = " : wrong file format";
// Format names by CFormula::Format code.
constexpr const char* kFormats[] = {"double", "int", "bin", "oct", "hex"};
constexpr int kFormatCount = 5;

AnsiString IntText(int x) {
  char buf[16];
  snprintf_c(buf, sizeof buf, "%d", x);
  return AnsiString(buf);
}
}  // namespace

CXMLNode::CXMLNode() = default;

CXMLNode::CXMLNode(const AnsiString& name) : name_(name) {}

CXMLNode::~CXMLNode() { DestroyChildren(); }

// Frees the subtree without recursion: a file can nest elements far deeper
// than the stack would allow a recursive destructor to go.
void CXMLNode::DestroyChildren() {
  std::vector<std::unique_ptr<CXMLNode>> doomed;
  doomed.swap(children_);
  while (!doomed.empty()) {
    std::unique_ptr<CXMLNode> n = std::move(doomed.back());
    doomed.pop_back();
    for (auto& c : n->children_) doomed.push_back(std::move(c));
    n->children_.clear();
  }  // each n dies childless
}

// --- Structure ----------------------------------------------------------

CXMLNode* CXMLNode::CreateNode(const AnsiString& name) {
  children_.push_back(std::make_unique<CXMLNode>(name));
  CXMLNode* child = children_.back().get();
  child->store_ = store_;
  return child;
}

CXMLNode* CXMLNode::GetNode(int index) {
  if (index < 0 || index >= NodeCount()) return nullptr;
  CXMLNode* child = children_[static_cast<std::size_t>(index)].get();
  child->store_ = store_;
  return child;
}

CXMLNode* CXMLNode::GetNode(const AnsiString& name, int start) {
  search_name_ = name;
  for (int i = start < 0 ? 0 : start; i < NodeCount(); ++i) {
    CXMLNode* child = children_[static_cast<std::size_t>(i)].get();
    if (name.IsEmpty() || child->name_ == name) {
      search_index_ = i;
      return child;
    }
  }
  // Past the end, so that further GetNextNode calls keep finding nothing.
  search_index_ = NodeCount();
  return nullptr;
}

CXMLNode* CXMLNode::GetNextNode() {
  const AnsiString name = search_name_;
  return GetNode(name, search_index_ + 1);
}

CXMLNode* CXMLNode::Node(const AnsiString& name) {
  return store_ ? CreateNode(name) : GetNode(name, 0);
}

void CXMLNode::DeleteNode(int index) {
  if (index < 0 || index >= NodeCount()) return;
  std::unique_ptr<CXMLNode> doomed = std::move(children_[static_cast<std::size_t>(index)]);
  children_.erase(children_.begin() + index);
}

bool CXMLNode::Contains(const CXMLNode* node) const {
  std::vector<const CXMLNode*> todo{this};
  while (!todo.empty()) {
    const CXMLNode* n = todo.back();
    todo.pop_back();
    if (n == node) return true;
    for (const auto& c : n->children_) todo.push_back(c.get());
  }
  return false;
}

bool CXMLNode::MoveNode(CXMLNode* from, CXMLNode* to) {
  if (from == nullptr || to == nullptr || Contains(to)) return false;
  for (std::size_t i = 0; i < from->children_.size(); ++i) {
    if (from->children_[i].get() != this) continue;
    std::unique_ptr<CXMLNode> self = std::move(from->children_[i]);
    from->children_.erase(from->children_.begin() + static_cast<std::ptrdiff_t>(i));
    to->children_.push_back(std::move(self));
    return true;
  }
  return false;
}

void CXMLNode::ClearNode() {
  DestroyChildren();
  attributes_.clear();
  data_ = AnsiString();
  store_ = true;
}

int CXMLNode::FindNode(const AnsiString& text, const AnsiString& name) {
  const int p = text.Pos("<" + name + ">");
  return p != 0 ? p : text.Pos("<" + name + " ");
}

// --- Attributes ---------------------------------------------------------

const AnsiString* CXMLNode::FindValue(const AnsiString& name) const {
  for (const auto& a : attributes_)
    if (a.first == name) return &a.second;
  return nullptr;
}

void CXMLNode::CreateAttribute(const AnsiString& name, const AnsiString& value) {
  attributes_.emplace_back(name, value);
}

void CXMLNode::SetAttribute(const AnsiString& name, const AnsiString& value) {
  for (auto& a : attributes_) {
    if (a.first == name) {
      a.second = value;
      return;
    }
  }
  CreateAttribute(name, value);
}

AnsiString CXMLNode::GetAttribute(const AnsiString& name, const AnsiString& def) const {
  const AnsiString* v = FindValue(name);
  return v != nullptr ? *v : def;
}

AnsiString CXMLNode::Attribute(const AnsiString& name, const AnsiString& value) {
  if (!store_) return GetAttribute(name, value);
  CreateAttribute(name, value);
  return value;
}

bool CXMLNode::AttributeExists(const AnsiString& name) const { return FindValue(name) != nullptr; }

bool CXMLNode::GetAttribute(int i, AnsiString* name, AnsiString* value) const {
  const bool in = i >= 0 && i < AttributeCount();
  if (name) *name = in ? attributes_[static_cast<std::size_t>(i)].first : AnsiString();
  if (value) *value = in ? attributes_[static_cast<std::size_t>(i)].second : AnsiString();
  return in;
}

void CXMLNode::DeleteAttribute(int i) {
  if (i < 0 || i >= AttributeCount()) return;
  attributes_.erase(attributes_.begin() + i);
}

void CXMLNode::RenameAttribute(const AnsiString& old_name, const AnsiString& new_name) {
  for (auto& a : attributes_) {
    if (a.first == old_name) {
      a.first = new_name;
      return;
    }
  }
}

// Int.
void CXMLNode::CreateAttributeInt(const AnsiString& name, int value) {
  CreateAttribute(name, IntText(value));
}

void CXMLNode::SetAttributeInt(const AnsiString& name, int value) {
  SetAttribute(name, IntText(value));
}

int CXMLNode::GetAttributeInt(const AnsiString& name, int def) const {
  const AnsiString* v = FindValue(name);
  if (v == nullptr || v->IsEmpty()) return def;
  // strtol, not "%d": digits stop at the first non-digit and a text without
  // any reads as 0. Out-of-range numbers saturate at the int limits.
  const long x = std::strtol(v->c_str(), nullptr, 10);
  if (x > INT_MAX) return INT_MAX;
  if (x < INT_MIN) return INT_MIN;
  return static_cast<int>(x);
}

int CXMLNode::AttributeInt(const AnsiString& name, int value) {
  if (!store_) return GetAttributeInt(name, value);
  CreateAttributeInt(name, value);
  return value;
}

// Bool.
void CXMLNode::CreateAttributeBool(const AnsiString& name, bool value) {
  CreateAttribute(name, value ? "true" : "false");
}

void CXMLNode::SetAttributeBool(const AnsiString& name, bool value) {
  SetAttribute(name, value ? "true" : "false");
}

bool CXMLNode::GetAttributeBool(const AnsiString& name, bool def) const {
  const AnsiString* v = FindValue(name);
  if (v == nullptr || v->IsEmpty()) return def;
  return *v == "true";
}

bool CXMLNode::AttributeBool(const AnsiString& name, bool value) {
  if (!store_) return GetAttributeBool(name, value);
  CreateAttributeBool(name, value);
  return value;
}

// Double.
void CXMLNode::CreateAttributeDouble(const AnsiString& name, double value) {
  CreateAttribute(name, sprintf3(value, 12));
}

void CXMLNode::SetAttributeDouble(const AnsiString& name, double value) {
  SetAttribute(name, sprintf3(value, 12));
}

double CXMLNode::GetAttributeDouble(const AnsiString& name, double def) const {
  const AnsiString* v = FindValue(name);
  if (v == nullptr || v->IsEmpty()) return def;
  // Anything from "(" on is a comment such as a unit.
  const int paren = v->Pos("(");
  return ToDouble(paren != 0 ? v->SubString(1, paren - 1) : *v);
}

double CXMLNode::AttributeDouble(const AnsiString& name, double value) {
  if (!store_) return GetAttributeDouble(name, value);
  CreateAttributeDouble(name, value);
  return value;
}

// Colour.
int CXMLNode::AttributeColor(const AnsiString& name, int color) {
  if (store_) {
    char buf[48];
    snprintf_c(buf, sizeof buf, "%d,%d,%d", GetRValue(color), GetGValue(color),
               GetBValue(color));
    CreateAttribute(name, buf);
    return color;
  }
  const AnsiString* v = FindValue(name);
  if (v == nullptr || v->IsEmpty()) return color;
  // Components missing from the text read as 0. Each one is cut to its
  // byte so that a component out of 0..255 cannot spill into its neighbour.
  int r = 0, g = 0, b = 0;
  std::sscanf(v->c_str(), "%d,%d,%d", &r, &g, &b);
  return RGB(r & 255, g & 255, b & 255);
}

// Point.
void CXMLNode::CreateAttributePoint(const AnsiString& name, const TPoint& point) {
  char buf[32];
  snprintf_c(buf, sizeof buf, "%d,%d", point.x, point.y);
  CreateAttribute(name, buf);
}

void CXMLNode::GetAttributePoint(const AnsiString& name, TPoint& point) const {
  const AnsiString* v = FindValue(name);
  if (v == nullptr || v->IsEmpty()) return;
  // A coordinate the text does not hold stays as it was.
  std::sscanf(v->c_str(), "%d,%d", &point.x, &point.y);
}

void CXMLNode::AttributePoint(const AnsiString& name, TPoint& point) {
  if (store_)
    CreateAttributePoint(name, point);
  else
    GetAttributePoint(name, point);
}

// Safe.
void CXMLNode::CreateAttributeSafe(const AnsiString& name, const AnsiString& value) {
  CreateAttribute(name, StrToSafe(value));
}

void CXMLNode::SetAttributeSafe(const AnsiString& name, const AnsiString& value) {
  SetAttribute(name, StrToSafe(value));
}

AnsiString CXMLNode::GetAttributeSafe(const AnsiString& name, const AnsiString& def) const {
  const AnsiString* v = FindValue(name);
  return v != nullptr ? StrFromSafe(*v) : def;
}

AnsiString CXMLNode::AttributeSafe(const AnsiString& name, const AnsiString& value) {
  if (!store_) return GetAttributeSafe(name, value);
  CreateAttributeSafe(name, value);
  return value;
}

AnsiString CXMLNode::NodeSafe(const AnsiString& name, const AnsiString& value) {
  CXMLNode* n = Node(name);
  return n != nullptr ? n->AttributeSafe("v", value) : value;
}

// --- Text content -------------------------------------------------------

AnsiString CXMLNode::Data(const AnsiString& text) {
  if (!store_) return data_;
  data_ = text;
  return text;
}

AnsiString CXMLNode::NodeData(const AnsiString& name, const AnsiString& text) {
  CXMLNode* n = Node(name);
  return n != nullptr ? n->Data(text) : text;
}

void CXMLNode::CreateDataSafe(const AnsiString& text) { data_ = StrToSafe(text); }

AnsiString CXMLNode::GetDataSafe() const { return StrFromSafe(data_); }

AnsiString CXMLNode::DataSafe(const AnsiString& text) {
  if (!store_) return GetDataSafe();
  CreateDataSafe(text);
  return text;
}

AnsiString CXMLNode::NodeDataSafe(const AnsiString& name, const AnsiString& text) {
  CXMLNode* n = Node(name);
  return n != nullptr ? n->DataSafe(text) : text;
}

// --- Formula ------------------------------------------------------------

void CXMLNode::SerializeFormula(const AnsiString& name, CFormula& formula) {
  const AnsiString text_name = name + "_str";
  const AnsiString format_name = name + "_format";
  const AnsiString bits_name = name + "_bit";
  if (store_) {
    if (!formula.Text().IsEmpty()) CreateAttributeSafe(text_name, formula.Text());
    CreateAttributeDouble(name, formula.Value());
    const int format = formula.GetFormat();
    if (format > 0 && format < kFormatCount) CreateAttribute(format_name, kFormats[format]);
    if (formula.Bits() != 32) CreateAttributeInt(bits_name, formula.Bits());
    return;
  }
  // An empty formula stays empty (NaN) unless a value is stored; any other
  // keeps its present value.
  const double def = formula.IsEmpty() ? std::nan("") : formula.Value();
  formula.SetText(GetAttributeSafe(text_name, AnsiString()));
  formula.SetValue(GetAttributeDouble(name, def));
  const AnsiString format = GetAttribute(format_name, "double");
  int code = 0;  // unknown names read as double
  for (int i = 0; i < kFormatCount; ++i)
    if (format == kFormats[i]) code = i;
  formula.SetFormat(code);
  formula.SetBits(GetAttributeInt(bits_name, 32));
}

// --- Errors -------------------------------------------------------------

AnsiString CXMLNode::GetNodeError() const {
  // Post-order walk with an explicit stack: children before their parent.
  struct Frame {
    const CXMLNode* node;
    std::size_t next;
  };
  std::string out;
  std::vector<Frame> stack{{this, 0}};
  while (!stack.empty()) {
    Frame& f = stack.back();
    if (f.next < f.node->children_.size()) {
      const CXMLNode* child = f.node->children_[f.next++].get();
      stack.push_back({child, 0});  // f is not used after this
      continue;
    }
    const AnsiString& e = f.node->error_;
    if (!e.IsEmpty()) {
      if (!out.empty()) out += '\n';
      out += e.str();
    }
    stack.pop_back();
  }
  return AnsiString(std::move(out));
}

void CXMLNode::ClearNodeError() {
  std::vector<CXMLNode*> todo{this};
  while (!todo.empty()) {
    CXMLNode* n = todo.back();
    todo.pop_back();
    n->error_ = AnsiString();
    for (auto& c : n->children_) todo.push_back(c.get());
  }
}

// --- Reading ------------------------------------------------------------

bool CXMLNode::ReadFromFile(const AnsiString& path) {
  store_ = false;
  m_global_errstr = AnsiString();
  TStringList lines;
  if (!LoadFromFile(lines, path)) {
    error_ = m_global_errstr;
    return false;
  }
  return ReadFromText(GetStringListText(lines), path);
}

bool CXMLNode::ReadFromText(const AnsiString& text, const AnsiString& source) {
  store_ = false;
  error_ = AnsiString();
  bool ok = false;
  if (!name_.IsEmpty()) {
    int pos = FindNode(text, name_);
    ok = pos != 0 && ExecuteNode(text, pos);
  } else {
    int pos = 1;
    ok = ExecuteNode("<top>" + text + "</top>", pos);
  }
  if (!ok) error_ = source + kWrongFormat;
  return ok;
}

// The parser walks the text once, front to back: each step searches
// forward from the present position and never goes back, so the work is
// linear in the text. Open elements are kept on an explicit stack rather
// than by recursion, so nesting depth is bounded only by memory.
bool CXMLNode::ExecuteNode(const AnsiString& text, int& pos) {
  if (pos < 1 || pos > text.Length() || text[pos] != '<') return false;
  // Parsed aside and swapped in afterwards: text may be this node's own
  // data or lie inside its subtree, which must outlive the parse.
  CXMLNode parsed;
  std::size_t p = static_cast<std::size_t>(pos - 1);
  const bool ok = parsed.ExecuteElement(text.str(), p);
  name_.str().swap(parsed.name_.str());
  data_.str().swap(parsed.data_.str());
  attributes_.swap(parsed.attributes_);
  children_.swap(parsed.children_);
  store_ = false;
  if (ok) pos = static_cast<int>(p) + 1;
  return ok;
}  // parsed takes the previous content with it

bool CXMLNode::ExecuteElement(const std::string& s, std::size_t& p) {
  std::vector<CXMLNode*> open;
  switch (ExecuteTag(s, p)) {
    case TagEnd::kError: return false;
    case TagEnd::kClosed: break;
    case TagEnd::kOpen: open.push_back(this); break;
  }
  // Body of the innermost open element: "</" ends it whatever name
  // follows; any other "<" starts a child; everything else between tags
  // (blanks, line breaks, stray text) is skipped.
  while (!open.empty()) {
    const std::size_t lt = s.find('<', p);
    if (lt == std::string::npos) return false;  // text ended before the end tag
    if (lt + 1 < s.size() && s[lt + 1] == '/') {
      const std::size_t gt = s.find('>', lt + 2);
      if (gt == std::string::npos) return false;
      p = gt + 1;
      open.pop_back();
      continue;
    }
    CXMLNode* parent = open.back();
    parent->children_.push_back(std::make_unique<CXMLNode>());
    CXMLNode* child = parent->children_.back().get();
    p = lt;
    const TagEnd end = child->ExecuteTag(s, p);
    if (end == TagEnd::kError) return false;
    if (end == TagEnd::kOpen) open.push_back(child);
  }
  return true;
}

// Start tag at s[p] == '<'. The name runs to the first blank or ">" (a tab
// or line break does not end it, so "<a/>" is an element "a/" with a
// body). kOpen leaves p at the first byte of the body after the data;
// kClosed just after the tag.
CXMLNode::TagEnd CXMLNode::ExecuteTag(const std::string& s, std::size_t& p) {
  store_ = false;
  const std::size_t from = p + 1;
  const std::size_t end = s.find_first_of(" >", from);
  if (end == std::string::npos) return TagEnd::kError;
  name_ = AnsiString(s.substr(from, end - from));
  p = end;
  if (s[p] == ' ') {
    ++p;
    const TagEnd e = ExecuteAttributes(s, p);
    if (e != TagEnd::kOpen) return e;
  }
  ++p;  // the ">" of the start tag
  // Data is the text up to the next "<", kept verbatim, unless the body
  // begins with a tag or a line break (the layout of an element with
  // children).
  if (p < s.size() && s[p] != '<' && s[p] != '\r' && s[p] != '\n') {
    const std::size_t lt = s.find('<', p);
    if (lt == std::string::npos) return TagEnd::kError;
    data_ = AnsiString(s.substr(p, lt - p));
    p = lt;
  }
  return TagEnd::kOpen;
}

// Attribute list after the blank that ends the name. kOpen leaves p at the
// closing ">", kClosed after "/" (and its ">", when one follows).
CXMLNode::TagEnd CXMLNode::ExecuteAttributes(const std::string& s, std::size_t& p) {
  for (;;) {
    const std::size_t stop = s.find_first_of("=>/", p);
    if (stop == std::string::npos) return TagEnd::kError;
    if (s[stop] == '>') {
      p = stop;
      return TagEnd::kOpen;
    }
    if (s[stop] == '/') {
      p = stop + 1;
      if (p < s.size() && s[p] == '>') ++p;
      return TagEnd::kClosed;
    }
    // The byte after "=" is taken as the opening quote without looking at
    // it; the value ends at the next double quote. Only blanks are trimmed
    // from name and value: a tab or line break joins the next name.
    const std::size_t first = stop + 2;
    if (first > s.size()) return TagEnd::kError;
    const std::size_t close = s.find('"', first);
    if (close == std::string::npos) return TagEnd::kError;
    attributes_.emplace_back(AnsiString(s.substr(p, stop - p)).Trim(),
                             AnsiString(s.substr(first, close - first)).Trim());
    p = close + 1;
  }
}

// --- Writing ------------------------------------------------------------

// "<" + name and each attribute as ` name="value"`, values as stored.
void CXMLNode::AppendStartTag(std::string& out) const {
  out += '<';
  out += name_.str();
  for (const auto& a : attributes_) {
    out += ' ';
    out += a.first.str();
    out += "=\"";
    out += a.second.str();
    out += '"';
  }
}

bool CXMLNode::WriteToFile(const AnsiString& path) const {
  TStringList list;
  list.Add("<?xml version=\"1.0\"?>");
  WriteToList(list, 0);
  return list.SaveToFile(path);
}

// An element with children spans a start-tag line, its children and an
// end-tag line (its data is not written); a leaf is one line, with its data
// between the tags or, without data, closed by " />".
void CXMLNode::WriteToList(TStringList& list, int indent) const {
  struct Frame {
    const CXMLNode* node;
    std::size_t next;
    int indent;
  };
  std::vector<Frame> stack;
  auto pad = [](int n) { return std::string(static_cast<std::size_t>(n < 0 ? 0 : n), ' '); };
  auto start = [&](const CXMLNode* n, int ind) {
    std::string line = pad(ind);
    n->AppendStartTag(line);
    if (!n->children_.empty()) {
      list.Add(AnsiString(line + ">"));
      stack.push_back({n, 0, ind});
    } else if (!n->data_.IsEmpty()) {
      list.Add(AnsiString(line + ">" + n->data_.str() + "</" + n->name_.str() + ">"));
    } else {
      list.Add(AnsiString(line + " />"));
    }
  };
  start(this, indent);
  while (!stack.empty()) {
    Frame& f = stack.back();
    if (f.next < f.node->children_.size()) {
      const CXMLNode* child = f.node->children_[f.next++].get();
      start(child, f.indent + 2);  // may push: f is not used after this
      continue;
    }
    list.Add(AnsiString(pad(f.indent) + "</" + f.node->name_.str() + ">"));
    stack.pop_back();
  }
}

void CXMLNode::WriteToString(AnsiString& text) const {
  struct Frame {
    const CXMLNode* node;
    std::size_t next;
  };
  std::string& out = text.str();
  std::vector<Frame> stack;
  auto start = [&](const CXMLNode* n) {
    n->AppendStartTag(out);
    if (!n->children_.empty()) {
      out += '>';
      stack.push_back({n, 0});
    } else if (!n->data_.IsEmpty()) {
      out += '>';
      out += n->data_.str();
      out += "</";
      out += n->name_.str();
      out += '>';
    } else {
      out += " />";
    }
  };
  start(this);
  while (!stack.empty()) {
    Frame& f = stack.back();
    if (f.next < f.node->children_.size()) {
      const CXMLNode* child = f.node->children_[f.next++].get();
      start(child);  // may push: f is not used after this
      continue;
    }
    out += "</";
    out += f.node->name_.str();
    out += '>';
    stack.pop_back();
  }
}
