// What the toolkit tests share: pumping the test process's own windows, and real mouse and key input
// (SendInput) so that the runtime sees what a person's hand would produce.
#ifndef TESTS_TOOLKIT_TESTSUPPORT_H
#define TESTS_TOOLKIT_TESTSUPPORT_H

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/uia/uia.h"
#include "toolkit/tk.h"

// A designed control, by its name as the test knows it; the test fails when the form has none.
inline tk::Control& Named(tk::Form& form, const std::string& name, int index = -1) {
    tk::Control* control = form.Find(name, index);
    if (control == nullptr) throw std::runtime_error(form.Name() + " has no control " + name);
    return *control;
}

// Runs the window events of this process for the given time.
inline void Pump(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) tk::DoEvents();
}

// Runs window events until the condition holds or the time is up; true when it held.
inline bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds = 3000) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= milliseconds) return false;
        tk::DoEvents();
    }
    return true;
}

// A window's centre, or a windowless control's as its form's table gives it.
inline POINT CentreOf(HWND hwnd) { return uia::Centre(uia::ScreenRect(hwnd)); }

inline INPUT KeyInput(WORD key, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

// A mouse event at a screen point. Every event carries its position: under Wine a pointer moved
// just before may be put back where it was by the window system before the button goes down.
inline INPUT MouseInput(DWORD flags, POINT at) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in.mi.dx = static_cast<LONG>((at.x * 65535.0) / (GetSystemMetrics(SM_CXSCREEN) - 1) + 0.5);
    in.mi.dy = static_cast<LONG>((at.y * 65535.0) / (GetSystemMetrics(SM_CYSCREEN) - 1) + 0.5);
    return in;
}

inline void Send(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Pump(100);
}

// Moves the pointer to the window's centre and presses and releases a mouse button there, with the
// given keys held (pressed in order, released in reverse). Each input is its own event, with the
// window events run in between, as a hand would give them.
inline void ClickAt(HWND hwnd, DWORD downFlag, DWORD upFlag, std::vector<WORD> heldKeys = {}) {
    const POINT at = CentreOf(hwnd);
    Send({MouseInput(0, at)});
    for (WORD key : heldKeys) Send({KeyInput(key, false)});
    Send({MouseInput(downFlag, at)});
    Send({MouseInput(upFlag, at)});
    for (auto key = heldKeys.rbegin(); key != heldKeys.rend(); ++key) Send({KeyInput(*key, true)});
}

inline void LeftClick(HWND hwnd) { ClickAt(hwnd, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); }

inline void TypeKey(WORD key) { Send({KeyInput(key, false), KeyInput(key, true)}); }

// Reads a window's automation property the way another process does.
inline ULONG_PTR Prop(HWND hwnd, const char* name) { return reinterpret_cast<ULONG_PTR>(GetPropA(hwnd, name)); }

inline std::string NameProp(HWND hwnd) {
    char text[256] = {};
    const ATOM atom = static_cast<ATOM>(Prop(hwnd, TK_PROP_NAME));
    if (atom == 0 || GlobalGetAtomNameA(atom, text, sizeof text) == 0) return "";
    return text;
}

#endif
