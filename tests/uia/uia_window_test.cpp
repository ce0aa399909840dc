// Finding windows, forms and controls, and reading what they expose.
#include <vector>

#include "tests/uia/uia_test_target.h"

namespace {

std::string WithoutLeadingBlank() { return std::string(target::kCaption).substr(1); }

TEST_F(TargetTest, TopWindowsMatchTheExactCaptionBlanksIncluded) {
    EXPECT_EQ(form, uia::FindTopWindow(target::kCaption));
    EXPECT_EQ(form, uia::FindTopWindow(target::kCaption, program.Pid()));
    EXPECT_EQ(form, uia::WaitForWindow(target::kCaption, 1000, program.Pid()));
    EXPECT_EQ(nullptr, uia::FindTopWindow(WithoutLeadingBlank()));
    EXPECT_EQ(nullptr, uia::FindTopWindow(std::string(target::kCaption) + " "));
    EXPECT_EQ(nullptr, uia::FindTopWindow(target::kCaption, GetCurrentProcessId()));
}

TEST_F(TargetTest, WaitTimeoutSaysWhatWasAwaited) {
    DWORD start = GetTickCount();
    try {
        uia::WaitForWindow(WithoutLeadingBlank(), 300);
        FAIL() << "found a window that does not exist";
    } catch (const uia::Error& e) {
        EXPECT_TRUE(Contains(e.what(), "\"" + WithoutLeadingBlank() + "\"")) << e.what();
        EXPECT_TRUE(Contains(e.what(), "300 ms")) << e.what();
    }
    DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 300u);

    try {
        uia::WaitForForm("frmNowhere", 100, program.Pid());
        FAIL() << "found a form that does not exist";
    } catch (const uia::Error& e) {
        EXPECT_TRUE(Contains(e.what(), "frmNowhere")) << e.what();
        EXPECT_TRUE(Contains(e.what(), std::to_string(program.Pid()))) << e.what();
    }
}

TEST_F(TargetTest, ClosedProgramsWindowIsGoneAndItsExitCodeRead) {
    PostMessageA(form, WM_CLOSE, 0, 0);
    uia::WaitForWindowGone(form);
    uia::WaitForNoWindow(target::kCaption);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(DWORD(target::kExitCode), program.ExitCode());
}

TEST_F(TargetTest, HiddenFormsAreFoundOnlyWhenAskedFor) {
    EXPECT_EQ(form, uia::FindForm(target::kFormName, program.Pid()));
    EXPECT_EQ(nullptr, uia::FindForm("frmOther", program.Pid()));
    ShowWindow(form, SW_HIDE);
    uia::WaitForWindowGone(form);
    EXPECT_TRUE(IsWindow(form));
    EXPECT_EQ(nullptr, uia::FindForm(target::kFormName, program.Pid()));
    EXPECT_EQ(nullptr, uia::FindTopWindow(target::kCaption, program.Pid()));
    EXPECT_EQ(form, uia::FindForm(target::kFormName, program.Pid(), uia::Visibility::Any));
    EXPECT_EQ(form, uia::FindTopWindow(target::kCaption, program.Pid(), uia::Visibility::Any));
}

