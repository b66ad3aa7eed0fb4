// The transient analysis: phases, step control, the search for a switching
// instant, and the resolution of zone combinations at an instant.
//
// Times are seconds. Every sim_execute call does one phase's work and
// returns, so the caller can stop, pause or read results between calls.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <new>

#include "circuit/Cmp.h"
#include "circuit/Cmps.h"
#include "doc/Doc.h"
#include "engine/Calc.h"
#include "expr/globals.h"
#include "traces/Traces.h"
#include "traces/Tran.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Rounds of an IC calculation run while the "zero" setting is below this.
constexpr double kZeroRoundLimit = 3e-8;
// A circuit whose zone combinations never settle must not hold the caller
// forever when no time-out is set: the unlimited pass gives up after this
// many iterations as if every combination had been seen.
constexpr int kUnlimitedPassCap = 100000;

}  // namespace

// --- Settings ----------------------------------------------------------------------

double CCalc::StepMin(int m) const {
  switch (m) {
    case 1: return kStepFs;
    case 2: return kStepOs;
    case 3: return kStepAs;
    case 4: return doc_ != nullptr ? doc_->Advanced().s_cs : 0.125;
    default: return 1.0;
  }
}

double CCalc::StepPost(int m) const {
  switch (m) {
    case 1: return kStepFf;
    case 2: return kStepOf;
    case 3: return kStepAf;
    case 4: return doc_ != nullptr ? doc_->Advanced().s_cf : 0.25;
    default: return 1.0;
  }
}

void CCalc::ReadSettings() {
  if (doc_ == nullptr) return;
  const SAdvancedSettings& a = doc_->Advanced();
  step_ = doc_->TranSettings().step;
  start_time_ = doc_->TranSettings().start;
  start_trigger_ = doc_->TranSettings().start_trigger;
  step_mode_ = a.step_mode < 0 || a.step_mode > 4 ? 2 : a.step_mode;
  so_ = a.so;
  sbs_ = a.sbs;
  timeout_ = a.to;
  ise_ = a.ise;
  zero_ = a.zero;
}

void CCalc::InitCalc(bool transient) {
  transient_ = transient;
  ClearError();
  first_point_ = true;
  init_flags_ = 6;
  be_k_ = be_K_ = 0;
  ReadSettings();
  if (transient)
    t_ = 0.0;
  else
    ReadACSettings();
  // Random functions of formulas differ from run to run, but two runs
  // started within one clock second still get different seeds.
  std::srand(static_cast<unsigned>(std::time(nullptr)) + rand_counter_);
  rand_counter_ = (rand_counter_ + static_cast<unsigned>(std::rand() % 123)) & 0xFFFFu;
  if (doc_ != nullptr)
    for (int i = 0; i < doc_->Cmps()->Count(); ++i) doc_->Cmps()->GetAt(i)->SetPrevModel(0);
  terminate_ = false;
  pause_ = false;
  counters_ = SCounters();
  tE_ = kNaN;
  tStop_ = kNaN;
}

bool CCalc::sim_start() {
  if (doc_ != nullptr) {
    doc_->Tran()->Traces().CreateRunData(true);
    doc_->SetRunning(true);
  }
  InitCalc(true);
  return true;
}

bool CCalc::init_traces() {
  if (doc_ == nullptr) return true;
  CTran* tran = doc_->Tran();
  tran->Lock();
  tran->Traces().InitTraces(this);
  const AnsiString msg = tran->Traces().CreateRecalcOrder();
  tran->Unlock();
  if (!msg.IsEmpty()) {
    SetError(msg);
    return false;
  }
  return true;
}

