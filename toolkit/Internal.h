// What the parts of the runtime share behind tk.h: the state of forms and controls, the window
// classes, and the helpers that several files call.
//
// A control keeps two sets of properties: its design (written by the builder calls, in twips) and its
// run-time state (in its container's scale units). The state starts as the design, follows every
// property change, and goes back to the design when the form unloads, so that a form loaded again
// opens as designed.
#ifndef TOOLKIT_INTERNAL_H
#define TOOLKIT_INTERNAL_H

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "toolkit/tk.h"

namespace tk {

// Window class of picture boxes (the form's class is TK_FORM_CLASS).
constexpr const char* kPictureClass = "TkPicture";

// Posted to a form that has become the application's active form; raises Form_Activate.
constexpr UINT kMsgActivate = WM_APP + 0x100;

// Window identifiers of controls start here, clear of IDOK / IDCANCEL.
constexpr int kFirstControlId = 1000;

// Default colours of a new control or form.
COLORREF ButtonFace();
constexpr COLORREF kDefaultFore = RGB(0, 0, 0);

struct ControlProps {
    double left = 0, top = 0, width = 0, height = 0;  // design: twips; state: container units
    std::string caption;
    Font font;
    COLORREF fore = kDefaultFore;
    COLORREF back = 0;
    bool backSet = false;  // otherwise the back colour follows the container's
    bool visible = true;
    bool enabled = true;
    Alignment alignment = Alignment::Left;
    bool border = false;
    bool opaque = true;
    bool autoSize = false;
    bool isDefault = false;
    bool isCancel = false;
    int iconId = 0;
    int iconSize = 0;
    int value = 0;
    int min = 0;
    int max = 32767;
    int smallChange = 1;
    int largeChange = 1;
    ScaleMode scale = ScaleMode::Twips;
    int drawWidth = 1;
    tk::Align dock = tk::Align::None;
};

// Where a mouse message happened: in the control's pixels, in the units its events report, and the
// shift state with it.
struct MousePoint {
    POINT pixel;
    double x;
    double y;
    int shift;
};

struct Control::Impl {
    Control& self;
    ControlProps design;
    ControlProps state;
    bool stateValid = false;

    WNDPROC baseProc = nullptr;  // the class procedure of a subclassed standard control
    int slot = -1;               // labels, shapes, images: the record in the form's table while loaded
    RECT painted = {};           // labels, shapes, images: where the container last showed it
    ATOM nameAtom = 0;
    HICON icon = nullptr;
    bool inButtonClick = false;  // BM_CLICK in progress: its synthetic mouse messages are no mouse events
    int buttonsDown = 0;         // mouse buttons pressed on the control and not yet released
    bool doubleClicked = false;  // the left button is down for the second time of a double click
    bool resizeRaised = false;

    // Picture boxes: the drawing, kept in a memory bitmap the size of the client area.
    HDC memDC = nullptr;
    HBITMAP memBitmap = nullptr;
    HGDIOBJ memOldBitmap = nullptr;
    int memWidth = 0;
    int memHeight = 0;
    HBITMAP picture = nullptr;  // loaded with LoadPicture; the drawing's background
    double currentX = 0;        // current drawing position, pixels
    double currentY = 0;

    explicit Impl(Control& c) : self(c) {}

    // State of the control, valid from the first access on.
    ControlProps& S();
    void ResetToDesign();

    bool IsContainer() const;
    bool PixelUnits() const;          // true when this picture box measures in pixels
    double UnitsPerPixelX() const;    // of this control's own scale
    double UnitsPerPixelY() const;
    HWND ContainerWindow() const;     // window of the container (form, frame or picture box)
    double ContainerUnitsPerPixelX() const;
    double ContainerUnitsPerPixelY() const;
    COLORREF EffectiveBack() const;
    RECT PixelRect() const;           // in the container's client pixels

    // Windows.
    int WindowId() const;
    void CreateWindowTree();
    void DestroyResources();
    void ApplyPlacement();
    void ApplyAutoSize();
    void ApplyFont();
    HFONT FontHandle() const;
    void Repaint();
    bool Made() const { return self.hwnd_ != nullptr || slot >= 0; }

    // Labels, shapes and images: painted by their container, published in the form's table.
    void PaintWindowless(HDC dc);
    void PublishRecord();

    // Automation properties.
    void PublishAll();
    void PublishColours();
    void PublishValue();
    void PublishStyle();
    void PublishDrawWidth();

