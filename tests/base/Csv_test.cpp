// Name=value field lists: the state and initial-condition texts of
// components.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "base/globals.h"

namespace {

uint64_t Bits(double x) { return std::bit_cast<uint64_t>(x); }
double FromBits(uint64_t b) { return std::bit_cast<double>(b); }
const double kInf = std::numeric_limits<double>::infinity();

}  // namespace

TEST(CsvWrite, CommaOnlyBetweenFieldsEqualSignOnlyAfterNamesValuesFormatted) {
  AnsiString csv;
  add_csv(csv, "a=1");
  EXPECT_EQ("a=1", csv.str());
  add_csv(csv, "b=2");
  EXPECT_EQ("a=1,b=2", csv.str());
  AnsiString unnamed;
  add_csv_string(unnamed, "", "5");
  EXPECT_EQ("5", unnamed.str());
  add_csv_string(unnamed, "", "6");
  EXPECT_EQ("5,6", unnamed.str());
  csv = "x=0";
  add_csv_string(csv, "s", "text");
  add_csv_bool(csv, "t", true);
  add_csv_bool(csv, "f", false);
  add_csv_int(csv, "i", -12);
  EXPECT_EQ("x=0,s=text,t=1,f=0,i=-12", csv.str());
  csv = "";  // doubles in engineering notation
  add_csv_double(csv, "a", 1500.0);
  add_csv_double(csv, "b", 0.001);
  add_csv_double(csv, "c", 47.0);
  add_csv_double(csv, "d", 2.2e-11);
  EXPECT_EQ("a=1.5e+3,b=1e-3,c=47,d=22e-12", csv.str());
  csv = "";
  add_csv_list(csv, "v", "1,2,3");
  add_csv_list(csv, "", "");
  EXPECT_EQ("v={1,2,3},{}", csv.str());
}

TEST(CsvWrite, OffOnIsOnOnlyForPositive) {
  AnsiString csv;
  add_csv_offon(csv, "", 0);
  EXPECT_EQ("Off", csv.str());
  add_csv_offon(csv, "a", 1);
  add_csv_offon(csv, "b", -1);
  add_csv_offon(csv, "c", 7);
  EXPECT_EQ("Off,a=On,b=Off,c=On", csv.str());
}

TEST(CsvWrite, TextWritesTheSelectedChoiceOrEmptyOutsideTheChoices) {
  TStringList texts;
  SetStringListCommaText(texts, "Sine,Square");
  AnsiString csv;
  add_csv_text(csv, "shape", texts, 1);
  EXPECT_EQ("shape=Square", csv.str());
  add_csv_text(csv, "shape", texts, 3);
  add_csv_text(csv, "form", texts, -1);
  EXPECT_EQ("shape=Square,shape=,form=", csv.str());
}

// --- Bit-exact doubles: "0" for either zero, else "#" and the 8 bytes
// lowest first, upper-case.

TEST(CsvHex, WritesMemoryOrderUpperCase) {
  AnsiString csv;
  add_csv_hex(csv, "", 1.0);
  EXPECT_EQ("#000000000000F03F", csv.str());
  csv = "";
  add_csv_hex(csv, "x", 1.0);
  EXPECT_EQ("x=#000000000000F03F", csv.str());
  EXPECT_EQ("#00000000000000C0", double_to_hex(-2.0).str());  // 0xC000000000000000
  EXPECT_EQ("#9A9999999999B93F", double_to_hex(0.1).str());   // 0x3FB999999999999A
  EXPECT_EQ("0", double_to_hex(0.0).str());
  EXPECT_EQ("0", double_to_hex(-0.0).str());
}

TEST(CsvHex, ReadsEitherCaseUpToSixteenDigitsAfterHash) {
  EXPECT_EQ(Bits(1.0), Bits(hex_to_double("#000000000000f03f")));
  // Reading stops at the Z, so only byte 6 is set.
  EXPECT_EQ(0x00F0000000000000ULL, Bits(hex_to_double("#000000000000F0Z3F")));
  EXPECT_EQ(Bits(-2.0), Bits(hex_to_double("#00000000000000C0FF")));  // 16 digits at most
  EXPECT_EQ(0.0, hex_to_double("000000000000F03F"));  // no "#": zero
  EXPECT_EQ(0.0, hex_to_double("0"));
  EXPECT_EQ(0.0, hex_to_double(""));
}

