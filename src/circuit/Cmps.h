#pragma once
// CCmps: the ordered component collection of a document or of a
// subcircuit. It owns its components: DeleteCmp, ClearCmps and the
// destructor destroy them. Besides adding, naming, finding and ordering, it
// answers the look-ups by dotted name (R1.R; X1.R1.R inside subcircuit X1)
// that formulas, the component commands and the library interface make.

#include <memory>

#include "base/AnsiString.h"
#include "base/Lists.h"

class CCmp;
class CDoc;
class CElemSet;
class CParam;
class CXMLNode;
struct SVar;

// Compares two names without regard to case (ASCII letters): negative,
// zero or positive as a comes before, equals or follows b.
int CompareNames(const AnsiString& a, const AnsiString& b);

class CCmps {
 public:
  // doc: the document the components belong to (its settings and digital
  // levels reach the formulas); may be null.
  explicit CCmps(CDoc* doc = nullptr);
  virtual ~CCmps();
  CCmps(const CCmps&) = delete;
  CCmps& operator=(const CCmps&) = delete;

  CDoc* Doc() const { return doc_; }
  // The registry AddCmp creates components from; the library's ElemSet
  // unless a tool or a test gives its own.
  void SetElemSet(const CElemSet* set) { elem_set_ = set; }

  int Count() const { return cmps_.Count(); }
  bool IsEmpty() const { return cmps_.Count() == 0; }
  CCmp* GetAt(int i) const { return static_cast<CCmp*>(cmps_.Items(i)); }
  // Appends cmp and takes ownership; no checks, no re-ordering.
  void Add(CCmp* cmp) { cmps_.Add(cmp); }

  // The component with this id; null for id 0 or when none has it.
  CCmp* GetCmp(int id) const;
  // 1 + the largest id; 1 when empty.
  int GetNewCmpId() const;
  // prefix + n for the smallest n = 1, 2, ... that no component has as its
  // name (ignoring case).
  AnsiString GetNewName(const AnsiString& prefix) const;
  AnsiString GetNewName(char letter) const;
  // A new component of the type with this key: named after its type
  // letter ("R1"), id = GetNewCmpId(), appended, collection re-ordered,
  // then its CreateCustom and UpdateCustom. Null for an unknown type.
  CCmp* AddCmp(const AnsiString& typeName);
  // A new variable component (type "var") named name, with a new id,
  // appended and the collection re-ordered. Returns its id; -1 when memory
  // runs out (nothing is added).
  int AddVariable(const AnsiString& name);
  // The same for a label component (type "label") named name.
  int AddLabel(const AnsiString& name);
  // Destroys the component with this id; nothing when none has it.
  void DeleteCmp(int id);
  // Destroys every component.
  void ClearCmps();
  // Every enabled component takes its present state as its initial
  // condition (SaveIC with its parameters updated); with a document, a
  // component whose group shares initial conditions then passes its
  // parameters on to the rest of its group at once (CDoc::UpdateGroup).
  void SaveCmpsIC(CDoc* doc = nullptr);

  // The display order: negative when a comes before b. Variables last,
  // labels before them; otherwise by first character, then by the number
  // after it (R2 before R10) or else by name ignoring case.
  static int Compare(const CCmp* a, const CCmp* b);
  // Sorts by Compare, stably: neighbours are exchanged, bubbling from the
  // end, until a pass exchanges none.
  void ArrangeCmps();

  // --- Node numbers (pin nodes only, not the engine's group codes).
  // Adds offset to every positive node number; returns the largest node
  // number afterwards, or offset when there is none.
  int CreateNewNodes(int offset);
  // Every pin on node from moves to node to.
  void ChangeCmpNode(int from, int to);
  // All pins' node numbers in collection and pin order; the caller owns
  // the array and hands it back to RestoreNodes while the pins are unchanged.
  std::unique_ptr<int[]> SaveNodes() const;
  void RestoreNodes(const int* nodes);

  // --- Look-ups by name. The ones formulas make are virtual so that a tool
  // or a test can answer names without building components.

  // The first component whose name equals name ignoring case; null for an
  // empty name or when none has it.
  virtual CCmp* GetCmp(const AnsiString& name) const;
  // The component a dotted name reaches: "R1"; "X1.R1" inside subcircuit
  // X1; a quoted first part ("a.b".c) names a component whose name holds
  // dots. Null when any step finds nothing.
  CCmp* GetCmpName(const AnsiString& name) const;
  // The descriptor of component "." parameter, bound to that component;
  // a name without parameter part gives the component's first parameter.
  // Null when there is none.
  CParam* GetCmpParam(const AnsiString& name) const;
  // The value a formula reads for that parameter (GetDoubleValue). False
  // when there is no such parameter.
  virtual bool GetCmpParamValue(const AnsiString& name, double* value) const;
  // The variable named component "." variable of a component that has a
  // variable list (Code, DLL, function components); null when none.
  virtual SVar* GetCmpVar(const AnsiString& name) const;

  // Evaluates every formula parameter of every component once. A formula
  // naming other formula parameters is evaluated after them, so one call
  // leaves every value consistent. Failures mark their parameter in error
  // and make the result false; *changed tells whether any value moved.
  bool CalculateFormulas(bool* changed = nullptr);

  // --- Document form (defined in CmpsDoc.cpp).
  // Stores one "Cmp" child per component, in list order, or loads the
  // components of node's "Cmp" children: "type" decides the class, each
  // component loads itself, and the list is put in display order. An
  // element whose type cannot be created gets the error "Unknown component
  // type = " + type and is skipped. True unless node is null.
  bool SerializeCmps(CXMLNode* node);
  // Empties node and stores every component into it anew: the component
  // list of a kept document tree being saved.
  bool SerializeDllCmps(CXMLNode* node);

 private:
  CDoc* doc_;
  const CElemSet* elem_set_;
  TList cmps_;  // CCmp*, owned
};
