#pragma once

// One software device per suite with the validation layer on; a test fails
// on any message the layer reports while it runs.

#include "tests/integration/shaders/ShaderHarness.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

class ShaderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { harness_ = ShaderHarness::create(KORLAN_FLOW_BUNDLE_PATH, true, &failure_); }
    static void TearDownTestSuite() { harness_.reset(); }

    void SetUp() override {
        ASSERT_TRUE(harness_) << failure_;
        takeValidationMessages();
    }
    void TearDown() override { EXPECT_THAT(takeValidationMessages(), ::testing::IsEmpty()); }

    static const ShaderHarness& harness() { return *harness_; }

private:
    static inline std::unique_ptr<ShaderHarness> harness_;
    static inline std::string failure_;
};
