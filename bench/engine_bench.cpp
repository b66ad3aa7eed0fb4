// The engine's inner operations on RC ladders of N sections: filling and
// eliminating the matrix (a static solution), and the transition step of a
// linear interval (what every time step of a switching circuit costs
// between two switchings). Each benchmark reports heap allocations per
// operation ("allocs/op"), which must be 0 for the step.
//
// The transition benchmarks also set the step's cost against its
// arithmetic bound: the step is one multiply-add per stored entry of the
// transition matrix, so it can not be faster than entries / (multiply-adds
// per second the machine sustains). "entries" is that count, "bound_ns" the
// bound per step, "x_bound" measured time per step / bound (1 would be the
// machine's arithmetic limit; memory traffic and the bookkeeping around the
// product put real steps above it).

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <vector>

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

// Multiply-adds per second on data in the first-level cache: a dot product
// of 2,048 doubles with eight independent sums, so that the adder's latency
// does not hide the rate; the best of 20 timed repetitions (the machine is
// shared: the best is the least disturbed). Measured once per process.
double MultiplyAddRate() {
  static const double rate = [] {
    constexpr int kLen = 2048, kPasses = 500, kLanes = 8;
    std::vector<double> a(kLen), x(kLen);
    for (int i = 0; i < kLen; ++i) {
      a[static_cast<std::size_t>(i)] = 1.0 + 1e-9 * i;
      x[static_cast<std::size_t>(i)] = 1.0 - 1e-9 * i;
    }
    double best = 0.0;
    for (int rep = 0; rep < 20; ++rep) {
      const auto t0 = std::chrono::steady_clock::now();
      for (int p = 0; p < kPasses; ++p) {
        double sum[kLanes] = {};
        for (int i = 0; i < kLen; i += kLanes)
          for (int k = 0; k < kLanes; ++k)
            sum[k] += a[static_cast<std::size_t>(i + k)] * x[static_cast<std::size_t>(i + k)];
        double total = 0.0;
        for (double v : sum) total += v;
        benchmark::DoNotOptimize(total);
        // Forces the arrays to be read again: the passes are not folded.
        benchmark::ClobberMemory();
      }
      const std::chrono::duration<double> dt = std::chrono::steady_clock::now() - t0;
      if (dt.count() > 0.0) {
        const double r = static_cast<double>(kLen) * kPasses / dt.count();
        if (r > best) best = r;
      }
    }
    return best;
  }();
  return rate;
}

// Processor time of this thread, s: on a shared machine the wall clock
// also counts the time other processes held the core.
double ThreadSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

// The stored entries of the present transition matrix, counted through the
// engine's public matrices: the marked nonzero entries of C in the rows of
// unknowns that are not held at zero. Rows the engine fills from a tie
// instead of the product are counted too, so this may overstate the work
// slightly (and so understate x_bound).
long long TransitionEntries(const CCalc& c) {
  const int n = c.Size();
  const unsigned char* zero = c.Xzero();
  long long count = 0;
  for (int i = 1; i < n; ++i) {
    if (zero[i]) continue;
    for (int j = 1; j < n; ++j)
      if (c.CMarks()[i][j] && c.C()[i][j] != 0.0) ++count;
  }
  return count;
}

// Advances a fresh run of the ladder into its first linear interval.
bool ReachTransition(CCalc* c) {
  c->sim_start();
  for (int i = 0; i < 100 && c->Phase() != PH_TRANSITION; ++i)
    if (!c->sim_execute()) return false;
  return c->Phase() == PH_TRANSITION;
}

void ReportBound(benchmark::State& state, long long entries, double seconds) {
  const double rate = MultiplyAddRate();
  const double per_step = seconds / static_cast<double>(state.iterations() > 0 ? state.iterations() : 1);
  const double bound = rate > 0.0 ? static_cast<double>(entries) / rate : 0.0;
  state.counters["entries"] = static_cast<double>(entries);
  state.counters["bound_ns"] = bound * 1e9;
  state.counters["x_bound"] = bound > 0.0 ? per_step / bound : 0.0;
  state.counters["GMAC/s"] = rate * 1e-9;
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
  if (!ReachTransition(c)) state.SkipWithError("no linear interval reached");
  const long long entries = TransitionEntries(*c);
  const long long before = g_allocations;
  const double t0 = ThreadSeconds();
  for (auto _ : state) benchmark::DoNotOptimize(c->sim_execute());
  const double dt = ThreadSeconds() - t0;
  Report(state, g_allocations - before);
  ReportBound(state, entries, dt);
  c->sim_stop();
}

// The transition product alone (the right-hand side of the step and the
// sparse product, then the unknowns set from it): the part of the step the
// arithmetic bound speaks of. Repeating it from the same previous solution
// does the same work every time.
void BM_TransitionProduct(benchmark::State& state) {
  CDoc doc;
  BuildLadder(doc, static_cast<int>(state.range(0)));
  doc.TranSettings().step = 1e-6;
  CCalc* c = doc.CreateCalc();
  if (!ReachTransition(c)) state.SkipWithError("no linear interval reached");
  const long long entries = TransitionEntries(*c);
  const long long before = g_allocations;
  const double t0 = ThreadSeconds();
  for (auto _ : state) benchmark::DoNotOptimize(c->calc_transient());
  const double dt = ThreadSeconds() - t0;
  Report(state, g_allocations - before);
  ReportBound(state, entries, dt);
  c->sim_stop();
}

}  // namespace

BENCHMARK(BM_FillMatr)->Arg(10)->Arg(50)->Arg(200)->Arg(1000);
BENCHMARK(BM_StaticSolution)->Arg(10)->Arg(50)->Arg(200)->Arg(1000);
BENCHMARK(BM_TransitionStep)->Arg(10)->Arg(50)->Arg(100)->Arg(200)->Arg(500)->Arg(1000);
BENCHMARK(BM_TransitionProduct)->Arg(10)->Arg(50)->Arg(200)->Arg(1000);
BENCHMARK_MAIN();
