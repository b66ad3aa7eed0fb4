// Typed values: construction, kind conversion, assignment and their text.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "expr/globals.h"

namespace {

constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt64Min = std::numeric_limits<int64_t>::min();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

SNumber Double(double x) {
  SNumber n;
  SetDoubleNumber(&n, x);
  return n;
}

SNumber Complex(double re, double im) {
  SNumber n;
  SetComplexNumber(&n, re, im);
  return n;
}

SNumber Int(int32_t v) {
  SNumber n;
  SetIntNumber(&n, v);
  return n;
}

SNumber Int64(int64_t v) {
  SNumber n;
  SetInt64Number(&n, v);
  return n;
}

SNumber Bool(bool b) {
  SNumber n;
  SetBoolNumber(&n, b);
  return n;
}

SNumber Converted(SNumber n, int kind) {
  ConvertNumber(&n, kind);
  return n;
}

}  // namespace

TEST(NumberSetters, IntAndBoolWriteOnlyTheirPartOfTheValue) {
  // The record is little-endian: int is the low half, bool the first byte.
  SNumber n = Int64(0x1234567800000000LL);
  SetIntNumber(&n, 5);
  EXPECT_EQ(NUM_INT, n.kind);
  EXPECT_EQ(5, n.v.i);
  EXPECT_EQ(0x1234567800000005LL, n.v.i64);

  n = Int64(0x0102030405060700LL);
  SetBoolNumber(&n, true);
  EXPECT_EQ(NUM_BOOL, n.kind);
  EXPECT_EQ(0x0102030405060701LL, n.v.i64);
}

TEST(NumberSetters, DoubleKeepsImaginaryPartComplexSetsBoth) {
  SNumber n = Complex(1.0, 2.0);
  SetDoubleNumber(&n, 3.0);
  EXPECT_EQ(NUM_DOUBLE, n.kind);
  EXPECT_EQ(3.0, n.v.d);
  EXPECT_EQ(2.0, n.im);
  SetComplexNumber(&n, -1.0, 0.5);
  EXPECT_EQ(NUM_COMPLEX, n.kind);
  EXPECT_EQ(-1.0, n.v.d);
  EXPECT_EQ(0.5, n.im);
}

TEST(NumberCopy, CopiesKindAndBothParts) {
  SNumber a = Complex(1.5, -2.5);
  SNumber b = Int(7);
  CopyNumber(&b, &a);
  EXPECT_EQ(NUM_COMPLEX, b.kind);
  EXPECT_EQ(1.5, b.v.d);
  EXPECT_EQ(-2.5, b.im);
}

TEST(NumberConvert, FloatToIntegerTruncatesTowardZero) {
  EXPECT_EQ(2, Converted(Double(2.9), NUM_INT).v.i);
  EXPECT_EQ(-2, Converted(Double(-2.9), NUM_INT).v.i);
  EXPECT_EQ(NUM_INT, Converted(Double(2.9), NUM_INT).kind);
  EXPECT_EQ(2147483647, Converted(Double(2147483647.9), NUM_INT).v.i);
  EXPECT_EQ(kIntMin, Converted(Double(-2147483648.9), NUM_INT).v.i);
  EXPECT_EQ(-7, Converted(Double(-7.99), NUM_INT64).v.i64);
  EXPECT_EQ(NUM_INT64, Converted(Double(1.0), NUM_INT64).kind);
  // Imaginary part dropped, real part truncated.
  EXPECT_EQ(3, Converted(Complex(3.7, 100.0), NUM_INT).v.i);
  EXPECT_EQ(-3, Converted(Complex(-3.7, 100.0), NUM_INT64).v.i64);
}

