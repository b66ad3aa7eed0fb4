// Time-controlled switches: registry rows, the parameters bound to the
// switch's signal, and the waveform kept on the component element; then
// the switches in the engine: fixed states, the SPDT contacts, switches
// following their signal, and their state and initial-condition texts.

#include "elements/ElemS.h"

#include <cmath>
#include <string>
#include <vector>

#include "base/globals.h"
#include "circuit/CirTools.h"
#include "circuit/Cmps.h"
#include "elements/ElemAttrCheck.h"
#include "engine/EngineTestElem.h"
#include "expr/globals.h"
#include "api/CallFrame.h"
#include "doc/Doc.h"
#include "traces/Data.h"
#include "traces/Trace.h"
#include "traces/Traces.h"
#include "traces/Tran.h"
#include "TestData.h"

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

// --- In the engine ------------------------------------------------------------------

namespace {

// Round-off of one elimination of a handful of unknowns of order 10.
constexpr double kSolveTol = 1e-9;

struct SPoint {
  double t;       // s
  double v0, v2;  // V at pins 0 and 2
  double i0, i1;  // A, the contact currents
  int zone;
};

// 5 V on the common pin 1 (node 1); pin 0 (node 2) and, for the SPDT
// switch, pin 2 (node 3) each loaded by 1 kOhm to ground.
class SwitchSim : public EngineFixture {
 protected:
  ~SwitchSim() override {
    if (doc.Calc() != nullptr) doc.Calc()->ClearCalc();
  }
  CElemS* Circuit(const char* key, int model) {
    src_ = Source(0, 1, [](double) { return 5.0; });
    CCmp* c = AddCmp(key, {2, 1});
    Resistor(2, 0, 1000.0);
    if (c->PinCount() > 2) {
      c->SetNode(2, 3);
      Resistor(3, 0, 1000.0);
    }
    c->SetModel(model);
    sw_ = static_cast<CElemS*>(c);
    return sw_;
  }
  void Set(const char* name, const char* text) { SetParam(*sw_, sw_->Model(), name, text); }
  CCalc* Start() {
    CCalc* c = StartRun();
    src_->record = [this](CCalc* calc, CEngineTestElem*) { points.push_back(Now(calc)); };
    return c;
  }
  SPoint Now(CCalc* c) const {
    const double* x = c->X();
    const bool spdt = sw_->PinCount() > 2;
    return {c->Time(), x[sw_->Node(0)], spdt ? x[sw_->Node(2)] : 0.0, x[sw_->GetExtraNode(0)],
            spdt ? x[sw_->GetExtraNode(1)] : 0.0, sw_->State()};
  }
  // Each point's contacts against the closed state the test expects:
  // the closed contact passes 5 V and 5 mA, the open one nothing.
  template <class Closed>
  void ExpectContacts(Closed closed) {
    for (const SPoint& p : points) {
      int expect = 0;
      if (!closed(p.t, expect)) continue;  // at an edge: either state
      EXPECT_EQ(expect, p.zone) << "t=" << p.t;
      EXPECT_NEAR(expect ? 5.0 : 0.0, p.v0, kSolveTol) << "t=" << p.t;
      EXPECT_NEAR(expect ? 5e-3 : 0.0, p.i0, kSolveTol) << "t=" << p.t;
      if (sw_->PinCount() > 2) {
        EXPECT_NEAR(expect ? 0.0 : 5.0, p.v2, kSolveTol) << "t=" << p.t;
        EXPECT_NEAR(expect ? 0.0 : 5e-3, p.i1, kSolveTol) << "t=" << p.t;
      }
    }
  }

  CEngineTestElem* src_ = nullptr;
  CElemS* sw_ = nullptr;
  std::vector<SPoint> points;
};

// Pulse level at t for Delay d, Period p, Width w: high on (d + nP, d + nP +
// w]; false within 1 ns of an edge, where the recorded state may be either.
bool PulseHigh(double t, double d, double p, double w, int& high) {
  const double s = t - d;
  if (s < -1e-9) {
    high = 0;
    return true;
  }
  const double f = s - std::floor(s / p + 1e-9) * p;
  if (std::fabs(f) < 1e-9 || std::fabs(f - w) < 1e-9 || std::fabs(f - p) < 1e-9) return false;
  high = f > 0.0 && f < w ? 1 : 0;
  return true;
}

}  // namespace

