// The operators by family, as formula text and what it gives: priorities and
// brackets, arithmetic, bit operators, comparisons, logic, prefix operators,
// casts and the conditional. Kind promotion and C integer arithmetic are in
// FormulaTypes_test.cpp, mistakes of form in FormulaErrors_test.cpp.

#include "expr/FormulaTest.h"

TEST(FormulaSyntax, PrioritiesBracketsAndArgumentLists) {
  ExpectRows({
      {"1+2*3", Dbl(7)}, {"(1+2)*3", Dbl(9)}, {"2*3+1", Dbl(7)},
      {"2-3-4", Dbl(-5)}, {"8/4/2", Dbl(1)},  // equal priorities go left to right
      {"6*3%4", Dbl(2)},  // * and % share a priority: (6*3) % 4, not 6 * (3 % 4)
      {"1<2==1", Bool(true)},  // (1<2) == 1: the bool true compared with the int 1
      {"3>2>1", Bool(false)},  // (3>2) is true = 1, and 1>1 is false
      {"1|2^3&1", Int(3)},     // & before ^ before |: 1 | (2 ^ (3 & 1)) = 1 | 3
      {"12&10|1", Int(9)}, {"1||0&&0", Bool(true)}, {"0&&1||1", Bool(true)},
      // Shift is below addition; in a formula 1+2 is the double 3, which a
      // shift refuses (in C code it gives 6, see FormulaTypes).
      {"1+2<<1", ErrFloatOp("<<")},
      // Two-character operators win over one.
      {"1<=1", Bool(true)}, {"1<<1", Int(2)}, {"1<2", Bool(true)}, {"2>=2", Bool(true)},
      {"4>>1", Int(2)}, {"1==1", Bool(true)}, {"1!=1", Bool(false)},
      {"1&&1", Bool(true)}, {"1&1", Int(1)},
      // Round and square brackets both nest; an empty bracket is 0, so f()
      // calls f with 0.
      {"[1+2]*3", Dbl(9)}, {"((2))", Int(2)}, {"2*((1+1)*(3-1))", Dbl(8)},
      {"()", Int(0)}, {"sin()", Dbl(0)},
      // Arguments are whole expressions.
      {"max(1+2, 2*2, 3)", Dbl(4)}, {"max(1, 2)+max(3, 4)*2", Dbl(10)},
      {"pow(max(1, 2), min(3, 4))", Dbl(8)}, {"atan2(0, max(1, 2))", Dbl(0)},
      {"max(1, max(2, 3), 4)", Int(4)}, {"max(max(1, 2), max(3, 4), min(5, 6))", Int(5)},
      {"max(1, 0 ? 1/0 : 9)", Int(9)}, {"atan2(1,2,3)", ErrCount("atan2")},
      {"pow()", ErrCount("pow")}, {"sin(1,2)", ErrCount("sin")},
      // Empty text is 0; a leading "=", blanks and a trailing ";" are skipped.
      {"", Int(0)}, {"   ", Int(0)}, {"=", Int(0)}, {"=1+1", Dbl(2)},
      {" \t1 +\t2 ", Dbl(3)}, {"1+2;", Dbl(3)},
  });
}

TEST(FormulaOperators, Arithmetic) {
  const Want by_zero = Err("Division by zero");
  ExpectRows({
      // The remainder is always double, with the sign of the dividend (fmod).
      {"7.5%2", Dbl(1.5)}, {"-7%2", Dbl(-1)}, {"5%0", Dbl(std::nan(""))},
      {"2j%1", ErrComplexArgs("fmod")}, {"(1+2j)*(3-1j)", Cplx(5, 5)},
      {"(5+5j)/(3-1j)", Cplx(1, 2)}, {"2j*2j", Cplx(-4, 0)}, {"1+2j", Cplx(1, 2)},
      {"1/0", by_zero}, {"1.5/0.0", by_zero}, {"0/0", by_zero}, {"1i64/0", by_zero},
      {"1j/(0*1j)", by_zero},
  });
}

TEST(FormulaOperators, BitOperatorsAndShiftsTakeIntegersOnly) {
  ExpectRows({
      {"6|3", Int(7)}, {"6&3", Int(2)}, {"6^3", Int(5)}, {"true|2", Int(3)},  // bool counts as int
      {"0x100000000|1", Int64(4294967297LL)}, {"1.5|1", ErrFloatOp("|")},
      {"1^2.0", ErrFloatOp("^")}, {"1j&1", ErrComplexOp("&")}, {"1.5&1j", ErrComplexOp("&")},
      // A shift keeps the kind of its left side; the count becomes int.
      {"1<<4", Int(16)}, {"-16>>2", Int(-4)},  // the sign is kept
      {"1<<33", Int(2)},                         // count modulo 32
      {"1i64<<33", Int64(8589934592LL)}, {"1<<33i64", Int(2)}, {"2.0<<1", ErrFloatOp("<<")},
      {"1>>1j", ErrComplexOp(">>")},
  });
}

