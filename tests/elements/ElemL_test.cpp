// Inductors: registry rows, parameters of the plain, coupled and custom
// coupled types, and their document attributes; then their behaviour in
// simulated circuits against closed forms, the repair of initial
// conditions, flux conservation, the parameter checks and the editing
// commands.

#include "elements/ElemL.h"

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "TestData.h"
#include "api/CallFrame.h"
#include "base/globals.h"
#include "circuit/CirTools.h"
#include "circuit/Cmps.h"
#include "circuit/CustomType.h"
#include "elements/ElemAttrCheck.h"
#include "engine/EngineTestElem.h"

TEST(ElemLRegistry, TypesAndModels) {
  const char* rows[][2] = {
      {"L_L", "L_L 35 2 Inductor|L(14,1,7) PWL(11,1,7) SubCir(10,0,1)"},
      {"L_VCL", "L_VCL 38 4 Voltage controlled\\ninductor|PWL(11,1,7)"},
      {"L_CCL", "L_CCL 39 4 Current controlled\\ninductor|PWL(11,2,7)"},
      {"L_CL", "L_CL 36 4 Coupled\\ninductors|L(14,2,7)"},
      {"L_CUSTOM", "L_CUSTOM 37 0 Custom coupled\\ninductors|L(14,0,7) SubCir(10,0,1)"},
      {"_L_L45", "_L_L45 40 2 Inductor|L(14,1,7) PWL(11,1,7) SubCir(10,0,1)"},
  };
  for (auto& r : rows) EXPECT_EQ(r[1], RegistryRow(r[0]));
}

TEST(ElemLDocument, PlainAndCoupledAttributes) {
  auto l = NewOf("L_L");
  EXPECT_EQ("L IC", ParamNames(*l, MC_L));
  EXPECT_STREQ("A", l->GetParameter("IC")->Unit());
  SetParam(*l, MC_L, "L", "1e-3");
  SetParam(*l, MC_L, "IC", "0.1");
  CXMLNode s("Cmp");
  auto copy = RoundTrip(*l, true, &s);
  EXPECT_EQ("1e-3", Attr(s, "l"));
  EXPECT_EQ("100e-3", Attr(s, "ic"));
  EXPECT_EQ(AllParams(*l), AllParams(*copy));

  auto cl = NewOf("L_CL");
  EXPECT_EQ("L1 L2 K12 IC1 IC2", ParamNames(*cl, MC_L));
  // Parameter, value typed, attribute, its text.
  const char* values[][4] = {{"L1", "2", "l1", "2"},
                             {"L2", "3", "l2", "3"},
                             {"K12", "-0.5", "k12", "-500e-3"},
                             {"IC1", "1", "ic1", "1"},
                             {"IC2", "-2", "ic2", "-2"}};
  for (auto& v : values) SetParam(*cl, MC_L, v[0], v[1]);
  CXMLNode c("Cmp");
  auto ccopy = RoundTrip(*cl, true, &c);
  for (auto& v : values) EXPECT_EQ(v[3], Attr(c, v[2]));
  EXPECT_EQ(AllParams(*cl), AllParams(*ccopy));
  CXMLNode noic("Cmp");
  RoundTrip(*cl, false, &noic);
  EXPECT_EQ("<absent>", Attr(noic, "ic1"));
}

