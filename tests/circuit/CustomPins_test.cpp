// Components whose pins the user chooses: the Code and DLL blocks (pins
// from their input and output name lists), the custom function and the bus
// (input count), the custom gate and logical function, the custom blocks.
// A new component gets its pins through CCmps::AddCmp; a document brings
// them back with the node numbers on the pins they were saved from.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "circuit/Cmp.h"
#include "circuit/Cmps.h"
#include "circuit/CustomType.h"
#include "circuit/Param.h"
#include "doc/xml.h"
#include "elements/ElemCode.h"
#include "elements/ElemDll.h"
#include "elements/ElemF.h"
#include "elements/ElemY.h"

namespace {

// The pin names of cmp joined by blanks, as GetPinName gives them.
std::string PinNames(const CCmp& cmp) {
  std::string out;
  for (int i = 0; i < cmp.PinCount(); ++i)
    out += std::string(i == 0 ? "" : " ") + cmp.GetPinName(i).str();
  return out;
}

std::string Nodes(const CCmp& cmp) {
  std::string out;
  for (int i = 0; i < cmp.PinCount(); ++i)
    out += std::string(i == 0 ? "" : " ") + std::to_string(cmp.Node(i));
  return out;
}

// The components of cmps stored as a "Cmps" element, in the writer's text.
std::string Stored(CCmps& cmps) {
  CXMLNode stored("Cmps");
  stored.SetStore(true);
  EXPECT_TRUE(cmps.SerializeCmps(&stored));
  AnsiString text;
  stored.WriteToString(text);
  return text.str();
}

// A "Cmps" element read from text and loaded into into; the loaded tree's
// errors are returned.
std::string LoadText(const std::string& text, CCmps& into) {
  CXMLNode loaded("Cmps");
  EXPECT_TRUE(loaded.ReadFromText(AnsiString(text.c_str()), "test")) << text;
  EXPECT_TRUE(into.SerializeCmps(&loaded));
  return loaded.GetNodeError().str();
}

// cmps stored and loaded into into.
std::string Reload(CCmps& cmps, CCmps& into) { return LoadText(Stored(cmps), into); }

TEST(CustomPinsNew, EachTypeGetsItsDefaultPins) {
  const struct {
    const char* key;
    int pins;
    const char* names;
  } cases[] = {
      {"X_C", 6, "x1 x2 x3 y1 y2 y3"},
      {"X_DLL", 6, "x1 x2 x3 y1 y2 y3"},
      {"F_CUSTOM", 4, "x1 x2 x3 "},  // the output is unnamed
      {"Y_BUS", 5, "b1 b2 b3 b4 "},
      {"Y_CUSTOM", 3, "b1 b2 "},
      {"Y_FUNCTION", 3, "b1 b2 "},
      {"X_CUSTOM", 2, " "},
      {"X_QVS", 2, " "},
  };
  CCmps cmps;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    CCmp* cmp = cmps.AddCmp(c.key);
    ASSERT_NE(nullptr, cmp);
    ASSERT_NE(nullptr, cmp->CustomType());
    EXPECT_EQ(cmp->CustomType()->Type(), cmp->Type());
    EXPECT_EQ(c.pins, cmp->PinCount());
    EXPECT_EQ(c.pins, cmp->Type()->pins);
    EXPECT_EQ(c.names, PinNames(*cmp));
    std::string grounded = "0";
    for (int i = 1; i < c.pins; ++i) grounded += " 0";
    EXPECT_EQ(grounded, Nodes(*cmp));
    EXPECT_FALSE(cmp->IsDisabled());
    // The own record is a copy: the registry's stays without pins.
    EXPECT_EQ(0, cmp->CustomType()->BaseType()->pins);
    EXPECT_STREQ(c.key, cmp->Type()->name);
  }
  // Types with their pins in the registry get no record of their own.
  CCmp* r = cmps.AddCmp("R_R");
  EXPECT_EQ(nullptr, r->CustomType());
  EXPECT_EQ(2, r->PinCount());
}

