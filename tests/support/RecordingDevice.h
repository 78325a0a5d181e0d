#pragma once

// A gpu::Device for unit tests: it records every creation and every command
// for exact checks, can be made to fail any creation, and completes
// committed work only when the test says so.

#include "platform/gpu/Device.h"
#include "tests/support/RecordingCommands.h"
#include "tests/support/RecordingDrawables.h"
#include "tests/support/RecordingResources.h"

#include <cstddef>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace testing_gpu {

inline constexpr const char* kRecordingErrorDomain = "RecordingDevice";

// An error as the platform would hand one back, in a domain of its own.
foundation::ErrorRef makeDeviceError(long code, std::string description = "Simulated device failure");

// A creation set to fail, handing back `error` where the operation can hand
// one back; a null error makes it fail silently.
struct Fault {
    foundation::ErrorRef error;
};

// What the device is set to fail. Set it before the code under test runs.
struct Failures {
    bool commandQueue = false;
    std::optional<Fault> defaultLibrary;
    // Names the library does not have.
    std::set<std::string> missingFunctions;
    // Pipelines that fail to build, by descriptor label.
    std::map<std::string, Fault> pipelineLabels;
    bool sampler = false;
    // Every newTextureWithDescriptor fails, or only the one with this
    // 0-based number among the device's calls (textureRequests()).
    bool textures = false;
    std::optional<std::size_t> textureAt;
    bool textureLoader = false;
    std::optional<Fault> textureLoad;
    bool commandBuffer = false;
    // The encoder request with this 0-based number among the device's
    // requests (renderEncoderRequests()) yields nothing.
    std::optional<std::size_t> renderEncoderAt;
    // Every drawable source of the device yields no drawable.
    bool drawable = false;
    // Buffers that complete because someone waits for them end with this
    // error, their drawables dropped: a lost device.
    foundation::ErrorRef execution;
};

struct TextureCreation {
    gpu::TextureDescriptor descriptor;
    bool created = false;
    std::weak_ptr<RecordingTexture> texture{};
};

struct TextureLoad {
    gpu::TextureLoaderOptions options;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::size_t bytesPerRow = 0;
    std::vector<std::uint8_t> pixels{};
};

class RecordingDevice final : public gpu::Device, public std::enable_shared_from_this<RecordingDevice> {
public:
    Failures failures;
    // Given to the next texture that newTextureWithDescriptor makes (see
    // RecordingTexture::setContents), then cleared.
    std::vector<std::uint8_t> nextTextureContents;

    std::string name() const override { return "Recording Device"; }
    std::shared_ptr<gpu::CommandQueue> newCommandQueue() override;
    std::shared_ptr<gpu::Library> newDefaultLibraryWithBundle(const foundation::Bundle& bundle,
                                                              foundation::ErrorRef* error = nullptr) override;
    std::shared_ptr<gpu::RenderPipelineState> newRenderPipelineStateWithDescriptor(
        const gpu::RenderPipelineDescriptor& descriptor, foundation::ErrorRef* error = nullptr) override;
    std::shared_ptr<gpu::SamplerState> newSamplerStateWithDescriptor(const gpu::SamplerDescriptor& descriptor) override;
    // Also null, as on a real device, for an invalid format or an empty size.
    std::shared_ptr<gpu::Texture> newTextureWithDescriptor(const gpu::TextureDescriptor& descriptor) override;
    std::shared_ptr<gpu::TextureLoader> newTextureLoader() override;
    std::shared_ptr<gpu::DrawableSource> newOffscreenDrawableSource(gpu::PixelFormat pixelFormat, std::uint64_t width,
                                                                    std::uint64_t height) override;
    // Like an offscreen source: the recording device shows nothing.
    std::shared_ptr<gpu::WindowDrawableSource> newWindowDrawableSource(const gpu::NativeWindow& window,
                                                                       gpu::PixelFormat pixelFormat, std::uint64_t width,
                                                                       std::uint64_t height) override;

