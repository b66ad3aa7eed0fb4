// Independent sources: registry rows with the AC-source bit, parameters
// per model (V/I names, signal kinds bound to the owned signal), the
// "Signal" child written for every model but the constant one; then the
// sources in simulated documents against closed forms, the logic
// controlled start, the initial-condition shift and the parameter texts.

#include "elements/ElemV.h"

#include <cmath>
#include <string>
#include <vector>

#include "api/CallFrame.h"
#include "base/globals.h"
#include "circuit/Cmps.h"
#include "doc/Doc.h"
#include "elements/ElemAttrCheck.h"
#include "engine/Calc.h"
#include "expr/globals.h"
#include "traces/Data.h"
#include "traces/Trace.h"
#include "traces/Traces.h"
#include "traces/Tran.h"
#include "TestData.h"

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

// --- Simulated documents -----------------------------------------------------------

namespace {

constexpr double kPi = 3.14159265358979323846;

struct SPoint {
  double t, v;
};

// A document from tests/data/elements, opened; the tests run it through
// the document's own simulation control and read its first trace.
class SourceDoc : public ::testing::Test {
 protected:
  void Open(const char* name) {
    ASSERT_EQ(0, doc_.OpenDLL(TestData(std::string("elements/") + name).c_str())) << name;
  }
  void TearDown() override { doc_.ClearDLLSim(); }
  CCmp* Cmp(const char* name) { return doc_.Cmps()->GetCmp(AnsiString(name)); }
  // Voltage of a component's pin while the run is on (engine numbering).
  double V(const char* name, int pin) {
    CCmp* c = Cmp(name);
    return doc_.Calc()->X()[c->Node(pin)];
  }
  std::vector<SPoint> Points(int trace = 0) {
    std::vector<SPoint> out;
    CData* d = doc_.Tran()->Traces().GetAt(trace)->GetData(0);
    if (d == nullptr) return out;
    for (int i = 0; i < d->GetSize(); ++i) {
      SPoint p{};
      d->GetDataAt(i, &p.t, &p.v, false);
      out.push_back(p);
    }
    return out;
  }
  void Run(double interval) {
    ASSERT_TRUE(doc_.ExecuteDLLSim(interval, 2)) << dll_error_text();
  }

  CDoc doc_;
};

// The trapezoid of sig_pulse.qvs: 0 to 10 V, Rise 1 ms, Width 5 ms (from
// the start of the rise), Fall 1 ms, Period 10 ms, no delay.
double PulseAt(double t) {
  const double s = std::fmod(t, 10e-3);
  if (s <= 1e-3) return 10.0 * s / 1e-3;
  if (s <= 5e-3) return 10.0;
  if (s <= 6e-3) return 10.0 - 10.0 * (s - 5e-3) / 1e-3;
  return 0.0;
}

}  // namespace

// 10 V through 1 kOhm into 2 kOhm + 2 kOhm; 2 mA into 1.5 kOhm.
TEST_F(SourceDoc, ConstantSourcesIntoDividers) {
  Open("src_divider.qvs");
  ASSERT_TRUE(doc_.StartDLLSim()) << dll_error_text();
  EXPECT_NEAR(10.0, V("V1", 1), 1e-12);
  EXPECT_NEAR(8.0, V("R2", 0), 1e-12);
  EXPECT_NEAR(4.0, V("R3", 0), 1e-12);
  // The voltage source's unknown carries the 2 mA it delivers.
  EXPECT_NEAR(2e-3, doc_.Calc()->X()[Cmp("V1")->FirstExtra()], 1e-15);
  // The current source drives its 2 mA into the node of its pin 1.
  EXPECT_NEAR(3.0, V("R4", 0), 1e-12);
  EXPECT_NEAR(2e-3, doc_.Calc()->X()[Cmp("I1")->FirstExtra()], 1e-15);
  Run(1e-3);
  EXPECT_NEAR(8.0, V("R2", 0), 1e-12);
  EXPECT_NEAR(3.0, V("R4", 0), 1e-12);
}

