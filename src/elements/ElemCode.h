#pragma once
// Code component (X_C): a block programmed in the C-like script language.
// Its input pins set variables of the program, its output pins are driven
// by variables; the pins and their names come from the component's own
// custom type. The program is kept in the component (model "C") or read
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
  // The program's variables: dotted names (U1.count) reach them.
  CVarList* GetVarList() override { return &vars_; }

  static const SElemType m_elemtype[];

 private:
  AnsiString code_;  // program text; for model "File" the text read from the file
  AnsiString file_;  // program file name, relative to the document or a library folder
  // Saved variable values: "name=value" assignments separated by ",".
  AnsiString ic_;
  CVarList vars_;  // entry 0 "t", then the program's globals and the pin variables
};
