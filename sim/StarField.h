#pragma once
// The world: 2001 star slots in a ball of radius 130 around the viewer. The viewer never
// moves; flying moves the stars back, turning and spinning rotate the whole field, and
// looking rotates only what is projected.

#include "sim/FlightState.h"

#include <array>
#include <cstdint>

namespace oz {

struct StarRecord {
    float X = 0.0f; // to the right of the viewer
    float Y = 0.0f; // above the viewer
    float Z = 0.0f; // ahead of the viewer, along the line of flight
    std::uint8_t Active = 0;
    std::uint8_t ColorIndex = 0;
};

// Where and how large a visible star is drawn this frame.
struct StarSight {
    std::int32_t sx = 0;
    std::int32_t sy = 0;
    float Distance = 0.0f;
    float Size = 0.0f; // Brightness * 50 / Distance
    std::uint8_t ColorIndex = 0;
};

constexpr int kStarSlots = 2001;
constexpr float kFieldRadius = 130.0f;

class StarField {
public:
    std::array<StarRecord, kStarSlots> Stars{};

    // Spreads every slot evenly through the ball, all inactive.
    void PlaceStarField();
    // Moves star i, gives it a new life on the far side when it leaves the ball, and
    // projects it; true when it is to be drawn, with `sight` filled.
    bool StarStep(int i, const FlightState& flight, StarSight& sight);
    // Turns the line of flight: positive AngleH to the right, positive AngleV upwards.
    void TurnStarField(float AngleH, float AngleV);
    // Spins the field about the line of flight; positive turns the stars counter-clockwise.
    void SpinStarField(float Angle);
};

// Rotates the pair (x, y) by the angle whose sine and cosine are given.
void TurnPoint(float& x, float& y, float SinAngle, float CosAngle);
// Arc sine for values in [-1, 1).
float ArcSin(float Value);
// Stores both look angles with their sines and cosines; neither wraps nor clamps.
void SetLookAngles(FlightState& flight, float AngleH, float AngleV);

} // namespace oz
