#include "expr/xml_C.h"

#include <algorithm>
#include <new>
#include <string>

#include "base/globals.h"
#include "expr/EngineLink.h"
#include "expr/Formula.h"
#include "expr/VarList.h"

int32_t C_error_position = 0;

// --- Statement texts split once, when the program is parsed.

// One expression or assignment. a[i] = b += 3 is the chain of targets a[i]
// (=) and b (+=) and the expression 3; running it evaluates the expression
// and then assigns from the innermost target outwards, which is what
// executing each assignment's value as a command of its own comes to. A
// chain rather than a nested command: a long a = a = a = ... must not
// recurse once per link.
struct SCTarget {
  int op;            // assignment operator code of find_equal_sign
  AnsiString name;   // variable name as written
  AnsiString index;  // element index text; empty for element 0
};

struct SCCommand {
  std::vector<SCTarget> targets;  // outermost first
  AnsiString expr;                // the text without assignment operator
};

// One declarator: x, x = 1, a[4] = {1, 2}.
struct SCDeclarator {
  bool empty = true;   // nothing to declare
  int op = 0;          // 0 no initialiser, 20 "=", other codes ignored
  AnsiString name;
  AnsiString index;    // size text; empty for a scalar, "-100" for "[]"
  AnsiString value;    // initial value of a scalar
  bool has_list = false;
  std::vector<AnsiString> list;  // items of a "{...}" initialiser
};

namespace {

enum class Scan { kCode, kString, kLine, kBlock };

// First position in from .. to that is not a blank; to + 1 when none.
int SkipBlanks(const AnsiString& text, int from, int to) {
  while (from <= to && text[from] == ' ') ++from;
  return from;
}

// The characters at positions from .. to; empty when to < from.
AnsiString Sub(const AnsiString& text, int from, int to) {
  if (to < from) return AnsiString();
  return AnsiString(text.str().substr(static_cast<std::size_t>(from - 1),
                                      static_cast<std::size_t>(to - from + 1)));
}

// Position of the first c in from .. to, or 0.
int FindChar(const AnsiString& text, char c, int from, int to) {
  for (int i = from; i <= to; ++i)
    if (text[i] == c) return i;
  return 0;
}

// Position of the "}" that closes the "{" at open, within to; 0 when none.
int MatchingBrace(const AnsiString& text, int open, int to) {
  int depth = 0;
  for (int i = open; i <= to; ++i) {
    if (text[i] == '{') {
      ++depth;
    } else if (text[i] == '}') {
      if (--depth == 0) return i;
    }
  }
  return 0;
}

// True when the text at pos is word followed by one of the characters of
// follow, all within to. Keywords count only with their follower, so that
// names such as integer or done are not taken for int or do.
bool Keyword(const AnsiString& text, int pos, int to, const char* word,
             const char* follow) {
  const std::string& s = text.str();
  const std::size_t n = std::char_traits<char>::length(word);
  const std::size_t at = static_cast<std::size_t>(pos - 1);
  if (pos + static_cast<int>(n) > to) return false;
  if (s.compare(at, n, word) != 0) return false;
  return std::char_traits<char>::find(follow, std::char_traits<char>::length(follow),
                                      s[at + n]) != nullptr;
}

struct SDeclKeyword {
  const char* word;
  int type;
};

// "float" is a double; the order does not matter since each needs its blank.
const SDeclKeyword m_c_declarations[] = {
    {"complex", CN_COMPLEX}, {"double", CN_DOUBLE}, {"float", CN_DOUBLE},
    {"int64", CN_INT64},     {"int", CN_INT},       {"bool", CN_BOOL},
};

// Splits text at commas outside parentheses. Depth-aware, unlike a plain
// comma split, so that {max(1, 2), 3} is two items, as a reader expects.
void SplitList(const AnsiString& text, std::vector<AnsiString>& items) {
  items.clear();
  const std::string& s = text.str();
  if (text.Trim().IsEmpty()) return;
  int depth = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '(') {
      ++depth;
    } else if (s[i] == ')') {
      --depth;
    } else if (s[i] == ',' && depth <= 0) {
      items.emplace_back(AnsiString(s.substr(start, i - start)).Trim());
      start = i + 1;
    }
  }
  items.emplace_back(AnsiString(s.substr(start)).Trim());
}

