// A test fixture that brings the runtime up before each test and tears it
// down afterwards, so that every test starts from empty heaps and registries.
#pragma once

#include <gtest/gtest.h>

#include "runtime/lifecycle.h"

class RuntimeTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(runtime_start()); }
  void TearDown() override { runtime_stop(); }
};
