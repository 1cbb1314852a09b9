#pragma once
// The main window: its controls, its start-up sequence, the two display modes, and the
// flight it owns. The window is the program: its load handler runs the frame loop until
// the window unloads.

#include "platform/forms/Form.h"
#include "sim/Autopilot.h"
#include "sim/FlightState.h"
#include "sim/FrameLoop.h"
#include "sim/KeyboardControls.h"
#include "sim/StarField.h"
#include "sim/StarPalette.h"
#include "ui/OnScreenInfo.h"
#include "ui/StartSettings.h"
#include "widgets/Arrow3D.h"
#include "widgets/Joystick.h"
#include "widgets/Joystick2.h"
#include "widgets/ScrollBar.h"

#include <cstdint>
#include <memory>
#include <string>

namespace oz {

// A number in the panel's format: one decimal, rounded, with a point ("0.0", "50.0").
std::string FormatOneDecimal(float value);

class Form1 : public FlightState {
    Form window_; // first: every control below is made on it

public:
    Form1();
    ~Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Loads the window; its load handler is the program and returns when it unloads.
    void Run(const StartSettings& settings = {});
    // The same start for a host that owns the loop: loads the window and returns before
    // the first frame; then RunFrame once a frame until it returns false (the window has
    // unloaded and the loop has ended).
    void Start(const StartSettings& settings = {});
    bool RunFrame();

    Form& Window() { return window_; }

    // Controls, as laid out at design time.
    PictureBox& picMain;
    CommandButton& Command1;
    Timer& Timer1;
    PictureBox& picImages;
    Label& Label6;
    Label& Label7;
    LineControl& Line3;
    LineControl& Line2;
    LineControl& Line1;
    Label& Label5;
    Label& lblBright;
    PictureBox& picBright;
    Label& Label4;
    Label& lblSens;
    PictureBox& picSens;
    Label& Label2;
    Label& lblSpeed;
    PictureBox& picScr;
    Label& Label3;
    Label& lblStars;
    PictureBox& picStars;
    Shape& Shape2;
    PictureBox& picDir;
    PictureBox& picSpin;
    Label& Label8;
    Label& Label9;
    PictureBox& picArr;
    Shape& Shape1;
    Label& Label1;

    // Where the background was last pressed, in the window's twips.
    float DragX = 0;
    float DragY = 0;

    StarField Field;
    StarPalette Palette;
    std::unique_ptr<OnScreenInfo> Info;
    std::unique_ptr<Arrow3D> Arrow;
    Joystick DirJoystick;
    Joystick2 SpinWheel;
    std::unique_ptr<ScrollBar> SpeedBar;
    std::unique_ptr<ScrollBar> StarsBar;
    std::unique_ptr<ScrollBar> SensBar;
    std::unique_ptr<ScrollBar> BrightBar;
    std::unique_ptr<Autopilot> Pilot;

    // The sliders' handlers: each turns its slider's value into a flight member and a label.
    void SpeedBar_Changed();
    void StarsBar_Changed();
    void SensBar_Changed();
    void BrightBar_Changed();

    // Window mode's steering, once a frame after the stars: the joystick turns the line of
    // flight, the wheel spins it, and the look follows the arrow's target.
    void PanelSteeringStep();

    std::int32_t FrameRate() const { return Loop.FrameRate; }

    // The display switch: a double click on the view, or Enter in full-screen mode.
    void picMain_DblClick();

private:
    void Form_Load();
    void Form_Unload(std::int16_t& Cancel);
    void Form_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Form_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Command1_Click();
    void Arrow_AngleChanged(float NewAngleH, float NewAngleV);
    void InitializeComponent();
    std::unique_ptr<ScrollBar> MakeSlider(PictureBox& Surface, Timer& SharedTimer, std::int16_t Loc,
                                          std::int32_t MinValue, std::int32_t MaxValue,
                                          std::int32_t MinChange, std::int32_t LargeChange,
                                          std::int32_t InitValue);
    void ConnectEvents();
    void ApplyStartSettings();
    // The view's size and everything measured from it, after the view moved.
    void MeasureView();
    // Screensaver mode: full screen follows the window it draws into.
    void FollowScreen();

    StartSettings Settings;
    bool stepped_ = false; // the host runs the frames, one RunFrame at a time

    KeyboardControls Keys;
    FrameLoop Loop;
};

} // namespace oz
