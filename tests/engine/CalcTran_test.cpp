// The transient analysis: integration against closed forms, the search for
// the switching instant in every step-control mode, cycles of zone
// combinations, events, pause and the failure texts.

#include <cmath>
#include <vector>

#include "engine/EngineTestElem.h"
#include "expr/globals.h"

namespace {

struct SPoint {
  double t;
  double v;
  int zone;
};

}  // namespace

class CalcTran : public EngineFixture {
 protected:
  // Records (t, X[node], zone of `zoned`) at every accepted point.
  void Record(CEngineTestElem* on, int node, const CEngineTestElem* zoned = nullptr) {
    on->record = [this, node, zoned](CCalc* c, CEngineTestElem*) {
      points.push_back({c->Time(), c->X()[node], zoned != nullptr ? zoned->State() : 0});
    };
  }

  std::vector<SPoint> points;
};

TEST_F(CalcTran, RcChargeFollowsTheExponential) {
  // 1 V through 1 kOhm into 1 uF: v(t) = 1 - exp(-t / 1 ms).
  doc.TranSettings().step = 1e-5;
  Source(0, 1, [](double) { return 1.0; });
  Resistor(1, 2, 1000.0);
  CEngineTestElem* cap = Capacitor(2, 0, 1e-6);
  CCalc* c = StartRun();
  const int node = cap->Node(0);
  Record(cap, node);
  ASSERT_TRUE(RunUntil(c, 5e-3)) << c->ErrorText().str();
  ASSERT_GT(points.size(), 400u);
  double worst = 0.0;
  for (const SPoint& p : points) worst = std::max(worst, std::fabs(p.v - (1.0 - std::exp(-p.t / 1e-3))));
  // Trapezoidal rule at h = tau / 100: global error of order (h/tau)^2 / 12.
  EXPECT_LT(worst, 2e-5);
  EXPECT_NEAR(points.back().v, 1.0 - std::exp(-points.back().t / 1e-3), 2e-5);
}

TEST_F(CalcTran, RcDischargeFromAnInitialCharge) {
  doc.TranSettings().step = 2e-5;
  Resistor(1, 0, 1000.0);
  CEngineTestElem* cap = Capacitor(0, 1, 1e-6, 2.0);  // v(1) - v(0) = 2 V
  CCalc* c = StartRun();
  EXPECT_NEAR(c->X()[1], 2.0, 1e-12);  // the static solution holds the charge
  Record(cap, 1);
  ASSERT_TRUE(RunUntil(c, 3e-3));
  for (const SPoint& p : points) EXPECT_NEAR(p.v, 2.0 * std::exp(-p.t / 1e-3), 1e-4) << p.t;
}

// A ramp source on node 2 and a resistor on node 1 whose zone follows the
// ramp: the crossing is at vth / slope whatever the zone does to node 1.
class CalcSwitching : public CalcTran, public ::testing::WithParamInterface<int> {
 protected:
  static constexpr double kSlope = 1000.0;  // V/s
  static constexpr double kVth = 0.3337;    // V: crossing at 333.7 us
  CEngineTestElem* Circuit() {
    Source(0, 2, [](double t) { return kSlope * t; });
    Resistor(2, 1, 1.0);
    CEngineTestElem* z = Add({1, 0, 2});
    z->stamp = [](CCalc* c, CEngineTestElem* e) {
      return c->SetR(e->Node(0), e->Node(1), e->State() == 0 ? 1000.0 : 1.0);
    };
    z->zone_of = [](CCalc* c, CEngineTestElem* e) { return c->X()[e->Node(2)] >= kVth ? 1 : 0; };
    return z;
  }
};