TEST(CsvHex, FieldReadsBackBitExactOrDefaultWhenEmpty) {
  AnsiString csv("a=1");
  add_csv_hex(csv, "x", 1.0);
  EXPECT_EQ(Bits(1.0), Bits(get_csv_hex(csv, "x", 5.0)));
  EXPECT_EQ(0.0, get_csv_hex("x=1.5", "x", 7.0));
  EXPECT_EQ(7.0, get_csv_hex("a=1", "x", 7.0));
  EXPECT_EQ(7.0, get_csv_hex("x=", "x", 7.0));
}

TEST(CsvHex, RoundTripKeepsEveryBitPattern) {
  std::mt19937_64 rng(20240611);
  std::vector<double> values = {
      0.1, -1e-300, 1e300, std::numeric_limits<double>::denorm_min(),
      -std::numeric_limits<double>::max(), kInf, -kInf, FromBits(0x7FF8000000000123ULL),
      FromBits(0xFFF0000000000001ULL)};
  for (int i = 0; i < 2000; ++i) values.push_back(FromBits(rng()));
  for (double x : values) {
    if (x == 0.0) continue;  // zero loses its sign by design
    const AnsiString text = double_to_hex(x);
    EXPECT_EQ(Bits(x), Bits(hex_to_double(text))) << text.c_str();
  }
}

// --- Field scanning: "," ends a field at parenthesis depth 0, TAB at any
// depth; "{" .. "}" hides everything (no nesting); fields stay untrimmed.

TEST(CsvFields, FieldsAndCountFollowDepthGroupsAndTabs) {
  const struct { const char* csv; int count; std::vector<const char*> fields; } rows[] = {
      {"a=1,b=f(2,3),c={x,y}", 3, {"a=1", "b=f(2,3)", "c={x,y}"}},
      {"a=1, b = 2", 2, {"a=1", " b = 2"}},
      {"a=f(1\t2),b", 3, {"a=f(1", "2)", "b"}},
      {"a=(1\tb=2,c=3", 2, {"a=(1", "b=2,c=3"}},  // the "," after the TAB is still at depth 1
      {"a={x,y,b=2", 1, {"a={x,y,b=2"}},          // an unclosed group runs to the end
      {"a={(},b=1", 2, {"a={(}", "b=1"}},         // "(" inside a group does not count
      {"a,", 2, {"a", ""}},
      {"", 0, {""}},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(r.count, get_csv_count(r.csv)) << "input: " << r.csv;
    for (std::size_t i = 0; i < r.fields.size(); ++i)
      EXPECT_EQ(r.fields[i], get_csv(r.csv, static_cast<int>(i)).str()) << "input: " << r.csv;
  }
}

TEST(CsvFields, IndexPastTheEndGivesTheLastField) {
  EXPECT_EQ("c", get_csv("a,b,c", 3).str());
  EXPECT_EQ("c", get_csv("a,b,c", 100).str());
}

TEST(CsvFields, CountIsZeroForBlankTextElseOnePlusSeparators) {
  EXPECT_EQ(0, get_csv_count("   "));
  EXPECT_EQ(1, get_csv_count(" a "));
  EXPECT_EQ(2, get_csv_count(" , "));
}

// --- Lookup by name.

TEST(CsvLookup, StringIsTrimmedValueOfFirstExactNameElseEmpty) {
  EXPECT_EQ("1", get_csv_string("a=1, b = 2", "a").str());
  EXPECT_EQ("2", get_csv_string("a=1, b = 2", "b").str());
  EXPECT_EQ("", get_csv_string("a=1, b = 2", "c").str());
  EXPECT_EQ("1", get_csv_string("a=1,A=2,a=3", "a").str());
  EXPECT_EQ("2", get_csv_string("a=1,A=2,a=3", "A").str());
  EXPECT_EQ("{x=1,y=2}", get_csv_string("c={x=1,y=2},d=f(a,b)", "c").str());
  EXPECT_EQ("f(a,b)", get_csv_string("c={x=1,y=2},d=f(a,b)", "d").str());
  EXPECT_EQ("", get_csv_string("abc,x=1", "abc").str());  // no "=": no name
  EXPECT_EQ("1", get_csv_string("abc,x=1", "x").str());
}

