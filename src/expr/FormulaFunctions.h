#pragma once
// The arithmetic of the formula language: the type rules of its operators
// and its built-in functions, applied to typed values. The reader and the
// priority stack live in Formula.cpp; this is what they apply.

#include "expr/Formula.h"
#include "expr/globals.h"

class CDoc;
struct SVar;

// Internal kind of an operand that names a whole array without an index.
// The array's SVar travels in the bytes of the value (ArrayOf). It is never
// stored in a variable or returned to a caller.
constexpr int kArrayRef = 5;

void MakeArrayRef(SNumber* n, SVar* var);
SVar* ArrayOf(const SNumber& n);  // null unless n.kind is kArrayRef
// Fails with the message for an array named where one value is wanted.
bool ArrayOperandError(const SNumber& n);

// One entry of the evaluation stack: the operand to the left of an operator,
// the operator, and its priority (base + 100 per open bracket).
struct SFormulaEntry {
  SNumber value;
  int op = 0;
  int prio = 0;
  int incmode = 0;    // element access: pending prefix ++ (1) or -- (2)
  bool dead = false;  // inside the branch a conditional skips: not performed
};

// Value helpers that never change their argument.
bool Truth(const SNumber& n);   // the value converted to bool
double Real(const SNumber& n);  // the value converted to double (real part)

// a = a op b for the two-operand operators (codes 15-32). cMode keeps int
// arithmetic for "+ - * /"; otherwise two ints are divided as doubles.
// False with m_global_errstr set on a refused operand.
bool ApplyBinary(int op, SNumber* a, SNumber b, bool cMode);
// x = op x for the prefix operators "!", "~" and "-" (codes 33-35).
bool ApplyPrefix(int op, SNumber* x);
// Built-in function code (36-80) over the n argument values args[0..n-1]
// (consecutive stack entries). doc gives the digital threshold of islow
// and ishigh and may be null.
bool CallFunction(int code, const SFormulaEntry* args, int n, SNumber* out, CDoc* doc);

// sin, cos and tan of x, exactly 0 where x is a multiple of pi (sin, tan)
// or of pi/2 off one (cos), with pi = kFormulaPi: a formula such as sin(pi)
// then gives the 0 its writer meant rather than 1e-12.
double SnapSin(double x);
double SnapCos(double x);