bool CCalc::sim_init() {
  if (init_flags_ & 4) {
    // A new numbering starts from the document's own node numbers.
    ClearCalc();
    if (doc_ == nullptr || !InitCmps(doc_->Cmps())) {
      SetUnknownError("1008");
      return false;
    }
    NodeChange();
    if (!CreateMatr()) {
      SetUnknownError("1009");
      return false;
    }
    saved_zone_.assign(cmps_.size(), 0);
    adjusted_.assign(cmps_.size(), 0);
  }
  if (init_flags_ & 6) {
    if (!init_traces()) {
      SetUnknownError("1010");
      return false;
    }
  }
  for (int& limit : iter_limit_) limit = 10;
  init_flags_ = 0;
  phase_ = PH_IC;
  hN_ = hS_ = hNext_ = hMin_ = h_ = step_;
  return true;
}

bool CCalc::sim_execute() {
  ResetTimeout();
  ClearError();
  if (init_flags_ == 2) {
    if (!init_traces()) return false;
    init_flags_ = 0;
  } else if (init_flags_ != 0) {
    phase_ = PH_INIT;
    if (doc_ != nullptr) step_ = doc_->TranSettings().step;
    if (!sim_init()) {
      SetUnknownError("1001");
      return false;
    }
    ClearError();
    return true;
  }
  bool ok = true;
  const char* code = nullptr;
  switch (phase_) {
    case PH_INIT:
      ok = sim_init();
      code = "1001";
      break;
    case PH_IC:
    case PH_IC_AGAIN:
      code = phase_ == PH_IC ? "1002" : "1003";
      ok = sim_ic();
      break;
    case PH_SWITCH:
      code = "1004";
      ok = sim_state();
      break;
    case PH_BACK:
    case PH_INTERVAL:
    case PH_TRANSITION:
    case PH_SINGLE: {
      static const char* const kCodes[] = {"1005", "1006", "1007", nullptr};
      code = kCodes[phase_ - PH_BACK];
      ok = sim_step();
      break;
    }
    default:
      return true;
  }
  if (!ok) {
    if (code != nullptr) SetUnknownError(code);
    return false;
  }
  ClearError();
  return true;
}

bool CCalc::sim_stop() {
  if (doc_ != nullptr) {
    CCmps* cmps = doc_->Cmps();
    for (int i = 0; i < cmps->Count(); ++i) {
      CCmp* cmp = cmps->GetAt(i);
      cmp->ClearCmp();
      cmp->CalcFunc(this, CM_CLEAR, t_);
    }
    doc_->SetRunning(false);
  }
  ClearCalc();
  if (!error_.IsEmpty()) error_ = AnsiString("Transient error:\nt=") + sprintf3(t_, 6) + "\n" + error_;
  return true;
}

// Reading the processor clock is a system call (some 0.3 us), and
// sim_execute resets the time-out once per time step, so that a switching
// converter would read it twice per switching event. The clock is
// therefore started only at the third question after a reset, and read
// again from the fourth on: a calculation that settles within three
// iterations, nearly every one, never reads it, and the work left
// uncounted (the first two iterations) is far below the time-out's unit
// of a whole second.
void CCalc::ResetTimeout() { clock_questions_ = 0; }

bool CCalc::IsTimeout() {
  if (timeout_ < 1) return false;
  constexpr int kStartAt = 3;
  ++clock_questions_;
  if (clock_questions_ < kStartAt) return false;
  if (clock_questions_ == kStartAt) {
    clock_start_ = std::clock();
    return false;
  }
  const std::clock_t used = std::clock() - clock_start_;
  // Whole seconds of processor time.
  const long seconds = static_cast<long>(used / CLOCKS_PER_SEC);
  return seconds > timeout_;
}

// --- Per-component passes ----------------------------------------------------------

void CCalc::ToPrev() {
  std::copy(X_, X_ + M_, Xprev_);
  std::copy(Y_, Y_ + N_, Yprev_);
}

void CCalc::FromPrev() {
  std::copy(Xprev_, Xprev_ + M_, X_);
  std::copy(Yprev_, Yprev_ + N_, Y_);
}

void CCalc::GetCurState() {
  for (CCmp* cmp : cmps_)
    if (cmp->Model() != MC_SUBCIR) cmp->CalcFunc(this, CM_CURSTATE, t_);
}

