#pragma once
// A configurable element for the engine tests: up to four pins, a chosen
// number of extra unknowns, and the engine hooks given as functions, so a
// test writes exactly the stamps and zone rules it wants to see the engine
// handle. It lives in the tests, never in the library.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "api/CallFrame.h"
#include "circuit/Cmp.h"
#include "circuit/Cmps.h"
#include "circuit/ElemSet.h"
#include "doc/Doc.h"
#include "engine/Calc.h"
#include "expr/globals.h"
#include "TestData.h"

inline const SElemModel m_models_engine_test[] = {
    {"R", MC_R, nullptr, 0, 0, MF_TRACE_V | MF_TRACE_I | MF_TRACE_P}, {}};

class CEngineTestElem;
using StampFn = std::function<bool(CCalc*, CEngineTestElem*)>;

class CEngineTestElem : public CCmp {
 public:
  explicit CEngineTestElem(const SElemType* type) : CCmp(type) {}

  int CreateExtraNodes(CCalc* /*calc*/, int first) override {
    SetExtra(extra, first);
    return extra;
  }
  int GetCmpPinType(int pin) const override {
    return pin < static_cast<int>(pin_types.size()) ? pin_types[static_cast<std::size_t>(pin)] : 1;
  }
  AnsiString GetPinName(int pin) const override {
    return pin < static_cast<int>(pin_names.size()) ? pin_names[static_cast<std::size_t>(pin)]
                                                    : AnsiString();
  }
  bool CalcFunc(CCalc* calc, int mode, double t) override {
    modes.push_back(mode);
    switch (mode) {
      case CM_FILL:
        return calc->SecondPass() || !stamp || stamp(calc, this);
      case CM_FILL_Y:
        time = t;
        return !fill_y || fill_y(calc, this);
      case CM_INIT:
        return !init || init(calc, this);
      case CM_CALC_Y:
        return !calc_y || calc_y(calc, this);
      case CM_ADD_DATA:
        if (record) record(calc, this);
        return true;
      case CM_FLOATING:
        for (std::size_t p = 0; p < groups.size() && static_cast<int>(p) < PinCount(); ++p)
          Nodes()[PinCount() + static_cast<int>(p)] = groups[p];
        return true;
      case CM_EMPTY_ROWS:
        return !empty_rows || empty_rows(calc, this);
      case CM_ADJUST:
        return !adjust || adjust(calc, this);
      default:
        return true;
    }
  }
  bool CheckState(CCalc* calc, bool update) override {
    if (!zone_of) return false;
    const int z = zone_of(calc, this);
    if (z == State()) return false;
    if (update) SetState(z);
    return true;
  }
  void CalcNewStep(CCalc* /*calc*/, double t, double& next, double& maxStep,
                   double& firstStep) override {
    if (new_step) new_step(t, next, maxStep, firstStep);
  }
  bool GetMinMaxState(int& lo, int& hi) override {
    lo = zone_min;
    hi = zone_max;
    return hi > lo;
  }
  bool CheckParams(CCalc* calc) override {
    return params_error.IsEmpty() || calc->SetCmpError(this, params_error);
  }

  int extra = 0;
  std::vector<int> pin_types;
  std::vector<AnsiString> pin_names;
  std::vector<int> groups;  // per-pin group codes answered in floating-node mode
  StampFn stamp, init, fill_y, calc_y, empty_rows, adjust;
  std::function<void(double t, double& next, double& maxStep, double& firstStep)> new_step;
  std::function<void(CCalc*, CEngineTestElem*)> record;
  std::function<int(CCalc*, CEngineTestElem*)> zone_of;  // the zone the solution asks for
  int zone_min = 0, zone_max = 0;
  AnsiString params_error;
  std::vector<int> modes;  // every CalcFunc mode received, in order
  double time = 0.0;       // time of the last FillY call
};

inline const SElemType m_type_engine_test = {
    "T_TEST", 9001, CreateCmpOf<CEngineTestElem>, 4, nullptr, m_models_engine_test, 0,
    "engine test element", 0};

