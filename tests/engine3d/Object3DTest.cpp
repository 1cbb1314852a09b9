// Wireframe objects as slots of the program-wide Data table.

#include "engine3d/Object3D.h"
#include "engine3d/GlobalDataAndFunctions3D.h"

#include <gtest/gtest.h>

#include <memory>
#include <type_traits>
#include <vector>

namespace {

using oz::Data;
using oz::DataCount;
using oz::DataSlot;
using oz::Object3D;

static_assert(!std::is_copy_constructible_v<Object3D> && !std::is_copy_assignable_v<Object3D>,
              "two handles on one slot would free it twice");

// Other tests may hold objects of their own, so slot numbers are worked out from the table.
std::int16_t LowestFreeSlot() {
    for (std::int16_t i = 1; i <= DataCount; ++i)
        if (!DataSlot(i).InUse)
            return i;
    return static_cast<std::int16_t>(DataCount + 1);
}

const oz::ObjectData& SlotOf(const Object3D& object) {
    return DataSlot(object.DataIndex);
}

TEST(Object3DSlots, ObjectsTakeTheLowestFreeSlotAndTheTableGrowsOnlyWhenNoneIsFree) {
    std::vector<std::unique_ptr<Object3D>> objects;
    while (LowestFreeSlot() <= DataCount)
        objects.push_back(std::make_unique<Object3D>());
    const std::int16_t full = DataCount;
    objects.push_back(std::make_unique<Object3D>());
    EXPECT_EQ(objects.back()->DataIndex, full + 1);
    EXPECT_EQ(DataCount, full + 1);
    EXPECT_EQ(Data.size(), static_cast<std::size_t>(full + 1));

    // A freed slot is taken again, emptied of what the last object left there.
    Object3D& first = *objects.front();
    first.AddPoint(1, 2, 3);
    first.AddLine(1, 1);
    const std::int16_t freed = first.DataIndex;
    objects.front().reset();
    EXPECT_FALSE(DataSlot(freed).InUse);
    Object3D again;
    EXPECT_EQ(again.DataIndex, freed);
    EXPECT_TRUE(SlotOf(again).InUse);
    EXPECT_TRUE(SlotOf(again).PointCount == 0 && SlotOf(again).LineCount == 0);
    EXPECT_TRUE(SlotOf(again).Points.empty() && SlotOf(again).Lines.empty());

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
    const oz::ObjectData& data = SlotOf(object);
    for (std::int16_t bad : {std::int16_t{0}, std::int16_t{-1}, std::int16_t{4},
                             std::int16_t{32767}, std::int16_t{-32768}}) {
        object.RemovePoint(bad);
        object.RemoveLine(bad);
    }
    ASSERT_EQ(data.PointCount, 3);
    ASSERT_EQ(data.LineCount, 3);

    object.RemovePoint(1);
    ASSERT_EQ(data.PointCount, 2);
    ASSERT_EQ(data.Points.size(), 2u);
    EXPECT_FLOAT_EQ(data.Point(1).X, 2);
    EXPECT_FLOAT_EQ(data.Point(2).Z, -3);
    EXPECT_EQ(data.Line(1).Point1, 1); // lines keep their point numbers
    EXPECT_EQ(data.Line(1).Point2, 3);

    object.RemoveLine(2);
    ASSERT_EQ(data.LineCount, 2);
    ASSERT_EQ(data.Lines.size(), 2u);
    EXPECT_EQ(data.Line(2).Point1, 5);
    EXPECT_EQ(data.Line(2).Point2, 6);

    object.Init();
    EXPECT_TRUE(data.PointCount == 0 && data.LineCount == 0);
    EXPECT_TRUE(data.Points.empty() && data.Lines.empty());
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
    const oz::ObjectData& copy = SlotOf(dest);
    ASSERT_EQ(copy.PointCount, 2);
    ASSERT_EQ(copy.LineCount, 1);
    EXPECT_FLOAT_EQ(copy.Point(2).Z, 6);
    EXPECT_EQ(copy.Line(1).Point2, 2);
    EXPECT_TRUE(copy.InUse);

    source.AddPoint(7, 8, 9);
    source.RemoveLine(1);
    EXPECT_EQ(copy.Points.size(), 2u);
    EXPECT_EQ(copy.LineCount, 1);
    dest.Init();
    EXPECT_EQ(SlotOf(source).PointCount, 3);

    oz::CopyObjectData(source, source); // onto itself: nothing lost
    EXPECT_EQ(SlotOf(source).PointCount, 3);
    EXPECT_FLOAT_EQ(SlotOf(source).Point(3).Z, 9);
}

} // namespace
