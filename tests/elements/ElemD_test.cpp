// Diodes, zeners and thyristors: registry rows, parameters per type and
// model, and the document attributes with and without initial conditions;
// then the diodes in the engine: rectifiers, clamps, thyristor latching,
// stored charge, the state test, empty rows and parameter messages.

#include "elements/ElemD.h"

#include <cmath>
#include <functional>
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

TEST(ElemDRegistry, TypesAndModels) {
  const char* d = "Diode(15,1,7) PWL(11,1,7) Storage(42,2,7) Soft(51,2,7) SubCir(10,0,1)";
  const char* z = "Zener(15,1,7) PWL(11,1,7) SubCir(10,0,1)";
  const std::string rows[][2] = {
      {"D_D", std::string("D_D 11 2 Diode|") + d},
      {"D_Z", std::string("D_Z 12 2 Zener|") + z},
      {"D_ZS", std::string("D_ZS 13 2 Bidirectional\\nzener|") + z},
      {"D_BR", "D_BR 17 4 Bridge\\nrectifier|Diode(15,4,4)"},
      {"D_RING", "D_RING 18 4 Diode ring|Diode(15,4,4)"},
      {"D_LCT", "D_LCT 16 3 Logic controlled\\nthyristor|Thyristor(15,1,7) SubCir(10,0,1)"},
      {"D_VCT", "D_VCT 14 4 Voltage controlled\\nthyristor|Thyristor(15,1,7) SubCir(10,0,1)"},
      {"D_CCT", "D_CCT 15 4 Current controlled\\nthyristor|Thyristor(15,2,7) SubCir(10,0,1)"},
      {"_D_D45", std::string("_D_D45 19 2 Diode|") + d},
      {"_D_Z45", std::string("_D_Z45 20 2 Zener|") + z},
      {"_D_ZS45", std::string("_D_ZS45 21 2 Bidirectional\\nzener|") + z},
  };
  for (auto& r : rows) EXPECT_EQ(r[1], RegistryRow(r[0].c_str()));
}

TEST(ElemDParams, ListsAndDefaults) {
  struct Case {
    const char* key;
    int model;
    const char* names;
  } cases[] = {{"D_D", MC_DIODE, "Vd IC"},          {"D_D", MC_PWL, "pwl"},
               {"D_D", MC_STORAGE, "Vd t IC ICQ"},   {"D_D", MC_SOFT, "Vd t ts IC ICQ"},
               {"D_Z", MC_DIODE, "V Vd IC"},         {"D_ZS", MC_DIODE, "V IC"},
               {"D_BR", MC_DIODE, "Vd"},             {"D_RING", MC_DIODE, "Vd"},
               {"D_LCT", MC_DIODE, "Vd Ihold IC"},   {"D_VCT", MC_DIODE, "Vd Ihold Threshold IC"},
               {"D_CCT", MC_DIODE, "Vd Ihold Threshold IC"}};
  for (const Case& k : cases) {
    auto c = NewOf(k.key);
    EXPECT_EQ(k.names, ParamNames(*c, k.model)) << k.key;
  }
  auto z = NewOf("D_Z");
  z->SetModel(MC_DIODE);
  EXPECT_EQ("8", z->GetParameter("V")->GetText().str());
  EXPECT_EQ("Off", z->GetParameter("IC")->GetText().str());
  auto d = NewOf("D_D");
  d->SetModel(MC_PWL);
  EXPECT_EQ("1.0, 0.0, 1.0", d->GetParameter("pwl")->GetText().str());
  d->SetModel(MC_SOFT);
  EXPECT_STREQ("A*s", d->GetParameter("ICQ")->Unit());
  EXPECT_EQ("Off", d->GetParameter("IC")->GetText().str());
  auto v = NewOf("D_VCT");
  auto i = NewOf("D_CCT");
  EXPECT_STREQ("V", v->GetParameter("Threshold")->Unit());
  EXPECT_STREQ("A", i->GetParameter("Threshold")->Unit());
  EXPECT_EQ("5", i->GetParameter("Threshold")->GetText().str());
  EXPECT_EQ("1", i->GetParameter("Ihold")->GetText().str());
  EXPECT_EQ(2, NewOf("D_LCT")->GetCmpPinType(2));
  EXPECT_EQ(1, v->GetCmpPinType(2));
}

