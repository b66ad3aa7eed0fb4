// Typed values: construction, kind conversion, assignment and their text.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "expr/FormulaTest.h"
#include "expr/globals.h"

namespace {
constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt64Min = std::numeric_limits<int64_t>::min();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
}  // namespace

TEST(NumberSetters, EachWritesOnlyItsPartOfTheRecord) {
  // The record is little-endian: int is the low half, bool the first byte.
  SNumber n = NumInt64(0x1234567800000000LL);
  SetIntNumber(&n, 5);
  EXPECT_EQ(NUM_INT, n.kind);
  EXPECT_EQ(0x1234567800000005LL, n.v.i64);
  n = NumInt64(0x0102030405060700LL);
  SetBoolNumber(&n, true);
  EXPECT_EQ(NUM_BOOL, n.kind);
  EXPECT_EQ(0x0102030405060701LL, n.v.i64);
  n = NumComplex(1.0, 2.0);
  SetDoubleNumber(&n, 3.0);
  EXPECT_TRUE(Holds(n, Dbl(3.0)));
  EXPECT_EQ(2.0, n.im) << "a double keeps the imaginary part";
  SetComplexNumber(&n, -1.0, 0.5);
  SNumber copy = NumInt(7);
  CopyNumber(&copy, &n);
  EXPECT_TRUE(Holds(copy, Cplx(-1.0, 0.5)));
}

TEST(NumberConvert, EveryKindToEveryKind) {
  SNumber stale = NumComplex(0.0, 9.0);  // a stale imaginary part must be cleared
  SetDoubleNumber(&stale, 2.5);
  const struct {
    SNumber from;
    int to;
    Want want;
  } rows[] = {
      // Floats truncate toward zero; a complex drops its imaginary part.
      {NumDouble(2.9), NUM_INT, Int(2)}, {NumDouble(-2.9), NUM_INT, Int(-2)},
      {NumDouble(2147483647.9), NUM_INT, Int(2147483647)},
      {NumDouble(-2147483648.9), NUM_INT, Int(kIntMin)},
      {NumDouble(-7.99), NUM_INT64, Int64(-7)}, {NumDouble(1.0), NUM_INT64, Int64(1)},
      {NumComplex(3.7, 100), NUM_INT, Int(3)}, {NumComplex(-3.7, 100), NUM_INT64, Int64(-3)},
      // NaN and out of range give the most negative value; -2^63 is in range.
      {NumDouble(kNaN), NUM_INT, Int(kIntMin)}, {NumDouble(kInf), NUM_INT, Int(kIntMin)},
      {NumDouble(-kInf), NUM_INT, Int(kIntMin)}, {NumDouble(1e300), NUM_INT, Int(kIntMin)},
      {NumDouble(2147483648.0), NUM_INT, Int(kIntMin)},
      {NumDouble(-2147483649.0), NUM_INT, Int(kIntMin)},
      {NumComplex(kNaN, 0.0), NUM_INT, Int(kIntMin)},
      {NumDouble(kNaN), NUM_INT64, Int64(kInt64Min)},
      {NumDouble(kInf), NUM_INT64, Int64(kInt64Min)},
      {NumDouble(-kInf), NUM_INT64, Int64(kInt64Min)},
      {NumDouble(9223372036854775808.0), NUM_INT64, Int64(kInt64Min)},
      {NumDouble(-1e19), NUM_INT64, Int64(kInt64Min)},
      {NumDouble(-9223372036854775808.0), NUM_INT64, Int64(kInt64Min)},
      {NumDouble(4611686018427387904.0), NUM_INT64, Int64(int64_t{1} << 62)},
      // Integer widths wrap and sign-extend (the high half of int -5 is zero,
      // so zero-extension would give 4294967291).
      {NumInt64(4294967297LL), NUM_INT, Int(1)}, {NumInt64(0xFFFFFFFFLL), NUM_INT, Int(-1)},
      {NumInt64(0x80000000LL), NUM_INT, Int(kIntMin)}, {NumInt(-5), NUM_INT64, Int64(-5)},
      // To floating kinds (int64 to the nearest double).
      {NumInt64(-9007199254740993LL), NUM_DOUBLE, Dbl(-9007199254740992.0)},
      {NumInt(-3), NUM_COMPLEX, Cplx(-3.0, 0.0)}, {stale, NUM_COMPLEX, Cplx(2.5, 0.0)},
      {NumBool(true), NUM_DOUBLE, Dbl(1.0)}, {NumBool(false), NUM_COMPLEX, Cplx(0, 0)},
      {NumBool(true), NUM_COMPLEX, Cplx(1.0, 0.0)},
      {NumComplex(7.5, -1), NUM_DOUBLE, Dbl(7.5)}, {NumDouble(2.9), NUM_DOUBLE, Dbl(2.9)},
      // Bool is true for anything non-zero or NaN.
      {NumComplex(0.0, 1.0), NUM_BOOL, Bool(true)}, {NumComplex(kNaN, 0), NUM_BOOL, Bool(true)},
      {NumComplex(0.0, 0.0), NUM_BOOL, Bool(false)}, {NumDouble(kNaN), NUM_BOOL, Bool(true)},
      {NumDouble(-1e-300), NUM_BOOL, Bool(true)}, {NumDouble(-0.0), NUM_BOOL, Bool(false)},
      {NumInt64(int64_t{1} << 40), NUM_BOOL, Bool(true)},  // low half is 0
      {NumInt(0), NUM_BOOL, Bool(false)}, {NumInt(-4), NUM_BOOL, Bool(true)},
      {NumBool(true), NUM_INT, Int(1)}, {NumBool(false), NUM_INT64, Int64(0)},
  };
  for (const auto& row : rows) {
    SNumber n = row.from;
    ConvertNumber(&n, row.to);
    EXPECT_TRUE(Holds(n, row.want)) << Describe(row.from) << " to kind " << row.to;
  }
  ConvertNumber(nullptr, NUM_INT);  // must not crash
}

