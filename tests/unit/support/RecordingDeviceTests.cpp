#include "tests/support/RecordingDevice.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using namespace testing_gpu;

namespace {

std::shared_ptr<foundation::Bundle> builtBundle() { return foundation::Bundle::bundleWithPath(KORLAN_FLOW_BUNDLE_PATH); }

gpu::RenderPassDescriptor passInto(const std::shared_ptr<gpu::Texture>& target) {
    auto pass = gpu::RenderPassDescriptor::renderPassDescriptor();
    pass.colorAttachments[0].texture = target;
    pass.colorAttachments[0].loadAction = gpu::LoadAction::Clear;
    pass.colorAttachments[0].storeAction = gpu::StoreAction::Store;
    pass.colorAttachments[0].clearColor = {0.25, 0.5, 0.75, 1.0};
    return pass;
}

std::shared_ptr<gpu::Texture> renderTarget(RecordingDevice& device, std::uint64_t width = 4,
                                           std::uint64_t height = 2) {
    auto descriptor = gpu::TextureDescriptor::texture2DDescriptor(gpu::PixelFormat::BGRA8Unorm, width, height, false);
    descriptor.usage = gpu::TextureUsageShaderRead | gpu::TextureUsageRenderTarget;
    return device.newTextureWithDescriptor(descriptor);
}

gpu::RenderPipelineDescriptor pipelineLabelled(std::string label) {
    gpu::RenderPipelineDescriptor descriptor;
    descriptor.label = std::move(label);
    return descriptor;
}

struct Outcome {
    bool made;
    foundation::ErrorRef error;
};

template <class T>
Outcome made(const std::shared_ptr<T>& object, foundation::ErrorRef error = nullptr) {
    return {object != nullptr, std::move(error)};
}

} // namespace

TEST(RecordingDevice, EachCreationFailsOnItsOwnSwitchWithTheChosenErrorOrNone) {
    const auto bundle = builtBundle();
    ASSERT_NE(bundle, nullptr);
    const auto platformError = makeDeviceError(42, "compiler said no");
    const std::array<std::uint8_t, 4> pixel{1, 2, 3, 4};
    const gpu::CPUImage image{1, 1, 4, pixel.data()};
    struct Case {
        const char* name;
        std::function<void(Failures&)> arm;
        std::function<Outcome(RecordingDevice&)> create;
        foundation::ErrorRef expectedError{};
    };
    const auto libraryCall = [&](RecordingDevice& d) {
        foundation::ErrorRef error;
        const auto library = d.newDefaultLibraryWithBundle(*bundle, &error);
        return made(library, error);
    };
    const auto pipelineCall = [&](RecordingDevice& d) {
        foundation::ErrorRef error;
        const auto pipeline = d.newRenderPipelineStateWithDescriptor(pipelineLabelled("KORLAN Flow Logo Pipeline"), &error);
        return made(pipeline, error);
    };
    const auto textureLoadCall = [&](RecordingDevice& d) {
        foundation::ErrorRef error;
        const auto texture = d.newTextureLoader()->newTextureWithImage(image, {}, &error);
        return made(texture, error);
    };
    const auto textureCall = [&](RecordingDevice& d) { return made(renderTarget(d)); };
    const std::vector<Case> cases = {
        {"queue", [](Failures& f) { f.commandQueue = true; }, [&](RecordingDevice& d) { return made(d.newCommandQueue()); }},
        {"library with error", [&](Failures& f) { f.defaultLibrary = Fault{platformError}; }, libraryCall, platformError},
        {"library silently", [](Failures& f) { f.defaultLibrary = Fault{}; }, libraryCall},
        {"function by name", [](Failures& f) { f.missingFunctions = {"logoFragment"}; },
         [](RecordingDevice& d) { return made(d.newDefaultLibraryWithBundle(*builtBundle())->newFunctionWithName("logoFragment")); }},
        {"pipeline by label", [&](Failures& f) { f.pipelineLabels["KORLAN Flow Logo Pipeline"] = Fault{platformError}; },
         pipelineCall, platformError},
        {"sampler", [](Failures& f) { f.sampler = true; }, [](RecordingDevice& d) { return made(d.newSamplerStateWithDescriptor({})); }},
        {"every texture", [](Failures& f) { f.textures = true; }, textureCall},
        {"first texture", [](Failures& f) { f.textureAt = 0; }, textureCall},
        {"texture loader", [](Failures& f) { f.textureLoader = true; }, [](RecordingDevice& d) { return made(d.newTextureLoader()); }},
        {"texture load with error", [&](Failures& f) { f.textureLoad = Fault{platformError}; }, textureLoadCall, platformError},
        {"command buffer", [](Failures& f) { f.commandBuffer = true; },
         [](RecordingDevice& d) { return made(d.newCommandQueue()->commandBuffer()); }},
        {"drawable", [](Failures& f) { f.drawable = true; },
         [](RecordingDevice& d) { return made(d.newOffscreenDrawableSource(gpu::PixelFormat::BGRA8Unorm, 8, 8)->nextDrawable()); }},
    };
    for (const auto& c : cases) {
        const auto healthy = std::make_shared<RecordingDevice>();
        const auto before = c.create(*healthy);
        EXPECT_TRUE(before.made) << c.name;
        EXPECT_EQ(before.error, nullptr) << c.name;

        const auto failing = std::make_shared<RecordingDevice>();
        c.arm(failing->failures);
        const auto after = c.create(*failing);
        EXPECT_FALSE(after.made) << c.name;
        EXPECT_EQ(after.error, c.expectedError) << c.name;
    }
}

