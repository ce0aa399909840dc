// Screen capture, pixel reads and the PNG files written from them.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/uia/uia_test_target.h"

namespace {

uint32_t BigEndian(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// Bit by bit, unlike the library's table, so that the two do not share a mistake.
uint32_t SlowCrc32(const uint8_t* p, size_t n) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// Reads back what EncodePng writes (RGB, stored deflate blocks, filter None), checking
// every CRC, the zlib header and the Adler sum. Fails the test on anything else.
bool DecodePng(const std::vector<uint8_t>& png, uia::Image& out) {
    static const uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (png.size() < 8 || std::memcmp(png.data(), signature, 8) != 0) {
        ADD_FAILURE() << "no PNG signature";
        return false;
    }
    std::vector<uint8_t> zlib;
    bool ended = false;
    for (size_t at = 8; at + 12 <= png.size() && !ended;) {
        uint32_t length = BigEndian(&png[at]);
        if (at + 12 + length > png.size()) {
            ADD_FAILURE() << "chunk runs past the end";
            return false;
        }
        const uint8_t* type = &png[at + 4];
        const uint8_t* data = type + 4;
        if (SlowCrc32(type, length + 4) != BigEndian(data + length)) {
            ADD_FAILURE() << "bad CRC in chunk " << std::string(type, type + 4);
            return false;
        }
        std::string name(type, type + 4);
        if (name == "IHDR") {
            out.width = int(BigEndian(data));
            out.height = int(BigEndian(data + 4));
            EXPECT_EQ(8, data[8]);   // bit depth
            EXPECT_EQ(2, data[9]);   // RGB
            EXPECT_EQ(0, data[12]);  // not interlaced
        } else if (name == "IDAT") {
            zlib.insert(zlib.end(), data, data + length);
        } else if (name == "IEND") {
            ended = true;
        }
        at += 12 + length;
    }
    EXPECT_TRUE(ended) << "no IEND";
    if (zlib.size() < 6 || (zlib[0] & 0x0F) != 8 || (zlib[0] * 256 + zlib[1]) % 31 != 0) {
        ADD_FAILURE() << "bad zlib header";
        return false;
    }
    std::vector<uint8_t> raw;
    size_t at = 2;
    for (bool last = false; !last;) {
        if (at + 5 > zlib.size()) {
            ADD_FAILURE() << "deflate data cut short";
            return false;
        }
        last = zlib[at] & 1;
        if ((zlib[at] >> 1) != 0) {
            ADD_FAILURE() << "not a stored block";
            return false;
        }
        unsigned n = zlib[at + 1] | zlib[at + 2] << 8;
        unsigned notN = zlib[at + 3] | zlib[at + 4] << 8;
        if ((n ^ 0xFFFFu) != notN || at + 5 + n > zlib.size()) {
            ADD_FAILURE() << "bad stored block length";
            return false;
        }
        raw.insert(raw.end(), zlib.begin() + long(at + 5), zlib.begin() + long(at + 5 + n));
        at += 5 + n;
    }
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    if (at + 4 != zlib.size() || BigEndian(&zlib[at]) != (b << 16 | a)) {
        ADD_FAILURE() << "bad Adler-32";
        return false;
    }
    size_t stride = size_t(out.width) * 3 + 1;
    if (raw.size() != stride * size_t(out.height)) {
        ADD_FAILURE() << "pixel data of " << raw.size() << " bytes";
        return false;
    }
    out.pixels.clear();
    for (int y = 0; y < out.height; ++y) {
        const uint8_t* row = &raw[size_t(y) * stride];
        EXPECT_EQ(0, row[0]) << "filter of row " << y;
        for (int x = 0; x < out.width; ++x) {
            const uint8_t* p = row + 1 + x * 3;
            out.pixels.push_back(uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
        }
    }
    return true;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

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

TEST(PngTest, RoundTripsAcrossSeveralStoredBlocks) {
    // 300 x 200 RGB is 180200 bytes of rows: three stored blocks.
    for (auto size : {std::pair<int, int>{1, 1}, {300, 200}, {21845, 1}}) {
        SCOPED_TRACE(std::to_string(size.first) + "x" + std::to_string(size.second));
        uia::Image original = Pattern(size.first, size.second);
        uia::Image decoded;
        ASSERT_TRUE(DecodePng(uia::EncodePng(original), decoded));
        EXPECT_EQ(original.width, decoded.width);
        EXPECT_EQ(original.height, decoded.height);
        EXPECT_TRUE(original.pixels == decoded.pixels);
    }
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
    uia::Image shot;
    ASSERT_TRUE(DecodePng(ReadFile(path), shot));
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
