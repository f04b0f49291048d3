#include "host/data/drivers/DatabaseError.h"

#include <gtest/gtest.h>

TEST(DatabaseError, CarriesItsMessage) {
    EXPECT_EQ(vorn::EDatabaseError("Table 'x' does not exist").Message(),
              "Table 'x' does not exist");
}
