#pragma once
// The frame every exported function runs in: the process-wide error text,
// the handle counter and the list of open documents.
//
// Error text protocol: a call first writes its own name and ": ", layers
// below append their reasons, and success replaces the whole text by "OK".
// The text lives in one 2,048-byte buffer; what does not fit is cut.

#include <exception>
#include <new>

class CDoc;

constexpr int kErrorTextSize = 2048;

// The buffer QVS_GetError hands out; "OK" when the library is loaded.
char* dll_error_text();
void dll_set_error(const char* text);
void dll_add_error(const char* text);
void dll_clear_error();

// The current value of the handle counter, which is then incremented. All
// handles (circuits, traces, parameters, inputs, outputs) come from here,
// so no two are equal within a process.
int GetDLLHandle();

// The open document with this circuit handle. Appends "no circuit" when no
// document was ever registered, "wrong circuit handle" when none has it.
CDoc* dll_get_doc(int handle);
// Gives doc the next handle and appends it to the list of open documents
// (created on first use); the list takes ownership. Returns the handle.
int dll_register_doc(CDoc* doc);
// Removes doc from the list and destroys it. The handle is never reused.
void dll_close_doc(CDoc* doc);

// Runs one exported call: "<fn>: " into the error text, then body. body
// returns its result (>= 0) or -1 after appending its reason. Anything
// thrown becomes -1 with a reason: an exception never reaches the host.
template <class Body>
int RunCall(const char* fn, Body&& body) noexcept {
  dll_set_error(fn);
  try {
    const int r = body();
    if (r < 0) {
      dll_add_error(nullptr);  // the prefix stands even without a text
      return -1;
    }
    dll_clear_error();
    return r;
  } catch (const std::bad_alloc&) {
    dll_add_error("out of memory");
  } catch (const std::exception& e) {
    dll_add_error(e.what());
  } catch (...) {
    dll_add_error("unknown error");
  }
  return -1;
}

// Appends why and returns -1, for one-line failures inside a call body.
inline int Fail(const char* why) {
  dll_add_error(why);
  return -1;
}
