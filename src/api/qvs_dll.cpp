// The exported functions. Each is the call frame (CallFrame.h) around
// argument checks and one forwarding call into the document.

#include "qvs_dll.h"

#include "api/CallFrame.h"

extern "C" {

QVS_API char* QVS_GetError(void) { return dll_error_text(); }

QVS_API char* QVS_GetInfo(void) {
  dll_set_error("Version 3.12.59.23, Date 04/24/2024");
  return dll_error_text();
}

}  // extern "C"
