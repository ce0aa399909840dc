// A small forms runtime over USER32 and GDI32.
//
// A form is a class derived from tk::Form. Its constructor describes the design
// (controls, captions, positions in twips, fonts, colours) with the builder calls
// below, in the order of a dialog template, one row a control. Labels, shapes and images
// have no window: their container paints them, shapes beneath, and the mouse on them
// raises their events. The row binds the
// control's handlers, which are member functions named control_Event (cmdApply_Click,
// hscMouseHSpeed_Change, Form_Load), and hands back the control, which the form keeps
// when its code uses it later: no control is looked up by its name. Windows are created
// when the form loads (Load() or the first Show()).
//
// Units: a form measures in twips. A picture box measures its children in twips too,
// unless SetScaleMode(ScaleMode::Pixels) was called; the design is always written in
// twips and converted once, by TwipsToPixels / PixelsToTwips.
//
// Events raised from code: setting a scroll bar's value raises Change, setting a
// check box's or option button's value raises Click, exactly as a user change would,
// and only when the value really changes. A user click on an option button that is
// already selected raises Click as well. The options of one container (form, frame or
// picture box) exclude each other: selecting one clears the others, and an option that
// is cleared, by code or by the selection of another, raises nothing.
//
// Life of a form: Load raises Form_Initialize, creates the windows and raises Form_Load;
// the first Show after it raises Resize (docked picture boxes, then the form) and, once
// the form is active, Form_Activate. Activate is raised when a form becomes the
// application's active form after another form of the program or none, not when it is
// active again after a message box closes. Unload raises Form_Unload, destroys the
// windows and puts every property back to the design, so a form loaded again opens as
// designed. Properties set while a form is not loaded are kept and take effect when it
// loads; only Load, Show and hWnd() load a form.
//
// Keyboard: Tab and Shift+Tab follow the tab order; Enter presses the focused command
// button or else the default button; Esc presses the cancel button (without one, Esc
// reaches the control as a key press); arrows move through an option group; Alt and
// the marked letter of a caption press that control.
#ifndef TOOLKIT_TK_H
#define TOOLKIT_TK_H

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/automation.h"

namespace tk {

// Colours the suite uses by name.
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kTeal = RGB(0, 128, 128);

// Mouse pointers (the runtime's numbering).
enum MousePointer { vbDefault = 0, vbArrow = 1, vbHourglass = 11 };
// Mouse buttons and shift state as passed to MouseDown / MouseMove / MouseUp.
enum MouseButton { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };
enum ShiftState { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };

enum class BorderStyle { None, FixedSingle, Sizable, FixedDialog };
enum class WindowState { Normal, Minimized, Maximized };
enum class ScaleMode { Twips, Pixels };
enum class Alignment { Left, Right, Center };
enum class Align { None, Top, Bottom };  // picture boxes docked to an edge of the form

struct Font {
    std::string face = "MS Sans Serif";
    double size = 8.25;  // points
    bool bold = false;
};

// Twips <-> pixels by the display's real DPI. The only place units are converted.
int TwipsToPixelsX(double twips);
int TwipsToPixelsY(double twips);
double PixelsToTwipsX(int pixels);
double PixelsToTwipsY(int pixels);
double TwipsPerPixelX();
double TwipsPerPixelY();

class Form;

// A design that cannot work: a control designed twice, a container that is none, a name that no
// control has. Not one of the standard library's errors, whose text classes would double the
// size of a program.
class DesignError : public std::exception {
public:
    explicit DesignError(std::string text) : text_(std::move(text)) {}
    const char* what() const noexcept override { return text_.c_str(); }

private:
    std::string text_;
};

// Ends a design that cannot work: a DesignError where the build has exceptions (the tests'), else
// the program, as an uncaught error would, with the text in the trace.
[[noreturn]] void DesignFault(const std::string& text);

class Control {
public:
    Control(Form& form, TkKind kind, std::string name, int index);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // --- design (builder); each returns *this so calls chain ---
    Control& At(double left, double top, double width, double height);  // twips
    Control& In(Control& container);  // a frame or picture box designed before
    Control& Text(const std::string& caption);
    Control& WithFont(const std::string& face, double size, bool bold = false);
    Control& Fore(COLORREF colour);
    Control& Back(COLORREF colour);
    Control& Hidden();
    Control& Disabled();
    Control& Align(Alignment a);          // labels
    Control& Bordered(bool on = true);    // labels, picture boxes
    Control& Opaque(bool on = true);      // labels: back style (default opaque)
    Control& AutoSize(bool on = true);    // labels: size to the text; picture boxes: to the picture
    Control& Default();                   // command buttons: the form's default button
    Control& Cancel();                    // command buttons: ESC presses it
    Control& Graphical(int iconResourceId, int iconSize);  // command buttons with an icon
    Control& Picture(int iconResourceId); // image controls: an icon from the resources
    Control& Range(int min, int max, int smallChange, int largeChange);  // scroll bars
    Control& PixelScale();                // picture boxes: children and drawing in pixels
    Control& Docked(tk::Align a, double heightTwips);  // picture boxes