bool CCalc::calc_update_inputs() {
  for (CCmp* cmp : cmps_)
    if (cmp->Model() != MC_SUBCIR && !cmp->CalcFunc(this, CM_INPUTS, t_)) return false;
  return true;
}

bool CCalc::calc_add_tran_data() {
  for (CCmp* cmp : cmps_)
    if (cmp->Model() != MC_SUBCIR && !cmp->CalcFunc(this, CM_ADD_DATA, t_)) return false;
  ++counters_.accepted;
  if (doc_ == nullptr) return true;
  // Without step-by-step display ("sbs" off) the points before the
  // transient start time are not kept: each overwrites the first point, so
  // the stored waveform begins where the user asked it to.
  const bool replace = !sbs_ && CompareValues(t_, start_time_) < 0;
  return doc_->Tran()->AddTranPoint(replace);
}

bool CCalc::calc_check_zone(bool final) {
  zone_changed_ = false;
  ic_request_ = nullptr;
  for (CCmp* cmp : cmps_) {
    if (cmp->Model() == MC_SUBCIR) continue;
    bool changed = false;
    if (!cmp->CheckZone(this, final, changed)) return false;
    if (changed) {
      zone_changed_ = true;
      if (!final) break;
    }
  }
  if (ic_request_ != nullptr) phase_ = PH_IC_AGAIN;
  return true;
}

// --- Linear intervals and steps ------------------------------------------------------

void CCalc::calc_new_lin_step() {
  const double prevS = hS_;
  hN_ = step_;
  tE_ = kNaN;
  double first = 0.0;
  for (CCmp* cmp : cmps_) {
    if (cmp->Model() == MC_SUBCIR) continue;
    double next = tE_, maxStep = hN_, firstStep = 0.0;
    cmp->CalcNewStep(this, t_, next, maxStep, firstStep);
    if (!std::isnan(next) && (std::isnan(tE_) || next < tE_)) tE_ = next;
    if (maxStep > 0.0 && maxStep < hN_) hN_ = maxStep;
    if (firstStep > 0.0) first = first == 0.0 ? firstStep : std::min(first, firstStep);
  }
  if (!std::isnan(tStop_) && (std::isnan(tE_) || tE_ > tStop_)) tE_ = tStop_;
  // Planned without a stop time: a caller that sets one must plan again,
  // or the interval could run past its end.
  if (std::isnan(tStop_)) lin_step_pending_ = true;
  const int m = step_mode_;
  if (m == 0) {
    hN_ = hS_ = hNext_ = hMin_ = h_ = step_;
    if (first > 0.0 && first < step_) h_ = hNext_ = first;
    return;
  }
  if (!std::isnan(tE_) && CompareValues(tE_, t_) > 0) {
    const double d = tE_ - t_;
    if (CompareValues(hN_, d) > 0) hN_ = d;
    hN_ = std::max(hN_, std::min(prevS, step_ * StepMin(m) * 1e-6));
  }
  hS_ = StepPost(m) * hN_;
  hNext_ = std::min(StepPost(m) * hN_, prevS);
  hMin_ = StepMin(m) * hN_;
  h_ = hNext_;
  if (first > 0.0 && first < h_) h_ = hNext_ = first;
}

void CCalc::ApplyStopTime() {
  if (!std::isnan(tStop_) && (std::isnan(tE_) || tE_ > tStop_)) tE_ = tStop_;
}

bool CCalc::sim_ic() {
  const int r = calc_ic(false);
  if (r == IC_PAUSED) return true;
  if (r == IC_TERMINATED) return false;
  if (r == IC_OK) {
    if (!calc_update_inputs()) return false;
    if (first_point_) {
      first_point_ = false;
      if (!calc_add_tran_data()) {
        SetUnknownError("1011");
        return false;
      }
    }
    GetCurState();
    phase_ = PH_SWITCH;
    calc_new_lin_step();
    lin_step_pending_ = true;
    return true;
  }
  if (error_.IsEmpty()) SetError("No solution in sim_ic: reason unknown");
  return false;
}

