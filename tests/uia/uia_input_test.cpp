// Clicks, real mouse and keyboard input, and scroll bars, as the target program sees them.
#include <cstdlib>

#include "tests/uia/uia_test_target.h"

namespace {

using uia::MouseButton;

TEST_F(TargetTest, ClickReturnsAfterTheHandlerRan) {
    uia::Click(Ctl(target::kOk.name));
    EXPECT_EQ("cmdOk_Click", uia::Text(log));
}

TEST_F(TargetTest, OptionAndCheckClicksChangeValuesAndColours) {
    HWND first = Ctl("optChoice(1)"), second = Ctl("optChoice(2)"), flag = Ctl(target::kFlag.name);
    uia::Click(second);
    EXPECT_EQ(0, uia::Value(first));
    EXPECT_EQ(1, uia::Value(second));
    EXPECT_EQ(target::kUnselected, uia::ForeColor(first));
    EXPECT_EQ(target::kSelected, uia::ForeColor(second));
    // A click on the option that is already selected is a click all the same.
    uia::Click(second);
    uia::Click(flag);
    EXPECT_EQ(1, uia::Value(flag));
    uia::Click(flag);
    EXPECT_EQ(0, uia::Value(flag));
    EXPECT_EQ("optChoice(2)_Click;optChoice(2)_Click;chkFlag_Click 1;chkFlag_Click 0",
              uia::Text(log));
}

TEST_F(TargetTest, DisabledAndHiddenControlsCannotBeClicked) {
    EXPECT_THROW(uia::Click(Ctl("cmdDisabled")), uia::Error);
    EXPECT_THROW(uia::PostClick(Ctl("cmdDisabled")), uia::Error);
    EXPECT_THROW(uia::Click(Ctl("cmdHidden")), uia::Error);
    EXPECT_THROW(uia::MouseClick(Ctl("cmdHidden")), uia::Error);
    // Anything that got through would be recorded before this click.
    uia::Click(Ctl(target::kOk.name));
    EXPECT_EQ("cmdOk_Click", uia::Text(log));
}

TEST_F(TargetTest, BlockingHandlerNeedsPostClick) {
    HWND button = Ctl("cmdBox(1)");
    try {
        uia::Click(button, 500);
        FAIL() << "the click returned although its handler shows a message box";
    } catch (const uia::Error& e) {
        EXPECT_TRUE(Contains(e.what(), "PostClick")) << e.what();
    }
    uia::Answer(uia::WaitForMessageBox(uia::kDefaultTimeout, program.Pid()), IDOK);
    ExpectLog("cmdBox(1) answered 1");

    // PostClick comes back while the handler still waits for its box to be answered.
    ClearLog();
    uia::PostClick(button);
    uia::Answer(uia::WaitForMessageBox(uia::kDefaultTimeout, program.Pid()), IDOK);
    ExpectLog("cmdBox(1) answered 1");
}

TEST_F(TargetTest, RealClickAtTheCentreClicksTheButton) {
    uia::MouseClick(Ctl(target::kOk.name));
    ExpectLog("cmdOk_Click");
    EXPECT_EQ(uia::Centre(uia::ScreenRect(Ctl(target::kOk.name))).x, uia::CursorPos().x);
}

struct MouseCase {
    MouseButton button;
    unsigned modifiers;
    const char* expected;
};

const MouseCase kMouseCases[] = {
    {MouseButton::Left, uia::kNoModifier, "down L 20,15;up L 20,15 moves=0"},
    {MouseButton::Right, uia::kNoModifier, "down R 20,15;up R 20,15 moves=0"},
    {MouseButton::Middle, uia::kNoModifier, "down M 20,15;up M 20,15 moves=0"},
    {MouseButton::Left, uia::kShift, "down L 20,15 shift;up L 20,15 moves=0"},
    {MouseButton::Right, uia::kCtrl, "down R 20,15 ctrl;up R 20,15 moves=0"},
    {MouseButton::Left, uia::kAlt, "down L 20,15 alt;up L 20,15 moves=0"},
    {MouseButton::Right, uia::kShift | uia::kAlt, "down R 20,15 shift alt;up R 20,15 moves=0"},
    {MouseButton::Left, uia::kShift | uia::kCtrl | uia::kAlt,
     "down L 20,15 shift ctrl alt;up L 20,15 moves=0"},
};

TEST_F(TargetTest, RealClicksCarryTheButtonAndTheModifiers) {
    HWND pad = Ctl(target::kPad.name);
    for (const MouseCase& c : kMouseCases) {
        SCOPED_TRACE(c.expected);
        ClearLog();
        uia::MouseClickAt(pad, POINT{20, 15}, c.button, c.modifiers);
        ExpectLog(c.expected);
    }
    // Alt released after a click must not leave the program in menu mode.
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info));
    EXPECT_EQ(0u, info.flags & (GUI_INMENUMODE | GUI_SYSTEMMENUMODE | GUI_POPUPMENUMODE));
    EXPECT_FALSE(Contains(uia::Text(log), "keymenu"));
    EXPECT_EQ(0, GetAsyncKeyState(VK_MENU) & 0x8000);
    EXPECT_EQ(0, GetAsyncKeyState(VK_SHIFT) & 0x8000);
}

