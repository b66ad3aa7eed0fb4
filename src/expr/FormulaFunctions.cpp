#include "expr/FormulaFunctions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "base/globals.h"
#include "doc/Doc.h"
#include "expr/VarList.h"

namespace {

// Largest value of the C library's rand() on this platform; the random
// functions scale by it.
constexpr double kRandMax = 2147483647.0;

// Below this |fmod(angle, pi)| an angle counts as an exact multiple of pi.
constexpr double kZeroAngle = 1e-15;

bool Fail(const AnsiString& why) {
  m_global_errstr = why;
  return false;
}

bool StoredBool(const SNumber& n) {
  unsigned char byte = 0;
  std::memcpy(&byte, &n.v, 1);  // a raw kind change may leave any byte here
  return byte != 0;
}

// bool counts as int in every promotion.
int Widened(int kind) { return kind == NUM_BOOL ? NUM_INT : kind; }
// The most general of two kinds (the lower code).
int Promoted(int a, int b) { return std::min(Widened(a), Widened(b)); }

struct Cx {
  double re, im;
};

Cx ComplexOf(const SNumber& n) {
  if (n.kind == NUM_COMPLEX) return {n.v.d, n.im};
  return {Real(n), 0.0};
}

// Plain value of a conversion, leaving the argument alone.
SNumber Converted(SNumber n, int kind) {
  ConvertNumber(&n, kind);
  return n;
}

double SnapSum(double a, double b) { return CompareValues(a, -b) == 0 ? 0.0 : a + b; }
double SnapDifference(double a, double b) { return CompareValues(a, b) == 0 ? 0.0 : a - b; }

// Wrapping integer arithmetic: C code relies on it, and signed overflow in
// C++ would be undefined.
int32_t Wrap32(uint32_t x) { return static_cast<int32_t>(x); }
int64_t Wrap64(uint64_t x) { return static_cast<int64_t>(x); }

// The quotient of a complex division; the caller has refused |b| = 0.
Cx Divide(Cx a, Cx b) {
  const double m = b.re * b.re + b.im * b.im;
  return {(a.re * b.re + a.im * b.im) / m, (b.re * a.im - a.re * b.im) / m};
}

// Polar to rectangular with the exact zeros of sin and cos at multiples
// of pi/2, so that exp(j*pi) has an imaginary part of exactly 0.
SNumber Polar(double modulus, double angle) {
  SNumber out;
  const double im =
      std::fabs(std::fmod(angle, kFormulaPi)) < kZeroAngle ? 0.0 : modulus * std::sin(angle);
  const double re = std::fabs(std::fmod(angle + kFormulaHalfPi, kFormulaPi)) < kZeroAngle
                        ? 0.0
                        : modulus * std::cos(angle);
  SetComplexNumber(&out, re, im);
  return out;
}

const char* BinaryName(int op) {
  switch (op) {
    case FOP_BOR: return "|";
    case FOP_BXOR: return "^";
    case FOP_BAND: return "&";
    case FOP_SHR: return ">>";
    case FOP_SHL: return "<<";
    case FOP_LE: return "<=";
    case FOP_LT: return "<";
    case FOP_GE: return ">=";
    default: return ">";
  }
}

// Bit operators take integers only; the most general kind names the refusal.
bool RefuseNonInteger(const char* name, int kind) {
  if (kind == NUM_COMPLEX)
    return Fail(AnsiString("Operator '") + name + "' : complex arguments not allowed");
  if (kind == NUM_DOUBLE)
    return Fail(AnsiString("Operator '") + name + "' : floating point arguments not allowed");
  return true;
}

bool Arithmetic(int op, SNumber* a, SNumber b, bool cMode) {
  int k = Promoted(a->kind, b.kind);
  // A formula divides 7/2 as 3.5; only C code keeps int arithmetic.
  if (k == NUM_INT && !cMode) k = NUM_DOUBLE;
  ConvertNumber(a, k);
  ConvertNumber(&b, k);
  switch (k) {
    case NUM_COMPLEX: {
      const Cx x{a->v.d, a->im}, y{b.v.d, b.im};
      Cx r{};
      switch (op) {
        case FOP_ADD: r = {SnapSum(x.re, y.re), SnapSum(x.im, y.im)}; break;
        case FOP_SUB: r = {SnapDifference(x.re, y.re), SnapDifference(x.im, y.im)}; break;
        case FOP_MUL: r = {x.re * y.re - x.im * y.im, x.re * y.im + x.im * y.re}; break;
        default:
          if (y.re * y.re + y.im * y.im == 0.0) return Fail("Division by zero");
          r = Divide(x, y);
      }
      SetComplexNumber(a, r.re, r.im);
      return true;
    }
    case NUM_DOUBLE: {
      const double x = a->v.d, y = b.v.d;
      double r = 0.0;
      switch (op) {
        case FOP_ADD: r = SnapSum(x, y); break;
        case FOP_SUB: r = SnapDifference(x, y); break;
        case FOP_MUL: r = x * y; break;
        default:
          if (y == 0.0) return Fail("Division by zero");
          r = x / y;
      }
      SetDoubleNumber(a, r);
      return true;
    }
    case NUM_INT64: {
      const int64_t x = a->v.i64, y = b.v.i64;
      const uint64_t ux = static_cast<uint64_t>(x), uy = static_cast<uint64_t>(y);
      int64_t r = 0;
      switch (op) {
        case FOP_ADD: r = Wrap64(ux + uy); break;
        case FOP_SUB: r = Wrap64(ux - uy); break;
        case FOP_MUL: r = Wrap64(ux * uy); break;
        default:
          if (y == 0) return Fail("Division by zero");
          r = (y == -1) ? Wrap64(0u - ux) : x / y;  // INT64_MIN / -1 wraps
      }
      SetInt64Number(a, r);
      return true;
    }
    default: {
      const int32_t x = a->v.i, y = b.v.i;
      const uint32_t ux = static_cast<uint32_t>(x), uy = static_cast<uint32_t>(y);
      int32_t r = 0;
      switch (op) {
        case FOP_ADD: r = Wrap32(ux + uy); break;
        case FOP_SUB: r = Wrap32(ux - uy); break;
        case FOP_MUL: r = Wrap32(ux * uy); break;
        default:
          if (y == 0) return Fail("Division by zero");
          r = (y == -1) ? Wrap32(0u - ux) : x / y;
      }
      SetIntNumber(a, r);
      return true;
    }
  }
}

bool BitOperator(int op, SNumber* a, SNumber b) {
  const int k = Promoted(a->kind, b.kind);
  if (!RefuseNonInteger(BinaryName(op), k)) return false;
  if (op == FOP_SHL || op == FOP_SHR) {
    ConvertNumber(&b, NUM_INT);
    if (a->kind == NUM_INT64) {
      const unsigned s = static_cast<unsigned>(b.v.i) & 63u;
      const int64_t x = a->v.i64;
      SetInt64Number(a, op == FOP_SHL ? Wrap64(static_cast<uint64_t>(x) << s) : x >> s);
    } else {
      ConvertNumber(a, NUM_INT);
      const unsigned s = static_cast<unsigned>(b.v.i) & 31u;
      const int32_t x = a->v.i;
      SetIntNumber(a, op == FOP_SHL ? Wrap32(static_cast<uint32_t>(x) << s) : x >> s);
    }
    return true;
  }
  ConvertNumber(a, k);
  ConvertNumber(&b, k);
  if (k == NUM_INT64) {
    const int64_t x = a->v.i64, y = b.v.i64;
    SetInt64Number(a, op == FOP_BOR ? (x | y) : op == FOP_BXOR ? (x ^ y) : (x & y));
  } else {
    const int32_t x = a->v.i, y = b.v.i;
    SetIntNumber(a, op == FOP_BOR ? (x | y) : op == FOP_BXOR ? (x ^ y) : (x & y));
  }
  return true;
}

bool Comparison(int op, SNumber* a, SNumber b) {
  const int k = Promoted(a->kind, b.kind);
  int c = 0;  // -1: a < b, 0: equal, 1: a > b
  if (k == NUM_COMPLEX) {
    if (op != FOP_EQ && op != FOP_NE)
      return Fail(AnsiString("Operator '") + BinaryName(op) + "': complex arguments not allowed");
    const Cx x = ComplexOf(*a), y = ComplexOf(b);
    c = (CompareValues(x.re, y.re) == 0 && CompareValues(x.im, y.im) == 0) ? 0 : 1;
  } else if (k == NUM_DOUBLE) {
    // Tolerant: values equal within 1e-12 relative are equal, and then
    // neither "<" nor ">" holds between them.
    c = CompareValues(Real(*a), Real(b));
  } else {
    const int64_t x = Converted(*a, NUM_INT64).v.i64, y = Converted(b, NUM_INT64).v.i64;
    c = x < y ? -1 : (x > y ? 1 : 0);
  }
  bool r = false;
  switch (op) {
    case FOP_EQ: r = c == 0; break;
    case FOP_NE: r = c != 0; break;
    case FOP_LE: r = c <= 0; break;
    case FOP_LT: r = c < 0; break;
    case FOP_GE: r = c >= 0; break;
    default: r = c > 0; break;
  }
  SetBoolNumber(a, r);
  return true;
}

// --- Functions ----------------------------------------------------------------

// The name a function's messages use: aliases share their main name.
const char* MessageName(int code) {
  static const char* const kNames[] = {
      "floor", "ceil",  "round", "sin",   "cos",    "tan",    "asin",   "acos",  "atan",
      "atan2", "phase", "sqrt",  "sqr",   "sq",     "exp",    "log",    "log10", "log2",
      "pow",   "pwr",   "abs",   "sign",  "dB",     "min",    "max",    "mean",  "sum",
      "int",   "int64", "double", "double", "complex", "bool", "V",      "I",     "P",
      "S",     "re",    "im",    "random", "gauss", "par",    "limit",  "islow", "ishigh"};
  return kNames[code - FOP_FIRST_FUNC];
}

// Argument counts: least and most (-1 for any number).
struct SArity {
  int least, most;
};

SArity ArityOf(int code) {
  switch (code) {
    case FN_ROUND: case FN_ATAN2: case FN_LOG: case FN_DB:
      return {1, 2};
    case FN_POW: case FN_PWR: case FN_GAUSS:
      return {2, 2};
    case FN_LIMIT:
      return {3, 3};
    case FN_MIN: case FN_MAX: case FN_MEAN: case FN_SUM: case FN_PAR:
      return {1, -1};
    default:
      return {1, 1};
  }
}

// Functions defined for real values only.
bool RealOnly(int code) {
  switch (code) {
    case FN_FLOOR: case FN_CEIL: case FN_ROUND: case FN_SIN: case FN_COS: case FN_TAN:
    case FN_ASIN: case FN_ACOS: case FN_ATAN: case FN_ATAN2: case FN_SQR: case FN_PWR:
    case FN_SIGN: case FN_DB: case FN_RAND: case FN_GAUSS: case FN_LIMIT: case FN_ISLOW:
    case FN_ISHIGH:
      return true;
    default:
      return false;
  }
}

bool FunctionFail(int code, const char* what) {
  return Fail(AnsiString("Function '") + MessageName(code) + "' : " + what);
}

// The natural logarithm of a value: double for a real one, complex for a
// complex one; refuses a real value <= 0 and a complex 0.
bool Logarithm(const SNumber& x, SNumber* out) {
  if (x.kind == NUM_COMPLEX) {
    const double m = std::hypot(x.v.d, x.im);
    if (m == 0.0) return Fail("Function 'log' : argument <= 0");
    SetComplexNumber(out, std::log(m), std::atan2(x.im, x.v.d));
    return true;
  }
  const double r = Real(x);
  if (!(r > 0.0)) return Fail("Function 'log' : argument <= 0");
  SetDoubleNumber(out, std::log(r));
  return true;
}

void DivideBy(SNumber* x, double d) {
  if (x->kind == NUM_COMPLEX) SetComplexNumber(x, x->v.d / d, x->im / d);
  else SetDoubleNumber(x, x->v.d / d);
}

SNumber ComplexSqrt(Cx z) {
  SNumber out;
  if (z.im == 0.0) {
    if (z.re >= 0.0) SetComplexNumber(&out, std::sqrt(z.re), 0.0);
    else SetComplexNumber(&out, 0.0, std::sqrt(-z.re));
    return out;
  }
  return Polar(std::sqrt(std::hypot(z.re, z.im)), std::atan2(z.im, z.re) / 2.0);
}

// min and max: over one array in its kind, else over the arguments in the
// most general kind among them.
bool Extreme(int code, const SFormulaEntry* args, int n, SNumber* out) {
  const bool want_max = code == FN_MAX;
  const SNumber* values = nullptr;
  int count = 0;
  int kind = NUM_BOOL;
  SVar* array = n == 1 ? ArrayOf(args[0].value) : nullptr;
  if (array != nullptr) {
    values = array->values;
    count = array->size;
    kind = values[0].kind;
  } else {
    for (int k = 0; k < n; ++k) {
      if (args[k].value.kind == kArrayRef) return ArrayOperandError(args[k].value);
      kind = std::min(kind, args[k].value.kind);
    }
    count = n;
  }
  if (kind == NUM_COMPLEX) return Fail("Functions 'min' and 'max' : complex arguments not allowed");
  SNumber best = Converted(values ? values[0] : args[0].value, kind);
  for (int k = 1; k < count; ++k) {
    const SNumber x = Converted(values ? values[k] : args[k].value, kind);
    bool better = false;
    if (kind == NUM_DOUBLE) {
      better = want_max ? x.v.d > best.v.d : x.v.d < best.v.d;
    } else {
      const int64_t xi = Converted(x, NUM_INT64).v.i64, bi = Converted(best, NUM_INT64).v.i64;
      better = want_max ? xi > bi : xi < bi;
    }
    if (better) best = x;
  }
  *out = best;
  return true;
}

// mean and sum: in complex when any value is complex, else in double.
bool Total(int code, const SFormulaEntry* args, int n, SNumber* out) {
  SVar* array = n == 1 ? ArrayOf(args[0].value) : nullptr;
  const int count = array != nullptr ? array->size : n;
  bool complex = false;
  for (int k = 0; k < count; ++k) {
    const SNumber& x = array != nullptr ? array->values[k] : args[k].value;
    if (x.kind == kArrayRef) return ArrayOperandError(x);
    if (x.kind == NUM_COMPLEX) complex = true;
  }
  Cx sum{0.0, 0.0};
  for (int k = 0; k < count; ++k) {
    const Cx x = ComplexOf(array != nullptr ? array->values[k] : args[k].value);
    sum.re += x.re;
    sum.im += x.im;
  }
  if (code == FN_MEAN) {
    sum.re /= count;
    sum.im /= count;
  }
  if (complex) SetComplexNumber(out, sum.re, sum.im);
  else SetDoubleNumber(out, sum.re);
  return true;
}

// Parallel combination a*b/(a+b), folded left; plain IEEE arithmetic, so two
// opposite values give an infinite result rather than an error.
void Parallel(const SFormulaEntry* args, int n, SNumber* out) {
  bool complex = false;
  for (int k = 0; k < n; ++k) complex = complex || args[k].value.kind == NUM_COMPLEX;
  Cx r = ComplexOf(args[0].value);
  for (int k = 1; k < n; ++k) {
    const Cx b = ComplexOf(args[k].value);
    const Cx num{r.re * b.re - r.im * b.im, r.re * b.im + r.im * b.re};
    const Cx den{r.re + b.re, r.im + b.im};
    if (complex) {
      r = Divide(num, den);
    } else {
      r = {num.re / den.re, 0.0};
    }
  }
  if (complex) SetComplexNumber(out, r.re, r.im);
  else SetDoubleNumber(out, r.re);
}

double Gauss(double mean, double deviation) {
  double u = 0.0, s = 0.0;
  do {
    u = 2.0 * std::rand() / kRandMax - 1.0;
    const double v = 2.0 * std::rand() / kRandMax - 1.0;
    s = u * u + v * v;
  } while (!(s > 0.0 && s < 1.0));
  return mean + deviation * u * std::sqrt(-2.0 * std::log(s) / s);
}

}  // namespace

