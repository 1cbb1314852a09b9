#include "ui/Form1.h"

#include "platform/forms/Backend.h"
#include "platform/pixels/Assets.h"
#include "platform/pixels/Rounding.h"
#include "ui/ScreenSize.h"
#include "widgets/Images.h"
#include "widgets/TimerOwner.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace oz {

namespace {

constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kPink = RGB(203, 180, 177);

FontSpec ArialBlack(float points, bool italic = false) {
    return FontSpec{"Arial Black", points, false, italic};
}

void Place(Control& c, float left, float top, float width, float height) {
    c.Move(left, top, width, height);
}

void MakeLabel(Label& l, float left, float top, float width, float height, const char* caption,
               COLORREF color, const FontSpec& font) {
    Place(l, left, top, width, height);
    l.SetCaption(caption);
    l.SetForeColor(color);
    l.SetFont(font);
}

void MakeLine(LineControl& line, float x1, float y1, float x2, float y2, COLORREF color) {
    line.SetBorderWidth(2);
    line.SetBorderColor(color);
    line.SetEnds(x1, y1, x2, y2);
}

} // namespace

// A number with one decimal, rounded, and a point as the separator: "0.0" for zero.
std::string FormatOneDecimal(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(value));
    return text;
}

Form1::Form1()
    : window_("Ozmir Simulator"), picMain(window_.AddPicture("picMain")),
      Command1(window_.AddButton("Command1")), Timer1(window_.AddTimer("Timer1")),
      picImages(window_.AddPicture("picImages")), Label6(window_.AddLabel("Label6")),
      Label7(window_.AddLabel("Label7")), Line3(window_.AddLine("Line3")),
      Line2(window_.AddLine("Line2")), Line1(window_.AddLine("Line1")),
      Label5(window_.AddLabel("Label5")), lblBright(window_.AddLabel("lblBright")),
      picBright(window_.AddPicture("picBright")), Label4(window_.AddLabel("Label4")),
      lblSens(window_.AddLabel("lblSens")), picSens(window_.AddPicture("picSens")),
      Label2(window_.AddLabel("Label2")), lblSpeed(window_.AddLabel("lblSpeed")),
      picScr(window_.AddPicture("picScr")), Label3(window_.AddLabel("Label3")),
      lblStars(window_.AddLabel("lblStars")), picStars(window_.AddPicture("picStars")),
      Shape2(window_.AddShape("Shape2")), picDir(window_.AddPicture("picDir")),
      picSpin(window_.AddPicture("picSpin")), Label8(window_.AddLabel("Label8")),
      Label9(window_.AddLabel("Label9")), picArr(window_.AddPicture("picArr")),
      Shape1(window_.AddShape("Shape1")), Label1(window_.AddLabel("Label1")), Keys(*this, Field),
      Loop(picMain, Label1, picImages, *this, Field, Palette) {
    InitializeComponent();
    ConnectEvents();
}

Form1::~Form1() {
    // The read-out's pens and brushes may still be selected in the view: hand the view
    // its stock objects back so that every one of them is really deleted.
    if (Info)
        Info->ReleaseFrom(picMain.hDC());
    Info.reset();
}

