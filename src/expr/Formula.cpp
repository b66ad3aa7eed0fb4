// The formula reader: one left-to-right pass over the text with an
// operator-priority stack. Nothing is tokenised first and no text is copied
// on the way: names and numbers are looked at in place, so evaluating a
// formula allocates its stack and nothing else (error messages aside).

#include "expr/Formula.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "base/CLocale.h"
#include "base/globals.h"
#include "circuit/Cmp.h"
#include "circuit/Cmps.h"
#include "doc/Doc.h"
#include "engine/Calc.h"
#include "expr/FormulaFunctions.h"
#include "expr/VarList.h"
#include "traces/Traces.h"

bool random_function_used = false;

namespace {

constexpr int kStackFirst = 20;   // entries of a new stack
constexpr int kStackGrowth = 5;   // entries added when it is full
constexpr int kNest = 100;        // priority added per open bracket
// Deepest bracket nesting read; keeps priorities far from int overflow.
constexpr int kMaxNest = 10000000 * kNest;

constexpr int kPrioCast = 14;
constexpr int kPrioCall = 50;
constexpr int kPrioIndex = 60;
// Internal operator pushed at "]" to finish an element access at once.
constexpr int kOpClose = 82;

int BasePriority(int op) {
  switch (op) {
    case FOP_COMMA: return 1;
    case FOP_COND: return 2;
    case FOP_ALT: return 3;
    case FOP_LOR: return 4;
    case FOP_LAND: return 5;
    case FOP_BOR: return 6;
    case FOP_BXOR: return 7;
    case FOP_BAND: return 8;
    case FOP_EQ: case FOP_NE: return 9;
    case FOP_LE: case FOP_LT: case FOP_GE: case FOP_GT: return 10;
    case FOP_SHR: case FOP_SHL: return 11;
    case FOP_ADD: case FOP_SUB: return 12;
    default: return 13;  // * / %
  }
}

// A prefix operator may follow these, and the start of the text or a bracket.
// After + - * / % it may not: 2*-3 is refused, 2*(-3) is the way to write it.
bool PrefixMayFollow(int op) { return op < FOP_ADD; }

// --- Function tables, one per name length; names match exactly ---------------

const SFuncEntry kFuncs1[] = {{FN_V, "V"}, {FN_I, "I"}, {FN_P, "P"}, {FN_S, "S"}, {0, nullptr}};
const SFuncEntry kFuncs2[] = {
    {FN_SQ, "sq"}, {FN_LOG10, "lg"}, {FN_LOG, "ln"}, {FN_LOG2, "lb"}, {FN_TAN, "tg"},
    {FN_DB, "db"}, {FN_RE, "re"},    {FN_IM, "im"},  {0, nullptr}};
const SFuncEntry kFuncs3[] = {
    {FN_ABS, "abs"}, {FN_MIN, "min"}, {FN_MAX, "max"}, {FN_EXP, "exp"},   {FN_POW, "pow"},
    {FN_PWR, "pwr"}, {FN_SQR, "sqr"}, {FN_INT, "int"}, {FN_LOG, "log"},   {FN_ABS, "mag"},
    {FN_SIN, "sin"}, {FN_COS, "cos"}, {FN_TAN, "tan"}, {FN_PAR, "par"},   {FN_LIMIT, "lim"},
    {FN_SUM, "sum"}, {0, nullptr}};
const SFuncEntry kFuncs4[] = {
    {FN_SQRT, "sqrt"}, {FN_BOOL, "bool"}, {FN_SIGN, "sign"}, {FN_LOG2, "log2"},
    {FN_ASIN, "asin"}, {FN_ACOS, "acos"}, {FN_ATAN, "atan"}, {FN_CEIL, "ceil"},
    {FN_MEAN, "mean"}, {FN_RAND, "rand"}, {0, nullptr}};
const SFuncEntry kFuncs5[] = {
    {FN_INT64, "int64"}, {FN_ROUND, "round"}, {FN_ISLOW, "islow"}, {FN_LOG10, "log10"},
    {FN_PHASE, "phase"}, {FN_ATAN2, "atan2"}, {FN_FLOAT, "float"}, {FN_FLOOR, "floor"},
    {FN_LIMIT, "limit"}, {FN_GAUSS, "gauss"}, {0, nullptr}};
const SFuncEntry kFuncs6[] = {
    {FN_DOUBLE, "double"}, {FN_ISHIGH, "ishigh"}, {FN_RAND, "random"}, {0, nullptr}};
const SFuncEntry kFuncs7[] = {{FN_COMPLEX, "complex"}, {FN_MEAN, "average"}, {0, nullptr}};
const SFuncEntry* const kFuncTables[8] = {nullptr, kFuncs1, kFuncs2, kFuncs3,
                                          kFuncs4, kFuncs5,  kFuncs6, kFuncs7};

// --- Characters -----------------------------------------------------------------

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsNameStart(char c) { return is_letter(c) || c == '_'; }
bool IsNameChar(char c) { return is_letter(c) || is_digit(c) || c == '_' || c == '.'; }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The len characters at s equal the lower-case word w, ignoring case.
bool IsWord(const char* s, int len, const char* w) {
  for (int k = 0; k < len; ++k) {
    if (w[k] == '\0' || Lower(s[k]) != w[k]) return false;
  }
  return w[len] == '\0';
}

int CastCode(const char* s, int len) {
  static const SFuncEntry kCasts[] = {{FN_INT, "int"},         {FN_INT64, "int64"},
                                      {FN_DOUBLE, "double"},   {FN_FLOAT, "float"},
                                      {FN_COMPLEX, "complex"}, {FN_BOOL, "bool"}};
  for (const SFuncEntry& c : kCasts) {
    if (std::strlen(c.name) == static_cast<std::size_t>(len) && std::memcmp(c.name, s, len) == 0)
      return c.code;
  }
  return 0;
}

// The two plainest literals, read without the general reader: up to nine
// decimal digits not starting with 0 (an int), and digits with one point
// (a double, read by the same strtod the general reader ends in). Anything
// else, or anything this does not read to the end, goes to indig_number;
// the results are the same, this is only faster for the common case.
bool ReadPlainLiteral(const char* s, int len, SNumber* n) {
  int points = 0;
  for (int k = 0; k < len; ++k) {
    if (s[k] == '.') ++points;
    else if (!is_digit(s[k])) return false;
  }
  if (points == 0) {
    if (len > 9 || (s[0] == '0' && len > 1)) return false;
    int32_t v = 0;
    for (int k = 0; k < len; ++k) v = v * 10 + (s[k] - '0');
    SetIntNumber(n, v);
    return true;
  }
  if (points > 1) return false;
  char* end = nullptr;
  const double x = strtod_c(s, &end);
  if (end != s + len) return false;
  SetDoubleNumber(n, x);
  return true;
}

bool Fail(const AnsiString& why) {
  m_global_errstr = why;
  return false;
}

bool SyntaxError() { return Fail("Syntax error"); }

int ClampToInt(long v) {
  if (v > 2147483647L) return 2147483647;
  if (v < -2147483647L - 1) return -2147483647 - 1;
  return static_cast<int>(v);
}

// --- The running engine ------------------------------------------------------------
// V, I, P and S read the present solution of the document's engine while a
// simulation runs; between simulations V(...) is a trace name or refused.
bool EngineRunning(const CDoc* doc) {
  return doc != nullptr && doc->IsRunning() && doc->Calc() != nullptr;
}

// The quantity code (FN_V .. FN_S) of cmp from the present solution. The
// component names its two nodes, its current unknown and its resistance;
// a component that computes the value itself (GetTraceNodes false) gives it
// through GetTraceData. Complex during an AC analysis (or when the caller
// reads AC values): the solution's real part is X, its imaginary part Yim.
bool ReadEngineQuantity(CDoc* doc, CCmp* cmp, int code, bool ac, SNumber* out) {
  static const char* const kWhat[] = {"V trace", "I trace", "P trace", "State trace"};
  const int kind = code - FN_V;  // trace kind: 0 V, 1 I, 2 P, 3 S
  const SElemModel* model = cmp->GetModel();
  if (model == nullptr || (model->flags & (1 << kind)) == 0)
    return Fail(AnsiString(kWhat[kind]) + " not supported by " + cmp->GetFullName());
  if (code == FN_S) {
    SetDoubleNumber(out, cmp->State());
    return true;
  }
  CCalc* calc = doc->Calc();
  const bool complex = ac || !calc->IsTransient();
  const double* x = calc->X();
  const double* xi = complex ? calc->Yim() : nullptr;
  const int size = calc->FullSize();
  const auto re = [x, size](int i) { return x != nullptr && i >= 0 && i < size ? x[i] : 0.0; };
  const auto im = [xi, size](int i) { return xi != nullptr && i >= 0 && i < size ? xi[i] : 0.0; };

  int a = -1, b = -1, k = 0;
  double r = 0.0;
  if (!cmp->GetTraceNodes(calc, kind, a, b, k, r)) {
    double v = 0.0, v2 = 0.0;
    cmp->GetTraceData(calc, kind, &v, &v2);
    if (complex)
      SetComplexNumber(out, v, v2);
    else
      SetDoubleNumber(out, v);
    return true;
  }
  // An unconnected node (negative index) gives no voltage.
  const bool nodes = a >= 0 && b >= 0;
  const double ur = nodes ? re(b) - re(a) : 0.0;
  const double ui = nodes ? im(b) - im(a) : 0.0;
  double ir = 0.0, ii = 0.0;  // the current
  if (k >= 1) {
    ir = re(k);
    ii = im(k);
  } else if (r != 0.0) {
    ir = ur / r;
    ii = ui / r;
  }
  double vr = ur, vi = ui;
  if (code == FN_I) {
    vr = ir;
    vi = ii;
  } else if (code == FN_P) {
    vr = ur * ir - ui * ii;
    vi = ur * ii + ui * ir;
  }
  if (complex)
    SetComplexNumber(out, vr, vi);
  else
    SetDoubleNumber(out, vr);
  return true;
}

// --- The evaluator ---------------------------------------------------------------

class CEvaluator {
 public:
  CEvaluator(const AnsiString& text, CDoc* doc, CVarList* vars, CCmps* cmps, bool engine,
             CTraces* traces, bool ac, bool indexRefs, int index, bool cMode)
      : text_(text),
        p_(text.c_str()),
        end_(text.c_str() + text.Length()),
        doc_(doc),
        vars_(vars),
        // A null cmps means the document's own components.
        cmps_(cmps != nullptr ? cmps : (doc != nullptr ? doc->Cmps() : nullptr)),
        engine_(engine),
        traces_(traces),
        ac_(ac),
        index_refs_(indexRefs),
        index_(index),
        c_mode_(cMode) {}
  ~CEvaluator() { std::free(stack_); }
  CEvaluator(const CEvaluator&) = delete;
  CEvaluator& operator=(const CEvaluator&) = delete;

