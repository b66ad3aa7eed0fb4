#include "base/globals.h"

AnsiString m_global_errstr;
