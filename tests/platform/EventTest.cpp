// Events raise into their handlers in order; connections end when asked, when their scope
// ends, or harmlessly after the event itself is gone.

#include "platform/Event.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace oz {
namespace {

TEST(Event, RaisesIntoEveryHandlerInTheOrderConnected) {
    Event<int> e;
    std::string log;
    e.Connect([&](int v) { log += "a" + std::to_string(v); });
    e.Connect([&](int v) { log += "b" + std::to_string(v); });
    e.Raise(1);
    e.Raise(2);
    EXPECT_EQ(log, "a1b1a2b2");
}

TEST(Event, ScopedConnectionsEndWithTheirScopeOrWhenReplaced) {
    Event<> e;
    int first = 0, second = 0;
    {
        ScopedConnection c = e.Connect([&] { ++first; });
        e.Raise();
        c = e.Connect([&] { ++second; }); // replacing ends the first
        e.Raise();
    }
    e.Raise(); // the scope has ended both
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);
    EXPECT_FALSE(e.HasHandlers());
}

TEST(Event, AHandlerMayDisconnectItselfOrConnectAnotherWhileRaised) {
    Event<> e;
    int self = 0, late = 0;
    Connection mine;
    mine = e.Connect([&] {
        ++self;
        mine.Disconnect();
        e.Connect([&] { ++late; });
    });
    e.Raise(); // the new handler joins after this raise
    EXPECT_EQ(self, 1);
    EXPECT_EQ(late, 0);
    e.Raise();
    EXPECT_EQ(self, 1);
    EXPECT_EQ(late, 1);
}

TEST(Event, ConnectionsOutlivingTheirEventDisconnectHarmlessly) {
    auto e = std::make_unique<Event<>>();
    ScopedConnection c = e->Connect([] {});
    e.reset();
    // ~ScopedConnection runs after the event is gone: nothing to touch, no crash.
}

} // namespace
} // namespace oz
