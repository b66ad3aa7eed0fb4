// The C interpreter on a typical control-loop program (PI controller with
// anti-windup through lim(), a clamp by if/else and a two-state switch),
// set up as the Code component sets it up and stepped against a
// first-order plant. Reports the parse time, the time of one main-section
// run, the heap allocations of one run, and the ratio to evaluating the
// same expressions by direct formula calls.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <new>

#include "../tests/expr/CControlLoop.h"
#include "expr/Formula.h"

// --- Counting allocator: every operator new of the process is counted.

namespace {
long long g_allocations = 0;
// Out of line so that the compiler does not pair a free() it can see with
// the operator new of the caller and warn about a mismatch.
[[gnu::noinline]] void Release(void* p) noexcept { std::free(p); }
}  // namespace

void* operator new(std::size_t n) {
  ++g_allocations;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  ++g_allocations;
  return std::malloc(n ? n : 1);
}
void* operator new[](std::size_t n, const std::nothrow_t& t) noexcept { return operator new(n, t); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }

namespace {

using control_loop::CController;

// Steps controller and plant once; false (with the benchmark stopped) on
// an error or when main left variables behind.
struct SLoop {
  CController c;
  double x = 0.0, y = 0.0;
  long long k = 0;

  bool Step(benchmark::State& state) {
    const double t = static_cast<double>(k++) * control_loop::kDt;
    if (!c.Run(t, control_loop::SetPoint(t), x, &y)) {
      state.SkipWithError(c.error().c_str());
      return false;
    }
    if (c.Count() != c.Base()) {
      state.SkipWithError("main left variables behind");
      return false;
    }
    x = control_loop::Plant(x, y);
    return true;
  }
};

void BM_Parse(benchmark::State& state) {
  const AnsiString text(control_loop::kProgram);
  for (auto _ : state) {
    CCNode root;
    if (!root.CreateCCode(text)) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(root.GetCNodeCount());
  }
}
BENCHMARK(BM_Parse);

void BM_MainRun(benchmark::State& state) {
  SLoop loop;
  if (!loop.c.SetUp()) {
    state.SkipWithError(loop.c.error().c_str());
    return;
  }
  const long long before = g_allocations;
  long long runs = 0;
  for (auto _ : state) {
    if (!loop.Step(state)) break;
    ++runs;
  }
  state.counters["allocs_per_run"] =
      runs ? static_cast<double>(g_allocations - before) / static_cast<double>(runs) : 0.0;
}
BENCHMARK(BM_MainRun);

// Allocations of the first run and of a run after 10^6 runs: equal when
// nothing grows from run to run.
void BM_AllocationsAfterMillionRuns(benchmark::State& state) {
  for (auto _ : state) {
    SLoop loop;
    if (!loop.c.SetUp()) {
      state.SkipWithError(loop.c.error().c_str());
      return;
    }
    long long a = g_allocations;
    if (!loop.Step(state)) return;
    state.counters["allocs_first_run"] = static_cast<double>(g_allocations - a);
    for (int i = 0; i < 1000000; ++i)
      if (!loop.Step(state)) return;
    a = g_allocations;
    if (!loop.Step(state)) return;
    state.counters["allocs_run_1000002"] = static_cast<double>(g_allocations - a);
  }
}
BENCHMARK(BM_AllocationsAfterMillionRuns)->Iterations(1)->Unit(benchmark::kMillisecond);

// The same evaluations as main, each expression handed to formula() on its
// own (texts prepared once), with the control flow and the assignments done
// in C++: what the interpreter costs beyond the evaluator.
class CDirect {
 public:
  explicit CDirect(CController& c) : vars_(c.vars()) {
    // Added first: adding may move the entries found below.
    raw_ = vars_.AddVar("raw", NUM_DOUBLE, 0);
    x1_ = vars_.FindVar("x1", 0);
    x2_ = vars_.FindVar("x2", 0);
    y1_ = vars_.FindVar("y1", 0);
    e_ = vars_.FindVar("e", 0);
    integ_ = vars_.FindVar("integ", 0);
    u_ = vars_.FindVar("u", 0);
    mode_ = vars_.FindVar("mode", 0);
  }
  ~CDirect() { vars_.SetSize(vars_.Count() - 1); }
  CDirect(const CDirect&) = delete;
  CDirect& operator=(const CDirect&) = delete;

