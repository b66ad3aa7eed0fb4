// The engine's equations: taking components, numbering nodes, the matrices,
// every stamping operation, the ideal-branch forest and the error text.
// Elimination is in CalcSolve.cpp, the transient analysis in CalcTran.cpp.

#include "engine/Calc.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "circuit/Cmp.h"
#include "circuit/Cmps.h"
#include "doc/Doc.h"
#include "elements/PWL.h"
#include "expr/VarList.h"

namespace {

// A disabled pin carries a negative node number. Stamps treat it as ground:
// writes into row or column 0 are never part of the system, so the pin is
// simply not connected to anything the solution sees.
inline int Pin(int node) { return node < 0 ? 0 : node; }

constexpr double kMaxMatrixBytes = 999999999.0;

}  // namespace

CCalc::CCalc(CDoc* doc)
    : doc_(doc),
      tE_(std::numeric_limits<double>::quiet_NaN()),
      tStop_(std::numeric_limits<double>::quiet_NaN()),
      vars_(std::make_unique<CVarList>()) {
  vars_->CreateFreqVarlist();
  if (doc_ != nullptr) zero_ = doc_->Advanced().zero;
}

CCalc::~CCalc() { ClearCalc(); }

// --- Error text ------------------------------------------------------------------

void CCalc::AddError(const AnsiString& s) { error_ += AnsiString("\n") + s; }

bool CCalc::SetCmpError(const CCmp* cmp, const char* s) {
  const AnsiString name = cmp != nullptr ? cmp->GetFullName() : AnsiString();
  if (s != nullptr)
    error_ += name + " : " + s + "\n";
  else
    error_ = name + " : " + error_;
  return false;
}

void CCalc::SetUnknownError(const char* code) {
  if (error_.IsEmpty()) error_ = AnsiString("Unknown error ") + code;
}

// --- Taking components and numbering ----------------------------------------------

bool CCalc::Taken(const CCmp* cmp) const {
  return std::find(cmps_.begin(), cmps_.end(), cmp) != cmps_.end();
}

bool CCalc::InitCmps(CCmps* cmps) {
  if (cmps == nullptr) return false;
  // The document's own node numbers are kept and put back when the engine
  // is cleared, so that a document saved after a simulation reads as the
  // user wrote it (the engine renumbers pins in place).
  if (node_offset_ == 0 && saved_nodes_ == nullptr) {
    saved_nodes_ = cmps->SaveNodes();
    saved_nodes_owner_ = cmps;
  }
  node_offset_ = cmps->CreateNewNodes(node_offset_);
  bool ok = true;
  for (int i = 0; i < cmps->Count(); ++i) {
    CCmp* cmp = cmps->GetAt(i);
    if (cmp->IsDisabled()) continue;
    cmp->SetOwner(cmps);
    cmps_.push_back(cmp);
    taken_pins_ += std::max(0, cmp->PinCount());
    if (!cmp->CheckParams(this)) ok = false;
    if (cmp->Model() != cmp->PrevModel()) {
      cmp->ClearCmp();
      cmp->CalcFunc(this, CM_CLEAR, t_);
    }
    if (cmp->Model() == MC_SUBCIR) {
      // Inner circuits are not taken into a simulation yet: say so rather
      // than simulate the outer circuit with the block left open.
      SetCmpError(cmp, "subcircuits cannot be simulated yet");
      SetUnknownError("1025");
      return false;
    }
    if (cmp->Model() == MC_PWL && !InitCmpPWL(this, cmp)) {
      SetUnknownError("1026");
      return false;
    }
    if (!cmp->CalcFunc(this, CM_INIT, t_)) {
      SetUnknownError("1027");
      return false;
    }
    if (doc_ != nullptr) doc_->clear_func_list();
    cmp->SetPrevModel(cmp->Model());
  }
  return ok;
}