TEST(ElemDDocument, AttributesPerKind) {
  struct Case {
    const char* key;
    int model;
    const char* sets[3][2];
    const char* attrs[4][2];  // attribute, text; ic attributes last
  } cases[] = {
      {"D_D", MC_SOFT, {{"Vd", "0.7"}, {"ts", "2e-6"}, {"IC", "On"}},
       {{"vd", "700e-3"}, {"ts", "2e-6"}, {"ic", "1"}, {"icq", "0"}}},
      {"D_Z", MC_DIODE, {{"V", "5.1"}, {"Vd", "0.6"}, {"IC", "Plus"}},
       {{"v", "5.1"}, {"vd", "600e-3"}, {"ic", "2"}, {nullptr, nullptr}}},
      {"D_ZS", MC_DIODE, {{"V", "12"}, {"IC", "Minus"}, {nullptr, nullptr}},
       {{"v", "12"}, {"ic", "0"}, {nullptr, nullptr}, {nullptr, nullptr}}},
      {"D_CCT", MC_DIODE, {{"Threshold", "0.01"}, {"Ihold", "0.2"}, {"IC", "On"}},
       {{"thr", "10e-3"}, {"hold", "200e-3"}, {"ic", "1"}, {nullptr, nullptr}}},
      {"D_BR", MC_DIODE, {{"Vd", "1.4"}, {nullptr, nullptr}, {nullptr, nullptr}},
       {{"vd", "1.4"}, {nullptr, nullptr}, {nullptr, nullptr}, {nullptr, nullptr}}},
  };
  for (const Case& k : cases) {
    auto c = NewOf(k.key);
    for (auto& s : k.sets)
      if (s[0] != nullptr) SetParam(*c, k.model, s[0], s[1]);
    CXMLNode stored("Cmp");
    auto copy = RoundTrip(*c, true, &stored);
    EXPECT_EQ(AllParams(*c), AllParams(*copy)) << k.key;
    for (auto& a : k.attrs)
      if (a[0] != nullptr) {
        EXPECT_EQ(a[1], Attr(stored, a[0])) << k.key << " " << a[0];
      }
    CXMLNode noic("Cmp");
    RoundTrip(*c, false, &noic);
    EXPECT_EQ("<absent>", Attr(noic, "ic")) << k.key;
  }
}

TEST(ElemDDocument, NegativeStoredChargeLoadsAsZero) {
  CXMLNode node("Cmp");
  node.SetStore(false);
  node.CreateAttribute("model", "Storage");
  node.CreateAttribute("icq", "-1");
  auto d = NewOf("D_D");
  ASSERT_TRUE(d->SerializeCmp(&node, false, true));
  d->SetModel(MC_STORAGE);
  EXPECT_EQ(0.0, d->GetParameter("ICQ")->BoundFormula()->Value());
}

// --- In the engine ------------------------------------------------------------------
//
// Diodes in small circuits driven by the engine tests' sources. Expected
// values come from the ideal characteristics: a conducting diode is a
// fixed voltage (Vd, or -V in breakdown), an off diode carries nothing.

namespace {

constexpr double kPi = 3.14159265358979323846;
// Round-off of one elimination of a handful of unknowns of order 10.
constexpr double kSolveTol = 1e-9;

struct SSample {
  double t;      // s
  double v;      // V, the observed node
  double i;      // A, the diode's first extra unknown
  int zone;
  int gate;
  double extra;  // a second observed value (test-defined)
};

class DiodeSim : public EngineFixture {
 protected:
  ~DiodeSim() override {
    if (doc.Calc() != nullptr) doc.Calc()->ClearCalc();
  }

  CElemD* AddD(const char* key, std::vector<int> nodes) {
    return static_cast<CElemD*>(AddCmp(key, nodes));
  }
  // Sets a parameter by its editor text in the diode's present model.
  static void Set(CElemD* d, const char* name, const char* text) {
    SetParam(*d, d->Model(), name, text);
  }

  // Records every accepted point: the voltage of document node `node` as
  // numbered by the engine (read through pin `pin` of `at`), and the
  // diode's current, zone and gate state.
  void Record(CEngineTestElem* on, const CCmp* at, int pin, const CElemD* d,
              std::function<double(CCalc*)> extra = nullptr) {
    on->record = [this, at, pin, d, extra](CCalc* c, CEngineTestElem*) {
      const int k = d->ExtraCount() > 0 ? d->GetExtraNode(0) : 0;
      points.push_back({c->Time(), c->X()[at->Node(pin)], c->X()[k], d->State(), d->GateState(),
                        extra ? extra(c) : 0.0});
    };
  }
  // Zone changes: (time of the last point in the old zone, time of the
  // first point in the new one, new zone).
  struct SChange {
    double before, after;
    int zone;
  };
  std::vector<SChange> Changes() const {
    std::vector<SChange> out;
    for (std::size_t i = 1; i < points.size(); ++i)
      if (points[i].zone != points[i - 1].zone)
        out.push_back({points[i - 1].t, points[i].t, points[i].zone});
    return out;
  }

  std::vector<SSample> points;
};

double Sine(double t) { return 10.0 * std::sin(2.0 * kPi * 50.0 * t); }

}  // namespace

