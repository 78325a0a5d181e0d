#pragma once

#include "platform/PlatformExport.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Error.h"
#include "platform/gpu/CommandBuffer.h"
#include "platform/gpu/Drawable.h"
#include "platform/gpu/Library.h"
#include "platform/gpu/NativeWindow.h"
#include "platform/gpu/RenderPipeline.h"
#include "platform/gpu/Texture.h"
#include "platform/gpu/TextureLoader.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace gpu {

// The domain of errors that come from the GPU backend; their code is the
// driver's result code.
inline constexpr const char* kErrorDomain = "KORLANFlow.Platform.GPU";

// The file name of a bundle's default program library, among its resources.
inline constexpr const char* kDefaultLibraryName = "default";
inline constexpr const char* kDefaultLibraryExtension = "spv";

struct DeviceOptions;

class KF_PLATFORM_API Device {
public:
    // The preferred GPU, or null when none can be had: no driver, no usable
    // device, or only a CPU device while software rendering is not allowed.
    // One device per process: every call returns the same one while it is
    // healthy, a new one only after it was lost or the options changed.
    static std::shared_ptr<Device> createSystemDefaultDevice();
    // A device of its own under the given options, shared with nobody.
    static std::shared_ptr<Device> newIsolatedDevice(const DeviceOptions& options);

    virtual ~Device() = default;

    virtual std::string name() const = 0;

    virtual std::shared_ptr<CommandQueue> newCommandQueue() = 0;
    // The bundle's program library; null with an error when it cannot be
    // read, null without one when the bundle has none.
    virtual std::shared_ptr<Library> newDefaultLibraryWithBundle(const foundation::Bundle& bundle,
                                                                 foundation::ErrorRef* error = nullptr) = 0;
    virtual std::shared_ptr<RenderPipelineState> newRenderPipelineStateWithDescriptor(
        const RenderPipelineDescriptor& descriptor, foundation::ErrorRef* error = nullptr) = 0;
    virtual std::shared_ptr<SamplerState> newSamplerStateWithDescriptor(const SamplerDescriptor& descriptor) = 0;
    // Null for an invalid pixel format or size, or when memory runs out.
    virtual std::shared_ptr<Texture> newTextureWithDescriptor(const TextureDescriptor& descriptor) = 0;
    virtual std::shared_ptr<TextureLoader> newTextureLoader() = 0;
    // Offscreen drawables for a view without a window, at most three in
    // flight; presenting one reports the time its frame completed.
    virtual std::shared_ptr<DrawableSource> newOffscreenDrawableSource(PixelFormat pixelFormat, std::uint64_t width,
                                                                       std::uint64_t height) = 0;
    // Drawables that show in a window, at most two frames in flight; null
    // when the device cannot present to it.
    virtual std::shared_ptr<WindowDrawableSource> newWindowDrawableSource(const NativeWindow& window,
                                                                          PixelFormat pixelFormat, std::uint64_t width,
                                                                          std::uint64_t height) = 0;
};

// Process-wide choices for createSystemDefaultDevice.
struct DeviceOptions {
    // A CPU device renders every pixel on the processor's cores: only where
    // the user asks for it (--software) or a test does.
    bool allowSoftwareDevice = false;
    // The validation layer; each of its messages goes to the handler.
    bool enableValidation = false;
    std::function<void(std::string_view message)> validationMessageHandler;
    // The display server that windows will be shown on: among the devices,
    // one that can present there is preferred. None: no preference.
    NativeDisplay presentationDisplay;
};

// Takes effect at the next createSystemDefaultDevice, which then makes a
// device under the new options.
KF_PLATFORM_API void setDeviceOptions(DeviceOptions options);
// Lets go of the process's device; it goes once nothing else holds it,
// after finishing its work. A host calls it before it exits.
KF_PLATFORM_API void releaseSystemDefaultDevice();

} // namespace gpu
