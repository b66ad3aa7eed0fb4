// Bipolar transistor: registry rows, parameters by model and the document
// attributes.

#include "elements/ElemT.h"

#include <cmath>

#include "elements/ElemDocCases.h"

TEST(ElemTRegistry, TypesAndModels) {
  const char* models = "Linear(18,2,7) Switch(17,2,7) Transistor(22,3,7) SubCir(10,0,1)";
  EXPECT_EQ(std::string("T_TNPN 65 3 NPN transistor|") + models, RegistryRow("T_TNPN"));
  EXPECT_EQ(std::string("T_TPNP 66 3 PNP transistor|") + models, RegistryRow("T_TPNP"));
}

TEST(ElemTParams, NamesUnitsAndDefaults) {
  auto c = NewOf("T_TNPN");
  EXPECT_EQ("B f1 IC", ParamNames(*c, MC_LINEAR));
  EXPECT_EQ("Vbe IC", ParamNames(*c, MC_SWITCH));
  EXPECT_EQ("B f1 Vbe Vsat IC ICbe ICbc", ParamNames(*c, MC_TRANSISTOR));

  c->SetModel(MC_TRANSISTOR);
  EXPECT_STREQ("A/A", c->GetParameter("B")->Unit());
  EXPECT_STREQ("Hz", c->GetParameter("f1")->Unit());
  EXPECT_STREQ("A", c->GetParameter("IC")->Unit());
  double v = 0;
  ASSERT_EQ(0, c->GetParameter("b")->GetDLLParamValue(&v));  // names ignore case
  EXPECT_EQ(1.0, v);
  c->GetParameter("f1")->GetDLLParamValue(&v);
  EXPECT_TRUE(std::isinf(v) && v > 0);
  c->GetParameter("Vbe")->GetDLLParamValue(&v);
  EXPECT_DOUBLE_EQ(0.7, v);
  EXPECT_EQ("Off", c->GetParameter("ICbe")->GetText().str());
  // No initial current until one is given.
  EXPECT_TRUE(c->GetParameter("IC")->BoundFormula()->IsEmpty());
  c->SetModel(MC_SWITCH);
  EXPECT_EQ(PK_ON_OFF, c->GetParameter("IC")->Kind());
}

TEST(ElemTDocument, EveryAttributeRoundTrips) {
  for (const char* key : {"T_TNPN", "T_TPNP"})
    CheckDocumentCases(key, {{MC_TRANSISTOR, "B", "50", "k", "50", false},
                             {MC_TRANSISTOR, "f1", "=2*3", "f1_str", "%3d2*3", false},
                             {MC_TRANSISTOR, "Vbe", "2", "vbe", "2", false},
                             {MC_TRANSISTOR, "Vsat", "0.25", "vsat", "250e-3", false},
                             {MC_TRANSISTOR, "IC", "3", "ic", "3", false},
                             {MC_TRANSISTOR, "ICbe", "On", "be_ic", "1", true},
                             {MC_TRANSISTOR, "ICbc", "On", "bc_ic", "1", true},
                             {MC_SWITCH, "IC", "On", "s_ic", "1", true}});
}
