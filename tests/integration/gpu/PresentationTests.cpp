#include "tests/integration/gpu/GpuTest.h"
#include "tests/support/SharedMemoryRefusal.h"
#include "tests/support/XvfbServer.h"

#include "platform/gpu/PresentationStatistics.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>
#include <thread>

using namespace std::chrono_literals;

namespace {

// Windows vanish under the swapchain in these tests; the errors that the
// driver's requests then earn are expected, not fatal.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

struct Size2D {
    unsigned width, height;
};

// A frame that differs from its neighbours: a background that changes with
// the frame number and a bar that moves across it.
Pass framePass(const std::shared_ptr<gpu::RenderPipelineState>& quadPipeline, int frame) {
    const float left = -1.0f + 0.015f * float(frame % 120);
    const float right = left + 0.5f;
    const std::vector<float> quad{left, 0.5f, 1, 1, left, -0.5f, 1, 1, right, 0.5f, 1, 1,
                                  right, 0.5f, 1, 1, left, -0.5f, 1, 1, right, -0.5f, 1, 1};
    return {.pipeline = quadPipeline,
            .clearColor = {0.1 + 0.005 * (frame % 100), 0.2, 0.6 - 0.004 * (frame % 100), 1.0},
            .vertexBytes = quad,
            .fragmentBytes = colorBytes(0.9f, 0.7f, 0.1f, 1.0f),
            .vertexCount = 6};
}

// How a CPU device's frames reach the window: drawn into memory shared with
// the X server, read back into it after each pass where the device cannot
// draw there, or, as a GPU's do, through a swapchain.
enum class Presentation { SharedMemory, SharedMemoryCopy, Swapchain };

class PresentationTest : public GpuTest, public testing::WithParamInterface<Presentation> {
protected:
    void SetUp() override {
        if (GetParam() == Presentation::Swapchain) withoutSharedMemory_.emplace();
        if (GetParam() == Presentation::SharedMemoryCopy) withoutHostImages_.emplace();
        GpuTest::SetUp();
        ASSERT_FALSE(server_.display().empty()) << "Xvfb did not start";
        // The driver's presentation thread shares the connection.
        XInitThreads();
        XSetErrorHandler(&ignoreXError);
        display_ = XOpenDisplay(server_.display().c_str());
        ASSERT_NE(display_, nullptr);
        quadPipeline_ = newPipeline("quadVertex", "flatFragment");
    }

    void TearDown() override {
        source_.reset();
        if (window_) XDestroyWindow(display_, window_);
        if (display_) XCloseDisplay(display_);
        GpuTest::TearDown();
    }

    void openWindow(Size2D size) {
        window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, size.width, size.height, 0, 0, 0);
        XMapWindow(display_, window_);
        XSync(display_, False);
        source_ = device().newWindowDrawableSource({gpu::WindowSystem::X11, display_, window_}, kTargetFormat, size.width, size.height);
        ASSERT_NE(source_, nullptr) << "the device cannot present to Xvfb";
    }

    // Draws and presents one frame; false when no drawable came.
    bool presentFrame(int frame) {
        const auto drawable = source_->nextDrawable();
        if (!drawable) return false;
        drawable->addPresentedHandler([this](const std::shared_ptr<gpu::Drawable>& shown) {
            if (shown->presentedTime() > 0.0) ++presented_;
        });
        lastSize_ = {unsigned(drawable->texture()->width()), unsigned(drawable->texture()->height())};
        const auto commandBuffer = queue()->commandBuffer();
        encodePass(*commandBuffer, drawable->texture(), framePass(quadPipeline_, frame));
        commandBuffer->presentDrawable(drawable);
        commandBuffer->commit();
        return true;
    }