TEST(ElemLCustom, GeneratedParametersFollowTheWindings) {
  CCmps cmps;
  auto* c = static_cast<CElemL*>(cmps.AddCmp("L_CUSTOM"));
  ASSERT_NE(nullptr, c);
  EXPECT_EQ(4, c->PinCount());  // two windings for a new component
  ASSERT_NE(nullptr, c->CustomType());  // its own type record holds the pins
  EXPECT_EQ(4, c->CustomType()->PinCount());
  c->CustomType()->UpdateCustomCmp(6);
  c->UpdateCustom();
  EXPECT_EQ(3, c->WindingCount());
  EXPECT_EQ("L1 L2 L3 K12 K13 K23 IC1 IC2 IC3", ParamNames(*c, MC_L));
  EXPECT_STREQ("H", c->GetParameter("L2")->Unit());
  EXPECT_EQ("1e-6", c->GetParameter("L2")->GetText().str());
  EXPECT_EQ(1.0, c->GetParameter("K23")->BoundFormula()->Value());
  EXPECT_TRUE(c->GetParameter("IC3")->BoundFormula()->IsEmpty());
  EXPECT_EQ(3, c->CreateExtraNodes(nullptr, 2));

  SetParam(*c, MC_L, "L3", "5e-3");
  SetParam(*c, MC_L, "K13", "0.9");
  SetParam(*c, MC_L, "IC2", "0.5");
  CXMLNode s("Cmp");
  auto copy = RoundTrip(*c, true, &s);
  EXPECT_EQ("5e-3", Attr(s, "l3"));
  EXPECT_EQ("900e-3", Attr(s, "k13"));
  EXPECT_EQ("500e-3", Attr(s, "ic2"));
  EXPECT_EQ(6, copy->PinCount());
  EXPECT_EQ(AllParams(*c), AllParams(*copy));

  // Ten windings: couplings are named with a separator.
  c->CustomType()->UpdateCustomCmp(20);
  c->UpdateCustom();
  EXPECT_NE(nullptr, c->GetParameter("K1_2"));
  EXPECT_NE(nullptr, c->GetParameter("K9_10"));
  EXPECT_EQ(nullptr, c->GetParameter("K12"));
}

// --- Simulation -----------------------------------------------------------------------
// Circuits of real inductors, capacitors and resistors, from documents or
// added here, driven by the engine's test elements as sources. Signs: a
// winding's v is X[pin 1] - X[pin 0] and its current, entering at pin 1,
// follows v = L di/dt.

namespace {

class IndCircuit : public EngineFixture {
 protected:
  // Circuits built here step by 1 us; a document brings its own step.
  void SetUp() override { doc.TranSettings().step = 1e-6; }
  // One engine step (a phase of work); false on failure.
  bool Step() { return doc.ExecuteDLLSim(0.0, 1); }
  double Time() const { return doc.Calc()->Time(); }
  // Voltage between pins p and q: X[q] - X[p].
  double V(const CCmp* c, int p = 0, int q = 1) const { return X(c->Node(q)) - X(c->Node(p)); }
  double I(const CCmp* c, int winding = 0) const { return X(c->FirstExtra() + winding); }
};

}  // namespace

TEST_F(IndCircuit, RlStepResponse) {
  // 10 V through 10 Ohm into 10 mH from 0 A, step 1 us:
  // i = 1 A (1 - e^(-t / 1 ms)), v = L di/dt = 10 V e^(-t / 1 ms).
  LoadDoc("elements/lc_rl_step.qvs");
  Source(0, 1, [](double) { return 10.0; });
  CCmp* l = Cmp("L1");
  ASSERT_NE(nullptr, l);
  ASSERT_TRUE(StartDoc());
  EXPECT_NEAR(0.0, I(l), 1e-12);
  for (double until : {0.25e-3, 1e-3, 3e-3}) {
    const double t = RunTo(until);
    const double e = std::exp(-t / 1e-3);
    EXPECT_NEAR(1.0 - e, I(l), 1e-4 * (1.0 - e)) << t;
    EXPECT_NEAR(10.0 * e, V(l), 1e-4 * 10.0 * e) << t;
  }
}