  // Evaluates the whole text. False with m_global_errstr set on failure.
  bool Run(SNumber* out);
  // The failure asks the caller to set its result to 0 (missing trace data).
  bool ZeroResultOnFailure() const { return zero_on_failure_; }

 private:
  bool ExpressionError() { return Fail("Expression error in '" + text_ + "'"); }
  bool Push(const SNumber& value, int op, int prio);
  bool PushOperator(int op);
  bool Reduce();
  bool Apply(SFormulaEntry& lo, SFormulaEntry& hi);
  bool ReduceCall(int prio_below);
  bool ReduceConditional();
  bool Access(SFormulaEntry& lo, const SNumber& index);
  bool CloseBracket();

  bool ReadOperand(bool* ended);
  bool ReadNumber();
  bool ReadName(int pending, bool* have_operand);
  bool ReadFunction(const char* name, int len, const char* open, int pending,
                    bool* have_operand);
  bool ReadQuantity(int code, const char* name, const char* open);
  bool ReadArray(const char* name, int len, const char* open, int pending);
  bool ResolveValue(const char* name, int len, int pending);
  bool ReadTraceCall(const char* name, const char* dot);
  bool ReadTraceRef();
  bool ReadOperator(int* op);
  int ReadPostfix();
  const SFuncEntry* FindFunction(const char* name, int len);

