// Windows of the test process that stand in for a program of the suite.
#include "tests/uia/uia.h"

#include "tests/uia/uia_internal.h"

namespace uia {

namespace {

constexpr char kStandInClass[] = "QRUiaStandInWindow";

}  // namespace

StandInWindow::StandInWindow(const std::string& caption, const std::string& formName)
    : caption_(caption), formName_(formName) {
    thread_ = std::thread([this] { Run(); });
    std::unique_lock<std::mutex> lock(mutex_);
    ready_.wait(lock, [this] { return started_; });
    if (hwnd_ == nullptr) {
        lock.unlock();
        thread_.join();
        detail::Fail("cannot create the stand-in window " + detail::Quote(caption));
    }
}

StandInWindow::~StandInWindow() {
    PostMessageA(hwnd_, WM_CLOSE, 0, 0);
    thread_.join();
    if (atom_ != 0) GlobalDeleteAtom(atom_);
}

std::vector<WPARAM> StandInWindow::Commands() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return commands_;
}

LRESULT CALLBACK StandInWindow::Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<StandInWindow*>(GetWindowLongPtrA(w, GWLP_USERDATA));
    if (self != nullptr && msg == WM_USER) {
        std::lock_guard<std::mutex> lock(self->mutex_);
        self->commands_.push_back(wp);
        return 0;
    }
    if (msg == WM_DESTROY) {
        RemovePropA(w, TK_PROP_NAME);
        PostQuitMessage(0);
    }
    return DefWindowProcA(w, msg, wp, lp);
}

void StandInWindow::Run() {
    const bool dressed = !formName_.empty();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = dressed ? TK_FORM_CLASS : kStandInClass;
    RegisterClassA(&wc);  // fails harmlessly when an earlier stand-in registered it
    HWND w = CreateWindowA(wc.lpszClassName, caption_.c_str(), dressed ? WS_OVERLAPPED : WS_POPUP, 0, 0, 50, 50,
                           nullptr, nullptr, wc.hInstance, nullptr);
    if (w != nullptr) {
        SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        if (dressed) {
            atom_ = GlobalAddAtomA(formName_.c_str());
            SetPropA(w, TK_PROP_NAME, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(atom_)));
        }
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        hwnd_ = w;
        started_ = true;
    }
    ready_.notify_all();
    if (w == nullptr) return;
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
}

}  // namespace uia
