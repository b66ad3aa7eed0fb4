#include "circuit/Cmp.h"
#include "circuit/Cmps.h"

void CCmps::SaveCmpsIC() {
  for (int i = 0; i < Count(); ++i) {
    CCmp* cmp = GetAt(i);
    if (!cmp->IsDisabled()) cmp->SaveIC(true);
  }
}
