#include "shaders/KORLANFlowShaderTypes.h"
#include "tests/unit/renderer/RendererHarness.h"

#include <gtest/gtest.h>

#include <array>

using testing_gpu::CommandKind;
using testing_gpu::Fault;

namespace {

class SceneEncoding : public ::testing::Test {
protected:
    explicit SceneEncoding(view::Size points = {1440.0, 900.0}) : harness(points) {}
    void SetUp() override {
        renderer = harness.makeRenderer();
        ASSERT_NE(renderer, nullptr);
        harness.device->clearRecording();
    }

    bool encode(std::uint64_t width, std::uint64_t height, ErrorRef* error = nullptr) {
        target = renderTarget(width, height);
        return renderer->encodeSceneToTexture(target, renderer->commandQueue()->commandBuffer(), error);
    }
    KORLANFlowUniforms uniforms() const {
        const auto bytes = testing_gpu::commandsOfKind(harness.device->commands(), CommandKind::SetFragmentBytes);
        return bytes.empty() ? KORLANFlowUniforms{} : bytes.front().bytesAs<KORLANFlowUniforms>();
    }

    RendererHarness harness;
    std::shared_ptr<KORLANFlowRenderer> renderer;
    std::shared_ptr<gpu::Texture> target;
};

void expectClearingPass(const testing_gpu::RecordedPass& pass, const std::shared_ptr<gpu::Texture>& texture) {
    const auto& attachment = pass.descriptor.colorAttachments[0];
    EXPECT_EQ(attachment.texture, texture);
    EXPECT_EQ(attachment.loadAction, gpu::LoadAction::Clear);
    EXPECT_EQ(attachment.storeAction, gpu::StoreAction::Store);
    EXPECT_EQ(attachment.clearColor.red, 15.0 / 255.0);
    EXPECT_EQ(attachment.clearColor.green, 18.0 / 255.0);
    EXPECT_EQ(attachment.clearColor.blue, 22.0 / 255.0);
    EXPECT_EQ(attachment.clearColor.alpha, 1.0);
    EXPECT_TRUE(pass.ended);
}

} // namespace

TEST_F(SceneEncoding, ReducesLargeTargetsToThePixelBudget) {
    struct Case {
        std::uint64_t width, height, reducedWidth, reducedHeight; // 0: not reduced
    };
    for (const Case c : {Case{2048, 2048, 0, 0}, Case{2560, 1600, 0, 0}, Case{2049, 2048, 2048, 2048},
                         Case{3840, 2160, 2731, 1536}, Case{5120, 2880, 2731, 1536}, Case{2880, 1800, 2591, 1619}}) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        RendererHarness fresh;
        renderer = fresh.makeRenderer();
        harness.device = fresh.device;
        ASSERT_TRUE(encode(c.width, c.height));
        const auto passes = fresh.device->passes();
        if (c.reducedWidth == 0) {
            EXPECT_EQ(renderer->reducedPatternTexture(), nullptr);
            EXPECT_EQ(passes.size(), 1u);
            EXPECT_EQ(uniforms().width, float(c.width));
            EXPECT_EQ(uniforms().height, float(c.height));
            continue;
        }
        const auto reduced = renderer->reducedPatternTexture();
        ASSERT_NE(reduced, nullptr);
        EXPECT_EQ(reduced->width(), c.reducedWidth);
        EXPECT_EQ(reduced->height(), c.reducedHeight);
        EXPECT_EQ(reduced->pixelFormat(), gpu::PixelFormat::BGRA8Unorm);
        EXPECT_EQ(reduced->usage(), 5u);
        EXPECT_EQ(reduced->storageMode(), gpu::StorageMode::Private);
        EXPECT_EQ(reduced->label(), "KORLAN Flow Reduced Pattern");
        EXPECT_EQ(passes.size(), 2u);
        EXPECT_EQ(uniforms().width, float(c.reducedWidth));
        EXPECT_EQ(uniforms().height, float(c.reducedHeight));
    }
}