TEST(FormulaOperators, ComparisonsAndLogic) {
  ExpectRows({
      {"3>2", Bool(true)}, {"-1>=0", Bool(false)},
      // Complex values only for equality (no blank before the colon here).
      {"1+1j==1+1j", Bool(true)}, {"1j!=2j", Bool(true)}, {"complex(2)==2", Bool(true)},
      {"1j<2j", Err("Operator '<': complex arguments not allowed")},
      {"1j<=2", Err("Operator '<=': complex arguments not allowed")},
      {"1>2j", Err("Operator '>': complex arguments not allowed")},
      {"1j>=2j", Err("Operator '>=': complex arguments not allowed")},
      // Logic makes its operands bool and evaluates both: || does not stop
      // at a true left side.
      {"2 && 0.5", Bool(true)}, {"0 || 0.0", Bool(false)}, {"1j && 1", Bool(true)},
      {"1 || 1/0", Err("Division by zero")},
  });
}

TEST(FormulaOperators, PrefixOperators) {
  ExpectRows({
      {"-2^2", Int(-4)},  // (-2) ^ 2 on ints: ...11110 xor 10 = ...11100
      {"-2*3", Dbl(-6)}, {"-(2)", Int(-2)}, {"2*(-3)", Dbl(-6)},
      // Allowed after comparisons, logic, commas, "?" and brackets.
      {"1<-3", Bool(false)}, {"1==-1", Bool(false)}, {"0||!0", Bool(true)},
      {"6&~1", Int(6)}, {"max(-1,-2)", Int(-1)}, {"1?-2:3", Int(-2)},
      {"!(!1)", Bool(true)}, {"+5", Int(5)}, {"(+5)", Int(5)},  // unary plus is ignored
      {"!0", Bool(true)}, {"!2.5", Bool(false)}, {"~0", Int(-1)}, {"~5", Int(-6)},
      {"~5i64", Int64(-6)}, {"~true", Int(-2)},
      {"~1.5", Err("Operator '~' : floating point argument not allowed")},
      {"~1j", Err("Operator '~' : complex argument not allowed")},
      // Negation keeps the kind; a bool becomes int.
      {"-true", Int(-1)}, {"-5i64", Int64(-5)}, {"-2.5", Dbl(-2.5)},
  });
  const FormulaRun r = Eval("-(2j)");
  EXPECT_TRUE(Gives(r, Cplx(0, -2)));
  EXPECT_FALSE(std::signbit(r.value.v.d)) << "a real part of 0 stays +0";
  EXPECT_EQ("0-2j", OutNumber(&r.value).str());
}

TEST(FormulaOperators, CastsConvertTheOperandThatFollows) {
  ExpectRows({
      {"(int)3.7", Int(3)}, {"(int)(-3.7)", Int(-3)}, {"(int64)5", Int64(5)},
      {"(bool)2", Bool(true)}, {"(complex)2", Cplx(2, 0)}, {"(float)1", Dbl(1)},
      // "Int" is no type name: a bracketed name, unknown here.
      {"(Int)2", Err("Wrong variable name or number format: 'Int'")},
  });
}

TEST(FormulaConditional, OnlyTheSelectedBranchIsEvaluated) {
  ExpectRows({
      {"1 ? 2 : 3", Int(2)}, {"0 ? 2 : 3", Int(3)},
      {"0.5 ? 2 : 3.5", Int(2)},  // the branch keeps its own kind
      {"(1 ? 2 : 3) + 1", Dbl(3)}, {"1 < 2 ? 10 * 2 : 0", Dbl(20)},
      // The skipped branch raises no error...
      {"true ? 1 : 1/0", Int(1)}, {"false ? 1/0 : 2", Int(2)},
      {"1 ? 2 : sqrt(-1) + nosuchname", Int(2)}, {"1 ? (0 ? 1/0 : 5) : 1/0", Int(5)},
      {"0 ? (1 ? 1/0 : 1/0) : 6", Int(6)},
      // ...but the selected one does, and mistakes of form are found in both.
      {"true ? 1/0 : 1", Err("Division by zero")},
      {"0 ? 1 : sqrt(-1)", Err("Function 'sqrt' : negative argument")},
      {"1 ? 2 : foo(1)", Err("Unknown function foo")}, {"1 ? 2 : 2*-3", Err("Syntax error")},
      {"1 ? 2 : (3", Err("Expression error in '1 ? 2 : (3'")},
      // ":" binds tighter than "?", so a ? b : c ? d : e is (a ? b : c) ? d : e.
      {"1 ? 0 : 1 ? 5 : 6", Int(6)}, {"1 ? 0 : (1 ? 5 : 6)", Int(0)},
  });
  CVarList vars;
  AddTestVars(vars);  // n = 5
  const FormulaOptions o{.vars = &vars};
  // The skipped branch changes no variable.
  ExpectRows({{"0 ? n++ : n", Int(5)}, {"1 ? n : ++n", Int(5)}, {"n", Int(5)},
              {"1 ? n++ : n", Int(5)}, {"n", Int(6)}},
             o);
}
