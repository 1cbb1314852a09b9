#include "platform/displays/X11ShmPresent.h"

#include <X11/Xutil.h>
#include <bit>
#include <cerrno>
#include <cstring>
#include <sys/ipc.h>
#include <sys/shm.h>

namespace oz {

namespace {

// Attaching a segment fails only asynchronously, with an X error: caught here while the
// program waits for the answer.
bool attachFailed = false;

int NoteAttachError(Display*, XErrorEvent*) {
    attachFailed = true;
    return 0;
}

// Whether the server has processed the request numbered `request` (numbers wrap).
bool Processed(Display* display, unsigned long request) {
    return static_cast<long>(LastKnownRequestProcessed(display) - request) >= 0;
}

} // namespace

std::unique_ptr<X11ShmPresent> X11ShmPresent::Create(Display* display, ::Window window) {
    if (!display || window == 0 || !XShmQueryExtension(display))
        return nullptr;
    XWindowAttributes a;
    if (!XGetWindowAttributes(display, window, &a) || a.c_class == InputOnly || !a.visual)
        return nullptr;
    // Depth 24: a 32-bit window would take the unused top byte for its opacity.
    const Visual* v = a.visual;
    if (a.depth != 24 || v->red_mask != 0xff0000 || v->green_mask != 0xff00 || v->blue_mask != 0xff)
        return nullptr;
    std::unique_ptr<X11ShmPresent> present(new X11ShmPresent(display, window, a.visual, a.depth));
    std::string error;
    if (!present->Fit(1, 1, error))
        return nullptr;
    return present;
}

X11ShmPresent::X11ShmPresent(Display* display, ::Window window, Visual* visual, int depth)
    : display_(display), window_(window), visual_(visual), depth_(depth) {
    gc_ = XCreateGC(display_, window_, 0, nullptr);
}

X11ShmPresent::~X11ShmPresent() {
    Release();
    XFreeGC(display_, gc_);
}

void X11ShmPresent::Release() {
    if (!image_)
        return;
    XShmDetach(display_, &segment_);
    XSync(display_, False); // the server lets go of the segment before it goes
    XDestroyImage(image_);
    shmdt(segment_.shmaddr);
    image_ = nullptr;
    reading_ = false;
}

bool X11ShmPresent::Fit(int width, int height, std::string& error) {
    if (image_ && image_->width == width && image_->height == height)
        return true;
    Release();
    XImage* image =
        XShmCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, nullptr,
                        &segment_, static_cast<unsigned>(width), static_cast<unsigned>(height));
    const bool ours =
        image && image->bits_per_pixel == 32 &&
        image->byte_order == (std::endian::native == std::endian::little ? LSBFirst : MSBFirst);
    if (!ours) {
        if (image)
            XDestroyImage(image);
        error = "the window's pixels are not 32-bit RGB";
        return false;
    }
    segment_.shmid =
        shmget(IPC_PRIVATE, static_cast<size_t>(image->bytes_per_line) * height, IPC_CREAT | 0600);
    void* memory =
        segment_.shmid < 0 ? reinterpret_cast<void*>(-1) : shmat(segment_.shmid, nullptr, 0);
    if (memory == reinterpret_cast<void*>(-1)) {
        if (segment_.shmid >= 0)
            shmctl(segment_.shmid, IPC_RMID, nullptr);
        XDestroyImage(image);
        error = std::string("cannot share memory with the X server: ") + std::strerror(errno);
        return false;
    }
    segment_.shmaddr = image->data = static_cast<char*>(memory);
    segment_.readOnly = True;
    attachFailed = false;
    XSync(display_, False); // errors of earlier requests go to the usual handler
    XErrorHandler before = XSetErrorHandler(NoteAttachError);
    XShmAttach(display_, &segment_);
    XSync(display_, False);
    XSetErrorHandler(before);
    // Marked for removal at once: the segment goes with the last process that uses it,
    // however the program ends.
    shmctl(segment_.shmid, IPC_RMID, nullptr);
    if (attachFailed) {
        XDestroyImage(image);
        shmdt(memory);
        error = "the X server cannot share memory with the program";
        return false;
    }
    image_ = image;
    return true;
}

void X11ShmPresent::WaitUntilRead() {
    if (!reading_)
        return;
    // The completion event lies in the connection, unread, when nothing asked for events
    // since; reading what is there costs no wait.
    if (!Processed(display_, lastPut_))
        XEventsQueued(display_, QueuedAfterReading);
    if (!Processed(display_, lastPut_))
        XSync(display_, False);
    reading_ = false;
}

bool X11ShmPresent::Show(const Bitmap& image, const IntRect* regions, int count, int windowWidth,
                         int windowHeight, std::string& error) {
    const IntRect bounds = IntRect{0, 0, windowWidth, windowHeight}.Intersected(image.Bounds());
    if (bounds.IsEmpty())
        return true;
    WaitUntilRead();
    if (!Fit(image.Width(), image.Height(), error))
        return false;
    int last = -1; // the last region that shows anything: its put asks for the event
    for (int i = 0; i < count; ++i)
        if (!regions[i].Intersected(bounds).IsEmpty())
            last = i;
    // Each region's rows are packed one after the other from the segment's start, each
    // region an image of its own: a frame writes, and the server reads, a few hundred
    // kilobytes in a row rather than a few rows in each of thousands of pages.
    const size_t capacity = static_cast<size_t>(image_->bytes_per_line) * image_->height;
    size_t used = 0;
    for (int i = 0; i <= last; ++i) {
        const IntRect r = regions[i].Intersected(bounds);
        if (r.IsEmpty())
            continue;
        const size_t rowBytes = static_cast<size_t>(r.Width()) * 4;
        if (used + rowBytes * static_cast<size_t>(r.Height()) > capacity) {
            XSync(display_, False); // the server has read all that was put: start again
            used = 0;
        }
        XImage part = *image_;
        part.width = r.Width();
        part.height = r.Height();
        part.bytes_per_line = static_cast<int>(rowBytes);
        part.data = image_->data + used;
        for (int y = r.top; y < r.bottom; ++y, used += rowBytes)
            std::memcpy(image_->data + used, image.Row(y) + r.left, rowBytes);
        if (i == last)
            lastPut_ = NextRequest(display_);
        XShmPutImage(display_, window_, gc_, &part, 0, 0, r.left, r.top,
                     static_cast<unsigned>(r.Width()), static_cast<unsigned>(r.Height()),
                     i == last ? True : False);
    }
    if (last >= 0) {
        reading_ = true;
        XFlush(display_);
    }
    return true;
}

} // namespace oz
