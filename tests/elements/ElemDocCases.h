#pragma once
// A table-driven check of an element class's document attributes: each
// case sets one parameter by its editor text and names the attribute that
// must carry it. The component is stored with and without the initial
// conditions and loaded into a fresh one.

#include <vector>

#include "elements/ElemAttrCheck.h"

struct SAttrCase {
  int model;           // the model whose parameter list holds the parameter
  const char* param;   // parameter name
  const char* text;    // editor text set
  const char* attr;    // attribute that stores it
  const char* stored;  // the attribute's text
  bool ic_only;        // written only with the initial conditions
};

// The text of one parameter of one model; the component keeps that model.
inline std::string ParamText(CCmp& c, int model, const char* name) {
  c.SetModel(model);
  CParam* p = c.GetParameter(name);
  return p != nullptr ? p->GetText().str() : std::string("<no ") + name + ">";
}

// Sets every case on a new component of type key (the last case's model
// stays selected), then: stored with initial conditions, every attribute
// reads as the case says and the loaded copy has every parameter and the
// model as set; stored without them, the initial-condition attributes are
// absent and load as a new component's, the rest as set.
inline void CheckDocumentCases(const char* key, const std::vector<SAttrCase>& cases) {
  SCOPED_TRACE(key);
  auto c = NewOf(key);
  ASSERT_NE(nullptr, c);
  for (const SAttrCase& k : cases) SetParam(*c, k.model, k.param, k.text);
  const int model = c->Model();

  CXMLNode with_ic("Cmp");
  auto copy = RoundTrip(*c, true, &with_ic);
  EXPECT_EQ(model, copy->Model());
  EXPECT_EQ(AllParams(*c), AllParams(*copy));
  for (const SAttrCase& k : cases) EXPECT_EQ(k.stored, Attr(with_ic, k.attr)) << k.attr;

  CXMLNode without_ic("Cmp");
  auto partial = RoundTrip(*c, false, &without_ic);
  auto fresh = NewOf(key);
  for (const SAttrCase& k : cases) {
    if (k.ic_only) {
      EXPECT_EQ("<absent>", Attr(without_ic, k.attr)) << k.attr;
      EXPECT_EQ(ParamText(*fresh, k.model, k.param), ParamText(*partial, k.model, k.param))
          << k.param;
    } else {
      EXPECT_EQ(ParamText(*c, k.model, k.param), ParamText(*partial, k.model, k.param))
          << k.param;
    }
  }
}
