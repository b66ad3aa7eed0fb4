#include "elements/PolyCoeffs.h"

#include <cstring>

#include "circuit/Param.h"
#include "doc/xml.h"

namespace {

CParam Coef(const char* name) { return CParam(PK_FORMULA, name, ""); }
CParam IC() { return CParam(PK_FUNC_NAME, "IC", ""); }

}  // namespace

CParam m_param_poly1[] = {Coef("b0"), Coef("b1"), Coef("a0"), Coef("a1"), IC(), CParam()};
CParam m_param_poly2[] = {Coef("b0"), Coef("b1"), Coef("b2"), Coef("a0"),
                          Coef("a1"), Coef("a2"), IC(),       CParam()};
CParam m_param_poly3[] = {Coef("b0"), Coef("b1"), Coef("b2"), Coef("b3"), Coef("a0"),
                          Coef("a1"), Coef("a2"), Coef("a3"), IC(),       CParam()};
CParam m_param_poly4[] = {Coef("b0"), Coef("b1"), Coef("b2"), Coef("b3"),
                          Coef("b4"), Coef("a0"), Coef("a1"), Coef("a2"),
                          Coef("a3"), Coef("a4"), IC(),       CParam()};
CParam m_param_poly5[] = {Coef("b0"), Coef("b1"), Coef("b2"), Coef("b3"), Coef("b4"),
                          Coef("b5"), Coef("a0"), Coef("a1"), Coef("a2"), Coef("a3"),
                          Coef("a4"), Coef("a5"), IC(),       CParam()};
// The z-domain blocks keep no initial condition: the same lists without it.
CParam m_param_poly1_noic[] = {Coef("b0"), Coef("b1"), Coef("a0"), Coef("a1"), CParam()};
CParam m_param_poly2_noic[] = {Coef("b0"), Coef("b1"), Coef("b2"), Coef("a0"),
                               Coef("a1"), Coef("a2"), CParam()};
CParam m_param_poly3_noic[] = {Coef("b0"), Coef("b1"), Coef("b2"), Coef("b3"),
                               Coef("a0"), Coef("a1"), Coef("a2"), Coef("a3"), CParam()};
CParam m_param_poly4_noic[] = {Coef("b0"), Coef("b1"), Coef("b2"), Coef("b3"), Coef("b4"),
                               Coef("a0"), Coef("a1"), Coef("a2"), Coef("a3"), Coef("a4"),
                               CParam()};
CParam m_param_poly5_noic[] = {Coef("b0"), Coef("b1"), Coef("b2"), Coef("b3"),
                               Coef("b4"), Coef("b5"), Coef("a0"), Coef("a1"),
                               Coef("a2"), Coef("a3"), Coef("a4"), Coef("a5"), CParam()};

namespace {

CParam* const m_param_poly[5] = {m_param_poly1, m_param_poly2, m_param_poly3, m_param_poly4,
                                 m_param_poly5};
CParam* const m_param_poly_noic[5] = {m_param_poly1_noic, m_param_poly2_noic,
                                      m_param_poly3_noic, m_param_poly4_noic,
                                      m_param_poly5_noic};

const char* const kB[6] = {"b0", "b1", "b2", "b3", "b4", "b5"};
const char* const kA[6] = {"a0", "a1", "a2", "a3", "a4", "a5"};

}  // namespace

CParam m_param_roots[] = {CParam(PK_FORMULA, "K", ""), CParam(PK_ROOTS, "Roots", ""), IC(),
                          CParam()};

CParam* PolyParamList(int order, bool withIC) {
  if (order < 1 || order > 5) return nullptr;
  return withIC ? m_param_poly[order - 1] : m_param_poly_noic[order - 1];
}

SPolyCoeffs::SPolyCoeffs() : roots("0,1,-1,0") {
  b[0].SetVal(1.0);
  a[0].SetVal(1.0);
  k.SetVal(1.0);
}

CParam* SPolyCoeffs::Bind(CParam* list, AnsiString* function) {
  if (list == nullptr) return nullptr;
  for (CParam* p = list; p->Name() != nullptr; ++p) {
    const char* name = p->Name();
    if (p->Kind() == PK_FUNCTION) {
      p->BindText(function);
    } else if (std::strcmp(name, "K") == 0) {
      p->BindFormula(&k);
    } else if (std::strcmp(name, "Roots") == 0) {
      p->BindText(&roots);
    } else if (std::strcmp(name, "IC") == 0) {
      p->BindText(&ic);
    } else if ((name[0] == 'a' || name[0] == 'b') && name[1] >= '0' && name[1] <= '5') {
      CFormula* coeffs = name[0] == 'a' ? a : b;
      p->BindFormula(&coeffs[name[1] - '0']);
    }
  }
  return list;
}

void SPolyCoeffs::Serialize(CXMLNode* node, AnsiString& function, bool withIC) {
  function = node->AttributeSafe("f", function);
  for (int i = 0; i < 6; ++i) node->SerializeFormula(kB[i], b[i]);
  for (int i = 0; i < 6; ++i) node->SerializeFormula(kA[i], a[i]);
  node->SerializeFormula("k", k);
  roots = node->Attribute("roots", roots);
  if (withIC) ic = node->AttributeSafe("ic", ic);
}