void CompileCommand(const AnsiString& text, SCCommand& cmd) {
  cmd.targets.clear();
  AnsiString rest = text.Trim();
  for (;;) {
    AnsiString name, value, index;
    const int op = find_equal_sign(rest, name, value, index);
    if (op == 0) break;
    cmd.targets.push_back(SCTarget{op, name, index});
    rest = value.Trim();
  }
  cmd.expr = rest;
}

void CompileDeclarator(const AnsiString& text, SCDeclarator& decl) {
  const AnsiString t = text.Trim();
  decl.empty = t.IsEmpty();
  if (decl.empty) return;
  decl.op = find_equal_sign(t, decl.name, decl.value, decl.index);
  decl.has_list = false;
  decl.list.clear();
  if (decl.op == 20 && !decl.value.IsEmpty() && decl.value[1] == '{') {
    // The items lie between the brace and the last "}"; a missing "}"
    // leaves the rest of the text as the list.
    int last = decl.value.Length();
    if (decl.value[last] == '}') --last;
    decl.has_list = true;
    SplitList(Sub(decl.value, 2, last), decl.list);
  }
}

}  // namespace

AnsiString RemoveCComments(const AnsiString& text) {
  // The three blanks let every look-ahead below read one character past
  // any position of the original text.
  std::string s = text.str() + "   ";
  Scan state = Scan::kCode;
  int depth = 0;  // nesting of block comments
  const std::size_t last = s.size() - 1;
  for (std::size_t i = 0; i < last; ++i) {
    char& c = s[i];
    char& next = s[i + 1];
    switch (state) {
      case Scan::kCode:
        if (c == '\t' || c == '\n' || c == '\r') {
          c = ' ';
        } else if (c == '"') {
          state = Scan::kString;
        } else if (c == '/' && next == '/') {
          c = next = ' ';
          ++i;
          state = Scan::kLine;
        } else if (c == '/' && next == '*') {
          c = next = ' ';
          ++i;
          depth = 1;
          state = Scan::kBlock;
        }
        break;
      case Scan::kString:
        if (c == '"') state = Scan::kCode;
        break;
      case Scan::kLine:
        // Only a carriage return ends a line comment; a bare line feed
        // does not, so text with LF-only line ends comments out the rest.
        if (c == '\r') state = Scan::kCode;
        c = ' ';
        break;
      case Scan::kBlock:
        if (c == '/' && next == '*') {
          c = next = ' ';
          ++i;
          ++depth;
        } else if (c == '*' && next == '/') {
          c = next = ' ';
          ++i;
          if (--depth == 0) state = Scan::kCode;
        } else {
          c = ' ';
        }
        break;
    }
  }
  return AnsiString(std::move(s));
}

// --- The tree.

CCNode::CCNode(int type, int32_t position, CCmps* cmps, CEngineLink* engine)
    : type_(type), position_(position), cmps_(cmps), engine_(engine) {}

CCNode::~CCNode() = default;

CCNode* CCNode::GetCNode(int i) const {
  if (i < 0 || i >= GetCNodeCount()) return nullptr;
  return children_[static_cast<std::size_t>(i)].get();
}

CCNode* CCNode::GetCNodeType(int type) const {
  for (const auto& c : children_)
    if (c->type_ == type) return c.get();
  return nullptr;
}

bool CCNode::SyntaxError(const AnsiString& message) {
  m_global_errstr = message;
  return false;
}

CCNode* CCNode::CreateCNode(int type, int32_t position) {
  if (type == 0) {
    C_error_position = position;
    SyntaxError("Syntax error: unknown C keyword");
    return nullptr;
  }
  if (depth_ >= kMaxCNesting) {
    C_error_position = position;
    SyntaxError("Syntax error: statements nested deeper than " +
                AnsiString(std::to_string(kMaxCNesting)) + " levels");
    return nullptr;
  }
  std::unique_ptr<CCNode> node(new (std::nothrow) CCNode(type, position, cmps_, engine_));
  if (!node) {
    SyntaxError("No enough memory");
    return nullptr;
  }
  node->depth_ = depth_ + 1;
  node->Compile();  // empty commands until the parser sets the texts
  try {
    children_.push_back(std::move(node));
  } catch (const std::bad_alloc&) {
    SyntaxError("No enough memory");
    return nullptr;
  }
  return children_.back().get();
}

