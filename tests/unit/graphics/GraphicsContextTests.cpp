#include "platform/graphics/GraphicsContext.h"

#include <gtest/gtest.h>

#include <thread>

using graphics::BitmapImageRep;
using graphics::GraphicsContext;

namespace {

std::shared_ptr<GraphicsContext> makeContext() {
    return GraphicsContext::graphicsContextWithBitmapImageRep(BitmapImageRep::initWithPixelsWide(2, 2));
}

} // namespace

TEST(GraphicsContext, RestoringMakesTheContextOfTheMatchingSaveCurrentAgain) {
    const auto outer = makeContext();
    const auto middle = makeContext();
    GraphicsContext::setCurrentContext(outer);
    GraphicsContext::saveGraphicsState();
    GraphicsContext::setCurrentContext(middle);
    GraphicsContext::saveGraphicsState();
    GraphicsContext::setCurrentContext(makeContext());
    GraphicsContext::restoreGraphicsState();
    EXPECT_EQ(GraphicsContext::currentContext(), middle);
    GraphicsContext::restoreGraphicsState();
    EXPECT_EQ(GraphicsContext::currentContext(), outer);
    // More restores than saves leave the current context alone.
    GraphicsContext::restoreGraphicsState();
    EXPECT_EQ(GraphicsContext::currentContext(), outer);
    GraphicsContext::setCurrentContext(nullptr);
}

TEST(GraphicsContext, EachThreadHasItsOwnCurrentContextAndSavedStates) {
    const auto mine = makeContext();
    GraphicsContext::setCurrentContext(mine);
    GraphicsContext::saveGraphicsState();
    std::shared_ptr<GraphicsContext> seenByOther = mine;
    std::thread other([&] {
        seenByOther = GraphicsContext::currentContext();
        GraphicsContext::setCurrentContext(makeContext());
        // Must not pop the state this thread's owner saved.
        GraphicsContext::restoreGraphicsState();
        GraphicsContext::setCurrentContext(nullptr);
    });
    other.join();
    EXPECT_EQ(seenByOther, nullptr);
    GraphicsContext::setCurrentContext(nullptr);
    GraphicsContext::restoreGraphicsState();
    EXPECT_EQ(GraphicsContext::currentContext(), mine);
    GraphicsContext::setCurrentContext(nullptr);
}

TEST(GraphicsContext, NeedsARasterWithAnAreaInPixelsAndPoints) {
    EXPECT_EQ(GraphicsContext::graphicsContextWithBitmapImageRep(nullptr), nullptr);
    const auto pointless = BitmapImageRep::initWithPixelsWide(4, 4);
    pointless->setSize({0, 4});
    EXPECT_EQ(GraphicsContext::graphicsContextWithBitmapImageRep(pointless), nullptr);
    for (const auto& [wide, high] : {std::pair{0u, 4u}, std::pair{4u, 0u}, std::pair{40000u, 4u}, std::pair{4u, 3000000000u}}) {
        EXPECT_EQ(BitmapImageRep::initWithPixelsWide(wide, high), nullptr) << wide << "x" << high;
    }
}
