; The suite's uninstall program, unins000.exe in the installation folder, started by the uninstaller
; as `unins000.exe /SILENT`. makensis -DTARGET=x86-ansi|amd64-unicode -DOUTFILE=<file>
;
; Built as an installer, not as an NSIS uninstaller: those copy themselves to the temp folder and
; end at once, and the uninstaller waits for the process it started. It puts the PS/2 port driver's
; file back first, then removes what the installer put in place and the keys that the installation
; created, puts back what Windows had, and removes the Add or Remove Programs entry last. Run on its
; own, or still running after the uninstaller stopped waiting for it, it leaves nothing undone:
; QRWNTPde.exe goes too. What is in use goes at the restart.

Target ${TARGET}
!include "Suite.nsh"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SilentInstall silent
Icon "${SUITE_ICON}"
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

; A note that is not there says nothing: the key stays.
!macro RemoveCreatedKey KEY NAME HOW
  ClearErrors
  ReadRegDWORD $0 HKLM "${ARP_KEY}" "${NAME}"
  ${IfNot} ${Errors}
  ${AndIf} $0 == 0
    DeleteRegKey ${HOW} HKLM "${KEY}"
  ${EndIf}
!macroend

; Exit codes: 0 removed; 3 the PS/2 port driver's file could not be put back, so nothing was removed.
!define EXIT_PORT_DRIVER_NOT_RESTORED 3

; Puts the port driver's file back with the uninstaller's own code (PORT_RESTORE, carried inside this
; program): a whole i8042prt.sys stays, else a whole copy aside goes over it, written to the disk
; before the copy aside goes; a copy aside that is not whole is never copied. Sets the error flag
; when no whole i8042prt.sys is in place afterwards, or when the library cannot be called.
Function RestorePortDriver
  InitPluginsDir
  File "/oname=$PLUGINSDIR\QRPortRs.dll" "${PORT_RESTORE}"
  System::Call '$PLUGINSDIR\QRPortRs.dll::RestorePortDriver() i .r0 ?u'
  ClearErrors
  ${If} $0 != 0
    SetErrors
  ${EndIf}
FunctionEnd

Section
  ReadRegStr $INSTDIR HKLM "${RECORD_KEY}" "InstallPath"
  ${If} $INSTDIR == ""
    StrCpy $INSTDIR $EXEDIR
  ${EndIf}

  ; The PS/2 port driver serves the keyboard too: it is back in place before anything of the touch
  ; driver goes, also when this program runs on its own or after the uninstaller gave up waiting.
  !insertmacro Log "Removing ${PRODUCT} from $INSTDIR."
  Call RestorePortDriver
  ${If} ${Errors}
    !insertmacro Log "The PS/2 port driver's file could not be put back from $SYSDIR\drivers\i8042prt.off ($0), so nothing was removed."
    SetErrorLevel ${EXIT_PORT_DRIVER_NOT_RESTORED}
    Quit
  ${EndIf}
  !insertmacro Log "The PS/2 port driver's file is in place."

  !insertmacro ForEachInstalledFile DeleteAtRestart "$INSTDIR"
  RMDir /REBOOTOK "$INSTDIR"
  Delete /REBOOTOK "$SYSDIR\drivers\${DRIVER_NAME}.sys"
  Delete /REBOOTOK "$SYSDIR\drivers\${DRIVER_NAME}.new"
  Delete /REBOOTOK "$WINDIR\QRWNTPde.exe"

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
  !insertmacro Log "Removed; what is in use goes at the next start."
SectionEnd