TEST(RecordingDevice, TextureFaultsCountDeviceWideAndInvalidDescriptorsFailAsOnARealDevice) {
    const auto device = std::make_shared<RecordingDevice>();
    device->failures.textureAt = 1;
    EXPECT_NE(renderTarget(*device), nullptr);
    EXPECT_EQ(renderTarget(*device), nullptr);
    EXPECT_NE(renderTarget(*device), nullptr);
    EXPECT_EQ(renderTarget(*device, 0, 2), nullptr);
    EXPECT_EQ(device->newTextureWithDescriptor(
                  gpu::TextureDescriptor::texture2DDescriptor(gpu::PixelFormat::Invalid, 4, 4, false)),
              nullptr);

    const auto creations = device->textureCreations();
    ASSERT_EQ(creations.size(), 5u);
    EXPECT_EQ(device->textureRequests(), 5u);
    EXPECT_EQ((std::vector<bool>{creations[0].created, creations[1].created, creations[2].created,
                                 creations[3].created, creations[4].created}),
              (std::vector<bool>{true, false, true, false, false}));
    EXPECT_EQ(creations[3].descriptor.width, 0u);
}

TEST(RecordingDevice, LogsCreationCallsInOrderWithCopiesOfWhatTheyWereGiven) {
    const auto device = std::make_shared<RecordingDevice>();
    const auto bundle = builtBundle();
    ASSERT_NE(bundle, nullptr);
    device->newCommandQueue();
    const auto library = device->newDefaultLibraryWithBundle(*bundle);
    auto pipeline = pipelineLabelled("KORLAN Flow Logo Pipeline");
    pipeline.vertexFunction = library->newFunctionWithName("logoVertex");
    pipeline.fragmentFunction = library->newFunctionWithName("logoFragment");
    pipeline.colorAttachments[0] = {.pixelFormat = gpu::PixelFormat::BGRA8Unorm,
                                    .blendingEnabled = true,
                                    .sourceRGBBlendFactor = gpu::BlendFactor::SourceAlpha,
                                    .destinationAlphaBlendFactor = gpu::BlendFactor::OneMinusSourceAlpha};
    device->newRenderPipelineStateWithDescriptor(pipeline);
    device->newSamplerStateWithDescriptor({.label = "KORLAN Flow Linear Logo Sampler"});
    std::vector<std::uint8_t> pixels{10, 20, 30, 40, 0, 0, 50, 60, 70, 80, 0, 0};
    device->newTextureLoader()->newTextureWithImage({1, 2, 6, pixels.data()},
                                                    {.SRGB = false, .origin = gpu::TextureLoaderOrigin::TopLeft});
    pixels.assign(pixels.size(), 0xFF);

    EXPECT_EQ(device->calls(), (std::vector<std::string>{
                                   "newCommandQueue", "newDefaultLibraryWithBundle", "newFunctionWithName:logoVertex",
                                   "newFunctionWithName:logoFragment",
                                   "newRenderPipelineStateWithDescriptor:KORLAN Flow Logo Pipeline",
                                   "newSamplerStateWithDescriptor:KORLAN Flow Linear Logo Sampler",
                                   "newTextureLoader", "newTextureWithImage"}));
    EXPECT_EQ(device->libraryBundlePaths(), std::vector{bundle->bundlePath()});
    const auto recorded = device->pipelineDescriptors().at(0);
    EXPECT_EQ(recorded.fragmentFunction->name(), "logoFragment");
    EXPECT_EQ(recorded.colorAttachments[0].sourceRGBBlendFactor, gpu::BlendFactor::SourceAlpha);
    EXPECT_EQ(recorded.colorAttachments[0].destinationAlphaBlendFactor, gpu::BlendFactor::OneMinusSourceAlpha);
    const auto load = device->textureLoads().at(0);
    EXPECT_FALSE(load.options.SRGB);
    EXPECT_EQ(load.pixels, (std::vector<std::uint8_t>{10, 20, 30, 40, 0, 0, 50, 60, 70, 80, 0, 0}));
}

