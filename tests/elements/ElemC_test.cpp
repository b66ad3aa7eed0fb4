// Capacitors: registry rows, parameters, pin types and the document
// attributes, with the initial condition only when asked for; then their
// behaviour in simulated circuits against closed forms, the repair of
// initial conditions, PWL zones and the editing commands.

#include "elements/ElemC.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "TestData.h"
#include "api/CallFrame.h"
#include "base/globals.h"
#include "circuit/CirTools.h"
#include "elements/ElemAttrCheck.h"
#include "engine/EngineTestElem.h"
#include "expr/globals.h"

TEST(ElemCRegistry, TypesAndModels) {
  const char* rows[][2] = {
      {"C_C", "C_C 7 2 Capacitor|C(13,1,7) PWL(11,1,7) SubCir(10,0,1)"},
      {"C_VCC", "C_VCC 8 4 Voltage controlled\\ncapacitor|PWL(11,1,7)"},
      {"C_CCC", "C_CCC 9 4 Current controlled\\ncapacitor|PWL(11,2,7)"},
      {"_C_C45", "_C_C45 10 2 Capacitor|C(13,1,7) PWL(11,1,7) SubCir(10,0,1)"},
  };
  for (auto& r : rows) EXPECT_EQ(r[1], RegistryRow(r[0]));
}

TEST(ElemCParams, NamesDefaultsAndPins) {
  auto c = NewOf("C_C");
  EXPECT_EQ("C IC", ParamNames(*c, MC_C));
  EXPECT_EQ("pwl IC", ParamNames(*c, MC_PWL));
  c->SetModel(MC_C);
  EXPECT_STREQ("F", c->GetParameter("C")->Unit());
  EXPECT_STREQ("V", c->GetParameter("IC")->Unit());
  EXPECT_EQ("1", c->GetParameter("C")->GetText().str());
  EXPECT_TRUE(c->GetParameter("IC")->BoundFormula()->IsEmpty());
  EXPECT_EQ(5, c->GetCmpPinType(0));
  EXPECT_EQ(5, c->GetCmpPinType(1));
  EXPECT_EQ(2, NewOf("C_VCC")->GetCmpPinType(3));
  EXPECT_EQ(1, NewOf("C_CCC")->GetCmpPinType(2));
}

TEST(ElemCDocument, ValueAlwaysInitialConditionWithFlag) {
  auto c = NewOf("C_C");
  SetParam(*c, MC_C, "C", "4.7e-9");
  SetParam(*c, MC_C, "IC", "2.5");
  CXMLNode with("Cmp");
  auto copy = RoundTrip(*c, true, &with);
  EXPECT_EQ("4.7e-9", Attr(with, "c"));
  EXPECT_EQ("2.5", Attr(with, "ic"));
  EXPECT_EQ(AllParams(*c), AllParams(*copy));

  CXMLNode without("Cmp");
  auto bare = RoundTrip(*c, false, &without);
  EXPECT_EQ("<absent>", Attr(without, "ic"));
  bare->SetModel(MC_C);
  EXPECT_TRUE(bare->GetParameter("IC")->BoundFormula()->IsEmpty());

  // The controlled types have no "c" but keep their IC.
  auto vcc = NewOf("C_VCC");
  SetParam(*vcc, MC_PWL, "IC", "-1");
  CXMLNode v("Cmp");
  auto vcopy = RoundTrip(*vcc, true, &v);
  EXPECT_EQ("<absent>", Attr(v, "c"));
  EXPECT_EQ(AllParams(*vcc), AllParams(*vcopy));
}

// --- Simulation -----------------------------------------------------------------------
// Circuits of real capacitors and resistors, from documents or added here,
// driven by the engine's test elements as sources. Signs: a capacitor's v
// is X[pin 1] - X[pin 0] and its current, entering at pin 1, is C dv/dt.

namespace {

class CapCircuit : public EngineFixture {
 protected:
  // Circuits built here step by 1 us; a document brings its own step.
  void SetUp() override { doc.TranSettings().step = 1e-6; }
  CElemC* Cap(const char* name) {
    return dynamic_cast<CElemC*>(doc.Cmps()->GetCmp(AnsiString(name)));
  }
  double V(const CCmp* c) const { return X(c->Node(1)) - X(c->Node(0)); }
  double I(const CCmp* c) const { return X(c->FirstExtra()); }
};

}  // namespace

TEST_F(CapCircuit, RcChargeAtOneTimeConstant) {
  // 10 V through 1 kOhm into 1 uF from 0 V, step 1 us:
  // v = 10 (1 - e^(-t / 1 ms)), i = C dv/dt = 10 mA e^(-t / 1 ms).
  LoadDoc("elements/lc_rc_charge.qvs");
  Source(0, 1, [](double) { return 10.0; });
  CElemC* c = Cap("C1");
  ASSERT_NE(nullptr, c);
  ASSERT_TRUE(StartDoc());
  EXPECT_NEAR(0.0, V(c), 1e-12);
  const double t = RunTo(1e-3);
  ASSERT_NEAR(1e-3, t, 1e-6);
  const double v = 10.0 * (1.0 - std::exp(-t / 1e-3));
  EXPECT_NEAR(v, V(c), 1e-4 * v);
  const double i = 0.01 * std::exp(-t / 1e-3);
  EXPECT_NEAR(i, I(c), 1e-4 * i);
}

