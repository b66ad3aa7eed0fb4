#pragma once
// The component collection of a document or of a subcircuit. For now it
// holds only the look-ups that formulas make by name; the circuit model
// fills the collection and brings the rest of its operations.

#include "base/AnsiString.h"
#include "base/Lists.h"

class CCmp;
struct SVar;

class CCmps {
 public:
  CCmps() = default;
  virtual ~CCmps() = default;
  CCmps(const CCmps&) = delete;
  CCmps& operator=(const CCmps&) = delete;

  int Count() const { return cmps_.Count(); }
  bool IsEmpty() const { return cmps_.Count() == 0; }
  CCmp* GetAt(int i) const { return static_cast<CCmp*>(cmps_.Items(i)); }

  // The look-ups below are virtual so that a tool or a test can answer
  // names without building components.

  // The first component whose name equals name ignoring case; null for an
  // empty name or when none has it.
  virtual CCmp* GetCmp(const AnsiString& name) const;
  // The value a formula reads for the parameter named component "."
  // parameter (R1.R; X1.R1.R inside subcircuit X1). False when there is no
  // such parameter.
  virtual bool GetCmpParamValue(const AnsiString& name, double* value) const;
  // The variable named component "." variable of a Code or function
  // component, for element access in formulas; null when none.
  virtual SVar* GetCmpVar(const AnsiString& name) const;

 private:
  TList cmps_;  // CCmp*, owned by the collection once the circuit model fills it
};
