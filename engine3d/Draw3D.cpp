#include "engine3d/Draw3D.h"

#include "engine3d/Object3D.h"
#include "platform/forms/Forms.h"

#include <cmath>
#include <stdexcept>

namespace oz {

namespace {

bool IsOnSegment(float t) {
    return 0 <= t && t < 1;
}

} // namespace

void Draw3D::SetViewField(float value) {
    viewField_ = value;
    viewFieldSquared_ = value * value;
}

void Draw3D::SetDisplayObject(PictureBox* surface) {
    displayObject_ = surface;
    if (displayObject_)
        SetupScale();
}

void Draw3D::AddObject(const Object3D& Obj3D) {
    drawList_.push_back(Obj3D.DataIndex);
}

void Draw3D::RemoveObject(std::int16_t ObjIndex) {
    if (ObjIndex < 1 || static_cast<std::size_t>(ObjIndex) > drawList_.size())
        throw std::out_of_range("Draw3D::RemoveObject: no such place in the draw list");
    drawList_.erase(drawList_.begin() + (ObjIndex - 1));
}

void Draw3D::Draw(const Camera& camera) {
    camX_ = camera.X;
    camY_ = camera.Y;
    camZ_ = camera.Z;
    camAnH_ = camera.AnH;
    camAnV_ = camera.AnV;
    for (std::int16_t index : drawList_) {
        currentObject_ = DataSlot(index);
        DrawObject();
    }
}

// Origin at the centre, x growing to the left, y growing upwards, one unit per pixel.
void Draw3D::SetupScale() {
    PictureBox& surface = *displayObject_;
    surface.SetScaleMode(vbPixels);
    const float height = surface.ScaleHeight();
    const float width = surface.ScaleWidth();
    halfDiagonal_ = std::sqrt(width * width / 4 + height * height / 4);
    // Whole pixels (halves to even), then halved dropping the fraction.
    surface.SetScaleLeft(static_cast<float>(std::lrint(width) / 2));
    surface.SetScaleTop(static_cast<float>(std::lrint(height) / 2));
    surface.SetScaleHeight(-height);
    surface.SetScaleWidth(-width);
}

void Draw3D::DrawObject() {
    const ObjectData& object = currentObject_;
    viewPoints_.assign(static_cast<std::size_t>(object.PointCount), ViewPoint{});
    for (std::int16_t i = 1; i <= object.PointCount; ++i) {
        ViewPoint point = TransformPoint(object.Point(i));
        if (point.ViewX > 0) {
            point.InFront = true;
            point.Visible = point.ViewY * point.ViewY + point.ViewZ * point.ViewZ <=
                            point.ViewX * point.ViewX * viewFieldSquared_;
            if (point.Visible)
                Project(point);
        }
        viewPoints_[i - 1] = point;
    }
    for (std::int16_t j = 1; j <= object.LineCount; ++j) {
        const Line3D& line = object.Line(j);
        // A line naming a point the object doesn't have (say, after RemovePoint) is skipped.
        if (!object.HasPoint(line.Point1) || !object.HasPoint(line.Point2))
            continue;
        DrawClipped(viewPoints_[line.Point1 - 1], viewPoints_[line.Point2 - 1]);
    }
}

void Draw3D::DrawClipped(const ViewPoint& a, const ViewPoint& b) {
    if (a.Visible && b.Visible) {
        DrawLine(a, b);
        return;
    }

    // The points a + t * (b - a) on the cone's surface solve qa t^2 + 2 qb t + qc = 0.
    const float k = viewFieldSquared_;
    const float dX = b.ViewX - a.ViewX;
    const float dY = b.ViewY - a.ViewY;
    const float dZ = b.ViewZ - a.ViewZ;
    const float qa = dZ * dZ + dY * dY - k * (dX * dX);
    const float qb = a.ViewZ * dZ + a.ViewY * dY - k * a.ViewX * dX;
    const float qc = a.ViewZ * a.ViewZ + a.ViewY * a.ViewY - k * (a.ViewX * a.ViewX);
    const float disc = qb * qb - qc * qa;
    // A line parallel to the cone's surface (qa = 0) has no finite crossing, and float
    // error can leave the discriminant just below zero: such a line draws nothing.
    if (qa == 0 || disc < 0)
        return;
    const float root = std::sqrt(disc);
    const float tMinus = (-root - qb) / qa;
    const float tPlus = (root - qb) / qa;
    const float tLow = qa > 0 ? tMinus : tPlus;
    const float tHigh = qa > 0 ? tPlus : tMinus;

    if (a.Visible) { // leaving the cone
        const float t = IsOnSegment(tLow) ? tLow : tHigh;
        DrawLine(a, CrossingAt(a, t, dX, dY, dZ));
        return;
    }
    if (b.Visible) { // entering the cone
        const float t = IsOnSegment(tHigh) ? tHigh : tLow;
        DrawLine(CrossingAt(a, t, dX, dY, dZ), b);
        return;
    }
    // Both ends outside: draw the chord, if the line passes through the forward half of
    // the cone and not through its mirror image behind the camera.
    if (!a.InFront && !b.InFront)
        return;
    if (!IsOnSegment(tMinus) || !IsOnSegment(tPlus))
        return;
    if (!(a.ViewX + tMinus * dX > 0))
        return;
    DrawLine(CrossingAt(a, tMinus, dX, dY, dZ), CrossingAt(a, tPlus, dX, dY, dZ));
}

Draw3D::ViewPoint Draw3D::TransformPoint(const Point3D& point) const {
    const float dx = point.X - camX_;
    const float dy = point.Y - camY_;
    const float dz = point.Z - camZ_;
    const float cosH = std::cos(camAnH_);
    const float sinH = std::sin(camAnH_);
    const float cosV = std::cos(camAnV_);
    const float sinV = std::sin(camAnV_);
    ViewPoint view;
    const float x1 = dx * cosH + dy * sinH;
    view.ViewY = dy * cosH - dx * sinH;
    view.ViewX = x1 * cosV + dz * sinV;
    view.ViewZ = dz * cosV - x1 * sinV;
    return view;
}

// A point on the rim of the cone lands on the circle through the surface's corners.
void Draw3D::Project(ViewPoint& point) const {
    point.ScreenX = point.ViewY / point.ViewX / viewField_ * halfDiagonal_;
    point.ScreenY = point.ViewZ / point.ViewX / viewField_ * halfDiagonal_;
}

Draw3D::ViewPoint Draw3D::CrossingAt(const ViewPoint& a, float t, float dX, float dY,
                                     float dZ) const {
    ViewPoint crossing;
    crossing.ViewX = a.ViewX + t * dX;
    crossing.ViewY = a.ViewY + t * dY;
    crossing.ViewZ = a.ViewZ + t * dZ;
    Project(crossing);
    return crossing;
}

void Draw3D::DrawLine(const ViewPoint& from, const ViewPoint& to) {
    // A crossing at the camera itself has no place on the surface.
    if (!std::isfinite(from.ScreenX) || !std::isfinite(from.ScreenY) ||
        !std::isfinite(to.ScreenX) || !std::isfinite(to.ScreenY))
        return;
    if (LineSink)
        LineSink(from.ScreenX, from.ScreenY, to.ScreenX, to.ScreenY);
    else if (displayObject_)
        displayObject_->Line(from.ScreenX, from.ScreenY, to.ScreenX, to.ScreenY);
}

} // namespace oz
