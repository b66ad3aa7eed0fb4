// PWL tables: the messages of a bad text, the mirroring of a table without
// a 0 breakpoint, zone numbers, the continuous characteristic through the
// origin, zone moves with the stop at zone 0, and the building of a
// component's table from its document texts.

#include "elements/PWL.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "base/globals.h"
#include "circuit/Cmp.h"
#include "circuit/ElemSet.h"
#include "expr/globals.h"

namespace {

// A resistor as the owner: the table reads and moves its zone state.
std::unique_ptr<CCmp> NewOwner() { return std::unique_ptr<CCmp>(ElemSet.NewCmp("R_R", nullptr)); }

// The table's output at x: the owner is put into the zone of x and the
// stamp coefficients are read back: out = k * in + u.
double Out(CPWL& t, double x) {
  t.Owner()->SetState(t.ZoneOf(x));
  double k = 0.0, u = 0.0;
  t.GetKU(k, u);
  return k * x + u;
}

// Builds text without an engine; the message, if any, is the result.
std::string Build(CPWL& t, const char* text) {
  t.text = text;
  m_global_errstr = "";
  return t.InitPWL(nullptr) ? std::string("ok") : m_global_errstr.str();
}

// What the number reader says about text.
std::string ReaderReason(const char* text) {
  double x = 0.0;
  m_global_errstr = "";
  EXPECT_FALSE(indig(text, &x)) << text;
  return m_global_errstr.str();
}

}  // namespace

TEST(PWLMessages, BadTextsAreRefusedWithTheirReason) {
  auto owner = NewOwner();
  CPWL t(owner.get());
  struct Case {
    const char* text;
    bool zero_ok, inf_ok;
    std::string expected;
  } cases[] = {
      {"", true, true, "Wrong number of PWL parameters"},
      {"1, 2", true, true, "Wrong number of PWL parameters"},
      {"1, 2, 3, 4", true, true, "Wrong number of PWL parameters"},
      {"1, x, 2", true, true, "PWL error: " + ReaderReason("x")},
      {"1, 2, 3q", true, true, "PWL error: " + ReaderReason("3q")},
      // Flags refuse slope items only: a 0 or infinite breakpoint is fine.
      {"0, 1, 2", false, true, "Zero value not allowed"},
      {"1, 2, 0", false, true, "Zero value not allowed"},
      {"1, 0, 2", false, true, "ok"},
      {"inf, 1, 2", true, false, "Infinite value not allowed"},
      {"1, 1, -inf", true, false, "Infinite value not allowed"},
      {"1, inf, 2", true, false, "ok"},
      {"0, 1, inf", true, true, "ok"},
      // After mirroring the breakpoints must rise.
      {"1, 2, 3, 1, 4", true, true, "PWL breakpoints must rise"},
      {"1, -1, 2", true, true, "PWL breakpoints must rise"},
      {"1, -1, 2, 0, 3, 0, 4", true, true, "PWL breakpoints must rise"},
      {"5", true, true, "ok"},
  };
  for (const Case& c : cases) {
    t.zero_allowed = c.zero_ok;
    t.infinite_allowed = c.inf_ok;
    EXPECT_EQ(c.expected, Build(t, c.text)) << "'" << c.text << "'";
    EXPECT_EQ(c.expected == "ok", t.IsBuilt()) << "'" << c.text << "'";
  }
}

TEST(PWLZones, MirroredAndUnmirroredTables) {
  auto owner = NewOwner();
  CPWL t(owner.get());
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* text;
    int min, max;
    // Input and the zone it lies in.
    struct {
      double x;
      int zone;
    } at[6];
  } cases[] = {
      // No 0 breakpoint: mirrored, zone 0 = (-2, 2).
      {"1, 2, 3", -1, 1, {{0, 0}, {1.9, 0}, {2, 1}, {-1.9, 0}, {-2.5, -1}, {inf, 1}}},
      {"1, 1, 2, 3, 4", -2, 2, {{0.5, 0}, {1.5, 1}, {3, 2}, {-1.5, -1}, {-3.5, -2}, {-inf, -2}}},
      // A 0 breakpoint: used as written, zone 0 begins at input 0.
      {"0.5, -1, 1, 0, 2, 3, 4", -2, 1, {{0, 0}, {2.9, 0}, {3, 1}, {-0.5, -1}, {-1, -1}, {-7, -2}}},
      {"1.0, 0.0, 1.0", -1, 0, {{0, 0}, {5, 0}, {-1e-9, -1}, {-5, -1}, {1e-9, 0}, {inf, 0}}},
      {"3, 0, 1, 2, 5", -1, 1, {{0, 0}, {1, 0}, {2, 1}, {-1, -1}, {7, 1}, {-inf, -1}}},
      // One item: one zone for every input.
      {"5", 0, 0, {{0, 0}, {-1e30, 0}, {1e30, 0}, {inf, 0}, {-inf, 0}, {1, 0}}},
  };
  for (const Case& c : cases) {
    ASSERT_EQ("ok", Build(t, c.text)) << c.text;
    EXPECT_EQ(c.min, t.MinZone()) << c.text;
    EXPECT_EQ(c.max, t.MaxZone()) << c.text;
    for (const auto& p : c.at) EXPECT_EQ(p.zone, t.ZoneOf(p.x)) << c.text << " at " << p.x;
  }
}

