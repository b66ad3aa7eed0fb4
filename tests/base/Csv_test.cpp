// Name=value field lists: the state and initial-condition texts of
// components.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "base/globals.h"

namespace {

uint64_t Bits(double x) {
  uint64_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}

double FromBits(uint64_t b) {
  double x;
  std::memcpy(&x, &b, sizeof x);
  return x;
}

}  // namespace

// --- Writers.

TEST(CsvWrite, FirstFieldHasNoSeparator) {
  AnsiString csv;
  add_csv(csv, "a=1");
  EXPECT_EQ(AnsiString("a=1"), csv);
  add_csv(csv, "b=2");
  EXPECT_EQ(AnsiString("a=1,b=2"), csv);
}

TEST(CsvWrite, UnnamedFieldHasNoEqualSign) {
  AnsiString csv;
  add_csv_string(csv, "", "5");
  EXPECT_EQ(AnsiString("5"), csv);
  add_csv_string(csv, "", "6");
  EXPECT_EQ(AnsiString("5,6"), csv);
}

TEST(CsvWrite, NamedFieldsAppendNameEqualsValue) {
  AnsiString csv("x=0");
  add_csv_string(csv, "s", "text");
  add_csv_bool(csv, "t", true);
  add_csv_bool(csv, "f", false);
  add_csv_int(csv, "i", -12);
  EXPECT_EQ(AnsiString("x=0,s=text,t=1,f=0,i=-12"), csv);
}

TEST(CsvWrite, DoubleUsesEngineeringNotation) {
  AnsiString csv;
  add_csv_double(csv, "a", 1500.0);
  add_csv_double(csv, "b", 0.001);
  add_csv_double(csv, "c", 47.0);
  add_csv_double(csv, "d", 2.2e-11);
  EXPECT_EQ(AnsiString("a=1.5e+3,b=1e-3,c=47,d=22e-12"), csv);
}

TEST(CsvWrite, ListIsWrappedInBraces) {
  AnsiString csv;
  add_csv_list(csv, "v", "1,2,3");
  add_csv_list(csv, "", "");
  EXPECT_EQ(AnsiString("v={1,2,3},{}"), csv);
}

TEST(CsvWrite, OffOnIsOnOnlyForPositive) {
  AnsiString csv;
  add_csv_offon(csv, "", 0);
  EXPECT_EQ(AnsiString("Off"), csv);
  add_csv_offon(csv, "a", 1);
  add_csv_offon(csv, "b", -1);
  add_csv_offon(csv, "c", 7);
  EXPECT_EQ(AnsiString("Off,a=On,b=Off,c=On"), csv);
}

TEST(CsvWrite, TextWritesTheSelectedChoice) {
  TStringList texts;
  texts.Add("Sine");
  texts.Add("Square");
  AnsiString csv;
  add_csv_text(csv, "shape", texts, 1);
  EXPECT_EQ(AnsiString("shape=Square"), csv);
}

TEST(CsvWrite, TextWithSelectionOutsideChoicesWritesEmptyValue) {
  TStringList texts;
  texts.Add("Sine");
  AnsiString csv;
  add_csv_text(csv, "shape", texts, 3);
  add_csv_text(csv, "form", texts, -1);
  EXPECT_EQ(AnsiString("shape=,form="), csv);
}

// --- Bit-exact doubles.

TEST(CsvHex, OneIsMemoryOrderUpperCase) {
  AnsiString csv;
  add_csv_hex(csv, "", 1.0);
  EXPECT_EQ(AnsiString("#000000000000F03F"), csv);
  csv = "";
  add_csv_hex(csv, "x", 1.0);
  EXPECT_EQ(AnsiString("x=#000000000000F03F"), csv);
}

TEST(CsvHex, KnownPatterns) {
  // -2 is 0xC000000000000000, 0.1 is 0x3FB999999999999A; the bytes are
  // written lowest first.
  EXPECT_EQ(AnsiString("#00000000000000C0"), double_to_hex(-2.0));
  EXPECT_EQ(AnsiString("#9A9999999999B93F"), double_to_hex(0.1));
  EXPECT_EQ(17, double_to_hex(0.1).Length());
}

TEST(CsvHex, ZeroOfEitherSignIsWrittenAsZero) {
  EXPECT_EQ(AnsiString("0"), double_to_hex(0.0));
  EXPECT_EQ(AnsiString("0"), double_to_hex(-0.0));
  EXPECT_EQ(0.0, hex_to_double("0"));
}

TEST(CsvHex, ReadBackIsBitExact) {
  AnsiString csv("a=1");
  add_csv_hex(csv, "x", 1.0);
  const double one = get_csv_hex(csv, "x", 5.0);
  EXPECT_EQ(Bits(1.0), Bits(one));
}

