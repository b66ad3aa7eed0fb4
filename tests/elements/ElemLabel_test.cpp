// Labels: the type record outside the registry, AddLabel, the parameters
// and pin type per model, the document attributes; then the IC model in
// simulated documents, its removal when something else drives the node,
// the trace nodes and the parameter texts.

#include "elements/ElemLabel.h"

#include <cmath>
#include <string>

#include "api/CallFrame.h"
#include "circuit/Cmps.h"
#include "doc/Doc.h"
#include "elements/ElemAttrCheck.h"
#include "engine/Calc.h"
#include "traces/Data.h"
#include "traces/Trace.h"
#include "traces/Traces.h"
#include "traces/Tran.h"
#include "TestData.h"

TEST(ElemLabel, TypeRecordStaysOutsideTheRegistry) {
  EXPECT_EQ(
      "label 5 1 Label|Label(2,0,33) V(16,1,39) Step(5,1,39) Single(3,1,39) Pulse(4,1,39) "
      "Clock(62,1,39) Sin(6,1,39) Sweep(73,1,39) Function(7,1,39) List(9,1,39) File(8,1,39) "
      "Trace(54,1,39) IC(59,1,39) SubCir(10,0,1)",
      TypeRow(&CElemLabel::m_elemtype));
  EXPECT_EQ(nullptr, ElemSet.GetElemType("label"));
}

TEST(ElemLabel, AddLabelNamesAndOrders) {
  CCmps cmps;
  cmps.AddCmp("R_R");
  const int id = cmps.AddLabel("OUT");
  cmps.AddCmp("C_C");
  CCmp* label = cmps.GetCmp(id);
  ASSERT_NE(nullptr, label);
  EXPECT_TRUE(label->IsLabel());
  EXPECT_EQ("OUT", label->Name().str());
  EXPECT_EQ(label, cmps.GetAt(cmps.Count() - 1));  // labels after the elements
  EXPECT_NE(nullptr, label->GetSignal());
}

TEST(ElemLabel, ParamsPinTypesAndDocument) {
  CElemLabel label(&CElemLabel::m_elemtype);
  EXPECT_EQ("", ParamNames(label, MC_LABEL));
  EXPECT_EQ(2, label.GetCmpPinType(0));
  label.SetDLLInput(true);
  EXPECT_EQ(1, label.GetCmpPinType(0));
  EXPECT_EQ(1, label.CreateExtraNodes(nullptr, 4));
  label.SetDLLInput(false);
  EXPECT_EQ(0, label.CreateExtraNodes(nullptr, 4));
  EXPECT_EQ("V R", ParamNames(label, MC_IC));
  EXPECT_EQ("V1 V0 Period Width Slope Rise Fall Delay", ParamNames(label, MC_PULSE));
  EXPECT_EQ(1, label.GetCmpPinType(0));

  SetParam(label, MC_IC, "V", "1.5");
  SetParam(label, MC_IC, "R", "100");
  SetParam(label, MC_LIST, "List", "0,0,1,5");
  CXMLNode stored("Cmp");
  ASSERT_TRUE(label.SerializeCmp(&stored, false, true));
  EXPECT_EQ("label", Attr(stored, "type"));
  EXPECT_EQ("1.5", Attr(stored, "v"));
  EXPECT_EQ("100", Attr(stored, "r"));
  ASSERT_NE(nullptr, stored.GetNode("Signal", 0));
  EXPECT_EQ("0,0,1,5", Attr(*stored.GetNode("Signal", 0), "list"));

  AnsiString text;
  stored.WriteToString(text);
  CXMLNode loaded("Cmp");
  ASSERT_TRUE(loaded.ReadFromText(text, "Cmp"));
  CElemLabel copy(&CElemLabel::m_elemtype);
  ASSERT_TRUE(copy.SerializeCmp(&loaded, false, true));
  EXPECT_EQ(MC_LIST, copy.Model());
  EXPECT_EQ(AllParams(label), AllParams(copy));
}

// --- Simulation -------------------------------------------------------------------

// A document with the label "ref", run through the document's own control.
class ElemLabelIC : public ::testing::Test {
 protected:
  void Open(const char* file) {
    ASSERT_EQ(0, doc.OpenDLL(TestData(std::string("elements/") + file).c_str())) << file;
    ref = static_cast<CElemLabel*>(doc.Cmps()->GetCmp(AnsiString("ref")));
    ASSERT_NE(nullptr, ref);
  }
  void TearDown() override { doc.ClearDLLSim(); }
  double Node() const { return doc.Calc()->X()[ref->Node(0)]; }
  double Tie() const { return doc.Calc()->X()[ref->FirstExtra()]; }  // A, into the node

