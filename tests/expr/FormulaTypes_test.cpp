// Type rules of the operators: promotion (complex, double, int64, int; bool
// as int), formula versus C integer arithmetic, the snapping of sums to 0,
// and the refusals of each operator family.

#include "expr/FormulaTest.h"

#include <limits>

TEST(FormulaArithmetic, FormulaDividesIntsAsDoublesCCodeDoesNot) {
  EXPECT_TRUE(GivesDouble(Eval("7/2"), 3.5));
  EXPECT_TRUE(GivesInt(EvalC("7/2"), 3));
  EXPECT_TRUE(GivesInt(EvalC("-7/2"), -3));  // C truncates toward zero
  EXPECT_TRUE(GivesDouble(Eval("1+2"), 3.0));
  EXPECT_TRUE(GivesInt(EvalC("1+2"), 3));
}

TEST(FormulaArithmetic, RemainderIsAlwaysDouble) {
  EXPECT_TRUE(GivesDouble(Eval("7%2"), 1.0));
  EXPECT_TRUE(GivesDouble(EvalC("7%2"), 1.0));
  EXPECT_TRUE(GivesDouble(Eval("7.5%2"), 1.5));
  EXPECT_TRUE(GivesDouble(Eval("-7%2"), -1.0));  // sign of the dividend, as fmod
  EXPECT_TRUE(GivesDouble(Eval("5%0"), std::nan("")));
  EXPECT_TRUE(FailsWith(Eval("2j%1"), "Function 'fmod' : complex arguments not allowed"));
}

TEST(FormulaArithmetic, Int64StaysInt64InBothModes) {
  EXPECT_TRUE(GivesInt64(Eval("7i64/2"), 3));
  EXPECT_TRUE(GivesInt64(Eval("4294967296*2"), 8589934592LL));
  EXPECT_TRUE(GivesDouble(Eval("4294967296*2.5"), 10737418240.0));
}

TEST(FormulaArithmetic, CIntArithmeticWraps) {
  EXPECT_TRUE(GivesInt(EvalC("2147483647+1"), std::numeric_limits<int>::min()));
  EXPECT_TRUE(GivesInt(EvalC("65536*65536"), 0));
}

TEST(FormulaArithmetic, SumsWithinResolutionSnapToZero) {
  EXPECT_TRUE(GivesDouble(Eval("0.1+0.2-0.3"), 0.0));
  EXPECT_TRUE(GivesDouble(Eval("1-1.0000000000001"), 0.0));    // 1e-13 relative
  EXPECT_TRUE(GivesDouble(Eval("-1+1.0000000000001"), 0.0));
  EXPECT_FALSE(GivesDouble(Eval("1-1.00000000001"), 0.0));     // 1e-11 relative
  EXPECT_TRUE(GivesDouble(Eval("1e-20+0"), 1e-20));            // zero never equals non-zero
  EXPECT_TRUE(GivesDouble(Eval("0.1*3-0.3"), 0.0));  // 0.30000000000000004 - 0.3
}

TEST(FormulaArithmetic, ComplexSumsSnapEachPart) {
  EXPECT_TRUE(GivesComplex(Eval("(0.1+0.2j)+(0.2+0.1j)-(0.3+0.3j)"), 0.0, 0.0));
}

TEST(FormulaArithmetic, ComplexProductAndQuotient) {
  EXPECT_TRUE(GivesComplex(Eval("(1+2j)*(3-1j)"), 5.0, 5.0));
  EXPECT_TRUE(GivesComplex(Eval("(5+5j)/(3-1j)"), 1.0, 2.0));
  EXPECT_TRUE(GivesComplex(Eval("2j*2j"), -4.0, 0.0));
  EXPECT_TRUE(GivesComplex(Eval("1+2j"), 1.0, 2.0));
}

TEST(FormulaArithmetic, DivisionByZeroOfEveryKind) {
  EXPECT_TRUE(FailsWith(Eval("1/0"), "Division by zero"));
  EXPECT_TRUE(FailsWith(EvalC("1/0"), "Division by zero"));
  EXPECT_TRUE(FailsWith(Eval("1.5/0.0"), "Division by zero"));
  EXPECT_TRUE(FailsWith(Eval("0/0"), "Division by zero"));
  EXPECT_TRUE(FailsWith(Eval("1i64/0"), "Division by zero"));
  EXPECT_TRUE(FailsWith(Eval("1j/(0*1j)"), "Division by zero"));
}

TEST(FormulaBitOperators, IntegersOnly) {
  EXPECT_TRUE(GivesInt(Eval("6|3"), 7));
  EXPECT_TRUE(GivesInt(Eval("6&3"), 2));
  EXPECT_TRUE(GivesInt(Eval("6^3"), 5));
  EXPECT_TRUE(GivesInt(Eval("true|2"), 3));  // bool counts as int
  EXPECT_TRUE(GivesInt64(Eval("0x100000000|1"), 4294967297LL));
  EXPECT_TRUE(FailsWith(Eval("1.5|1"), "Operator '|' : floating point arguments not allowed"));
  EXPECT_TRUE(FailsWith(Eval("1^2.0"), "Operator '^' : floating point arguments not allowed"));
  EXPECT_TRUE(FailsWith(Eval("1j&1"), "Operator '&' : complex arguments not allowed"));
  EXPECT_TRUE(FailsWith(Eval("1.5&1j"), "Operator '&' : complex arguments not allowed"));
}

