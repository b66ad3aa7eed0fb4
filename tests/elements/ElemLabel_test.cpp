// Labels: the type record outside the registry, AddLabel, the parameters
// and pin type per model, and the document attributes.

#include "elements/ElemLabel.h"

#include "circuit/Cmps.h"
#include "elements/ElemAttrCheck.h"

TEST(ElemLabel, TypeRecordStaysOutsideTheRegistry) {
  const SElemType& t = CElemLabel::m_elemtype;
  EXPECT_STREQ("label", t.name);
  EXPECT_EQ(5, t.id);
  EXPECT_EQ(1, t.pins);
  EXPECT_STREQ("Label", t.description);
  std::string models;
  for (const SElemModel* m = t.models; m->name != nullptr; ++m)
    models += std::string(models.empty() ? "" : " ") + m->name + "(" + std::to_string(m->id) +
              "," + std::to_string(m->extra) + "," + std::to_string(m->flags) + ")";
  EXPECT_EQ(
      "Label(2,0,33) V(16,1,39) Step(5,1,39) Single(3,1,39) Pulse(4,1,39) Clock(62,1,39) "
      "Sin(6,1,39) Sweep(73,1,39) Function(7,1,39) List(9,1,39) File(8,1,39) Trace(54,1,39) "
      "IC(59,1,39) SubCir(10,0,1)",
      models);
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
  label.SetInput(true);
  EXPECT_EQ(1, label.GetCmpPinType(0));
  EXPECT_EQ(1, label.CreateExtraNodes(nullptr, 4));
  label.SetInput(false);
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
