// Filling and solving: the cancellation rule, the matrix fill with its
// marks and floating sections, the static and backward-Euler solutions,
// the sparse elimination, and the trapezoidal forms of a linear interval.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "circuit/Cmp.h"
#include "engine/Calc.h"

// --- Filling -----------------------------------------------------------------------

namespace {

// 1 when the double whose bits are u is neither +0 nor -0: shifting the
// sign out leaves 0 only for a zero. Cheaper than a floating compare,
// which must also test for a NaN (a NaN counts as present either way).
inline unsigned char NonZero(const double* p) {
  std::uint64_t u;
  std::memcpy(&u, p, sizeof u);
  return (u << 1) != 0;
}

// The terms val[k] * x(k) of a row of the transition matrix, positive and
// negative ones summed separately (the step joins the two with the
// cancellation rule). The split is max/min against 0, not a branch: the
// signs are data and a branch would be mispredicted half the time. Four
// partial sums run side by side. A NaN term reaches both sums (max and
// min with 0 as the first operand return the second when either is a
// NaN), so that it reaches the solution. pair(k) loads x(k) and x(k + 1)
// into one register; one(k) gives x(k).
template <class Pair, class One>
inline void SplitTerms(const double* val, int count, Pair pair, One one, double* pos,
                       double* neg) {
  int k = 0;
  double p = 0.0, n = 0.0;
#if defined(__SSE2__)
  if (count >= 4) {
    __m128d p0 = _mm_setzero_pd(), n0 = _mm_setzero_pd();
    __m128d p1 = _mm_setzero_pd(), n1 = _mm_setzero_pd();
    const __m128d zero = _mm_setzero_pd();
    for (; k + 3 < count; k += 4) {
      const __m128d t0 = _mm_mul_pd(_mm_loadu_pd(val + k), pair(k));
      const __m128d t1 = _mm_mul_pd(_mm_loadu_pd(val + k + 2), pair(k + 2));
      p0 = _mm_add_pd(p0, _mm_max_pd(zero, t0));
      n0 = _mm_add_pd(n0, _mm_min_pd(zero, t0));
      p1 = _mm_add_pd(p1, _mm_max_pd(zero, t1));
      n1 = _mm_add_pd(n1, _mm_min_pd(zero, t1));
    }
    double lanes[2];
    _mm_storeu_pd(lanes, _mm_add_pd(p0, p1));
    p = lanes[0] + lanes[1];
    _mm_storeu_pd(lanes, _mm_add_pd(n0, n1));
    n = lanes[0] + lanes[1];
  }
#else
  (void)pair;
#endif
  for (; k < count; ++k) {
    const double t = val[k] * one(k);
    p += std::max(t, 0.0);
    n += std::min(t, 0.0);
  }
  *pos = p;
  *neg = n;
}

#if defined(__SSE2__)
using Pair = __m128d;
#else
struct Pair {};
#endif

// A sparse row: x(k) = v[col[k]].
inline void SplitProduct(const double* val, const int* col, int count, const double* v,
                         double* pos, double* neg) {
  SplitTerms(
      val, count,
      [col, v](int k) {
#if defined(__SSE2__)
        return _mm_loadh_pd(_mm_load_sd(v + col[k]), v + col[k + 1]);
#else
        (void)k;
        return Pair{};
#endif
      },
      [col, v](int k) { return v[col[k]]; }, pos, neg);
}

// A row stored as a span of consecutive columns: x(k) = x[k].
inline void SplitSpan(const double* val, const double* x, int count, double* pos, double* neg) {
  SplitTerms(
      val, count,
      [x](int k) {
#if defined(__SSE2__)
        return _mm_loadu_pd(x + k);
#else
        (void)k;
        return Pair{};
#endif
      },
      [x](int k) { return x[k]; }, pos, neg);
}

// Rows of the transition matrix shorter than this are summed term by term.
constexpr int kShortRow = 8;

}  // namespace