TEST(CustomPinsNew, BlocksJoinTheirPinsToInnerLabels) {
  CCmps cmps;
  CCmp* x = cmps.AddCmp("X_CUSTOM");
  std::string names;
  for (CParam* p = x->GetParamsList(); p != nullptr && p->Name() != nullptr; ++p)
    names += std::string(names.empty() ? "" : " ") + p->Name();
  EXPECT_EQ("File Pin1 Pin2 Cmd IC", names);
  x->CustomType()->UpdateCustomCmp(3);
  EXPECT_EQ(3, x->PinCount());
  EXPECT_NE(nullptr, x->GetParameter("Pin3"));
}

TEST(CustomPinsLists, CodePinsFollowItsLists) {
  CCmps cmps;
  auto* code = static_cast<CElemCode*>(cmps.AddCmp("X_C"));
  EXPECT_EQ(3, code->InputCount());
  EXPECT_EQ(3, code->OutputCount());
  EXPECT_FALSE(code->IsClocked());
  EXPECT_EQ(2, code->GetCmpPinType(0));
  EXPECT_EQ(2, code->GetCmpPinType(5));

  CCustomElemType* t = code->CustomType();
  t->SetInputs("a, ,c");  // blanks around names are not part of them
  t->SetOutputs("y[2]");
  t->SetClocked(true);
  code->UpdateCustom();
  EXPECT_EQ(5, code->PinCount());
  EXPECT_EQ("a unnamed_in_2 c y[2] clk", PinNames(*code));
  EXPECT_EQ(3, code->InputCount());
  EXPECT_EQ(1, code->OutputCount());
  EXPECT_TRUE(code->IsClocked());

  // Lists may be empty: a block with outputs only.
  t->SetInputs("");
  t->SetOutputs("p,,q");
  t->SetClocked(false);
  code->UpdateCustom();
  EXPECT_EQ("p unnamed_out_2 q", PinNames(*code));
  EXPECT_EQ(0, code->InputCount());
}

TEST(CustomPinsLists, DllVariablesHaveNoPinsAndValuesAreNotNames) {
  CCmps cmps;
  auto* dll = static_cast<CElemDll*>(cmps.AddCmp("X_DLL"));
  CCustomElemType* t = dll->CustomType();
  EXPECT_EQ("", t->Vars().str());
  t->SetInputs("u");
  t->SetOutputs("y1=2.5,y2");
  t->SetVars("k=1,m,n");
  dll->UpdateCustom();
  EXPECT_EQ(3, dll->PinCount());
  EXPECT_EQ("u y1 y2", PinNames(*dll));
  EXPECT_EQ(1, dll->InputCount());
  EXPECT_EQ(2, dll->OutputCount());
  EXPECT_EQ(3, dll->VarCount());
  // The list keeps the initial value for the component.
  EXPECT_EQ("y1=2.5,y2", t->Outputs().str());
}

