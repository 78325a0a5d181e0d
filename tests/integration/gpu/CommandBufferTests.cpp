#include "tests/integration/gpu/GpuTest.h"
#include "tests/support/VulkanFaults.h"

#include <chrono>
#include <functional>
#include <string>
#include <thread>

class CommandBufferTest : public GpuTest {};

// Committing only hands a buffer over: it is recorded into Vulkan and
// submitted on a thread of the queue's own, which a CPU device spends its
// time on, not the committing thread.
TEST_F(CommandBufferTest, AreSubmittedAndCompleteInCommitOrderOffTheCommittingThread) {
    const auto target = newTarget(32, 32);
    const auto pipeline = newPipeline("fullscreenVertex", "flatFragment");
    struct Report {
        int index;
        std::thread::id thread;
        gpu::CommandBufferStatus status;
        bool ownBuffer;
    };
    std::mutex mutex;
    std::vector<Report> reports;
    std::vector<std::shared_ptr<gpu::CommandBuffer>> buffers;
    for (int index = 0; index < 8; ++index) {
        auto buffer = queue_->commandBuffer();
        // Every other buffer is empty, as a drain is.
        if (index % 2 == 0) encodePass(*buffer, target, {.pipeline = pipeline, .fragmentBytes = colorBytes(1, 1, 1, 1)});
        buffer->addCompletedHandler([&, index, expected = buffer.get()](const std::shared_ptr<gpu::CommandBuffer>& done) {
            std::lock_guard lock(mutex);
            reports.push_back({index, std::this_thread::get_id(), done->status(), done.get() == expected});
        });
        buffers.push_back(std::move(buffer));
    }
    const SubmittingThreads submitting;
    for (const auto& buffer : buffers) buffer->commit();
    buffers.back()->waitUntilCompleted();
    const auto submitters = submitting.seen();
    EXPECT_EQ(submitters.size(), buffers.size());
    for (const auto& submitter : submitters) EXPECT_NE(submitter, std::this_thread::get_id());

    std::lock_guard lock(mutex);
    ASSERT_EQ(reports.size(), buffers.size());
    for (int index = 0; index < 8; ++index) {
        EXPECT_EQ(reports[index].index, index);
        EXPECT_NE(reports[index].thread, std::this_thread::get_id());
        EXPECT_EQ(reports[index].status, gpu::CommandBufferStatus::Completed);
        EXPECT_TRUE(reports[index].ownBuffer);
    }
}

TEST_F(CommandBufferTest, WaitingReturnsAtOnceForABufferNeverCommitted) {
    const auto idle = queue_->commandBuffer();
    idle->waitUntilCompleted();
    EXPECT_EQ(idle->status(), gpu::CommandBufferStatus::NotEnqueued);

    const auto empty = queue_->commandBuffer();
    empty->commit();
    empty->waitUntilCompleted();
    EXPECT_EQ(empty->status(), gpu::CommandBufferStatus::Completed);
    EXPECT_EQ(empty->error(), nullptr);
}

TEST_F(CommandBufferTest, ReleasesItsHandlersAndResourcesOnceCompleted) {
    auto sentinel = std::make_shared<int>(0);
    auto intermediate = newTarget(8, 8);
    const std::weak_ptr<gpu::Texture> watched = intermediate;
    const auto target = newTarget(8, 8);
    const auto buffer = queue_->commandBuffer();
    // The owner lets go of the intermediate texture right after encoding;
    // the buffer alone keeps it until the frame is done.
    encodePass(*buffer, intermediate, {.pipeline = newPipeline("fullscreenVertex", "flatFragment"),
                                       .fragmentBytes = colorBytes(1, 0, 0, 1)});
    encodePass(*buffer, target, {.pipeline = newPipeline("fullscreenVertex", "sampledFragment"),
                                 .texture = intermediate,
                                 .sampler = newSampler(gpu::SamplerMinMagFilter::Nearest)});
    buffer->addCompletedHandler([sentinel](const std::shared_ptr<gpu::CommandBuffer>&) {});
    intermediate.reset();
    EXPECT_FALSE(watched.expired());
    buffer->commit();
    buffer->waitUntilCompleted();

    EXPECT_TRUE(watched.expired());
    EXPECT_EQ(sentinel.use_count(), 1);
    EXPECT_EQ(readPixels(*target).at(4, 4), (Pixel{0, 0, 255, 255}));
}