TEST_F(IndCircuit, UnderdampedSeriesRlc) {
  // 1 uF at 10 V discharging through 10 Ohm and 1 mH (step 0.1 us):
  // a = R / 2L = 5000 /s, wd = sqrt(1 / LC - a^2),
  // v = 10 e^(-a t) (cos wd t + a / wd sin wd t), and the loop current,
  // leaving the capacitor at its pin 1 and entering the inductor at its
  // pin 1, i = 10 / (wd L) e^(-a t) sin wd t.
  LoadDoc("elements/lc_rlc.qvs");
  CCmp* c = Cmp("C1");
  CCmp* l = Cmp("L1");
  ASSERT_TRUE(c != nullptr && l != nullptr);
  ASSERT_TRUE(StartDoc());
  const double a = 5000.0, wd = std::sqrt(1e9 - a * a);
  double worst_v = 0.0, worst_i = 0.0;
  int points = 0;
  while (Time() < 1e-3) {
    ASSERT_TRUE(Step()) << dll_error_text();
    const double t = Time(), e = std::exp(-a * t);
    const double v = 10.0 * e * (std::cos(wd * t) + a / wd * std::sin(wd * t));
    worst_v = std::max(worst_v, std::fabs(V(c) - v));
    worst_i = std::max(worst_i, std::fabs(I(l) - 10.0 / (wd * 1e-3) * e * std::sin(wd * t)));
    ++points;
  }
  EXPECT_GT(points, 5000);
  EXPECT_LT(worst_v, 1e-3);  // of 10 V
  EXPECT_LT(worst_i, 1e-4);  // of a first peak near 0.25 A
}

TEST_F(IndCircuit, LcTankOscillatesAtItsResonanceWithItsAmplitudeKept) {
  // 1 uF at 1 V across 1 mH: f0 = 1 / (2 pi sqrt(LC)) = 5032.9 Hz, and the
  // amplitude sqrt(v^2 + (L / C) i^2) stays 1 V for 100 periods (step
  // 0.5 us, about 400 steps a period).
  LoadDoc("elements/lc_tank.qvs");
  CCmp* c = Cmp("C1");
  CCmp* l = Cmp("L1");
  ASSERT_TRUE(c != nullptr && l != nullptr);
  ASSERT_TRUE(StartDoc());
  const double f0 = 1.0 / (2.0 * std::numbers::pi * std::sqrt(1e-3 * 1e-6));
  std::vector<double> rising;  // upward zero crossings of v
  double worst = 0.0, last_t = Time(), last_v = V(c);
  while (Time() < 100.5 / f0) {
    ASSERT_TRUE(Step()) << dll_error_text();
    const double t = Time(), v = V(c), i = I(l);
    worst = std::max(worst, std::fabs(std::sqrt(v * v + 1e3 * i * i) - 1.0));
    if (last_v < 0.0 && v >= 0.0) rising.push_back(last_t + (t - last_t) * -last_v / (v - last_v));
    last_t = t;
    last_v = v;
  }
  EXPECT_LT(worst, 1e-3);
  ASSERT_GE(rising.size(), 100u);
  const double period = (rising.back() - rising.front()) / static_cast<double>(rising.size() - 1);
  EXPECT_NEAR(1.0 / f0, period, 1e-4 / f0);
}

TEST_F(IndCircuit, CoupledPairSecondaryFollowsTheMutualInductance) {
  // Primary 1 mH holding 1 A into 1 Ohm: i1 = e^(-t / 1 ms), v1 = -R i1.
  // The open secondary (9 mH, K = 0.5: M = 1.5 mH) carries nothing and
  // shows v2 = M di1/dt = (M / L1) v1.
  LoadDoc("elements/lc_coupled.qvs");
  auto* l = dynamic_cast<CElemL*>(Cmp("L1"));
  ASSERT_NE(nullptr, l);
  ASSERT_TRUE(StartDoc());
  EXPECT_NEAR(1.0, I(l, 0), 1e-12);
  EXPECT_NEAR(-1.0, V(l), 1e-12);
  for (double until : {0.5e-3, 2e-3}) {
    const double t = RunTo(until);
    const double e = std::exp(-t / 1e-3);
    EXPECT_NEAR(e, I(l, 0), 1e-4 * e) << t;
    EXPECT_NEAR(0.0, I(l, 1), 1e-12) << t;
    EXPECT_NEAR(1.5 * V(l, 0, 1), V(l, 2, 3), 1e-9) << t;
  }
  // The state and the initial conditions taken from it.
  doc.SaveDLLIC();
  AnsiString state;
  add_csv_hex(state, "i1", l->I1());
  add_csv_hex(state, "i2", l->I2());
  EXPECT_EQ(state, l->GetState());
  EXPECT_EQ(l->I1(), l->GetParameter("IC1")->BoundFormula()->Value());
  EXPECT_EQ("IC1,IC2", l->SaveIC(false).str());
}

