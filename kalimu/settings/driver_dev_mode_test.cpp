#include "kalimu/settings/dev_mode_accessor.h"

#include <gtest/gtest.h>

TEST(DriverDevMode, Placeholder) { EXPECT_EQ(sizeof(kalimu::DriverDevMode), 1048u); }