bool CCalc::sim_state() {
  if (!CalcY()) return false;
  double h = hNext_;
  // Rounding may put t + h past the event although h fits before it.
  if (step_mode_ > 0 && !std::isnan(tE_) && t_ + h > tE_ && h <= tE_ - t_) h = tE_ - t_;
  h_ = h;
  const int r = calc_ic(true);
  if (r == IC_PAUSED) return true;
  if (r != IC_OK) {
    if (error_.IsEmpty()) SetError("No solution in sim_state: reason unknown");
    return false;
  }
  t_ += h;
  ++counters_.switchings;
  if (!calc_add_tran_data()) {
    SetUnknownError("1012");
    return false;
  }
  if (!calc_check_zone(true)) {
    SetUnknownError("1013");
    return false;
  }
  if (zone_changed_) {
    if (phase_ != PH_IC_AGAIN) phase_ = PH_SWITCH;
    calc_new_lin_step();
  } else if (phase_ != PH_IC_AGAIN) {
    phase_ = PH_BACK;
  }
  be_k_ = be_K_ = 0;
  return true;
}

bool CCalc::be_step() {
  if (!calc_back(h_)) {
    SetUnknownError("1018");
    return false;
  }
  return true;
}

bool CCalc::sim_step() {
  ToPrev();
  if (!CalcY()) {
    SetUnknownError("1014");
    return false;
  }
  if (!std::isnan(tE_) && CompareValues(t_, tE_) >= 0) {
    calc_new_lin_step();
    phase_ = PH_SWITCH;
    return true;
  }
  const int m = step_mode_;
  const bool event = !std::isnan(tE_);
  bool shortened = false;
  bool interval = phase_ == PH_INTERVAL;
  if (phase_ == PH_BACK) {
    h_ = hNext_;
    if (m > 0 && be_k_ == 1) {
      // Second backward-Euler step: spread what is left of the interval
      // step over a whole number of post-switch steps.
      const double hs = StepPost(m) * hN_;
      const double rem = hN_ - 2.0 * hNext_;
      const double n = std::trunc(rem / hs);
      double next = n >= 1.0 ? rem / (n + 1.0) : 0.0;
      if (n < 1.0 || !(next > 0.0)) {
        hNext_ = hs;
        be_K_ = 0;
        phase_ = PH_INTERVAL;
        interval = true;
      } else {
        hNext_ = next;
        h_ = hNext_;
        be_K_ = static_cast<int>(n) + 2;
      }
    }
    if (!interval && event && t_ + h_ > tE_) shortened = true;
  }
  if (interval) {
    if (event) {
      const double d = tE_ - t_;
      const double q = d / hN_;
      if (q < 100.0) {
        const double whole = std::trunc(q);
        if (CompareValues(d, whole * hN_) != 0) hN_ = d / (whole + 1.0);
      }
    }
    h_ = hN_;
  } else if (phase_ == PH_TRANSITION || phase_ == PH_SINGLE) {
    h_ = hN_;
  }
  if (!shortened && event && t_ + h_ > tE_) shortened = true;

  if (shortened) {
    if (m > 0) h_ = std::max(hMin_, tE_ - t_);
    if (phase_ == PH_BACK) {
      if (!be_step()) return false;
    } else {
      phase_ = PH_SINGLE;
      if (!calc_1_transient()) {
        SetUnknownError("1017");
        return false;
      }
    }
  } else {
    switch (phase_) {
      case PH_INTERVAL:
        if (!calc_start_transient()) return false;
        phase_ = PH_TRANSITION;
        if (!calc_transient()) {
          SetUnknownError("1015");
          return false;
        }
        break;
      case PH_TRANSITION:
        if (!calc_transient()) {
          SetUnknownError("1016");
          return false;
        }
        break;
      case PH_SINGLE:
        if (!calc_1_transient()) {
          SetUnknownError("1017");
          return false;
        }
        break;
      default:
        if (!be_step()) return false;
        break;
    }
  }

  // Zone check; on a change, halve the step until the switching instant is
  // bracketed within 1.5 minimal steps.
  int retry = 0;
  for (;;) {
    bool changed = state_check_all(false);
    if (!changed) {
      if (!calc_check_zone(false)) {
        SetUnknownError("1019");
        return false;
      }
      changed = zone_changed_;
    }
    if (changed) {
      if (retry == 0) retry = 1;
      FromPrev();
      if (phase_ != PH_BACK) phase_ = PH_SINGLE;
      ++counters_.rejected;
    } else {
      t_ += h_;
      if (retry == 0) {
        if (!calc_add_tran_data()) {
          SetUnknownError("1020");
          return false;
        }
        if (phase_ != PH_BACK) return true;
        if (!so_) {
          phase_ = PH_INTERVAL;
          return true;
        }
        ++be_k_;
        if (be_k_ >= 2 && be_k_ >= be_K_) phase_ = PH_INTERVAL;
        return true;
      }
      retry = 2;
    }
    if (m == 0) {
      hNext_ = h_;
      break;
    }
    if (h_ <= 1.5 * hMin_) {
      if (retry == 2 && !calc_add_tran_data()) {
        SetUnknownError("1023");
        return false;
      }
      hNext_ = StepPost(m) * hN_;
      if (!std::isnan(tE_) && t_ + hNext_ > tE_) hNext_ = tE_ - t_;
      break;
    }
    h_ /= 2.0;
    ToPrev();
    if (phase_ == PH_SINGLE) {
      if (!calc_1_transient()) {
        SetUnknownError("1021");
        return false;
      }
    } else if (!calc_back(h_)) {
      SetUnknownError("1022");
      return false;
    }
  }
  GetCurState();
  if (!calc_check_zone(true)) {
    SetUnknownError("1024");
    return false;
  }
  if (phase_ != PH_IC_AGAIN) phase_ = PH_SWITCH;
  if (zone_changed_) calc_new_lin_step();
  return true;
}