// --- Shared helpers ---------------------------------------------------------------

void MakeArrayRef(SNumber* n, SVar* var) {
  n->kind = kArrayRef;
  n->v.i64 = 0;
  std::memcpy(&n->v, &var, sizeof var);
  n->im = 0.0;
}

SVar* ArrayOf(const SNumber& n) {
  if (n.kind != kArrayRef) return nullptr;
  SVar* var = nullptr;
  std::memcpy(&var, &n.v, sizeof var);
  return var;
}

// An array named without an index is a value only to min, max, mean,
// average and sum as their single argument. Anywhere else it is refused:
// the writer forgot the index, and taking element 0 or the address would
// hide that.
bool ArrayOperandError(const SNumber& n) {
  const SVar* var = ArrayOf(n);
  return Fail(AnsiString("Array '") + (var != nullptr ? var->name : "") + "' used without index");
}

bool Truth(const SNumber& n) {
  switch (n.kind) {
    case NUM_COMPLEX: return n.v.d != 0.0 || n.im != 0.0;  // NaN counts as non-zero
    case NUM_DOUBLE: return n.v.d != 0.0;
    case NUM_INT64: return n.v.i64 != 0;
    case NUM_INT: return n.v.i != 0;
    default: return StoredBool(n);
  }
}

double Real(const SNumber& n) {
  switch (n.kind) {
    case NUM_INT64: return static_cast<double>(n.v.i64);
    case NUM_INT: return static_cast<double>(n.v.i);
    case NUM_BOOL: return StoredBool(n) ? 1.0 : 0.0;
    default: return n.v.d;
  }
}

