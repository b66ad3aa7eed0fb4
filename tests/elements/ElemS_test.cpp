// Time-controlled switches: registry rows, the parameters bound to the
// switch's signal, and the waveform kept on the component element.

#include "elements/ElemS.h"

#include "elements/ElemAttrCheck.h"

TEST(ElemSRegistry, TypesAndModels) {
  auto models = [](int extra) {
    std::string e = std::to_string(extra);
    std::string out;
    const char* names[] = {"Off(71", "On(70", "Step(5", "Single(3", "Pulse(4", "Clock(62",
                           "List(9", "File(8"};
    for (const char* n : names) out += std::string(n) + "," + e + ",7) ";
    return out + "SubCir(10,0,1)";
  };
  EXPECT_EQ("S_S 56 2 Switch|" + models(1), RegistryRow("S_S"));
  EXPECT_EQ("S_S3 57 3 SPDT switch|" + models(2), RegistryRow("S_S3"));
  EXPECT_EQ("_S_S45 64 2 Switch|" + models(1), RegistryRow("_S_S45"));
}

TEST(ElemSParams, ListsPerModelBoundToTheSignal) {
  auto s = NewOf("S_S");
  const std::pair<int, const char*> lists[] = {
      {MC_OFF, ""}, {MC_ON, ""}, {MC_STEP, "Delay Active"}, {MC_SINGLE, "Width Delay Active"},
      {MC_PULSE, "Period Width Delay Active"}, {MC_CLOCK, "Period Step Delay Active"},
      {MC_LIST, "List Cycle Delay"}, {MC_FILE, "File Cycle Delay"}};
  for (auto& l : lists) EXPECT_EQ(l.second, ParamNames(*s, l.first)) << l.first;
  SetParam(*s, MC_PULSE, "Period", "2e-3");
  SetParam(*s, MC_PULSE, "Active", "Off");
  CSignal* sig = s->GetSignal();
  ASSERT_NE(nullptr, sig);
  EXPECT_EQ(2e-3, sig->period.Value());
  EXPECT_EQ(0, static_cast<CElemS*>(s.get())->Active());
  // The signal is shared by the models: Clock sees the Pulse's period.
  s->SetModel(MC_CLOCK);
  EXPECT_EQ("2e-3", s->GetParameter("Period")->GetText().str());
  EXPECT_EQ("Off", s->GetParameter("Active")->GetText().str());
  EXPECT_EQ(PK_LIST_SWITCH, (s->SetModel(MC_LIST), s->GetParameter("List")->Kind()));
}

TEST(ElemSDocument, WaveformOnTheElement) {
  auto s = NewOf("S_S3");
  SetParam(*s, MC_CLOCK, "Step", "1e-6");
  SetParam(*s, MC_PULSE, "Width", "=0.25");
  SetParam(*s, MC_PULSE, "Delay", "3");
  SetParam(*s, MC_PULSE, "Active", "Off");
  SetParam(*s, MC_LIST, "List", "0,1, 1e-3,0");
  SetParam(*s, MC_LIST, "Cycle", "Yes");
  SetParam(*s, MC_FILE, "File", "data file.txt");
  s->SetModel(MC_PULSE);
  CXMLNode stored("Cmp");
  auto copy = RoundTrip(*s, false, &stored);
  const char* attrs[][2] = {{"a", "0"},         {"p", "1"},
                            {"w", "250e-3"},    {"cw", "1e-6"},
                            {"d", "3"},         {"list", "0%2c1%2c+1e-3%2c0"},
                            {"file", "data+file.txt"}, {"c", "1"}};
  for (auto& a : attrs) EXPECT_EQ(a[1], Attr(stored, a[0])) << a[0];
  EXPECT_EQ(nullptr, stored.GetNode("Signal", 0));
  EXPECT_EQ(MC_PULSE, copy->Model());
  EXPECT_EQ(AllParams(*s), AllParams(*copy));
}
