// The shape of the language: priorities, brackets, prefix operators, argument
// lists and the conditional. Type rules of each operator are in
// FormulaTypes_test.cpp.

#include "expr/FormulaTest.h"

TEST(FormulaPriority, MultiplicationBindsTighterThanAddition) {
  EXPECT_TRUE(GivesDouble(Eval("1+2*3"), 7.0));
  EXPECT_TRUE(GivesDouble(Eval("(1+2)*3"), 9.0));
  EXPECT_TRUE(GivesDouble(Eval("2*3+1"), 7.0));
}

TEST(FormulaPriority, EqualPrioritiesGoLeftToRight) {
  EXPECT_TRUE(GivesDouble(Eval("2-3-4"), -5.0));
  EXPECT_TRUE(GivesDouble(Eval("8/4/2"), 1.0));
  // * and % share a priority: (6*3) % 4, not 6 * (3 % 4).
  EXPECT_TRUE(GivesDouble(Eval("6*3%4"), 2.0));
}

TEST(FormulaPriority, ComparisonsBindTighterThanEquality) {
  // (1<2) == 1: the bool true compared with the int 1.
  EXPECT_TRUE(GivesBool(Eval("1<2==1"), true));
  EXPECT_TRUE(GivesBool(Eval("3>2>1"), false));  // (3>2) is true = 1, and 1>1 is false
}

TEST(FormulaPriority, BitOperatorsOrderAndXorOr) {
  // & before ^ before |: 1 | (2 ^ (3 & 1)) = 1 | 3.
  EXPECT_TRUE(GivesInt(Eval("1|2^3&1"), 3));
  EXPECT_TRUE(GivesInt(Eval("12&10|1"), 9));
}

TEST(FormulaPriority, LogicalAndBeforeOr) {
  EXPECT_TRUE(GivesBool(Eval("1||0&&0"), true));
  EXPECT_TRUE(GivesBool(Eval("0&&1||1"), true));
}

TEST(FormulaPriority, ShiftBelowAddition) {
  // In C code 1+2 stays int, so (1+2)<<1 is 6.
  EXPECT_TRUE(GivesInt(EvalC("1+2<<1"), 6));
  // In a formula 1+2 is the double 3, which a shift refuses.
  EXPECT_TRUE(FailsWith(Eval("1+2<<1"), "Operator '<<' : floating point arguments not allowed"));
}

TEST(FormulaBrackets, RoundAndSquareBracketsBothNest) {
  EXPECT_TRUE(GivesDouble(Eval("[1+2]*3"), 9.0));
  EXPECT_TRUE(GivesInt(Eval("((2))"), 2));
  EXPECT_TRUE(GivesDouble(Eval("2*((1+1)*(3-1))"), 8.0));
}

TEST(FormulaBrackets, UnbalancedBracketsNameTheText) {
  EXPECT_TRUE(FailsWith(Eval("(1+2"), "Expression error in '(1+2'"));
  EXPECT_TRUE(FailsWith(Eval("1+2)"), "Expression error in '1+2)'"));
  EXPECT_TRUE(FailsWith(Eval("1)+(2"), "Expression error in '1)+(2'"));
}

TEST(FormulaBrackets, EmptyBracketIsZero) {
  EXPECT_TRUE(GivesInt(Eval("()"), 0));
  EXPECT_TRUE(GivesDouble(Eval("sin()"), 0.0));  // f() calls f with 0
}

TEST(FormulaPrefix, NegationBindsTighterThanBitOperators) {
  // -2^2 is (-2) ^ 2 on ints: ...11110 xor 10 = ...11100.
  EXPECT_TRUE(GivesInt(Eval("-2^2"), -4));
  EXPECT_TRUE(GivesDouble(Eval("-2*3"), -6.0));
  EXPECT_TRUE(GivesInt(Eval("-(2)"), -2));
}

TEST(FormulaPrefix, NotAllowedAfterArithmeticOperators) {
  EXPECT_TRUE(FailsWith(Eval("2*-3"), "Syntax error"));
  EXPECT_TRUE(FailsWith(Eval("1- -3"), "Syntax error"));
  EXPECT_TRUE(FailsWith(Eval("2*+3"), "Syntax error"));
  EXPECT_TRUE(FailsWith(Eval("4%!1"), "Syntax error"));
  EXPECT_TRUE(GivesDouble(Eval("2*(-3)"), -6.0));
}