TEST_F(CapCircuit, DischargeAndItsSavedState) {
  // 5 V on 1 uF into 1 kOhm: v = 5 e^(-t / 1 ms), discharging (i < 0).
  LoadDoc("elements/lc_rc_discharge.qvs");
  CElemC* c = Cap("C1");
  ASSERT_NE(nullptr, c);
  ASSERT_TRUE(StartDoc());
  EXPECT_NEAR(5.0, V(c), 1e-12);
  const double t = RunTo(1e-3);
  const double v = 5.0 * std::exp(-t / 1e-3);
  EXPECT_NEAR(v, V(c), 1e-4 * v);
  EXPECT_NEAR(-v / 1000.0, I(c), 1e-4 * v / 1000.0);

  // Saving the state makes the present voltage the IC, bit for bit.
  const double now = V(c);
  doc.SaveDLLIC();
  EXPECT_EQ(AnsiString("v=") + double_to_hex(now), c->GetState());
  EXPECT_EQ(now, c->IC().Value());
  EXPECT_EQ("IC", c->SaveIC(false).str());
  const AnsiString saved = c->SaveIC(true);
  EXPECT_NEAR(now, get_csv_double(saved, "IC", 0.0), 1e-11 * now);
  // A new run starts where the old one was.
  doc.ClearDLLSim();
  ASSERT_TRUE(StartDoc());
  EXPECT_NEAR(now, V(c), 1e-12);
}

TEST_F(CapCircuit, InitialVoltageAgainstASourceIsRemoved) {
  Source(0, 1, [](double) { return 5.0; });
  CCmp* cmp = AddCmp("C_C", {0, 1});
  SetParam(*cmp, MC_C, "IC", "2");
  auto* c = static_cast<CElemC*>(cmp);
  CCalc* calc = Built();
  ASSERT_TRUE(calc->calc_stat());
  ASSERT_TRUE(calc->HasUndetermined());
  EXPECT_FALSE(c->CalcFunc(calc, CM_ADJUST, 0.0));
  EXPECT_EQ("C1 : IC removed", calc->ErrorText().str());
  EXPECT_TRUE(std::isnan(c->VC()));
  calc->ClearError();
  ASSERT_TRUE(calc->calc_stat());
  EXPECT_FALSE(calc->HasUndetermined());
  EXPECT_NEAR(5.0, V(c), 1e-12);
  EXPECT_TRUE(c->CalcFunc(calc, CM_ADJUST, 0.0));  // nothing left to repair

  // A run repairs it by itself and follows the source.
  ASSERT_TRUE(StartDoc());
  EXPECT_NEAR(5.0, V(c), 1e-12);
  RunTo(1e-4);
  EXPECT_NEAR(5.0, V(c), 1e-9);
}

TEST_F(CapCircuit, CurrentIntoAnOpenCapacitorAddsAnInitialVoltage) {
  CurrentSource(0, 1, 1e-3);
  auto* c = static_cast<CElemC*>(AddCmp("C_C", {0, 1}));
  SetParam(*c, MC_C, "C", "1e-6");
  CCalc* calc = Built();
  ASSERT_TRUE(calc->calc_stat());
  ASSERT_TRUE(calc->HasUndetermined());
  EXPECT_FALSE(c->CalcFunc(calc, CM_ADJUST, 0.0));
  EXPECT_EQ("C1 : IC added", calc->ErrorText().str());
  EXPECT_EQ(0.0, c->VC());

  // 1 mA into 1 uF from 0 V: v = 1000 V/s * t, i = 1 mA.
  ASSERT_TRUE(StartDoc());
  EXPECT_NEAR(0.0, V(c), 1e-12);
  const double t = RunTo(1e-3);
  EXPECT_NEAR(1000.0 * t, V(c), 1e-9);
  EXPECT_NEAR(1e-3, I(c), 1e-12);
}

TEST_F(CapCircuit, PwlCapacitanceChangesWithItsOwnVoltageWithoutAJump) {
  // 1 mA into C(V) = 2 uF for |V| < 1 V, 1 uF beyond: 0.5 V/ms until
  // 1 V at 2 ms, then 1 V/ms from there (the charge curve is continuous).
  CurrentSource(0, 1, 1e-3);
  CCmp* c = AddCmp("C_C", {0, 1});
  c->SetModel(MC_PWL);
  c->PwlText() = "2e-6, 1, 1e-6";
  ASSERT_TRUE(StartDoc());
  double t = RunTo(1e-3);
  EXPECT_NEAR(500.0 * t, V(c), 1e-9);
  EXPECT_EQ(0, c->State());
  t = RunTo(3e-3);
  EXPECT_NEAR(1.0 + 1000.0 * (t - 2e-3), V(c), 1e-3);
  EXPECT_EQ(1, c->State());
}

