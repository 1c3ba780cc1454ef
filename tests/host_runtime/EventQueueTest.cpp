#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/EventObject.h"
#include "runtime/Host.h"
#include "services/HostServices.h"

namespace {

struct Note final : qx::EventObject<Note> {
    explicit Note(std::string words)
        : EventObject(0x100001u, "Test::note"), text(std::move(words)) {}
    std::string text;
};

// Records what it receives, in one order list shared with tasks and timers.
class EventQueue : public ::testing::Test, public qx::IListener {
protected:
    std::int32_t handleEvent(qx::Event* event) override {
        order.push_back(static_cast<Note*>(event)->text);
        event->destroy(1);
        return 1;
    }
    void post(const std::string& text) { host.post(new Note(text), this); }
    std::function<void()> note(const std::string& text) {
        return [this, text] { order.push_back(text); };
    }

    int live() const { return qx::liveModuleEvents() - before; }
    const int before = qx::liveModuleEvents();
    qxhost::Host host;
    std::vector<std::string> order;
};

TEST_F(EventQueue, OnePassDeliversInOrderOnlyWhatWasQueuedBeforeIt) {
    post("a");
    host.post(note("task"));
    host.post([&] { post("follow-up"); });
    post("b");
    qx::hostProcessEvents();
    EXPECT_EQ(order, (std::vector<std::string>{"a", "task", "b"}));
    EXPECT_EQ(host.pendingEvents(), 1u);
    host.processEvents();
    EXPECT_EQ(order.back(), "follow-up");
    EXPECT_EQ(live(), 0);
}

TEST_F(EventQueue, EventsWithoutReceiverOrLeftOverAreDestroyed) {
    host.post(new Note("nobody"), nullptr);
    host.processEvents();
    EXPECT_EQ(live(), 0);
    {
        qxhost::Host other;
        other.post(new Note("never delivered"), this);
        EXPECT_EQ(live(), 1);
    }
    EXPECT_EQ(live(), 0);
    EXPECT_TRUE(order.empty());

    int runs = 0;
    std::function<void()> again = [&] {
        ++runs;
        host.post(again);
    };
    host.post(again);
    host.drainEvents(5); // stops after its pass limit
    EXPECT_EQ(runs, 5);
    EXPECT_EQ(host.pendingEvents(), 1u);
}

TEST_F(EventQueue, TimersRunInTimeOrderBehindWaitingEvents) {
    host.clock().set(1000);
    host.postAt(1200, note("late"));
    host.postAt(1100, note("early"));
    host.postAt(1100, [&] {
        order.push_back("early too");
        host.postAt(0, note("timer from timer")); // due, but waits for the next pass
    });
    host.clock().set(1099);
    host.processEvents();
    EXPECT_TRUE(order.empty());
    host.clock().set(1100);
    post("event");
    host.processEvents();
    EXPECT_EQ(order, (std::vector<std::string>{"event", "early", "early too"}));
    host.clock().advance(5000);
    host.processEvents();
    EXPECT_EQ(order, (std::vector<std::string>{"event", "early", "early too", "timer from timer",
                                               "late"}));
    EXPECT_EQ(host.pendingTimers(), 0u);
}

} // namespace
