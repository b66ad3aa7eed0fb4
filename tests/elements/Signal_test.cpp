// The signal generator: its data (defaults, the "Signal" element, the
// binding of descriptors by name), the waveform of every kind against its
// closed form, the breakpoints it hands the engine, the Delay shift of an
// initial condition, and the parameter and table messages.

#include "elements/Signal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <vector>

#include "base/globals.h"
#include "circuit/ElemSet.h"
#include "circuit/Param.h"
#include "doc/Doc.h"
#include "doc/xml.h"
#include "elements/ElemV.h"
#include "elements/PWL.h"
#include "engine/Calc.h"
#include "expr/Formula.h"
#include "traces/Data.h"
#include "traces/Trace.h"
#include "traces/Traces.h"
#include "traces/Tran.h"
#include "TestData.h"

namespace {

std::string Attr(const CXMLNode& node, const char* name) {
  return node.AttributeExists(name) ? node.GetAttribute(name, "").str() : "<absent>";
}

}  // namespace

TEST(Signal, DefaultsAsStored) {
  CSignal s;
  CXMLNode parent("Cmp");
  s.SerializeSignal(&parent);
  CXMLNode* n = parent.GetNode("Signal", 0);
  ASSERT_NE(nullptr, n);
  const char* expected[][2] = {{"u0", "0"},     {"u1", "10"},  {"p", "1"},     {"w", "500e-3"},
                               {"cw", "0"},     {"s", "0"},    {"r", "0"},     {"f", "0"},
                               {"d", "0"},      {"ph", "0"},   {"dec", "0"},   {"list", "0,0"},
                               {"function", "10"}, {"file", ""}, {"trace", ""}, {"c", "0"},
                               {"type", "0"},   {"f0", "0"},   {"f1", "0"}};
  ASSERT_EQ(19, n->AttributeCount());
  for (int i = 0; i < 19; ++i) {
    AnsiString name, value;
    n->GetAttribute(i, &name, &value);
    EXPECT_EQ(expected[i][0], name.str());  // names and their order
    EXPECT_EQ(expected[i][1], value.str()) << expected[i][0];
  }
}

TEST(Signal, EveryFieldRoundTrips) {
  CSignal s;
  s.u0.SetVal(-2);
  s.u1.SetText("=3*2");
  s.u1.SetValue(6);
  s.period.SetVal(1e-3);
  s.width.SetVal(2e-4);
  s.clock_step.SetVal(1e-7);
  s.slope = CSignal::kSlopeCos;
  s.rise.SetVal(1e-5);
  s.fall.SetVal(2e-5);
  s.delay.SetVal(-5e-3);
  s.phase.SetVal(90);
  s.decay.SetVal(3);
  s.list = "0,1,1e-3,2";
  s.function = "sin(t)";
  s.file = "wave.txt";
  s.trace = "V(R1)";
  s.cycle = 1;
  s.sweep_type = CSignal::kSweepExp;
  s.f0.SetVal(10);
  s.f1.SetVal(1e4);
  CXMLNode parent("Cmp");
  s.SerializeSignal(&parent);
  AnsiString text;
  parent.WriteToString(text);
  CXMLNode loaded("Cmp");
  ASSERT_TRUE(loaded.ReadFromText(text, "Cmp"));
  CSignal t;
  t.SerializeSignal(&loaded);
  const CFormula* a[] = {&s.u0, &s.u1, &s.period, &s.width, &s.clock_step, &s.rise, &s.fall,
                         &s.delay, &s.phase, &s.decay, &s.f0, &s.f1};
  const CFormula* b[] = {&t.u0, &t.u1, &t.period, &t.width, &t.clock_step, &t.rise, &t.fall,
                         &t.delay, &t.phase, &t.decay, &t.f0, &t.f1};
  for (int i = 0; i < 12; ++i) {
    EXPECT_DOUBLE_EQ(a[i]->Value(), b[i]->Value()) << i;
    EXPECT_EQ(a[i]->Text().str(), b[i]->Text().str()) << i;
  }
  EXPECT_EQ(s.slope, t.slope);
  EXPECT_EQ(s.cycle, t.cycle);
  EXPECT_EQ(s.sweep_type, t.sweep_type);
  EXPECT_EQ(s.list.str(), t.list.str());
  EXPECT_EQ(s.function.str(), t.function.str());
  EXPECT_EQ(s.file.str(), t.file.str());
  EXPECT_EQ(s.trace.str(), t.trace.str());
  EXPECT_EQ("%3d3*2", Attr(*parent.GetNode("Signal", 0), "u1_str"));

  // Without a "Signal" element nothing changes.
  CXMLNode empty("Cmp");
  empty.SetStore(false);
  t.SerializeSignal(&empty);
  EXPECT_EQ(6.0, t.u1.Value());
}

