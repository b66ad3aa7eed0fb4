// Controlled switches: registry rows, parameters per model and control
// kind, and the document attributes with the waveform element.

#include "elements/ElemCS.h"

#include "elements/ElemDocCases.h"

namespace {

// The models of a type in registry form, for a count of extra unknowns;
// the logic types add the waveform models.
std::string Models(int extra, bool logic) {
  const std::string e = "," + std::to_string(extra) + ",7) ";
  std::string s = "Switch(17" + e + "Off(71" + e + "On(70" + e + "One-shot(68" + e;
  if (logic)
    s += "Step(5" + e + "Single(3" + e + "Pulse(4" + e + "Clock(62" + e + "List(9" + e +
         "File(8" + e;
  return s + "Steps(69" + e + "SubCir(10,0,1)";
}

}  // namespace

TEST(ElemCS, RegistryRows) {
  // Extra unknowns: the contact, then the sense short of the current
  // controlled types, then the second contact of the SPDT types.
  EXPECT_EQ("S_LCS 62 3 Logic controlled\\nswitch|" + Models(1, true), RegistryRow("S_LCS"));
  EXPECT_EQ("S_VCS 58 4 Voltage controlled\\nswitch|" + Models(1, false), RegistryRow("S_VCS"));
  EXPECT_EQ("S_CCS 59 4 Current controlled\\nswitch|" + Models(2, false), RegistryRow("S_CCS"));
  EXPECT_EQ("S_LCS3 63 4 SPDT logic\\ncontrolled switch|" + Models(2, true),
            RegistryRow("S_LCS3"));
  EXPECT_EQ("S_VCS3 60 5 SPDT voltage\\ncontrolled switch|" + Models(2, false),
            RegistryRow("S_VCS3"));
  EXPECT_EQ("S_CCS3 61 5 SPDT current\\ncontrolled switch|" + Models(3, false),
            RegistryRow("S_CCS3"));
}

TEST(ElemCS, ParametersPerModelAndControlKind) {
  auto v = NewOf("S_VCS");
  EXPECT_EQ("Threshold Hysteresis Active IC", ParamNames(*v, MC_SWITCH));
  EXPECT_STREQ("V", v->GetParameter("Threshold")->Unit());
  EXPECT_EQ("", ParamNames(*v, MC_OFF));
  EXPECT_EQ("Threshold Width Active", ParamNames(*v, MC_ONE_SHOT));
  EXPECT_EQ("100e-3 On", ParamText(*v, MC_ONE_SHOT, "Width") + " " +
                             ParamText(*v, MC_ONE_SHOT, "Active"));
  EXPECT_EQ("Threshold Hysteresis Roff Ron Steps Slope Ramp IC", ParamNames(*v, MC_STEPS));
  std::string texts;
  for (CParam* p = v->GetParameter(""); p->Name() != nullptr; ++p) texts += p->GetText().str() + " ";
  EXPECT_EQ("0 0 1e+3 1 10 Linear 100e-3 Off ", texts);
  auto i = NewOf("S_CCS3");
  i->SetModel(MC_SWITCH);
  EXPECT_STREQ("A", i->GetParameter("Threshold")->Unit());
  // The logic types compare with the document's logic threshold.
  auto l = NewOf("S_LCS");
  EXPECT_EQ("Hysteresis Active IC", ParamNames(*l, MC_SWITCH));
  EXPECT_EQ("Period Width Delay Active", ParamNames(*l, MC_PULSE));
  EXPECT_EQ("File Cycle Delay", ParamNames(*l, MC_FILE));
}

TEST(ElemCS, DocumentAttributes) {
  CheckDocumentCases("S_VCS3", {{MC_SWITCH, "Active", "Off", "a", "0", false},
                                {MC_SWITCH, "Threshold", "2.5", "thr", "2.5", false},
                                {MC_SWITCH, "Hysteresis", "1", "hyst", "1", false},
                                {MC_SWITCH, "IC", "On", "ic", "1", true},
                                {MC_ONE_SHOT, "Width", "2m", "width", "2e-3", false},
                                {MC_STEPS, "Roff", "500", "roff", "500", false},
                                {MC_STEPS, "Ron", "2", "ron", "2", false},
                                {MC_STEPS, "Steps", "4", "steps", "4", false},
                                {MC_STEPS, "Slope", "Log", "slope", "2", false},
                                {MC_STEPS, "Ramp", "=3*0.1", "steps_width", "300e-3", false}});
}

TEST(ElemCS, WaveformModelsKeepTheirSignal) {
  auto c = NewOf("S_LCS3");
  SetParam(*c, MC_PULSE, "Period", "4m");
  SetParam(*c, MC_PULSE, "Width", "1m");
  SetParam(*c, MC_PULSE, "Active", "Off");
  CXMLNode stored("Cmp");
  auto copy = RoundTrip(*c, false, &stored);
  EXPECT_EQ(AllParams(*c), AllParams(*copy));
  CXMLNode* signal = stored.GetNode("Signal", 0);
  ASSERT_NE(nullptr, signal);
  EXPECT_EQ("4e-3 1e-3", Attr(*signal, "p") + " " + Attr(*signal, "w"));
  // The one-shot width is the switch's own, not the pulse's.
  EXPECT_EQ("100e-3", ParamText(*copy, MC_ONE_SHOT, "Width"));
  // Without a waveform model no signal is written.
  c->SetModel(MC_SWITCH);
  CXMLNode plain("Cmp");
  RoundTrip(*c, false, &plain);
  EXPECT_EQ(nullptr, plain.GetNode("Signal", 0));
}
