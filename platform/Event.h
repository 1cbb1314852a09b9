#pragma once
// How objects report to their owners: an event source member, raised synchronously into
// every handler connected to it, in the order they were connected. Handlers are
// connected once, when the owner wires its parts together; raising never allocates.

#include <functional>
#include <utility>
#include <vector>

namespace oz {

template <typename... Args> class Event {
public:
    using Handler = std::function<void(Args...)>;

    void Connect(Handler handler) { handlers_.push_back(std::move(handler)); }
    void DisconnectAll() { handlers_.clear(); }
    bool HasHandlers() const { return !handlers_.empty(); }

    void Raise(Args... args) const {
        for (const Handler& h : handlers_)
            h(args...);
    }

private:
    std::vector<Handler> handlers_;
};

} // namespace oz
