// Resistors: registry rows, parameters by model, document attributes of
// the value, the potentiometer and the PWL-I table, and the extra
// unknowns that depend on the values; then the resistors in the engine:
// static solutions of small circuits checked against hand-computed node
// voltages and branch currents, parameter messages, PWL zones, and the
// operations the engine and the editor call besides stamping.

#include "elements/ElemR.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>

#include "base/globals.h"
#include "circuit/CirTools.h"
#include "circuit/Cmps.h"
#include "doc/Doc.h"
#include "elements/ElemAttrCheck.h"
#include "engine/Calc.h"
#include "expr/globals.h"

TEST(ElemRRegistry, TypesAndModels) {
  const char* rows[] = {
      "R_R 51 2 Resistor|R(12,0,7) PWL(11,1,7) PWL-I(52,1,7) SubCir(10,0,1)",
      "R_Pot 52 3 Potentiometer|Potentiometer(61,0,1)",
      "R_VCR 53 4 Voltage controlled\\nresistor|PWL(11,1,7)",
      "R_CCR 54 4 Current controlled\\nresistor|PWL(11,2,7)",
      "_R_R45 55 2 Resistor|R(12,0,7) PWL(11,1,7) PWL-I(52,1,7) SubCir(10,0,1)",
  };
  const char* keys[] = {"R_R", "R_Pot", "R_VCR", "R_CCR", "_R_R45"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(rows[i], RegistryRow(keys[i]));
}

TEST(ElemRParams, NamesUnitsAndDefaults) {
  auto r = NewOf("R_R");
  EXPECT_EQ("R", ParamNames(*r, MC_R));
  EXPECT_STREQ("Ohm", r->GetParameter("r")->Unit());
  EXPECT_EQ("1", r->GetParameter("R")->GetText().str());
  EXPECT_EQ("pwl", ParamNames(*r, MC_PWL));
  EXPECT_EQ("pwl", ParamNames(*r, MC_PWL_I));
  EXPECT_EQ("File Pin1 Pin2 Cmd IC", ParamNames(*r, MC_SUBCIR));  // the subcircuit's
  auto pot = NewOf("R_Pot");
  EXPECT_EQ("R Position", ParamNames(*pot, MC_POTENTIOMETER));
  EXPECT_EQ("0", pot->GetParameter("Position")->GetText().str());
  // The two PWL tables are separate: each model's "pwl" is its own text.
  SetParam(*r, MC_PWL, "pwl", "1, 0, 2");
  SetParam(*r, MC_PWL_I, "pwl", "3, 1, 4");
  r->SetModel(MC_PWL);
  EXPECT_EQ("1, 0, 2", r->GetParameter("pwl")->GetText().str());
  EXPECT_EQ("1, 0, 2", r->PwlText().str());
  EXPECT_EQ("3, 1, 4", static_cast<CElemR*>(r.get())->PwlI().text.str());
}

TEST(ElemRDocument, ValueAndPwlITableRoundTrip) {
  auto r = NewOf("R_R");
  SetParam(*r, MC_R, "R", "=2*1.5");
  SetParam(*r, MC_PWL_I, "pwl", "0.5, 1, 2");
  CPWL& t = static_cast<CElemR*>(r.get())->PwlI();
  t.file = "my table.txt";
  t.mode = 2;
  CXMLNode stored("Cmp");
  auto copy = RoundTrip(*r, false, &stored);
  EXPECT_EQ("3", Attr(stored, "r"));
  EXPECT_EQ("%3d2*1.5", Attr(stored, "r_str"));
  EXPECT_EQ("0.5, 1, 2", Attr(stored, "pwli"));
  EXPECT_EQ("my+table.txt", Attr(stored, "pwlif"));
  EXPECT_EQ("2", Attr(stored, "pwlim"));
  EXPECT_EQ(AllParams(*r), AllParams(*copy));
  CPWL& u = static_cast<CElemR*>(copy.get())->PwlI();
  EXPECT_EQ("my table.txt", u.file.str());
  EXPECT_EQ(2, u.mode);

  // In model "R" the PWL-I table is not stored.
  r->SetModel(MC_R);
  CXMLNode plain("Cmp");
  RoundTrip(*r, false, &plain);
  EXPECT_EQ("<absent>", Attr(plain, "pwli"));
}

TEST(ElemRDocument, PotentiometerAndControlledTypes) {
  auto pot = NewOf("R_Pot");
  SetParam(*pot, MC_POTENTIOMETER, "R", "470");
  SetParam(*pot, MC_POTENTIOMETER, "Position", "0.25");
  CXMLNode stored("Cmp");
  auto copy = RoundTrip(*pot, false, &stored);
  EXPECT_EQ("470", Attr(stored, "r"));
  EXPECT_EQ("250e-3", Attr(stored, "p"));
  EXPECT_EQ(AllParams(*pot), AllParams(*copy));

  // The controlled resistors keep only their table, in the common part.
  auto vcr = NewOf("R_VCR");
  SetParam(*vcr, MC_PWL, "pwl", "10, 1, 20");
  CXMLNode v("Cmp");
  auto vcopy = RoundTrip(*vcr, false, &v);
  EXPECT_EQ("<absent>", Attr(v, "r"));
  EXPECT_EQ("10, 1, 20", Attr(v, "pwl"));
  EXPECT_EQ(AllParams(*vcr), AllParams(*vcopy));
}

TEST(ElemRExtra, ShortsNeedAnUnknown) {
  struct Case {
    const char* key;
    int model;
    const char *r, *pos;
    int extra;
  } cases[] = {{"R_R", MC_R, "0", nullptr, 1},       {"R_R", MC_R, "1k", nullptr, 0},
               {"R_Pot", MC_POTENTIOMETER, "0", "0.5", 2}, {"R_Pot", MC_POTENTIOMETER, "1", "0", 1},
               {"R_Pot", MC_POTENTIOMETER, "1", "1", 1},   {"R_Pot", MC_POTENTIOMETER, "1", "0.5", 0},
               {"R_CCR", MC_PWL, nullptr, nullptr, 2},     {"R_R", MC_PWL_I, nullptr, nullptr, 1}};
  for (const Case& k : cases) {
    auto c = NewOf(k.key);
    if (k.r != nullptr) SetParam(*c, k.model, "R", k.r);
    if (k.pos != nullptr) SetParam(*c, k.model, "Position", k.pos);
    c->SetModel(k.model);
    EXPECT_EQ(k.extra, c->CreateExtraNodes(nullptr, 5)) << k.key << " " << (k.r ? k.r : "");
  }
}

// --- In the engine ------------------------------------------------------------------

namespace {

// A test-only ideal voltage source: X[pin 1] - X[pin 0] = value, its
// current in its one extra unknown. Not part of the library.
class CTestVSource : public CCmp {
 public:
  explicit CTestVSource(const SElemType* type) : CCmp(type) {}
  bool CalcFunc(CCalc* calc, int mode, double /*t*/) override {
    if (mode != CM_FILL || calc->SecondPass()) return true;
    return calc->SetV(Node(0), Node(1), GetExtraNode(0), value) || calc->SetCmpError(this, nullptr);
  }
  double value = 0.0;  // V
};

// A test-only ramp source for transient runs: X[pin 1] - X[pin 0] =
// v0 + rate * t, written as a signal value at every step's end time.
class CTestRamp : public CCmp {
 public:
  explicit CTestRamp(const SElemType* type) : CCmp(type) {}
  bool CalcFunc(CCalc* calc, int mode, double t) override {
    const int k = GetExtraNode(0);
    if (mode == CM_FILL && !calc->SecondPass()) {
      calc->SetYsignal(k);
      return calc->SetV(Node(0), Node(1), k, 0.0) || calc->SetCmpError(this, nullptr);
    }
    if (mode == CM_FILL_Y) calc->SetY(k, v0 + rate * t);
    return true;
  }
  double v0 = 0.0;    // V
  double rate = 0.0;  // V/s
};

const SElemModel m_models_test_v[] = {{"V", MC_V, nullptr, 0, 1, 0}, {}};
const SElemType m_type_test_v = {
    "V_TEST", 9001, CreateCmpOf<CTestVSource>, 2, nullptr, m_models_test_v, 0, "test source", 0};
const SElemType m_type_test_ramp = {
    "V_RAMP", 9002, CreateCmpOf<CTestRamp>, 2, nullptr, m_models_test_v, 0, "test ramp", 0};

// Round-off of one elimination of a handful of unknowns of order 1e3.
constexpr double kSolveTol = 1e-9;

// A document whose components the test adds, and its engine.
class RCircuit : public ::testing::Test {
 protected:
  void TearDown() override {
    if (calc_ != nullptr) calc_->ClearCalc();
  }

  CCmps* Cmps() { return doc_.Cmps(); }

  // A registry component on the given nodes (pin order).
  CCmp* Add(const char* key, std::initializer_list<int> nodes) {
    CCmp* c = Cmps()->AddCmp(key);
    EXPECT_NE(nullptr, c) << key;
    int pin = 0;
    for (int n : nodes) c->SetNode(pin++, n);
    return c;
  }
  // A resistor of model "R" with value text r.
  CCmp* AddR(int a, int b, const char* r) {
    CCmp* c = Add("R_R", {a, b});
    SetParam(*c, MC_R, "R", r);
    return c;
  }
  // The source: node b is value volts above node a.
  CTestVSource* AddV(int a, int b, double value) {
    auto* v = Place(new CTestVSource(&m_type_test_v), a, b);
    v->value = value;
    return v;
  }
  // The ramp: node b is v0 + rate * t volts above node a.
  CTestRamp* AddRamp(int a, int b, double v0, double rate) {
    auto* v = Place(new CTestRamp(&m_type_test_ramp), a, b);
    v->v0 = v0;
    v->rate = rate;
    return v;
  }
  // Names a test source V<n> and puts it into the document on nodes a, b.
  template <class T>
  T* Place(T* v, int a, int b) {
    v->SetName(Cmps()->GetNewName("V"));
    v->SetId(Cmps()->GetNewCmpId());
    v->SetOwner(Cmps());
    v->SetNode(0, a);
    v->SetNode(1, b);
    Cmps()->Add(v);
    return v;
  }

  // Takes the components, numbers the nodes and allocates the matrices.
  bool Start() {
    calc_ = doc_.CreateCalc();
    if (calc_ == nullptr) return false;
    calc_->ClearCalc();
    calc_->ClearError();
    return calc_->InitCmps(Cmps()) && calc_->CreateMatr();
  }
  bool Solve() { return calc_->calc_stat(); }
  std::string Error() const {
    const char* e = calc_->GetError();
    return e != nullptr ? e : "";
  }

  // Voltage at a pin and value of an extra unknown of the last solution.
  double V(const CCmp* c, int pin) const { return calc_->X()[c->Node(pin)]; }
  double Extra(const CCmp* c, int i) const { return calc_->X()[c->GetExtraNode(i)]; }

  CDoc doc_;
  CCalc* calc_ = nullptr;
};

}  // namespace

TEST_F(RCircuit, DividerAndTheCurrentItsTraceDerives) {
  AddV(0, 1, 10.0);
  CCmp* r1 = AddR(1, 2, "1k");
  CCmp* r2 = AddR(2, 0, "3k");
  ASSERT_TRUE(Start()) << Error();
  ASSERT_TRUE(Solve()) << Error();
  EXPECT_NEAR(10.0 * 3.0 / 4.0, V(r2, 0), kSolveTol);

  // The trace of R1 reads its nodes and divides by its resistance: the
  // current is positive from pin 1 through R1 to pin 0, and here it flows
  // from the source (pin 0) towards R2, so it is negative.
  int n1 = -1, n2 = -1, extra = -1;
  double k = 0.0;
  ASSERT_TRUE(r1->GetTraceNodes(calc_, 0, n1, n2, extra, k));
  EXPECT_EQ(r1->Node(0), n1);
  EXPECT_EQ(r1->Node(1), n2);
  EXPECT_EQ(0, extra);
  EXPECT_EQ(1000.0, k);
  const double* x = calc_->X();
  EXPECT_NEAR(-10.0 / 4000.0, (x[n2] - x[n1]) / k, kSolveTol);
}

TEST_F(RCircuit, ZeroResistanceIsAnIdealShortCarryingItsCurrent) {
  AddV(0, 1, 5.0);
  CCmp* r1 = AddR(1, 2, "0");
  CCmp* r2 = AddR(2, 0, "1k");
  ASSERT_TRUE(Start()) << Error();
  EXPECT_EQ(1, r1->ExtraCount());
  ASSERT_TRUE(Solve()) << Error();
  // Tied nodes are copied, not solved: exactly equal.
  EXPECT_EQ(V(r1, 0), V(r1, 1));
  EXPECT_NEAR(5.0, V(r2, 0), kSolveTol);
  // 5 mA from pin 0 to pin 1 of R1: negative in its own direction.
  EXPECT_NEAR(-5e-3, Extra(r1, 0), kSolveTol);
  // No factor to derive the current from: the trace reads the unknown.
  int n1 = 0, n2 = 0, extra = 0;
  double k = 1.0;
  ASSERT_TRUE(r1->GetTraceNodes(calc_, 0, n1, n2, extra, k));
  EXPECT_EQ(r1->GetExtraNode(0), extra);
  EXPECT_EQ(0.0, k);
}

TEST_F(RCircuit, InfiniteResistanceConnectsNothing) {
  AddV(0, 1, 10.0);
  CCmp* r1 = AddR(1, 2, "1k");
  CCmp* open = AddR(2, 0, "inf");
  ASSERT_TRUE(std::isinf(static_cast<CElemR*>(open)->R().Value()));
  ASSERT_TRUE(Start()) << Error();
  ASSERT_TRUE(Solve()) << Error();
  EXPECT_NEAR(10.0, V(r1, 1), kSolveTol);  // no current through R1
}

TEST_F(RCircuit, PotentiometerDividesAtEveryPosition) {
  // 10 V on a, b grounded, a 1 kOhm load from the wiper to ground.
  struct Case {
    const char* position;
    double wiper;
    int extra;
  } cases[] = {
      {"0", 10.0, 1},  // a shorted to the wiper
      {"1", 0.0, 1},   // the wiper shorted to b
      // 500 Ohm above a wiper loaded by 500 || 1k = 333.3 Ohm.
      {"0.5", 10.0 * (1000.0 / 3.0) / (500.0 + 1000.0 / 3.0), 0},
      // 250 Ohm above 750 || 1k = 428.57 Ohm.
      {"0.25", 10.0 * (750.0 * 1000.0 / 1750.0) / (250.0 + 750.0 * 1000.0 / 1750.0), 0},
  };
  for (const Case& c : cases) {
    Cmps()->ClearCmps();
    AddV(0, 1, 10.0);
    CCmp* pot = Add("R_Pot", {1, 0, 2});
    SetParam(*pot, MC_POTENTIOMETER, "R", "1k");
    SetParam(*pot, MC_POTENTIOMETER, "Position", c.position);
    AddR(2, 0, "1k");
    ASSERT_TRUE(Start()) << Error();
    EXPECT_EQ(c.extra, pot->ExtraCount()) << c.position;
    ASSERT_TRUE(Solve()) << Error();
    EXPECT_NEAR(c.wiper, V(pot, 2), kSolveTol) << c.position;
    calc_->ClearCalc();
  }
}

TEST_F(RCircuit, PotentiometerShortAtTheEndCarriesTheWholeCurrent) {
  AddV(0, 1, 10.0);
  CCmp* pot = Add("R_Pot", {1, 0, 2});
  SetParam(*pot, MC_POTENTIOMETER, "R", "1k");
  SetParam(*pot, MC_POTENTIOMETER, "Position", "0");
  AddR(2, 0, "1k");
  ASSERT_TRUE(Start()) << Error();
  ASSERT_TRUE(Solve()) << Error();
  EXPECT_EQ(V(pot, 0), V(pot, 2));
  // 10 mA through the potentiometer's R and 10 mA through the load, both
  // flowing from a into the wiper: against the short's own direction.
  EXPECT_NEAR(-20e-3, Extra(pot, 0), kSolveTol);
}

TEST_F(RCircuit, ZeroPotentiometerTiesAllThreePins) {
  AddV(0, 1, 3.0);
  CCmp* pot = Add("R_Pot", {1, 2, 3});  // a = 1, b = 2, wiper = 3
  SetParam(*pot, MC_POTENTIOMETER, "R", "0");
  SetParam(*pot, MC_POTENTIOMETER, "Position", "0.5");
  CCmp* load_b = AddR(2, 0, "100");
  AddR(3, 0, "300");
  ASSERT_TRUE(Start()) << Error();
  EXPECT_EQ(2, pot->ExtraCount());
  ASSERT_TRUE(Solve()) << Error();
  EXPECT_EQ(V(pot, 0), V(pot, 2));
  EXPECT_EQ(V(pot, 2), V(pot, 1));
  EXPECT_NEAR(3.0, V(load_b, 0), kSolveTol);
  // Wiper to b carries b's load only: 3 V / 100 Ohm, from the wiper to b.
  EXPECT_NEAR(-30e-3, Extra(pot, 1), kSolveTol);
  // a to the wiper carries both loads: 30 mA + 3 V / 300 Ohm.
  EXPECT_NEAR(-40e-3, Extra(pot, 0), kSolveTol);
}

TEST_F(RCircuit, ParameterMessagesNameTheComponent) {
  struct Case {
    const char* r;
    const char* position;
    std::string error;
  } cases[] = {
      {"1k", "-0.1", "R1 : Position < 0\n"},
      {"1k", "1.5", "R1 : Position > 1\n"},
      {"=nosuch", "0.5", "R1 : R : formula error\n"},
      // Both checked: the R message does not hide the Position one.
      {"=nosuch", "=nosuch", "R1 : R : formula error\nR1 : Position : formula error\n"},
      {"=nosuch", "2", "R1 : R : formula error\nR1 : Position > 1\n"},
  };
  for (const Case& c : cases) {
    Cmps()->ClearCmps();
    CCmp* pot = Add("R_Pot", {1, 0, 2});
    ASSERT_EQ("R1", pot->Name().str());
    bool ok = true;
    pot->SetModel(MC_POTENTIOMETER);
    pot->GetParameter("R")->SetText(c.r, nullptr, ok, nullptr);
    pot->GetParameter("Position")->SetText(c.position, nullptr, ok, nullptr);
    EXPECT_FALSE(Start()) << c.r << " " << c.position;
    EXPECT_EQ(c.error, Error()) << c.r << " " << c.position;
    calc_->ClearCalc();
  }
}

TEST_F(RCircuit, EndPositionsAreValidAndEveryComponentIsChecked) {
  for (const char* p : {"0", "1"}) {
    Cmps()->ClearCmps();
    AddV(0, 1, 1.0);
    CCmp* pot = Add("R_Pot", {1, 0, 2});
    SetParam(*pot, MC_POTENTIOMETER, "Position", p);
    EXPECT_TRUE(Start()) << p << ": " << Error();
    calc_->ClearCalc();
  }

  Cmps()->ClearCmps();
  CCmp* r = Add("R_R", {1, 0});
  bool ok = true;
  r->SetModel(MC_R);
  r->GetParameter("R")->SetText("=nosuch", nullptr, ok, nullptr);
  CCmp* pot = Add("R_Pot", {1, 0, 2});
  SetParam(*pot, MC_POTENTIOMETER, "Position", "-1");
  EXPECT_FALSE(Start());
  EXPECT_EQ("R1 : R : formula error\nR2 : Position < 0\n", Error());
}

TEST_F(RCircuit, ZeroResistanceWithoutItsUnknownIsRefused) {
  AddV(0, 1, 1.0);
  CCmp* r = AddR(1, 0, "1k");
  ASSERT_TRUE(Start()) << Error();
  // R becomes 0 after the unknowns were counted: no short to stamp into.
  static_cast<CElemR*>(r)->R().SetVal(0.0);
  EXPECT_FALSE(Solve());
  EXPECT_EQ("R1 : Zero resistance", Error());
}

// --- PWL models ----------------------------------------------------------------------

TEST_F(RCircuit, PwlCurrentFollowsTheTableAcrossZones) {
  // I(V): 1 mS up to 2 V, 3 mS beyond, mirrored below 0. The second zone's
  // line does not pass through the origin: i = 2 mA + 3 mS (v - 2 V).
  struct Case {
    double v;
    int zone;
    double i;
  } cases[] = {
      {1.0, 0, 1e-3},          {2.0, 1, 2e-3},  {3.0, 1, 2e-3 + 3e-3 * 1.0},
      {10.0, 1, 2e-3 + 24e-3}, {-3.0, -1, -5e-3}, {-1.5, 0, -1.5e-3},
  };
  for (const Case& c : cases) {
    Cmps()->ClearCmps();
    AddV(0, 1, c.v);
    CCmp* r = Add("R_R", {0, 1});
    SetParam(*r, MC_PWL, "pwl", "1m, 2, 3m");
    ASSERT_TRUE(Start()) << Error();
    EXPECT_EQ(0, r->State());
    ASSERT_TRUE(Solve()) << Error();
    // Zone 0 is stamped first; the solution tells where v really is.
    EXPECT_EQ(c.zone != 0, r->CheckState(calc_, false)) << c.v;
    EXPECT_EQ(0, r->State());
    r->CheckState(calc_, true);
    EXPECT_EQ(c.zone, r->State()) << c.v;
    ASSERT_TRUE(Solve()) << Error();
    EXPECT_FALSE(r->CheckState(calc_, false)) << c.v;
    EXPECT_NEAR(c.i, Extra(r, 0), 1e-12) << c.v;
    calc_->ClearCalc();
  }
}

TEST_F(RCircuit, PwlCurrentIsContinuousAtTheBreakpoint) {
  AddV(0, 1, 2.0);
  CCmp* r = Add("R_R", {0, 1});
  SetParam(*r, MC_PWL, "pwl", "1m, 2, 3m");
  ASSERT_TRUE(Start()) << Error();
  ASSERT_TRUE(Solve()) << Error();
  const double below = Extra(r, 0);
  r->SetState(1);
  ASSERT_TRUE(Solve()) << Error();
  EXPECT_NEAR(below, Extra(r, 0), 1e-15);
  EXPECT_NEAR(2e-3, below, 1e-15);
}

TEST_F(RCircuit, PwlIVoltageFollowsTheTableOfTheCurrent) {
  // V(I): 100 Ohm up to 10 mA, 1 kOhm beyond. Driven with 5.9 V the
  // current lies beyond: 5.9 = 1 V + 1 kOhm (i - 10 mA).
  AddV(0, 1, 5.9);
  CCmp* r = Add("R_R", {0, 1});
  SetParam(*r, MC_PWL_I, "pwl", "100, 10m, 1k");
  ASSERT_TRUE(Start()) << Error();
  ASSERT_TRUE(Solve()) << Error();
  EXPECT_NEAR(5.9 / 100.0, Extra(r, 0), 1e-12);  // zone 0's line
  EXPECT_TRUE(r->CheckState(calc_, true));
  EXPECT_EQ(1, r->State());
  ASSERT_TRUE(Solve()) << Error();
  EXPECT_NEAR(10e-3 + 4.9 / 1000.0, Extra(r, 0), 1e-12);
  EXPECT_FALSE(r->CheckState(calc_, true));
  int lo = 0, hi = 0;
  EXPECT_TRUE(r->GetMinMaxState(lo, hi));
  EXPECT_EQ(-1, lo);
  EXPECT_EQ(1, hi);
  // Releasing the model's data forgets the table built for the run.
  ASSERT_TRUE(r->CalcFunc(calc_, CM_CLEAR, 0.0));
  EXPECT_FALSE(static_cast<CElemR*>(r)->PwlI().IsBuilt());
  EXPECT_FALSE(r->GetMinMaxState(lo, hi));
}

TEST_F(RCircuit, VoltageControlledResistorSwitchesThroughItsZoneCheck) {
  AddV(0, 1, 10.0);
  AddV(0, 2, 2.0);  // control voltage
  CCmp* r = Add("R_VCR", {1, 0, 0, 2});
  SetParam(*r, MC_PWL, "pwl", "1k, 1, 10k");
  ASSERT_TRUE(Start()) << Error();
  ASSERT_TRUE(Solve()) << Error();
  EXPECT_NEAR(-10.0 / 1000.0, Extra(r, 0), 1e-12);
  // Never through CheckState; CheckZone only reports until final.
  EXPECT_FALSE(r->CheckState(calc_, true));
  bool changed = false;
  ASSERT_TRUE(r->CheckZone(calc_, false, changed));
  EXPECT_TRUE(changed);
  EXPECT_EQ(0, r->State());
  ASSERT_TRUE(r->CheckZone(calc_, true, changed));
  EXPECT_EQ(1, r->State());
  ASSERT_TRUE(Solve()) << Error();
  EXPECT_NEAR(-10.0 / 10000.0, Extra(r, 0), 1e-12);
  ASSERT_TRUE(r->CheckZone(calc_, true, changed));
  EXPECT_FALSE(changed);
  int lo = 0, hi = 0;
  EXPECT_FALSE(r->GetMinMaxState(lo, hi));
}

TEST_F(RCircuit, CurrentControlledResistorSensesThroughItsShort) {
  AddV(0, 1, 10.0);
  AddV(0, 2, 1.0);
  CCmp* r = Add("R_CCR", {1, 0, 2, 3});
  CCmp* rc = AddR(3, 0, "100");
  // 1 kOhm while |i| < 5 mA, 10 kOhm beyond; the sensed 10 mA flows from
  // c to d, against the short's own direction: zone -1.
  SetParam(*r, MC_PWL, "pwl", "1k, 5m, 10k");
  ASSERT_TRUE(Start()) << Error();
  ASSERT_TRUE(Solve()) << Error();
  EXPECT_EQ(V(r, 2), V(rc, 0));  // tied by the sense short
  EXPECT_NEAR(-10e-3, Extra(r, 1), 1e-12);
  bool changed = false;
  ASSERT_TRUE(r->CheckZone(calc_, true, changed));
  EXPECT_TRUE(changed);
  EXPECT_EQ(-1, r->State());
  ASSERT_TRUE(Solve()) << Error();
  EXPECT_NEAR(-10.0 / 10000.0, Extra(r, 0), 1e-12);
}

TEST_F(RCircuit, PwlTableMessagesStopTheStart) {
  double unused = 0.0;
  ASSERT_FALSE(indig("x", &unused));
  const std::string reader = m_global_errstr.str();  // the number reader's reason
  struct Case {
    const char* key;
    int model;
    const char* table;
    std::string error;  // "" for a good start
  } cases[] = {
      {"R_R", MC_PWL, "1m, 2", "R1 : Wrong number of PWL parameters\n"},
      {"R_R", MC_PWL, "1m, 2, x", "R1 : PWL error: " + reader + "\n"},
      {"R_R", MC_PWL_I, "", "R1 : Wrong number of PWL parameters\n"},
      // An infinite slope has no stamp in I(V) or V(I) ...
      {"R_R", MC_PWL, "1m, 2, inf", "R1 : Infinite value not allowed\n"},
      {"R_R", MC_PWL_I, "inf, 1, 2", "R1 : Infinite value not allowed\n"},
      // ... but an infinite resistance of a controlled resistor is open.
      {"R_VCR", MC_PWL, "1k, 1, inf", ""},
      {"R_CCR", MC_PWL, "0, 1, inf", ""},
  };
  for (const Case& c : cases) {
    Cmps()->ClearCmps();
    CCmp* r = Add(c.key, {1, 0, 2, 0});
    bool ok = true;
    r->SetModel(c.model);
    r->GetParameter("pwl")->SetText(c.table, nullptr, ok, nullptr);
    EXPECT_EQ(c.error.empty(), Start()) << c.key << " " << c.table;
    EXPECT_EQ(c.error, Error()) << c.key << " " << c.table;
    calc_->ClearCalc();
  }
}

TEST_F(RCircuit, ZoneStartsAtZeroAfterAModelChangeAndIsKeptOtherwise) {
  AddV(0, 1, 1.0);
  CCmp* r = Add("R_R", {0, 1});
  SetParam(*r, MC_PWL, "pwl", "1, 1, 2, 3, 4");
  r->SetState(2);
  ASSERT_TRUE(Start()) << Error();
  EXPECT_EQ(0, r->State());
  int lo = 0, hi = 0;
  EXPECT_TRUE(r->GetMinMaxState(lo, hi));
  EXPECT_EQ(-2, lo);
  EXPECT_EQ(2, hi);

  calc_->ClearCalc();
  r->SetState(-1);
  ASSERT_TRUE(Start()) << Error();
  EXPECT_EQ(-1, r->State());

  // A resistor of model "R" has no zones.
  calc_->ClearCalc();
  r->SetModel(MC_R);
  ASSERT_TRUE(Start()) << Error();
  EXPECT_FALSE(r->GetMinMaxState(lo, hi));
  EXPECT_FALSE(r->CheckState(calc_, true));
}

// A transient run of a ramp across a PWL resistor: every accepted point
// must lie on the table's characteristic, whatever zones the run passed.
class RPwlRamp : public RCircuit {
 protected:
  // The table "1m, 2, 3m" as a function: 1 mS up to 2 V, then 3 mS, odd.
  static double Current(double v) {
    const double a = std::fabs(v);
    const double i = a <= 2.0 ? 1e-3 * a : 2e-3 + 3e-3 * (a - 2.0);
    return v < 0 ? -i : i;
  }

  // Runs until t_end; checks each accepted point and returns the lowest
  // and highest resistor voltage seen.
  void Run(CCmp* r, double t_end, double& vmin, double& vmax) {
    doc_.TranSettings().step = 10e-3;
    calc_ = doc_.CreateCalc();
    ASSERT_NE(nullptr, calc_);
    ASSERT_TRUE(calc_->sim_start());
    vmin = 1e300;
    vmax = -1e300;
    int64_t seen = 0;
    for (int calls = 0; calls < 100000 && calc_->Time() < t_end; ++calls) {
      ASSERT_TRUE(calc_->sim_execute()) << Error();
      if (calc_->Counters().accepted == seen) continue;
      seen = calc_->Counters().accepted;
      const double v = V(r, 1) - V(r, 0);
      vmin = std::min(vmin, v);
      vmax = std::max(vmax, v);
      // One elimination per point: round-off of order 1e-16 A.
      EXPECT_NEAR(Current(v), Extra(r, 0), 1e-14) << "t=" << calc_->Time() << " v=" << v;
      EXPECT_EQ(r->State(), r->Pwl()->ZoneOf(v)) << "t=" << calc_->Time() << " v=" << v;
    }
    EXPECT_GE(calc_->Time(), t_end);
  }
  void TearDown() override {
    if (calc_ != nullptr) calc_->sim_stop();
  }
};

TEST_F(RPwlRamp, RampsCrossTheZonesOnTheCharacteristic) {
  struct Case {
    double v0, rate;  // V, V/s over 0.5 s
    double vmin_below, vmax_above;
    int zone;  // at the end
  } cases[] = {
      {0.0, 10.0, 2.0, 4.9, 1},      // 0 to 5 V: 2 V at 0.2 s, into the steep zone
      {5.0, -20.0, -4.9, 4.9, -1},  // 5 V to -5 V: through zone 0 into the negative zone
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.rate);
    if (calc_ != nullptr) calc_->sim_stop();
    Cmps()->ClearCmps();
    AddRamp(0, 1, k.v0, k.rate);
    CCmp* r = Add("R_R", {0, 1});
    SetParam(*r, MC_PWL, "pwl", "1m, 2, 3m");
    double vmin = 0, vmax = 0;
    Run(r, 0.5, vmin, vmax);
    EXPECT_LT(vmin, k.vmin_below);
    EXPECT_GT(vmax, k.vmax_above);
    EXPECT_EQ(k.zone, r->State());
  }
}