double SnapSin(double x) {
  return std::fabs(std::fmod(x, kFormulaPi)) < kZeroAngle ? 0.0 : std::sin(x);
}

double SnapCos(double x) {
  return std::fabs(std::fmod(x + kFormulaHalfPi, kFormulaPi)) < kZeroAngle ? 0.0 : std::cos(x);
}

bool ApplyBinary(int op, SNumber* a, SNumber b, bool cMode) {
  if (a->kind == kArrayRef) return ArrayOperandError(*a);
  if (b.kind == kArrayRef) return ArrayOperandError(b);
  switch (op) {
    case FOP_LOR: SetBoolNumber(a, Truth(*a) || Truth(b)); return true;
    case FOP_LAND: SetBoolNumber(a, Truth(*a) && Truth(b)); return true;
    case FOP_BOR: case FOP_BXOR: case FOP_BAND: case FOP_SHR: case FOP_SHL:
      return BitOperator(op, a, b);
    case FOP_EQ: case FOP_NE: case FOP_LE: case FOP_LT: case FOP_GE: case FOP_GT:
      return Comparison(op, a, b);
    case FOP_ADD: case FOP_SUB: case FOP_MUL: case FOP_DIV:
      return Arithmetic(op, a, b, cMode);
    case FOP_MOD:
      if (a->kind == NUM_COMPLEX || b.kind == NUM_COMPLEX)
        return Fail("Function 'fmod' : complex arguments not allowed");
      SetDoubleNumber(a, std::fmod(Real(*a), Real(b)));
      return true;
    default:
      return Fail("Unknown operator");
  }
}