TEST_F(IndCircuit, CustomWindingsAsTheCoupledPairAndTheirPolarity) {
  LoadDoc("elements/lc_custom.qvs");
  auto* l = dynamic_cast<CElemL*>(Cmp("L1"));
  ASSERT_NE(nullptr, l);
  ASSERT_EQ(2, l->WindingCount());
  ASSERT_TRUE(StartDoc());
  double t = RunTo(0.5e-3);
  EXPECT_NEAR(std::exp(-t / 1e-3), I(l, 0), 1e-4);
  EXPECT_NEAR(1.5 * V(l, 0, 1), V(l, 2, 3), 1e-9);
  doc.SaveDLLIC();
  EXPECT_EQ("IC1,IC2", l->SaveIC(false).str());
  EXPECT_EQ(l->Current(0), l->GetParameter("IC1")->BoundFormula()->Value());
  doc.ClearDLLSim();

  // The polarity bit of the second winding turns its voltage round.
  l->GetParameter("IC1")->BoundFormula()->SetVal(1.0);
  ASSERT_NE(nullptr, l->CustomType());
  l->CustomType()->SetPinFlag(2, 1);
  ASSERT_TRUE(StartDoc());
  t = RunTo(0.5e-3);
  EXPECT_NEAR(std::exp(-t / 1e-3), I(l, 0), 1e-4);
  EXPECT_NEAR(-1.5 * V(l, 0, 1), V(l, 2, 3), 1e-9);
}

TEST_F(IndCircuit, CoupledInitialCurrentsAreHeldExactly) {
  // Three coupled windings, each across its own 1 Ohm: the static solution
  // gives every winding with an IC exactly that current, whatever the
  // couplings; the one without an IC is a short.
  auto* l = static_cast<CElemL*>(AddCmp("L_CUSTOM", {}));
  l->CustomType()->UpdateCustomCmp(6);
  l->UpdateCustom();
  const int nodes[] = {0, 1, 0, 2, 0, 3};
  for (int p = 0; p < 6; ++p) l->SetNode(p, nodes[p]);
  SetParam(*l, MC_L, "K12", "0.9");
  SetParam(*l, MC_L, "K13", "0.5");
  SetParam(*l, MC_L, "K23", "-0.7");
  SetParam(*l, MC_L, "L2", "4e-6");
  SetParam(*l, MC_L, "IC1", "1");
  SetParam(*l, MC_L, "IC2", "-2");
  for (int n = 1; n <= 3; ++n) Resistor(n, 0, 1.0);
  CCalc* calc = Built();
  ASSERT_TRUE(calc->calc_stat());
  EXPECT_NEAR(1.0, I(l, 0), 1e-12);
  EXPECT_NEAR(-2.0, I(l, 1), 1e-12);
  EXPECT_NEAR(0.0, V(l, 4, 5), 1e-12);
  EXPECT_NEAR(-1.0, V(l, 0, 1), 1e-12);  // 1 A drawn out of node 1 through 1 Ohm
}

TEST_F(IndCircuit, InitialCurrentAgainstACurrentSourceIsRemoved) {
  CurrentSource(0, 1, 1.0);
  auto* l = static_cast<CElemL*>(AddCmp("L_L", {0, 1}));
  SetParam(*l, MC_L, "L", "1e-3");
  SetParam(*l, MC_L, "IC", "2");
  CCalc* calc = Built();
  ASSERT_TRUE(calc->calc_stat());
  ASSERT_TRUE(calc->HasUndetermined());
  EXPECT_FALSE(l->CalcFunc(calc, CM_ADJUST, 0.0));
  EXPECT_EQ("L1 : IC removed", calc->ErrorText().str());
  EXPECT_TRUE(std::isnan(l->IL()));

  // A run repairs it by itself and carries the source's current.
  ASSERT_TRUE(StartDoc());
  EXPECT_NEAR(1.0, I(l), 1e-12);
  RunTo(1e-4);
  EXPECT_NEAR(1.0, I(l), 1e-9);
}

