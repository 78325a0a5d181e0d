#include "tests/support/GraphicsFaults.h"

#include "tests/support/PlatformDefinition.h"

#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/PNGEncoding.h"

#include <array>
#include <atomic>
#include <utility>

namespace {

std::array<std::atomic<bool>, 4> armedFaults;

std::atomic<bool>& armed(GraphicsFault fault) { return armedFaults.at(static_cast<std::size_t>(fault)); }

// Fails once when the fault is armed, else calls the platform library's
// definition. Function is the definition's type as a plain function: a
// method takes its object as the first argument.
template <GraphicsFault kFault, typename Function, typename... Arguments>
auto failOrCallPlatform(const char* mangledName, Arguments&&... arguments) {
    static const auto platform = platformDefinitionAs<Function>(mangledName);
    using Result = decltype(platform(std::forward<Arguments>(arguments)...));
    if (armed(kFault).exchange(false)) return Result{};
    return platform(std::forward<Arguments>(arguments)...);
}

} // namespace

FailNextGraphicsCall::FailNextGraphicsCall(GraphicsFault fault) : fault_(fault) { armed(fault_) = true; }

FailNextGraphicsCall::~FailNextGraphicsCall() { armed(fault_) = false; }

namespace graphics {

std::shared_ptr<GraphicsContext> GraphicsContext::graphicsContextWithBitmapImageRep(
    const std::shared_ptr<BitmapImageRep>& rep, bool flipped) {
    return failOrCallPlatform<GraphicsFault::NoGraphicsContext,
                              decltype(&GraphicsContext::graphicsContextWithBitmapImageRep)>(
        "_ZN8graphics15GraphicsContext33graphicsContextWithBitmapImageRepERKSt10shared_ptrINS_14BitmapImageRepEEb",
        rep, flipped);
}

std::shared_ptr<BitmapImage> BitmapImageRep::CGImage() const {
    return failOrCallPlatform<GraphicsFault::NoBitmapImage, std::shared_ptr<BitmapImage> (*)(const BitmapImageRep*)>(
        "_ZNK8graphics14BitmapImageRep7CGImageEv", this);
}

std::shared_ptr<BitmapImage> BitmapImage::create(std::uint32_t width, std::uint32_t height, std::size_t bytesPerRow,
                                                 BitmapLayout layout, std::vector<std::uint8_t> bytes) {
    return failOrCallPlatform<GraphicsFault::NoImageFromPixels, decltype(&BitmapImage::create)>(
        "_ZN8graphics11BitmapImage6createEjjmNS_12BitmapLayoutESt6vectorIhSaIhEE", width, height, bytesPerRow,
        layout, std::move(bytes));
}

std::optional<std::vector<std::uint8_t>> encodePNG(const BitmapImage& image) {
    return failOrCallPlatform<GraphicsFault::NoPNG, decltype(&encodePNG)>("_ZN8graphics9encodePNGERKNS_11BitmapImageE",
                                                                         image);
}

} // namespace graphics
