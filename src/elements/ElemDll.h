#pragma once
// DLL component (X_DLL): a block whose outputs a user-supplied shared
// library computes. Pins and variables are those of the component's own
// custom type (inputs, outputs and variables lists); the library exports
// up to four functions, called at simulation start (Init), at every
// evaluation (Main), on pause (Pause) and at the end (Exit).

#include "base/AnsiString.h"
#include "circuit/Cmp.h"
#include "expr/VarList.h"

class CElemDll : public CCmp {
 public:
  explicit CElemDll(const SElemType* type);

  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  CParam* GetParams() override;
  // The own type with inputs "x1,x2,x3", outputs "y1,y2,y3", no
  // variables, no clock. A component that has its own type keeps it.
  void CreateCustom() override;
  // Counts inputs, outputs and variables, takes the clock flag, and lays
  // the pins out from the lists. Nothing without an own type.
  void UpdateCustom() override;
  // The pin's name in the lists, without an initial value ("unnamed_in_2"
  // for a missing one, "clk" for the clock).
  AnsiString GetPinName(int pin) const override;
  // Every pin only carries a signal: inputs are read, outputs driven.
  int GetCmpPinType(int /*pin*/) const override { return 2; }

  int InputCount() const { return inputs_; }
  int OutputCount() const { return outputs_; }
  int VarCount() const { return var_count_; }
  bool IsClocked() const { return clocked_; }
  // Inputs, outputs and variables as double scalars, in that order.
  CVarList* GetVarList() override { return &vars_; }

  static const SElemType m_elemtype[];

 private:
  AnsiString dll_;  // library file name, relative to the document or a library folder
  // Exported function names; each is also looked up with a leading "_".
  AnsiString init_name_, main_name_, pause_name_, exit_name_;
  // Saved output and variable values: "name=value" separated by ",".
  AnsiString ic_;
  CVarList vars_;
  // Set by UpdateCustom from the own type.
  int inputs_ = 0, outputs_ = 0, var_count_ = 0;
  bool clocked_ = false;
};
