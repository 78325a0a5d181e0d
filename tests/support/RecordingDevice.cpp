#include "tests/support/RecordingDevice.h"

#include <algorithm>
#include <utility>

namespace testing_gpu {

foundation::ErrorRef makeDeviceError(long code, std::string description) {
    return foundation::makeError(kRecordingErrorDomain, code, std::move(description));
}

namespace {

// Fails as the fault says: the error goes out only when asked for.
template <class T>
std::shared_ptr<T> failWith(const Fault& fault, foundation::ErrorRef* error) {
    if (error && fault.error) *error = fault.error;
    return nullptr;
}

bool isValid(const gpu::TextureDescriptor& descriptor) {
    return descriptor.pixelFormat != gpu::PixelFormat::Invalid && descriptor.width > 0 && descriptor.height > 0;
}

} // namespace

std::shared_ptr<gpu::CommandQueue> RecordingDevice::newCommandQueue() {
    recordCall("newCommandQueue");
    if (failures.commandQueue) return nullptr;
    return std::make_shared<RecordingCommandQueue>(weak_from_this());
}

std::shared_ptr<gpu::Library> RecordingDevice::newDefaultLibraryWithBundle(const foundation::Bundle& bundle,
                                                                           foundation::ErrorRef* error) {
    recordCall("newDefaultLibraryWithBundle");
    {
        std::lock_guard lock(mutex_);
        libraryBundlePaths_.push_back(bundle.bundlePath());
    }
    if (failures.defaultLibrary) return failWith<gpu::Library>(*failures.defaultLibrary, error);
    return std::make_shared<RecordingLibrary>(weak_from_this());
}

std::shared_ptr<gpu::RenderPipelineState> RecordingDevice::newRenderPipelineStateWithDescriptor(
    const gpu::RenderPipelineDescriptor& descriptor, foundation::ErrorRef* error) {
    recordCall("newRenderPipelineStateWithDescriptor:" + descriptor.label);
    {
        std::lock_guard lock(mutex_);
        pipelineDescriptors_.push_back(descriptor);
    }
    const auto fault = failures.pipelineLabels.find(descriptor.label);
    if (fault != failures.pipelineLabels.end()) return failWith<gpu::RenderPipelineState>(fault->second, error);
    return std::make_shared<RecordingRenderPipelineState>(descriptor);
}

std::shared_ptr<gpu::SamplerState> RecordingDevice::newSamplerStateWithDescriptor(
    const gpu::SamplerDescriptor& descriptor) {
    recordCall("newSamplerStateWithDescriptor:" + descriptor.label);
    {
        std::lock_guard lock(mutex_);
        samplerDescriptors_.push_back(descriptor);
    }
    if (failures.sampler) return nullptr;
    return std::make_shared<RecordingSamplerState>(descriptor);
}

std::shared_ptr<gpu::Texture> RecordingDevice::newTextureWithDescriptor(const gpu::TextureDescriptor& descriptor) {
    recordCall("newTextureWithDescriptor");
    std::lock_guard lock(mutex_);
    const std::size_t number = textureRequests_++;
    TextureCreation creation{descriptor};
    const bool failed = failures.textures || failures.textureAt == number || !isValid(descriptor);
    std::shared_ptr<RecordingTexture> texture;
    if (!failed) {
        texture = std::make_shared<RecordingTexture>(descriptor, std::exchange(nextTextureContents, {}));
        creation.created = true;
        creation.texture = texture;
    }
    textureCreations_.push_back(std::move(creation));
    return texture;
}

std::shared_ptr<gpu::TextureLoader> RecordingDevice::newTextureLoader() {
    recordCall("newTextureLoader");
    if (failures.textureLoader) return nullptr;
    return std::make_shared<RecordingTextureLoader>(weak_from_this());
}

std::shared_ptr<gpu::DrawableSource> RecordingDevice::newOffscreenDrawableSource(gpu::PixelFormat pixelFormat,
                                                                                 std::uint64_t width,
                                                                                 std::uint64_t height) {
    return makeDrawableSource("newOffscreenDrawableSource", pixelFormat, width, height);
}

std::shared_ptr<gpu::WindowDrawableSource> RecordingDevice::newWindowDrawableSource(const gpu::NativeWindow&,
                                                                                    gpu::PixelFormat pixelFormat,
                                                                                    std::uint64_t width,
                                                                                    std::uint64_t height) {
    return makeDrawableSource("newWindowDrawableSource", pixelFormat, width, height);
}

std::shared_ptr<RecordingDrawableSource> RecordingDevice::makeDrawableSource(const char* call,
                                                                             gpu::PixelFormat pixelFormat,
                                                                             std::uint64_t width, std::uint64_t height) {
    recordCall(call);
    auto source = std::make_shared<RecordingDrawableSource>(pixelFormat, width, height, weak_from_this());
    std::lock_guard lock(mutex_);
    drawableSources_.push_back(source);
    return source;
}

std::shared_ptr<gpu::Function> RecordingDevice::functionWithName(const std::string& name) {
    recordCall("newFunctionWithName:" + name);
    if (failures.missingFunctions.contains(name)) return nullptr;
    return std::make_shared<RecordingFunction>(name);
}

std::shared_ptr<gpu::Texture> RecordingDevice::loadTexture(const gpu::CPUImage& image,
                                                           const gpu::TextureLoaderOptions& options,
                                                           foundation::ErrorRef* error) {
    recordCall("newTextureWithImage");
    TextureLoad load{options, image.width, image.height, image.bytesPerRow};
    if (image.pixels) load.pixels.assign(image.pixels, image.pixels + image.bytesPerRow * image.height);
    {
        std::lock_guard lock(mutex_);
        textureLoads_.push_back(std::move(load));
    }
    if (failures.textureLoad) return failWith<gpu::Texture>(*failures.textureLoad, error);
    auto descriptor = gpu::TextureDescriptor::texture2DDescriptor(
        options.SRGB ? gpu::PixelFormat::RGBA8Unorm_sRGB : gpu::PixelFormat::RGBA8Unorm, image.width, image.height,
        false);
    descriptor.usage = options.textureUsage;
    descriptor.storageMode = gpu::StorageMode::Private;
    return std::make_shared<RecordingTexture>(descriptor);
}

std::shared_ptr<RecordingCommandBuffer> RecordingDevice::makeCommandBuffer() {
    if (failures.commandBuffer) return nullptr;
    std::lock_guard lock(mutex_);
    return std::make_shared<RecordingCommandBuffer>(weak_from_this(), commandBuffersMade_++);
}

std::optional<std::size_t> RecordingDevice::takeRenderEncoderNumber() {
    std::lock_guard lock(mutex_);
    const std::size_t number = renderEncoderRequests_++;
    if (failures.renderEncoderAt == number) return std::nullopt;
    return number;
}

void RecordingDevice::recordCall(std::string call) {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
}

void RecordingDevice::record(Command command) {
    std::lock_guard lock(mutex_);
    commands_.push_back(std::move(command));
}

std::vector<std::string> RecordingDevice::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

std::vector<std::filesystem::path> RecordingDevice::libraryBundlePaths() const {
    std::lock_guard lock(mutex_);
    return libraryBundlePaths_;
}

std::vector<gpu::RenderPipelineDescriptor> RecordingDevice::pipelineDescriptors() const {
    std::lock_guard lock(mutex_);
    return pipelineDescriptors_;
}

std::vector<gpu::SamplerDescriptor> RecordingDevice::samplerDescriptors() const {
    std::lock_guard lock(mutex_);
    return samplerDescriptors_;
}

std::vector<TextureCreation> RecordingDevice::textureCreations() const {
    std::lock_guard lock(mutex_);
    return textureCreations_;
}

std::vector<TextureLoad> RecordingDevice::textureLoads() const {
    std::lock_guard lock(mutex_);
    return textureLoads_;
}

std::vector<std::shared_ptr<RecordingDrawableSource>> RecordingDevice::drawableSources() const {
    std::lock_guard lock(mutex_);
    return drawableSources_;
}

DrawableCounts RecordingDevice::drawableCounts() const {
    DrawableCounts total;
    for (const auto& source : drawableSources()) {
        const auto counts = source->counts();
        total.requested += counts.requested;
        total.taken += counts.taken;
        total.returned += counts.returned;
    }
    return total;
}

std::vector<Command> RecordingDevice::commands() const {
    std::lock_guard lock(mutex_);
    return commands_;
}

std::size_t RecordingDevice::textureRequests() const {
    std::lock_guard lock(mutex_);
    return textureRequests_;
}

std::size_t RecordingDevice::renderEncoderRequests() const {
    std::lock_guard lock(mutex_);
    return renderEncoderRequests_;
}

void RecordingDevice::clearRecording() {
    std::lock_guard lock(mutex_);
    calls_.clear();
    libraryBundlePaths_.clear();
    pipelineDescriptors_.clear();
    samplerDescriptors_.clear();
    textureCreations_.clear();
    textureLoads_.clear();
    drawableSources_.clear();
    commands_.clear();
}

void RecordingDevice::enqueue(std::shared_ptr<RecordingCommandBuffer> buffer) {
    std::lock_guard lock(mutex_);
    pending_.push_back(std::move(buffer));
}

std::vector<std::shared_ptr<RecordingCommandBuffer>> RecordingDevice::takePendingThrough(
    const RecordingCommandBuffer* last) {
    std::lock_guard lock(mutex_);
    const auto end = std::find_if(pending_.begin(), pending_.end(),
                                  [last](const auto& buffer) { return buffer.get() == last; });
    if (end == pending_.end()) return {};
    std::vector<std::shared_ptr<RecordingCommandBuffer>> taken(pending_.begin(), end + 1);
    pending_.erase(pending_.begin(), end + 1);
    return taken;
}

std::vector<std::shared_ptr<RecordingCommandBuffer>> RecordingDevice::takePendingAll() {
    std::lock_guard lock(mutex_);
    std::vector<std::shared_ptr<RecordingCommandBuffer>> taken(pending_.begin(), pending_.end());
    pending_.clear();
    return taken;
}

bool RecordingDevice::takePending(const RecordingCommandBuffer* buffer) {
    std::lock_guard lock(mutex_);
    const auto found = std::find_if(pending_.begin(), pending_.end(),
                                    [buffer](const auto& pending) { return pending.get() == buffer; });
    if (found == pending_.end()) return false;
    pending_.erase(found);
    return true;
}

void RecordingDevice::completeAll(const Completion& completion) {
    for (const auto& buffer : takePendingAll()) buffer->finish(completion);
}

bool RecordingDevice::completeNext(const Completion& completion) {
    std::shared_ptr<RecordingCommandBuffer> next;
    {
        std::lock_guard lock(mutex_);
        if (pending_.empty()) return false;
        next = std::move(pending_.front());
        pending_.pop_front();
    }
    next->finish(completion);
    return true;
}

std::size_t RecordingDevice::pendingCommandBuffers() const {
    std::lock_guard lock(mutex_);
    return pending_.size();
}

} // namespace testing_gpu
