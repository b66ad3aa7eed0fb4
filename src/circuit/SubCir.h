#pragma once
// CSubCir: what a component in model "SubCir" (code 10) needs to stand for
// another circuit: the file of that circuit, the inner label each pin of
// the component joins, assignments and initial conditions for the inner
// components, and the inner components once loaded. This file holds the
// parameters and the document form; loading the inner circuit and taking
// it into a simulation belong to the engine side.
//
// Document form: a child element "SubCir" of the component's element with
// the escaped text attributes "file", "label1" .. "labelN" (one per pin,
// numbered from 1), "cmd" and "ic". CCmp::SerializeCmpCore stores and
// loads it, in model "SubCir" only, with CSubCir::Of(this)->SerializeSubCir(node)
// on the component's element.

#include <memory>
#include <string>
#include <vector>

#include "base/AnsiString.h"
#include "circuit/Param.h"

class CCmp;
class CCmps;
class CXMLNode;

class CSubCir {
 public:
  // The subcircuit of owner, whose pin count is taken when the descriptor
  // list is first built.
  explicit CSubCir(CCmp* owner);
  ~CSubCir();
  CSubCir(const CSubCir&) = delete;
  CSubCir& operator=(const CSubCir&) = delete;

  // The subcircuit of cmp, created (for cmp's present pin count) and handed
  // to cmp on first use. Null only for a null cmp or when memory runs out.
  static CSubCir* Of(CCmp* cmp);

  CCmp* Owner() const { return owner_; }
  const AnsiString& FileName() const { return file_; }
  void SetFileName(const AnsiString& name) { file_ = name; }
  // Label name of pin i (0-based); "" outside the pins.
  AnsiString PinLabel(int i) const;
  void SetPinLabel(int i, const AnsiString& label);
  int PinCount() const { return pin_count_; }
  const AnsiString& Cmd() const { return cmd_; }
  void SetCmd(const AnsiString& cmd) { cmd_ = cmd; }
  const AnsiString& IC() const { return ic_; }
  void SetIC(const AnsiString& ic) { ic_ = ic; }
  // Filled when the subcircuit's state is saved; used instead of IC() when
  // a simulation continues.
  const AnsiString& SavedState() const { return saved_state_; }
  void SetSavedState(const AnsiString& text) { saved_state_ = text; }
  // Without pin names the descriptor list has no "Pin" entries (the pins
  // are joined by position).
  bool NoPinNames() const { return no_pin_names_; }
  void SetNoPinNames(bool on);

  // (Re)builds the descriptor list for n pins: "File" (kind 9, the file
  // name), "Pin1" .. "Pin<n>" (kind 1, the pins' label names; left out with
  // NoPinNames), "Cmd" and "IC" (kind 3), then the terminator. Labels of
  // pins that stay keep their names. Called whenever the owner's pin count
  // changes.
  void CreateSubCir(int n);
  // The descriptor list, bound to this subcircuit; what the owner's
  // GetParamsList gives in model "SubCir".
  CParam* GetParamsList() { return params_.data(); }

  // The inner components: null until loaded.
  CCmps* Cmps() const { return cmps_.get(); }
  const AnsiString& LoadedName() const { return loaded_name_; }
  // Destroys the inner components and forgets the loaded name and the
  // saved node numbers. The parameters stay.
  void ClearSubCir();

  // Stores the "SubCir" child into the component's element node, or loads
  // it from there, as node's store flag says. Loading without the child
  // keeps the present values. Labels are read for the owner's pins only.
  // False only for a null node.
  bool SerializeSubCir(CXMLNode* node);

 private:
  CCmp* owner_;
  AnsiString file_;
  std::vector<AnsiString> pins_;  // label name per pin
  AnsiString cmd_;                // name=value assignments for inner components
  AnsiString ic_;                 // component.entry initial conditions
  AnsiString saved_state_;
  std::unique_ptr<CCmps> cmps_;   // inner components, null until loaded
  AnsiString loaded_name_;        // file the inner components came from
  std::unique_ptr<int[]> saved_nodes_;
  int pin_count_ = -1;  // pins of the descriptor list; -1 before CreateSubCir
  bool no_pin_names_ = false;
  // Descriptor names "Pin1" ... (the descriptors point into them) and the
  // list itself, rebuilt together.
  std::vector<std::string> pin_names_;
  std::vector<CParam> params_;
};
