#include "controlpanel/frmTest.h"

#include "common/TouchChannel.h"
#include "common/WindowHelpers.h"
#include "resources/resource.h"

FrmTest frmTest;

namespace {

constexpr COLORREF kTitleRed = RGB(255, 0, 0);
constexpr COLORREF kHelpGrey = RGB(192, 192, 192);
constexpr COLORREF kIndicatorYellow = RGB(255, 255, 0);
constexpr COLORREF kUnselectedText = RGB(0, 0, 0);
constexpr COLORREF kUnselectedBack = RGB(224, 224, 224);
constexpr COLORREF kSelectedText = RGB(255, 255, 0);
constexpr COLORREF kSelectedBack = RGB(64, 64, 64);

constexpr COLORREF kSwatches[] = {RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 128, 0), RGB(0, 0, 255), RGB(255, 0, 255)};
constexpr const char* kWidthCaptions[] = {" 1 ", " 2 ", " 3 ", " 4 "};
constexpr const char* kButtonCaptions[] = {"L", "M", "R"};
constexpr int kSwatchCount = 5;
constexpr int kWidthCount = 4;
constexpr int kIndicatorCount = 3;

// The pen the window opens with: width entry 1 (two pixels) and blue.
constexpr int kInitialWidthIndex = 1;
constexpr int kInitialColorIndex = 3;
constexpr uint8_t kDragDropMode = 4;

// Indicator of a mouse button: left, middle, right.
int IndicatorOf(int button) {
    switch (button) {
    case tk::vbLeftButton: return 0;
    case tk::vbRightButton: return 2;
    case tk::vbMiddleButton: return 1;
    default: return -1;
    }
}

}  // namespace

FrmTest::FrmTest() : tk::Form("frmTest") {
    Caption("Test").Border(tk::BorderStyle::None).State(tk::WindowState::Maximized).Icon(IDI_PROGRAM);

    //         control                            left  top  width height
    PictureBox("picHead").Docked(tk::Align::Top, 615);
    Image("imgIcon").In("picHead").At(60, 60, 480, 480).Picture(IDI_PROGRAM);
    Label("lblTitle").In("picHead").At(720, 120, 2535, 345).Text("TouchScreen Test").WithFont("Times New Roman", 14.25, true).Fore(kTitleRed).Opaque(false).AutoSize();
    CommandButton("cmdClear").In("picHead").At(0, 60, 1215, 375).Text("&Clear");
    CommandButton("cmdExit").In("picHead").At(0, 60, 1215, 375).Text("E&xit Test");

    PictureBox("picHome").At(0, 615, 0, 0).Back(tk::kWhite).PixelScale();

    PictureBox("picMesg").Docked(tk::Align::Bottom, 555);
    Label("lblHelpBox").In("picMesg").At(0, 0, 3000, 555).Bordered().Opaque(false);
    Label("lblHelp").In("picMesg").At(90, 90, 2820, 375).Back(kHelpGrey);
    const tk::Font entryFont{"MS Sans Serif", 12, true};
    Label("lblWidthName").In("picMesg").At(0, 150, 600, 255).Text("Width").Opaque(false).AutoSize();
    for (int i = 0; i < kWidthCount; ++i)
        Label("lblWidth", i).In("picMesg").At(0, 90, 495, 375).Text(kWidthCaptions[i]).Align(tk::Alignment::Center)
            .WithFont(entryFont.face, entryFont.size, entryFont.bold).Fore(kUnselectedText).Back(kUnselectedBack).Bordered();
    Label("lblColorName").In("picMesg").At(0, 150, 600, 255).Text("Color").Opaque(false).AutoSize();
    for (int i = 0; i < kSwatchCount; ++i)
        Label("lblColor", i).In("picMesg").At(0, 90, 375, 375).Align(tk::Alignment::Center)
            .WithFont(entryFont.face, entryFont.size, entryFont.bold).Back(kSwatches[i]);
    Label("lblButtonName").In("picMesg").At(0, 150, 600, 255).Text("Button").Opaque(false).AutoSize();
    for (int i = 0; i < kIndicatorCount; ++i)
        Label("lblButton", i).In("picMesg").At(0, 90, 375, 375).Text(kButtonCaptions[i]).Align(tk::Alignment::Center)
            .WithFont(entryFont.face, entryFont.size, entryFont.bold).Back(kIndicatorYellow).Opaque(false).Bordered();

    tk::Control& home = (*this)("picHome");
    home.MouseDown = [this](int button, int, double x, double y) { picHome_MouseDown(button, x, y); };
    home.MouseMove = [this](int, int, double x, double y) { picHome_MouseMove(x, y); };
    home.MouseUp = [this](int button, int, double, double) { picHome_MouseUp(button); };
    // The mouse-down already selects, so the choice takes effect as the touch lands; the click that
    // follows finds the entry selected and does nothing.
    for (int i = 0; i < kWidthCount; ++i) {
        tk::Control& entry = (*this)("lblWidth", i);
        entry.Click = [this, i] { lblWidth_Select(i); };
        entry.MouseDown = [this, i](int, int, double, double) { lblWidth_Select(i); };
    }
    for (int i = 0; i < kSwatchCount; ++i) {
        tk::Control& swatch = (*this)("lblColor", i);
        swatch.Click = [this, i] { lblColor_Select(i); };
        swatch.MouseDown = [this, i](int, int, double, double) { lblColor_Select(i); };
    }
    (*this)("picHead").Resize = [this] { picHead_Resize(); };
    (*this)("picMesg").Resize = [this] { picMesg_Resize(); };
    (*this)("cmdClear").Click = [this] { cmdClear_Click(); };
    (*this)("cmdExit").Click = [this] { cmdExit_Click(); };
}