TEST_F(IndCircuit, SourceAcrossAShortedInductorAddsAnInitialCurrent) {
  Source(0, 1, [](double) { return 1.0; });
  auto* l = static_cast<CElemL*>(AddCmp("L_L", {0, 1}));
  SetParam(*l, MC_L, "L", "1e-3");
  CCalc* calc = Built();
  ASSERT_TRUE(calc->calc_stat());
  ASSERT_TRUE(calc->HasUndetermined());
  EXPECT_FALSE(l->CalcFunc(calc, CM_ADJUST, 0.0));
  EXPECT_EQ("L1 : IC added", calc->ErrorText().str());
  EXPECT_EQ(0.0, l->IL());

  // 1 V across 1 mH from 0 A: i = 1000 A/s * t.
  ASSERT_TRUE(StartDoc());
  const double t = RunTo(1e-3);
  EXPECT_NEAR(1000.0 * t, I(l), 1e-9);
}

TEST_F(IndCircuit, PwlInductanceChangesWithItsOwnCurrent) {
  // 1 V across L(I) = 2 mH for |I| < 1 A, 1 mH beyond, from 0 A:
  // 0.5 A/ms until 1 A at 2 ms, then 1 A/ms.
  Source(0, 1, [](double) { return 1.0; });
  CCmp* l = AddCmp("L_L", {0, 1});
  l->SetModel(MC_PWL);
  l->PwlText() = "2e-3, 1, 1e-3";
  ASSERT_TRUE(StartDoc());
  double t = RunTo(1e-3);
  EXPECT_NEAR(500.0 * t, I(l), 1e-9);
  t = RunTo(3e-3);
  EXPECT_NEAR(1.0 + 1000.0 * (t - 2e-3), I(l), 1e-3);
  EXPECT_EQ(1, l->State());
}

TEST_F(IndCircuit, ControlledInductanceKeepsItsFluxAcrossAZoneChange) {
  // L = 2 mH while the control voltage (node 2, rising 1 V/ms) is below
  // 1 V, 1 mH above. Holding 1 A in a short (2 mWb), it carries 2 A after.
  Source(0, 2, [](double t) { return 1000.0 * t; });
  auto* l = static_cast<CElemL*>(AddCmp("L_VCL", {0, 1, 0, 2}));
  l->PwlText() = "2e-3, 1, 1e-3";
  SetParam(*l, MC_PWL, "IC", "1");
  CCmp* r = AddCmp("R_R", {1, 0});
  SetParam(*r, MC_R, "R", "0");
  ASSERT_TRUE(StartDoc());
  RunTo(0.9e-3);
  EXPECT_NEAR(1.0, I(l), 1e-9);
  RunTo(1.2e-3);
  EXPECT_NEAR(2.0, I(l), 1e-9);
  EXPECT_NEAR(2.0, l->IL(), 1e-9);
}