void CCalc::CreateNodes() {
  nodes_.clear();
  for (CCmp* cmp : cmps_) {
    for (int p = 0; p < cmp->PinCount(); ++p) {
      const int node = cmp->Node(p);
      if (node <= 0) continue;
      nodes_.push_back({node, 0, cmp->GetCmpPinType(p)});
    }
  }
  std::sort(nodes_.begin(), nodes_.end(),
            [](const SNodeRec& a, const SNodeRec& b) { return a.doc_node < b.doc_node; });
  // Merge the entries of one node, OR-ing their pin types.
  std::size_t w = 0;
  for (std::size_t r = 0; r < nodes_.size(); ++r) {
    if (w > 0 && nodes_[w - 1].doc_node == nodes_[r].doc_node)
      nodes_[w - 1].type |= nodes_[r].type;
    else
      nodes_[w++] = nodes_[r];
  }
  nodes_.resize(w);

  auto analog = [this](const SNodeRec& r) { return !transient_ || (r.type & 1) != 0; };
  n_ = 0;
  int f = 0;
  for (const SNodeRec& r : nodes_) (analog(r) ? n_ : f)++;
  int next = n_ + 1;
  for (CCmp* cmp : cmps_) {
    const int count = cmp->CreateExtraNodes(this, next);
    if (count > 0) next += count;
  }
  e_ = next - n_ - 1;
  N_ = n_ + e_ + 1;
  M_ = N_ + f;
  int na = 1, nf = N_;
  for (SNodeRec& r : nodes_) r.new_node = analog(r) ? na++ : nf++;
  for (CCmp* cmp : cmps_) {
    for (int p = 0; p < cmp->PinCount(); ++p) {
      const int node = cmp->Node(p);
      if (node <= 0) continue;
      const auto it = std::lower_bound(
          nodes_.begin(), nodes_.end(), node,
          [](const SNodeRec& r, int v) { return r.doc_node < v; });
      cmp->SetNode(p, it->new_node);
    }
  }
}

int CCalc::GetNodeType(int node) const {
  const auto it = std::lower_bound(nodes_.begin(), nodes_.end(), node,
                                   [](const SNodeRec& r, int v) { return r.doc_node < v; });
  return it != nodes_.end() && it->doc_node == node ? it->type : 0;
}

void CCalc::AddNodeChange(int a, int b) { node_changes_.emplace_back(a, b); }

void CCalc::NodeChange() {
  for (std::size_t i = 0; i < node_changes_.size(); ++i) {
    const int a = node_changes_[i].first, b = node_changes_[i].second;
    if (a == b) continue;
    const int hi = std::max(a, b), lo = std::min(a, b);
    for (std::size_t j = i + 1; j < node_changes_.size(); ++j) {
      if (node_changes_[j].first == hi) node_changes_[j].first = lo;
      if (node_changes_[j].second == hi) node_changes_[j].second = lo;
    }
    for (CCmp* cmp : cmps_)
      for (int p = 0; p < cmp->PinCount(); ++p)
        if (cmp->Node(p) == hi) cmp->SetNode(p, lo);
  }
  node_changes_.clear();
}

// --- Matrices --------------------------------------------------------------------

bool CCalc::CreateMatr() {
  DeleteMatr();
  CreateNodes();
  const std::size_t N = static_cast<std::size_t>(N_), M = static_cast<std::size_t>(M_);
  if (static_cast<double>(N) * static_cast<double>(N) * 8.0 > kMaxMatrixBytes) {
    SetError("Schematic too big");
    return false;
  }
  try {
    Bstore_.assign(N * N, 0.0);
    Cstore_.assign(N * N, 0.0);
    Bmstore_.assign(N * N, 0);
    Cmstore_.assign(N * N, 0);
    Brows_.resize(N);
    Crows_.resize(N);
    Bmrows_.resize(N);
    Cmrows_.resize(N);
    // X, Xprev (M each), then Y, Yprev, U, Yim (N each).
    vstore_.assign(2 * M + 4 * N, 0.0);
    // Xzero, Ysignal, undetermined marks (N each).
    bstore_.assign(3 * N, 0);
    out_.assign(M, SOutOwner());
    ties_.assign(M, STie());
    work_.assign(N, 0.0);
    cols_.assign(N, 0);
    ccols_.assign(N, 0);
    rows_.assign(N, 0);
    pivots_.reserve(N);
  } catch (const std::bad_alloc&) {
    DeleteMatr();
    SetError("No enough memory");
    return false;
  }
  for (std::size_t i = 0; i < N; ++i) {
    Brows_[i] = &Bstore_[i * N];
    Crows_[i] = &Cstore_[i * N];
    Bmrows_[i] = &Bmstore_[i * N];
    Cmrows_[i] = &Cmstore_[i * N];
  }
  B_ = Brows_.data();
  C_ = Crows_.data();
  Bm_ = Bmrows_.data();
  Cm_ = Cmrows_.data();
  X_ = vstore_.data();
  Xprev_ = X_ + M;
  Y_ = Xprev_ + M;
  Yprev_ = Y_ + N;
  U_ = Yprev_ + N;
  Yim_ = U_ + N;
  Xzero_ = bstore_.data();
  Ysignal_ = Xzero_ + N;
  undet_ = Ysignal_ + N;
  const int64_t n = N_, m = M_;
  memory_ = 16 * (n * n + n + m) + 32 * n + 2 * n * n + 16 * n + 3 * n + 16 * m + 48 * m;
  return true;
}