TEST(Signal, BindsDescriptorsByName) {
  CSignal s;
  CParam params[] = {CParam(PK_FORMULA, "I1", "A"),   CParam(PK_FORMULA, "V0", "V"),
                     CParam(PK_FORMULA, "F1", "Hz"),  CParam(PK_FORMULA, "Step", "s"),
                     CParam(PK_CHOICE, "Slope", ""),  CParam(PK_YES_NO, "Cycle", ""),
                     CParam(PK_FUNCTION, "f", ""),    CParam(PK_FORMULA, "Gain", ""),
                     CParam()};
  s.BindParams(params);
  EXPECT_EQ(&s.u1, params[0].BoundFormula());
  EXPECT_EQ(&s.u0, params[1].BoundFormula());
  EXPECT_EQ(&s.f1, params[2].BoundFormula());  // a frequency, not a level
  EXPECT_EQ(&s.clock_step, params[3].BoundFormula());
  EXPECT_EQ(&s.slope, params[4].BoundInt());
  EXPECT_EQ(&s.cycle, params[5].BoundInt());
  EXPECT_EQ(&s.function, params[6].BoundText());
  EXPECT_EQ(nullptr, params[7].BoundFormula());  // not a signal parameter
  s.slope = 2;
  EXPECT_EQ("Exp", params[4].GetText().str());
  EXPECT_EQ(nullptr, s.GetSignalParams(MC_V, 'V'));
  EXPECT_FALSE(CSignal::IsSignalModel(MC_ONE_SHOT));
  EXPECT_TRUE(CSignal::IsSignalModel(MC_SWEEP));
}

TEST(PWL, TableAttributesUnderAnyName) {
  CPWL t(nullptr, "1, 0.5, 2");
  t.file = "a b.txt";
  t.mode = 3;
  CXMLNode node("Cmp");
  t.SerializePWL(&node, "pwli");
  EXPECT_EQ("1, 0.5, 2", Attr(node, "pwli"));
  EXPECT_EQ("a+b.txt", Attr(node, "pwlif"));
  EXPECT_EQ("3", Attr(node, "pwlim"));
  node.SetStore(false);
  CPWL u;
  u.SerializePWL(&node, "pwli");
  EXPECT_EQ("1, 0.5, 2", u.text.str());
  EXPECT_EQ("a b.txt", u.file.str());
  EXPECT_EQ(3, u.mode);
}

// --- Waveforms ------------------------------------------------------------------

