#include "circuit/CustomType.h"

#include <new>

#include "circuit/Cmp.h"
#include "doc/xml.h"

namespace {
void DestroyCustomType(CCustomElemType* t) { delete t; }
}  // namespace

CCustomElemType::CCustomElemType(CCmp* owner, const SElemType* base)
    : owner_(owner), base_(base) {
  if (base != nullptr) type_ = *base;
  descr_ = AnsiString(base != nullptr ? base->description : nullptr);
  const int n = owner != nullptr && owner->PinCount() > 0 ? owner->PinCount() : 0;
  pins_.resize(static_cast<std::size_t>(n));
  Rebuild();
}

CCustomElemType* CCustomElemType::CreateCustomCmp(CCmp* cmp) {
  if (cmp == nullptr) return nullptr;
  if (cmp->CustomType() != nullptr) return cmp->CustomType();
  CCustomElemType* t = new (std::nothrow) CCustomElemType(cmp, cmp->Type());
  if (t == nullptr) return nullptr;
  cmp->SetCustomType(t, DestroyCustomType);
  cmp->SetType(t->Type());
  return t;
}

void CCustomElemType::SetPinPos(int i, const TPoint& pos) {
  pins_[static_cast<std::size_t>(i)].pos = pos;
  drawing_[static_cast<std::size_t>(i)].pos = pos;
}

void CCustomElemType::SetDescription(const AnsiString& text) {
  descr_ = text;
  type_.description = descr_.c_str();
}

// Points the record at this object's own pins and description.
void CCustomElemType::Rebuild() {
  type_.pins = static_cast<int>(pins_.size());
  drawing_.assign(pins_.size(), CPin());
  for (std::size_t i = 0; i < pins_.size(); ++i) {
    drawing_[i].pos = pins_[i].pos;
    drawing_[i].number = static_cast<int>(i) + 1;
  }
  views_[0] = drawing_.empty() ? nullptr : drawing_.data();
  views_[1] = nullptr;
  type_.views = views_[0] != nullptr ? views_ : nullptr;
  type_.description = descr_.c_str();
}

void CCustomElemType::UpdateCustomCmp(int n) {
  if (n < 0) n = 0;
  pins_.resize(static_cast<std::size_t>(n));
  Rebuild();
  if (owner_ != nullptr) owner_->CreateCmpNodes(n);
}

bool CCustomElemType::SerializeCustomElemType(CXMLNode* node) {
  if (node == nullptr) return false;
  const AnsiString base_descr(base_ != nullptr ? base_->description : nullptr);
  if (node->IsStore()) {
    node->CreateAttributeInt("pins", PinCount());
    if (!(descr_ == base_descr)) node->CreateAttributeSafe("descr", descr_);
    for (const SPin& p : pins_) {
      CXMLNode* pin = node->CreateNode("Pin");
      if (!p.name.IsEmpty()) pin->CreateAttributeSafe("name", p.name);
      if (!(p.pos == TPoint())) pin->CreateAttributePoint("pos", p.pos);
    }
    for (const auto& [name, value] : other_attrs_) node->CreateAttribute(name, value);
    for (const AnsiString& text : other_children_) {
      CXMLNode* child = node->CreateNode("");
      int pos = 1;
      child->ExecuteNode(text, pos);
      child->SetStore(true);
    }
    return true;
  }

  const int n = node->GetAttributeInt("pins", PinCount());
  if (n < 0 || n > kMaxPins) {
    node->SetError("wrong number of pins = " + node->GetAttribute("pins", ""));
  } else {
    UpdateCustomCmp(n);
  }
  SetDescription(node->GetAttributeSafe("descr", base_descr));

  other_attrs_.clear();
  AnsiString name, value;
  for (int i = 0; node->GetAttribute(i, &name, &value); ++i)
    if (!(name == "pins") && !(name == "descr")) other_attrs_.emplace_back(name, value);

  other_children_.clear();
  std::size_t pin = 0;
  for (int i = 0; i < node->NodeCount(); ++i) {
    CXMLNode* child = node->GetNode(i);
    if (child->GetName() == "Pin") {
      if (pin < pins_.size()) {
        pins_[pin].name = child->GetAttributeSafe("name", AnsiString());
        TPoint pos;
        child->GetAttributePoint("pos", pos);
        pins_[pin].pos = pos;
        ++pin;
      }
      continue;
    }
    AnsiString text;
    child->WriteToString(text);
    other_children_.push_back(text);
  }
  Rebuild();
  return true;
}

bool CCustomElemType::SerializeCmpCustom(CCmp* cmp, CXMLNode* cmpNode) {
  if (cmp == nullptr || cmpNode == nullptr) return false;
  if (cmpNode->IsStore()) {
    CCustomElemType* t = cmp->CustomType();
    if (t == nullptr && cmp->Type() != nullptr && cmp->Type()->pins == 0 && cmp->PinCount() > 0)
      t = CreateCustomCmp(cmp);
    return t == nullptr || t->SerializeCustomElemType(cmpNode->CreateNode("Custom"));
  }
  CXMLNode* custom = cmpNode->GetNode("Custom", 0);
  if (custom == nullptr) return true;
  CCustomElemType* t = CreateCustomCmp(cmp);
  return t != nullptr && t->SerializeCustomElemType(custom);
}