TEST(PWLCharacteristic, ValuesComputedByHand) {
  auto owner = NewOwner();
  CPWL t(owner.get());
  struct Case {
    const char* text;
    double x, out;
  } cases[] = {
      // Slope 1 up to 2 (reaching 2), then slope 3; odd below 0.
      {"1, 2, 3", 1, 1},
      {"1, 2, 3", 3, 2 + 3 * 1},
      {"1, 2, 3", -3, -(2 + 3 * 1)},
      {"1, 2, 3", -1.5, -1.5},
      // Zone 0 from 0 to 3 with slope 2; slope 4 above; slope 1 from -1
      // to 0 and 0.5 below -1.
      {"0.5, -1, 1, 0, 2, 3, 4", 1, 2},
      {"0.5, -1, 1, 0, 2, 3, 4", 5, 6 + 4 * 2},
      {"0.5, -1, 1, 0, 2, 3, 4", -0.5, -0.5},
      {"0.5, -1, 1, 0, 2, 3, 4", -3, -1 + 0.5 * -2},
      // Engineering suffixes: 1000 up to 1 m (reaching 1), then 2.
      {"1k, 1m, 2", 2e-3, 1 + 2 * 1e-3},
      {"1k, 1m, 2", -0.5e-3, -0.5},
      // A flat zone after a breakpoint keeps the value reached there.
      {"3, 0, 1, 2, 0", 10, 2},
      {"3, 0, 1, 2, 0", -2, -6},
      {"5", -4, -20},
  };
  for (const Case& c : cases) {
    ASSERT_EQ("ok", Build(t, c.text)) << c.text;
    EXPECT_NEAR(c.out, Out(t, c.x), 1e-12 * (1 + std::fabs(c.out))) << c.text << " at " << c.x;
  }
}

TEST(PWLCharacteristic, ContinuousAtEveryBreakpointAndZeroAtOrigin) {
  auto owner = NewOwner();
  CPWL t(owner.get());
  const char* texts[] = {"1, 2, 3", "2, 1, -1, 4, 0.5", "0.5, -1, 1, 0, 2, 3, 4",
                         "1.0, 0.0, 1.0", "10, 1m, 0.1, 10m, 100", "-1, -3, 2, 0, -4, 1, 7"};
  for (const char* text : texts) {
    ASSERT_EQ("ok", Build(t, text)) << text;
    EXPECT_EQ(0.0, Out(t, 0.0)) << text;
    for (double b : t.breakpoints) {
      // Both neighbouring zones give the same value at their breakpoint.
      double kl = 0, ul = 0, kr = 0, ur = 0;
      owner->SetState(t.ZoneOf(b) - 1);
      t.GetKU(kl, ul);
      owner->SetState(t.ZoneOf(b));
      t.GetKU(kr, ur);
      EXPECT_NEAR(kl * b + ul, kr * b + ur, 1e-12 * (1 + std::fabs(kr * b))) << text << " at " << b;
    }
  }
}

TEST(PWLCharacteristic, MirroredTableIsOdd) {
  auto owner = NewOwner();
  CPWL t(owner.get());
  ASSERT_EQ("ok", Build(t, "2, 1, -1, 4, 0.5"));
  for (double x : {0.3, 1.0, 2.5, 4.0, 9.0}) EXPECT_DOUBLE_EQ(-Out(t, x), Out(t, -x)) << x;
}

TEST(PWLCharacteristic, PresentZoneOutsideTheTableUsesTheEndZone) {
  auto owner = NewOwner();
  CPWL t(owner.get());
  ASSERT_EQ("ok", Build(t, "1, 2, 3"));
  double k = 0, u = 0;
  owner->SetState(7);  // left from a table with more zones
  t.GetKU(k, u);
  EXPECT_EQ(3.0, k);
  EXPECT_DOUBLE_EQ(2.0, 3.0 * 2.0 + u);  // the last zone's line through (2, 2)
  owner->SetState(-7);
  t.GetKU(k, u);
  EXPECT_EQ(3.0, k);
  EXPECT_DOUBLE_EQ(-2.0, 3.0 * -2.0 + u);
}