void CCalc::DeleteMatr() {
  B_ = C_ = nullptr;
  Bm_ = Cm_ = nullptr;
  X_ = Xprev_ = Y_ = Yprev_ = U_ = Yim_ = nullptr;
  Xzero_ = Ysignal_ = undet_ = nullptr;
  // Release the memory, not only the contents: a large circuit's matrices
  // should not outlive its simulation.
  std::vector<double>().swap(Bstore_);
  std::vector<double>().swap(Cstore_);
  std::vector<unsigned char>().swap(Bmstore_);
  std::vector<unsigned char>().swap(Cmstore_);
  std::vector<double*>().swap(Brows_);
  std::vector<double*>().swap(Crows_);
  std::vector<unsigned char*>().swap(Bmrows_);
  std::vector<unsigned char*>().swap(Cmrows_);
  std::vector<double>().swap(vstore_);
  std::vector<unsigned char>().swap(bstore_);
  std::vector<SOutOwner>().swap(out_);
  std::vector<STie>().swap(ties_);
  std::vector<double>().swap(work_);
  std::vector<int>().swap(cols_);
  std::vector<int>().swap(ccols_);
  std::vector<int>().swap(rows_);
  std::vector<int>().swap(pivots_);
  std::vector<int>().swap(trans_start_);
  std::vector<int>().swap(trans_first_);
  std::vector<int>().swap(trans_col_);
  std::vector<double>().swap(trans_val_);
  yz_count_ = 0;
  memory_ = 0;
}

void CCalc::ZeroMatr() {
  if (B_ == nullptr) return;
  const std::size_t N = static_cast<std::size_t>(N_);
  // Rows may have been swapped by the elimination: put the pointers back
  // so that row i is stored at i again.
  for (std::size_t i = 0; i < N; ++i) {
    Brows_[i] = &Bstore_[i * N];
    Crows_[i] = &Cstore_[i * N];
    Bmrows_[i] = &Bmstore_[i * N];
    Cmrows_[i] = &Cmstore_[i * N];
  }
  std::fill(Bstore_.begin(), Bstore_.end(), 0.0);
  std::fill(Cstore_.begin(), Cstore_.end(), 0.0);
  std::fill(Bmstore_.begin(), Bmstore_.end(), 0);
  std::fill(Cmstore_.begin(), Cmstore_.end(), 0);
  // X and Xprev carry the solution across refills and Yprev the previous
  // sources of a trapezoidal step; the rest is rebuilt from the stamps.
  std::fill(Y_, Y_ + N, 0.0);
  std::fill(U_, U_ + N, 0.0);
  std::fill(Yim_, Yim_ + N, 0.0);
  std::fill(Xzero_, Xzero_ + N, 0);
  std::fill(Ysignal_, Ysignal_ + N, 0);
  // Assigned from one value made once: filling with a temporary per entry
  // built it on the stack each time and stalled on reading it back.
  const SOutOwner no_owner;
  for (SOutOwner& o : out_) o = no_owner;
  const STie untied;
  for (STie& t : ties_) t = untied;
  yz_count_ = 0;
}

void CCalc::ClearCalc() {
  DeleteMatr();
  snapshots_.clear();
  cmps_.clear();
  nodes_.clear();
  taken_pins_ = 0;
  node_offset_ = 0;
  node_changes_.clear();
  if (saved_nodes_ != nullptr && saved_nodes_owner_ != nullptr)
    saved_nodes_owner_->RestoreNodes(saved_nodes_.get());
  saved_nodes_.reset();
  saved_nodes_owner_ = nullptr;
  n_ = e_ = 0;
  N_ = M_ = 1;
}

