#include "platform/displays/WaylandPresent.h"

#include <wayland-client.h>

#include <cerrno>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace oz {

namespace {

constexpr const char* kConnectionLost = "the connection to the Wayland compositor was lost";

// A memory file of `bytes`, -1 when the system has none to give.
int SharedMemoryFile(size_t bytes) {
    const int fd = memfd_create("ozmir-frame", MFD_CLOEXEC);
    if (fd < 0)
        return -1;
    int r;
    do
        r = ftruncate(fd, static_cast<off_t>(bytes));
    while (r < 0 && errno == EINTR);
    if (r < 0) {
        close(fd);
        return -1;
    }
    return fd;
}

} // namespace

void WaylandPresent::OnGlobal(void* self, wl_registry* registry, unsigned name,
                              const char* interface, unsigned) {
    auto* me = static_cast<WaylandPresent*>(self);
    if (std::strcmp(interface, wl_shm_interface.name) == 0 && !me->shm_)
        me->shm_ = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
}

void WaylandPresent::OnRelease(void* buffer, wl_buffer*) {
    static_cast<Buffer*>(buffer)->busy = false;
}

void WaylandPresent::OnFrameDrawn(void* self, wl_callback* callback, std::uint32_t) {
    auto* me = static_cast<WaylandPresent*>(self);
    wl_callback_destroy(callback);
    me->frame_ = nullptr;
    me->answered_ = true;
}

WaylandPresent::WaylandPresent(wl_display* display, wl_surface* surface)
    : display_(display), surface_(surface) {}

std::unique_ptr<WaylandPresent> WaylandPresent::Create(wl_display* display, wl_surface* surface,
                                                       std::string& error) {
    static const wl_registry_listener registryListener = {&OnGlobal, &OnGlobalRemove};
    std::unique_ptr<WaylandPresent> me(new WaylandPresent(display, surface));
    me->queue_ = wl_display_create_queue(display);
    me->wrapper_ = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
    me->surfaceWrapper_ = static_cast<wl_surface*>(wl_proxy_create_wrapper(surface));
    if (!me->queue_ || !me->wrapper_ || !me->surfaceWrapper_) {
        error = "out of memory";
        return nullptr;
    }
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(me->wrapper_), me->queue_);
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(me->surfaceWrapper_), me->queue_);
    me->registry_ = wl_display_get_registry(me->wrapper_);
    wl_registry_add_listener(me->registry_, &registryListener, me.get());
    if (wl_display_roundtrip_queue(display, me->queue_) < 0) {
        error = kConnectionLost;
        return nullptr;
    }
    if (!me->shm_) {
        error = "the Wayland compositor offers no shared memory (wl_shm)";
        return nullptr;
    }
    return me;
}

WaylandPresent::~WaylandPresent() {
    // The surface lets go of our buffers before they go.
    if (count_ > 0 && !Lost()) {
        wl_surface_attach(surface_, nullptr, 0, 0);
        wl_surface_commit(surface_);
        wl_display_roundtrip_queue(display_, queue_);
    }
    DropBuffers();
    if (frame_)
        wl_callback_destroy(frame_);
    if (surfaceWrapper_)
        wl_proxy_wrapper_destroy(surfaceWrapper_);
    if (shm_)
        wl_shm_destroy(shm_);
    if (registry_)
        wl_registry_destroy(registry_);
    if (wrapper_)
        wl_proxy_wrapper_destroy(wrapper_);
    if (queue_)
        wl_event_queue_destroy(queue_);
}

void WaylandPresent::DropBuffers() {
    for (Buffer& b : buffers_) {
        if (b.buffer)
            wl_buffer_destroy(b.buffer);
        if (b.pixels)
            munmap(b.pixels, b.bytes);
        b.buffer = nullptr;
        b.pixels = nullptr;
        b.busy = false;
    }
    count_ = 0;
}

