#include "circuit/Cmps.h"

// Components carry their names, parameters and variables in CCmp, which the
// circuit model brings together with the code that fills cmps_. Until then
// the collection is always empty and every look-up finds nothing.

CCmp* CCmps::GetCmp(const AnsiString& /*name*/) const { return nullptr; }

bool CCmps::GetCmpParamValue(const AnsiString& /*name*/, double* /*value*/) const { return false; }

SVar* CCmps::GetCmpVar(const AnsiString& /*name*/) const { return nullptr; }
