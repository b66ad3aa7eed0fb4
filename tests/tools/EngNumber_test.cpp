// Engineering-notation numbers of the qvs tool.

#include "EngNumber.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qvs {
namespace {

TEST(EngNumber, ReadsScaleLettersPlainAndExponentForms) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"10m", 0.01},  {"4k7", 4700.0}, {"4.7k", 4700.0}, {"1K", 1000.0},   {"2M", 2e6},
      {"2m", 2e-3},   {"100u", 1e-4},  {"3n", 3e-9},     {"1p", 1e-12},    {"5f", 5e-15},
      {"1G", 1e9},    {"2T", 2e12},    {"1.5", 1.5},     {"2e-3", 2e-3},   {"-3u", -3e-6},
      {"+5", 5.0},    {" 7 ", 7.0},    {"1.k", 1000.0},  {"0", 0.0},       {"1e+3", 1000.0},
  };
  for (const auto& c : cases) {
    const auto v = ParseEng(c.text);
    ASSERT_TRUE(v.has_value()) << c.text;
    EXPECT_DOUBLE_EQ(c.value, *v) << c.text;
  }
  // The letter form is read as its exponent form, to the last bit.
  EXPECT_EQ(*ParseEng("1e-2"), *ParseEng("10m"));
}

TEST(EngNumber, RefusesWhatIsNotANumber) {
  for (const char* bad : {"", " ", "k", "k5", "4.7k5", "10ms", "1e3k", "abc", "inf", "nan",
                          "--1", "1 0", "++1", "1,5", "2meg", "-k"})
    EXPECT_FALSE(ParseEng(bad).has_value()) << "'" << bad << "'";
}

TEST(EngNumber, PrintsWithScaleLetterAndFourDigits) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {0.01, "10m"},     {4700.0, "4.7k"},  {12.0, "12"},          {0.0, "0"},
      {-1.5e-6, "-1.5u"}, {123456.0, "123.5k"}, {999.96, "1k"},     {1e-18, "1e-18"},
      {12.0034, "12"},   {12.006, "12.01"},  {2.2e-12, "2.2p"},      {5e12, "5T"},
      {0.5, "500m"},     {1e6, "1M"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.text, FormatEng(c.value)) << c.value;
  EXPECT_EQ("inf", FormatEng(INFINITY));
  EXPECT_EQ("-inf", FormatEng(-INFINITY));
  EXPECT_EQ("nan", FormatEng(NAN));
  EXPECT_EQ("1.23457k", FormatEng(1234.567, 6));
}

TEST(EngNumber, PrintedTextReadsBackWithinItsDigits) {
  for (double x = 1.234567e-14; x < 1e13; x *= 7.3) {
    for (double v : {x, -x}) {
      const auto back = ParseEng(FormatEng(v, 6));
      ASSERT_TRUE(back.has_value()) << FormatEng(v, 6);
      EXPECT_NEAR(v, *back, std::fabs(v) * 5e-6) << FormatEng(v, 6);
    }
  }
}

TEST(EngNumber, ExactFormReadsBackToTheSameDouble) {
  for (double v : {0.1, 1.0 / 3.0, 1e-7, 123456789.125, -2.5e-300}) {
    const auto back = ParseEng(FormatExact(v));
    ASSERT_TRUE(back.has_value()) << FormatExact(v);
    EXPECT_EQ(v, *back);
  }
}

}  // namespace
}  // namespace qvs
