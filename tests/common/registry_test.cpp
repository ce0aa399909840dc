// The registry wrapper and the installation record against the real registry, in a scratch
// key under HKEY_CURRENT_USER that each test creates and removes.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "common/SuiteNames.h"
#include "common/basOEM.h"
#include "common/basRegistry.h"

namespace {

constexpr char kScratchRoot[] = "Software\\QRTouchTests";

// RegDeleteTree is not there on XP.
void DeleteTree(HKEY parent, const std::string& path) {
    HKEY key;
    if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    char name[256];
    DWORD length = sizeof name;
    while (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
        DeleteTree(key, name);
        length = sizeof name;
    }
    RegCloseKey(key);
    RegDeleteKeyA(parent, path.c_str());
}

class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        base = std::string(kScratchRoot) + "\\" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(GetTickCount()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, base.c_str(), &key), ERROR_SUCCESS);
    }
    void TearDown() override {
        if (key) RegCloseKey(key);
        DeleteTree(HKEY_CURRENT_USER, base);
        RegDeleteKeyA(HKEY_CURRENT_USER, kScratchRoot);  // only succeeds once it is empty
    }
    void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }
    bool Exists(const std::string& path) {
        HKEY k;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
        RegCloseKey(k);
        return true;
    }

    std::string base;
    HKEY key = nullptr;
};

TEST_F(Registry, CreateKeyCreatesMissingKeyEmptyAndStripsOneLeadingBackslash) {
    std::string sub = "\\Record";
    HKEY created = nullptr;
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, base, sub, created));
    DWORD values = 99, subKeys = 99;
    ASSERT_EQ(RegQueryInfoKeyA(created, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                               nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(values, 0u);
    EXPECT_EQ(subKeys, 0u);
    ASSERT_TRUE(SetString(created, "V", "same key"));
    EXPECT_TRUE(CloseKey(created));

    // With and without the backslash, and via OpenKey, it is one key.
    std::string plain = "Record";
    HKEY again = nullptr;
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, base, plain, again));
    std::string text;
    EXPECT_TRUE(QueryString(again, "V", text));
    EXPECT_EQ(text, "same key");
    CloseKey(again);
    HKEY opened = nullptr;
    ASSERT_TRUE(OpenKey(HKEY_CURRENT_USER, base + "\\Record", opened));
    CloseKey(opened);

    ASSERT_TRUE(SetString(key, "V", "base key"));
    std::string none;
    HKEY self = nullptr;
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, base, none, self));  // empty sub-key: the key path alone
    EXPECT_TRUE(QueryString(self, "V", text));
    EXPECT_EQ(text, "base key");
    CloseKey(self);
}

TEST_F(Registry, KeyFailuresLeaveTheOutArgumentAlone) {
    std::string sub = "\\X";
    HKEY out = reinterpret_cast<HKEY>(static_cast<intptr_t>(0x1234));
    EXPECT_FALSE(CreateKey(HKEY_CURRENT_USER, "", sub, out));
    EXPECT_FALSE(OpenKey(HKEY_CURRENT_USER, base + "\\Missing", out));
    EXPECT_EQ(out, reinterpret_cast<HKEY>(static_cast<intptr_t>(0x1234)));
    EXPECT_FALSE(Exists(base + "\\Missing"));
    EXPECT_FALSE(SetString(nullptr, "V", "x"));
}

TEST_F(Registry, QueryStringReadsWhatIsStoredAndNeverPastIt) {
    const std::string longText(100000, 'L');
    ASSERT_TRUE(SetString(key, "Long", longText));
    ASSERT_TRUE(SetString(key, "Empty", ""));
    SetRaw("Embedded", REG_SZ, "ab\0cd\0", 6);
    SetRaw("Unterminated", REG_SZ, "abc", 3);
    SetRaw("SizeZero", REG_SZ, "", 0);
    DWORD emptySize = 0;
    RegQueryValueExA(key, "Empty", nullptr, nullptr, nullptr, &emptySize);
    EXPECT_EQ(emptySize, 1u);

    const struct {
        const char* name;
        std::string expected;
    } cases[] = {{"Long", longText}, {"Empty", ""}, {"Embedded", "ab"}, {"Unterminated", "abc"}, {"SizeZero", ""}};
    for (const auto& c : cases) {
        std::string text = "old";
        EXPECT_TRUE(QueryString(key, c.name, text)) << c.name;
        EXPECT_EQ(text, c.expected) << c.name;
    }
}

TEST_F(Registry, QueryStringTreatsOtherTypesAsMissingAndSaysWhy) {
    SetRaw("Expand", REG_EXPAND_SZ, "%PATH%", 7);
    SetRaw("Multi", REG_MULTI_SZ, "a\0b\0", 5);
    const DWORD number = 7;
    SetRaw("Number", REG_DWORD, &number, sizeof number);
    // Past the registry's limit for a value: not allocated, and said why.
    ASSERT_TRUE(SetString(key, "Huge", std::string(1024 * 1024, 'H')));
    const struct {
        const char* name;
        DWORD error;
    } cases[] = {
        {"Expand", ERROR_INVALID_DATA}, {"Multi", ERROR_INVALID_DATA},       {"Number", ERROR_INVALID_DATA},
        {"Missing", ERROR_FILE_NOT_FOUND}, {"Huge", ERROR_NOT_ENOUGH_MEMORY},
    };
    for (const auto& c : cases) {
        std::string text = "old";
        EXPECT_EQ(QueryString(key, c.name, text).Error(), c.error) << c.name;
        EXPECT_EQ(text, "old") << c.name;
    }
}