void CCalc::ComputeMarks() {
  const int N = N_;
  for (int i = 1; i < N; ++i) {
    if (Xzero_[i]) continue;
    // Restrict: the marks are bytes, which may alias anything, and would
    // otherwise force a reload of the values after every store.
    const double* __restrict b = B_[i];
    const double* __restrict c = C_[i];
    unsigned char* __restrict bm = Bm_[i];
    unsigned char* __restrict cm = Cm_[i];
    unsigned char bany = 0, cany = 0;
    for (int j = 1; j < N; ++j) {
      const unsigned char mb = NonZero(b + j), mc = NonZero(c + j);
      bm[j] = mb;
      cm[j] = mc;
      bany |= mb;
      cany |= mc;
    }
    bm[0] = bany;
    cm[0] = cany;
  }
}

void CCalc::ApplyFloatingSections() {
  // Section of every analog node; a section is named by its lowest node,
  // section 0 being the one connected to ground.
  for (int i = 0; i <= n_; ++i) ties_[i].section = i;
  auto merge = [this](int x, int y) {
    const int sx = ties_[x].section, sy = ties_[y].section;
    if (sx == sy) return;
    const int lo = std::min(sx, sy), hi = std::max(sx, sy);
    for (int i = 0; i <= n_; ++i)
      if (ties_[i].section == hi) ties_[i].section = lo;
  };
  // Ground counts as a node of section 0, so that a component joining a
  // pin to a grounded pin grounds it whatever the pin order.
  auto in_system = [this](int node) { return node >= 0 && node <= n_; };
  for (int index = 0; index < CmpCount(); ++index) {
    CCmp* cmp = cmps_[static_cast<std::size_t>(index)];
    const int pins = cmp->PinCount();
    if (pins <= 0) continue;
    int* nodes = cmp->Nodes();
    std::fill(nodes + pins, nodes + 2 * pins, 0);
    cmp->CalcFunc(this, CM_FLOATING, index);
    for (int p = 0; p < pins; ++p) {
      const int node = nodes[p];
      if (!in_system(node)) continue;
      const int code = nodes[pins + p];
      if (code == 0) {
        merge(node, 0);
        continue;
      }
      for (int q = 0; q < p; ++q)
        if (in_system(nodes[q]) && nodes[pins + q] == code) merge(node, nodes[q]);
    }
  }
  for (int i = 1; i <= n_; ++i) {
    const int s = ties_[i].section;
    if (s == 0) continue;
    B_[s][s] += -10.0 * zero_;
    for (int k = 1; k <= n_; ++k)
      if (ties_[k].section == s) ties_[k].section = 0;
  }
}

bool CCalc::FillMatr() {
  ZeroMatr();
  for (int pass = 0; pass < 2; ++pass) {
    second_pass_ = pass != 0;
    for (CCmp* cmp : cmps_) {
      if (cmp->Model() == MC_SUBCIR) continue;
      if (!cmp->CalcFunc(this, CM_FILL, t_)) {
        second_pass_ = false;
        return false;
      }
    }
  }
  second_pass_ = false;
  if (floating_) ApplyFloatingSections();
  ComputeMarks();
  bool empty = false;
  for (int i = 1; i < N_ && !empty; ++i) empty = !Xzero_[i] && !Bm_[i][0];
  if (empty) {
    bool added = false;
    for (CCmp* cmp : cmps_)
      if (!cmp->CalcFunc(this, CM_EMPTY_ROWS, t_)) added = true;
    if (added) {
      for (int i = 1; i < N_; ++i) {
        if (Xzero_[i] || Bm_[i][0]) continue;
        unsigned char any = 0;
        for (int j = 1; j < N_; ++j) any |= Bm_[i][j] = B_[i][j] != 0.0;
        Bm_[i][0] = any;
      }
    }
  }
  CreateYz();
  return true;
}