namespace {

constexpr double kPi = 3.14159265358979323846;

// A voltage source V1 owning the signal under test, not in a document.
class SignalRun : public ::testing::Test {
 protected:
  SignalRun() : src_(&CElemV::m_elemtype[0]) { src_.SetName("V1"); }
  CSignal& Sig() { return *src_.GetSignal(); }
  // Model `model`, built and started at engine time `origin`.
  void Start(int model, double origin = 0.0) {
    src_.SetModel(model);
    ASSERT_TRUE(Sig().CreateSignal(nullptr));
    Sig().InitSignal(nullptr, origin, true);
  }
  double At(double t) {
    double v = std::nan("");
    EXPECT_TRUE(Sig().GetSignalValue(nullptr, t, &v)) << t;
    return v;
  }
  // Breakpoints as the engine would meet them: each interval starts at the
  // previous breakpoint. Returns them up to `until`, with the step limit
  // asked for in each interval.
  std::vector<std::pair<double, double>> Breakpoints(double t, double until) {
    std::vector<std::pair<double, double>> out;
    for (int guard = 0; guard < 100; ++guard) {
      double next = std::nan(""), max_step = 1.0, first = 0.0;
      Sig().CalcSignalNewStep(nullptr, t, next, max_step, first);
      if (std::isnan(next) || next > until) break;
      EXPECT_GT(next, t) << "a breakpoint must lie ahead";
      out.emplace_back(next, max_step);
      t = next;
    }
    return out;
  }
  void Pulse(double v1, double v0, double period, double width, double rise, double fall,
             int slope = CSignal::kSlopeLinear) {
    Sig().u1.SetVal(v1);
    Sig().u0.SetVal(v0);
    Sig().period.SetVal(period);
    Sig().width.SetVal(width);
    Sig().rise.SetVal(rise);
    Sig().fall.SetVal(fall);
    Sig().slope = slope;
  }

  CElemV src_;
};

}  // namespace

// Rise 1 ms, Width 5 ms, Fall 1 ms, Period 10 ms, 0 to 10 V.
TEST_F(SignalRun, LinearPulseFollowsItsTrapezoid) {
  Pulse(10, 0, 10e-3, 5e-3, 1e-3, 1e-3);
  Start(MC_PULSE);
  const double expected[][2] = {{0.0, 0.0},     {0.5e-3, 5.0},  {1e-3, 10.0},  {3e-3, 10.0},
                                {5e-3, 10.0},   {5.25e-3, 7.5}, {6e-3, 0.0},   {9.9e-3, 0.0},
                                {10e-3, 0.0},   {10.5e-3, 5.0}, {25.5e-3, 5.0}, {35e-3, 10.0}};
  for (const auto& e : expected) EXPECT_NEAR(e[1], At(e[0]), 1e-9) << "t=" << e[0];
}

TEST_F(SignalRun, PulseEdgesAreBreakpointsWithStepLimits) {
  Pulse(10, 0, 10e-3, 5e-3, 1e-3, 1e-3);
  Start(MC_PULSE);
  const auto b = Breakpoints(0.0, 21e-3);
  const double times[] = {1e-3, 5e-3, 6e-3, 10e-3, 11e-3, 15e-3, 16e-3, 20e-3, 21e-3};
  ASSERT_EQ(std::size(times), b.size());
  for (std::size_t i = 0; i < b.size(); ++i) EXPECT_NEAR(times[i], b[i].first, 1e-15) << i;
  // A quarter of the rise, of the flat part (Width - Rise) and of the fall.
  EXPECT_DOUBLE_EQ(0.25e-3, b[0].second);
  EXPECT_DOUBLE_EQ(1e-3, b[1].second);
  EXPECT_DOUBLE_EQ(0.25e-3, b[2].second);
}

TEST_F(SignalRun, PulseStartedLateRunsOnLocalTime) {
  Pulse(10, 0, 10e-3, 5e-3, 1e-3, 1e-3);
  Sig().delay.SetVal(1e-3);
  Start(MC_PULSE, 3e-3);  // a trigger at 3 ms
  EXPECT_DOUBLE_EQ(0.0, At(4e-3));
  EXPECT_NEAR(5.0, At(4.5e-3), 1e-9);
  const auto b = Breakpoints(3e-3, 10e-3);
  ASSERT_GE(b.size(), 2u);
  EXPECT_NEAR(4e-3, b[0].first, 1e-15);  // 3 ms + Delay
  EXPECT_NEAR(5e-3, b[1].first, 1e-15);
}