TEST(RecordingDevice, RecordsPassesWithCopiedBytesAndFailsOnlyTheChosenEncoderRequest) {
    const auto device = std::make_shared<RecordingDevice>();
    const auto target = renderTarget(*device);
    const auto pipeline = device->newRenderPipelineStateWithDescriptor(pipelineLabelled("KORLAN Flow Pattern Pipeline"));
    device->failures.renderEncoderAt = device->renderEncoderRequests() + 1;
    const auto buffer = device->newCommandQueue()->commandBuffer();
    buffer->setLabel("KORLAN Flow Frame");

    const auto encoder = buffer->renderCommandEncoderWithDescriptor(passInto(target));
    ASSERT_NE(encoder, nullptr);
    encoder->setLabel("KORLAN Flow Scene");
    encoder->setRenderPipelineState(pipeline);
    std::array<float, 8> uniforms{640, 360, 0.5f, 1.75f, 0.35f, 1.55f, 7, 0};
    encoder->setFragmentBytes(uniforms.data(), sizeof uniforms, 0);
    uniforms.fill(0);
    encoder->drawPrimitives(gpu::PrimitiveType::Triangle, 0, 3);
    encoder->endEncoding();
    EXPECT_EQ(buffer->renderCommandEncoderWithDescriptor(passInto(target)), nullptr);
    EXPECT_NE(buffer->renderCommandEncoderWithDescriptor(passInto(target)), nullptr);
    EXPECT_EQ(buffer->renderCommandEncoderWithDescriptor(passInto(nullptr)), nullptr);
    EXPECT_EQ(device->renderEncoderRequests(), 4u);

    using K = CommandKind;
    EXPECT_EQ(device->commandKinds(), (std::vector<K>{K::SetCommandBufferLabel, K::BeginPass, K::SetEncoderLabel,
                                                      K::SetPipeline, K::SetFragmentBytes, K::Draw, K::EndEncoding,
                                                      K::BeginPass}));
    const auto passes = device->passes();
    ASSERT_EQ(passes.size(), 2u);
    EXPECT_EQ(passes[0].label, "KORLAN Flow Scene");
    EXPECT_TRUE(passes[0].ended);
    EXPECT_FALSE(passes[1].ended);
    EXPECT_EQ(passes[1].encoder, 2u);
    EXPECT_EQ(passes[0].descriptor.colorAttachments[0].texture, target);
    EXPECT_EQ(passes[0].descriptor.colorAttachments[0].clearColor.blue, 0.75);
    const auto bytes = commandsOfKind(passes[0].commands, K::SetFragmentBytes).at(0);
    EXPECT_EQ(bytes.bytesAs<decltype(uniforms)>()[3], 1.75f);
    EXPECT_EQ(commandsOfKind(passes[0].commands, K::SetPipeline).at(0).pipelineLabel(), "KORLAN Flow Pattern Pipeline");
    EXPECT_EQ(commandsOfKind(passes[0].commands, K::Draw).at(0).vertexCount, 3u);
}