bool CCalc::CalcY() {
  for (CCmp* cmp : cmps_) {
    if (cmp->Model() == MC_SUBCIR) continue;
    if (!cmp->CalcFunc(this, CM_CALC_Y, t_)) return false;
  }
  return true;
}

bool CCalc::FillY(double h) {
  for (CCmp* cmp : cmps_) {
    if (cmp->Model() == MC_SUBCIR) continue;
    if (!cmp->CalcFunc(this, CM_FILL_Y, t_ + h)) return false;
  }
  return true;
}

// --- Static and backward-Euler solutions --------------------------------------------

bool CCalc::calc_stat() {
  if (B_ == nullptr) return false;
  solution_kind_ = 0;
  if (!FillMatr()) return false;
  if (!FillY(0.0)) return false;
  X_[0] = 0.0;
  for (int i = 1; i < N_; ++i) {
    if (Xzero_[i]) {
      X_[i] = 0.0;
      continue;
    }
    X_[i] = Y_[i];
    sum_new(X_[i], U_[i]);
  }
  gauss();
  return AdjustX();
}

bool CCalc::calc_back(double h) {
  if (B_ == nullptr) return false;
  solution_kind_ = 1;
  h_ = h;
  if (!FillMatr()) return false;
  if (!FillY(h)) return false;
  X_[0] = 0.0;
  for (int i = 1; i < N_; ++i) {
    if (Xzero_[i]) {
      X_[i] = 0.0;
      continue;
    }
    double r = Y_[i];
    sum_new(r, U_[i]);
    if (Cm_[i][0]) {
      double* b = B_[i];
      unsigned char* bm = Bm_[i];
      const double* c = C_[i];
      const unsigned char* cm = Cm_[i];
      for (int j = 1; j < N_; ++j) {
        if (!cm[j] || Xzero_[j]) continue;
        const double t = c[j] / h;
        sum_new(r, -t * Xprev_[j]);
        bm[j] = sum_new(b[j], t);
        if (bm[j]) bm[0] = 1;
      }
    }
    X_[i] = r;
  }
  gauss();
  return AdjustX();
}

bool CCalc::HasUndetermined() const {
  if (undet_ == nullptr) return false;
  for (int i = 1; i < N_; ++i)
    if (undet_[i] == 255) return true;
  return false;
}

// --- Elimination ---------------------------------------------------------------------

int CCalc::CandidateRows(int j) {
  int n = 0;
  int* rows = rows_.data();
  for (int r = 1; r < N_; ++r) {
    if (Xzero_[r] || !Bm_[r][j]) continue;
    if (r < j && Bm_[r][r]) continue;
    rows[n++] = r;
  }
  return n;
}

int CCalc::PivotAmong(int j, int count) const {
  int best = -1;
  double bv = -1.0;
  const int* rows = rows_.data();
  for (int k = 0; k < count; ++k) {
    const double v = std::fabs(B_[rows[k]][j]);
    if (v > bv) {
      bv = v;
      best = rows[k];
    }
  }
  return bv == 0.0 ? -1 : best;
}

int CCalc::RowsToEliminate(int j, int best, int count) {
  int* rows = rows_.data();
  int n = 0;
  for (int k = 0; k < count; ++k) {
    const int r = rows[k];
    if (r == j) continue;
    if (r == best) {
      // It now holds what was row j.
      if (!Bm_[r][j] || (r < j && Bm_[r][r])) continue;
    }
    rows[n++] = r;
  }
  return n;
}

