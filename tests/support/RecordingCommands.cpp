#include "tests/support/RecordingCommands.h"

#include "tests/support/RecordingDevice.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace testing_gpu {

std::ostream& operator<<(std::ostream& stream, CommandKind kind) {
    static constexpr std::array<std::string_view, 14> kNames = {
        "SetCommandBufferLabel", "BeginPass",          "SetEncoderLabel", "SetPipeline",
        "SetVertexBytes",        "SetFragmentBytes",   "SetFragmentTexture", "SetFragmentSampler",
        "Draw",                  "EndEncoding",        "PresentDrawable", "AddCompletedHandler",
        "Commit",                "WaitUntilCompleted",
    };
    return stream << kNames.at(static_cast<std::size_t>(kind));
}

std::vector<Command> commandsOfKind(const std::vector<Command>& commands, CommandKind kind) {
    std::vector<Command> found;
    for (const auto& command : commands) {
        if (command.kind == kind) found.push_back(command);
    }
    return found;
}

std::vector<CommandKind> kindsOf(const std::vector<Command>& commands) {
    std::vector<CommandKind> kinds;
    for (const auto& command : commands) kinds.push_back(command.kind);
    return kinds;
}

namespace {

bool isPassCommand(CommandKind kind) {
    return kind >= CommandKind::SetEncoderLabel && kind <= CommandKind::EndEncoding;
}

} // namespace

std::vector<RecordedPass> passesOf(const std::vector<Command>& commands) {
    std::vector<RecordedPass> passes;
    for (const auto& command : commands) {
        if (command.kind == CommandKind::BeginPass) {
            passes.push_back({command.commandBuffer, command.encoder, command.pass});
            continue;
        }
        if (!isPassCommand(command.kind)) continue;
        const auto pass = std::find_if(passes.begin(), passes.end(),
                                       [&command](const RecordedPass& p) { return p.encoder == command.encoder; });
        if (pass == passes.end()) continue;
        pass->commands.push_back(command);
        if (command.kind == CommandKind::SetEncoderLabel) pass->label = command.label;
        if (command.kind == CommandKind::EndEncoding) pass->ended = true;
    }
    return passes;
}

void reportMisuse(const std::string& what) { ADD_FAILURE() << "GPU interface misused: " << what; }

std::shared_ptr<gpu::CommandBuffer> RecordingCommandQueue::commandBuffer() {
    const auto device = device_.lock();
    return device ? device->makeCommandBuffer() : nullptr;
}

void RecordingCommandBuffer::record(Command command) {
    command.commandBuffer = index_;
    if (const auto device = device_.lock()) device->record(std::move(command));
}

void RecordingCommandBuffer::setLabel(std::string_view label) {
    label_ = label;
    record({.kind = CommandKind::SetCommandBufferLabel, .label = std::string(label)});
}

std::shared_ptr<gpu::RenderCommandEncoder> RecordingCommandBuffer::renderCommandEncoderWithDescriptor(
    const gpu::RenderPassDescriptor& descriptor) {
    const auto device = device_.lock();
    if (!device) return nullptr;
    const auto number = device->takeRenderEncoderNumber();
    if (!number) return nullptr;
    const auto& target = descriptor.colorAttachments[0].texture;
    if (!target || !(target->usage() & gpu::TextureUsageRenderTarget)) return nullptr;
    if (encoderOpen_) reportMisuse("a render encoder was asked for while another one was still encoding");
    if (status() != gpu::CommandBufferStatus::NotEnqueued) reportMisuse("a render pass was begun after commit");
    encoderOpen_ = true;
    record({.kind = CommandKind::BeginPass, .encoder = *number, .pass = descriptor});
    return std::make_shared<RecordingRenderCommandEncoder>(shared_from_this(), *number);
}

void RecordingCommandBuffer::encoderEnded() { encoderOpen_ = false; }

void RecordingCommandBuffer::presentDrawable(const std::shared_ptr<gpu::Drawable>& drawable) {
    auto recording = std::dynamic_pointer_cast<RecordingDrawable>(drawable);
    if (!recording) {
        reportMisuse("presentDrawable needs a drawable of the recording device");
        return;
    }
    record({.kind = CommandKind::PresentDrawable, .texture = drawable->texture(), .drawable = drawable.get()});
    drawables_.push_back(std::move(recording));
}

void RecordingCommandBuffer::addCompletedHandler(CompletedHandler handler) {
    record({.kind = CommandKind::AddCompletedHandler});
    std::lock_guard lock(mutex_);
    completedHandlers_.push_back(std::move(handler));
}

void RecordingCommandBuffer::commit() {
    record({.kind = CommandKind::Commit});
    {
        std::lock_guard lock(mutex_);
        if (status_ != gpu::CommandBufferStatus::NotEnqueued) {
            reportMisuse("a command buffer was committed twice");
            return;
        }
        status_ = gpu::CommandBufferStatus::Committed;
    }
    if (encoderOpen_) reportMisuse("a command buffer was committed while a render encoder was still encoding");
    for (const auto& drawable : drawables_) drawable->markCommitted();
    if (const auto device = device_.lock()) device->enqueue(shared_from_this());
}

