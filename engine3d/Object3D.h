#pragma once
// A wireframe object: a handle on one slot of the program-wide `Data` table. Creating
// one claims the lowest free slot (growing the table when none is free); destroying it
// frees the slot again. Every edit is an edit of that slot.

#include <cstdint>

namespace oz {

class Object3D {
public:
    Object3D();
    ~Object3D();
    Object3D(const Object3D&) = delete;
    Object3D& operator=(const Object3D&) = delete;

    const std::int16_t DataIndex; // Index of object's data in 'Data' array

    void AddPoint(float X, float Y, float Z); // Adds new point to the object
    // Lines keep their point numbers: renumber or remove them yourself. An index outside
    // 1 to PointCount is ignored.
    void RemovePoint(std::int16_t Index);                   // Remove point from the object
    void AddLine(std::int16_t Point1, std::int16_t Point2); // Adds new line to the object
    // An index outside 1 to LineCount is ignored.
    void RemoveLine(std::int16_t Index); // Remove line from the object
    void Init();                         // Initializes object (deletes all points and lines)

private:
    static std::int16_t ClaimSlot();
};

} // namespace oz
