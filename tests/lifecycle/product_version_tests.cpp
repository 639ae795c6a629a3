// The product's version as Active Setup compares it with each user's stamp.
#include <gtest/gtest.h>

#include "lifecycle/product_version.h"

namespace {

TEST(ProductVersion, ActiveSetupReadsItNumberByNumber) {
    EXPECT_EQ(ActiveSetupVersion(g_nSetupVersion), "2025,10,30");
    EXPECT_EQ(ActiveSetupVersion(20260105), "2026,1,5");
}

}  // namespace
