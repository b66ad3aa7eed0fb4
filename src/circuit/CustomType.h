#pragma once
// CCustomElemType: the element-type record a component of a custom-pin
// type (L_CUSTOM, W_CUSTOM, F_CUSTOM, X_CUSTOM, Y_CUSTOM, Y_FUNCTION,
// Y_BUS, X_QVS, X_C, X_DLL: the types registered with 0 pins) owns for
// itself: a copy of the static record with the component's own pin count
// and pins. The component's type pointer points at that copy.
//
// Document form: the "Custom" child of the component's element,
//     <Custom pins="3" descr="Mixer">
//       <Pin name="IN" pos="0,10" />   one per pin, in pin order
//       ...
//     </Custom>
// "pins" (Int) is the pin count; "descr" (escaped text) the description
// shown for this component's type, written only when it differs from the
// static record's; each "Pin" carries the pin's name (escaped text,
// written only when set) and its drawing position ("x,y", written only
// when not 0,0). Whatever else the element holds (attributes and children
// of other names, e.g. from an editor that draws the symbol) is kept as
// read and written back after these, so that nothing is lost.
// CCmp::SerializeCmpCore handles the child with
// CCustomElemType::SerializeCmpCustom(this, node) before "id", so that the
// pin count is known when the node numbers are read.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/AnsiString.h"
#include "circuit/ElemSet.h"

class CCmp;
class CXMLNode;

class CCustomElemType {
 public:
  // A copy of base (the component's static record) for owner.
  CCustomElemType(CCmp* owner, const SElemType* base);
  CCustomElemType(const CCustomElemType&) = delete;
  CCustomElemType& operator=(const CCustomElemType&) = delete;

  // Makes cmp's own type record from its present (static) record and
  // points cmp's type at it; the pin count stays. Returns the existing one
  // when cmp has one already; null for a null cmp or without memory.
  static CCustomElemType* CreateCustomCmp(CCmp* cmp);

  // The "Custom" child of the component's element cmpNode, in either
  // direction. Storing: written when cmp has a custom type, or has pins
  // while its static type has none (the type is made then). Loading: when
  // the child exists the custom type is made first, then read, and cmp's
  // node array recreated for its pin count. True without the child.
  static bool SerializeCmpCustom(CCmp* cmp, CXMLNode* cmpNode);

  const SElemType* Type() const { return &type_; }
  const SElemType* BaseType() const { return base_; }
  int PinCount() const { return type_.pins; }
  const AnsiString& PinName(int i) const { return pins_[static_cast<std::size_t>(i)].name; }
  void SetPinName(int i, const AnsiString& name) { pins_[static_cast<std::size_t>(i)].name = name; }
  const TPoint& PinPos(int i) const { return pins_[static_cast<std::size_t>(i)].pos; }
  void SetPinPos(int i, const TPoint& pos);
  const AnsiString& Description() const { return descr_; }
  void SetDescription(const AnsiString& text);

  // Rebuilds the record for n pins (names and positions of pins that stay
  // are kept), then recreates the owner's node array for n pins.
  void UpdateCustomCmp(int n);

  // Stores the type into the "Custom" element node or loads it from there.
  // Loading a pin count outside 0 .. kMaxPins records an error on node and
  // keeps the present one.
  bool SerializeCustomElemType(CXMLNode* node);

  static constexpr int kMaxPins = 1000;

 private:
  struct SPin {
    AnsiString name;
    TPoint pos;
  };
  void Rebuild();

  CCmp* owner_;
  const SElemType* base_;
  SElemType type_;
  AnsiString descr_;  // type_.description points at it
  std::vector<SPin> pins_;
  std::vector<CPin> drawing_;      // one view of the pins
  const CPin* views_[2] = {};      // that view and the terminator
  // Attributes and children of other names, as read (children as compact text).
  std::vector<std::pair<AnsiString, AnsiString>> other_attrs_;
  std::vector<AnsiString> other_children_;
};
