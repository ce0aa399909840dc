/*
 * QRWNTPS2 touch driver: request codes, record layouts and device names.
 *
 * This one header is shared by the kernel driver and by every user-side program
 * and tool. It must stay free of kernel-only and user-only declarations so that
 * both sides compile it unchanged. All records are little-endian and packed: the
 * sizes and offsets below are the wire format and are checked at compile time.
 */
#ifndef QRWNTPS2_H
#define QRWNTPS2_H

#include <stdint.h>
#include <stddef.h>

#include "SuiteFacts.h"

/* Device names: the base name QR_DRIVER_BASE_NAME (SuiteFacts.h) after "\\.\" for programs. */
#define QR_DEVICE_USER_PATH   "\\\\.\\" QR_DRIVER_BASE_NAME
#define QR_DEVICE_NT_NAME     L"\\Device\\" QR_DRIVER_BASE_NAME
#define QR_DEVICE_DOS_NAME    L"\\DosDevices\\" QR_DRIVER_BASE_NAME

/* CTL_CODE(FILE_DEVICE_MOUSE, function, METHOD_BUFFERED, FILE_ANY_ACCESS), spelled out so
 * that neither winioctl.h nor the DDK is needed to use this header. */
#define QR_FILE_DEVICE_MOUSE 0x0000000F
#define QR_CTL_CODE(function) (((uint32_t)QR_FILE_DEVICE_MOUSE << 16) | ((uint32_t)(function) << 2))

/* The ten requests of the channel. */
#define IOCTL_TOUCH_GET_SETTINGS        QR_CTL_CODE(0x804) /* 0x000F2010, settings block */
#define IOCTL_TOUCH_GET_RAW_SAMPLE      QR_CTL_CODE(0x80C) /* 0x000F2030, raw sample */
#define IOCTL_TOUCH_CALIBRATION_SIGNAL  QR_CTL_CODE(0x810) /* 0x000F2040, int32 signal */
#define IOCTL_TOUCH_SET_BUTTON_MODE     QR_CTL_CODE(0x818) /* 0x000F2060, settings block */
#define IOCTL_TOUCH_SET_FEEDBACK_SOUND  QR_CTL_CODE(0x81C) /* 0x000F2070, settings block */
#define IOCTL_TOUCH_SET_MOUSE_SPEED     QR_CTL_CODE(0x824) /* 0x000F2090, settings block */
#define IOCTL_TOUCH_SET_CALIBRATION     QR_CTL_CODE(0x828) /* 0x000F20A0, settings block */
#define IOCTL_TOUCH_SET_SCREEN_SIZE     QR_CTL_CODE(0x82C) /* 0x000F20B0, settings block */
#define IOCTL_TOUCH_GET_RBF_WINDOW      QR_CTL_CODE(0xC04) /* 0x000F3010, RBF record */
#define IOCTL_TOUCH_SET_RBF_WINDOW      QR_CTL_CODE(0xC08) /* 0x000F3020, RBF record */

/* Simulation requests of the substitute driver, used by tests and tools only. */
#define IOCTL_SIM_RESET      QR_CTL_CODE(0x900) /* 0x000F2400 */
#define IOCTL_SIM_REPORT     QR_CTL_CODE(0x901) /* 0x000F2404 */
#define IOCTL_SIM_GET_STATE  QR_CTL_CODE(0x902) /* 0x000F2408 */
#define IOCTL_SIM_GET_LOG    QR_CTL_CODE(0x903) /* 0x000F240C */
#define IOCTL_SIM_GET_LOG_TIMES QR_CTL_CODE(0x904) /* 0x000F2410 */

/* Index of each system request in the request counters of SimState, in the
 * order of the request table. */
enum QrRequestIndex {
    QR_REQ_GET_SETTINGS = 0,
    QR_REQ_GET_RAW_SAMPLE,
    QR_REQ_CALIBRATION_SIGNAL,
    QR_REQ_SET_BUTTON_MODE,
    QR_REQ_SET_FEEDBACK_SOUND,
    QR_REQ_SET_MOUSE_SPEED,
    QR_REQ_SET_CALIBRATION,
    QR_REQ_SET_SCREEN_SIZE,
    QR_REQ_GET_RBF_WINDOW,
    QR_REQ_SET_RBF_WINDOW,
    QR_REQUEST_COUNT
};