    // Presents the frames in turn; a frame without a free drawable is tried
    // again a little later, as the next timer tick would.
    void presentFrames(int first, int count) {
        const int target = presented_ + count;
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        for (int frame = first; frame < first + count && std::chrono::steady_clock::now() < deadline;) {
            if (presentFrame(frame)) {
                ++frame;
            } else {
                std::this_thread::sleep_for(1ms);
            }
        }
        while (presented_ < target && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
        EXPECT_EQ(presented_, target);
    }

    // How many pixels of the window differ by more than one level in a
    // channel from the frame drawn off screen, once the server shows it.
    std::size_t mismatchesWithFrame(int frame, Size2D size) {
        const auto target = newTarget(size.width, size.height);
        const Pass pass = framePass(quadPipeline_, frame);
        const Pixels expected = render(target, {&pass, 1});
        std::size_t mismatches = size.width * size.height;
        const auto deadline = std::chrono::steady_clock::now() + 2s;
        while (mismatches > 0 && std::chrono::steady_clock::now() < deadline) {
            XImage* image = XGetImage(display_, window_, 0, 0, size.width, size.height, AllPlanes, ZPixmap);
            if (!image) break;
            mismatches = 0;
            for (unsigned y = 0; y < size.height; ++y) {
                for (unsigned x = 0; x < size.width; ++x) {
                    const unsigned long shown = XGetPixel(image, int(x), int(y));
                    const Pixel drawn = expected.at(x, y);
                    const int channels[3][2] = {{int(shown & 0xff), drawn[0]},
                                                {int((shown >> 8) & 0xff), drawn[1]},
                                                {int((shown >> 16) & 0xff), drawn[2]}};
                    for (const auto& [window, offscreen] : channels) {
                        if (std::abs(window - offscreen) > 1) {
                            ++mismatches;
                            break;
                        }
                    }
                }
            }
            XDestroyImage(image);
            if (mismatches > 0) std::this_thread::sleep_for(10ms);
        }
        return mismatches;
    }

    std::optional<WithoutSharedMemory> withoutSharedMemory_;
    std::optional<WithoutDrawingIntoHostMemory> withoutHostImages_;
    XvfbServer server_;
    Display* display_ = nullptr;
    Window window_ = 0;
    std::shared_ptr<gpu::WindowDrawableSource> source_;
    std::shared_ptr<gpu::RenderPipelineState> quadPipeline_;
    std::atomic<int> presented_ = 0;
    Size2D lastSize_{0, 0};
};

} // namespace

TEST_P(PresentationTest, ShowsEveryPresentedFrameInTheWindow) {
    openWindow({160, 90});
    const auto shownBefore = gpu::framesShownInWindows();
    presentFrames(0, 120);
    EXPECT_EQ(gpu::framesShownInWindows() - shownBefore, 120u);
    EXPECT_EQ(mismatchesWithFrame(119, {160, 90}), 0u);
}

TEST_P(PresentationTest, FollowsTheWindowWhenItIsResized) {
    openWindow({160, 90});
    presentFrames(0, 60);
    XResizeWindow(display_, window_, 200, 120);
    XSync(display_, False);
    source_->setDrawableSize(200, 120);
    presentFrames(60, 60);
    EXPECT_EQ(lastSize_.width, 200u);
    EXPECT_EQ(lastSize_.height, 120u);
    EXPECT_EQ(mismatchesWithFrame(119, {200, 120}), 0u);
}

TEST_P(PresentationTest, AWindowItsOwnerDestroysYieldsNoMoreDrawables) {
    openWindow({160, 90});
    presentFrames(0, 30);
    Display* owner = XOpenDisplay(server_.display().c_str());
    ASSERT_NE(owner, nullptr);
    XDestroyWindow(owner, window_);
    XSync(owner, False);
    XCloseDisplay(owner);
    window_ = 0;

    int drawablesAfterLoss = 0;
    for (int attempt = 0; attempt < 200 && !source_->isLost(); ++attempt) {
        if (presentFrame(30 + attempt)) ++drawablesAfterLoss;
        std::this_thread::sleep_for(2ms);
    }
    EXPECT_TRUE(source_->isLost());
    EXPECT_EQ(source_->nextDrawable(), nullptr);
    std::printf("drawables handed out after the window went: %d\n", drawablesAfterLoss);
}

INSTANTIATE_TEST_SUITE_P(CpuDevice, PresentationTest,
                         testing::Values(Presentation::SharedMemory, Presentation::SharedMemoryCopy,
                                         Presentation::Swapchain),
                         [](const testing::TestParamInfo<Presentation>& info) {
                             switch (info.param) {
                             case Presentation::SharedMemory: return "SharedMemory";
                             case Presentation::SharedMemoryCopy: return "SharedMemoryCopy";
                             case Presentation::Swapchain: break;
                             }
                             return "Swapchain";
                         });
