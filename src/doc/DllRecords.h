#pragma once
// The records a document keeps for the library's handle functions; each
// record carries the handle it was given.

#include "circuit/Param.h"

class CCmp;

// A parameter record: the descriptor and the binding it had when the record
// was made. Descriptors are shared by all components of one model, so the
// binding is put back before every use.
struct SDLLParam {
  int handle;
  CParam* param;
  CParam binding;
};

struct SDLLInput {
  int handle;
  CCmp* cmp;
};

struct SDLLOutput {
  int handle;
  CCmp* cmp;
  int type;  // the component's type id: what is measured
};