TEST_F(SwitchSim, FixedStatesCloseExactlyOneSpdtContact) {
  for (int model : {MC_ON, MC_OFF}) {
    doc.Cmps()->ClearCmps();
    points.clear();
    Circuit("S_S3", model);
    CCalc* c = Start();
    points.push_back(Now(c));
    ASSERT_TRUE(RunUntil(c, 1e-3)) << c->ErrorText().str();
    ExpectContacts([model](double, int& closed) {
      closed = model == MC_ON ? 1 : 0;
      return true;
    });
    EXPECT_EQ("", sw_->GetState().str());
    EXPECT_EQ("", sw_->SaveIC(true).str());
    c->ClearCalc();
  }
}

TEST_F(SwitchSim, PulseClosesWhileHighAndInvertedWhileLow) {
  // Period 1 ms, Width 0.3 ms, Delay 0.2 ms; 50 steps per period.
  for (const char* active : {"On", "Off"}) {
    doc.Cmps()->ClearCmps();
    points.clear();
    doc.TranSettings().step = 2e-5;
    Circuit("S_S3", MC_PULSE);
    Set("Period", "1e-3");
    Set("Width", "0.3e-3");
    Set("Delay", "0.2e-3");
    Set("Active", active);
    CCalc* c = Start();
    points.push_back(Now(c));
    ASSERT_TRUE(RunUntil(c, 3e-3)) << c->ErrorText().str();
    const bool inverted = std::string(active) == "Off";
    int closed_points = 0;
    ExpectContacts([&](double t, int& closed) {
      int high = 0;
      if (!PulseHigh(t, 0.2e-3, 1e-3, 0.3e-3, high)) return false;
      closed = inverted ? 1 - high : high;
      closed_points += closed;
      return true;
    });
    EXPECT_GT(closed_points, 10) << active;
    // The engine lands a point on every edge.
    for (double edge : {0.2e-3, 0.5e-3, 1.2e-3, 1.5e-3, 2.2e-3, 2.5e-3}) {
      bool hit = false;
      for (const SPoint& p : points) hit = hit || std::fabs(p.t - edge) < 1e-12;
      EXPECT_TRUE(hit) << edge;
    }
    c->ClearCalc();
  }
}

TEST_F(SwitchSim, StepClosesAtItsDelayAndSavesTheRestOfIt) {
  doc.TranSettings().step = 1e-4;
  Circuit("S_S", MC_STEP);
  Set("Delay", "0.55e-3");
  CCalc* c = Start();
  points.push_back(Now(c));
  ASSERT_TRUE(RunUntil(c, 0.4e-3)) << c->ErrorText().str();
  for (const SPoint& p : points) EXPECT_EQ(0, p.zone) << p.t;

  // Saved at the present time: a new run would close 0.55 ms - t later.
  const double t = get_csv_hex(sw_->GetState(), "t", -1.0);
  EXPECT_NEAR(c->Time(), t, 1e-15);
  EXPECT_EQ("Delay", sw_->SaveIC(false).str());
  const AnsiString ic = sw_->SaveIC(true);
  EXPECT_NEAR(0.55e-3 - t, get_csv_double(ic, "Delay", -1.0), 1e-12);
  EXPECT_NEAR(0.55e-3 - t, sw_->GetSignal()->delay.Value(), 1e-15);
  c->ClearCalc();

  points.clear();
  c = Start();
  points.push_back(Now(c));
  ASSERT_TRUE(RunUntil(c, 1e-3)) << c->ErrorText().str();
  const double edge = 0.55e-3 - t;
  ExpectContacts([edge](double tp, int& closed) {
    if (std::fabs(tp - edge) < 1e-12) return false;
    closed = tp > edge ? 1 : 0;
    return true;
  });
}

TEST_F(SwitchSim, ListClosesWhileItsValueIsAboveZero) {
  // The value rises from 0 at t = 0, holds 1 and falls back to 0 at
  // 1.5 ms: above zero on (0, 1.5 ms), so closed for every step inside.
  doc.TranSettings().step = 1e-4;
  Circuit("S_S3", MC_LIST);
  Set("List", "0,0, 0.5e-3,1, 1e-3,1, 1.5e-3,0");
  CCalc* c = Start();
  points.push_back(Now(c));
  ASSERT_TRUE(RunUntil(c, 2.5e-3)) << c->ErrorText().str();
  ExpectContacts([](double t, int& closed) {
    closed = t > 1e-12 && t < 1.5e-3 + 1e-12 ? 1 : 0;
    return true;
  });
  EXPECT_EQ(0, points.front().zone);
  EXPECT_EQ(0, points.back().zone);
}

