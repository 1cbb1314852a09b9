#pragma once
// Flying by keyboard in full-screen mode: the key handlers of the star view and of the
// window, and the steering step the frame loop runs once per frame.

#include "sim/FlightState.h"
#include "sim/StarField.h"

#include <cstdint>
#include <functional>
#include <string>

namespace oz {

class KeyboardControls {
public:
    KeyboardControls(FlightState& flight, StarField& stars) : flight_(flight), stars_(stars) {}

    // Enter in full-screen mode switches the display mode, as a double click on the view.
    std::function<void()> SwitchDisplay;
    // Esc unloads the window.
    std::function<void()> Unload;

    void picMain_KeyDown(std::int16_t KeyCode, std::int16_t Shift);
    void picMain_KeyUp(std::int16_t KeyCode, std::int16_t Shift);
    void Form_KeyDown(std::int16_t KeyCode, std::int16_t Shift);

    // Serves every held key once, scaled by Sensitivity and TimeScale.
    void KeyboardSteeringStep() { RunKeyboardSteeringStep(flight_, stars_); }

    static void RunKeyboardSteeringStep(FlightState& flight, StarField& stars);

private:
    FlightState& flight_;
    StarField& stars_;
};

// The key help the frame loop shows on F1: nineteen lines joined by CR LF.
std::string HelpText();

} // namespace oz
