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

TEST(Object3DSlots, NewObjectTakesLowestFreeSlotAndGivesItBackEmptied) {
    const std::int16_t expected = LowestFreeSlot();
    auto first = std::make_unique<Object3D>();
    EXPECT_EQ(first->DataIndex, expected);
    EXPECT_TRUE(SlotOf(*first).InUse);
    auto second = std::make_unique<Object3D>();
    EXPECT_GT(second->DataIndex, first->DataIndex);
    EXPECT_EQ(static_cast<std::size_t>(DataCount), Data.size());

    first->AddPoint(1, 2, 3);
    first->AddPoint(4, 5, 6);
    first->AddLine(1, 2);
    const std::int16_t freed = first->DataIndex;
    first.reset();
    EXPECT_FALSE(DataSlot(freed).InUse);

    const std::int16_t countBefore = DataCount;
    Object3D third;
    EXPECT_EQ(third.DataIndex, freed);
    EXPECT_EQ(DataCount, countBefore);
    EXPECT_TRUE(SlotOf(third).InUse);
    EXPECT_EQ(SlotOf(third).PointCount, 0);
    EXPECT_EQ(SlotOf(third).LineCount, 0);
    EXPECT_TRUE(SlotOf(third).Points.empty());
    EXPECT_TRUE(SlotOf(third).Lines.empty());
}

TEST(Object3DSlots, TableGrowsOnlyWhenNoSlotIsFreeAndNeverShrinks) {
    std::vector<std::unique_ptr<Object3D>> objects;
    while (LowestFreeSlot() <= DataCount)
        objects.push_back(std::make_unique<Object3D>());
    const std::int16_t full = DataCount;
    objects.push_back(std::make_unique<Object3D>());
    EXPECT_EQ(objects.back()->DataIndex, full + 1);
    EXPECT_EQ(DataCount, full + 1);
    EXPECT_EQ(Data.size(), static_cast<std::size_t>(full + 1));

    std::vector<std::int16_t> taken;
    for (const auto& object : objects)
        taken.push_back(object->DataIndex);
    objects.clear();
    EXPECT_EQ(DataCount, full + 1);
    for (std::int16_t index : taken)
        EXPECT_FALSE(DataSlot(index).InUse);

    // Created again, objects fill the freed slots from the lowest upwards first.
    for (std::size_t i = 0; i < taken.size(); ++i)
        objects.push_back(std::make_unique<Object3D>());
    for (std::size_t i = 1; i < objects.size(); ++i)
        EXPECT_LT(objects[i - 1]->DataIndex, objects[i]->DataIndex);
    EXPECT_EQ(objects.back()->DataIndex, full + 1);
    EXPECT_EQ(DataCount, full + 1);
}

TEST(Object3DEditing, PointsAndLinesAreKeptInOrder) {
    Object3D object;
    object.AddPoint(1, 0, 0);
    object.AddPoint(0, 1.5f, -2);
    object.AddLine(1, 2);
    object.AddLine(2, 7); // stored as given, even naming a missing point
    const oz::ObjectData& data = SlotOf(object);
    ASSERT_EQ(data.PointCount, 2);
    ASSERT_EQ(data.LineCount, 2);
    EXPECT_EQ(data.Points.size(), 2u);
    EXPECT_EQ(data.Lines.size(), 2u);
    EXPECT_FLOAT_EQ(data.Point(2).Y, 1.5f);
    EXPECT_FLOAT_EQ(data.Point(2).Z, -2);
    EXPECT_EQ(data.Line(2).Point1, 2);
    EXPECT_EQ(data.Line(2).Point2, 7);
}

TEST(Object3DEditing, RemovePointShiftsLaterPointsAndLeavesLinesAlone) {
    Object3D object;
    object.AddPoint(1, 0, 0); // A
    object.AddPoint(2, 0, 0); // B
    object.AddPoint(3, 0, 0); // C
    object.AddLine(1, 3);
    object.RemovePoint(1);
    const oz::ObjectData& data = SlotOf(object);
    ASSERT_EQ(data.PointCount, 2);
    ASSERT_EQ(data.Points.size(), 2u);
    EXPECT_FLOAT_EQ(data.Point(1).X, 2);
    EXPECT_FLOAT_EQ(data.Point(2).X, 3);
    EXPECT_EQ(data.Line(1).Point1, 1);
    EXPECT_EQ(data.Line(1).Point2, 3);

    object.RemovePoint(2);
    object.RemovePoint(1);
    EXPECT_EQ(data.PointCount, 0);
    EXPECT_TRUE(data.Points.empty());
}