/* Calibration signal values. */
#define QR_CAL_SIGNAL_DONE_OR_ESC   0
#define QR_CAL_SIGNAL_TOUCHED_START 3
#define QR_CAL_SIGNAL_BROKEN_OFF    4
#define QR_CAL_SIGNAL_POINT_TAKEN   5

/* Commands to the right-button tool: SendMessage(hwnd, WM_USER, command, 0). */
#define RBF_CMD_HIDE  0x1000
#define RBF_CMD_SHOW  0x1001
#define RBF_CMD_CLOSE 0x100E

/* RbfWindowRecord.hwnd when no tool is registered. */
#define RBF_NO_WINDOW (-1)

/* TouchRawSample.status bit set while the screen is touched. */
#define QR_STATUS_TOUCHED 0x08

#pragma pack(push, 1)

typedef struct TouchComPort {
    uint16_t ioBase;   /* 0 = no port */
    uint8_t  irq;      /* 0 = none */
    uint8_t  spare;    /* not interpreted, sent back as read */
} TouchComPort;

typedef struct TouchSettingsBlock {
    uint8_t      reserved0[3];
    uint8_t      detectedComPort;
    TouchComPort comPorts[4];
    uint8_t      buttonMode;          /* 1 Stream, 2 Lift Off, 3 Touch Down, 4 Drag Drop */
    uint8_t      feedbackSound;       /* 1 silence, 2 touch down, 3 lift off, 4 both */
    uint8_t      sensitivity;
    uint8_t      bypassMode;
    uint8_t      hSpeed;
    uint8_t      vSpeed;
    uint8_t      acceleration;        /* 1 Slow, 2 Medium, 3 Fast, 4 Off */
    uint8_t      powerDownTime;
    uint8_t      reserved28;
    uint8_t      rightButtonFunction; /* 0 off, 1 on */
    int16_t      calLeft;
    int16_t      calRight;
    int16_t      calTop;
    int16_t      calBottom;
    int16_t      screenWidth;
    int16_t      screenHeight;
    uint8_t      mcuMode;
    uint8_t      mcuVersion;
    uint8_t      mcuCode[4];
} TouchSettingsBlock;

typedef struct TouchRawSample {
    int16_t x;
    int16_t y;
    uint8_t status;    /* QR_STATUS_TOUCHED while touched */
    uint8_t spare;
    int16_t sequence;  /* changes with every report */
} TouchRawSample;

typedef struct RbfWindowRecord {
    int32_t hwnd;      /* RBF_NO_WINDOW when no tool is registered */
    int16_t armed;     /* 1 armed, 0 not; the driver clears it after the right click */
    uint8_t spare[2];  /* sent back as last received */
} RbfWindowRecord;

typedef int32_t TouchCalibrationSignal;

/* IOCTL_SIM_RESET flags. */
#define SIM_RESET_SET_NO_OUTPUT 0x1 /* "set" requests complete with no output bytes */
#define SIM_RESET_FAIL_REQUESTS 0x2 /* the ten system requests fail and touch nothing */
#define SIM_RESET_USE_BLOCK     0x4 /* take SimResetInput.block as the settings block */

typedef struct SimResetInput {
    uint32_t           flags;
    TouchSettingsBlock block;
} SimResetInput;

typedef struct SimReportInput {
    int16_t x;
    int16_t y;
    uint8_t touched;
    uint8_t spare[3];
} SimReportInput;

typedef struct SimReportOutput {
    uint32_t becameRightClick; /* 1 when this report turned an armed touch into a right click */
} SimReportOutput;

typedef struct SimState {
    TouchSettingsBlock block;
    TouchRawSample     raw;
    RbfWindowRecord    rbf;
    uint32_t           rightClicks;
    uint32_t           requestCounts[QR_REQUEST_COUNT];
} SimState;

#define SIM_LOG_CAPACITY 64
#define SIM_LOG_INPUT_BYTES 48

typedef struct SimLogEntry {
    uint32_t code;
    uint32_t inputLength;
    uint8_t  input[SIM_LOG_INPUT_BYTES]; /* zero-padded */
} SimLogEntry;

typedef struct SimLog {
    uint32_t    total;  /* logged requests since the last reset */
    uint32_t    count;  /* entries held, oldest first */
    SimLogEntry entries[SIM_LOG_CAPACITY];
} SimLog;

/* When each entry of SimLog arrived, on the performance counter that QueryPerformanceCounter
 * reads, so that a test can time a program's steps without the delay of watching for them. */