// --- Stamping --------------------------------------------------------------------

bool CCalc::SetR(int a, int b, double R) {
  a = Pin(a);
  b = Pin(b);
  if (a == b) return true;
  if (R == 0.0) {
    SetError("Zero resistance");
    return false;
  }
  const double g = std::fabs(R) > std::numeric_limits<double>::max() ? 0.0 : 1.0 / R;
  B_[a][a] += -g;
  B_[a][b] += g;
  B_[b][a] += g;
  B_[b][b] += -g;
  return true;
}

bool CCalc::SetShort(int a, int b, int k, double V) {
  a = Pin(a);
  b = Pin(b);
  if (a == b && V == 0.0) return true;
  B_[a][k] += 1.0;
  B_[b][k] += -1.0;
  B_[k][a] += -1.0;
  B_[k][b] += 1.0;
  U_[k] = -V;
  return true;
}

bool CCalc::SetV(int a, int b, int k, double V) {
  a = Pin(a);
  b = Pin(b);
  if (a == b) {
    if (V == 0.0) return true;
    SetError("Short circuit");
    return false;
  }
  B_[a][k] += -1.0;
  B_[b][k] += 1.0;
  B_[k][a] += -1.0;
  B_[k][b] += 1.0;
  U_[k] = -V;
  return true;
}

bool CCalc::SetOpen(int a, int b, int k, double I) {
  a = Pin(a);
  b = Pin(b);
  if (a != b) {
    B_[a][k] += 1.0;
    B_[b][k] += -1.0;
  }
  B_[k][k] = 1.0;
  U_[k] = -I;
  return true;
}

bool CCalc::SetI(int a, int b, int k, double I) {
  a = Pin(a);
  b = Pin(b);
  if (a != b) {
    B_[a][k] += -1.0;
    B_[b][k] += 1.0;
  }
  B_[k][k] = 1.0;
  U_[k] = -I;
  return true;
}

bool CCalc::SetSwitch(int a, int b, int k, bool on) {
  if (!on) {
    B_[k][k] = 1.0;
    Xzero_[k] = 1;
    return true;
  }
  SetYzShort(a, b);
  return SetShort(a, b, k, 0.0);
}

bool CCalc::SetSwitchR(int a, int b, int k, double R) {
  a = Pin(a);
  b = Pin(b);
  if (a != b) {
    B_[a][k] += 1.0;
    B_[b][k] += -1.0;
  }
  if (a == b || std::isinf(R)) {
    B_[k][k] = 1.0;
    Xzero_[k] = 1;
  } else if (R == 0.0) {
    B_[k][a] += -1.0;
    B_[k][b] += 1.0;
  } else {
    B_[k][a] += -1.0 / R;
    B_[k][b] += 1.0 / R;
    B_[k][k] = -1.0;
  }
  return true;
}

// The branch of an infinite gain: the output current k enters b and
// leaves a, and row k holds the control voltage at zero.
void CCalc::StampInfiniteGain(int a, int b, int c, int d, int k) {
  if (a != b) {
    B_[a][k] += -1.0;
    B_[b][k] += 1.0;
  }
  if (c != d) {
    B_[k][c] += 1.0;
    B_[k][d] += -1.0;
  }
}

bool CCalc::SetVCVS(int a, int b, int c, int d, int k, double K) {
  a = Pin(a);
  b = Pin(b);
  c = Pin(c);
  d = Pin(d);
  if (std::isinf(K)) {
    StampInfiniteGain(a, b, c, d, k);
    return true;
  }
  if (!SetV(a, b, k, 0.0)) return false;
  if (c != d) {
    B_[k][c] += K;
    B_[k][d] += -K;
  }
  return true;
}

bool CCalc::SetVCCS(int a, int b, int c, int d, int k, double K) {
  a = Pin(a);
  b = Pin(b);
  c = Pin(c);
  d = Pin(d);
  if (std::isinf(K)) {
    StampInfiniteGain(a, b, c, d, k);
    return true;
  }
  SetI(a, b, k, 0.0);
  if (c != d) {
    B_[k][c] += K;
    B_[k][d] += -K;
  }
  return true;
}

