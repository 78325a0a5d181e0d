#pragma once

#include "platform/PlatformExport.h"
#include "platform/foundation/Error.h"
#include "platform/foundation/InplaceFunction.h"
#include "platform/gpu/Drawable.h"
#include "platform/gpu/RenderCommandEncoder.h"

#include <memory>
#include <string>
#include <string_view>

namespace gpu {

using foundation::ErrorRef;

enum class CommandBufferStatus { NotEnqueued, Committed, Completed, Error };

// Work for the GPU. Once committed it keeps everything it references alive
// until it has completed. Buffers of one queue complete in commit order, and
// work on one texture is ordered across them without the caller's help.
class KF_PLATFORM_API CommandBuffer {
public:
    // Runs on a thread of the backend, never the main thread, with the
    // buffer; released right after it ran. Kept without a heap allocation
    // (kHandlerCapacity).
    using CompletedHandler =
        foundation::InplaceFunction<void(const std::shared_ptr<CommandBuffer>& buffer), kHandlerCapacity>;

    virtual ~CommandBuffer() = default;

    virtual std::string label() const = 0;
    virtual void setLabel(std::string_view label) = 0;
    // Null when the pass cannot be recorded (no texture, or one that cannot
    // be a render target).
    virtual std::shared_ptr<RenderCommandEncoder> renderCommandEncoderWithDescriptor(
        const RenderPassDescriptor& descriptor) = 0;
    virtual void presentDrawable(const std::shared_ptr<Drawable>& drawable) = 0;
    virtual void addCompletedHandler(CompletedHandler handler) = 0;
    virtual void commit() = 0;
    // Blocks until the buffer has completed; returns at once when it was
    // never committed, and with error() set when the device was lost.
    virtual void waitUntilCompleted() = 0;
    virtual CommandBufferStatus status() const = 0;
    virtual ErrorRef error() const = 0;
};

class KF_PLATFORM_API CommandQueue {
public:
    virtual ~CommandQueue() = default;
    virtual std::string label() const = 0;
    virtual void setLabel(std::string_view label) = 0;
    // Null when the device cannot record any more work.
    virtual std::shared_ptr<CommandBuffer> commandBuffer() = 0;
};

} // namespace gpu
