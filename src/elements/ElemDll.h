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
};
