// Screen capture, pixel reads and the PNG files written from them.
#include <string>
#include <utility>

#include "tests/uia/uia_test_target.h"

namespace {

uia::Image Pattern(int width, int height) {
    uia::Image image;
    image.width = width;
    image.height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.pixels.push_back(uint32_t((x * 7 + y) & 0xFF) << 16 |
                                   uint32_t((x ^ y) & 0xFF) << 8 | uint32_t((y * 3) & 0xFF));
    return image;
}

TEST(PngTest, RoundTripsThroughAFile) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string path = std::string(temp) + "qruia-roundtrip.png";
    for (auto size : {std::pair<int, int>{1, 1}, {300, 200}, {21845, 1}}) {
        SCOPED_TRACE(std::to_string(size.first) + "x" + std::to_string(size.second));
        uia::Image original = Pattern(size.first, size.second);
        uia::WritePng(path, original);
        const uia::Image decoded = uia::ReadPng(path);
        EXPECT_EQ(original.width, decoded.width);
        EXPECT_EQ(original.height, decoded.height);
        EXPECT_TRUE(original.pixels == decoded.pixels);
    }
    DeleteFileA(path.c_str());
}

TEST(ShotsFolderTest, ComesFromTheEnvironment) {
    char saved[MAX_PATH] = {};
    bool had = GetEnvironmentVariableA("QR_SHOTS", saved, sizeof saved) > 0;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + "qruia-shots\\inner";
    SetEnvironmentVariableA("QR_SHOTS", (folder + "\\").c_str());
    EXPECT_EQ(folder, uia::ShotsFolder());
    DWORD attributes = GetFileAttributesA(folder.c_str());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    RemoveDirectoryA(folder.c_str());
    RemoveDirectoryA((std::string(temp) + "qruia-shots").c_str());

    SetEnvironmentVariableA("QR_SHOTS", "/tmp");
    EXPECT_EQ("Z:\\tmp", uia::ShotsFolder());

    SetEnvironmentVariableA("QR_SHOTS", nullptr);
    std::string exe = uia::ExeFolder();
    EXPECT_EQ(exe.substr(0, exe.find_last_of('\\')) + "\\shots", uia::ShotsFolder());
    SetEnvironmentVariableA("QR_SHOTS", had ? saved : nullptr);
}

TEST_F(TargetTest, ScreenshotIsAPngOfTheWholeDesktop) {
    std::string path = uia::SaveScreenshot("uia_target");
    EXPECT_EQ(uia::ShotsFolder() + "\\uia_target.png", path);
    const uia::Image shot = uia::ReadPng(path);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), shot.width);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), shot.height);
    POINT ground = uia::ClientToScreenPoint(form, target::kFormGroundPoint);
    EXPECT_EQ(target::kFormBack, shot.ColorAt(ground.x, ground.y));
    RECT pad = uia::ScreenRect(Ctl(target::kPad.name));
    EXPECT_EQ(target::kPadBack, shot.ColorAt(pad.left + 3, pad.bottom - 3));
}

TEST_F(TargetTest, PixelReadsSeeTheProgramsColours) {
    POINT ground = uia::ClientToScreenPoint(form, target::kFormGroundPoint);
    EXPECT_EQ(target::kFormBack, uia::ScreenPixel(ground.x, ground.y));
    RECT label = uia::ScreenRect(log);
    EXPECT_EQ(target::kLogBack, uia::ScreenPixel(label.right - 4, label.bottom - 4));

    RECT pad = uia::ScreenRect(Ctl(target::kPad.name));
    RECT inside = {pad.left + 2, pad.top + 2, pad.right - 2, pad.bottom - 2};
    uia::Image image = uia::CaptureRect(inside);
    ASSERT_EQ(inside.right - inside.left, image.width);
    ASSERT_EQ(inside.bottom - inside.top, image.height);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            ASSERT_EQ(target::kPadBack, image.ColorAt(x, y)) << x << "," << y;

    // The pixel just outside the pad is the form's, not the pad's.
    EXPECT_EQ(target::kFormBack, uia::ScreenPixel(pad.right, pad.bottom));
}

}  // namespace
