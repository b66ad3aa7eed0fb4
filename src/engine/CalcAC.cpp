// The AC analysis in the engine: one frequency point, the complex
// elimination of (B + jC) x = s, and the linear form of every component.
// Frequencies in hertz; the right-hand side and the solution are held in
// Y (real part) and Yim (imaginary part).

#include <algorithm>
#include <cmath>

#include "circuit/Cmp.h"
#include "doc/Doc.h"
#include "engine/Calc.h"

namespace {

// The value of pi the analysis uses for omega = 2 pi f.
constexpr double kPi = 3.14159265358;

}  // namespace

void CCalc::ReadACSettings() {
  if (doc_ == nullptr) return;
  const SFreqSettings& f = doc_->FreqSettings();
  ac_list_flag_ = f.type;
  ac_list_ = f.list;
  ac_from_ = f.from;
  ac_to_ = f.to;
  ac_points_ = f.points;
  ac_scale_ = f.scale;
  ac_source_ = f.id;
  ac_method_ = f.alg;
  ac_dcop_ = f.dcop;
}

bool CCalc::Linearize() {
  for (CCmp* cmp : cmps_) {
    if (cmp->IsDisabled() || cmp->Model() == MC_SUBCIR) continue;
    if (!cmp->CalcFunc(this, CM_LINEARIZE, t_)) return false;
  }
  return true;
}

bool CCalc::CalcFreq(double f, int row) {
  if (B_ == nullptr) return false;
  solution_kind_ = 1;
  omega_ = 2.0 * kPi * f;
  SetFreqVarlist(f);
  t_ = f;
  if (!FillMatr()) return false;
  std::fill(Y_, Y_ + N_, 0.0);
  std::fill(Yim_, Yim_ + N_, 0.0);
  // A unit source in the stored sign convention.
  if (row > 0 && row < N_) Y_[row] = -1.0;
  gauss_complex(Y_, Yim_);
  // Readers of the solution (traces, formulas) take its real part from X,
  // as in the transient analysis.
  std::copy(Y_, Y_ + N_, X_);
  for (int i = 0; i < N_; ++i) {
    if (!std::isfinite(Y_[i]) || !std::isfinite(Yim_[i])) {
      SetError("Infinite or invalid solution");
      return false;
    }
  }
  return true;
}

