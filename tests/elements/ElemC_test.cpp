// Capacitors: registry rows, parameters, pin types and the document
// attributes, with the initial condition only when asked for.

#include "elements/ElemC.h"

#include "elements/ElemAttrCheck.h"

TEST(ElemCRegistry, TypesAndModels) {
  const char* rows[][2] = {
      {"C_C", "C_C 7 2 Capacitor|C(13,1,7) PWL(11,1,7) SubCir(10,0,1)"},
      {"C_VCC", "C_VCC 8 4 Voltage controlled\\ncapacitor|PWL(11,1,7)"},
      {"C_CCC", "C_CCC 9 4 Current controlled\\ncapacitor|PWL(11,2,7)"},
      {"_C_C45", "_C_C45 10 2 Capacitor|C(13,1,7) PWL(11,1,7) SubCir(10,0,1)"},
  };
  for (auto& r : rows) EXPECT_EQ(r[1], RegistryRow(r[0]));
}

TEST(ElemCParams, NamesDefaultsAndPins) {
  auto c = NewOf("C_C");
  EXPECT_EQ("C IC", ParamNames(*c, MC_C));
  EXPECT_EQ("pwl IC", ParamNames(*c, MC_PWL));
  c->SetModel(MC_C);
  EXPECT_STREQ("F", c->GetParameter("C")->Unit());
  EXPECT_STREQ("V", c->GetParameter("IC")->Unit());
  EXPECT_EQ("1", c->GetParameter("C")->GetText().str());
  EXPECT_TRUE(c->GetParameter("IC")->BoundFormula()->IsEmpty());
  EXPECT_EQ(5, c->GetCmpPinType(0));
  EXPECT_EQ(5, c->GetCmpPinType(1));
  EXPECT_EQ(2, NewOf("C_VCC")->GetCmpPinType(3));
  EXPECT_EQ(1, NewOf("C_CCC")->GetCmpPinType(2));
}

TEST(ElemCDocument, ValueAlwaysInitialConditionWithFlag) {
  auto c = NewOf("C_C");
  SetParam(*c, MC_C, "C", "4.7e-9");
  SetParam(*c, MC_C, "IC", "2.5");
  CXMLNode with("Cmp");
  auto copy = RoundTrip(*c, true, &with);
  EXPECT_EQ("4.7e-9", Attr(with, "c"));
  EXPECT_EQ("2.5", Attr(with, "ic"));
  EXPECT_EQ(AllParams(*c), AllParams(*copy));

  CXMLNode without("Cmp");
  auto bare = RoundTrip(*c, false, &without);
  EXPECT_EQ("<absent>", Attr(without, "ic"));
  bare->SetModel(MC_C);
  EXPECT_TRUE(bare->GetParameter("IC")->BoundFormula()->IsEmpty());

  // The controlled types have no "c" but keep their IC.
  auto vcc = NewOf("C_VCC");
  SetParam(*vcc, MC_PWL, "IC", "-1");
  CXMLNode v("Cmp");
  auto vcopy = RoundTrip(*vcc, true, &v);
  EXPECT_EQ("<absent>", Attr(v, "c"));
  EXPECT_EQ(AllParams(*vcc), AllParams(*vcopy));
}
