// korlan-flow capture, run as a user would run it: arguments in, a line and
// an exit status out.
#include "platform/graphics/PNGEncoding.h"

#include "tests/support/HostileFiles.h"
#include "tests/support/PixelStatistics.h"
#include "tests/support/ScratchDirectoryVariable.h"
#include "tests/support/TiedProcess.h"

#include <cairo.h>
#include <gtest/gtest.h>
#include <glib.h>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <iterator>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
};

// What the child is held to: it ends with the test, and writes no file
// larger than the size when one is given.
struct RunLimits {
    pid_t test;
    std::optional<rlim_t> fileSize;
};

// Runs in the child before the program starts: limits that the program
// inherits.
void limitTheRun(gpointer limits) {
    const auto& run = *static_cast<const RunLimits*>(limits);
    tieToParent(run.test, SIGTERM);
    // A run that hangs ends here instead of holding up the suite.
    alarm(120);
    if (!run.fileSize) return;
    const rlimit limit{*run.fileSize, *run.fileSize};
    setrlimit(RLIMIT_FSIZE, &limit);
    // A write past the limit then fails with EFBIG instead of ending the
    // program.
    signal(SIGXFSZ, SIG_IGN);
}

Outcome korlanFlow(std::vector<std::string> arguments, std::vector<std::string> environment = {},
                   std::optional<rlim_t> fileSizeLimit = std::nullopt) {
    arguments.insert(arguments.begin(), KORLAN_FLOW_HOST_PATH);
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    gchar** envp = g_get_environ();
    // The CPU driver is unloaded before a sanitized host exits, and what it
    // keeps to itself would be reported as leaks of no library. The same
    // paths are checked for leaks in process by the renderer's tests.
    envp = g_environ_setenv(envp, "ASAN_OPTIONS", "detect_leaks=0", TRUE);
    for (const auto& entry : environment) {
        const auto equals = entry.find('=');
        envp = g_environ_setenv(envp, entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), TRUE);
    }
    Outcome run;
    gchar *out = nullptr, *err = nullptr;
    gint waitStatus = 0;
    GError* failure = nullptr;
    RunLimits limits{getpid(), fileSizeLimit};
    if (g_spawn_sync(nullptr, argv.data(), envp, G_SPAWN_DEFAULT, &limitTheRun, &limits, &out, &err, &waitStatus,
                     &failure)) {
        run.status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
        run.out = out;
        run.err = err;
    } else {
        ADD_FAILURE() << failure->message;
        g_error_free(failure);
    }
    g_free(out);
    g_free(err);
    g_strfreev(envp);
    return run;
}

std::vector<std::string> small(std::vector<std::string> more = {}) {
    std::vector<std::string> arguments{"capture", "--software", "--width", "160", "--height", "90", "--seed", "7",
                                       "--speed", "1", "--intensity", "1", "--complexity", "1"};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

std::string checksumOf(const Outcome& run) {
    std::smatch match;
    const std::regex line("checksum=(0x[0-9a-f]{16}) occupied=([0-9]+) width=([0-9]+) height=([0-9]+)\n");
    if (!std::regex_match(run.out, match, line)) {
        ADD_FAILURE() << "unexpected output: " << run.out << run.err;
        return {};
    }
    return match[1];
}

// A PNG's pixels as BGRA rows from the top, as cairo reads them on a
// little-endian machine.
Pixels pixelsOfPng(const std::string& path) {
    cairo_surface_t* image = cairo_image_surface_create_from_png(path.c_str());
    Pixels pixels;
    if (cairo_surface_status(image) == CAIRO_STATUS_SUCCESS) {
        pixels.width = std::uint32_t(cairo_image_surface_get_width(image));
        pixels.height = std::uint32_t(cairo_image_surface_get_height(image));
        const auto* data = cairo_image_surface_get_data(image);
        const int stride = cairo_image_surface_get_stride(image);
        for (std::uint32_t row = 0; row < pixels.height; ++row) {
            pixels.bytes.insert(pixels.bytes.end(), data + std::size_t(row) * stride,
                                data + std::size_t(row) * stride + std::size_t(pixels.width) * 4);
        }
    }
    cairo_surface_destroy(image);
    return pixels;
}

} // namespace

