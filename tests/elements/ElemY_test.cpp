// Logic gates and flip-flops: registry rows, the parameters of each group
// of types and the document attributes.

#include "elements/ElemY.h"

#include "elements/ElemDocCases.h"

TEST(ElemYRegistry, TypesAndModels) {
  const std::string models = "|Logic(44,0,1) Delay(26,0,1) Delay2(58,0,1)";
  const char* rows[] = {
      "Y_1 92 2 Gate",           "Y_1_NOT 111 2 NOT-gate",   "Y_2_AND 93 3 AND gate",
      "Y_2_NAND 112 3 NAND gate", "Y_2_OR 94 3 OR gate",      "Y_2_NOR 113 3 NOR gate",
      "Y_2_XOR 95 3 XOR gate",   "Y_2_XNOR 114 3 XNOR gate", "Y_3_AND 96 4 AND gate",
      "Y_3_NAND 115 4 NAND gate", "Y_3_OR 97 4 OR gate",      "Y_3_NOR 116 4 NOR gate",
      "Y_3_XOR 98 4 XOR gate",   "Y_3_XNOR 117 4 XNOR gate", "Y_CUSTOM 99 0 Custom gate",
      "Y_FUNCTION 104 0 Logical function", "Y_FF 100 4 D flip-flop",
      "Y_RS 101 6 SR trigger",   "Y_JK 102 7 JK trigger",    "Y_ST 103 2 Schmitt trigger",
  };
  for (const char* r : rows) {
    const std::string row(r);
    EXPECT_EQ(row + models, RegistryRow(row.substr(0, row.find(' ')).c_str()));
  }
}

TEST(ElemYRegistry, InvertedGateIsViewOneOfThePlainGate) {
  auto c = NewOf("Y_2_NAND");
  ASSERT_TRUE(ElemSet.ConvertSelectionToCmp(c.get()));
  EXPECT_STREQ("Y_2_AND", c->Type()->name);
  EXPECT_EQ(1, c->View());
  EXPECT_FALSE(c->PlusMinusView(-1));  // a second view exists
  EXPECT_EQ(0, c->View());
}

TEST(ElemYParams, ListsByGroupAndModel) {
  struct Case {
    const char* key;
    const char* logic;
    const char* delay2;
  } cases[] = {
      {"Y_2_AND", "IC", "Up Down IC"},
      {"Y_CUSTOM", "Type IC", "Type Up Down IC"},
      {"Y_FUNCTION", "f IC", "f Up Down IC"},
      {"Y_FF", "IC", "Up Down IC"},
      {"Y_JK", "Dominance IC", "Dominance Up Down IC"},
      {"Y_ST", "Hysteresis IC", "Hysteresis Up Down IC"},
  };
  for (const Case& k : cases) {
    auto c = NewOf(k.key);
    EXPECT_EQ(k.logic, ParamNames(*c, MC_LOGIC)) << k.key;
    EXPECT_EQ(k.delay2, ParamNames(*c, MC_DELAY2)) << k.key;
  }
  auto c = NewOf("Y_RS");
  EXPECT_EQ("None", ParamText(*c, MC_DELAY, "Dominance"));
  EXPECT_EQ("Low", ParamText(*c, MC_DELAY, "IC"));
  EXPECT_EQ(PK_HIGH_LOW, c->GetParameter("IC")->Kind());
  // "Delay" and "Up" are one delay.
  SetParam(*c, MC_DELAY, "Delay", "5");
  EXPECT_EQ("5", ParamText(*c, MC_DELAY2, "Up"));
}

TEST(ElemYDocument, EveryAttributeRoundTrips) {
  CheckDocumentCases("Y_JK", {{MC_DELAY2, "Up", "3", "delay", "3", false},
                              {MC_DELAY2, "Down", "4", "down", "4", false},
                              {MC_DELAY2, "Dominance", "Reset", "dominance", "2", false},
                              {MC_DELAY2, "IC", "High", "ic", "1", true}});
  CheckDocumentCases("Y_ST", {{MC_LOGIC, "Hysteresis", "2", "hyst", "2", false}});
  CheckDocumentCases("Y_FUNCTION", {{MC_LOGIC, "f", "b1||!b2", "func", "b1%7c%7c!b2", false}});
  CheckDocumentCases("Y_CUSTOM", {{MC_DELAY, "Type", "xor", "custom_type", "xor", false}});
}

TEST(ElemYDocument, UnknownGateOperationLoadsAsAnd) {
  auto c = NewOf("Y_CUSTOM");
  CXMLNode node("Cmp");
  node.SetStore(false);
  node.CreateAttribute("custom_type", "nand");
  node.CreateAttribute("dominance", "5");
  ASSERT_TRUE(c->SerializeCmp(&node, false, true));
  EXPECT_EQ("and", ParamText(*c, MC_LOGIC, "Type"));
  auto jk = NewOf("Y_JK");
  ASSERT_TRUE(jk->SerializeCmp(&node, false, true));
  EXPECT_EQ("None", ParamText(*jk, MC_LOGIC, "Dominance"));
}
