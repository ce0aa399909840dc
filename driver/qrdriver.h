/*
 * QRWNTPS2 substitute touch driver: private declarations shared by its source files.
 *
 *   driverentry.c  loading, unloading, open and close of the device
 *   devctl.c       the control-request dispatch: lookup, length checks, counting, log, completion
 *   requests.c     the ten requests of the channel and the initial controller state
 *   simulate.c     the simulation requests used by tests and tools, and the request log
 *   bytes.c        byte helpers (the driver links against ntoskrnl only)
 */
#ifndef QRDRIVER_H
#define QRDRIVER_H

#include <ntddk.h>

#include "qrwntps2.h"

#ifdef QR_DRIVER_TRACE
#define QR_TRACE(...) DbgPrint("QRWNTPS2: " __VA_ARGS__)
#else
#define QR_TRACE(...) ((void)0)
#endif

/* Everything the device remembers; lives in the device extension and is guarded by lock. */
typedef struct QR_DEVICE_STATE {
    KSPIN_LOCK         lock;
    TouchSettingsBlock block;
    TouchRawSample     raw;
    RbfWindowRecord    rbf;
    ULONG              rightClicks;
    ULONG              requestCounts[QR_REQUEST_COUNT];
    ULONG              resetFlags;    /* SIM_RESET_* modes in force */
    ULONG              logTotal;      /* logged requests since the last reset */
    ULONG              logNext;       /* ring slot the next entry goes to */
    ULONG              logCount;      /* entries held, at most SIM_LOG_CAPACITY */
    SimLogEntry        log[SIM_LOG_CAPACITY];
    LONGLONG           logTimes[SIM_LOG_CAPACITY]; /* performance counter at each entry */
} QR_DEVICE_STATE;

/* One buffered control request: input and output share buffer (METHOD_BUFFERED). */
typedef struct QR_REQUEST {
    ULONG     code;
    PUCHAR    buffer;
    ULONG     inputLength;
    ULONG     outputLength;
    ULONG_PTR information;  /* bytes to hand back; set by the handler on success */
} QR_REQUEST;

/* driverentry.c */
DRIVER_INITIALIZE DriverEntry;

/* devctl.c: the system calls dispatch routines with its own calling convention (stdcall on x86). */
NTSTATUS NTAPI QrDispatchDeviceControl(PDEVICE_OBJECT device, PIRP irp);

/* requests.c: handlers run with the state lock held and the buffer lengths already checked. */
typedef NTSTATUS QR_HANDLER(QR_DEVICE_STATE *state, QR_REQUEST *request);

typedef struct QR_SYSTEM_REQUEST {
    ULONG       code;
    ULONG       index;       /* QrRequestIndex: slot in the request counters */
    ULONG       recordSize;  /* both the input and the output buffer must hold this much */
    BOOLEAN     logged;      /* polled requests are only counted */
    BOOLEAN     isBlockSet;  /* a settings "set" request, answered without output in no-output mode */
    QR_HANDLER *handler;
} QR_SYSTEM_REQUEST;

const QR_SYSTEM_REQUEST *QrFindSystemRequest(ULONG code);
void QrSetInitialState(QR_DEVICE_STATE *state);
void QrResetRbfRecord(RbfWindowRecord *rbf);

/* simulate.c */
QR_HANDLER *QrFindSimulationRequest(ULONG code);
void QrLogRequest(QR_DEVICE_STATE *state, const QR_REQUEST *request);

/* bytes.c */
void QrCopyBytes(void *to, const void *from, SIZE_T count);
void QrZeroBytes(void *to, SIZE_T count);

#endif /* QRDRIVER_H */