TEST_F(SignalRun, ExpPulseMeetsItsLevelsExactly) {
  Pulse(10, 2, 10e-3, 4e-3, 1e-3, 2e-3, CSignal::kSlopeExp);
  Start(MC_PULSE);
  EXPECT_NEAR(10.0, At(4e-3), 1e-12);   // V1 exactly at the end of Width
  EXPECT_NEAR(2.0, At(10e-3), 1e-12);   // V0 exactly at the end of the period
  const double norm = 1.0 - std::exp(-4.0);
  EXPECT_NEAR(2.0 + 8.0 * (1.0 - std::exp(-1.0)) / norm, At(1e-3), 1e-12);
  const double fnorm = 1.0 - std::exp(-3.0);
  EXPECT_NEAR(10.0 - 8.0 * (1.0 - std::exp(-1.0)) / fnorm, At(6e-3), 1e-12);
  // A Single falls without normalisation, towards V0 for good.
  src_.SetModel(MC_SINGLE);
  ASSERT_TRUE(Sig().CreateSignal(nullptr));
  EXPECT_NEAR(10.0 - 8.0 * (1.0 - std::exp(-1.0)), At(6e-3), 1e-12);
  EXPECT_NEAR(2.0, At(100e-3), 1e-12);
}

TEST_F(SignalRun, CosEdgesAndSingleAndInfiniteForms) {
  Pulse(4, 0, 10e-3, 5e-3, 2e-3, 2e-3, CSignal::kSlopeCos);
  Start(MC_SINGLE);
  EXPECT_NEAR(2.0, At(1e-3), 1e-12);  // half way up
  EXPECT_NEAR(4.0 * (1.0 - std::cos(kPi * 0.25)) / 2.0, At(0.5e-3), 1e-12);
  EXPECT_NEAR(2.0, At(6e-3), 1e-12);  // half way down
  EXPECT_EQ(0.0, At(12.5e-3));        // a Single does not come back
  // An infinite Period makes a Pulse a Single, an infinite Width a Step.
  Sig().slope = CSignal::kSlopeLinear;
  Sig().period.SetVal(INFINITY);
  Start(MC_PULSE);
  EXPECT_EQ(MC_SINGLE, Sig().Kind());
  EXPECT_EQ(0.0, At(11e-3));
  Sig().width.SetVal(INFINITY);
  Start(MC_PULSE);
  EXPECT_EQ(MC_STEP, Sig().Kind());
  EXPECT_EQ(4.0, At(1.0));
}

TEST_F(SignalRun, StepShapes) {
  Pulse(5, 1, 1, 1, 2e-3, 0);
  Sig().delay.SetVal(1e-3);
  Start(MC_STEP);
  EXPECT_EQ(1.0, At(1e-3));
  EXPECT_NEAR(3.0, At(2e-3), 1e-12);
  EXPECT_EQ(5.0, At(4e-3));
  const auto b = Breakpoints(0.0, 1.0);
  ASSERT_EQ(2u, b.size());
  EXPECT_NEAR(1e-3, b[0].first, 1e-18);
  EXPECT_NEAR(3e-3, b[1].first, 1e-18);
  EXPECT_DOUBLE_EQ(0.5e-3, b[1].second);
  Sig().slope = CSignal::kSlopeExp;
  Start(MC_STEP);
  EXPECT_NEAR(5.0 - 4.0 * std::exp(-1.0), At(3e-3), 1e-12);
  Sig().rise.SetVal(0.0);
  EXPECT_EQ(5.0, At(1.0001e-3));  // no rise: V1 at once
}

TEST_F(SignalRun, SineWithDelayPhaseAndDecay) {
  Sig().u0.SetVal(1);
  Sig().u1.SetVal(5);
  Sig().period.SetVal(1e-3);
  Sig().phase.SetVal(90);
  Sig().decay.SetVal(100);
  Sig().delay.SetVal(0.5e-3);
  Start(MC_SIN);
  EXPECT_EQ(1.0, At(0.2e-3));
  EXPECT_EQ(1.0, At(0.5e-3));  // the start is an edge: V0 at its instant
  for (double t = 0.5e-3 + 0.37e-4; t < 5e-3; t += 0.37e-4) {
    const double s = t - 0.5e-3;
    const double expected = 1.0 + 5.0 * std::sin(2 * kPi * s / 1e-3 + kPi / 2) * std::exp(-100 * s);
    EXPECT_NEAR(expected, At(t), 1e-9) << t;
  }
  double next = std::nan(""), max_step = 1.0, first = 0.0;
  Sig().CalcSignalNewStep(nullptr, 1e-3, next, max_step, first);
  EXPECT_TRUE(std::isnan(next));
  EXPECT_DOUBLE_EQ(1e-3 / 16, max_step);
}

