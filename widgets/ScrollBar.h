#pragma once
// The horizontal slider of the control panel: a left arrow button, a grey
// track with a blue thumb and a right arrow button, all drawn from the sprite sheet onto a
// 21-pixel-high surface. The arrow buttons step by MinChange and auto-repeat on the
// shared timer, a press in the track beside the thumb steps by LargeChange, and the thumb
// can be dragged. User changes are reported by Changed; the handler reads Value().
//
// Creation order: construct, SetPictureObject, SetTimerObject, CurTimerLoc,
// SetValues, Redraw. Binding connects the slider's handlers to the surface's and the
// timer's events; they stay connected for the slider's life (a later binding, or the
// slider's destruction, silences the earlier connections).

#include "platform/forms/Forms.h"
#include "widgets/MouseConnections.h"

#include <cstdint>
#include <memory>

namespace oz {

class ScrollBar {
public:
    ScrollBar();
    ~ScrollBar();
    // The surface and the timer hold handlers bound to this object: it stays where it is.
    ScrollBar(const ScrollBar&) = delete;
    ScrollBar& operator=(const ScrollBar&) = delete;

    // The bound surface. Binding switches it to pixels, sets its height to 315 twips
    // (21 pixels), takes BarWidth from its ScaleWidth (nearest integer) and sets
    // TrackLen = BarWidth - 34. Draws nothing.
    PictureBox* PictureObject() const { return Pict; }
    void SetPictureObject(PictureBox* surface);

    // The bound shared timer. Binding disables it.
    Timer* TimerObject() const { return Tm; }
    void SetTimerObject(Timer* timer);

    // This slider's owner code for the shared timer (TimerOwner); 3 to 6 in the program.
    std::int16_t CurTimerLoc = 0;

    // Stores the bounds, the steps and the value (unchecked), sizes the thumb (at least 9
    // pixels) and places it. Draws nothing, raises nothing.
    void SetValues(std::int32_t MinValue, std::int32_t MaxValue, std::int32_t MinChange,
                   std::int32_t LargeChange, std::int32_t InitValue);

    // Draws the buttons, the track and the thumb into the surface and refreshes it.
    void Redraw();

    // While dragging, the value under the thumb; otherwise the stored value.
    std::int32_t Value() const;
    // Stores v, raised to MinValue if lower (no upper bound), places the thumb and redraws.
    // Raises nothing.
    void SetValue(std::int32_t v);

    std::int32_t MinValue() const { return MinValue_; }
    std::int32_t MaxValue() const { return MaxValue_; }

    // Raised after every change the user makes; read Value() in the handler.
    Event<> Changed;

    // Handlers of the bound surface's and timer's events (connected when bound).
    void Pict_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Pict_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Pict_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Pict_DblClick();
    void Tm_Timer();

    // State, read-only, for tests and the recorder.
    std::int32_t CurValue() const { return CurValue_; }
    std::int32_t MinChange() const { return MinChange_; }
    std::int32_t LargeChange() const { return LargeChange_; }
    std::int32_t BarWidth() const { return BarWidth_; }
    std::int32_t TrackLen() const { return TrackLen_; }
    std::int32_t ThumbLen() const { return ThumbLen_; }
    std::int32_t ThumbPos() const { return ThumbPos_; }
    std::int32_t GrabX() const { return GrabX_; }
    bool LeftPressed() const { return LeftPressed_; }
    bool RightPressed() const { return RightPressed_; }
    bool Dragging() const { return Dragging_; }
    std::int16_t RepeatDelay() const { return RepeatDelay_; }
    float LastX() const { return LastX_; }
    float LastY() const { return LastY_; }

private:
    void PressArrowButton(std::int32_t stepped);
    // The thumb's left edge for CurValue, and the value for ThumbPos.
    std::int32_t ValueToThumbPos() const;
    std::int32_t ThumbPosToValue() const;

    PictureBox* Pict = nullptr;
    Timer* Tm = nullptr;
    // Binding another surface or timer, or the slider going away, ends these.
    MouseConnections pictMouse_;
    ScopedConnection pictDblClick_, tick_;

    std::int32_t MinValue_ = 0;
    std::int32_t MaxValue_ = 0;
    std::int32_t CurValue_ = 0;
    std::int32_t MinChange_ = 0;
    std::int32_t LargeChange_ = 0;
    std::int32_t ThumbLen_ = 0;
    std::int32_t TrackLen_ = 0;
    std::int32_t BarWidth_ = 0;
    bool LeftPressed_ = false;
    bool RightPressed_ = false;
    std::int32_t GrabX_ = 0;
    bool Dragging_ = false;
    float LastX_ = 0;
    float LastY_ = 0;
    std::int32_t ThumbPos_ = 0;
    std::int16_t RepeatDelay_ = 0;
};

} // namespace oz
