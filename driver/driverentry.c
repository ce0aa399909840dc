/* Loading and unloading of the driver, and open and close of its device. */
#include "qrdriver.h"

static DRIVER_UNLOAD QrUnload;
static DRIVER_DISPATCH QrDispatchCreateClose;

static NTSTATUS NTAPI QrDispatchCreateClose(PDEVICE_OBJECT device, PIRP irp)
{
    UNREFERENCED_PARAMETER(device);
    irp->IoStatus.Status = STATUS_SUCCESS;
    irp->IoStatus.Information = 0;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return STATUS_SUCCESS;
}

/* Without an unload routine the service could not be stopped and started again. */
static void NTAPI QrUnload(PDRIVER_OBJECT driver)
{
    UNICODE_STRING dosName;

    RtlInitUnicodeString(&dosName, QR_DEVICE_DOS_NAME);
    IoDeleteSymbolicLink(&dosName);
    if (driver->DeviceObject)
        IoDeleteDevice(driver->DeviceObject);
    QR_TRACE("unloaded\n");
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    UNICODE_STRING deviceName, dosName;
    PDEVICE_OBJECT device;
    QR_DEVICE_STATE *state;
    NTSTATUS status;

    UNREFERENCED_PARAMETER(registryPath);

    RtlInitUnicodeString(&deviceName, QR_DEVICE_NT_NAME);
    RtlInitUnicodeString(&dosName, QR_DEVICE_DOS_NAME);

    status = IoCreateDevice(driver, sizeof(QR_DEVICE_STATE), &deviceName, FILE_DEVICE_MOUSE, 0, FALSE, &device);
    if (!NT_SUCCESS(status)) {
        QR_TRACE("IoCreateDevice failed, 0x%08lx\n", status);
        return status;
    }

    state = (QR_DEVICE_STATE *)device->DeviceExtension;
    KeInitializeSpinLock(&state->lock);
    QrSetInitialState(state);

    status = IoCreateSymbolicLink(&dosName, &deviceName);
    if (!NT_SUCCESS(status)) {
        QR_TRACE("IoCreateSymbolicLink failed, 0x%08lx\n", status);
        IoDeleteDevice(device);
        return status;
    }

    driver->MajorFunction[IRP_MJ_CREATE] = QrDispatchCreateClose;
    driver->MajorFunction[IRP_MJ_CLEANUP] = QrDispatchCreateClose;
    driver->MajorFunction[IRP_MJ_CLOSE] = QrDispatchCreateClose;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = QrDispatchDeviceControl;
    driver->DriverUnload = QrUnload;

    device->Flags |= DO_BUFFERED_IO;
    device->Flags &= ~DO_DEVICE_INITIALIZING;
    QR_TRACE("loaded\n");
    return STATUS_SUCCESS;
}