TEST_F(SignalRun, SinePeriodChangeKeepsTheValueContinuous) {
  Sig().u0.SetVal(0);
  Sig().u1.SetVal(1);
  Sig().period.SetVal(1e-3);
  Start(MC_SIN);
  double t = 0.0, before = 0.0;
  for (; t < 0.3e-3; t += 1e-5) before = At(t);
  Sig().period.SetVal(2e-3);
  const double after = At(t);
  // One 10 us step later the phase has moved by 10 us of the new period.
  EXPECT_NEAR(std::sin(2 * kPi * (t - 1e-5) / 1e-3), before, 1e-9);
  EXPECT_NEAR(std::sin(2 * kPi * ((t - 1e-5) / 1e-3 + 1e-5 / 2e-3)), after, 1e-9);
}

TEST_F(SignalRun, SweepPhaseAndWindow) {
  Sig().u0.SetVal(0.5);
  Sig().u1.SetVal(2);
  Sig().width.SetVal(1e-2);
  Sig().f0.SetVal(100);
  Sig().f1.SetVal(1100);
  Sig().delay.SetVal(1e-3);
  Start(MC_SWEEP);
  EXPECT_EQ(0.5, At(0.5e-3));
  for (double s : {1e-4, 2.3e-3, 7.7e-3}) {
    const double cyc = 100 * s + s * s * 0.5 / 1e-2 * 1000;
    EXPECT_NEAR(0.5 + 2 * std::sin(2 * kPi * cyc), At(1e-3 + s), 1e-9) << s;
  }
  EXPECT_EQ(0.5, At(11.5e-3));
  Sig().sweep_type = CSignal::kSweepExp;
  const double k = 1e-2 / std::log(11.0);
  const double s = 4e-3;
  EXPECT_NEAR(0.5 + 2 * std::sin(2 * kPi * 100 * k * (std::exp(s / k) - 1)), At(1e-3 + s), 1e-9);
  // Every step inside the window is at most 1/16 of the present period.
  double t = 1e-3;
  for (int i = 0; i < 200; ++i) {
    double next = std::nan(""), max_step = 1.0, first = 0.0;
    Sig().CalcSignalNewStep(nullptr, t, next, max_step, first);
    if (std::isnan(next)) break;
    const double f_end = 100 * std::pow(11.0, (next - 1e-3) / 1e-2);
    EXPECT_LE(max_step, 1.0 / (16 * f_end) * (1 + 1e-12)) << t;
    t = next;
  }
  EXPECT_NEAR(11e-3, t, 1e-15);  // the window end is a breakpoint
}

TEST_F(SignalRun, ListHoldsOrCycles) {
  Sig().list = "0, 0, 1, 1";
  Start(MC_LIST);
  EXPECT_NEAR(0.25, At(0.25), 1e-12);
  EXPECT_EQ(1.0, At(1.5));
  EXPECT_EQ(1.0, At(7.0));
  Sig().cycle = 1;
  Start(MC_LIST);
  EXPECT_NEAR(0.5, At(1.5), 1e-12);
  EXPECT_NEAR(0.25, At(7.25), 1e-12);
  const auto b = Breakpoints(0.0, 3.0);
  ASSERT_EQ(3u, b.size());
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(i + 1.0, b[static_cast<std::size_t>(i)].first, 1e-12);
  EXPECT_DOUBLE_EQ(0.25, b[0].second);
}

