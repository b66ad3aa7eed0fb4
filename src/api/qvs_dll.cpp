// The exported functions. Each is the call frame (CallFrame.h) around
// argument checks and one forwarding call into the document.

#include "qvs_dll.h"

#include <memory>

#include "api/CallFrame.h"
#include "base/AnsiString.h"
#include "doc/Doc.h"

extern "C" {

QVS_API char* QVS_GetError(void) { return dll_error_text(); }

QVS_API char* QVS_GetInfo(void) {
  dll_set_error("Version 3.12.59.23, Date 04/24/2024");
  return dll_error_text();
}

QVS_API int QVS_Open(char* name) {
  return RunCall("QVS_Open: ", [&] {
    if (name == nullptr) return Fail("NULL pointer");
    if (name[0] == '\0') return Fail("no file name");
    auto doc = std::make_unique<CDoc>();
    // A document that fails to open is destroyed here, before it ever
    // takes a handle.
    if (doc->OpenDLL(name) < 0) return -1;
    return dll_register_doc(doc.release());
  });
}

QVS_API int QVS_Close(int ncir) {
  return RunCall("QVS_Close: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    dll_close_doc(doc);
    return 0;
  });
}

QVS_API int QVS_Save(int ncir) {
  return RunCall("QVS_Save: ", [&] {
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    if (!doc->SaveDLLAs(doc->FileName()))
      return Fail(("cannot save file " + doc->FileName()).c_str());
    return 0;
  });
}

QVS_API int QVS_SaveAs(int ncir, char* name) {
  return RunCall("QVS_SaveAs: ", [&] {
    if (name == nullptr) return Fail("NULL pointer");
    if (name[0] == '\0') return Fail("no file name");
    CDoc* doc = dll_get_doc(ncir);
    if (doc == nullptr) return -1;
    if (!doc->SaveDLLAs(name)) return Fail((AnsiString("cannot save file ") + name).c_str());
    return 0;
  });
}

}  // extern "C"