void CCalc::gauss() {
  const int N = N_;
  for (int i = 1; i < N; ++i) B_[i][0] = X_[i];
  for (int j = 1; j < N; ++j) {
    if (Xzero_[j]) continue;
    // Pivot: the largest candidate of the column among the rows not yet
    // used as pivots; a later row wins only when strictly larger.
    int count = CandidateRows(j);
    const int best = PivotAmong(j, count);
    if (best < 0) continue;
    if (best != j) {
      std::swap(B_[j], B_[best]);
      std::swap(Bm_[j], Bm_[best]);
    }
    count = RowsToEliminate(j, best, count);
    double* pj = B_[j];
    const unsigned char* pm = Bm_[j];
    int ncols = 0;
    int* cols = cols_.data();
    for (int c = j + 1; c < N; ++c)
      if (pm[c] && !Xzero_[c]) cols[ncols++] = c;
    const double p = pj[j];
    if (p != 1.0) {
      for (int k = 0; k < ncols; ++k) pj[cols[k]] /= p;
      pj[0] /= p;
      pj[j] = 1.0;
    }
    for (int e = 0; e < count; ++e) {
      const int r = rows_[static_cast<std::size_t>(e)];
      double* pr = B_[r];
      unsigned char* rm = Bm_[r];
      const double f = pr[j];
      for (int k = 0; k < ncols; ++k) {
        const int c = cols[k];
        const double d = -pj[c] * f;
        if (rm[c]) {
          rm[c] = sum_new(pr[c], d);
        } else {
          pr[c] = d;
          rm[c] = 1;
        }
      }
      pr[j] = 0.0;
      rm[j] = 0;
      sum_new(pr[0], -pj[0] * f);
    }
  }
  // A row left without an equation but with nothing to satisfy stands for
  // an unknown that may take any value: fix it at 0.
  for (int i = 1; i < N; ++i) {
    if (Xzero_[i] || Bm_[i][i] || B_[i][0] != 0.0) continue;
    B_[i][i] = 1.0;
    Bm_[i][i] = 1;
  }
  std::fill(undet_, undet_ + N, 0);
  std::fill(X_, X_ + N, 0.0);
  // The undetermined columns met so far (all beyond the present row): only
  // they carry along, so a solution without any costs no column scan.
  int* undet_cols = ccols_.data();
  int nundet = 0;
  for (int i = N - 1; i >= 1; --i) {
    if (Xzero_[i]) continue;
    if (!Bm_[i][i]) {
      undet_[i] = B_[i][0] == 0.0 ? 1 : 255;
      undet_cols[nundet++] = i;
      continue;
    }
    const double bi = B_[i][0];
    X_[i] = -bi;
    const double* pi = B_[i];
    for (int r = 1; r < i; ++r) {
      if (Xzero_[r] || !Bm_[r][i]) continue;
      double* pr = B_[r];
      const double f = pr[i];
      sum_new(pr[0], -f * bi);
      for (int k = 0; k < nundet; ++k) {
        const int c = undet_cols[k];
        Bm_[r][c] = sum_new(pr[c], -pi[c] * f);
      }
    }
  }
  for (int i = 1; i < N; ++i) {
    if (!undet_[i]) continue;
    for (int r = 1; r < i; ++r)
      if (B_[r][i] != 0.0 && undet_[r] < 255) undet_[r] = undet_[i];
  }
}

// --- Trapezoidal forms ----------------------------------------------------------------

void CCalc::RowAddScaled(double* dst, unsigned char* dstm, const double* src, double f,
                         const int* cols, int count) {
  // dst -= f * src over the listed columns, with the cancellation rule.
  for (int k = 0; k < count; ++k) {
    const int c = cols[k];
    const double d = -src[c] * f;
    if (dstm[c]) {
      dstm[c] = sum_new(dst[c], d);
    } else {
      dst[c] = d;
      dstm[c] = 1;
    }
    if (dstm[c]) dstm[0] = 1;
  }
}