TEST_F(SignalRun, ListStepsAtRepeatedTimesAndEvaluatesItems) {
  Sig().list = "0, 0, 1m, 0, 1m, 2*2, 3m, 4, 5";  // odd last item ignored
  Sig().delay.SetVal(1e-3);
  Start(MC_LIST);
  ASSERT_EQ(4u, Sig().table_t.size());
  EXPECT_EQ(0.0, At(2e-3));  // the step happens just after its time
  EXPECT_EQ(4.0, At(2.001e-3));
  EXPECT_EQ(4.0, At(9e-3));
  EXPECT_EQ(0.0, At(0.0));  // before Delay: the first value
}

TEST_F(SignalRun, ClockGoesHighAtEachPeriodStart) {
  Sig().u1.SetVal(5);
  Sig().u0.SetVal(0);
  Sig().period.SetVal(1e-3);
  Sig().clock_step.SetVal(1e-6);
  Sig().delay.SetVal(0.5e-3);
  Start(MC_CLOCK);
  double next = std::nan(""), max_step = 1.0, first = 0.0;
  Sig().CalcSignalNewStep(nullptr, 0.0, next, max_step, first);
  EXPECT_NEAR(0.5e-3, next, 1e-18);
  EXPECT_EQ(0.0, At(0.1e-3));
  next = std::nan("");
  Sig().CalcSignalNewStep(nullptr, 0.5e-3, next, max_step, first);
  EXPECT_EQ(1, Sig().GetSignalState());
  EXPECT_EQ(5.0, At(0.5e-3 + 1e-6));
  EXPECT_DOUBLE_EQ(1e-6, first);
  EXPECT_NEAR(1.5e-3, next, 1e-15);
  Sig().edge_state = CSignal::kFalling;  // what the owner's zone check does
  EXPECT_EQ(0.0, At(0.6e-3));
  first = 0.0;
  next = std::nan("");
  Sig().CalcSignalNewStep(nullptr, 1.5e-3, next, max_step, first);
  EXPECT_EQ(1, Sig().GetSignalState());
  EXPECT_NEAR(2.5e-3, next, 1e-15);
}

TEST_F(SignalRun, FunctionOfLocalTime) {
  Sig().function = "3*t+1";
  Start(MC_FUNCTION, 2.0);
  EXPECT_NEAR(1.0 + 3 * 0.5, At(2.5), 1e-12);
  Sig().function = "3*";
  double v = 0;
  EXPECT_FALSE(Sig().GetSignalValue(nullptr, 2.5, &v));
}

TEST_F(SignalRun, NotRunningRestsAtTheStartValue) {
  Pulse(10, 3, 1e-3, 0.5e-3, 0, 0);
  src_.SetModel(MC_PULSE);
  ASSERT_TRUE(Sig().CreateSignal(nullptr));
  Sig().InitSignal(nullptr, 0.0, false);  // waiting for a trigger
  EXPECT_EQ(3.0, At(0.2e-3));
  EXPECT_EQ(0, Sig().GetSignalState());
  double next = std::nan(""), max_step = 1.0, first = 0.0;
  Sig().CalcSignalNewStep(nullptr, 0.0, next, max_step, first);
  EXPECT_TRUE(std::isnan(next));
}

// --- Initial conditions ---------------------------------------------------------

TEST_F(SignalRun, SaveICShiftsDelay) {
  Pulse(10, 0, 10e-3, 5e-3, 0, 0);
  src_.SetModel(MC_PULSE);
  struct Case {
    int kind;
    double delay, x;  // s
    double shifted;   // s, the Delay saved
  } cases[] = {
      // Periodic: Delay - (x mod Period), kept within one period before 0.
      {MC_PULSE, 0.0, 25e-3, -5e-3},
      {MC_PULSE, -5e-3, 3e-3, -8e-3},
      {MC_PULSE, -5e-3, 7e-3, -2e-3},
      {MC_PULSE, 40e-3, 25e-3, 15e-3},  // a Delay still ahead moves back by x
      {MC_SINGLE, 1e-3, 25e-3, -24e-3},  // a non-periodic kind always moves back by x
  };
  for (const Case& k : cases) {
    Sig().SetKind(k.kind);
    Sig().delay.SetVal(k.delay);
    const AnsiString ic = Sig().SaveSignalStateToIC(k.x);
    EXPECT_NEAR(k.shifted, get_csv_double(ic, "Delay", 1), 1e-15) << k.delay << " " << k.x;
    EXPECT_NEAR(k.shifted, Sig().delay.Value(), 1e-15) << "the signal keeps the shifted Delay";
  }
  Sig().SetKind(MC_FUNCTION);
  EXPECT_EQ("", Sig().SaveSignalStateToIC(1.0).str());
}

