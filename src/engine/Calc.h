#pragma once
// CCalc: the simulation engine of one document. It numbers the nodes of the
// components taken into a simulation, holds the linear equations of their
// present zones, solves them, and advances time (transient analysis).
//
// Unknowns: nodes 1 .. n (node 0 is ground), extra unknowns n+1 .. n+e
// (branch currents and the like), N = n + e + 1 the system size (index 0
// is never solved), and function nodes N .. M-1 that carry a computed value
// only. Equations: B x + C dx/dt = s, with s = u + y. The vectors U and Y
// hold the constant and the time-dependent source values NEGATED (stored
// terms), so the system solved is B x = -(Y + U).
//
// Matrices are dense, addressed through row pointers (rows swap by pointer),
// with a byte mark per entry for the non-zero pattern; elimination visits
// marked entries only and drops sums that cancel within the "zero" setting.

#include <cmath>
#include <cstdint>
#include <ctime>
#include <memory>
#include <vector>

#include "base/AnsiString.h"
#include "expr/EngineLink.h"

class CCmp;
class CCmps;
class CDoc;
class CVarList;

// Tie kinds of the ideal-branch forest.
enum : int { YZ_NONE = 0, YZ_SHORT = 1, YZ_CONST = 2, YZ_SIGNAL = 3 };

// Component calculation modes (CCmp::CalcFunc).
enum : int {
  CM_INIT = 0,        // prepare for a simulation
  CM_CLEAR = 1,       // release model data, back to not simulating
  CM_CURSTATE = 2,    // take the present solution as the current state
  CM_ADJUST = 4,      // IC iteration: change zone to remove an infinite solution
  CM_FILL = 5,        // stamp the equations of the present zone
  CM_CALC_Y = 6,      // evaluate sources and state values at t
  CM_FILL_Y = 7,      // write source values into Y at the end of the step
  CM_ADD_DATA = 9,    // record data after an accepted point
  CM_PAUSE = 10,      // pause hook (DLL component)
  CM_INPUTS = 11,     // update inputs after the initial solution
  CM_LINEARIZE = 12,  // AC: take the linear small-signal form
  CM_EMPTY_ROWS = 13, // add stamps for empty rows; false = something added
  CM_FLOATING = 14,   // write per-pin group codes
  CM_TO45 = 15,       // drawing variant: plain to 45 degrees
  CM_FROM45 = 16,     // drawing variant: 45 degrees to plain
};

// Phases of the transient analysis (one sim_execute call does one).
enum : int {
  PH_INIT = 0,
  PH_IC = 1,
  PH_IC_AGAIN = 2,
  PH_SWITCH = 3,
  PH_BACK = 4,
  PH_INTERVAL = 5,
  PH_TRANSITION = 6,
  PH_SINGLE = 7,
};

// Results of an initial-solution calculation (calc_ic).
enum : int {
  IC_OK = 0,
  IC_SOLVE_FAILED = 1,
  IC_NO_MEMORY = 2,
  IC_TERMINATED = 3,
  IC_TIMEOUT = 4,
  IC_PAUSED = 5,
  IC_NO_SOLUTION = 6,
  IC_INFINITE = 7,
  IC_NEXT = 8,  // state_change: new combination, iterate again
};

class CCalc : public CEngineLink {
 public:
  explicit CCalc(CDoc* doc);
  ~CCalc() override;
  CCalc(const CCalc&) = delete;
  CCalc& operator=(const CCalc&) = delete;

  // --- CEngineLink.
  void SetError(const AnsiString& text) override { error_ = text; }
  bool IsTimeout() override;
  bool IsStopRequested() const override { return terminate_; }
  CDoc* GetDoc() const override { return doc_; }

  // --- Error text.
  void ClearError() {
    error_ = AnsiString();
    error_code_ = 0;
  }
  // The text, or null when it is empty.
  const char* GetError() const { return error_.IsEmpty() ? nullptr : error_.c_str(); }
  const AnsiString& ErrorText() const { return error_; }
  int ErrorCode() const { return error_code_; }
  void SetErrorCode(int code) { error_code_ = code; }
  void AddError(const AnsiString& s);
  // With s: text += full name + " : " + s + "\n"; without (null): text =
  // full name + " : " + text. Always false, so that an element can return
  // it directly.
  bool SetCmpError(const CCmp* cmp, const char* s);
  bool SetCmpError(const CCmp* cmp, const AnsiString& s) { return SetCmpError(cmp, s.c_str()); }
  // "Unknown error " + code, only when no text is set.
  void SetUnknownError(const char* code);
  // A trace formula failed while recording: its text becomes the error.
  void SetTraceError(const AnsiString& text) { error_ = text; }