bool ApplyPrefix(int op, SNumber* x) {
  if (x->kind == kArrayRef) return ArrayOperandError(*x);
  switch (op) {
    case FOP_NOT:
      SetBoolNumber(x, !Truth(*x));
      return true;
    case FOP_BNOT:
      if (x->kind == NUM_COMPLEX) return Fail("Operator '~' : complex argument not allowed");
      if (x->kind == NUM_DOUBLE) return Fail("Operator '~' : floating point argument not allowed");
      if (x->kind == NUM_INT64) SetInt64Number(x, ~x->v.i64);
      else SetIntNumber(x, ~Converted(*x, NUM_INT).v.i);
      return true;
    default:  // FOP_NEG
      switch (x->kind) {
        case NUM_COMPLEX:
          // A real part of 0 stays +0: -(2j) prints as 0-2j, never -0-2j.
          SetComplexNumber(x, x->v.d == 0.0 ? 0.0 : -x->v.d, -x->im);
          return true;
        case NUM_DOUBLE: SetDoubleNumber(x, -x->v.d); return true;
        case NUM_INT64:
          SetInt64Number(x, Wrap64(0u - static_cast<uint64_t>(x->v.i64)));
          return true;
        default:
          SetIntNumber(x, Wrap32(0u - static_cast<uint32_t>(Converted(*x, NUM_INT).v.i)));
          return true;
      }
  }
}

