#pragma once
// The panel's heading indicator and control: a flat wireframe arrow, fixed in the plane
// Z = 0 and pointing along +X, seen in perspective by a camera that orbits it, over the
// base disc of the sprite sheet. The heading lives in the camera: AnH = -AngleH and
// AnV = AngleV - Slope. Dragging with the left button turns the heading, a double click
// resets it to straight ahead, and both report the new heading through AngleChanged.

#include "engine3d/Camera.h"
#include "engine3d/Draw3D.h"
#include "engine3d/Object3D.h"
#include "platform/forms/Event.h"

#include <cstdint>
#include <memory>

namespace oz {

class PictureBox;

class Arrow3D {
public:
    Arrow3D() = default;
    ~Arrow3D();
    Arrow3D(const Arrow3D&) = delete;
    Arrow3D& operator=(const Arrow3D&) = delete;

    float Slope = 0; // how far the camera looks down on the arrow at heading (0, 0)
    float Sens = 0;  // a drag of one pixel turns the heading by Sens / 20 radians

    PictureBox* PictureObject() const { return pict_; }
    // Binds a 73 x 73 surface and builds the camera, renderer and arrow from scratch at
    // heading (0, 0), then draws. The sprite sheet must already be loaded.
    void SetPictureObject(PictureBox* surface);

    void Redraw();
    // Shows the given heading as it is, neither clamped nor wrapped; raises nothing.
    void SetAngles(float AngleH, float AngleV);

    Event<float /*NewAngleH*/, float /*NewAngleV*/> AngleChanged;

    // The camera that holds the heading; valid once a surface is bound.
    const Camera& ViewCamera() const { return viewCamera_; }
    // The renderer, so that its drawn lines can be watched.
    Draw3D& Renderer() { return renderer_; }

private:
    static std::unique_ptr<Object3D> BuildArrowModel();
    void ConnectSurface();
    void PlaceCamera();

    void Pict_DblClick();
    void Pict_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Pict_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);

    PictureBox* pict_ = nullptr;
    // A new binding, or the end of the widget, ends these: a surface bound earlier no
    // longer drives the widget.
    ScopedConnection pictDblClick_, pictDown_, pictMove_;
    std::unique_ptr<Object3D> modelObject_; // the arrow as built, never changed
    std::unique_ptr<Object3D> drawnObject_; // the copy the renderer draws
    Draw3D renderer_;
    Camera viewCamera_;
    float lastX_ = 0; // mouse position at the last press or drag step, in user units
    float lastY_ = 0;
    float cameraDistance_ = 0; // radius of the camera's orbit
};

} // namespace oz
