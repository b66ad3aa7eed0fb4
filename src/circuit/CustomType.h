#pragma once
// CCustomElemType: the element-type record a component of a custom-pin
// type (L_CUSTOM, W_CUSTOM, F_CUSTOM, X_CUSTOM, Y_CUSTOM, Y_FUNCTION,
// Y_BUS, X_QVS, X_C, X_DLL: the types registered with 0 pins) owns for
// itself: a copy of the static record with the component's own pin count
// and pins. The component's type pointer points at that copy.
//
// Besides the pins it carries what the element classes derive their pins
// from: the comma-separated name lists of the inputs, the outputs and the
// (pinless) variables of the Code and DLL components and of the custom
// function, and whether a clock pin follows them. The element class reads
// them in its UpdateCustom and sets the pin count and names from them.
//
// Document form: the "Custom" child of the component's element,
//     <Custom pins="3" descr="Mixer" inputs="a,b" outputs="y" clock="true">
//       <Pin name="IN" pos="0,10" flag="1" />   one per pin, in pin order
//       ...
//     </Custom>
// "pins" (Int) is the pin count; "descr" (escaped text) the description
// shown for this component's type, written only when it differs from the
// static record's; "inputs", "outputs", "vars" (escaped texts) only when
// not empty, "clock" (Bool) only when set. Each "Pin" carries the pin's
// name (escaped text, written only when set), its drawing position ("x,y",
// written only when not 0,0) and its flag (Int, only when not 0; a custom
// transformer keeps its winding polarities there). Whatever else the
// element holds (attributes and children of other names, e.g. from an
// editor that draws the symbol) is kept as read and written back after
// these, so that nothing is lost.
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
  // the child exists the custom type is made first, then read, and the
  // component's UpdateCustom derives its pins from it, so that the node
  // numbers read next land on the final pins. True without the child.
  static bool SerializeCmpCustom(CCmp* cmp, CXMLNode* cmpNode);

  const SElemType* Type() const { return &type_; }
  const SElemType* BaseType() const { return base_; }
  int PinCount() const { return type_.pins; }
  const AnsiString& PinName(int i) const { return pins_[static_cast<std::size_t>(i)].name; }
  void SetPinName(int i, const AnsiString& name) { pins_[static_cast<std::size_t>(i)].name = name; }
  const TPoint& PinPos(int i) const { return pins_[static_cast<std::size_t>(i)].pos; }
  void SetPinPos(int i, const TPoint& pos);
  int PinFlag(int i) const { return pins_[static_cast<std::size_t>(i)].flag; }
  void SetPinFlag(int i, int flag);
  const AnsiString& Description() const { return descr_; }
  void SetDescription(const AnsiString& text);

  // Name lists, comma separated ("x1,x2,x3"). Changing them does not move
  // the pins: the owner's UpdateCustom does.
  const AnsiString& Inputs() const { return inputs_; }
  void SetInputs(const AnsiString& csv) { inputs_ = csv; }
  const AnsiString& Outputs() const { return outputs_; }
  void SetOutputs(const AnsiString& csv) { outputs_ = csv; }
  const AnsiString& Vars() const { return vars_; }
  void SetVars(const AnsiString& csv) { vars_ = csv; }
  // A clock pin follows the pins of the lists.
  bool Clocked() const { return clocked_; }
  void SetClocked(bool on) { clocked_ = on; }

  // The number of names in a list: 0 for an empty (or blank) text.
  static int NameCount(const AnsiString& csv);
  // Name i (0-based) of a list, trimmed; "" beyond the last.
  static AnsiString NameAt(const AnsiString& csv, int i);

  // Names pins first .. first + count - 1 after the fields of list: the
  // field's name without a "=value" initial value, trimmed; a missing or
  // empty one as unnamed + its 1-based position in the list.
  void NamePins(int first, const AnsiString& list, int count, const char* unnamed);
  // The pins of the programmed blocks (Code, DLL): one per input name, one
  // per output name, then the clock pin "clk" when clocked; the owner's
  // node array follows. Returns the pin count.
  int LayOutListPins();
  // Pin i's name of cmp's custom type; "" without one or outside the pins.
  static AnsiString PinNameOf(const CCmp* cmp, int i);

  // Rebuilds the record for n pins (names, positions and flags of pins
  // that stay are kept), then recreates the owner's node array for n pins
  // (which keeps the node numbers when n is the present count).
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
    int flag = 0;
  };
  void Rebuild();

  CCmp* owner_;
  const SElemType* base_;
  SElemType type_;
  AnsiString descr_;  // type_.description points at it
  std::vector<SPin> pins_;
  AnsiString inputs_, outputs_, vars_;
  bool clocked_ = false;
  std::vector<CPin> drawing_;  // one view of the pins
  CPin no_pin_;                // what the views show without pins
  // As many views as the static record has (one at least), all showing
  // drawing_, then the terminator: a custom type keeps its type's views
  // (a clocked block's falling-edge view, an inverted gate).
  std::vector<const CPin*> views_;
  // Attributes and children of other names, as read (children as compact text).
  std::vector<std::pair<AnsiString, AnsiString>> other_attrs_;
  std::vector<AnsiString> other_children_;
};