TEST_F(DiodeSim, HalfWaveRectifierPassesThePositiveHalvesOnly) {
  // 10 V, 50 Hz into an ideal diode (anode node 1, cathode node 2) and
  // 1 kOhm to ground: the load sees max(0, v), the diode min(0, v).
  const double step = 1e-4;
  doc.TranSettings().step = step;
  CEngineTestElem* src = Source(0, 1, Sine);
  CElemD* d = AddD("D_D", {2, 1});
  CEngineTestElem* load = Resistor(2, 0, 1000.0);
  CCalc* c = StartRun();
  Record(src, load, 0, d, [d](CCalc* calc) { return calc->X()[d->Node(1)] - calc->X()[d->Node(0)]; });
  ASSERT_TRUE(RunUntil(c, 35e-3)) << c->ErrorText().str();
  ASSERT_GT(points.size(), 350u);
  for (const SSample& p : points) {
    const double v = Sine(p.t);
    EXPECT_NEAR(std::max(0.0, v), p.v, kSolveTol) << "t=" << p.t;
    EXPECT_NEAR(std::max(0.0, v) / 1000.0, p.i, kSolveTol) << "t=" << p.t;
    EXPECT_NEAR(std::min(0.0, v), p.extra, kSolveTol) << "t=" << p.t;
  }
  // Default step control: the minimal step is step / 8; the diode turns
  // off at 10 and 30 ms, on at 20 ms (and at the start), each change
  // bracketed by the search within 1.5 minimal steps.
  const double hmin = 0.125 * step;
  std::vector<SChange> changes = Changes();
  ASSERT_GE(changes.size(), 3u);
  int found = 0;
  for (const SChange& ch : changes) {
    const double crossing = std::round(ch.after / 10e-3) * 10e-3;
    EXPECT_EQ(std::lround(crossing / 10e-3) % 2 == 0 ? 1 : 0, ch.zone) << ch.after;
    EXPECT_LE(ch.before, crossing + 1e-12) << ch.after;
    EXPECT_GE(ch.after, crossing - 1e-12) << ch.after;
    EXPECT_GE(ch.before, crossing - 1.5 * hmin) << ch.after;
    if (crossing > 5e-3) ++found;
  }
  EXPECT_EQ(3, found);  // 10, 20 and 30 ms
}

namespace {

// A full bridge fed from a floating source: +v/2 on node 3 (pin 2), -v/2
// on node 4 (pin 3); output pin 1 (node 6) against pin 0 (node 5) into
// 1 kOhm, each output node held by 100 kOhm to ground so that it has a
// value while every diode is off.
class BridgeSim : public DiodeSim, public ::testing::WithParamInterface<const char*> {};

}  // namespace

TEST_P(BridgeSim, FullBridgeGivesTheMagnitudeLessTwoForwardVoltages) {
  const double vd = std::strtod(GetParam(), nullptr);
  doc.TranSettings().step = 1e-4;
  CEngineTestElem* src = Source(0, 3, [](double t) { return 0.5 * Sine(t); });
  Source(4, 0, [](double t) { return 0.5 * Sine(t); });
  CElemD* br = AddD("D_BR", {5, 6, 3, 4});
  Set(br, "Vd", GetParam());
  Resistor(6, 5, 1000.0);
  CEngineTestElem* b1 = Resistor(5, 0, 1e5);
  Resistor(6, 0, 1e5);
  CCalc* c = StartRun();
  int n1 = 0, n2 = 0, k = 0;
  double f = 0.0;
  EXPECT_FALSE(br->GetTraceNodes(c, TT_P, n1, n2, k, f));
  src->record = [&](CCalc* calc, CEngineTestElem*) {
    double p = 0.0;
    br->GetTraceData(calc, TT_P, &p, nullptr);
    points.push_back({calc->Time(), calc->X()[br->Node(1)] - calc->X()[br->Node(0)],
                      calc->X()[b1->Node(0)], br->State(), 0, p});
  };
  ASSERT_TRUE(RunUntil(c, 25e-3)) << c->ErrorText().str();
  ASSERT_GT(points.size(), 250u);
  int both = 0;
  for (const SSample& p : points) {
    const double out = std::max(0.0, std::fabs(Sine(p.t)) - 2.0 * vd);
    EXPECT_NEAR(out, p.v, kSolveTol) << "t=" << p.t;
    // Two diodes conduct the load current plus one bleed current each
    // (the output nodes sit at +-out/2): power 2 Vd i.
    const double i = out / 1000.0 + 0.5 * out / 1e5;
    EXPECT_NEAR(2.0 * vd * i, p.extra, 1e-9) << "t=" << p.t;
    if (out > 0.0) {
      // The conducting pair: 3->6 and 5->4 (mask 0b0110) for v > 0, the
      // other pair (0b1001) for v < 0.
      EXPECT_EQ(Sine(p.t) > 0.0 ? 0b0110 : 0b1001, p.zone) << "t=" << p.t;
      ++both;
    }
  }
  EXPECT_GT(both, 100);
}

INSTANTIATE_TEST_SUITE_P(ForwardVoltage, BridgeSim, ::testing::Values("0", "0.7"));

namespace {

struct SZenerCase {
  const char* key;
  bool forward_to_ground;  // pin 0 on the output (a zener clamping at +V)
  double lo, hi;           // V, the clamp
};

class ZenerSim : public DiodeSim, public ::testing::WithParamInterface<SZenerCase> {};

}  // namespace

TEST_P(ZenerSim, ClampsTheOutputBetweenItsVoltages) {
  // 10 V, 50 Hz through 1 kOhm onto the zener at node 2. V = 5, Vd = 0.7.
  const SZenerCase& z = GetParam();
  doc.TranSettings().step = 1e-4;
  CEngineTestElem* src = Source(0, 1, Sine);
  Resistor(1, 2, 1000.0);
  CElemD* d = AddD(z.key, z.forward_to_ground ? std::vector<int>{2, 0} : std::vector<int>{0, 2});
  Set(d, "V", "5");
  if (std::string(z.key).find("ZS") == std::string::npos) Set(d, "Vd", "0.7");
  CCalc* c = StartRun();
  Record(src, d, z.forward_to_ground ? 0 : 1, d);
  ASSERT_TRUE(RunUntil(c, 20e-3)) << c->ErrorText().str();
  ASSERT_GT(points.size(), 200u);
  bool seen_lo = false, seen_hi = false;
  for (const SSample& p : points) {
    const double v = Sine(p.t);
    const double out = std::min(z.hi, std::max(z.lo, v));
    EXPECT_NEAR(out, p.v, kSolveTol) << "t=" << p.t;
    seen_lo = seen_lo || (v < z.lo - 0.1 && p.zone != 0);
    seen_hi = seen_hi || (v > z.hi + 0.1 && p.zone != 0);
  }
  EXPECT_TRUE(seen_lo && seen_hi);
  int lo = 0, hi = 0;
  EXPECT_TRUE(d->GetMinMaxState(lo, hi));
  EXPECT_EQ(-1, lo);
  EXPECT_EQ(1, hi);
}