// --- Other operations ----------------------------------------------------------------

TEST(ElemRGroups, PinGroupsJoinWhatConducts) {
  struct Case {
    const char* key;
    int model;
    const char* r;  // R for "R" and the potentiometer
    const char* position;
    const char* groups;
  } cases[] = {
      {"R_R", MC_R, "1k", nullptr, "11"},
      {"R_R", MC_R, "0", nullptr, "11"},
      {"R_R", MC_R, "inf", nullptr, "12"},  // nothing conducts through an infinite resistance
      {"R_R", MC_PWL, nullptr, nullptr, "11"},
      {"R_Pot", MC_POTENTIOMETER, "1k", "0.3", "111"},
      {"R_Pot", MC_POTENTIOMETER, "inf", "0", "131"},
      {"R_Pot", MC_POTENTIOMETER, "inf", "0.5", "132"},
      {"R_VCR", MC_PWL, nullptr, nullptr, "1123"},
      {"R_CCR", MC_PWL, nullptr, nullptr, "1122"},
  };
  for (const Case& c : cases) {
    auto r = NewOf(c.key);
    if (c.r != nullptr) SetParam(*r, c.model, "R", c.r);
    if (c.position != nullptr) SetParam(*r, c.model, "Position", c.position);
    r->SetModel(c.model);
    EXPECT_EQ(c.groups, PinGroups(*r))
        << c.key << " " << (c.r ? c.r : "") << " " << (c.position ? c.position : "");
  }
}

