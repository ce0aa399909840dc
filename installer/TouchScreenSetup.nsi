; The suite's installer. makensis -DTARGET=x86-ansi|amd64-unicode -DBIN=<folder of the programs and
; unins000.exe> -DDRIVER=<driver file> [-DVENDOR=<folder of the vendor files>] -DOUTFILE=<file>
;
; A wizard of three pages: welcome, installation folder, progress. It puts the programs, the
; uninstaller and the driver file in place, writes the installation record, the logon entry, the
; Start-menu shortcuts and the Add or Remove Programs entry, notes first what Windows had that the
; installation changes, and runs setup last, whose message and restart end it (so no closing page).
; Over an earlier installation it closes the running right-button tool first, asks before it puts
; an older version over a newer one, and removes the earlier folder when it installs elsewhere.

Target ${TARGET}
!include "Suite.nsh"
!include "WinVer.nsh"
!include "x64.nsh"
!include "WordFunc.nsh"
!include "WinMessages.nsh"
!include "MUI2.nsh"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\TouchScreen"
InstallDirRegKey HKLM "${RECORD_KEY}" "InstallPath"
RequestExecutionLevel admin
ShowInstDetails show
BrandingText "${MAKER} ${PRODUCT} ${VERSION}"
; Setup's message and its restart end the installation: the wizard closes when its work is done.
AutoCloseWindow true
; A file that cannot be written ends the installation (silently too) before setup runs: setup then
; never sets the PS/2 port driver aside for a touch driver that is not there.
AllowSkipFiles off
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${MAKER}"
VIAddVersionKey "LegalCopyright" "${MAKER}"

!define MUI_ICON "${SUITE_ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Setup will guide you through the installation of ${PRODUCT}: the touch screen's \
driver, which takes the place of the PS/2 port driver, and the programs that calibrate the screen and change \
its settings.$\r$\n$\r$\nWhen the files are in place, Windows restarts. Save your work and close your other \
programs before you go on.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The right-button tool's window class and its own close command, which the uninstaller sends it
; too, read from the headers the programs are built with (its caption is in SuiteFacts.nsh).
!searchparse /file "${__FILEDIR__}/../toolkit/automation.h" '#define TK_FORM_CLASS      "' TOOL_CLASS '"'
!searchparse /file "${__FILEDIR__}/../driver/qrwntps2.h" "#define RBF_CMD_CLOSE " TOOL_CLOSE
!define SYNCHRONIZE    0x00100000

; The folder of an earlier installation, found at the start: a failed run then leaves its files
; where they are, and the folder goes when this installation goes elsewhere.
Var EarlierFolder

; The installer's own exit code when setup could not be started (its other codes are setup's).
!define EXIT_SETUP_NOT_STARTED 3

; Replaces the folder on the stack by its full long path without a trailing backslash, so that one
; folder named in two ways (its short name, another letter case, a trailing backslash) compares
; equal; a folder that is not there stays as it was named. GetLongPathName is looked up when it is
; called: Windows NT 4.0 lacks it, and the name then stays as the system gave it.
Function FolderForComparison
  Exch $R0
  Push $R1
  Push $R2
  ClearErrors
  GetFullPathName $R1 $R0
  ${IfNot} ${Errors}
    StrCpy $R0 $R1
    System::Call 'kernel32::GetLongPathName(t R0, t .R1, i ${NSIS_MAX_STRLEN}) i .R2'
    ${If} $R2 > 0
    ${AndIf} $R2 < ${NSIS_MAX_STRLEN}
      StrCpy $R0 $R1
    ${EndIf}
  ${EndIf}
  StrCpy $R1 $R0 1 -1
  ${If} $R1 == "\"
    StrCpy $R0 $R0 -1
  ${EndIf}
  Pop $R2
  Pop $R1
  Exch $R0
FunctionEnd

