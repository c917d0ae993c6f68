#include <gtest/gtest.h>
#include "engine/core/narray.h"
#include "engine/core/nmap.h"
TEST(Placeholder, Builds) { nArray<int> a; a.InsertLast(1); EXPECT_EQ(a.count, 1); }
