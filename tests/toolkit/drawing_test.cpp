// Picture boxes: drawing in pixels and twips, what survives a repaint, pictures loaded from files,
// children laid out in the box's units, and the controls that show the box through themselves.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/toolkit/TestSupport.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 128, 0);
constexpr COLORREF kYellow = RGB(255, 255, 0);

class DrawingForm : public tk::Form {
public:
    DrawingForm() : tk::Form("frmDrawing") {
        Caption("Drawing").ClientSize(7500, 4500).Border(tk::BorderStyle::FixedDialog);
        //         control                   left  top   width height
        tk::Control& pixels = PictureBox("picPixels").At(120, 120, 3000, 1500).PixelScale().Back(tk::kWhite);
        Label("lblInside").In(pixels).At(1500, 900, 1200, 195).Text("Inside").Opaque(false);
        PictureBox("picTwips").At(3240, 120, 3000, 1500).Back(tk::kWhite);
        PictureBox("picAuto").At(120, 1800, 1215, 495).AutoSize();
        Shape("shpBox").At(3240, 1800, 1500, 600);
        Label("lblBox").At(3360, 1920, 1200, 195).Text("In the box");
        tk::Control& frame = Frame("fraLabels").At(3360, 2880, 3000, 1200).Text("Frame");
        Label("lblInFrame").In(frame).At(240, 360, 1200, 195).Back(kRed);
    }
};

class DrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.Show();
        Pump(200);
    }
    void TearDown() override { form.Unload(); }

    // The colour the window shows, as painted.
    static COLORREF Shown(HWND hwnd, int x, int y) {
        HDC dc = GetDC(hwnd);
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(hwnd, dc);
        return c;
    }
    // The colour a box shows at a point in its own units once its pending paint is done: what a
    // person sees of the drawing.
    static COLORREF Painted(tk::Control& box, double x, double y) {
        UpdateWindow(box.hWnd());
        RECT client;
        GetClientRect(box.hWnd(), &client);
        const int px = static_cast<int>(std::lround(x * client.right / box.ScaleWidth()));
        const int py = static_cast<int>(std::lround(y * client.bottom / box.ScaleHeight()));
        return Shown(box.hWnd(), px, py);
    }
    DrawingForm form;
};

TEST_F(DrawingTest, LinesPointsAndBoxesInPixels) {
    tk::Control& box = Named(form, "picPixels");
    box.PSet(10, 10, kRed);
    EXPECT_EQ(Painted(box, 10, 10), kRed);
    EXPECT_EQ(Painted(box, 11, 10), tk::kWhite);

    // A line leaves out its last point; a box includes both corners.
    box.Line(0, 50, 100, 50, kBlue);
    EXPECT_EQ(Painted(box, 0, 50), kBlue);
    EXPECT_EQ(Painted(box, 99, 50), kBlue);
    EXPECT_EQ(Painted(box, 100, 50), tk::kWhite);
    box.Box(20, 20, 40, 30, kGreen);
    EXPECT_EQ(Painted(box, 20, 20), kGreen);
    EXPECT_EQ(Painted(box, 40, 30), kGreen);
    EXPECT_EQ(Painted(box, 30, 25), tk::kWhite);

    // LineTo starts where the last drawing ended.
    box.PSet(150, 10, kRed);
    box.LineTo(150, 40, kRed);
    EXPECT_EQ(Painted(box, 150, 25), kRed);
}

TEST_F(DrawingTest, AWiderPenDrawsWiderAndIsPublished) {
    tk::Control& box = Named(form, "picPixels");
    box.SetDrawWidth(3);
    EXPECT_EQ(Prop(box.hWnd(), TK_PROP_DRAWWIDTH), 3u);
    box.Line(10, 60, 80, 60, kBlue);
    EXPECT_EQ(Painted(box, 40, 61), kBlue);
    // A point of a wide pen is a round dot of that width around it.
    box.PSet(120, 80, kRed);
    EXPECT_EQ(Painted(box, 121, 80), kRed);
    EXPECT_EQ(Painted(box, 120, 79), kRed);
    EXPECT_EQ(Painted(box, 122, 80), tk::kWhite);
    box.SetDrawWidth(1);
    box.Line(10, 90, 80, 90, kBlue);
    EXPECT_EQ(Painted(box, 40, 91), tk::kWhite);
}

