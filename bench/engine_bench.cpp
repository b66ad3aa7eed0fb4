// The engine's inner operations on RC ladders of N sections: filling and
// eliminating the matrix (a static solution), and the transition step of a
// linear interval (what every time step of a switching circuit costs
// between two switchings). Each benchmark reports heap allocations per
// operation ("allocs/op"), which must be 0 for the step.

#include <benchmark/benchmark.h>

#include "circuit/Cmp.h"
#include "circuit/Cmps.h"
#include "circuit/ElemSet.h"
#include "doc/Doc.h"
#include "engine/Calc.h"

#include "AllocCounter.h"

namespace {

// A resistor, a capacitor to ground or a 1 V source: the least a ladder
// needs, stamped the way the library's elements stamp them.
class CBenchElem : public CCmp {
 public:
  enum Kind { kR, kC, kV };
  explicit CBenchElem(const SElemType* type) : CCmp(type) {}
  int CreateExtraNodes(CCalc* /*calc*/, int first) override {
    const int n = kind != kR ? 1 : 0;
    SetExtra(n, first);
    return n;
  }
  bool CalcFunc(CCalc* c, int mode, double /*t*/) override {
    if (mode != CM_FILL || c->SecondPass()) return true;
    const int a = Node(0), b = Node(1), k = FirstExtra();
    switch (kind) {
      case kR:
        return c->SetR(a, b, value);
      case kV:
        return c->SetV(a, b, k, value);
      case kC:
        if (c->SolutionKind() == 0) return c->SetV(a, b, k, 0.0);
        c->AddC(a, a, -value);
        c->AddC(a, b, value);
        c->AddC(b, a, value);
        c->AddC(b, b, -value);
        c->SetB(k, k, 1.0);
        return true;
    }
    return true;
  }
  Kind kind = kR;
  double value = 1.0;
};

const SElemModel m_models_bench[] = {{"R", MC_R, nullptr, 0, 0, 0}, {}};
const SElemType m_type_bench = {"B_BENCH", 9002, CreateCmpOf<CBenchElem>, 2, nullptr,
                                m_models_bench, 0, "bench element", 0};

// 1 V source, then n sections of 1 kOhm in series and 1 uF to ground.
void BuildLadder(CDoc& doc, int n) {
  auto add = [&doc](CBenchElem::Kind kind, int a, int b, double v) {
    auto* e = new CBenchElem(&m_type_bench);
    e->kind = kind;
    e->value = v;
    e->SetNode(0, a);
    e->SetNode(1, b);
    e->SetId(doc.Cmps()->Count() + 1);
    e->SetName(AnsiString("B") + std::to_string(doc.Cmps()->Count() + 1));
    doc.Cmps()->Add(e);
  };
  add(CBenchElem::kV, 0, 1, 1.0);
  for (int i = 1; i <= n; ++i) {
    add(CBenchElem::kR, i, i + 1, 1000.0);
    add(CBenchElem::kC, 0, i + 1, 1e-6);
  }
}

void Report(benchmark::State& state, long long allocations) {
  state.counters["allocs/op"] = static_cast<double>(allocations) /
                                static_cast<double>(state.iterations() > 0 ? state.iterations() : 1);
  state.SetItemsProcessed(state.iterations());
}

// FillMatr alone: subtract from BM_StaticSolution to get the elimination.
void BM_FillMatr(benchmark::State& state) {
  CDoc doc;
  BuildLadder(doc, static_cast<int>(state.range(0)));
  CCalc* c = doc.CreateCalc();
  c->InitCalc(true);
  if (!c->InitCmps(doc.Cmps()) || !c->CreateMatr()) state.SkipWithError("set-up failed");
  const long long before = g_allocations;
  for (auto _ : state) benchmark::DoNotOptimize(c->FillMatr());
  Report(state, g_allocations - before);
}

// FillMatr, FillY, gauss and AdjustX: one static solution.
void BM_StaticSolution(benchmark::State& state) {
  CDoc doc;
  BuildLadder(doc, static_cast<int>(state.range(0)));
  CCalc* c = doc.CreateCalc();
  c->InitCalc(true);
  if (!c->InitCmps(doc.Cmps()) || !c->CreateMatr()) state.SkipWithError("set-up failed");
  const long long before = g_allocations;
  for (auto _ : state) benchmark::DoNotOptimize(c->calc_stat());
  Report(state, g_allocations - before);
}

// One transient step inside a linear interval (phase 6): sources, the
// transition step, the zone checks and the recording of the point.
void BM_TransitionStep(benchmark::State& state) {
  CDoc doc;
  BuildLadder(doc, static_cast<int>(state.range(0)));
  doc.TranSettings().step = 1e-6;
  CCalc* c = doc.CreateCalc();
  c->sim_start();
  for (int i = 0; i < 100 && c->Phase() != PH_TRANSITION; ++i)
    if (!c->sim_execute()) break;
  if (c->Phase() != PH_TRANSITION) state.SkipWithError("no linear interval reached");
  const long long before = g_allocations;
  for (auto _ : state) benchmark::DoNotOptimize(c->sim_execute());
  Report(state, g_allocations - before);
  c->sim_stop();
}

}  // namespace

BENCHMARK(BM_FillMatr)->Arg(10)->Arg(50)->Arg(200)->Arg(1000);
BENCHMARK(BM_StaticSolution)->Arg(10)->Arg(50)->Arg(200)->Arg(1000);
BENCHMARK(BM_TransitionStep)->Arg(10)->Arg(50)->Arg(200)->Arg(1000);
BENCHMARK_MAIN();
