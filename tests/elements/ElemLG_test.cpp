// Logic generators: registry rows, parameters by model (the waveform ones
// reach the signal), and the document attributes with the "Signal" child.

#include "elements/ElemLG.h"

#include "elements/ElemDocCases.h"

TEST(ElemLGRegistry, TypesAndModels) {
  const std::string waves =
      "Step(5,0,1) Single(3,0,1) Pulse(4,0,1) Clock(62,0,1) List(9,0,1) File(8,0,1)";
  EXPECT_EQ("Y_LG 106 1 Logic generator|Low(71,0,1) High(70,0,1) " + waves,
            RegistryRow("Y_LG"));
  EXPECT_EQ("Y_CLG 107 2 Logic controlled\\nlogic generator|Gate(16,0,1) Low(71,0,1) "
            "High(70,0,1) One-shot(68,0,1) " + waves,
            RegistryRow("Y_CLG"));
  EXPECT_EQ("Y_VCLG 108 3 Voltage controlled\\nlogic generator|Gate(16,0,1) High(70,0,1) "
            "Low(71,0,1) One-shot(68,0,1)",
            RegistryRow("Y_VCLG"));
  EXPECT_EQ("Y_CCLG 109 3 Current controlled\\nlogic generator|Gate(16,1,1) High(70,1,1) "
            "Low(71,1,1) One-shot(68,1,1)",
            RegistryRow("Y_CCLG"));
}

TEST(ElemLGParams, ListsByModel) {
  struct Case {
    const char* key;
    int model;
    const char* names;
  } cases[] = {
      {"Y_LG", MC_OFF, ""},
      {"Y_LG", MC_STEP, "Delay"},
      {"Y_LG", MC_SINGLE, "Delay Width"},
      {"Y_LG", MC_PULSE, "Delay Width Period"},
      {"Y_LG", MC_CLOCK, "Delay Period Step"},
      {"Y_LG", MC_LIST, "List Cycle Delay"},
      {"Y_CLG", MC_FILE, "File Cycle Delay"},
      {"Y_CLG", MC_V, ""},
      {"Y_CLG", MC_ONE_SHOT, "Width"},
      {"Y_VCLG", MC_V, "Threshold Hysteresis"},
      {"Y_CCLG", MC_ONE_SHOT, "Width Threshold Hysteresis"},
  };
  for (const Case& k : cases) {
    auto c = NewOf(k.key);
    EXPECT_EQ(k.names, ParamNames(*c, k.model)) << k.key << " " << k.model;
  }
  auto c = NewOf("Y_CCLG");
  ParamNames(*c, MC_V);
  EXPECT_STREQ("A", c->GetParameter("Threshold")->Unit());
  auto lg = NewOf("Y_LG");
  ParamNames(*lg, MC_LIST);
  EXPECT_EQ(PK_LIST_LOGIC, lg->GetParameter("List")->Kind());
  // The waveform parameters are the signal's own fields.
  SetParam(*lg, MC_PULSE, "Period", "4");
  EXPECT_EQ(4.0, static_cast<CElemLG*>(lg.get())->signal_.period.Value());
  ASSERT_EQ(&static_cast<CElemLG*>(lg.get())->signal_, lg->GetSignal());
  EXPECT_EQ(lg.get(), lg->GetSignal()->Owner());
}

TEST(ElemLGDocument, EveryAttributeRoundTrips) {
  CheckDocumentCases("Y_VCLG", {{MC_V, "Threshold", "2", "thr", "2", false},
                                {MC_V, "Hysteresis", "0.5", "hyst", "500e-3", false},
                                {MC_ONE_SHOT, "Width", "3", "width", "3", false}});
  // Waveform models: the parameters go into the "Signal" child.
  auto c = NewOf("Y_CLG");
  SetParam(*c, MC_CLOCK, "Step", "2");
  SetParam(*c, MC_LIST, "List", "0,1,2,0");
  SetParam(*c, MC_LIST, "Cycle", "Yes");
  SetParam(*c, MC_PULSE, "Delay", "5");
  SetParam(*c, MC_PULSE, "Period", "7");
  CXMLNode stored("Cmp");
  auto copy = RoundTrip(*c, false, &stored);
  EXPECT_EQ(AllParams(*c), AllParams(*copy));
  CXMLNode* signal = stored.GetNode("Signal", 0);
  ASSERT_NE(nullptr, signal);
  EXPECT_EQ("5", Attr(*signal, "d"));
  EXPECT_EQ("7", Attr(*signal, "p"));
  EXPECT_EQ("2", Attr(*signal, "cw"));
  EXPECT_EQ("1", Attr(*signal, "c"));
  EXPECT_EQ("0,1,2,0", Attr(*signal, "list"));

  // Models without a waveform write no "Signal" child.
  c->SetModel(MC_ONE_SHOT);
  CXMLNode plain("Cmp");
  ASSERT_TRUE(c->SerializeCmp(&plain, false, false));
  EXPECT_EQ(nullptr, plain.GetNode("Signal", 0));
}