TEST_P(CalcSwitching, SwitchingInstantIsBracketedWithinOneAndAHalfMinimalSteps) {
  const int mode = GetParam();
  const double step = 1e-5;
  doc.TranSettings().step = step;
  doc.Advanced().step_mode = mode;
  CEngineTestElem* z = Circuit();
  CCalc* c = StartRun();
  Record(z, z->Node(0), z);
  ASSERT_TRUE(RunUntil(c, 1e-3)) << c->ErrorText().str();
  const double crossing = kVth / kSlope;
  double last0 = -1.0, first1 = -1.0;
  for (const SPoint& p : points) {
    if (p.zone == 0) last0 = p.t;
    if (p.zone == 1 && first1 < 0) first1 = p.t;
  }
  ASSERT_GE(first1, 0.0);
  const double factors[] = {1.0, 0.5, 0.125, 0.015625, 0.125};
  const double hmin = factors[mode] * step;
  EXPECT_LE(last0, crossing + 1e-12);
  EXPECT_GE(first1, crossing - 1e-12);
  if (mode > 0) {
    EXPECT_GE(last0, crossing - 1.5 * hmin) << "mode " << mode;
  } else {
    // Without step control every point is on the step grid, and the
    // switching step is taken from the start of the undone step.
    for (const SPoint& p : points) EXPECT_NEAR(p.t / step, std::round(p.t / step), 1e-6) << p.t;
    EXPECT_NEAR(first1, std::ceil(crossing / step) * step, 1e-12);
  }
  EXPECT_GT(c->Counters().rejected, 0);
  EXPECT_EQ(z->State(), 1);
}

INSTANTIATE_TEST_SUITE_P(StepModes, CalcSwitching, ::testing::Values(0, 1, 2, 3, 4));

TEST_F(CalcTran, PostSwitchStepOfModeTwo) {
  // m = 2, step 1 us: hS = 0.25 us, hMin = 0.125 us after the start.
  doc.TranSettings().step = 1e-6;
  doc.Advanced().step_mode = 2;
  Resistor(1, 0, 1.0);
  CCalc* c = StartRun();
  EXPECT_DOUBLE_EQ(c->PostSwitchStep(), 0.25e-6);
  EXPECT_DOUBLE_EQ(c->MinStep(), 0.125e-6);
  EXPECT_LE(c->NextStep(), 0.25e-6);
}

TEST_F(CalcTran, EventAFewStepsAheadIsLandedOnExactly) {
  doc.TranSettings().step = 1e-5;
  doc.Advanced().step_mode = 2;
  Resistor(1, 0, 1.0);
  CEngineTestElem* ev = Add({1, 0});
  const double event = 1e-4 + 2.5e-5;
  ev->new_step = [event](double t, double& next, double&, double&) {
    if (t < event) next = event;
  };
  CCalc* c = StartRun();
  Record(ev, 1);
  ASSERT_TRUE(RunUntil(c, 2e-4));
  bool hit = false;
  for (const SPoint& p : points) hit = hit || CompareValues(p.t, event) == 0;
  EXPECT_TRUE(hit);
}

TEST_F(CalcTran, AlternatingZonesAreResolvedThroughTheZoneRange) {
  Resistor(1, 0, 1.0);
  CEngineTestElem* osc = Add({1, 0});
  // Zone 0 asks for 1 and zone 1 for 0; zone 2 is content.
  osc->zone_of = [](CCalc*, CEngineTestElem* e) { return e->State() == 2 ? 2 : 1 - e->State(); };
  osc->zone_max = 2;
  CCalc* c = StartRun();
  EXPECT_EQ(c->Phase(), PH_SWITCH);
  EXPECT_EQ(osc->State(), 2);
}

TEST_F(CalcTran, AlternatingZonesWithoutRangeFailOrAreAcceptedOnRequest) {
  Resistor(1, 0, 1.0);
  CEngineTestElem* osc = Add({1, 0});
  osc->zone_of = [](CCalc*, CEngineTestElem* e) { return 1 - e->State(); };
  CCalc* c = doc.CreateCalc();
  ASSERT_TRUE(c->sim_start());
  ASSERT_TRUE(c->sim_execute());  // initialisation
  EXPECT_FALSE(c->sim_execute());
  EXPECT_EQ(c->ErrorText(), "No solution  while calculating switching triggered by T2");
  EXPECT_EQ(c->Zero(), 1e-12);  // restored after the rounds
  c->sim_stop();
  EXPECT_EQ(c->ErrorText(),
            "Transient error:\nt=0\nNo solution  while calculating switching triggered by T2");

  doc.Advanced().ise = true;
  ASSERT_TRUE(c->sim_start());
  ASSERT_TRUE(c->sim_execute());
  EXPECT_TRUE(c->sim_execute()) << c->ErrorText().str();
  EXPECT_EQ(c->Phase(), PH_SWITCH);
}

