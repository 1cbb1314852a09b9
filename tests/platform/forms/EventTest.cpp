// Events raise into their handlers in order; connections end when asked, when their scope
// ends, or harmlessly after the event itself is gone.

#include "platform/forms/Event.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>

namespace oz {
namespace {

TEST(Event, RaisesInOrderAndAHandlerMayDisconnectItselfOrConnectAnother) {
    Event<int> e;
    std::string log;
    Connection mine;
    mine = e.Connect([&](int v) {
        log += "a" + std::to_string(v);
        mine.Disconnect();
        e.Connect([&](int w) { log += "c" + std::to_string(w); });
    });
    e.Connect([&](int v) { log += "b" + std::to_string(v); });
    e.Raise(1); // the new handler joins after this raise
    e.Raise(2);
    EXPECT_EQ(log, "a1b1b2c2");
}

TEST(Event, ScopedConnectionsEndWithTheirScopeOrWhenReplacedOrOutliveTheirEvent) {
    auto e = std::make_unique<Event<>>();
    int first = 0, second = 0;
    {
        ScopedConnection c = e->Connect([&] { ++first; });
        e->Raise();
        c = e->Connect([&] { ++second; }); // replacing ends the first
        e->Raise();
    }
    e->Raise(); // the scope has ended both
    EXPECT_EQ(std::tuple(first, second, e->HasHandlers()), std::tuple(1, 1, false));
    // A connection whose event goes first ends without touching it.
    ScopedConnection late = e->Connect([] {});
    e.reset();
}

} // namespace
} // namespace oz