void CCNode::Compile() {
  switch (type_) {
    case CN_DECLARATOR:
      decl_ = std::make_unique<SCDeclarator>();
      CompileDeclarator(text1_, *decl_);
      break;
    case CN_FOR:
      cmd2_ = std::make_unique<SCCommand>();
      CompileCommand(text2_, *cmd2_);
      cmd3_ = std::make_unique<SCCommand>();
      CompileCommand(text3_, *cmd3_);
      [[fallthrough]];
    case CN_SWITCH:
    case CN_CASE:
    case CN_IF:
    case CN_WHILE:
    case CN_DO:
    case CN_EXPRESSION:
      cmd1_ = std::make_unique<SCCommand>();
      CompileCommand(text1_, *cmd1_);
      break;
    default:
      break;
  }
}

bool CCNode::CreateCCode(const AnsiString& text) {
  C_error_position = 0;
  children_.clear();
  const AnsiString clean = RemoveCComments(text);
  return ParseC(clean, 1, clean.Length());
}

bool CCNode::ParseC(const AnsiString& text, int from, int to) {
  if (to > text.Length()) to = text.Length();
  if (from < 1) from = 1;
  for (;;) {
    from = SkipBlanks(text, from, to);
    if (from > to) return true;
    if (!ParseCStatement(text, from, to, false)) return false;
  }
}

bool CCNode::FindCExpression(const AnsiString& text, int& from, int& to, char open,
                             char close) {
  if (to > text.Length()) to = text.Length();
  from = SkipBlanks(text, from < 1 ? 1 : from, to);
  if (open) {
    if (from > to || text[from] != open)
      return SyntaxError(AnsiString("Syntax error: '") + open + "' not found");
    ++from;
  }
  int depth = 0;  // parentheses
  for (int i = from; i <= to; ++i) {
    const char c = text[i];
    if (depth == 0 && c == close) {
      to = i - 1;
      return true;
    }
    if (c == '(') {
      ++depth;
    } else if (c == ')') {
      --depth;
    }
  }
  return SyntaxError(AnsiString("Syntax error: '") + close + "' not found");
}

int CCNode::FindCAssignment(const AnsiString& text, int from, int to) {
  if (to > text.Length()) to = text.Length();
  int depth = 0;  // parentheses
  for (int i = from < 1 ? 1 : from; i <= to; ++i) {
    const char c = text[i];
    if (c == '{') {
      // An initialiser list is one piece: its commas separate items.
      const int close = MatchingBrace(text, i, to);
      if (!close) return to;
      i = close;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      --depth;
    } else if ((c == ',' || c == ';') && depth == 0) {
      return i;
    }
  }
  return to;
}

