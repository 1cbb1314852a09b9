#include "platform/forms/Forms.h"

#include "platform/forms/Backend.h"
#include "platform/forms/Form.h"
#include "platform/pixels/Raster.h"
#include "platform/pixels/Rounding.h"

#include <algorithm>
#include <cmath>

namespace oz {

int TwipsToPixels(float twips) {
    return ToInt32(twips / kTwipsPerPixel);
}

// ---- Control ----

Control::Control(Form& form, std::string name, ControlKind kind)
    : form_(form), name_(std::move(name)), kind_(kind) {}

void Control::Move(float left, float top, float width, float height) {
    Invalidate();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Invalidate();
}

void Control::SetVisible(bool visible) {
    if (visible_ == visible)
        return;
    visible_ = visible;
    form_.Invalidate(PixelRect());
}

IntRect Control::PixelRect() const {
    int l = TwipsToPixels(left_), t = TwipsToPixels(top_);
    return {l, t, l + TwipsToPixels(width_), t + TwipsToPixels(height_)};
}

void Control::PixelToUser(int px, int py, float& x, float& y) const {
    // Controls other than surfaces report the window's own unit, twips.
    x = static_cast<float>(px) * kTwipsPerPixel;
    y = static_cast<float>(py) * kTwipsPerPixel;
}

void Control::Invalidate() {
    if (visible_)
        form_.Invalidate(PixelRect());
}

// ---- PictureBox ----

PictureBox::PictureBox(Form& form, std::string name)
    : Control(form, std::move(name), ControlKind::Picture), dc_(&image_),
      font_(&Font::Get(FontSpec{})) {
    dc_.font = font_;
}

void PictureBox::Move(float left, float top, float width, float height) {
    Control::Move(left, top, width, height);
    ResizeImage();
}

void PictureBox::ResizeImage() {
    IntRect r = PixelRect();
    bool wasPixels = scaleMode_ == vbPixels;
    image_.Resize(r.Width(), r.Height(), PixelFromColor(backColor_));
    if (wasPixels || scaleMode_ != vbUser) {
        scaleLeft_ = 0;
        scaleTop_ = 0;
        scaleWidth_ = static_cast<float>(image_.Width());
        scaleHeight_ = static_cast<float>(image_.Height());
    }
}

void PictureBox::SetBackColor(COLORREF color) {
    backColor_ = color;
    image_.Fill(PixelFromColor(color));
    Invalidate();
}

void PictureBox::SetFont(const FontSpec& font) {
    font_ = &Font::Get(font);
    dc_.font = font_;
}

void PictureBox::SetScaleMode(std::int16_t mode) {
    scaleMode_ = mode;
    if (mode != vbUser) {
        scaleLeft_ = 0;
        scaleTop_ = 0;
        scaleWidth_ = static_cast<float>(image_.Width());
        scaleHeight_ = static_cast<float>(image_.Height());
    }
}

void PictureBox::SetScaleLeft(float v) {
    scaleMode_ = vbUser;
    scaleLeft_ = v;
}
void PictureBox::SetScaleTop(float v) {
    scaleMode_ = vbUser;
    scaleTop_ = v;
}
void PictureBox::SetScaleWidth(float v) {
    scaleMode_ = vbUser;
    scaleWidth_ = v;
}
void PictureBox::SetScaleHeight(float v) {
    scaleMode_ = vbUser;
    scaleHeight_ = v;
}

void PictureBox::PixelToUser(int px, int py, float& x, float& y) const {
    float w = image_.Width() > 0 ? static_cast<float>(image_.Width()) : 1.0f;
    float h = image_.Height() > 0 ? static_cast<float>(image_.Height()) : 1.0f;
    x = scaleLeft_ + static_cast<float>(px) * scaleWidth_ / w;
    y = scaleTop_ + static_cast<float>(py) * scaleHeight_ / h;
}

void PictureBox::UserToPixel(double x, double y, double& px, double& py) const {
    px = scaleWidth_ != 0 ? (x - scaleLeft_) * image_.Width() / scaleWidth_ : 0.0;
    py = scaleHeight_ != 0 ? (y - scaleTop_) * image_.Height() / scaleHeight_ : 0.0;
}

namespace {

// Cuts the segment to the box (Cohen-Sutherland); false when nothing of it is left. Each
// cut puts the end on the edge and computes the other coordinate from the slope, so a
// line with far-away ends keeps its place on the box.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, double xmin, double ymin,
                 double xmax, double ymax) {
    auto code = [&](double x, double y) {
        return (x < xmin ? 1 : 0) | (x > xmax ? 2 : 0) | (y < ymin ? 4 : 0) | (y > ymax ? 8 : 0);
    };
    int c0 = code(x0, y0), c1 = code(x1, y1);
    for (int guard = 0; guard < 8; ++guard) {
        if ((c0 | c1) == 0)
            return true;
        if (c0 & c1)
            return false;
        int out = c0 ? c0 : c1;
        double x, y;
        if (out & 1) {
            x = xmin;
            y = y0 + (y1 - y0) * ((xmin - x0) / (x1 - x0));
        } else if (out & 2) {
            x = xmax;
            y = y0 + (y1 - y0) * ((xmax - x0) / (x1 - x0));
        } else if (out & 4) {
            y = ymin;
            x = x0 + (x1 - x0) * ((ymin - y0) / (y1 - y0));
        } else {
            y = ymax;
            x = x0 + (x1 - x0) * ((ymax - y0) / (y1 - y0));
        }
        if (out == c0) {
            x0 = x;
            y0 = y;
            c0 = code(x0, y0);
        } else {
            x1 = x;
            y1 = y;
            c1 = code(x1, y1);
        }
    }
    return (c0 | c1) == 0;
}

} // namespace