TEST_F(DrawingTest, TwipsScaledBoxConvertsOnce) {
    tk::Control& box = Named(form, "picTwips");
    EXPECT_DOUBLE_EQ(box.ScaleWidth(), tk::PixelsToTwipsX(tk::TwipsToPixelsX(3000)));
    box.PSet(150, 150, kRed);
    EXPECT_EQ(Painted(box, 150, 150), kRed);
    Pump(100);
    EXPECT_EQ(Shown(box.hWnd(), tk::TwipsToPixelsX(150), tk::TwipsToPixelsY(150)), kRed);
}

TEST_F(DrawingTest, TheDrawingSurvivesARepaint) {
    tk::Control& box = Named(form, "picPixels");
    box.Line(5, 5, 60, 5, kRed);
    Pump(100);
    // Cover the box with another window, then uncover it: the box paints itself again.
    HWND cover = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_BLACKRECT, 0, 0, 1024, 768,
                                 nullptr, nullptr, nullptr, nullptr);
    Pump(100);
    DestroyWindow(cover);
    InvalidateRect(box.hWnd(), nullptr, TRUE);
    Pump(200);
    EXPECT_EQ(Shown(box.hWnd(), 30, 5), kRed);
    EXPECT_EQ(Shown(box.hWnd(), 30, 6), tk::kWhite);
    EXPECT_EQ(Painted(box, 30, 5), kRed);
}

TEST_F(DrawingTest, AFormsOwnLineIsKeptThroughRepaintsUntilTheFormUnloads) {
    // Below the picture boxes and the shape, where only the form paints.
    const double y = 2700;
    form.Line(120, y, 3120, y, kRed);
    UpdateWindow(form.hWnd());
    const int row = tk::TwipsToPixelsY(y);
    EXPECT_EQ(Shown(form.hWnd(), 100, row), kRed);
    EXPECT_EQ(Shown(form.hWnd(), tk::TwipsToPixelsX(3120), row), GetSysColor(COLOR_BTNFACE)) << "the end point is left out";
    InvalidateRect(form.hWnd(), nullptr, TRUE);
    UpdateWindow(form.hWnd());
    EXPECT_EQ(Shown(form.hWnd(), 100, row), kRed);

    form.Unload();
    form.Show();
    UpdateWindow(form.hWnd());
    EXPECT_EQ(Shown(form.hWnd(), 100, row), GetSysColor(COLOR_BTNFACE));
}

TEST_F(DrawingTest, ClsAndANewBackColourClearTheDrawing) {
    tk::Control& box = Named(form, "picPixels");
    box.PSet(20, 20, kRed);
    box.Cls();
    EXPECT_EQ(Painted(box, 20, 20), tk::kWhite);
    // The drawing position goes back to the corner.
    box.LineTo(0, 10, kBlue);
    EXPECT_EQ(Painted(box, 0, 5), kBlue);
    box.SetBackColor(kYellow);
    EXPECT_EQ(Painted(box, 0, 5), kYellow);
    Pump(100);
    EXPECT_EQ(Shown(box.hWnd(), 0, 5), kYellow);
}

TEST_F(DrawingTest, ChildrenOfAPixelBoxMeasureInPixels) {
    tk::Control& label = Named(form, "lblInside");
    EXPECT_DOUBLE_EQ(label.Left(), tk::TwipsToPixelsX(1500));
    EXPECT_DOUBLE_EQ(label.Width(), tk::TwipsToPixelsX(1200));
    label.SetLeft(10);
    const RECT r = uia::ScreenRect(uia::Control(form.hWnd(), "lblInside"));
    POINT corner = {r.left, r.top};
    ScreenToClient(Named(form, "picPixels").hWnd(), &corner);
    EXPECT_EQ(corner.x, 10);

    // Switching the box to twips keeps the child where it is.
    Named(form, "picPixels").SetScaleMode(tk::ScaleMode::Twips);
    EXPECT_DOUBLE_EQ(label.Left(), tk::PixelsToTwipsX(10));
}

