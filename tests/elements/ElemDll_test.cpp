// DLL component X_DLL: registry row, parameters and document attributes.

#include "elements/ElemDll.h"

#include "elements/ElemDocCases.h"

TEST(ElemDll, RegistryRowAndParameters) {
  EXPECT_EQ("X_DLL 91 0 DLL|DLL(50,0,0)", RegistryRow("X_DLL"));
  auto c = NewOf("X_DLL");
  EXPECT_EQ("DLL Init Main Pause Exit IC", ParamNames(*c, MC_DLL));
  EXPECT_EQ(PK_DLL, c->GetParameter("DLL")->Kind());
  EXPECT_EQ(PK_FUNC_NAME, c->GetParameter("Main")->Kind());
  EXPECT_EQ(PK_IC_TEXT, c->GetParameter("IC")->Kind());
  // A library written to the calling contract needs no renaming.
  for (const char* n : {"Init", "Main", "Pause", "Exit"}) EXPECT_EQ(n, ParamText(*c, MC_DLL, n));
}

TEST(ElemDll, DocumentAttributes) {
  CheckDocumentCases("X_DLL", {{MC_DLL, "DLL", "lib/my model.so", "dll", "lib%2fmy+model.so", false},
                               {MC_DLL, "Init", "start", "dll_init", "start", false},
                               {MC_DLL, "Main", "step", "dll_code", "step", false},
                               {MC_DLL, "Pause", "hold", "dll_pause", "hold", false},
                               {MC_DLL, "Exit", "stop", "dll_exit", "stop", false},
                               {MC_DLL, "IC", "y1=2.5", "ic", "y1%3d2.5", true}});
}