// The window as designed: geometry in twips, colours, fonts and captions.
void Form1::InitializeComponent() {
    window_.SetBackColor(kGrey);
    window_.SetKeyPreview(true);
    window_.Move((Screen::Width() - 12000) / 2, (Screen::Height() - 9000) / 2, 12000, 9000);
    Bitmap icon;
    if (DecodePng(assets::icon_png(), icon))
        window_.SetIcon(icon);

    Place(picMain, 120, 120, 11775, 7485);
    picMain.SetBackColor(RGB(0, 0, 0));
    picMain.SetForeColor(RGB(255, 255, 255));
    picMain.SetFont(ArialBlack(9.75f));
    picMain.SetScaleMode(vbPixels);

    Place(Command1, 11895, 15, 90, 120);
    Command1.SetBackColor(kGrey);

    Timer1.SetInterval(40);
    Timer1.SetEnabled(false);

    Place(picImages, 5160, 3840, 1650, 4050);
    picImages.SetVisible(false);
    picImages.SetScaleMode(vbPixels);
    Bitmap sheet;
    if (DecodePng(assets::sprites_png(), sheet))
        picImages.Image().CopyFrom(sheet, sheet.Bounds(), 0, 0);

    MakeLabel(Label6, 270, 7605, 1365, 570, "Ozmir", kTextColor, ArialBlack(21.75f, true));
    MakeLabel(Label7, 1605, 7800, 1470, 360, "Simulator", kPink,
              FontSpec{"Arial Narrow", 18, true, true});
    MakeLine(Line3, 0, 7665, 3450, 7680, kTextColor);
    MakeLine(Line2, 3015, 8250, 3450, 7695, kPink);
    MakeLine(Line1, 0, 8250, 3015, 8250, kTextColor);

    MakeLabel(Label5, 3780, 7665, 1215, 285, "Brightness:", 0, ArialBlack(9));
    MakeLabel(lblBright, 5040, 7665, 465, 270, "1.5", 0, ArialBlack(9, true));
    Place(picBright, 3540, 7920, 2085, 315);
    MakeLabel(Label4, 6000, 7665, 1200, 285, "Sensitivity:", 0, ArialBlack(9));
    MakeLabel(lblSens, 7290, 7665, 435, 270, "1.0", 0, ArialBlack(9, true));
    Place(picSens, 5745, 7920, 2115, 315);
    MakeLabel(Label2, 360, 8310, 900, 285, "Speed:", 0, ArialBlack(9));
    MakeLabel(lblSpeed, 2550, 8310, 495, 270, "5.0", 0, ArialBlack(9, true));
    Place(picScr, 105, 8565, 3120, 315);
    MakeLabel(Label3, 3780, 8310, 1770, 285, "Number of stars:", 0, ArialBlack(9));
    MakeLabel(lblStars, 7110, 8310, 600, 270, "1500", 0, ArialBlack(9, true));
    Place(picStars, 3540, 8565, 4320, 315);

    Place(Shape2, 8040, 7695, 3870, 1215);
    Shape2.SetBorderColor(kTextColor);
    Place(picDir, 8115, 7755, 1095, 1095);
    Place(picSpin, 9435, 7755, 1095, 390);
    MakeLabel(Label8, 9390, 8145, 1230, 375, "Control", kTextColor, ArialBlack(14.25f));
    Label8.SetAlignment(Alignment::Center);
    MakeLabel(Label9, 9390, 8460, 1230, 390, "Panel", kTextColor, ArialBlack(14.25f));
    Label9.SetAlignment(Alignment::Center);
    Place(picArr, 10755, 7755, 1095, 1095);
    picArr.SetDrawWidth(3);

    Place(Shape1, 0, 0, 12000, 9000);
    Shape1.SetBorderColor(kTextColor);
    Label1.SetVisible(false);
    Label1.SetCaption(HelpText());

    // The star view lies above every other control.
    window_.BringToFront(picMain);
    window_.SetFocus(&picMain);
}

void Form1::ConnectEvents() {
    window_.LoadEvent.Connect([this] { Form_Load(); });
    window_.UnloadEvent.Connect([this](std::int16_t& cancel) { Form_Unload(cancel); });
    window_.MouseDown.Connect(
        [this](std::int16_t b, std::int16_t s, float x, float y) { Form_MouseDown(b, s, x, y); });
    window_.MouseMove.Connect(
        [this](std::int16_t b, std::int16_t s, float x, float y) { Form_MouseMove(b, s, x, y); });
    window_.KeyDown.Connect([this](std::int16_t k, std::int16_t s) { Keys.Form_KeyDown(k, s); });
    picMain.KeyDown.Connect([this](std::int16_t k, std::int16_t s) { Keys.picMain_KeyDown(k, s); });
    picMain.KeyUp.Connect([this](std::int16_t k, std::int16_t s) { Keys.picMain_KeyUp(k, s); });
    picMain.DblClick.Connect([this] { picMain_DblClick(); });
    Command1.Click.Connect([this] { Command1_Click(); });

    Keys.SwitchDisplay = [this] { picMain_DblClick(); };
    Keys.Unload = [this] { window_.Unload(); };
    Loop.PanelSteeringStep = [this] { PanelSteeringStep(); };
    Loop.DisplaySpeed = [this](HDC hDC, float Percent) { Info->DisplaySpeed(hDC, Percent); };
    Loop.DisplayView = [this](HDC hDC, HDC hSrcDC, float AngH, float AngV) {
        Info->DisplayView(hDC, hSrcDC, AngH, AngV);
    };
}