TEST_F(DrawingTest, ATransparentLabelShowsTheBoxAndRepaintsCleanly) {
    tk::Control& box = Named(form, "picPixels");
    tk::Control& label = Named(form, "lblInside");
    box.SetBackColor(kYellow);
    label.SetCaption("WWWWWWWWWW");
    Pump(100);
    label.SetCaption("i");
    Pump(150);
    // Where the wide text was, the box's colour shows again.
    const int x = static_cast<int>(label.Left()) + 40;
    const int y = static_cast<int>(label.Top()) + 6;
    EXPECT_EQ(Shown(box.hWnd(), x, y), kYellow);
    label.SetOpaque(true);
    label.SetBackColor(tk::kWhite);
    Pump(100);
    EXPECT_EQ(Shown(box.hWnd(), x, y), tk::kWhite);
}

TEST_F(DrawingTest, AShapeIsAnOutlineWithItsLabelInside) {
    // The label is designed after the shape and lies inside it; the shape is painted beneath it.
    tk::Control& label = Named(form, "lblBox");
    label.SetOpaque(true);
    label.SetBackColor(kRed);
    label.Move(3240, 1800, 1200, 195);
    UpdateWindow(form.hWnd());
    const POINT corner = {tk::TwipsToPixelsX(3240), tk::TwipsToPixelsY(1800)};
    const RECT outline = uia::RectInForm(uia::Control(form.hWnd(), "shpBox"));
    EXPECT_EQ(outline.left, corner.x);
    EXPECT_EQ(Shown(form.hWnd(), corner.x, corner.y), kRed) << "the label covers the outline";
    EXPECT_EQ(Shown(form.hWnd(), outline.right - 1, outline.bottom - 1), tk::kBlack);
    EXPECT_EQ(Shown(form.hWnd(), outline.left + 4, outline.bottom - 4), GetSysColor(COLOR_BTNFACE));
}

TEST_F(DrawingTest, AFrameShowsItsLabelAndHandsItItsClickUntilTheLabelHides) {
    bool clicked = false;
    Named(form, "lblInFrame").Click = [&] { clicked = true; };
    LeftClick(uia::Control(form.hWnd(), "lblInFrame"));
    EXPECT_TRUE(PumpUntil([&] { return clicked; }));
    Named(form, "lblInFrame").Click = nullptr;

    HWND frame = Named(form, "fraLabels").hWnd();
    const RECT r = uia::ScreenRect(uia::Control(form.hWnd(), "lblInFrame"));
    POINT at = {r.left + 2, r.top + 2};
    ScreenToClient(frame, &at);
    UpdateWindow(frame);
    EXPECT_EQ(Shown(frame, at.x, at.y), kRed);
    Named(form, "lblInFrame").SetVisible(false);
    UpdateWindow(frame);
    EXPECT_EQ(Shown(frame, at.x, at.y), GetSysColor(COLOR_BTNFACE));
}

// A 24-bit bitmap file of the given size, white with one red pixel at the top-left corner.
std::string WriteBitmap(int width, int height) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string path = std::string(dir) + "tk_picture_" + std::to_string(GetCurrentProcessId()) + ".bmp";
    const int stride = (width * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(static_cast<size_t>(stride) * height, 0xFF);
    // Rows are stored bottom-up: the last row is the top.
    unsigned char* top = &pixels[static_cast<size_t>(stride) * (height - 1)];
    top[0] = 0x00;  // blue
    top[1] = 0x00;  // green
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info, sizeof info, 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    std::fclose(out);
    return path;
}

TEST_F(DrawingTest, AnAutoSizedBoxTakesTheSizeOfItsPicture) {
    const std::string path = WriteBitmap(60, 40);
    tk::Control& box = Named(form, "picAuto");
    ASSERT_TRUE(box.LoadPicture(path));
    EXPECT_DOUBLE_EQ(box.Width(), tk::PixelsToTwipsX(60));
    EXPECT_DOUBLE_EQ(box.Height(), tk::PixelsToTwipsY(40));
    EXPECT_DOUBLE_EQ(box.ScaleWidth(), tk::PixelsToTwipsX(60));
    EXPECT_EQ(Painted(box, 0, 0), kRed);
    EXPECT_EQ(Painted(box, tk::PixelsToTwipsX(1), 0), tk::kWhite);
    EXPECT_FALSE(box.LoadPicture(path + ".missing"));
    DeleteFileA(path.c_str());
}

}  // namespace
