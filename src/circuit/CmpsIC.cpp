#include "circuit/Cmp.h"
#include "circuit/Cmps.h"
#include "doc/Doc.h"

void CCmps::SaveCmpsIC(CDoc* doc) {
  for (int i = 0; i < Count(); ++i) {
    CCmp* cmp = GetAt(i);
    if (cmp->IsDisabled()) continue;
    cmp->SaveIC(true);
    if (doc != nullptr && !cmp->GroupName().IsEmpty() && cmp->GroupIC()) doc->UpdateGroup(cmp);
  }
}