bool CCalc::SetCCVS(int a, int b, int k, int j, double K) {
  a = Pin(a);
  b = Pin(b);
  if (std::isinf(K)) {
    if (a != b) {
      B_[a][k] += -1.0;
      B_[b][k] += 1.0;
    }
    B_[k][j] += -1.0;
    return true;
  }
  if (!SetV(a, b, k, 0.0)) return false;
  B_[k][j] += -K;
  return true;
}

bool CCalc::SetCCCS(int a, int b, int k, int j, double K) {
  a = Pin(a);
  b = Pin(b);
  if (std::isinf(K)) {
    if (a != b) {
      B_[a][k] += -1.0;
      B_[b][k] += 1.0;
    }
    B_[k][j] = -1.0;
    return true;
  }
  SetI(a, b, k, 0.0);
  B_[k][j] += -K;
  return true;
}

bool CCalc::SetD(int a, int b, int k, bool on, double V, bool leak) {
  a = Pin(a);
  b = Pin(b);
  if (on && std::isfinite(V)) {
    if (V == 0.0) {
      SetYzShort(a, b);
      return SetShort(a, b, k, 0.0);
    }
    SetYzConst(a, b, V);
    return SetShort(a, b, k, V);
  }
  B_[k][k] = 1.0;
  if (!leak && !diode_leak_) {
    Xzero_[k] = 1;
  } else {
    // Unknown k then measures a scaled voltage across the diode, which
    // keeps an otherwise isolated node determined.
    B_[k][a] += 10.0 * zero_;
    B_[k][b] += -10.0 * zero_;
  }
  return true;
}

void CCalc::ClearB(int i) {
  std::fill(B_[i], B_[i] + N_, 0.0);
  B_[i][i] = 1.0;
  U_[i] = 0.0;
}

bool CCalc::SetFunction(CCmp* /*cmp*/, int node, int k, bool constant, double v) {
  node = Pin(node);
  if (node >= N_) {
    X_[node] = v;
    return true;
  }
  if (constant) {
    ClearB(node);
    U_[node] = -v;
    SetYzConst(0, node, v);
  } else if (k != 0) {
    if (!SetV(0, node, k, 0.0)) return false;
    SetYsignal(k);
    SetYzSignal(0, node, k);
  } else {
    ClearB(node);
    SetYsignal(node);
    SetYzSignal(0, node, node);
  }
  return true;
}

void CCalc::FillFunction(int node, double v) {
  node = Pin(node);
  if (node < N_)
    Y_[node] = -v;
  else
    X_[node] = v;
}

bool CCalc::GetLogical(int node) const {
  const double thr = doc_ != nullptr ? doc_->Threshold() : 2.5;
  return X_[Pin(node)] > thr;
}

double CCalc::LogicalToDouble(bool l) const {
  if (doc_ == nullptr) return l ? 5.0 : 0.0;
  return l ? doc_->HighLevel() : doc_->LowLevel();
}

void CCalc::SetLogical(int node, bool l) {
  node = Pin(node);
  const double v = LogicalToDouble(l);
  if (node < N_) {
    ClearB(node);
    U_[node] = -v;
    SetYzConst(0, node, v);
  } else {
    X_[node] = v;
  }
}

void CCalc::SetOut(int node, CCmp* cmp, int pin) {
  if (node < 0 || node >= M_) return;
  out_[static_cast<std::size_t>(node)] = {cmp, pin};
}

bool CCalc::CheckOut(int node, CCmp* cmp, int pin) {
  if (node == 0) return SetCmpError(cmp, AnsiString("grounded output ") + cmp->GetPinName(pin));
  if (node < 0 || node >= M_) return true;  // a disabled pin drives nothing
  SOutOwner& owner = out_[static_cast<std::size_t>(node)];
  if (owner.cmp == nullptr) {
    owner = {cmp, pin};
    return true;
  }
  auto named = [](const CCmp* c, int p) {
    const AnsiString pin_name = c->GetPinName(p);
    return (pin_name.IsEmpty() ? AnsiString() : pin_name + " of ") + c->GetFullName();
  };
  SetError(AnsiString("Short circuit: ") + named(owner.cmp, owner.pin) + ", " + named(cmp, pin));
  return false;
}

// --- The ideal-branch forest --------------------------------------------------------

int CCalc::TieKind(int i) const {
  if (i < 0 || static_cast<std::size_t>(i) >= ties_.size()) return YZ_NONE;
  return ties_[static_cast<std::size_t>(i)].kind;
}

