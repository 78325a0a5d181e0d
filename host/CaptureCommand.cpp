#include "host/CaptureCommand.h"

#include "host/ArgumentParsing.h"
#include "renderer/KORLANFlowFrameChecking.h"
#include "shaders/KORLANFlowShaderTypes.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/FileReplacement.h"
#include "platform/gpu/Device.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

const char* const kCaptureUsage =
    "Usage: korlan-flow capture [OPTIONS]\n"
    "\n"
    "Renders one frame off screen and prints\n"
    "  checksum=0x<16 hex digits> occupied=N width=W height=H\n"
    "\n"
    "Options:\n"
    "  --width W, --height H   drawable size in pixels, 1 to 16384 (default 1920 x 1080)\n"
    "  --scale S               pixels per point, greater than 0 (default 1)\n"
    "  --time SECONDS          animation time of the frame (default 0)\n"
    "  --seed N                pattern seed, 1 to 1000000 (default: a random one)\n"
    "  --speed X, --intensity X, --complexity X\n"
    "                          settings (default: the stored ones), kept in their ranges\n"
    "  --png FILE              also write the frame as a PNG image (replacing FILE\n"
    "                          only once the image is complete)\n"
    "  --software              allow rendering on the CPU when there is no GPU\n"
    "  --help                  show this text\n";

namespace {

constexpr std::uint64_t kMaximumSide = 16384;
constexpr std::uint64_t kMaximumSeed = 1000000;

struct CaptureOptions {
    std::uint64_t width = 1920;
    std::uint64_t height = 1080;
    double scale = 1.0;
    double time = 0.0;
    std::optional<std::uint64_t> seed;
    std::optional<float> speed, intensity, complexity;
    std::string pngPath;
    bool software = false;
    bool help = false;
};

// Nullopt with a message when an argument is unknown or its value is bad.
std::optional<CaptureOptions> parseCaptureOptions(std::span<char* const> arguments, std::string& problem) {
    CaptureOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string name = arguments[i];
        if (name == "--help") {
            options.help = true;
            continue;
        }
        if (name == "--software") {
            options.software = true;
            continue;
        }
        if (i + 1 == arguments.size()) {
            problem = name.rfind("--", 0) == 0 ? name + " needs a value" : "unknown argument: " + name;
            return std::nullopt;
        }
        const std::string_view value = arguments[++i];
        const auto number = parseNumber(value);
        bool valid = true;
        if (name == "--width" || name == "--height") {
            const auto side = parseWholeNumber(value, 1, kMaximumSide);
            valid = side.has_value();
            (name == "--width" ? options.width : options.height) = side.value_or(0);
        } else if (name == "--scale") {
            valid = number && *number > 0.0 && std::isfinite(*number);
            options.scale = number.value_or(0.0);
        } else if (name == "--time") {
            valid = number && std::isfinite(*number);
            options.time = number.value_or(0.0);
        } else if (name == "--seed") {
            options.seed = parseWholeNumber(value, 1, kMaximumSeed);
            valid = options.seed.has_value();
        } else if (name == "--speed" || name == "--intensity" || name == "--complexity") {
            valid = number.has_value();
            auto& setting = name == "--speed" ? options.speed : name == "--intensity" ? options.intensity
                                                                                      : options.complexity;
            setting = static_cast<float>(number.value_or(0.0));
        } else if (name == "--png") {
            valid = !value.empty();
            options.pngPath = value;
        } else {
            problem = "unknown argument: " + name;
            return std::nullopt;
        }
        if (!valid) {
            problem = "bad value for " + name + ": " + std::string(value);
            return std::nullopt;
        }
    }
    return options;
}

KORLANFlowConfiguration requestedConfiguration(const ModuleBundle& module, const KORLANFlowRendererClass& renderer,
                                               const CaptureOptions& options) {
    KORLANFlowConfiguration configuration = module.loadConfiguration();
    if (options.speed) configuration.speed = *options.speed;
    if (options.intensity) configuration.intensity = *options.intensity;
    if (options.complexity) configuration.complexity = *options.complexity;
    return renderer.clampConfiguration(configuration);
}

int fail(const foundation::ErrorRef& error) {
    std::fprintf(stderr, "korlan-flow: %s\n",
                 error ? error->localizedDescription().c_str() : "Das Bild konnte nicht erzeugt werden.");
    return 1;
}

int cannotWrite(const std::string& path, const std::string& reason) {
    std::fprintf(stderr, "korlan-flow: cannot write %s: %s\n", path.c_str(), reason.c_str());
    return 1;
}

} // namespace

int runCaptureCommand(const ModuleBundle& module, std::span<char* const> arguments) {
    std::string problem;
    const auto options = parseCaptureOptions(arguments, problem);
    if (!options) {
        std::fprintf(stderr, "korlan-flow capture: %s\n\n%s", problem.c_str(), kCaptureUsage);
        return 2;
    }
    if (options->help) {
        std::fputs(kCaptureUsage, stdout);
        return 0;
    }
    // Said before the frame is made, which can take a while.
    if (!options->pngPath.empty()) {
        if (const auto problem = foundation::problemReplacing(options->pngPath)) {
            return cannotWrite(options->pngPath, *problem);
        }
    }
    const auto rendererClass =
        foundation::ClassRegistry::shared().classNamed<KORLANFlowRendererClass>(kKORLANFlowRendererClassName);
    if (!rendererClass) {
        std::fprintf(stderr, "korlan-flow: the bundle registered no %s\n", kKORLANFlowRendererClassName);
        return 1;
    }

    gpu::DeviceOptions deviceOptions;
    deviceOptions.allowSoftwareDevice = options->software;
    gpu::setDeviceOptions(deviceOptions);
    const double width = static_cast<double>(options->width), height = static_cast<double>(options->height);
    const auto view = view::MetalView::initWithFrame(
        {{0.0, 0.0}, {width / options->scale, height / options->scale}}, gpu::Device::createSystemDefaultDevice(),
        options->scale);
    view->setDrawableSize({width, height});

    foundation::ErrorRef error;
    const auto renderer = rendererClass->initWithMetalView(view, *module.bundle, &error);
    if (!renderer) return fail(error);
    renderer->applyConfiguration(requestedConfiguration(module, *rendererClass, *options));
    if (options->seed) renderer->setRandomSeed(static_cast<float>(*options->seed));
    renderer->setElapsedTime(KORLANFlowTimeWithinPeriod(options->time));

    std::uint64_t checksum = 0, occupied = 0;
    if (!renderer->captureFrameChecksum(&checksum, &occupied, &error)) return fail(error);
    if (!options->pngPath.empty()) {
        const auto png = renderer->captureFramePNGWithError(&error);
        if (!png) return fail(error);
        // Written beside the destination and renamed over it when complete,
        // so a failed write leaves the file that was there.
        std::string reason;
        if (!foundation::replaceFileContents(options->pngPath, *png, 0666, false, &reason)) {
            return cannotWrite(options->pngPath, reason);
        }
    }
    std::printf("checksum=0x%016" PRIx64 " occupied=%" PRIu64 " width=%" PRIu64 " height=%" PRIu64 "\n", checksum,
                occupied, options->width, options->height);
    return 0;
}