  CDoc doc;
  CElemLabel* ref = nullptr;
};

// ref: V = 2 V through R = 1 kOhm onto node 1, which R1 = 1 kOhm loads:
// 1 V at t = 0 only; afterwards the node is free and R1 pulls it to 0.
TEST_F(ElemLabelIC, HoldsTheNodeOnlyForTheInitialSolution) {
  Open("src_label_ic.qvs");
  ASSERT_TRUE(doc.StartDLLSim()) << dll_error_text();
  EXPECT_NEAR(1.0, Node(), 1e-12);
  EXPECT_NEAR(1e-3, Tie(), 1e-15);  // (2 V - 1 V) / 1 kOhm
  ASSERT_TRUE(doc.ExecuteDLLSim(5e-4, 2)) << dll_error_text();
  EXPECT_NEAR(0.0, Node(), 1e-12);
  // The V trace reads the node against ground.
  CData* d = doc.Tran()->Traces().GetAt(0)->GetData(0);
  ASSERT_NE(nullptr, d);
  ASSERT_GE(d->GetSize(), 3);
  double t = -1, v = -1;
  d->GetDataAt(0, &t, &v, false);
  EXPECT_EQ(0.0, t);
  EXPECT_NEAR(1.0, v, 1e-12);
  d->GetDataAt(d->GetSize() - 1, &t, &v, false);
  EXPECT_NEAR(5e-4, t, 1e-15);
  EXPECT_NEAR(0.0, v, 1e-12);
}

TEST_F(ElemLabelIC, GivesWayToASourceOnItsNode) {
  Open("src_label_ic_driven.qvs");
  ASSERT_TRUE(doc.StartDLLSim()) << dll_error_text();
  EXPECT_FALSE(ref->ICActive());
  EXPECT_NEAR(5.0, Node(), 1e-12);
}

// A label chosen as an input drives its node with the caller's value,
// whatever its model; the value takes effect from the next step.
TEST_F(ElemLabelIC, InputDrivesTheNode) {
  Open("src_label_ic.qvs");
  const int in = doc.GetDLLInput("ref");
  ASSERT_GE(in, 0) << dll_error_text();
  ASSERT_TRUE(doc.SetDLLInputValue(in, 3.0));
  ASSERT_TRUE(doc.StartDLLSim()) << dll_error_text();
  EXPECT_NEAR(3.0, Node(), 1e-12);
  ASSERT_TRUE(doc.SetDLLInputValue(in, -1.5));
  ASSERT_TRUE(doc.ExecuteDLLSim(3e-4, 2)) << dll_error_text();
  EXPECT_NEAR(-1.5, Node(), 1e-12);
  EXPECT_NEAR(-1.5e-3, Tie(), 1e-15);  // 1.5 mA out of the node into R1's 1 kOhm
}

TEST(ElemLabel, TraceNodesAreGroundAndTheNode) {
  CElemLabel label(&CElemLabel::m_elemtype);
  label.SetNode(0, 7);
  label.SetModel(MC_V);
  label.SetExtra(1, 12);
  int n1 = -1, n2 = -1, extra = -1;
  double k = -1;
  EXPECT_TRUE(label.GetTraceNodes(nullptr, 0, n1, n2, extra, k));
  EXPECT_EQ(0, n1);
  EXPECT_EQ(7, n2);
  EXPECT_EQ(12, extra);
  EXPECT_EQ(0.0, k);
}

TEST(ElemLabel, ParameterTexts) {
  CDoc doc;
  CCalc* calc = doc.CreateCalc();
  CElemLabel label(&CElemLabel::m_elemtype);
  label.SetName("ref");
  label.SetModel(MC_IC);
  label.Value().SetVal(INFINITY);
  label.R().SetError(true);
  EXPECT_FALSE(label.CheckParams(calc));
  EXPECT_EQ("ref : V = infinite\nref : R : formula error\n", calc->ErrorText().str());
  calc->ClearError();
  label.SetModel(MC_PULSE);
  label.GetSignal()->period.SetVal(-1);
  EXPECT_FALSE(label.CheckParams(calc));
  EXPECT_EQ("ref : Period <= 0\n", calc->ErrorText().str());
  label.SetModel(MC_LABEL);
  EXPECT_TRUE(label.CheckParams(calc));
}