TEST(Object3DEditing, RemoveLineShiftsBothEndsOfLaterLines) {
    Object3D object;
    object.AddLine(1, 2);
    object.AddLine(3, 4);
    object.AddLine(5, 6);
    object.RemoveLine(2);
    const oz::ObjectData& data = SlotOf(object);
    ASSERT_EQ(data.LineCount, 2);
    EXPECT_EQ(data.Line(2).Point1, 5);
    EXPECT_EQ(data.Line(2).Point2, 6);
    object.RemoveLine(1);
    object.RemoveLine(1);
    EXPECT_EQ(data.LineCount, 0);
    EXPECT_TRUE(data.Lines.empty());
}

TEST(Object3DEditing, RemoveWithIndexOutsideTheCountChangesNothing) {
    Object3D object;
    object.AddPoint(1, 0, 0);
    object.AddPoint(2, 0, 0);
    object.AddLine(1, 2);
    object.AddLine(2, 1);
    for (std::int16_t bad : {std::int16_t{0}, std::int16_t{-1}, std::int16_t{3},
                             std::int16_t{32767}, std::int16_t{-32768}}) {
        object.RemovePoint(bad);
        object.RemoveLine(bad);
    }
    const oz::ObjectData& data = SlotOf(object);
    ASSERT_EQ(data.PointCount, 2);
    ASSERT_EQ(data.LineCount, 2);
    EXPECT_FLOAT_EQ(data.Point(2).X, 2);
    EXPECT_EQ(data.Line(2).Point1, 2);

    Object3D empty;
    empty.RemovePoint(1);
    empty.RemoveLine(1);
    EXPECT_EQ(SlotOf(empty).PointCount, 0);
    EXPECT_EQ(SlotOf(empty).LineCount, 0);
}

TEST(Object3DEditing, InitDeletesEverythingAndNumberingStartsAgain) {
    Object3D object;
    object.AddPoint(1, 2, 3);
    object.AddPoint(4, 5, 6);
    object.AddLine(1, 2);
    object.Init();
    const oz::ObjectData& data = SlotOf(object);
    EXPECT_EQ(data.PointCount, 0);
    EXPECT_EQ(data.LineCount, 0);
    EXPECT_TRUE(data.Points.empty());
    EXPECT_TRUE(data.Lines.empty());
    EXPECT_TRUE(data.InUse);
    object.AddPoint(7, 8, 9);
    ASSERT_EQ(data.PointCount, 1);
    EXPECT_FLOAT_EQ(data.Point(1).X, 7);
}

TEST(CopyObjectData, DestinationBecomesAnIndependentCopy) {
    Object3D source;
    source.AddPoint(1, 2, 3);
    source.AddPoint(4, 5, 6);
    source.AddLine(1, 2);
    Object3D dest;
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
    EXPECT_EQ(copy.PointCount, 2);
    EXPECT_EQ(copy.Points.size(), 2u);
    EXPECT_EQ(copy.LineCount, 1);

    dest.Init();
    EXPECT_EQ(SlotOf(source).PointCount, 3);
    EXPECT_FLOAT_EQ(SlotOf(source).Point(1).X, 1);
}

TEST(CopyObjectData, CopyOntoItselfKeepsTheGeometry) {
    Object3D object;
    object.AddPoint(1, 2, 3);
    object.AddLine(1, 1);
    oz::CopyObjectData(object, object);
    EXPECT_EQ(SlotOf(object).PointCount, 1);
    EXPECT_EQ(SlotOf(object).LineCount, 1);
    EXPECT_FLOAT_EQ(SlotOf(object).Point(1).Z, 3);
}

} // namespace
