#include "traces/Traces.h"

// Traces carry their names and sample storage in CTrace and CData, which the
// trace code brings together with the code that fills traces_. Until then
// the collection is always empty and every look-up finds nothing.

bool CTraces::GetTraceNamedValue(const AnsiString& /*name*/, bool /*ac*/,
                                 SNumber* /*value*/) const {
  return false;
}

bool CTraces::GetTraceDataValue(int /*n*/, int /*set*/, double /*x*/, SNumber* /*value*/,
                                AnsiString* /*name*/) const {
  return false;
}
