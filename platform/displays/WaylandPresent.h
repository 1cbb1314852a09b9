#pragma once
// The window's image shown on a Wayland surface without a graphics card: shared-memory
// buffers (wl_shm) attached to the surface, only the changed rectangles declared, and a
// buffer written again only after the compositor has given it back.
//
// Its requests and the compositor's answers travel on an event queue of their own, so
// that they never mix with those of the toolkit that owns the surface; the toolkit's own
// reading of the connection fills that queue, and each Show dispatches what arrived.
//
// Each shown frame also asks the compositor to say when it has drawn the surface (a frame
// callback, one at a time). A compositor says nothing while nobody can see the surface (on
// another workspace, minimised, covered), and that is how the flight knows to rest.

#include "platform/displays/PendingRegions.h"
#include "platform/pixels/Bitmap.h"

#include <cstdint>
#include <memory>
#include <string>

struct wl_buffer;
struct wl_callback;
struct wl_display;
struct wl_event_queue;
struct wl_registry;
struct wl_shm;
struct wl_surface;

namespace oz {

class WaylandPresent {
public:
    // Null, with the reason in `error`, when the compositor offers no shared memory.
    static std::unique_ptr<WaylandPresent> Create(wl_display* display, wl_surface* surface,
                                                  std::string& error);
    ~WaylandPresent();
    WaylandPresent(const WaylandPresent&) = delete;
    WaylandPresent& operator=(const WaylandPresent&) = delete;

    // Shows the given regions of `image`, which has the buffer's own pixels: `scale` of
    // them across each of the surface's logical pixels. False, with the reason, when the
    // image cannot reach the screen (the connection is lost, memory cannot be shared).
    bool Show(const Bitmap& image, const IntRect* regions, int count, int scale,
              std::string& error);

    // Whether the connection to the compositor broke.
    bool Lost() const;

    // Whether the compositor has drawn nothing of the surface for kUnseenMs since it was
    // last asked to: nobody sees it. Never before the compositor has answered once, so that
    // one that never answers cannot stop the flight. `nowMs` is the caller's clock.
    bool Unseen(std::uint32_t nowMs);
    static constexpr std::uint32_t kUnseenMs = 500;

    // Buffers made so far (at most kMaxBuffers per size), for the tests.
    int BufferCount() const { return count_; }
    static constexpr int kMaxBuffers = 3;

private:
    struct Buffer {
        wl_buffer* buffer = nullptr;
        Pixel* pixels = nullptr;
        size_t bytes = 0;
        bool busy = false; // held by the compositor until it releases it
        PendingRegions pending;
    };

    WaylandPresent(wl_display* display, wl_surface* surface);
    bool Connected(std::string& error);
    Buffer* FreeBuffer(int width, int height, std::string& error);
    bool MakeBuffer(Buffer& b, int width, int height, std::string& error);
    void DropBuffers();
    static void Bring(Buffer& b, const Bitmap& image);

    static void OnGlobal(void* self, wl_registry* registry, unsigned name, const char* interface,
                         unsigned version);
    static void OnGlobalRemove(void*, wl_registry*, unsigned) {}
    static void OnRelease(void* buffer, wl_buffer*);
    static void OnFrameDrawn(void* self, wl_callback* callback, std::uint32_t);

    wl_display* display_;
    wl_surface* surface_;
    wl_event_queue* queue_ = nullptr;
    wl_display* wrapper_ = nullptr;        // the display, speaking on our queue
    wl_surface* surfaceWrapper_ = nullptr; // the surface, speaking on our queue
    wl_callback* frame_ = nullptr;         // asked with the last frame shown, not yet answered
    bool answered_ = false;                // the compositor has answered a frame callback
    bool askedAtKnown_ = false;
    std::uint32_t askedAt_ = 0; // when Unseen first saw frame_ waiting
    wl_registry* registry_ = nullptr;
    wl_shm* shm_ = nullptr;
    Buffer buffers_[kMaxBuffers];
    int count_ = 0;
    int width_ = 0, height_ = 0, scale_ = 0;
};

} // namespace oz
