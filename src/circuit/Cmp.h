#pragma once
// CCmp: the base of every component. It keeps what the engine and the
// document need of any component (identity, name, type, model, pins and
// their node numbers, zone state) and declares the element interface, the
// virtual operations through which the engine talks to a component. The
// defaults here are neutral: an element class overrides what it takes part
// in, and an operation left at its default does nothing the engine notices.

#include <memory>

#include "base/AnsiString.h"
#include "circuit/ElemSet.h"

class CCalc;
class CCmps;
class CCustomElemType;
class CParam;
class CPWL;
class CSignal;
class CSubCir;
class CVarList;
class CXMLNode;
struct SCirTools;
struct SCmpPict;

// Owning pointer to an object of a class this header only declares: the
// code that creates the object hands over the function that destroys it.
// While the pointer is null no deleter is needed.
template <class T>
using TOpaquePtr = std::unique_ptr<T, void (*)(T*)>;

class CCmp {
 public:
  // Copies the type id, takes the type's first model, and creates the pin
  // node array for the type's pin count, every node 0.
  explicit CCmp(const SElemType* type);
  virtual ~CCmp();
  CCmp(const CCmp&) = delete;
  CCmp& operator=(const CCmp&) = delete;

  // --- Element interface (defaults in comments where not obvious).
  virtual bool IsLabel() const { return false; }
  virtual bool IsVariable() const { return false; }
  // Custom-pin types: make the component's own type record and its pins.
  // Called by CCmps::AddCmp after the component was named and added.
  virtual void CreateCustom() {}
  virtual void UpdateCustom() {}
  // Stores the component into node or loads it from node, as the node's
  // store flag says. modelOnly: only the model part of the common
  // attributes (not id, name, nodes); ic: the initial conditions too.
  virtual bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic);
  // Binds the class's descriptors to this component and returns the array
  // of the present model; null when the class has no parameters.
  virtual CParam* GetParams() { return nullptr; }
  // Checks the parameters before a simulation; reports through the
  // engine's component error and returns false on a problem.
  virtual bool CheckParams(CCalc* calc);
  // Pin-type bits: 1 analog, 2 signal only, 4 capacitive or transfer load.
  virtual int GetCmpPinType(int pin) const;
  // Number of extra unknowns needed now; records it and the first one
  // (first, or 0 for none). Default: the present model's extra count.
  virtual int CreateExtraNodes(CCalc* calc, int first);
  virtual int GetExtraNode(int i) const { return first_extra_ + i; }
  virtual AnsiString GetPinName(int pin) const;
  // The engine hook, by mode. False is a failure with the error set,
  // except in mode 4 where false means the component changed its zone.
  virtual bool CalcFunc(CCalc* calc, int mode, double t);
  virtual AnsiString GetState() { return AnsiString(); }
  virtual AnsiString SaveIC(bool all);
  // Sets changed when the trial solution left the zone stamped for; with
  // final the component also moves to its new zone. False is an error.
  virtual bool CheckZone(CCalc* calc, bool final, bool& changed);
  // Lowers next (event time, s, or NaN), maxStep and firstStep (s) as the
  // component needs; the default needs nothing.
  virtual void CalcNewStep(CCalc* calc, double t, double& next, double& maxStep,
                           double& firstStep);
  // Default: the nodes of pins 0 and 1 (0 for a missing pin), the first
  // extra unknown, factor 0; true.
  virtual bool GetTraceNodes(CCalc* calc, int kind, int& n1, int& n2, int& extra, double& k);
  // Default: *v = 0 and *v2 = 0 when given.
  virtual void GetTraceData(CCalc* calc, int kind, double* v, double* v2);
  virtual void CirTools(SCirTools* tools);
  // The range of the zone numbers; true when max > min. Default false.
  virtual bool GetMinMaxState(int& min, int& max);
  virtual void SetStartState(int state);
  // True when the solution puts the component in another zone than its
  // present one; with update it also takes that zone. Default false.
  virtual bool CheckState(CCalc* calc, bool update);
  // view += delta over the type's views: before the first moves to the
  // last, past the last moves to the first, and both return true.
  virtual bool PlusMinusView(int delta);
  virtual const SCmpPict* GetCmpPicts() { return nullptr; }

  // Not an element-interface slot: the variable list that the component's
  // dotted names (U1.count) reach, for Code, DLL and function components.
  virtual CVarList* GetVarList() { return nullptr; }

  // --- Identity and type.
  CCmps* Owner() const { return owner_; }
  void SetOwner(CCmps* owner) { owner_ = owner; }
  const SElemType* Type() const { return type_; }
  void SetType(const SElemType* type) { type_ = type; }
  CCustomElemType* CustomType() const { return custom_type_.get(); }
  void SetCustomType(CCustomElemType* custom, void (*destroy)(CCustomElemType*));
  int Id() const { return id_; }
  void SetId(int id) { id_ = id; }
  int TypeId() const { return type_id_; }
  void SetTypeId(int id) { type_id_ = id; }
  const AnsiString& Name() const { return name_; }
  void SetName(const AnsiString& name) { name_ = name; }
  const AnsiString& ParentPath() const { return parent_path_; }
  void SetParentPath(const AnsiString& path) { parent_path_ = path; }
  // parent path + "." + name inside a subcircuit, else the name.
  AnsiString GetFullName() const;
  // First character of the type key after an optional "_"; 0 without one.
  char GetLetter() const;

  // --- Model.
  int Model() const { return model_; }
  void SetModel(int code) { model_ = code; }
  int PrevModel() const { return prev_model_; }
  void SetPrevModel(int code) { prev_model_ = code; }
  // The model record of the present code; the type's first when none has
  // it (null only for a type without models).
  const SElemModel* GetModel() const;
  // The descriptor array of the present model, bound to this component:
  // null while the component is busy; the subcircuit's list in model
  // "SubCir"; otherwise GetParams(). Valid until the next binding of the
  // same class's descriptors to another component.
  CParam* GetParamsList();
  // "": the list when it has at least one descriptor, else null; otherwise
  // the first descriptor whose name equals name ignoring case, or null.
  CParam* GetParameter(const AnsiString& name);
  // True for the models that refer to an outside file: "File" (8),
  // "SubCir" (10), "DLL" (50) and the code component's "File" (56).
  bool CanAttach() const;
  // Copies source's parameters into this component through a temporary
  // element: source stores itself, this component loads the same element.
  // Only the model part of the common attributes travels, so id, name and
  // node numbers stay; ic says whether initial conditions go too.
  bool CopyGroupParams(CCmp* source, bool ic);

  // --- Document form of the attributes every component shares.
  // Stores or loads, as node's store flag says: "type" (storing only), the
  // custom type ("Custom" child), "id", "name", "descr", "view", "group"
  // and "group_ic" (only when a group is set), "file_name" (encrypted
  // components only), "node0", "node1" ... and then the model part:
  // "model", the PWL table texts (model "PWL"), the subcircuit data (model
  // "SubCir") and the "Attachment" child. With modelOnly only the model
  // part travels. An unknown model name is recorded on node's error and
  // the type's first model taken; loading goes on. Every class's
  // SerializeCmp calls this first.
  bool SerializeCmpCore(CXMLNode* node, bool modelOnly);
  // The signal generator of the source-like types (switches, voltage and
  // current sources, labels, logic generators): each of those classes
  // owns one and overrides this; null for every other component.
  virtual CSignal* GetSignal() const { return nullptr; }

  // Set while the component is being created or changed: its parameters
  // are then out of reach (GetParamsList gives null).
  bool IsBusy() const { return creating_ || changing_; }
  void SetCreating(bool on) { creating_ = on; }
  void SetChanging(bool on) { changing_ = on; }

  // --- View.
  int View() const { return view_; }
  void SetView(int view) { view_ = view; }

  // --- Pins and nodes.
  // -1 before the pins are created; 0 when there are none.
  int PinCount() const { return pin_count_; }
  // Node number of pin i: 0 ground, negative unconnected and disabled. A
  // pin the component does not have (a document can give a type fewer
  // pins than its class stamps) reads as unconnected.
  int Node(int pin) const { return pin >= 0 && pin < pin_count_ ? nodes_[pin] : -1; }
  void SetNode(int pin, int node) {
    if (pin >= 0 && pin < pin_count_) nodes_[pin] = node;
  }
  // The whole array, 2 x PinCount(): pin nodes, then the engine's per-pin
  // group codes. Null without pins.
  int* Nodes() { return nodes_.get(); }
  const int* Nodes() const { return nodes_.get(); }
  // False without pins; true with a negative pin count or when every pin
  // is unconnected.
  bool IsDisabled() const;
  // Recreates the node array for n pins, all zero; nothing when n is the
  // present count. Without memory the pin count becomes 0.
  void CreateCmpNodes(int n);

  // --- Extra unknowns (set by CreateExtraNodes).
  int ExtraCount() const { return extra_count_; }
  int FirstExtra() const { return first_extra_; }
  void SetExtra(int count, int first) {
    extra_count_ = count;
    first_extra_ = count >= 1 ? first : 0;
  }

  // --- Zone state, owned by the engine.
  int State() const { return state_; }
  void SetState(int state) { state_ = state; }
  bool StateChanged() const { return state_changed_; }
  void SetStateChanged(bool changed) { state_changed_ = changed; }

  // --- Subcircuit ("SubCir", code 10) and PWL table ("PWL", code 11).
  CSubCir* SubCir() const { return subcir_.get(); }
  void SetSubCir(CSubCir* subcir, void (*destroy)(CSubCir*));
  CPWL* Pwl() const { return pwl_.get(); }
  void SetPwl(CPWL* pwl, void (*destroy)(CPWL*));
  // Clears the subcircuit and the PWL table.
  void ClearCmp();

  // The texts and mode of the PWL table as the document holds them: the
  // table text ("pwl"), its file name ("pwlf") and its mode ("pwlm"). The
  // table object is built from them when a simulation needs it; the "pwl"
  // descriptor of the PWL models binds to PwlText().
  AnsiString& PwlText() { return pwl_text_; }
  AnsiString& PwlFile() { return pwl_file_; }
  int PwlMode() const { return pwl_mode_; }
  void SetPwlMode(int mode) { pwl_mode_ = mode; }

  // --- Driven by the library's input functions (labels and sources): the
  // component then takes its value from the input value, not its own
  // waveform.
  bool IsDLLInput() const { return dll_input_; }
  void SetDLLInput(bool on) { dll_input_ = on; }
  double InputValue() const { return input_value_; }
  void SetInputValue(double v) { input_value_ = v; }

  // --- Description, group and attachment.
  const AnsiString& Description() const { return descr_; }
  void SetDescription(const AnsiString& text) { descr_ = text; }
  // Components of one group share their parameters (CopyGroupParams);
  // group_ic says whether their initial conditions are shared too.
  const AnsiString& GroupName() const { return group_; }
  void SetGroupName(const AnsiString& name) { group_ = name; }
  bool GroupIC() const { return group_ic_; }
  void SetGroupIC(bool on) { group_ic_ = on; }
  // A copy of the referred file kept inside the document: for "SubCir" the
  // XML text of a whole circuit document, for "DLL" the library in
  // hexadecimal, otherwise the file's text.
  bool HasAttachment() const { return attached_; }
  const AnsiString& AttachmentText() const { return attachment_; }
  void SetAttachment(const AnsiString& text) {
    attachment_ = text;
    attached_ = true;
  }
  void ClearAttachment() {
    attachment_ = AnsiString();
    attached_ = false;
  }
  // Encrypted content: the component came from an encrypted block, whose
  // outside file name is kept in "file_name".
  bool IsEncrypted() const { return encrypted_; }
  void SetEncrypted(bool on) { encrypted_ = on; }
  const AnsiString& EncryptedFileName() const { return file_name_; }
  void SetEncryptedFileName(const AnsiString& name) { file_name_ = name; }

 private:
  CCmps* owner_ = nullptr;
  const SElemType* type_;  // for custom types, the record inside custom_type_
  TOpaquePtr<CCustomElemType> custom_type_{nullptr, nullptr};
  int id_ = 0;  // unique in the collection, never 0 once added
  int type_id_;
  AnsiString name_;         // unique in the collection ignoring case
  AnsiString parent_path_;  // full name of the subcircuit component; "" at top level
  int model_ = 0;       // model code of the present model
  int prev_model_ = 0;  // model the engine last initialised; 0 before the first start
  int view_ = 0;
  int pin_count_ = -1;
  std::unique_ptr<int[]> nodes_;
  int extra_count_ = 0;
  int first_extra_ = 0;
  int state_ = 0;  // present zone index
  bool state_changed_ = false;
  bool creating_ = false;
  bool changing_ = false;
  TOpaquePtr<CSubCir> subcir_{nullptr, nullptr};
  TOpaquePtr<CPWL> pwl_{nullptr, nullptr};

  AnsiString pwl_text_, pwl_file_;
  int pwl_mode_ = 0;
  bool dll_input_ = false;
  double input_value_ = 0.0;  // the unit of the component's value (V or A)
  AnsiString descr_;
  AnsiString group_;  // empty: in no group
  bool group_ic_ = false;
  bool attached_ = false;
  AnsiString attachment_;
  bool encrypted_ = false;
  AnsiString file_name_;
};
