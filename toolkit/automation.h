// How the forms runtime exposes its forms and controls to screen readers and test tools.
//
// Every form and every control but labels, shapes and images is a real window. Each carries
// window properties (SetPropA) that another process reads with GetPropA on the window handle:
//
//   TK_PROP_NAME     global atom (GlobalGetAtomNameA) of the name: the form's name
//                    ("frmMain") or the control's name, with "(index)" appended for
//                    members of a control array ("optFeedbackSound(2)").
//   TK_PROP_KIND     one of TkKind.
//   TK_PROP_FORE     fore colour | TK_COLOR_PRESENT (COLORREF in the low 24 bits).
//   TK_PROP_BACK     back colour | TK_COLOR_PRESENT.
//   TK_PROP_VALUE    value + TK_VALUE_BIAS: scroll bar position, check box value
//                    (0, 1), option button value (0 not selected, 1 selected).
//   TK_PROP_STYLE    TkStyleFlags of the control.
//   TK_PROP_POINTER  forms only: the form's mouse pointer + 1 (0 default, 11 hourglass).
//   TK_PROP_DRAWWIDTH picture boxes only: the pen width in pixels.
//
// The caption is the window text (WM_GETTEXT); Visible and Enabled are the window's
// own states (IsWindowVisible, IsWindowEnabled). Forms have the window class
// TK_FORM_CLASS; controls are children (possibly nested in frames and picture boxes)
// of their form's window.
//
// Labels, shapes and images have no window: their container paints them. Their form keeps
// them in a table, a named file mapping (TkWindowlessTable) called TK_WINDOWLESS_TABLE
// followed by the form's window handle in decimal ("TkWindowless.65646"), which another
// process opens read-only. A record's sequence is odd while the form rewrites it: a reader
// copies the record and reads it again when the sequence was odd or changed meanwhile.
#ifndef TOOLKIT_AUTOMATION_H
#define TOOLKIT_AUTOMATION_H

#include <windows.h>

#define TK_FORM_CLASS      "TkForm"

#define TK_PROP_NAME       "TkName"
#define TK_PROP_KIND       "TkKind"
#define TK_PROP_FORE       "TkFore"
#define TK_PROP_BACK       "TkBack"
#define TK_PROP_VALUE      "TkValue"
#define TK_PROP_STYLE      "TkStyle"
#define TK_PROP_POINTER    "TkPointer"
#define TK_PROP_DRAWWIDTH  "TkDrawWidth"

#define TK_COLOR_PRESENT   0x01000000u
#define TK_VALUE_BIAS      0x40000000L

enum TkKind {
    TK_KIND_FORM = 1,
    TK_KIND_LABEL,
    TK_KIND_COMMAND_BUTTON,
    TK_KIND_OPTION_BUTTON,
    TK_KIND_CHECK_BOX,
    TK_KIND_FRAME,
    TK_KIND_HSCROLLBAR,
    TK_KIND_PICTURE_BOX,
    TK_KIND_IMAGE,
    TK_KIND_SHAPE
};

enum TkStyleFlags {
    TK_STYLE_OPAQUE  = 0x1,  // labels: back style opaque (else transparent)
    TK_STYLE_BORDER  = 0x2,  // labels, picture boxes: single-line border
    TK_STYLE_DEFAULT = 0x4   // command buttons: the form's default button
};

#define TK_WINDOWLESS_TABLE "TkWindowless."
#define TK_WINDOWLESS_MAX  64
#define TK_WINDOWLESS_TEXT 512

typedef struct TkWindowlessRecord {
    volatile LONG sequence;
    LONG kind;            /* TkKind */
    char name[64];        /* as TK_PROP_NAME holds it */
    LONG container;       /* the container's window (form, frame or picture box), 32 bits */
    RECT rect;            /* in the container's client pixels */
    LONG visible;         /* its own Visible; its container's window may be hidden */
    LONG enabled;
    DWORD fore;           /* as TK_PROP_FORE */
    DWORD back;           /* as TK_PROP_BACK */
    DWORD style;          /* TkStyleFlags */
    char text[TK_WINDOWLESS_TEXT];  /* the caption, cut to fit */
} TkWindowlessRecord;

typedef struct TkWindowlessTable {
    volatile LONG count;  /* records in use, in the order the form designs them */
    TkWindowlessRecord records[TK_WINDOWLESS_MAX];
} TkWindowlessTable;

#endif
