#pragma once
// A widget's mouse handlers (Pict_MouseDown, Pict_MouseMove, Pict_MouseUp) connected to
// the surface it is bound to, for as long as this lives or until it is bound again.

#include "platform/forms/Event.h"
#include "platform/forms/Forms.h"

#include <cstdint>

namespace oz {

struct MouseConnections {
    ScopedConnection down, move, up;

    template <typename Widget> void Bind(PictureBox& surface, Widget& widget) {
        down = surface.MouseDown.Connect([&widget](std::int16_t b, std::int16_t s, float x,
                                                   float y) { widget.Pict_MouseDown(b, s, x, y); });
        move = surface.MouseMove.Connect([&widget](std::int16_t b, std::int16_t s, float x,
                                                   float y) { widget.Pict_MouseMove(b, s, x, y); });
        up = surface.MouseUp.Connect([&widget](std::int16_t b, std::int16_t s, float x, float y) {
            widget.Pict_MouseUp(b, s, x, y);
        });
    }
};

} // namespace oz
