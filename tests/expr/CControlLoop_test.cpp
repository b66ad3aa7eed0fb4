// A complete control program run as the Code component runs it, checked
// against the same controller written in C++.

#include <gtest/gtest.h>

#include <cmath>

#include "CControlLoop.h"

using namespace control_loop;

// 10^4 steps of 0.1 ms cover 25 periods of the set point, each driving the
// controller into its clamp and its integrator into the limit. The
// evaluator sets a sum to exactly 0 when its terms cancel to within 1e-12
// relative, where C++ keeps the rounding residue; those residues, fed back
// through the plant, are what 1e-9 relative allows for.
TEST(CControlLoop, MatchesTheSameControllerInCpp) {
  CController c;
  ASSERT_TRUE(c.SetUp()) << c.error().str();
  SReference ref;
  double x = 0.0, xr = 0.0, y = 0.0, yr = 0.0;  // plant outputs and controller outputs
  int clamped = 0, wound_up = 0;
  for (int k = 0; k < 10000; ++k) {
    const double t = k * kDt, sp = SetPoint(t);
    ASSERT_TRUE(c.Run(t, sp, x, &y)) << c.error().str() << " at run " << k;
    ASSERT_EQ(c.Base(), c.Count()) << "variables of main survived run " << k;
    yr = ref.Step(sp, xr);
    clamped += std::fabs(yr) == 10.0;
    wound_up += std::fabs(ref.integ) == 6.0;
    x = Plant(x, y);
    xr = Plant(xr, yr);
  }
  // The clamp, the integrator limit and both switch states were used.
  EXPECT_GT(clamped, 100);
  EXPECT_GT(wound_up, 100);
  EXPECT_GT(ref.nsat, 0);
  EXPECT_NEAR(yr, y, 1e-9 * std::fabs(yr));
  EXPECT_NEAR(xr, x, 1e-9 * std::fabs(xr));
  SVar* nsat = c.vars().FindVar("nsat", 0);
  ASSERT_NE(nullptr, nsat);
  EXPECT_EQ(ref.nsat, nsat->values[0].v.i);
}
