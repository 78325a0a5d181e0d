// Logo files as a hostile bundle would hold them. Each one is loaded in a
// child process under a memory limit and a time limit, so a hang, a crash
// or a memory blow-up shows as a failed case: the renderer must answer
// each with its logo error, in time and within the memory.
#include "tests/unit/renderer/RendererHarness.h"

#include "tests/support/HostileFiles.h"
#include "tests/support/LimitedChild.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <vector>

namespace {

constexpr long kUnreadable = 6;
constexpr long kNotRasterized = 7;
// The SVG rasterizer gets two seconds; the rest is room for a slow machine.
constexpr ChildLimits kLimits{std::size_t{1} << 30, std::chrono::milliseconds(8000)};
constexpr std::size_t kPeakResidentLimit = std::size_t{512} << 20;

void appendToString(png_structp png, png_bytep data, png_size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}

// A PNG file that declares width × height pixels but holds only the start
// of its image data: enough for a reader to trust the header.
std::string pngDeclaring(png_uint_32 width, png_uint_32 height) {
    std::string file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &file, &appendToString, nullptr);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_destroy_write_struct(&png, &info);
    return file + std::string("\0\0\0\x08IDAT\x78\x9c\0\0\0\0\0\0\0\0\0\0", 20);
}

std::string svgRepeating(const std::string& element, int count) {
    std::string body;
    for (int i = 0; i < count; ++i) body += element;
    return body;
}

// Each level uses the one below twice: a million rectangles from twenty
// small groups.
std::string svgDoublingUses() {
    std::string defs = R"(<g id="u0"><rect width="1478" height="270" opacity="0.5"/></g>)";
    for (int level = 1; level <= 20; ++level) {
        const std::string below = "#u" + std::to_string(level - 1);
        defs += "<g id=\"u" + std::to_string(level) + "\"><use href=\"" + below + "\"/><use href=\"" + below +
                "\"/></g>";
    }
    return svgDocument(1478, 270, "<defs>" + defs + "</defs><use href=\"#u20\"/>");
}

std::string svgFiltered(const std::string& primitives) {
    return svgDocument(1478, 270, "<filter id=\"f\">" + primitives +
                                      "</filter><rect width=\"1478\" height=\"270\" filter=\"url(#f)\"/>");
}

std::string convolutionOfOrder(int order) {
    return "<feConvolveMatrix order=\"" + std::to_string(order) + "\" kernelMatrix=\"" +
           svgRepeating("1 ", order * order) + "\"/>";
}

struct Case {
    const char* what;
    std::function<void(const std::filesystem::path& logo)> make;
    long code;
};

void writeLogo(const std::filesystem::path& logo, const std::string& contents) {
    std::ofstream(logo, std::ios::binary | std::ios::trunc) << contents;
}

std::vector<Case> hostileLogos() {
    std::vector<Case> cases{
        {"a file over 8 MiB", [](auto& logo) { makeSparseFile(logo, (std::uintmax_t{8} << 20) + 1); }, kUnreadable},
        {"a PNG of 20000 pixels a side", [](auto& logo) { writeLogo(logo, pngDeclaring(20000, 20000)); }, kUnreadable},
        {"a PNG of a gigabyte", [](auto& logo) { writeLogo(logo, pngDeclaring(16384, 16384)); }, kUnreadable},
        {"an SVG of 20000 pixels a side", [](auto& logo) { writeLogo(logo, svgDocument(20000, 100, "")); },
         kUnreadable},
        {"turbulence of a billion octaves",
         [](auto& logo) { writeLogo(logo, svgFiltered(R"(<feTurbulence baseFrequency="0.05" numOctaves="1000000000"/>)")); },
         kNotRasterized},
        {"a convolution that crashes librsvg as it reads",
         [](auto& logo) { writeLogo(logo, svgFiltered(convolutionOfOrder(60))); }, kUnreadable},
        {"three thousand blurs",
         [](auto& logo) { writeLogo(logo, svgFiltered(svgRepeating(R"(<feGaussianBlur stdDeviation="5"/>)", 3000))); },
         kNotRasterized},
        {"a million doubled uses", [](auto& logo) { writeLogo(logo, svgDoublingUses()); }, kNotRasterized},
    };
    for (const auto& hostile : nonRegularFiles()) cases.push_back({hostile.what, hostile.make, kUnreadable});
    return cases;
}

} // namespace

TEST(HostileLogo, FailsWithTheLogoErrorsInTimeAndWithinMemory) {
    for (const auto& c : hostileLogos()) {
        RendererHarness harness;
        const auto logo = harness.bundle.path() / "Contents" / "Resources" / "overlay-logo.svg";
        std::filesystem::remove(logo);
        c.make(logo);
        const ChildOutcome outcome = runInLimitedChild(
            [&] {
                ErrorRef error;
                const bool built = harness.makeRenderer(&error) != nullptr;
                return built || !error ? 0 : static_cast<int>(error->code());
            },
            kLimits);
        EXPECT_FALSE(outcome.killedAtTimeLimit) << c.what;
        EXPECT_EQ(outcome.exitStatus, c.code) << c.what;
        EXPECT_LT(outcome.peakResidentBytes, kPeakResidentLimit) << c.what;
        RecordProperty(c.what, std::to_string(outcome.seconds) + " s, " +
                                   std::to_string(outcome.peakResidentBytes >> 20) + " MiB");
    }
}