bool CallFunction(int code, const SFormulaEntry* args, int n, SNumber* out, CDoc* doc) {
  const SArity arity = ArityOf(code);
  if (n < arity.least || (arity.most >= 0 && n > arity.most))
    return FunctionFail(code, "wrong number of parameters");
  switch (code) {
    case FN_MIN: case FN_MAX: return Extreme(code, args, n, out);
    case FN_MEAN: case FN_SUM: return Total(code, args, n, out);
    default: break;
  }
  for (int k = 0; k < n; ++k) {
    if (args[k].value.kind == kArrayRef) return ArrayOperandError(args[k].value);
  }
  if (RealOnly(code)) {
    for (int k = 0; k < n; ++k) {
      if (args[k].value.kind == NUM_COMPLEX)
        return FunctionFail(code, n == 1 ? "complex argument not allowed"
                                         : "complex arguments not allowed");
    }
  }
  const SNumber& x = args[0].value;
  const double r = Real(x);  // the real value of a real-only function
  switch (code) {
    case FN_FLOOR: SetDoubleNumber(out, std::floor(r)); return true;
    case FN_CEIL: SetDoubleNumber(out, std::ceil(r)); return true;
    case FN_ROUND: {
      if (n == 1) {
        SetDoubleNumber(out, std::floor(r + 0.5));
      } else {
        const double step = Real(args[1].value);
        SetDoubleNumber(out, step > 0.0 ? std::floor(r / step + 0.5) * step : r);
      }
      return true;
    }
    case FN_SIN: SetDoubleNumber(out, SnapSin(r)); return true;
    case FN_COS: SetDoubleNumber(out, SnapCos(r)); return true;
    case FN_TAN:
      SetDoubleNumber(out, std::fabs(std::fmod(r, kFormulaPi)) < kZeroAngle ? 0.0 : std::tan(r));
      return true;
    case FN_ASIN: SetDoubleNumber(out, std::asin(r)); return true;
    case FN_ACOS: SetDoubleNumber(out, std::acos(r)); return true;
    case FN_ATAN: SetDoubleNumber(out, std::atan(r)); return true;
    case FN_ATAN2: {
      const double xr = n == 2 ? Real(args[1].value) : 1.0;
      SetDoubleNumber(out, (r == 0.0 && xr == 0.0) ? 0.0 : std::atan2(r, xr));
      return true;
    }
    case FN_PHASE: {
      const Cx z = ComplexOf(x);
      SetDoubleNumber(out, (z.re == 0.0 && z.im == 0.0) ? 0.0 : std::atan2(z.im, z.re));
      return true;
    }
    case FN_SQRT:
      if (x.kind == NUM_COMPLEX) {
        *out = ComplexSqrt(ComplexOf(x));
        return true;
      }
      if (r < 0.0) return FunctionFail(code, "negative argument");
      SetDoubleNumber(out, std::sqrt(r));
      return true;
    case FN_SQR: SetDoubleNumber(out, r < 0.0 ? -std::sqrt(-r) : std::sqrt(r)); return true;
    case FN_SQ:
      if (x.kind == NUM_COMPLEX)
        SetComplexNumber(out, x.v.d * x.v.d - x.im * x.im, 2.0 * x.v.d * x.im);
      else SetDoubleNumber(out, r * r);
      return true;
    case FN_EXP:
      if (x.kind == NUM_COMPLEX) *out = Polar(std::exp(x.v.d), x.im);
      else SetDoubleNumber(out, r < -300.0 ? 0.0 : std::exp(r));
      return true;
    case FN_LOG: {
      if (n == 2 && args[1].value.kind == NUM_COMPLEX)
        return FunctionFail(code, "complex base not allowed");
      if (!Logarithm(x, out)) return false;
      if (n == 2) {
        SNumber base;
        if (!Logarithm(args[1].value, &base)) return false;
        DivideBy(out, base.v.d);
      }
      return true;
    }
    case FN_LOG10: case FN_LOG2:
      // The refusal names "log" for every logarithm.
      if (!Logarithm(x, out)) return false;
      DivideBy(out, code == FN_LOG10 ? 2.302585092994046 : 0.6931471805599453);
      return true;
    case FN_POW: {
      if (args[1].value.kind == NUM_COMPLEX) return FunctionFail(code, "complex power not allowed");
      const double p = Real(args[1].value);
      if (x.kind == NUM_COMPLEX) {
        const double m = std::hypot(x.v.d, x.im);
        if (m == 0.0) SetComplexNumber(out, 0.0, 0.0);
        else *out = Polar(std::pow(m, p), p * std::atan2(x.im, x.v.d));
      } else {
        SetDoubleNumber(out, r == 0.0 ? 0.0 : std::pow(r, p));
      }
      return true;
    }
    case FN_PWR: {
      const double p = Real(args[1].value);
      SetDoubleNumber(out, r > 0.0 ? std::pow(r, p) : -std::pow(-r, p));
      return true;
    }
    case FN_ABS:
      switch (x.kind) {
        case NUM_COMPLEX: SetDoubleNumber(out, std::hypot(x.v.d, x.im)); break;
        case NUM_DOUBLE: SetDoubleNumber(out, std::fabs(x.v.d)); break;
        case NUM_INT64:
          SetInt64Number(out, x.v.i64 < 0 ? Wrap64(0u - static_cast<uint64_t>(x.v.i64)) : x.v.i64);
          break;
        default: {
          const int32_t i = Converted(x, NUM_INT).v.i;
          SetIntNumber(out, i < 0 ? Wrap32(0u - static_cast<uint32_t>(i)) : i);
        }
      }
      return true;
    case FN_SIGN: SetIntNumber(out, r > 0.0 ? 1 : (r == 0.0 ? 0 : -1)); return true;
    case FN_DB: {
      const double v = n == 2 ? r / Real(args[1].value) : r;
      SetDoubleNumber(out, 20.0 * std::log10(std::fabs(v)));
      return true;
    }
    case FN_INT: case FN_INT64: case FN_DOUBLE: case FN_FLOAT: case FN_COMPLEX: case FN_BOOL: {
      static const int kKinds[] = {NUM_INT,    NUM_INT64,   NUM_DOUBLE,
                                   NUM_DOUBLE, NUM_COMPLEX, NUM_BOOL};
      *out = Converted(x, kKinds[code - FN_INT]);
      return true;
    }
    case FN_RE: SetDoubleNumber(out, r); return true;
    case FN_IM: SetDoubleNumber(out, x.kind == NUM_COMPLEX ? x.im : 0.0); return true;
    case FN_RAND:
      random_function_used = true;
      SetDoubleNumber(out, std::rand() * r / kRandMax);
      return true;
    case FN_GAUSS:
      random_function_used = true;
      SetDoubleNumber(out, Gauss(r, Real(args[1].value)));
      return true;
    case FN_PAR: Parallel(args, n, out); return true;
    case FN_LIMIT: {
      const double lo = Real(args[1].value), hi = Real(args[2].value);
      SetDoubleNumber(out, r < lo ? lo : (r > hi ? hi : r));
      return true;
    }
    case FN_ISLOW: case FN_ISHIGH:
      if (doc == nullptr) return FunctionFail(code, "no active document");
      SetBoolNumber(out, code == FN_ISLOW ? r < doc->Threshold() : r >= doc->Threshold());
      return true;
    default:
      // V, I, P and S never get here: the reader takes their argument itself.
      return Fail(AnsiString("Function ") + MessageName(code) + " not allowed");
  }
}