  const AnsiString& text_;
  const char* p_;
  const char* const end_;
  CDoc* const doc_;
  CVarList* const vars_;
  CCmps* const cmps_;
  const bool engine_;
  CTraces* const traces_;
  const bool ac_, index_refs_;
  const int index_;
  const bool c_mode_;

  SFormulaEntry* stack_ = nullptr;
  int top_ = -1;  // index of the top entry
  int capacity_ = 0;
  int nest_ = 0;                 // kNest per open bracket
  bool prefix_ok_ = true;        // a prefix operator may come next
  // Inside the branch a conditional does not take. There nothing is computed
  // or looked up, so nothing a computation or a look-up would report is
  // raised (1/0, unknown names, missing documents); mistakes in the form of
  // the text (syntax, unknown operators and functions, brackets) are still
  // reported, as they are wrong whichever way the condition goes.
  bool skipping_ = false;
  SNumber operand_;              // the operand just read
  SNumber* last_element_ = nullptr;  // element the last access read, for postfix ++
  bool zero_on_failure_ = false;
};

bool CEvaluator::Push(const SNumber& value, int op, int prio) {
  if (top_ + 1 == capacity_) {
    const int capacity = capacity_ + kStackGrowth;
    void* grown = std::realloc(stack_, sizeof(SFormulaEntry) * static_cast<std::size_t>(capacity));
    if (grown == nullptr) return Fail("Out of memory");
    stack_ = static_cast<SFormulaEntry*>(grown);
    capacity_ = capacity;
  }
  // Filled in place: a whole-entry copy from a local would reload fields
  // just written, which stalls on store forwarding.
  SFormulaEntry& e = stack_[++top_];
  e.value = value;
  e.op = op;
  e.prio = prio;
  e.incmode = 0;
  e.dead = skipping_;
  return true;
}

// Pushes the operand just read with op, reduces, and sets up the branch
// state of a conditional.
bool CEvaluator::PushOperator(int op) {
  const int prio = op == FOP_END ? -1 : BasePriority(op) + nest_;
  if (!Push(operand_, op, prio) || !Reduce()) return false;
  SFormulaEntry& top = stack_[top_];
  // The operator belongs to the region that is current once the reduction
  // has closed any conditional before it.
  top.dead = skipping_;
  if (op == FOP_COND && !top.dead) {
    if (top.value.kind == kArrayRef) return ArrayOperandError(top.value);
    ConvertNumber(&top.value, NUM_BOOL);
    skipping_ = !Truth(top.value);
  } else if (op == FOP_ALT) {
    if (top_ < 1 || stack_[top_ - 1].op != FOP_COND || stack_[top_ - 1].prio != prio - 1)
      return SyntaxError();
    const SFormulaEntry& cond = stack_[top_ - 1];
    top.dead = cond.dead;
    // The "else" branch runs when the condition was false, unless the whole
    // conditional is itself skipped.
    skipping_ = cond.dead || Truth(cond.value);
  }
  prefix_ok_ = PrefixMayFollow(op);
  return true;
}

// While the entry below the top binds at least as tightly as the top, apply
// it to the two values; equal priorities thus go left to right.
bool CEvaluator::Reduce() {
  while (top_ >= 1) {
    SFormulaEntry& hi = stack_[top_];
    SFormulaEntry& lo = stack_[top_ - 1];
    if (lo.prio < hi.prio) break;
    if (lo.op == FOP_COMMA) {
      if (hi.op == FOP_COMMA && hi.prio == lo.prio) break;  // one more argument follows
      if (!ReduceCall(lo.prio)) return false;
      continue;
    }
    if (lo.op == FOP_ALT) {
      if (!ReduceConditional()) return false;
      continue;
    }
    if (lo.op == FOP_COND) return SyntaxError();  // "?" without its ":"
    if (!Apply(lo, hi)) return false;
    lo.op = hi.op;
    lo.prio = hi.prio;
    --top_;
  }
  return true;
}

bool CEvaluator::Apply(SFormulaEntry& lo, SFormulaEntry& hi) {
  if (lo.dead) {
    SetIntNumber(&lo.value, 0);
    if (lo.op == FOP_INDEX) last_element_ = nullptr;
    return true;
  }
  if (lo.op == FOP_INDEX) return Access(lo, hi.value);
  if (lo.op >= FOP_FIRST_FUNC && lo.op <= FOP_LAST_FUNC)
    return CallFunction(lo.op, &hi, 1, &lo.value, doc_);  // a call or a cast
  if (lo.op >= FOP_NOT && lo.op <= FOP_NEG) {
    lo.value = hi.value;
    return ApplyPrefix(lo.op, &lo.value);
  }
  return ApplyBinary(lo.op, &lo.value, hi.value, c_mode_);
}

// The top entry ends the argument list of the function below a run of
// commas of priority prio_below; each comma entry holds one argument.
bool CEvaluator::ReduceCall(int prio_below) {
  int k = top_ - 1;
  while (k >= 0 && stack_[k].op == FOP_COMMA && stack_[k].prio == prio_below) --k;
  // The call that owns these commas was pushed one bracket further out.
  if (k < 0 || stack_[k].op < FOP_FIRST_FUNC || stack_[k].op > FOP_LAST_FUNC ||
      stack_[k].prio != prio_below - kNest + kPrioCall - 1 || stack_[k].prio < stack_[top_].prio)
    return SyntaxError();  // a comma outside an argument list
  SFormulaEntry& f = stack_[k];
  const SFormulaEntry& hi = stack_[top_];
  if (f.dead) {
    SetIntNumber(&f.value, 0);
  } else if (!CallFunction(f.op, &stack_[k + 1], top_ - k, &f.value, doc_)) {
    return false;
  }
  f.op = hi.op;
  f.prio = hi.prio;
  top_ = k;
  return true;
}

// c ? a : b with the entries "?" (c), ":" (a) and the top (b).
bool CEvaluator::ReduceConditional() {
  if (top_ < 2 || stack_[top_ - 2].op != FOP_COND) return SyntaxError();
  SFormulaEntry& cond = stack_[top_ - 2];
  const SFormulaEntry& alt = stack_[top_ - 1];
  const SFormulaEntry& hi = stack_[top_];
  if (cond.dead) SetIntNumber(&cond.value, 0);
  else cond.value = Truth(cond.value) ? alt.value : hi.value;
  skipping_ = cond.dead;  // the conditional is over: back to its outer region
  cond.op = hi.op;
  cond.prio = hi.prio;
  top_ -= 2;
  return true;
}

bool CEvaluator::Access(SFormulaEntry& lo, const SNumber& index) {
  SVar* var = ArrayOf(lo.value);
  if (index.kind == kArrayRef) return ArrayOperandError(index);
  if (index.kind == NUM_COMPLEX) return Fail("Complex array index not allowed");
  SNumber i = index;
  ConvertNumber(&i, NUM_INT);
  if (i.v.i < 0) return Fail("Negative array index");
  if (i.v.i >= var->size) return Fail("Array index too high");
  SNumber* element = &var->values[i.v.i];
  if (lo.incmode != 0) increment_copy_number(lo.incmode, &lo.value, element);
  else lo.value = *element;
  last_element_ = element;
  return true;
}

// After "]": when it closes an element access, the access is done now, so
// that a postfix ++ or -- can reach the element.
bool CEvaluator::CloseBracket() {
  int k = top_;
  while (k >= 0 && stack_[k].prio >= nest_ + kNest) --k;
  if (k < 0 || stack_[k].op != FOP_INDEX || stack_[k].prio != kPrioIndex + nest_) return true;
  const int postfix = ReadPostfix();
  if (postfix != 0 && stack_[k].incmode != 0) return SyntaxError();  // ++a[i]++
  last_element_ = nullptr;
  if (!Push(operand_, kOpClose, kPrioIndex + nest_) || !Reduce()) return false;
  if (stack_[top_].op != kOpClose) return SyntaxError();
  operand_ = stack_[top_--].value;
  if (postfix != 0 && last_element_ != nullptr)
    increment_copy_number(postfix, &operand_, last_element_);
  return true;
}

// A postfix "++" or "--" after blanks: consumed, and its mode returned; else 0.
int CEvaluator::ReadPostfix() {
  const char* q = p_;
  while (q < end_ && IsBlank(*q)) ++q;
  if (end_ - q < 2 || q[0] != q[1] || (q[0] != '+' && q[0] != '-')) return 0;
  p_ = q + 2;
  return q[0] == '+' ? INC_POST : DEC_POST;
}

const SFuncEntry* CEvaluator::FindFunction(const char* name, int len) {
  if (len < 1 || len > 7) return nullptr;
  CDoc::SFuncCache* cache = doc_ != nullptr ? doc_->FuncCache(len) : nullptr;
  if (cache != nullptr) {
    for (int k = 0; k < cache->count; ++k) {
      if (std::memcmp(cache->entries[k]->name, name, len) == 0) return cache->entries[k];
    }
  }
  for (const SFuncEntry* e = kFuncTables[len]; e->code != 0; ++e) {
    if (std::memcmp(e->name, name, len) != 0) continue;
    if (cache != nullptr && cache->count < CDoc::kFuncCacheSize) cache->entries[cache->count++] = e;
    return e;
  }
  return nullptr;
}

// Reads prefix operators, brackets and casts up to one operand, which ends
// in operand_. *ended: the text ended first.
bool CEvaluator::ReadOperand(bool* ended) {
  *ended = false;
  int pending = 0;  // prefix ++ or -- for the variable that follows
  for (;;) {
    while (p_ < end_ && (IsBlank(*p_) || *p_ == '=')) ++p_;  // a leading "=" is allowed
    if (p_ == end_) {
      *ended = true;
      return pending == 0 || ExpressionError();
    }
    const char c = *p_;
    if (c == '(' || c == '[') {
      if (pending != 0) return SyntaxError();
      if (nest_ >= kMaxNest) return ExpressionError();
      nest_ += kNest;
      prefix_ok_ = true;
      ++p_;
      continue;
    }
    if (is_digit(c) || c == '.') return pending == 0 ? ReadNumber() : SyntaxError();
    if (IsNameStart(c)) {
      bool have_operand = false;
      if (!ReadName(pending, &have_operand)) return false;
      if (have_operand) return true;
      pending = 0;  // a function, an array or a cast: its operand follows
      continue;
    }
    if (c == '{') return pending == 0 ? ReadTraceRef() : SyntaxError();
    if ((c == '+' || c == '-') && end_ - p_ >= 2 && p_[1] == c) {
      if (pending != 0) return SyntaxError();
      pending = c == '+' ? INC_PRE : DEC_PRE;
      p_ += 2;
      continue;
    }
    if (c == '-' || c == '!' || c == '~' || c == '+') {
      if (!prefix_ok_ || pending != 0) return SyntaxError();
      ++p_;
      if (c == '+') continue;  // a unary plus changes nothing
      const int op = c == '-' ? FOP_NEG : (c == '!' ? FOP_NOT : FOP_BNOT);
      SNumber zero;
      SetIntNumber(&zero, 0);
      // Nothing below binds tighter, so no reduction is due.
      if (!Push(zero, op, kPrioCast + nest_)) return false;
      prefix_ok_ = false;
      continue;
    }
    if (c == ')') {
      // An empty bracket reads as 0, so f() calls f with 0.
      if (pending != 0) return SyntaxError();
      SetIntNumber(&operand_, 0);
      return true;
    }
    return SyntaxError();
  }
}

bool CEvaluator::ReadNumber() {
  const char* start = p_;
  while (p_ < end_) {
    const char c = *p_;
    if (is_digit(c) || is_letter(c) || c == '.') {
      ++p_;
    } else if ((c == '+' || c == '-') && (p_[-1] == 'e' || p_[-1] == 'E')) {
      ++p_;  // the sign of an exponent
    } else {
      break;
    }
  }
  const int len = static_cast<int>(p_ - start);
  if (p_ < end_ && *p_ == '(') {
    // The bit-exact form of a double: 16 hexadecimal digits, the 8 bytes in
    // memory order as double_to_hex writes them after its "#", then "()".
    // Anything else before a "(" is a mistyped number.
    unsigned char bytes[8];
    if (len == 16 && end_ - p_ >= 2 && p_[1] == ')' && hex_to_bin(start, bytes, 16) == 8) {
      double x = 0.0;
      std::memcpy(&x, bytes, sizeof x);
      SetDoubleNumber(&operand_, x);
      p_ += 2;
      return true;
    }
    return Fail("Wrong variable name or number format: '" + AnsiString(start, len + 1) + "'");
  }
  if (ReadPlainLiteral(start, len, &operand_)) return true;
  // Short runs stay in the string's own buffer: no allocation per number.
  if (!indig_number(AnsiString(start, static_cast<std::size_t>(len)), &operand_, true))
    return Fail("Wrong variable name or number format: '" + AnsiString(start, len) + "'");
  return true;
}

// A name: what follows it decides whether it calls a function, indexes an
// array, casts, or is a value. *have_operand is false when an operand is
// still to come (function, array, cast).
bool CEvaluator::ReadName(int pending, bool* have_operand) {
  const char* name = p_;
  while (p_ < end_ && IsNameChar(*p_)) {
    if (*p_ == '.' && traces_ != nullptr && !index_refs_ && end_ - p_ >= 2 && p_[1] == '(') {
      *have_operand = true;
      return pending == 0 ? ReadTraceCall(name, p_) : SyntaxError();
    }
    ++p_;
  }
  const int len = static_cast<int>(p_ - name);
  const char* next = p_;
  while (next < end_ && IsBlank(*next)) ++next;
  if (next < end_ && *next == '(') return ReadFunction(name, len, next, pending, have_operand);
  if (next < end_ && *next == '[') return ReadArray(name, len, next, pending);
  if (next < end_ && *next == ')') {
    if (const int cast = CastCode(name, len)) {
      if (pending != 0) return SyntaxError();
      if (nest_ < kNest) return ExpressionError();
      nest_ -= kNest;
      p_ = next + 1;
      SNumber zero;
      SetIntNumber(&zero, 0);
      if (!Push(zero, cast, kPrioCast + nest_)) return false;
      prefix_ok_ = false;
      return true;
    }
  }
  *have_operand = true;
  return ResolveValue(name, len, pending);
}

// name( : a call. V, I, P and S take their argument as text and give their
// value at once (*have_operand); every other function reads its arguments
// as formulas.
bool CEvaluator::ReadFunction(const char* name, int len, const char* open, int pending,
                              bool* have_operand) {
  const SFuncEntry* f = FindFunction(name, len);
  if (f == nullptr) return Fail("Unknown function " + AnsiString(name, len));
  if (pending != 0) return SyntaxError();
  if (f->code >= FN_V && f->code <= FN_S) {
    *have_operand = true;
    return ReadQuantity(f->code, name, open);
  }
  if (nest_ >= kMaxNest) return ExpressionError();
  SNumber zero;
  SetIntNumber(&zero, 0);
  if (!Push(zero, f->code, kPrioCall + nest_)) return false;
  nest_ += kNest;
  p_ = open + 1;
  prefix_ok_ = true;
  *have_operand = false;
  return true;
}

// V(name), I(name), P(name), S(name): a component's quantity from the
// running engine, or else a trace of that whole name.
bool CEvaluator::ReadQuantity(int code, const char* name, const char* open) {
  const char* close = open + 1;
  while (close < end_ && *close != ')') ++close;
  if (close == end_) return ExpressionError();
  p_ = close + 1;
  if (engine_ && EngineRunning(doc_)) {
    const char* a = open + 1;
    const char* b = close;
    while (a < b && IsBlank(*a)) ++a;
    while (b > a && IsBlank(b[-1])) --b;
    if (skipping_) {
      SetIntNumber(&operand_, 0);
      return true;
    }
    const AnsiString cmp_name(a, static_cast<std::size_t>(b - a));
    CCmp* cmp = cmps_ != nullptr ? cmps_->GetCmp(cmp_name) : nullptr;
    if (cmp == nullptr) return Fail("Unknown name '" + cmp_name + "'");
    return ReadEngineQuantity(doc_, cmp, code, ac_, &operand_);
  }
  if (traces_ != nullptr && !index_refs_) {
    if (skipping_) {
      SetIntNumber(&operand_, 0);
      return true;
    }
    const AnsiString whole(name, static_cast<std::size_t>(p_ - name));
    if (!traces_->GetTraceNamedValue(whole, ac_, &operand_))
      return Fail("Wrong variable name or number format: '" + whole + "'");
    return true;
  }
  return Fail(AnsiString("Function ") + name[0] + " not allowed");
}

// name[ : element access. The variables are searched first, then the
// arrays of the components.
bool CEvaluator::ReadArray(const char* name, int len, const char* open, int pending) {
  SNumber ref;
  if (skipping_) {
    SetIntNumber(&ref, 0);
  } else {
    SVar* var = vars_ != nullptr ? vars_->FindVar(name, len, 0) : nullptr;
    if ((var == nullptr || !var->IsArray()) && cmps_ != nullptr)
      var = cmps_->GetCmpVar(AnsiString(name, static_cast<std::size_t>(len)));
    if (var == nullptr || var->size < 1)
      return Fail("Unknown array '" + AnsiString(name, len) + "'");
    MakeArrayRef(&ref, var);
  }
  if (nest_ >= kMaxNest) return ExpressionError();
  if (!Push(ref, FOP_INDEX, kPrioIndex + nest_)) return false;
  stack_[top_].incmode = pending;
  nest_ += kNest;
  p_ = open + 1;
  prefix_ok_ = true;
  return true;
}

// A name that is a value: named values, then variables, traces, component
// parameters, and last the name read as a number ("inf").
bool CEvaluator::ResolveValue(const char* name, int len, int pending) {
  const int postfix = ReadPostfix();
  if (pending != 0 && postfix != 0) return SyntaxError();  // ++x++
  const int inc = pending != 0 ? pending : postfix;
  if (skipping_) {
    SetIntNumber(&operand_, 0);  // nothing is looked up, nothing changes
    return true;
  }
  bool named = true;
  if (IsWord(name, len, "pi")) {
    SetDoubleNumber(&operand_, kFormulaPi);
  } else if (IsWord(name, len, "rad")) {
    SetDoubleNumber(&operand_, 57.295779513260925);  // degrees per radian
  } else if (IsWord(name, len, "true") || IsWord(name, len, "false")) {
    SetBoolNumber(&operand_, len == 4);
  } else if (IsWord(name, len, "high") || IsWord(name, len, "low")) {
    const bool high = len == 4;
    if (doc_ == nullptr)
      return Fail(high ? "Value 'high' : no active document" : "Value 'low' : no active document");
    SetDoubleNumber(&operand_, high ? doc_->HighLevel() : doc_->LowLevel());
  } else if (len == 3 && name[0] == 'N' && IsWord(name + 1, 2, "an")) {
    return Fail("'NaN' not allowed in the expression");
  } else {
    named = false;
  }
  if (named) return inc == 0 || SyntaxError();

  if (vars_ != nullptr) {
    if (SVar* var = vars_->FindVar(name, len, 0)) {
      if (var->IsArray()) {
        if (inc != 0) return SyntaxError();
        MakeArrayRef(&operand_, var);
      } else if (inc != 0) {
        increment_copy_number(inc, &operand_, var->values);
      } else {
        operand_ = var->values[0];
      }
      return true;
    }
  }
  const AnsiString whole(name, static_cast<std::size_t>(len));
  if (traces_ != nullptr && !index_refs_ && traces_->GetTraceNamedValue(whole, ac_, &operand_))
    return inc == 0 || SyntaxError();
  double x = 0.0;
  if (cmps_ != nullptr && cmps_->GetCmpParamValue(whole, &x)) {
    if (inc != 0) {
      const bool up = inc == INC_PRE || inc == INC_POST;
      return Fail(AnsiString("Operator '") + (up ? "++" : "--") +
                  "' not allowed for component parameter");
    }
    SetDoubleNumber(&operand_, x);
    return true;
  }
  if (!indig_number(whole, &operand_, true))
    return Fail("Wrong variable name or number format: '" + whole + "'");
  return inc == 0 || SyntaxError();
}

// trace.(formula): the formula's value, printed with 12 digits, takes the
// place of the text in brackets, and the whole is a trace name.
bool CEvaluator::ReadTraceCall(const char* name, const char* dot) {
  const char* open = dot + 1;
  const char* close = open + 1;
  for (int depth = 1; close < end_; ++close) {
    if (*close == '(') ++depth;
    if (*close == ')' && --depth == 0) break;
  }
  if (close == end_) return ExpressionError();
  p_ = close + 1;
  if (skipping_) {
    SetIntNumber(&operand_, 0);
    return true;
  }
  double v = 0.0;
  const AnsiString inner(open + 1, static_cast<std::size_t>(close - open - 1));
  if (!formula(inner, &v, doc_, vars_, cmps_, engine_, traces_, nullptr, ac_, index_refs_, index_,
               c_mode_))
    return false;
  const AnsiString whole =
      AnsiString(name, static_cast<std::size_t>(open - name)) + "(" + sprintf3(v, 12) + ")";
  if (!traces_->GetTraceNamedValue(whole, ac_, &operand_))
    return Fail("Wrong variable name or number format: '" + whole + "'");
  return true;
}

// {n} or {n.m}: trace n of the list, data set m (or the caller's index), at
// the abscissa held by the first variable.
bool CEvaluator::ReadTraceRef() {
  if (!index_refs_) return SyntaxError();
  const char* open = p_;
  const char* close = open + 1;
  while (close < end_ && *close != '}') ++close;
  if (close == end_) return SyntaxError();
  char inner[32];
  const std::size_t len = static_cast<std::size_t>(close - open - 1);
  if (len >= sizeof inner) return SyntaxError();
  std::memcpy(inner, open + 1, len);
  inner[len] = '\0';
  // n or n.m, read as "%d.%d" would read them but without its undefined
  // behaviour on numbers beyond int: those are clamped.
  char* after = nullptr;
  const int n = ClampToInt(std::strtol(inner, &after, 10));
  if (after == inner) return SyntaxError();
  int m = -1;
  bool has_set = false;
  if (*after == '.') {
    char* after_m = nullptr;
    m = ClampToInt(std::strtol(after + 1, &after_m, 10));
    has_set = after_m != after + 1;
  }
  p_ = close + 1;
  if (skipping_) {
    SetIntNumber(&operand_, 0);
    return true;
  }
  const int set = (has_set && m >= 0) ? m : index_;
  const double x = (vars_ != nullptr && vars_->Count() > 0) ? Real(vars_->At(0)->values[0]) : 0.0;
  AnsiString trace_name;
  if (traces_ != nullptr && traces_->GetTraceDataValue(n, set, x, &operand_, &trace_name))
    return true;
  if (trace_name.IsEmpty())
    trace_name = AnsiString(open, static_cast<std::size_t>(close + 1 - open));
  zero_on_failure_ = true;
  return Fail("_No data for trace " + trace_name);
}

// Reads up to the next two-operand operator; closing brackets and ";" on
// the way are taken here. *op is FOP_END at the end of the text.
bool CEvaluator::ReadOperator(int* op) {
  for (;;) {
    while (p_ < end_ && (IsBlank(*p_) || *p_ == ';')) ++p_;
    if (p_ == end_) {
      *op = FOP_END;
      return true;
    }
    const char c = *p_;
    const char d = end_ - p_ >= 2 ? p_[1] : '\0';
    if (c == ')' || c == ']') {
      if (nest_ < kNest) return ExpressionError();
      nest_ -= kNest;
      ++p_;
      if (c == ']' && !CloseBracket()) return false;
      continue;
    }
    int len = 1;
    switch (c) {
      case '|': *op = d == '|' ? (len = 2, FOP_LOR) : FOP_BOR; break;
      case '&': *op = d == '&' ? (len = 2, FOP_LAND) : FOP_BAND; break;
      case '^': *op = FOP_BXOR; break;
      case '=':
        if (d != '=') return Fail("Operator '=' not allowed");
        *op = FOP_EQ;
        len = 2;
        break;
      case '!':
        if (d != '=') return Fail("Unknown operator '!'");
        *op = FOP_NE;
        len = 2;
        break;
      case '<':
        if (d == '=') *op = FOP_LE;
        else if (d == '<') *op = FOP_SHL;
        else *op = FOP_LT;
        if (d == '=' || d == '<') len = 2;
        break;
      case '>':
        if (d == '=') *op = FOP_GE;
        else if (d == '>') *op = FOP_SHR;
        else *op = FOP_GT;
        if (d == '=' || d == '>') len = 2;
        break;
      case '+': *op = FOP_ADD; break;
      case '-': *op = FOP_SUB; break;
      case '*': *op = FOP_MUL; break;
      case '/': *op = FOP_DIV; break;
      case '%': *op = FOP_MOD; break;
      case '?': *op = FOP_COND; break;
      case ':': *op = FOP_ALT; break;
      case ',': *op = FOP_COMMA; break;
      default: return Fail("Unknown operator '" + AnsiString(c) + "'");
    }
    p_ += len;
    return true;
  }
}

bool CEvaluator::Run(SNumber* out) {
  // The whole text "inf" or "-inf" needs no reading.
  const int n = text_.Length();
  if ((n == 3 && IsWord(p_, 3, "inf")) || (n == 4 && p_[0] == '-' && IsWord(p_ + 1, 3, "inf"))) {
    SetDoubleNumber(out, n == 3 ? HUGE_VAL : -HUGE_VAL);
    return true;
  }
  stack_ = static_cast<SFormulaEntry*>(std::malloc(sizeof(SFormulaEntry) * kStackFirst));
  if (stack_ == nullptr) return Fail("Out of memory");
  capacity_ = kStackFirst;
  for (;;) {
    bool ended = false;
    if (!ReadOperand(&ended)) return false;
    if (ended) {
      // Nothing at all (blanks, a lone "=") is the formula 0. A text that
      // ends where an operand is due ("1+", "-", "sin(") is incomplete and
      // is reported as unbalanced brackets are: any value would be a guess.
      if (top_ < 0 && nest_ == 0) {
        SetIntNumber(out, 0);
        return true;
      }
      return ExpressionError();
    }
    int op = FOP_END;
    if (!ReadOperator(&op)) return false;
    if (op == FOP_END && nest_ != 0) return ExpressionError();
    if (!PushOperator(op)) return false;
    if (op == FOP_END) break;
  }
  if (top_ != 0) return SyntaxError();
  const SNumber& v = stack_[0].value;
  if (v.kind == kArrayRef) return ArrayOperandError(v);
  *out = v;
  return true;
}

}  // namespace

bool formula(const AnsiString& text, double* result, CDoc* doc, CVarList* vars, CCmps* cmps,
             bool engine, CTraces* traces, SNumber* number, bool ac, bool indexRefs, int index,
             bool cMode) {
  CEvaluator evaluator(text, doc, vars, cmps, engine, traces, ac, indexRefs, index, cMode);
  SNumber value;
  if (!evaluator.Run(&value)) {
    if (evaluator.ZeroResultOnFailure() && result != nullptr) *result = 0.0;
    return false;
  }
  if (number != nullptr) *number = value;
  if (result != nullptr) *result = Real(value);
  return true;
}