; A vendor's file of the earlier folder goes with the installation when this installer brought
; none of that name; it is deleted there only once its copy is in place. Anything else of the
; vendor's stays where it is: the installer did not write it.
!macro CarryVendorFile FILE
  ${GetFileName} "${FILE}" $R3
  ${If} ${FileExists} "${FILE}"
  ${AndIfNot} ${FileExists} "$INSTDIR\$R3"
    CopyFiles /SILENT "${FILE}" "$INSTDIR\$R3"
    ${If} ${FileExists} "$INSTDIR\$R3"
      Delete /REBOOTOK "${FILE}"
      !insertmacro Log "Carried the vendor's file ${FILE} over to $INSTDIR."
    ${EndIf}
  ${EndIf}
!macroend

; Stops before anything is changed, with the reason (also as the exit code when silent).
!macro Refuse TEXT
  !insertmacro Log "${TEXT}"
  MessageBox MB_OK|MB_ICONSTOP "${TEXT}" /SD IDOK
  SetErrorLevel 2
  Quit
!macroend

Function .onInit
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    !insertmacro Refuse "${PRODUCT} can only be installed by an administrator."
  ${EndIf}

  ; The NT family up to XP, and XP's 64-bit edition (5.2) for a 64-bit build.
  ${IfNot} ${IsNT}
  ${OrIfNot} ${AtLeastWinNT4}
  !if "${TARGET}" == "amd64-unicode"
  ${OrIfNot} ${AtMostWin2003}
  !else
  ${OrIfNot} ${AtMostWinXP}
  !endif
    !insertmacro Refuse "${PRODUCT} needs Windows NT 4.0, Windows 2000 or Windows XP."
  ${EndIf}
  !if "${TARGET}" != "amd64-unicode"
    ${If} ${RunningX64}
      !insertmacro Refuse "${PRODUCT} runs on the 32-bit editions of Windows NT 4.0, Windows 2000 and Windows XP only."
    ${EndIf}
  !endif

  ; Setup sets the port driver's file aside: without it there is nothing to take over from.
  ; An earlier installation has already set it aside.
  ${IfNot} ${FileExists} "$SYSDIR\drivers\i8042prt.sys"
    ReadRegStr $0 HKLM "${RECORD_KEY}" "InstallPath"
    ${If} $0 == ""
    ${OrIfNot} ${FileExists} "$SYSDIR\drivers\i8042prt.off"
      !insertmacro Refuse "The PS/2 port driver ($SYSDIR\drivers\i8042prt.sys) is not there: ${PRODUCT} cannot take its place."
    ${EndIf}
  ${EndIf}

  ReadRegStr $EarlierFolder HKLM "${RECORD_KEY}" "InstallPath"

  ; Going back to an older version is a choice; silently, the answer is no.
  ReadRegStr $0 HKLM "${ARP_KEY}" "DisplayVersion"
  ${If} $0 != ""
    ${VersionCompare} $0 "${VERSION}" $1
    ${If} $1 == 1
      MessageBox MB_YESNO|MB_ICONQUESTION "${PRODUCT} $0 is installed, a newer version than this one.$\r$\n$\r$\nReplace it with version ${VERSION}?" /SD IDNO IDYES older
        !insertmacro Log "Not installed: version $0 is installed, newer than ${VERSION}."
        SetErrorLevel 2
        Quit
      older:
    ${EndIf}
  ${EndIf}
FunctionEnd

; A first installation that fails takes back what it had put in place; nothing of it is
; registered yet. An update leaves the earlier installation's files as they are now.
Function .onInstFailed
  !insertmacro Log "The installation failed."
  ${If} $EarlierFolder == ""
    !insertmacro ForEachInstalledFile DeleteNow "$INSTDIR"
    RMDir "$INSTDIR"
    Delete "$WINDIR\QRWNTPde.exe"
    Delete "$SYSDIR\drivers\${DRIVER_NAME}.new"
    DeleteRegKey HKLM "${ARP_KEY}"
  ${EndIf}
FunctionEnd