TEST_F(CapCircuit, ControlledCapacitanceKeepsItsChargeAcrossAZoneChange) {
  // C = 2 uF while the control voltage (node 2, rising 1 V/ms) is below
  // 1 V, 1 uF above. Charged to 0.5 V and unloaded, the capacitor holds
  // 1 uC: 0.5 V before 1 ms, 1 V after.
  Source(0, 2, [](double t) { return 1000.0 * t; });
  auto* c = static_cast<CElemC*>(AddCmp("C_VCC", {0, 1, 0, 2}));
  c->PwlText() = "2e-6, 1, 1e-6";
  SetParam(*c, MC_PWL, "IC", "0.5");
  ASSERT_TRUE(StartDoc());
  RunTo(0.9e-3);
  EXPECT_NEAR(0.5, V(c), 1e-9);
  RunTo(1.2e-3);
  EXPECT_NEAR(1.0, V(c), 1e-9);
  EXPECT_NEAR(1.0, c->VC(), 1e-9);
}

TEST_F(CapCircuit, InfiniteCapacitanceHoldsItsVoltageUnderLoad) {
  CCmp* cmp = AddCmp("C_C", {0, 1});
  SetParam(*cmp, MC_C, "IC", "3");
  auto* c = static_cast<CElemC*>(cmp);
  c->C().SetVal(std::numeric_limits<double>::infinity());
  Resistor(1, 0, 10.0);
  ASSERT_TRUE(StartDoc());
  RunTo(1e-3);
  EXPECT_NEAR(3.0, V(c), 1e-12);
  EXPECT_NEAR(-0.3, I(c), 1e-12);  // 300 mA leave through pin 1 into the load
}

TEST_F(CapCircuit, FormulaErrorBlocksTheStart) {
  auto* c = static_cast<CElemC*>(AddCmp("C_C", {0, 1}));
  Resistor(1, 0, 1.0);
  c->C().SetError(true);
  CCalc* calc = Engine();
  EXPECT_FALSE(calc->InitCmps(doc.Cmps()));
  EXPECT_NE(std::string::npos, calc->ErrorText().str().find("C1 : C : formula error"));
  // The PWL model does not use C.
  c->SetModel(MC_PWL);
  calc->ClearError();
  EXPECT_TRUE(c->CheckParams(calc));
  EXPECT_EQ("", calc->ErrorText().str());
}

TEST_F(CapCircuit, ReactiveEntriesAreScaledByOmegaOutsideTransientAnalysis) {
  CCmp* c = AddCmp("C_C", {0, 1});
  SetParam(*c, MC_C, "C", "2e-6");
  Resistor(1, 0, 1.0);
  CCalc* calc = Built();
  const int k = c->FirstExtra(), b = c->Node(1);
  ASSERT_TRUE(calc->calc_back(1e-6));
  EXPECT_DOUBLE_EQ(-2e-6, calc->C()[k][b]);
  calc->SetTransient(false);
  calc->SetOmega(1000.0);
  ASSERT_TRUE(calc->calc_back(1e-6));
  EXPECT_DOUBLE_EQ(-2e-3, calc->C()[k][b]);
}

TEST(ElemCEditing, VariantsPinGroupsAndTools) {
  auto c = NewOf("C_C");
  EXPECT_EQ("_C_C45 10", Turn(*c, CM_TO45));
  EXPECT_EQ("C_C 7", Turn(*c, CM_FROM45));

  // Floating-node groups: the terminals share one; C_VCC's control pins
  // are apart, C_CCC's joined by its sense short.
  EXPECT_EQ("11", PinGroups(*c));
  EXPECT_EQ("1123", PinGroups(*NewOf("C_VCC")));
  EXPECT_EQ("1122", PinGroups(*NewOf("C_CCC")));

  auto* cap = static_cast<CElemC*>(c.get());
  SetParam(*c, MC_C, "C", "1e-6");
  Tool(*c, 4, 1, false, 10.0);
  EXPECT_DOUBLE_EQ(1e-7, cap->C().Value());
  Tool(*c, 4, 3, false, 10.0);
  EXPECT_DOUBLE_EQ(1e-9, cap->C().Value());
  Tool(*c, 5, 3, false, 10.0, 4.0);
  EXPECT_DOUBLE_EQ(2.5e-10, cap->C().Value());
  Tool(*c, 1, 1, false, 10.0, 4.0);
  EXPECT_EQ(0.0, cap->IC().Value());
  Tool(*c, 1, 0, false, 10.0, 4.0);
  EXPECT_TRUE(cap->IC().IsEmpty());
}
