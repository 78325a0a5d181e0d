#include "host/CaptureCommand.h"

#include "host/ArgumentParsing.h"
#include "host/OptionParser.h"
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
    "  -h, --help              show this text\n"
    "\n"
    "Options may be written --name VALUE, --name=VALUE or -name VALUE.\n";

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

enum CaptureOption { Width = 256, Height, Scale, Time, Seed, Speed, Intensity, Complexity, Png, Software, Help };

constexpr OptionSpec kCaptureOptions[] = {
    {"width", true, Width},         {"height", true, Height},         {"scale", true, Scale},
    {"time", true, Time},           {"seed", true, Seed},             {"speed", true, Speed},
    {"intensity", true, Intensity}, {"complexity", true, Complexity}, {"png", true, Png},
    {"software", false, Software},  {"help", false, Help},
};

std::optional<float>& settingOf(int id, CaptureOptions& options) {
    return id == Speed ? options.speed : id == Intensity ? options.intensity : options.complexity;
}

// Applies one option; false when its value is bad.
bool apply(const ParsedOption& option, CaptureOptions& options) {
    const std::string_view value = option.value;
    const auto number = parseNumber(value);
    switch (option.id) {
    case Width:
    case Height: {
        const auto side = parseWholeNumber(value, 1, kMaximumSide);
        (option.id == Width ? options.width : options.height) = side.value_or(0);
        return side.has_value();
    }
    case Scale:
        options.scale = number.value_or(0.0);
        return number && *number > 0.0 && std::isfinite(*number);
    case Time:
        options.time = number.value_or(0.0);
        return number && std::isfinite(*number);
    case Seed:
        options.seed = parseWholeNumber(value, 1, kMaximumSeed);
        return options.seed.has_value();
    case Speed:
    case Intensity:
    case Complexity:
        settingOf(option.id, options) = static_cast<float>(number.value_or(0.0));
        return number.has_value();
    case Png:
        options.pngPath = value;
        return !value.empty();
    case Software:
        options.software = true;
        return true;
    default:
        options.help = true;
        return true;
    }
}

// Nullopt with a message when an argument is unknown or its value is bad.
std::optional<CaptureOptions> parseCaptureOptions(std::span<char* const> arguments, std::string& problem) {
    const auto parsed = parseOptions(arguments, kCaptureOptions, problem);
    if (!parsed) return std::nullopt;
    if (!parsed->operands.empty()) {
        problem = "unknown argument: " + parsed->operands.front();
        return std::nullopt;
    }
    CaptureOptions options;
    for (const auto& option : parsed->options) {
        if (!apply(option, options)) {
            problem = badValue(kCaptureOptions, option);
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
