#pragma once
// The direction joystick: a blue knob in a circular well, pushed with the mouse in any
// direction up to a fixed travel and springing back to the centre over ticks of the
// shared timer once released. It raises nothing; the panel reads GetXAxis and GetYAxis
// every frame.
//
// Set-up: PictureObject, TimerObject, WheelSize, then Redraw. Binding a surface or a
// timer connects its events to this joystick until another is bound or it goes.

#include "platform/forms/Forms.h"
#include "widgets/MouseConnections.h"

#include <cstdint>

namespace oz {

class Joystick {
public:
    Joystick() = default;
    Joystick(const Joystick&) = delete;
    Joystick& operator=(const Joystick&) = delete;

    // The square surface the joystick lives on. Binding switches it to pixels, finds the
    // centre and centres the knob; it draws nothing.
    PictureBox* PictureObject() const { return Pict; }
    void SetPictureObject(PictureBox* surface);

    // The shared timer; binding disables it.
    Timer* TimerObject() const { return Tm; }
    void SetTimerObject(Timer* timer);

    // Radius of the knob and of the area around the centre where a press grabs it.
    std::int32_t WheelSize = 0;

    // Draws the well and the knob and shows them.
    void Redraw();

    // Deflection from -1 to 1: right positive, up positive.
    float GetXAxis() const;
    float GetYAxis() const;

    // Knob offset from the centre in pixels (up positive), and whether it is held.
    std::int32_t KnobX() const { return knobX_; }
    std::int32_t KnobY() const { return knobY_; }
    bool Grabbed() const { return grabbed_; }

    void Pict_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Pict_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Pict_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Tm_Timer();

private:
    // Springing back and the shared timer taken by another widget: the knob goes to the
    // centre at once instead of staying deflected with no hand on it.
    void LostTimer();
    std::int32_t Travel() const { return padCenter_ - WheelSize - 5; }

    PictureBox* Pict = nullptr;
    Timer* Tm = nullptr;
    // Binding another surface or timer, or the widget going away, ends these.
    MouseConnections pictMouse_;
    ScopedConnection tick_;
    ScopedConnection stopped_;
    std::int32_t knobX_ = 0;
    std::int32_t knobY_ = 0;
    std::int32_t padCenter_ = 0;
    bool grabbed_ = false;
    bool returning_ = false;
    std::int32_t grabX_ = 0;
    std::int32_t grabY_ = 0;
};

} // namespace oz
