// A small dialog in the style of the suite's setting dialogs, built with the forms runtime: labels,
// a shape with a label inside, a picture box holding an icon, a frame of teal and black options, a
// check box, a scroll bar with its value label, and OK / Cancel / Apply. The toolkit tests drive it
// and the demo program shows it for a screenshot.
#ifndef TESTS_TOOLKIT_DEMODIALOG_H
#define TESTS_TOOLKIT_DEMODIALOG_H

#include <string>

#include "tests/toolkit/TestSupport.h"
#include "toolkit/tk.h"

constexpr int kDemoIcon = 1;
constexpr int kDemoOptionCount = 4;

class DemoDialog : public tk::Form {
public:
    DemoDialog() : tk::Form("frmDemo") {
        Caption("Toolkit Demo").ClientSize(6645, 4650).Border(tk::BorderStyle::FixedDialog).Icon(kDemoIcon);

        //         control                     left  top   width height
        Label("lblOemTitle").At(480, 360, 3570, 390).Text("Orvale TouchScreen").WithFont("Times New Roman", 18, true)
            .Fore(RGB(255, 0, 0));
        Label("lblSystem").At(480, 840, 4275, 195).Text("TouchScreen Control Panel Version K520.PS2")
            .WithFont("MS Sans Serif", 8.25, true).Fore(RGB(0, 0, 255));
        tk::Control& iconBox = PictureBox("picIcon").At(5280, 240, 780, 780);
        Image("imgIcon").In(iconBox).At(150, 150, 480, 480).Picture(kDemoIcon);

        Shape("shpSummary").At(480, 1260, 5685, 435);
        Label("lblSummary").At(600, 1380, 5445, 195).Text("Both Touch Down && Lift Off");

        tk::Control& sound = Frame("fraSound").At(480, 1860, 3345, 1815).Text("  Feedback Sound Option  ");
        const char* names[kDemoOptionCount] = {" Silence ( No Sound )", " Touch Down Only", " Lift Off Only",
                                               " Both Touch Down && Lift Off"};
        for (int i = 0; i < kDemoOptionCount; ++i)
            OptionButton("optSound", i + 1).In(sound).At(240, 300 + i * 360, 2880, 255).Text(names[i])
                .Fore(tk::kTeal);

        tk::Control& speed = Frame("fraSpeed").At(3945, 1860, 2220, 1815).Text("  Horizontal Speed  ");
        HScrollBar("hscSpeed").In(speed).At(180, 360, 1860, 255).Range(1, 20, 1, 2);
        Label("lblSpeed").In(speed).At(180, 735, 1860, 195).Align(tk::Alignment::Center);
        CheckBox("chkBoth").In(speed).At(180, 1140, 1860, 255).Text("Set Both").Fore(tk::kTeal);

        CommandButton("cmdOK").At(2400, 3960, 1215, 375).Text("&OK").Default();
        CommandButton("cmdCancel").At(3675, 3960, 1215, 375).Text("&Cancel").Cancel();
        CommandButton("cmdApply").At(4950, 3960, 1215, 375).Text("&Apply").Disabled();

        for (int i = 1; i <= kDemoOptionCount; ++i) Named(*this, "optSound", i).Click = [this, i] { optSound_Click(i); };
        Named(*this, "hscSpeed").Change = [this] { hscSpeed_Change(); };
        Named(*this, "chkBoth").Click = [this] {
            tk::Control& both = Named(*this, "chkBoth");
            both.SetForeColor(both.Value() != 0 ? tk::kBlack : tk::kTeal);
        };
        Named(*this, "cmdCancel").Click = [this] { Unload(); };
        Named(*this, "cmdOK").Click = [this] { Unload(); };
    }

    void Form_Load() override {
        chosen = 0;
        Named(*this, "optSound", 4).SetValue(1);
        Named(*this, "hscSpeed").SetValue(10);
        Named(*this, "chkBoth").SetValue(1);
    }

    int chosen = 0;

private:
    void optSound_Click(int index) {
        if (index == chosen) return;
        if (chosen != 0) Named(*this, "optSound", chosen).SetForeColor(tk::kTeal);
        chosen = index;
        Named(*this, "optSound", index).SetForeColor(tk::kBlack);
        Named(*this, "cmdApply").SetEnabled(index != 4);
    }

    void hscSpeed_Change() {
        Named(*this, "lblSpeed").SetCaption(std::to_string(5 * Named(*this, "hscSpeed").Value()) + "%");
    }
};

#endif