  // --- Set-up (engine numbering and matrices).
  bool InitCmps(CCmps* cmps);
  void CreateNodes();
  bool CreateMatr();
  void DeleteMatr();
  void ZeroMatr();
  void ClearCalc();
  int GetNodeType(int node) const;
  void AddNodeChange(int a, int b);
  void NodeChange();
  void ClearNodeChangeList() { node_changes_.clear(); }

  // --- Counts and arrays.
  int NodeCount() const { return n_; }      // analog nodes n
  int ExtraCount() const { return e_; }     // extra unknowns e
  int Size() const { return N_; }           // N = n + e + 1
  int FullSize() const { return M_; }       // M = N + function nodes
  bool IsFunctionNode(int i) const { return i >= N_; }
  bool HasMatrices() const { return B_ != nullptr; }
  double** B() const { return B_; }
  double** C() const { return C_; }
  unsigned char** BMarks() const { return Bm_; }
  unsigned char** CMarks() const { return Cm_; }
  double* X() const { return X_; }
  double* Xprev() const { return Xprev_; }
  double* Y() const { return Y_; }
  double* Yprev() const { return Yprev_; }
  double* U() const { return U_; }
  double* Yim() const { return Yim_; }
  const unsigned char* Xzero() const { return Xzero_; }
  const unsigned char* Ysignal() const { return Ysignal_; }
  const unsigned char* Undetermined() const { return undet_; }
  // Components taken into the simulation, in collection order.
  int CmpCount() const { return static_cast<int>(cmps_.size()); }
  CCmp* CmpAt(int i) const { return cmps_[static_cast<std::size_t>(i)]; }
  int64_t MemoryUsed() const { return memory_; }

  // --- Stamping (a, b, c, d nodes; k, j unknowns; all 0 .. N-1).
  bool SetR(int a, int b, double R);
  bool SetShort(int a, int b, int k, double V);
  bool SetV(int a, int b, int k, double V);
  bool SetOpen(int a, int b, int k, double I);
  bool SetI(int a, int b, int k, double I);
  bool SetSwitch(int a, int b, int k, bool on);
  bool SetSwitchR(int a, int b, int k, double R);
  bool SetVCVS(int a, int b, int c, int d, int k, double K);
  bool SetVCCS(int a, int b, int c, int d, int k, double K);
  bool SetCCVS(int a, int b, int k, int j, double K);
  bool SetCCCS(int a, int b, int k, int j, double K);
  bool SetD(int a, int b, int k, bool on, double V, bool leak);
  void ClearB(int i);
  void SetB(int r, int c, double v) { B_[r][c] = v; }
  void AddB(int r, int c, double v) { B_[r][c] += v; }
  void SetC(int r, int c, double v) { C_[r][c] = v; }
  void AddC(int r, int c, double v) { C_[r][c] += v; }
  void SetU(int i, double v) { U_[i] = -v; }
  void AddU(int i, double v) { U_[i] -= v; }
  void SetY(int i, double v) { Y_[i] = -v; }
  void SetXzero(int i) { Xzero_[i] = 1; }
  void SetYsignal(int i) { Ysignal_[i] = 1; }
  bool SetFunction(CCmp* cmp, int node, int k, bool constant, double v);
  void FillFunction(int node, double v);
  bool GetLogical(int node) const;
  double LogicalToDouble(bool l) const;
  void SetLogical(int node, bool l);
  void SetOut(int node, CCmp* cmp, int pin);
  bool CheckOut(int node, CCmp* cmp, int pin);
  void SetYzShort(int a, int b) { _setYz(YZ_SHORT, a, b, 0, 0.0); }
  void SetYzConst(int a, int b, double V) { _setYz(YZ_CONST, a, b, 0, V); }
  void SetYzSignal(int a, int b, int row) { _setYz(YZ_SIGNAL, a, b, row, 0.0); }
  // The tie kind recorded for node i (YZ_NONE when untied).
  int TieKind(int i) const;

