#include "tests/support/PixelStatistics.h"
#include "tests/integration/shaders/ShaderTestFixture.h"

#include <cmath>
#include <limits>

namespace {

constexpr std::uint32_t kWidth = 320;
constexpr std::uint32_t kHeight = 180;
constexpr float kSeed = 424242.0f;
constexpr float kFrame = 1.0f / 60.0f;
// Consecutive frames differ by about 0.1 to 0.25 levels on average at the
// fastest speed: motion, not flicker. Pictures meant to differ do so by 3.5
// to 10 levels.
constexpr double kFrameToFrameChange = 0.5;
constexpr double kDistinctPicture = 2.5;

class PatternProgram : public ShaderTest {
protected:
    void SetUp() override {
        ShaderTest::SetUp();
        if (!HasFatalFailure()) patternPipeline = newPipeline("flowVertex", "flowFragment");
    }
    // Before the device goes, so that the layer sees the pipeline destroyed.
    void TearDown() override {
        patternPipeline.reset();
        ShaderTest::TearDown();
    }

    Pixels renderPattern(const KORLANFlowUniforms& uniforms, std::uint32_t width = kWidth,
                         std::uint32_t height = kHeight) const {
        const auto pass = patternPass(patternPipeline, uniforms);
        return render(newTarget(width, height), std::span(&pass, 1));
    }
    Pixels renderAt(float time, float speed = 0.8f) const {
        return renderPattern(makeUniforms(kWidth, kHeight, time, kSeed, speed));
    }

