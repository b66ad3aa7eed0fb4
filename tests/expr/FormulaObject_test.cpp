#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "base/globals.h"
#include "expr/Formula.h"
#include "expr/VarList.h"

TEST(FormulaObject, NewObjectHoldsZero) {
  CFormula f;
  EXPECT_TRUE(f.Text().IsEmpty());
  EXPECT_EQ(0.0, f.Value());
  EXPECT_FALSE(f.Error());
  EXPECT_FALSE(f.IsEmpty());
  EXPECT_EQ(CFormula::kDouble, f.GetFormat());
  EXPECT_EQ(32, f.Bits());
  EXPECT_EQ("0", f.OutValue().str());
}

TEST(FormulaObject, PlainExpressionIsEvaluatedOnceAndRoundedTo12Digits) {
  CFormula f;
  f.SetText("1/3");
  bool changed = false;
  ASSERT_TRUE(f.CalculateFormula(nullptr, nullptr, nullptr, &changed));
  EXPECT_EQ(0.333333333333, f.Value());
  EXPECT_TRUE(f.Text().IsEmpty());
  EXPECT_TRUE(changed);
}

TEST(FormulaObject, TextWithEqualsIsKeptAndFollowsItsVariables) {
  CVarList vars;
  SVar* x = vars.AddVar("x", NUM_DOUBLE, 0);
  SetDoubleNumber(x->values, 1.0);
  CFormula f;
  f.SetText("=x/3");
  bool changed = false;
  ASSERT_TRUE(f.CalculateFormula(nullptr, &vars, nullptr, &changed));
  EXPECT_EQ(0.333333333333, f.Value());
  EXPECT_EQ("=x/3", f.Text().str());
  EXPECT_TRUE(changed);

  ASSERT_TRUE(f.CalculateFormula(nullptr, &vars, nullptr, &changed));
  EXPECT_FALSE(changed) << "same value";

  SetDoubleNumber(x->values, 6.0);
  ASSERT_TRUE(f.CalculateFormula(nullptr, &vars, nullptr, &changed));
  EXPECT_EQ(2.0, f.Value());
  EXPECT_TRUE(changed);
}

TEST(FormulaObject, ChangeWithinResolutionIsNoChange) {
  CFormula f;
  f.SetValue(1.0);
  f.SetText("=1.0000000000001");
  bool changed = true;
  ASSERT_TRUE(f.CalculateFormula(nullptr, nullptr, nullptr, &changed));
  EXPECT_FALSE(changed);
}

TEST(FormulaObject, RandomFormulaChangesEveryTime) {
  CFormula f;
  f.SetText("=rand(0)");  // always 0, but drawn
  bool changed = false;
  ASSERT_TRUE(f.CalculateFormula(nullptr, nullptr, nullptr, &changed));
  EXPECT_TRUE(changed);
  ASSERT_TRUE(f.CalculateFormula(nullptr, nullptr, nullptr, &changed));
  EXPECT_EQ(0.0, f.Value());
  EXPECT_TRUE(changed);
  EXPECT_FALSE(random_function_used) << "the calculation consumes the mark";
}

TEST(FormulaObject, EmptyTextCalculatesNothing) {
  CFormula f;
  f.SetVal(5.0);
  bool changed = true;
  ASSERT_TRUE(f.CalculateFormula(nullptr, nullptr, nullptr, &changed));
  EXPECT_FALSE(changed);
  EXPECT_EQ(5.0, f.Value());
}

TEST(FormulaObject, FailureKeepsTextAndValue) {
  CFormula f;
  f.SetVal(5.0);
  f.SetText("=1/0");
  bool changed = true;
  EXPECT_FALSE(f.CalculateFormula(nullptr, nullptr, nullptr, &changed));
  EXPECT_EQ("Division by zero", m_global_errstr.str());
  EXPECT_EQ(5.0, f.Value());
  EXPECT_EQ("=1/0", f.Text().str());
  EXPECT_FALSE(changed);
}

TEST(FormulaObject, InfinityAndScaledNumbersSurviveTheRoundTrip) {
  CFormula f;
  f.SetText("=inf");
  ASSERT_TRUE(f.CalculateFormula(nullptr, nullptr, nullptr, nullptr));
  EXPECT_TRUE(std::isinf(f.Value()));
  f.SetText("4k7");
  ASSERT_TRUE(f.CalculateFormula(nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(4700.0, f.Value());
  f.SetText("123456789.123456");
  ASSERT_TRUE(f.CalculateFormula(nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(123456789.123, f.Value());
}

TEST(FormulaObject, EmptyAndClear) {
  CFormula f;
  f.SetEmpty();
  EXPECT_TRUE(f.IsEmpty());
  EXPECT_TRUE(std::isnan(f.Value()));
  EXPECT_EQ("", f.OutValue().str());
  f.SetVal(3.0);
  EXPECT_FALSE(f.IsEmpty());

  CFormula g;
  g.SetText("=2");
  g.SetValue(7.0);
  g.ClearFormula();
  EXPECT_TRUE(g.Text().IsEmpty());
  EXPECT_EQ(7.0, g.Value()) << "no error: the value stays";
  g.SetText("=1/0");
  g.SetError(true);
  EXPECT_EQ("#VAL", g.OutValue().str());
  g.ClearFormula();
  EXPECT_EQ(0.0, g.Value());
  EXPECT_FALSE(g.Error());
}

TEST(FormulaObject, OutValueFormats) {
  CFormula f;
  f.SetVal(1500.0);
  EXPECT_EQ("1.5e+3", f.OutValue().str());
  f.SetFormat(7);  // unknown formats print as engineering
  EXPECT_EQ("1.5e+3", f.OutValue().str());

  f.SetFormat(CFormula::kHex);
  f.SetBits(8);
  f.SetVal(300.0);
  EXPECT_EQ("0x2C", f.OutValue().str());
  f.SetBits(32);
  EXPECT_EQ("0x12C", f.OutValue().str());

  f.SetFormat(CFormula::kBin);
  f.SetVal(5.0);
  EXPECT_EQ("0b101", f.OutValue().str());

  f.SetFormat(CFormula::kOct);
  f.SetVal(8.9);  // truncated to 8
  EXPECT_EQ("010", f.OutValue().str());

  f.SetFormat(CFormula::kInt);
  f.SetVal(-1.0);
  f.SetBits(16);
  EXPECT_EQ("65535", f.OutValue().str());
  f.SetBits(32);
  EXPECT_EQ("-1", f.OutValue().str());

  for (int format : {CFormula::kInt, CFormula::kBin, CFormula::kOct, CFormula::kHex}) {
    f.SetFormat(format);
    f.SetVal(0.0);
    EXPECT_EQ("0", f.OutValue().str()) << format;
  }
}
