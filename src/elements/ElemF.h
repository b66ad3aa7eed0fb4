#pragma once
// Function components: one output voltage computed from input voltages by
// a formula, a fixed operation, a one- or two-dimensional table, or, for
// Y_BUS, logic inputs read as a binary number. Pins: the inputs, then the
// output, then the clock of the clocked types (F_1C, F_2C), whose view 1
// makes the falling clock edge the active one. F_CUSTOM and Y_BUS choose
// their inputs per component (their own type): F_CUSTOM one input per name
// of the type's input list (the names are the formula's variables), then
// the output, then a clock pin "clk" when the type is clocked; Y_BUS as
// many logic inputs "b1", "b2" ... (b1 the most significant bit) as its
// type has pins but one, then the output.

#include <vector>

#include "base/AnsiString.h"
#include "circuit/Cmp.h"
#include "expr/Formula.h"
#include "expr/VarList.h"

class CElemF : public CCmp {
 public:
  explicit CElemF(const SElemType* type);

  CParam* GetParams() override;
  // After the common part: the texts "f", "x", "y" and "table" (Safe), the
  // formulas "k", "res", "pwr", "max", "min", the Int "format"; with ic
  // also the formula "ic".
  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  // F_CUSTOM: the own type with inputs "x1,x2,x3", unclocked; Y_BUS: the
  // own type with four inputs. A component with its own type keeps it.
  void CreateCustom() override;
  // F_CUSTOM: lays the pins out from the input list and the clock flag;
  // Y_BUS: keeps the own type's pin count and names the inputs. Pins move
  // with a new count, so every pin is named anew; the output is unnamed.
  void UpdateCustom() override;
  // The custom types' pin names; "" for the others.
  AnsiString GetPinName(int pin) const override;

  static const SElemType m_elemtype[];
  // Number formats of the bus: unsigned, two's complement.
  static const char* const m_bus_format_text[];

  // F_2 and F_2C: inputs x and y.
  bool IsTwoInput() const;
  // F_1C, F_2C, and F_CUSTOM with a clocked type: the output changes only
  // at the active clock edge.
  bool IsClocked() const;
  bool IsCustom() const { return TypeId() == 26 || TypeId() == 105; }
  // The input pins: 1 or 2 for the fixed types, the own type's for the
  // custom ones (0 without it).
  int InputCount() const;

  AnsiString f_;      // Function: formula of t and the inputs
  AnsiString x_;      // Table, two inputs: abscissas along x, comma separated
  AnsiString y_;      // Table, two inputs: ordinates along y
  AnsiString table_;  // Table: x,y pairs (one input) or the grid row by row
  CFormula k_;        // output scale, V/V
  CFormula res_;      // V, quantiser step of "Int"; <= 0: none
  CFormula pwr_;      // exponent of "Pwr" with one input
  CFormula max_;      // V, upper limit of "Lim"
  CFormula min_;      // V, lower limit of "Lim"
  CFormula ic_;       // V, output before the first computation
  int format_ = 0;    // Bus: index into m_bus_format_text

  // Run-time state.
  double output_ = 0.0;  // V, present output
  int clock_state_ = 0;  // clocked types: last accepted clock level
  CVarList vars_;        // "t", then one double per input
  // Parsed table: one input, the points (x, y); two inputs, the axes and
  // the grid, value for x[i], y[j] at j * nx + i.
  std::vector<double> table_x_, table_y_, table_z_;
};
