#pragma once
// Notices the program's window being destroyed by another X client (a window manager or
// `xdotool windowclose`), and keeps the X errors that follow from ending the program: the
// display treats a lost window like a request to close it. It also follows whether the
// window is mapped, for windows another program owns.

#include <SDL.h>

namespace oz {

class XWindowWatch {
public:
    // Listens for errors about the X window `id` before SDL takes it on: they mean it went
    // away meanwhile.
    void Expect(unsigned long id);
    // Starts watching `window`, mapped or not as `mapped` says; windows not on X11 are left
    // alone. Keeps what was learnt about the window under Expect.
    void Watch(SDL_Window* window, bool mapped = true);
    // True once the window is known to be gone: its DestroyNotify came (pass every SDL
    // event through Notice), or the server reported an error about it.
    bool Notice(const SDL_Event& event);
    bool Gone() const;
    // True from an UnmapNotify of the window until its next MapNotify. (SDL waits for the
    // MapNotify of a window it shows itself, so for those ask SDL's window flags instead.)
    bool Unmapped() const;
    // Waits for the server's answer to every request sent, so that errors about a lost
    // window reach the watch while it still listens (call after destroying the window).
    void Settle();
};

} // namespace oz
