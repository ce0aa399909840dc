// A window of the tour with a cross to tap on: it marks where each click landed (red for the
// left button, blue for the right) and says how far from the cross, so that a picture shows what
// calibration changes. It runs on a thread of its own, so that it answers while the tour waits.
#ifndef TESTS_TOUR_TARGETWINDOW_H
#define TESTS_TOUR_TARGETWINDOW_H

#include <windows.h>

#include <mutex>
#include <thread>
#include <vector>

class TargetWindow {
public:
    enum class Button { Left, Right };
    struct Hit {
        POINT at;  // screen pixels
        Button button;
    };

    // Topmost, hidden until Show: a captioned window a quarter of the screen in from the top left,
    // or, given an area of the screen, a plain one covering it.
    TargetWindow();
    explicit TargetWindow(const RECT& area);
    ~TargetWindow();
    TargetWindow(const TargetWindow&) = delete;
    TargetWindow& operator=(const TargetWindow&) = delete;

    HWND Window() const { return hwnd_; }
    // The cross's centre, in screen pixels.
    POINT Aim() const;
    std::vector<Hit> Hits() const;
    void Clear();
    void Show();
    void Hide();

private:
    TargetWindow(const RECT& area, DWORD style);
    static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    void Run();
    void Paint(HDC dc);
    int Width() const { return area_.right - area_.left; }
    int Height() const { return area_.bottom - area_.top; }

    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<Hit> hits_;
    RECT area_;  // of the client area, in screen pixels
    DWORD style_;
    HWND hwnd_ = nullptr;
    HANDLE ready_ = nullptr;
};

#endif
