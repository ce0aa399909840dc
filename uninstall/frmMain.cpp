#include "uninstall/frmMain.h"

#include <algorithm>

#include "common/Numeric.h"
#include "common/SuiteNames.h"
#include "common/MachineCalls.h"
#include "common/WindowHelpers.h"
#include "common/basOEM.h"
#include "resources/resource.h"
#include "uninstall/basMain.h"

FrmMain frmMain;

namespace {

constexpr char kProductText[] = "TouchScreen V." QR_VERSION_LABEL;
constexpr char kRecordFailureText[] = "Fail to load data from Register File!";

// The etched rule: a shadow line with a highlight line one step below it, reaching a little
// further on each side.
constexpr double kRuleOverhang = 50;
constexpr double kHighlightOffset = 20;
constexpr double kHighlightOverhang = 5;

}  // namespace

FrmMain::FrmMain() : tk::Form("frmMain") {
    Caption("Uninstall").ClientSize(6645, 3690).Border(tk::BorderStyle::FixedDialog).Icon(IDI_PROGRAM);

    //                        title top  width  version width  sized to text
    header = DesignVendorHeader(*this, {480, 4575, 4575, true}, "TouchScreen Software Removal Version ");

    //                      control             left   top  width height
    shpRemoval = &Shape("shpRemoval")        .At(480, 1440, 5685, 1140);
    Image("imgRemoval")                      .At(720, 1590, 480, 480).Picture(IDI_REMOVAL);
    Label("lblText")                         .At(1440, 1590, 4500, 390)
        .Text("If Removal is complete, TouchScreen will not work next time when you start Windows!");
    lblAsk = &Label("lblAsk")                .At(1440, 2070, 4500, 390).Text("Are you sure?");
    cmdYes = &CommandButton("cmdYes")        .At(1800, 2955, 1215, 375).Text("&Yes").OnClick([this] { cmdYes_Click(); });
    cmdNo = &CommandButton("cmdNo")          .At(3630, 2955, 1215, 375).Text("&No").Cancel().OnClick([this] { cmdNo_Click(); });
    TabOrder({cmdYes, cmdNo});
}

RemovalLayout LayOutRemoval(const RemovalMeasures& m) {
    RemovalLayout l = {};
    const long wanted = RoundHalfEven(2 * m.yesWidth + m.captionWidth);
    l.formWidth = wanted > m.formWidth ? wanted : m.formWidth;
    const double inner = l.formWidth - m.frameWidth;
    l.shapeLeft = RoundHalfEven(inner - m.shapeWidth) / 2;
    l.yesLeft = RoundHalfEven(inner - 1.5 * m.yesWidth - m.noWidth) / 2;
    l.noLeft = l.yesLeft + 1.5 * m.yesWidth;
    l.ruleX = RoundHalfEven(l.shapeLeft - kRuleOverhang);
    l.ruleY = RoundHalfEven(m.yesTop - RoundHalfEven(m.noHeight) / 2);
    l.ruleLength = RoundHalfEven(m.shapeWidth + 2 * kRuleOverhang);
    return l;
}

void FrmMain::Form_Load() {
    SetMainWindow(*this, header);
    SetCaption(kUninstallerTitle);
    header.system->SetCaption(header.system->Caption() + kVersionLabel);

    SetMousePointer(tk::vbHourglass);
    const Outcome recordLoaded = LoadInstallationRecord();
    SetMousePointer(tk::vbDefault);
    if (!recordLoaded) {
        ShowErrorBox(kRecordFailureText, GetCaption(), FailureBox::Plain, recordLoaded.Error());
        tk::End(kRemovalNoRecord);
    }

    header.oemTitle->SetCaption(VenderName);
    lblAsk->SetCaption(std::string("Are you sure you want to completely remove ") + kProductText +
                       " and all of its components?");

    tk::Control& shape = *shpRemoval;
    tk::Control& yes = *cmdYes;
    tk::Control& no = *cmdNo;
    const RemovalLayout l = LayOutRemoval({Width(), Width() - ScaleWidth(), TextWidth(GetCaption()), yes.Width(),
                                           no.Width(), yes.Top(), no.Height(), shape.Width()});
    if (l.formWidth > Width()) SetWidth(l.formWidth);
    shape.SetLeft(l.shapeLeft);
    yes.SetLeft(l.yesLeft);
    no.SetLeft(l.noLeft);
    const double x = l.ruleX, y = l.ruleY, length = l.ruleLength;
    Line(x, y, x + length, y, GetSysColor(COLOR_BTNSHADOW));
    Line(x + length + kHighlightOverhang, y + kHighlightOffset, x - kHighlightOverhang, y + kHighlightOffset,
         GetSysColor(COLOR_BTNHIGHLIGHT));
    CenterForm(*this);
    CenterIcon(header);
}

void FrmMain::cmdYes_Click() {
    Hide();
    RemoveSoftware();
}

void FrmMain::cmdNo_Click() {
    Unload();
    tk::End();
}