// A zener whose pin 0 is on the output conducts forward when the output
// is below -Vd and breaks down above +V; with its pins the other way round
// (or bidirectional) the clamp mirrors.
INSTANTIATE_TEST_SUITE_P(
    Types, ZenerSim,
    ::testing::Values(SZenerCase{"D_Z", true, -0.7, 5.0}, SZenerCase{"D_Z", false, -5.0, 0.7},
                      SZenerCase{"_D_Z45", true, -0.7, 5.0}, SZenerCase{"D_ZS", true, -5.0, 5.0},
                      SZenerCase{"_D_ZS45", false, -5.0, 5.0}));

namespace {

// A thyristor (cathode ground, anode node 2) fed through 100 Ohm from a
// supply that may drop at 4 ms; the gate is driven from 1 to 2 ms. Vd = 0,
// Ihold = 50 mA.
class ThyristorSim : public DiodeSim, public ::testing::WithParamInterface<const char*> {
 protected:
  CElemD* Circuit(double supply_before, double supply_after) {
    doc.TranSettings().step = 1e-5;
    src_ = Source(0, 1, [=](double t) { return t < 4e-3 ? supply_before : supply_after; });
    Resistor(1, 2, 100.0);
    auto gate = [](double t) { return t >= 1e-3 && t < 2e-3 ? 10.0 : 0.0; };
    const std::string key = GetParam();
    CElemD* d = nullptr;
    if (key == "D_VCT") {
      // Gate voltage pin 3 - pin 2 against Threshold 5 V.
      Source(0, 3, gate);
      d = AddD("D_VCT", {0, 2, 0, 3});
    } else if (key == "D_CCT") {
      // 10 V through 1 kOhm: 10 mA into pin 3, out of pin 2, against 5 mA.
      Source(0, 4, gate);
      Resistor(4, 3, 1000.0);
      d = AddD("D_CCT", {0, 2, 0, 3});
      Set(d, "Threshold", "5e-3");
    } else {
      // A logic input: 10 V is high against the default threshold 2.5 V.
      CEngineTestElem* logic = Add({3});
      logic->pin_types = {2};
      logic->fill_y = [gate](CCalc* c, CEngineTestElem* self) {
        c->FillFunction(self->Node(0), gate(self->time));
        return true;
      };
      d = AddD("D_LCT", {0, 2, 3});
    }
    Set(d, "Ihold", "0.05");
    return d;
  }
  // Current of the samples clearly inside (from, to), checked against i.
  void ExpectCurrent(double from, double to, double i) {
    int n = 0;
    for (const SSample& p : points) {
      if (p.t <= from + 5e-6 || p.t >= to - 5e-6) continue;
      EXPECT_NEAR(i, p.i, kSolveTol) << "t=" << p.t;
      ++n;
    }
    EXPECT_GT(n, 0) << from << ".." << to;
  }
  CEngineTestElem* src_ = nullptr;
};

}  // namespace

TEST_P(ThyristorSim, LatchesAboveTheHoldingCurrentUntilTheCurrentFalls) {
  CElemD* d = Circuit(10.0, 3.0);
  CCalc* c = StartRun();
  Record(src_, d, 1, d);
  ASSERT_TRUE(RunUntil(c, 6e-3)) << c->ErrorText().str();
  ExpectCurrent(0.0, 1e-3, 0.0);   // forward biased, no gate: off
  ExpectCurrent(1e-3, 4e-3, 0.1);  // fired at 1 ms, held after 2 ms (100 mA > 50 mA)
  ExpectCurrent(4e-3, 6e-3, 0.0);  // 30 mA is below the holding current: off
  bool latched = false;
  for (const SSample& p : points)
    if (p.t > 2.1e-3 && p.t < 3.9e-3) latched = latched || p.gate == 2;
  EXPECT_TRUE(latched);
  EXPECT_EQ(0, d->GateState());
}

TEST_P(ThyristorSim, TurnsOffWithItsGateBelowTheHoldingCurrent) {
  CElemD* d = Circuit(3.0, 3.0);
  CCalc* c = StartRun();
  Record(src_, d, 1, d);
  ASSERT_TRUE(RunUntil(c, 3e-3)) << c->ErrorText().str();
  ExpectCurrent(0.0, 1e-3, 0.0);
  ExpectCurrent(1e-3, 2e-3, 0.03);
  ExpectCurrent(2e-3, 3e-3, 0.0);
}

INSTANTIATE_TEST_SUITE_P(Types, ThyristorSim, ::testing::Values("D_VCT", "D_CCT", "D_LCT"));