    std::shared_ptr<gpu::RenderPipelineState> patternPipeline;
};

TEST_F(PatternProgram, CoversEveryPixelOpaquelyWithMoreThanTheBackground) {
    const auto pixels = renderAt(37.0f);
    ASSERT_FALSE(pixels.bytes.empty());
    const auto range = channelRange(pixels);
    EXPECT_EQ(range.lowestAlpha, 255);
    EXPECT_GT(shareAwayFromBackground(pixels, 6), 0.6);
    EXPECT_GT(range.highestColour - range.lowestColour, 50);
}

TEST_F(PatternProgram, EachInputGivesAnotherPicture) {
    const auto base = makeUniforms(kWidth, kHeight, 120.0f, kSeed);
    const auto reference = renderPattern(base);
    struct Case {
        const char* name;
        float KORLANFlowUniforms::*field;
        float value;
    };
    for (auto c : {Case{"seed", &KORLANFlowUniforms::seed, kSeed + 1.0f},
                   Case{"time", &KORLANFlowUniforms::time, 130.0f},
                   Case{"speed", &KORLANFlowUniforms::speed, 1.6f},
                   Case{"intensity", &KORLANFlowUniforms::intensity, 0.4f},
                   Case{"complexity", &KORLANFlowUniforms::complexity, 1.5f}}) {
        auto changed = base;
        changed.*c.field = c.value;
        EXPECT_GT(meanAbsoluteDifference(reference, renderPattern(changed)), kDistinctPicture) << c.name;
    }
}

TEST_F(PatternProgram, TheSameBlockGivesTheSameBytes) {
    const auto uniforms = makeUniforms(kWidth, kHeight, 901.5f, kSeed, 1.3f, 1.1f, 0.7f);
    const auto first = renderPattern(uniforms);
    ASSERT_FALSE(first.bytes.empty());
    EXPECT_EQ(first, renderPattern(uniforms));
}

TEST_F(PatternProgram, MovesOnlyALittleFromFrameToFrame) {
    for (float time : {0.0f, 1000.0f, kTimePeriod - 100.0f}) {
        EXPECT_LT(meanAbsoluteDifference(renderAt(time), renderAt(time + kFrame)), kFrameToFrameChange) << time;
    }
}

TEST_F(PatternProgram, RepeatsExactlyAfterOnePeriodAtAnySpeed) {
    for (float speed : {0.25f, 0.8f, 1.0f, 1.3f, 1.75f}) {
        EXPECT_EQ(renderAt(0.0f, speed), renderAt(kTimePeriod, speed)) << speed;
        EXPECT_EQ(renderAt(5.0f, speed), renderAt(kTimePeriod + 5.0f, speed)) << speed;
        // The clock wraps to 0 after its last frame: no jump there.
        EXPECT_LT(meanAbsoluteDifference(renderAt(kTimePeriod - kFrame, speed), renderAt(0.0f, speed)),
                  kFrameToFrameChange)
            << speed;
    }
}

// The renderer hands settings over unclamped; a bad value must neither hang
// the device nor leak into the colours (a NaN colour would store as black).
TEST_F(PatternProgram, AnyValueInTheBlockStillDrawsAnOpaquePattern) {
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    constexpr std::uint32_t kSmall = 64;
    const std::array fields{&KORLANFlowUniforms::width,     &KORLANFlowUniforms::height,
                            &KORLANFlowUniforms::time,      &KORLANFlowUniforms::speed,
                            &KORLANFlowUniforms::intensity, &KORLANFlowUniforms::complexity,
                            &KORLANFlowUniforms::seed,      &KORLANFlowUniforms::reserved};
    for (std::size_t f = 0; f < fields.size(); ++f) {
        for (float value : {kNaN, kInfinity, -kInfinity, 3.0e38f, -3.0e38f, 0.0f}) {
            auto uniforms = makeUniforms(kSmall, kSmall, 12.0f, kSeed);
            uniforms.*fields[f] = value;
            const auto pixels = renderPattern(uniforms, kSmall, kSmall);
            ASSERT_FALSE(pixels.bytes.empty()) << "field " << f << " = " << value;
            const auto range = channelRange(pixels);
            EXPECT_EQ(range.lowestAlpha, 255) << "field " << f << " = " << value;
            EXPECT_GE(range.lowestColour, 8) << "field " << f << " = " << value;
        }
    }
}

// A large display gets its pattern at reduced size, stretched by the
// composite: the picture must be the same, only softer.
TEST_F(PatternProgram, AReducedRenderStretchedOverTheTargetShowsTheSamePicture) {
    constexpr std::uint32_t kReducedWidth = kWidth / 2;
    constexpr std::uint32_t kReducedHeight = kHeight / 2;
    const auto full = renderPattern(makeUniforms(kWidth, kHeight, 77.0f, kSeed));

    const auto reduced = newTarget(kReducedWidth, kReducedHeight);
    const auto reducedPattern = patternPass(patternPipeline, makeUniforms(kReducedWidth, kReducedHeight, 77.0f, kSeed));
    ASSERT_FALSE(render(reduced, std::span(&reducedPattern, 1)).bytes.empty());

    const Pass composite{.pipeline = newPipeline("flowVertex", "flowCompositeFragment"),
                         .clearColor = kBackgroundClearColor,
                         .texture = reduced,
                         .sampler = newSampler(gpu::SamplerMinMagFilter::Linear)};
    const auto stretched = render(newTarget(kWidth, kHeight), std::span(&composite, 1));
    ASSERT_FALSE(stretched.bytes.empty());

    EXPECT_LT(meanAbsoluteDifference(downsample(full, 32, 18), downsample(stretched, 32, 18)), 1.0);
    // Clamped to the edge, the corners show the reduced texture's corners.
    const auto reducedPixels = readPixels(*reduced);
    for (int c = 0; c < 4; ++c) {
        EXPECT_NEAR(stretched.at(0, 0)[c], reducedPixels.at(0, 0)[c], 1) << c;
        EXPECT_NEAR(stretched.at(kWidth - 1, kHeight - 1)[c],
                    reducedPixels.at(kReducedWidth - 1, kReducedHeight - 1)[c], 1)
            << c;
    }
}

} // namespace
