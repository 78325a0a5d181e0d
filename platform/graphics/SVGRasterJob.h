#pragma once

// What the graphics library asks of its SVG rasterizer process, and how the
// request travels: the document on one descriptor, the answer on another,
// the task and its numbers as arguments. Shared by both sides.

#include <cairo.h>

#include <array>
#include <charconv>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace graphics {

inline constexpr const char* kSVGRasterizerProgram = "korlan-flow-svg-rasterizer";
// The document, read to its end.
inline constexpr int kSVGDocumentDescriptor = 3;
// The answer: for a measurement, the document's width and height as two
// doubles; for a rendering, a shared mapping of the raster's rows.
inline constexpr int kSVGAnswerDescriptor = 4;
inline constexpr std::string_view kMeasureTask = "measure";
inline constexpr std::string_view kRenderTask = "render";

// A rendering into width × height pixels of cairo's ARGB32 format.
struct SVGRasterJob {
    int width = 0;
    int height = 0;
    // From the document's user space to the raster's pixels.
    cairo_matrix_t matrix{};
    // The viewport the document is fitted into, in user space.
    double viewportWidth = 0.0;
    double viewportHeight = 0.0;

    // The task and the numbers, for the rasterizer's command line.
    std::vector<std::string> arguments() const {
        std::vector<std::string> result{std::string(kRenderTask)};
        for (const double number : numbers()) {
            char text[32];
            // %.17g reads back as the same double; a program that never
            // calls setlocale writes a decimal point.
            std::snprintf(text, sizeof text, "%.17g", number);
            result.emplace_back(text);
        }
        return result;
    }

    // From the numbers after the task.
    static std::optional<SVGRasterJob> fromArguments(std::span<char* const> arguments) {
        std::array<double, 10> values{};
        if (arguments.size() != values.size()) return std::nullopt;
        for (std::size_t i = 0; i < values.size(); ++i) {
            const std::string_view text = arguments[i];
            const auto parsed = std::from_chars(text.data(), text.data() + text.size(), values[i]);
            if (parsed.ec != std::errc() || parsed.ptr != text.data() + text.size()) return std::nullopt;
        }
        SVGRasterJob job;
        job.width = static_cast<int>(values[0]);
        job.height = static_cast<int>(values[1]);
        cairo_matrix_init(&job.matrix, values[2], values[3], values[4], values[5], values[6], values[7]);
        job.viewportWidth = values[8];
        job.viewportHeight = values[9];
        return job;
    }

private:
    std::array<double, 10> numbers() const {
        return {double(width), double(height), matrix.xx, matrix.yx, matrix.xy, matrix.yy, matrix.x0, matrix.y0,
                viewportWidth, viewportHeight};
    }
};

} // namespace graphics
