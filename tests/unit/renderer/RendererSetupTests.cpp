#include "renderer/RendererErrors.h"
#include "tests/unit/renderer/RendererHarness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>

using testing_gpu::Fault;
using testing_gpu::makeDeviceError;

namespace {

void expectRendererError(const ErrorRef& error, long code, const char* message) {
    ASSERT_NE(error, nullptr) << "expected code " << code;
    EXPECT_EQ(error->domain(), "de.korlan.flow.Renderer");
    EXPECT_EQ(error->code(), code);
    EXPECT_EQ(error->localizedDescription(), message);
}

} // namespace

TEST(RendererErrors, EveryCodeCarriesItsGermanMessageInTheRendererDomain) {
    const std::vector<const char*> messages{
        "Metal-Gerät fehlt.",
        "Metal-Command-Queue konnte nicht angelegt werden.",
        "Kompilierte Metal-Shader fehlen.",
        "Eine erforderliche Metal-Funktion fehlt.",
        "Metal-Textursampler konnte nicht angelegt werden.",
        "KORLAN-Logo fehlt oder kann nicht gelesen werden.",
        "KORLAN-Logo konnte nicht rasterisiert werden.",
        "Reduzierte Musterebene konnte nicht angelegt werden.",
        "Metal-Renderencoder konnte nicht angelegt werden.",
        "Metal-Kompositencoder konnte nicht angelegt werden.",
        "Renderer ist nicht bereit.",
        "Prüftextur konnte nicht angelegt werden.",
        "Prüfbild konnte nicht erzeugt werden.",
        "Prüfbild konnte nicht als PNG kodiert werden.",
    };
    for (long code = 1; code <= 14; ++code) {
        ErrorRef error;
        reportRendererError(&error, static_cast<RendererErrorCode>(code));
        expectRendererError(error, code, messages[code - 1]);
    }
}

TEST(RendererSetup, AViewWithoutADeviceGivesCodeOne) {
    RendererHarness harness;
    const auto deviceless = view::MetalView::initWithFrame({{0, 0}, {100, 100}}, nullptr);
    ErrorRef error;
    EXPECT_EQ(KORLANFlowRenderer::initWithMetalView(deviceless, *harness.bundle.bundle(), &error), nullptr);
    expectRendererError(error, 1, "Metal-Gerät fehlt.");
    EXPECT_TRUE(harness.device->calls().empty());
}