TEST(RecordingDevice, CommittedBuffersCompleteOnlyWhenToldInCommitOrderOnTheCallersThread) {
    const auto device = std::make_shared<RecordingDevice>();
    const auto queue = device->newCommandQueue();
    const auto drawables = device->newOffscreenDrawableSource(gpu::PixelFormat::BGRA8Unorm, 8, 8);
    std::vector<std::string> events;
    std::vector<std::thread::id> threads;
    auto token = std::make_shared<int>(0);
    const std::weak_ptr<int> handlerCapture = token;
    for (const char* name : {"first", "second"}) {
        auto buffer = queue->commandBuffer();
        auto drawable = drawables->nextDrawable();
        drawable->addPresentedHandler([&events, name](const std::shared_ptr<gpu::Drawable>& shown) {
            events.push_back(std::string(name) + " presented at " + std::to_string(shown->presentedTime()));
        });
        buffer->presentDrawable(drawable);
        buffer->addCompletedHandler([&, name, token](const std::shared_ptr<gpu::CommandBuffer>& done) {
            events.push_back(std::string(name) + " completed" + (done->error() ? " with error" : ""));
            threads.push_back(std::this_thread::get_id());
        });
        buffer->commit();
        EXPECT_EQ(buffer->status(), gpu::CommandBufferStatus::Committed);
    }
    token.reset();
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(device->pendingCommandBuffers(), 2u);

    std::thread completer([&] {
        EXPECT_TRUE(device->completeNext({.error = makeDeviceError(5), .presentedTime = 0.0}));
        device->completeAll({.presentedTime = 2.5});
        EXPECT_FALSE(device->completeNext());
    });
    const auto completerId = completer.get_id();
    completer.join();

    EXPECT_EQ(events, (std::vector<std::string>{"first completed with error", "first presented at 0.000000",
                                                "second completed", "second presented at 2.500000"}));
    EXPECT_EQ(threads, (std::vector{completerId, completerId}));
    EXPECT_TRUE(handlerCapture.expired()) << "handlers must be released once they ran";
    EXPECT_EQ(device->drawableCounts(), (DrawableCounts{.requested = 2, .taken = 2, .returned = 0}));
}