TEST_F(TargetTest, DragPressesMovesAndReleasesWithTheButtonHeld) {
    HWND pad = Ctl(target::kPad.name);
    struct Case {
        MouseButton button;
        unsigned modifiers;
        const char* prefix;
    };
    const Case cases[] = {
        {MouseButton::Left, uia::kNoModifier, "down L 5,5;up L 60,40 moves="},
        {MouseButton::Right, uia::kShift, "down R 5,5 shift;up R 60,40 moves="},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prefix);
        ClearLog();
        uia::MouseDragIn(pad, POINT{5, 5}, POINT{60, 40}, c.button, c.modifiers, 6);
        uia::WaitUntil([&] { return Contains(uia::Text(log), "up "); }, kSettle);
        std::string text = uia::Text(log);
        ASSERT_EQ(0u, text.find(c.prefix)) << text;
        // Each step is one move at least; Wine adds moves of its own as the X pointer
        // follows.
        int moves = std::atoi(text.c_str() + std::string(c.prefix).size());
        EXPECT_GE(moves, 6) << text;
    }
}

TEST_F(TargetTest, SentKeyArrivesOnceWithItsCharacter) {
    uia::SendKey(Ctl(target::kPad.name), VK_ESCAPE, 27);
    ExpectLog("key 27;char 27;keyup 27");
    ClearLog();
    uia::SendKey(Ctl(target::kPad.name), VK_RETURN);
    ExpectLog("key 13;keyup 13");
}

TEST_F(TargetTest, PressedKeyReachesTheFocusedControlTranslated) {
    HWND pad = Ctl(target::kPad.name);
    uia::MouseClickAt(pad, POINT{10, 10});
    ExpectLog("down L 10,10;up L 10,10 moves=0");
    ClearLog();
    uia::PressKey(pad, VK_ESCAPE);
    ExpectLog("key 27;char 27;keyup 27");
    ClearLog();
    uia::PressKey(pad, 'A', uia::kShift);
    ExpectLog("key 65;char 65;keyup 65");
    ClearLog();
    uia::PressKey(pad, 'A');
    ExpectLog("key 65;char 97;keyup 65");
}

TEST_F(TargetTest, ScrollBarMovesAsAUserMovesIt) {
    HWND level = Ctl(target::kLevel.name);
    uia::ScrollTo(level, 40);
    EXPECT_EQ("hscLevel_Scroll 40;hscLevel_Change 40", uia::Text(log));
    EXPECT_EQ(40, uia::Value(level));
    struct Step {
        int code;
        long expected;
    };
    const Step steps[] = {{SB_LINERIGHT, 41}, {SB_PAGERIGHT, 51}, {SB_PAGELEFT, 41},
                          {SB_LINELEFT, 40}};
    for (const Step& s : steps) {
        uia::Scroll(level, s.code);
        EXPECT_EQ(s.expected, uia::Value(level)) << "code " << s.code;
    }
    EXPECT_EQ(40, GetScrollPos(level, SB_CTL));
}

}  // namespace