bool CCalc::_checkYzLoop(int parent, int child) const {
  // Walk up from the new parent; reaching the child would close a loop.
  int p = parent;
  for (int guard = 0; guard <= M_; ++guard) {
    if (p == child) return true;
    if (ties_[p].kind == YZ_NONE) return false;
    p = ties_[p].parent;
  }
  return true;
}

bool CCalc::_reverseYzPath(int b) {
  // Ground is the root of every tree it is in and can never be a child, so
  // a path that ends at ground cannot be turned round.
  if (b == 0) return false;
  if (ties_[b].kind == YZ_NONE) return true;
  int len = 0;
  for (int p = b; ties_[p].kind != YZ_NONE; p = ties_[p].parent) {
    if (++len > M_) return false;
  }
  int root = b;
  while (ties_[root].kind != YZ_NONE) root = ties_[root].parent;
  if (root == 0) return false;
  // From the root down: each node takes its child's tie, turned round.
  STie carried = ties_[b];
  int child = b;
  int node = carried.parent;
  ties_[b].kind = YZ_NONE;
  ties_[b].parent = 0;
  while (true) {
    const STie next = ties_[node];
    STie& rec = ties_[node];
    rec.kind = carried.kind;
    rec.value = carried.value;
    rec.signal = carried.signal;
    rec.reversed = carried.reversed ^ 1;
    rec.parent = child;
    if (next.kind == YZ_NONE) break;
    carried = next;
    child = node;
    node = next.parent;
  }
  return true;
}

void CCalc::_setYz(int kind, int a, int b, int s, double V) {
  a = Pin(a);
  b = Pin(b);
  if (a == 0 && b == 0) return;
  if (ties_.empty()) return;
  int child = b, parent = a;
  unsigned char reversed = 0;
  if (!_reverseYzPath(b)) {
    if (!_reverseYzPath(a)) return;  // neither can take a parent
    child = a;
    parent = b;
    reversed = 1;
  }
  if (_checkYzLoop(parent, child)) return;  // the branch stays in the matrix only
  STie& rec = ties_[child];
  rec.kind = kind;
  rec.parent = parent;
  rec.value = V;
  rec.signal = s;
  rec.reversed = reversed;
}

void CCalc::CreateYz() {
  // Rank each tied node by its distance from the leaves: leaves 1, and a
  // parent always above its children, so that ordering by falling rank
  // computes every parent before its children.
  int top = 0;
  for (int i = 0; i < M_; ++i) ties_[i].rank = 0;
  for (int i = 0; i < M_; ++i) {
    if (ties_[i].kind == YZ_NONE || ties_[i].rank != 0) continue;
    ties_[i].rank = 1;
    int cur = i;
    for (int guard = 0; guard < M_; ++guard) {
      const int p = ties_[cur].parent;
      if (ties_[p].kind == YZ_NONE) break;
      if (ties_[p].rank > ties_[cur].rank) break;
      ties_[p].rank = ties_[cur].rank + 1;
      cur = p;
    }
    top = std::max(top, ties_[cur].rank);
  }
  yz_count_ = 0;
  for (int r = top; r >= 1; --r)
    for (int i = 0; i < M_; ++i)
      if (ties_[i].kind != YZ_NONE && ties_[i].rank == r) ties_[yz_count_++].order = i;
}

bool CCalc::AdjustX() {
  for (int k = 0; k < yz_count_; ++k) {
    const int b = ties_[k].order;
    const STie& t = ties_[b];
    const double xp = t.parent == 0 ? 0.0 : X_[t.parent];
    switch (t.kind) {
      case YZ_SHORT:
        X_[b] = xp;
        break;
      case YZ_CONST:
        X_[b] = t.reversed ? xp - t.value : xp + t.value;
        break;
      case YZ_SIGNAL: {
        const double y = Y_[t.signal];
        X_[b] = t.reversed ? xp + y : xp - y;
        break;
      }
      default:
        break;
    }
  }
  for (int i = 0; i < N_; ++i) {
    if (!std::isfinite(X_[i])) {
      SetError("Infinite or invalid solution");
      return false;
    }
  }
  return true;
}

void CCalc::SetFreqVarlist(double f) { vars_->SetFreqVarlist(f); }
