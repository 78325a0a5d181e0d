#pragma once

// The bundle's own GPU programs on the GPU test fixture: the validation
// layer on, and a test fails on any message it reports.

#include "tests/integration/gpu/GpuTest.h"
#include "tests/integration/shaders/PatternPass.h"

class ShaderTest : public GpuTest {
protected:
    ShaderTest() : GpuTest(KORLAN_FLOW_BUNDLE_PATH) {}
};
