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
// mark is set; pivots by the largest squared modulus; the cancellation rule
// on real and imaginary parts separately.
void CCalc::gauss_complex(double* re, double* im) {
  const int N = N_;
  for (int i = 1; i < N; ++i) {
    B_[i][0] = re[i];
    C_[i][0] = im[i];
    unsigned char any = 0;
    for (int j = 1; j < N; ++j) any |= Bm_[i][j] = Bm_[i][j] | Cm_[i][j];
    Bm_[i][0] = any;
  }
  auto mark = [this](int r, int c) { return Bm_[r][c] != 0; };
  for (int j = 1; j < N; ++j) {
    if (Xzero_[j]) continue;
    int best = -1;
    double bv = -1.0;
    for (int r = 1; r < N; ++r) {
      if (Xzero_[r] || !mark(r, j)) continue;
      if (r < j && mark(r, r)) continue;
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
    int ncols = 0;
    for (int c = j + 1; c < N; ++c)
      if (mark(j, c) && !Xzero_[c]) cols_[ncols++] = c;
    // Divide the row by the pivot p = a + jb: z / p = z conj(p) / |p|^2.
    const double a = pr[j], b = pi[j];
    if (a != 1.0 || b != 0.0) {
      const double d = a * a + b * b;
      auto divide = [a, b, d](double& x, double& y) {
        const double xr = (x * a + y * b) / d, yi = (y * a - x * b) / d;
        x = xr;
        y = yi;
      };
      for (int k = 0; k < ncols; ++k) divide(pr[cols_[k]], pi[cols_[k]]);
      divide(pr[0], pi[0]);
      pr[j] = 1.0;
      pi[j] = 0.0;
    }
    for (int r = 1; r < N; ++r) {
      if (r == j || Xzero_[r] || !mark(r, j)) continue;
      if (r < j && mark(r, r)) continue;
      double* rr = B_[r];
      double* ri = C_[r];
      const double fr = rr[j], fi = ri[j];
      for (int k = 0; k < ncols; ++k) {
        const int c = cols_[k];
        // -(p[c] * f)
        const double dr = -(pr[c] * fr - pi[c] * fi), di = -(pr[c] * fi + pi[c] * fr);
        if (mark(r, c)) {
          const bool mr = sum_new(rr[c], dr);
          const bool mi = sum_new(ri[c], di);
          Bm_[r][c] = mr || mi;
        } else {
          rr[c] = dr;
          ri[c] = di;
          Bm_[r][c] = 1;
        }
      }
      rr[j] = ri[j] = 0.0;
      Bm_[r][j] = 0;
      sum_new(rr[0], -(pr[0] * fr - pi[0] * fi));
      sum_new(ri[0], -(pr[0] * fi + pi[0] * fr));
    }
  }
  for (int i = 1; i < N; ++i) {
    if (Xzero_[i] || mark(i, i) || B_[i][0] != 0.0 || C_[i][0] != 0.0) continue;
    B_[i][i] = 1.0;
    C_[i][i] = 0.0;
    Bm_[i][i] = 1;
  }
  std::fill(undet_, undet_ + N, 0);
  std::fill(re, re + N, 0.0);
  std::fill(im, im + N, 0.0);
  for (int i = N - 1; i >= 1; --i) {
    if (Xzero_[i]) continue;
    if (!mark(i, i)) {
      undet_[i] = B_[i][0] == 0.0 && C_[i][0] == 0.0 ? 1 : 255;
      continue;
    }
    const double br = B_[i][0], bi = C_[i][0];
    re[i] = -br;
    im[i] = -bi;
    for (int r = 1; r < i; ++r) {
      if (Xzero_[r] || !mark(r, i)) continue;
      const double fr = B_[r][i], fi = C_[r][i];
      sum_new(B_[r][0], -(fr * br - fi * bi));
      sum_new(C_[r][0], -(fr * bi + fi * br));
      for (int c = i + 1; c < N; ++c) {
        if (!undet_[c] || Xzero_[c]) continue;
        const bool mr = sum_new(B_[r][c], -(B_[i][c] * fr - C_[i][c] * fi));
        const bool mi = sum_new(C_[r][c], -(B_[i][c] * fi + C_[i][c] * fr));
        Bm_[r][c] = mr || mi;
      }
    }
  }
  for (int i = 1; i < N; ++i) {
    if (!undet_[i]) continue;
    for (int r = 1; r < i; ++r)
      if ((B_[r][i] != 0.0 || C_[r][i] != 0.0) && undet_[r] < 255) undet_[r] = undet_[i];
  }
}
