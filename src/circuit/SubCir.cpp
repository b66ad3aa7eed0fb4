#include "circuit/SubCir.h"

#include <new>

#include "circuit/Cmp.h"
#include "circuit/Cmps.h"
#include "doc/xml.h"

namespace {
void DestroySubCir(CSubCir* s) { delete s; }
}  // namespace

CSubCir::CSubCir(CCmp* owner) : owner_(owner) {
  CreateSubCir(owner != nullptr && owner->PinCount() > 0 ? owner->PinCount() : 0);
}

CSubCir::~CSubCir() = default;

CSubCir* CSubCir::Of(CCmp* cmp) {
  if (cmp == nullptr) return nullptr;
  if (cmp->SubCir() == nullptr) {
    CSubCir* s = new (std::nothrow) CSubCir(cmp);
    if (s == nullptr) return nullptr;
    cmp->SetSubCir(s, DestroySubCir);
  }
  return cmp->SubCir();
}

AnsiString CSubCir::PinLabel(int i) const {
  return i >= 0 && i < static_cast<int>(pins_.size()) ? pins_[static_cast<std::size_t>(i)]
                                                      : AnsiString();
}

void CSubCir::SetPinLabel(int i, const AnsiString& label) {
  if (i >= 0 && i < static_cast<int>(pins_.size())) pins_[static_cast<std::size_t>(i)] = label;
}

void CSubCir::SetNoPinNames(bool on) {
  if (on == no_pin_names_) return;
  no_pin_names_ = on;
  CreateSubCir(pin_count_ < 0 ? 0 : pin_count_);
}

void CSubCir::CreateSubCir(int n) {
  if (n < 0) n = 0;
  pin_count_ = n;
  pins_.resize(static_cast<std::size_t>(n));
  pin_names_.clear();
  if (!no_pin_names_)
    for (int i = 1; i <= n; ++i) pin_names_.push_back("Pin" + std::to_string(i));
  // The descriptors point into pin_names_ and pins_: neither changes size
  // again until the next rebuild.
  params_.clear();
  params_.reserve(pin_names_.size() + 4);
  params_.emplace_back(PK_UNUSED, "File", "");
  params_.back().BindText(&file_);
  for (std::size_t i = 0; i < pin_names_.size(); ++i) {
    params_.emplace_back(PK_FUNC_NAME, pin_names_[i].c_str(), "");
    params_.back().BindText(&pins_[i]);
  }
  params_.emplace_back(PK_IC_TEXT, "Cmd", "");
  params_.back().BindText(&cmd_);
  params_.emplace_back(PK_IC_TEXT, "IC", "");
  params_.back().BindText(&ic_);
  params_.emplace_back();
}

void CSubCir::ClearSubCir() {
  cmps_.reset();
  loaded_name_ = AnsiString();
  saved_nodes_.reset();
}

bool CSubCir::SerializeSubCir(CXMLNode* node) {
  if (node == nullptr) return false;
  CXMLNode* sub = node->Node("SubCir");
  if (sub == nullptr) return true;
  file_ = sub->AttributeSafe("file", file_);
  for (std::size_t i = 0; i < pins_.size(); ++i)
    pins_[i] = sub->AttributeSafe("label" + std::to_string(i + 1), pins_[i]);
  cmd_ = sub->AttributeSafe("cmd", cmd_);
  ic_ = sub->AttributeSafe("ic", ic_);
  return true;
}
