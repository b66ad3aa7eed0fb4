#pragma once
// Element types: the static record of each type (SElemType), the model
// records of its models (SElemModel), and the registry CElemSet that holds
// every type in one fixed order. The records are plain constant tables;
// each element class keeps its types in its own array m_elemtype and its
// models in arrays m_models_...; the registry only points at them.
//
// Adding a class's types. A class defines
//     const SElemType CElemR::m_elemtype[] = {
//         {"R_R", 51, CreateCmpOf<CElemR>, 2, m_views_r, m_models_r, 1, "Resistor", 10480},
//         ...
//         {}};  // the record with a null name ends the array
// and adds CElemR::m_elemtype to m_elemtype_arrays in ElemSetTable.cpp.
// The registry then takes the records in the order of the keys listed in
// m_elemtype_order there (the order of GetElemType(int)), whatever the
// order of the arrays; a record whose key is not listed follows the listed
// ones. The label and variable types are not registered: AddLabel and
// AddVariable use their records directly.

#include <new>
#include <vector>

#include "base/AnsiString.h"
#include "base/Lists.h"

class CCmp;
class CCmps;
class CParam;
struct SElemType;

// Model codes. One code means one kind of model in every type; the names
// in comments are those the models carry in the tables.
enum : int {
  MC_VAR = 1,
  MC_LABEL = 2,
  MC_SINGLE = 3,
  MC_PULSE = 4,
  MC_STEP = 5,
  MC_SIN = 6,
  MC_FUNCTION = 7,
  MC_FILE = 8,
  MC_LIST = 9,
  MC_SUBCIR = 10,
  MC_PWL = 11,
  MC_R = 12,
  MC_C = 13,
  MC_L = 14,
  MC_DIODE = 15,  // "Diode", "Zener", "Thyristor"
  MC_V = 16,      // "V", "Voltmeter", "I", "Gate"
  MC_SWITCH = 17,
  MC_LINEAR = 18,
  MC_AMPEREMETER = 19,
  MC_OPAMP = 20,
  MC_COMPARATOR = 21,
  MC_TRANSISTOR = 22,
  MC_FET = 23,
  MC_LINE = 24,
  MC_LOSSY = 25,
  MC_DELAY = 26,
  MC_WINDING = 27,  // "Winding", "Transformer"
  MC_PWR = 28,
  MC_ABS = 29,
  MC_INT = 30,
  MC_LIM = 31,
  MC_MUL = 32,
  MC_DIV = 33,
  MC_SUM = 34,
  MC_SUB = 35,
  MC_MAX = 36,
  MC_MIN = 37,
  MC_GT = 38,
  MC_LT = 39,
  MC_MAG = 40,
  MC_PHASE = 41,
  MC_STORAGE = 42,
  MC_SH = 43,
  MC_LOGIC = 44,
  MC_VCO = 45,  // "VCO", "CCO"
  MC_WATTMETER = 46,
  MC_COUPLER = 47,
  MC_PWM = 48,
  MC_CODE = 49,  // "C" of the code component
  MC_DLL = 50,
  MC_SOFT = 51,
  MC_PWL_I = 52,
  MC_TABLE = 53,
  MC_TRACE = 54,
  MC_INTEGRAL = 55,
  MC_CODE_FILE = 56,  // "File" of the code component
  MC_FET_D = 57,
  MC_DELAY2 = 58,
  MC_IC = 59,
  MC_BUS = 60,
  MC_POTENTIOMETER = 61,
  MC_CLOCK = 62,
  MC_POLY1 = 63,
  MC_POLY2 = 64,
  MC_POLY3 = 65,
  MC_POLY4 = 66,
  MC_POLY5 = 67,
  MC_ONE_SHOT = 68,
  MC_STEPS = 69,
  MC_ON = 70,   // "On", "High"
  MC_OFF = 71,  // "Off", "Low"
  MC_ROOTS = 72,
  MC_SWEEP = 73,
};

