#include "common/WindowHelpers.h"

#include <cstring>

#include "common/MachineCalls.h"
#include "common/Numeric.h"
#include "resources/resource.h"

namespace {

tk::Form* gMainWindow = nullptr;
void (*gFailureLog)(const std::string&) = nullptr;
VendorHeader gMainHeader;

// Share of the screen height in which windows are centred: the lower part is left to the task bar
// and to whatever the user keeps there.
constexpr double kUpperScreenShare = 0.85;

// GetWindowWord index of the low word of a window's instance handle.
constexpr int kWindowWordInstance = -6;

constexpr int kCaptionBufferSize = 128;

// The vendor header's fixed part, in twips.
constexpr double kHeaderLeft = 480;
constexpr double kTitleHeight = 390;
constexpr double kVersionTop = 960;
constexpr double kVersionHeight = 195;
constexpr COLORREF kTitleRed = RGB(255, 0, 0);
constexpr COLORREF kVersionBlue = RGB(0, 0, 255);

}  // namespace

void SetMainWindow(tk::Form& form, const VendorHeader& header) {
    gMainWindow = &form;
    gMainHeader = header;
}

VendorHeader DesignVendorHeader(tk::Form& form, const VendorHeaderPlace& place, const std::string& versionCaption) {
    VendorHeader h;
    //                       control             left         top             width               height
    h.oemTitle = &form.Label("lblOemTitle").At(kHeaderLeft, place.titleTop, place.titleWidth, kTitleHeight)
                      .Text("Vender").WithFont("Times New Roman", 18, true).Fore(kTitleRed);
    h.system = &form.Label("lblSystem").At(kHeaderLeft, kVersionTop, place.versionWidth, kVersionHeight)
                    .Text(versionCaption).WithFont("MS Sans Serif", 8.25, true).Fore(kVersionBlue);
    if (place.versionSizedToText) h.system->AutoSize();
    h.iconBox = &form.PictureBox("picIcon").At(5280, 360, 780, 780);
    h.icon = &form.Image("imgIcon").In(*h.iconBox).At(150, 150, 480, 480).Picture(IDI_PROGRAM);
    return h;
}

tk::Form& MainWindow() { return *gMainWindow; }

int ShowErrorBox(const std::string& text, const std::string& title, FailureBox look, DWORD cause) {
    const std::string told = cause == ERROR_SUCCESS ? text : text + "\r\n\r\n" + tk::ErrorText(cause);
    if (gFailureLog != nullptr) gFailureLog(told);
    unsigned style = MB_OK;
    switch (look) {
    case FailureBox::Stop:
        MessageBeep(MB_OK);
        style = kErrorBoxStyle;
        break;
    case FailureBox::Plain:
        break;
    case FailureBox::Exclamation:
        style = MB_OK | MB_ICONEXCLAMATION;
        break;
    case FailureBox::SystemExclamation:
        style = MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL;
        break;
    }
    return tk::MsgBox(told, style, title);
}

void LogFailuresWith(void (*log)(const std::string& text)) { gFailureLog = log; }

int AskYesNo(const std::string& text, unsigned extraStyle, const std::string& title) {
    return tk::MsgBox(text, extraStyle + kAskYesNoStyle, title);
}

FormPlacement CenterPlacement(double screenWidth, double screenHeight, double formWidth, double formHeight) {
    const long a = RoundHalfEven(screenHeight * kUpperScreenShare);
    const long b = RoundHalfEven(formHeight);
    const long c = RoundHalfEven(screenWidth);
    const long d = RoundHalfEven(formWidth);
    return FormPlacement{c / 2 - d / 2, a / 2 - b / 2};
}

void CenterForm(tk::Form& form) {
    const FormPlacement p = CenterPlacement(tk::ScreenWidth(), tk::ScreenHeight(), form.Width(), form.Height());
    form.Move(static_cast<double>(p.left), static_cast<double>(p.top));
}

void CenterIcon(const VendorHeader& header) {
    tk::Control& box = *header.iconBox;
    tk::Control& icon = *header.icon;
    icon.SetTop((box.ScaleHeight() - icon.Height()) / 2);
    icon.SetLeft((box.ScaleWidth() - icon.Width()) / 2);
}

void CopyMainHeader(const VendorHeader& header) {
    header.oemTitle->SetCaption(gMainHeader.oemTitle->Caption());
    header.system->SetCaption(gMainHeader.system->Caption());
}

void PrepareDialog(tk::Form& dialog, const VendorHeader& header) {
    CopyMainHeader(header);
    dialog.SetCaption(MainWindow().GetCaption());
    CenterForm(dialog);
    CenterIcon(header);
}

void ReturnToMainWindow() {
    tk::Form& main = MainWindow();
    main.Show();
    HWND hwnd = main.hWnd();
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
}

bool FileExists(const std::string& path) {
    if (path.empty()) return false;
    HANDLE file = Machine->createFile(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    Machine->closeHandle(file);
    return true;
}

void HideMouseCursor() {
    while (ShowCursor(FALSE) >= 0) {
    }
}

void ShowMouseCursor() {
    while (ShowCursor(TRUE) < 0) {
    }
}

HWND FindRunningInstance(HWND ownWindow, const std::string& caption) {
    for (HWND w = FindWindowA(nullptr, nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == ownWindow) continue;
        // On 64-bit builds GetWindowWord(-6) fails and yields 0, so every top-level window passes this
        // test there and the caption alone decides.
        if (GetParent(w) != nullptr || GetWindowWord(w, kWindowWordInstance) != 0) continue;
        char text[kCaptionBufferSize] = {};
        GetWindowTextA(w, text, kCaptionBufferSize);
        if (GetWindowTextLengthA(w) > 0 && caption == text) return w;
    }
    return nullptr;
}
