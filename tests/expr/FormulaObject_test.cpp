// Formula objects: what a calculation keeps, when it reports a change, and
// the display text.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "base/globals.h"
#include "expr/Formula.h"
#include "expr/VarList.h"

namespace {
// Calculates f without a document or components; *changed starts as before,
// so that the calculation must set it.
bool Calculate(CFormula& f, bool* changed, bool before, CVarList* vars = nullptr) {
  *changed = before;
  return f.CalculateFormula(nullptr, vars, nullptr, changed);
}
}  // namespace

TEST(FormulaObject, NewObjectHoldsZero) {
  CFormula f;
  EXPECT_TRUE(f.Text().IsEmpty());
  EXPECT_EQ(0.0, f.Value());
  EXPECT_FALSE(f.Error() || f.IsEmpty());
  EXPECT_EQ(CFormula::kDouble, f.GetFormat());
  EXPECT_EQ(32, f.Bits());
  EXPECT_EQ("0", f.OutValue().str());
}

TEST(FormulaObject, PlainTextIsEvaluatedOnceTextWithEqualsFollowsItsVariables) {
  bool changed;
  CFormula plain;
  plain.SetText("1/3");
  ASSERT_TRUE(Calculate(plain, &changed, false));
  EXPECT_EQ(0.333333333333, plain.Value());  // rounded to 12 digits
  EXPECT_TRUE(plain.Text().IsEmpty());
  EXPECT_TRUE(changed);

  CVarList vars;
  SVar* x = vars.AddVar("x", NUM_DOUBLE, 0);
  SetDoubleNumber(x->values, 1.0);
  CFormula f;
  f.SetText("=x/3");
  ASSERT_TRUE(Calculate(f, &changed, false, &vars));
  EXPECT_EQ(0.333333333333, f.Value());
  EXPECT_EQ("=x/3", f.Text().str());
  EXPECT_TRUE(changed);
  ASSERT_TRUE(Calculate(f, &changed, true, &vars));
  EXPECT_FALSE(changed) << "same value";
  SetDoubleNumber(x->values, 6.0);
  ASSERT_TRUE(Calculate(f, &changed, false, &vars));
  EXPECT_EQ(2.0, f.Value());
  EXPECT_TRUE(changed);
}

TEST(FormulaObject, ChangeIsWithinResolutionExceptForRandomFormulas) {
  bool changed;
  CFormula f;
  f.SetValue(1.0);
  f.SetText("=1.0000000000001");
  ASSERT_TRUE(Calculate(f, &changed, true));
  EXPECT_FALSE(changed);
  CFormula r;
  r.SetText("=rand(0)");  // always 0 as before, but drawn
  for (int k = 0; k < 2; ++k) {
    ASSERT_TRUE(Calculate(r, &changed, false));
    EXPECT_EQ(0.0, r.Value());
    EXPECT_TRUE(changed);
  }
  EXPECT_FALSE(random_function_used) << "the calculation consumes the mark";
}

TEST(FormulaObject, EmptyTextOrFailureKeepsTheValue) {
  bool changed;
  CFormula f;
  f.SetVal(5.0);
  ASSERT_TRUE(Calculate(f, &changed, true));
  EXPECT_FALSE(changed);
  EXPECT_EQ(5.0, f.Value());
  f.SetText("=1/0");
  EXPECT_FALSE(Calculate(f, &changed, true));
  EXPECT_EQ("Division by zero", m_global_errstr.str());
  EXPECT_EQ(5.0, f.Value());
  EXPECT_EQ("=1/0", f.Text().str());
  EXPECT_FALSE(changed);
}

TEST(FormulaObject, InfinityAndScaledNumbersSurviveTheRoundTrip) {
  const std::pair<const char*, double> rows[] = {
      {"=inf", HUGE_VAL}, {"4k7", 4700.0}, {"123456789.123456", 123456789.123}};
  for (const auto& [text, value] : rows) {
    CFormula f;
    f.SetText(text);
    ASSERT_TRUE(f.CalculateFormula(nullptr, nullptr, nullptr, nullptr)) << text;
    EXPECT_EQ(value, f.Value()) << text;
  }
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
  const struct {
    int format, bits;
    double value;
    const char* text;
  } rows[] = {
      {CFormula::kDouble, 32, 1500.0, "1.5e+3"},
      {7, 32, 1500.0, "1.5e+3"},  // unknown formats print as engineering
      {CFormula::kHex, 8, 300.0, "0x2C"}, {CFormula::kHex, 32, 300.0, "0x12C"},
      {CFormula::kBin, 32, 5.0, "0b101"}, {CFormula::kOct, 32, 8.9, "010"},  // truncated to 8
      {CFormula::kInt, 16, -1.0, "65535"}, {CFormula::kInt, 32, -1.0, "-1"},
      {CFormula::kInt, 32, 0.0, "0"}, {CFormula::kBin, 32, 0.0, "0"},
      {CFormula::kOct, 32, 0.0, "0"}, {CFormula::kHex, 32, 0.0, "0"},
  };
  for (const auto& row : rows) {
    CFormula f;
    f.SetFormat(row.format);
    f.SetBits(row.bits);
    f.SetVal(row.value);
    EXPECT_EQ(row.text, f.OutValue().str()) << row.format << ", " << row.bits << ", " << row.value;
  }
}