namespace {

// 5 V, reversed to -5 V at 1 ms, through 1 kOhm into a diode to ground
// (anode node 2), Vd = 0.7, stored-charge lifetime t = 100 us.
class ChargeSim : public DiodeSim {
 protected:
  CElemD* Circuit(int model, const char* t) {
    doc.TranSettings().step = 1e-6;
    src_ = Source(0, 1, [](double time) { return time < 1e-3 ? 5.0 : -5.0; });
    Resistor(1, 2, 1000.0);
    CElemD* d = AddD("D_D", {0, 2});
    d->SetModel(model);
    Set(d, "Vd", "0.7");
    Set(d, "t", t);
    return d;
  }
  CEngineTestElem* src_ = nullptr;
};

}  // namespace

TEST_F(ChargeSim, StorageDiodeConductsBackwardsUntilItsChargeIsGone) {
  CElemD* d = Circuit(MC_STORAGE, "100e-6");
  CCalc* c = StartRun();
  Record(src_, d, 1, d);
  ASSERT_TRUE(RunUntil(c, 1.2e-3)) << c->ErrorText().str();
  // Forward: 4.3 mA charges q towards i t: q0 = 4.3e-7 (1 - e^-10) A*s.
  // Reversed: a short (no forward voltage) carrying -5 mA while
  // dq/dt = -5 mA - q/t; q reaches 0 after t ln((q0 + 5e-7) / 5e-7).
  const double tau = 100e-6;
  const double q0 = 4.3e-3 * tau * (1.0 - std::exp(-1e-3 / tau));
  const double end = 1e-3 + tau * std::log((q0 + 5e-7) / 5e-7);
  double last_reverse = 0.0;
  for (const SSample& p : points) {
    if (p.t > 5e-6 && p.t < 1e-3 - 5e-6) {
      EXPECT_NEAR(4.3e-3, p.i, kSolveTol) << p.t;
      EXPECT_EQ(1, p.zone) << p.t;
    } else if (p.t > 1e-3 + 5e-6 && p.t < end - 2e-6) {
      EXPECT_NEAR(-5e-3, p.i, kSolveTol) << p.t;
      EXPECT_NEAR(0.0, p.v, kSolveTol) << p.t;
      EXPECT_EQ(-1, p.zone) << p.t;
    } else if (p.t > end + 2e-6) {
      EXPECT_NEAR(0.0, p.i, kSolveTol) << p.t;
      EXPECT_EQ(0, p.zone) << p.t;
    }
    if (p.zone == -1) last_reverse = p.t;
  }
  // Trapezoidal charge integration at h = t / 100 and the search for the
  // instant are both far below 1 us; a forward voltage kept in reverse
  // (-5.7 mA) or no storage would move the end by several us.
  EXPECT_NEAR(end, last_reverse, 1e-6);

  // The saved initial condition is the state at the last accepted point.
  const AnsiString ic = d->SaveIC(true);
  EXPECT_EQ("Off", get_csv_string(ic, "IC").str());
  EXPECT_EQ(d->StoredCharge(), d->ICQ().Value());
  EXPECT_EQ("IC,ICQ", d->SaveIC(false).str());
}

TEST_F(ChargeSim, StorageDiodeWithoutLifetimeIsAPlainDiode) {
  CElemD* d = Circuit(MC_STORAGE, "0");
  CCalc* c = StartRun();
  Record(src_, d, 1, d);
  ASSERT_TRUE(RunUntil(c, 1.1e-3)) << c->ErrorText().str();
  for (const SSample& p : points) {
    if (p.t > 1e-3 + 2e-6) {
      EXPECT_NEAR(0.0, p.i, kSolveTol) << p.t;
      EXPECT_NEAR(-5.0, p.v, kSolveTol) << p.t;
    }
    EXPECT_NE(-1, p.zone) << p.t;
  }
}

TEST_F(ChargeSim, SoftDiodeRecoversWithACurrentFollowingItsCharge) {
  CElemD* d = Circuit(MC_SOFT, "100e-6");
  Set(d, "ts", "10e-6");
  CCalc* c = StartRun();
  Record(src_, d, 1, d);
  ASSERT_TRUE(RunUntil(c, 1.2e-3)) << c->ErrorText().str();
  // Reversed, the diode still holds its 0.7 V: -5.7 mA drains the charge
  // (dq/dt = i - q/t) until q = 5.7 mA * ts. Recovery then: i = -q/ts and
  // dq/dt = -q/ts + i_rec with i_rec = 1% of -5.7 mA, so q reaches 0
  // after ts ln(101).
  const double tau = 100e-6, ts = 10e-6, ir = -5.7e-3;
  const double q0 = 4.3e-3 * tau * (1.0 - std::exp(-1e-3 / tau));
  const double t_rec = 1e-3 + tau * std::log((q0 - ir * tau) / (-ir * ts - ir * tau));
  const double t_end = t_rec + ts * std::log(101.0);
  double first_recovery = -1.0, last_on = 0.0, last_i = ir;
  for (const SSample& p : points) {
    if (p.gate == 1 && p.zone != 0 && first_recovery < 0) first_recovery = p.t;
    if (p.zone != 0) last_on = p.t;
    if (p.t > 1e-3 + 5e-6 && p.t < t_rec - 2e-6) {
      EXPECT_NEAR(ir, p.i, kSolveTol) << p.t;
      EXPECT_NEAR(0.7, p.v, kSolveTol) << p.t;
    }
    if (p.t > t_rec + 2e-6 && p.t < t_end - 2e-6) {
      // The recovery current decays from -5.7 mA towards 0.
      EXPECT_GT(p.i, last_i) << p.t;
      EXPECT_LT(p.i, 0.0) << p.t;
      last_i = p.i;
    }
    if (p.t > t_end + 2e-6) {
      EXPECT_NEAR(0.0, p.i, kSolveTol) << p.t;
    }
  }
  EXPECT_NEAR(t_rec, first_recovery, 1e-6);
  EXPECT_NEAR(t_end, last_on, 1e-6);
}