    // Device calls and library look-ups in order: "newCommandQueue",
    // "newDefaultLibraryWithBundle", "newFunctionWithName:flowVertex",
    // "newRenderPipelineStateWithDescriptor:<label>",
    // "newSamplerStateWithDescriptor:<label>", "newTextureWithDescriptor",
    // "newTextureLoader", "newTextureWithImage", "newOffscreenDrawableSource",
    // "newWindowDrawableSource".
    std::vector<std::string> calls() const;
    std::vector<std::filesystem::path> libraryBundlePaths() const;
    std::vector<gpu::RenderPipelineDescriptor> pipelineDescriptors() const;
    std::vector<gpu::SamplerDescriptor> samplerDescriptors() const;
    std::vector<TextureCreation> textureCreations() const;
    std::vector<TextureLoad> textureLoads() const;
    std::vector<std::shared_ptr<RecordingDrawableSource>> drawableSources() const;
    DrawableCounts drawableCounts() const;

    // The command stream of every buffer of the device, in call order.
    std::vector<Command> commands() const;
    std::vector<CommandKind> commandKinds() const { return kindsOf(commands()); }
    std::vector<RecordedPass> passes() const { return passesOf(commands()); }

    // Numbers that failure switches count with; clearRecording keeps them.
    std::size_t textureRequests() const;
    std::size_t renderEncoderRequests() const;

    // Forgets what was recorded (and lets go of what the records hold).
    void clearRecording();

    // Completes every pending buffer in commit order, on the calling thread.
    void completeAll(const Completion& completion = {});
    // Completes the oldest pending buffer; false when none is pending.
    bool completeNext(const Completion& completion = {});
    // Committed buffers that have not completed yet.
    std::size_t pendingCommandBuffers() const;

private:
    friend class RecordingCommandQueue;
    friend class RecordingCommandBuffer;
    friend class RecordingLibrary;
    friend class RecordingTextureLoader;

    void recordCall(std::string call);
    void record(Command command);
    std::shared_ptr<RecordingCommandBuffer> makeCommandBuffer();
    std::optional<std::size_t> takeRenderEncoderNumber();
    std::shared_ptr<RecordingDrawableSource> makeDrawableSource(const char* call, gpu::PixelFormat pixelFormat,
                                                                std::uint64_t width, std::uint64_t height);
    std::shared_ptr<gpu::Function> functionWithName(const std::string& name);
    std::shared_ptr<gpu::Texture> loadTexture(const gpu::CPUImage& image, const gpu::TextureLoaderOptions& options,
                                              foundation::ErrorRef* error);
    void enqueue(std::shared_ptr<RecordingCommandBuffer> buffer);
    // Takes pending buffers off the queue for completion: the oldest ones up
    // to and including `last` (none when it is not pending), or all of them.
    std::vector<std::shared_ptr<RecordingCommandBuffer>> takePendingThrough(const RecordingCommandBuffer* last);
    std::vector<std::shared_ptr<RecordingCommandBuffer>> takePendingAll();
    bool takePending(const RecordingCommandBuffer* buffer);

    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
    std::vector<std::filesystem::path> libraryBundlePaths_;
    std::vector<gpu::RenderPipelineDescriptor> pipelineDescriptors_;
    std::vector<gpu::SamplerDescriptor> samplerDescriptors_;
    std::vector<TextureCreation> textureCreations_;
    std::vector<TextureLoad> textureLoads_;
    std::vector<std::shared_ptr<RecordingDrawableSource>> drawableSources_;
    std::vector<Command> commands_;
    std::size_t textureRequests_ = 0;
    std::size_t commandBuffersMade_ = 0;
    std::size_t renderEncoderRequests_ = 0;
    std::deque<std::shared_ptr<RecordingCommandBuffer>> pending_;
};

} // namespace testing_gpu