TEST(FormulaPrefix, AllowedAfterComparisonsLogicAndBrackets) {
  EXPECT_TRUE(GivesBool(Eval("1<-3"), false));
  EXPECT_TRUE(GivesBool(Eval("1==-1"), false));
  EXPECT_TRUE(GivesBool(Eval("0||!0"), true));
  EXPECT_TRUE(GivesInt(Eval("6&~1"), 6));
  EXPECT_TRUE(GivesInt(Eval("max(-1,-2)"), -1));
  EXPECT_TRUE(GivesInt(Eval("1?-2:3"), -2));
}

TEST(FormulaPrefix, OneAfterAnotherIsRefused) {
  EXPECT_TRUE(FailsWith(Eval("- -3"), "Syntax error"));
  EXPECT_TRUE(FailsWith(Eval("!!1"), "Syntax error"));
  EXPECT_TRUE(GivesBool(Eval("!(!1)"), true));
}

TEST(FormulaPrefix, UnaryPlusIsIgnored) {
  EXPECT_TRUE(GivesInt(Eval("+5"), 5));
  EXPECT_TRUE(GivesInt(Eval("(+5)"), 5));
}

TEST(FormulaPrefix, NotAndComplement) {
  EXPECT_TRUE(GivesBool(Eval("!0"), true));
  EXPECT_TRUE(GivesBool(Eval("!2.5"), false));
  EXPECT_TRUE(GivesInt(Eval("~0"), -1));
  EXPECT_TRUE(GivesInt(Eval("~5"), -6));
}

TEST(FormulaArguments, CommaOnlyInsideAnArgumentList) {
  EXPECT_TRUE(FailsWith(Eval("1,2"), "Syntax error"));
  EXPECT_TRUE(FailsWith(Eval("(1,2)"), "Syntax error"));
  EXPECT_TRUE(FailsWith(Eval("max((1,2))"), "Syntax error"));
  EXPECT_TRUE(FailsWith(Eval("max(1,,2)"), "Syntax error"));
}

TEST(FormulaArguments, ArgumentsAreWholeExpressions) {
  EXPECT_TRUE(GivesDouble(Eval("max(1+2, 2*2, 3)"), 4.0));
  EXPECT_TRUE(GivesDouble(Eval("max(1, 2)+max(3, 4)*2"), 10.0));
  EXPECT_TRUE(GivesDouble(Eval("pow(max(1, 2), min(3, 4))"), 8.0));
  EXPECT_TRUE(GivesDouble(Eval("atan2(0, max(1, 2))"), 0.0));
  EXPECT_TRUE(GivesInt(Eval("max(1, max(2, 3), 4)"), 4));
  EXPECT_TRUE(GivesInt(Eval("max(max(1, 2), max(3, 4), min(5, 6))"), 5));
  EXPECT_TRUE(GivesInt(Eval("max(1, 0 ? 1/0 : 9)"), 9));
}

TEST(FormulaArguments, CountIsChecked) {
  EXPECT_TRUE(FailsWith(Eval("atan2(1,2,3)"), "Function 'atan2' : wrong number of parameters"));
  EXPECT_TRUE(FailsWith(Eval("pow()"), "Function 'pow' : wrong number of parameters"));
  EXPECT_TRUE(FailsWith(Eval("sin(1,2)"), "Function 'sin' : wrong number of parameters"));
}

TEST(FormulaText, EmptyTextIsZero) {
  EXPECT_TRUE(GivesInt(Eval(""), 0));
  EXPECT_TRUE(GivesInt(Eval("   "), 0));
  EXPECT_TRUE(GivesInt(Eval("="), 0));
}

TEST(FormulaText, LeadingEqualsBlanksAndSemicolonsAreSkipped) {
  EXPECT_TRUE(GivesDouble(Eval("=1+1"), 2.0));
  EXPECT_TRUE(GivesDouble(Eval(" \t1 +\t2 "), 3.0));
  EXPECT_TRUE(GivesDouble(Eval("1+2;"), 3.0));
}

