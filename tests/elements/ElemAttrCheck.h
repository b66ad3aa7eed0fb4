#pragma once
// Helpers for the element-class tests of the library registry: a type's
// registry row as one text, a component stored into an element and loaded
// into a fresh component of the same type (through text, as a document
// file would carry it), and every parameter of every model as text.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "circuit/CirTools.h"
#include "circuit/Cmp.h"
#include "circuit/ElemSet.h"
#include "circuit/Param.h"
#include "doc/xml.h"
#include "engine/Calc.h"
#include "expr/Formula.h"

// A type record as one text: "key id pins description|Model(code,extra,flags)
// Model(...) ...", the description with its line break shown as "\n".
inline std::string TypeRow(const SElemType* t) {
  std::string descr;
  for (const char* c = t->description; c != nullptr && *c != '\0'; ++c)
    descr += *c == '\n' ? std::string("\\n") : std::string(1, *c);
  std::string row = std::string(t->name) + " " + std::to_string(t->id) + " " +
                    std::to_string(t->pins) + " " + descr + "|";
  for (const SElemModel* m = t->models; m != nullptr && m->name != nullptr; ++m)
    row += std::string(m == t->models ? "" : " ") + m->name + "(" + std::to_string(m->id) + "," +
           std::to_string(m->extra) + "," + std::to_string(m->flags) + ")";
  return row;
}
// The row of the registry's type key, or a marker when there is none.
inline std::string RegistryRow(const char* key) {
  const SElemType* t = ElemSet.GetElemType(key);
  return t == nullptr ? std::string("<no type ") + key + ">" : TypeRow(t);
}

// A new component of the registry type key, with no owner.
inline std::unique_ptr<CCmp> NewOf(const char* key) {
  return std::unique_ptr<CCmp>(ElemSet.NewCmp(key, nullptr));
}

// Sets a parameter of the given model by its editor text; the component
// keeps that model.
inline void SetParam(CCmp& c, int model, const char* name, const char* text) {
  c.SetModel(model);
  CParam* p = c.GetParameter(name);
  ASSERT_NE(nullptr, p) << c.Type()->name << " model " << model << " has no " << name;
  bool ok = true;
  EXPECT_EQ("", p->SetText(text, nullptr, ok, nullptr).str()) << name;
  EXPECT_TRUE(ok) << name;
}

// Each parameter of each model of the component's type, one per line:
// model "." name "=" GetText, and for formulas also their text. The model
// the component had is restored.
inline std::string AllParams(CCmp& c) {
  const int model = c.Model();
  std::string out;
  for (const SElemModel* m = c.Type()->models; m->name != nullptr; ++m) {
    c.SetModel(m->id);
    CParam* list = c.GetParamsList();
    for (CParam* p = list; p != nullptr && p->Name() != nullptr; ++p) {
      out += std::string(m->name) + "." + p->Name() + "=" + p->GetText().str();
      if (p->Kind() == PK_FORMULA) out += " [" + p->BoundFormula()->Text().str() + "]";
      out += "\n";
    }
  }
  c.SetModel(model);
  return out;
}

// Stores c into element "Cmp" (kept in stored when given), writes it to
// text, reads it back and loads it into a fresh component of c's type.
inline std::unique_ptr<CCmp> RoundTrip(CCmp& c, bool ic, CXMLNode* stored = nullptr) {
  CXMLNode own("Cmp");
  CXMLNode* node = stored != nullptr ? stored : &own;
  EXPECT_TRUE(c.SerializeCmp(node, false, ic));
  AnsiString text;
  node->WriteToString(text);
  CXMLNode loaded("Cmp");
  EXPECT_TRUE(loaded.ReadFromText(text, "Cmp"));
  std::unique_ptr<CCmp> copy = NewOf(c.Type()->name);
  EXPECT_TRUE(copy->SerializeCmp(&loaded, false, ic));
  EXPECT_EQ("", loaded.GetNodeError().str());
  return copy;
}

// The text of attribute name, or "<absent>".
inline std::string Attr(const CXMLNode& node, const char* name) {
  return node.AttributeExists(name) ? node.GetAttribute(name, "").str() : "<absent>";
}

// The names of the parameters of one model, joined by blanks; the
// component keeps that model.
inline std::string ParamNames(CCmp& c, int model) {
  c.SetModel(model);
  std::string out;
  for (CParam* p = c.GetParamsList(); p != nullptr && p->Name() != nullptr; ++p)
    out += std::string(out.empty() ? "" : " ") + p->Name();
  return out;
}

// The floating-node group code of each pin, one digit per pin: pins with
// the same code are joined by what conducts inside the component.
inline std::string PinGroups(CCmp& c) {
  std::string s;
  EXPECT_TRUE(c.CalcFunc(nullptr, CM_FLOATING, 0.0));
  for (int p = 0; p < c.PinCount(); ++p) s += std::to_string(c.Nodes()[c.PinCount() + p]);
  return s;
}

// Runs one editing command on c with the given fields of its request.
inline void Tool(CCmp& c, int command, int sub, bool flag = false, double value = 0.0,
                 double value2 = 0.0) {
  SCirTools t{command, sub, flag, value, value2};
  c.CirTools(&t);
}

// Turns c to or from its 45-degree drawing variant (mode CM_TO45 or
// CM_FROM45); the type it has then, as "name id".
inline std::string Turn(CCmp& c, int mode) {
  EXPECT_TRUE(c.CalcFunc(nullptr, mode, 0.0));
  return std::string(c.Type()->name) + " " + std::to_string(c.TypeId());
}
