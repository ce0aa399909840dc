; What the installer and the uninstall program share: where the suite's files and keys lie,
; where the installer keeps what Windows had before it changed anything, and the install log.

!include "LogicLib.nsh"
!include "FileFunc.nsh"

; The names the programs spell too: product, maker, version, driver, record key (GENERATED is the
; build's folder of them).
!include "${GENERATED}/SuiteFacts.nsh"

!define SERVICES_KEY "System\CurrentControlSet\Services"
!define SERVICE_KEY  "${SERVICES_KEY}\${DRIVER_NAME}"
!define EVENTLOG_KEY "${SERVICES_KEY}\EventLog\System\${DRIVER_NAME}"
!define PORT_KEY     "${SERVICES_KEY}\i8042prt"
!define RUN_KEY      "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE    "${PRODUCT}"
; Add or Remove Programs; also holds what Windows had before the first installation.
!define ARP_KEY      "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; The suite's icon, on the setup file and on the uninstall program.
!define SUITE_ICON   "${__FILEDIR__}/../resources/touch.ico"

; The files of the installation folder: the programs, which every installer writes, and the
; vendor's, which a vendor's installer brings or a vendor puts there by hand.
!macro ForEachProgramFile DO FOLDER
  !insertmacro ${DO} "${FOLDER}\QRWNTPcp.exe"
  !insertmacro ${DO} "${FOLDER}\QRWNTPao.exe"
  !insertmacro ${DO} "${FOLDER}\QRWNTPrb.exe"
  !insertmacro ${DO} "${FOLDER}\QRWNTPdi.exe"
  !insertmacro ${DO} "${FOLDER}\unins000.exe"
!macroend
!macro ForEachVendorFile DO FOLDER
  !insertmacro ${DO} "${FOLDER}\QRVender.Bmp"
  !insertmacro ${DO} "${FOLDER}\QRVender.Cut"
  !insertmacro ${DO} "${FOLDER}\setup.oem"
!macroend
!macro ForEachInstalledFile DO FOLDER
  !insertmacro ForEachProgramFile ${DO} "${FOLDER}"
  !insertmacro ForEachVendorFile ${DO} "${FOLDER}"
!macroend
!macro DeleteNow FILE
  Delete "${FILE}"
!macroend
; What is in use goes at the next start.
!macro DeleteAtRestart FILE
  Delete /REBOOTOK "${FILE}"
!macroend

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

; The install log in the Windows folder, which setup and the uninstaller append to as well: a line
; each, "YYYY-MM-DD hh:mm:ss PROGRAM.exe: text", for whoever supports the PC.
!define INSTALL_LOG  "$WINDIR\${INSTALL_LOG_FILE}"

!macro Log TEXT
  Push `${TEXT}`
  Call AppendToLog
!macroend

; A log that cannot be written loses the line, nothing else; the error flag is left as it was.
Function AppendToLog
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
  Push $8
  StrCpy $8 0
  IfErrors 0 +2
    StrCpy $8 1
  ${GetTime} "" "L" $1 $2 $3 $4 $5 $6 $7
  ClearErrors
  FileOpen $4 "${INSTALL_LOG}" a
  ${IfNot} ${Errors}
    FileSeek $4 0 END
    FileWrite $4 "$3-$2-$1 $5:$6:$7 $EXEFILE: $0$\r$\n"
    FileClose $4
  ${EndIf}
  ClearErrors
  ${If} $8 == 1
    SetErrors
  ${EndIf}
  Pop $8
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