void Form1::Run(const StartSettings& settings) {
    Settings = settings;
    Loop.StartupHint = !Settings.Screensaver;
    Loop.FpsAtStart = Settings.ShowFps;
    if (Settings.Autopilot) {
        Pilot = std::make_unique<Autopilot>(*this, Field);
        Loop.Autopilot = [this] { Pilot->Step(); };
    }
    if (Settings.Screensaver)
        Loop.FrameStarting = [this] { FollowScreen(); };
    // A screensaver draws no more frames than the display shows.
    Loop.MaxFps = Settings.MaxFps.value_or(0);
    if (!Settings.MaxFps && Settings.Screensaver) {
        const int refresh = CurrentBackend().RefreshRate();
        Loop.MaxFps = refresh >= 1 && refresh <= kMaxFpsLimit ? refresh : kUnknownRefreshRate;
    }
    window_.Load();
}

void Form1::Start(const StartSettings& settings) {
    stepped_ = true;
    Run(settings);
}

bool Form1::RunFrame() {
    if (Loop.RunFrame())
        return true;
    Loop.EndFrames();
    return false;
}

// Speed, star count and brightness as the command line asked; the sliders and labels show
// them when the panel appears.
void Form1::ApplyStartSettings() {
    if (Settings.SpeedLabel)
        Speed = static_cast<float>(static_cast<double>(*Settings.SpeedLabel) / 10);
    if (Settings.Stars) {
        StarsBar->SetValue(*Settings.Stars);
        StarsBar_Changed();
    }
    if (Settings.Brightness) {
        Brightness = *Settings.Brightness;
        BrightBar->SetValue(ToInt32(Brightness * 10));
        lblBright.SetCaption(FormatOneDecimal(Brightness));
    }
}

void Form1::FollowScreen() {
    const float width = Screen::Width();
    const float height = Screen::Height();
    if (!FullScreen || (window_.Width() == width && window_.Height() == height))
        return;
    window_.Move(0, 0, width, height);
    picMain.Move(0, 0, width, height);
    MeasureView();
}