TEST(RendererSetup, EachFailingStepEndsConstructionWithItsOwnError) {
    const auto platformError = makeDeviceError(-3, "compiler says no");
    struct Case {
        const char* what;
        std::function<void(testing_gpu::Failures&)> fail;
        long code; // 0: the platform's error passes through
    };
    const std::vector<Case> cases{
        {"no command queue", [](auto& f) { f.commandQueue = true; }, 2},
        {"no library, no platform error", [](auto& f) { f.defaultLibrary = Fault{}; }, 3},
        {"no library, a platform error", [&](auto& f) { f.defaultLibrary = Fault{platformError}; }, 0},
        {"logoFragment missing", [](auto& f) { f.missingFunctions = {"logoFragment"}; }, 4},
        {"all five missing",
         [](auto& f) {
             f.missingFunctions = {"flowVertex", "flowFragment", "flowCompositeFragment", "logoVertex", "logoFragment"};
         },
         4},
        {"pattern pipeline fails",
         [&](auto& f) { f.pipelineLabels["KORLAN Flow Pattern Pipeline"] = Fault{platformError}; }, 0},
        {"logo pipeline fails",
         [&](auto& f) { f.pipelineLabels["KORLAN Flow Logo Pipeline"] = Fault{platformError}; }, 0},
        {"no sampler", [](auto& f) { f.sampler = true; }, 5},
        {"texture loader fails", [&](auto& f) { f.textureLoad = Fault{platformError}; }, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RendererHarness harness;
        c.fail(harness.device->failures);
        ErrorRef error;
        EXPECT_EQ(harness.makeRenderer(&error), nullptr);
        if (c.code == 0) {
            EXPECT_EQ(error, platformError);
        } else {
            expectRendererError(error, c.code, RendererErrorMessage(static_cast<RendererErrorCode>(c.code)));
        }
        // Without an out-parameter the same failure still yields nothing.
        EXPECT_EQ(harness.makeRenderer(), nullptr);
    }
}

TEST(RendererSetup, PlatformStepsThatFailSilentlyLeaveTheErrorUnset) {
    for (const char* pipeline : {"KORLAN Flow Pattern Pipeline", "KORLAN Flow Composite Pipeline"}) {
        RendererHarness harness;
        harness.device->failures.pipelineLabels[pipeline] = Fault{};
        ErrorRef error;
        EXPECT_EQ(harness.makeRenderer(&error), nullptr);
        EXPECT_EQ(error, nullptr) << pipeline;
    }
    RendererHarness harness;
    harness.device->failures.textureLoader = true;
    ErrorRef error;
    EXPECT_EQ(harness.makeRenderer(&error), nullptr);
    EXPECT_EQ(error, nullptr);
}

TEST(RendererSetup, BuildsEverythingInOrderWithTheAgreedDescriptors) {
    RendererHarness harness;
    const auto renderer = harness.makeRenderer();
    ASSERT_NE(renderer, nullptr);
    EXPECT_EQ(harness.device->calls(), (std::vector<std::string>{
                                           "newCommandQueue",
                                           "newDefaultLibraryWithBundle",
                                           "newFunctionWithName:flowVertex",
                                           "newFunctionWithName:flowFragment",
                                           "newFunctionWithName:flowCompositeFragment",
                                           "newFunctionWithName:logoVertex",
                                           "newFunctionWithName:logoFragment",
                                           "newRenderPipelineStateWithDescriptor:KORLAN Flow Pattern Pipeline",
                                           "newRenderPipelineStateWithDescriptor:KORLAN Flow Composite Pipeline",
                                           "newRenderPipelineStateWithDescriptor:KORLAN Flow Logo Pipeline",
                                           "newSamplerStateWithDescriptor:KORLAN Flow Linear Logo Sampler",
                                           "newTextureLoader",
                                           "newTextureWithImage",
                                       }));
    EXPECT_EQ(renderer->commandQueue()->label(), "KORLAN Flow Render Queue");
    EXPECT_EQ(harness.device->libraryBundlePaths(), std::vector<std::filesystem::path>{harness.bundle.path()});

    const auto pipelines = harness.device->pipelineDescriptors();
    ASSERT_EQ(pipelines.size(), 3u);
    const std::vector<std::pair<std::string, std::string>> functions{
        {"flowVertex", "flowFragment"}, {"flowVertex", "flowCompositeFragment"}, {"logoVertex", "logoFragment"}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(pipelines[i].vertexFunction->name(), functions[i].first);
        EXPECT_EQ(pipelines[i].fragmentFunction->name(), functions[i].second);
        EXPECT_EQ(pipelines[i].colorAttachments[0].pixelFormat, gpu::PixelFormat::BGRA8Unorm);
        EXPECT_EQ(pipelines[i].colorAttachments[0].blendingEnabled, i == 2);
    }
    const auto& logo = pipelines[2].colorAttachments[0];
    EXPECT_EQ(logo.rgbBlendOperation, gpu::BlendOperation::Add);
    EXPECT_EQ(logo.alphaBlendOperation, gpu::BlendOperation::Add);
    EXPECT_EQ(logo.sourceRGBBlendFactor, gpu::BlendFactor::SourceAlpha);
    EXPECT_EQ(logo.destinationRGBBlendFactor, gpu::BlendFactor::OneMinusSourceAlpha);
    EXPECT_EQ(logo.sourceAlphaBlendFactor, gpu::BlendFactor::One);
    EXPECT_EQ(logo.destinationAlphaBlendFactor, gpu::BlendFactor::OneMinusSourceAlpha);

    const auto samplers = harness.device->samplerDescriptors();
    ASSERT_EQ(samplers.size(), 1u);
    EXPECT_EQ(samplers[0].minFilter, gpu::SamplerMinMagFilter::Linear);
    EXPECT_EQ(samplers[0].magFilter, gpu::SamplerMinMagFilter::Linear);
    EXPECT_EQ(samplers[0].sAddressMode, gpu::SamplerAddressMode::ClampToEdge);
    EXPECT_EQ(samplers[0].tAddressMode, gpu::SamplerAddressMode::ClampToEdge);
}

TEST(RendererSetup, StartsReadyAndStoppedWithTheDefaultsAndTheViewsMetrics) {
    RendererHarness harness({1440.0, 900.0}, 2.0);
    auto renderer = harness.makeRenderer();
    ASSERT_NE(renderer, nullptr);
    EXPECT_TRUE(renderer->isReady());
    EXPECT_FALSE(renderer->running());
    EXPECT_FALSE(renderer->hasLastTimestamp());
    EXPECT_EQ(renderer->frameCount(), 0u);
    EXPECT_EQ(renderer->presentedFrameCount(), 0u);
    EXPECT_EQ(renderer->elapsedTime(), 0.0f);
    EXPECT_EQ(renderer->lastError(), nullptr);
    EXPECT_EQ(renderer->reducedPatternTexture(), nullptr);
    const auto configuration = renderer->configuration();
    EXPECT_EQ(configuration.speed, 0.8f);
    EXPECT_EQ(configuration.intensity, 0.88f);
    EXPECT_EQ(configuration.complexity, 1.0f);
    EXPECT_EQ(renderer->drawableSize().width, 2880.0);
    EXPECT_EQ(renderer->drawableSize().height, 1800.0);
    EXPECT_EQ(renderer->logicalWidth(), 1440.0f);
    EXPECT_EQ(renderer->logicalHeight(), 900.0f);
    EXPECT_EQ(renderer->metalView(), harness.view);
    // The view is not the renderer's to keep alive.
    harness.view.reset();
    EXPECT_EQ(renderer->metalView(), nullptr);
}

TEST(RendererSetup, EachRendererDrawsAWholeSeedOfItsOwn) {
    RendererHarness harness;
    std::set<float> seeds;
    for (int i = 0; i < 20; ++i) {
        const float seed = harness.makeRenderer()->randomSeed();
        EXPECT_GE(seed, 1.0f);
        EXPECT_LE(seed, 1000000.0f);
        EXPECT_EQ(seed, std::floor(seed));
        seeds.insert(seed);
    }
    // Twenty draws from a million collide with a chance of about 2e-4.
    EXPECT_GE(seeds.size(), 19u);
}
