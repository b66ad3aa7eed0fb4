// The two helpers of the C interpreter: compound assignment and increment.

#include "expr/FormulaTest.h"

#include <limits>

namespace {

SNumber Int(int v) {
  SNumber n;
  SetIntNumber(&n, v);
  return n;
}
SNumber Dbl(double v) {
  SNumber n;
  SetDoubleNumber(&n, v);
  return n;
}
SNumber Cx(double re, double im) {
  SNumber n;
  SetComplexNumber(&n, re, im);
  return n;
}

}  // namespace

TEST(CompoundAssignment, PlainAssignmentKeepsTheTargetKind) {
  SNumber dst = Int(0), src = Dbl(2.9);
  ASSERT_TRUE(calc_assignment_operator(FOP_EQ, &dst, &src));
  EXPECT_EQ(NUM_INT, dst.kind);
  EXPECT_EQ(2, dst.v.i);
  EXPECT_EQ(NUM_INT, src.kind) << "the source is converted in place";
}

TEST(CompoundAssignment, ComputedInThePromotedKindStoredInTheTargetKind) {
  SNumber dst = Int(5), src = Dbl(2.5);
  ASSERT_TRUE(calc_assignment_operator(FOP_ADD, &dst, &src));
  EXPECT_EQ(NUM_INT, dst.kind);
  EXPECT_EQ(7, dst.v.i);  // 7.5 truncated

  dst = Int(7);
  src = Int(2);
  ASSERT_TRUE(calc_assignment_operator(FOP_DIV, &dst, &src));
  EXPECT_EQ(3, dst.v.i);  // int division, as C

  dst = Dbl(7);
  src = Int(2);
  ASSERT_TRUE(calc_assignment_operator(FOP_DIV, &dst, &src));
  EXPECT_EQ(3.5, dst.v.d);

  dst = Cx(1, 1);
  src = Int(2);
  ASSERT_TRUE(calc_assignment_operator(FOP_MUL, &dst, &src));
  EXPECT_EQ(NUM_COMPLEX, dst.kind);
  EXPECT_EQ(2.0, dst.v.d);
  EXPECT_EQ(2.0, dst.im);
}

TEST(CompoundAssignment, SumsSnapToZero) {
  SNumber dst = Dbl(0.1 + 0.2), src = Dbl(0.3);
  ASSERT_TRUE(calc_assignment_operator(FOP_SUB, &dst, &src));
  EXPECT_EQ(0.0, dst.v.d);
  dst = Dbl(0.3);
  src = Dbl(-0.1 - 0.2);
  ASSERT_TRUE(calc_assignment_operator(FOP_ADD, &dst, &src));
  EXPECT_EQ(0.0, dst.v.d);
}

TEST(CompoundAssignment, RemainderPerKind) {
  SNumber dst = Dbl(7.5), src = Int(2);
  ASSERT_TRUE(calc_assignment_operator(FOP_MOD, &dst, &src));
  EXPECT_EQ(1.5, dst.v.d);
  dst = Int(-7);
  src = Int(3);
  ASSERT_TRUE(calc_assignment_operator(FOP_MOD, &dst, &src));
  EXPECT_EQ(-1, dst.v.i);
  dst = Int(std::numeric_limits<int>::min());
  src = Int(-1);
  ASSERT_TRUE(calc_assignment_operator(FOP_MOD, &dst, &src));
  EXPECT_EQ(0, dst.v.i);
}

TEST(CompoundAssignment, DivisionByZero) {
  SNumber dst = Int(7), src = Int(0);
  EXPECT_FALSE(calc_assignment_operator(FOP_DIV, &dst, &src));
  EXPECT_EQ("Division by zero", m_global_errstr.str());
  EXPECT_EQ(7, dst.v.i) << "a failed assignment leaves the target";
  dst = Int(7);
  src = Int(0);
  EXPECT_FALSE(calc_assignment_operator(FOP_MOD, &dst, &src));
  EXPECT_EQ("Division by zero", m_global_errstr.str());
  // Decision: a zero of any kind is refused by "/=", as by "/".
  dst = Dbl(7);
  src = Dbl(0);
  EXPECT_FALSE(calc_assignment_operator(FOP_DIV, &dst, &src));
  EXPECT_EQ("Division by zero", m_global_errstr.str());
}

