// A trace during a simulation: binding it to the engine's circuit and
// recording one point per accepted time point (or frequency). Recording is
// the hot path of every simulation: it reads the solution, evaluates the
// prepared expression, and allocates nothing of its own.

#include <cmath>

#include "base/globals.h"
#include "circuit/Cmp.h"
#include "circuit/Cmps.h"
#include "circuit/Param.h"
#include "doc/Doc.h"
#include "engine/Calc.h"
#include "expr/Formula.h"
#include "expr/VarList.h"
#include "expr/globals.h"
#include "traces/Data.h"
#include "traces/Trace.h"
#include "traces/Traces.h"
#include "traces/Tran.h"

namespace {

// The current source: as an AC source it drives a unit current and has no
// current unknown of its own worth reading.
constexpr int kCurrentSourceType = 31;

constexpr double kDegPerRad = 180.0 / kFormulaPi;

// Angle of re + j im in degrees; 0 for 0.
double Degrees(double re, double im) {
  return re == 0.0 && im == 0.0 ? 0.0 : std::atan2(im, re) * kDegPerRad;
}

bool IsStateParam(int kind) { return kind == PK_ON_OFF || kind == PK_YES_NO || kind == PK_HIGH_LOW; }

}  // namespace

void CTrace::InitTrace(CCalc* calc, CCmp* cmp, bool acSource) {
  calc_ = calc;
  cmp_ = nullptr;
  source_ = cmp;
  node_a_ = node_b_ = -1;
  cur_index_ = 0;
  value_ = 0.0;
  param_kind_ = 0;
  param_formula_ = nullptr;
  param_int_ = nullptr;

  if (tran_ && type_ == TT_FUNCTION) {
    expr_ = expr_.Trim();
    CDoc* doc = calc != nullptr ? calc->GetDoc() : nullptr;
    CCmps* cmps = doc != nullptr ? doc->Cmps() : nullptr;
    CParam* param = cmps != nullptr && !expr_.IsEmpty() ? cmps->GetCmpParam(expr_) : nullptr;
    if (param != nullptr) {
      // The holder, not the descriptor: descriptors are shared by every
      // component of a class and rebound by each look-up.
      if (param->Kind() == PK_FORMULA && param->BoundFormula() != nullptr) {
        param_kind_ = PK_FORMULA;
        param_formula_ = param->BoundFormula();
      } else if ((param->Kind() == PK_CHOICE || IsStateParam(param->Kind())) &&
                 param->BoundInt() != nullptr) {
        param_kind_ = param->Kind();
        param_int_ = param->BoundInt();
      }
      if (param_kind_ != 0) return;
    }
  }

  if (cmp == nullptr) return;
  if (type_ == TT_S) {
    cmp_ = cmp;
  } else {
    int a = -1, b = -1, k = 0;
    double r = 0.0;
    const bool nodes = cmp->GetTraceNodes(calc, type_, a, b, k, r);
    node_a_ = a;
    node_b_ = b;
    cur_index_ = k;
    value_ = r;
    if (!nodes) cmp_ = cmp;
  }
  if (acSource && cmp->TypeId() == kCurrentSourceType) cur_index_ = 0;
}

double CTrace::ParamValue() const {
  switch (param_kind_) {
    case PK_FORMULA:
      return param_formula_->Error() ? 0.0 : param_formula_->Value();
    case PK_CHOICE:
      return *param_int_;
    default:
      return *param_int_ != 0 ? 1.0 : 0.0;
  }
}

double CTrace::X(int i) const {
  const double* x = calc_->X();
  return x != nullptr && i >= 0 && i < calc_->FullSize() ? x[i] : 0.0;
}

double CTrace::XIm(int i) const {
  const double* x = calc_->Yim();
  return x != nullptr && i >= 0 && i < calc_->FullSize() ? x[i] : 0.0;
}

