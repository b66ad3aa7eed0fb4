#include "circuit/ElemSet.h"

#include <cstring>

#include "circuit/Cmp.h"

CElemSet::CElemSet(const char* const* order, const SElemType* const* arrays) {
  std::vector<const SElemType*> all;
  for (const SElemType* const* a = arrays; a != nullptr && *a != nullptr; ++a)
    for (const SElemType* t = *a; t->name != nullptr; ++t) all.push_back(t);
  std::vector<bool> taken(all.size(), false);
  for (const char* const* key = order; key != nullptr && *key != nullptr; ++key) {
    for (std::size_t i = 0; i < all.size(); ++i) {
      if (!taken[i] && std::strcmp(all[i]->name, *key) == 0) {
        types_.push_back(all[i]);
        taken[i] = true;
        break;
      }
    }
  }
  for (std::size_t i = 0; i < all.size(); ++i)
    if (!taken[i]) types_.push_back(all[i]);
}

const SElemType* CElemSet::GetElemType(const AnsiString& name) const {
  if (name.IsEmpty()) return nullptr;
  for (const SElemType* t : types_)
    if (name == t->name) return t;
  return nullptr;
}

const SElemType* CElemSet::GetElemType(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return types_[static_cast<std::size_t>(index)];
}

const SElemType* CElemSet::GetElemTypeById(int id) const {
  for (const SElemType* t : types_)
    if (t->id == id) return t;
  return nullptr;
}

CCmp* CElemSet::NewCmp(const AnsiString& name, CCmps* owner) const {
  const SElemType* type = GetElemType(name);
  if (type == nullptr || type->create == nullptr) return nullptr;
  CCmp* cmp = type->create(type);
  if (cmp != nullptr) cmp->SetOwner(owner);
  return cmp;
}

AnsiString CElemSet::FindNextType(char letter, const AnsiString& current) const {
  const int n = Count();
  int at = -1;
  if (!current.IsEmpty())
    for (int i = 0; i < n && at < 0; ++i)
      if (current == types_[static_cast<std::size_t>(i)]->name) at = i;
  // From the position after current round to current itself; the keys of
  // the 45-degree variants begin with "_" and so are never stepped to.
  for (int k = 1; k <= n; ++k) {
    const int i = (at + k) % n;
    if (i == at) break;
    const char* key = types_[static_cast<std::size_t>(i)]->name;
    if (key[0] == letter) return AnsiString(key);
  }
  return AnsiString();
}

bool CElemSet::ConvertSelectionToCmp(CCmp* cmp) const {
  if (cmp == nullptr) return false;
  const int id = cmp->TypeId();
  // The inverted gates Y_1_NOT ... Y_3_XNOR (111-117) are views of the
  // plain gates Y_1 ... Y_3_XOR (92-98), in the same order.
  constexpr int kFirstInverted = 111, kLastInverted = 117, kFirstPlain = 92;
  // The comparator types O_O_COMP (118) and O_OD_COMP (119) are the
  // amplifiers O_O (41) and O_OD (42) in model "Comparator".
  constexpr int kComparator = 118, kDiffComparator = 119, kAmplifier = 41, kDiffAmplifier = 42;
  if (id >= kFirstInverted && id <= kLastInverted) {
    const SElemType* plain = GetElemTypeById(kFirstPlain + (id - kFirstInverted));
    if (plain == nullptr) return false;
    cmp->SetType(plain);
    cmp->SetTypeId(plain->id);
    cmp->SetView(1 - cmp->View());
    return true;
  }
  if (id == kComparator || id == kDiffComparator) {
    const SElemType* amp = GetElemTypeById(id == kComparator ? kAmplifier : kDiffAmplifier);
    if (amp == nullptr) return false;
    cmp->SetType(amp);
    cmp->SetTypeId(amp->id);
    cmp->SetModel(MC_COMPARATOR);
    return true;
  }
  return false;
}
