// Message boxes: finding one, reading its caption, text, icon and buttons, answering it.
#include "tests/uia/uia.h"

#include <cstdlib>

#include "tests/uia/uia_internal.h"

namespace uia {

using detail::Describe;
using detail::Fail;
using detail::kSendTimeout;

namespace {

constexpr char kDialogClass[] = "#32770";
constexpr int kTextId = 0xFFFF;
constexpr int kIconId = 0x440;
// The message box's icon comes out of the same system icons as ours, drawn by the same
// code, so opaque pixels match nearly exactly; a little slack covers dithering.
constexpr int kChannelSlack = 8;
constexpr double kMatchShare = 0.9;
constexpr int kMinOpaquePixels = 16;
constexpr DWORD kIconPollInterval = 50;

struct Candidate {
    BoxIcon icon;
    LPCSTR resource;
};
const Candidate kCandidates[] = {
    {BoxIcon::Stop, IDI_HAND},
    {BoxIcon::Question, IDI_QUESTION},
    {BoxIcon::Exclamation, IDI_EXCLAMATION},
    {BoxIcon::Information, IDI_ASTERISK},
};

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        children.push_back(c);
    return children;
}

bool IsMessageBox(HWND w) {
    if (ClassName(w) != kDialogClass) return false;
    for (HWND c : Children(w))
        if ((GetDlgCtrlID(c) & 0xFFFF) == kTextId) return true;
    return false;
}

// The icon drawn here on a black and on a white ground: where both agree, the icon
// is opaque, and those pixels must match the screen whatever the box's ground is.
Image RenderIcon(LPCSTR resource, int width, int height, COLORREF ground) {
    HICON icon = LoadIconA(nullptr, resource);
    Image image;
    image.width = width;
    image.height = height;
    HDC screenDc = GetDC(nullptr);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screenDc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memDc = CreateCompatibleDC(screenDc);
    if (icon && dib && memDc) {
        HGDIOBJ old = SelectObject(memDc, dib);
        RECT all = {0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(ground);
        FillRect(memDc, &all, brush);
        DeleteObject(brush);
        DrawIconEx(memDc, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
        GdiFlush();
        const uint32_t* p = static_cast<const uint32_t*>(bits);
        image.pixels.assign(p, p + size_t(width) * size_t(height));
        for (uint32_t& px : image.pixels) px &= 0xFFFFFF;
        SelectObject(memDc, old);
    }
    if (memDc) DeleteDC(memDc);
    if (dib) DeleteObject(dib);
    ReleaseDC(nullptr, screenDc);
    return image;
}

bool Near(uint32_t a, uint32_t b) {
    for (int shift = 0; shift <= 16; shift += 8) {
        int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        if (std::abs(d) > kChannelSlack) return false;
    }
    return true;
}

// Share of the icon's opaque pixels that the screen shows unchanged.
double MatchShare(const Image& screen, LPCSTR resource) {
    Image onBlack = RenderIcon(resource, screen.width, screen.height, RGB(0, 0, 0));
    Image onWhite = RenderIcon(resource, screen.width, screen.height, RGB(255, 255, 255));
    if (onBlack.pixels.size() != screen.pixels.size() ||
        onWhite.pixels.size() != screen.pixels.size())
        return 0;
    int opaque = 0, matching = 0;
    for (size_t i = 0; i < screen.pixels.size(); ++i) {
        if (onBlack.pixels[i] != onWhite.pixels[i]) continue;
        ++opaque;
        if (Near(onBlack.pixels[i], screen.pixels[i])) ++matching;
    }
    return opaque < kMinOpaquePixels ? 0 : double(matching) / opaque;
}

BoxIcon BestIcon(const Image& screen) {
    BoxIcon best = BoxIcon::Unknown;
    double bestShare = kMatchShare;
    for (const Candidate& c : kCandidates) {
        double share = MatchShare(screen, c.resource);
        if (share >= bestShare) {
            bestShare = share;
            best = c.icon;
        }
    }
    return best;
}

}  // namespace

const char* BoxIconName(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::None: return "none";
    case BoxIcon::Stop: return "stop";
    case BoxIcon::Question: return "question";
    case BoxIcon::Exclamation: return "exclamation";
    case BoxIcon::Information: return "information";
    default: return "unknown";
    }
}

HWND FindMessageBox(DWORD pid) {
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
        if (IsWindowVisible(w) && (!pid || WindowPid(w) == pid) && IsMessageBox(w)) return w;
    return nullptr;
}

HWND WaitForMessageBox(DWORD timeoutMs, DWORD pid) {
    HWND found = nullptr;
    const std::string what = std::string("a message box") + (pid ? " of process " + std::to_string(pid) : "");
    Require([&] { return (found = FindMessageBox(pid)) != nullptr; }, what, timeoutMs);
    // A box is shown before its loop takes messages; Wine counts a thread that has only peeked
    // for a while (a program polling in a wait loop) as hung until then, and refuses requests
    // to it that may not wait for a hung window.
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(found, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result))
        Fail("no answer from " + what + " once shown");
    return found;
}

std::string MessageBoxText(HWND box) {
    for (HWND c : Children(box))
        if ((GetDlgCtrlID(c) & 0xFFFF) == kTextId) return Text(c);
    Fail(Describe(box) + " has no message text");
}

std::string FailureLine(HWND box) {
    const std::string text = MessageBoxText(box);
    const size_t cause = text.rfind("\r\n\r\n");
    const size_t code = text.rfind(" (error ");
    if (cause == std::string::npos || code == std::string::npos || code < cause || text.back() != ')') return text;
    return text.substr(0, cause) + " [error " + text.substr(code + 8, text.size() - code - 9) + "]";
}

BoxIcon MessageBoxIcon(HWND box, DWORD timeoutMs) {
    HWND icon = GetDlgItem(box, kIconId);
    if (!icon || !IsWindowVisible(icon)) return BoxIcon::None;
    // Wine keeps the icon control of a box without icon, shown but holding no icon
    // (and overlapped by the text); the handle is only a number here, but 0 means none.
    DWORD_PTR handle = 0;
    if (!SendMessageTimeoutA(icon, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kSendTimeout, &handle))
        Fail("no answer to STM_GETICON from " + Describe(box));
    if (!handle) return BoxIcon::None;
    BoxIcon found = BoxIcon::Unknown;
    DWORD start = GetTickCount();
    do {
        RECT client = {};
        GetClientRect(icon, &client);
        MapWindowPoints(icon, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
        if (client.right > client.left && client.bottom > client.top)
            found = BestIcon(CaptureRect(client));
        if (found != BoxIcon::Unknown) break;
        Sleep(kIconPollInterval);
    } while (GetTickCount() - start < timeoutMs);
    return found;
}

std::vector<int> MessageBoxButtons(HWND box) {
    std::vector<int> ids;
    for (HWND c : Children(box))
        if (ClassName(c) == "Button" && IsWindowVisible(c)) ids.push_back(GetDlgCtrlID(c));
    return ids;
}

bool HasButton(HWND box, int id) {
    for (int b : MessageBoxButtons(box))
        if (b == id) return true;
    return false;
}

void PressButton(HWND box, int id) {
    HWND button = GetDlgItem(box, id);
    if (!button || !IsWindowVisible(button))
        Fail(Describe(box) + " has no button with id " + std::to_string(id));
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_NORMAL, kSendTimeout, &result))
        Fail("no answer to the click on button " + std::to_string(id) + " of " + Describe(box));
}

void Answer(HWND box, int id, DWORD timeoutMs) {
    PressButton(box, id);
    WaitForWindowGone(box, timeoutMs);
}

}  // namespace uia