TEST_F(TargetTest, ControlsAreFoundByNameAtAnyDepth) {
    for (const target::Placement* p : {&target::kOk, &target::kGroup, &target::kInner,
                                       &target::kChoice1, &target::kChoice2, &target::kFlag,
                                       &target::kLevel, &target::kPad, &target::kLog}) {
        SCOPED_TRACE(p->name);
        HWND c = uia::FindControl(form, p->name);
        ASSERT_NE(nullptr, c);
        EXPECT_EQ(0, lstrcmpiA(p->name, uia::Name(c).c_str())) << uia::Name(c);
        EXPECT_EQ(form, uia::FormOf(c));
    }
    HWND inner = Ctl(target::kInner.name);
    EXPECT_EQ(inner, GetParent(Ctl(target::kChoice2.name)));
    EXPECT_EQ(Ctl(target::kGroup.name), GetParent(inner));
    EXPECT_NE(nullptr, uia::FindControl(form, "cmdBox(5)"));

    // Array members only match with their index; case cannot tell atoms apart.
    for (const char* absent : {"optChoice", "optChoice(3)", "optChoice(1) ", "cmdOk ", "frmTarget"})
        EXPECT_EQ(nullptr, uia::FindControl(form, absent)) << absent;
    EXPECT_EQ(Ctl(target::kOk.name), uia::FindControl(form, "CMDOK"));
    EXPECT_EQ(form, uia::FindForm("FRMTARGET", program.Pid()));
    try {
        uia::Control(form, "cmdMissing");
        FAIL() << "found a control that does not exist";
    } catch (const uia::Error& e) {
        EXPECT_TRUE(Contains(e.what(), "cmdMissing")) << e.what();
    }
}

struct ControlState {
    const char* name;
    const char* caption;
    int kind;
    bool visible;
    bool enabled;
};

const ControlState kStates[] = {
    {"cmdOk", "&OK", TK_KIND_COMMAND_BUTTON, true, true},
    {"cmdDisabled", "&Disabled", TK_KIND_COMMAND_BUTTON, true, false},
    {"cmdHidden", "&Hidden", TK_KIND_COMMAND_BUTTON, false, true},
    {"cmdBox(3)", "Box &3", TK_KIND_COMMAND_BUTTON, true, true},
    {"fraGroup", "Group", TK_KIND_FRAME, true, true},
    {"picInner", "", TK_KIND_PICTURE_BOX, true, true},
    {"optChoice(2)", "Choice &2", TK_KIND_OPTION_BUTTON, true, true},
    {"chkFlag", "&Flag", TK_KIND_CHECK_BOX, true, true},
    {"hscLevel", "", TK_KIND_HSCROLLBAR, true, true},
    {"lblLog", "", TK_KIND_LABEL, true, true},
};

TEST_F(TargetTest, CaptionsKindsAndStatesAreRead) {
    EXPECT_EQ(target::kCaption, uia::Text(form));
    EXPECT_EQ(TK_KIND_FORM, uia::Kind(form));
    EXPECT_EQ(TK_FORM_CLASS, uia::ClassName(form));
    for (const ControlState& s : kStates) {
        SCOPED_TRACE(s.name);
        HWND c = Ctl(s.name);
        EXPECT_EQ(s.caption, uia::Text(c));
        EXPECT_EQ(s.kind, uia::Kind(c));
        EXPECT_EQ(s.visible, uia::Visible(c));
        EXPECT_EQ(s.enabled, uia::Enabled(c));
    }
}

TEST_F(TargetTest, ValuesColoursStylesAndPointerAreRead) {
    EXPECT_EQ(1, uia::Value(Ctl("optChoice(1)")));
    EXPECT_EQ(0, uia::Value(Ctl("optChoice(2)")));
    EXPECT_EQ(0, uia::Value(Ctl(target::kFlag.name)));
    EXPECT_EQ(target::kLevelStart, uia::Value(Ctl(target::kLevel.name)));
    EXPECT_FALSE(uia::HasValue(Ctl(target::kOk.name)));
    EXPECT_THROW(uia::Value(Ctl(target::kOk.name)), uia::Error);

    EXPECT_EQ(target::kSelected, uia::ForeColor(Ctl("optChoice(1)")));
    EXPECT_EQ(target::kUnselected, uia::ForeColor(Ctl("optChoice(2)")));
    EXPECT_EQ(target::kLogFore, uia::ForeColor(log));
    EXPECT_EQ(target::kLogBack, uia::BackColor(log));
    EXPECT_EQ(target::kFormBack, uia::BackColor(form));
    EXPECT_THROW(uia::ForeColor(Ctl(target::kOk.name)), uia::Error);

    EXPECT_EQ(unsigned(TK_STYLE_DEFAULT), uia::StyleFlags(Ctl(target::kOk.name)));
    EXPECT_EQ(unsigned(TK_STYLE_OPAQUE | TK_STYLE_BORDER), uia::StyleFlags(log));
    EXPECT_EQ(0u, uia::StyleFlags(Ctl(target::kBusy.name)));
    EXPECT_EQ(target::kPictureDrawWidth, uia::DrawWidth(Ctl(target::kInner.name)));

    EXPECT_EQ(0, uia::MousePointer(form));
    uia::Click(Ctl(target::kBusy.name));
    EXPECT_EQ(11, uia::MousePointer(form));
    EXPECT_THROW(uia::MousePointer(Ctl(target::kOk.name)), uia::Error);
}

