// Meters: registry rows (extra unknowns and trace flags as the meters
// need them), pin types, and the common part as their whole document;
// then what they measure in a simulated circuit.

#include "elements/ElemA.h"

#include <cmath>
#include <string>

#include "TestData.h"
#include "api/CallFrame.h"
#include "elements/ElemAttrCheck.h"
#include "engine/EngineTestElem.h"

TEST(ElemA, RegistryRows) {
  EXPECT_EQ("V_VM 73 2 Voltmeter|Voltmeter(16,0,1)", RegistryRow("V_VM"));
  EXPECT_EQ("A_A 6 2 Amperemeter|Amperemeter(19,1,7)", RegistryRow("A_A"));
  EXPECT_EQ("W_WM 78 3 Wattmeter|Wattmeter(46,1,7)", RegistryRow("W_WM"));
}

TEST(ElemA, PinTypesAndDocument) {
  EXPECT_EQ(2, NewOf("V_VM")->GetCmpPinType(1));
  EXPECT_EQ(1, NewOf("A_A")->GetCmpPinType(0));
  EXPECT_EQ(1, NewOf("W_WM")->GetCmpPinType(2));
  auto w = NewOf("W_WM");
  EXPECT_EQ(nullptr, w->GetParameter(""));
  w->SetName("PW");
  w->SetNode(2, 7);
  CXMLNode stored("Cmp");
  auto copy = RoundTrip(*w, false, &stored);
  EXPECT_EQ("PW", copy->Name().str());
  EXPECT_EQ(7, copy->Node(2));
  EXPECT_EQ("Wattmeter", Attr(stored, "model"));
  EXPECT_EQ(nullptr, copy->GetSignal());
}

// --- Simulation -----------------------------------------------------------------------
// lc_meters.qvs: the wattmeter W1 senses the 10 Ohm load R1 (node 3 to
// ground) and carries its current from node 1; the amperemeter A1 sits
// between node 2 and the 1 kOhm R2 (node 4 to ground), across which the
// voltmeter VM1 reads. Test sources give 10 V on node 1 and 5 V on node 2.

namespace {

class MeterCircuit : public EngineFixture {
 protected:
  void SetUp() override {
    ASSERT_EQ(0, doc.OpenDLL(TestData("elements/lc_meters.qvs").c_str())) << dll_error_text();
    Source(0, 1, [](double) { return 10.0; });
    Source(0, 2, [](double) { return 5.0; });
  }
  // What the voltage, current and power traces read for cmp.
  struct STraced {
    double v, i, p;
  };
  STraced Traced(CCmp* cmp) {
    int n1 = -1, n2 = -1, extra = 0;
    double k = 0.0;
    EXPECT_TRUE(cmp->GetTraceNodes(doc.Calc(), 0, n1, n2, extra, k));
    const double v = X(n2) - X(n1);
    const double i = extra > 0 ? X(extra) : 0.0;
    return {v, i, v * i};
  }
};

}  // namespace

TEST_F(MeterCircuit, AmperemeterCarriesTheSeriesCurrentAndTiesItsPins) {
  CCmp* a = Cmp("A1");
  ASSERT_NE(nullptr, a);
  ASSERT_TRUE(StartDoc());
  ASSERT_TRUE(doc.ExecuteDLLSim(1e-4, 2)) << dll_error_text();
  // 5 V across 1 kOhm: 5 mA, and no voltage across the meter at all.
  EXPECT_NEAR(5e-3, std::fabs(Traced(a).i), 1e-12);
  EXPECT_EQ(X(a->Node(0)), X(a->Node(1)));
  EXPECT_NEAR(5.0, Traced(a).v, 1e-12);  // pin 1 against ground
}

TEST_F(MeterCircuit, WattmeterMeasuresThePowerOfItsLoad) {
  CCmp* w = Cmp("W1");
  ASSERT_NE(nullptr, w);
  ASSERT_TRUE(StartDoc());
  ASSERT_TRUE(doc.ExecuteDLLSim(1e-4, 2)) << dll_error_text();
  // 10 V across 10 Ohm: 1 A through the current path, 10 W.
  const STraced t = Traced(w);
  EXPECT_NEAR(10.0, t.v, 1e-12);
  EXPECT_NEAR(1.0, std::fabs(t.i), 1e-12);
  EXPECT_NEAR(10.0, std::fabs(t.p), 1e-9);
  EXPECT_EQ(X(w->Node(2)), X(w->Node(1)));  // the current path drops nothing
}

TEST_F(MeterCircuit, VoltmeterNeitherLoadsNorAddsUnknowns) {
  CCmp* vm = Cmp("VM1");
  ASSERT_NE(nullptr, vm);
  ASSERT_TRUE(StartDoc());
  EXPECT_NEAR(5.0, Traced(vm).v, 1e-12);
  const int size = doc.Calc()->Size();
  const double current = Traced(Cmp("A1")).i;
  doc.ClearDLLSim();

  doc.Cmps()->DeleteCmp(vm->Id());
  ASSERT_TRUE(StartDoc());
  EXPECT_EQ(size, doc.Calc()->Size());
  EXPECT_EQ(current, Traced(Cmp("A1")).i);
}

TEST(ElemA, PinGroupsInFloatingNodeMode) {
  EXPECT_EQ("11", PinGroups(*NewOf("V_VM")));
  EXPECT_EQ("11", PinGroups(*NewOf("A_A")));
  EXPECT_EQ("110", PinGroups(*NewOf("W_WM")));
}