TEST(NumberConvert, UnknownKindCodeChangesOnlyTheCode) {
  SNumber n = NumDouble(1.5);
  ConvertNumber(&n, 7);
  EXPECT_EQ(7, n.kind);
  EXPECT_EQ(1.5, n.v.d);
  EXPECT_EQ("", OutNumber(&n).str());
  ConvertNumber(&n, NUM_DOUBLE);
  EXPECT_TRUE(Holds(n, Dbl(1.5)));
  // To bool from an unknown code reads only the first byte, which is zero
  // for 1.5, rather than loading an arbitrary byte as bool.
  n.kind = 9;
  ConvertNumber(&n, NUM_BOOL);
  EXPECT_TRUE(Holds(n, Bool(false)));
  n = NumInt64(0x7F);
  n.kind = 9;
  ConvertNumber(&n, NUM_BOOL);
  EXPECT_TRUE(Holds(n, Bool(true)));
}

TEST(NumberAssign, ConvertsSourceInPlaceAndKeepsDestinationKind) {
  SNumber dst = NumInt(0), src = NumDouble(2.9);
  AssignNumber(&dst, &src);
  EXPECT_TRUE(Holds(dst, Int(2)));
  EXPECT_TRUE(Holds(src, Int(2))) << "the source is left converted";
  dst = NumComplex(9.0, 9.0), src = NumInt(3);
  AssignNumber(&dst, &src);
  EXPECT_TRUE(Holds(dst, Cplx(3.0, 0.0)));
  dst = NumBool(false), src = NumDouble(kNaN);
  AssignNumber(&dst, &src);
  EXPECT_TRUE(Holds(dst, Bool(true)));
}

TEST(NumberText, EachKindComplexWithTheSignOfItsImaginaryPart) {
  const struct {
    SNumber n;
    const char* text;
  } rows[] = {
      {NumInt(-5), "-5"}, {NumInt64(kInt64Min), "-9223372036854775808"}, {NumInt64(12), "12"},
      {NumBool(true), "true"}, {NumBool(false), "false"}, {NumDouble(1e6), "1e+6"},
      {NumDouble(kNaN), ""}, {NumComplex(0.0, -1.0), "0-1j"}, {NumComplex(1.0, 2.0), "1+2j"},
      {NumComplex(3.0, 0.0), "3"}, {NumComplex(3.0, kNaN), "3"},
      {NumComplex(-1500.0, 0.001), "-1.5e+3+1e-3j"}, {NumComplex(2.0, -kInf), "2-infj"},
  };
  for (const auto& row : rows) EXPECT_EQ(row.text, OutNumber(&row.n).str()) << Describe(row.n);
  EXPECT_EQ("", OutNumber(nullptr).str());
}
