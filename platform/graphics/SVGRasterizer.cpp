#include "platform/graphics/SVGRasterizer.h"

#include "platform/graphics/ImageLimits.h"
#include "platform/graphics/SVGRasterJob.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
// glibc 2.36 declares these without C++ linkage guards.
extern "C" {
#include <sys/pidfd.h>
}

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <list>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace graphics {

namespace {

constexpr std::chrono::milliseconds kRenderDeadline{2000};
// Above the descriptors the rasterizer reads, so that moving them into
// place never meets one of them.
constexpr int kFirstFreeDescriptor = 10;

class Descriptor {
public:
    explicit Descriptor(int descriptor = -1) : descriptor_(descriptor) {}
    ~Descriptor() {
        if (descriptor_ >= 0) close(descriptor_);
    }
    Descriptor(Descriptor&& other) noexcept : descriptor_(std::exchange(other.descriptor_, -1)) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return descriptor_; }
    bool valid() const { return descriptor_ >= 0; }

private:
    int descriptor_;
};

// A memory file above the rasterizer's descriptors, closed on exec.
Descriptor memoryFile(const char* name, std::span<const std::uint8_t> contents, std::size_t size) {
    const Descriptor created(memfd_create(name, MFD_CLOEXEC));
    if (!created.valid()) return Descriptor();
    Descriptor raised(fcntl(created.get(), F_DUPFD_CLOEXEC, kFirstFreeDescriptor));
    if (!raised.valid() || ftruncate(raised.get(), static_cast<off_t>(size)) != 0) return Descriptor();
    if (pwrite(raised.get(), contents.data(), contents.size(), 0) != static_cast<ssize_t>(contents.size())) {
        return Descriptor();
    }
    return raised;
}

// The rasterizer is built beside this library.
std::filesystem::path rasterizerPath() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&renderSVGInSeparateProcess), &info) || !info.dli_fname) return {};
    return std::filesystem::path(info.dli_fname).parent_path() / kSVGRasterizerProgram;
}

// The clip in whole device pixels: the part of the target the document can
// reach, and so the raster the rasterizer fills.
struct PixelBox {
    int x = 0, y = 0, width = 0, height = 0;
};

// Empty when nothing is visible; nullopt when it is too large to render.
std::optional<PixelBox> deviceClipBox(cairo_t* cairo) {
    double left = 0, top = 0, right = 0, bottom = 0;
    cairo_clip_extents(cairo, &left, &top, &right, &bottom);
    double xs[] = {left, right, left, right}, ys[] = {top, top, bottom, bottom};
    for (int corner = 0; corner < 4; ++corner) cairo_user_to_device(cairo, &xs[corner], &ys[corner]);
    const double x0 = std::floor(*std::min_element(xs, xs + 4)), y0 = std::floor(*std::min_element(ys, ys + 4));
    const double x1 = std::ceil(*std::max_element(xs, xs + 4)), y1 = std::ceil(*std::max_element(ys, ys + 4));
    if (!(x1 > x0 && y1 > y0)) return PixelBox{};
    if (!fitsImageLimits(x1 - x0, y1 - y0)) return std::nullopt;
    return PixelBox{int(x0), int(y0), int(x1 - x0), int(y1 - y0)};
}

SVGRasterJob jobFor(cairo_t* cairo, const PixelBox& box, Size viewport) {
    SVGRasterJob job;
    job.width = box.width;
    job.height = box.height;
    cairo_get_matrix(cairo, &job.matrix);
    job.matrix.x0 -= box.x;
    job.matrix.y0 -= box.y;
    job.viewportWidth = viewport.width;
    job.viewportHeight = viewport.height;
    return job;
}

pid_t spawnRasterizer(std::vector<std::string> arguments, const Descriptor& document, const Descriptor& answer) {
    const std::string program = rasterizerPath().string();
    arguments.insert(arguments.begin(), program);
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, document.get(), kSVGDocumentDescriptor);
    posix_spawn_file_actions_adddup2(&actions, answer.get(), kSVGAnswerDescriptor);
    posix_spawn_file_actions_addclosefrom_np(&actions, kSVGAnswerDescriptor + 1);
    pid_t child = -1;
    if (posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) child = -1;
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

bool exitsBefore(const Descriptor& exitWatch, std::chrono::steady_clock::time_point deadline) {
    pollfd watch{exitWatch.get(), POLLIN, 0};
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        const int ready = poll(&watch, 1, static_cast<int>(left.count()));
        if (ready > 0) return true;
        if (ready == 0 || errno != EINTR) return false;
    }
}