// A document whose components are test elements, and its engine.
class EngineFixture : public ::testing::Test {
 protected:
  // A test element on nodes (unused pins are -1: disabled), named T<n>.
  CEngineTestElem* Add(std::vector<int> nodes, int extra = 0) {
    auto* e = new CEngineTestElem(&m_type_engine_test);
    for (int p = 0; p < e->PinCount(); ++p)
      e->SetNode(p, p < static_cast<int>(nodes.size()) ? nodes[static_cast<std::size_t>(p)] : -1);
    e->extra = extra;
    e->SetId(doc.Cmps()->Count() + 1);
    e->SetName(AnsiString("T") + std::to_string(doc.Cmps()->Count() + 1));
    doc.Cmps()->Add(e);
    return e;
  }
  // Resistor R between a and b.
  CEngineTestElem* Resistor(int a, int b, double R) {
    CEngineTestElem* e = Add({a, b});
    e->stamp = [R](CCalc* c, CEngineTestElem* self) {
      return c->SetR(self->Node(0), self->Node(1), R) || c->SetCmpError(self, nullptr);
    };
    return e;
  }
  // Voltage source: V(b) - V(a) = v(t), written into Y as a signal.
  CEngineTestElem* Source(int a, int b, std::function<double(double)> v) {
    CEngineTestElem* e = Add({a, b}, 1);
    e->stamp = [](CCalc* c, CEngineTestElem* self) {
      const int k = self->FirstExtra();
      if (!c->SetV(self->Node(0), self->Node(1), k, 0.0)) return c->SetCmpError(self, nullptr);
      c->SetYsignal(k);
      return true;
    };
    e->fill_y = [v](CCalc* c, CEngineTestElem* self) {
      c->SetY(self->FirstExtra(), v(self->time));
      return true;
    };
    return e;
  }
  // Capacitor Cap between a and b, charged to v0 in the static solution.
  CEngineTestElem* Capacitor(int a, int b, double Cap, double v0 = 0.0) {
    CEngineTestElem* e = Add({a, b}, 1);
    e->stamp = [Cap, v0](CCalc* c, CEngineTestElem* self) {
      const int x = self->Node(0), y = self->Node(1), k = self->FirstExtra();
      if (c->SolutionKind() == 0) return c->SetV(x, y, k, v0);
      c->AddC(x, x, -Cap);
      c->AddC(x, y, Cap);
      c->AddC(y, x, Cap);
      c->AddC(y, y, -Cap);
      c->SetB(k, k, 1.0);
      return true;
    };
    return e;
  }
  // A registry component on the given document nodes, in pin order.
  CCmp* AddCmp(const char* key, const std::vector<int>& nodes) {
    CCmp* c = doc.Cmps()->AddCmp(key);
    EXPECT_NE(nullptr, c) << key;
    for (std::size_t p = 0; c != nullptr && p < nodes.size(); ++p)
      c->SetNode(static_cast<int>(p), nodes[p]);
    return c;
  }
  // Drives I (A) into node b, out of node a.
  CEngineTestElem* CurrentSource(int a, int b, double I) {
    CEngineTestElem* e = Add({a, b}, 1);
    e->stamp = [I](CCalc* c, CEngineTestElem* self) {
      return c->SetI(self->Node(0), self->Node(1), self->FirstExtra(), I);
    };
    return e;
  }
  // Starts a run of the engine directly: the initial solution is found.
  CCalc* StartRun() {
    CCalc* c = doc.CreateCalc();
    EXPECT_TRUE(c->sim_start());
    while (c->Phase() <= PH_IC || c->InitFlags() != 0) {
      if (!c->sim_execute()) {
        ADD_FAILURE() << c->ErrorText().str();
        break;
      }
    }
    return c;
  }
  // Steps the engine until its time reaches `until`; false on a failed step.
  static bool RunUntil(CCalc* c, double until) {
    for (int guard = 0; guard < 10000000 && CompareValues(c->Time(), until) < 0; ++guard)
      if (!c->sim_execute()) return false;
    return true;
  }
  // Through the document: opens a test document (path below tests/data),
  // starts its run, runs it to about t (returning the time reached).
  void LoadDoc(const std::string& name) {
    ASSERT_EQ(0, doc.OpenDLL(TestData(name).c_str())) << dll_error_text();
  }
  bool StartDoc() {
    const bool ok = doc.StartDLLSim();
    EXPECT_TRUE(ok) << dll_error_text();
    return ok;
  }
  double RunTo(double t) {
    EXPECT_TRUE(doc.ExecuteDLLSim(t - doc.Calc()->Time(), 2)) << dll_error_text();
    return doc.Calc()->Time();
  }
  // Unknown i of the document run's last solution; node 0 is ground.
  double X(int i) const { return i > 0 ? doc.Calc()->X()[i] : 0.0; }
  CCmp* Cmp(const char* name) { return doc.Cmps()->GetCmp(AnsiString(name)); }

  CCalc* Engine() {
    CCalc* c = doc.CreateCalc();
    c->InitCalc(true);
    return c;
  }
  // Takes the components and builds the matrices.
  CCalc* Built() {
    CCalc* c = Engine();
    EXPECT_TRUE(c->InitCmps(doc.Cmps())) << c->ErrorText().str();
    EXPECT_TRUE(c->CreateMatr()) << c->ErrorText().str();
    return c;
  }

  CDoc doc;
};