TEST_F(SceneEncoding, MakesTheReducedTextureOnlyWhenItsSizeChanges) {
    const auto texturesMade = [&] { return harness.device->textureCreations().size(); };
    ASSERT_TRUE(encode(3840, 2160));
    const auto first = renderer->reducedPatternTexture();
    ASSERT_TRUE(encode(3840, 2160));
    ASSERT_TRUE(encode(5120, 2880)); // the same reduced size
    EXPECT_EQ(texturesMade(), 1u);
    EXPECT_EQ(renderer->reducedPatternTexture(), first);

    ASSERT_TRUE(encode(2880, 1800));
    EXPECT_EQ(texturesMade(), 2u);
    const auto second = renderer->reducedPatternTexture();
    EXPECT_NE(second, first);

    harness.device->clearRecording();
    ASSERT_TRUE(encode(1280, 720));
    EXPECT_EQ(renderer->reducedPatternTexture(), second);
    for (const auto& command : harness.device->commands()) EXPECT_NE(command.texture, second);
}

TEST_F(SceneEncoding, DrawsPatternAndLogoInOnePassWithinTheBudget) {
    renderer->applyConfiguration({1.75f, 0.35f, 1.55f});
    renderer->setElapsedTime(12.5f);
    ASSERT_TRUE(encode(1440, 900));
    const auto passes = harness.device->passes();
    ASSERT_EQ(passes.size(), 1u);
    expectClearingPass(passes[0], target);
    EXPECT_EQ(passes[0].label, "KORLAN Flow Scene");
    EXPECT_EQ(testing_gpu::kindsOf(passes[0].commands),
              (std::vector<CommandKind>{CommandKind::SetEncoderLabel, CommandKind::SetPipeline,
                                        CommandKind::SetVertexBytes, CommandKind::SetFragmentBytes, CommandKind::Draw,
                                        CommandKind::SetPipeline, CommandKind::SetVertexBytes,
                                        CommandKind::SetFragmentTexture, CommandKind::SetFragmentSampler,
                                        CommandKind::Draw, CommandKind::EndEncoding}));
    const auto& c = passes[0].commands;
    EXPECT_EQ(c[1].pipeline, renderer->flowPipeline());
    // Both stages of the pattern get the same block.
    EXPECT_EQ(c[2].index, 0u);
    EXPECT_EQ(c[3].index, 0u);
    EXPECT_EQ(c[2].bytes, c[3].bytes);
    EXPECT_EQ(c[4].vertexStart, 0u);
    EXPECT_EQ(c[4].vertexCount, 3u);
    EXPECT_EQ(c[5].pipeline, renderer->logoPipeline());
    EXPECT_EQ(c[6].bytes.size(), 96u);
    EXPECT_EQ(c[7].texture, renderer->logoTexture());
    EXPECT_EQ(c[8].sampler, renderer->textureSampler());
    EXPECT_EQ(c[9].vertexCount, 6u);

    const auto block = c[3].bytesAs<KORLANFlowUniforms>();
    EXPECT_EQ(block.width, 1440.0f);
    EXPECT_EQ(block.height, 900.0f);
    EXPECT_EQ(block.time, 12.5f);
    EXPECT_EQ(block.speed, 1.75f);
    EXPECT_EQ(block.intensity, 0.35f);
    EXPECT_EQ(block.complexity, 1.55f);
    EXPECT_EQ(block.seed, renderer->randomSeed());
    EXPECT_EQ(block.reserved, 0.0f);
}

TEST_F(SceneEncoding, CompositesTheReducedPatternAndDrawsTheLogoAtNativeSize) {
    ASSERT_TRUE(encode(3840, 2160));
    const auto passes = harness.device->passes();
    ASSERT_EQ(passes.size(), 2u);
    expectClearingPass(passes[0], renderer->reducedPatternTexture());
    EXPECT_EQ(testing_gpu::kindsOf(passes[0].commands).back(), CommandKind::EndEncoding);
    expectClearingPass(passes[1], target);
    EXPECT_EQ(passes[1].label, "KORLAN Flow Native-Resolution Composite");
    const auto& c = passes[1].commands;
    ASSERT_GE(c.size(), 6u);
    EXPECT_EQ(c[1].pipeline, renderer->compositePipeline());
    EXPECT_EQ(c[2].texture, renderer->reducedPatternTexture());
    EXPECT_EQ(c[3].sampler, renderer->textureSampler());
    EXPECT_EQ(c[4].vertexCount, 3u);
    EXPECT_EQ(c[5].pipeline, renderer->logoPipeline());
    EXPECT_EQ(c.back().kind, CommandKind::EndEncoding);
}

TEST_F(SceneEncoding, WithoutALogoDrawsOnlyThePattern) {
    renderer->setLogoTexture(nullptr);
    ASSERT_TRUE(encode(640, 360));
    EXPECT_EQ(testing_gpu::commandsOfKind(harness.device->commands(), CommandKind::Draw).size(), 1u);
}