bool CCNode::ParseCStatement(const AnsiString& text, int& from, int to, bool bodyInline) {
  if (to > text.Length()) to = text.Length();
  from = SkipBlanks(text, from < 1 ? 1 : from, to);
  int32_t pos = from;
  if (from > to) {
    // A statement missing at the end of its range, such as the body of a
    // final "while (x)", is reported at the last character before it, so
    // that the position stays inside the text and on the line at fault.
    pos = to < 1 ? 1 : to;
    while (pos > 1 && text[pos] == ' ') --pos;
  }
  C_error_position = pos;

  // 1. A block; a switch body goes straight into the switch node.
  if (from <= to && text[from] == '{') {
    const int close = MatchingBrace(text, from, to);
    if (!close) return SyntaxError("Syntax error: '}' not found");
    CCNode* target = this;
    if (!bodyInline) {
      target = CreateCNode(CN_BLOCK, pos);
      if (!target) return false;
    }
    if (!target->ParseC(text, from + 1, close - 1)) return false;
    from = close + 1;
    return true;
  }

  // 2. Declarations: declarators cut at "," outside parentheses and braces.
  for (const SDeclKeyword& k : m_c_declarations) {
    if (!Keyword(text, from, to, k.word, " ")) continue;
    int p = from + static_cast<int>(std::char_traits<char>::length(k.word));
    const int semi = FindChar(text, ';', p, to);
    if (!semi) return SyntaxError("Syntax error: ';' not found");
    CCNode* decl = CreateCNode(k.type, pos);
    if (!decl) return false;
    while (p <= semi) {
      const int end = FindCAssignment(text, p, semi);
      CCNode* d = decl->CreateCNode(CN_DECLARATOR, SkipBlanks(text, p, end));
      if (!d) return false;
      d->text1_ = Sub(text, p, end - 1).Trim();
      d->Compile();
      p = end + 1;
    }
    from = semi + 1;
    return true;
  }

  // Every other statement creates one node; most read a parenthesised
  // expression first, into the node's text1 when target is set.
  const auto bracketed = [&](CCNode* node, int p, bool target) {
    int end = to;
    if (!node->FindCExpression(text, p, end, '(', ')')) return false;
    if (target) {
      node->text1_ = Sub(text, p, end).Trim();
      node->Compile();
    }
    from = end + 2;
    return true;
  };

  // 3. switch: the body is parsed inline, so its case labels are children.
  if (Keyword(text, from, to, "switch", " (")) {
    CCNode* node = CreateCNode(CN_SWITCH, pos);
    if (!node || !bracketed(node, from + 6, true)) return false;
    return node->ParseCStatement(text, from, to, true);
  }

  // 4. Labels, up to ":" outside parentheses.
  const bool is_case = Keyword(text, from, to, "case", " ");
  if (is_case || Keyword(text, from, to, "default", " :")) {
    CCNode* node = CreateCNode(is_case ? CN_CASE : CN_DEFAULT, pos);
    if (!node) return false;
    int p = from + (is_case ? 4 : 7), end = to;
    if (!FindCExpression(text, p, end, 0, ':')) return false;
    if (is_case) {
      node->text1_ = Sub(text, p, end).Trim();
      node->Compile();
    }
    from = end + 2;
    return true;
  }

  // 5. while.
  if (Keyword(text, from, to, "while", " (")) {
    CCNode* node = CreateCNode(CN_WHILE, pos);
    if (!node || !bracketed(node, from + 5, true)) return false;
    return node->ParseCStatement(text, from, to, false);
  }

  // 6. do ... while (c): parsing resumes after ")", so a following ";"
  // is an empty statement of its own.
  if (Keyword(text, from, to, "do", " {")) {
    CCNode* node = CreateCNode(CN_DO, pos);
    if (!node) return false;
    from += 2;
    if (!node->ParseCStatement(text, from, to, false)) return false;
    C_error_position = pos;
    from = SkipBlanks(text, from, to);
    if (!Keyword(text, from, to, "while", " ("))
      return SyntaxError("Syntax error: 'while' not found");
    return bracketed(node, from + 5, true);
  }

  // 7. for (initialisation; condition; step).
  if (Keyword(text, from, to, "for", " (")) {
    CCNode* node = CreateCNode(CN_FOR, pos);
    if (!node) return false;
    int p = from + 3, end = to;
    if (!node->FindCExpression(text, p, end, '(', ')')) return false;
    const int s1 = FindChar(text, ';', p, end);
    if (!s1) return SyntaxError("Syntax error: ';' not found");
    const int s2 = FindChar(text, ';', s1 + 1, end);
    if (!s2) return SyntaxError("Syntax error: ';' not found");
    node->text1_ = Sub(text, p, s1 - 1).Trim();
    node->text2_ = Sub(text, s1 + 1, s2 - 1).Trim();
    node->text3_ = Sub(text, s2 + 1, end).Trim();
    node->Compile();
    from = end + 2;
    return node->ParseCStatement(text, from, to, false);
  }

  // 8. if, with an else that binds to the nearest if.
  if (Keyword(text, from, to, "if", " (")) {
    CCNode* node = CreateCNode(CN_IF, pos);
    if (!node || !bracketed(node, from + 2, true)) return false;
    if (!node->ParseCStatement(text, from, to, false)) return false;
    const int e = SkipBlanks(text, from, to);
    if (Keyword(text, e, to, "else", " {")) {
      C_error_position = e;
      CCNode* other = node->CreateCNode(CN_ELSE, e);
      if (!other) return false;
      from = e + 4;
      return other->ParseCStatement(text, from, to, false);
    }
    return true;
  }

  // 9. The sections; the text in their parentheses is ignored.
  const bool is_init = Keyword(text, from, to, "init", " (");
  if (is_init || Keyword(text, from, to, "main", " (")) {
    CCNode* node = CreateCNode(is_init ? CN_INIT : CN_MAIN, pos);
    if (!node || !bracketed(node, from + 4, false)) return false;
    return node->ParseCStatement(text, from, to, false);
  }

  // 10. Jumps and expression statements, up to ";".
  const int semi = FindChar(text, ';', from, to);
  if (!semi) return SyntaxError("Syntax error: ';' not found");
  const AnsiString s = Sub(text, from, semi - 1).Trim();
  int type = CN_EXPRESSION;
  if (s == "break") {
    type = CN_BREAK;
  } else if (s == "continue") {
    type = CN_CONTINUE;
  } else if (s == "return") {
    type = CN_RETURN;
  }
  CCNode* node = CreateCNode(type, pos);
  if (!node) return false;
  if (type == CN_EXPRESSION) {
    node->text1_ = s;
    node->Compile();
  }
  from = semi + 1;
  return true;
}

