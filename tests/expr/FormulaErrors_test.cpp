// How a formula fails: the message for each mistake of form, and what a
// failure leaves behind.

#include "expr/FormulaTest.h"

TEST(FormulaErrors, EachMistakeOfFormHasItsMessage) {
  const Want syntax = Err("Syntax error");
  ExpectRows({
      // Where an operator is due.
      {"1 2", Err("Unknown operator '2'")}, {"1 $ 2", Err("Unknown operator '$'")},
      {"1=2", Err("Operator '=' not allowed")}, {"1!2", Err("Unknown operator '!'")},
      {"2 (3)", Err("Unknown operator '('")}, {"1 [0]", Err("Unknown operator '['")},
      // Where an operand is due.
      {"$", syntax}, {"*2", syntax}, {"1+,2", syntax}, {"?1:2", syntax}, {"1+]", syntax},
      // A prefix operator after an arithmetic operator or another prefix
      // operator (write 2*(-3)); a comma outside an argument list; "?" and
      // ":" that do not pair.
      {"2*-3", syntax}, {"1- -3", syntax}, {"2*+3", syntax}, {"4%!1", syntax}, {"- -3", syntax},
      {"!!1", syntax}, {"1,2", syntax}, {"(1,2)", syntax}, {"max((1,2))", syntax},
      {"max(1,,2)", syntax}, {"1 ? 2", syntax}, {"1 : 2", syntax}, {"1 ? 2 : 3 : 4", syntax},
      {"1 ? (2 : 3)", syntax},
      // Unbalanced brackets name the text.
      {"(1+2", Err("Expression error in '(1+2'")}, {"1+2)", Err("Expression error in '1+2)'")},
      {"1)+(2", Err("Expression error in '1)+(2'")},
      // Decision: a text that ends where an operand is due is incomplete, and
      // is reported like unbalanced brackets.
      {"1+", Err("Expression error in '1+'")}, {"-", Err("Expression error in '-'")},
      {"sin(", Err("Expression error in 'sin('")}, {"1?2:", Err("Expression error in '1?2:'")},
  });
}

TEST(FormulaErrors, FailureLeavesTheResultAloneSuccessGivesTheRealPart) {
  double result = 42.0;
  SNumber number = NumInt(9);
  EXPECT_FALSE(formula("1/0", &result, nullptr, nullptr, nullptr, false, nullptr, &number, false,
                       false, 0, false));
  EXPECT_EQ(42.0, result);
  EXPECT_TRUE(Holds(number, Int(9)));
  ASSERT_TRUE(formula("3+4j", &result, nullptr, nullptr, nullptr, false, nullptr, &number, false,
                      false, 0, false));
  EXPECT_EQ(3.0, result);
  EXPECT_TRUE(Holds(number, Cplx(3.0, 4.0)));
  ASSERT_TRUE(formula("true", &result, nullptr, nullptr, nullptr, false, nullptr, nullptr, false,
                      false, 0, false));
  EXPECT_EQ(1.0, result);
}

TEST(FormulaErrors, LongAndDeepTextsAreHandled) {
  std::string deep = std::string(5000, '(') + "1" + std::string(5000, ')');
  EXPECT_TRUE(Gives(Eval(deep), Int(1)));
  std::string sum = "0";
  for (int k = 1; k <= 1000; ++k) sum += "+" + std::to_string(k);
  EXPECT_TRUE(Gives(Eval(sum), Dbl(500500.0)));
  // Operators of rising priority stay on the stack until the end: the
  // stack grows to over a thousand entries.
  std::string rising;
  for (int k = 0; k < 200; ++k) rising += "(1||1&&1|1^1&1==1<=";
  rising += "1" + std::string(200, ')');
  EXPECT_TRUE(Gives(Eval(rising), Bool(true)));
}
