#include "serial/owner_queue.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using serial::CommMessage;
using serial::Notification;
using serial::OwnerQueue;

struct Recorder : serial::NotifyTarget {
    std::vector<std::uint32_t> params;
    std::function<void(Notification&)> also;
    void HandleNotification(Notification& n) override {
        params.push_back(n.param);
        if (also) also(n);
    }
};

Notification Note(std::uint32_t param) {
    Notification n;
    n.message = serial::CM_ERROR;
    n.param = param;
    return n;
}

bool Readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1;
}

TEST(OwnerQueue, PostsFromManyThreadsArriveInEachThreadsOrderAndTheFdTellsWhenSomethingWaits) {
    OwnerQueue queue;
    Recorder target;
    EXPECT_FALSE(Readable(queue.fd()));
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(queue.wait(30ms));
    EXPECT_GE(std::chrono::steady_clock::now() - started, 30ms);

    constexpr std::uint32_t kThreads = 4, kEach = 2000;
    std::vector<std::thread> posters;
    for (std::uint32_t t = 0; t < kThreads; ++t)
        posters.emplace_back([&, t] {
            for (std::uint32_t i = 0; i < kEach; ++i) queue.post(&target, Note(t << 16 | i));
        });
    std::size_t delivered = 0;
    while (delivered < kThreads * kEach) {
        ASSERT_TRUE(queue.wait(2000ms));
        EXPECT_TRUE(Readable(queue.fd()));
        delivered += queue.dispatch();
    }
    for (auto& p : posters) p.join();
    EXPECT_EQ(queue.dispatch(), 0u);
    EXPECT_FALSE(Readable(queue.fd()));

    std::vector<std::uint32_t> next(kThreads, 0);
    for (auto p : target.params) {
        const auto t = p >> 16;
        ASSERT_EQ(p & 0xFFFF, next[t]) << "thread " << t;
        ++next[t];
    }
}

TEST(OwnerQueue, CancelDropsOnlyThatTargetAndHandlersThatWaitOrPostKeepTheOrder) {
    OwnerQueue queue;
    Recorder a, b;
    for (std::uint32_t i = 0; i < 6; ++i) queue.post(i % 2 ? &b : &a, Note(i));
    queue.cancel(&b);
    EXPECT_EQ(queue.pending(), 3u);

    // A handler that waits (runs the loop again) inside its own delivery: what it delivers
    // there still comes in posting order, and the outer dispatch does not deliver it again.
    a.also = [&](Notification& n) {
        if (n.param == 0) queue.dispatch();
    };
    EXPECT_EQ(queue.dispatch(), 1u);
    EXPECT_EQ(a.params, (std::vector<std::uint32_t>{0, 2, 4}));
    EXPECT_TRUE(b.params.empty());
    EXPECT_FALSE(Readable(queue.fd()));

    // What a handler posts waits for the next dispatch, so a loop that posts cannot starve
    // its caller.
    a.also = [&](Notification& n) { queue.post(&a, Note(n.param + 1)); };
    queue.post(&a, Note(10));
    EXPECT_EQ(queue.dispatch(), 1u);
    EXPECT_TRUE(Readable(queue.fd()));
    EXPECT_EQ(queue.dispatch(), 1u);
    EXPECT_EQ(a.params.back(), 11u);
}

}  // namespace
