#include "platform/forms/Form.h"

#include "platform/forms/Backend.h"

#include <algorithm>
#include <cstdlib>

namespace oz {

namespace {
Form* activeForm = nullptr;
} // namespace

Form* ActiveForm() {
    return activeForm;
}
void SetActiveForm(Form* form) {
    activeForm = form;
}

Form::Form(std::string caption) : caption_(std::move(caption)) {
    dirty_.reserve(kMaxDirty + 1); // the frame path never grows it
}

Form::~Form() {
    if (activeForm == this)
        activeForm = nullptr;
}

IntRect Form::PixelRect() const {
    int l = TwipsToPixels(left_), t = TwipsToPixels(top_);
    return {l, t, l + TwipsToPixels(width_), t + TwipsToPixels(height_)};
}

void Form::Move(float left, float top, float width, float height) {
    IntRect before = PixelRect();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    IntRect after = PixelRect();
    if (after.Width() != before.Width() || after.Height() != before.Height()) {
        image_.Resize(after.Width(), after.Height());
        InvalidateAll();
    }
    if (shown_)
        CurrentBackend().WindowChanged(*this);
}

void Form::SetBackColor(COLORREF color) {
    backColor_ = color;
    InvalidateAll();
}

void Form::SetIcon(const Bitmap& icon) {
    icon_ = icon;
    if (shown_)
        CurrentBackend().WindowChanged(*this);
}

void Form::Load() {
    SetActiveForm(this);
    LoadEvent.Raise();
}

void Form::Show() {
    if (shown_)
        return;
    shown_ = true;
    SetActiveForm(this);
    image_.Resize(PixelRect().Width(), PixelRect().Height());
    InvalidateAll();
    CurrentBackend().WindowChanged(*this);
    Present();
}

void Form::Unload() {
    if (unloaded_)
        return;
    std::int16_t cancel = 0;
    UnloadEvent.Raise(cancel);
    if (cancel != 0)
        return;
    unloaded_ = true;
    capture_ = nullptr;
    captureWindow_ = false;
    buttons_ = 0;
    for (auto& t : timers_)
        t->SetEnabled(false);
    CurrentBackend().WindowClosed(*this);
}

Control& Form::Stack(std::unique_ptr<Control> control) {
    Control& c = *control;
    controls_.push_back(std::move(control));
    if (c.Kind() == ControlKind::Picture || c.Kind() == ControlKind::Button) {
        order_.push_back(&c);
    } else {
        // Graphical controls sit on the background, beneath every surface.
        auto firstSurface = std::find_if(order_.begin(), order_.end(), [](Control* o) {
            return o->Kind() == ControlKind::Picture || o->Kind() == ControlKind::Button;
        });
        order_.insert(firstSurface, &c);
    }
    return c;
}

PictureBox& Form::AddPicture(const std::string& name) {
    return static_cast<PictureBox&>(Stack(std::make_unique<PictureBox>(*this, name)));
}
Label& Form::AddLabel(const std::string& name) {
    return static_cast<Label&>(Stack(std::make_unique<Label>(*this, name)));
}
LineControl& Form::AddLine(const std::string& name) {
    return static_cast<LineControl&>(Stack(std::make_unique<LineControl>(*this, name)));
}
Shape& Form::AddShape(const std::string& name) {
    return static_cast<Shape&>(Stack(std::make_unique<Shape>(*this, name)));
}
CommandButton& Form::AddButton(const std::string& name) {
    return static_cast<CommandButton&>(Stack(std::make_unique<CommandButton>(*this, name)));
}
Timer& Form::AddTimer(const std::string& name) {
    timers_.push_back(std::make_unique<Timer>(name));
    return *timers_.back();
}

void Form::BringToFront(Control& control) {
    auto it = std::find(order_.begin(), order_.end(), &control);
    if (it == order_.end())
        return;
    order_.erase(it);
    bool surface = control.Kind() == ControlKind::Picture || control.Kind() == ControlKind::Button;
    if (surface) {
        order_.push_back(&control);
    } else {
        auto firstSurface = std::find_if(order_.begin(), order_.end(), [](Control* o) {
            return o->Kind() == ControlKind::Picture || o->Kind() == ControlKind::Button;
        });
        order_.insert(firstSurface, &control);
    }
    Invalidate(control.PixelRect());
}

Control* Form::Find(const std::string& name) const {
    for (const auto& c : controls_)
        if (c->Name() == name)
            return c.get();
    return nullptr;
}

// ---- Composition ----

void Form::Invalidate(const IntRect& windowPixels) {
    AddDirty(windowPixels, dirty_.size());
}

// Adds a region unless one of the first `known` regions already covers it.
void Form::AddDirty(const IntRect& region, size_t known) {
    IntRect r = region.Intersected(image_.Bounds());
    if (r.IsEmpty())
        return;
    for (size_t i = 0; i < known && i < dirty_.size(); ++i) {
        const IntRect covered = dirty_[i].Intersected(r);
        if (covered.Width() == r.Width() && covered.Height() == r.Height())
            return;
    }
    // Keep the list short: past kMaxDirty regions, one box holds them all.
    if (dirty_.size() >= kMaxDirty) {
        IntRect all = r;
        for (const IntRect& d : dirty_)
            all = {std::min(all.left, d.left), std::min(all.top, d.top),
                   std::max(all.right, d.right), std::max(all.bottom, d.bottom)};
        dirty_.clear();
        dirty_.push_back(all);
        return;
    }
    dirty_.push_back(r);
}

void Form::InvalidateDrawn(PictureBox& picture) {
    const int n = picture.Image().TakeDamage(drawn_, kMaxDrawnRects);
    if (!picture.Visible())
        return;
    const IntRect box = picture.PixelRect();
    // The surface's rectangles do not overlap: each is checked against the earlier regions
    // only.
    const size_t known = dirty_.size();
    for (int i = 0; i < n; ++i)
        AddDirty(drawn_[i].Translated(box.left, box.top).Intersected(box), known);
}

void Form::InvalidateAll() {
    dirty_.clear();
    if (!image_.Bounds().IsEmpty())
        dirty_.push_back(image_.Bounds());
}

const Bitmap& Form::Image() {
    MeasureControls();
    CatchUpImage();
    for (const IntRect& r : dirty_)
        Compose(r);
    return image_;
}

void Form::CatchUpImage() {
    if (!imageBehind_)
        return;
    imageBehind_ = false;
    Compose(image_.Bounds());
}

// Needs the controls measured (MeasureControls) since they last moved.
PictureBox* Form::SoleSurface() const {
    for (size_t i = order_.size(); i-- > 0;) {
        Control* c = order_[i];
        if (!c->Visible())
            continue;
        if (c->Kind() != ControlKind::Picture || controlRects_[i] != image_.Bounds())
            return nullptr;
        auto* p = static_cast<PictureBox*>(c);
        return p->Image().Width() == image_.Width() && p->Image().Height() == image_.Height()
                   ? p
                   : nullptr;
    }
    return nullptr;
}

void Form::MeasureControls() {
    controlRects_.resize(order_.size());
    for (size_t i = 0; i < order_.size(); ++i)
        controlRects_[i] = order_[i]->PixelRect();
}

// Needs the controls measured (MeasureControls) since they last moved.
void Form::Compose(const IntRect& region) {
    // Start from the topmost surface that covers the whole region: nothing below shows.
    size_t first = 0;
    for (size_t i = order_.size(); i-- > 0;) {
        Control* c = order_[i];
        if (c->Visible() && c->Kind() == ControlKind::Picture) {
            IntRect cover = controlRects_[i].Intersected(region);
            if (cover.Width() == region.Width() && cover.Height() == region.Height()) {
                first = i;
                break;
            }
        }
    }
    if (first == 0)
        image_.FillRect(region, PixelFromColor(backColor_));
    for (size_t i = first; i < order_.size(); ++i) {
        Control* c = order_[i];
        // Every control paints only inside its own box.
        if (!c->Visible() || controlRects_[i].Intersected(region).IsEmpty())
            continue;
        switch (c->Kind()) {
        case ControlKind::Picture: {
            auto* p = static_cast<PictureBox*>(c);
            IntRect box = controlRects_[i];
            IntRect part = box.Intersected(region);
            if (!part.IsEmpty())
                image_.CopyFrom(p->Image(), part.Translated(-box.left, -box.top), part.left,
                                part.top);
            break;
        }
        case ControlKind::Label:
            static_cast<Label*>(c)->Paint(image_, region);
            break;
        case ControlKind::Line:
            static_cast<LineControl*>(c)->Paint(image_, region);
            break;
        case ControlKind::Shape:
            static_cast<Shape*>(c)->Paint(image_, region);
            break;
        case ControlKind::Button:
            static_cast<CommandButton*>(c)->Paint(image_, region);
            break;
        }
    }
}

void Form::SetFullRedraw(bool on) {
    fullRedraw_ = on;
    Bitmap::SetShortcuts(!on);
}

void Form::Present() {
    if (dirty_.empty() || !shown_ || unloaded_)
        return;
    if (fullRedraw_)
        InvalidateAll();
    MeasureControls();
    // Full screen: the view fills the window, and composing would only copy it.
    PictureBox* sole = fullRedraw_ ? nullptr : SoleSurface();
    if (sole) {
        imageBehind_ = true;
    } else {
        CatchUpImage();
        for (const IntRect& r : dirty_)
            Compose(r);
    }
    CurrentBackend().Present(sole ? sole->Image() : image_, dirty_.data(),
                             static_cast<int>(dirty_.size()));
    dirty_.clear();
}

// ---- Input ----

Control* Form::HitTest(int wx, int wy) const {
    for (size_t i = order_.size(); i-- > 0;) {
        Control* c = order_[i];
        if (c->Visible() && c->TakesMouse() && c->PixelRect().Contains(wx, wy))
            return c;
    }
    return nullptr;
}

enum { kDown, kUp, kMove };

void Form::RaiseMouse(Control* target, int which, std::int16_t button, std::int16_t shift, int wx,
                      int wy) {
    if (target) {
        IntRect box = target->PixelRect();
        float x, y;
        target->PixelToUser(wx - box.left, wy - box.top, x, y);
        MouseEvent& e = which == kDown ? target->MouseDown
                        : which == kUp ? target->MouseUp
                                       : target->MouseMove;
        e.Raise(button, shift, x, y);
    } else {
        float x = static_cast<float>(wx) * kTwipsPerPixel,
              y = static_cast<float>(wy) * kTwipsPerPixel;
        MouseEvent& e = which == kDown ? MouseDown : which == kUp ? MouseUp : MouseMove;
        e.Raise(button, shift, x, y);
    }
}

bool Form::PointerTarget(bool inside, int wx, int wy, Control*& target, bool& onWindow) const {
    if (buttons_ != 0) { // captured by the control that was pressed
        target = capture_;
        onWindow = captureWindow_;
        return target || onWindow;
    }
    if (!inside)
        return false;
    target = HitTest(wx, wy);
    onWindow = target == nullptr;
    return true;
}

void Form::Dispatch(const InputEvent& event) {
    if (unloaded_)
        return;
    IntRect me = PixelRect();
    int wx = event.x - me.left, wy = event.y - me.top;
    bool inside = image_.Bounds().Contains(wx, wy) || me.Contains(event.x, event.y);

    switch (event.type) {
    case InputEvent::Type::Close:
        Unload();
        return;
    case InputEvent::Type::KeyDown:
        if (keyPreview_)
            KeyDown.Raise(event.keyCode, event.shift);
        if (!unloaded_ && focus_)
            focus_->KeyDown.Raise(event.keyCode, event.shift);
        return;
    case InputEvent::Type::KeyUp:
        if (keyPreview_)
            KeyUp.Raise(event.keyCode, event.shift);
        if (!unloaded_ && focus_)
            focus_->KeyUp.Raise(event.keyCode, event.shift);
        return;
    case InputEvent::Type::MouseDown: {
        Control* target;
        bool onWindow;
        if (!PointerTarget(inside, wx, wy, target, onWindow))
            return;
        capture_ = target;
        captureWindow_ = onWindow;
        bool sameAsLast = target == lastPress_ && onWindow == lastPressWindow_;
        buttons_ = static_cast<std::int16_t>(buttons_ | event.button);
        lastPress_ = target;
        lastPressWindow_ = onWindow;
        if (target && target->Kind() == ControlKind::Button && event.button == vbLeftButton) {
            buttonDown_ = target;
            static_cast<CommandButton*>(target)->SetPressed(true);
        }
        // A double click ends its click sequence: a third quick press starts a new one.
        bool left = event.button == vbLeftButton;
        bool second = left && clickOpen_ && sameAsLast &&
                      event.time - clickTime_ <= kDoubleClickTime &&
                      std::abs(event.x - clickX_) <= kDoubleClickSlop &&
                      std::abs(event.y - clickY_) <= kDoubleClickSlop;
        clickOpen_ = left && !second;
        clickTime_ = event.time;
        clickX_ = event.x;
        clickY_ = event.y;
        if (second && target) {
            target->DblClick.Raise();
            return;
        }
        RaiseMouse(target, kDown, event.button, event.shift, wx, wy);
        return;
    }
    case InputEvent::Type::MouseUp: {
        if (buttons_ == 0)
            return; // a release without a press we saw
        Control* target = capture_;
        bool onWindow = captureWindow_;
        buttons_ = static_cast<std::int16_t>(buttons_ & ~event.button);
        if (buttons_ == 0) {
            capture_ = nullptr;
            captureWindow_ = false;
        }
        if (target || onWindow)
            RaiseMouse(target, kUp, event.button, event.shift, wx, wy);
        if (buttonDown_ && event.button == vbLeftButton) {
            auto* button = static_cast<CommandButton*>(buttonDown_);
            buttonDown_ = nullptr;
            button->SetPressed(false);
            if (button->PixelRect().Contains(wx, wy))
                button->Click.Raise();
        }
        return;
    }
    case InputEvent::Type::MouseMove: {
        Control* target;
        bool onWindow;
        if (PointerTarget(inside, wx, wy, target, onWindow))
            RaiseMouse(target, kMove, buttons_ != 0 ? buttons_ : event.buttons, event.shift, wx,
                       wy);
        return;
    }
    }
}

void Form::PollTimers(std::uint32_t now) {
    for (auto& t : timers_)
        t->Poll(now);
}

} // namespace oz