TEST(SceneEncodingLogo, PlacesTheLogoByTheViewsLogicalWidth) {
    struct Case {
        view::Size points;
        float x0, x1, y0, y1;
    };
    const float aspect = 5.4724174f;
    for (const Case c : {
             Case{{1440, 900}, -0.96666664f, (2 * (24 + 27 * aspect)) / 1440 - 1, 1 - 48.0f / 900, 1 - 102.0f / 900},
             Case{{720, 450}, 32.0f / 720 - 1, (2 * (16 + 24 * aspect)) / 720 - 1, 1 - 32.0f / 450, 1 - 80.0f / 450},
             Case{{360, 200}, 28.0f / 360 - 1, (2 * (14 + 21 * aspect)) / 360 - 1, 1 - 28.0f / 200, 1 - 70.0f / 200},
             Case{{100, 40}, 28.0f / 100 - 1, 1.0f, 1 - 28.0f / 40, -0.75f},
         }) {
        SCOPED_TRACE(std::to_string(c.points.width) + "x" + std::to_string(c.points.height));
        RendererHarness harness(c.points);
        const auto renderer = harness.makeRenderer();
        ASSERT_NE(renderer, nullptr);
        ASSERT_TRUE(renderer->encodeSceneToTexture(renderTarget(640, 360), renderer->commandQueue()->commandBuffer()));
        // The pattern's block first, then the logo's quad.
        const auto vertexBytes = testing_gpu::commandsOfKind(harness.device->commands(), CommandKind::SetVertexBytes);
        ASSERT_EQ(vertexBytes.size(), 2u);
        const auto quad = vertexBytes[1].bytesAs<std::array<KORLANFlowLogoVertex, 6>>();
        const std::array<KORLANFlowLogoVertex, 6> expected{{{c.x0, c.y0, 0, 0},
                                                            {c.x0, c.y1, 0, 1},
                                                            {c.x1, c.y0, 1, 0},
                                                            {c.x1, c.y0, 1, 0},
                                                            {c.x0, c.y1, 0, 1},
                                                            {c.x1, c.y1, 1, 1}}};
        for (std::size_t i = 0; i < 6; ++i) {
            EXPECT_FLOAT_EQ(quad[i].x, expected[i].x) << i;
            EXPECT_FLOAT_EQ(quad[i].y, expected[i].y) << i;
            EXPECT_EQ(quad[i].u, expected[i].u) << i;
            EXPECT_EQ(quad[i].v, expected[i].v) << i;
        }
    }
}

TEST_F(SceneEncoding, AReducedTextureThatCannotBeMadeFailsWithCodeEightAndIsDropped) {
    ASSERT_TRUE(encode(3840, 2160));
    harness.device->clearRecording();
    harness.device->failures.textures = true;
    ErrorRef error;
    EXPECT_FALSE(encode(2880, 1800, &error));
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->code(), 8);
    EXPECT_EQ(error->localizedDescription(), "Reduzierte Musterebene konnte nicht angelegt werden.");
    EXPECT_EQ(renderer->reducedPatternTexture(), nullptr);
    EXPECT_TRUE(harness.device->passes().empty());
    EXPECT_FALSE(encode(2880, 1800)); // no out-parameter: the same answer, nothing written
}

TEST_F(SceneEncoding, MissingEncodersFailWithCodesNineAndTen) {
    harness.device->failures.renderEncoderAt = 0;
    ErrorRef error;
    EXPECT_FALSE(encode(640, 360, &error));
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->code(), 9);
    EXPECT_EQ(error->localizedDescription(), "Metal-Renderencoder konnte nicht angelegt werden.");
    EXPECT_TRUE(harness.device->passes().empty());

    error.reset();
    EXPECT_FALSE(renderer->encodeSceneToTexture(renderTarget(640, 360), nullptr, &error));
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->code(), 9);

    harness.device->failures.renderEncoderAt = harness.device->renderEncoderRequests() + 1;
    error.reset();
    EXPECT_FALSE(encode(3840, 2160, &error));
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->code(), 10);
    EXPECT_EQ(error->localizedDescription(), "Metal-Kompositencoder konnte nicht angelegt werden.");
    // The pattern pass stays encoded, and ended, in the discarded buffer.
    const auto passes = harness.device->passes();
    ASSERT_EQ(passes.size(), 1u);
    EXPECT_TRUE(passes[0].ended);
    EXPECT_EQ(passes[0].descriptor.colorAttachments[0].texture, renderer->reducedPatternTexture());
}