bool CTrace::Fail(const AnsiString& text) {
  if (calc_ != nullptr) calc_->SetTraceError(text);
  return false;
}

void CTrace::StorePoint(double t, double v, bool replace) {
  if (replace && current_->GetSize() > 0) {
    current_->ReplaceDataPoint(t, v);
    return;
  }
  if (!current_->AddDataPoint(t, v) && traces_ != nullptr && traces_->Tran() != nullptr)
    traces_->Tran()->SetDataLost(true);
}

bool CTrace::TraceAddTranPoint(bool replace) {
  if (current_ == nullptr || calc_ == nullptr) return true;
  const double t = calc_->Time();
  double v = 0.0;

  if (cmp_ != nullptr) {
    if (type_ == TT_S)
      v = cmp_->State();
    else
      cmp_->GetTraceData(calc_, type_, &v, nullptr);
    StorePoint(t, v, replace);
    return true;
  }

  const bool nodes = node_a_ >= 0 && node_b_ >= 0;
  const double u = nodes ? X(node_b_) - X(node_a_) : 0.0;  // V, node B against node A
  switch (type_) {
    case TT_V:
      if (nodes) v = v_selector_ == 1 ? X(node_a_) : (v_selector_ == 2 ? X(node_b_) : u);
      break;
    case TT_I:
      if (nodes) v = cur_index_ > 0 ? X(cur_index_) : (value_ != 0.0 ? u / value_ : 0.0);
      break;
    case TT_P:
      if (nodes) v = cur_index_ > 0 ? u * X(cur_index_) : (value_ != 0.0 ? u * u / value_ : 0.0);
      break;
    case TT_VAR:
      // The variable is asked again at every point, so that a value changed
      // between two intervals of one simulation is recorded as it is now.
      if (source_ != nullptr) {
        int a = -1, b = -1, k = 0;
        if (source_->GetTraceNodes(calc_, type_, a, b, k, value_)) v = value_;
      } else {
        v = value_;
      }
      break;
    case TT_FUNCTION: {
      // A run that already reaches past t (points from a later time) takes
      // no point at t.
      const double last = current_->GetLastTime() - shift_;
      if (!std::isnan(last) && CompareValues(last, t) > 0) return true;
      if (param_kind_ != 0) {
        v = ParamValue();
        break;
      }
      SetDoubleNumber(&vars_->At(0)->values[0], t);
      if (!formula(prepared_, &v, calc_->GetDoc(), vars_.get(), nullptr, true, traces_, nullptr,
                   false, true, 0, false)) {
        // "_" marks a value that is missing for now (a trace without data
        // at t): the point is skipped without an error.
        if (!m_global_errstr.IsEmpty() && m_global_errstr[1] == '_') return true;
        return Fail(m_global_errstr);
      }
      break;
    }
    case TT_SCOPE:
    case TT_MATH:
      return true;
    default:
      break;
  }
  StorePoint(t, v, replace);
  return true;
}

