#pragma once
// The forms runtime: one frameless window with picture surfaces, labels, lines,
// rectangle outlines, a button and a timer, driven by an event dispatch (DoEvents).
// Geometry is in twips (15 to the pixel); surfaces draw in their own user units.

#include "platform/forms/Event.h"
#include "platform/pixels/Bitmap.h"
#include "platform/pixels/Font.h"
#include "platform/pixels/Gdi.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace oz {

constexpr float kTwipsPerPixel = 15.0f;

// Mouse button bits and shift-state bits, as the events carry them.
constexpr std::int16_t vbLeftButton = 1;
constexpr std::int16_t vbRightButton = 2;
constexpr std::int16_t vbMiddleButton = 4;
constexpr std::int16_t vbShiftMask = 1;
constexpr std::int16_t vbCtrlMask = 2;
constexpr std::int16_t vbAltMask = 4;

constexpr std::int16_t vbPixels = 3;
constexpr std::int16_t vbUser = 0;

int TwipsToPixels(float twips); // nearest, halves to even

class Form;

using MouseEvent = Event<std::int16_t /*Button*/, std::int16_t /*Shift*/, float /*X*/, float /*Y*/>;
using KeyEvent = Event<std::int16_t /*KeyCode*/, std::int16_t /*Shift*/>;

enum class ControlKind { Picture, Label, Line, Shape, Button };

class Control {
public:
    Control(Form& form, std::string name, ControlKind kind);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& Name() const { return name_; }
    ControlKind Kind() const { return kind_; }
    Form& Parent() const { return form_; }

    float Left() const { return left_; }
    float Top() const { return top_; }
    float Width() const { return width_; }
    float Height() const { return height_; }
    virtual void Move(float left, float top, float width, float height);
    void Move(float left, float top) { Move(left, top, width_, height_); }

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);

    // Where the control lies in the window's client area, in pixels.
    IntRect PixelRect() const;

    // Picture surfaces, labels and the button take the mouse; lines and shapes do not.
    bool TakesMouse() const { return kind_ != ControlKind::Line && kind_ != ControlKind::Shape; }
    // Converts a pixel inside the control into the coordinates its mouse events carry.
    virtual void PixelToUser(int px, int py, float& x, float& y) const;

    MouseEvent MouseDown, MouseMove, MouseUp;
    Event<> DblClick;
    Event<> Click;

protected:
    void Invalidate(); // the window recomposes the control's area

    Form& form_;
    std::string name_;
    ControlKind kind_;
    float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
};

// A picture surface with a persistent image: what is drawn through its device context
// stays until overdrawn, and Refresh shows it.
class PictureBox : public Control {
public:
    PictureBox(Form& form, std::string name);

    void Move(float left, float top, float width, float height) override;
    using Control::Move;
    void SetHeight(float height) { Move(left_, top_, width_, height); }

    HDC hDC() { return &dc_; }
    Bitmap& Image() { return image_; }
    const Bitmap& Image() const { return image_; }

    COLORREF BackColor() const { return backColor_; }
    void SetBackColor(COLORREF color); // also clears the image to it
    COLORREF ForeColor() const { return foreColor_; }
    void SetForeColor(COLORREF color) { foreColor_ = color; }
    int DrawWidth() const { return drawWidth_; }
    void SetDrawWidth(int width) { drawWidth_ = width; }
    const Font& GetFont() const { return *font_; }
    void SetFont(const FontSpec& font);
    std::int16_t FillStyle() const { return fillStyle_; }
    void SetFillStyle(std::int16_t style) { fillStyle_ = style; }
    COLORREF FillColor() const { return fillColor_; }
    void SetFillColor(COLORREF color) { fillColor_ = color; }

    // User coordinates. ScaleMode pixels puts the origin at the top-left, one unit per
    // pixel; setting any of the four scale properties makes the scale the user's own.
    std::int16_t ScaleMode() const { return scaleMode_; }
    void SetScaleMode(std::int16_t mode);
    float ScaleLeft() const { return scaleLeft_; }
    float ScaleTop() const { return scaleTop_; }
    float ScaleWidth() const { return scaleWidth_; }
    float ScaleHeight() const { return scaleHeight_; }
    void SetScaleLeft(float v);
    void SetScaleTop(float v);
    void SetScaleWidth(float v);
    void SetScaleHeight(float v);
    void PixelToUser(int px, int py, float& x, float& y) const override;
    void UserToPixel(double x, double y, double& px, double& py) const;

