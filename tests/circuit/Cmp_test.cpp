// The component base: type letter, model fallback, parameter look-up,
// full names, pins and disabled state, the models that refer to files, the
// defaults the engine reads (extra unknowns, trace nodes, views) and the
// copying of group parameters.

#include <tuple>
#include <vector>

#include "circuit/TestElem.h"

namespace {

using CmpTest = CircuitTest;

TEST_F(CmpTest, LetterSkipsTheVariantUnderscore) {
  EXPECT_EQ('R', Add("R_R")->GetLetter());
  EXPECT_EQ('R', Add("_R_R45")->GetLetter());
  EXPECT_EQ('C', Add("C_C")->GetLetter());
}

TEST_F(CmpTest, UnknownModelCodeFallsBackToTheFirstModel) {
  CTestElem* r = Add();
  r->SetModel(MC_PWL);
  EXPECT_STREQ("PWL", r->GetModel()->name);
  r->SetModel(999);
  EXPECT_STREQ("R", r->GetModel()->name);
  EXPECT_EQ(999, r->Model());  // the code itself stays
}

TEST_F(CmpTest, EmptyParameterNameGivesTheListOnlyWhenItHasEntries) {
  CTestElem* r = Add();
  CParam* list = r->GetParameter("");
  ASSERT_NE(nullptr, list);
  EXPECT_STREQ("R", list->Name());
  r->SetModel(MC_FILE);  // a descriptor array with only its terminator
  EXPECT_EQ(nullptr, r->GetParameter(""));
  r->SetModel(MC_SUBCIR);  // the subcircuit's list, not the class's
  ASSERT_NE(nullptr, r->GetParameter(""));
  EXPECT_STREQ("File", r->GetParameter("")->Name());
  EXPECT_NE(nullptr, r->GetParameter("cmd"));
  EXPECT_EQ(nullptr, r->GetParameter("R"));
}

TEST_F(CmpTest, ParameterNamesMatchWithoutCase) {
  CTestElem* r = Add();
  CParam* p = r->GetParameter("active");
  ASSERT_NE(nullptr, p);
  EXPECT_STREQ("Active", p->Name());
  EXPECT_EQ(&r->active_, p->BoundInt());
  EXPECT_EQ(nullptr, r->GetParameter("Activ"));
  r->SetModel(MC_PWL);
  EXPECT_EQ(nullptr, r->GetParameter("Active"));  // only the present model's
  ASSERT_NE(nullptr, r->GetParameter("PWL"));
}

TEST_F(CmpTest, BusyComponentHidesItsParameters) {
  CTestElem* r = Add();
  r->SetCreating(true);
  EXPECT_EQ(nullptr, r->GetParamsList());
  r->SetCreating(false);
  r->SetChanging(true);
  EXPECT_EQ(nullptr, r->GetParameter("R"));
  r->SetChanging(false);
  EXPECT_NE(nullptr, r->GetParameter("R"));
}

TEST_F(CmpTest, FullNameCarriesTheParentPath) {
  CTestElem* r = Add();
  EXPECT_EQ("R1", r->GetFullName().str());
  r->SetParentPath("X1.X2");
  EXPECT_EQ("X1.X2.R1", r->GetFullName().str());
}

TEST_F(CmpTest, DisabledOnlyWhenEveryPinIsUnconnected) {
  CTestElem* r = Add();
  EXPECT_FALSE(r->IsDisabled());
  r->SetNode(0, -1);
  EXPECT_FALSE(r->IsDisabled());
  r->SetNode(1, -2);
  EXPECT_TRUE(r->IsDisabled());
  r->SetNode(1, 0);  // ground is connected
  EXPECT_FALSE(r->IsDisabled());

  CTestElem* x = Add("X_CUSTOM");
  EXPECT_EQ(0, x->PinCount());
  EXPECT_FALSE(x->IsDisabled());  // no pins: never disabled
  x->CreateCmpNodes(-1);
  EXPECT_TRUE(x->IsDisabled());
}

TEST_F(CmpTest, CreateCmpNodesKeepsNodesForTheSameCountOnly) {
  CTestElem* r = Add();
  r->SetNode(0, 4);
  r->Nodes()[2] = 9;  // an engine group code
  r->CreateCmpNodes(2);
  EXPECT_EQ(4, r->Node(0));
  EXPECT_EQ(9, r->Nodes()[2]);
  r->CreateCmpNodes(3);
  ASSERT_EQ(3, r->PinCount());
  for (int i = 0; i < 6; ++i) EXPECT_EQ(0, r->Nodes()[i]) << i;
  r->CreateCmpNodes(0);
  EXPECT_EQ(0, r->PinCount());
  EXPECT_EQ(nullptr, r->Nodes());
}

TEST_F(CmpTest, OnlyFileModelsCanAttach) {
  CTestElem* r = Add();
  for (int code : {MC_FILE, MC_SUBCIR, MC_DLL, MC_CODE_FILE}) {
    r->SetModel(code);
    EXPECT_TRUE(r->CanAttach()) << code;
  }
  for (int code : {MC_R, MC_PWL, MC_CODE, MC_LIST}) {
    r->SetModel(code);
    EXPECT_FALSE(r->CanAttach()) << code;
  }
}

TEST_F(CmpTest, DefaultExtraNodesComeFromTheModel) {
  CTestElem* r = Add();
  r->SetModel(MC_PWL);
  EXPECT_EQ(1, r->CreateExtraNodes(nullptr, 7));
  EXPECT_EQ(1, r->ExtraCount());
  EXPECT_EQ(7, r->FirstExtra());
  EXPECT_EQ(8, r->GetExtraNode(1));
  r->SetModel(MC_R);
  EXPECT_EQ(0, r->CreateExtraNodes(nullptr, 7));
  EXPECT_EQ(0, r->FirstExtra());  // no unknown, no first one
}

TEST_F(CmpTest, DefaultTraceNodesArePinsZeroAndOne) {
  CTestElem* r = Add();
  r->SetNode(0, 3);
  r->SetNode(1, 5);
  r->SetModel(MC_PWL);
  r->CreateExtraNodes(nullptr, 11);
  int n1 = -1, n2 = -1, extra = -1;
  double k = -1;
  EXPECT_TRUE(r->GetTraceNodes(nullptr, 0, n1, n2, extra, k));
  EXPECT_EQ((std::vector<int>{3, 5, 11}), (std::vector<int>{n1, n2, extra}));
  EXPECT_EQ(0.0, k);
}

TEST_F(CmpTest, PlusMinusViewWrapsAtBothEnds) {
  CTestElem* r = Add();  // three views; (step, wrapped, view after)
  for (const auto& [step, wrapped, view] :
       {std::tuple{1, false, 1}, {1, false, 2}, {1, true, 0}, {-1, true, 2}}) {
    EXPECT_EQ(wrapped, r->PlusMinusView(step)) << "to view " << view;
    EXPECT_EQ(view, r->View());
  }

  CTestElem* p = Add("R_Pot");  // no views
  EXPECT_FALSE(p->PlusMinusView(1));
  EXPECT_EQ(0, p->View());
}

TEST_F(CmpTest, GroupCopyTakesParametersAndFormulaTextButNotIdentity) {
  CTestElem* a = Add();
  CTestElem* b = Add();
  a->r_.SetText("=2*3");
  a->r_.SetValue(6.0);
  a->active_ = 1;
  a->level_ = 1;
  ASSERT_TRUE(b->CopyGroupParams(a, false));
  EXPECT_EQ("=2*3", b->r_.Text().str());
  EXPECT_EQ(6.0, b->r_.Value());
  EXPECT_EQ(1, b->active_);
  EXPECT_EQ(0, b->level_);  // initial conditions only when asked for
  EXPECT_EQ("R2", b->Name().str());
  EXPECT_EQ(2, b->Id());
  ASSERT_TRUE(b->CopyGroupParams(a, true));
  EXPECT_EQ(1, b->level_);
}

}  // namespace