TEST_F(DiodeSim, RingConductsAroundItsLoop) {
  // 5 V through 1 kOhm into pin 0 of a ring whose pin 1 is grounded, Vd
  // 0.7: the current takes diode 0 (pin 0 -> pin 2) and diode 2 (pin 2 ->
  // pin 1); pin 3 hangs between two open diodes, half way by their
  // resistors of the empty-row rule.
  Source(0, 1, [](double) { return 5.0; });
  Resistor(1, 2, 1000.0);
  CElemD* ring = AddD("D_RING", {2, 0, 3, 4});
  Set(ring, "Vd", "0.7");
  CCalc* c = StartRun();
  const double* x = c->X();
  EXPECT_EQ(0b0101, ring->State());
  EXPECT_NEAR(1.4, x[ring->Node(0)], kSolveTol);
  EXPECT_NEAR(0.7, x[ring->Node(2)], kSolveTol);
  EXPECT_NEAR(0.7, x[ring->Node(3)], kSolveTol);
  const int k = ring->GetExtraNode(0);
  EXPECT_NEAR(3.6e-3, x[k], kSolveTol);
  EXPECT_NEAR(3.6e-3, x[k + 2], kSolveTol);
  double p = 0.0;
  ring->GetTraceData(c, TT_P, &p, nullptr);
  EXPECT_NEAR(2 * 0.7 * 3.6e-3, p, kSolveTol);
}

TEST_F(DiodeSim, PwlDiodeFollowsItsCurrentTable) {
  // I(V) of "1e-3, 0.5, 1" mirrored: 1 mS within +-0.5 V, 1 S beyond. At
  // 1 V: 0.5 mA + 0.5 A; at -1 V the same negated.
  for (double v : {1.0, -1.0, 0.25}) {
    doc.Cmps()->ClearCmps();
    Source(0, 1, [v](double) { return v; });
    CElemD* d = AddD("D_D", {0, 1});
    d->SetModel(MC_PWL);
    Set(d, "pwl", "1e-3, 0.5, 1");
    CCalc* c = StartRun();
    const double i = std::fabs(v) <= 0.5 ? 1e-3 * v : std::copysign(0.5e-3 + (std::fabs(v) - 0.5), v);
    EXPECT_NEAR(i, c->X()[d->GetExtraNode(0)], kSolveTol) << v;
    EXPECT_EQ(std::fabs(v) <= 0.5 ? 0 : (v > 0 ? 1 : -1), d->State()) << v;
    int lo = 0, hi = 0;
    EXPECT_TRUE(d->GetMinMaxState(lo, hi));
    EXPECT_EQ(-1, lo);
    EXPECT_EQ(1, hi);
    c->ClearCalc();
  }
}

TEST_F(DiodeSim, ParallelIdealDiodesCarryTheWholeCurrentBetweenThem) {
  // Two ideal diodes side by side: the split of their current is not
  // determined by the circuit; the solution must still be found, with
  // 5 mA in total and no diode carrying a reverse current.
  Source(0, 1, [](double) { return 5.0; });
  Resistor(1, 2, 1000.0);
  CElemD* d1 = AddD("D_D", {0, 2});
  CElemD* d2 = AddD("D_D", {0, 2});
  CCalc* c = StartRun();
  const double* x = c->X();
  EXPECT_NEAR(0.0, x[d1->Node(1)], kSolveTol);
  const double i1 = x[d1->GetExtraNode(0)], i2 = x[d2->GetExtraNode(0)];
  EXPECT_NEAR(5e-3, (d1->State() != 0 ? i1 : 0.0) + (d2->State() != 0 ? i2 : 0.0), kSolveTol);
  EXPECT_GE(i1, -kSolveTol);
  EXPECT_GE(i2, -kSolveTol);
}

TEST_F(DiodeSim, CurrentDrivenIntoAnOpenDiodeTurnsItOn) {
  // 1 mA forced into node 2, whose only other path is a diode to ground
  // that starts off: the open diode leaves node 2 without a solution, and
  // the state test gives the undetermined node its conducting path.
  CurrentSource(0, 2, 1e-3);
  CElemD* d = AddD("D_D", {0, 2});
  CCalc* c = StartRun();
  EXPECT_EQ(1, d->State());
  EXPECT_NEAR(1e-3, c->X()[d->GetExtraNode(0)], kSolveTol);
  EXPECT_EQ(0.0, c->X()[d->Node(1)]);
}

