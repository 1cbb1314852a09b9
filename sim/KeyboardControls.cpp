#include "sim/KeyboardControls.h"

#include <cmath>
#include <iterator>

namespace oz {

namespace {
constexpr std::int16_t vbKeyReturn = 13;
constexpr std::int16_t vbKeyEscape = 27;
constexpr std::int16_t vbKeyLeft = 37;
constexpr std::int16_t vbKeyUp = 38;
constexpr std::int16_t vbKeyRight = 39;
constexpr std::int16_t vbKeyDown = 40;
constexpr std::int16_t vbKeyA = 65;
constexpr std::int16_t vbKeyC = 67;
constexpr std::int16_t vbKeyD = 68;
constexpr std::int16_t vbKeyE = 69;
constexpr std::int16_t vbKeyF = 70;
constexpr std::int16_t vbKeyP = 80;
constexpr std::int16_t vbKeyQ = 81;
constexpr std::int16_t vbKeyR = 82;
constexpr std::int16_t vbKeyS = 83;
constexpr std::int16_t vbKeyW = 87;
constexpr std::int16_t vbKeyX = 88;
constexpr std::int16_t vbKeyF1 = 112;

constexpr float kPi = 3.141593f;
constexpr float kFullTurn = 6.2831855f;
constexpr float kRightAngle = 1.570796f;
constexpr float kTopSpeed = 5.0f;
constexpr float kInfoTime = 60.0f;

// The held-key flag of a flight key, or nullptr for any other key.
std::uint8_t* HeldKeyFlag(HeldKeyFlags& keys, std::int16_t KeyCode) {
    switch (KeyCode) {
    case vbKeyLeft:
        return &keys.TurnLeft;
    case vbKeyRight:
        return &keys.TurnRight;
    case vbKeyUp:
        return &keys.TurnUp;
    case vbKeyDown:
        return &keys.TurnDown;
    case vbKeyA:
        return &keys.LookLeft;
    case vbKeyD:
        return &keys.LookRight;
    case vbKeyW:
        return &keys.LookUp;
    case vbKeyS:
        return &keys.LookDown;
    case vbKeyE:
        return &keys.SpinClockwise;
    case vbKeyQ:
        return &keys.SpinCounterClockwise;
    case vbKeyR:
        return &keys.Faster;
    case vbKeyF:
        return &keys.Slower;
    default:
        return nullptr;
    }
}

std::int16_t Toggled(std::int16_t flag) {
    return static_cast<std::int16_t>(~flag);
}

} // namespace

void KeyboardControls::picMain_KeyDown(std::int16_t KeyCode, std::int16_t /*Shift*/) {
    if (!flight_.FullScreen)
        return;
    if (std::uint8_t* flag = HeldKeyFlag(flight_.HeldKeys, KeyCode)) {
        *flag = 1;
        return;
    }
    switch (KeyCode) {
    case vbKeyF1:
        flight_.HelpShown = Toggled(flight_.HelpShown);
        if (flight_.HelpShown)
            flight_.HelpFade = 0.2f;
        break;
    case vbKeyReturn:
        if (SwitchDisplay)
            SwitchDisplay();
        break;
    case vbKeyX:
        if (flight_.Speed > 0.0f) {
            flight_.SavedSpeed = flight_.Speed;
            flight_.Speed = 0.0f;
        } else {
            flight_.Speed = flight_.SavedSpeed;
        }
        break;
    case vbKeyC:
        flight_.LookAngleH = 0.0f;
        flight_.LookAngleV = 0.0f;
        break;
    case vbKeyP:
        flight_.ShowFps = Toggled(flight_.ShowFps);
        break;
    default:
        break;
    }
}

void KeyboardControls::picMain_KeyUp(std::int16_t KeyCode, std::int16_t /*Shift*/) {
    if (!flight_.FullScreen)
        return;
    if (std::uint8_t* flag = HeldKeyFlag(flight_.HeldKeys, KeyCode))
        *flag = 0;
}

void KeyboardControls::Form_KeyDown(std::int16_t KeyCode, std::int16_t /*Shift*/) {
    if (KeyCode == vbKeyEscape && Unload)
        Unload();
}

void KeyboardControls::RunKeyboardSteeringStep(FlightState& flight, StarField& stars) {
    const HeldKeyFlags& keys = flight.HeldKeys;
    const float k = flight.Sensitivity * flight.TimeScale;

    if (keys.TurnLeft)
        stars.TurnStarField(-0.01f * k, 0.0f);
    if (keys.TurnRight)
        stars.TurnStarField(0.01f * k, 0.0f);
    if (keys.TurnUp)
        stars.TurnStarField(0.0f, 0.01f * k);
    if (keys.TurnDown)
        stars.TurnStarField(0.0f, -0.01f * k);

    if (keys.Slower) {
        flight.Speed = flight.Speed - std::sqrt(flight.Speed) * 0.02f * k;
        if (flight.Speed < 0.0f)
            flight.Speed = 0.0f;
        flight.SpeedInfoTime = kInfoTime;
    }
    if (keys.Faster) {
        // The square root of a standstill is 0, so R first gives the stars a nudge.
        if (flight.Speed < 0.01f) {
            flight.Speed = 0.02f;
        } else {
            flight.Speed = flight.Speed + std::sqrt(flight.Speed) * 0.02f * k;
            if (flight.Speed > kTopSpeed)
                flight.Speed = kTopSpeed;
        }
        flight.SpeedInfoTime = kInfoTime;
    }

    if (keys.SpinClockwise)
        stars.SpinStarField(0.02f * k);
    if (keys.SpinCounterClockwise)
        stars.SpinStarField(-0.02f * k);

    if (keys.LookLeft) {
        flight.LookAngleH = flight.LookAngleH - 0.02f * k;
        if (flight.LookAngleH <= -kPi)
            flight.LookAngleH = flight.LookAngleH + kFullTurn;
        SetLookAngles(flight, flight.LookAngleH, flight.LookAngleV);
        flight.ViewInfoTime = kInfoTime;
    }
    if (keys.LookRight) {
        flight.LookAngleH = flight.LookAngleH + 0.02f * k;
        if (flight.LookAngleH > kPi)
            flight.LookAngleH = flight.LookAngleH - kFullTurn;
        SetLookAngles(flight, flight.LookAngleH, flight.LookAngleV);
        flight.ViewInfoTime = kInfoTime;
    }
    if (keys.LookDown) {
        flight.LookAngleV = flight.LookAngleV - 0.02f * k;
        if (flight.LookAngleV < -kRightAngle)
            flight.LookAngleV = -kRightAngle;
        SetLookAngles(flight, flight.LookAngleH, flight.LookAngleV);
        flight.ViewInfoTime = kInfoTime;
    }
    if (keys.LookUp) {
        flight.LookAngleV = flight.LookAngleV + 0.02f * k;
        if (flight.LookAngleV > kRightAngle)
            flight.LookAngleV = kRightAngle;
        SetLookAngles(flight, flight.LookAngleH, flight.LookAngleV);
        flight.ViewInfoTime = kInfoTime;
    }
}

std::string HelpText() {
    static constexpr const char* kLines[] = {
        "Up Arrow - Turn Up",
        "Down Arrow - Turn Down",
        "Left Arrow - Turn Left",
        "Right Arrow - Turn Right",
        "",
        "W - Look Up",
        "S - Look Down",
        "A - Look Left",
        "D - Look Right",
        "C - Look Forward",
        "",
        "E - Spin Clockwise",
        "Q - Spin Counter-clockwise",
        "",
        "R - Increase Speed",
        "F - Decrease Speed",
        "X - Stop/Continue",
        "",
        "Esc - Exit",
    };
    std::string text = kLines[0];
    for (std::size_t i = 1; i < std::size(kLines); ++i) {
        text += "\r\n";
        text += kLines[i];
    }
    return text;
}

} // namespace oz