  void Step(double x1, double x2) {
    x1_->values[0].v.d = x1;
    x2_->values[0].v.d = x2;
    Set(e_, e_text_);
    Set(integ_, integ_text_);
    Set(raw_, raw_text_);
    if (Bool(clamp_hi_)) {
      Set(u_, umax_);
    } else if (Bool(clamp_lo_)) {
      Set(u_, minus_umax_);
    } else {
      Set(u_, raw_name_);
    }
    // The labels are evaluated in order until one matches, as in switch.
    const int m = Int(mode_name_);
    if (m == Int(zero_)) {
      if (Bool(enter_)) Set(mode_, one_);
    } else if (m == Int(one_)) {
      Eval(nsat_inc_);
      if (Bool(leave_)) Set(mode_, zero_);
    }
    Set(y1_, u_name_);
  }

 private:
  SNumber Eval(const AnsiString& text) {
    SNumber n;
    double d = 0.0;
    formula(text, &d, nullptr, &vars_, nullptr, true, nullptr, &n, false, false, 0, true);
    return n;
  }
  void Set(SVar* v, const AnsiString& text) {
    SNumber n = Eval(text);
    AssignNumber(&v->values[0], &n);
  }
  bool Bool(const AnsiString& text) {
    SNumber n = Eval(text);
    ConvertNumber(&n, NUM_BOOL);
    return n.v.b;
  }
  int Int(const AnsiString& text) {
    SNumber n = Eval(text);
    ConvertNumber(&n, NUM_INT);
    return n.v.i;
  }

  CVarList& vars_;
  SVar *x1_, *x2_, *y1_, *e_, *integ_, *u_, *mode_, *raw_;
  const AnsiString e_text_{"x1 - x2"};
  const AnsiString integ_text_{"lim(integ + ki * e * dt, -ilim, ilim)"};
  const AnsiString raw_text_{"kp * e + integ"};
  const AnsiString clamp_hi_{"raw > umax"}, clamp_lo_{"raw < -umax"};
  const AnsiString umax_{"umax"}, minus_umax_{"-umax"}, raw_name_{"raw"};
  const AnsiString mode_name_{"mode"}, zero_{"0"}, one_{"1"};
  const AnsiString enter_{"raw > umax || raw < -umax"};
  const AnsiString nsat_inc_{"nsat++"};
  const AnsiString leave_{"abs(raw) < 0.9 * umax"};
  const AnsiString u_name_{"u"};
};

void BM_DirectFormula(benchmark::State& state) {
  CController c;
  if (!c.SetUp()) {
    state.SkipWithError(c.error().c_str());
    return;
  }
  CDirect direct(c);
  double x = 0.0;
  long long k = 0;
  for (auto _ : state) {
    const double t = static_cast<double>(k++) * control_loop::kDt;
    direct.Step(control_loop::SetPoint(t), x);
    x = control_loop::Plant(x, c.vars().FindVar("y1", 0)->values[0].v.d);
  }
}
BENCHMARK(BM_DirectFormula);

// Both ways over the same 10^4 steps, timed back to back.
void BM_RatioToDirectFormula(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  double interp = 0.0, direct = 0.0;
  for (auto _ : state) {
    SLoop loop;
    CController c;
    if (!loop.c.SetUp() || !c.SetUp()) {
      state.SkipWithError("set-up failed");
      return;
    }
    CDirect d(c);
    auto t0 = Clock::now();
    for (int i = 0; i < 10000; ++i)
      if (!loop.Step(state)) return;
    auto t1 = Clock::now();
    double x = 0.0;
    for (int i = 0; i < 10000; ++i) {
      const double t = i * control_loop::kDt;
      d.Step(control_loop::SetPoint(t), x);
      x = control_loop::Plant(x, c.vars().FindVar("y1", 0)->values[0].v.d);
    }
    auto t2 = Clock::now();
    interp += std::chrono::duration<double>(t1 - t0).count();
    direct += std::chrono::duration<double>(t2 - t1).count();
  }
  state.counters["interpreter_over_direct"] = direct > 0.0 ? interp / direct : 0.0;
}
BENCHMARK(BM_RatioToDirectFormula)->Unit(benchmark::kMillisecond);

}  // namespace