TEST(NumberConvert, NaNAndOutOfRangeGiveMostNegativeValue) {
  for (double x : {kNaN, kInf, -kInf, 2147483648.0, -2147483649.0, 1e300}) {
    EXPECT_EQ(kIntMin, Converted(Double(x), NUM_INT).v.i) << x;
  }
  for (double x : {kNaN, kInf, -kInf, 9223372036854775808.0, -1e19}) {
    EXPECT_EQ(kInt64Min, Converted(Double(x), NUM_INT64).v.i64) << x;
  }
  // -2^63 itself is representable and in range.
  EXPECT_EQ(kInt64Min, Converted(Double(-9223372036854775808.0), NUM_INT64).v.i64);
  EXPECT_EQ(int64_t{1} << 62, Converted(Double(4611686018427387904.0), NUM_INT64).v.i64);
  EXPECT_EQ(kIntMin, Converted(Complex(kNaN, 0.0), NUM_INT).v.i);
}

TEST(NumberConvert, IntegerWidthsWrapAndSignExtend) {
  EXPECT_EQ(1, Converted(Int64(4294967297LL), NUM_INT).v.i);
  EXPECT_EQ(-1, Converted(Int64(0xFFFFFFFFLL), NUM_INT).v.i);
  EXPECT_EQ(kIntMin, Converted(Int64(0x80000000LL), NUM_INT).v.i);
  // The high half is zero, so only sign extension of the low half gives -5
  // (a zero-extending conversion would give 4294967291).
  SNumber n = Int64(0);
  SetIntNumber(&n, -5);
  EXPECT_EQ(-5, Converted(n, NUM_INT64).v.i64);
}

TEST(NumberConvert, ToFloatingKinds) {
  SNumber c = Converted(Int64(-9007199254740993LL), NUM_DOUBLE);
  EXPECT_EQ(NUM_DOUBLE, c.kind);
  EXPECT_EQ(-9007199254740992.0, c.v.d);  // nearest double

  c = Converted(Int(-3), NUM_COMPLEX);
  EXPECT_EQ(NUM_COMPLEX, c.kind);
  EXPECT_EQ(-3.0, c.v.d);
  EXPECT_EQ(0.0, c.im);

  // A stale imaginary part left by SetDoubleNumber is cleared.
  SNumber d = Complex(0.0, 9.0);
  SetDoubleNumber(&d, 2.5);
  d = Converted(d, NUM_COMPLEX);
  EXPECT_EQ(2.5, d.v.d);
  EXPECT_EQ(0.0, d.im);

  EXPECT_EQ(1.0, Converted(Bool(true), NUM_DOUBLE).v.d);
  EXPECT_EQ(0.0, Converted(Bool(false), NUM_COMPLEX).v.d);
  EXPECT_EQ(0.0, Converted(Bool(true), NUM_COMPLEX).im);
  EXPECT_EQ(7.5, Converted(Complex(7.5, -1.0), NUM_DOUBLE).v.d);
}

TEST(NumberConvert, BoolIsTrueForAnyNonZeroOrNaN) {
  EXPECT_TRUE(Converted(Complex(0.0, 1.0), NUM_BOOL).v.b);
  EXPECT_TRUE(Converted(Complex(kNaN, 0.0), NUM_BOOL).v.b);
  EXPECT_FALSE(Converted(Complex(0.0, 0.0), NUM_BOOL).v.b);
  EXPECT_TRUE(Converted(Double(kNaN), NUM_BOOL).v.b);
  EXPECT_TRUE(Converted(Double(-1e-300), NUM_BOOL).v.b);
  EXPECT_FALSE(Converted(Double(-0.0), NUM_BOOL).v.b);
  EXPECT_TRUE(Converted(Int64(int64_t{1} << 40), NUM_BOOL).v.b);  // low half is 0
  EXPECT_FALSE(Converted(Int(0), NUM_BOOL).v.b);
  EXPECT_EQ(NUM_BOOL, Converted(Int(-4), NUM_BOOL).kind);

  EXPECT_EQ(1, Converted(Bool(true), NUM_INT).v.i);
  EXPECT_EQ(0, Converted(Bool(false), NUM_INT64).v.i64);
}