TEST_F(DiodeSim, StateTestIgnoresABiasWithinRoundOff) {
  Source(0, 1, [](double) { return 1.0; });
  Resistor(1, 2, 1.0);
  CElemD* d = AddD("D_D", {1, 2});
  CCalc* c = Built();
  double* x = c->X();
  const int a = d->Node(0), b = d->Node(1), k = d->GetExtraNode(0);
  struct Case {
    double xa, xb, xk;
    int state;
    double vf, vr;
    bool reverse;
    bool changes;
    int after;
  } cases[] = {
      // Off: forward bias beyond Vf turns on; 1e-13 over 1 V is round-off.
      {1.0, 1.0 + 1e-13, 0.0, 0, 0.0, 0.0, false, false, 0},
      {1.0, 1.0 + 1e-9, 0.0, 0, 0.0, 0.0, false, true, 1},
      {0.0, 0.69, 0.0, 0, 0.7, 0.0, false, false, 0},
      {0.0, 0.71, 0.0, 0, 0.7, 0.0, false, true, 1},
      {0.0, 5.0, 0.0, 0, INFINITY, 0.0, false, false, 0},  // never conducts
      // Reverse only when asked for, below Vr.
      {0.0, -6.0, 0.0, 0, 0.7, -5.0, false, false, 0},
      {0.0, -6.0, 0.0, 0, 0.7, -5.0, true, true, -1},
      {0.0, -4.0, 0.0, 0, 0.7, -5.0, true, false, 0},
      // Conducting: the current against the zone opens it.
      {0.0, 0.0, 1e-3, 1, 0.0, 0.0, false, false, 1},
      {0.0, 0.0, -1e-3, 1, 0.0, 0.0, false, true, 0},
      {0.0, 0.0, -1e-3, -1, 0.0, -5.0, true, false, -1},
      {0.0, 0.0, 1e-3, -1, 0.0, -5.0, true, true, 0},
  };
  for (const Case& t : cases) {
    x[a] = t.xa;
    x[b] = t.xb;
    x[k] = t.xk;
    int s = t.state;
    EXPECT_EQ(t.changes, c->CheckDState(false, &s, a, b, k, t.vf, t.vr, t.reverse)) << t.xb;
    EXPECT_EQ(t.state, s) << "reported only";
    EXPECT_EQ(t.changes, c->CheckDState(true, &s, a, b, k, t.vf, t.vr, t.reverse)) << t.xb;
    EXPECT_EQ(t.after, s) << t.xb;
  }
}

TEST_F(DiodeSim, OpenDiodesGiveEmptyRowsAVeryLargeResistance) {
  // 5 V across the output of a bridge whose AC pins are connected to
  // nothing: every diode is reverse biased, and each AC node hangs on two
  // 1e11 Ohm resistors between 0 and 5 V. A lone diode's floating cathode
  // follows its anode through its resistor.
  Source(0, 1, [](double) { return 5.0; });
  CElemD* br = AddD("D_BR", {0, 1, 2, 3});
  CElemD* d = AddD("D_D", {4, 0});
  Set(d, "Vd", "0.7");
  Source(0, 5, [](double) { return -3.0; });
  CElemD* d2 = AddD("D_D", {6, 5});  // anode -3 V, cathode free
  CCalc* c = Built();
  ASSERT_TRUE(c->calc_stat()) << c->ErrorText().str();
  const double* x = c->X();
  EXPECT_NEAR(2.5, x[br->Node(2)], kSolveTol);
  EXPECT_NEAR(2.5, x[br->Node(3)], kSolveTol);
  EXPECT_NEAR(0.0, x[d->Node(0)], kSolveTol);
  EXPECT_NEAR(-3.0, x[d2->Node(0)], kSolveTol);
  EXPECT_FALSE(br->CheckState(c, false));
  EXPECT_FALSE(d->CheckState(c, false));
  EXPECT_FALSE(d2->CheckState(c, false));
  EXPECT_FALSE(c->HasUndetermined());
}

TEST_F(DiodeSim, ParameterMessagesNameTheComponent) {
  CElemD* thy = AddD("D_CCT", {0, 1, 2, 3});
  Set(thy, "Vd", "-1");
  Set(thy, "Ihold", "-0.1");
  Set(thy, "Threshold", "inf");
  CElemD* store = AddD("D_D", {0, 1});
  store->SetModel(MC_STORAGE);
  Set(store, "t", "inf");
  Set(store, "ICQ", "-1");
  CElemD* soft = AddD("D_D", {0, 1});
  soft->SetModel(MC_SOFT);
  Set(soft, "ts", "-1");
  soft->T().SetError(true);
  CElemD* z = AddD("D_Z", {0, 1});
  Set(z, "V", "-5");
  Set(z, "Vd", "inf");  // allowed: never conducts forward
  CElemD* ok = AddD("D_BR", {0, 1, 2, 3});
  Set(ok, "Vd", "0.7");
  CCalc* c = doc.CreateCalc();
  c->ClearError();
  const std::string n1 = thy->GetFullName().str(), n2 = store->GetFullName().str(),
                    n3 = soft->GetFullName().str(), n4 = z->GetFullName().str();
  EXPECT_FALSE(thy->CheckParams(c));
  EXPECT_FALSE(store->CheckParams(c));
  EXPECT_FALSE(soft->CheckParams(c));
  EXPECT_FALSE(z->CheckParams(c));
  EXPECT_TRUE(ok->CheckParams(c));
  EXPECT_EQ(n1 + " : Vd < 0\n" + n1 + " : Ihold < 0\n" + n1 + " : Threshold = infinite\n" +
                n2 + " : t = infinite\n" + n2 + " : ICQ < 0\n" + n3 + " : t : formula error\n" +
                n3 + " : tsr < 0\n" + n4 + " : V < 0\n",
            c->ErrorText().str());
}