TEST(CsvLookup, BoolIsDefaultWhenEmptyElseFalseExactlyWhenValueStartsWithZero) {
  EXPECT_TRUE(get_csv_bool("a=1", "c", true));
  EXPECT_FALSE(get_csv_bool("a=1", "c", false));
  EXPECT_TRUE(get_csv_bool("a=,b= ", "b", true));
  EXPECT_FALSE(get_csv_bool("a=0", "a", true));
  EXPECT_FALSE(get_csv_bool("b=05", "b", true));
  EXPECT_TRUE(get_csv_bool("c=1", "c", false));
  EXPECT_TRUE(get_csv_bool("d=x", "d", false));
  EXPECT_TRUE(get_csv_bool("e=Off", "e", false));
  EXPECT_TRUE(get_csv_bool("f=-0", "f", false));
}

TEST(CsvLookup, IntReadsLeadingDecimalOrDefault) {
  EXPECT_EQ(2, get_csv_int("a=1, b = 2", "b", -1));
  EXPECT_EQ(-5, get_csv_int("a=1, b = 2", "c", -5));
  EXPECT_EQ(9, get_csv_int("a=,b= ", "a", 9));
  EXPECT_EQ(12, get_csv_int("a=12ohm,b=abc,c=-3", "a", 0));
  EXPECT_EQ(4, get_csv_int("a=12ohm,b=abc,c=-3", "b", 4));
  EXPECT_EQ(-3, get_csv_int("a=12ohm,b=abc,c=-3", "c", 0));
  EXPECT_EQ(3, get_csv_int("v={1,2,3},n=3", "n", 0));
}

TEST(CsvLookup, DoubleReadsEngineeringSuffixesOrDefault) {
  const AnsiString csv("a=4k7, b = 4.7k ,c=1e3,d=10,e=2.2u,f=-inf");
  EXPECT_EQ(4700.0, get_csv_double(csv, "a", 0.0));
  EXPECT_EQ(4700.0, get_csv_double(csv, "b", 0.0));
  EXPECT_EQ(1000.0, get_csv_double(csv, "c", 0.0));
  EXPECT_EQ(10.0, get_csv_double(csv, "d", 0.0));
  EXPECT_DOUBLE_EQ(2.2e-6, get_csv_double(csv, "e", 0.0));
  EXPECT_EQ(-kInf, get_csv_double(csv, "f", 0.0));
  EXPECT_EQ(-1.5, get_csv_double("a=,b=10mA", "a", -1.5));  // empty
  EXPECT_EQ(-1.5, get_csv_double("a=,b=10mA", "b", -1.5));  // unreadable
  EXPECT_EQ(-1.5, get_csv_double("a=,b=10mA", "z", -1.5));  // missing
  AnsiString written;
  add_csv_double(written, "x", 1500.0);
  add_csv_double(written, "y", 2.2e-11);
  EXPECT_EQ(1500.0, get_csv_double(written, "x", 0.0));
  EXPECT_DOUBLE_EQ(2.2e-11, get_csv_double(written, "y", 0.0));
}

TEST(CsvLookup, ListDropsTheBracesOrGivesDefaultWhenEmpty) {
  EXPECT_EQ("1,2,3", get_csv_list("v={1,2,3},n=3", "v", "none").str());
  EXPECT_EQ("", get_csv_list("e={}", "e", "none").str());
  EXPECT_EQ("dflt", get_csv_list("a=1, b = 2", "c", "dflt").str());
  EXPECT_EQ("d", get_csv_list("a=,b= ", "a", "d").str());
}
