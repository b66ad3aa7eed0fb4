// C programs from arbitrary bytes, parsed and run the way the Code
// component runs them: "t" first, the whole program in mode 0, then the
// init and the main section. Runaway loops end through the loop time-out of
// an engine that says "time-out" after a fixed number of questions, so no
// input runs for long; huge arrays must end in "Can't create variable".
//
// Run, for example:
//   build-fuzz/ccode_fuzz -max_total_time=600 -timeout=10 fuzz/corpus/ccode
// The engine limits arrays to a size that keeps every run short, so large
// declarations end in "Can't create variable" before any allocation. The
// options below are the net under that: ASan returns null for any single
// allocation above 32 MB instead of reporting it, well under libFuzzer's
// -malloc_limit_mb (by default its -rss_limit_mb, 2048). (libFuzzer itself
// makes one allocation of about 20 MB at start-up.)
#include <cstddef>
#include <cstdint>

#include "base/AnsiString.h"
#include "base/globals.h"
#include "expr/EngineLink.h"
#include "expr/VarList.h"
#include "expr/xml_C.h"

extern "C" const char* __asan_default_options() {
  return "allocator_may_return_null=1:max_allocation_size_mb=32";
}

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

// Two questions are two hundred loop passes: enough to run every loop
// construct through its time-out path, few enough that a loop whose body
// builds arrays or sums them still ends well inside libFuzzer's time limit.
class CBudgetEngine : public CEngineLink {
 public:
  void SetError(const AnsiString& text) override { error = text; }
  bool IsTimeout() override { return ++questions >= kBudget; }
  bool IsStopRequested() const override { return false; }
  CDoc* GetDoc() const override { return nullptr; }
  int MaxArraySize() const override { return kMaxArray; }

  static constexpr int kBudget = 2;
  // A pass of a loop may hold some 400 statements (at libFuzzer's default
  // -max_len of 4096), each summing an array or declaring one; at this size
  // the two hundred passes before the time-out take well under a second
  // under the sanitizers, at 1000 elements about four.
  static constexpr int kMaxArray = 100;
  AnsiString error;
  int questions = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const AnsiString text(reinterpret_cast<const char*>(data), size);
  const int32_t last = static_cast<int32_t>(size) + 3;  // comments add three blanks
  CBudgetEngine engine;
  CCNode root(0, 0, nullptr, &engine);
  if (!root.CreateCCode(text)) {
    Check(m_global_errstr.str().rfind("Syntax error: ", 0) == 0 ||
          m_global_errstr == "No enough memory");
    Check(C_error_position >= 1 && C_error_position <= last);
    return 0;
  }
  CVarList vars;
  Check(vars.AddVar("t", NUM_DOUBLE, 0) != nullptr);
  int base = vars.Count();
  for (int mode : {CX_CHILDREN, CX_INIT, CX_MAIN}) {
    engine.questions = 0;
    engine.error = AnsiString();
    const int r = root.ExecuteCCode(0, &vars, base, mode);
    Check(r >= CR_ERROR && r <= CR_RETURN);
    if (mode != CX_CHILDREN) Check(r == CR_ERROR || r == CR_NORMAL);
    // Every failure leaves its reason: the engine here never stops.
    if (r == CR_ERROR) Check(!engine.error.IsEmpty());
    Check(C_error_position >= 0 && C_error_position <= last);
    Check(vars.Count() >= base);
    // The globals stay; what a section declares goes after each run, as
    // the Code component drops it.
    if (mode == CX_CHILDREN) base = vars.Count();
    vars.SetSize(base);
  }
  return 0;
}