TEST(FormulaBitOperators, ShiftsKeepTheLeftKind) {
  EXPECT_TRUE(GivesInt(Eval("1<<4"), 16));
  EXPECT_TRUE(GivesInt(Eval("-16>>2"), -4));  // the sign is kept
  EXPECT_TRUE(GivesInt(Eval("1<<33"), 2));    // count modulo 32
  EXPECT_TRUE(GivesInt64(Eval("1i64<<33"), 8589934592LL));
  EXPECT_TRUE(GivesInt(Eval("1<<33i64"), 2));  // the count becomes int
  EXPECT_TRUE(FailsWith(Eval("2.0<<1"), "Operator '<<' : floating point arguments not allowed"));
  EXPECT_TRUE(FailsWith(Eval("1>>1j"), "Operator '>>' : complex arguments not allowed"));
}

TEST(FormulaComparison, DoublesCompareWithinResolution) {
  EXPECT_TRUE(GivesBool(Eval("1==1.0000000000001"), true));
  EXPECT_TRUE(GivesBool(Eval("1<1.0000000000001"), false));
  EXPECT_TRUE(GivesBool(Eval("1<=1.0000000000001"), true));
  EXPECT_TRUE(GivesBool(Eval("1!=1.0000000001"), true));
  EXPECT_TRUE(GivesBool(Eval("0.1+0.2==0.3"), true));
}

TEST(FormulaComparison, IntegersCompareExactly) {
  EXPECT_TRUE(GivesBool(EvalC("1000000000001 == 1000000000000"), false));
  EXPECT_TRUE(GivesBool(Eval("2147483647i64 == 2147483647"), true));
  EXPECT_TRUE(GivesBool(Eval("3>2"), true));
  EXPECT_TRUE(GivesBool(Eval("-1>=0"), false));
}

TEST(FormulaComparison, ComplexOnlyForEquality) {
  EXPECT_TRUE(GivesBool(Eval("1+1j==1+1j"), true));
  EXPECT_TRUE(GivesBool(Eval("1j!=2j"), true));
  EXPECT_TRUE(GivesBool(Eval("complex(2)==2"), true));
  EXPECT_TRUE(FailsWith(Eval("1j<2j"), "Operator '<': complex arguments not allowed"));
  EXPECT_TRUE(FailsWith(Eval("1j<=2"), "Operator '<=': complex arguments not allowed"));
  EXPECT_TRUE(FailsWith(Eval("1>2j"), "Operator '>': complex arguments not allowed"));
  EXPECT_TRUE(FailsWith(Eval("1j>=2j"), "Operator '>=': complex arguments not allowed"));
}

TEST(FormulaLogic, OperandsBecomeBool) {
  EXPECT_TRUE(GivesBool(Eval("2 && 0.5"), true));
  EXPECT_TRUE(GivesBool(Eval("0 || 0.0"), false));
  EXPECT_TRUE(GivesBool(Eval("1j && 1"), true));
  // Both sides are evaluated: || does not stop at a true left side.
  EXPECT_TRUE(FailsWith(Eval("1 || 1/0"), "Division by zero"));
}

TEST(FormulaPrefixTypes, ComplementRefusesNonIntegers) {
  EXPECT_TRUE(GivesInt64(Eval("~5i64"), -6));
  EXPECT_TRUE(GivesInt(Eval("~true"), -2));
  EXPECT_TRUE(FailsWith(Eval("~1.5"), "Operator '~' : floating point argument not allowed"));
  EXPECT_TRUE(FailsWith(Eval("~1j"), "Operator '~' : complex argument not allowed"));
}

TEST(FormulaPrefixTypes, NegationKeepsTheKind) {
  EXPECT_TRUE(GivesInt(Eval("-true"), -1));  // bool becomes int
  EXPECT_TRUE(GivesInt64(Eval("-5i64"), -5));
  EXPECT_TRUE(GivesDouble(Eval("-2.5"), -2.5));
  const FormulaRun r = Eval("-(2j)");
  EXPECT_TRUE(GivesComplex(r, 0.0, -2.0));
  EXPECT_FALSE(std::signbit(r.value.v.d)) << "a real part of 0 stays +0";
  EXPECT_EQ("0-2j", OutNumber(&r.value).str());
}

TEST(FormulaCast, ConvertsTheOperandThatFollows) {
  EXPECT_TRUE(GivesInt(Eval("(int)3.7"), 3));
  EXPECT_TRUE(GivesInt(Eval("(int)(-3.7)"), -3));
  EXPECT_TRUE(GivesInt64(Eval("(int64)5"), 5));
  EXPECT_TRUE(GivesBool(Eval("(bool)2"), true));
  EXPECT_TRUE(GivesComplex(Eval("(complex)2"), 2.0, 0.0));
  EXPECT_TRUE(GivesDouble(Eval("(float)1"), 1.0));
}

TEST(FormulaCast, BindsTighterThanDivision) {
  EXPECT_TRUE(GivesDouble(EvalC("(double)7/2"), 3.5));
  EXPECT_TRUE(GivesInt(EvalC("(int)7.9/2"), 3));
  EXPECT_TRUE(GivesDouble(Eval("(int)7.9/2"), 3.5));
}

TEST(FormulaCast, OnlyTheTypeNamesCast) {
  // "Int" is no type name: a bracketed name, unknown here.
  EXPECT_TRUE(FailsWith(Eval("(Int)2"), "Wrong variable name or number format: 'Int'"));
}
