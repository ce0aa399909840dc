// The fixed names the programs of the suite share: driver, registry location, files,
// version label and the application titles. Every program spells them from here so
// that a rename happens in one place.
#ifndef COMMON_SUITENAMES_H
#define COMMON_SUITENAMES_H

#include "SuiteFacts.h"
#include "driver/qrwntps2.h"

// Driver: device "\\.\" + base name; service and file name base name + ".sys".
constexpr char kDriverBaseName[] = QR_DRIVER_BASE_NAME;
constexpr char kDevicePath[] = QR_DEVICE_USER_PATH;
constexpr char kDriverFileName[] = QR_DRIVER_BASE_NAME ".sys";

// Appended to the version line of every main window and to the driver's display name.
constexpr char kVersionLabel[] = QR_VERSION_LABEL;

// Installation record: maker key + "\" + model name under HKEY_LOCAL_MACHINE.
constexpr char kModelName[] = QR_MODEL;
constexpr char kMakerKey[] = QR_SERIES_KEY;

// Written by setup when no PS/2 pointing device was found.
constexpr char kControllerHardwareId[] = QR_CONTROLLER_HARDWARE_ID;

// Programs of the suite, all in the install folder.
constexpr char kControlPanelFile[] = "QRWNTPcp.exe";
constexpr char kUninstallerFile[] = "QRWNTPde.exe";
constexpr char kStartupFile[] = "QRWNTPao.exe";
constexpr char kSetupFile[] = "QRWNTPdi.exe";
constexpr char kRightButtonToolFile[] = "QRWNTPrb.exe";
// The installer's uninstall program, which the uninstaller runs.
constexpr char kUninstallProgramFile[] = "unins000.exe";

// The install side's log in the Windows folder: the installer, setup, the uninstaller and the
// uninstall program each append what they did and what failed, for whoever supports the PC.
constexpr char kInstallLogFile[] = QR_INSTALL_LOG;

// Vendor files, appended directly to the install folder (hence the leading "\").
constexpr char kVendorBitmapFile[] = "\\QRVender.Bmp";
constexpr char kVendorCutFile[] = "\\QRVender.Cut";

// Application titles: window captions and message box titles. The leading blanks belong to them.
constexpr char kControlPanelTitle[] = " TouchScreen Control Panel #" QR_MODEL;
constexpr char kStartupTitle[] = " TouchScreen System Startup #" QR_MODEL;
constexpr char kRightButtonTitle[] = " TouchScreen Right-Button #" QR_MODEL;
constexpr char kSetupTitle[] = "TouchScreen Driver Installation";
constexpr char kUninstallerTitle[] = "TouchScreen Software Removal";

// Title of the box the control panel and the right-button tool show when the driver cannot be opened.
constexpr char kDriverOpenFailureTitle[] = "TouchScreen Control Panel";

#endif