  // --- Diode branches (CalcDState.cpp).
  // Whether a diode branch between nodes a and b (forward from b to a),
  // with its current in unknown k and its zone in *state (1 forward, 0 off,
  // -1 reverse), must change zone for the present solution. A conducting
  // branch leaves its zone when its current changes sign; an off branch
  // turns on when X[b] - X[a] exceeds Vf (infinite Vf: never) or, with
  // reverse, falls below Vr (infinite Vr: never), the difference formed with
  // the engine's cancellation rule so that a difference within round-off is
  // no bias. With commit the new zone is stored in *state, and an
  // undetermined solution is resolved: a conducting branch whose current is
  // undetermined turns off, an off branch between a determined and an
  // undetermined node turns on. True when the zone changes (or changed).
  bool CheckDState(bool commit, int* state, int a, int b, int k, double Vf, double Vr,
                   bool reverse);

  // --- Reading the solution and writing reactive entries, for elements.
  // The solution value of node or unknown i; 0 for ground, disabled pins
  // (negative) and indexes outside the system.
  double NodeValue(int i) const { return i > 0 && i < M_ && X_ != nullptr ? X_[i] : 0.0; }
  // Unknown i carries an undetermined mark from the last elimination.
  bool IsUndetermined(int i) const { return i > 0 && i < N_ && undet_ != nullptr && undet_[i] != 0; }
  // Adds v to C[row][col] (a disabled column counts as ground). In
  // transient analysis C holds the coefficients of d/dt; the AC analysis
  // solves (B + jC) x = s, so there the entry is scaled by omega.
  void AddReactive(int row, int col, double v) {
    AddC(row, col < 0 ? 0 : col, transient_ ? v : v * omega_);
  }

  // --- Solving.
  // Adds d to a with the cancellation rule; the result is the entry's mark.
  // Inline: it is the innermost operation of every elimination.
  bool sum_new(double& a, double d) const {
    if (d == 0.0) return a != 0.0;
    if (a == 0.0) {
      a = d;
      return true;
    }
    a += d;
    if (a == 0.0) return false;
    if (!std::isfinite(a)) return true;
    // A sum that is below the round-off of what was added is taken as an
    // exact cancellation: it keeps fill-in from round-off out of the pattern.
    if (std::fabs(d) * zero_ >= std::fabs(a)) {
      a = 0.0;
      return false;
    }
    return true;
  }
  // Zeroes and refills B, C, U and the marks from every component's
  // stamps; false when a component failed (its error is set).
  bool FillMatr();
  bool FillY(double h);
  bool CalcY();
  bool calc_stat();
  bool calc_back(double h);
  void gauss();
  bool AdjustX();
  void CreateYz();
  bool HasUndetermined() const;  // some unknown carries mark 255

  // --- Settings and state elements read.
  double Zero() const { return zero_; }
  double Time() const { return t_; }
  void SetTime(double t) { t_ = t; }
  double StepLength() const { return h_; }  // the step being taken
  double CalcStep() const { return step_; }
  int SolutionKind() const { return solution_kind_; }  // 0 static, 1 dynamic
  bool SecondPass() const { return second_pass_; }
  bool IsTransient() const { return transient_; }
  bool DiodeLeak() const { return diode_leak_; }
  bool FloatingMode() const { return floating_; }
  // The IC calculation switches these strategies on for one attempt each.
  void SetDiodeLeak(bool on) { diode_leak_ = on; }
  void SetFloatingMode(bool on) { floating_ = on; }
  bool OperatingPoint() const { return op_mark_; }
  void SetOperatingPoint(bool on) { op_mark_ = on; }
  double Omega() const { return omega_; }
  void SetOmega(double w) { omega_ = w; }
  // The component whose special zone rule the present IC attempt tries.
  const CCmp* SpecialCmp() const { return special_; }
  // A component asks for a new initial solution (zone check sets phase 2).
  void RequestIC(CCmp* cmp) { ic_request_ = cmp; }
  bool OneAtATime() const { return one_at_a_time_; }
  void SetTransient(bool on) { transient_ = on; }

  // --- Transient analysis.
  bool sim_start();
  void InitCalc(bool transient);
  bool sim_init();
  bool sim_execute();
  bool sim_stop();
  void ResetTimeout();
  void calc_new_lin_step();
  // A stop time set while a plan stands (a caller's exact interval): the
  // next event becomes the earlier of the planned one and the stop time.
  // The rest of the plan stays: planning again from here could pass over an
  // event the present time already touches, and would change the step the
  // interval's transition was eliminated for.
  void ApplyStopTime();
  int calc_ic(bool useBack);
  bool calc_add_tran_data();
  bool calc_check_zone(bool final);
  bool calc_start_transient();
  bool calc_transient();
  bool calc_1_transient();
  void calc_infinity_error();
  bool state_check_all(bool update);
  int state_change();
  // Every component takes the present solution as its current state.
  void GetCurState();

