#include "Source/Vorn_shared.h"

#include <gtest/gtest.h>

TEST(VornShared, Builds) { SUCCEED(); }