void PictureBox::Line(float x1, float y1, float x2, float y2) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return;
    double px0, py0, px1, py1;
    UserToPixel(x1, y1, px0, py0);
    UserToPixel(x2, y2, px1, py1);
    // Cut far-away ends down to a margin around the image before going to integers.
    double margin = 4.0 + drawWidth_;
    if (!ClipSegment(px0, py0, px1, py1, -margin, -margin, image_.Width() + margin,
                     image_.Height() + margin))
        return;
    int ix0 = ToInt32(px0), iy0 = ToInt32(py0), ix1 = ToInt32(px1), iy1 = ToInt32(py1);
    raster::DrawLine(image_, ix0, iy0, ix1, iy1, PixelFromColor(foreColor_), drawWidth_,
                     drawWidth_ > 1);
    // Lines drawn by the surface itself show without a Refresh, at the next dispatch.
    Invalidate();
}

void PictureBox::Refresh() {
    // Only what was drawn since the last Refresh needs showing again.
    form_.InvalidateDrawn(*this);
    form_.Present();
}

// ---- Label ----

Label::Label(Form& form, std::string name)
    : Control(form, std::move(name), ControlKind::Label), font_(&Font::Get(FontSpec{})) {}

void Label::SetCaption(std::string caption) {
    if (caption == caption_)
        return;
    caption_ = std::move(caption);
    fitted_ = nullptr;
    Invalidate();
}

void Label::SetForeColor(COLORREF color) {
    foreColor_ = color;
    Invalidate();
}

void Label::SetFont(const FontSpec& font) {
    font_ = &Font::Get(font);
    fitted_ = nullptr;
    Invalidate();
}

void Label::SetAlignment(Alignment alignment) {
    alignment_ = alignment;
    Invalidate();
}

namespace {

int WidestLine(const Font& font, std::string_view text) {
    int widest = 0;
    while (true) {
        size_t br = text.find("\r\n");
        widest = std::max(widest, font.MeasureWidth(text.substr(0, br)));
        if (br == std::string_view::npos)
            return widest;
        text.remove_prefix(br + 2);
    }
}

} // namespace

const Font& Label::FittedFont() const {
    int width = PixelRect().Width();
    if (fitted_ && fittedWidth_ == width)
        return *fitted_;
    fitted_ = font_;
    fittedWidth_ = width;
    if (width <= 0 || WidestLine(*font_, caption_) <= width)
        return *fitted_;
    FontSpec smaller = font_->Request();
    while (smaller.points > 4) {
        smaller.points -= 0.25f;
        fitted_ = &Font::Get(smaller);
        if (WidestLine(*fitted_, caption_) <= width)
            break;
    }
    return *fitted_;
}

void Label::Paint(Bitmap& window, const IntRect& clip) const {
    IntRect box = PixelRect();
    IntRect c = box.Intersected(clip);
    if (c.IsEmpty() || caption_.empty())
        return;
    const Font& font = FittedFont();
    std::string_view text = caption_;
    int top = box.top;
    while (true) {
        size_t br = text.find("\r\n");
        std::string_view line = text.substr(0, br);
        int x = box.left;
        int w = font.MeasureWidth(line);
        if (alignment_ == Alignment::Right)
            x = box.right - w;
        else if (alignment_ == Alignment::Center)
            x = box.left + (box.Width() - w) / 2;
        font.DrawLine(window, line, x, top, PixelFromColor(foreColor_), c);
        if (br == std::string_view::npos)
            break;
        text.remove_prefix(br + 2);
        top += font.LineHeight();
    }
}

