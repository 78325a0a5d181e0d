#include "platform/foundation/NotificationCenter.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using foundation::Notification;
using foundation::NotificationCenter;

namespace {

// A private centre per test keeps observers of other tests out of the way.
struct Recorder {
    std::vector<std::string> seen;
    NotificationCenter::Block block(const std::string& tag) {
        return [this, tag](const Notification& n) { seen.push_back(tag + ":" + n.name); };
    }
};

} // namespace

TEST(NotificationCenter, DeliversByNameAndSenderWithMissingFiltersMatchingAny) {
    NotificationCenter center;
    Recorder recorder;
    int sender = 0, otherSender = 0;
    center.addObserverForName("a", nullptr, recorder.block("a-any"));
    center.addObserverForName("a", &sender, recorder.block("a-sender"));
    center.addObserverForName(std::nullopt, nullptr, recorder.block("all"));
    center.addObserverForName(std::nullopt, &otherSender, recorder.block("other"));

    center.postNotificationName("a", &sender);
    center.postNotificationName("b");

    EXPECT_EQ(recorder.seen, (std::vector<std::string>{"a-any:a", "a-sender:a", "all:a", "all:b"}));
}

TEST(NotificationCenter, DeliversSynchronouslyOnThePostingThread) {
    NotificationCenter center;
    std::thread::id deliveredOn;
    center.addObserverForName("n", nullptr, [&](const Notification&) { deliveredOn = std::this_thread::get_id(); });
    std::thread poster([&] { center.postNotificationName("n"); });
    const auto posterId = poster.get_id();
    poster.join();
    EXPECT_EQ(deliveredOn, posterId);
}

TEST(NotificationCenter, ObserversRemovedDuringDeliveryAreNotCalledAgain) {
    NotificationCenter center;
    Recorder recorder;
    NotificationCenter::ObserverId second = 0;
    NotificationCenter::ObserverId first = center.addObserverForName("n", nullptr, [&](const Notification& n) {
        recorder.seen.push_back("first:" + n.name);
        center.removeObserver(first); // itself
        center.removeObserver(second); // one that has not run yet
    });
    second = center.addObserverForName("n", nullptr, recorder.block("second"));
    center.addObserverForName("n", nullptr, recorder.block("third"));

    center.postNotificationName("n");
    center.postNotificationName("n");

    EXPECT_EQ(recorder.seen, (std::vector<std::string>{"first:n", "third:n", "third:n"}));
}

TEST(NotificationCenter, RemovingAnUnknownObserverIsHarmless) {
    NotificationCenter center;
    Recorder recorder;
    const auto id = center.addObserverForName("n", nullptr, recorder.block("x"));
    center.removeObserver(id);
    center.removeObserver(id);
    center.removeObserver(12345);
    center.postNotificationName("n");
    EXPECT_TRUE(recorder.seen.empty());
}
