// virtual-pointer: a pointer for the Wayland end-to-end tests, moved and pressed through
// the wlroots virtual-pointer protocol, as a person would with a mouse.
//
//   virtual-pointer WIDTHxHEIGHT STEP...
//
// WIDTHxHEIGHT is the compositor's layout in logical pixels; the steps run in order:
//   move X Y      put the pointer at (X, Y) of the layout
//   down, up      press or release the left button
//   click         press and release it
//   sleep MS      wait
// Exit status 0 when every step reached the compositor, 1 when it offers no virtual
// pointer, 2 for bad arguments.

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

constexpr unsigned kLeftButton = 0x110; // BTN_LEFT

zwlr_virtual_pointer_manager_v1* manager = nullptr;
wl_seat* seat = nullptr;

void OnGlobal(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !seat)
        seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
}

void OnGlobalRemove(void*, wl_registry*, uint32_t) {}

uint32_t Now() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

int Usage() {
    std::fprintf(stderr, "usage: virtual-pointer WIDTHxHEIGHT [move X Y | down | up | click | "
                         "sleep MS]...\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    unsigned width = 0, height = 0;
    if (argc < 2 || std::sscanf(argv[1], "%ux%u", &width, &height) != 2 || width == 0 ||
        height == 0)
        return Usage();
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "virtual-pointer: cannot connect to the Wayland display\n");
        return 1;
    }
    static const wl_registry_listener listener = {OnGlobal, OnGlobalRemove};
    wl_registry_add_listener(wl_display_get_registry(display), &listener, nullptr);
    wl_display_roundtrip(display);
    if (!manager) {
        std::fprintf(stderr, "virtual-pointer: the compositor offers no virtual pointer\n");
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, seat);
    auto button = [&](bool down) {
        zwlr_virtual_pointer_v1_button(pointer, Now(), kLeftButton,
                                       down ? WL_POINTER_BUTTON_STATE_PRESSED
                                            : WL_POINTER_BUTTON_STATE_RELEASED);
        zwlr_virtual_pointer_v1_frame(pointer);
    };
    for (int i = 2; i < argc; ++i) {
        const std::string step = argv[i];
        if (step == "move" && i + 2 < argc) {
            const unsigned x = static_cast<unsigned>(std::atoi(argv[i + 1]));
            const unsigned y = static_cast<unsigned>(std::atoi(argv[i + 2]));
            i += 2;
            zwlr_virtual_pointer_v1_motion_absolute(pointer, Now(), x, y, width, height);
            zwlr_virtual_pointer_v1_frame(pointer);
        } else if (step == "down" || step == "up") {
            button(step == "down");
        } else if (step == "click") {
            button(true);
            button(false);
        } else if (step == "sleep" && i + 1 < argc) {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[++i])));
        } else {
            return Usage();
        }
        if (wl_display_roundtrip(display) < 0) {
            std::fprintf(stderr, "virtual-pointer: the compositor closed the connection\n");
            return 1;
        }
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