bool CCalc::calc_start_transient() {
  if (B_ == nullptr) return false;
  solution_kind_ = 1;
  h_ = hN_;
  if (!FillMatr()) return false;
  const int N = N_;
  const double h = hN_;
  for (int i = 1; i < N; ++i) {
    if (Xzero_[i]) continue;
    U_[i] = 2.0 * U_[i];
    double* b = B_[i];
    unsigned char* bm = Bm_[i];
    double* c = C_[i];
    unsigned char* cm = Cm_[i];
    if (cm[0]) {
      for (int j = 1; j < N; ++j) {
        if (!cm[j]) continue;
        bm[j] = sum_new(b[j], (2.0 / h) * c[j]);
        if (bm[j]) bm[0] = 1;
        c[j] = -(4.0 / h) * c[j];
      }
    }
    if (Ysignal_[i]) {
      c[i] = 1.0;
      cm[i] = 1;
      cm[0] = 1;
    }
  }
  // Gauss-Jordan elimination of B, carrying the rows of C and U along: at
  // the end row i of C and U holds A^-1 applied to them, A = B + 2C/h.
  std::vector<int>& order = pivots_;
  order.clear();
  for (int j = 1; j < N; ++j) {
    if (Xzero_[j]) continue;
    int count = CandidateRows(j);
    const int best = PivotAmong(j, count);
    if (best < 0) continue;
    if (best != j) {
      std::swap(B_[j], B_[best]);
      std::swap(Bm_[j], Bm_[best]);
      std::swap(C_[j], C_[best]);
      std::swap(Cm_[j], Cm_[best]);
      std::swap(U_[j], U_[best]);
    }
    count = RowsToEliminate(j, best, count);
    order.push_back(j);
    double* pj = B_[j];
    const double p = pj[j];
    if (p != 1.0) {
      for (int c = j + 1; c < N; ++c)
        if (Bm_[j][c]) pj[c] /= p;
      for (int c = 1; c < N; ++c)
        if (Cm_[j][c]) C_[j][c] /= p;
      U_[j] /= p;
      pj[j] = 1.0;
    }
    int nb = 0, nc = 0;
    for (int c = j + 1; c < N; ++c)
      if (Bm_[j][c] && !Xzero_[c]) cols_[nb++] = c;
    for (int c = 1; c < N; ++c)
      if (Cm_[j][c]) ccols_[nc++] = c;
    for (int e = 0; e < count; ++e) {
      const int r = rows_[static_cast<std::size_t>(e)];
      const double f = B_[r][j];
      RowAddScaled(B_[r], Bm_[r], pj, f, cols_.data(), nb);
      RowAddScaled(C_[r], Cm_[r], C_[j], f, ccols_.data(), nc);
      sum_new(U_[r], -U_[j] * f);
      B_[r][j] = 0.0;
      Bm_[r][j] = 0;
    }
  }
  // Back substitution: clear what stands above every pivot, bottom up.
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    const int i = *it;
    int nc = 0;
    for (int c = 1; c < N; ++c)
      if (Cm_[i][c]) ccols_[nc++] = c;
    for (int r = 1; r < i; ++r) {
      if (Xzero_[r] || !Bm_[r][i]) continue;
      const double f = B_[r][i];
      RowAddScaled(C_[r], Cm_[r], C_[i], f, ccols_.data(), nc);
      sum_new(U_[r], -U_[i] * f);
      B_[r][i] = 0.0;
      Bm_[r][i] = 0;
    }
  }
  // The transition matrix by rows, for a step that costs one multiply-add
  // per stored entry. A row whose entries fill at least half of the
  // columns between its first and last is stored as that whole span
  // (zeros included), read against the solution without column indexes;
  // any other row keeps only its entries, each with its column.
  trans_start_.assign(static_cast<std::size_t>(N) + 1, 0);
  trans_first_.assign(static_cast<std::size_t>(N), 0);
  trans_col_.clear();
  trans_val_.clear();
  for (int i = 1; i < N; ++i) {
    trans_start_[static_cast<std::size_t>(i)] = static_cast<int>(trans_val_.size());
    if (Xzero_[i] || ties_[i].kind != YZ_NONE) continue;
    int first = 0, last = 0, count = 0;
    for (int j = 1; j < N; ++j) {
      if (!Cm_[i][j] || C_[i][j] == 0.0) continue;
      if (first == 0) first = j;
      last = j;
      ++count;
    }
    if (count == 0) continue;
    const bool span = 2 * count >= last - first + 1;
    if (span) trans_first_[static_cast<std::size_t>(i)] = first;
    for (int j = first; j <= last; ++j) {
      const bool present = Cm_[i][j] && C_[i][j] != 0.0;
      if (!span && !present) continue;
      trans_col_.push_back(j);
      trans_val_.push_back(present ? C_[i][j] : 0.0);
    }
  }
  trans_start_[static_cast<std::size_t>(N)] = static_cast<int>(trans_val_.size());
  trans_start_[0] = 0;
  return true;
}

