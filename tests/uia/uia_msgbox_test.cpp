// Message boxes read and answered: caption, text, icon, buttons, topmost.
#include <algorithm>
#include <vector>

#include "tests/uia/uia_test_target.h"

namespace {

uia::BoxIcon Expected(target::Icon icon) {
    switch (icon) {
    case target::Icon::Stop: return uia::BoxIcon::Stop;
    case target::Icon::Question: return uia::BoxIcon::Question;
    case target::Icon::Exclamation: return uia::BoxIcon::Exclamation;
    case target::Icon::Information: return uia::BoxIcon::Information;
    default: return uia::BoxIcon::None;
    }
}

std::vector<int> Sorted(std::vector<int> ids) {
    std::sort(ids.begin(), ids.end());
    return ids;
}

TEST_F(TargetTest, MessageBoxesAreReadAndAnswered) {
    for (int i = 0; i < target::kBoxCount; ++i) {
        const target::Box& b = target::kBoxes[i];
        std::string button = "cmdBox(" + std::to_string(i + 1) + ")";
        SCOPED_TRACE(button);
        ClearLog();
        EXPECT_EQ(nullptr, uia::FindMessageBox(program.Pid()));
        uia::PostClick(Ctl(button));
        HWND box = uia::WaitForMessageBox(uia::kDefaultTimeout, program.Pid());
        EXPECT_EQ(b.caption, uia::Text(box));
        EXPECT_EQ(b.text, uia::MessageBoxText(box));
        uia::BoxIcon icon = uia::MessageBoxIcon(box);
        EXPECT_EQ(Expected(b.icon), icon) << uia::BoxIconName(icon);
        std::vector<int> expected;
        for (int id : b.buttons)
            if (id) expected.push_back(id);
        EXPECT_EQ(Sorted(expected), Sorted(uia::MessageBoxButtons(box)));
        EXPECT_FALSE(uia::HasButton(box, IDRETRY));
        EXPECT_EQ(b.systemModal, uia::IsTopmost(box));
        uia::Answer(box, b.answer);
        ExpectLog(button + " answered " + std::to_string(b.answer));
        EXPECT_EQ(nullptr, uia::FindMessageBox(program.Pid()));
    }
}

TEST_F(TargetTest, MissingButtonAndMissingBoxAreReported) {
    uia::PostClick(Ctl("cmdBox(1)"));
    HWND box = uia::WaitForMessageBox(uia::kDefaultTimeout, program.Pid());
    // Another process's boxes do not count.
    EXPECT_EQ(nullptr, uia::FindMessageBox(GetCurrentProcessId()));
    EXPECT_EQ(box, uia::FindMessageBox());
    EXPECT_THROW(uia::PressButton(box, IDNO), uia::Error);
    uia::Answer(box, IDOK);
    try {
        uia::WaitForMessageBox(200, program.Pid());
        FAIL() << "found a message box after it was answered";
    } catch (const uia::Error& e) {
        EXPECT_TRUE(Contains(e.what(), "message box")) << e.what();
    }
}

}  // namespace
