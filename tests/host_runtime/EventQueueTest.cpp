#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "module/HostServices.h"
#include "runtime/Host.h"

namespace {

// An event of the test's own, counting how many are alive.
class Note final : public qx::Event {
public:
    Note(std::string text, int& live)
        : Event(0x100001u, "Test::note"), text(std::move(text)), live_(live) {
        ++live_;
    }
    void* destroy(std::uint32_t flags) override {
        --live_;
        this->~Note();
        if ((flags & 1u) != 0) {
            ::operator delete(static_cast<void*>(this));
        }
        return this;
    }
    std::string text;

private:
    ~Note() = default;
    int& live_;
};

// Records what it receives; may post a follow-up on each delivery.
class Recorder final : public qx::IListener {
public:
    std::int32_t handleEvent(qx::Event* event) override {
        received.push_back(static_cast<Note*>(event)->text);
        event->destroy(1);
        if (onReceive) {
            onReceive();
        }
        return 1;
    }
    std::vector<std::string> received;
    std::function<void()> onReceive;
};

class EventQueue : public ::testing::Test {
protected:
    void post(const std::string& text) { host.post(new Note(text, live), &recorder); }

    int live = 0;
    qxhost::Host host;
    Recorder recorder;
};

TEST_F(EventQueue, OnePassDeliversOnlyWhatWasQueuedBeforeIt) {
    post("a");
    post("b");
    int chained = 0;
    recorder.onReceive = [&] {
        if (chained++ < 2) {
            post("follow-up");
        }
    };
    host.processEvents();
    EXPECT_EQ(recorder.received, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(host.pendingEvents(), 2u);
    host.processEvents();
    EXPECT_EQ(recorder.received.size(), 4u);
    host.processEvents();
    EXPECT_EQ(recorder.received.size(), 4u);
    EXPECT_EQ(live, 0);
}

TEST_F(EventQueue, EventsAndTasksKeepTheirOrder) {
    std::vector<std::string> order;
    recorder.onReceive = [&] { order.push_back(recorder.received.back()); };
    post("first");
    host.post([&] { order.push_back("task"); });
    post("last");
    qx::hostProcessEvents();
    EXPECT_EQ(order, (std::vector<std::string>{"first", "task", "last"}));
}

TEST_F(EventQueue, EventsWithoutReceiverOrLeftOverAreDestroyed) {
    host.post(new Note("nobody", live), nullptr);
    host.processEvents();
    EXPECT_EQ(live, 0);
    {
        qxhost::Host other;
        other.post(new Note("never delivered", live), &recorder);
        EXPECT_EQ(live, 1);
    }
    EXPECT_EQ(live, 0);
    EXPECT_TRUE(recorder.received.empty());
}

TEST_F(EventQueue, DrainStopsAfterItsPassLimit) {
    int runs = 0;
    std::function<void()> again = [&] {
        ++runs;
        host.post(again);
    };
    host.post(again);
    host.drainEvents(5);
    EXPECT_EQ(runs, 5);
    EXPECT_EQ(host.pendingEvents(), 1u);
}

TEST_F(EventQueue, TimersRunInTimeOrderOnceTheClockReachesThem) {
    host.clock().set(1000);
    std::vector<std::string> order;
    host.postAt(1200, [&] { order.push_back("late"); });
    host.postAt(1100, [&] { order.push_back("early"); });
    host.postAt(1100, [&] { order.push_back("early too"); });
    EXPECT_EQ(host.pendingTimers(), 3u);

    host.clock().set(1099);
    host.processEvents();
    EXPECT_TRUE(order.empty());

    host.clock().set(1100);
    host.processEvents();
    EXPECT_EQ(order, (std::vector<std::string>{"early", "early too"}));

    host.clock().advance(5000);
    host.processEvents();
    EXPECT_EQ(order.back(), "late");
    EXPECT_EQ(host.pendingTimers(), 0u);
}

TEST_F(EventQueue, DueTimersQueueBehindWaitingEventsAndNewOnesWaitAPass) {
    host.clock().set(0);
    std::vector<std::string> order;
    recorder.onReceive = [&] { order.push_back(recorder.received.back()); };
    host.postAt(0, [&] {
        order.push_back("timer");
        host.postAt(0, [&] { order.push_back("timer from timer"); });
    });
    post("event");
    host.processEvents();
    EXPECT_EQ(order, (std::vector<std::string>{"event", "timer"}));
    host.processEvents();
    EXPECT_EQ(order.back(), "timer from timer");
}

} // namespace
