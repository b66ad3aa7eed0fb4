#pragma once
// A small element class for the circuit-model tests, with its own type
// records, models and descriptor arrays, and a registry built from them.
// Type keys and ids are those of real types so that naming, the letter
// walk and the shortcut conversion meet the keys they are meant for.
//
// Models of CTestElem:
//   "R" (12): R (formula, Ohm), K (formula, may be empty), Type (choice
//             Linear/Square/Cubic), Active (On/Off), Cycle (Yes/No),
//             IC (High/Low), List (text), Code (program), Show (formula
//             shown as its text)
//   "PWL" (11, one extra unknown, V and I traces): pwl (table text)
//   "File" (8): an empty descriptor array
//   "SubCir" (10): no descriptor array

#include <gtest/gtest.h>

#include "circuit/Cmp.h"
#include "circuit/Cmps.h"
#include "circuit/ElemSet.h"
#include "circuit/Param.h"
#include "doc/xml.h"
#include "expr/Formula.h"
#include "expr/VarList.h"

inline const char* const m_test_choice_items[] = {"Linear", "Square", "Cubic", nullptr};

inline CParam m_param_test_r[] = {
    CParam(PK_FORMULA, "R", "Ohm"),    CParam(PK_FORMULA, "K", ""),
    CParam(PK_CHOICE, "Type", ""),     CParam(PK_ON_OFF, "Active", ""),
    CParam(PK_YES_NO, "Cycle", ""),    CParam(PK_HIGH_LOW, "IC", ""),
    CParam(PK_LIST_SOURCE, "List", ""), CParam(PK_CODE, "Code", ""),
    CParam(PK_FORMULA, "Show", "", true), CParam()};
inline CParam m_param_test_pwl[] = {CParam(PK_PWL, "pwl", ""), CParam()};
inline CParam m_param_test_none[] = {CParam()};

inline const SElemModel m_models_test[] = {
    {"R", MC_R, m_param_test_r, 0, 0, MF_TRACE_V | MF_TRACE_I | MF_TRACE_P},
    {"PWL", MC_PWL, m_param_test_pwl, 0, 1, MF_TRACE_V | MF_TRACE_I},
    {"File", MC_FILE, m_param_test_none, 0, 0, 0},
    {"SubCir", MC_SUBCIR, nullptr, 0, 0, 0},
    {}};
inline const SElemModel m_models_test_gate[] = {{"Logic", MC_LOGIC, nullptr, 0, 0, 0}, {}};
inline const SElemModel m_models_test_amp[] = {{"Linear", MC_LINEAR, nullptr, 0, 0, 0},
                                               {"OpAmp", MC_OPAMP, nullptr, 0, 0, 0},
                                               {"Comparator", MC_COMPARATOR, nullptr, 0, 0, 0},
                                               {}};

inline const CPin m_pins_test[3] = {};
// Three views of the same pins: PlusMinusView counts them.
inline const CPin* const m_views_test[] = {m_pins_test, m_pins_test, m_pins_test, nullptr};

class CTestElem : public CCmp {
 public:
  explicit CTestElem(const SElemType* type) : CCmp(type) {
    r_.SetVal(1.0);
    k_.SetEmpty();
    ++alive;
  }
  ~CTestElem() override { --alive; }

  CParam* GetParams() override {
    switch (Model()) {
      case MC_R: {
        CParam* p = m_param_test_r;
        p[0].BindFormula(&r_);
        p[1].BindFormula(&k_);
        p[2].BindChoice(&type_, m_test_choice_items);
        p[3].BindInt(&active_);
        p[4].BindInt(&cycle_);
        p[5].BindInt(&level_);
        p[6].BindText(&list_);
        p[7].BindText(&code_);
        p[8].BindFormula(&show_);
        return p;
      }
      case MC_PWL:
        m_param_test_pwl[0].BindText(&pwl_);
        return m_param_test_pwl;
      case MC_FILE:
        return m_param_test_none;
      default:
        return nullptr;
    }
  }

  // Stands in for a real class's serialisation: the common part's id and
  // name unless only the model part is asked for, then R and Active, and
  // the IC state only with ic.
  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override {
    if (!modelOnly) {
      SetId(node->AttributeInt("id", Id()));
      SetName(node->AttributeSafe("name", Name()));
    }
    node->SerializeFormula("r", r_);
    active_ = node->AttributeInt("a", active_);
    if (ic) level_ = node->AttributeInt("ic", level_);
    return true;
  }

  CVarList* GetVarList() override { return &vars_; }