// --- Zone combinations -----------------------------------------------------------------

bool CCalc::state_check_all(bool update) {
  bool any = false;
  for (CCmp* cmp : cmps_) {
    if (cmp->Model() == MC_SUBCIR) continue;
    if (!cmp->CheckState(this, update)) continue;
    if (!update) return true;
    cmp->SetStateChanged(true);
    if (trigger_ == nullptr) trigger_ = cmp;
    any = true;
    if (one_at_a_time_) break;
  }
  return any;
}

bool CCalc::state_init() {
  try {
    snapshots_.clear();
    std::vector<int> zones(cmps_.size());
    for (std::size_t i = 0; i < cmps_.size(); ++i) {
      zones[i] = cmps_[i]->State();
      cmps_[i]->SetStateChanged(false);
    }
    snapshots_.push_back(std::move(zones));
  } catch (const std::bad_alloc&) {
    SetError("No enough memory");
    return false;
  }
  return true;
}

void CCalc::state_set(const std::vector<int>& zones) {
  for (std::size_t i = 0; i < cmps_.size() && i < zones.size(); ++i) cmps_[i]->SetState(zones[i]);
}

int CCalc::state_change() {
  if (!state_check_all(true)) return 0;
  try {
    std::vector<int> now(cmps_.size());
    for (std::size_t i = 0; i < cmps_.size(); ++i) now[i] = cmps_[i]->State();
    const bool seen = std::find(snapshots_.begin(), snapshots_.end(), now) != snapshots_.end();
    snapshots_.push_back(now);
    if (!seen) return IC_NEXT;
    // A cycle: try the zone ranges of the components that moved, on each
    // earlier combination from the newest back, for one not seen yet.
    const std::size_t earlier = snapshots_.size() - 1;
    for (std::size_t s = earlier; s-- > 0;) {
      for (std::size_t i = 0; i < cmps_.size(); ++i) {
        CCmp* cmp = cmps_[i];
        int lo = 0, hi = 0;
        if (!cmp->StateChanged() || !cmp->GetMinMaxState(lo, hi)) continue;
        for (int z = lo; z <= hi; ++z) {
          std::vector<int> alt = snapshots_[s];
          alt[i] = z;
          if (std::find(snapshots_.begin(), snapshots_.end(), alt) != snapshots_.end()) continue;
          state_set(alt);
          // Remembered, so that coming back to it counts as a cycle too.
          snapshots_.push_back(std::move(alt));
          return IC_NEXT;
        }
      }
    }
  } catch (const std::bad_alloc&) {
    SetError("No enough memory");
    return IC_NO_MEMORY;
  }
  return IC_NO_SOLUTION;
}

