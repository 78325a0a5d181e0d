// korlan-flow-svg-rasterizer: reads one SVG document and measures or renders
// it, then exits, so that a hostile document (one that crashes librsvg,
// renders for ever or takes all memory) ends this process, never its
// caller's.
//
//   korlan-flow-svg-rasterizer measure
//   korlan-flow-svg-rasterizer render WIDTH HEIGHT XX YX XY YY X0 Y0 VIEWPORT-WIDTH VIEWPORT-HEIGHT
//
// The document comes on descriptor 3, the answer goes to descriptor 4
// (SVGRasterJob.h). Exit status 0 when the answer is there.
#include "platform/graphics/ImageLimits.h"
#include "platform/graphics/SVGRasterJob.h"

#include <librsvg/rsvg.h>

#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <vector>

namespace {

using graphics::SVGRasterJob;

// A backstop for a caller that died before it could end this process.
constexpr rlim_t kCpuSeconds = 10;
// librsvg, cairo and pango themselves with their threads, plus a few rasters
// for filters.
constexpr rlim_t kBaseMemory = rlim_t{512} << 20;
constexpr rlim_t kRasterCopiesForFilters = 8;
// librsvg's filters run on a thread per core; a few are plenty for a logo,
// and they keep the memory its threads take the same on any machine.
constexpr const char* kFilterThreads = "4";

// Lowers a limit, never raising one the caller set.
void lowerLimit(int resource, rlim_t value) {
    rlimit limit{};
    getrlimit(resource, &limit);
    limit.rlim_cur = std::min(limit.rlim_cur, value);
    limit.rlim_max = std::min(limit.rlim_max, value);
    setrlimit(resource, &limit);
}

void limitResources([[maybe_unused]] std::size_t rasterBytes) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    setenv("RAYON_NUM_THREADS", kFilterThreads, 1);
    lowerLimit(RLIMIT_CORE, 0);
    lowerLimit(RLIMIT_CPU, kCpuSeconds);
#if !defined(__SANITIZE_ADDRESS__)
    // The memory written to, not the address space: malloc reserves far
    // more of that than it uses. AddressSanitizer's shadow takes terabytes.
    lowerLimit(RLIMIT_DATA, kBaseMemory + kRasterCopiesForFilters * rasterBytes);
#endif
}

// Parsed as the caller would parse it: from data, so the document cannot
// pull in other files, and within librsvg's limits on nesting, elements and
// references (only RSVG_HANDLE_FLAG_UNLIMITED would lift them).
RsvgHandle* readDocument() {
    struct stat status{};
    if (fstat(graphics::kSVGDocumentDescriptor, &status) != 0 ||
        static_cast<std::size_t>(status.st_size) > graphics::kMaximumImageFileSize) {
        return nullptr;
    }
    std::vector<std::uint8_t> document(static_cast<std::size_t>(status.st_size));
    const ssize_t count = pread(graphics::kSVGDocumentDescriptor, document.data(), document.size(), 0);
    if (count != static_cast<ssize_t>(document.size())) return nullptr;
    return rsvg_handle_new_from_data(document.data(), document.size(), nullptr);
}

// The width and height in pixels, else the view box's size, else zero (a
// document sized in percentages fills whatever it is drawn into).
std::array<double, 2> sizeOf(RsvgHandle* handle) {
    gdouble width = 0.0, height = 0.0;
    if (rsvg_handle_get_intrinsic_size_in_pixels(handle, &width, &height)) return {width, height};
    gboolean hasViewBox = FALSE;
    RsvgRectangle viewBox{};
    rsvg_handle_get_intrinsic_dimensions(handle, nullptr, nullptr, nullptr, nullptr, &hasViewBox, &viewBox);
    if (hasViewBox) return {viewBox.width, viewBox.height};
    return {0.0, 0.0};
}

int measure() {
    limitResources(0);
    RsvgHandle* handle = readDocument();
    if (!handle) return 1;
    const auto size = sizeOf(handle);
    return pwrite(graphics::kSVGAnswerDescriptor, size.data(), sizeof size, 0) == sizeof size ? 0 : 1;
}

bool renderInto(RsvgHandle* handle, const SVGRasterJob& job, unsigned char* pixels, int stride) {
    cairo_surface_t* surface =
        cairo_image_surface_create_for_data(pixels, CAIRO_FORMAT_ARGB32, job.width, job.height, stride);
    cairo_t* cairo = cairo_create(surface);
    cairo_set_matrix(cairo, &job.matrix);
    const RsvgRectangle viewport{0.0, 0.0, job.viewportWidth, job.viewportHeight};
    // A document that fails part-way has drawn what it could, as it would
    // have in the caller's own process.
    rsvg_handle_render_document(handle, cairo, &viewport, nullptr);
    cairo_surface_flush(surface);
    const bool drawn = cairo_status(cairo) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cairo);
    cairo_surface_destroy(surface);
    return drawn;
}

int render(std::span<char* const> numbers) {
    const auto job = SVGRasterJob::fromArguments(numbers);
    if (!job || job->width <= 0 || job->height <= 0) return 2;
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, job->width);
    const std::size_t rasterBytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(job->height);
    limitResources(rasterBytes);
    RsvgHandle* handle = readDocument();
    void* pixels = mmap(nullptr, rasterBytes, PROT_READ | PROT_WRITE, MAP_SHARED, graphics::kSVGAnswerDescriptor, 0);
    if (!handle || pixels == MAP_FAILED) return 1;
    return renderInto(handle, *job, static_cast<unsigned char*>(pixels), stride) ? 0 : 1;
}

int run(std::span<char* const> arguments) {
    if (arguments.empty()) return 2;
    if (arguments[0] == graphics::kMeasureTask && arguments.size() == 1) return measure();
    if (arguments[0] == graphics::kRenderTask) return render(arguments.subspan(1));
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    // Straight out: nothing of this process needs tidying, and librsvg's
    // threads may still be at work.
    _exit(run({argv + 1, static_cast<std::size_t>(argc - 1)}));
}