TEST(CustomPinsCount, GatesBusAndFunctionsTakeTheirInputCount) {
  CCmps cmps;
  auto* gate = static_cast<CElemY*>(cmps.AddCmp("Y_CUSTOM"));
  gate->CustomType()->UpdateCustomCmp(5);
  gate->UpdateCustom();
  EXPECT_EQ(4, gate->InputCount());
  EXPECT_EQ("b1 b2 b3 b4 ", PinNames(*gate));

  auto* func = static_cast<CElemY*>(cmps.AddCmp("Y_FUNCTION"));
  EXPECT_FALSE(func->IsClocked());
  func->CustomType()->SetClocked(true);
  func->UpdateCustom();
  EXPECT_TRUE(func->IsClocked());
  EXPECT_EQ(3, func->PinCount());  // the clock is the last input
  // Plain and inverted (falling-edge) forms.
  EXPECT_FALSE(func->PlusMinusView(1));
  EXPECT_EQ(1, func->View());
  EXPECT_TRUE(func->PlusMinusView(1));  // wraps back to the plain form
  EXPECT_EQ(0, func->View());

  auto* bus = static_cast<CElemF*>(cmps.AddCmp("Y_BUS"));
  EXPECT_EQ(4, bus->InputCount());
  bus->CustomType()->UpdateCustomCmp(9);
  bus->UpdateCustom();
  EXPECT_EQ(8, bus->InputCount());
  EXPECT_EQ("b8", bus->GetPinName(7).str());

  auto* f = static_cast<CElemF*>(cmps.AddCmp("F_CUSTOM"));
  EXPECT_EQ(3, f->InputCount());
  EXPECT_FALSE(f->IsClocked());
  f->CustomType()->SetInputs("u,v");
  f->CustomType()->SetClocked(true);
  f->UpdateCustom();
  EXPECT_EQ("u v  clk", PinNames(*f));
  EXPECT_TRUE(f->IsClocked());
  EXPECT_EQ(2, f->InputCount());

  // The fixed types keep their counts.
  EXPECT_EQ(2, static_cast<CElemF*>(cmps.AddCmp("F_2C"))->InputCount());
  EXPECT_EQ("Q", cmps.AddCmp("Y_JK")->GetPinName(2).str());
  EXPECT_EQ("-Q", cmps.AddCmp("Y_FF")->GetPinName(3).str());
}

TEST(CustomPinsDocument, PinsListsAndNodesRoundTrip) {
  CCmps cmps;
  auto* code = static_cast<CElemCode*>(cmps.AddCmp("X_C"));
  code->CustomType()->SetInputs("in1,in2");
  code->CustomType()->SetOutputs("out");
  code->CustomType()->SetClocked(true);
  code->UpdateCustom();
  for (int i = 0; i < 4; ++i) code->SetNode(i, 10 + i);
  auto* dll = static_cast<CElemDll*>(cmps.AddCmp("X_DLL"));
  dll->CustomType()->SetVars("k=2");
  for (int i = 0; i < 6; ++i) dll->SetNode(i, i == 2 ? -1 : 20 + i);
  CCmp* bus = cmps.AddCmp("Y_BUS");
  bus->CustomType()->UpdateCustomCmp(3);
  bus->UpdateCustom();
  bus->SetNode(0, 7);
  bus->SetNode(2, 8);
  CCmp* gate = cmps.AddCmp("Y_CUSTOM");
  gate->SetNode(2, 4);
  CCmp* f = cmps.AddCmp("F_CUSTOM");
  f->CustomType()->SetInputs("");  // no inputs left: the output alone
  f->UpdateCustom();
  f->SetNode(0, 3);

  CCmps loaded;
  EXPECT_EQ("", Reload(cmps, loaded));
  ASSERT_EQ(cmps.Count(), loaded.Count());
  for (int i = 0; i < cmps.Count(); ++i) {
    const CCmp* a = cmps.GetAt(i);
    const CCmp* b = loaded.GetAt(i);
    SCOPED_TRACE(a->Name().str());
    ASSERT_NE(nullptr, b->CustomType());
    EXPECT_EQ(a->PinCount(), b->PinCount());
    EXPECT_EQ(PinNames(*a), PinNames(*b));
    EXPECT_EQ(Nodes(*a), Nodes(*b));
    EXPECT_EQ(a->CustomType()->Inputs().str(), b->CustomType()->Inputs().str());
    EXPECT_EQ(a->CustomType()->Outputs().str(), b->CustomType()->Outputs().str());
    EXPECT_EQ(a->CustomType()->Vars().str(), b->CustomType()->Vars().str());
    EXPECT_EQ(a->CustomType()->Clocked(), b->CustomType()->Clocked());
  }
  const auto* code2 = static_cast<const CElemCode*>(loaded.GetCmp(AnsiString("X1")));
  ASSERT_NE(nullptr, code2);
  EXPECT_EQ("10 11 12 13", Nodes(*code2));
  EXPECT_TRUE(code2->IsClocked());
  EXPECT_EQ(2, code2->InputCount());
  EXPECT_EQ("20 21 -1 23 24 25", Nodes(*loaded.GetCmp(AnsiString("X2"))));
  EXPECT_EQ("7 0 8", Nodes(*loaded.GetCmp(AnsiString("Y1"))));
  EXPECT_EQ("3", Nodes(*loaded.GetCmp(AnsiString("F1"))));

  // Stored again, the loaded components give the same element.
  EXPECT_EQ(Stored(cmps), Stored(loaded));
}

