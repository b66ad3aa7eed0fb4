// The two helpers of the C interpreter: compound assignment and increment.

#include "expr/FormulaTest.h"

#include <limits>

namespace {
constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();
}  // namespace

TEST(CompoundAssignment, ComputedInThePromotedKindStoredInTheTargetKind) {
  const struct {
    int op;
    SNumber dst, src;
    Want want;  // the target afterwards, or the failure (the target then unchanged)
  } rows[] = {
      {FOP_EQ, NumInt(0), NumDouble(2.9), Int(2)},
      {FOP_ADD, NumInt(5), NumDouble(2.5), Int(7)},  // 7.5 truncated
      {FOP_DIV, NumInt(7), NumInt(2), Int(3)},       // int division, as C
      {FOP_DIV, NumDouble(7), NumInt(2), Dbl(3.5)},
      {FOP_MUL, NumComplex(1, 1), NumInt(2), Cplx(2.0, 2.0)},
      // Sums snap to zero.
      {FOP_SUB, NumDouble(0.1 + 0.2), NumDouble(0.3), Dbl(0.0)},
      {FOP_ADD, NumDouble(0.3), NumDouble(-0.1 - 0.2), Dbl(0.0)},
      // Remainder: fmod for doubles, C's remainder for integers.
      {FOP_MOD, NumDouble(7.5), NumInt(2), Dbl(1.5)}, {FOP_MOD, NumInt(-7), NumInt(3), Int(-1)},
      {FOP_MOD, NumInt(kIntMin), NumInt(-1), Int(0)},
      {FOP_DIV, NumInt(7), NumInt(0), Err("Division by zero")},
      {FOP_MOD, NumInt(7), NumInt(0), Err("Division by zero")},
      // Decision: a zero of any kind is refused by "/=", as by "/".
      {FOP_DIV, NumDouble(7), NumDouble(0), Err("Division by zero")},
      // Bit operators take integers only.
      {FOP_BOR, NumInt(6), NumInt(1), Int(7)}, {FOP_SHL, NumInt(1), NumInt(4), Int(16)},
      {FOP_BOR, NumDouble(6), NumInt(1), ErrFloatOp("|=")},
      {FOP_BXOR, NumInt(6), NumComplex(0, 1), ErrComplexOp("^=")},
      {FOP_BAND, NumInt(6), NumDouble(1), ErrFloatOp("&=")},
      {FOP_SHR, NumInt(6), NumDouble(1), ErrFloatOp(">>=")},
      {FOP_SHL, NumInt(6), NumDouble(1), ErrFloatOp("<<=")},
      // Decision: "%=" refuses a complex operand in the words of the other
      // compound operators.
      {FOP_MOD, NumComplex(1, 1), NumInt(2), ErrComplexOp("%=")},
      {99, NumInt(1), NumInt(1), Err("Unknown operator")},
      {FOP_LT, NumInt(1), NumInt(1), Err("Unknown operator")},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE("operator " + std::to_string(row.op) + ", " + Describe(row.dst) + " and " +
                 Describe(row.src));
    SNumber dst = row.dst, src = row.src;
    m_global_errstr = "";
    const bool ok = calc_assignment_operator(row.op, &dst, &src);
    EXPECT_EQ(row.want.kind >= 0, ok) << m_global_errstr.str();
    if (row.want.kind >= 0) {
      EXPECT_TRUE(Holds(dst, row.want));
    } else {
      EXPECT_EQ(row.want.message, m_global_errstr.str());
      EXPECT_EQ(Describe(row.dst), Describe(dst)) << "a failed assignment leaves the target";
    }
  }
  SNumber dst = NumInt(0), src = NumDouble(2.9);
  ASSERT_TRUE(calc_assignment_operator(FOP_EQ, &dst, &src));
  EXPECT_TRUE(Holds(src, Int(2))) << "the source is converted in place";
}

TEST(Increment, PrefixChangesThenCopiesPostfixCopiesThenChanges) {
  const struct {
    int mode;
    SNumber var;
    Want seen, after;
  } rows[] = {
      {INC_PRE, NumInt(5), Int(6), Int(6)}, {INC_POST, NumInt(6), Int(6), Int(7)},
      {DEC_PRE, NumInt(7), Int(6), Int(6)}, {DEC_POST, NumInt(6), Int(6), Int(5)},
      {INC_PRE, NumDouble(0.5), Dbl(1.5), Dbl(1.5)},
      {DEC_POST, NumInt64(1LL << 40), Int64(1LL << 40), Int64((1LL << 40) - 1)},
      {INC_PRE, NumBool(true), Bool(true), Bool(true)},  // a bool never changes
      // A complex steps its real part, also postfix.
      {INC_POST, NumComplex(1, 2), Cplx(1.0, 2.0), Cplx(2.0, 2.0)},
      {INC_PRE, NumInt(kIntMax), Int(kIntMin), Int(kIntMin)},  // wraps as C does
  };
  for (const auto& row : rows) {
    SCOPED_TRACE("mode " + std::to_string(row.mode) + " on " + Describe(row.var));
    SNumber var = row.var, seen;
    increment_copy_number(row.mode, &seen, &var);
    EXPECT_TRUE(Holds(seen, row.seen)) << "seen";
    EXPECT_TRUE(Holds(var, row.after)) << "after";
  }
}
