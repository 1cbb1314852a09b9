#pragma once
// Where the viewer stands and where it looks: a position and two angles, no roll.
// The line of sight is (cos AnV * cos AnH, cos AnV * sin AnH, sin AnV).

namespace oz {

struct Camera {
    float X = 0;   // X coordinate of camera
    float Y = 0;   // Y coordinate of camera
    float Z = 0;   // Z coordinate of camera
    float AnV = 0; // Vertical angle (relatively to XY surface)
    float AnH = 0; // Horizontal angle (relatively to positive direction of X axis)
};

} // namespace oz