TEST(CsvHex, RoundTripKeepsEveryBitPattern) {
  std::mt19937_64 rng(20240611);
  std::vector<double> values = {
      0.1, -1e-300, 1e300, std::numeric_limits<double>::denorm_min(),
      -std::numeric_limits<double>::max(), std::numeric_limits<double>::infinity(),
      -std::numeric_limits<double>::infinity(), FromBits(0x7FF8000000000123ULL),
      FromBits(0xFFF0000000000001ULL)};
  for (int i = 0; i < 2000; ++i) values.push_back(FromBits(rng()));
  for (double x : values) {
    if (x == 0.0) continue;  // zero loses its sign by design
    const AnsiString text = double_to_hex(x);
    EXPECT_EQ(Bits(x), Bits(hex_to_double(text))) << text.c_str();
  }
}

TEST(CsvHex, ReaderAcceptsLowerCaseDigits) {
  EXPECT_EQ(Bits(1.0), Bits(hex_to_double("#000000000000f03f")));
}

TEST(CsvHex, TextWithoutHashReadsZero) {
  EXPECT_EQ(0.0, hex_to_double("000000000000F03F"));
  EXPECT_EQ(0.0, hex_to_double(""));
  EXPECT_EQ(0.0, get_csv_hex("x=1.5", "x", 7.0));
}

TEST(CsvHex, ReadingStopsAtFirstNonHexCharacter) {
  // Digits after the Z would make 1.0; reading stops, so only byte 6 is set.
  EXPECT_EQ(0x00F0000000000000ULL, Bits(hex_to_double("#000000000000F0Z3F")));
  // At most 16 digits are read: what follows them is ignored.
  EXPECT_EQ(Bits(-2.0), Bits(hex_to_double("#00000000000000C0FF")));
}

TEST(CsvHex, MissingOrEmptyValueGivesDefault) {
  EXPECT_EQ(7.0, get_csv_hex("a=1", "x", 7.0));
  EXPECT_EQ(7.0, get_csv_hex("x=", "x", 7.0));
}

// --- Field scanning.

TEST(CsvFields, ParenthesesAndBracesHideCommas) {
  const AnsiString csv("a=1,b=f(2,3),c={x,y}");
  EXPECT_EQ(AnsiString("a=1"), get_csv(csv, 0));
  EXPECT_EQ(AnsiString("b=f(2,3)"), get_csv(csv, 1));
  EXPECT_EQ(AnsiString("c={x,y}"), get_csv(csv, 2));
  EXPECT_EQ(3, get_csv_count(csv));
}

TEST(CsvFields, FieldsAreReturnedUntrimmed) {
  EXPECT_EQ(AnsiString(" b = 2"), get_csv("a=1, b = 2", 1));
}

TEST(CsvFields, IndexPastTheEndGivesLastField) {
  EXPECT_EQ(AnsiString("c"), get_csv("a,b,c", 3));
  EXPECT_EQ(AnsiString("c"), get_csv("a,b,c", 100));
  EXPECT_EQ(AnsiString(""), get_csv("", 0));
  EXPECT_EQ(AnsiString(""), get_csv("a,", 1));
}

TEST(CsvFields, TabEndsFieldAtAnyDepth) {
  const AnsiString csv("a=f(1\t2),b");
  EXPECT_EQ(AnsiString("a=f(1"), get_csv(csv, 0));
  EXPECT_EQ(AnsiString("2)"), get_csv(csv, 1));
  EXPECT_EQ(AnsiString("b"), get_csv(csv, 2));
  EXPECT_EQ(3, get_csv_count(csv));
}

TEST(CsvFields, DepthCarriesOverFieldEnds) {
  // The TAB ends the first field inside "(", and the "," after it is still
  // at depth 1.
  const AnsiString csv("a=(1\tb=2,c=3");
  EXPECT_EQ(2, get_csv_count(csv));
  EXPECT_EQ(AnsiString("b=2,c=3"), get_csv(csv, 1));
}

TEST(CsvFields, UnclosedGroupRunsToTheEnd) {
  EXPECT_EQ(1, get_csv_count("a={x,y,b=2"));
  EXPECT_EQ(AnsiString("a={x,y,b=2"), get_csv("a={x,y,b=2", 0));
}

TEST(CsvFields, ParenthesisInsideGroupDoesNotNest) {
  EXPECT_EQ(2, get_csv_count("a={(},b=1"));
  EXPECT_EQ(AnsiString("b=1"), get_csv("a={(},b=1", 1));
}

TEST(CsvFields, CountIsZeroForBlankTextElseOnePlusSeparators) {
  EXPECT_EQ(0, get_csv_count(""));
  EXPECT_EQ(0, get_csv_count("   "));
  EXPECT_EQ(1, get_csv_count(" a "));
  EXPECT_EQ(2, get_csv_count("a,"));
  EXPECT_EQ(2, get_csv_count(" , "));
}

// --- Lookup by name.

TEST(CsvLookup, NameAndValueAreTrimmed) {
  const AnsiString csv("a=1, b = 2");
  EXPECT_EQ(AnsiString("1"), get_csv_string(csv, "a"));
  EXPECT_EQ(AnsiString("2"), get_csv_string(csv, "b"));
  EXPECT_EQ(2, get_csv_int(csv, "b", -1));
}

