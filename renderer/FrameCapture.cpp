#include "renderer/KORLANFlowRenderer.h"

#include "renderer/BackgroundColor.h"
#include "renderer/RendererErrors.h"
#include "renderer/WholePixels.h"

#include "platform/graphics/BitmapImage.h"
#include "platform/graphics/PNGEncoding.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr std::uint64_t kFNVOffsetBasis = 0xCBF29CE484222325ull;
constexpr std::uint64_t kFNVPrime = 0x100000001B3ull;
// A pixel further than this from the background (summed over red, green
// and blue) counts as drawn on.
constexpr int kOccupiedThreshold = 8;
constexpr std::size_t kBytesPerPixel = 4;

std::uint64_t fnv1a(std::uint64_t hash, std::uint8_t byte) { return (hash ^ byte) * kFNVPrime; }

} // namespace

bool KORLANFlowRenderer::copyCurrentFramePixels(std::vector<std::uint8_t>& pixels, std::uint64_t* width,
                                                std::uint64_t* height, ErrorRef* error) {
    if (!ready_) {
        if (error && lastError_) {
            *error = lastError_;
        } else {
            reportRendererError(error, RendererErrorCode::RendererNotReady);
        }
        return false;
    }
    const std::uint64_t captureWidth = wholePixelsAtLeastOne(drawableSize_.width);
    const std::uint64_t captureHeight = wholePixelsAtLeastOne(drawableSize_.height);
    const auto view = metalView();
    auto descriptor = gpu::TextureDescriptor::texture2DDescriptor(
        view ? view->colorPixelFormat() : gpu::PixelFormat::Invalid, captureWidth, captureHeight, false);
    descriptor.usage = gpu::TextureUsageShaderRead | gpu::TextureUsageRenderTarget;
    descriptor.storageMode = gpu::StorageMode::Shared;
    const auto checkTexture = device_->newTextureWithDescriptor(descriptor);
    if (!checkTexture) {
        reportRendererError(error, RendererErrorCode::CheckTextureUnavailable);
        return false;
    }

    const auto commandBuffer = commandQueue_->commandBuffer();
    ErrorRef encodingError;
    if (!encodeSceneToTexture(checkTexture, commandBuffer, &encodingError)) {
        if (error) *error = encodingError;
        return false;
    }
    commandBuffer->commit();
    commandBuffer->waitUntilCompleted();
    if (auto failure = commandBuffer->error()) {
        if (error) *error = std::move(failure);
        return false;
    }

    const std::size_t bytesPerRow = captureWidth * kBytesPerPixel;
    pixels.resize(bytesPerRow * captureHeight);
    checkTexture->getBytes(pixels.data(), bytesPerRow, gpu::Region{{0, 0, 0}, {captureWidth, captureHeight, 1}}, 0);
    if (width) *width = captureWidth;
    if (height) *height = captureHeight;
    return true;
}

bool KORLANFlowRenderer::captureFrameChecksum(std::uint64_t* checksum, std::uint64_t* occupiedPixels,
                                              ErrorRef* error) {
    std::vector<std::uint8_t> pixels;
    if (!copyCurrentFramePixels(pixels, nullptr, nullptr, error)) return false;
    std::uint64_t hash = kFNVOffsetBasis;
    std::uint64_t occupied = 0;
    for (std::size_t i = 0; i + kBytesPerPixel <= pixels.size(); i += kBytesPerPixel) {
        const std::uint8_t blue = pixels[i], green = pixels[i + 1], red = pixels[i + 2];
        hash = fnv1a(fnv1a(fnv1a(hash, red), green), blue);
        const int distance =
            std::abs(red - kBackgroundRed) + std::abs(green - kBackgroundGreen) + std::abs(blue - kBackgroundBlue);
        if (distance > kOccupiedThreshold) ++occupied;
    }
    if (checksum) *checksum = hash;
    if (occupiedPixels) *occupiedPixels = occupied;
    return true;
}

std::shared_ptr<const std::vector<std::uint8_t>> KORLANFlowRenderer::captureFramePNGWithError(ErrorRef* error) {
    std::vector<std::uint8_t> pixels;
    std::uint64_t width = 0, height = 0;
    if (!copyCurrentFramePixels(pixels, &width, &height, error)) return nullptr;
    const auto image = graphics::BitmapImage::create(static_cast<std::uint32_t>(width),
                                                     static_cast<std::uint32_t>(height), width * kBytesPerPixel,
                                                     graphics::BitmapLayout::BGRAPremultipliedFirst, std::move(pixels));
    if (!image) {
        reportRendererError(error, RendererErrorCode::CheckImageUnavailable);
        return nullptr;
    }
    auto png = graphics::encodePNG(*image);
    if (!png) {
        reportRendererError(error, RendererErrorCode::CheckImageNotEncoded);
        return nullptr;
    }
    return std::make_shared<const std::vector<std::uint8_t>>(std::move(*png));
}
