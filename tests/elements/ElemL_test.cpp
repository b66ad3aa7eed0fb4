// Inductors: registry rows, parameters of the plain, coupled and custom
// coupled types, and their document attributes.

#include "elements/ElemL.h"

#include "circuit/Cmps.h"
#include "elements/ElemAttrCheck.h"

TEST(ElemLRegistry, TypesAndModels) {
  const char* rows[][2] = {
      {"L_L", "L_L 35 2 Inductor|L(14,1,7) PWL(11,1,7) SubCir(10,0,1)"},
      {"L_VCL", "L_VCL 38 4 Voltage controlled\\ninductor|PWL(11,1,7)"},
      {"L_CCL", "L_CCL 39 4 Current controlled\\ninductor|PWL(11,2,7)"},
      {"L_CL", "L_CL 36 4 Coupled\\ninductors|L(14,2,7)"},
      {"L_CUSTOM", "L_CUSTOM 37 0 Custom coupled\\ninductors|L(14,0,7) SubCir(10,0,1)"},
      {"_L_L45", "_L_L45 40 2 Inductor|L(14,1,7) PWL(11,1,7) SubCir(10,0,1)"},
  };
  for (auto& r : rows) EXPECT_EQ(r[1], RegistryRow(r[0]));
}

TEST(ElemLDocument, PlainAndCoupledAttributes) {
  auto l = NewOf("L_L");
  EXPECT_EQ("L IC", ParamNames(*l, MC_L));
  EXPECT_STREQ("A", l->GetParameter("IC")->Unit());
  SetParam(*l, MC_L, "L", "1e-3");
  SetParam(*l, MC_L, "IC", "0.1");
  CXMLNode s("Cmp");
  auto copy = RoundTrip(*l, true, &s);
  EXPECT_EQ("1e-3", Attr(s, "l"));
  EXPECT_EQ("100e-3", Attr(s, "ic"));
  EXPECT_EQ(AllParams(*l), AllParams(*copy));

  auto cl = NewOf("L_CL");
  EXPECT_EQ("L1 L2 K12 IC1 IC2", ParamNames(*cl, MC_L));
  // Parameter, value typed, attribute, its text.
  const char* values[][4] = {{"L1", "2", "l1", "2"},
                             {"L2", "3", "l2", "3"},
                             {"K12", "-0.5", "k12", "-500e-3"},
                             {"IC1", "1", "ic1", "1"},
                             {"IC2", "-2", "ic2", "-2"}};
  for (auto& v : values) SetParam(*cl, MC_L, v[0], v[1]);
  CXMLNode c("Cmp");
  auto ccopy = RoundTrip(*cl, true, &c);
  for (auto& v : values) EXPECT_EQ(v[3], Attr(c, v[2]));
  EXPECT_EQ(AllParams(*cl), AllParams(*ccopy));
  CXMLNode noic("Cmp");
  RoundTrip(*cl, false, &noic);
  EXPECT_EQ("<absent>", Attr(noic, "ic1"));
}

TEST(ElemLCustom, GeneratedParametersFollowTheWindings) {
  CCmps cmps;
  auto* c = static_cast<CElemL*>(cmps.AddCmp("L_CUSTOM"));
  ASSERT_NE(nullptr, c);
  EXPECT_EQ(4, c->PinCount());  // two windings for a new component
  c->CreateCmpNodes(6);
  c->UpdateCustom();
  EXPECT_EQ(3, c->WindingCount());
  EXPECT_EQ("L1 L2 L3 K12 K13 K23 IC1 IC2 IC3", ParamNames(*c, MC_L));
  EXPECT_STREQ("H", c->GetParameter("L2")->Unit());
  EXPECT_EQ("1e-6", c->GetParameter("L2")->GetText().str());
  EXPECT_EQ(1.0, c->GetParameter("K23")->BoundFormula()->Value());
  EXPECT_TRUE(c->GetParameter("IC3")->BoundFormula()->IsEmpty());
  EXPECT_EQ(3, c->CreateExtraNodes(nullptr, 2));

  SetParam(*c, MC_L, "L3", "5e-3");
  SetParam(*c, MC_L, "K13", "0.9");
  SetParam(*c, MC_L, "IC2", "0.5");
  CXMLNode s("Cmp");
  auto copy = RoundTrip(*c, true, &s);
  EXPECT_EQ("5e-3", Attr(s, "l3"));
  EXPECT_EQ("900e-3", Attr(s, "k13"));
  EXPECT_EQ("500e-3", Attr(s, "ic2"));
  EXPECT_EQ(6, copy->PinCount());
  EXPECT_EQ(AllParams(*c), AllParams(*copy));

  // Ten windings: couplings are named with a separator.
  c->CreateCmpNodes(20);
  c->UpdateCustom();
  EXPECT_NE(nullptr, c->GetParameter("K1_2"));
  EXPECT_NE(nullptr, c->GetParameter("K9_10"));
  EXPECT_EQ(nullptr, c->GetParameter("K12"));
}