void CCalc::calc_infinity_error() {
  bool first = true;
  for (int i = 1; i < N_; ++i) {
    if (undet_[i] != 255) continue;
    AnsiString line;
    const SOutOwner& owner = out_[static_cast<std::size_t>(i)];
    if (i <= n_ && owner.cmp != nullptr) {
      const AnsiString pin = owner.cmp->GetPinName(owner.pin);
      line = AnsiString("Infinite voltage : ") + (pin.IsEmpty() ? AnsiString() : pin + " of ") +
             owner.cmp->GetFullName();
    } else {
      AnsiString names;
      if (i <= n_) {
        for (CCmp* cmp : cmps_) {
          bool on = false;
          for (int p = 0; p < cmp->PinCount() && !on; ++p) on = cmp->Node(p) == i;
          if (!on) continue;
          if (!names.IsEmpty()) names += ", ";
          names += cmp->GetFullName();
        }
      }
      if (!names.IsEmpty()) {
        line = AnsiString("Infinite voltage : ") + names;
      } else {
        const CCmp* owner_cmp = nullptr;
        for (CCmp* cmp : cmps_) {
          if (cmp->ExtraCount() > 0 && i >= cmp->FirstExtra() &&
              i < cmp->FirstExtra() + cmp->ExtraCount()) {
            owner_cmp = cmp;
            break;
          }
        }
        line = owner_cmp != nullptr ? AnsiString("Infinite current : ") + owner_cmp->GetFullName()
                                    : AnsiString("Infinite signal : ");
      }
    }
    if (first) {
      SetError(line);
      first = false;
    } else if (error_.Pos(line) == 0) {
      AddError(line);
    }
  }
}

// --- The IC calculation ----------------------------------------------------------------

