// Diodes, zeners and thyristors: registry rows, parameters per type and
// model, and the document attributes with and without initial conditions.

#include "elements/ElemD.h"

#include "elements/ElemAttrCheck.h"

TEST(ElemDRegistry, TypesAndModels) {
  const char* d = "Diode(15,1,7) PWL(11,1,7) Storage(42,2,7) Soft(51,2,7) SubCir(10,0,1)";
  const char* z = "Zener(15,1,7) PWL(11,1,7) SubCir(10,0,1)";
  const std::string rows[][2] = {
      {"D_D", std::string("D_D 11 2 Diode|") + d},
      {"D_Z", std::string("D_Z 12 2 Zener|") + z},
      {"D_ZS", std::string("D_ZS 13 2 Bidirectional\\nzener|") + z},
      {"D_BR", "D_BR 17 4 Bridge\\nrectifier|Diode(15,4,4)"},
      {"D_RING", "D_RING 18 4 Diode ring|Diode(15,4,4)"},
      {"D_LCT", "D_LCT 16 3 Logic controlled\\nthyristor|Thyristor(15,1,7) SubCir(10,0,1)"},
      {"D_VCT", "D_VCT 14 4 Voltage controlled\\nthyristor|Thyristor(15,1,7) SubCir(10,0,1)"},
      {"D_CCT", "D_CCT 15 4 Current controlled\\nthyristor|Thyristor(15,2,7) SubCir(10,0,1)"},
      {"_D_D45", std::string("_D_D45 19 2 Diode|") + d},
      {"_D_Z45", std::string("_D_Z45 20 2 Zener|") + z},
      {"_D_ZS45", std::string("_D_ZS45 21 2 Bidirectional\\nzener|") + z},
  };
  for (auto& r : rows) EXPECT_EQ(r[1], RegistryRow(r[0].c_str()));
}

TEST(ElemDParams, ListsAndDefaults) {
  struct Case {
    const char* key;
    int model;
    const char* names;
  } cases[] = {{"D_D", MC_DIODE, "Vd IC"},          {"D_D", MC_PWL, "pwl"},
               {"D_D", MC_STORAGE, "Vd t IC ICQ"},   {"D_D", MC_SOFT, "Vd t ts IC ICQ"},
               {"D_Z", MC_DIODE, "V Vd IC"},         {"D_ZS", MC_DIODE, "V IC"},
               {"D_BR", MC_DIODE, "Vd"},             {"D_RING", MC_DIODE, "Vd"},
               {"D_LCT", MC_DIODE, "Vd Ihold IC"},   {"D_VCT", MC_DIODE, "Vd Ihold Threshold IC"},
               {"D_CCT", MC_DIODE, "Vd Ihold Threshold IC"}};
  for (const Case& k : cases) {
    auto c = NewOf(k.key);
    EXPECT_EQ(k.names, ParamNames(*c, k.model)) << k.key;
  }
  auto z = NewOf("D_Z");
  z->SetModel(MC_DIODE);
  EXPECT_EQ("8", z->GetParameter("V")->GetText().str());
  EXPECT_EQ("Off", z->GetParameter("IC")->GetText().str());
  auto d = NewOf("D_D");
  d->SetModel(MC_PWL);
  EXPECT_EQ("1.0, 0.0, 1.0", d->GetParameter("pwl")->GetText().str());
  d->SetModel(MC_SOFT);
  EXPECT_STREQ("A*s", d->GetParameter("ICQ")->Unit());
  EXPECT_EQ("Off", d->GetParameter("IC")->GetText().str());
  auto v = NewOf("D_VCT");
  auto i = NewOf("D_CCT");
  EXPECT_STREQ("V", v->GetParameter("Threshold")->Unit());
  EXPECT_STREQ("A", i->GetParameter("Threshold")->Unit());
  EXPECT_EQ("5", i->GetParameter("Threshold")->GetText().str());
  EXPECT_EQ("1", i->GetParameter("Ihold")->GetText().str());
  EXPECT_EQ(2, NewOf("D_LCT")->GetCmpPinType(2));
  EXPECT_EQ(1, v->GetCmpPinType(2));
}

TEST(ElemDDocument, AttributesPerKind) {
  struct Case {
    const char* key;
    int model;
    const char* sets[3][2];
    const char* attrs[4][2];  // attribute, text; ic attributes last
  } cases[] = {
      {"D_D", MC_SOFT, {{"Vd", "0.7"}, {"ts", "2e-6"}, {"IC", "On"}},
       {{"vd", "700e-3"}, {"ts", "2e-6"}, {"ic", "1"}, {"icq", "0"}}},
      {"D_Z", MC_DIODE, {{"V", "5.1"}, {"Vd", "0.6"}, {"IC", "Plus"}},
       {{"v", "5.1"}, {"vd", "600e-3"}, {"ic", "2"}, {nullptr, nullptr}}},
      {"D_ZS", MC_DIODE, {{"V", "12"}, {"IC", "Minus"}, {nullptr, nullptr}},
       {{"v", "12"}, {"ic", "0"}, {nullptr, nullptr}, {nullptr, nullptr}}},
      {"D_CCT", MC_DIODE, {{"Threshold", "0.01"}, {"Ihold", "0.2"}, {"IC", "On"}},
       {{"thr", "10e-3"}, {"hold", "200e-3"}, {"ic", "1"}, {nullptr, nullptr}}},
      {"D_BR", MC_DIODE, {{"Vd", "1.4"}, {nullptr, nullptr}, {nullptr, nullptr}},
       {{"vd", "1.4"}, {nullptr, nullptr}, {nullptr, nullptr}, {nullptr, nullptr}}},
  };
  for (const Case& k : cases) {
    auto c = NewOf(k.key);
    for (auto& s : k.sets)
      if (s[0] != nullptr) SetParam(*c, k.model, s[0], s[1]);
    CXMLNode stored("Cmp");
    auto copy = RoundTrip(*c, true, &stored);
    EXPECT_EQ(AllParams(*c), AllParams(*copy)) << k.key;
    for (auto& a : k.attrs)
      if (a[0] != nullptr) {
        EXPECT_EQ(a[1], Attr(stored, a[0])) << k.key << " " << a[0];
      }
    CXMLNode noic("Cmp");
    RoundTrip(*c, false, &noic);
    EXPECT_EQ("<absent>", Attr(noic, "ic")) << k.key;
  }
}

TEST(ElemDDocument, NegativeStoredChargeLoadsAsZero) {
  CXMLNode node("Cmp");
  node.SetStore(false);
  node.CreateAttribute("model", "Storage");
  node.CreateAttribute("icq", "-1");
  auto d = NewOf("D_D");
  ASSERT_TRUE(d->SerializeCmp(&node, false, true));
  d->SetModel(MC_STORAGE);
  EXPECT_EQ(0.0, d->GetParameter("ICQ")->BoundFormula()->Value());
}
