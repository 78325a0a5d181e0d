#include "tests/integration/shaders/ShaderTestFixture.h"

#include <fstream>
#include <sstream>

namespace {

using ProgramLibrary = ShaderTest;

TEST_F(ProgramLibrary, HoldsTheFiveProgramsByName) {
    for (const char* name : {"flowVertex", "flowFragment", "flowCompositeFragment", "logoVertex", "logoFragment"}) {
        EXPECT_TRUE(library_->newFunctionWithName(name)) << name;
    }
    EXPECT_FALSE(library_->newFunctionWithName("flowfragment"));
}

// The renderer wraps its clock at the period the programs assume; the two
// values live in two languages and must not drift apart.
TEST(ProgramSources, DeclareTheClockPeriodOfTheRenderer) {
    std::ifstream file(KORLAN_FLOW_SHADER_INCLUDE_DIR "/FlowTime.glsl");
    ASSERT_TRUE(file);
    std::stringstream text;
    text << file.rdbuf();
    const std::string source = text.str();
    const std::string declaration = "const float kTimePeriod = ";
    const auto position = source.find(declaration);
    ASSERT_NE(position, std::string::npos);
    EXPECT_EQ(std::stof(source.substr(position + declaration.size())), kTimePeriod);
}

} // namespace
