#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/PNGEncoding.h"

#include <benchmark/benchmark.h>

using namespace graphics;

// Once per renderer: the logo from its SVG into the 1478 x 270 raster.
static void BM_RasteriseLogo(benchmark::State& state) {
    const auto logo = Image::initWithContentsOfFile(KORLAN_FLOW_RESOURCES_DIR "/overlay-logo.svg");
    if (!logo) {
        state.SkipWithError("overlay-logo.svg did not load");
        return;
    }
    for (auto _ : state) {
        const auto rep = BitmapImageRep::initWithPixelsWide(1478, 270);
        const auto context = GraphicsContext::graphicsContextWithBitmapImageRep(rep);
        GraphicsContext::saveGraphicsState();
        GraphicsContext::setCurrentContext(context);
        context->setImageInterpolation(ImageInterpolation::High);
        logo->drawInRect({{0, 0}, {1478, 270}}, {}, CompositingOperation::Copy, 1.0, true);
        context->flushGraphics();
        GraphicsContext::restoreGraphicsState();
        benchmark::DoNotOptimize(rep->CGImage());
    }
}
BENCHMARK(BM_RasteriseLogo)->Unit(benchmark::kMillisecond);

// Per PNG capture: a read-back frame of the given size to a PNG file.
static void BM_EncodeCapturedFrame(benchmark::State& state) {
    const auto width = static_cast<std::uint32_t>(state.range(0));
    const auto height = static_cast<std::uint32_t>(state.range(1));
    // Smooth gradients, as the pattern's frames are, with opaque alpha.
    std::vector<std::uint8_t> pixels;
    pixels.reserve(std::size_t{width} * height * 4);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            pixels.insert(pixels.end(), {static_cast<std::uint8_t>(x / 8), static_cast<std::uint8_t>(y / 5),
                                         static_cast<std::uint8_t>((x + y) / 12), 255});
        }
    }
    const auto frame = BitmapImage::create(width, height, width * 4, BitmapLayout::BGRAPremultipliedFirst, pixels);
    for (auto _ : state) benchmark::DoNotOptimize(encodePNG(*frame));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pixels.size()));
}
BENCHMARK(BM_EncodeCapturedFrame)->Args({640, 360})->Args({1920, 1080})->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
