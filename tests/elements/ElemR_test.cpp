// Resistors: registry rows, parameters by model, document attributes of
// the value, the potentiometer and the PWL-I table, and the extra
// unknowns that depend on the values.

#include "elements/ElemR.h"

#include "elements/ElemAttrCheck.h"

TEST(ElemRRegistry, TypesAndModels) {
  const char* rows[] = {
      "R_R 51 2 Resistor|R(12,0,7) PWL(11,1,7) PWL-I(52,1,7) SubCir(10,0,1)",
      "R_Pot 52 3 Potentiometer|Potentiometer(61,0,1)",
      "R_VCR 53 4 Voltage controlled\\nresistor|PWL(11,1,7)",
      "R_CCR 54 4 Current controlled\\nresistor|PWL(11,2,7)",
      "_R_R45 55 2 Resistor|R(12,0,7) PWL(11,1,7) PWL-I(52,1,7) SubCir(10,0,1)",
  };
  const char* keys[] = {"R_R", "R_Pot", "R_VCR", "R_CCR", "_R_R45"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(rows[i], RegistryRow(keys[i]));
}

TEST(ElemRParams, NamesUnitsAndDefaults) {
  auto r = NewOf("R_R");
  EXPECT_EQ("R", ParamNames(*r, MC_R));
  EXPECT_STREQ("Ohm", r->GetParameter("r")->Unit());
  EXPECT_EQ("1", r->GetParameter("R")->GetText().str());
  EXPECT_EQ("pwl", ParamNames(*r, MC_PWL));
  EXPECT_EQ("pwl", ParamNames(*r, MC_PWL_I));
  EXPECT_EQ("File Pin1 Pin2 Cmd IC", ParamNames(*r, MC_SUBCIR));  // the subcircuit's
  auto pot = NewOf("R_Pot");
  EXPECT_EQ("R Position", ParamNames(*pot, MC_POTENTIOMETER));
  EXPECT_EQ("0", pot->GetParameter("Position")->GetText().str());
  // The two PWL tables are separate: each model's "pwl" is its own text.
  SetParam(*r, MC_PWL, "pwl", "1, 0, 2");
  SetParam(*r, MC_PWL_I, "pwl", "3, 1, 4");
  r->SetModel(MC_PWL);
  EXPECT_EQ("1, 0, 2", r->GetParameter("pwl")->GetText().str());
  EXPECT_EQ("1, 0, 2", r->PwlText().str());
  EXPECT_EQ("3, 1, 4", static_cast<CElemR*>(r.get())->PwlI().text.str());
}

TEST(ElemRDocument, ValueAndPwlITableRoundTrip) {
  auto r = NewOf("R_R");
  SetParam(*r, MC_R, "R", "=2*1.5");
  SetParam(*r, MC_PWL_I, "pwl", "0.5, 1, 2");
  CPWL& t = static_cast<CElemR*>(r.get())->PwlI();
  t.file = "my table.txt";
  t.mode = 2;
  CXMLNode stored("Cmp");
  auto copy = RoundTrip(*r, false, &stored);
  EXPECT_EQ("3", Attr(stored, "r"));
  EXPECT_EQ("%3d2*1.5", Attr(stored, "r_str"));
  EXPECT_EQ("0.5, 1, 2", Attr(stored, "pwli"));
  EXPECT_EQ("my+table.txt", Attr(stored, "pwlif"));
  EXPECT_EQ("2", Attr(stored, "pwlim"));
  EXPECT_EQ(AllParams(*r), AllParams(*copy));
  CPWL& u = static_cast<CElemR*>(copy.get())->PwlI();
  EXPECT_EQ("my table.txt", u.file.str());
  EXPECT_EQ(2, u.mode);

  // In model "R" the PWL-I table is not stored.
  r->SetModel(MC_R);
  CXMLNode plain("Cmp");
  RoundTrip(*r, false, &plain);
  EXPECT_EQ("<absent>", Attr(plain, "pwli"));
}

TEST(ElemRDocument, PotentiometerAndControlledTypes) {
  auto pot = NewOf("R_Pot");
  SetParam(*pot, MC_POTENTIOMETER, "R", "470");
  SetParam(*pot, MC_POTENTIOMETER, "Position", "0.25");
  CXMLNode stored("Cmp");
  auto copy = RoundTrip(*pot, false, &stored);
  EXPECT_EQ("470", Attr(stored, "r"));
  EXPECT_EQ("250e-3", Attr(stored, "p"));
  EXPECT_EQ(AllParams(*pot), AllParams(*copy));

  // The controlled resistors keep only their table, in the common part.
  auto vcr = NewOf("R_VCR");
  SetParam(*vcr, MC_PWL, "pwl", "10, 1, 20");
  CXMLNode v("Cmp");
  auto vcopy = RoundTrip(*vcr, false, &v);
  EXPECT_EQ("<absent>", Attr(v, "r"));
  EXPECT_EQ("10, 1, 20", Attr(v, "pwl"));
  EXPECT_EQ(AllParams(*vcr), AllParams(*vcopy));
}

TEST(ElemRExtra, ShortsNeedAnUnknown) {
  struct Case {
    const char* key;
    int model;
    const char *r, *pos;
    int extra;
  } cases[] = {{"R_R", MC_R, "0", nullptr, 1},       {"R_R", MC_R, "1k", nullptr, 0},
               {"R_Pot", MC_POTENTIOMETER, "0", "0.5", 2}, {"R_Pot", MC_POTENTIOMETER, "1", "0", 1},
               {"R_Pot", MC_POTENTIOMETER, "1", "1", 1},   {"R_Pot", MC_POTENTIOMETER, "1", "0.5", 0},
               {"R_CCR", MC_PWL, nullptr, nullptr, 2},     {"R_R", MC_PWL_I, nullptr, nullptr, 1}};
  for (const Case& k : cases) {
    auto c = NewOf(k.key);
    if (k.r != nullptr) SetParam(*c, k.model, "R", k.r);
    if (k.pos != nullptr) SetParam(*c, k.model, "Position", k.pos);
    c->SetModel(k.model);
    EXPECT_EQ(k.extra, c->CreateExtraNodes(nullptr, 5)) << k.key << " " << (k.r ? k.r : "");
  }
}