    // The surface's own line primitive: user coordinates, ForeColor, DrawWidth.
    void Line(float x1, float y1, float x2, float y2);
    void Refresh();

    KeyEvent KeyDown, KeyUp;

private:
    void ResizeImage();

    Bitmap image_;
    DeviceContext dc_;
    COLORREF backColor_ = RGB(128, 128, 128);
    COLORREF foreColor_ = 0;
    int drawWidth_ = 1;
    const Font* font_;
    std::int16_t fillStyle_ = 1;
    COLORREF fillColor_ = 0;
    std::int16_t scaleMode_ = 1;
    float scaleLeft_ = 0, scaleTop_ = 0, scaleWidth_ = 0, scaleHeight_ = 0;
};

enum class Alignment { Left, Right, Center };

class Label : public Control {
public:
    Label(Form& form, std::string name);

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    COLORREF ForeColor() const { return foreColor_; }
    void SetForeColor(COLORREF color);
    const Font& GetFont() const { return *font_; }
    void SetFont(const FontSpec& font);
    Alignment GetAlignment() const { return alignment_; }
    void SetAlignment(Alignment alignment);

    void Paint(Bitmap& window, const IntRect& clip) const;
    // The font the caption is drawn with: the label's own, or where the machine's face
    // for it is too wide for the label, the largest smaller size that fits.
    const Font& FittedFont() const;

private:
    std::string caption_;
    COLORREF foreColor_ = 0;
    const Font* font_;
    mutable const Font* fitted_ = nullptr;
    mutable int fittedWidth_ = 0;
    Alignment alignment_ = Alignment::Left;
};

// A straight line on the window's background; its ends are in twips.
class LineControl : public Control {
public:
    LineControl(Form& form, std::string name);
    void SetEnds(float x1, float y1, float x2, float y2);
    float X1() const { return x1_; }
    float Y1() const { return y1_; }
    float X2() const { return x2_; }
    float Y2() const { return y2_; }
    void SetBorderWidth(int width);
    void SetBorderColor(COLORREF color);
    void Paint(Bitmap& window, const IntRect& clip) const;

private:
    float x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
    int borderWidth_ = 1;
    COLORREF borderColor_ = 0;
};

// A rectangle outline, one pixel wide, on the window's background.
class Shape : public Control {
public:
    Shape(Form& form, std::string name);
    void SetBorderColor(COLORREF color);
    COLORREF BorderColor() const { return borderColor_; }
    void Paint(Bitmap& window, const IntRect& clip) const;

private:
    COLORREF borderColor_ = 0;
};

class CommandButton : public Control {
public:
    CommandButton(Form& form, std::string name);
    void SetBackColor(COLORREF color);
    COLORREF BackColor() const { return backColor_; }
    void Paint(Bitmap& window, const IntRect& clip) const;
    bool Pressed() const { return pressed_; }
    void SetPressed(bool pressed);

private:
    COLORREF backColor_ = RGB(128, 128, 128);
    bool pressed_ = false;
};

// One timer: while enabled, it is due every Interval milliseconds from the moment it was
// enabled, and a dispatch that finds it due raises Tick once, to every holder. Ticks a
// late dispatch missed are not made up for; the schedule itself does not drift.
class Timer {
public:
    explicit Timer(std::string name) : name_(std::move(name)) {}
    const std::string& Name() const { return name_; }
    std::uint32_t Interval() const { return interval_; }
    void SetInterval(std::uint32_t ms) { interval_ = ms; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // Called by the dispatch with the current clock.
    void Poll(std::uint32_t now);

    Event<> Tick;
    // Raised when an enabled timer is disabled, by whichever holder.
    Event<> Stopped;

private:
    std::string name_;
    std::uint32_t interval_ = 0;
    bool enabled_ = false;
    std::uint32_t due_ = 0;
};

// The screen object: its size in twips, and twips per pixel.
struct Screen {
    static float Width();
    static float Height();
    static float TwipsPerPixelX() { return kTwipsPerPixel; }
    static float TwipsPerPixelY() { return kTwipsPerPixel; }
};

// Runs every pending handler (input, timer ticks, repaints, unload) and returns.
void DoEvents();

} // namespace oz