// --- Execution.

// State shared by every statement of one ExecuteCCode call.
struct SCRun {
  // Passes of all loops together. Each loop asks the engine for a time-out
  // only when its own pass number is a multiple of 100, so loops nested
  // eight deep with 99 passes each would run some 10^16 passes without one
  // question; this counter makes a question every 100 passes of any loops.
  int64_t passes = 0;
};

// Run-time messages belong to the engine; a tree run without one (a tool
// checking a program) finds them where the parser leaves its own.
void CCNode::Error(const AnsiString& message) {
  if (engine_) {
    engine_->SetError(message);
  } else {
    m_global_errstr = message;
  }
}

bool CCNode::formula_c(const AnsiString& text, CVarList* vars, SNumber* result) {
  double d = 0.0;
  CDoc* doc = engine_ ? engine_->GetDoc() : nullptr;
  if (formula(text, &d, doc, vars, cmps_, true, nullptr, result, false, false, 0, true))
    return true;
  Error(m_global_errstr);
  return false;
}

bool CCNode::RunCommand(const SCCommand& cmd, CVarList* vars, SNumber* result) {
  const std::size_t n = cmd.targets.size();
  if (n == 0) return formula_c(cmd.expr, vars, result);
  // Every target must exist before anything is evaluated, the outermost
  // checked first.
  SVar* outer = nullptr;
  for (std::size_t k = 0; k < n; ++k) {
    SVar* v = vars ? vars->FindVar(cmd.targets[k].name, 0) : nullptr;
    if (!v) {
      Error("Variable '" + cmd.targets[k].name + "' not found");
      return false;
    }
    if (k == 0) outer = v;
  }
  SNumber value;
  if (!formula_c(cmd.expr, vars, &value)) return false;
  // Evaluating expressions adds no variables, so the entries found above
  // have not moved.
  for (std::size_t k = n; k-- > 0;) {
    const SCTarget& t = cmd.targets[k];
    SVar* v = k == 0 ? outer : vars->FindVar(t.name, 0);
    int element = 0;
    if (!t.index.IsEmpty()) {
      SNumber index;
      if (!formula_c(t.index, vars, &index)) return false;
      ConvertNumber(&index, NUM_INT);
      element = index.v.i;
      // "[]" arrives as -100 and is refused here with every negative index.
      if (element < 0) {
        Error(t.name + ": negative array index");
        return false;
      }
      // A scalar holds one element, so x[0] is x itself.
      if (element >= (v->size > 0 ? v->size : 1)) {
        Error(t.name + ": array index too high");
        return false;
      }
    }
    SNumber* target = &v->values[element];
    if (!calc_assignment_operator(t.op, target, &value)) {
      Error(m_global_errstr);
      return false;
    }
    value = *target;
  }
  if (result) *result = value;
  return true;
}