// The preview picture is a frame of the pattern (scripts/make-preview): the
// pattern drawn again with its arguments must look the same, within what
// another order of the same arithmetic changes.
TEST(CaptureCommand, DrawsThePreviewPictureAgainWithinAFewLevels) {
    const std::string path = testing::TempDir() + "/korlan-flow-preview-again.png";
    const Outcome run = korlanFlow({"capture", "--software", "--width", "592", "--height", "368", "--seed", "1234",
                                    "--time", "300", "--speed", "0.8", "--intensity", "0.88", "--complexity", "1",
                                    "--png", path});
    ASSERT_EQ(run.status, 0) << run.err;
    const Pixels drawn = pixelsOfPng(path);
    const Pixels preview = pixelsOfPng(KORLAN_FLOW_RESOURCES_DIR "/preview.png");
    ASSERT_EQ(drawn.width, preview.width);
    ASSERT_EQ(drawn.height, preview.height);
    EXPECT_LT(meanAbsoluteDifference(drawn, preview), 0.5);
    EXPECT_LE(largestDifference(drawn, preview), 8);
    std::remove(path.c_str());
}

TEST(CaptureCommand, PrintsOneLineAndTheSameChecksumForTheSameArguments) {
    const Outcome first = korlanFlow(small());
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(checksumOf(first), checksumOf(korlanFlow(small())));
    EXPECT_NE(first.out.find("width=160 height=90"), std::string::npos);
}

TEST(CaptureCommand, SeedTimeAndSettingsEachChangeTheFrame) {
    const std::string base = checksumOf(korlanFlow(small()));
    for (const auto& change : std::vector<std::vector<std::string>>{
             {"--seed", "8"}, {"--time", "12.5"}, {"--speed", "0.5", "--time", "3"}, {"--intensity", "0.5"},
             {"--complexity", "1.4"}}) {
        EXPECT_NE(checksumOf(korlanFlow(small(change))), base) << change[0];
    }
    // Settings outside their ranges are clamped as the store clamps them.
    EXPECT_EQ(checksumOf(korlanFlow(small({"--intensity", "9"}))),
              checksumOf(korlanFlow(small({"--intensity", "1.2"}))));
    // Time wraps at the period of the pattern.
    EXPECT_EQ(checksumOf(korlanFlow(small({"--time", "16389"}))), checksumOf(korlanFlow(small({"--time", "5"}))));
}

TEST(CaptureCommand, WritesThePNGItReports) {
    const std::string path = testing::TempDir() + "/korlan-flow-capture.png";
    const Outcome run = korlanFlow(small({"--png", path}));
    ASSERT_EQ(run.status, 0) << run.err;
    std::ifstream file(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    const auto image = graphics::decodePNG(bytes);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width(), 160u);
    EXPECT_EQ(image->height(), 90u);
}