TEST(PWLCheck, ReportsAndMovesTheOwnersZone) {
  auto owner = NewOwner();
  CPWL t(owner.get());
  ASSERT_EQ("ok", Build(t, "1, 1, 2, 3, 4"));  // zones -2 .. 2, breakpoints -3 -1 1 3
  struct Case {
    int present;
    double x;
    bool update;
    bool changed;
    int after;
  } cases[] = {
      {0, 0.5, true, false, 0},   {0, 0.5, false, false, 0},  // same zone
      {0, 2.0, false, true, 0},                               // report only
      {0, 2.0, true, true, 1},    {0, 5.0, true, true, 2},    {0, -5.0, true, true, -2},
      {1, 5.0, true, true, 2},    {2, 0.0, true, true, 0},    {-2, -2.0, true, true, -1},
      // Across zone 0 the move stops there first.
      {-1, 2.0, true, true, 0},   {-2, 5.0, true, true, 0},   {1, -2.0, true, true, 0},
      {2, -5.0, true, true, 0},   {-1, 2.0, false, true, -1},
      // A NaN input tells no zone.
      {1, std::nan(""), true, false, 1},
  };
  for (const Case& c : cases) {
    owner->SetState(c.present);
    EXPECT_EQ(c.changed, t.CheckPWL(c.x, c.update)) << c.present << " -> " << c.x;
    EXPECT_EQ(c.after, owner->State()) << c.present << " -> " << c.x;
  }
}

TEST(PWLCheck, NothingToCheckWithoutATable) {
  auto owner = NewOwner();
  CPWL t(owner.get());
  owner->SetState(0);
  EXPECT_FALSE(t.CheckPWL(100.0, true));
  EXPECT_EQ(0, owner->State());
  double k = 1, u = 1;
  t.GetKU(k, u);
  EXPECT_EQ(0.0, k);
  EXPECT_EQ(0.0, u);
  CPWL orphan;
  orphan.text = "1, 2, 3";
  ASSERT_TRUE(orphan.InitPWL(nullptr));
  EXPECT_FALSE(orphan.CheckPWL(5.0, true));
}

TEST(PWLBuild, SameTextIsNotRebuiltButOtherTextOrFlagsAre) {
  auto owner = NewOwner();
  CPWL t(owner.get());
  ASSERT_EQ("ok", Build(t, "1, 2, 3"));
  t.slopes[1] = 99.0;  // a mark a rebuild would overwrite
  ASSERT_EQ("ok", Build(t, "1, 2, 3"));
  EXPECT_EQ(99.0, t.slopes[1]);
  ASSERT_EQ("ok", Build(t, "1, 2, 4"));
  EXPECT_EQ(1.0, t.slopes[1]);

  // Refusing a value the built table holds is seen at the next build.
  ASSERT_EQ("ok", Build(t, "inf, 2, 3"));
  t.infinite_allowed = false;
  EXPECT_EQ("Infinite value not allowed", Build(t, "inf, 2, 3"));
  EXPECT_FALSE(t.IsBuilt());

  // A failed build leaves no table; the same text, once fixed, builds.
  t.infinite_allowed = true;
  EXPECT_EQ("Wrong number of PWL parameters", Build(t, "1, 2"));
  EXPECT_FALSE(t.IsBuilt());
  EXPECT_EQ("ok", Build(t, "inf, 2, 3"));
  EXPECT_TRUE(t.IsBuilt());

  // An even count fails even right after a good build of another text.
  EXPECT_EQ("Wrong number of PWL parameters", Build(t, "1, 2, 3, 4"));
}

TEST(PWLComponent, TableBuiltFromTheComponentTexts) {
  auto cmp = NewOwner();
  cmp->ClearCmp();  // no table yet
  ASSERT_EQ(nullptr, cmp->Pwl());
  cmp->PwlText() = "1, 2, 3";
  cmp->PwlFile() = "table.txt";
  cmp->SetPwlMode(2);
  ASSERT_TRUE(InitCmpPWL(nullptr, cmp.get()));
  CPWL* t = cmp->Pwl();
  ASSERT_NE(nullptr, t);
  EXPECT_EQ(cmp.get(), t->Owner());
  EXPECT_EQ("1, 2, 3", t->text.str());
  EXPECT_EQ("table.txt", t->file.str());
  EXPECT_EQ(2, t->mode);
  EXPECT_EQ(-1, t->MinZone());
  EXPECT_EQ(1, t->MaxZone());

  // A changed component text reaches the table at the next build.
  cmp->PwlText() = "7";
  ASSERT_TRUE(InitCmpPWL(nullptr, cmp.get()));
  EXPECT_EQ(t, cmp->Pwl());
  EXPECT_EQ(0, t->MaxZone());

  cmp->PwlText() = "1, 2";
  m_global_errstr = "";
  EXPECT_FALSE(InitCmpPWL(nullptr, cmp.get()));
  EXPECT_EQ("Wrong number of PWL parameters", m_global_errstr.str());
}