TEST_F(IndCircuit, ParameterChecksReportEveryProblem) {
  CCalc* calc = Engine();
  CCmp* pair = AddCmp("L_CL", {1, 0, 2, 0});
  SetParam(*pair, MC_L, "K12", "1");
  EXPECT_TRUE(pair->CheckParams(calc));  // perfect coupling is allowed
  SetParam(*pair, MC_L, "K12", "1.01");
  EXPECT_FALSE(pair->CheckParams(calc));
  EXPECT_EQ("L1 : K > 1\n", calc->ErrorText().str());
  calc->ClearError();
  SetParam(*pair, MC_L, "K12", "-1.5");
  pair->GetParameter("L1")->BoundFormula()->SetError(true);
  pair->GetParameter("L2")->BoundFormula()->SetVal(HUGE_VAL);
  EXPECT_FALSE(pair->CheckParams(calc));
  EXPECT_EQ("L1 : L1 : formula error\nL1 : L2 : infinite\nL1 : K < -1\n",
            calc->ErrorText().str());

  calc->ClearError();
  CCmp* plain = AddCmp("L_L", {1, 0});
  plain->SetModel(MC_L);
  plain->GetParameter("L")->BoundFormula()->SetError(true);
  EXPECT_FALSE(plain->CheckParams(calc));
  EXPECT_EQ("L2 : L : formula error\n", calc->ErrorText().str());

  calc->ClearError();
  auto* custom = static_cast<CElemL*>(AddCmp("L_CUSTOM", {}));
  custom->CustomType()->UpdateCustomCmp(6);
  custom->UpdateCustom();
  SetParam(*custom, MC_L, "K12", "1");
  SetParam(*custom, MC_L, "K13", "-2");
  custom->GetParameter("L2")->BoundFormula()->SetVal(HUGE_VAL);
  custom->GetParameter("K23")->BoundFormula()->SetError(true);
  EXPECT_FALSE(custom->CheckParams(calc));
  EXPECT_EQ("L3 : L2 : infinite\nL3 : K13 < -1\nL3 : K23 : formula error\n",
            calc->ErrorText().str());
}

TEST_F(IndCircuit, ReactiveEntriesAreScaledByOmegaOutsideTransientAnalysis) {
  CCmp* l = AddCmp("L_L", {0, 1});
  SetParam(*l, MC_L, "L", "2e-3");
  Resistor(1, 0, 1.0);
  CCalc* calc = Built();
  const int k = l->FirstExtra();
  ASSERT_TRUE(calc->calc_back(1e-6));
  EXPECT_DOUBLE_EQ(-2e-3, calc->C()[k][k]);
  calc->SetTransient(false);
  calc->SetOmega(1000.0);
  ASSERT_TRUE(calc->calc_back(1e-6));
  EXPECT_DOUBLE_EQ(-2.0, calc->C()[k][k]);
}

TEST(ElemLEditing, VariantsPinGroupsAndTools) {
  auto l = NewOf("L_L");
  EXPECT_EQ("_L_L45 40", Turn(*l, CM_TO45));
  EXPECT_EQ("L_L 35", Turn(*l, CM_FROM45));

  EXPECT_EQ("11", PinGroups(*l));
  EXPECT_EQ("1123", PinGroups(*NewOf("L_VCL")));
  EXPECT_EQ("1122", PinGroups(*NewOf("L_CCL")));
  EXPECT_EQ("1122", PinGroups(*NewOf("L_CL")));
  CCmps cmps;
  auto* custom = static_cast<CElemL*>(cmps.AddCmp("L_CUSTOM"));
  custom->CustomType()->UpdateCustomCmp(6);
  custom->UpdateCustom();
  EXPECT_EQ("112233", PinGroups(*custom));

  // Scaling both inductances of the pair; clearing and zeroing the ICs.
  auto pair = NewOf("L_CL");
  SetParam(*pair, MC_L, "L1", "1e-3");
  SetParam(*pair, MC_L, "L2", "4e-3");
  Tool(*pair, 4, 2, false, 10.0);
  EXPECT_DOUBLE_EQ(1e-5, pair->GetParameter("L1")->BoundFormula()->Value());
  EXPECT_DOUBLE_EQ(4e-5, pair->GetParameter("L2")->BoundFormula()->Value());
  Tool(*pair, 5, 2, false, 10.0, 3.0);
  EXPECT_DOUBLE_EQ(3e-5, pair->GetParameter("L1")->BoundFormula()->Value());
  Tool(*pair, 1, 1, false, 10.0, 3.0);
  EXPECT_EQ(0.0, pair->GetParameter("IC2")->BoundFormula()->Value());
  Tool(*pair, 1, 0, false, 10.0, 3.0);
  EXPECT_TRUE(pair->GetParameter("IC1")->BoundFormula()->IsEmpty());
}
