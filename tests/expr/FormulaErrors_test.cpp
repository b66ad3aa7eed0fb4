// How a formula fails: the message for each kind of mistake, and what a
// failure leaves behind.

#include "expr/FormulaTest.h"

TEST(FormulaErrors, OperatorPlaceMessages) {
  EXPECT_TRUE(FailsWith(Eval("1 2"), "Unknown operator '2'"));
  EXPECT_TRUE(FailsWith(Eval("1 $ 2"), "Unknown operator '$'"));
  EXPECT_TRUE(FailsWith(Eval("1=2"), "Operator '=' not allowed"));
  EXPECT_TRUE(FailsWith(Eval("1!2"), "Unknown operator '!'"));
  EXPECT_TRUE(FailsWith(Eval("2 (3)"), "Unknown operator '('"));
  EXPECT_TRUE(FailsWith(Eval("1 [0]"), "Unknown operator '['"));
}

TEST(FormulaErrors, OperandPlaceMessages) {
  EXPECT_TRUE(FailsWith(Eval("$"), "Syntax error"));
  EXPECT_TRUE(FailsWith(Eval("*2"), "Syntax error"));
  EXPECT_TRUE(FailsWith(Eval("1+,2"), "Syntax error"));
  EXPECT_TRUE(FailsWith(Eval("?1:2"), "Syntax error"));
  EXPECT_TRUE(FailsWith(Eval("1+]"), "Syntax error"));
}

TEST(FormulaErrors, TwoCharacterOperatorsWinOverOne) {
  EXPECT_TRUE(GivesBool(Eval("1<=1"), true));
  EXPECT_TRUE(GivesInt(Eval("1<<1"), 2));
  EXPECT_TRUE(GivesBool(Eval("1<2"), true));
  EXPECT_TRUE(GivesBool(Eval("2>=2"), true));
  EXPECT_TRUE(GivesInt(Eval("4>>1"), 2));
  EXPECT_TRUE(GivesBool(Eval("1==1"), true));
  EXPECT_TRUE(GivesBool(Eval("1!=1"), false));
  EXPECT_TRUE(GivesBool(Eval("1&&1"), true));
  EXPECT_TRUE(GivesInt(Eval("1&1"), 1));
}

TEST(FormulaErrors, FailureLeavesTheResultAlone) {
  double result = 42.0;
  SNumber number;
  SetIntNumber(&number, 9);
  EXPECT_FALSE(formula("1/0", &result, nullptr, nullptr, nullptr, false, nullptr, &number, false,
                       false, 0, false));
  EXPECT_EQ(42.0, result);
  EXPECT_EQ(NUM_INT, number.kind);
  EXPECT_EQ(9, number.v.i);
}

TEST(FormulaErrors, ResultIsTheRealPartAndNumberTheTypedValue) {
  double result = 0.0;
  SNumber number;
  ASSERT_TRUE(formula("3+4j", &result, nullptr, nullptr, nullptr, false, nullptr, &number, false,
                      false, 0, false));
  EXPECT_EQ(3.0, result);
  EXPECT_EQ(NUM_COMPLEX, number.kind);
  EXPECT_EQ(4.0, number.im);
  ASSERT_TRUE(formula("true", &result, nullptr, nullptr, nullptr, false, nullptr, nullptr, false,
                      false, 0, false));
  EXPECT_EQ(1.0, result);
}

TEST(FormulaErrors, LongAndDeepTextsAreHandled) {
  std::string deep(5000, '(');
  deep += "1";
  deep += std::string(5000, ')');
  EXPECT_TRUE(GivesInt(Eval(deep), 1));

  std::string sum = "0";
  for (int k = 1; k <= 1000; ++k) sum += "+" + std::to_string(k);
  EXPECT_TRUE(GivesDouble(Eval(sum), 500500.0));

  // Operators of rising priority stay on the stack until the end: the
  // stack grows to over a thousand entries.
  std::string rising;
  for (int k = 0; k < 200; ++k) rising += "(1||1&&1|1^1&1==1<=";
  rising += "1";
  for (int k = 0; k < 200; ++k) rising += ")";
  EXPECT_TRUE(GivesBool(Eval(rising), true));
}
