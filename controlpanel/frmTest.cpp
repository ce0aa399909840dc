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

    //                      control                          left  top  width height
    picHead = &PictureBox("picHead")                        .Docked(tk::Align::Top, 615)
                                                            .OnResize([this] { picHead_Resize(); });
    imgIcon = &Image("imgIcon").In(*picHead)                .At(60, 60, 480, 480).Picture(IDI_PROGRAM);
    lblTitle = &Label("lblTitle").In(*picHead)              .At(720, 120, 2535, 345).Text("TouchScreen Test").WithFont("Times New Roman", 14.25, true).Fore(kTitleRed).Opaque(false).AutoSize();
    cmdClear = &CommandButton("cmdClear").In(*picHead)      .At(0, 60, 1215, 375).Text("&Clear")
                                                            .OnClick([this] { cmdClear_Click(); });
    cmdExit = &CommandButton("cmdExit").In(*picHead)        .At(0, 60, 1215, 375).Text("E&xit Test")
                                                            .OnClick([this] { cmdExit_Click(); });

    picHome = &PictureBox("picHome")                        .At(0, 615, 0, 0).Back(tk::kWhite).PixelScale()
                                                            .OnMouseDown([this](int button, int, double x, double y) { picHome_MouseDown(button, x, y); })
                                                            .OnMouseMove([this](int, int, double x, double y) { picHome_MouseMove(x, y); })
                                                            .OnMouseUp([this](int button, int, double, double) { picHome_MouseUp(button); });

    picMesg = &PictureBox("picMesg")                        .Docked(tk::Align::Bottom, 555)
                                                            .OnResize([this] { picMesg_Resize(); });
    lblHelpBox = &Label("lblHelpBox").In(*picMesg)          .At(0, 0, 3000, 555).Bordered().Opaque(false);
    lblHelp = &Label("lblHelp").In(*picMesg)                .At(90, 90, 2820, 375).Back(kHelpGrey);
    const tk::Font entryFont{"MS Sans Serif", 12, true};
    lblWidthName = &Label("lblWidthName").In(*picMesg)      .At(0, 150, 600, 255).Text("Width").Opaque(false).AutoSize();
    // The mouse-down already selects, so the choice takes effect as the touch lands; the click that
    // follows finds the entry selected and does nothing.
    for (int i = 0; i < kWidthCount; ++i)
        lblWidth[i] = &Label("lblWidth", i).In(*picMesg)    .At(0, 90, 495, 375).Text(kWidthCaptions[i]).Align(tk::Alignment::Center)
                                                            .WithFont(entryFont.face, entryFont.size, entryFont.bold).Fore(kUnselectedText).Back(kUnselectedBack).Bordered()
                                                            .OnClick([this, i] { lblWidth_Select(i); })
                                                            .OnMouseDown([this, i](int, int, double, double) { lblWidth_Select(i); });
    lblColorName = &Label("lblColorName").In(*picMesg)      .At(0, 150, 600, 255).Text("Color").Opaque(false).AutoSize();
    for (int i = 0; i < kSwatchCount; ++i)
        lblColor[i] = &Label("lblColor", i).In(*picMesg)    .At(0, 90, 375, 375).Align(tk::Alignment::Center)
                                                            .WithFont(entryFont.face, entryFont.size, entryFont.bold).Back(kSwatches[i])
                                                            .OnClick([this, i] { lblColor_Select(i); })
                                                            .OnMouseDown([this, i](int, int, double, double) { lblColor_Select(i); });
    lblButtonName = &Label("lblButtonName").In(*picMesg)    .At(0, 150, 600, 255).Text("Button").Opaque(false).AutoSize();
    for (int i = 0; i < kIndicatorCount; ++i)
        lblButton[i] = &Label("lblButton", i).In(*picMesg)  .At(0, 90, 375, 375).Text(kButtonCaptions[i]).Align(tk::Alignment::Center)
                                                            .WithFont(entryFont.face, entryFont.size, entryFont.bold).Back(kIndicatorYellow).Opaque(false).Bordered();
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
    tk::Control& home = *picHome;
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
    tk::Control& home = *picHome;
    home.LineTo(x, y, home.ForeColor());
}

void FrmTest::picHome_MouseUp(int button) {
    penDown = false;
    SetButtonIndicator(button, false);
}

void FrmTest::SetButtonIndicator(int button, bool held) {
    const int indicator = IndicatorOf(button);
    if (indicator >= 0) lblButton[indicator]->SetOpaque(held);
}

void FrmTest::lblWidth_Select(int index) {
    if (index == currentWidthIndex) return;
    tk::Control& old = *lblWidth[currentWidthIndex];
    old.SetForeColor(kUnselectedText);
    old.SetBackColor(kUnselectedBack);
    currentWidthIndex = static_cast<int16_t>(index);
    tk::Control& entry = *lblWidth[index];
    entry.SetForeColor(kSelectedText);
    entry.SetBackColor(kSelectedBack);
    picHome->SetDrawWidth(index + 1);
}

void FrmTest::lblColor_Select(int index) {
    if (index == currentColorIndex) return;
    lblColor[currentColorIndex]->SetBorder(false);
    currentColorIndex = static_cast<int16_t>(index);
    tk::Control& swatch = *lblColor[index];
    swatch.SetBorder(true);
    picHome->SetForeColor(swatch.BackColor());
}

void FrmTest::picHead_Resize() {
    tk::Control& head = *picHead;
    tk::Control& icon = *imgIcon;
    tk::Control& title = *lblTitle;
    tk::Control& exitButton = *cmdExit;
    tk::Control& clear = *cmdClear;
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
    tk::Control& head = *picHead;
    tk::Control& home = *picHome;
    tk::Control& mesg = *picMesg;
    home.SetTop(head.Height());
    home.SetHeight(ScaleHeight() - head.Height() - mesg.Height());
    home.SetWidth(ScaleWidth());

    const double gap = (mesg.ScaleHeight() - lblButton[0]->Height()) / 2;
    double x = mesg.ScaleWidth();
    // Groups from the right edge leftwards: entries right to left, then the group's name.
    auto placeGroup = [&](tk::Control* const* entries, int count, tk::Control& name) {
        for (int i = count - 1; i >= 0; --i) {
            tk::Control& entry = *entries[i];
            x = x - gap - entry.Width();
            entry.SetLeft(x);
            entry.SetTop(gap);
        }
        x = x - gap - name.Width();
        name.SetLeft(x);
        name.SetTop((mesg.ScaleHeight() - name.Height()) / 2);
        x = x - gap;
    };
    placeGroup(lblButton.data(), kIndicatorCount, *lblButtonName);
    placeGroup(lblColor.data(), kSwatchCount, *lblColorName);
    placeGroup(lblWidth.data(), kWidthCount, *lblWidthName);

    tk::Control& helpBox = *lblHelpBox;
    tk::Control& help = *lblHelp;
    helpBox.Move(0, 0, x - gap, mesg.ScaleHeight());
    help.SetTop((helpBox.Height() - help.Height()) / 2);
    help.SetLeft(help.Top());
    help.SetWidth(helpBox.Width() - 2 * help.Left());
}

void FrmTest::cmdClear_Click() { picHome->Cls(); }

void FrmTest::cmdExit_Click() { Unload(); }
