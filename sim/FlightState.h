#pragma once
// The state of one flight: where the viewer looks, how fast it flies, what the frame loop
// shows over the stars, and which flight keys are held. Members of the main window.

#include "platform/pixels/Gdi.h"

#include <cstdint>

namespace oz {

// One byte per flight key, 1 while held. Kept together so that one call clears them all.
struct HeldKeyFlags {
    std::uint8_t TurnLeft = 0;
    std::uint8_t TurnRight = 0;
    std::uint8_t TurnUp = 0;
    std::uint8_t TurnDown = 0;
    std::uint8_t LookLeft = 0;
    std::uint8_t LookRight = 0;
    std::uint8_t LookUp = 0;
    std::uint8_t LookDown = 0;
    std::uint8_t SpinClockwise = 0;
    std::uint8_t SpinCounterClockwise = 0;
    std::uint8_t Faster = 0;
    std::uint8_t Slower = 0;
};
static_assert(sizeof(HeldKeyFlags) == 12, "the held keys are cleared as twelve bytes");

// Window booleans are 16 bits wide, true = -1, and flip by bitwise not.
constexpr std::int16_t kTrue = -1;
constexpr std::int16_t kFalse = 0;

struct FlightState {
    // Flight.
    float Speed = 0.5f;
    float SavedSpeed = 0.0f;
    float Sensitivity = 1.0f;
    float Brightness = 1.5f;
    std::int32_t StarCount = 1500;
    float LookAngleH = 0.0f;
    float LookAngleV = 0.0f;
    float SinLookH = 0.0f;
    float CosLookH = 1.0f;
    float SinLookV = 0.0f;
    float CosLookV = 1.0f;
    float TargetAngleH = 0.0f;
    float TargetAngleV = 0.0f;
    std::int32_t ViewWidth = 0;
    std::int32_t ViewHeight = 0;
    std::int32_t HalfWidth = 0;
    std::int32_t HalfHeight = 0;
    float TimeScale = 1.0f;

    // What the frame loop draws over the stars.
    float IntroTime = 0.0f;
    std::int16_t HelpShown = kFalse;
    float HelpFade = 0.2f;
    float SpeedInfoTime = 0.0f;
    float ViewInfoTime = 0.0f;
    std::int16_t ShowFps = kFalse;
    RECT FpsRect{};
    char FpsText[4] = {0, 0, 0, 0};
    std::int16_t QuitRequested = kFalse;
    std::int16_t FullScreen = kFalse;

    HeldKeyFlags HeldKeys;
};

} // namespace oz