// --- Messages --------------------------------------------------------------------

namespace {

class SignalMessages : public ::testing::Test {
 protected:
  SignalMessages() { calc_ = doc_.CreateCalc(); }
  // The engine's error text after checking (or building) `cmp`.
  std::string Check(CCmp& cmp) {
    calc_->ClearError();
    EXPECT_FALSE(cmp.GetSignal()->CheckSignalParams(calc_));
    return calc_->ErrorText().str();
  }
  std::string Create(CCmp& cmp) {
    calc_->ClearError();
    EXPECT_FALSE(cmp.GetSignal()->CreateSignal(calc_));
    return calc_->ErrorText().str();
  }
  std::unique_ptr<CCmp> Source(const char* key, const char* name, int model) {
    std::unique_ptr<CCmp> c(ElemSet.NewCmp(key, nullptr));
    c->SetName(name);
    c->SetModel(model);
    return c;
  }

  CDoc doc_;
  CCalc* calc_;
};

}  // namespace

TEST_F(SignalMessages, ParameterChecksPerKind) {
  auto v = Source("V_V", "V1", MC_PULSE);
  CSignal& s = *v->GetSignal();
  EXPECT_TRUE(s.CheckSignalParams(calc_));
  s.period.SetVal(0);
  s.rise.SetVal(-1e-3);
  s.fall.SetVal(INFINITY);
  EXPECT_EQ("V1 : Period <= 0\nV1 : Rise < 0\nV1 : Fall = infinite\n", Check(*v));
  s.period.SetVal(INFINITY);  // a Pulse may have an infinite Period
  s.rise.SetVal(0);
  s.fall.SetVal(0);
  s.u1.SetError(true);
  s.u0.SetVal(-INFINITY);
  EXPECT_EQ("V1 : V1 : formula error\nV1 : V0 : infinite\n", Check(*v));
  auto i = Source("I_I", "I2", MC_CLOCK);
  CSignal& c = *i->GetSignal();
  c.period.SetVal(INFINITY);
  c.clock_step.SetVal(-1);
  c.u1.SetVal(INFINITY);
  EXPECT_EQ("I2 : I1 : infinite\nI2 : Period = infinite\nI2 : Step < 0\n", Check(*i));
  auto w = Source("V_V", "V3", MC_SWEEP);
  CSignal& sw = *w->GetSignal();
  sw.width.SetVal(0);
  sw.f0.SetVal(-1);
  sw.f1.SetError(true);
  sw.delay.SetError(true);
  EXPECT_EQ("V3 : Delay : formula error\nV3 : Width <= 0\nV3 : F0 < 0\nV3 : F1 : formula error\n",
            Check(*w));
  auto n = Source("V_V", "V4", MC_SIN);
  CSignal& sn = *n->GetSignal();
  sn.period.SetVal(-1);
  sn.phase.SetVal(INFINITY);
  sn.decay.SetVal(-2);
  EXPECT_EQ("V4 : Period <= 0\nV4 : Phase = infinite \nV4 : Decay < 0\n", Check(*n));
  auto s1 = Source("V_V", "V5", MC_SINGLE);
  s1->GetSignal()->width.SetVal(-1);
  EXPECT_EQ("V5 : Width < 0\n", Check(*s1));
}