void Form1::Form_Load() {
    // 1. Nothing held, nothing shown.
    TimerOwner = 0;
    FullScreen = kFalse;
    HelpShown = kFalse;
    FpsText[3] = 0;
    RtlZeroMemory(&HeldKeys, 12);

    // 2. The screen in pixels.
    ScreenWidthPx = ToInt32(Screen::Width() / Screen::TwipsPerPixelX());
    ScreenHeightPx = ToInt32(Screen::Height() / Screen::TwipsPerPixelY());

    // 3. The border follows the window's edge.
    Shape1.Move(0, 0, window_.Width(), window_.Height());

    // 4. The sprite sheet and its twelve pictures.
    Images& sprites = SpriteImages();
    sprites.SetPictureObject(&picImages);
    sprites.SetImageCount(12);
    sprites.AddImage(0, 0, 73, 73, true);
    sprites.AddImage(73, 0, 37, 37, true);
    sprites.AddImage(0, 146, 73, 26, true);
    sprites.AddImage(73, 159, 11, 11, true);
    sprites.AddImage(73, 74, 16, 20, true);
    sprites.AddImage(89, 74, 16, 20, true);
    sprites.AddImage(73, 114, 16, 20, true);
    sprites.AddImage(89, 114, 16, 20, true);
    sprites.AddImage(98, 155, 1, 21, false);
    sprites.AddImage(84, 159, 4, 17, true);
    sprites.AddImage(88, 159, 4, 17, true);
    sprites.AddImage(98, 176, 1, 17, false);

    // 5. The direction joystick.
    DirJoystick.SetPictureObject(&picDir);
    DirJoystick.SetTimerObject(&Timer1);
    DirJoystick.WheelSize = 18;
    DirJoystick.Redraw();

    // 6. The spin wheel; its arc is set before the surface is bound.
    SpinWheel.Center = 64;
    SpinWheel.Radius = 55;
    SpinWheel.WheelSize = 5;
    SpinWheel.SetPictureObject(&picSpin);
    SpinWheel.SetTimerObject(&Timer1);
    SpinWheel.Redraw();

    // 7. The direction arrow; binding it draws it.
    Arrow = std::make_unique<Arrow3D>();
    Arrow->AngleChanged.Connect([this](float h, float v) { Arrow_AngleChanged(h, v); });
    Arrow->Slope = 0.4f;
    Arrow->Sens = 1.0f;
    Arrow->SetPictureObject(&picArr);

    // 8. The sliders. Nothing is raised while they are made; the value labels keep their
    // design captions, which match the defaults below.
    SpeedBar = MakeSlider(picScr, Timer1, 3, 20, 500, 1, 50, 158);
    SpeedBar->Changed.Connect([this] { SpeedBar_Changed(); });
    StarsBar = MakeSlider(picStars, Timer1, 4, 0, 2000, 1, 200, 1500);
    StarsBar->Changed.Connect([this] { StarsBar_Changed(); });
    SensBar = MakeSlider(picSens, Timer1, 5, 1, 30, 1, 5, 10);
    SensBar->Changed.Connect([this] { SensBar_Changed(); });
    BrightBar = MakeSlider(picBright, Timer1, 6, 2, 30, 1, 5, 15);
    BrightBar->Changed.Connect([this] { BrightBar_Changed(); });

    // 9. Flight defaults.
    Speed = 0.5f;
    SavedSpeed = 0;
    Sensitivity = 1.0f;
    Brightness = 1.5f;
    StarCount = 1500;
    ApplyStartSettings();

    // 10. The read-out, made now that the screen is measured.
    Info = std::make_unique<OnScreenInfo>();
    Info->ImgXOff = 72;
    Info->ImgYOff = 198;

    // 11. Show the window and let it settle.
    window_.Show();
    DoEvents();
    if (QuitRequested)
        return; // closed before the flight began: there is no window left to fly in

    // 12. Full screen.
    picMain_DblClick();

    // 13 to 15. Stars, then the loop until the window unloads.
    Palette.CreateStarPalette(picMain.hDC());
    Field.PlaceStarField();
    if (stepped_)
        Loop.BeginFrames(ScreenWidthPx, ScreenHeightPx);
    else
        Loop.RunFrameLoop(ScreenWidthPx, ScreenHeightPx);
}

void Form1::picMain_DblClick() {
    FullScreen = static_cast<std::int16_t>(~FullScreen);
    if (FullScreen) {
        window_.Move(0, 0, Screen::Width(), Screen::Height());
        picMain.Move(0, 0, window_.Width(), window_.Height());
    } else {
        window_.Move(Screen::Width() / 2 - 6000, Screen::Height() / 2 - 4500, 12000, 9000);
        picMain.Move(120, 120, 11775, 7485);
        RtlZeroMemory(&HeldKeys, 12);
        Arrow->SetAngles(LookAngleH, LookAngleV);
        TargetAngleH = LookAngleH;
        TargetAngleV = LookAngleV;
        SpeedBar->SetValue(ToInt32(std::sqrt(static_cast<double>(Speed) * 50000)));
        SpeedBar_Changed();
        HelpShown = kFalse;
        IntroTime = 0;
        SpeedInfoTime = 0;
        ViewInfoTime = 0;
    }
    MeasureView();
}

