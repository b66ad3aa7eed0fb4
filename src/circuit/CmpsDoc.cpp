// The document form of a component collection: the "Cmps" element.

#include <limits>

#include "circuit/Cmp.h"
#include "circuit/Cmps.h"
#include "circuit/ElemSet.h"
#include "doc/xml.h"
#include "elements/ElemLabel.h"
#include "expr/Variable.h"

namespace {

// An id for a component that came without one: one more than the
// largest, or, when the largest is the largest int (a file can say so),
// the smallest positive id no component has.
int FreeCmpId(const CCmps& cmps) {
  int max = 0;
  for (int i = 0; i < cmps.Count(); ++i)
    if (cmps.GetAt(i)->Id() > max) max = cmps.GetAt(i)->Id();
  if (max < std::numeric_limits<int>::max()) return max + 1;
  for (int id = 1;; ++id)
    if (cmps.GetCmp(id) == nullptr) return id;
}

void AddNodeError(CXMLNode* node, const AnsiString& error) {
  node->SetError(node->GetError().IsEmpty() ? error : node->GetError() + "\n" + error);
}

}  // namespace

bool CCmps::SerializeCmps(CXMLNode* node) {
  if (node == nullptr) return false;
  if (node->IsStore()) {
    for (int i = 0; i < Count(); ++i) GetAt(i)->SerializeCmp(node->CreateNode("Cmp"), false, true);
    return true;
  }
  for (int i = 0; i < node->NodeCount(); ++i) {
    CXMLNode* child = node->GetNode(i);
    if (child->GetName() != "Cmp") continue;
    // Encrypted components cannot be read: their content format is not
    // one this library knows. The document loader refuses documents that
    // hold them before reaching here; a subcircuit's list may still.
    if (child->AttributeExists("Encr1")) {
      AddNodeError(child, "Encrypted component not supported");
      continue;
    }
    const AnsiString type = child->GetAttribute("type", AnsiString());
    // Labels and variable components are not registry types: their
    // classes make them from their own records.
    CCmp* cmp = nullptr;
    if (type == "label")
      cmp = CElemLabel::m_elemtype.create(&CElemLabel::m_elemtype);
    else if (type == "var")
      cmp = CVariable::m_elemtype.create(&CVariable::m_elemtype);
    else if (elem_set_ != nullptr)
      cmp = elem_set_->NewCmp(type, this);
    if (cmp == nullptr) {
      AddNodeError(child, "Unknown component type = " + type);
      continue;
    }
    cmp->SetOwner(this);
    Add(cmp);
    // A custom-pin component starts with the pins a new one has, so that
    // an element without a "Custom" child still has its node numbers read
    // into pins; a "Custom" child replaces them (and lays the pins out
    // again) before the node numbers are read.
    cmp->CreateCustom();
    cmp->UpdateCustom();
    // A component that fails to load part of itself keeps the reason on
    // its element and stays: losing it would lose the wiring too.
    cmp->SerializeCmp(child, false, true);
    // Every component needs an id and a name to be reached; a hand-made
    // element may lack them.
    if (cmp->Id() == 0) cmp->SetId(FreeCmpId(*this));
    if (cmp->Name().IsEmpty()) cmp->SetName(GetNewName(cmp->GetLetter()));
  }
  ArrangeCmps();
  return true;
}

bool CCmps::SerializeDllCmps(CXMLNode* node) {
  if (node == nullptr) return false;
  // Only the children go: attributes of the list element stay as read.
  while (node->NodeCount() > 0) node->DeleteNode(node->NodeCount() - 1);
  node->SetStore(true);
  // A "SubCir" component whose circuit is embedded keeps its attachment
  // text as loaded: its inner components are not loaded at this level, so
  // nothing in them can have changed.
  return SerializeCmps(node);
}
