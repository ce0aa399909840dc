; The suite's installer. makensis -DTARGET=x86-ansi|amd64-unicode -DBIN=<folder of the programs and
; unins000.exe> -DDRIVER=<driver file> [-DVENDOR=<folder of the vendor files>] -DOUTFILE=<file>
;
; Puts the programs, the uninstaller and the driver file in place, writes the installation record,
; the logon entry, the Start-menu shortcuts and the Add or Remove Programs entry, notes first what
; Windows had that the installation changes, and runs setup last, which ends in the restart.

Target ${TARGET}
!include "Suite.nsh"
!include "WinVer.nsh"
!include "x64.nsh"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\TouchScreen"
InstallDirRegKey HKLM "${RECORD_KEY}" "InstallPath"
RequestExecutionLevel admin
ShowInstDetails show
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

Page directory
Page instfiles

; An earlier installation, found at the start: a failed run then leaves its files where they are.
Var Update

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
    ${WinVerGetMajor} $0
    ${WinVerGetMinor} $1
    !insertmacro Refuse "${PRODUCT} needs Windows NT 4.0, 2000 or XP (this is Windows $0.$1)."
  ${EndIf}
  !if "${TARGET}" != "amd64-unicode"
    ${If} ${RunningX64}
      !insertmacro Refuse "${PRODUCT} runs on 32-bit Windows only."
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

  ReadRegStr $0 HKLM "${RECORD_KEY}" "InstallPath"
  StrCpy $Update 0
  ${If} $0 != ""
    StrCpy $Update 1
  ${EndIf}
FunctionEnd

; A first installation that fails takes back what it had put in place; nothing of it is
; registered yet. An update leaves the earlier installation's files as they are now.
Function .onInstFailed
  !insertmacro Log "The installation failed."
  ${If} $Update == 0
    Delete "$INSTDIR\QRWNTPcp.exe"
    Delete "$INSTDIR\QRWNTPao.exe"
    Delete "$INSTDIR\QRWNTPrb.exe"
    Delete "$INSTDIR\QRWNTPdi.exe"
    Delete "$INSTDIR\unins000.exe"
    Delete "$INSTDIR\QRVender.Bmp"
    Delete "$INSTDIR\QRVender.Cut"
    Delete "$INSTDIR\setup.oem"
    RMDir "$INSTDIR"
    Delete "$WINDIR\QRWNTPde.exe"
    Delete "$SYSDIR\drivers\QRWNTPS2.new"
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
  File "/oname=QRWNTPS2.new" "${DRIVER}"
  ${If} ${Errors}
  ${OrIfNot} ${FileExists} "$SYSDIR\drivers\QRWNTPS2.new"
    Delete "$SYSDIR\drivers\QRWNTPS2.new"
    !insertmacro Log "The touch driver's file $SYSDIR\drivers\QRWNTPS2.new could not be written."
    Abort "The touch driver's file could not be written."
  ${EndIf}
  ${If} ${FileExists} "$SYSDIR\drivers\QRWNTPS2.sys"
    Rename /REBOOTOK "$SYSDIR\drivers\QRWNTPS2.new" "$SYSDIR\drivers\QRWNTPS2.sys"
  ${Else}
    Rename "$SYSDIR\drivers\QRWNTPS2.new" "$SYSDIR\drivers\QRWNTPS2.sys"
  ${EndIf}

  WriteRegStr HKLM "${RECORD_KEY}" "VenderName" "${MAKER} TouchScreen"
  WriteRegStr HKLM "${RECORD_KEY}" "InstallPath" "$INSTDIR"
  WriteRegStr HKLM "${RECORD_KEY}" "WindowsPath" "$WINDIR"
  WriteRegStr HKLM "${RECORD_KEY}" "SystemPath" "$SYSDIR"
  WriteRegStr HKLM "${RECORD_KEY}" "HardwareID" "*VXN0001"

  WriteRegStr HKLM "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\QRWNTPao.exe"'

  WriteRegStr HKLM "${ARP_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${ARP_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${ARP_KEY}" "Publisher" "${MAKER}"
  WriteRegStr HKLM "${ARP_KEY}" "DisplayIcon" "$INSTDIR\QRWNTPcp.exe"
  WriteRegStr HKLM "${ARP_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${ARP_KEY}" "UninstallString" '"$WINDIR\QRWNTPde.exe"'
  WriteRegDWORD HKLM "${ARP_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${ARP_KEY}" "NoRepair" 1

  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\${MENU_FOLDER}"
  CreateShortcut "$SMPROGRAMS\${MENU_FOLDER}\TouchScreen Control Panel.lnk" "$INSTDIR\QRWNTPcp.exe"
  CreateShortcut "$SMPROGRAMS\${MENU_FOLDER}\TouchScreen Right Button.lnk" "$INSTDIR\QRWNTPrb.exe"

  ; Setup registers the driver in place of the port driver and asks for the restart. Its exit code
  ; says which step failed; the installer ends with it.
  !insertmacro Log "Files and keys in place; starting setup."
  ExecWait '"$INSTDIR\QRWNTPdi.exe"' $0
  ${If} $0 != 0
    DetailPrint "Setup ended with exit code $0."
    !insertmacro Log "Setup ended with exit code $0."
    SetErrorLevel $0
  ${EndIf}
SectionEnd