TEST_F(SwitchSim, ClockClosesForOneClockStepEachPeriod) {
  // Period 1 ms, Step 10 us: closed over (n ms, n ms + 10 us] only.
  doc.TranSettings().step = 1e-4;
  Circuit("S_S", MC_CLOCK);
  Set("Period", "1e-3");
  Set("Step", "10e-6");
  CCalc* c = Start();
  ASSERT_TRUE(RunUntil(c, 3.5e-3)) << c->ErrorText().str();
  int pulses = 0;
  for (const SPoint& p : points) {
    const double f = p.t - std::floor(p.t / 1e-3 + 1e-9) * 1e-3;
    const bool pulse_end = std::fabs(f - 10e-6) < 1e-12;
    if (pulse_end) ++pulses;
    EXPECT_EQ(pulse_end ? 1 : 0, p.zone) << "t=" << p.t;
  }
  EXPECT_EQ(4, pulses);  // at 0, 1, 2 and 3 ms
}

TEST_F(SwitchSim, SignalParametersAreChecked) {
  Circuit("S_S", MC_PULSE);
  Set("Period", "0");
  CCalc* c = doc.CreateCalc();
  c->ClearError();
  EXPECT_FALSE(sw_->CheckParams(c));
  EXPECT_NE(std::string::npos, c->ErrorText().str().find(sw_->GetFullName().str() + " : Period <= 0"));
  sw_->SetModel(MC_ON);
  c->ClearError();
  EXPECT_TRUE(sw_->CheckParams(c));
}

TEST(ElemSTools, PulsePeriodScalesWidthAndDelay) {
  auto s = NewOf("S_S");
  SetParam(*s, MC_PULSE, "Period", "1e-3");
  SetParam(*s, MC_PULSE, "Width", "0.4e-3");
  SetParam(*s, MC_PULSE, "Delay", "0.1e-3");
  Tool(*s, 3, 0, true, 2e-3);
  const CSignal* sig = s->GetSignal();
  EXPECT_DOUBLE_EQ(2e-3, sig->period.Value());
  EXPECT_DOUBLE_EQ(0.8e-3, sig->width.Value());
  EXPECT_DOUBLE_EQ(0.2e-3, sig->delay.Value());
  Tool(*s, 1, 0);
  EXPECT_EQ(0.0, sig->delay.Value());
  EXPECT_DOUBLE_EQ(0.8e-3, sig->width.Value());
}

TEST(ElemSVariants, DrawingVariantSwapsTypeOnly) {
  auto s = NewOf("S_S");
  s->SetModel(MC_PULSE);
  EXPECT_EQ("_S_S45 64", Turn(*s, CM_TO45));
  EXPECT_EQ(MC_PULSE, s->Model());
  EXPECT_EQ("S_S 56", Turn(*s, CM_FROM45));
  EXPECT_EQ("S_S3 57", Turn(*NewOf("S_S3"), CM_TO45));
}

// --- In a document --------------------------------------------------------------------

// sd_spdt.qvs: 5 V on the common pin of S1 (S_S3, Pulse: Period 1 ms,
// Width 0.3 ms, Delay 0.2 ms, Active off), R1 on its first contact, R2 on
// its second, each 1 kOhm to ground; traces: R1 and R2 voltages.
TEST(SwitchDoc, SpdtInvertedPulseKeepsExactlyOneContactClosed) {
  CDoc doc;
  ASSERT_EQ(0, doc.OpenDLL(TestData("elements/sd_spdt.qvs").c_str()));
  ASSERT_TRUE(doc.ExecuteDLLSim(3e-3, 2)) << dll_error_text();
  // Samples are stored per trace (a trace may leave out points that lie on
  // a straight line): each trace is checked at its own times, the other
  // read there by interpolation.
  CData* r[2] = {doc.Tran()->Traces().GetAt(0)->GetData(0), doc.Tran()->Traces().GetAt(1)->GetData(0)};
  ASSERT_NE(nullptr, r[0]);
  ASSERT_NE(nullptr, r[1]);
  int checked = 0;
  for (int n = 0; n < 2; ++n) {
    for (int i = 0; i < r[n]->GetSize(); ++i) {
      double t = 0.0, v = 0.0, other = 0.0;
      ASSERT_TRUE(r[n]->GetDataAt(i, &t, &v, false));
      int high = 0;
      if (!PulseHigh(t, 0.2e-3, 1e-3, 0.3e-3, high)) continue;
      ASSERT_TRUE(r[1 - n]->GetDataPoint(t, &other, false));
      // Active off: the first contact is open while the pulse is high.
      const double first = n == 0 ? v : other, second = n == 0 ? other : v;
      EXPECT_NEAR(high ? 0.0 : 5.0, first, kSolveTol) << "t=" << t;
      EXPECT_NEAR(high ? 5.0 : 0.0, second, kSolveTol) << "t=" << t;
      ++checked;
    }
  }
  EXPECT_GT(checked, 100);
  doc.ClearDLLSim();
}
