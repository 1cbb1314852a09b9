#pragma once
// Draws wireframe objects from the `Data` table onto a picture surface, in perspective
// through a camera. The view is a circular cone around the line of sight, and every line
// is clipped exactly against it. Only lines are drawn, in the surface's foreground colour
// and pen: the surface is never cleared or refreshed here.

#include "engine3d/Camera.h"
#include "engine3d/GlobalDataAndFunctions3D.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace oz {

class Object3D;
class PictureBox;

class Draw3D {
public:
    float ViewField() const { return viewField_; } // Returns/Sets view field
    void SetViewField(float value);
    // Returns/Sets PictureBox on which 3D objects will be drawn
    PictureBox* DisplayObject() const { return displayObject_; }
    void SetDisplayObject(PictureBox* surface);
    // Adds 3D object to the draw list (list of objects which will be drawn)
    void AddObject(const Object3D& Obj3D);
    // Removes 3D object from the draw list. ObjIndex is the 1-based place in the order of
    // adding; a place outside the list throws std::out_of_range and changes nothing.
    void RemoveObject(std::int16_t ObjIndex);
    void Draw(const Camera& camera); // Draws 3D objects

    // When set, the drawn pieces go here instead of to the surface, in the surface's user
    // coordinates, first point first (tests watch the exact coordinates through it).
    std::function<void(float x1, float y1, float x2, float y2)> LineSink;

private:
    // One point of the object being drawn, in view space: x forward, y to the left, z up.
    struct ViewPoint {
        float ViewX = 0;
        float ViewY = 0;
        float ViewZ = 0;
        float ScreenX = 0; // only meaningful when Visible
        float ScreenY = 0;
        bool InFront = false; // ViewX > 0
        bool Visible = false; // in front and inside the view cone, rim included
    };

    void SetupScale();
    void DrawObject();
    void DrawClipped(const ViewPoint& a, const ViewPoint& b);
    ViewPoint TransformPoint(const Point3D& point) const;
    void Project(ViewPoint& point) const;
    ViewPoint CrossingAt(const ViewPoint& a, float t, float dX, float dY, float dZ) const;
    void DrawLine(const ViewPoint& from, const ViewPoint& to);

    std::vector<std::int16_t> drawList_; // DataIndex values, in the order of adding
    ObjectData currentObject_;           // copy of the slot being drawn
    float camX_ = 0, camY_ = 0, camZ_ = 0, camAnV_ = 0, camAnH_ = 0;
    std::vector<ViewPoint> viewPoints_; // one per point of currentObject_
    PictureBox* displayObject_ = nullptr;
    float halfDiagonal_ = 0; // half the surface's diagonal, in pixels
    float viewFieldSquared_ = 0;
    float viewField_ = 0; // tangent of the half-angle of the view cone
};

} // namespace oz
