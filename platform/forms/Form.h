#pragma once
// The program's one window: frameless (outer size equals client size), with its
// controls in stacking order, its own background events and the routing of input.

#include "platform/forms/Forms.h"

#include <memory>
#include <string>
#include <vector>

namespace oz {

struct InputEvent;

class Form {
public:
    explicit Form(std::string caption);
    ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Caption() const { return caption_; }

    // Geometry in twips. Omitted sizes keep their values.
    float Left() const { return left_; }
    float Top() const { return top_; }
    float Width() const { return width_; }
    float Height() const { return height_; }
    void Move(float left, float top, float width, float height);
    void Move(float left, float top) { Move(left, top, width_, height_); }
    IntRect PixelRect() const; // on the screen

    COLORREF BackColor() const { return backColor_; }
    void SetBackColor(COLORREF color);
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool on) { keyPreview_ = on; }
    // The icon, as a picture the platform shows for the window.
    void SetIcon(const Bitmap& icon);
    const Bitmap& Icon() const { return icon_; }

    // Raises Load; the program runs inside the handler.
    void Load();
    void Show();
    void Unload();
    bool Shown() const { return shown_; }
    bool Unloaded() const { return unloaded_; }

    Event<> LoadEvent;
    Event<std::int16_t& /*Cancel*/> UnloadEvent;
    MouseEvent MouseDown, MouseMove, MouseUp;
    KeyEvent KeyDown, KeyUp;

    // Controls are made by the window and live as long as it. Each new control is
    // stacked above the earlier ones of its layer; surfaces and the button lie above
    // labels, lines and shapes.
    PictureBox& AddPicture(const std::string& name);
    Label& AddLabel(const std::string& name);
    LineControl& AddLine(const std::string& name);
    Shape& AddShape(const std::string& name);
    CommandButton& AddButton(const std::string& name);
    Timer& AddTimer(const std::string& name);
    void BringToFront(Control& control);
    Control* Find(const std::string& name) const;
    const std::vector<Control*>& StackingOrder() const { return order_; }
    const std::vector<std::unique_ptr<Timer>>& Timers() const { return timers_; }

    void SetFocus(PictureBox* control) { focus_ = control; }

    // The window's composed image in its own pixels, and what changed since it was last
    // presented.
    const Bitmap& Image();
    void Invalidate(const IntRect& windowPixels);
    void InvalidateAll();
    // Invalidates what was drawn on the surface since the last call, in a few rectangles.
    void InvalidateDrawn(PictureBox& picture);
    // Composes the changed regions and hands them to the display.
    void Present();
    // Every window composes and presents all of itself at each Present, and every image
    // writes every pixel it is asked to: the slow way, for tests that compare both ways.
    static void SetFullRedraw(bool on);

    // Input from the display, in screen pixels.
    void Dispatch(const InputEvent& event);
    // Whether a press at window pixel (wx, wy) lands on the window's own background rather
    // than on a control: where a display that moves windows itself starts a move.
    bool BackgroundAt(int wx, int wy) const {
        return image_.Bounds().Contains(wx, wy) && HitTest(wx, wy) == nullptr;
    }
    // A second left press on the same control within this many milliseconds, and within
    // kDoubleClickSlop pixels each way of the first, is a double click.
    static constexpr std::uint32_t kDoubleClickTime = 500;
    static constexpr int kDoubleClickSlop = 2;
    void PollTimers(std::uint32_t now);

private:
    Control& Stack(std::unique_ptr<Control> control);
    void AddDirty(const IntRect& region, size_t known);
    void MeasureControls();
    void Compose(const IntRect& region);
    Control* HitTest(int wx, int wy) const;
    // Who takes the pointer's event: the control that holds the capture, else the topmost
    // control under the pointer, else the window's background (onWindow); false for none.
    bool PointerTarget(bool inside, int wx, int wy, Control*& target, bool& onWindow) const;
    void RaiseMouse(Control* target, int which, std::int16_t button, std::int16_t shift, int wx,
                    int wy);

    std::string caption_;
    float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    COLORREF backColor_ = RGB(128, 128, 128);
    bool keyPreview_ = false;
    bool shown_ = false, unloaded_ = false;
    Bitmap icon_;

    std::vector<std::unique_ptr<Control>> controls_;
    std::vector<Control*> order_;       // bottom first
    std::vector<IntRect> controlRects_; // where order_'s controls lie, for composing
    std::vector<std::unique_ptr<Timer>> timers_;
    PictureBox* focus_ = nullptr;

    // The topmost surface when it fills the window with nothing shown above it: its image
    // is then the window's, and is shown as it stands. Null otherwise.
    PictureBox* SoleSurface() const;
    // Composes all of the window if it was last shown from a sole surface.
    void CatchUpImage();

    Bitmap image_;
    bool imageBehind_ = false; // the window was shown from a sole surface since image_ was
                               // last composed whole
    std::vector<IntRect> dirty_;
    // Past this many regions, one box holds them all.
    static constexpr size_t kMaxDirty = 576;
    // A surface's drawing reaches the dirty list in at most this many rectangles.
    static inline bool fullRedraw_ = false;
    static constexpr int kMaxDrawnRects = 512;
    IntRect drawn_[kMaxDrawnRects];

    // Mouse state: the control (or the window, as nullptr with captureWindow_) that holds
    // the pointer while buttons are down.
    Control* capture_ = nullptr;
    bool captureWindow_ = false;
    std::int16_t buttons_ = 0;
    Control* lastPress_ = nullptr;
    bool lastPressWindow_ = false;
    // The left press a second one may make a double click of: when and where it was.
    bool clickOpen_ = false;
    std::uint32_t clickTime_ = 0;
    int clickX_ = 0, clickY_ = 0;
    Control* buttonDown_ = nullptr;
};

// The running window, for DoEvents and the platform.
Form* ActiveForm();
void SetActiveForm(Form* form);

} // namespace oz