TEST(NumberConvert, SameKindNullAndUnknownKinds) {
  SNumber n = Double(2.9);
  ConvertNumber(&n, NUM_DOUBLE);
  EXPECT_EQ(2.9, n.v.d);
  ConvertNumber(nullptr, NUM_INT);  // must not crash

  // A kind code above 4 only changes the code; the bits stay.
  n = Double(1.5);
  ConvertNumber(&n, 7);
  EXPECT_EQ(7, n.kind);
  EXPECT_EQ(1.5, n.v.d);
  EXPECT_EQ("", OutNumber(&n).str());
  ConvertNumber(&n, NUM_DOUBLE);
  EXPECT_EQ(NUM_DOUBLE, n.kind);
  EXPECT_EQ(1.5, n.v.d);
}

TEST(NumberConvert, ToBoolAfterRawKindChangeReadsOnlyTheFirstByte) {
  // 1.5 has a zero first byte in memory: a raw code change to bool must
  // read that byte, not load an arbitrary byte as bool.
  SNumber n = Double(1.5);
  n.kind = 9;
  ConvertNumber(&n, NUM_BOOL);
  EXPECT_EQ(NUM_BOOL, n.kind);
  EXPECT_EQ("false", OutNumber(&n).str());
  SNumber m = Int64(0x7F);
  m.kind = 9;
  ConvertNumber(&m, NUM_BOOL);
  EXPECT_EQ("true", OutNumber(&m).str());
}

TEST(NumberAssign, ConvertsSourceInPlaceAndKeepsDestinationKind) {
  SNumber dst = Int(0);
  SNumber src = Double(2.9);
  AssignNumber(&dst, &src);
  EXPECT_EQ(NUM_INT, dst.kind);
  EXPECT_EQ(2, dst.v.i);
  EXPECT_EQ(NUM_INT, src.kind);  // the source is left converted
  EXPECT_EQ(2, src.v.i);

  SNumber cdst = Complex(9.0, 9.0);
  SNumber isrc = Int(3);
  AssignNumber(&cdst, &isrc);
  EXPECT_EQ(NUM_COMPLEX, cdst.kind);
  EXPECT_EQ(3.0, cdst.v.d);
  EXPECT_EQ(0.0, cdst.im);

  SNumber bdst = Bool(false);
  SNumber nsrc = Double(kNaN);
  AssignNumber(&bdst, &nsrc);
  EXPECT_EQ("true", OutNumber(&bdst).str());
}

TEST(NumberText, EachKind) {
  SNumber n = Int(-5);
  EXPECT_EQ("-5", OutNumber(&n).str());
  n = Int64(kInt64Min);
  EXPECT_EQ("-9223372036854775808", OutNumber(&n).str());
  n = Int64(12);
  EXPECT_EQ("12", OutNumber(&n).str());
  n = Bool(true);
  EXPECT_EQ("true", OutNumber(&n).str());
  n = Bool(false);
  EXPECT_EQ("false", OutNumber(&n).str());
  n = Double(1e6);
  EXPECT_EQ("1e+6", OutNumber(&n).str());
  n = Double(kNaN);
  EXPECT_EQ("", OutNumber(&n).str());
  EXPECT_EQ("", OutNumber(nullptr).str());
}

TEST(NumberText, ComplexWritesImaginaryPartWithItsSign) {
  SNumber n = Complex(0.0, -1.0);
  EXPECT_EQ("0-1j", OutNumber(&n).str());
  n = Complex(1.0, 2.0);
  EXPECT_EQ("1+2j", OutNumber(&n).str());
  n = Complex(3.0, 0.0);
  EXPECT_EQ("3", OutNumber(&n).str());
  n = Complex(3.0, kNaN);
  EXPECT_EQ("3", OutNumber(&n).str());
  n = Complex(-1500.0, 0.001);
  EXPECT_EQ("-1.5e+3+1e-3j", OutNumber(&n).str());
  n = Complex(2.0, -kInf);
  EXPECT_EQ("2-infj", OutNumber(&n).str());
}
