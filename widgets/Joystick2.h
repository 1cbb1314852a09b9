#pragma once
// The spin wheel: a small ball on an arched track that swings on an arc about a pivot
// below the surface. The user swings it up to 30 degrees either way; released, it swings
// back to the top over ticks of the shared timer. It raises nothing; the panel reads
// GetValue every frame.
//
// Set-up: Center, Radius, WheelSize, then PictureObject (which reads Radius),
// TimerObject and Redraw. Binding a surface or a timer connects its events to this
// wheel until another is bound or the wheel goes.

#include "platform/forms/Forms.h"
#include "widgets/MouseConnections.h"

#include <cstdint>

namespace oz {

class Joystick2 {
public:
    Joystick2() = default;
    Joystick2(const Joystick2&) = delete;
    Joystick2& operator=(const Joystick2&) = delete;

    // Radius of the ball and of the area around its rest position where a press grabs it.
    std::int32_t WheelSize = 0;
    // Radius of the ball's arc.
    std::int32_t Radius = 0;
    // Height of the arc's pivot, in pixels down from the top of the surface.
    std::int32_t Center = 0;

    // The wide, low surface the wheel lives on. Binding switches it to pixels, finds the
    // pivot's x and puts the ball at rest; it draws nothing.
    PictureBox* PictureObject() const { return Pict; }
    void SetPictureObject(PictureBox* surface);

    // The shared timer; binding disables it.
    Timer* TimerObject() const { return Tm; }
    void SetTimerObject(Timer* timer);

    // Draws the track and the ball and shows them.
    void Redraw();

    // Deflection from -1 to 1, clockwise (ball to the right) positive.
    float GetValue() const;

    // Ball offset from the pivot in pixels (up positive), its angle in radians, and
    // whether it is held.
    std::int32_t BallX() const { return ballX_; }
    std::int32_t BallY() const { return ballY_; }
    float WheelAngle() const { return wheelAngle_; }
    bool Grabbed() const { return grabbed_; }

    void Pict_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Pict_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Pict_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Tm_Timer();

private:
    void PlaceBallAtAngle();
    // Swinging back and the shared timer taken by another widget: the wheel hangs straight
    // down at once instead of staying deflected with no hand on it.
    void LostTimer();

    PictureBox* Pict = nullptr;
    Timer* Tm = nullptr;
    // Binding another surface or timer, or the widget going away, ends these.
    MouseConnections pictMouse_;
    ScopedConnection tick_;
    ScopedConnection stopped_;
    std::int32_t midX_ = 0;
    std::int32_t ballX_ = 0;
    std::int32_t ballY_ = 0;
    float wheelAngle_ = 0;
    bool grabbed_ = false;
    bool returning_ = false;
    std::int32_t grabX_ = 0;
    std::int32_t grabY_ = 0;
};

} // namespace oz
