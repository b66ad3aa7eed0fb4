// Assignments and expression statements: the compound operators, chains,
// array elements, increments, and C integer arithmetic.

#include "CScript.h"

class CAssignments : public CScript {};

TEST_F(CAssignments, EveryOperatorKeepsTheTargetsKind) {
  Examples({
      {"int a = 7; a += 2;", "a=9"},
      {"int a = 7; a -= 9;", "a=-2"},
      {"int a = 7; a *= 3;", "a=21"},
      {"int a = 7; a /= 2;", "a=3"},  // integer division
      {"int a = 7; a %= 4;", "a=3"},
      {"int a = 7; a |= 8;", "a=15"},
      {"int a = 7; a ^= 1;", "a=6"},
      {"int a = 7; a &= 3;", "a=3"},
      {"int a = 7; a <<= 2;", "a=28"},
      {"int a = 7; a >>= 1;", "a=3"},
      {"int a = 7; a = 4;", "a=4"},
      {"double a = 7; a /= 2;", "a=3.5"},
      {"double a = 7; a %= 2.5;", "a=2.0"},  // fmod
      {"double a = 7; a -= 7;", "a=0.0"},
      {"int i = 1; bool b; i += 2.7; b = 3;", "i=3 b=true"},  // 3.7 stored into an int
      // 7/2 is integer division unless a double takes part.
      {"double r, s, m; r = 7/2; s = 7.0/2; m = 7 % 2;", "r=3.0 s=3.5 m=1.0"},
      {"int a = 1;;  ; a = 2;", "a=2"},  // empty statements do nothing
      // Comparisons are not assignments.
      {"int a = 2, b; b = a == 2; a <= 3; a >= 1; a != 2;", "a=2 b=1"},
      // m takes the value before the increment, k the one after the decrement.
      {"int n = 5, m, k; n++; ++n; n--; m = n++; k = --n;", "n=6 m=6 k=6"},
  });
}

TEST_F(CAssignments, ChainsAndElementsAssignEveryTarget) {
  Examples({
      {"int a, b, c = 1; double d; a = b = 3; c += d = 2.5;", "a=3 b=3 c=3 d=2.5"},
      {"int a[3], i = 1; a[i] = 5; a[i + 1] += a[1] * 2; a[0] = a[2] = 8;", "a={8,5,8}"},
  });
}

TEST_F(CAssignments, CommandResultIsTheTargetValue) {
  ASSERT_EQ(0, Run("int a; double x = 1, d;"));
  // The chain's value passes through each target's kind: d = a = 2.9
  // stores int 2 into a and then 2 into d.
  const struct {
    const char *command, *result, *vars;
  } rows[] = {
      {"7/2", "3", ""},
      {" a = x = 4.5 ", "4", "a=4 x=4.5"},
      {"x *= 2", "9.0", "x=9.0"},
      {"d = a = 2.9", "2.0", "a=2 d=2.0"},
  };
  for (const auto& row : rows) {
    SNumber n;
    ASSERT_TRUE(root_.ExecuteCCommand(row.command, &vars_, &n)) << row.command;
    EXPECT_EQ(row.result, Show(n)) << row.command;
    ExpectVars(row.vars);
  }
}

TEST_F(CAssignments, FailuresNameTheTargetAndStopBeforeEvaluating) {
  Examples({
      {"int a[3]; a[5] = 1;", "a={0,0,0}", "a: array index too high"},
      {"int a[3]; a[3] = 1;", "a={0,0,0}", "a: array index too high"},
      {"int a[3]; a[-1] = 1;", "a={0,0,0}", "a: negative array index"},
      {"int a[3]; a[] += 1;", "a={0,0,0}", "a: negative array index"},  // "[]" counts as negative
      {"y = 1;", "", "Variable 'y' not found"},
      {"int n = 0; q = n++;", "n=0", "Variable 'q' not found"},  // n++ is never run
      {"u = v = 1;", "", "Variable 'u' not found"},  // the outer target first
      {"double d = 1; d |= 2;", "", "Operator '|=' : floating point arguments not allowed"},
      {"int i = 1; i /= 0;", "", "Division by zero"},
      {"int j; j = 1 +* 2;", "", "Syntax error"},
  });
}
