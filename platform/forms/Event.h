#pragma once
// How objects report to their owners: an event source member, raised synchronously into
// every handler connected to it, in the order they were connected. Handlers are connected
// once, when the owner wires its parts together; raising never allocates.
//
// Connect returns a Connection. A widget bound to a surface keeps its connections in
// ScopedConnection members, so that binding another surface, or the widget going away,
// disconnects its handlers from the old one. Either side may go first.

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace oz {

namespace detail {
struct HandlerList {
    virtual ~HandlerList() = default;
    virtual void Remove(std::uint64_t id) = 0;
};
} // namespace detail

class Connection {
public:
    Connection() = default;
    Connection(std::weak_ptr<detail::HandlerList> list, std::uint64_t id)
        : list_(std::move(list)), id_(id) {}

    void Disconnect() {
        if (auto list = list_.lock())
            list->Remove(id_);
        list_.reset();
    }

private:
    std::weak_ptr<detail::HandlerList> list_;
    std::uint64_t id_ = 0;
};

// A connection that ends when it is replaced or destroyed.
class ScopedConnection {
public:
    ScopedConnection() = default;
    ScopedConnection(Connection c) : connection_(std::move(c)) {}
    ~ScopedConnection() { connection_.Disconnect(); }
    ScopedConnection(const ScopedConnection&) = delete;
    ScopedConnection& operator=(const ScopedConnection&) = delete;
    ScopedConnection& operator=(Connection c) {
        connection_.Disconnect();
        connection_ = std::move(c);
        return *this;
    }

private:
    Connection connection_;
};

template <typename... Args> class Event {
public:
    using Handler = std::function<void(Args...)>;

    Connection Connect(Handler handler) {
        std::uint64_t id = list_->nextId++;
        // While raising, the list must not move under the running handler: new handlers
        // join when the raise is over.
        (list_->raising ? list_->joining : list_->handlers).push_back({id, std::move(handler)});
        return Connection(list_, id);
    }
    void DisconnectAll() {
        for (auto& entry : list_->handlers)
            list_->Remove(entry.id);
    }
    bool HasHandlers() const {
        for (const auto& entry : list_->handlers)
            if (entry.id != 0)
                return true;
        return false;
    }

    void Raise(Args... args) const {
        List& list = *list_;
        ++list.raising;
        for (const Entry& entry : list.handlers)
            if (entry.id != 0)
                entry.handler(args...);
        if (--list.raising == 0)
            list.Settle();
    }

private:
    struct Entry {
        std::uint64_t id;
        Handler handler;
    };
    struct List : detail::HandlerList {
        std::vector<Entry> handlers;
        std::vector<Entry> joining;
        std::uint64_t nextId = 1;
        int raising = 0;
        bool removed = false;

        // A removed handler is only marked during a raise (it may be the one running) and
        // goes when the raise is over.
        void Remove(std::uint64_t id) override {
            for (auto* entries : {&handlers, &joining})
                for (Entry& e : *entries)
                    if (e.id == id && id != 0) {
                        e.id = 0;
                        removed = true;
                    }
            if (raising == 0)
                Settle();
        }

        void Settle() {
            if (removed) {
                std::erase_if(handlers, [](const Entry& e) { return e.id == 0; });
                std::erase_if(joining, [](const Entry& e) { return e.id == 0; });
                removed = false;
            }
            for (Entry& e : joining)
                handlers.push_back(std::move(e));
            joining.clear();
        }
    };

    std::shared_ptr<List> list_ = std::make_shared<List>();
};

} // namespace oz