  int Phase() const { return phase_; }
  void SetPhase(int p) { phase_ = p; }
  int InitFlags() const { return init_flags_; }
  void SetInitFlags(int f) { init_flags_ = f; }
  double NextEvent() const { return tE_; }
  double StopTime() const { return tStop_; }
  void SetStopTime(double t) { tStop_ = t; }
  bool LinStepPending() const { return lin_step_pending_; }
  void SetLinStepPending(bool on) { lin_step_pending_ = on; }
  bool ZoneChanged() const { return zone_changed_; }
  double IntervalStep() const { return hN_; }
  double PostSwitchStep() const { return hS_; }
  double NextStep() const { return hNext_; }
  double MinStep() const { return hMin_; }
  int StepMode() const { return step_mode_; }
  void RequestTerminate() { terminate_ = true; }
  void RequestPause() { pause_ = true; }
  bool PauseRequested() const { return pause_; }
  const AnsiString& ICMessage() const { return ic_message_; }
  CCmp* Trigger() const { return trigger_; }

  // Counters of the present run, for reports and benchmarks.
  struct SCounters {
    int64_t accepted = 0;   // accepted time points
    int64_t rejected = 0;   // trial steps undone after a zone change
    int64_t switchings = 0; // switching steps
    int64_t ic_iterations = 0;
  };
  const SCounters& Counters() const { return counters_; }

  // --- AC analysis (frequencies in hertz; the solution is Y + j Yim).
  // One frequency with a unit excitation in row (none for row 0).
  bool CalcFreq(double f, int row);
  void gauss_complex(double* re, double* im);
  // Every taken component takes its small-signal form.
  bool Linearize();
  // AC settings copied by InitCalc(false).
  int ACListFlag() const { return ac_list_flag_; }
  const AnsiString& ACList() const { return ac_list_; }
  double ACFrom() const { return ac_from_; }
  double ACTo() const { return ac_to_; }
  int ACPoints() const { return ac_points_; }
  int ACScale() const { return ac_scale_; }
  int ACSource() const { return ac_source_; }
  int ACMethod() const { return ac_method_; }
  bool ACOperatingPoint() const { return ac_dcop_; }

  // Variables that formulas evaluated by the engine read ("t", "f").
  CVarList* VarList() const { return vars_.get(); }
  void SetFreqVarlist(double f);

 private:
  struct STie {
    int back = 0;
    int rank = 0;
    int order = 0;
    int kind = YZ_NONE;
    int parent = 0;
    double value = 0.0;
    int signal = 0;
    unsigned char reversed = 0;
    int section = 0;
  };
  struct SOutOwner {
    CCmp* cmp = nullptr;
    int pin = 0;
  };

  void StampInfiniteGain(int a, int b, int c, int d, int k);
  // The rows column j's elimination works on: not disabled, marked in
  // column j and not yet used as a pivot (row >= j, or no mark on its own
  // diagonal), in ascending order into rows_. Returns their count.
  int CandidateRows(int j);
  // After the rows at j and best were swapped: the rows column j is
  // eliminated from, i.e. the candidates other than the pivot, with the
  // row now at best judged by its new content. Rewrites rows_; returns count.
  int RowsToEliminate(int j, int best, int count);
  // The pivot among the first count candidates of rows_ (the largest
  // |B[r][j]|, a later row only when strictly larger); -1 when none or 0.
  int PivotAmong(int j, int count) const;
  void _setYz(int kind, int a, int b, int s, double V);
  bool _reverseYzPath(int b);
  bool _checkYzLoop(int parent, int child) const;
  void ApplyFloatingSections();
  void ComputeMarks();
  bool sim_ic();
  bool sim_state();
  bool sim_step();
  int _calc_ic(bool useBack, int slot, int pass);
  bool state_init();
  void state_set(const std::vector<int>& zones);
  bool calc_update_inputs();
  void ToPrev();
  void FromPrev();
  bool be_step();
  bool init_traces();
  bool Taken(const CCmp* cmp) const;
  void ReadSettings();
  void ReadACSettings();
  double StepMin(int m) const;
  double StepPost(int m) const;
  void RowAddScaled(double* dst, unsigned char* dstm, const double* src, double f,
                    const int* cols, int count);

  CDoc* doc_;
  AnsiString error_;
  int error_code_ = 0;

