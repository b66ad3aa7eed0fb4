#include "elements/PWL.h"

#include <new>
#include <string>

#include "circuit/Cmp.h"
#include "doc/xml.h"

CPWL::CPWL(CCmp* owner, const AnsiString& text) : text(text), owner_(owner) {}

void CPWL::ClearPWL() {
  last_text = AnsiString();
  breakpoints.clear();
  slopes.clear();
  offsets.clear();
  first_zone = 0;
}

void CPWL::SerializePWL(CXMLNode* node, const char* name) {
  const std::string n(name);
  text = node->Attribute(n.c_str(), text);
  file = node->AttributeSafe((n + "f").c_str(), file);
  mode = node->AttributeInt((n + "m").c_str(), mode);
}

void CPWL::SetCaptions(const char* x, const char* y, const char* t, const char* t2) {
  x_caption = x;
  y_caption = y;
  title = t;
  title2 = t2;
}

CPWL* CPWL::Of(CCmp* cmp) {
  if (cmp->Pwl() == nullptr) {
    CPWL* pwl = new (std::nothrow) CPWL(cmp);
    if (pwl == nullptr) return nullptr;
    cmp->SetPwl(pwl, Destroy);
  }
  return cmp->Pwl();
}

void CPWL::Destroy(CPWL* pwl) { delete pwl; }