// Decision: a text that ends where an operand is due is incomplete, and is
// reported like unbalanced brackets.
TEST(FormulaText, TextEndingWhereAnOperandIsDueIsAnError) {
  EXPECT_TRUE(FailsWith(Eval("1+"), "Expression error in '1+'"));
  EXPECT_TRUE(FailsWith(Eval("-"), "Expression error in '-'"));
  EXPECT_TRUE(FailsWith(Eval("sin("), "Expression error in 'sin('"));
  EXPECT_TRUE(FailsWith(Eval("1?2:"), "Expression error in '1?2:'"));
}

TEST(FormulaConditional, SelectsOneBranch) {
  EXPECT_TRUE(GivesInt(Eval("1 ? 2 : 3"), 2));
  EXPECT_TRUE(GivesInt(Eval("0 ? 2 : 3"), 3));
  EXPECT_TRUE(GivesInt(Eval("0.5 ? 2 : 3.5"), 2));  // the branch keeps its own kind
  EXPECT_TRUE(GivesDouble(Eval("(1 ? 2 : 3) + 1"), 3.0));
  EXPECT_TRUE(GivesDouble(Eval("1 < 2 ? 10 * 2 : 0"), 20.0));
}

TEST(FormulaConditional, SkippedBranchRaisesNoError) {
  EXPECT_TRUE(GivesInt(Eval("true ? 1 : 1/0"), 1));
  EXPECT_TRUE(GivesInt(Eval("false ? 1/0 : 2"), 2));
  EXPECT_TRUE(GivesInt(Eval("1 ? 2 : sqrt(-1) + nosuchname"), 2));
  EXPECT_TRUE(GivesInt(Eval("1 ? (0 ? 1/0 : 5) : 1/0"), 5));
  EXPECT_TRUE(GivesInt(Eval("0 ? (1 ? 1/0 : 1/0) : 6"), 6));
}

TEST(FormulaConditional, SelectedBranchStillReportsErrors) {
  EXPECT_TRUE(FailsWith(Eval("true ? 1/0 : 1"), "Division by zero"));
  EXPECT_TRUE(FailsWith(Eval("0 ? 1 : sqrt(-1)"), "Function 'sqrt' : negative argument"));
}

TEST(FormulaConditional, SkippedBranchStillReportsMistakesOfForm) {
  EXPECT_TRUE(FailsWith(Eval("1 ? 2 : foo(1)"), "Unknown function foo"));
  EXPECT_TRUE(FailsWith(Eval("1 ? 2 : 2*-3"), "Syntax error"));
  EXPECT_TRUE(FailsWith(Eval("1 ? 2 : (3"), "Expression error in '1 ? 2 : (3'"));
}

TEST(FormulaConditional, SkippedBranchChangesNoVariable) {
  CVarList vars;
  AddTestVars(vars);  // n = 5
  FormulaOptions o;
  o.vars = &vars;
  EXPECT_TRUE(GivesInt(Eval("0 ? n++ : n", o), 5));
  EXPECT_TRUE(GivesInt(Eval("1 ? n : ++n", o), 5));
  EXPECT_EQ(5, vars.FindVar("n")->values[0].v.i);
  EXPECT_TRUE(GivesInt(Eval("1 ? n++ : n", o), 5));
  EXPECT_EQ(6, vars.FindVar("n")->values[0].v.i);
}

TEST(FormulaConditional, QuestionAndColonMustPair) {
  EXPECT_TRUE(FailsWith(Eval("1 ? 2"), "Syntax error"));
  EXPECT_TRUE(FailsWith(Eval("1 : 2"), "Syntax error"));
  EXPECT_TRUE(FailsWith(Eval("1 ? 2 : 3 : 4"), "Syntax error"));
  EXPECT_TRUE(FailsWith(Eval("1 ? (2 : 3)"), "Syntax error"));
}

TEST(FormulaConditional, ChainsGroupToTheLeft) {
  // ":" binds tighter than "?", so a ? b : c ? d : e is (a ? b : c) ? d : e;
  // brackets give the other reading.
  EXPECT_TRUE(GivesInt(Eval("1 ? 0 : 1 ? 5 : 6"), 6));
  EXPECT_TRUE(GivesInt(Eval("1 ? 0 : (1 ? 5 : 6)"), 0));
}