TEST_F(SourceDoc, PulseEdgesAreRecordedAtTheirTimes) {
  Open("sig_pulse.qvs");
  Run(25e-3);
  const std::vector<SPoint> p = Points();
  ASSERT_GT(p.size(), 50u);
  for (const SPoint& x : p) EXPECT_NEAR(PulseAt(x.t), x.v, 1e-9) << "t=" << x.t;
  // The 3e-4 s step does not divide the edges: the engine lands on them.
  for (double edge : {1e-3, 5e-3, 6e-3, 10e-3, 11e-3, 15e-3, 16e-3, 21e-3}) {
    bool found = false;
    for (const SPoint& x : p) {
      if (CompareValues(x.t, edge) != 0) continue;
      found = true;
      EXPECT_NEAR(PulseAt(edge), x.v, 1e-9) << edge;
    }
    EXPECT_TRUE(found) << "no point at " << edge;
  }
  // Steps within the rise keep to a quarter of it.
  for (std::size_t i = 1; i < p.size(); ++i) {
    if (p[i].t > 10e-3 && p[i].t <= 11e-3 + 1e-12) {
      EXPECT_LE(p[i].t - p[i - 1].t, 0.25e-3 + 1e-12);
    }
  }
}

// Sin: 1 V offset, 5 V amplitude, 1 ms period, 30 degrees, decay 1000/s,
// delay 0.25 ms; the document's step of 0.1 ms is above Period / 16.
TEST_F(SourceDoc, SineSamplesFollowSin) {
  Open("sig_sine.qvs");
  Run(3e-3);
  const std::vector<SPoint> p = Points();
  ASSERT_GT(p.size(), 40u);
  const double D = 0.25e-3;
  for (std::size_t i = 0; i < p.size(); ++i) {
    const double s = p[i].t - D;
    const double expected =
        CompareValues(p[i].t, D) <= 0
            ? 1.0
            : 1.0 + 5.0 * std::sin(2 * kPi * s / 1e-3 + kPi / 6) * std::exp(-1000 * s);
    EXPECT_NEAR(expected, p[i].v, 1e-9) << "t=" << p[i].t;
    if (i > 0 && p[i - 1].t >= D) {
      EXPECT_LE(p[i].t - p[i - 1].t, 1e-3 / 16 * (1 + 1e-9));
    }
  }
}

TEST_F(SourceDoc, LogicControlledPulseStartsAtTheCrossing) {
  // The control ramps 0 to 5 V from 3 ms to 3.1 ms and crosses the 2.5 V
  // threshold at 3.05 ms; the pulse then waits its Delay of 1 ms.
  Open("src_triggered.qvs");
  Run(8e-3);
  auto* v3 = static_cast<CElemV*>(Cmp("V3"));
  ASSERT_TRUE(v3->Triggered());
  const double t0 = v3->TriggerTime();
  // Found by halving the step, taken at the switching step after it.
  EXPECT_NEAR(3.05e-3, t0, 2e-5);
  EXPECT_GE(t0, 3.05e-3 - 1e-9);
  const std::vector<SPoint> p = Points();
  int high = 0;
  for (const SPoint& x : p) {
    const double s = x.t - t0 - 1e-3;
    const double expected = CompareValues(x.t, t0 + 1e-3) > 0 && CompareValues(s, 2e-3) <= 0 ? 10.0 : 0.0;
    EXPECT_NEAR(expected, x.v, 1e-9) << "t=" << x.t;
    high += expected > 0.0;
  }
  EXPECT_GT(high, 10);
}

TEST_F(SourceDoc, OneShotLastsItsWidthWhileTheControlStaysHigh) {
  // The control crosses 2.5 V at 2.05 ms and stays at 5 V; Width 1 ms.
  Open("src_one_shot.qvs");
  Run(5e-3);
  auto* v3 = static_cast<CElemV*>(Cmp("V3"));
  EXPECT_FALSE(v3->OneShotActive());
  EXPECT_EQ(1, v3->ControlState());
  const double t0 = v3->EndTime() - 1e-3;
  EXPECT_NEAR(2.05e-3, t0, 2e-5);
  int high = 0;
  for (const SPoint& x : Points()) {
    const bool on = CompareValues(x.t, t0) > 0 && CompareValues(x.t, t0 + 1e-3) <= 0;
    EXPECT_NEAR(on ? 5.0 : 0.0, x.v, 1e-9) << "t=" << x.t;
    high += on;
  }
  EXPECT_GT(high, 4);
}