  // Numbering.
  struct SNodeRec {
    int doc_node;
    int new_node;
    int type;
  };
  std::vector<SNodeRec> nodes_;  // sorted by document node
  std::vector<CCmp*> cmps_;      // taken components
  int taken_pins_ = 0;
  int node_offset_ = 0;          // running node count over component sets
  std::vector<std::pair<int, int>> node_changes_;
  int n_ = 0, e_ = 0, N_ = 1, M_ = 1;

  // Matrices and vectors.
  double** B_ = nullptr;
  double** C_ = nullptr;
  unsigned char** Bm_ = nullptr;
  unsigned char** Cm_ = nullptr;
  std::vector<double> Bstore_, Cstore_;
  std::vector<unsigned char> Bmstore_, Cmstore_;
  std::vector<double*> Brows_, Crows_;
  std::vector<unsigned char*> Bmrows_, Cmrows_;
  double* X_ = nullptr;
  double* Xprev_ = nullptr;
  double* Y_ = nullptr;
  double* Yprev_ = nullptr;
  double* U_ = nullptr;
  double* Yim_ = nullptr;
  unsigned char* Xzero_ = nullptr;
  unsigned char* Ysignal_ = nullptr;
  unsigned char* undet_ = nullptr;
  std::vector<double> vstore_;
  std::vector<unsigned char> bstore_;
  std::vector<SOutOwner> out_;
  std::vector<STie> ties_;
  std::vector<double> work_;  // per-step scratch (transition step), N
  std::vector<int> cols_;     // elimination scratch: marked columns of the pivot row
  std::vector<int> ccols_;    // the same for the pivot row of C
  std::vector<int> rows_;     // elimination scratch: candidate rows of a column
  std::vector<int> pivots_;   // pivot columns of the interval's elimination
  // The interval's transition matrix C' by rows: row i's values at
  // trans_start_[i] .. trans_start_[i+1]-1 of trans_val_. When
  // trans_first_[i] > 0 they are the consecutive columns from that one on
  // (a span, zeros included); trans_col_ holds every value's column.
  std::vector<int> trans_start_, trans_first_, trans_col_;
  std::vector<double> trans_val_;
  int yz_count_ = 0;          // tied nodes in the order slots
  std::unique_ptr<int[]> saved_nodes_;  // the document's pin nodes before numbering
  CCmps* saved_nodes_owner_ = nullptr;
  int64_t memory_ = 0;

  // Solution state.
  double zero_ = 1e-12;
  int solution_kind_ = 0;
  bool second_pass_ = false;
  bool transient_ = true;
  bool op_mark_ = false;
  double omega_ = 0.0;

  // Transient state.
  double t_ = 0.0;
  double step_ = 1e-3;
  double hN_ = 0.0, hS_ = 0.0, hNext_ = 0.0, hMin_ = 0.0, h_ = 0.0;
  double tE_;
  double tStop_;
  int phase_ = PH_INIT;
  int init_flags_ = 0;
  int be_k_ = 0, be_K_ = 0;
  int iter_limit_[4] = {10, 10, 10, 10};
  bool terminate_ = false;
  bool pause_ = false;
  bool first_point_ = false;
  bool lin_step_pending_ = false;
  bool zone_changed_ = false;
  bool one_at_a_time_ = false;
  bool diode_leak_ = false;
  bool floating_ = false;
  bool infinite_seen_ = false;
  CCmp* trigger_ = nullptr;
  const CCmp* special_ = nullptr;
  CCmp* ic_request_ = nullptr;
  AnsiString ic_message_;
  std::vector<std::vector<int>> snapshots_;
  std::vector<int> saved_zone_;
  std::vector<unsigned char> adjusted_;
  std::clock_t clock_start_ = 0;
  int clock_questions_ = 0;  // time-out questions since the last reset
  unsigned rand_counter_ = 0;
  SCounters counters_;

  // Settings copied at InitCalc.
  int step_mode_ = 2;
  bool so_ = false;
  bool sbs_ = true;
  int timeout_ = 5;
  bool ise_ = false;
  double start_time_ = 0.0;
  bool start_trigger_ = false;

  // AC settings.
  int ac_list_flag_ = 0;
  AnsiString ac_list_;
  double ac_from_ = 0.001, ac_to_ = 1000.0;
  int ac_points_ = 500;
  int ac_scale_ = 0;
  int ac_source_ = 0;
  int ac_method_ = 0;
  bool ac_dcop_ = false;

  std::unique_ptr<CVarList> vars_;
};
