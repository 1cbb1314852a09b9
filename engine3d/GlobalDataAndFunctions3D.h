#pragma once
// The program-wide table of wireframe geometry. Every Object3D owns one slot of `Data`;
// the renderer reads the slots by index. Slots are numbered from 1 to `DataCount`,
// points and lines inside a slot from 1 to their counts.

#include <cstdint>
#include <vector>

namespace oz {

class Object3D;

struct Point3D {
    float X = 0;
    float Y = 0;
    float Z = 0;
};

// Two 1-based point numbers of the same object.
struct Line3D {
    std::int16_t Point1 = 0;
    std::int16_t Point2 = 0;
};

struct ObjectData {
    std::vector<Point3D> Points; // point i is Points[i - 1]
    std::vector<Line3D> Lines;   // line i is Lines[i - 1]
    std::int16_t PointCount = 0;
    std::int16_t LineCount = 0;
    bool InUse = false; // the slot belongs to a live Object3D

    Point3D& Point(std::int16_t index) { return Points[index - 1]; }
    const Point3D& Point(std::int16_t index) const { return Points[index - 1]; }
    Line3D& Line(std::int16_t index) { return Lines[index - 1]; }
    const Line3D& Line(std::int16_t index) const { return Lines[index - 1]; }
    bool HasPoint(std::int16_t index) const { return index >= 1 && index <= PointCount; }
};

// Slot i is Data[i - 1]. Slots are never removed, so DataCount only grows.
extern std::vector<ObjectData> Data;
extern std::int16_t DataCount;

// The slot with the given 1-based index.
ObjectData& DataSlot(std::int16_t index);

// Makes the slot of Dest an independent copy of the slot of Source.
void CopyObjectData(const Object3D& Source, const Object3D& Dest);

} // namespace oz