TEST_F(CommandBufferTest, ADeviceReleasedWithWorkInFlightFinishesItFirst) {
    const auto target = newTarget(64, 64);
    std::atomic<int> completed = 0;
    {
        const auto pipeline = newPipeline("fullscreenVertex", "flatFragment");
        for (int index = 0; index < 4; ++index) {
            const auto buffer = queue_->commandBuffer();
            encodePass(*buffer, target, {.pipeline = pipeline, .fragmentBytes = colorBytes(0, 0, 1, 1)});
            buffer->addCompletedHandler([&completed](const std::shared_ptr<gpu::CommandBuffer>&) { ++completed; });
            buffer->commit();
        }
    }
    // Dropped in an order that leaves the in-flight buffers as the last
    // owners of what they use.
    queue_.reset();
    library_.reset();
    device_.reset();
    EXPECT_EQ(completed, 4);
    EXPECT_EQ(readPixels(*target).at(10, 10), (Pixel{255, 0, 0, 255}));
}

// Breaking a rule of the interface is ignored, logged with the call's name,
// and stops a debug build at once, so it shows on the real backend too.
TEST_F(CommandBufferTest, MisuseIsReportedWithTheCallThatBrokeTheRule) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto target = newTarget(8, 8);
    const auto pipeline = newPipeline("fullscreenVertex", "flatFragment");
    auto pass = gpu::RenderPassDescriptor::renderPassDescriptor();
    pass.colorAttachments[0] = {.texture = target, .loadAction = gpu::LoadAction::Clear,
                                .storeAction = gpu::StoreAction::Store, .clearColor = {}};
    struct Case {
        const char* call;
        std::function<void(gpu::CommandBuffer&)> misuse;
    };
    const Case cases[] = {
        {"commit", [](gpu::CommandBuffer& buffer) { buffer.commit(); buffer.commit(); }},
        {"setRenderPipelineState",
         [&](gpu::CommandBuffer& buffer) {
             const auto encoder = buffer.renderCommandEncoderWithDescriptor(pass);
             encoder->endEncoding();
             encoder->setRenderPipelineState(pipeline);
         }},
        {"drawPrimitives",
         [&](gpu::CommandBuffer& buffer) {
             buffer.renderCommandEncoderWithDescriptor(pass)->drawPrimitives(gpu::PrimitiveType::Triangle, 0, 3);
         }},
        {"renderCommandEncoderWithDescriptor",
         [&](gpu::CommandBuffer& buffer) {
             const auto open = buffer.renderCommandEncoderWithDescriptor(pass);
             buffer.renderCommandEncoderWithDescriptor(pass);
         }},
        {"addCompletedHandler",
         [](gpu::CommandBuffer& buffer) {
             buffer.commit();
             buffer.addCompletedHandler([](const std::shared_ptr<gpu::CommandBuffer>&) {});
         }},
    };
    for (const auto& c : cases) {
        const auto buffer = queue()->commandBuffer();
        const std::string expected = std::string("GPU interface misused: ") + c.call;
#ifdef NDEBUG
        ::testing::internal::CaptureStderr();
        c.misuse(*buffer);
        EXPECT_NE(::testing::internal::GetCapturedStderr().find(expected), std::string::npos) << c.call;
#else
        EXPECT_DEATH(c.misuse(*buffer), expected) << c.call;
#endif
        if (buffer->status() == gpu::CommandBufferStatus::NotEnqueued) buffer->commit();
        buffer->waitUntilCompleted();
    }
}

// Buffers are records handed out again once nobody holds them: one comes
// back clean, and what its last frame asked for is not done twice.
TEST_F(CommandBufferTest, ABufferHandedOutAgainStartsAfresh) {
    int completions = 0;
    auto first = queue_->commandBuffer();
    const gpu::CommandBuffer* record = first.get();
    first->setLabel("KORLAN Flow Frame");
    first->addCompletedHandler([&completions](const std::shared_ptr<gpu::CommandBuffer>&) { ++completions; });
    first->commit();
    first->waitUntilCompleted();
    first.reset();

    // The completion thread lets go of the record a moment after the wait
    // returned: until then another record is handed out.
    std::shared_ptr<gpu::CommandBuffer> again;
    std::vector<std::shared_ptr<gpu::CommandBuffer>> others;
    for (int tries = 0; tries < 200 && !again; ++tries) {
        auto next = queue_->commandBuffer();
        if (next.get() == record) {
            again = std::move(next);
        } else {
            // Kept, so that the next one asked for is another record.
            others.push_back(std::move(next));
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    ASSERT_NE(again, nullptr) << "the record was never handed out again";
    EXPECT_EQ(again->label(), "");
    EXPECT_EQ(again->status(), gpu::CommandBufferStatus::NotEnqueued);
    EXPECT_EQ(again->error(), nullptr);
    again->commit();
    again->waitUntilCompleted();
    EXPECT_EQ(again->status(), gpu::CommandBufferStatus::Completed);
    EXPECT_EQ(completions, 1);
}