int CCalc::_calc_ic(bool useBack, int slot, int pass) {
  infinite_seen_ = false;
  if (!state_init()) return IC_NO_MEMORY;
  auto restore_zones = [this] {
    for (std::size_t i = 0; i < cmps_.size(); ++i) cmps_[i]->SetState(saved_zone_[i]);
  };
  for (int count = 1;; ++count) {
    ++counters_.ic_iterations;
    if (terminate_) {
      if (count <= 100) ClearError();
      return IC_TERMINATED;
    }
    if (pause_) {
      ClearError();
      std::copy(Xprev_, Xprev_ + N_, X_);
      restore_zones();
      pause_ = false;
      return IC_PAUSED;
    }
    if ((pass == 0 && count > iter_limit_[slot]) || count > kUnlimitedPassCap) {
      restore_zones();
      return IC_NO_SOLUTION;
    }
    if (IsTimeout()) {
      SetError(AnsiString("Time-out while calculating switching ") +
               (trigger_ != nullptr ? AnsiString("triggered by ") + trigger_->GetFullName()
                                    : AnsiString(": reason unknown")));
      return IC_TIMEOUT;
    }
    std::copy(Xprev_, Xprev_ + N_, X_);
    if (!(useBack ? calc_back(h_) : calc_stat())) return IC_SOLVE_FAILED;
    while (HasUndetermined()) {
      calc_infinity_error();
      if (ic_message_.IsEmpty()) ic_message_ = AnsiString("\n") + error_;
      infinite_seen_ = true;
      if (useBack) break;
      bool again = false;
      for (std::size_t i = 0; i < cmps_.size(); ++i) {
        if (adjusted_[i] || cmps_[i]->Model() == MC_SUBCIR) continue;
        if (!cmps_[i]->CalcFunc(this, CM_ADJUST, t_)) {
          adjusted_[i] = 1;
          ClearError();
          again = true;
          break;
        }
      }
      if (!again) break;
      if (!calc_stat()) return IC_SOLVE_FAILED;
    }
    const int r = state_change();
    if (r == 0) {
      if (pass == 1 && count > iter_limit_[slot]) iter_limit_[slot] = count + 10;
      return infinite_seen_ ? IC_INFINITE : IC_OK;
    }
    if (r == IC_NO_MEMORY) return IC_NO_MEMORY;
    if (r == IC_NO_SOLUTION) {
      restore_zones();
      return IC_NO_SOLUTION;
    }
  }
}

int CCalc::calc_ic(bool useBack) {
  ic_message_ = AnsiString();
  const double z0 = zero_;
  one_at_a_time_ = false;
  ClearError();
  trigger_ = nullptr;
  if (B_ == nullptr) return IC_SOLVE_FAILED;
  std::copy(X_, X_ + N_, Xprev_);
  saved_zone_.resize(cmps_.size());
  adjusted_.assign(cmps_.size(), 0);
  for (std::size_t i = 0; i < cmps_.size(); ++i) saved_zone_[i] = cmps_[i]->State();

  int r = IC_NO_SOLUTION;
  auto finish = [this, z0](int result) {
    zero_ = z0;
    snapshots_.clear();
    one_at_a_time_ = diode_leak_ = floating_ = false;
    special_ = nullptr;
    return result;
  };
  // Each round loosens the cancellation threshold tenfold. A document whose
  // "zero" is already at the limit still gets one round at its own value,
  // rather than a success reported without any solution.
  do {
    for (int pass = 0; pass < 2; ++pass) {
      r = _calc_ic(useBack, 0, pass);
      if (r != IC_NO_SOLUTION && r != IC_INFINITE) return finish(r);
      one_at_a_time_ = true;
      r = _calc_ic(useBack, 1, pass);
      one_at_a_time_ = false;
      if (r != IC_NO_SOLUTION && r != IC_INFINITE) return finish(r);
      if (trigger_ != nullptr && trigger_->Model() == MC_DIODE) {
        special_ = trigger_;
        r = _calc_ic(useBack, 2, pass);
        special_ = nullptr;
        if (r != IC_NO_SOLUTION && r != IC_INFINITE) return finish(r);
      }
      diode_leak_ = true;
      r = _calc_ic(useBack, 2, pass);
      diode_leak_ = false;
      if (r != IC_NO_SOLUTION && r != IC_INFINITE) return finish(r);
      floating_ = true;
      r = _calc_ic(useBack, 2, pass);
      floating_ = false;
      if (r != IC_NO_SOLUTION && r != IC_INFINITE) return finish(r);
    }
    zero_ *= 10.0;
  } while (zero_ < kZeroRoundLimit);

  if (r == IC_INFINITE) return finish(r);
  const AnsiString why =
      AnsiString("No solution ") +
      (trigger_ != nullptr
           ? AnsiString(" while calculating switching triggered by ") + trigger_->GetFullName()
           : AnsiString()) +
      ic_message_;
  if (infinite_seen_) {
    SetError(why);
    return finish(IC_INFINITE);
  }
  if (ise_) return finish(IC_OK);
  SetError(why);
  error_code_ = 1;
  return finish(r);
}
