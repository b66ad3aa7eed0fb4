// Independent sources: registry rows with the AC-source bit, parameters
// per model (V/I names, signal kinds bound to the owned signal), and the
// "Signal" child written for every model but the constant one.

#include "elements/ElemV.h"

#include "elements/ElemAttrCheck.h"

namespace {

// The signal models of a source in table order, with extra 1 and flags
// V, I, P and the AC-source bit; then SubCir.
std::string SignalModels() {
  std::string out;
  const char* names[] = {"Step(5",     "Single(3", "Pulse(4", "Clock(62", "Sin(6",  "Sweep(73",
                         "Function(7", "List(9",   "File(8",  "Trace(54"};
  for (const char* n : names) out += std::string(" ") + n + ",1,39)";
  return out + " SubCir(10,0,1)";
}

}  // namespace

TEST(ElemVRegistry, TypesAndModels) {
  EXPECT_EQ("V_V 69 2 Voltage source|V(16,1,39)" + SignalModels(), RegistryRow("V_V"));
  EXPECT_EQ("V_CV 70 3 Logic controlled\\nvoltage source|V(16,1,39) One-shot(68,1,39)" +
                SignalModels(),
            RegistryRow("V_CV"));
  EXPECT_EQ("I_I 31 2 Current source|I(16,1,39)" + SignalModels(), RegistryRow("I_I"));
  EXPECT_EQ("I_CI 32 3 Logic controlled\\ncurrent source|I(16,1,39) One-shot(68,1,39)" +
                SignalModels(),
            RegistryRow("I_CI"));
}

TEST(ElemVParams, NamesFollowTheKindOfSource) {
  auto v = NewOf("V_CV");
  auto i = NewOf("I_I");
  const std::pair<int, const char*> v_lists[] = {
      {MC_V, "V"},
      {MC_ONE_SHOT, "V1 V0 Width"},
      {MC_STEP, "V1 V0 Slope Rise Delay"},
      {MC_SINGLE, "V1 V0 Width Slope Rise Fall Delay"},
      {MC_PULSE, "V1 V0 Period Width Slope Rise Fall Delay"},
      {MC_CLOCK, "V1 V0 Period Step Delay"},
      {MC_SIN, "V1 V0 Period Phase Decay Delay"},
      {MC_SWEEP, "V1 V0 Width F0 F1 Type Delay"},
      {MC_FUNCTION, "f"},
      {MC_LIST, "List Cycle Delay"},
      {MC_FILE, "File Cycle Delay"},
      {MC_TRACE, "Trace Cycle Delay"},
      // the subcircuit's own list: its file, a label per pin, command, IC
      {MC_SUBCIR, "File Pin1 Pin2 Pin3 Cmd IC"}};
  for (auto& l : v_lists) EXPECT_EQ(l.second, ParamNames(*v, l.first)) << l.first;
  EXPECT_EQ("I", ParamNames(*i, MC_V));
  EXPECT_EQ("I1 I0 Period Phase Decay Delay", ParamNames(*i, MC_SIN));
  i->SetModel(MC_PULSE);
  EXPECT_STREQ("A", i->GetParameter("I1")->Unit());
  EXPECT_EQ("Linear", i->GetParameter("Slope")->GetText().str());
  // One signal behind every model: One-shot's V1 is the Pulse's V1.
  SetParam(*v, MC_ONE_SHOT, "V1", "3.3");
  v->SetModel(MC_PULSE);
  EXPECT_EQ("3.3", v->GetParameter("V1")->GetText().str());
  EXPECT_EQ(3.3, v->GetSignal()->u1.Value());
  SetParam(*v, MC_PULSE, "Slope", "Exp");
  EXPECT_EQ(CSignal::kSlopeExp, v->GetSignal()->slope);
  SetParam(*v, MC_SWEEP, "Type", "Exp");
  EXPECT_EQ(CSignal::kSweepExp, v->GetSignal()->sweep_type);
}

TEST(ElemVDocument, ValueAndSignalChild) {
  auto v = NewOf("V_V");
  SetParam(*v, MC_V, "V", "12");
  CXMLNode constant("Cmp");
  RoundTrip(*v, false, &constant);
  EXPECT_EQ("12", Attr(constant, "v"));
  EXPECT_EQ(nullptr, constant.GetNode("Signal", 0));

  SetParam(*v, MC_PULSE, "Period", "1e-3");
  SetParam(*v, MC_PULSE, "Fall", "=1e-6*2");
  SetParam(*v, MC_FUNCTION, "f", "5*sin(t)");
  SetParam(*v, MC_PULSE, "V0", "-1");
  CXMLNode stored("Cmp");
  auto copy = RoundTrip(*v, false, &stored);
  CXMLNode* sig = stored.GetNode("Signal", 0);
  ASSERT_NE(nullptr, sig);
  EXPECT_EQ("12", Attr(stored, "v"));
  EXPECT_EQ("1e-3", Attr(*sig, "p"));
  EXPECT_EQ("2e-6", Attr(*sig, "f"));
  EXPECT_EQ("%3d1e-6*2", Attr(*sig, "f_str"));
  EXPECT_EQ("-1", Attr(*sig, "u0"));
  EXPECT_EQ("5*sin(t)", Attr(*sig, "function"));
  EXPECT_EQ(MC_PULSE, copy->Model());  // the model last set
  EXPECT_EQ(AllParams(*v), AllParams(*copy));
  EXPECT_EQ(v->GetSignal()->function.str(), copy->GetSignal()->function.str());
}