TEST_F(TargetTest, RectanglesAreInFormAndScreenPixels) {
    struct Case {
        const char* name;
        int x, y, width, height;
    };
    const Case cases[] = {
        {target::kOk.name, target::kOk.x, target::kOk.y, target::kOk.width, target::kOk.height},
        {target::kChoice2.name, target::kGroup.x + target::kInner.x + target::kChoice2.x,
         target::kGroup.y + target::kInner.y + target::kChoice2.y, target::kChoice2.width,
         target::kChoice2.height},
    };
    POINT origin = {0, 0};
    ClientToScreen(form, &origin);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RECT inForm = uia::RectInForm(Ctl(c.name));
        EXPECT_EQ(c.x, inForm.left);
        EXPECT_EQ(c.y, inForm.top);
        EXPECT_EQ(c.x + c.width, inForm.right);
        EXPECT_EQ(c.y + c.height, inForm.bottom);
        RECT onScreen = uia::ScreenRect(Ctl(c.name));
        EXPECT_EQ(origin.x + c.x, onScreen.left);
        EXPECT_EQ(origin.y + c.y, onScreen.top);
        EXPECT_EQ(c.width, onScreen.right - onScreen.left);
    }
}

TEST(StandInWindowTest, AnswersCommandsOnItsOwnThreadAndKeepsThem) {
    HWND gone = nullptr;
    {
        uia::StandInWindow standIn("stand-in");
        gone = standIn.Window();
        ASSERT_NE(nullptr, gone);
        EXPECT_FALSE(uia::Visible(gone));
        EXPECT_EQ("", uia::Name(gone));
        // This thread does not pump: only the stand-in's own thread can answer.
        for (WPARAM command : {WPARAM(3), WPARAM(1)}) {
            DWORD_PTR result = 1;
            EXPECT_TRUE(SendMessageTimeoutA(gone, WM_USER, command, 0, SMTO_NORMAL, 2000, &result));
            EXPECT_EQ(0u, result);
        }
        EXPECT_EQ((std::vector<WPARAM>{3, 1}), standIn.Commands());
    }
    EXPECT_FALSE(IsWindow(gone));
}

TEST(StandInWindowTest, DressedAsAFormItIsFoundAsOneOfThisProcess) {
    for (int round = 0; round < 2; ++round) {  // the second finds the class registered
        SCOPED_TRACE(round);
        uia::StandInWindow lookAlike(" Look-alike", "frmLookAlike");
        HWND w = lookAlike.Window();
        EXPECT_EQ(TK_FORM_CLASS, uia::ClassName(w));
        EXPECT_EQ(" Look-alike", uia::Text(w));
        EXPECT_EQ(w, uia::FindForm("frmLookAlike", GetCurrentProcessId(), uia::Visibility::Any));
        EXPECT_TRUE(lookAlike.Commands().empty());
    }
    EXPECT_EQ(nullptr, uia::FindForm("frmLookAlike", GetCurrentProcessId(), uia::Visibility::Any));
}

}  // namespace
