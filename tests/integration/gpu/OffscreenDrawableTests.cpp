#include "platform/foundation/ProcessInfo.h"
#include "tests/integration/gpu/GpuTest.h"

#include <atomic>
#include <chrono>
#include <set>
#include <thread>

class OffscreenDrawableTest : public GpuTest {};

TEST_F(OffscreenDrawableTest, APoolOfThreeTakesBackDrawablesThatWereNeverPresented) {
    const auto source = device_->newOffscreenDrawableSource(kTargetFormat, 16, 8);
    ASSERT_NE(source, nullptr);
    std::vector<std::shared_ptr<gpu::Drawable>> taken;
    std::set<gpu::Texture*> textures;
    for (int index = 0; index < 3; ++index) {
        auto drawable = source->nextDrawable();
        ASSERT_NE(drawable, nullptr);
        EXPECT_EQ(drawable->texture()->width(), 16u);
        EXPECT_EQ(drawable->texture()->usage(), gpu::TextureUsageRenderTarget | gpu::TextureUsageShaderRead);
        textures.insert(drawable->texture().get());
        taken.push_back(std::move(drawable));
    }
    EXPECT_EQ(textures.size(), 3u);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(source->nextDrawable(), nullptr);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));

    gpu::Texture* returned = taken.back()->texture().get();
    taken.pop_back();
    const auto again = source->nextDrawable();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->texture().get(), returned);
}

TEST_F(OffscreenDrawableTest, APresentedDrawableReportsTheUptimeItsFrameCompletedAt) {
    const auto source = device_->newOffscreenDrawableSource(kTargetFormat, 16, 8);
    const auto drawable = source->nextDrawable();
    ASSERT_NE(drawable, nullptr);
    std::mutex mutex;
    std::vector<std::pair<double, std::thread::id>> reports;
    drawable->addPresentedHandler([&](const std::shared_ptr<gpu::Drawable>& shown) {
        std::lock_guard lock(mutex);
        reports.emplace_back(shown->presentedTime(), std::this_thread::get_id());
    });
    const auto buffer = queue_->commandBuffer();
    encodePass(*buffer, drawable->texture(), {.pipeline = newPipeline("fullscreenVertex", "flatFragment"),
                                              .fragmentBytes = colorBytes(0, 1, 0, 1)});
    buffer->presentDrawable(drawable);
    EXPECT_EQ(drawable->presentedTime(), 0.0);
    const double committed = foundation::ProcessInfo::systemUptime();
    buffer->commit();
    buffer->waitUntilCompleted();
    const double completed = foundation::ProcessInfo::systemUptime();

    std::lock_guard lock(mutex);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_GE(reports[0].first, committed);
    EXPECT_LE(reports[0].first, completed);
    EXPECT_NE(reports[0].second, std::this_thread::get_id());
    EXPECT_EQ(drawable->presentedTime(), reports[0].first);
    EXPECT_EQ(readPixels(*drawable->texture()).at(15, 7), (Pixel{0, 255, 0, 255}));
}

// A drawable let go of unpresented comes back without the handlers of the
// frame that never was, and without its time.
TEST_F(OffscreenDrawableTest, ADrawableHandedOutAgainForgetsTheFrameThatWasNeverPresented) {
    const auto source = device_->newOffscreenDrawableSource(kTargetFormat, 16, 8);
    std::atomic<int> forgotten = 0, reported = 0;
    auto dropped = source->nextDrawable();
    ASSERT_NE(dropped, nullptr);
    const gpu::Drawable* record = dropped.get();
    dropped->addPresentedHandler([&forgotten](const std::shared_ptr<gpu::Drawable>&) { ++forgotten; });
    dropped.reset();

    std::vector<std::shared_ptr<gpu::Drawable>> others;
    std::shared_ptr<gpu::Drawable> again;
    while (!again) {
        auto next = source->nextDrawable();
        ASSERT_NE(next, nullptr) << "the record was never handed out again";
        if (next.get() == record) {
            again = std::move(next);
        } else {
            others.push_back(std::move(next));
        }
    }
    again->addPresentedHandler([&reported](const std::shared_ptr<gpu::Drawable>&) { ++reported; });
    EXPECT_EQ(again->presentedTime(), 0.0);
    const auto buffer = queue_->commandBuffer();
    encodePass(*buffer, again->texture(), {.pipeline = newPipeline("fullscreenVertex", "flatFragment"),
                                           .fragmentBytes = colorBytes(0, 1, 0, 1)});
    buffer->presentDrawable(again);
    buffer->commit();
    buffer->waitUntilCompleted();
    EXPECT_EQ(reported, 1);
    EXPECT_EQ(forgotten, 0);
    EXPECT_GT(again->presentedTime(), 0.0);
}
