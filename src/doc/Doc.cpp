#include "doc/Doc.h"

#include <string>

int CDoc::newDocCount = 0;

CDoc::CDoc() : doc_name_(AnsiString("qv") + std::to_string(++newDocCount)) {}

CDoc::~CDoc() = default;

void CDoc::clear_func_list() {
  for (SFuncCache& c : func_cache_) c = SFuncCache();
}
