; The suite's uninstall program, unins000.exe in the installation folder, started by the uninstaller
; as `unins000.exe /SILENT`. makensis -DTARGET=x86-ansi|amd64-unicode -DOUTFILE=<file>
;
; Built as an installer, not as an NSIS uninstaller: those copy themselves to the temp folder and
; end at once, and the uninstaller waits for the process it started. It removes what the installer
; put in place and the keys that the installation created, and puts back what Windows had; the port
; driver's file and QRWNTPde.exe are the uninstaller's own work. What is in use goes at the restart.

Target ${TARGET}
!include "Suite.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SilentInstall silent
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileDescription" "${PRODUCT} uninstall program"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${MAKER}"
VIAddVersionKey "LegalCopyright" "${MAKER}"

; "/SILENT" is what the uninstaller passes; the removal asks nothing either way.
Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/SILENT" $1
FunctionEnd

!macro RemoveCreatedKey KEY NAME
  ReadRegDWORD $0 HKLM "${ARP_KEY}" "${NAME}"
  ${If} $0 == 0
    DeleteRegKey HKLM "${KEY}"
  ${EndIf}
!macroend

Section
  ReadRegStr $INSTDIR HKLM "${RECORD_KEY}" "InstallPath"
  ${If} $INSTDIR == ""
    StrCpy $INSTDIR $EXEDIR
  ${EndIf}

  Delete /REBOOTOK "$INSTDIR\QRWNTPcp.exe"
  Delete /REBOOTOK "$INSTDIR\QRWNTPao.exe"
  Delete /REBOOTOK "$INSTDIR\QRWNTPrb.exe"
  Delete /REBOOTOK "$INSTDIR\QRWNTPdi.exe"
  Delete "$INSTDIR\QRVender.Bmp"
  Delete "$INSTDIR\QRVender.Cut"
  Delete "$INSTDIR\setup.oem"
  Delete /REBOOTOK "$INSTDIR\unins000.exe"
  RMDir /REBOOTOK "$INSTDIR"
  Delete /REBOOTOK "$SYSDIR\drivers\QRWNTPS2.sys"

  SetShellVarContext all
  Delete "$SMPROGRAMS\${MENU_FOLDER}\TouchScreen Control Panel.lnk"
  Delete "$SMPROGRAMS\${MENU_FOLDER}\TouchScreen Right Button.lnk"
  RMDir "$SMPROGRAMS\${MENU_FOLDER}"

  DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"

  ; Without a note of what Windows had there is nothing to put back, and no key is known to be
  ; the installation's own but the record.
  ReadRegDWORD $0 HKLM "${ARP_KEY}" "BeforeNoted"
  ${If} $0 == 1
    ClearErrors
    ReadRegDWORD $1 HKLM "${ARP_KEY}" "PortErrorControl"
    ${If} ${Errors}
      DeleteRegValue HKLM "${PORT_KEY}" "ErrorControl"
    ${Else}
      WriteRegDWORD HKLM "${PORT_KEY}" "ErrorControl" $1
    ${EndIf}
    !insertmacro ForEachCreatedKey RemoveCreatedKey
  ${Else}
    DeleteRegKey HKLM "${RECORD_KEY}"
  ${EndIf}
  DeleteRegKey HKLM "${ARP_KEY}"
SectionEnd