    // Events and notifications.
    void OnCommand(int code);
    void OnScroll(int request, int position);
    LRESULT OnCtlColor(HDC dc, UINT message, HWND container);
    void RaiseClick();
    void UserClick();
    void SetValueFromUser(int v);
    bool HandleMouse(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool OwnsClicks() const;  // raises Click itself, where the window class does not
    void MouseButtonDown(HWND hwnd, int button, bool isDouble, const MousePoint& at);
    void MouseButtonUp(HWND hwnd, int button, const MousePoint& at);
    bool HandleChar(WPARAM& wParam);
    void PaintLabel(HDC dc, RECT r);
    bool IsTabStop() const;

    // Picture boxes.
    void CreateMemorySurface(int width, int height);
    void RenderBase();
    void InvalidateDrawn(int x1, int y1, int x2, int y2);
    void DrawSegment(int ax, int ay, int bx, int by, COLORREF c);
    int ToPixelX(double x) const;
    int ToPixelY(double y) const;
};

struct FormProps {
    std::string caption;
    double clientWidth = 4680;   // twips
    double clientHeight = 3195;
    BorderStyle border = BorderStyle::Sizable;
    WindowState windowState = WindowState::Normal;
    COLORREF back = 0;
    bool backSet = false;
    int iconId = 0;
    bool keyPreview = false;
    int pointer = vbDefault;
    bool placed = false;  // left / top given; otherwise the form opens centred
    double left = 0;
    double top = 0;
};

struct Form::Impl {
    Form& self;
    FormProps design;
    FormProps state;
    bool stateValid = false;
    std::vector<Control*> tabOrder;
    ATOM nameAtom = 0;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    bool ready = false;      // Form_Load has run: size changes raise Resize
    bool resized = false;    // the first Resize after loading has been raised
    bool placing = false;    // loading: the window's size and place wait for Form_Load's end
    bool unloading = false;
    HWND lastFocus = nullptr;
    struct DrawnLine {
        double x1, y1, x2, y2;
        COLORREF colour;
    };
    std::vector<DrawnLine> lines;  // twips
    HANDLE tableMapping = nullptr;     // the windowless controls' table, for tools
    TkWindowlessTable* table = nullptr;
    int windowlessCount = 0;
    Control* mouseOwner = nullptr;     // a windowless control that holds the mouse from a press to its release
    Control* lastPressed = nullptr;    // the windowless control of the last press, for double clicks

    explicit Impl(Form& f) : self(f) {}

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    // State of the form, valid from the first access on.
    FormProps& S();
    COLORREF EffectiveBack() const {
        const FormProps& s = const_cast<Impl*>(this)->S();
        return s.backSet ? s.back : ButtonFace();
    }
    DWORD Style() const;
    DWORD ExStyle() const;
    bool FullScreen() const;  // borderless and maximized: the whole screen
    SIZE OuterSize() const;   // window size in pixels that the state asks for
    Control* ControlByHwnd(HWND hwnd) const;
    Control* DefaultButton() const;
    Control* CancelButton() const;
    std::vector<Control*> TabSequence() const;
    void MoveFocus(bool backwards);
    void FocusFirst();
    void DockLayout();
    void RaiseFirstResize();
    void PublishPointer();
    void UpdateCursor();
    void Destroyed();
    void ForgetIcons();
    bool HandleNavigationKey(const MSG& msg);
    void StepOptionGroup(Control& focus, bool backwards);
    void PaintLines(HDC dc) const;
    void CreateControls();
    void CreateWindows(const Control* container);  // those of a container (nullptr: the form)
    void ApplyPendingPlacement();
    void OpenTable();
    void CloseTable();
    // Paints the windowless controls of a container (nullptr: the form) that meet area: shapes
    // beneath, then labels and images in the order of the design.
    void PaintWindowless(HDC dc, const Control* container, const RECT& area);
    // Alt and the marked letter of a label's caption: the focus goes to the first control designed
    // after the label that takes it, as the dialog manager does for a static control.
    bool LabelAccessKey(WPARAM key);
    // The label or image that takes the mouse at a point of its container (nullptr: the form).
    Control* WindowlessAt(const Control* container, POINT at) const;
    // Hands a mouse message of a container's window to the windowless control under it, or to the
    // one that holds the mouse; false when none takes it.
    bool RouteMouse(HWND window, Control* container, UINT message, WPARAM wParam, LPARAM lParam);
};

// A GDI pen for one drawing call.
class Pen {
public:
    Pen(HDC dc, int width, COLORREF colour) : dc_(dc), pen_(CreatePen(PS_SOLID, width, colour)) {
        old_ = SelectObject(dc_, pen_);
    }
    ~Pen() {
        SelectObject(dc_, old_);
        DeleteObject(pen_);
    }
    Pen(const Pen&) = delete;
    Pen& operator=(const Pen&) = delete;

private:
    HDC dc_;
    HPEN pen_;
    HGDIOBJ old_;
};

// Window classes, registered once.
void RegisterClasses();
HINSTANCE Instance();

// The form whose window (or one of whose controls) hwnd is, or nullptr.
Form* FormOfWindow(HWND hwnd);
// The form that is the application's active form (nullptr when none of ours is).
Form* ActiveForm();
void SetActiveForm(Form* form);
// Loaded forms, in the order they were loaded.
std::vector<Form*>& LoadedForms();

// Shared GDI objects: fonts per (face, size, bold) and solid brushes per colour, created once.
HFONT SharedFont(const Font& font);
HBRUSH SharedBrush(COLORREF colour);

// Automation: a numeric window property.
void SetNumberProperty(HWND hwnd, const char* name, ULONG_PTR value);

// Messages that containers (form, frame, picture box) hand to the child control they concern.
bool ReflectToChild(Form& form, HWND container, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// Mouse pointer that applies to a form's windows now (the screen-wide one wins), or vbDefault.
int PointerFor(const Form& form);
bool ApplyPointerCursor(int pointer);

// The process-wide marker that PrevInstance looks for.
void EnsureInstanceMarker();

// Shift state (1 Shift, 2 Ctrl, 4 Alt) of a mouse message with the given key flags.
int MouseShiftState(WPARAM keys);

// Whether a control of this kind shows the caption.
bool HasCaption(TkKind kind);

// The procedure of the standard controls (buttons, frames, scroll bars), which the runtime
// subclasses to raise their events.
LRESULT CALLBACK StandardControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Calls an event handler when one is bound. A handler may replace itself while it runs; the copy
// keeps the running one alive.
template <typename Handler, typename... Args>
void Raise(const Handler& handler, Args&&... args) {
    Handler copy = handler;
    if (copy) copy(std::forward<Args>(args)...);
}

}  // namespace tk

#endif
