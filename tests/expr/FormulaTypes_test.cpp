// Type rules of the operators: promotion (complex, double, int64, int; bool
// as int), formula versus C integer arithmetic, the snapping of sums to 0 and
// the tolerance of double comparisons.

#include "expr/FormulaTest.h"

#include <limits>

TEST(FormulaTypes, FormulaArithmeticMakesIntsDoubleCCodeKeepsThemInt) {
  ExpectRows({
      {"7/2", Dbl(3.5)}, {"1+2", Dbl(3)}, {"7%2", Dbl(1)},
      {"(int)7.9/2", Dbl(3.5)},  // the cast binds tighter than the division
  });
  ExpectRows(
      {
          {"7/2", Int(3)}, {"-7/2", Int(-3)},  // C truncates toward zero
          {"1+2", Int(3)}, {"7%2", Dbl(1)},  // the remainder stays double
          {"2147483647+1", Int(std::numeric_limits<int>::min())},  // int wraps
          {"65536*65536", Int(0)}, {"1+2<<1", Int(6)},  // (1+2)<<1: shift is below addition
          {"(double)7/2", Dbl(3.5)}, {"(int)7.9/2", Int(3)},
          {"1000000000001 == 1000000000000", Bool(false)},  // integers compare exactly
          {"1/0", Err("Division by zero")},
      },
      {.cMode = true});
}

TEST(FormulaTypes, MostGeneralKindWinsInt64StaysInt64) {
  ExpectRows({
      {"7i64/2", Int64(3)}, {"4294967296*2", Int64(8589934592LL)},
      {"4294967296*2.5", Dbl(10737418240.0)},
  });
}

TEST(FormulaTypes, SumsWithinResolutionSnapToZero) {
  ExpectRows({
      {"0.1+0.2-0.3", Dbl(0)}, {"1-1.0000000000001", Dbl(0)},  // 1e-13 relative
      {"-1+1.0000000000001", Dbl(0)},
      // 1e-11 relative is kept; the subtraction is exact, so only the
      // decimal-to-binary error of 1.00000000001 (~1e-16) remains.
      {"1-1.00000000001", Dbl(-1e-11, 1e-15)},
      {"1e-20+0", Dbl(1e-20)},        // zero never equals non-zero
      {"0.1*3-0.3", Dbl(0)},          // 0.30000000000000004 - 0.3
      {"(0.1+0.2j)+(0.2+0.1j)-(0.3+0.3j)", Cplx(0, 0)},  // each part snaps
  });
}

TEST(FormulaTypes, DoublesCompareWithinResolutionIntegersExactly) {
  ExpectRows({
      {"1==1.0000000000001", Bool(true)}, {"1<1.0000000000001", Bool(false)},
      {"1<=1.0000000000001", Bool(true)}, {"1!=1.0000000001", Bool(true)},
      {"0.1+0.2==0.3", Bool(true)}, {"2147483647i64 == 2147483647", Bool(true)},
  });
}