TEST_F(SignalMessages, ListFileAndTraceFailures) {
  auto v = Source("V_V", "V1", MC_LIST);
  CSignal& s = *v->GetSignal();
  s.list = "5";
  EXPECT_EQ("V1 : Empty list\n", Create(*v));
  s.list = "0, 1, 1e-3, 2*";
  double ignored = 0;
  ASSERT_FALSE(formula("2*", &ignored, nullptr, nullptr, nullptr, false, nullptr, nullptr, false,
                       false, 0, false));
  EXPECT_EQ("V1 : Error: " + m_global_errstr.str() + "\n", Create(*v));

  v->SetModel(MC_FILE);
  s.file = "";
  EXPECT_EQ("V1 : No file name\n", Create(*v));
  s.file = ScratchDir() + "no_such_values.txt";
  EXPECT_EQ("V1 : File not found\n", Create(*v));
  // Value files are looked up in the document's folders.
  doc_.Libraries().Add(ScratchDir().c_str());
  std::ofstream(ScratchDir() + "header_only.txt") << "time, value\n\n# no data\n";
  s.file = "header_only.txt";
  EXPECT_EQ("V1 : Empty file 'header_only.txt'\n", Create(*v));
  v->SetAttachment("\r\n");
  EXPECT_EQ("V1 : Attachment is empty\n", Create(*v));

  v->SetModel(MC_TRACE);
  s.trace = "V(R9)";
  EXPECT_EQ("V1 : Trace V(R9) not found\n", Create(*v));
}

TEST_F(SignalMessages, FileSkipsAHeaderAndReadsFormulas) {
  const std::string path = ScratchDir() + "values.txt";
  std::ofstream(path) << "time, volts\n0, 1\n\n1m\t2*3\n# note\n2m, 1k\n";
  doc_.Libraries().Add(ScratchDir().c_str());
  auto v = Source("V_V", "V1", MC_FILE);
  CSignal& s = *v->GetSignal();
  s.file = "values";  // ".txt" is not added: the name is used as it is
  EXPECT_EQ("V1 : File not found\n", Create(*v));
  s.file = "values.txt";
  ASSERT_TRUE(s.CreateSignal(calc_)) << calc_->ErrorText().str();
  ASSERT_EQ(3u, s.table_t.size());
  EXPECT_DOUBLE_EQ(1e-3, s.table_t[1]);
  EXPECT_EQ(6.0, s.table_v[1]);
  EXPECT_EQ(1000.0, s.table_v[2]);
  // A bad line after the first is an error.
  std::ofstream(path) << "0, 1\n2, zz\n";
  EXPECT_EQ("V1 : Error: ", Create(*v).substr(0, 12));
  // The attachment is read before the file.
  v->SetAttachment("0,7\n1,8\n");
  ASSERT_TRUE(s.CreateSignal(calc_));
  EXPECT_EQ(7.0, s.table_v[0]);
}

// The caller's samples of a Data trace (its run -1) drive a Trace signal.
TEST_F(SignalMessages, TraceSignalReadsTheCallersSamples) {
  auto* data_trace = new CTrace(&doc_.Tran()->Traces());
  data_trace->SetType(14);
  data_trace->SetName("ext");
  doc_.Tran()->Traces().Add(data_trace);
  auto v = Source("V_V", "V1", MC_TRACE);
  CSignal& s = *v->GetSignal();
  s.trace = "ext";
  EXPECT_EQ("V1 : Trace ext: no data\n", Create(*v));
  CData* d = data_trace->CreateData(-1);
  ASSERT_NE(nullptr, d);
  d->AddDataPoint(0.0, 0.0);
  d->AddDataPoint(1e-3, 2.0);
  d->AddDataPoint(2e-3, 2.0);
  ASSERT_TRUE(s.CreateSignal(calc_)) << calc_->ErrorText().str();
  s.InitSignal(calc_, 0.0, true);
  double x = 0;
  ASSERT_TRUE(s.GetSignalValue(calc_, 0.5e-3, &x));
  EXPECT_NEAR(1.0, x, 1e-12);
  ASSERT_TRUE(s.GetSignalValue(calc_, 5e-3, &x));
  EXPECT_EQ(2.0, x);
  s.cycle = 1;  // beyond the last time, whole spans back
  ASSERT_TRUE(s.GetSignalValue(calc_, 4.5e-3, &x));
  EXPECT_NEAR(1.0, x, 1e-12);
}