bool CTrace::TraceAddFreqPoint(double f) {
  if (current_ == nullptr || calc_ == nullptr) return true;
  double re = 0.0, im = 0.0;  // z
  double mag = 0.0, ph = 0.0;
  bool polar = false;  // mag and ph are set directly, not from z

  if (cmp_ != nullptr) {
    // The component computes the value itself. The element hook has no
    // frequency argument: during the analysis the engine's time field holds
    // the frequency (CCalc::Time() is f in hertz) and its transient flag is
    // clear, which is how an element tells AC apart. It is asked for the
    // trace's own kind, as in transient analysis, and gives the real part
    // in v and the imaginary part in v2.
    cmp_->GetTraceData(calc_, type_, &re, &im);
  } else if ((type_ != TT_FUNCTION && type_ != TT_MATH && (node_a_ < 0 || node_b_ < 0)) ||
             type_ > TT_MATH) {
    // Unconnected, or a kind AC does not compute: 0.
  } else {
    const auto diff = [this, &re, &im]() {
      re = X(node_b_) - X(node_a_);
      im = XIm(node_b_) - XIm(node_a_);
    };
    switch (type_) {
      case TT_V:
        diff();
        break;
      case TT_I:
        if (cur_index_ > 0) {
          re = X(cur_index_);
          im = XIm(cur_index_);
        } else {
          diff();
          polar = true;
          mag = value_ != 0.0 ? std::hypot(re, im) / value_ : 0.0;
          ph = mag != 0.0 ? Degrees(re, im) : 0.0;
        }
        break;
      case TT_FUNCTION: {
        vars_->SetFreqVarlist(f);
        SNumber n;
        double v = 0.0;
        if (!formula(prepared_, &v, calc_->GetDoc(), vars_.get(), nullptr, true, traces_, &n, true,
                     true, 0, false)) {
          if (!m_global_errstr.IsEmpty() && m_global_errstr[1] == '_') return true;
          return Fail(m_global_errstr);
        }
        re = n.kind == NUM_COMPLEX ? n.v.d : v;
        im = n.kind == NUM_COMPLEX ? n.im : 0.0;
        break;
      }
      case TT_Z:
      case TT_GAMMA:
      case TT_VSWR: {
        // Impedance seen by the unit AC source: 1 / its current, or the
        // voltage across a unit current source.
        if (cur_index_ >= 1) {
          const double zr = X(cur_index_), zi = XIm(cur_index_);
          const double zm = std::hypot(zr, zi);
          mag = zm < 1e-12 ? 0.0 : 1.0 / zm;
          ph = mag != 0.0 ? -Degrees(zr, zi) : 0.0;
        } else {
          diff();
          mag = std::hypot(re, im);
          ph = mag != 0.0 ? Degrees(re, im) : 0.0;
        }
        polar = true;
        if (type_ == TT_Z) break;
        const double zr = mag * std::cos(ph / kDegPerRad), zi = mag * std::sin(ph / kDegPerRad);
        CDoc* doc = calc_->GetDoc();
        if (type_ == TT_GAMMA) {
          double gr = 0.0, gi = 0.0;
          if (doc != nullptr && doc->Gamma(zr, zi, &gr, &gi)) {
            mag = std::hypot(gr, gi);
            ph = mag != 0.0 ? Degrees(gr, gi) : 0.0;
          } else {
            mag = ph = 0.0;
          }
        } else {
          mag = doc != nullptr ? doc->VSWR(zr, zi) : HUGE_VAL;
          ph = 0.0;
        }
        break;
      }
      case TT_LOOP: {
        const double ar = X(node_a_), ai = XIm(node_a_);
        const double br = X(node_b_), bi = XIm(node_b_);
        const double am = std::hypot(ar, ai), bm = std::hypot(br, bi);
        polar = true;
        if (am == 0.0) break;
        if (bm == 0.0) return Fail(GetTraceName() + " : Wrong AC source location for open loop trace");
        mag = am / bm;
        ph = Degrees(-ar, -ai) - Degrees(br, bi);
        break;
      }
      case TT_MATH:
        return true;
      default:
        break;
    }
  }

  if (!polar) {
    mag = std::hypot(re, im);
    ph = mag != 0.0 ? Degrees(re, im) : 0.0;
  }
  // Unwrapping: a jump across +-180 degrees continues the curve.
  if (current_->GetSize() > 0) {
    if (prev_phase_ > 90.0 && ph < -90.0) phase_offset_ += 360.0;
    if (prev_phase_ < -90.0 && ph > 90.0) phase_offset_ -= 360.0;
  }
  prev_phase_ = ph;
  if (!current_->AddFreqDataPoint(f, mag, ph + phase_offset_) && traces_ != nullptr &&
      traces_->Tran() != nullptr)
    traces_->Tran()->SetDataLost(true);
  return true;
}