TEST(CsvLookup, MissingNameGivesEmptyAndTypedDefaults) {
  const AnsiString csv("a=1, b = 2");
  EXPECT_EQ(AnsiString(""), get_csv_string(csv, "c"));
  EXPECT_EQ(-5, get_csv_int(csv, "c", -5));
  EXPECT_TRUE(get_csv_bool(csv, "c", true));
  EXPECT_FALSE(get_csv_bool(csv, "c", false));
  EXPECT_EQ(AnsiString("dflt"), get_csv_list(csv, "c", "dflt"));
}

TEST(CsvLookup, NamesAreCaseSensitiveAndFirstMatchWins) {
  const AnsiString csv("a=1,A=2,a=3");
  EXPECT_EQ(AnsiString("1"), get_csv_string(csv, "a"));
  EXPECT_EQ(AnsiString("2"), get_csv_string(csv, "A"));
}

TEST(CsvLookup, ValueMayHoldEqualSignsAndGroups) {
  const AnsiString csv("c={x=1,y=2},d=f(a,b)");
  EXPECT_EQ(AnsiString("{x=1,y=2}"), get_csv_string(csv, "c"));
  EXPECT_EQ(AnsiString("f(a,b)"), get_csv_string(csv, "d"));
}

TEST(CsvLookup, EmptyValueGivesDefault) {
  const AnsiString csv("a=,b= ");
  EXPECT_EQ(9, get_csv_int(csv, "a", 9));
  EXPECT_TRUE(get_csv_bool(csv, "b", true));
  EXPECT_EQ(AnsiString("d"), get_csv_list(csv, "a", "d"));
}

TEST(CsvLookup, BoolIsFalseExactlyWhenValueStartsWithZero) {
  const AnsiString csv("a=0,b=05,c=1,d=x,e=Off,f=-0");
  EXPECT_FALSE(get_csv_bool(csv, "a", true));
  EXPECT_FALSE(get_csv_bool(csv, "b", true));
  EXPECT_TRUE(get_csv_bool(csv, "c", false));
  EXPECT_TRUE(get_csv_bool(csv, "d", false));
  EXPECT_TRUE(get_csv_bool(csv, "e", false));
  EXPECT_TRUE(get_csv_bool(csv, "f", false));
}

TEST(CsvLookup, IntReadsLeadingDecimalOrDefault) {
  const AnsiString csv("a=12ohm,b=abc,c=-3");
  EXPECT_EQ(12, get_csv_int(csv, "a", 0));
  EXPECT_EQ(4, get_csv_int(csv, "b", 4));
  EXPECT_EQ(-3, get_csv_int(csv, "c", 0));
}

TEST(CsvLookup, DoubleReadsEngineeringSuffixes) {
  const AnsiString csv("a=4k7, b = 4.7k ,c=1e3,d=10,e=2.2u,f=-inf");
  EXPECT_EQ(4700.0, get_csv_double(csv, "a", 0.0));
  EXPECT_EQ(4700.0, get_csv_double(csv, "b", 0.0));
  EXPECT_EQ(1000.0, get_csv_double(csv, "c", 0.0));
  EXPECT_EQ(10.0, get_csv_double(csv, "d", 0.0));
  EXPECT_DOUBLE_EQ(2.2e-6, get_csv_double(csv, "e", 0.0));
  EXPECT_EQ(-std::numeric_limits<double>::infinity(), get_csv_double(csv, "f", 0.0));
}

TEST(CsvLookup, DoubleMissingEmptyOrUnreadableGivesDefault) {
  const AnsiString csv("a=,b=10mA");
  EXPECT_EQ(-1.5, get_csv_double(csv, "a", -1.5));
  EXPECT_EQ(-1.5, get_csv_double(csv, "b", -1.5));
  EXPECT_EQ(-1.5, get_csv_double(csv, "z", -1.5));
}

TEST(CsvLookup, DoubleWrittenIsReadBack) {
  AnsiString csv;
  add_csv_double(csv, "x", 1500.0);
  add_csv_double(csv, "y", 2.2e-11);
  EXPECT_EQ(1500.0, get_csv_double(csv, "x", 0.0));
  EXPECT_DOUBLE_EQ(2.2e-11, get_csv_double(csv, "y", 0.0));
}

TEST(CsvLookup, ListDropsTheBraces) {
  AnsiString csv;
  add_csv_list(csv, "v", "1,2,3");
  add_csv_int(csv, "n", 3);
  EXPECT_EQ(AnsiString("1,2,3"), get_csv_list(csv, "v", "none"));
  EXPECT_EQ(3, get_csv_int(csv, "n", 0));
  EXPECT_EQ(AnsiString(""), get_csv_list("e={}", "e", "none"));
}

TEST(CsvLookup, FieldWithoutEqualSignHasNoName) {
  EXPECT_EQ(AnsiString(""), get_csv_string("abc,x=1", "abc"));
  EXPECT_EQ(AnsiString("1"), get_csv_string("abc,x=1", "x"));
}