TEST(CaptureCommand, BadArgumentsPrintTheUsageAndExitWithTwo) {
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"capture", "--frobnicate"},
             {"capture", "--width"},
             {"capture", "--width", "12px"},
             {"capture", "--width", "0"},
             {"capture", "--height", "16385"},
             {"capture", "--scale", "0"},
             {"capture", "--scale", "-2"},
             {"capture", "--scale", "nan"},
             {"capture", "--speed", "nan"},
             {"capture", "--speed", "fast"},
             {"capture", "--seed", "0"},
             {"capture", "--seed", "1000001"},
             {"capture", "--time", "inf"},
             {"capture", "stray"},
             {"capture", "--png", ""},
             {"capture", "--png"},
             {"paint"},
         }) {
        const Outcome run = korlanFlow(arguments);
        EXPECT_EQ(run.status, 2) << (arguments.size() > 1 ? arguments[1] : "");
        EXPECT_NE(run.err.find("Usage: korlan-flow"), std::string::npos);
        EXPECT_TRUE(run.out.empty());
    }
    const Outcome help = korlanFlow({"capture", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--seed N"), std::string::npos);
    EXPECT_EQ(korlanFlow({"capture", "-h"}).out, help.out);
}

// Options as Linux programs take them: joined with "=", with one dash, and
// an unknown one named as unknown rather than as one missing its value.
TEST(CaptureCommand, TakesOptionsInEverySpellingAndNamesAnUnknownOne) {
    const std::string expected = checksumOf(korlanFlow(small()));
    EXPECT_EQ(checksumOf(korlanFlow({"capture", "--software", "--width=160", "-height", "90", "-seed=7", "--speed=1",
                                     "--intensity", "1", "-complexity", "1"})),
              expected);
    const Outcome unknown = korlanFlow({"capture", "--frob"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.err.starts_with("korlan-flow capture: unknown option: --frob\n")) << unknown.err;
}

TEST(CaptureCommand, WithoutAGPUItSaysSoInGermanAndExitsWithOne) {
    const Outcome run = korlanFlow(small(), {"VK_ICD_FILENAMES=/nonexistent", "VK_DRIVER_FILES=/nonexistent"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "korlan-flow: Metal-Gerät fehlt.\n");
    EXPECT_TRUE(run.out.empty());
}

// Where the PNG cannot go, the command says why before it renders anything.
TEST(CaptureCommand, ADestinationThatCannotBeWrittenFailsWithTheSystemsReason) {
    ScratchDirectory scratch;
    struct Case {
        std::filesystem::path destination;
        const char* reason;
    };
    for (const auto& c : {Case{scratch.root() / "missing" / "frame.png", "No such file or directory"},
                          Case{scratch.root(), "Is a directory"},
                          Case{scratch.write("file", "") / "frame.png", "Not a directory"}}) {
        const Outcome run = korlanFlow(small({"--png", c.destination}));
        EXPECT_EQ(run.status, 1) << c.destination;
        EXPECT_EQ(run.err, "korlan-flow: cannot write " + c.destination.string() + ": " + c.reason + "\n");
        EXPECT_TRUE(run.out.empty()) << "nothing rendered: " << run.out;
    }
}

TEST(CaptureCommand, AFailedWriteLeavesTheOldFileAndNoTemporaryOne) {
    ScratchDirectory scratch;
    const auto destination = scratch.write("frame.png", "the previous frame");
    // Room for the logo's raster (1.6 MB) but not for this frame's PNG (2.3
    // MB): the PNG's write fails part-way, as on a full disk.
    const Outcome run = korlanFlow({"capture", "--software", "--width", "2560", "--height", "1440", "--seed", "7",
                                    "--png", destination},
                                   {}, rlim_t{2} << 20);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.starts_with("korlan-flow: cannot write " + destination.string() + ": ")) << run.err;
    EXPECT_NE(run.err.find("File too large"), std::string::npos) << run.err;
    std::ifstream kept(destination);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "the previous frame");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.root()), {}), 1);
}

// The pipeline cache is only an aid: whatever stands in its place, the frame
// is made, the same as without it.
TEST(CaptureCommand, AHostilePipelineCacheIsIgnored) {
    ScratchDirectory cacheHome;
    const std::vector<std::string> environment{"XDG_CACHE_HOME=" + cacheHome.root().string()};
    const std::string expected = checksumOf(korlanFlow(small(), environment));
    const auto cache = cacheHome.root() / "korlan-flow" / "pipeline-cache.bin";
    std::vector<HostileFile> cases{{"a file over 256 MiB", [](auto& path) {
                                        makeSparseFile(path, (std::uintmax_t{256} << 20) + 1);
                                    }}};
    cases.insert(cases.end(), nonRegularFiles().begin(), nonRegularFiles().end());
    for (const auto& c : cases) {
        std::filesystem::remove_all(cache);
        c.make(cache);
        const Outcome run = korlanFlow(small(), environment);
        EXPECT_EQ(run.status, 0) << c.what << ": " << run.err;
        EXPECT_EQ(checksumOf(run), expected) << c.what;
    }
}