TEST(RecordingDevice, WaitingCompletesEarlierBuffersFirstAndCanSimulateALostDevice) {
    const auto device = std::make_shared<RecordingDevice>();
    const auto queue = device->newCommandQueue();
    std::vector<std::string> completed;
    const auto drawables = device->newOffscreenDrawableSource(gpu::PixelFormat::BGRA8Unorm, 2, 2);
    const auto commitNamed = [&](const char* name, const std::shared_ptr<gpu::Drawable>& shown = nullptr) {
        auto buffer = queue->commandBuffer();
        if (shown) buffer->presentDrawable(shown);
        buffer->addCompletedHandler([&completed, name](const auto&) { completed.push_back(name); });
        buffer->commit();
        return std::static_pointer_cast<RecordingCommandBuffer>(buffer);
    };
    const auto frame = commitNamed("frame");
    const auto shownLater = drawables->nextDrawable();
    const auto later = commitNamed("later", shownLater);
    const auto idle = queue->commandBuffer();
    idle->waitUntilCompleted();
    EXPECT_EQ(idle->status(), gpu::CommandBufferStatus::NotEnqueued);

    const auto lost = makeDeviceError(-4, "device lost");
    device->failures.execution = lost;
    const auto droppedByTheLoss = drawables->nextDrawable();
    const auto drain = commitNamed("drain", droppedByTheLoss);
    later->complete();
    drain->waitUntilCompleted();

    EXPECT_EQ(completed, (std::vector<std::string>{"later", "frame", "drain"}));
    EXPECT_EQ(later->status(), gpu::CommandBufferStatus::Completed);
    EXPECT_EQ(frame->status(), gpu::CommandBufferStatus::Error);
    EXPECT_EQ(drain->status(), gpu::CommandBufferStatus::Error);
    EXPECT_EQ(drain->error(), lost);
    EXPECT_EQ(shownLater->presentedTime(), kDefaultPresentedTime);
    EXPECT_EQ(droppedByTheLoss->presentedTime(), 0.0);
    EXPECT_EQ(device->pendingCommandBuffers(), 0u);
    drain->waitUntilCompleted();
    EXPECT_EQ(completed.size(), 3u) << "a completed buffer completes only once";
}

TEST(RecordingDevice, DrawablesNotCommittedGoBackToTheirSource) {
    const auto device = std::make_shared<RecordingDevice>();
    const auto source = std::make_shared<RecordingDrawableSource>(gpu::PixelFormat::BGRA8Unorm, 16, 9);
    const auto queue = device->newCommandQueue();
    auto abandoned = std::static_pointer_cast<RecordingCommandBuffer>(queue->commandBuffer());
    const auto committed = queue->commandBuffer();
    {
        const auto first = source->nextDrawable();
        EXPECT_EQ(first->texture()->width(), 16u);
        EXPECT_TRUE(first->texture()->usage() & gpu::TextureUsageRenderTarget);
        abandoned->presentDrawable(first);
    }
    committed->presentDrawable(source->nextDrawable());
    committed->commit();
    source->returnsNull = true;
    EXPECT_EQ(source->nextDrawable(), nullptr);

    abandoned->complete();
    EXPECT_EQ(abandoned->status(), gpu::CommandBufferStatus::NotEnqueued) << "only committed buffers complete";
    abandoned.reset();
    device->completeAll();
    EXPECT_EQ(source->counts(), (DrawableCounts{.requested = 3, .taken = 2, .returned = 1}));
}

TEST(RecordingTexture, ReadsBackTheContentsPatternOverTheRegionAndRecordsTheCall) {
    const auto device = std::make_shared<RecordingDevice>();
    std::vector<std::uint8_t> contents(4 * 2 * kBytesPerPixel);
    for (std::size_t i = 0; i < contents.size(); ++i) contents[i] = static_cast<std::uint8_t>(i);
    device->nextTextureContents = contents;
    const auto texture = renderTarget(*device, 4, 2);
    EXPECT_TRUE(device->nextTextureContents.empty());

    std::vector<std::uint8_t> rows(2 * 12, 0xAA);
    texture->getBytes(rows.data(), 12, {{1, 0, 0}, {2, 2, 1}}, 0);
    EXPECT_EQ(rows, (std::vector<std::uint8_t>{4,  5,  6,  7,  8,  9,  10, 11, 0xAA, 0xAA, 0xAA, 0xAA,
                                               20, 21, 22, 23, 24, 25, 26, 27, 0xAA, 0xAA, 0xAA, 0xAA}));

    const auto recording = std::static_pointer_cast<RecordingTexture>(texture);
    recording->setContents({22, 18, 15, 255});
    std::vector<std::uint8_t> all(4 * 2 * kBytesPerPixel);
    texture->getBytes(all.data(), 16, {{0, 0, 0}, {4, 2, 1}}, 0);
    for (std::size_t i = 0; i < all.size(); i += kBytesPerPixel) {
        ASSERT_EQ(std::vector(all.begin() + i, all.begin() + i + 4), (std::vector<std::uint8_t>{22, 18, 15, 255}));
    }
    const auto readBacks = recording->readBacks();
    ASSERT_EQ(readBacks.size(), 2u);
    EXPECT_EQ(readBacks[0].bytesPerRow, 12u);
    EXPECT_EQ(readBacks[0].region.origin.x, 1u);
}