bool CCNode::ExecuteCCommand(const AnsiString& text, CVarList* vars, SNumber* result) {
  SCCommand cmd;
  CompileCommand(text, cmd);
  SNumber value;
  return RunCommand(cmd, vars, result ? result : &value);
}

bool CCNode::RunDeclarator(const SCDeclarator& decl, int kind, CVarList* vars, int base) {
  if (decl.empty) return true;
  if (!vars) {
    Error("Can't create variable");
    return false;
  }
  int size = 0;
  if (!decl.index.IsEmpty()) {
    SNumber n;
    if (!formula_c(decl.index, vars, &n)) return false;
    ConvertNumber(&n, NUM_INT);
    size = n.v.i;
    if (size < 0 && decl.has_list && !decl.list.empty()) size = static_cast<int>(decl.list.size());
    if (size <= 0) {
      Error("Array '" + decl.name + "' : size <= 0");
      return false;
    }
  }
  if (vars->FindVar(decl.name, base)) {
    Error("Variable '" + decl.name + "' already exists");
    return false;
  }
  const int limit = engine_ ? engine_->MaxArraySize() : kMaxCArraySize;
  SVar* v = size <= limit ? vars->AddVar(decl.name, kind, size) : nullptr;
  if (!v) {
    Error("Can't create variable");
    return false;
  }
  if (decl.op != 20) return true;  // other operators leave it zero
  // Evaluating adds no variables, so v stays where it is. The initial
  // values already see the new variable, still zero.
  if (size == 0) {
    SNumber value;
    if (!formula_c(decl.value, vars, &value)) return false;
    AssignNumber(&v->values[0], &value);
    return true;
  }
  const std::size_t items = std::min(decl.list.size(), static_cast<std::size_t>(size));
  for (std::size_t k = 0; k < items; ++k) {
    SNumber value;
    if (!formula_c(decl.list[k], vars, &value)) return false;
    AssignNumber(&v->values[k], &value);
  }
  return true;
}

bool CCNode::CreateCVariable(const AnsiString& text, int kind, CVarList* vars, int base) {
  SCDeclarator decl;
  CompileDeclarator(text, decl);
  return RunDeclarator(decl, kind, vars, base);
}

int CCNode::ExecuteCCode(int from, CVarList* vars, int base, int mode) {
  SCRun run;
  if (mode == CX_CHILDREN) return Run(from, vars, base, run);
  CCNode* section = GetCNodeType(mode == CX_INIT ? CN_INIT : CN_MAIN);
  if (!section) return CR_NORMAL;
  // A return, or a break or continue outside any loop, ends the section
  // normally.
  return section->Run(0, vars, base, run) == CR_ERROR ? CR_ERROR : CR_NORMAL;
}

int CCNode::Run(int from, CVarList* vars, int base, SCRun& run) {
  for (int i = from < 0 ? 0 : from; i < GetCNodeCount(); ++i) {
    CCNode* child = children_[static_cast<std::size_t>(i)].get();
    C_error_position = child->position_;
    const int r = child->RunStatement(vars, base, run);
    if (r != CR_NORMAL) return r;
  }
  return CR_NORMAL;
}

int CCNode::RunStatement(CVarList* vars, int base, SCRun& run) {
  switch (type_) {
    case CN_BLOCK: {
      const int count = vars ? vars->Count() : 0;
      const int r = Run(0, vars, count, run);
      if (vars) vars->SetSize(count);
      return r;
    }
    case CN_COMPLEX:
    case CN_DOUBLE:
    case CN_INT64:
    case CN_INT:
    case CN_BOOL:
      for (const auto& d : children_)
        if (!RunDeclarator(*d->decl_, type_ - 2, vars, base)) return CR_ERROR;
      return CR_NORMAL;
    case CN_SWITCH:
      return RunSwitch(vars, base, run);
    case CN_IF: {
      SNumber c;
      if (!RunCommand(*cmd1_, vars, &c)) return CR_ERROR;
      ConvertNumber(&c, NUM_BOOL);
      if (c.v.b) return Run(0, vars, base, run);  // the else child does nothing here
      CCNode* other = GetCNodeType(CN_ELSE);
      return other ? other->Run(0, vars, base, run) : CR_NORMAL;
    }
    case CN_WHILE:
    case CN_DO:
    case CN_FOR:
      return RunLoop(vars, base, run);
    case CN_BREAK:
      return CR_BREAK;
    case CN_CONTINUE:
      return CR_CONTINUE;
    case CN_RETURN:
      return CR_RETURN;
    case CN_EXPRESSION: {
      SNumber value;
      return RunCommand(*cmd1_, vars, &value) ? CR_NORMAL : CR_ERROR;
    }
    default:
      // Labels, declarators, else and the sections do nothing when reached
      // in sequence.
      return CR_NORMAL;
  }
}

