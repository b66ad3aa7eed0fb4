// Field-effect transistor: registry rows, parameters by model and the
// document attributes.

#include "elements/ElemFET.h"

#include "elements/ElemDocCases.h"

TEST(ElemFETRegistry, TypesAndModels) {
  const char* models =
      "Linear(18,1,7) Switch(17,1,7) FET(23,1,7) FET-D(57,1,7) SubCir(10,0,1)";
  EXPECT_EQ(std::string("T_NFET 67 3 N-FET|") + models, RegistryRow("T_NFET"));
  EXPECT_EQ(std::string("T_PFET 68 3 P-FET|") + models, RegistryRow("T_PFET"));
}

TEST(ElemFETParams, NamesAndZoneChoices) {
  auto c = NewOf("T_NFET");
  EXPECT_EQ("S f1 IC", ParamNames(*c, MC_LINEAR));
  EXPECT_EQ("Vth IC", ParamNames(*c, MC_SWITCH));
  EXPECT_EQ("S Vth Rdson IC", ParamNames(*c, MC_FET));
  EXPECT_EQ("S Vth Rdson Vd IC", ParamNames(*c, MC_FET_D));
  EXPECT_STREQ("A/V", c->GetParameter("S")->Unit());
  EXPECT_STREQ("Ohm", c->GetParameter("Rdson")->Unit());
  // The FET-D zone list has "Diode", the FET list ends before it.
  CParam* ic = c->GetParameter("IC");
  bool ok = true;
  ic->SetText("Diode", nullptr, ok, nullptr);
  EXPECT_EQ("Diode", ic->GetText().str());
  EXPECT_EQ("Off", ParamText(*c, MC_FET, "IC"));
  EXPECT_EQ(-1, c->GetParameter("IC")->SetDLLParamText("Diode", nullptr));
  EXPECT_EQ(0, c->GetParameter("IC")->SetDLLParamText("Minus", nullptr));
  EXPECT_EQ("Minus", ParamText(*c, MC_FET, "IC"));
}

TEST(ElemFETDocument, EveryAttributeRoundTrips) {
  for (const char* key : {"T_NFET", "T_PFET"})
    CheckDocumentCases(key, {{MC_LINEAR, "f1", "1000", "f1", "1e+3", false},
                             {MC_LINEAR, "IC", "2", "ic", "2", false},
                             {MC_SWITCH, "IC", "On", "s_ic", "1", true},
                             {MC_FET, "IC", "Plus", "fet_ic", "2", true},
                             {MC_FET_D, "S", "5", "k", "5", false},
                             {MC_FET_D, "Vth", "=1+1", "vth", "2", false},
                             {MC_FET_D, "Rdson", "0.5", "rdson", "500e-3", false},
                             {MC_FET_D, "Vd", "3", "vd", "3", false},
                             {MC_FET_D, "IC", "Diode", "fetd_ic", "4", true}});
}

TEST(ElemFETDocument, ZoneOutsideTheListLoadsAsOff) {
  auto c = NewOf("T_NFET");
  CXMLNode node("Cmp");
  node.SetStore(false);
  node.CreateAttribute("model", "FET");
  node.CreateAttribute("fet_ic", "7");
  node.CreateAttribute("fetd_ic", "-1");
  ASSERT_TRUE(c->SerializeCmp(&node, false, true));
  EXPECT_EQ("Off", ParamText(*c, MC_FET, "IC"));
  EXPECT_EQ("Off", ParamText(*c, MC_FET_D, "IC"));
}
