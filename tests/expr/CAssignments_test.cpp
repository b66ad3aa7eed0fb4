// Assignments and expression statements: the compound operators, chains,
// array elements, increments, and C integer arithmetic.

#include "CScript.h"

class CAssignments : public CScript {};

TEST_F(CAssignments, CompoundOperatorsOnInts) {
  ASSERT_EQ(0, Run("int a = 7, b = 7, c = 7, d = 7, e = 7, f = 7, g = 7, h = 7, i = 7, "
                   "j = 7, k = 7;"
                   "a += 2; b -= 9; c *= 3; d /= 2; e %= 4; f |= 8; g ^= 1; h &= 3;"
                   "i <<= 2; j >>= 1; k = 4;"))
      << engine_.error.str();
  EXPECT_EQ(9, Int("a"));
  EXPECT_EQ(-2, Int("b"));
  EXPECT_EQ(21, Int("c"));
  EXPECT_EQ(3, Int("d"));  // integer division
  EXPECT_EQ(3, Int("e"));
  EXPECT_EQ(15, Int("f"));
  EXPECT_EQ(6, Int("g"));
  EXPECT_EQ(3, Int("h"));
  EXPECT_EQ(28, Int("i"));
  EXPECT_EQ(3, Int("j"));
  EXPECT_EQ(4, Int("k"));
}

TEST_F(CAssignments, CompoundOperatorsOnDoubles) {
  ASSERT_EQ(0, Run("double a = 7, b = 7, c = 7; a /= 2; b %= 2.5; c -= 7;"));
  EXPECT_EQ(3.5, Double("a"));
  EXPECT_EQ(2.0, Double("b"));  // fmod
  EXPECT_EQ(0.0, Double("c"));
}

TEST_F(CAssignments, TheTargetKeepsItsKind) {
  ASSERT_EQ(0, Run("int i = 1; bool b; i += 2.7; b = 3;"));
  EXPECT_EQ(3, Int("i"));  // 3.7 stored into an int
  EXPECT_EQ(NUM_BOOL, Value("b").kind);
  EXPECT_TRUE(Value("b").v.b);
}

TEST_F(CAssignments, SevenByTwoIsIntegerDivisionUnlessADoubleTakesPart) {
  ASSERT_EQ(0, Run("double r, s, m; r = 7/2; s = 7.0/2; m = 7 % 2;"));
  EXPECT_EQ(3.0, Double("r"));
  EXPECT_EQ(3.5, Double("s"));
  EXPECT_EQ(1.0, Double("m"));
  // The value of an expression statement of its own.
  SNumber n;
  ASSERT_TRUE(root_.ExecuteCCommand("7/2", &vars_, &n));
  EXPECT_EQ(NUM_INT, n.kind);
  EXPECT_EQ(3, n.v.i);
}

TEST_F(CAssignments, ChainedAssignmentAssignsEveryTarget) {
  ASSERT_EQ(0, Run("int a, b, c = 1; double d; a = b = 3; c += d = 2.5;"));
  EXPECT_EQ(3, Int("a"));
  EXPECT_EQ(3, Int("b"));
  EXPECT_EQ(2.5, Double("d"));
  EXPECT_EQ(3, Int("c"));  // 1 + 2.5 kept as int
  // The chain's value passes through each target's kind: d = a = 2.9
  // stores int 2 into a and then 2 into d.
  ASSERT_TRUE(root_.ExecuteCCommand("d = a = 2.9", &vars_, nullptr));
  EXPECT_EQ(2, Int("a"));
  EXPECT_EQ(2.0, Double("d"));
}

TEST_F(CAssignments, CommandResultIsTheTargetValue) {
  ASSERT_EQ(0, Run("int a; double x = 1;"));
  SNumber n;
  ASSERT_TRUE(root_.ExecuteCCommand(" a = x = 4.5 ", &vars_, &n));
  EXPECT_EQ(NUM_INT, n.kind);
  EXPECT_EQ(4, n.v.i);
  ASSERT_TRUE(root_.ExecuteCCommand("x *= 2", &vars_, &n));
  EXPECT_EQ(NUM_DOUBLE, n.kind);
  EXPECT_EQ(9.0, n.v.d);
}

TEST_F(CAssignments, ArrayElementsAsTargets) {
  ASSERT_EQ(0, Run("int a[3], i = 1; a[i] = 5; a[i + 1] += a[1] * 2; a[0] = a[2] = 8;"))
      << engine_.error.str();
  EXPECT_EQ(8, Int("a", 0));
  EXPECT_EQ(5, Int("a", 1));
  EXPECT_EQ(8, Int("a", 2));
}

TEST_F(CAssignments, IndexOutsideTheArrayIsRefused) {
  ASSERT_EQ(0, Run("int a[3];"));
  EXPECT_EQ(-1, Run("a[5] = 1;"));
  EXPECT_EQ("a: array index too high", engine_.error.str());
  EXPECT_EQ(-1, Run("a[3] = 1;"));
  EXPECT_EQ("a: array index too high", engine_.error.str());
  EXPECT_EQ(-1, Run("a[-1] = 1;"));
  EXPECT_EQ("a: negative array index", engine_.error.str());
  // An empty pair is refused as negative.
  EXPECT_EQ(-1, Run("a[] += 1;"));
  EXPECT_EQ("a: negative array index", engine_.error.str());
  for (int k = 0; k < 3; ++k) EXPECT_EQ(0, Int("a", k));
}

TEST_F(CAssignments, UnknownTargetIsNamedAsWritten) {
  EXPECT_EQ(-1, Run("y = 1;"));
  EXPECT_EQ("Variable 'y' not found", engine_.error.str());
  // Nothing is evaluated before the targets are found.
  ASSERT_EQ(0, Run("int n = 0;"));
  EXPECT_EQ(-1, Run("q = n++;"));
  EXPECT_EQ(0, Int("n"));
  // The outer target is checked first.
  EXPECT_EQ(-1, Run("u = v = 1;"));
  EXPECT_EQ("Variable 'u' not found", engine_.error.str());
}

TEST_F(CAssignments, IncrementsAndDecrements) {
  ASSERT_EQ(0, Run("int n = 5, m, k; n++; ++n; n--; m = n++; k = --n;"));
  EXPECT_EQ(6, Int("n"));
  EXPECT_EQ(6, Int("m"));  // the value before the increment
  EXPECT_EQ(6, Int("k"));  // the value after the decrement
}

TEST_F(CAssignments, ComparisonsAreNotAssignments) {
  ASSERT_EQ(0, Run("int a = 2, b; b = a == 2; a <= 3; a >= 1; a != 2;"));
  EXPECT_EQ(2, Int("a"));
  EXPECT_EQ(1, Int("b"));
}

TEST_F(CAssignments, OperatorFailuresReachTheEngine) {
  EXPECT_EQ(-1, Run("double d = 1; d |= 2;"));
  EXPECT_EQ("Operator '|=' : floating point arguments not allowed", engine_.error.str());
  EXPECT_EQ(-1, Run("int i = 1; i /= 0;"));
  EXPECT_EQ("Division by zero", engine_.error.str());
  EXPECT_EQ(-1, Run("int j; j = 1 +* 2;"));
  EXPECT_EQ("Syntax error", engine_.error.str());
}

TEST_F(CAssignments, EmptyStatementDoesNothing) {
  ASSERT_EQ(0, Run("int a = 1;;  ; a = 2;"));
  EXPECT_EQ(2, Int("a"));
}