    // --- events bound in the design row (the handlers below), each returning *this ---
    using MouseHandler = std::function<void(int button, int shift, double x, double y)>;
    Control& OnClick(std::function<void()> handler);
    Control& OnDblClick(std::function<void()> handler);
    Control& OnChange(std::function<void()> handler);
    Control& OnScroll(std::function<void()> handler);
    Control& OnResize(std::function<void()> handler);
    Control& OnMouseDown(MouseHandler handler);
    Control& OnMouseMove(MouseHandler handler);
    Control& OnMouseUp(MouseHandler handler);
    Control& OnKeyPress(std::function<void(int& keyAscii)> handler);

    // --- identity ---
    const std::string& Name() const { return name_; }
    int Index() const { return index_; }   // -1 when not in a control array
    TkKind Kind() const { return kind_; }
    HWND hWnd() const { return hwnd_; }  // nullptr for labels, shapes and images: their container paints them
    Form& Parent() const { return form_; }
    Control* Container() const { return container_; }

    // --- properties; positions in the container's scale units ---
    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    void SetLeft(double v);
    void SetTop(double v);
    void SetWidth(double v);
    void SetHeight(double v);
    void Move(double left, double top, double width, double height);

    std::string Caption() const;
    void SetCaption(const std::string& text);
    bool Visible() const;
    void SetVisible(bool on);
    bool Enabled() const;
    void SetEnabled(bool on);
    COLORREF ForeColor() const;
    void SetForeColor(COLORREF c);
    COLORREF BackColor() const;
    void SetBackColor(COLORREF c);
    bool BorderOn() const;
    void SetBorder(bool on);
    bool OpaqueOn() const;
    void SetOpaque(bool on);
    void SetFocus();

    // Value: scroll bar position (kept within Min..Max); check box 0/1; option button 0/1.
    int Value() const;
    void SetValue(int v);
    int Min() const;
    int Max() const;
    int SmallChange() const;
    int LargeChange() const;

    // --- picture boxes: drawing that survives repaints, in the box's scale units ---
    // A line leaves out its end point; a box's outline includes both corners; a point with
    // DrawWidth above 1 is a round dot that wide. Cls, LoadPicture and a new back colour
    // clear the drawing. A picture box takes the focus (and is a tab stop) only when it has
    // a KeyPress handler.
    double ScaleWidth() const;
    double ScaleHeight() const;
    void SetScaleMode(ScaleMode m);
    int DrawWidth() const;
    void SetDrawWidth(int pixels);
    void Cls();                                     // clear to the back colour
    void PSet(double x, double y, COLORREF c);      // also sets the current position
    void LineTo(double x, double y, COLORREF c);    // from the current position
    void Line(double x1, double y1, double x2, double y2, COLORREF c);
    void Box(double x1, double y1, double x2, double y2, COLORREF c);  // rectangle outline
    bool LoadPicture(const std::string& bitmapPath);  // takes the bitmap's size when auto-sized

    // --- events ---
    // Mouse positions: a picture box's own scale; any other control's container units,
    // from the control's top-left corner.
    std::function<void()> Click;
    std::function<void()> DblClick;
    std::function<void()> Change;
    std::function<void()> Scroll;
    std::function<void()> Resize;
    std::function<void(int button, int shift, double x, double y)> MouseDown;
    std::function<void(int button, int shift, double x, double y)> MouseMove;
    std::function<void(int button, int shift, double x, double y)> MouseUp;
    std::function<void(int& keyAscii)> KeyPress;

    // Runtime internals, used by the implementation.
    struct Impl;
    Impl& impl() { return *impl_; }

private:
    Form& form_;
    TkKind kind_;
    std::string name_;
    int index_;
    Control* container_ = nullptr;
    HWND hwnd_ = nullptr;
    std::unique_ptr<Impl> impl_;
    friend class Form;
};

class Form {
public:
    explicit Form(std::string name);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // --- design ---
    Form& Caption(const std::string& text);
    Form& ClientSize(double widthTwips, double heightTwips);
    Form& Border(BorderStyle b);
    Form& State(WindowState s);
    Form& BackDesign(COLORREF c);
    Form& Icon(int iconResourceId);
    Form& KeyPreview(bool on = true);

