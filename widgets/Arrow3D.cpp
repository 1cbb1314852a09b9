#include "widgets/Arrow3D.h"

#include "engine3d/GlobalDataAndFunctions3D.h"
#include "platform/forms/Forms.h"
#include "platform/pixels/Color.h"
#include "widgets/Images.h"

#include <cmath>

namespace oz {

namespace {

constexpr float kFullTurn = 6.2831855f;
constexpr float kSteepest = 1.570796f; // just short of straight up or down
constexpr float kPivotX = -0.08f;      // the camera orbits (kPivotX, 0, 0)
constexpr float kViewField = 0.52f;
constexpr float kCameraDistance = 4.0f;
constexpr float kPixelsPerSensRadian = 20.0f;

constexpr COLORREF kSeenFromBelow = RGB(190, 139, 130);
constexpr COLORREF kSeenFromAbove = RGB(128, 149, 179);

constexpr std::int16_t kBaseDisc = 0;

// The same direction as `angle`, within (-pi, pi].
float HalfTurnEitherWay(float angle) {
    float a = std::remainder(angle, kFullTurn);
    return a <= -kFullTurn / 2 ? a + kFullTurn : a;
}

} // namespace

Arrow3D::~Arrow3D() = default;

void Arrow3D::SetPictureObject(PictureBox* surface) {
    pict_ = surface;
    ConnectSurface();
    viewCamera_ = Camera{};
    renderer_ = Draw3D{};
    // Let the old arrow go first, so that the new one takes over its slots.
    drawnObject_.reset();
    modelObject_.reset();
    modelObject_ = BuildArrowModel();
    drawnObject_ = std::make_unique<Object3D>();
    CopyObjectData(*modelObject_, *drawnObject_);
    renderer_.AddObject(*drawnObject_);
    renderer_.SetDisplayObject(pict_);
    renderer_.SetViewField(kViewField);
    cameraDistance_ = kCameraDistance;
    viewCamera_.AnH = 0;
    viewCamera_.AnV = -Slope;
    PlaceCamera();
    Redraw();
}

void Arrow3D::Redraw() {
    pict_->SetForeColor(viewCamera_.AnV >= 0 ? kSeenFromBelow : kSeenFromAbove);
    // The sprite goes to the device context in pixels: its corner is the surface's corner,
    // whatever user scale the renderer has set.
    SpriteImages().DrawImage(pict_->hDC(), kBaseDisc, 0, 0);
    renderer_.Draw(viewCamera_);
}

void Arrow3D::SetAngles(float AngleH, float AngleV) {
    viewCamera_.AnH = -AngleH;
    viewCamera_.AnV = AngleV - Slope;
    PlaceCamera();
    Redraw();
}

// A flat arrow in the plane Z = 0, tip at +X, drawn as its closed outline.
std::unique_ptr<Object3D> Arrow3D::BuildArrowModel() {
    auto arrow = std::make_unique<Object3D>();
    arrow->AddPoint(1, 0, 0);      // tip
    arrow->AddPoint(0, 1, 0);      // head, left corner
    arrow->AddPoint(0, 0.5f, 0);   // shaft, left, at the head
    arrow->AddPoint(-1, 0.5f, 0);  // tail, left
    arrow->AddPoint(-1, -0.5f, 0); // tail, right
    arrow->AddPoint(0, -0.5f, 0);  // shaft, right, at the head
    arrow->AddPoint(0, -1, 0);     // head, right corner
    for (std::int16_t point = 1; point <= 7; ++point)
        arrow->AddLine(point, static_cast<std::int16_t>(point % 7 + 1));
    return arrow;
}

void Arrow3D::ConnectSurface() {
    pictDblClick_ = pict_->DblClick.Connect([this] { Pict_DblClick(); });
    pictDown_ = pict_->MouseDown.Connect([this](std::int16_t button, std::int16_t shift, float x,
                                                float y) { Pict_MouseDown(button, shift, x, y); });
    pictMove_ = pict_->MouseMove.Connect([this](std::int16_t button, std::int16_t shift, float x,
                                                float y) { Pict_MouseMove(button, shift, x, y); });
}

// On the sphere of radius cameraDistance_ around the pivot, on the far side from where
// the camera looks, so that its line of sight runs through the pivot.
void Arrow3D::PlaceCamera() {
    const float d = cameraDistance_;
    viewCamera_.Z = -std::sin(viewCamera_.AnV) * d;
    viewCamera_.X = -std::cos(viewCamera_.AnV) * std::cos(viewCamera_.AnH) * d + kPivotX;
    viewCamera_.Y = -std::cos(viewCamera_.AnV) * std::sin(viewCamera_.AnH) * d;
}

void Arrow3D::Pict_DblClick() {
    viewCamera_.AnH = 0;
    viewCamera_.AnV = -Slope;
    PlaceCamera();
    Redraw();
    AngleChanged.Raise(0, 0);
}

void Arrow3D::Pict_MouseDown(std::int16_t /*Button*/, std::int16_t /*Shift*/, float X, float Y) {
    lastX_ = X;
    lastY_ = Y;
}

// The surface's x grows to the left and its y upwards: dragging to the right lowers AnH
// (the tip turns left), dragging up raises AngleV (the tip tilts down).
void Arrow3D::Pict_MouseMove(std::int16_t Button, std::int16_t /*Shift*/, float X, float Y) {
    if (Button != vbLeftButton)
        return;
    float& anH = viewCamera_.AnH;
    float& anV = viewCamera_.AnV;
    anV = anV + Slope;
    anH = (X - lastX_) * Sens / kPixelsPerSensRadian + anH;
    anV = (Y - lastY_) * Sens / kPixelsPerSensRadian + anV;
    if (std::abs(anV) > kSteepest)
        anV = std::copysign(kSteepest, anV);
    // However far the pointer went, the heading stays within one turn.
    anH = std::fmod(anH, kFullTurn);
    if (anH < 0)
        anH += kFullTurn;
    anV = anV - Slope;
    PlaceCamera();
    Redraw();
    lastX_ = X;
    lastY_ = Y;
    AngleChanged.Raise(HalfTurnEitherWay(-anH), anV + Slope);
}

} // namespace oz
