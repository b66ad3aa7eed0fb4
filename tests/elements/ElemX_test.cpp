// Custom blocks X_*: registry rows, and a block keeps its pins and model
// "SubCir" through a document round trip.

#include "elements/ElemX.h"

#include "elements/ElemAttrCheck.h"

TEST(ElemX, RegistryRows) {
  const std::pair<const char*, const char*> rows[] = {
      {"X_B2", "X_B2 83 2 Block-2|SubCir(10,0,1)"},
      {"X_B3", "X_B3 84 3 Block-3|SubCir(10,0,1)"},
      {"X_B4", "X_B4 85 4 Block-4|SubCir(10,0,1)"},
      {"X_B6", "X_B6 86 6 Block-6|SubCir(10,0,1)"},
      {"X_B8", "X_B8 87 8 Block-8|SubCir(10,0,1)"},
      {"X_CUSTOM", "X_CUSTOM 88 0 Custom block|SubCir(10,0,1)"},
      {"X_QVS", "X_QVS 89 0 QVS circuit|SubCir(10,0,1)"},
  };
  for (const auto& [key, row] : rows) EXPECT_EQ(row, RegistryRow(key)) << key;
}

TEST(ElemX, BlockRoundTripsWithItsPinsAndModel) {
  auto c = NewOf("X_B3");
  ASSERT_EQ(3, c->PinCount());
  EXPECT_EQ(MC_SUBCIR, c->Model());
  EXPECT_EQ("File Pin1 Pin2 Pin3 Cmd IC", ParamNames(*c, MC_SUBCIR));  // the subcircuit's
  auto copy = RoundTrip(*c, true);
  EXPECT_EQ(3, copy->PinCount());
  EXPECT_EQ(MC_SUBCIR, copy->Model());
}