TEST(ElemDState, StateTextAndInitialConditions) {
  auto z = NewOf("D_ZS");
  z->SetState(-1);
  EXPECT_EQ("s=-1", z->GetState().str());
  EXPECT_EQ("IC=Minus", z->SaveIC(true).str());
  EXPECT_EQ(0, static_cast<CElemD*>(z.get())->ZenerIC());
  EXPECT_EQ("IC", z->SaveIC(false).str());

  auto d = NewOf("D_D");
  d->SetState(1);
  EXPECT_EQ("IC=On", d->SaveIC(true).str());
  EXPECT_EQ(1, static_cast<CElemD*>(d.get())->IC());
  d->SetModel(MC_SOFT);
  EXPECT_EQ("s=1,q=0", d->GetState().str());

  auto br = NewOf("D_BR");
  br->SetState(6);
  EXPECT_EQ("s=6", br->GetState().str());
  EXPECT_EQ("", br->SaveIC(true).str());  // no initial state to set
}

TEST(ElemDTools, InitialStatesAndForwardVoltage) {
  auto z = NewOf("D_Z");
  SetParam(*z, MC_DIODE, "IC", "Plus");
  Tool(*z, 1, 0);
  EXPECT_EQ("Off", z->GetParameter("IC")->GetText().str());
  auto d = NewOf("_D_D45");
  Tool(*d, 1, 1);
  EXPECT_EQ(1, static_cast<CElemD*>(d.get())->IC());
  Tool(*d, 2, 0, true, 0.65);
  EXPECT_EQ(0.65, static_cast<CElemD*>(d.get())->Vd().Value());
  auto thy = NewOf("D_VCT");
  Tool(*thy, 2, 0, true, 0.65);  // not a plain diode: Vd stays
  EXPECT_EQ(0.0, static_cast<CElemD*>(thy.get())->Vd().Value());
}

TEST(ElemDVariants, DrawingVariantsSwapTypeAndKeepTheModel) {
  const char* pairs[][2] = {{"D_D", "_D_D45"}, {"D_Z", "_D_Z45"}, {"D_ZS", "_D_ZS45"}};
  for (auto& p : pairs) {
    auto c = NewOf(p[0]);
    const int model = c->Model();
    EXPECT_EQ(p[1] + (" " + std::to_string(ElemSet.GetElemType(p[1])->id)), Turn(*c, CM_TO45));
    EXPECT_EQ(model, c->Model());
    EXPECT_EQ(p[0] + (" " + std::to_string(ElemSet.GetElemType(p[0])->id)), Turn(*c, CM_FROM45));
  }
  EXPECT_EQ("D_BR 17", Turn(*NewOf("D_BR"), CM_TO45));
}

// --- In a document --------------------------------------------------------------------

// sd_halfwave.qvs: a 10 V, 50 Hz sine source V1 into the ideal diode D1
// (anode node 1, cathode node 2) and R1 = 1 kOhm to ground, step 0.1 ms;
// traces: D1's current, D1's voltage (anode - cathode), R1's voltage.
TEST(DiodeDoc, HalfWaveRectifierTraces) {
  CDoc doc;
  ASSERT_EQ(0, doc.OpenDLL(TestData("elements/sd_halfwave.qvs").c_str()));
  ASSERT_TRUE(doc.ExecuteDLLSim(35e-3, 2)) << dll_error_text();
  // Each trace is read at its own sample times (a trace may leave out
  // points that lie on a straight line). The expected value of each, by
  // the source value v at the sample's time:
  const std::function<double(double)> expected[3] = {
      [](double v) { return std::max(0.0, v) / 1000.0; },  // D1 current, A
      [](double v) { return std::min(0.0, v); },           // D1 anode - cathode, V
      [](double v) { return std::max(0.0, v); },           // R1, V
  };
  std::vector<double> times;
  for (int n = 0; n < 3; ++n) {
    CData* data = doc.Tran()->Traces().GetAt(n)->GetData(0);
    ASSERT_NE(nullptr, data);
    EXPECT_GT(data->GetSize(), 100) << n;
    for (int i = 0; i < data->GetSize(); ++i) {
      double t = 0.0, v = 0.0;
      ASSERT_TRUE(data->GetDataAt(i, &t, &v, false));
      EXPECT_NEAR(expected[n](Sine(t)), v, kSolveTol) << "trace " << n << " t=" << t;
      times.push_back(t);
    }
  }
  // The engine searches each zero crossing down to 1.5 minimal steps
  // (step / 8): some point lies that close before it.
  for (double crossing : {10e-3, 20e-3, 30e-3}) {
    double before = 0.0;
    for (double t : times)
      if (t <= crossing + 1e-12) before = t;
    EXPECT_GE(before, crossing - 1.5 * 0.125e-4) << crossing;
  }
  doc.ClearDLLSim();
}
