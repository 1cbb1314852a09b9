// Wireframe objects as slots of the program-wide Data table.

#include "engine3d/Object3D.h"
#include "engine3d/GlobalDataAndFunctions3D.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using oz::DataCount;
using oz::DataSlot;
using oz::Object3D;

static_assert(!std::is_copy_constructible_v<Object3D> && !std::is_copy_assignable_v<Object3D>,
              "two handles on one slot would free it twice");

// The slot of `object` as text: "counts | points | lines", the counts checked against the
// stored entries.
std::string Contents(const Object3D& object) {
    const oz::ObjectData& data = DataSlot(object.DataIndex);
    std::ostringstream out;
    out << (data.InUse ? "" : "free ") << data.PointCount << " " << data.LineCount << " |";
    for (const oz::Point3D& p : data.Points)
        out << " " << p.X << "," << p.Y << "," << p.Z;
    out << " |";
    for (const oz::Line3D& line : data.Lines)
        out << " " << line.Point1 << "-" << line.Point2;
    if (data.Points.size() != static_cast<std::size_t>(data.PointCount) ||
        data.Lines.size() != static_cast<std::size_t>(data.LineCount))
        out << " (counts differ from the entries)";
    return out.str();
}

TEST(Object3DSlots, ObjectsTakeTheLowestFreeSlotAndTheTableGrowsOnlyWhenNoneIsFree) {
    // Other tests may hold objects of their own: fill every free slot first.
    std::vector<std::unique_ptr<Object3D>> objects;
    while (std::count_if(oz::Data.begin(), oz::Data.end(), [](auto& s) { return !s.InUse; }))
        objects.push_back(std::make_unique<Object3D>());
    const std::int16_t full = DataCount;
    objects.push_back(std::make_unique<Object3D>());
    EXPECT_EQ(objects.back()->DataIndex, full + 1);
    EXPECT_TRUE(DataCount == full + 1 && oz::Data.size() == static_cast<std::size_t>(full + 1));

    // A freed slot is taken again, emptied of what the last object left there.
    objects.front()->AddPoint(1, 2, 3);
    objects.front()->AddLine(1, 1);
    const std::int16_t freed = objects.front()->DataIndex;
    objects.front().reset();
    EXPECT_FALSE(DataSlot(freed).InUse);
    Object3D again;
    EXPECT_EQ(again.DataIndex, freed);
    EXPECT_EQ(Contents(again), "0 0 | |");

    objects.clear(); // slots are freed, never removed
    EXPECT_EQ(DataCount, full + 1);
}

TEST(Object3DEditing, RemovingShiftsLaterEntriesLeavesLinesAloneAndIgnoresBadIndices) {
    Object3D object;
    for (float x : {1.0f, 2.0f, 3.0f})
        object.AddPoint(x, 0, -x);
    object.AddLine(1, 3);
    object.AddLine(3, 4);
    object.AddLine(5, 6); // stored as given, though naming missing points
    for (int bad : {0, -1, 4, 32767, -32768}) {
        object.RemovePoint(static_cast<std::int16_t>(bad));
        object.RemoveLine(static_cast<std::int16_t>(bad));
    }
    EXPECT_EQ(Contents(object), "3 3 | 1,0,-1 2,0,-2 3,0,-3 | 1-3 3-4 5-6");
    object.RemovePoint(3); // the last, then the first: lines keep their point numbers
    object.RemovePoint(1);
    object.RemoveLine(2);
    EXPECT_EQ(Contents(object), "1 2 | 2,0,-2 | 1-3 5-6");
    object.Init();
    EXPECT_EQ(Contents(object), "0 0 | |");
}

TEST(CopyObjectData, DestinationBecomesAnIndependentCopy) {
    Object3D source, dest;
    source.AddPoint(1, 2, 3);
    source.AddPoint(4, 5, 6);
    source.AddLine(1, 2);
    dest.AddPoint(9, 9, 9);
    dest.AddLine(1, 1);
    dest.AddLine(1, 1);
    oz::CopyObjectData(source, dest);
    EXPECT_EQ(Contents(dest), "2 1 | 1,2,3 4,5,6 | 1-2");

    source.AddPoint(7, 8, 9);
    source.RemoveLine(1);
    EXPECT_EQ(Contents(dest), "2 1 | 1,2,3 4,5,6 | 1-2");
    dest.Init();
    oz::CopyObjectData(source, source); // onto itself: nothing lost
    EXPECT_EQ(Contents(source), "3 0 | 1,2,3 4,5,6 7,8,9 |");
}

} // namespace