TEST(RecordingDevice, ReportsUsesARealBackendWouldRejectAsTestFailures) {
    const auto device = std::make_shared<RecordingDevice>();
    const auto target = renderTarget(*device);
    const auto buffer = device->newCommandQueue()->commandBuffer();
    const auto encoder = buffer->renderCommandEncoderWithDescriptor(passInto(target));
    const std::array<std::uint8_t, 97> tooMany{};
    EXPECT_NONFATAL_FAILURE(encoder->setVertexBytes(tooMany.data(), tooMany.size(), 0), "at most 96");
    EXPECT_NONFATAL_FAILURE(encoder->setFragmentBytes(tooMany.data(), 32, 1), "at index 1");
    EXPECT_NONFATAL_FAILURE(buffer->renderCommandEncoderWithDescriptor(passInto(target)), "still encoding");
    EXPECT_NONFATAL_FAILURE(buffer->commit(), "still encoding");
    encoder->endEncoding();
    EXPECT_NONFATAL_FAILURE(encoder->drawPrimitives(gpu::PrimitiveType::Triangle, 0, 3), "after endEncoding");
    EXPECT_NONFATAL_FAILURE(buffer->commit(), "committed twice");
    EXPECT_NONFATAL_FAILURE(buffer->renderCommandEncoderWithDescriptor(passInto(target)), "after commit");
    EXPECT_NONFATAL_FAILURE(buffer->presentDrawable(nullptr), "drawable of the recording device");
    EXPECT_NONFATAL_FAILURE(device->commands().at(0).bytesAs<std::uint32_t>(), "read as 4");
}

TEST(RecordingDevice, ObjectsThatOutliveTheirDeviceRecordNothingAndMakeNothing) {
    auto device = std::make_shared<RecordingDevice>();
    const auto queue = device->newCommandQueue();
    const auto library = device->newDefaultLibraryWithBundle(*builtBundle());
    const auto loader = device->newTextureLoader();
    const auto drawables = device->newOffscreenDrawableSource(gpu::PixelFormat::BGRA8Unorm, 2, 2);
    const auto buffer = queue->commandBuffer();
    const auto encoder = buffer->renderCommandEncoderWithDescriptor(passInto(renderTarget(*device)));
    device->clearRecording();
    encoder->endEncoding();
    EXPECT_EQ(device->commands().size(), 1u);
    EXPECT_TRUE(device->passes().empty()) << "a pass begun before the records were cleared is not a pass";
    buffer->commit();
    device.reset();

    EXPECT_EQ(queue->commandBuffer(), nullptr);
    EXPECT_EQ(buffer->renderCommandEncoderWithDescriptor({}), nullptr);
    EXPECT_EQ(library->newFunctionWithName("flowVertex"), nullptr);
    const std::array<std::uint8_t, 4> pixel{};
    EXPECT_EQ(loader->newTextureWithImage({1, 1, 4, pixel.data()}, {}), nullptr);
    EXPECT_NE(drawables->nextDrawable(), nullptr);
    buffer->waitUntilCompleted();
    EXPECT_EQ(buffer->status(), gpu::CommandBufferStatus::Committed);
}