TEST(CustomPinsDocument, ListsDecideThePinsTheNodesAreReadFor) {
  // A pin count that disagrees with the lists (a file edited by hand):
  // the lists win, and the node numbers land on their pins.
  CCmps cmps;
  EXPECT_EQ("", LoadText("<Cmps><Cmp type=\"X_C\" id=\"1\" name=\"U1\" node0=\"5\" node1=\"6\" "
                         "node2=\"7\" node3=\"9\" model=\"C\">"
                         "<Custom pins=\"2\" inputs=\"a,b\" outputs=\"y,z\" /></Cmp></Cmps>",
                         cmps));
  CCmp* u1 = cmps.GetCmp(AnsiString("U1"));
  ASSERT_NE(nullptr, u1);
  EXPECT_EQ("a b y z", PinNames(*u1));
  EXPECT_EQ("5 6 7 9", Nodes(*u1));
}

TEST(CustomPinsDocument, ElementWithoutCustomChildGetsTheDefaultPins) {
  CCmps cmps;
  EXPECT_EQ("", LoadText("<Cmps><Cmp type=\"X_C\" id=\"1\" name=\"U1\" node0=\"1\" node1=\"2\" "
                         "node5=\"6\" model=\"C\" />"
                         "<Cmp type=\"Y_BUS\" id=\"2\" name=\"B1\" node4=\"3\" model=\"Bus\" />"
                         "<Cmp type=\"R_R\" id=\"3\" name=\"R1\" node0=\"1\" model=\"R\" />"
                         "</Cmps>",
                         cmps));
  CCmp* u1 = cmps.GetCmp(AnsiString("U1"));
  ASSERT_NE(nullptr, u1);
  EXPECT_EQ("x1 x2 x3 y1 y2 y3", PinNames(*u1));
  EXPECT_EQ("1 2 0 0 0 6", Nodes(*u1));
  EXPECT_EQ("0 0 0 0 3", Nodes(*cmps.GetCmp(AnsiString("B1"))));
  EXPECT_EQ(nullptr, cmps.GetCmp(AnsiString("R1"))->CustomType());
}

TEST(CustomPinsDocument, PinFlagsAndForeignContentStay) {
  CCmps cmps;
  const char* text =
      "<Cmps><Cmp type=\"W_CUSTOM\" id=\"1\" name=\"W1\" node0=\"1\" node1=\"2\" node2=\"3\" "
      "node3=\"4\" model=\"Transformer\" n1=\"1\" n2=\"2\">"
      "<Custom pins=\"4\" symbol=\"round\"><Pin /><Pin /><Pin flag=\"1\" /><Pin />"
      "<Body w=\"3\" /></Custom></Cmp></Cmps>";
  EXPECT_EQ("", LoadText(text, cmps));
  CCmp* w = cmps.GetCmp(AnsiString("W1"));
  ASSERT_NE(nullptr, w);
  ASSERT_NE(nullptr, w->CustomType());
  EXPECT_EQ(1, w->CustomType()->PinFlag(2));
  EXPECT_EQ(0, w->CustomType()->PinFlag(0));
  EXPECT_EQ("1 2 3 4", Nodes(*w));
  CCmps again;
  EXPECT_EQ("", Reload(cmps, again));
  CCmp* w2 = again.GetCmp(AnsiString("W1"));
  EXPECT_EQ(1, w2->CustomType()->PinFlag(2));
  const std::string out = Stored(again);
  for (const char* kept : {"symbol=\"round\"", "<Body w=\"3\" />", "<Pin flag=\"1\" />"})
    EXPECT_NE(std::string::npos, out.find(kept)) << kept << "\n" << out;
}

}  // namespace
