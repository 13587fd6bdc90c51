#include <gtest/gtest.h>
#include "odbcaccs/OdbcAccs.h"
TEST(Smoke, NewObject) { jov::OdbcAccs a; EXPECT_EQ(a.IsOpenOk(), 0); }
