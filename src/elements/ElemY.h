#pragma once
// Logic elements: buffer and inverter, two- and three-input AND, OR, XOR
// gates and their inverted forms, the custom gate (any number of inputs
// combined by one operation), the logical function (a formula of the
// inputs), the D flip-flop, SR and JK triggers and the Schmitt trigger.
// They read logic levels at their inputs and write logic levels at their
// outputs; an inverted output is view 1 of the plain gate (the inverted
// types are editor shortcuts for it). Models: "Logic" without delay,
// "Delay" with one delay for both edges, "Delay2" with separate delays up
// and down.
//
// The custom gate (Y_CUSTOM) and the logical function (Y_FUNCTION) own
// their type: its pin count is the number of inputs plus one, the inputs
// b1, b2 ... first and the output last. A clocked logical function (its
// type's clock flag) takes its last input as the clock.

#include "base/AnsiString.h"
#include "circuit/Cmp.h"
#include "expr/Formula.h"

class CElemY : public CCmp {
 public:
  explicit CElemY(const SElemType* type);

  CParam* GetParams() override;
  // After the common part: formulas "delay", "down", "hyst", the Int
  // "dominance", the texts "func" (Safe) and "custom_type" ("and", "or",
  // "xor"); with ic also the Int "ic".
  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  // Y_CUSTOM, Y_FUNCTION: the own type with two inputs and the output, the
  // logical function unclocked. A component with its own type keeps it.
  void CreateCustom() override;
  // Y_CUSTOM, Y_FUNCTION: keeps the own type's pin count and names the
  // inputs "b1", "b2" ...; the output is unnamed.
  void UpdateCustom() override;
  // The triggers' outputs "Q" and "-Q"; the inputs of the custom types
  // "b1", "b2" ...; "" otherwise.
  AnsiString GetPinName(int pin) const override;

  bool IsCustom() const { return TypeId() == 99 || TypeId() == 104; }
  // Custom types: the number of inputs (the pins but the output).
  int InputCount() const;
  // Y_FUNCTION whose type is clocked: evaluated at the clock's edges only.
  bool IsClocked() const;

  static const SElemType m_elemtype[];
  // What wins when set and reset are both active: nothing (both outputs
  // high), set, reset.
  static const char* const m_dom_text[];
  // The operation of the custom gate, also its document text.
  static const char* const m_custom_type_text[];

  CFormula delay_;  // s, delay of "Delay"; the up delay of "Delay2"
  CFormula down_;   // s, down delay of "Delay2"
  CFormula hyst_;   // V, Schmitt trigger hysteresis around the logic threshold
  int dominance_ = 0;    // SR and JK triggers: index into m_dom_text
  int ic_ = 0;           // initial output Q, 0 or 1
  AnsiString func_;      // logical function: formula of the inputs b1, b2 ...
  int custom_type_ = 0;  // custom gate: index into m_custom_type_text

  // Run-time state.
  int q_ = 0, nq_ = 1;          // present logic result Q and -Q
  int q_out_ = 0, nq_out_ = 1;  // delayed outputs written to the nodes
  double q_time_ = -999.0;      // s, pending change of Q; -999: none
  double nq_time_ = -999.0;     // s, pending change of -Q; -999: none
  int clock_ = -1;              // last clock level seen; -1: none yet
};
