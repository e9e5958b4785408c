#include <gtest/gtest.h>
TEST(vo, placeholder_build) {}