// --- C code: increment and compound assignment ---------------------------------

void increment_copy_number(int mode, SNumber* dst, SNumber* var) {
  const bool prefix = mode == INC_PRE || mode == DEC_PRE;
  if (!prefix && mode != INC_POST && mode != DEC_POST) {
    *dst = *var;
    return;
  }
  const int step = (mode == INC_PRE || mode == INC_POST) ? 1 : -1;
  if (!prefix) *dst = *var;
  switch (var->kind) {
    // A complex variable steps its real part in every mode: z++ changes z
    // as ++z does, which is what a writer of either form expects.
    case NUM_COMPLEX:
    case NUM_DOUBLE: var->v.d += step; break;
    case NUM_INT64:
      var->v.i64 = Wrap64(static_cast<uint64_t>(var->v.i64) + static_cast<uint64_t>(step));
      break;
    case NUM_INT:
      var->v.i = Wrap32(static_cast<uint32_t>(var->v.i) + static_cast<uint32_t>(step));
      break;
    default: break;  // a bool never changes
  }
  if (prefix) *dst = *var;
}

bool calc_assignment_operator(int op, SNumber* dst, SNumber* src) {
  if (op == FOP_EQ) {
    AssignNumber(dst, src);
    return true;
  }
  const char* name = nullptr;
  switch (op) {
    case FOP_BOR: name = "|="; break;
    case FOP_BXOR: name = "^="; break;
    case FOP_BAND: name = "&="; break;
    case FOP_SHR: name = ">>="; break;
    case FOP_SHL: name = "<<="; break;
    case FOP_ADD: name = "+="; break;
    case FOP_SUB: name = "-="; break;
    case FOP_MUL: name = "*="; break;
    case FOP_DIV: name = "/="; break;
    case FOP_MOD: name = "%="; break;
    default: return Fail("Unknown operator");
  }
  SNumber a = *dst;
  SNumber b = *src;
  if (a.kind == kArrayRef) return ArrayOperandError(a);
  if (b.kind == kArrayRef) return ArrayOperandError(b);
  const int k = Promoted(a.kind, b.kind);
  switch (op) {
    case FOP_BOR: case FOP_BXOR: case FOP_BAND: case FOP_SHR: case FOP_SHL:
      if (!RefuseNonInteger(name, k) || !BitOperator(op, &a, b)) return false;
      break;
    case FOP_MOD:
      // Refused in the words of the other compound operators.
      if (k == NUM_COMPLEX) return RefuseNonInteger(name, k);
      ConvertNumber(&a, k);
      ConvertNumber(&b, k);
      if (k == NUM_DOUBLE) {
        SetDoubleNumber(&a, std::fmod(a.v.d, b.v.d));
      } else if (k == NUM_INT64) {
        if (b.v.i64 == 0) return Fail("Division by zero");
        SetInt64Number(&a, b.v.i64 == -1 ? 0 : a.v.i64 % b.v.i64);
      } else {
        if (b.v.i == 0) return Fail("Division by zero");
        SetIntNumber(&a, b.v.i == -1 ? 0 : a.v.i % b.v.i);
      }
      break;
    default:
      // In the promoted kind, as in C: int stays int. A zero divisor of any
      // kind is refused, as the "/" operator refuses it, so x /= 0.0 and
      // x = x / 0.0 fail alike.
      if (!Arithmetic(op, &a, b, true)) return false;
  }
  AssignNumber(dst, &a);
  return true;
}
