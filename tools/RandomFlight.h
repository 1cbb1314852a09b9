#pragma once
// A random flight: input a careless or hostile user could give, chosen by a seeded
// generator (the same run on every machine), and after every frame the checks that the
// flight can never be driven into a wrong state.

#include "platform/displays/HeadlessBackend.h"
#include "platform/forms/Form.h"
#include "platform/pixels/Gdi.h"
#include "ui/Form1.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

namespace oz {

class RandomFlight {
public:
    RandomFlight(HeadlessBackend& screen, Form1& program, std::uint64_t seed)
        : screen_(screen), program_(program), state_(seed) {}

    // Queues this frame's input: a few events, sometimes none.
    void Fly() {
        if (!held_.empty() && Chance(30)) { // a drag goes on
            MoveNear();
            return;
        }
        for (int n = static_cast<int>(Below(4)); n > 0; --n)
            OneEvent();
    }

    // Empty while the flight is sound; otherwise what is wrong. The first call also takes
    // the count of live pens and brushes that every later frame must keep.
    std::string Check() {
        const Form1& f = program_;
        if (liveObjects_ < 0)
            liveObjects_ = LiveGdiObjectCount();
        const float members[] = {f.Speed,        f.SavedSpeed, f.Sensitivity,  f.Brightness,
                                 f.LookAngleH,   f.LookAngleV, f.SinLookH,     f.CosLookH,
                                 f.SinLookV,     f.CosLookV,   f.TargetAngleH, f.TargetAngleV,
                                 f.TimeScale,    f.IntroTime,  f.HelpFade,     f.SpeedInfoTime,
                                 f.ViewInfoTime, f.DragX,      f.DragY};
        for (float m : members)
            if (!std::isfinite(m))
                return "a state member is not finite";
        if (!(f.Speed >= 0 && f.Speed <= 5))
            return "Speed " + std::to_string(f.Speed) + " outside [0, 5]";
        if (!(std::fabs(f.LookAngleV) <= 1.570796f))
            return "LookAngleV " + std::to_string(f.LookAngleV) + " beyond a quarter turn";
        const float angles[] = {f.LookAngleH, f.LookAngleV, f.TargetAngleH, f.TargetAngleV};
        for (float a : angles)
            if (!WithinHalfTurnOnceWrapped(a))
                return "look or target angle " + std::to_string(a) + " beyond one turn";
        const float ball = 130 + f.TimeScale * f.Speed + 0.01f;
        for (const StarRecord& s : f.Field.Stars) {
            if (!std::isfinite(s.X) || !std::isfinite(s.Y) || !std::isfinite(s.Z))
                return "a star is not finite";
            if (std::sqrt(s.X * s.X + s.Y * s.Y + s.Z * s.Z) > ball)
                return "a star left the ball";
        }
        const ScrollBar* sliders[] = {f.SpeedBar.get(), f.StarsBar.get(), f.SensBar.get(),
                                      f.BrightBar.get()};
        for (const ScrollBar* bar : sliders)
            if (bar && (bar->Value() < bar->MinValue() || bar->Value() > bar->MaxValue()))
                return "a slider's value " + std::to_string(bar->Value()) + " outside its range";
        if (LiveGdiObjectCount() != liveObjects_)
            return "live pens and brushes went from " + std::to_string(liveObjects_) + " to " +
                   std::to_string(LiveGdiObjectCount());
        return {};
    }

private:
    // splitmix64: a small generator whose sequence is the same everywhere.
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    std::uint64_t Below(std::uint64_t n) { return Next() % n; }
    bool Chance(int percent) { return Below(100) < static_cast<std::uint64_t>(percent); }
    int Between(int low, int high) { return low + static_cast<int>(Below(high - low + 1)); }

    static bool WithinHalfTurnOnceWrapped(float a) {
        constexpr float kPi = 3.141593f, kFullTurn = 6.2831855f;
        if (a > kPi)
            a -= kFullTurn;
        else if (a <= -kPi)
            a += kFullTurn;
        return a > -kPi && a <= kPi;
    }

    // Half the pointer's places lie on or just around the window, where the controls
    // are; the rest anywhere on the screen or well off it.
    void Place(int& x, int& y) {
        IntRect w = program_.Window().PixelRect();
        if (Chance(50)) {
            x = Between(w.left - 20, w.right + 20);
            y = Between(w.top - 20, w.bottom + 20);
        } else {
            x = Between(-300, screen_.ScreenWidthPx() + 300);
            y = Between(-300, screen_.ScreenHeightPx() + 300);
        }
        // Everything but the close button, which would end the flight.
        IntRect close = program_.Command1.PixelRect().Translated(w.left, w.top);
        if (program_.Command1.Visible() && close.Contains(x, y))
            x = close.left - 1;
    }
    void MoveNear() {
        lastX_ += Between(-40, 40);
        lastY_ += Between(-40, 40);
        screen_.MouseMove(lastX_, lastY_, Buttons());
    }
    std::int16_t Buttons() const {
        std::int16_t bits = 0;
        for (char b : held_)
            bits = static_cast<std::int16_t>(bits | b);
        return bits;
    }

    void OneEvent() {
        static constexpr std::int16_t kButtons[] = {vbLeftButton, vbRightButton, vbMiddleButton};
        const std::uint64_t kind = Below(100);
        if (kind < 30) {
            // Any key code but Esc, which would end the flight.
            std::int16_t code;
            do
                code = static_cast<std::int16_t>(Below(256));
            while (code == 27);
            if (Chance(50))
                screen_.KeyDown(code);
            else
                screen_.KeyUp(code);
        } else if (kind < 55) {
            if (Chance(80))
                MoveNear();
            else {
                Place(lastX_, lastY_);
                screen_.MouseMove(lastX_, lastY_, Buttons());
            }
        } else if (kind < 75) {
            std::int16_t button = kButtons[Below(3)];
            Place(lastX_, lastY_);
            screen_.MouseDown(lastX_, lastY_, button);
            if (held_.find(static_cast<char>(button)) == std::string::npos)
                held_ += static_cast<char>(button);
        } else if (kind < 93) {
            std::int16_t button = held_.empty() || Chance(10)
                                      ? kButtons[Below(3)]
                                      : static_cast<std::int16_t>(held_[Below(held_.size())]);
            if (Chance(70))
                MoveNear();
            else
                Place(lastX_, lastY_);
            screen_.MouseUp(lastX_, lastY_, button);
            if (size_t at = held_.find(static_cast<char>(button)); at != std::string::npos)
                held_.erase(at, 1);
        } else if (kind < 97) {
            Place(lastX_, lastY_);
            screen_.DoubleClick(lastX_, lastY_);
        } else {
            // The display switch: Enter, or a double click on the middle of the view.
            if (Chance(50)) {
                screen_.KeyDown(13);
                screen_.KeyUp(13);
            } else {
                IntRect w = program_.Window().PixelRect();
                screen_.DoubleClick(w.left + 100, w.top + 100);
            }
        }
    }

    HeadlessBackend& screen_;
    Form1& program_;
    std::uint64_t state_;
    int liveObjects_ = -1;
    std::string held_; // the buttons held, as the bits they are
    int lastX_ = 0, lastY_ = 0;
};

} // namespace oz
