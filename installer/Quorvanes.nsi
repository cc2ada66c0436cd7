; Quorvanes.exe: installs Haulbox_DOWN.exe, Haulbox_UPLOAD.exe and their skin
; pictures into <program files>\Quorvanes, with an uninstaller and an entry in
; the system's list of installed programs. It asks nothing: its one page
; shows the copy and closes by itself, so that the web control, which waits
; for its end, can go on.
;
; The build defines:
;   OUT_FILE       the installer to write
;   PROGRAMS_DIR   the folder holding the two programs and images\
;   VERSION        the programs' version, "1.0.0.8"
;   PROGRAM_FILES  $PROGRAMFILES, or $PROGRAMFILES64 for 64-bit programs
;   WIN64          defined for 64-bit programs (a 64-bit installer)

; The installer runs as the programs do: 32-bit, or 64-bit for 64-bit programs.
!ifdef WIN64
  Target amd64-unicode
!else
  Unicode true
!endif
!include "MUI2.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvanes"

Name "Quorvanes"
Caption "Quorvanes 설치"
OutFile "${OUT_FILE}"
InstallDir "${PROGRAM_FILES}\Quorvanes"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
AutoCloseWindow true
ShowInstDetails nevershow
ShowUninstDetails nevershow
BrandingText "Quorvanes"

!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Korean"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_KOREAN} "ProductName" "Quorvanes"
VIAddVersionKey /LANG=${LANG_KOREAN} "CompanyName" "kavno"
VIAddVersionKey /LANG=${LANG_KOREAN} "LegalCopyright" "kavno"
VIAddVersionKey /LANG=${LANG_KOREAN} "FileDescription" "Quorvanes 설치"
VIAddVersionKey /LANG=${LANG_KOREAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_KOREAN} "ProductVersion" "${VERSION}"

Function .onInit
!ifdef WIN64
  SetRegView 64
!endif
FunctionEnd

Function un.onInit
!ifdef WIN64
  SetRegView 64
!endif
FunctionEnd

; A program that is running cannot be overwritten, but it can be renamed:
; the running copy goes on under a new name of its own (one per update, so
; that a copy still running from an earlier update is never in the way) and
; is removed at the next start of the system.
!macro ReplaceProgram NAME
  IfFileExists "$INSTDIR\${NAME}" 0 +5
    GetTempFileName $0 "$INSTDIR"
    Delete $0
    Rename "$INSTDIR\${NAME}" $0
    Delete /REBOOTOK $0
  File "${PROGRAMS_DIR}\${NAME}"
!macroend

Section "Quorvanes"
  SetOutPath "$INSTDIR"
  !insertmacro ReplaceProgram "Haulbox_DOWN.exe"
  !insertmacro ReplaceProgram "Haulbox_UPLOAD.exe"
  SetOutPath "$INSTDIR\images"
  File "${PROGRAMS_DIR}\images\download_bg.bmp"
  File "${PROGRAMS_DIR}\images\upload_bg.bmp"
  File "${PROGRAMS_DIR}\images\config_bg.bmp"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quorvanes"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "kavno"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Haulbox_DOWN.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  ; A program still running goes at the next start of the system.
  Delete /REBOOTOK "$INSTDIR\Haulbox_DOWN.exe"
  Delete /REBOOTOK "$INSTDIR\Haulbox_UPLOAD.exe"
  Delete /REBOOTOK "$INSTDIR\*.tmp"
  Delete "$INSTDIR\images\download_bg.bmp"
  Delete "$INSTDIR\images\upload_bg.bmp"
  Delete "$INSTDIR\images\config_bg.bmp"
  RMDir "$INSTDIR\images"
  Delete "$INSTDIR\uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