// Waits for the rasterizer until the deadline, ends it if it is still
// running then, and reaps it. True when it finished its work.
bool finishedInTime(pid_t child) {
    const Descriptor exitWatch(pidfd_open(child, 0));
    if (!exitWatch.valid() || !exitsBefore(exitWatch, std::chrono::steady_clock::now() + kRenderDeadline)) {
        kill(child, SIGKILL);
    }
    int status = 0;
    pid_t reaped = -1;
    do {
        reaped = waitpid(child, &status, 0);
    } while (reaped < 0 && errno == EINTR);
    return reaped == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Runs the rasterizer on the document; its answer of answerSize bytes when
// it did its task in time.
std::optional<std::vector<std::uint8_t>> runRasterizer(std::vector<std::string> arguments,
                                                       std::span<const std::uint8_t> document,
                                                       std::size_t answerSize) {
    Descriptor documentFile = memoryFile("korlan-flow-svg-document", document, document.size());
    Descriptor answerFile = memoryFile("korlan-flow-svg-answer", {}, answerSize);
    if (!documentFile.valid() || !answerFile.valid()) return std::nullopt;
    const pid_t child = spawnRasterizer(std::move(arguments), documentFile, answerFile);
    if (child < 0 || !finishedInTime(child)) return std::nullopt;
    std::vector<std::uint8_t> answer(answerSize);
    const auto read = pread(answerFile.get(), answer.data(), answerSize, 0);
    if (read != static_cast<ssize_t>(answerSize)) return std::nullopt;
    return answer;
}

// The answers to the last few tasks, failures included. The saver makes a
// renderer, and so reads and rasterises its logo, at every start: the
// same document at the same size then costs no process, and a document
// that ran out of time does not hold up every start again.
class AnswerMemo {
public:
    using Answer = std::optional<std::vector<std::uint8_t>>;

    Answer answerFor(const std::vector<std::string>& arguments, std::span<const std::uint8_t> document,
                     std::size_t answerSize) {
        {
            std::lock_guard lock(mutex_);
            const auto known = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) {
                return entry.arguments == arguments && std::ranges::equal(entry.document, document);
            });
            if (known != entries_.end()) {
                entries_.splice(entries_.begin(), entries_, known);
                return entries_.front().answer;
            }
        }
        Answer answer = runRasterizer(arguments, document, answerSize);
        std::lock_guard lock(mutex_);
        entries_.push_front({arguments, {document.begin(), document.end()}, answer});
        if (entries_.size() > kCapacity) entries_.pop_back();
        return answer;
    }

private:
    static constexpr std::size_t kCapacity = 4;
    struct Entry {
        std::vector<std::string> arguments;
        std::vector<std::uint8_t> document;
        Answer answer;
    };
    std::mutex mutex_;
    std::list<Entry> entries_;
};

AnswerMemo& answers() {
    // Never destroyed: drawing may still happen while the process exits.
    static auto* memo = new AnswerMemo;
    return *memo;
}

// The rasterizer's pixels in a surface of this process.
cairo_surface_t* rasterFrom(const std::vector<std::uint8_t>& pixels, const PixelBox& box) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, box.width, box.height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_surface_flush(surface);
    std::memcpy(cairo_image_surface_get_data(surface), pixels.data(), pixels.size());
    cairo_surface_mark_dirty(surface);
    return surface;
}

} // namespace

std::optional<Size> measureSVGInSeparateProcess(std::span<const std::uint8_t> document) {
    double size[2] = {};
    const auto answer = answers().answerFor({std::string(kMeasureTask)}, document, sizeof size);
    if (!answer) return std::nullopt;
    std::memcpy(size, answer->data(), sizeof size);
    return Size{size[0], size[1]};
}

bool renderSVGInSeparateProcess(std::span<const std::uint8_t> document, cairo_t* cairo, Size viewport) {
    const auto box = deviceClipBox(cairo);
    if (!box) return false;
    if (box->width == 0) return true;
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, box->width);
    const std::size_t bytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(box->height);
    const auto answer = answers().answerFor(jobFor(cairo, *box, viewport).arguments(), document, bytes);
    cairo_surface_t* raster = answer ? rasterFrom(*answer, *box) : nullptr;
    if (!raster) return false;
    cairo_save(cairo);
    cairo_identity_matrix(cairo);
    cairo_set_source_surface(cairo, raster, box->x, box->y);
    cairo_paint(cairo);
    cairo_restore(cairo);
    cairo_surface_destroy(raster);
    return true;
}

} // namespace graphics
