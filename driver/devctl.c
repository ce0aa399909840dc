/* Control requests: find the handler, check the buffers, count and log, complete in one place. */
#include "qrdriver.h"

/* Counting and logging come first: tests look at what the programs sent, whether or not the
 * driver could take it. */
static NTSTATUS QrSystemRequest(QR_DEVICE_STATE *state, const QR_SYSTEM_REQUEST *system, QR_REQUEST *request)
{
    NTSTATUS status;

    state->requestCounts[system->index]++;
    if (system->logged)
        QrLogRequest(state, request);

    if (state->resetFlags & SIM_RESET_FAIL_REQUESTS)
        return STATUS_UNSUCCESSFUL;
    if (request->inputLength < system->recordSize || request->outputLength < system->recordSize)
        return STATUS_BUFFER_TOO_SMALL;

    status = system->handler(state, request);
    if (NT_SUCCESS(status) && system->isBlockSet && (state->resetFlags & SIM_RESET_SET_NO_OUTPUT))
        request->information = 0;
    return status;
}

NTSTATUS NTAPI QrDispatchDeviceControl(PDEVICE_OBJECT device, PIRP irp)
{
    QR_DEVICE_STATE *state = (QR_DEVICE_STATE *)device->DeviceExtension;
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    const QR_SYSTEM_REQUEST *system;
    QR_HANDLER *simulation = NULL;
    QR_REQUEST request;
    NTSTATUS status;
    KIRQL irql;

    request.code = stack->Parameters.DeviceIoControl.IoControlCode;
    request.buffer = (PUCHAR)irp->AssociatedIrp.SystemBuffer;
    request.inputLength = stack->Parameters.DeviceIoControl.InputBufferLength;
    request.outputLength = stack->Parameters.DeviceIoControl.OutputBufferLength;
    request.information = 0;

    system = QrFindSystemRequest(request.code);
    if (!system)
        simulation = QrFindSimulationRequest(request.code);

    KeAcquireSpinLock(&state->lock, &irql);
    if (system)
        status = QrSystemRequest(state, system, &request);
    else if (simulation)
        status = simulation(state, &request);
    else
        status = STATUS_INVALID_DEVICE_REQUEST;
    KeReleaseSpinLock(&state->lock, irql);

    if (!NT_SUCCESS(status)) {
        QR_TRACE("request 0x%08lx (in %lu, out %lu) failed, 0x%08lx\n", request.code, request.inputLength,
                 request.outputLength, status);
        request.information = 0;
    }
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = request.information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}