// Bits of SElemModel::flags. Bits 0 to 4 allow the component trace of kind
// 0 to 4 (a trace of kind k is dropped when bit k of its component's model
// is clear); bit 5 lets the component be chosen as the AC source. Bit 5 is
// carried by every model of the voltage and current sources, plain and
// logic controlled (V_V, V_CV, I_I, I_CI), and of the label, except
// "SubCir": standing in as "Sin" for the analysis, each drives its pins
// through an extra unknown whose row takes the unit excitation.
enum : int {
  MF_TRACE_V = 1,
  MF_TRACE_I = 2,
  MF_TRACE_P = 4,
  MF_TRACE_3 = 8,
  MF_TRACE_4 = 16,
  MF_AC_SOURCE = 32,
};

// One model of a type. Arrays of them end with a record whose name is null;
// the first record is the type's default model.
struct SElemModel {
  const char* name = nullptr;  // shown and stored as the model name
  int id = 0;                  // model code, MC_...
  CParam* params = nullptr;    // descriptor array, or null for no parameters
  int code = 0;  // 0, -1, 2 or -2; carried for the schematic editor, unused here
  int extra = 0;  // extra unknowns the model adds (default CreateExtraNodes)
  int flags = 0;  // MF_... bits
};

// A drawing pin of one view: where it sits on the symbol. The library uses
// the views only to count them (PlusMinusView).
struct CPin {
  TPoint pos;
  int number = 0;
  int flag = 0;
};

// Makes a component of the class that owns the type record; null when
// memory runs out.
using CreateCmpFunc = CCmp* (*)(const SElemType* type);

// The factory of class T: new T(type), null instead of an exception.
template <class T>
CCmp* CreateCmpOf(const SElemType* type) {
  return new (std::nothrow) T(type);
}

// One element type. The symbol body, picture strokes and text positions of
// the schematic editor are not kept: the library draws nothing.
struct SElemType {
  const char* name = nullptr;  // type key: letter, "_", word; a leading "_" marks the 45-degree variant
  int id = 0;                  // type code; components keep a copy
  CreateCmpFunc create = nullptr;
  int pins = 0;  // pin count; 0 for custom types, whose components set their own
  // Pin arrays of the views, ending with a null entry (or null for a type
  // without views).
  const CPin* const* views = nullptr;
  const SElemModel* models = nullptr;  // never empty
  int variant = 0;  // drawing variant: 1 normal, 2 the 45-degree one, 0 or -1 none
  const char* description = nullptr;  // "\n" splits it into two lines
  int help = 0;                       // help topic of the editor
};

// The registry of element types.
class CElemSet {
 public:
  CElemSet() = default;
  // The records of arrays (a null-terminated list of arrays, each ending
  // with a record whose name is null), taken in the order of the keys of
  // order (null-terminated); records whose keys order does not list follow
  // in the order of the arrays.
  CElemSet(const char* const* order, const SElemType* const* arrays);

  int Count() const { return static_cast<int>(types_.size()); }
  // The first record whose key equals name exactly (case matters); null for
  // an empty name or when none.
  const SElemType* GetElemType(const AnsiString& name) const;
  // The record at registry position index; null outside 0 .. Count()-1.
  const SElemType* GetElemType(int index) const;
  // A new component of the type named name, with owner set; null when the
  // type is unknown or the factory fails.
  CCmp* NewCmp(const AnsiString& name, CCmps* owner) const;
  // The key of the next type after current, cyclically in registry order,
  // whose key begins with letter; "" when no other one exists. With an
  // empty (or unknown) current, the first such type.
  AnsiString FindNextType(char letter, const AnsiString& current) const;
  // Turns the types that exist only as editor shortcuts into their stored
  // form: the inverted gates into the plain gate with the other view, the
  // comparator types into the amplifier in model "Comparator". False, with
  // nothing changed, when cmp is not of such a type or the plain type is
  // not registered.
  bool ConvertSelectionToCmp(CCmp* cmp) const;

 private:
  const SElemType* GetElemTypeById(int id) const;

  // A vector rather than a TList: the records are constant tables.
  std::vector<const SElemType*> types_;
};

// The registry of the library, filled from the class tables before any
// exported function runs and never changed afterwards.
extern const CElemSet ElemSet;

// The type keys in registry order, null-terminated.
extern const char* const m_elemtype_order[];
// Every registered class's m_elemtype, null-terminated.
extern const SElemType* const m_elemtype_arrays[];