// ---- LineControl ----

LineControl::LineControl(Form& form, std::string name)
    : Control(form, std::move(name), ControlKind::Line) {}

void LineControl::SetEnds(float x1, float y1, float x2, float y2) {
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
    float pad = 2 * kTwipsPerPixel * static_cast<float>(std::max(borderWidth_, 1));
    Control::Move(std::min(x1, x2) - pad, std::min(y1, y2) - pad, std::abs(x2 - x1) + 2 * pad,
                  std::abs(y2 - y1) + 2 * pad);
}

void LineControl::SetBorderWidth(int width) {
    borderWidth_ = width;
    SetEnds(x1_, y1_, x2_, y2_);
}

void LineControl::SetBorderColor(COLORREF color) {
    borderColor_ = color;
    Invalidate();
}

void LineControl::Paint(Bitmap& window, const IntRect& clip) const {
    if (clip.Intersected(PixelRect()).IsEmpty())
        return;
    raster::DrawLine(window, TwipsToPixels(x1_), TwipsToPixels(y1_), TwipsToPixels(x2_),
                     TwipsToPixels(y2_), PixelFromColor(borderColor_), borderWidth_,
                     borderWidth_ > 1);
}

// ---- Shape ----

Shape::Shape(Form& form, std::string name) : Control(form, std::move(name), ControlKind::Shape) {}

void Shape::SetBorderColor(COLORREF color) {
    borderColor_ = color;
    Invalidate();
}

void Shape::Paint(Bitmap& window, const IntRect& clip) const {
    if (clip.Intersected(PixelRect()).IsEmpty())
        return;
    raster::DrawRectangle(window, PixelRect(), PixelFromColor(borderColor_), 1, false, 0);
}

// ---- CommandButton ----

CommandButton::CommandButton(Form& form, std::string name)
    : Control(form, std::move(name), ControlKind::Button) {}

void CommandButton::SetBackColor(COLORREF color) {
    backColor_ = color;
    Invalidate();
}

void CommandButton::SetPressed(bool pressed) {
    if (pressed_ == pressed)
        return;
    pressed_ = pressed;
    Invalidate();
}

void CommandButton::Paint(Bitmap& window, const IntRect& clip) const {
    IntRect box = PixelRect();
    if (clip.Intersected(box).IsEmpty())
        return;
    // A small raised face: light top-left edges, dark bottom-right, sunken while pressed.
    Pixel face = PixelFromColor(backColor_);
    Pixel light = PixelFromColor(RGB(224, 224, 224)), dark = PixelFromColor(RGB(48, 48, 48));
    if (pressed_)
        std::swap(light, dark);
    raster::DrawRectangle(window, box, face, 0, true, face);
    raster::DrawLine(window, box.left, box.top, box.right - 1, box.top, light, 1);
    raster::DrawLine(window, box.left, box.top, box.left, box.bottom - 1, light, 1);
    raster::DrawLine(window, box.right - 1, box.top, box.right - 1, box.bottom, dark, 1);
    raster::DrawLine(window, box.left, box.bottom - 1, box.right - 1, box.bottom - 1, dark, 1);
}

// ---- Timer ----

void Timer::SetEnabled(bool enabled) {
    if (enabled && !enabled_)
        due_ = CurrentBackend().TickCount() + interval_;
    bool stopped = enabled_ && !enabled;
    enabled_ = enabled;
    if (stopped)
        Stopped.Raise();
}

void Timer::Poll(std::uint32_t now) {
    if (!enabled_ || interval_ == 0)
        return;
    std::int32_t late = static_cast<std::int32_t>(now - due_);
    if (late < 0)
        return;
    // The next tick keeps the schedule: one interval after this one was due. Ticks missed
    // by a late dispatch fold into this one; the schedule moves on past them.
    due_ += interval_ * (static_cast<std::uint32_t>(late) / interval_ + 1);
    Tick.Raise();
}

// ---- Screen and dispatch ----

float Screen::Width() {
    return static_cast<float>(CurrentBackend().ScreenWidthPx()) * kTwipsPerPixel;
}
float Screen::Height() {
    return static_cast<float>(CurrentBackend().ScreenHeightPx()) * kTwipsPerPixel;
}

void DoEvents() {
    Backend& backend = CurrentBackend();
    Form* form = ActiveForm();
    backend.DispatchStarting();
    InputEvent event;
    while (backend.PollInput(event)) {
        if (form && !form->Unloaded())
            form->Dispatch(event);
    }
    if (form && !form->Unloaded()) {
        form->PollTimers(backend.TickCount());
        form->Present();
    }
}

} // namespace oz