bool WaylandPresent::MakeBuffer(Buffer& b, int width, int height, std::string& error) {
    static const wl_buffer_listener bufferListener = {&OnRelease};
    b.bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * sizeof(Pixel);
    const int fd = SharedMemoryFile(b.bytes);
    void* pixels =
        fd < 0 ? MAP_FAILED : mmap(nullptr, b.bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels == MAP_FAILED) {
        if (fd >= 0)
            close(fd);
        error =
            std::string("cannot share memory with the Wayland compositor: ") + std::strerror(errno);
        return false;
    }
    wl_shm_pool* pool = wl_shm_create_pool(shm_, fd, static_cast<int32_t>(b.bytes));
    b.buffer = wl_shm_pool_create_buffer(pool, 0, width, height, width * 4, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    b.pixels = static_cast<Pixel*>(pixels);
    b.busy = false;
    b.pending.MissAll(IntRect{0, 0, width, height});
    wl_buffer_add_listener(b.buffer, &bufferListener, &b);
    ++count_;
    return true;
}

bool WaylandPresent::Lost() const {
    return wl_display_get_error(display_) != 0;
}

bool WaylandPresent::Connected(std::string& error) {
    if (wl_display_get_error(display_) == 0)
        return true;
    error = kConnectionLost;
    return false;
}

// A buffer the compositor does not hold: one given back, else a new one while there are
// fewer than kMaxBuffers, else the first one given back after a round trip.
WaylandPresent::Buffer* WaylandPresent::FreeBuffer(int width, int height, std::string& error) {
    for (;;) {
        for (int i = 0; i < count_; ++i)
            if (!buffers_[i].busy)
                return &buffers_[i];
        if (count_ < kMaxBuffers)
            return MakeBuffer(buffers_[count_], width, height, error) ? &buffers_[count_ - 1]
                                                                      : nullptr;
        if (wl_display_roundtrip_queue(display_, queue_) < 0) {
            error = kConnectionLost;
            return nullptr;
        }
    }
}

// Copies into `b` every region it missed.
void WaylandPresent::Bring(Buffer& b, const Bitmap& image) {
    const int width = image.Width();
    for (const IntRect& missed : b.pending.Regions()) {
        const IntRect r = missed.Intersected(image.Bounds());
        if (r.IsEmpty())
            continue;
        const size_t bytes = static_cast<size_t>(r.Width()) * sizeof(Pixel);
        for (int y = r.top; y < r.bottom; ++y)
            std::memcpy(b.pixels + static_cast<size_t>(y) * width + r.left, image.Row(y) + r.left,
                        bytes);
    }
    b.pending.Clear();
}

bool WaylandPresent::Show(const Bitmap& image, const IntRect* regions, int count, int scale,
                          std::string& error) {
    if (!Connected(error))
        return false;
    if (wl_display_dispatch_queue_pending(display_, queue_) < 0) {
        error = kConnectionLost;
        return false;
    }
    if (image.Width() != width_ || image.Height() != height_) {
        // A new size: buffers of the old one are not shown again.
        DropBuffers();
        width_ = image.Width();
        height_ = image.Height();
    }
    if (width_ <= 0 || height_ <= 0)
        return true;
    const IntRect bounds = image.Bounds();
    int shown = 0;
    for (int i = 0; i < count; ++i) {
        const IntRect r = regions[i].Intersected(bounds);
        for (int k = 0; k < count_; ++k)
            buffers_[k].pending.Add(r);
        shown += !r.IsEmpty();
    }
    if (shown == 0 && scale == scale_)
        return true;
    Buffer* b = FreeBuffer(width_, height_, error);
    if (!b)
        return false;
    Bring(*b, image);
    if (scale != scale_) {
        wl_surface_set_buffer_scale(surface_, scale);
        scale_ = scale;
    }
    wl_surface_attach(surface_, b->buffer, 0, 0);
    const bool bufferDamage = wl_proxy_get_version(reinterpret_cast<wl_proxy*>(surface_)) >=
                              WL_SURFACE_DAMAGE_BUFFER_SINCE_VERSION;
    for (int i = 0; i < count; ++i) {
        const IntRect r = regions[i].Intersected(bounds);
        if (r.IsEmpty())
            continue;
        if (bufferDamage) {
            wl_surface_damage_buffer(surface_, r.left, r.top, r.Width(), r.Height());
        } else { // the surface's own pixels, rounded outwards
            const int left = r.left / scale, top = r.top / scale;
            wl_surface_damage(surface_, left, top, (r.right + scale - 1) / scale - left,
                              (r.bottom + scale - 1) / scale - top);
        }
    }
    if (!frame_) {
        static const wl_callback_listener frameListener = {&OnFrameDrawn};
        frame_ = wl_surface_frame(surfaceWrapper_);
        wl_callback_add_listener(frame_, &frameListener, this);
        askedAtKnown_ = false;
    }
    wl_surface_commit(surface_);
    b->busy = true;
    // A full socket is sent with the next request; only a broken one ends the flight.
    if (wl_display_flush(display_) < 0 && errno != EAGAIN) {
        error = kConnectionLost;
        return false;
    }
    return true;
}

bool WaylandPresent::Unseen(std::uint32_t nowMs) {
    if (Lost() || wl_display_dispatch_queue_pending(display_, queue_) < 0)
        return false;
    if (!frame_ || !answered_)
        return false;
    if (!askedAtKnown_) {
        askedAtKnown_ = true;
        askedAt_ = nowMs;
    }
    return nowMs - askedAt_ >= kUnseenMs;
}

} // namespace oz