void FrmTest::Form_Load() {
    penDown = false;
    currentWidthIndex = 0;
    currentColorIndex = 0;
}

void FrmTest::Form_Activate() {
    savedButtonMode = TouchSettings.buttonMode;
    TouchSettings.buttonMode = kDragDropMode;
    TouchSetButtonMode();
    lblWidth_Select(kInitialWidthIndex);
    lblColor_Select(kInitialColorIndex);
}

void FrmTest::Form_Unload(int&) {
    TouchSettings.buttonMode = savedButtonMode;
    TouchSetButtonMode();
    ReturnToMainWindow();
}

void FrmTest::picHome_MouseDown(int button, double x, double y) {
    tk::Control& home = (*this)("picHome");
    // A second button pressed while one is held continues the stroke instead of starting a new one.
    if (penDown) {
        home.LineTo(x, y, home.ForeColor());
    } else {
        home.PSet(x, y, home.ForeColor());
        penDown = true;
    }
    SetButtonIndicator(button, true);
}

void FrmTest::picHome_MouseMove(double x, double y) {
    if (!penDown) return;
    tk::Control& home = (*this)("picHome");
    home.LineTo(x, y, home.ForeColor());
}

void FrmTest::picHome_MouseUp(int button) {
    penDown = false;
    SetButtonIndicator(button, false);
}

void FrmTest::SetButtonIndicator(int button, bool held) {
    const int indicator = IndicatorOf(button);
    if (indicator >= 0) (*this)("lblButton", indicator).SetOpaque(held);
}

void FrmTest::lblWidth_Select(int index) {
    if (index == currentWidthIndex) return;
    tk::Control& old = (*this)("lblWidth", currentWidthIndex);
    old.SetForeColor(kUnselectedText);
    old.SetBackColor(kUnselectedBack);
    currentWidthIndex = static_cast<int16_t>(index);
    tk::Control& entry = (*this)("lblWidth", index);
    entry.SetForeColor(kSelectedText);
    entry.SetBackColor(kSelectedBack);
    (*this)("picHome").SetDrawWidth(index + 1);
}

void FrmTest::lblColor_Select(int index) {
    if (index == currentColorIndex) return;
    (*this)("lblColor", currentColorIndex).SetBorder(false);
    currentColorIndex = static_cast<int16_t>(index);
    tk::Control& swatch = (*this)("lblColor", index);
    swatch.SetBorder(true);
    (*this)("picHome").SetForeColor(swatch.BackColor());
}

void FrmTest::picHead_Resize() {
    tk::Control& head = (*this)("picHead");
    tk::Control& icon = (*this)("imgIcon");
    tk::Control& title = (*this)("lblTitle");
    tk::Control& exitButton = (*this)("cmdExit");
    tk::Control& clear = (*this)("cmdClear");
    icon.SetTop((head.ScaleHeight() - icon.Height()) / 2);
    icon.SetLeft(icon.Top());
    title.SetLeft(3 * icon.Left() + icon.Width());
    title.SetTop((head.ScaleHeight() - title.Height()) / 2);
    exitButton.SetTop(icon.Top());
    exitButton.SetLeft(head.ScaleWidth() - exitButton.Width() - exitButton.Top());
    exitButton.SetHeight(head.ScaleHeight() - 2 * exitButton.Top());
    clear.Move(exitButton.Left() - exitButton.Width() - exitButton.Top(), exitButton.Top(), exitButton.Width(),
               exitButton.Height());
}

void FrmTest::picMesg_Resize() {
    tk::Control& head = (*this)("picHead");
    tk::Control& home = (*this)("picHome");
    tk::Control& mesg = (*this)("picMesg");
    home.SetTop(head.Height());
    home.SetHeight(ScaleHeight() - head.Height() - mesg.Height());
    home.SetWidth(ScaleWidth());

    const double gap = (mesg.ScaleHeight() - (*this)("lblButton", 0).Height()) / 2;
    double x = mesg.ScaleWidth();
    // Groups from the right edge leftwards: entries right to left, then the group's name.
    auto placeGroup = [&](const char* entries, int count, const char* nameLabel) {
        for (int i = count - 1; i >= 0; --i) {
            tk::Control& entry = (*this)(entries, i);
            x = x - gap - entry.Width();
            entry.SetLeft(x);
            entry.SetTop(gap);
        }
        tk::Control& name = (*this)(nameLabel);
        x = x - gap - name.Width();
        name.SetLeft(x);
        name.SetTop((mesg.ScaleHeight() - name.Height()) / 2);
        x = x - gap;
    };
    placeGroup("lblButton", kIndicatorCount, "lblButtonName");
    placeGroup("lblColor", kSwatchCount, "lblColorName");
    placeGroup("lblWidth", kWidthCount, "lblWidthName");

    tk::Control& helpBox = (*this)("lblHelpBox");
    tk::Control& help = (*this)("lblHelp");
    helpBox.Move(0, 0, x - gap, mesg.ScaleHeight());
    help.SetTop((helpBox.Height() - help.Height()) / 2);
    help.SetLeft(help.Top());
    help.SetWidth(helpBox.Width() - 2 * help.Left());
}

void FrmTest::cmdClear_Click() { (*this)("picHome").Cls(); }

void FrmTest::cmdExit_Click() { Unload(); }