TEST_F(CalcTran, PauseDuringTheInitialSolutionRepeatsThePhase) {
  Resistor(1, 0, 1.0);
  CCalc* c = doc.CreateCalc();
  ASSERT_TRUE(c->sim_start());
  ASSERT_TRUE(c->sim_execute());
  c->RequestPause();
  EXPECT_TRUE(c->sim_execute());
  EXPECT_EQ(c->Phase(), PH_IC);
  EXPECT_FALSE(c->PauseRequested());
  EXPECT_TRUE(c->sim_execute());
  EXPECT_EQ(c->Phase(), PH_SWITCH);
}

TEST_F(CalcTran, TerminateEndsTheInitialSolutionWithoutText) {
  Resistor(1, 0, 1.0);
  CCalc* c = doc.CreateCalc();
  ASSERT_TRUE(c->sim_start());
  ASSERT_TRUE(c->sim_execute());
  c->RequestTerminate();
  EXPECT_FALSE(c->sim_execute());
  EXPECT_EQ(c->ErrorText(), "Unknown error 1002");
}

TEST_F(CalcTran, FailuresWithoutTextGetTheirCode) {
  // A source evaluation that fails without saying why: in a switching
  // step the phase's code, in a time step its own.
  CEngineTestElem* e = Resistor(1, 0, 1.0);
  CCalc* c = StartRun();
  e->calc_y = [](CCalc*, CEngineTestElem*) { return false; };
  EXPECT_FALSE(c->sim_execute());
  EXPECT_EQ(c->ErrorText().str(), "Unknown error 1004");
  e->calc_y = nullptr;
  while (c->Phase() < PH_TRANSITION) ASSERT_TRUE(c->sim_execute());
  e->calc_y = [](CCalc*, CEngineTestElem*) { return false; };
  bool ok = true;
  for (int i = 0; i < 5 && ok; ++i) ok = c->sim_execute();
  EXPECT_FALSE(ok);
  EXPECT_EQ(c->ErrorText().str(), "Unknown error 1014");
  c->sim_stop();
  // A preparation that fails stops the start.
  e->calc_y = nullptr;
  e->init = [](CCalc*, CEngineTestElem*) { return false; };
  ASSERT_TRUE(c->sim_start());
  EXPECT_FALSE(c->sim_execute());
  EXPECT_EQ(c->ErrorText().str(), "Unknown error 1027");
}

TEST_F(CalcTran, ParameterErrorsOfAllComponentsAreReported) {
  Resistor(1, 0, 1.0)->params_error = "R : formula error";
  Resistor(1, 0, 1.0)->params_error = "Position > 1";
  CCalc* c = doc.CreateCalc();
  ASSERT_TRUE(c->sim_start());
  EXPECT_FALSE(c->sim_execute());
  EXPECT_EQ(c->ErrorText(), "T1 : R : formula error\nT2 : Position > 1\n");
  EXPECT_FALSE(c->HasMatrices());
}

TEST_F(CalcTran, StopReleasesEverythingAndRestoresTheDocument) {
  CEngineTestElem* r = Resistor(5, 9, 1.0);
  Source(0, 5, [](double) { return 1.0; });
  Resistor(9, 0, 1.0);
  CCalc* c = StartRun();
  EXPECT_EQ(r->Node(0), 1);
  EXPECT_TRUE(doc.IsRunning());
  ASSERT_TRUE(c->sim_stop());
  EXPECT_FALSE(c->HasMatrices());
  EXPECT_EQ(c->CmpCount(), 0);
  EXPECT_FALSE(doc.IsRunning());
  EXPECT_EQ(r->Node(0), 5);
  EXPECT_EQ(r->Node(1), 9);
  EXPECT_EQ(r->modes.back(), CM_CLEAR);
  EXPECT_EQ(c->GetError(), nullptr);
}
