/* The ten requests of the channel and the state the driver starts with. */
#include "qrdriver.h"

/* Values that the programs must send back untouched get distinctive non-zero contents,
 * so that a program that clears or reorders them is caught. */
static const UCHAR kReserved0[3] = {0xA5, 0x5A, 0xC3};
static const UCHAR kPortSpares[4] = {0x71, 0x72, 0x73, 0x74};
static const UCHAR kReserved28 = 0x3C;
static const UCHAR kRbfSpares[2] = {0x5E, 0xE5};

/* The controller as found on COM1, with the factory settings of its firmware. */
enum {
    kInitialComPort = 1,
    kCom1IoBase = 0x3F8,
    kCom1Irq = 4,
    kInitialButtonMode = 4,     /* Drag Drop */
    kInitialFeedbackSound = 1,  /* silence */
    kInitialSensitivity = 63,
    kInitialSpeed = 10,
    kInitialAcceleration = 1,   /* Slow */
    kRawCoordinateMax = 1023,
    kInitialScreenWidth = 1024,
    kInitialScreenHeight = 768,
    kMcuMode = 1,
    kMcuVersion = 0x12
};
static const UCHAR kMcuCode[4] = {'K', '5', '2', '0'};

void QrResetRbfRecord(RbfWindowRecord *rbf)
{
    rbf->hwnd = RBF_NO_WINDOW;
    rbf->armed = 0;
    QrCopyBytes(rbf->spare, kRbfSpares, sizeof rbf->spare);
}

static void QrSetInitialBlock(TouchSettingsBlock *b)
{
    ULONG i;

    QrZeroBytes(b, sizeof *b);
    QrCopyBytes(b->reserved0, kReserved0, sizeof b->reserved0);
    b->detectedComPort = kInitialComPort;
    for (i = 0; i < 4; i++)
        b->comPorts[i].spare = kPortSpares[i];
    b->comPorts[0].ioBase = kCom1IoBase;
    b->comPorts[0].irq = kCom1Irq;
    b->buttonMode = kInitialButtonMode;
    b->feedbackSound = kInitialFeedbackSound;
    b->sensitivity = kInitialSensitivity;
    b->bypassMode = 0;
    b->hSpeed = kInitialSpeed;
    b->vSpeed = kInitialSpeed;
    b->acceleration = kInitialAcceleration;
    b->powerDownTime = 0;
    b->reserved28 = kReserved28;
    b->rightButtonFunction = 0;
    b->calLeft = 0;
    b->calRight = kRawCoordinateMax;
    b->calTop = 0;
    b->calBottom = kRawCoordinateMax;
    b->screenWidth = kInitialScreenWidth;
    b->screenHeight = kInitialScreenHeight;
    b->mcuMode = kMcuMode;
    b->mcuVersion = kMcuVersion;
    QrCopyBytes(b->mcuCode, kMcuCode, sizeof b->mcuCode);
}

/* Everything but the lock: also what a reset without a block comes back to. */
void QrSetInitialState(QR_DEVICE_STATE *state)
{
    QrSetInitialBlock(&state->block);
    QrZeroBytes(&state->raw, sizeof state->raw);
    QrResetRbfRecord(&state->rbf);
    state->rightClicks = 0;
    QrZeroBytes(state->requestCounts, sizeof state->requestCounts);
    state->resetFlags = 0;
    state->logTotal = 0;
    state->logNext = 0;
    state->logCount = 0;
    QrZeroBytes(state->log, sizeof state->log);
}

static NTSTATUS QrGetSettings(QR_DEVICE_STATE *state, QR_REQUEST *request)
{
    QrCopyBytes(request->buffer, &state->block, sizeof state->block);
    request->information = sizeof state->block;
    return STATUS_SUCCESS;
}

static NTSTATUS QrGetRawSample(QR_DEVICE_STATE *state, QR_REQUEST *request)
{
    QrCopyBytes(request->buffer, &state->raw, sizeof state->raw);
    request->information = sizeof state->raw;
    return STATUS_SUCCESS;
}

/* What the controller does with a calibration signal is its own business; the request is
 * only counted and logged, and the value goes back as it came. */
static NTSTATUS QrCalibrationSignal(QR_DEVICE_STATE *state, QR_REQUEST *request)
{
    UNREFERENCED_PARAMETER(state);
    request->information = sizeof(TouchCalibrationSignal);
    return STATUS_SUCCESS;
}

/* The "set" requests take over their own fields only; the buffer still holds the block as the
 * caller sent it, and that is what goes back. */
#define QR_BLOCK_IN(request) ((const TouchSettingsBlock *)(request)->buffer)

static NTSTATUS QrSetButtonMode(QR_DEVICE_STATE *state, QR_REQUEST *request)
{
    state->block.buttonMode = QR_BLOCK_IN(request)->buttonMode;
    state->block.rightButtonFunction = QR_BLOCK_IN(request)->rightButtonFunction;
    request->information = sizeof(TouchSettingsBlock);
    return STATUS_SUCCESS;
}