typedef struct SimLogTimes {
    uint32_t total;     /* as SimLog */
    uint32_t count;     /* as SimLog */
    int64_t  frequency; /* counts a second */
    int64_t  at[SIM_LOG_CAPACITY]; /* oldest first, as the entries of SimLog */
} SimLogTimes;

#pragma pack(pop)

#ifdef __cplusplus
#define QR_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define QR_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

QR_STATIC_ASSERT(sizeof(TouchSettingsBlock) == 48, "settings block is 48 bytes");
QR_STATIC_ASSERT(sizeof(TouchRawSample) == 8, "raw sample is 8 bytes");
QR_STATIC_ASSERT(sizeof(RbfWindowRecord) == 8, "RBF record is 8 bytes");
QR_STATIC_ASSERT(sizeof(TouchCalibrationSignal) == 4, "calibration signal is 4 bytes");
QR_STATIC_ASSERT(offsetof(TouchSettingsBlock, detectedComPort) == 3, "detectedComPort");
QR_STATIC_ASSERT(offsetof(TouchSettingsBlock, comPorts) == 4, "comPorts");
QR_STATIC_ASSERT(offsetof(TouchSettingsBlock, buttonMode) == 20, "buttonMode");
QR_STATIC_ASSERT(offsetof(TouchSettingsBlock, feedbackSound) == 21, "feedbackSound");
QR_STATIC_ASSERT(offsetof(TouchSettingsBlock, bypassMode) == 23, "bypassMode");
QR_STATIC_ASSERT(offsetof(TouchSettingsBlock, hSpeed) == 24, "hSpeed");
QR_STATIC_ASSERT(offsetof(TouchSettingsBlock, acceleration) == 26, "acceleration");
QR_STATIC_ASSERT(offsetof(TouchSettingsBlock, reserved28) == 28, "reserved28");
QR_STATIC_ASSERT(offsetof(TouchSettingsBlock, rightButtonFunction) == 29, "rightButtonFunction");
QR_STATIC_ASSERT(offsetof(TouchSettingsBlock, calLeft) == 30, "calLeft");
QR_STATIC_ASSERT(offsetof(TouchSettingsBlock, calBottom) == 36, "calBottom");
QR_STATIC_ASSERT(offsetof(TouchSettingsBlock, screenWidth) == 38, "screenWidth");
QR_STATIC_ASSERT(offsetof(TouchSettingsBlock, screenHeight) == 40, "screenHeight");
QR_STATIC_ASSERT(offsetof(TouchSettingsBlock, mcuMode) == 42, "mcuMode");
QR_STATIC_ASSERT(offsetof(TouchSettingsBlock, mcuCode) == 44, "mcuCode");
QR_STATIC_ASSERT(offsetof(TouchRawSample, status) == 4, "status");
QR_STATIC_ASSERT(offsetof(TouchRawSample, sequence) == 6, "sequence");
QR_STATIC_ASSERT(offsetof(RbfWindowRecord, armed) == 4, "armed");
QR_STATIC_ASSERT(offsetof(RbfWindowRecord, spare) == 6, "RBF spare");
QR_STATIC_ASSERT(sizeof(SimResetInput) == 52, "SIM_RESET input");
QR_STATIC_ASSERT(sizeof(SimReportInput) == 8, "SIM_REPORT input");
QR_STATIC_ASSERT(sizeof(SimReportOutput) == 4, "SIM_REPORT output");
QR_STATIC_ASSERT(sizeof(SimState) == 108, "SIM_GET_STATE output");
QR_STATIC_ASSERT(sizeof(SimLogEntry) == 56, "log entry");
QR_STATIC_ASSERT(sizeof(SimLog) == 3592, "SIM_GET_LOG output");
QR_STATIC_ASSERT(sizeof(SimLogTimes) == 528, "SIM_GET_LOG_TIMES output");
QR_STATIC_ASSERT(offsetof(SimLogTimes, at) == 16, "SIM_GET_LOG_TIMES times");
QR_STATIC_ASSERT(IOCTL_TOUCH_GET_SETTINGS == 0x000F2010u, "GET_SETTINGS code");
QR_STATIC_ASSERT(IOCTL_TOUCH_SET_RBF_WINDOW == 0x000F3020u, "SET_RBF_WINDOW code");
QR_STATIC_ASSERT(IOCTL_SIM_GET_LOG == 0x000F240Cu, "SIM_GET_LOG code");
QR_STATIC_ASSERT(IOCTL_SIM_GET_LOG_TIMES == 0x000F2410u, "SIM_GET_LOG_TIMES code");

#endif /* QRWNTPS2_H */