int CCNode::RunSwitch(CVarList* vars, int base, SCRun& run) {
  SNumber n;
  if (!RunCommand(*cmd1_, vars, &n)) return CR_ERROR;
  ConvertNumber(&n, NUM_INT);
  const int32_t value = n.v.i;
  int start = -1;
  for (int i = 0; i < GetCNodeCount() && start < 0; ++i) {
    CCNode* label = children_[static_cast<std::size_t>(i)].get();
    if (label->type_ != CN_CASE) continue;
    C_error_position = label->position_;
    SNumber c;
    if (!RunCommand(*label->cmd1_, vars, &c)) return CR_ERROR;
    ConvertNumber(&c, NUM_INT);
    if (c.v.i == value) start = i;
  }
  if (start < 0) {
    for (int i = 0; i < GetCNodeCount() && start < 0; ++i)
      if (children_[static_cast<std::size_t>(i)]->type_ == CN_DEFAULT) start = i;
  }
  if (start < 0) return CR_NORMAL;
  // From the label on to the end of the body, through later labels.
  const int r = Run(start, vars, base, run);
  return r == CR_BREAK ? CR_NORMAL : r;
}

bool CCNode::LoopCheck(const char* keyword, int64_t pass, SCRun& run) {
  ++run.passes;
  if (pass % 100 != 0 && run.passes % 100 != 0) return true;
  if (!engine_) return true;
  C_error_position = position_;
  // A stop request wins over a time-out: the user asked for the end, so
  // there is nothing to report.
  if (engine_->IsStopRequested()) {
    engine_->SetError(AnsiString());
    return false;
  }
  if (engine_->IsTimeout()) {
    engine_->SetError(AnsiString("'") + keyword + "' loop time-out at cycle " +
                      AnsiString(std::to_string(pass)));
    return false;
  }
  return true;
}

int CCNode::RunLoop(CVarList* vars, int base, SCRun& run) {
  const char* keyword = type_ == CN_WHILE ? "while" : type_ == CN_DO ? "do" : "for";
  SNumber c;
  const auto condition = [&](const SCCommand& cmd, bool* go) {
    C_error_position = position_;
    if (!RunCommand(cmd, vars, &c)) return false;
    ConvertNumber(&c, NUM_BOOL);
    *go = c.v.b;
    return true;
  };
  if (type_ == CN_FOR && !text1_.IsEmpty()) {
    C_error_position = position_;
    if (!RunCommand(*cmd1_, vars, &c)) return CR_ERROR;
  }
  // The pass number: 1 during the first pass.
  for (int64_t pass = 1;; ++pass) {
    bool go = true;
    if (type_ == CN_WHILE && !condition(*cmd1_, &go)) return CR_ERROR;
    if (type_ == CN_FOR && !text2_.IsEmpty() && !condition(*cmd2_, &go))
      return CR_ERROR;
    if (!go) return CR_NORMAL;
    const int r = Run(0, vars, base, run);
    if (r == CR_ERROR || r == CR_RETURN) return r;
    if (r == CR_BREAK) return CR_NORMAL;
    if (type_ == CN_FOR && !text3_.IsEmpty()) {
      C_error_position = position_;
      if (!RunCommand(*cmd3_, vars, &c)) return CR_ERROR;
    }
    if (!LoopCheck(keyword, pass, run)) return CR_ERROR;
    if (type_ == CN_DO) {
      if (!condition(*cmd1_, &go)) return CR_ERROR;
      if (!go) return CR_NORMAL;
    }
  }
}