void RecordingCommandBuffer::waitUntilCompleted() {
    record({.kind = CommandKind::WaitUntilCompleted});
    if (status() == gpu::CommandBufferStatus::NotEnqueued) return;
    const auto device = device_.lock();
    // Without its device nothing would ever complete the buffer.
    if (!device) return;
    // A lost device shows nothing of what it was asked to present.
    const auto& lost = device->failures.execution;
    const Completion completion{.error = lost, .presentedTime = lost ? 0.0 : kDefaultPresentedTime};
    for (const auto& buffer : device->takePendingThrough(this)) buffer->finish(completion);
    waitForHandlers();
}

void RecordingCommandBuffer::complete(const Completion& completion) {
    const auto device = device_.lock();
    if (device && device->takePending(this)) finish(completion);
}

void RecordingCommandBuffer::finish(const Completion& completion) {
    std::vector<CompletedHandler> handlers;
    {
        std::lock_guard lock(mutex_);
        status_ = completion.error ? gpu::CommandBufferStatus::Error : gpu::CommandBufferStatus::Completed;
        error_ = completion.error;
        handlers.swap(completedHandlers_);
    }
    const auto self = shared_from_this();
    for (auto& handler : handlers) {
        handler(self);
        // Released right after it ran, as the backend does.
        handler = nullptr;
    }
    for (const auto& drawable : std::exchange(drawables_, {})) drawable->reportPresented(completion.presentedTime);
    {
        std::lock_guard lock(mutex_);
        handlersRan_ = true;
    }
    finished_.notify_all();
}

void RecordingCommandBuffer::waitForHandlers() {
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [this] { return handlersRan_; });
}

gpu::CommandBufferStatus RecordingCommandBuffer::status() const {
    std::lock_guard lock(mutex_);
    return status_;
}

foundation::ErrorRef RecordingCommandBuffer::error() const {
    std::lock_guard lock(mutex_);
    return error_;
}

void RecordingRenderCommandEncoder::record(Command command) {
    if (ended_) reportMisuse("a render encoder was used after endEncoding");
    command.encoder = index_;
    buffer_->record(std::move(command));
}

void RecordingRenderCommandEncoder::setLabel(std::string_view label) {
    label_ = label;
    record({.kind = CommandKind::SetEncoderLabel, .label = std::string(label)});
}

void RecordingRenderCommandEncoder::setRenderPipelineState(const std::shared_ptr<gpu::RenderPipelineState>& pipeline) {
    record({.kind = CommandKind::SetPipeline, .pipeline = pipeline});
}

Command RecordingRenderCommandEncoder::bytesCommand(CommandKind kind, const void* bytes, std::size_t length,
                                                    std::size_t index, std::size_t limit) const {
    if (length > limit || index != 0) {
        reportMisuse("inline bytes go to index 0, at most " + std::to_string(limit) + " of them; got " +
                     std::to_string(length) + " at index " + std::to_string(index));
    }
    const auto* first = static_cast<const std::uint8_t*>(bytes);
    return {.kind = kind, .bytes = std::vector<std::uint8_t>(first, first + length), .index = index};
}

void RecordingRenderCommandEncoder::setVertexBytes(const void* bytes, std::size_t length, std::size_t index) {
    record(bytesCommand(CommandKind::SetVertexBytes, bytes, length, index, gpu::kMaxVertexBytes));
}

void RecordingRenderCommandEncoder::setFragmentBytes(const void* bytes, std::size_t length, std::size_t index) {
    record(bytesCommand(CommandKind::SetFragmentBytes, bytes, length, index, gpu::kMaxFragmentBytes));
}

void RecordingRenderCommandEncoder::setFragmentTexture(const std::shared_ptr<gpu::Texture>& texture,
                                                       std::size_t index) {
    record({.kind = CommandKind::SetFragmentTexture, .index = index, .texture = texture});
}

void RecordingRenderCommandEncoder::setFragmentSamplerState(const std::shared_ptr<gpu::SamplerState>& sampler,
                                                            std::size_t index) {
    record({.kind = CommandKind::SetFragmentSampler, .index = index, .sampler = sampler});
}

void RecordingRenderCommandEncoder::drawPrimitives(gpu::PrimitiveType type, std::size_t vertexStart,
                                                   std::size_t vertexCount) {
    record({.kind = CommandKind::Draw, .primitiveType = type, .vertexStart = vertexStart, .vertexCount = vertexCount});
}

void RecordingRenderCommandEncoder::endEncoding() {
    record({.kind = CommandKind::EndEncoding});
    ended_ = true;
    buffer_->encoderEnded();
}

} // namespace testing_gpu
