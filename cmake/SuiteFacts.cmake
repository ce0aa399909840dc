# The names that the programs, the driver, the resources and the installer all spell, written here
# once. The build writes them into generated/SuiteFacts.h (C, C++ and the resource scripts) and
# generated/SuiteFacts.nsh (the installer's scripts). The version is the project's.
set(QR_MAKER "Orvale")
set(QR_PRODUCT_LINE "TouchScreen")
set(QR_MODEL "QR-K52-PS2")
set(QR_VERSION_LABEL "K520.PS2")
set(QR_DRIVER_NAME "QRWNTPS2")
# Written by setup, and by the installer first, when no PS/2 pointing device is found.
set(QR_CONTROLLER_HARDWARE_ID "*VXN0001")
# In the Windows folder; the install side's log.
set(QR_INSTALL_LOG "TouchScreen.log")
# The right-button tool's caption while it runs, by which the installer finds it.
set(QR_TOOL_CAPTION " P-RBF")

set(QR_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/SuiteFacts.h.in ${QR_GENERATED_DIR}/SuiteFacts.h @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/SuiteFacts.nsh.in ${QR_GENERATED_DIR}/SuiteFacts.nsh @ONLY)
include_directories(${QR_GENERATED_DIR})