TEST(ElemRVariant, PlainAndFortyFiveDegreeResistorSwapTypes) {
  auto r = NewOf("R_R");
  EXPECT_EQ("_R_R45 55", Turn(*r, CM_TO45));
  EXPECT_EQ("_R_R45 55", Turn(*r, CM_TO45));  // already turned
  EXPECT_EQ("R_R 51", Turn(*r, CM_FROM45));
  EXPECT_EQ("R_Pot 52", Turn(*NewOf("R_Pot"), CM_TO45));
}

TEST(ElemRTools, ScalingCommandsChangeOnlyModelR) {
  struct Case {
    int command, sub;
    double value, value2;
    double r;  // R after the command, from 1 kOhm
  } cases[] = {
      {4, 2, 10.0, 0.0, 100.0},  {4, 3, 10.0, 0.0, 10000.0}, {5, 0, 0.0, 2.5, 2500.0},
      {5, 3, 7.0, 0.5, 500.0},   {4, 2, 0.0, 0.0, 1000.0},   // no division by zero
      {4, 1, 10.0, 3.0, 1000.0}, {1, 0, 10.0, 3.0, 1000.0},  // not a resistor command
  };
  for (const Case& c : cases) {
    auto r = NewOf("R_R");
    SetParam(*r, MC_R, "R", "1k");
    Tool(*r, c.command, c.sub, false, c.value, c.value2);
    EXPECT_DOUBLE_EQ(c.r, static_cast<CElemR*>(r.get())->R().Value()) << c.command << "/" << c.sub;
  }
  auto pwl = NewOf("R_R");
  SetParam(*pwl, MC_R, "R", "1k");
  pwl->SetModel(MC_PWL);
  Tool(*pwl, 5, 0, false, 0.0, 2.0);
  EXPECT_EQ(1000.0, static_cast<CElemR*>(pwl.get())->R().Value());
}