// Clock: 0 to 5 V, Period 1 ms, Delay 0.5 ms, pulses one 1 us step long;
// the document's step is 0.1 ms.
TEST_F(SourceDoc, ClockPulsesLastOneStep) {
  Open("src_clock.qvs");
  Run(3.2e-3);
  std::vector<double> high;
  for (const SPoint& x : Points()) {
    if (x.v == 0.0) continue;
    EXPECT_NEAR(5.0, x.v, 1e-9) << "t=" << x.t;
    high.push_back(x.t);
  }
  ASSERT_EQ(3u, high.size());
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(0.5e-3 + k * 1e-3 + 1e-6, high[static_cast<std::size_t>(k)], 1e-15);
}

// Run 1 stops at 25 ms in the high part of cycle 3 (5 ms into it). The
// initial condition moves Delay to -5 ms, so run 2 starts at that phase.
TEST_F(SourceDoc, SaveICContinuesThePulse) {
  Open("src_pulse_ic.qvs");
  Run(25e-3);
  EXPECT_NEAR(10.0, V("V1", 1), 1e-9);
  CCmp* v1 = Cmp("V1");
  doc_.SaveDLLIC();
  EXPECT_NEAR(25e-3, get_csv_hex(v1->GetState(), "t", 0.0), 1e-15);
  EXPECT_NEAR(-5e-3, v1->GetSignal()->delay.Value(), 1e-15);
  EXPECT_EQ("Delay", v1->SaveIC(false).str());
  doc_.ClearDLLSim();
  ASSERT_TRUE(doc_.StartDLLSim()) << dll_error_text();
  EXPECT_NEAR(10.0, V("V1", 1), 1e-9);
  // 8.5 ms into the cycle: half way down the 1 ms fall after Width 8 ms.
  Run(3.5e-3);
  EXPECT_NEAR(5.0, V("V1", 1), 1e-9);
  Run(1.5e-3);
  EXPECT_NEAR(0.0, V("V1", 1), 1e-9);
  Run(1e-3);  // the next cycle's rise, 1 ms long, is complete
  EXPECT_NEAR(10.0, V("V1", 1), 1e-9);
}

// --- Parameter texts --------------------------------------------------------------

TEST(ElemVCheck, MessagesPerModel) {
  CDoc doc;
  CCalc* calc = doc.CreateCalc();
  auto check = [calc](CCmp& c) {
    calc->ClearError();
    EXPECT_FALSE(c.CheckParams(calc));
    return calc->ErrorText().str();
  };
  auto i = NewOf("I_CI");
  i->SetName("I1");
  i->SetModel(MC_V);
  static_cast<CElemV*>(i.get())->Value().SetVal(INFINITY);
  EXPECT_EQ("I1 : V = infinite\n", check(*i));
  static_cast<CElemV*>(i.get())->Value().SetError(true);
  EXPECT_EQ("I1 : V : formula error\n", check(*i));
  i->SetModel(MC_ONE_SHOT);
  CSignal& s = *i->GetSignal();
  s.u0.SetError(true);
  s.u1.SetVal(INFINITY);
  s.width.SetVal(-1);
  EXPECT_EQ("I1 : I0 : formula error\nI1 : I1 = infinite\nI1 : Width < 0\n", check(*i));
  auto v = NewOf("V_CV");
  v->SetName("V7");
  v->SetModel(MC_ONE_SHOT);
  v->GetSignal()->width.SetError(true);
  EXPECT_EQ("V7 : Width : formula error\n", check(*v));
  v->SetModel(MC_STEP);
  v->GetSignal()->rise.SetVal(-1);
  EXPECT_EQ("V7 : Rise < 0\n", check(*v));
}
