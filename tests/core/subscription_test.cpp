#include "common/subscription.h"

#include <gtest/gtest.h>

namespace wardel {
namespace {

TEST(Subscription, OneObserverUntilItsSubscriptionEnds) {
    SingleObserver<int> notice;
    int seen = 0;
    {
        const Subscription first = notice.subscribe([&seen](int value) { seen += value; });
        EXPECT_THROW((void)notice.subscribe([](int) {}), std::logic_error);
        notice.notify(2);
    }
    notice.notify(5); // nobody listens any more
    EXPECT_EQ(seen, 2);
    const Subscription second = notice.subscribe([&seen](int value) { seen += value; });
    notice.notify(1);
    EXPECT_EQ(seen, 3);
}

TEST(Subscription, MayOutliveWhatItObserves) {
    Subscription kept;
    {
        SingleObserver<> notice;
        kept = notice.subscribe([] {});
    }
    kept.reset(); // cancels nothing, touches nothing
    EXPECT_FALSE(kept);
}

} // namespace
} // namespace wardel