TEST(CompoundAssignment, BitOperatorsRefuseNonIntegers) {
  SNumber dst = Int(6), src = Int(1);
  ASSERT_TRUE(calc_assignment_operator(FOP_BOR, &dst, &src));
  EXPECT_EQ(7, dst.v.i);
  dst = Int(1);
  src = Int(4);
  ASSERT_TRUE(calc_assignment_operator(FOP_SHL, &dst, &src));
  EXPECT_EQ(16, dst.v.i);

  dst = Dbl(6);
  src = Int(1);
  EXPECT_FALSE(calc_assignment_operator(FOP_BOR, &dst, &src));
  EXPECT_EQ("Operator '|=' : floating point arguments not allowed", m_global_errstr.str());
  dst = Int(6);
  src = Cx(0, 1);
  EXPECT_FALSE(calc_assignment_operator(FOP_BXOR, &dst, &src));
  EXPECT_EQ("Operator '^=' : complex arguments not allowed", m_global_errstr.str());
  src = Dbl(1);
  EXPECT_FALSE(calc_assignment_operator(FOP_BAND, &dst, &src));
  EXPECT_EQ("Operator '&=' : floating point arguments not allowed", m_global_errstr.str());
  EXPECT_FALSE(calc_assignment_operator(FOP_SHR, &dst, &src));
  EXPECT_EQ("Operator '>>=' : floating point arguments not allowed", m_global_errstr.str());
  EXPECT_FALSE(calc_assignment_operator(FOP_SHL, &dst, &src));
  EXPECT_EQ("Operator '<<=' : floating point arguments not allowed", m_global_errstr.str());
}

// Decision: "%=" refuses a complex operand in the words of the other
// compound operators.
TEST(CompoundAssignment, RemainderRefusesComplex) {
  SNumber dst = Cx(1, 1), src = Int(2);
  EXPECT_FALSE(calc_assignment_operator(FOP_MOD, &dst, &src));
  EXPECT_EQ("Operator '%=' : complex arguments not allowed", m_global_errstr.str());
}

TEST(CompoundAssignment, UnknownOperatorCode) {
  SNumber dst = Int(1), src = Int(1);
  EXPECT_FALSE(calc_assignment_operator(99, &dst, &src));
  EXPECT_EQ("Unknown operator", m_global_errstr.str());
  EXPECT_FALSE(calc_assignment_operator(FOP_LT, &dst, &src));
}

TEST(Increment, PrefixChangesThenCopiesPostfixCopiesThenChanges) {
  SNumber var = Int(5), seen;
  increment_copy_number(INC_PRE, &seen, &var);
  EXPECT_EQ(6, seen.v.i);
  EXPECT_EQ(6, var.v.i);
  increment_copy_number(INC_POST, &seen, &var);
  EXPECT_EQ(6, seen.v.i);
  EXPECT_EQ(7, var.v.i);
  increment_copy_number(DEC_PRE, &seen, &var);
  EXPECT_EQ(6, seen.v.i);
  increment_copy_number(DEC_POST, &seen, &var);
  EXPECT_EQ(6, seen.v.i);
  EXPECT_EQ(5, var.v.i);
}

TEST(Increment, EveryKind) {
  SNumber var = Dbl(0.5), seen;
  increment_copy_number(INC_PRE, &seen, &var);
  EXPECT_EQ(1.5, var.v.d);
  SetInt64Number(&var, 1LL << 40);
  increment_copy_number(DEC_POST, &seen, &var);
  EXPECT_EQ((1LL << 40) - 1, var.v.i64);
  EXPECT_EQ(1LL << 40, seen.v.i64);
  SetBoolNumber(&var, true);
  increment_copy_number(INC_PRE, &seen, &var);
  EXPECT_EQ("true", OutNumber(&var).str());
  var = Cx(1, 2);
  increment_copy_number(INC_POST, &seen, &var);  // the real part, also postfix
  EXPECT_EQ(2.0, var.v.d);
  EXPECT_EQ(2.0, var.im);
  EXPECT_EQ(1.0, seen.v.d);
  var = Int(std::numeric_limits<int>::max());
  increment_copy_number(INC_PRE, &seen, &var);
  EXPECT_EQ(std::numeric_limits<int>::min(), var.v.i);  // wraps as C does
}