static NTSTATUS QrSetFeedbackSound(QR_DEVICE_STATE *state, QR_REQUEST *request)
{
    state->block.feedbackSound = QR_BLOCK_IN(request)->feedbackSound;
    request->information = sizeof(TouchSettingsBlock);
    return STATUS_SUCCESS;
}

static NTSTATUS QrSetMouseSpeed(QR_DEVICE_STATE *state, QR_REQUEST *request)
{
    state->block.bypassMode = QR_BLOCK_IN(request)->bypassMode;
    state->block.hSpeed = QR_BLOCK_IN(request)->hSpeed;
    state->block.vSpeed = QR_BLOCK_IN(request)->vSpeed;
    state->block.acceleration = QR_BLOCK_IN(request)->acceleration;
    request->information = sizeof(TouchSettingsBlock);
    return STATUS_SUCCESS;
}

static NTSTATUS QrSetCalibration(QR_DEVICE_STATE *state, QR_REQUEST *request)
{
    state->block.calLeft = QR_BLOCK_IN(request)->calLeft;
    state->block.calRight = QR_BLOCK_IN(request)->calRight;
    state->block.calTop = QR_BLOCK_IN(request)->calTop;
    state->block.calBottom = QR_BLOCK_IN(request)->calBottom;
    request->information = sizeof(TouchSettingsBlock);
    return STATUS_SUCCESS;
}

static NTSTATUS QrSetScreenSize(QR_DEVICE_STATE *state, QR_REQUEST *request)
{
    state->block.screenWidth = QR_BLOCK_IN(request)->screenWidth;
    state->block.screenHeight = QR_BLOCK_IN(request)->screenHeight;
    request->information = sizeof(TouchSettingsBlock);
    return STATUS_SUCCESS;
}

static NTSTATUS QrGetRbfWindow(QR_DEVICE_STATE *state, QR_REQUEST *request)
{
    QrCopyBytes(request->buffer, &state->rbf, sizeof state->rbf);
    request->information = sizeof state->rbf;
    return STATUS_SUCCESS;
}

static NTSTATUS QrSetRbfWindow(QR_DEVICE_STATE *state, QR_REQUEST *request)
{
    QrCopyBytes(&state->rbf, request->buffer, sizeof state->rbf);
    request->information = sizeof state->rbf;
    return STATUS_SUCCESS;
}

static const QR_SYSTEM_REQUEST kSystemRequests[QR_REQUEST_COUNT] = {
    {IOCTL_TOUCH_GET_SETTINGS, QR_REQ_GET_SETTINGS, sizeof(TouchSettingsBlock), TRUE, FALSE, QrGetSettings},
    {IOCTL_TOUCH_GET_RAW_SAMPLE, QR_REQ_GET_RAW_SAMPLE, sizeof(TouchRawSample), FALSE, FALSE, QrGetRawSample},
    {IOCTL_TOUCH_CALIBRATION_SIGNAL, QR_REQ_CALIBRATION_SIGNAL, sizeof(TouchCalibrationSignal), TRUE, FALSE,
     QrCalibrationSignal},
    {IOCTL_TOUCH_SET_BUTTON_MODE, QR_REQ_SET_BUTTON_MODE, sizeof(TouchSettingsBlock), TRUE, TRUE, QrSetButtonMode},
    {IOCTL_TOUCH_SET_FEEDBACK_SOUND, QR_REQ_SET_FEEDBACK_SOUND, sizeof(TouchSettingsBlock), TRUE, TRUE,
     QrSetFeedbackSound},
    {IOCTL_TOUCH_SET_MOUSE_SPEED, QR_REQ_SET_MOUSE_SPEED, sizeof(TouchSettingsBlock), TRUE, TRUE, QrSetMouseSpeed},
    {IOCTL_TOUCH_SET_CALIBRATION, QR_REQ_SET_CALIBRATION, sizeof(TouchSettingsBlock), TRUE, TRUE, QrSetCalibration},
    {IOCTL_TOUCH_SET_SCREEN_SIZE, QR_REQ_SET_SCREEN_SIZE, sizeof(TouchSettingsBlock), TRUE, TRUE, QrSetScreenSize},
    {IOCTL_TOUCH_GET_RBF_WINDOW, QR_REQ_GET_RBF_WINDOW, sizeof(RbfWindowRecord), FALSE, FALSE, QrGetRbfWindow},
    {IOCTL_TOUCH_SET_RBF_WINDOW, QR_REQ_SET_RBF_WINDOW, sizeof(RbfWindowRecord), TRUE, FALSE, QrSetRbfWindow},
};

const QR_SYSTEM_REQUEST *QrFindSystemRequest(ULONG code)
{
    ULONG i;

    for (i = 0; i < QR_REQUEST_COUNT; i++)
        if (kSystemRequests[i].code == code)
            return &kSystemRequests[i];
    return NULL;
}
