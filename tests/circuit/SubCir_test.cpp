// The document side of subcircuits and custom-pin types: the descriptor
// list of model "SubCir", the "SubCir" child, and a component's own type
// record with its "Custom" child.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "TestElem.h"
#include "circuit/CustomType.h"
#include "circuit/SubCir.h"

namespace {

// "name(kind) ..." of a descriptor list.
std::string Describe(const CParam* list) {
  std::string s;
  for (const CParam* p = list; p != nullptr && p->Name() != nullptr; ++p)
    s += (s.empty() ? "" : " ") + std::string(p->Name()) + "(" + std::to_string(p->Kind()) + ")";
  return s;
}

// The node's compact text read back, so that it loads like a file.
std::unique_ptr<CXMLNode> Reread(const CXMLNode& node) {
  AnsiString text;
  node.WriteToString(text);
  auto copy = std::make_unique<CXMLNode>(node.GetName());
  EXPECT_TRUE(copy->ReadFromText(text, "test")) << text.str();
  return copy;
}

using SubCirTest = CircuitTest;

TEST_F(SubCirTest, DescriptorListFollowsThePins) {
  CTestElem* r = Add("R_R");
  CSubCir* sub = CSubCir::Of(r);
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(CSubCir::Of(r), sub);  // made once
  EXPECT_EQ(Describe(sub->GetParamsList()), "File(9) Pin1(1) Pin2(1) Cmd(3) IC(3)");

  // The descriptors read and write the subcircuit's own fields.
  bool ok = true;
  CParam* list = sub->GetParamsList();
  const char* texts[] = {"amp.qvs", "IN", "OUT", "R1.R=2k", "C1.V=1"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(list[i].SetText(texts[i], nullptr, ok, nullptr).str(), "");
  EXPECT_TRUE(ok);
  EXPECT_EQ(sub->FileName().str(), "amp.qvs");
  EXPECT_EQ(sub->PinLabel(1).str(), "OUT");
  EXPECT_EQ(sub->Cmd().str(), "R1.R=2k");
  EXPECT_EQ(sub->IC().str(), "C1.V=1");

  // A new pin count rebuilds the list; labels of the pins that stay remain.
  r->CreateCmpNodes(3);
  EXPECT_EQ(Describe(sub->GetParamsList()), "File(9) Pin1(1) Pin2(1) Pin3(1) Cmd(3) IC(3)");
  EXPECT_EQ(sub->PinLabel(1).str(), "OUT");
  EXPECT_EQ(sub->PinLabel(2).str(), "");
  r->CreateCmpNodes(1);
  EXPECT_EQ(sub->PinLabel(0).str(), "IN");
  EXPECT_EQ(sub->PinLabel(1).str(), "");  // outside the pins
  sub->SetNoPinNames(true);
  EXPECT_EQ(Describe(sub->GetParamsList()), "File(9) Cmd(3) IC(3)");

  // Clearing the component drops loaded content, not the parameters.
  r->ClearCmp();
  EXPECT_EQ(r->SubCir(), sub);
  EXPECT_EQ(sub->FileName().str(), "amp.qvs");
  EXPECT_EQ(sub->Cmps(), nullptr);
}

TEST_F(SubCirTest, SubCirChildRoundTrips) {
  CTestElem* r = Add("R_Pot");  // three pins
  CSubCir* sub = CSubCir::Of(r);
  sub->SetFileName("my amp.qvs");
  for (int i = 0; i < 3; ++i) sub->SetPinLabel(i, std::string("L ") + char('a' + i));
  sub->SetCmd("R1.R=2k,C1.C=1u");
  sub->SetIC("C1.v=1");
  CXMLNode node("Cmp");
  ASSERT_TRUE(sub->SerializeSubCir(&node));
  CXMLNode* child = node.GetNode("SubCir", 0);
  ASSERT_NE(child, nullptr);
  const struct {
    const char* name;
    const char* value;
  } rows[] = {{"file", "my+amp.qvs"}, {"label1", "L+a"}, {"label2", "L+b"}, {"label3", "L+c"},
              {"cmd", "R1.R%3d2k%2cC1.C%3d1u"}, {"ic", "C1.v%3d1"}};
  ASSERT_EQ(child->AttributeCount(), 6);
  for (int i = 0; i < 6; ++i) {
    AnsiString name, value;
    child->GetAttribute(i, &name, &value);
    EXPECT_EQ(name.str(), rows[i].name);  // in this order
    EXPECT_EQ(value.str(), rows[i].value) << rows[i].name;
  }

  auto loaded = Reread(node);
  CTestElem* fresh = Add("R_Pot");
  CSubCir* in = CSubCir::Of(fresh);
  ASSERT_TRUE(in->SerializeSubCir(loaded.get()));
  EXPECT_EQ(in->FileName().str(), "my amp.qvs");
  EXPECT_EQ(in->PinLabel(2).str(), "L c");
  EXPECT_EQ(in->Cmd().str(), "R1.R=2k,C1.C=1u");
  EXPECT_EQ(in->IC().str(), "C1.v=1");

  // An element without the child leaves the values alone.
  CXMLNode bare("Cmp");
  bare.SetStore(false);
  EXPECT_TRUE(in->SerializeSubCir(&bare));
  EXPECT_EQ(in->FileName().str(), "my amp.qvs");
  EXPECT_FALSE(in->SerializeSubCir(nullptr));
}

TEST_F(SubCirTest, CustomTypeOwnsItsPins) {
  CTestElem* x = Add("X_CUSTOM");
  ASSERT_EQ(x->PinCount(), 0);
  const SElemType* base = x->Type();
  CCustomElemType* t = CCustomElemType::CreateCustomCmp(x);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(CCustomElemType::CreateCustomCmp(x), t);
  EXPECT_EQ(x->Type(), t->Type());
  EXPECT_EQ(t->BaseType(), base);
  t->UpdateCustomCmp(3);
  EXPECT_EQ(x->PinCount(), 3);
  EXPECT_EQ(x->Type()->pins, 3);
  EXPECT_STREQ(x->Type()->name, "X_CUSTOM");
  EXPECT_EQ(x->Type()->id, 88);
  EXPECT_EQ(x->GetLetter(), 'X');
  EXPECT_STREQ(x->GetModel()->name, "R");  // the static models stay
}

TEST_F(SubCirTest, CustomChildRoundTripsAndKeepsForeignContent) {
  CTestElem* x = Add("X_CUSTOM");
  CCustomElemType* t = CCustomElemType::CreateCustomCmp(x);
  t->UpdateCustomCmp(2);
  t->SetPinName(0, "IN 1");
  t->SetPinPos(1, TPoint(40, -10));
  t->SetDescription("Mixer");
  CXMLNode node("Cmp");
  ASSERT_TRUE(CCustomElemType::SerializeCmpCustom(x, &node));
  CXMLNode* custom = node.GetNode("Custom", 0);
  ASSERT_NE(custom, nullptr);
  EXPECT_EQ(custom->GetAttribute("pins", "").str(), "2");
  EXPECT_EQ(custom->GetAttribute("descr", "").str(), "Mixer");
  ASSERT_EQ(custom->NodeCount(), 2);
  EXPECT_EQ(custom->GetNode(0)->GetAttribute("name", "").str(), "IN+1");
  EXPECT_FALSE(custom->GetNode(0)->AttributeExists("pos"));
  EXPECT_EQ(custom->GetNode(1)->GetAttribute("pos", "").str(), "40,-10");
  // Content of a symbol editor travels along.
  custom->CreateAttribute("body", "10,20");
  custom->CreateNode("Picture")->CreateNode("Line")->CreateAttribute("p", "0,0,5,5");

  auto loaded = Reread(node);
  CTestElem* fresh = Add("X_CUSTOM");
  ASSERT_TRUE(CCustomElemType::SerializeCmpCustom(fresh, loaded.get()));
  ASSERT_NE(fresh->CustomType(), nullptr);
  EXPECT_EQ(fresh->PinCount(), 2);
  EXPECT_EQ(fresh->CustomType()->PinName(0).str(), "IN 1");
  EXPECT_EQ(fresh->CustomType()->PinPos(1), TPoint(40, -10));
  EXPECT_STREQ(fresh->Type()->description, "Mixer");

  CXMLNode again("Cmp");
  ASSERT_TRUE(CCustomElemType::SerializeCmpCustom(fresh, &again));
  AnsiString a, b;
  node.WriteToString(a);
  again.WriteToString(b);
  EXPECT_EQ(b.str(), a.str());
}

TEST_F(SubCirTest, CustomChildOnlyWhereItBelongs) {
  // A fixed-pin type without a custom record writes nothing.
  CTestElem* r = Add("R_R");
  CXMLNode none("Cmp");
  EXPECT_TRUE(CCustomElemType::SerializeCmpCustom(r, &none));
  EXPECT_EQ(none.NodeCount(), 0);
  // A custom-pin type whose pins were set without a record gets one.
  CTestElem* x = Add("X_CUSTOM");
  x->CreateCmpNodes(4);
  CXMLNode made("Cmp");
  EXPECT_TRUE(CCustomElemType::SerializeCmpCustom(x, &made));
  ASSERT_NE(made.GetNode("Custom", 0), nullptr);
  EXPECT_EQ(made.GetNode("Custom", 0)->GetAttribute("pins", "").str(), "4");
  EXPECT_FALSE(made.GetNode("Custom", 0)->AttributeExists("descr"));  // the type's own
  // Loading without the child makes no record; a bad pin count is reported.
  CTestElem* y = Add("X_CUSTOM");
  CXMLNode bare("Cmp");
  bare.SetStore(false);
  EXPECT_TRUE(CCustomElemType::SerializeCmpCustom(y, &bare));
  EXPECT_EQ(y->CustomType(), nullptr);
  CXMLNode bad("Cmp");
  ASSERT_TRUE(bad.ReadFromText("<Cmp><Custom pins=\"-2\" /></Cmp>", "test"));
  EXPECT_TRUE(CCustomElemType::SerializeCmpCustom(y, &bad));
  EXPECT_EQ(bad.GetNode("Custom", 0)->GetError().str(), "wrong number of pins = -2");
  EXPECT_EQ(y->PinCount(), 0);
}

}  // namespace
