// render-pattern: draws one frame of the pattern into a PNG file, at any
// size, time, seed and settings, to look at what the programs draw.
#include "platform/graphics/PNGEncoding.h"
#include "tests/integration/shaders/ShaderHarness.h"

#include <getopt.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

namespace {

struct Arguments {
    std::uint32_t width = 1920;
    std::uint32_t height = 1080;
    float time = 0.0f;
    float seed = 1.0f;
    float speed = 0.8f;
    float intensity = 0.88f;
    float complexity = 1.0f;
    std::string out;
};

constexpr const char* kUsage =
    "usage: render-pattern --out FILE.png [--width N] [--height N] [--time SECONDS]\n"
    "                      [--seed N] [--speed F] [--intensity F] [--complexity F]\n";

bool parseFloat(const char* text, float* value) {
    char* end = nullptr;
    *value = std::strtof(text, &end);
    return end != text && *end == '\0';
}

bool parseSize(const char* text, std::uint32_t* value) {
    char* end = nullptr;
    const unsigned long parsed = std::strtoul(text, &end, 10);
    if (end == text || *end != '\0' || parsed == 0 || parsed > 16384) return false;
    *value = std::uint32_t(parsed);
    return true;
}

bool parseArguments(int argc, char** argv, Arguments* arguments) {
    enum Option { Width = 1, Height, Time, Seed, Speed, Intensity, Complexity, Out };
    const option options[] = {
        {"width", required_argument, nullptr, Width},         {"height", required_argument, nullptr, Height},
        {"time", required_argument, nullptr, Time},           {"seed", required_argument, nullptr, Seed},
        {"speed", required_argument, nullptr, Speed},         {"intensity", required_argument, nullptr, Intensity},
        {"complexity", required_argument, nullptr, Complexity}, {"out", required_argument, nullptr, Out},
        {nullptr, 0, nullptr, 0},
    };
    for (int option; (option = getopt_long(argc, argv, "", options, nullptr)) != -1;) {
        bool valid = true;
        switch (option) {
        case Width: valid = parseSize(optarg, &arguments->width); break;
        case Height: valid = parseSize(optarg, &arguments->height); break;
        case Time: valid = parseFloat(optarg, &arguments->time); break;
        case Seed: valid = parseFloat(optarg, &arguments->seed); break;
        case Speed: valid = parseFloat(optarg, &arguments->speed); break;
        case Intensity: valid = parseFloat(optarg, &arguments->intensity); break;
        case Complexity: valid = parseFloat(optarg, &arguments->complexity); break;
        case Out: arguments->out = optarg; break;
        default: return false;
        }
        if (!valid) {
            std::cerr << "render-pattern: invalid value '" << optarg << "'\n";
            return false;
        }
    }
    return optind == argc && !arguments->out.empty();
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(file.flush());
}

} // namespace

int main(int argc, char** argv) {
    Arguments arguments;
    if (!parseArguments(argc, argv, &arguments)) {
        std::cerr << kUsage;
        return 2;
    }
    std::string failure;
    const auto harness = ShaderHarness::create(KORLAN_FLOW_BUNDLE_PATH, false, &failure);
    if (!harness) {
        std::cerr << "render-pattern: " << failure << '\n';
        return 1;
    }
    const auto uniforms = makeUniforms(arguments.width, arguments.height, arguments.time, arguments.seed,
                                       arguments.speed, arguments.intensity, arguments.complexity);
    auto pixels = harness->renderPattern(uniforms, arguments.width, arguments.height);
    if (pixels.bytes.empty()) {
        std::cerr << "render-pattern: the pattern pass failed on " << harness->device().name() << '\n';
        return 1;
    }
    const auto image = graphics::BitmapImage::create(pixels.width, pixels.height, std::size_t(pixels.width) * 4,
                                                     graphics::BitmapLayout::BGRAPremultipliedFirst,
                                                     std::move(pixels.bytes));
    const auto png = image ? graphics::encodePNG(*image) : std::nullopt;
    if (!png || !writeFile(arguments.out, *png)) {
        std::cerr << "render-pattern: cannot write " << arguments.out << '\n';
        return 1;
    }
    return 0;
}
