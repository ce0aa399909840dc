; What the installer and the uninstall program share: where the suite's files and keys lie, and
; where the installer keeps what Windows had before it changed anything.

!define PRODUCT      "TouchScreen QR-K52-PS2"
!define MAKER        "Orvale"
!define VERSION      "5.2.0"

!define RECORD_KEY   "SOFTWARE\Orvale\TouchScreen\QR-K52-PS2"
!define MAKER_KEY    "SOFTWARE\Orvale"
!define SERIES_KEY   "SOFTWARE\Orvale\TouchScreen"
!define SERVICES_KEY "System\CurrentControlSet\Services"
!define SERVICE_KEY  "${SERVICES_KEY}\QRWNTPS2"
!define EVENTLOG_KEY "${SERVICES_KEY}\EventLog\System\QRWNTPS2"
!define PORT_KEY     "${SERVICES_KEY}\i8042prt"
!define RUN_KEY      "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE    "TouchScreen QR-K52-PS2"
; Add or Remove Programs; also holds what Windows had before the first installation.
!define ARP_KEY      "Software\Microsoft\Windows\CurrentVersion\Uninstall\TouchScreen QR-K52-PS2"
!define MENU_FOLDER  "TouchScreen"

; The keys the installation creates, setup's among them, each with the name under which the
; installer notes whether it was there before: a key that was not is deleted again. The suite's
; own keys go whole; a key that others may share since (the port driver's, the maker's) only
; when nothing is left in it. The record comes last but for the Add or Remove Programs entry: a
; removal cut off before it can be run again.
!macro ForEachCreatedKey DO
  !insertmacro ${DO} "${SERVICE_KEY}" "HadServiceKey" ""
  !insertmacro ${DO} "${EVENTLOG_KEY}" "HadEventLogKey" ""
  !insertmacro ${DO} "${PORT_KEY}\Parameters" "HadPortParameters" "/ifempty"
  !insertmacro ${DO} "${PORT_KEY}" "HadPortKey" "/ifempty"
  !insertmacro ${DO} "${RECORD_KEY}" "HadRecordKey" ""
  !insertmacro ${DO} "${SERIES_KEY}" "HadSeriesKey" "/ifempty"
  !insertmacro ${DO} "${MAKER_KEY}" "HadMakerKey" "/ifempty"
!macroend

; Sets $R9 to 1 when the key exists, else 0.
!macro KeyExists KEY
  ClearErrors
  EnumRegKey $R9 HKLM "${KEY}" 0
  StrCpy $R9 1
  IfErrors 0 +2
    StrCpy $R9 0
!macroend
