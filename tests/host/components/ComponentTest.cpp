#include "host/components/Component.h"

#include <gtest/gtest.h>

using namespace vorn;

TEST(Component, placeholder) { EXPECT_EQ(TComponent(nullptr).ComponentCount(), 0); }
