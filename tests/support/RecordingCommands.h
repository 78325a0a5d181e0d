#pragma once

#include "platform/gpu/CommandBuffer.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

namespace testing_gpu {

class RecordingDevice;
class RecordingDrawable;

enum class CommandKind {
    SetCommandBufferLabel,
    BeginPass,
    SetEncoderLabel,
    SetPipeline,
    SetVertexBytes,
    SetFragmentBytes,
    SetFragmentTexture,
    SetFragmentSampler,
    Draw,
    EndEncoding,
    PresentDrawable,
    AddCompletedHandler,
    Commit,
    WaitUntilCompleted,
};

std::ostream& operator<<(std::ostream& stream, CommandKind kind);

// One entry of a device's command stream. Only the fields of its kind are
// filled; the rest keep their zero values.
struct Command {
    CommandKind kind = CommandKind::Commit;
    // Creation order of the command buffer on its device, from 0.
    std::size_t commandBuffer = 0;
    // Creation order of the render encoder on its device, from 0; for the
    // commands of a pass only.
    std::size_t encoder = 0;
    std::string label{};
    gpu::RenderPassDescriptor pass{};
    std::shared_ptr<gpu::RenderPipelineState> pipeline{};
    std::vector<std::uint8_t> bytes{};
    std::size_t index = 0;
    // The bound texture; for PresentDrawable the drawable's texture.
    std::shared_ptr<gpu::Texture> texture{};
    std::shared_ptr<gpu::SamplerState> sampler{};
    gpu::PrimitiveType primitiveType = gpu::PrimitiveType::Triangle;
    std::size_t vertexStart = 0;
    std::size_t vertexCount = 0;
    // Identity only: the stream does not keep drawables alive, so that one
    // taken and not committed still goes back to its source.
    const gpu::Drawable* drawable = nullptr;

    std::string pipelineLabel() const { return pipeline ? pipeline->label() : std::string(); }

    // The copied bytes read as a T; a size mismatch fails the test.
    template <class T>
    T bytesAs() const {
        T value{};
        if (bytes.size() != sizeof(T)) {
            ADD_FAILURE() << "recorded " << bytes.size() << " bytes, read as " << sizeof(T);
            return value;
        }
        std::memcpy(&value, bytes.data(), sizeof(T));
        return value;
    }
};

std::vector<Command> commandsOfKind(const std::vector<Command>& commands, CommandKind kind);
std::vector<CommandKind> kindsOf(const std::vector<Command>& commands);

// One render pass as its encoder recorded it.
struct RecordedPass {
    std::size_t commandBuffer = 0;
    std::size_t encoder = 0;
    gpu::RenderPassDescriptor descriptor;
    // The last label set on the encoder.
    std::string label{};
    // What the encoder recorded after it began, its EndEncoding included.
    std::vector<Command> commands{};
    bool ended = false;
};

std::vector<RecordedPass> passesOf(const std::vector<Command>& commands);

// Presented time a completion reports by default: any time after boot.
inline constexpr double kDefaultPresentedTime = 1.0;

// How a committed command buffer ends: with or without an error, and when
// the drawables it presented were shown (0: dropped).
struct Completion {
    foundation::ErrorRef error{};
    double presentedTime = kDefaultPresentedTime;
};

class RecordingCommandQueue final : public gpu::CommandQueue {
public:
    explicit RecordingCommandQueue(std::weak_ptr<RecordingDevice> device) : device_(std::move(device)) {}

    std::string label() const override { return label_; }
    void setLabel(std::string_view label) override { label_.assign(label); }
    std::shared_ptr<gpu::CommandBuffer> commandBuffer() override;

private:
    std::weak_ptr<RecordingDevice> device_;
    std::string label_;
};

// Records into its device's command stream. Committing only queues the
// buffer on the device; it completes when the test says so (complete,
// RecordingDevice::completeAll, completeNext) or when someone waits for it.
class RecordingCommandBuffer final : public gpu::CommandBuffer,
                                     public std::enable_shared_from_this<RecordingCommandBuffer> {
public:
    RecordingCommandBuffer(std::weak_ptr<RecordingDevice> device, std::size_t index)
        : device_(std::move(device)), index_(index) {}

    std::size_t index() const { return index_; }

    std::string label() const override { return label_; }
    void setLabel(std::string_view label) override;
    std::shared_ptr<gpu::RenderCommandEncoder> renderCommandEncoderWithDescriptor(
        const gpu::RenderPassDescriptor& descriptor) override;
    void presentDrawable(const std::shared_ptr<gpu::Drawable>& drawable) override;
    void addCompletedHandler(CompletedHandler handler) override;
    void commit() override;
    // Completes this buffer and every one committed before it, in commit
    // order, on the calling thread; with RecordingDevice::Failures::execution
    // set they end with that error and their drawables are dropped.
    void waitUntilCompleted() override;
    gpu::CommandBufferStatus status() const override;
    foundation::ErrorRef error() const override;

    // Completes this buffer alone, on the calling thread: its completed
    // handlers run, then the presented handlers of its drawables. Does
    // nothing unless the buffer is committed and still pending.
    void complete(const Completion& completion = {});

private:
    friend class RecordingDevice;
    friend class RecordingRenderCommandEncoder;

    void record(Command command);
    void encoderEnded();
    // Runs once the device has let go of the buffer.
    void finish(const Completion& completion);
    void waitForHandlers();

    std::weak_ptr<RecordingDevice> device_;
    const std::size_t index_;
    std::string label_;
    bool encoderOpen_ = false;
    std::vector<std::shared_ptr<RecordingDrawable>> drawables_;

    mutable std::mutex mutex_;
    std::condition_variable finished_;
    gpu::CommandBufferStatus status_ = gpu::CommandBufferStatus::NotEnqueued;
    foundation::ErrorRef error_;
    bool handlersRan_ = false;
    std::vector<CompletedHandler> completedHandlers_;
};

class RecordingRenderCommandEncoder final : public gpu::RenderCommandEncoder {
public:
    RecordingRenderCommandEncoder(std::shared_ptr<RecordingCommandBuffer> buffer, std::size_t index)
        : buffer_(std::move(buffer)), index_(index) {}

    std::string label() const override { return label_; }
    void setLabel(std::string_view label) override;
    void setRenderPipelineState(const std::shared_ptr<gpu::RenderPipelineState>& pipeline) override;
    void setVertexBytes(const void* bytes, std::size_t length, std::size_t index) override;
    void setFragmentBytes(const void* bytes, std::size_t length, std::size_t index) override;
    void setFragmentTexture(const std::shared_ptr<gpu::Texture>& texture, std::size_t index) override;
    void setFragmentSamplerState(const std::shared_ptr<gpu::SamplerState>& sampler, std::size_t index) override;
    void drawPrimitives(gpu::PrimitiveType type, std::size_t vertexStart, std::size_t vertexCount) override;
    void endEncoding() override;

private:
    void record(Command command);
    Command bytesCommand(CommandKind kind, const void* bytes, std::size_t length, std::size_t index,
                         std::size_t limit) const;

    std::shared_ptr<RecordingCommandBuffer> buffer_;
    const std::size_t index_;
    std::string label_;
    bool ended_ = false;
};

// A use of the GPU interfaces that a real backend would reject fails the
// running test.
void reportMisuse(const std::string& what);

} // namespace testing_gpu
