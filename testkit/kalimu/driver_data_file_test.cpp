// The driver data table renders its sections and keys in order.
#include "testkit/kalimu/driver_data_file.h"

#include <gtest/gtest.h>

namespace testkit {
namespace {

TEST(DriverDataTable, RendersSectionsInFirstUseOrderAndReplacesKeys) {
  DriverDataTable table{{"A", "x", "1"}, {"B", "y", "2"}};
  table.Set("A", "z", "3").Set("A", "x", "4").Remove("B", "y").Set("B", "w", "5");
  EXPECT_EQ(table.Render(), "[A]\r\nx=4\r\nz=3\r\n\r\n[B]\r\nw=5\r\n\r\n");
}

}  // namespace
}  // namespace testkit
