#include "engine3d/Object3D.h"

#include "engine3d/GlobalDataAndFunctions3D.h"

#include <cstdint>
#include <limits>
#include <stdexcept>

namespace oz {

namespace {

constexpr std::int16_t kMostEntries = std::numeric_limits<std::int16_t>::max();

} // namespace

std::int16_t Object3D::ClaimSlot() {
    int index = 1;
    while (index <= DataCount && Data[index - 1].InUse)
        ++index;
    if (index > DataCount) {
        if (DataCount == kMostEntries)
            throw std::length_error("Object3D: no free slot left in Data");
        Data.emplace_back();
        ++DataCount;
    }
    Data[index - 1].InUse = true;
    return static_cast<std::int16_t>(index);
}

Object3D::Object3D() : DataIndex(ClaimSlot()) {
    // The slot may still hold what an earlier object left behind.
    Init();
}

Object3D::~Object3D() {
    DataSlot(DataIndex).InUse = false;
}

void Object3D::AddPoint(float X, float Y, float Z) {
    ObjectData& data = DataSlot(DataIndex);
    if (data.PointCount == kMostEntries)
        throw std::length_error("Object3D: too many points");
    data.Points.push_back({X, Y, Z});
    ++data.PointCount;
}

void Object3D::RemovePoint(std::int16_t Index) {
    ObjectData& data = DataSlot(DataIndex);
    if (Index < 1 || Index > data.PointCount)
        return;
    data.Points.erase(data.Points.begin() + (Index - 1));
    --data.PointCount;
}

void Object3D::AddLine(std::int16_t Point1, std::int16_t Point2) {
    ObjectData& data = DataSlot(DataIndex);
    if (data.LineCount == kMostEntries)
        throw std::length_error("Object3D: too many lines");
    data.Lines.push_back({Point1, Point2});
    ++data.LineCount;
}

void Object3D::RemoveLine(std::int16_t Index) {
    ObjectData& data = DataSlot(DataIndex);
    if (Index < 1 || Index > data.LineCount)
        return;
    data.Lines.erase(data.Lines.begin() + (Index - 1));
    --data.LineCount;
}

void Object3D::Init() {
    ObjectData& data = DataSlot(DataIndex);
    data.PointCount = 0;
    data.LineCount = 0;
    data.Lines.clear();
    data.Points.clear();
}

} // namespace oz
