#pragma once
// CParam: the descriptor of one settable property of a component (a
// resistance, a waveform list, an On/Off state, a program). Element classes
// keep static arrays of descriptors per model and bind them to the fields
// of the component at hand (GetParams) before use; a descriptor then reads
// and writes that component's value as text for the editor and the
// component commands, as a number for formulas, and through the four
// library functions. Also check_circular_ref, which guards formula
// parameters against formulas that depend on themselves.

#include "base/AnsiString.h"

class CCmps;
class CDoc;
class CFormula;
class CVarList;

// Kind codes of descriptors and the holder each binds to.
enum : int {
  PK_NONE = 0,
  PK_FUNC_NAME = 1,  // text: DLL function names, IC texts of AC and impedance elements
  PK_FUNCTION = 2,   // text: function formulas "f", "z"
  PK_IC_TEXT = 3,    // text: IC of Code and DLL, "X", "Y" of the function component
  PK_LIST_SOURCE = 4,  // text: "List" of sources
  PK_LIST_LOGIC = 5,   // text: "List" of logic generators
  PK_LIST_SWITCH = 6,  // text: "List" of switches
  PK_TABLE = 7,        // text: "Table" of the function component
  PK_TABLE2 = 8,       // text: "Table" of the function component
  PK_UNUSED = 9,
  PK_FILE = 10,       // text: waveform file name
  PK_DLL = 11,        // text: library file name
  PK_CODE_FILE = 12,  // text: "File" of the Code component
  PK_FORMULA = 13,    // CFormula: every numeric parameter
  PK_CHOICE = 14,     // selected index and a null-terminated list of item names
  PK_ON_OFF = 15,     // int 0/1
  PK_YES_NO = 16,     // int 0/1
  PK_HIGH_LOW = 17,   // int 0/1
  PK_PWL = 18,        // text of a piece-wise-linear table
  PK_CODE = 19,       // text: C program
  PK_ROOTS = 20,      // text
  PK_TRACE = 21,      // text: trace name of a source
};

// True for the kinds whose holder is a plain text (1 to 12, 19 to 21).
bool IsTextParamKind(int kind);

class CParam {
 public:
  // The terminator of a descriptor array: kind 0, no name.
  constexpr CParam() = default;
  // A descriptor; its holder is bound later, per component.
  constexpr CParam(int kind, const char* name, const char* unit, bool showText = false)
      : kind_(kind), name_(name), unit_(unit), show_text_(showText) {}
  virtual ~CParam() = default;

  int Kind() const { return kind_; }
  const char* Name() const { return name_; }  // null ends an array
  const char* Unit() const { return unit_ != nullptr ? unit_ : ""; }
  // GetText of a formula parameter gives its text, not its value.
  bool ShowText() const { return show_text_; }

  // --- Binding, by the element class's GetParams.
  void BindText(AnsiString* text) { text_ = text; }  // text kinds and kind 18
  void BindFormula(CFormula* formula) { formula_ = formula; }  // kind 13
  // Kind 14: the selected index and the item names, ending with null.
  void BindChoice(int* index, const char* const* items) {
    int_ = index;
    items_ = items;
  }
  void BindInt(int* value) { int_ = value; }  // kinds 15 to 17
  // The collection whose components the formulas of this parameter name;
  // CCmp::GetParamsList sets it to the bound component's owner.
  void SetComponents(CCmps* cmps) { cmps_ = cmps; }
  CCmps* Components() const { return cmps_; }

  AnsiString* BoundText() const { return text_; }
  CFormula* BoundFormula() const { return formula_; }
  int* BoundInt() const { return int_; }

  // --- Editor side.
  // The value as display text.
  AnsiString GetText() const;
  // Sets the value from text (trimmed first). Returns "" and leaves ok
  // alone on success; on a failed evaluation returns "Error : " and the
  // reason, with ok false.
  AnsiString SetText(const AnsiString& text, CDoc* doc, bool& ok, CVarList* vars);
  // The value for formulas: a formula's value (0 when in error), the
  // choice index, 1 or 0 for two-state kinds, 0 for the rest.
  double GetDoubleValue() const;

  // --- Library side. Failures append their reason to the library's error
  // text and return -1. changed, when given, tells whether the parameter
  // changed: the document then marks its engine and recalculates formulas.
  int GetDLLParamValue(double* out) const;
  int SetDLLParamValue(double x, CDoc* doc, bool* changed = nullptr);
  // Copies the text into buffer (cut to size - 1 characters and a zero when
  // it does not fit); returns the text's length + 1, or -1.
  int GetDLLParamText(char* buffer, int size) const;
  int SetDLLParamText(const AnsiString& text, CDoc* doc, bool* changed = nullptr);

 private:
  const char* const* Items() const { return items_; }
  int ItemCount() const;
  AnsiString SetFormulaText(const AnsiString& text, CDoc* doc, bool& ok, CVarList* vars);
  int SetDLLFormulaText(const AnsiString& text, CDoc* doc, bool* changed);
  AnsiString CodePreview() const;

  int kind_ = PK_NONE;
  const char* name_ = nullptr;
  const char* unit_ = nullptr;
  bool show_text_ = false;
  // The holder of the component the descriptor was last bound to; which
  // one is meaningful depends on the kind.
  AnsiString* text_ = nullptr;
  CFormula* formula_ = nullptr;
  int* int_ = nullptr;
  const char* const* items_ = nullptr;
  CCmps* cmps_ = nullptr;
};

// False, with "Circular reference" in m_global_errstr, when text names,
// directly or through the formulas of the parameters it names, the formula
// parameter whose holder is target. Names are component "." parameter,
// looked up in cmps; names that are no parameter are passed over. True
// without cmps or with an empty text.
bool check_circular_ref(const CFormula* target, const AnsiString& text, CCmps* cmps);