TEST_F(Registry, QueryStringSurvivesAValueChangingBetweenItsTwoReads) {
    const std::string shortText = "s";
    const std::string longText(5000, 'g');
    ASSERT_TRUE(SetString(key, "Moving", shortText));
    HKEY writer = nullptr;
    ASSERT_TRUE(OpenKey(HKEY_CURRENT_USER, base, writer));
    std::atomic<bool> stop{false};
    std::thread flipper([&] {
        for (bool grow = true; !stop; grow = !grow) SetString(writer, "Moving", grow ? longText : shortText);
    });
    for (int i = 0; i < 500; ++i) {
        std::string text = "old";
        if (QueryString(key, "Moving", text)) {
            ASSERT_TRUE(text == shortText || text == longText) << text.size();
        } else {
            ASSERT_EQ(text, "old");
        }
    }
    stop = true;
    flipper.join();
    CloseKey(writer);
}

TEST_F(Registry, QueryDwordWantsFourBytesOfRegDword) {
    ASSERT_TRUE(SetDword(key, "Good", 0xA1B2C3D4u));
    const DWORD four = 5;
    const WORD two = 6;
    const ULONGLONG eight = 7;
    SetRaw("Binary", REG_BINARY, &four, sizeof four);
    SetRaw("Short", REG_DWORD, &two, sizeof two);
    SetRaw("Long", REG_DWORD, &eight, sizeof eight);
    SetRaw("BigEndian", REG_DWORD_BIG_ENDIAN, &four, sizeof four);
    SetRaw("Text", REG_SZ, "1234", 5);

    uint32_t value = 1;
    EXPECT_TRUE(QueryDword(key, "Good", value));
    EXPECT_EQ(value, 0xA1B2C3D4u);
    for (const char* name : {"Binary", "Short", "Long", "BigEndian", "Text", "Missing"}) {
        uint32_t untouched = 1;
        EXPECT_FALSE(QueryDword(key, name, untouched)) << name;
        EXPECT_EQ(untouched, 1u) << name;
    }
}

TEST(TrimAtNul, CutsAtTheFirstNul) {
    EXPECT_EQ(TrimAtNul(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(TrimAtNul(std::string("\0x", 2)), "");
    EXPECT_EQ(TrimAtNul("plain"), "plain");
}

// The record loader, pointed at the scratch key.
class Record : public Registry {
protected:
    void SetUp() override {
        Registry::SetUp();
        SetRecordLocation(HKEY_CURRENT_USER, base, "\\" + std::string(kModelName));
        for (std::string* s : strings) *s = "old";
    }
    void WriteAllBut(const char* skipped) {
        HKEY record = nullptr;
        ASSERT_EQ(RegCreateKeyA(key, kModelName, &record), ERROR_SUCCESS);
        for (int i = 0; i < 5; ++i) {
            if (skipped == nullptr || std::string(skipped) != names[i]) {
                ASSERT_TRUE(SetString(record, names[i], std::string("new ") + names[i]));
            }
        }
        RegCloseKey(record);
    }

    const char* const names[5] = {kVenderNameValue, kInstallPathValue, kWindowsPathValue, kSystemPathValue,
                                  kHardwareIdValue};
    std::string* const strings[5] = {&VenderName, &InstallPath, &WindowsPath, &SystemPath, &HardwareID};
};

TEST_F(Record, MissingKeyIsCreatedEmptyAndFails) {
    EXPECT_FALSE(ReadInstallationRecord());
    EXPECT_TRUE(Exists(base + "\\" + kModelName));
    for (std::string* s : strings) EXPECT_EQ(*s, "old");
}

TEST_F(Record, AllFiveLoad) {
    WriteAllBut(nullptr);
    EXPECT_TRUE(ReadInstallationRecord());
    for (int i = 0; i < 5; ++i) EXPECT_EQ(*strings[i], std::string("new ") + names[i]);
}

TEST_F(Record, EachMissingValueFailsButTheOtherFourLoad) {
    for (int missing = 0; missing < 5; ++missing) {
        DeleteTree(key, kModelName);
        for (std::string* s : strings) *s = "old";
        WriteAllBut(names[missing]);
        EXPECT_FALSE(ReadInstallationRecord()) << names[missing];
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(*strings[i], i == missing ? "old" : std::string("new ") + names[i]) << names[missing];
    }
}

TEST_F(Record, ExpandStringValueCountsAsMissing) {
    WriteAllBut(kInstallPathValue);
    HKEY record = nullptr;
    ASSERT_EQ(RegOpenKeyA(key, kModelName, &record), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(record, kInstallPathValue, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>("C:\\x"), 5),
              ERROR_SUCCESS);
    RegCloseKey(record);
    EXPECT_EQ(ReadInstallationRecord().Error(), DWORD(ERROR_INVALID_DATA));
    EXPECT_EQ(InstallPath, "old");
    EXPECT_EQ(VenderName, std::string("new ") + kVenderNameValue);
}

TEST(RecordLocation, LoadReadsTheMachineRecord) {
    LoadInstallationRecord();
    EXPECT_EQ(RecordHive, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(RecordBaseKey, "SOFTWARE\\Orvale\\TouchScreen");
    EXPECT_EQ(RecordSubKey, "QR-K52-PS2");
}

}  // namespace