void Form1::MeasureView() {
    FpsRect.left = ToInt32(picMain.ScaleWidth() - 40);
    FpsRect.top = 5;
    FpsRect.right = ToInt32(picMain.ScaleWidth());
    FpsRect.bottom = 35;
    ViewWidth = ToInt32(picMain.ScaleWidth());
    ViewHeight = ToInt32(picMain.ScaleHeight());
    HalfWidth = ViewWidth / 2;
    HalfHeight = ViewHeight / 2;
}

void Form1::Form_MouseDown(std::int16_t, std::int16_t, float X, float Y) {
    DragX = X;
    DragY = Y;
}

void Form1::Form_MouseMove(std::int16_t Button, std::int16_t, float X, float Y) {
    if (Button == vbLeftButton)
        window_.Move(window_.Left() + X - DragX, window_.Top() + Y - DragY);
}

void Form1::Command1_Click() {
    window_.Unload();
}

void Form1::Form_Unload(std::int16_t&) {
    QuitRequested = kTrue;
}

std::unique_ptr<ScrollBar> Form1::MakeSlider(PictureBox& Surface, Timer& SharedTimer,
                                             std::int16_t Loc, std::int32_t MinValue,
                                             std::int32_t MaxValue, std::int32_t MinChange,
                                             std::int32_t LargeChange, std::int32_t InitValue) {
    auto slider = std::make_unique<ScrollBar>();
    slider->SetPictureObject(&Surface);
    slider->SetTimerObject(&SharedTimer);
    slider->CurTimerLoc = Loc;
    slider->SetValues(MinValue, MaxValue, MinChange, LargeChange, InitValue);
    slider->Redraw();
    return slider;
}

void Form1::SpeedBar_Changed() {
    if (SpeedBar->Value() == SpeedBar->MinValue()) {
        Speed = 0;
    } else {
        double v = SpeedBar->Value();
        Speed = static_cast<float>(v * v / 50000);
    }
    lblSpeed.SetCaption(FormatOneDecimal(Speed * 10));
}

void Form1::StarsBar_Changed() {
    StarCount = StarsBar->Value();
    lblStars.SetCaption(std::to_string(StarCount));
}

void Form1::SensBar_Changed() {
    Sensitivity = static_cast<float>(SensBar->Value() / 10.0);
    Arrow->Sens = Sensitivity;
    lblSens.SetCaption(FormatOneDecimal(Sensitivity));
}

void Form1::BrightBar_Changed() {
    Brightness = static_cast<float>(BrightBar->Value() / 10.0);
    lblBright.SetCaption(FormatOneDecimal(Brightness));
}

void Form1::Arrow_AngleChanged(float NewAngleH, float NewAngleV) {
    TargetAngleH = NewAngleH;
    TargetAngleV = NewAngleV;
}

void Form1::PanelSteeringStep() {
    const float k = Sensitivity * TimeScale;

    const float x = DirJoystick.GetXAxis();
    const float y = DirJoystick.GetYAxis();
    if (x != 0 || y != 0)
        Field.TurnStarField(x * 0.01f * k, y * 0.01f * k);

    const float w = SpinWheel.GetValue();
    if (w != 0)
        Field.SpinStarField(w * 0.02f * k);

    if (LookAngleH != TargetAngleH || LookAngleV != TargetAngleV) {
        float dH = TargetAngleH - LookAngleH;
        if (dH <= -3.141593f)
            dH = dH + 6.2831855f;
        if (dH > 3.141593f)
            dH = dH - 6.2831855f;
        const float dV = TargetAngleV - LookAngleV;
        const float D = std::sqrt(dH * dH + dV * dV);
        const float m = TimeScale * 0.015f;
        if (D < m) {
            SetLookAngles(*this, TargetAngleH, TargetAngleV);
        } else {
            float q = TimeScale * D * 0.03f;
            if (q < m)
                q = m;
            if (q > TimeScale * 0.04f)
                q = TimeScale * 0.04f;
            SetLookAngles(*this, LookAngleH + dH * q / D, LookAngleV + dV * q / D);
        }
    }
}

} // namespace oz
