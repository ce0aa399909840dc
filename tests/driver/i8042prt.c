/* The test bed's PS/2 port driver file: a whole driver image that, like the port driver on a PC
 * without the controller, finds nothing to drive and does not stay loaded. The install side keeps
 * or restores the port driver's file only as a whole image, so the bed's must be one, as Windows'
 * own is. Wine holds the file of a driver that stays loaded, and setup could not set it aside. It
 * needs nothing of the kernel, so it imports nothing. */
long __stdcall DriverEntry(void *driver, void *registryPath);

#define STATUS_NO_SUCH_DEVICE ((long)0xC000000EL)

long __stdcall DriverEntry(void *driver, void *registryPath) {
    (void)driver;
    (void)registryPath;
    return STATUS_NO_SUCH_DEVICE;
}
