#include "circuit/CustomType.h"

#include <new>

#include "base/globals.h"
#include "circuit/Cmp.h"
#include "doc/xml.h"

namespace {
void DestroyCustomType(CCustomElemType* t) { delete t; }

// The attributes of the "Custom" element this class reads itself; any
// other is kept as read.
bool IsOwnAttribute(const AnsiString& name) {
  for (const char* own : {"pins", "descr", "inputs", "outputs", "vars", "clock"})
    if (name == own) return true;
  return false;
}
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

void CCustomElemType::SetPinFlag(int i, int flag) {
  pins_[static_cast<std::size_t>(i)].flag = flag;
  drawing_[static_cast<std::size_t>(i)].flag = flag;
}

int CCustomElemType::NameCount(const AnsiString& csv) { return get_csv_count(csv); }

AnsiString CCustomElemType::NameAt(const AnsiString& csv, int i) {
  if (i < 0 || i >= NameCount(csv)) return AnsiString();
  return get_csv(csv, i).Trim();
}

void CCustomElemType::NamePins(int first, const AnsiString& list, int count,
                               const char* unnamed) {
  for (int k = 0; k < count && first + k < PinCount(); ++k) {
    AnsiString name = NameAt(list, k);
    const int eq = name.Pos("=");
    if (eq > 0) name = name.SubString(1, eq - 1).Trim();
    if (name.IsEmpty()) name = AnsiString(unnamed) + std::to_string(k + 1);
    SetPinName(first + k, name);
  }
}

int CCustomElemType::LayOutListPins() {
  const int ins = NameCount(inputs_);
  const int outs = NameCount(outputs_);
  const int n = ins + outs + (clocked_ ? 1 : 0);
  UpdateCustomCmp(n);
  NamePins(0, inputs_, ins, "unnamed_in_");
  NamePins(ins, outputs_, outs, "unnamed_out_");
  if (clocked_) SetPinName(n - 1, "clk");
  return n;
}

AnsiString CCustomElemType::PinNameOf(const CCmp* cmp, int i) {
  const CCustomElemType* t = cmp != nullptr ? cmp->CustomType() : nullptr;
  if (t == nullptr || i < 0 || i >= t->PinCount()) return AnsiString();
  return t->PinName(i);
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
    drawing_[i].flag = pins_[i].flag;
  }
  std::size_t count = 0;
  if (base_ != nullptr && base_->views != nullptr)
    while (base_->views[count] != nullptr) ++count;
  if (count == 0) count = 1;
  views_.assign(count, drawing_.empty() ? &no_pin_ : drawing_.data());
  views_.push_back(nullptr);
  type_.views = views_.data();
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
    if (!inputs_.IsEmpty()) node->CreateAttributeSafe("inputs", inputs_);
    if (!outputs_.IsEmpty()) node->CreateAttributeSafe("outputs", outputs_);
    if (!vars_.IsEmpty()) node->CreateAttributeSafe("vars", vars_);
    if (clocked_) node->CreateAttributeBool("clock", true);
    for (const SPin& p : pins_) {
      CXMLNode* pin = node->CreateNode("Pin");
      if (!p.name.IsEmpty()) pin->CreateAttributeSafe("name", p.name);
      if (!(p.pos == TPoint())) pin->CreateAttributePoint("pos", p.pos);
      if (p.flag != 0) pin->CreateAttributeInt("flag", p.flag);
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
  // Absent lists are empty ones: a list the user emptied is stored so.
  inputs_ = node->GetAttributeSafe("inputs", AnsiString());
  outputs_ = node->GetAttributeSafe("outputs", AnsiString());
  vars_ = node->GetAttributeSafe("vars", AnsiString());
  clocked_ = node->GetAttributeBool("clock", false);

  other_attrs_.clear();
  AnsiString name, value;
  for (int i = 0; node->GetAttribute(i, &name, &value); ++i)
    if (!IsOwnAttribute(name)) other_attrs_.emplace_back(name, value);

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
        pins_[pin].flag = child->GetAttributeInt("flag", 0);
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
  // Only the custom-pin types (no fixed pin count) take their pins from a
  // "Custom" child; on any other type it is foreign content and ignored.
  if (cmp->CustomType() == nullptr && cmp->Type() != nullptr && cmp->Type()->pins != 0)
    return true;
  CCustomElemType* t = CreateCustomCmp(cmp);
  if (t == nullptr || !t->SerializeCustomElemType(custom)) return false;
  // The class decides its pins from what was read (its name lists win
  // over a pin count that disagrees with them) before the node numbers
  // are read for them.
  cmp->UpdateCustom();
  return true;
}
