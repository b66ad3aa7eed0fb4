#include "api/CallFrame.h"

#include <cstring>
#include <memory>

#include "base/Lists.h"
#include "doc/Doc.h"

namespace {
char g_error[kErrorTextSize] = "OK";
int g_handle_counter = 0;
// Created at the first registration; never freed (the documents in it are
// freed by their Close). Its absence is what "no circuit" means.
TList* g_doc_list = nullptr;

// The running call's "FN: " prefix, not yet written: a call that succeeds
// (the common case, e.g. a host reading thousands of points) then never
// copies it. It is written out before the first text a failure adds, when
// the call fails without a text, or when the text is read.
const char* g_prefix = nullptr;

void Append(const char* text) {
  const std::size_t used = std::strlen(g_error);
  const std::size_t room = kErrorTextSize - 1 - used;
  const std::size_t n = std::min(room, std::strlen(text));
  std::memcpy(g_error + used, text, n);
  g_error[used + n] = '\0';
}

void FlushPrefix() {
  if (g_prefix == nullptr) return;
  const char* prefix = g_prefix;
  g_prefix = nullptr;
  Append(prefix);
}

}  // namespace

char* dll_error_text() {
  FlushPrefix();
  return g_error;
}

void dll_set_error(const char* text) {
  g_error[0] = '\0';
  g_prefix = text;
}

void dll_add_error(const char* text) {
  FlushPrefix();
  if (text != nullptr) Append(text);
}

void dll_clear_error() {
  g_prefix = nullptr;
  std::strcpy(g_error, "OK");
}

int GetDLLHandle() { return g_handle_counter++; }

CDoc* dll_get_doc(int handle) {
  if (g_doc_list == nullptr) {
    dll_add_error("no circuit");
    return nullptr;
  }
  for (int i = 0; i < g_doc_list->Count(); ++i) {
    auto* doc = static_cast<CDoc*>(g_doc_list->Items(i));
    if (doc->Handle() == handle) return doc;
  }
  dll_add_error("wrong circuit handle");
  return nullptr;
}

int dll_register_doc(CDoc* doc) {
  std::unique_ptr<CDoc> owned(doc);
  if (g_doc_list == nullptr) g_doc_list = new TList;
  g_doc_list->Add(doc);  // may throw: then owned frees doc, no handle used
  owned.release();
  doc->SetHandle(GetDLLHandle());
  return doc->Handle();
}

void dll_close_doc(CDoc* doc) {
  if (g_doc_list != nullptr) g_doc_list->Remove(doc);
  delete doc;
}
