// The checks that keep the PS/2 port driver's file safe: a driver file is whole only when every
// section it names lies inside it.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "common/PortDriverFile.h"

namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

TEST(IsWholeImage, OnlyAFileWithAllItsSections) {
    char self[MAX_PATH];
    const std::string image = Read(std::string(self, GetModuleFileNameA(nullptr, self, MAX_PATH)));
    ASSERT_GT(image.size(), 4096u);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "qr-whole-image-test.sys";
    const struct {
        const char* what;
        std::string bytes;
        bool whole;
    } cases[] = {
        {"a whole program image", image, true},
        {"cut short in its first section", image.substr(0, 1536), false},
        {"cut short in its headers", image.substr(0, 200), false},
        {"text", "Test bed stand-in for the PS/2 port driver file.\n", false},
    };
    for (const auto& c : cases) {
        Write(path, c.bytes);
        EXPECT_EQ(IsWholeImage(path), c.whole) << c.what;
    }
    DeleteFileA(path.c_str());
}

}  // namespace
