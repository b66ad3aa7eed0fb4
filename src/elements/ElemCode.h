#pragma once
// Code component (X_C): a block programmed in the C-like script language.
// Its input pins set variables of the program, its output pins are driven
// by variables; the pins and their names come from the component's own
// custom type: one pin per name of its input list, one per name of its
// output list, then the clock pin when the type is clocked (the program
// then runs only at the clock's active edge). The program is kept in the component (model "C") or read
// from a file (model "File"). The variables keep their values from one
// evaluation to the next; their saved values form the initial condition.

#include "base/AnsiString.h"
#include "circuit/Cmp.h"
#include "expr/VarList.h"

class CElemCode : public CCmp {
 public:
  explicit CElemCode(const SElemType* type);

  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  CParam* GetParams() override;
  // The own type with inputs "x1,x2,x3", outputs "y1,y2,y3", no clock.
  // A component that has its own type already keeps it.
  void CreateCustom() override;
  // Counts inputs and outputs, takes the clock flag, and lays the pins out
  // from the lists. Nothing without an own type.
  void UpdateCustom() override;
  // The pin's name in the lists ("unnamed_in_2" for a missing one, "clk"
  // for the clock).
  AnsiString GetPinName(int pin) const override;
  // Every pin only carries a signal: inputs are read, outputs driven.
  int GetCmpPinType(int /*pin*/) const override { return 2; }

  int InputCount() const { return inputs_; }
  int OutputCount() const { return outputs_; }
  // The last pin is a clock.
  bool IsClocked() const { return clocked_; }
  // The program's variables: dotted names (U1.count) reach them.
  CVarList* GetVarList() override { return &vars_; }

  static const SElemType m_elemtype[];

 private:
  AnsiString code_;  // program text; for model "File" the text read from the file
  AnsiString file_;  // program file name, relative to the document or a library folder
  // Saved variable values: "name=value" assignments separated by ",".
  AnsiString ic_;
  CVarList vars_;  // entry 0 "t", then the program's globals and the pin variables
  // Set by UpdateCustom from the own type.
  int inputs_ = 0, outputs_ = 0;
  bool clocked_ = false;
};