    Control& Label(const std::string& name, int index = -1);
    Control& CommandButton(const std::string& name, int index = -1);
    Control& OptionButton(const std::string& name, int index = -1);
    Control& CheckBox(const std::string& name, int index = -1);
    Control& Frame(const std::string& name, int index = -1);
    Control& HScrollBar(const std::string& name, int index = -1);
    Control& PictureBox(const std::string& name, int index = -1);
    Control& Image(const std::string& name, int index = -1);
    Control& Shape(const std::string& name, int index = -1);

    // Tab order; the first gets the focus when the form is shown. Controls left out follow in
    // the order they were designed.
    Form& TabOrder(std::initializer_list<Control*> controls);

    // --- run time ---
    const std::string& Name() const { return name_; }
    HWND hWnd();  // loads the form when it is not loaded yet
    bool Loaded() const { return hwnd_ != nullptr; }
    // A control by its name; nullptr when the form has none.
    Control* Find(const std::string& name, int index = -1);

    void Load();        // creates the windows, raises Load
    void Show();        // loads if needed, shows modeless (whatever start-up show state the
                        // program was given), raises Activate when activated
    void Hide();
    void Unload();      // raises Unload (which may cancel), destroys the windows

    std::string GetCaption() const;
    void SetCaption(const std::string& text);
    double Left() const;
    double Top() const;
    double Width() const;    // outer size, twips
    double Height() const;
    void SetLeft(double v);
    void SetTop(double v);
    void SetWidth(double v);
    void SetHeight(double v);
    void Move(double left, double top);
    double ScaleWidth() const;   // client size, twips
    double ScaleHeight() const;
    bool Visible() const;
    COLORREF BackColor() const;
    void SetBackColor(COLORREF c);
    int MousePointer() const;
    void SetMousePointer(int pointer);
    Control* ActiveControl() const;

    // Width of a text in the form's font, in twips.
    double TextWidth(const std::string& text) const;
    // A line on the form itself, in twips, beneath the controls; kept through repaints until
    // the form unloads. Like a picture box's line it leaves out its end point.
    void Line(double x1, double y1, double x2, double y2, COLORREF colour);

    // Events, overridden by the forms that need them.
    virtual void Form_Initialize() {}
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Resize() {}
    virtual void Form_Unload(int& cancel) { (void)cancel; }
    virtual void Form_KeyPress(int& keyAscii) { (void)keyAscii; }
    // A mouse button pressed on the form itself (not on a control); x and y in twips.
    virtual void Form_MouseDown(int button, int shift, double x, double y) {
        (void)button, (void)shift, (void)x, (void)y;
    }

    // Runtime internals, used by the implementation.
    struct Impl;
    Impl& impl() { return *impl_; }

private:
    Control& Add(TkKind kind, const std::string& name, int index);
    std::string name_;
    HWND hwnd_ = nullptr;
    std::vector<std::unique_ptr<Control>> controls_;
    std::unique_ptr<Impl> impl_;
    friend class Control;
};

// --- runtime services ---

// Runs the message loop until every form has unloaded.
void Run();
// Ends the program at once, with this exit code.
[[noreturn]] void End(unsigned long exitCode = 0);
// Runs every pending window event; when none was pending, yields until the next
// event or for at most 1 ms, so that polling loops built on it do not spin a processor.
void DoEvents();
// Gives the processor away until window input arrives or the time has passed: the pause of a loop
// that polls a device between its DoEvents calls. Runs no events itself.
void WaitForInput(unsigned long milliseconds);
// True when another copy of this program (same executable name) is running.
bool PrevInstance();
// Seconds since midnight, with fractions (local time).
double Timer();
// Starts a command line with the given show state: the new process's handle, which the caller
// closes, or nullptr (and the last error). The program's one way of starting another: a process
// that ends at once can still be awaited and asked for its exit code through the handle.
HANDLE Shell(const std::string& commandLine, int showCommand);
// MessageBoxA with the owner being the active form; returns the button pressed.
int MsgBox(const std::string& text, unsigned style, const std::string& title);
// The screen-wide mouse pointer (0 default, 11 hourglass).
void SetScreenMousePointer(int pointer);
// Screen size in twips.
double ScreenWidth();
double ScreenHeight();

// Windows' text for an error code, with its number: "Access is denied. (error 5)".
std::string ErrorText(unsigned long code);
// The running program's file name, without its folder: "QRWNTPcp.exe".
std::string ProgramName();
// One line for a debug viewer, with the program's name in front: where a result that the program
// does not show goes, so that a support person can follow a failure.
void Trace(const std::string& text);

}  // namespace tk

#endif
