/* Simulation requests, for tests and tools: reset, touch reports, state, and the request log with its times. */
#include "qrdriver.h"

#define QR_KNOWN_RESET_FLAGS (SIM_RESET_SET_NO_OUTPUT | SIM_RESET_FAIL_REQUESTS | SIM_RESET_USE_BLOCK)

/* Input: nothing (all defaults), the flags, or the flags and a settings block. A length that fits
 * none of these, or an unknown flag, changes nothing: a test that meant something else must not
 * run against a half-reset driver. */
static NTSTATUS QrSimReset(QR_DEVICE_STATE *state, QR_REQUEST *request)
{
    ULONG flags = 0;

    if (request->inputLength >= sizeof flags)
        QrCopyBytes(&flags, request->buffer, sizeof flags);
    else if (request->inputLength != 0)
        return STATUS_BUFFER_TOO_SMALL;
    if (flags & ~(ULONG)QR_KNOWN_RESET_FLAGS)
        return STATUS_INVALID_PARAMETER;
    if ((flags & SIM_RESET_USE_BLOCK) && request->inputLength < sizeof(SimResetInput))
        return STATUS_BUFFER_TOO_SMALL;

    QrSetInitialState(state);
    if (flags & SIM_RESET_USE_BLOCK)
        QrCopyBytes(&state->block, request->buffer + FIELD_OFFSET(SimResetInput, block), sizeof state->block);
    state->resetFlags = flags & ~(ULONG)SIM_RESET_USE_BLOCK;
    return STATUS_SUCCESS;
}

/* A report from the controller. A touch while the right-button tool has armed the driver is the
 * right-button click; the arming is used up by it. */
static NTSTATUS QrSimReport(QR_DEVICE_STATE *state, QR_REQUEST *request)
{
    SimReportInput report;
    SimReportOutput answer;

    if (request->inputLength < sizeof report || request->outputLength < sizeof answer)
        return STATUS_BUFFER_TOO_SMALL;
    QrCopyBytes(&report, request->buffer, sizeof report);

    state->raw.x = report.x;
    state->raw.y = report.y;
    state->raw.status = report.touched ? QR_STATUS_TOUCHED : 0;
    state->raw.sequence = (int16_t)(uint16_t)((uint16_t)state->raw.sequence + 1u);

    answer.becameRightClick = 0;
    if (report.touched && state->rbf.armed == 1) {
        state->rbf.armed = 0;
        state->rightClicks++;
        answer.becameRightClick = 1;
    }
    QrCopyBytes(request->buffer, &answer, sizeof answer);
    request->information = sizeof answer;
    return STATUS_SUCCESS;
}

static NTSTATUS QrSimGetState(QR_DEVICE_STATE *state, QR_REQUEST *request)
{
    SimState *out = (SimState *)request->buffer;

    if (request->outputLength < sizeof *out)
        return STATUS_BUFFER_TOO_SMALL;
    QrCopyBytes(&out->block, &state->block, sizeof out->block);
    QrCopyBytes(&out->raw, &state->raw, sizeof out->raw);
    QrCopyBytes(&out->rbf, &state->rbf, sizeof out->rbf);
    out->rightClicks = state->rightClicks;
    QrCopyBytes(out->requestCounts, state->requestCounts, sizeof out->requestCounts);
    request->information = sizeof *out;
    return STATUS_SUCCESS;
}

static NTSTATUS QrSimGetLog(QR_DEVICE_STATE *state, QR_REQUEST *request)
{
    SimLog *out = (SimLog *)request->buffer;
    ULONG oldest, i;

    if (request->outputLength < sizeof *out)
        return STATUS_BUFFER_TOO_SMALL;
    QrZeroBytes(out, sizeof *out);
    out->total = state->logTotal;
    out->count = state->logCount;
    oldest = state->logCount < SIM_LOG_CAPACITY ? 0 : state->logNext;
    for (i = 0; i < state->logCount; i++)
        QrCopyBytes(&out->entries[i], &state->log[(oldest + i) % SIM_LOG_CAPACITY], sizeof out->entries[i]);
    request->information = sizeof *out;
    return STATUS_SUCCESS;
}

static NTSTATUS QrSimGetLogTimes(QR_DEVICE_STATE *state, QR_REQUEST *request)
{
    SimLogTimes *out = (SimLogTimes *)request->buffer;
    LARGE_INTEGER frequency;
    ULONG oldest, i;

    if (request->outputLength < sizeof *out)
        return STATUS_BUFFER_TOO_SMALL;
    QrZeroBytes(out, sizeof *out);
    KeQueryPerformanceCounter(&frequency);
    out->total = state->logTotal;
    out->count = state->logCount;
    out->frequency = frequency.QuadPart;
    oldest = state->logCount < SIM_LOG_CAPACITY ? 0 : state->logNext;
    for (i = 0; i < state->logCount; i++)
        out->at[i] = state->logTimes[(oldest + i) % SIM_LOG_CAPACITY];
    request->information = sizeof *out;
    return STATUS_SUCCESS;
}

QR_HANDLER *QrFindSimulationRequest(ULONG code)
{
    switch (code) {
    case IOCTL_SIM_RESET:
        return QrSimReset;
    case IOCTL_SIM_REPORT:
        return QrSimReport;
    case IOCTL_SIM_GET_STATE:
        return QrSimGetState;
    case IOCTL_SIM_GET_LOG:
        return QrSimGetLog;
    case IOCTL_SIM_GET_LOG_TIMES:
        return QrSimGetLogTimes;
    default:
        return NULL;
    }
}

/* The ring keeps the newest SIM_LOG_CAPACITY requests; the input is kept up to the size of the
 * largest record, zero-padded, with its real length beside it. */
void QrLogRequest(QR_DEVICE_STATE *state, const QR_REQUEST *request)
{
    SimLogEntry *entry = &state->log[state->logNext];
    ULONG kept = request->inputLength < SIM_LOG_INPUT_BYTES ? request->inputLength : SIM_LOG_INPUT_BYTES;

    state->logTimes[state->logNext] = KeQueryPerformanceCounter(NULL).QuadPart;
    entry->code = request->code;
    entry->inputLength = request->inputLength;
    QrZeroBytes(entry->input, sizeof entry->input);
    if (kept)
        QrCopyBytes(entry->input, request->buffer, kept);

    state->logNext = (state->logNext + 1) % SIM_LOG_CAPACITY;
    if (state->logCount < SIM_LOG_CAPACITY)
        state->logCount++;
    state->logTotal++;
}
