// The component collection: naming and ids, ownership, display order,
// node numbers, and the look-ups by name and dotted name.

#include <climits>
#include <initializer_list>
#include <string>

#include "base/globals.h"
#include "circuit/TestElem.h"

namespace {

using CmpsNaming = CircuitTest;

TEST_F(CmpsNaming, ComponentsAreNamedAfterTheirLetterInSequence) {
  EXPECT_EQ("R1", Add()->Name().str());
  EXPECT_EQ("R2", Add()->Name().str());
  EXPECT_EQ("R3", Add("_R_R45")->Name().str());  // the variant names like a resistor
  EXPECT_EQ("C1", Add("C_C")->Name().str());
}

TEST_F(CmpsNaming, DeletedNameIsReusedButItsIdIsNot) {
  Add();
  const int id2 = Add()->Id();
  Add();
  EXPECT_EQ(2, id2);
  cmps_.DeleteCmp(id2);
  EXPECT_EQ(nullptr, cmps_.GetCmp("R2"));
  CTestElem* again = Add();
  EXPECT_EQ("R2", again->Name().str());
  EXPECT_EQ(4, again->Id());
}

TEST_F(CmpsNaming, IdIsOneAboveTheLargest) {
  EXPECT_EQ(1, cmps_.GetNewCmpId());
  AddNamed("R7")->SetId(7);
  EXPECT_EQ(8, cmps_.GetNewCmpId());
  EXPECT_EQ(8, Add()->Id());
  // At the largest id there is, the smallest free one comes next, not an
  // overflow (a document may carry any id).
  AddNamed("R9")->SetId(INT_MAX);
  EXPECT_EQ(1, cmps_.GetNewCmpId());
}

TEST_F(CmpsNaming, NewNameSkipsNamesInAnyCase) {
  AddNamed("r1");
  AddNamed("X1");
  EXPECT_EQ("R2", cmps_.GetNewName('R').str());
  EXPECT_EQ("X2", cmps_.GetNewName(AnsiString("X")).str());
  EXPECT_EQ("Out1", cmps_.GetNewName(AnsiString("Out")).str());
}

TEST_F(CmpsNaming, UnknownTypeAddsNothing) {
  EXPECT_EQ(nullptr, cmps_.AddCmp("r_r"));
  EXPECT_EQ(nullptr, cmps_.AddCmp("Q_NOMEM"));
  EXPECT_TRUE(cmps_.IsEmpty());
}

TEST_F(CmpsNaming, AddedComponentBelongsToTheCollection) {
  CTestElem* r = Add();
  EXPECT_EQ(&cmps_, r->Owner());
  EXPECT_EQ(r, cmps_.GetCmp(r->Id()));
  EXPECT_EQ(nullptr, cmps_.GetCmp(0));
  EXPECT_EQ(nullptr, cmps_.GetCmp(99));
}

TEST_F(CmpsNaming, CollectionDestroysWhatItOwns) {
  const int before = CTestElem::alive;
  {
    CCmps own;
    own.SetElemSet(&set_);
    own.AddCmp("R_R");
    own.AddCmp("C_C");
    const int id = own.AddCmp("R_R")->Id();
    EXPECT_EQ(before + 3, CTestElem::alive);
    own.DeleteCmp(id);
    EXPECT_EQ(before + 2, CTestElem::alive);
    own.DeleteCmp(id);  // none left with that id
    EXPECT_EQ(2, own.Count());
  }
  EXPECT_EQ(before, CTestElem::alive);
  Add();
  Add();
  cmps_.ClearCmps();
  EXPECT_TRUE(cmps_.IsEmpty());
  EXPECT_EQ(before, CTestElem::alive);
}

using CmpsOrder = CircuitTest;

TEST_F(CmpsOrder, NumbersAfterTheLetterCompareAsNumbers) {
  CTestElem* r10 = AddNamed("R10");
  CTestElem* r2 = AddNamed("R2");
  EXPECT_LT(CCmps::Compare(r2, r10), 0);
  EXPECT_GT(CCmps::Compare(r10, r2), 0);
  cmps_.ArrangeCmps();
  EXPECT_EQ("R2 R10", Names());
}

TEST_F(CmpsOrder, FirstCharactersDecideAsBytesBeforeAnythingElse) {
  // 'C' < 'R' < 'c' as bytes, whatever follows; equal first characters
  // without two digits compare ignoring case.
  for (const char* n : {"c2", "Ry", "R10", "Rx", "C1", "R2"}) AddNamed(n);
  cmps_.ArrangeCmps();
  EXPECT_EQ("C1 R2 R10 Rx Ry c2", Names());
  EXPECT_LT(CCmps::Compare(cmps_.GetCmp("Rx"), cmps_.GetCmp("RY")), 0);
}

TEST_F(CmpsOrder, LabelsFollowElementsAndVariablesFollowLabels) {
  AddNamed(m_elemtype_test_var, "gain");
  AddNamed(m_elemtype_test_label, "Out");
  AddNamed(m_elemtype_test_var, "A");
  AddNamed("Z9");
  AddNamed(m_elemtype_test_label, "in");
  AddNamed("A1");
  cmps_.ArrangeCmps();
  EXPECT_EQ("A1 Z9 in Out A gain", Names());
}

TEST_F(CmpsOrder, EqualNamesKeepTheirOrder) {
  // R2 and R02 read the same number: the sort is stable.
  AddNamed("R02");
  AddNamed("R2");
  AddNamed("R1");
  cmps_.ArrangeCmps();
  EXPECT_EQ("R1 R02 R2", Names());
  cmps_.ClearCmps();
  AddNamed("R2");
  AddNamed("R02");
  AddNamed("R1");
  cmps_.ArrangeCmps();
  EXPECT_EQ("R1 R2 R02", Names());
}

TEST_F(CmpsOrder, AddCmpReordersTheCollection) {
  AddNamed("R10");
  AddNamed(m_elemtype_test_label, "L");
  Add("C_C");
  Add();
  EXPECT_EQ("C1 R1 R10 L", Names());
}

// The node numbers of every component, pins joined by blanks, components
// by "|".
class CmpsNodes : public CircuitTest {
 protected:
  std::string AllNodes() {
    std::string s;
    for (int i = 0; i < cmps_.Count(); ++i) {
      CCmp* c = cmps_.GetAt(i);
      s += i ? "|" : "";
      for (int k = 0; k < c->PinCount(); ++k) s += (k ? " " : "") + std::to_string(c->Node(k));
    }
    return s;
  }
  // Sets the nodes of c from pin 0 on.
  static void SetNodes(CCmp* c, std::initializer_list<int> nodes) {
    int k = 0;
    for (int n : nodes) c->SetNode(k++, n);
  }
};

TEST_F(CmpsNodes, OffsetMovesOnlyPositiveNodes) {
  SetNodes(Add(), {1, 2});
  SetNodes(Add(), {0, 3});
  SetNodes(Add(), {-1, 2});
  EXPECT_EQ(13, cmps_.CreateNewNodes(10));
  EXPECT_EQ("11 12|0 13|-1 12", AllNodes());
}

TEST_F(CmpsNodes, OffsetAloneWhenNoNodeIsPositive) {
  EXPECT_EQ(5, cmps_.CreateNewNodes(5));
  SetNodes(Add(), {0, -3});
  EXPECT_EQ(5, cmps_.CreateNewNodes(5));
  EXPECT_EQ("0 -3", AllNodes());
}

TEST_F(CmpsNodes, SavedNodesComeBackAfterRenumbering) {
  SetNodes(Add(), {1, 2});
  SetNodes(Add("R_Pot"), {2, 0, 4});
  Add("X_CUSTOM");  // no pins
  std::unique_ptr<int[]> saved = cmps_.SaveNodes();
  cmps_.ChangeCmpNode(2, 7);
  EXPECT_EQ("1 7|7 0 4|", AllNodes());
  cmps_.CreateNewNodes(100);
  cmps_.RestoreNodes(saved.get());
  EXPECT_EQ("1 2|2 0 4|", AllNodes());
}

using CmpsLookup = CircuitTest;

TEST_F(CmpsLookup, NamesMatchWithoutCase) {
  CTestElem* r = Add();
  EXPECT_EQ(r, cmps_.GetCmp("r1"));
  EXPECT_EQ(r, cmps_.GetCmp("R1"));
  EXPECT_EQ(nullptr, cmps_.GetCmp("R"));
  EXPECT_EQ(nullptr, cmps_.GetCmp(""));
}

TEST_F(CmpsLookup, DottedNameReachesTheParameterOfThatComponent) {
  CTestElem* r1 = Add();
  CTestElem* r2 = Add();
  r1->r_.SetVal(1000.0);
  r2->r_.SetVal(2200.0);
  CParam* p = cmps_.GetCmpParam("R2.R");
  ASSERT_NE(nullptr, p);
  EXPECT_EQ(&r2->r_, p->BoundFormula());
  p = cmps_.GetCmpParam("r1.r");
  ASSERT_NE(nullptr, p);
  EXPECT_EQ(&r1->r_, p->BoundFormula());
  double v = 0;
  ASSERT_TRUE(cmps_.GetCmpParamValue("R2.r", &v));
  EXPECT_EQ(2200.0, v);
  // A component name alone gives its first parameter.
  ASSERT_TRUE(cmps_.GetCmpParamValue("R1", &v));
  EXPECT_EQ(1000.0, v);
  // A formula marked in error reads as 0.
  r1->r_.SetError(true);
  v = 5;
  ASSERT_TRUE(cmps_.GetCmpParamValue("R1.R", &v));
  EXPECT_EQ(0.0, v);
}

TEST_F(CmpsLookup, MissingPartsFindNothing) {
  Add();
  double v = 5;
  EXPECT_EQ(nullptr, cmps_.GetCmpParam(""));
  EXPECT_EQ(nullptr, cmps_.GetCmpParam("R1.X"));
  EXPECT_EQ(nullptr, cmps_.GetCmpParam("R9.R"));
  EXPECT_EQ(nullptr, cmps_.GetCmpParam(".R"));
  EXPECT_FALSE(cmps_.GetCmpParamValue("R9.R", &v));
  EXPECT_FALSE(cmps_.GetCmpParamValue("10k", &v));
  EXPECT_EQ(5.0, v);
}

TEST_F(CmpsLookup, QuotedComponentNameMayHoldDots) {
  CTestElem* ab = AddNamed("a.b");
  ab->active_ = 1;
  AddNamed("a");
  CParam* p = cmps_.GetCmpParam("\"a.b\".Active");
  ASSERT_NE(nullptr, p);
  EXPECT_EQ(&ab->active_, p->BoundInt());
  EXPECT_EQ(ab, cmps_.GetCmpName("\"a.b\""));
  EXPECT_EQ(ab, cmps_.GetCmpName("\"A.B\""));
  // Unquoted, the dot ends the component name: "a" has no component "b".
  EXPECT_EQ(nullptr, cmps_.GetCmpName("a.b"));
  EXPECT_EQ(cmps_.GetCmp("a"), cmps_.GetCmpName("a"));
  EXPECT_EQ(nullptr, cmps_.GetCmpName("\"a.b"));  // unclosed quote
}

TEST_F(CmpsLookup, ComponentVariablesByDottedName) {
  CTestElem* r = Add();
  SVar* count = r->vars_.AddVar("count", NUM_INT, 0);
  ASSERT_NE(nullptr, count);
  EXPECT_EQ(count, cmps_.GetCmpVar("R1.count"));
  EXPECT_EQ(count, cmps_.GetCmpVar("r1.COUNT"));
  EXPECT_EQ(nullptr, cmps_.GetCmpVar("R1.other"));
  EXPECT_EQ(nullptr, cmps_.GetCmpVar("R1"));
  EXPECT_EQ(nullptr, cmps_.GetCmpVar("R2.count"));
}

TEST_F(CmpsLookup, FormulasReadParametersByDottedName) {
  CTestElem* r = Add();
  r->r_.SetVal(1500.0);
  double v = 0;
  ASSERT_TRUE(formula("2*R1.R+1", &v, nullptr, nullptr, &cmps_, false, nullptr, nullptr, false,
                      false, 0, false))
      << m_global_errstr.str();
  EXPECT_EQ(3001.0, v);
}

}  // namespace