bool CCalc::calc_transient() {
  if (B_ == nullptr) return false;
  h_ = hN_;
  if (!FillY(hN_)) return false;
  const int N = N_;
  double* v = work_.data();
  v[0] = 0.0;
  for (int j = 1; j < N; ++j) v[j] = Ysignal_[j] ? Y_[j] + Yprev_[j] : Xprev_[j];
  const int* col = trans_col_.data();
  const double* val = trans_val_.data();
  for (int i = 1; i < N; ++i) {
    if (Xzero_[i] || ties_[i].kind != YZ_NONE) continue;
    const int begin = trans_start_[static_cast<std::size_t>(i)];
    const int end = trans_start_[static_cast<std::size_t>(i) + 1];
    // Positive and negative terms are summed apart and joined with the
    // cancellation rule. A short row (a switching converter's are a few
    // entries) goes term by term: its signs rarely change from step to
    // step, so the branch is well predicted. Long rows go through the
    // branch-free kernels.
    double p = 0.0, n = 0.0;
    const double a = Xprev_[i], u = U_[i];
    (a >= 0.0 ? p : n) += a;
    (u >= 0.0 ? p : n) += u;
    if (end - begin < kShortRow) {
      for (int k = begin; k < end; ++k) {
        const double t = val[k] * v[col[k]];
        (t >= 0.0 ? p : n) += t;
      }
    } else {
      double kp = 0.0, kn = 0.0;
      const int first = trans_first_[static_cast<std::size_t>(i)];
      if (first > 0)
        SplitSpan(val + begin, v + first, end - begin, &kp, &kn);
      else
        SplitProduct(val + begin, col + begin, end - begin, v, &kp, &kn);
      p += kp;
      n += kn;
    }
    sum_new(p, n);
    X_[i] = -p;
  }
  return AdjustX();
}

bool CCalc::calc_1_transient() {
  if (B_ == nullptr) return false;
  solution_kind_ = 1;
  if (!FillMatr()) return false;
  if (!FillY(h_)) return false;
  const int N = N_;
  const double k2 = 2.0 / h_;
  X_[0] = 0.0;
  for (int i = 1; i < N; ++i) {
    if (Xzero_[i]) {
      X_[i] = 0.0;
      continue;
    }
    double pos = 0.0, neg = 0.0;
    auto add = [&pos, &neg](double t) { (t >= 0.0 ? pos : neg) += t; };
    add(Y_[i]);
    add(Yprev_[i]);
    add(2.0 * U_[i]);
    double* b = B_[i];
    unsigned char* bm = Bm_[i];
    const double* c = C_[i];
    const unsigned char* cm = Cm_[i];
    for (int j = 1; j < N; ++j) {
      if (Xzero_[j] || !(bm[j] || cm[j])) continue;
      add(Xprev_[j] * (b[j] - k2 * c[j]));
    }
    if (cm[0]) {
      for (int j = 1; j < N; ++j) {
        if (!cm[j] || Xzero_[j]) continue;
        bm[j] = sum_new(b[j], k2 * c[j]);
        if (bm[j]) bm[0] = 1;
      }
    }
    sum_new(pos, neg);
    X_[i] = pos;
  }
  gauss();
  return AdjustX();
}
