#include "elements/PWL.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <string>

#include "base/Lists.h"
#include "base/globals.h"
#include "circuit/Cmp.h"
#include "doc/xml.h"
#include "engine/Calc.h"
#include "expr/globals.h"

CPWL::CPWL(CCmp* owner, const AnsiString& text) : text(text), owner_(owner) {}

void CPWL::ClearPWL() {
  last_text = AnsiString();
  breakpoints.clear();
  slopes.clear();
  offsets.clear();
  first_zone = 0;
}

void CPWL::SerializePWL(CXMLNode* node, const char* name) {
  const std::string n(name);
  text = node->Attribute(n.c_str(), text);
  file = node->AttributeSafe((n + "f").c_str(), file);
  mode = node->AttributeInt((n + "m").c_str(), mode);
}

void CPWL::SetCaptions(const char* x, const char* y, const char* t, const char* t2) {
  x_caption = x;
  y_caption = y;
  title = t;
  title2 = t2;
}

bool CPWL::Fail(CCalc* calc, const AnsiString& message) {
  ClearPWL();
  if (calc != nullptr && owner_ != nullptr) return calc->SetCmpError(owner_, message);
  m_global_errstr = message;
  return false;
}

bool CPWL::InitPWL(CCalc* calc) {
  // An empty text splits into no items: the same message as an even count.
  TStringList items;
  if (!text.IsEmpty()) SetStringListCommaText(items, text);
  if (items.Count() % 2 == 0) return Fail(calc, "Wrong number of PWL parameters");
  if (IsBuilt() && text == last_text && zero_allowed == built_zero_allowed_ &&
      infinite_allowed == built_infinite_allowed_) {
    return true;
  }
  try {
    return Build(calc, items);
  } catch (const std::bad_alloc&) {
    return Fail(calc, "No enough memory");
  }
}

bool CPWL::Build(CCalc* calc, const TStringList& items) {
  const int count = items.Count();

  // Even positions hold the zone slopes, odd positions the breakpoints.
  std::vector<double> k, x;
  k.reserve(static_cast<std::size_t>(count / 2 + 1));
  x.reserve(static_cast<std::size_t>(count / 2));
  for (int i = 0; i < count; ++i) {
    double v = 0.0;
    if (!indig(items[i].Trim(), &v)) return Fail(calc, "PWL error: " + m_global_errstr);
    if (i % 2 == 1) {
      x.push_back(v);
      continue;
    }
    if (!zero_allowed && v == 0.0) return Fail(calc, "Zero value not allowed");
    if (!infinite_allowed && std::isinf(v)) return Fail(calc, "Infinite value not allowed");
    k.push_back(v);
  }

  std::vector<double> bp, s;
  if (std::find(x.begin(), x.end(), 0.0) != x.end()) {
    bp = x;
    s = k;
  } else {
    // Mirror: the zones beyond -x[i] repeat those beyond x[i], outermost first.
    const std::size_t n = x.size();
    bp.reserve(2 * n);
    s.reserve(2 * n + 1);
    for (std::size_t i = n; i-- > 0;) {
      bp.push_back(-x[i]);
      s.push_back(k[i + 1]);
    }
    s.push_back(k[0]);
    for (std::size_t i = 0; i < n; ++i) {
      bp.push_back(x[i]);
      s.push_back(k[i + 1]);
    }
  }
  for (std::size_t i = 1; i < bp.size(); ++i) {
    if (!(bp[i - 1] < bp[i])) return Fail(calc, "PWL breakpoints must rise");
  }

  // Zone 0 holds input 0 and passes through the origin; every other zone's
  // offset follows from continuity at the breakpoint towards zone 0:
  // s[i] * b + o[i] = s[i + 1] * b + o[i + 1] with b = bp[i].
  const std::size_t zero =
      static_cast<std::size_t>(std::upper_bound(bp.begin(), bp.end(), 0.0) - bp.begin());
  std::vector<double> o(s.size(), 0.0);
  for (std::size_t i = zero + 1; i < s.size(); ++i) o[i] = o[i - 1] + (s[i - 1] - s[i]) * bp[i - 1];
  for (std::size_t i = zero; i-- > 0;) o[i] = o[i + 1] + (s[i + 1] - s[i]) * bp[i];

  breakpoints = std::move(bp);
  slopes = std::move(s);
  offsets = std::move(o);
  first_zone = -static_cast<int>(zero);
  last_text = text;
  built_zero_allowed_ = zero_allowed;
  built_infinite_allowed_ = infinite_allowed;
  return true;
}

int CPWL::ZoneOf(double x) const {
  const auto above = std::upper_bound(breakpoints.begin(), breakpoints.end(), x);
  return first_zone + static_cast<int>(above - breakpoints.begin());
}

bool CPWL::MovePWL(double x, double* ratio) {
  double k0 = 0.0, k1 = 0.0, u = 0.0;
  GetKU(k0, u);
  if (!CheckPWL(x, true)) return false;
  GetKU(k1, u);
  *ratio = k1 != 0.0 ? k0 / k1 : 0.0;
  return true;
}

bool CPWL::CheckControlled(double control, bool final, double* kept, bool* rescaled) {
  *rescaled = false;
  if (!final) return CheckPWL(control, false);
  double ratio = 0.0;
  const bool changed = MovePWL(control, &ratio);
  if (changed && ratio != 0.0) {
    *kept *= ratio;
    *rescaled = true;
  }
  return changed;
}

bool CPWL::CheckPWL(double x, bool update) {
  if (owner_ == nullptr || !IsBuilt() || std::isnan(x)) return false;
  const int present = owner_->State();
  const int zone = ZoneOf(x);
  if (zone == present) return false;
  if (update) {
    const bool crosses = (present < 0 && zone >= 1) || (present > 0 && zone < 0);
    owner_->SetState(crosses ? 0 : zone);
  }
  return true;
}

void CPWL::GetKU(double& k, double& u) const {
  if (!IsBuilt()) {
    k = 0.0;
    u = 0.0;
    return;
  }
  const int zone = owner_ != nullptr ? owner_->State() : 0;
  const int i = std::clamp(zone - first_zone, 0, static_cast<int>(slopes.size()) - 1);
  k = slopes[static_cast<std::size_t>(i)];
  u = offsets[static_cast<std::size_t>(i)];
}

CPWL* CPWL::Of(CCmp* cmp) {
  if (cmp->Pwl() == nullptr) {
    CPWL* pwl = new (std::nothrow) CPWL(cmp);
    if (pwl == nullptr) return nullptr;
    cmp->SetPwl(pwl, Destroy);
  }
  return cmp->Pwl();
}

void CPWL::Destroy(CPWL* pwl) { delete pwl; }

bool InitCmpPWL(CCalc* calc, CCmp* cmp) {
  CPWL* pwl = CPWL::Of(cmp);
  if (pwl == nullptr) {
    if (calc != nullptr) return calc->SetCmpError(cmp, "No enough memory");
    m_global_errstr = "No enough memory";
    return false;
  }
  pwl->text = cmp->PwlText();
  pwl->file = cmp->PwlFile();
  pwl->mode = cmp->PwlMode();
  return pwl->InitPWL(calc);
}
