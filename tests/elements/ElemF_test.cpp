// Function components: registry rows, parameters by model and input
// count, and the document attributes.

#include "elements/ElemF.h"

#include "elements/ElemDocCases.h"

TEST(ElemFRegistry, TypesAndModels) {
  const std::string one =
      "Function(7,0,1) Pwr(28,0,1) Abs(29,0,1) Int(30,0,1) Lim(31,0,1) Table(53,0,1) "
      "SubCir(10,0,1)";
  const std::string two =
      "Function(7,0,1) Mul(32,0,1) Div(33,0,1) Sum(34,0,1) Sub(35,0,1) Max(36,0,1) Min(37,0,1) "
      "Pwr(28,0,1) Mag(40,0,1) Phase(41,0,1) GT(38,0,1) LT(39,0,1) Table(53,0,1) SubCir(10,0,1)";
  EXPECT_EQ("F_1 22 2 Function|" + one, RegistryRow("F_1"));
  EXPECT_EQ("F_1C 23 3 Function\\nwith clock|" + one, RegistryRow("F_1C"));
  EXPECT_EQ("F_2 24 3 Function-2|" + two, RegistryRow("F_2"));
  EXPECT_EQ("F_2C 25 4 Function-2\\nwith clock|" + two, RegistryRow("F_2C"));
  EXPECT_EQ("F_CUSTOM 26 0 Custom function|Function(7,0,1)", RegistryRow("F_CUSTOM"));
  EXPECT_EQ("Y_BUS 105 0 Bus|Bus(60,0,1)", RegistryRow("Y_BUS"));
}

TEST(ElemFParams, ListsByModelAndInputCount) {
  struct Case {
    const char* key;
    int model;
    const char* names;
  } cases[] = {
      {"F_1", MC_FUNCTION, "f IC"},       {"F_1", MC_PWR, "power K IC"},
      {"F_1", MC_ABS, "K IC"},            {"F_1", MC_INT, "resolution K IC"},
      {"F_1", MC_LIM, "Max Min IC"},      {"F_1C", MC_TABLE, "Table IC"},
      {"F_2", MC_PWR, "K IC"},            {"F_2", MC_MUL, "K IC"},
      {"F_2", MC_PHASE, "K IC"},          {"F_2", MC_GT, "IC"},
      {"F_2C", MC_TABLE, "X Y Table IC"}, {"F_CUSTOM", MC_FUNCTION, "f IC"},
      {"Y_BUS", MC_BUS, "Format IC"},
  };
  for (const Case& k : cases) {
    auto c = NewOf(k.key);
    EXPECT_EQ(k.names, ParamNames(*c, k.model)) << k.key << " " << k.model;
  }
  auto c = NewOf("F_2");
  ParamNames(*c, MC_TABLE);
  EXPECT_EQ(PK_IC_TEXT, c->GetParameter("X")->Kind());
  EXPECT_EQ(PK_TABLE2, c->GetParameter("Table")->Kind());
  EXPECT_STREQ("V", c->GetParameter("IC")->Unit());
  auto bus = NewOf("Y_BUS");
  EXPECT_EQ("Unsigned", ParamText(*bus, MC_BUS, "Format"));
}

TEST(ElemFDocument, EveryAttributeRoundTrips) {
  CheckDocumentCases("F_1", {{MC_FUNCTION, "f", "sin(x)", "f", "sin(x)", false},
                             {MC_PWR, "power", "3", "pwr", "3", false},
                             {MC_PWR, "K", "4", "k", "4", false},
                             {MC_INT, "resolution", "0.5", "res", "500e-3", false},
                             {MC_LIM, "Max", "9", "max", "9", false},
                             {MC_LIM, "Min", "-9", "min", "-9", false},
                             {MC_TABLE, "Table", "0,1,2,3", "table", "0%2c1%2c2%2c3", false},
                             {MC_TABLE, "IC", "2", "ic", "2", true}});
  CheckDocumentCases("F_2", {{MC_TABLE, "X", "1,2", "x", "1%2c2", false},
                             {MC_TABLE, "Y", "3,4,5", "y", "3%2c4%2c5", false},
                             {MC_TABLE, "Table", "1,2,3,4,5,6", "table", "1%2c2%2c3%2c4%2c5%2c6",
                              false}});
  CheckDocumentCases("Y_BUS", {{MC_BUS, "Format", "Signed", "format", "1", false}});
}