  CFormula r_, k_, show_;
  int type_ = 0, active_ = 0, cycle_ = 0, level_ = 0;
  AnsiString list_, code_, pwl_;
  CVarList vars_;
  static inline int alive = 0;  // live instances: the collection must destroy what it owns
};

class CTestLabel : public CTestElem {
 public:
  using CTestElem::CTestElem;
  bool IsLabel() const override { return true; }
};

class CTestVariable : public CTestElem {
 public:
  using CTestElem::CTestElem;
  bool IsVariable() const override { return true; }
};

// A factory that always runs out of memory.
inline CCmp* CreateNothing(const SElemType*) { return nullptr; }

inline const SElemType m_elemtype_test_r[] = {
    {"R_R", 51, CreateCmpOf<CTestElem>, 2, m_views_test, m_models_test, 1, "Resistor", 0},
    {"R_Pot", 52, CreateCmpOf<CTestElem>, 3, nullptr, m_models_test, 0, "Potentiometer", 0},
    {"_R_R45", 55, CreateCmpOf<CTestElem>, 2, m_views_test, m_models_test, 2, "Resistor", 0},
    {}};
inline const SElemType m_elemtype_test_other[] = {
    {"C_C", 7, CreateCmpOf<CTestElem>, 2, nullptr, m_models_test, 1, "Capacitor", 0},
    {"X_CUSTOM", 88, CreateCmpOf<CTestElem>, 0, nullptr, m_models_test, 0, "Custom block", 0},
    {"Y_1", 92, CreateCmpOf<CTestElem>, 2, nullptr, m_models_test_gate, 0, "Gate", 0},
    {"Y_1_NOT", 111, CreateCmpOf<CTestElem>, 2, nullptr, m_models_test_gate, 0, "NOT-gate", 0},
    {"Y_2_AND", 93, CreateCmpOf<CTestElem>, 3, nullptr, m_models_test_gate, 0, "AND gate", 0},
    {"Y_2_NAND", 112, CreateCmpOf<CTestElem>, 3, nullptr, m_models_test_gate, 0, "NAND gate", 0},
    {"O_O", 41, CreateCmpOf<CTestElem>, 2, nullptr, m_models_test_amp, 0, "Amplifier", 0},
    {"O_O_COMP", 118, CreateCmpOf<CTestElem>, 2, nullptr, m_models_test_amp, 0, "Comparator", 0},
    {"Q_NOMEM", 200, CreateNothing, 2, nullptr, m_models_test, 0, "Out of memory", 0},
    {}};
// The label and variable are made directly, as AddLabel and AddVariable do.
inline const SElemType m_elemtype_test_label = {
    "label", 5, CreateCmpOf<CTestLabel>, 1, nullptr, m_models_test, 0, "Label", 0};
inline const SElemType m_elemtype_test_var = {
    "var", 4, CreateCmpOf<CTestVariable>, 0, nullptr, m_models_test, 0, "Variable", 0};

// The registry order of the test types. The arrays are given other class
// first, so the order comes from this list; Q_NOMEM is not listed and
// follows the listed ones.
inline const char* const m_test_order[] = {
    "R_R", "R_Pot", "_R_R45", "C_C", "X_CUSTOM", "Y_1", "Y_1_NOT", "Y_2_AND", "Y_2_NAND",
    "O_O", "O_O_COMP", nullptr};
inline const SElemType* const m_test_arrays[] = {m_elemtype_test_other, m_elemtype_test_r, nullptr};

// A collection filled from the test registry.
class CircuitTest : public ::testing::Test {
 protected:
  void SetUp() override { cmps_.SetElemSet(&set_); }

  CTestElem* Add(const char* type = "R_R") { return static_cast<CTestElem*>(cmps_.AddCmp(type)); }
  // A component of a type outside the registry, named and appended as the
  // document layer does.
  CTestElem* AddNamed(const SElemType& type, const char* name) {
    CTestElem* c = static_cast<CTestElem*>(type.create(&type));
    c->SetOwner(&cmps_);
    c->SetName(name);
    c->SetId(cmps_.GetNewCmpId());
    cmps_.Add(c);
    return c;
  }
  CTestElem* AddNamed(const char* name) { return AddNamed(m_elemtype_test_r[0], name); }
  // The names in collection order, joined by blanks.
  std::string Names() const {
    std::string s;
    for (int i = 0; i < cmps_.Count(); ++i) s += (i ? " " : "") + cmps_.GetAt(i)->Name().str();
    return s;
  }

  CElemSet set_{m_test_order, m_test_arrays};
  CCmps cmps_;
};
