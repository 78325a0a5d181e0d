// The callable kept in place of a heap allocation: what it captures lives
// exactly as long as the functions that hold it, as with std::function.
#include "platform/foundation/InplaceFunction.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using Function = foundation::InplaceFunction<int(int), 32>;

} // namespace

TEST(InplaceFunction, CopiesMovesAndReleasesWhatItCapturesAsOften) {
    auto captured = std::make_shared<int>(10);
    Function add = [captured](int value) { return *captured + value; };
    EXPECT_EQ(add(5), 15);
    EXPECT_EQ(captured.use_count(), 2);

    Function copy = add;
    EXPECT_EQ(captured.use_count(), 3);
    EXPECT_EQ(copy(1), 11);

    Function moved = std::move(add);
    EXPECT_FALSE(add);
    EXPECT_EQ(captured.use_count(), 3);
    EXPECT_EQ(moved(2), 12);

    copy = moved;
    EXPECT_EQ(captured.use_count(), 3);
    moved = nullptr;
    EXPECT_FALSE(moved);
    EXPECT_EQ(captured.use_count(), 2);
    {
        const Function scoped = std::move(copy);
    }
    EXPECT_EQ(captured.use_count(), 1);
}

TEST(InplaceFunction, AnEmptyOneSaysSoAndThrowsWhenCalled) {
    int (*none)(int) = nullptr;
    for (const Function& empty : {Function(), Function(nullptr), Function(none)}) {
        EXPECT_FALSE(empty);
        EXPECT_THROW(empty(0), std::bad_function_call);
    }
    const Function plain = [](int value) { return -value; };
    EXPECT_TRUE(plain);
    EXPECT_EQ(plain(3), -3);
}