!macro NoteKey KEY NAME HOW
  !insertmacro KeyExists "${KEY}"
  WriteRegDWORD HKLM "${ARP_KEY}" "${NAME}" $R9
!macroend

Section
  !insertmacro Log "Installing ${PRODUCT} ${VERSION} into $INSTDIR."
  ; What Windows had, noted at the first installation only: an update must not take the suite's
  ; own keys for Windows' ones.
  ReadRegDWORD $0 HKLM "${ARP_KEY}" "BeforeNoted"
  ${If} $0 != 1
    !insertmacro ForEachCreatedKey NoteKey
    ClearErrors
    ReadRegDWORD $0 HKLM "${PORT_KEY}" "ErrorControl"
    ${IfNot} ${Errors}
      WriteRegDWORD HKLM "${ARP_KEY}" "PortErrorControl" $0
    ${EndIf}
    WriteRegDWORD HKLM "${ARP_KEY}" "BeforeNoted" 1
  ${EndIf}

  ; The running right-button tool holds its file: it is closed first, by its own close command,
  ; and awaited.
  FindWindow $0 "${TOOL_CLASS}" "${TOOL_CAPTION}"
  ${If} $0 <> 0
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1) i'
    System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r1) p .r2'
    SendMessage $0 ${WM_USER} ${TOOL_CLOSE} 0 /TIMEOUT=5000
    ${If} $2 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r2, i 10000) i'
      System::Call 'kernel32::CloseHandle(p r2)'
    ${EndIf}
    !insertmacro Log "Closed the running right-button tool."
  ${EndIf}

  SetOverwrite on
  SetOutPath "$INSTDIR"
  File "${BIN}\QRWNTPcp.exe"
  File "${BIN}\QRWNTPao.exe"
  File "${BIN}\QRWNTPrb.exe"
  File "${BIN}\QRWNTPdi.exe"
  File "${BIN}\unins000.exe"
  !ifdef VENDOR
    File /nonfatal "${VENDOR}\QRVender.Bmp"
    File /nonfatal "${VENDOR}\QRVender.Cut"
    File /nonfatal "${VENDOR}\setup.oem"
  !endif
  SetOutPath "$WINDIR"
  File "${BIN}\QRWNTPde.exe"
  ; The driver is written beside itself, then takes its place: at once on a first installation,
  ; at the next start (before it loads) over one that is in use. A write cut off in the middle
  ; never leaves a broken driver registered to start with Windows; setup checks the one in place.
  SetOutPath "$SYSDIR\drivers"
  ClearErrors
  File "/oname=${DRIVER_NAME}.new" "${DRIVER}"
  ${If} ${Errors}
  ${OrIfNot} ${FileExists} "$SYSDIR\drivers\${DRIVER_NAME}.new"
    Delete "$SYSDIR\drivers\${DRIVER_NAME}.new"
    !insertmacro Log "The touch driver's file $SYSDIR\drivers\${DRIVER_NAME}.new could not be written."
    Abort "The touch driver's file could not be written."
  ${EndIf}
  ${If} ${FileExists} "$SYSDIR\drivers\${DRIVER_NAME}.sys"
    Rename /REBOOTOK "$SYSDIR\drivers\${DRIVER_NAME}.new" "$SYSDIR\drivers\${DRIVER_NAME}.sys"
  ${Else}
    Rename "$SYSDIR\drivers\${DRIVER_NAME}.new" "$SYSDIR\drivers\${DRIVER_NAME}.sys"
  ${EndIf}

  WriteRegStr HKLM "${RECORD_KEY}" "VenderName" "${VENDOR_NAME}"
  WriteRegStr HKLM "${RECORD_KEY}" "InstallPath" "$INSTDIR"
  WriteRegStr HKLM "${RECORD_KEY}" "WindowsPath" "$WINDIR"
  WriteRegStr HKLM "${RECORD_KEY}" "SystemPath" "$SYSDIR"
  WriteRegStr HKLM "${RECORD_KEY}" "HardwareID" "${HARDWARE_ID}"

  WriteRegStr HKLM "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\QRWNTPao.exe"'

  WriteRegStr HKLM "${ARP_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${ARP_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${ARP_KEY}" "Publisher" "${MAKER}"
  WriteRegStr HKLM "${ARP_KEY}" "DisplayIcon" "$INSTDIR\QRWNTPcp.exe"
  WriteRegStr HKLM "${ARP_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${ARP_KEY}" "UninstallString" '"$WINDIR\QRWNTPde.exe"'
  WriteRegDWORD HKLM "${ARP_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${ARP_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K /G=0" $0 $1 $2
  ${GetSize} "$SYSDIR\drivers" "/M=${DRIVER_NAME}.* /S=0K /G=0" $3 $1 $2
  IntOp $0 $0 + $3
  ${GetSize} "$WINDIR" "/M=QRWNTPde.exe /S=0K /G=0" $3 $1 $2
  IntOp $0 $0 + $3
  WriteRegDWORD HKLM "${ARP_KEY}" "EstimatedSize" $0
  ; The vendor's support address, when its setup.oem gives one.
  ClearErrors
  ReadINIStr $0 "$INSTDIR\setup.oem" "SETUP" "URL"
  ${If} $0 != ""
    WriteRegStr HKLM "${ARP_KEY}" "HelpLink" $0
    WriteRegStr HKLM "${ARP_KEY}" "URLInfoAbout" $0
  ${Else}
    DeleteRegValue HKLM "${ARP_KEY}" "HelpLink"
    DeleteRegValue HKLM "${ARP_KEY}" "URLInfoAbout"
  ${EndIf}

  ; An installation moved to another folder takes its files from the earlier one; the earlier
  ; folder goes when nothing else is left in it.
  Push $EarlierFolder
  Call FolderForComparison
  Pop $0
  Push $INSTDIR
  Call FolderForComparison
  Pop $1
  ${If} $EarlierFolder != ""
  ${AndIf} $0 != $1
    !insertmacro ForEachProgramFile DeleteAtRestart "$EarlierFolder"
    !insertmacro ForEachVendorFile CarryVendorFile "$EarlierFolder"
    RMDir /REBOOTOK "$EarlierFolder"
    ; Windows defers the removal while something still holds the folder or a file in it.
    ${If} ${FileExists} "$EarlierFolder\*.*"
      !insertmacro Log "The earlier installation folder $EarlierFolder goes at the restart, when nothing is left in it."
    ${Else}
      !insertmacro Log "Removed the earlier installation folder $EarlierFolder."
    ${EndIf}
  ${EndIf}

  ; The shortcuts start in the installation folder, where the programs find their files.
  SetOutPath "$INSTDIR"
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\${MENU_FOLDER}"
  CreateShortcut "$SMPROGRAMS\${MENU_FOLDER}\TouchScreen Control Panel.lnk" "$INSTDIR\QRWNTPcp.exe"
  CreateShortcut "$SMPROGRAMS\${MENU_FOLDER}\TouchScreen Right Button.lnk" "$INSTDIR\QRWNTPrb.exe"

  ; Setup registers the driver in place of the port driver and asks for the restart. Its exit code
  ; says which step failed; the installer ends with it.
  !insertmacro Log "Files and keys in place; starting setup."
  ClearErrors
  ExecWait '"$INSTDIR\QRWNTPdi.exe"' $0
  ${If} ${Errors}
    DetailPrint "Setup could not be started."
    !insertmacro Log "Setup ($INSTDIR\QRWNTPdi.exe) could not be started: the driver is not registered."
    SetErrorLevel ${EXIT_SETUP_NOT_STARTED}
  ${ElseIf} $0 != 0
    DetailPrint "Setup ended with exit code $0."
    !insertmacro Log "Setup ended with exit code $0."
    SetErrorLevel $0
  ${EndIf}
SectionEnd