// The elimination of gauss on B + jC: an entry is present when its B or C
// mark is set (the union is kept in the B marks); pivots by the largest
// squared modulus, a later row only when strictly larger; the cancellation
// rule on real and imaginary parts separately. Row pointers are taken once
// per row: every inner loop runs over one row's columns.
void CCalc::gauss_complex(double* re, double* im) {
  const int N = N_;
  for (int i = 1; i < N; ++i) {
    B_[i][0] = re[i];
    C_[i][0] = im[i];
    unsigned char* bm = Bm_[i];
    const unsigned char* cm = Cm_[i];
    unsigned char any = 0;
    for (int j = 1; j < N; ++j) any |= bm[j] = bm[j] | cm[j];
    bm[0] = any;
  }
  int* cols = cols_.data();
  for (int j = 1; j < N; ++j) {
    if (Xzero_[j]) continue;
    int best = -1;
    double bv = -1.0;
    for (int r = 1; r < N; ++r) {
      const unsigned char* rm = Bm_[r];
      if (Xzero_[r] || !rm[j]) continue;
      if (r < j && rm[r]) continue;  // already a pivot row
      const double v = B_[r][j] * B_[r][j] + C_[r][j] * C_[r][j];
      if (v > bv) {
        bv = v;
        best = r;
      }
    }
    if (best < 0 || bv == 0.0) continue;
    if (best != j) {
      std::swap(B_[j], B_[best]);
      std::swap(C_[j], C_[best]);
      std::swap(Bm_[j], Bm_[best]);
      std::swap(Cm_[j], Cm_[best]);
    }
    double* pr = B_[j];
    double* pi = C_[j];
    const unsigned char* pm = Bm_[j];
    int ncols = 0;
    for (int c = j + 1; c < N; ++c)
      if (pm[c] && !Xzero_[c]) cols[ncols++] = c;
    // Divide the row by the pivot p = a + jb: z / p = z conj(p) / |p|^2.
    const double a = pr[j], b = pi[j];
    if (a != 1.0 || b != 0.0) {
      const double d = a * a + b * b;
      auto divide = [a, b, d](double& x, double& y) {
        const double xr = (x * a + y * b) / d, yi = (y * a - x * b) / d;
        x = xr;
        y = yi;
      };
      for (int k = 0; k < ncols; ++k) divide(pr[cols[k]], pi[cols[k]]);
      divide(pr[0], pi[0]);
      pr[j] = 1.0;
      pi[j] = 0.0;
    }
    for (int r = 1; r < N; ++r) {
      unsigned char* rm = Bm_[r];
      if (r == j || Xzero_[r] || !rm[j]) continue;
      if (r < j && rm[r]) continue;
      double* rr = B_[r];
      double* ri = C_[r];
      const double fr = rr[j], fi = ri[j];
      for (int k = 0; k < ncols; ++k) {
        const int c = cols[k];
        // -(p[c] * f)
        const double dr = -(pr[c] * fr - pi[c] * fi), di = -(pr[c] * fi + pi[c] * fr);
        if (rm[c]) {
          const bool mr = sum_new(rr[c], dr);
          const bool mi = sum_new(ri[c], di);
          rm[c] = mr || mi;
        } else {
          rr[c] = dr;
          ri[c] = di;
          rm[c] = 1;
        }
      }
      rr[j] = ri[j] = 0.0;
      rm[j] = 0;
      sum_new(rr[0], -(pr[0] * fr - pi[0] * fi));
      sum_new(ri[0], -(pr[0] * fi + pi[0] * fr));
    }
  }
  for (int i = 1; i < N; ++i) {
    if (Xzero_[i] || Bm_[i][i] || B_[i][0] != 0.0 || C_[i][0] != 0.0) continue;
    B_[i][i] = 1.0;
    C_[i][i] = 0.0;
    Bm_[i][i] = 1;
  }
  std::fill(undet_, undet_ + N, 0);
  std::fill(re, re + N, 0.0);
  std::fill(im, im + N, 0.0);
  // Back substitution, last unknown first. The undetermined unknowns met so
  // far (all after the present one) are listed in cols, so that carrying
  // their columns up costs nothing when there are none.
  int nundet = 0;
  for (int i = N - 1; i >= 1; --i) {
    if (Xzero_[i]) continue;
    if (!Bm_[i][i]) {
      undet_[i] = B_[i][0] == 0.0 && C_[i][0] == 0.0 ? 1 : 255;
      cols[nundet++] = i;
      continue;
    }
    const double br = B_[i][0], bi = C_[i][0];
    const double* sr = B_[i];
    const double* si = C_[i];
    re[i] = -br;
    im[i] = -bi;
    for (int r = 1; r < i; ++r) {
      unsigned char* rm = Bm_[r];
      if (Xzero_[r] || !rm[i]) continue;
      double* rr = B_[r];
      double* ri = C_[r];
      const double fr = rr[i], fi = ri[i];
      sum_new(rr[0], -(fr * br - fi * bi));
      sum_new(ri[0], -(fr * bi + fi * br));
      for (int u = 0; u < nundet; ++u) {
        const int c = cols[u];
        const bool mr = sum_new(rr[c], -(sr[c] * fr - si[c] * fi));
        const bool mi = sum_new(ri[c], -(sr[c] * fi + si[c] * fr));
        rm[c] = mr || mi;
      }
    }
  }
  for (int i = 1; i < N; ++i) {
    if (!undet_[i]) continue;
    for (int r = 1; r < i; ++r)
      if ((B_[r][i] != 0.0 || C_[r][i] != 0.0) && undet_[r] < 255) undet_[r] = undet_[i];
  }
}
