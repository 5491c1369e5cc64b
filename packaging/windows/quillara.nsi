; The Windows setup: copies the .scr for this Windows into its system folder,
; lists Quillara! in Apps & Features and writes the uninstaller beside the
; entry.  scripts/release.sh builds it:
;
;   makensis -DVERSION=1.0.0 -DX64=x64.scr -DX86=x86.scr -DOUTFILE=setup.exe
;            [-DSIGN=scripts/sign.sh] quillara.nsi
;
; A 32-bit program, so on 64-bit Windows it sees System32 as SysWOW64 and the
; registry's 32-bit view unless told otherwise.
Unicode true
RequestExecutionLevel admin
SetCompressor /SOLID lzma
; No file times in the setup: the same inputs give the same bytes.
SetDateSave off
!ifdef SIGN
!uninstfinalize '"${SIGN}" "%1"' = 0
!finalize '"${SIGN}" "%1"' = 0
!endif

!include MUI2.nsh
!include x64.nsh

!define NAME "Quillara!"
!define PUBLISHER "the Quillara! authors"
!define ENTRY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillara!"
!define DESKTOP "Control Panel\Desktop"

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${NAME}"
ShowInstDetails nevershow
ShowUninstDetails nevershow
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 ProductName "${NAME}"
VIAddVersionKey /LANG=0 ProductVersion "${VERSION}"
VIAddVersionKey /LANG=0 FileVersion "${VERSION}"
VIAddVersionKey /LANG=0 FileDescription "${NAME} setup"
VIAddVersionKey /LANG=0 CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=0 LegalCopyright "Copyright (c) 2026 ${PUBLISHER}"

!define MUI_ICON "..\..\resources\quillara.ico"
!define MUI_UNICON "..\..\resources\quillara.ico"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Open the Screen Saver settings with ${NAME} selected"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenSaverSettings
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

; The uninstaller cannot delete its own running file, so the entry's commands
; run it in its folder (_?=, no copy in the temp folder) under cmd, which
; waits, then deletes it and the folder: the exit code is the uninstall's.
; "if errorlevel" rather than "&&", which Wine's cmd runs after a failure too.
!define UNINSTALL `"$SYSDIR\cmd.exe" /d /s /c ""$INSTDIR\uninstall.exe"`
!define AND_REMOVE `_?=$INSTDIR&if not errorlevel 1 (del "$INSTDIR\uninstall.exe"&rd "$INSTDIR")"`

Function .onInit
  ${If} ${IsNativeAMD64}
    SetRegView 64
  ${ElseIfNot} ${IsNativeIA32}
    MessageBox MB_ICONSTOP "${NAME} is for x86 and x64 Windows only." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
FunctionEnd

Section
  ; Writing into the system folder needs administrator rights: it comes first,
  ; so without them nothing changes.  Redirection is off for the copy only.
  SetOverwrite try
  ClearErrors
  ${DisableX64FSRedirection}
  ${If} ${IsNativeAMD64}
    File "/oname=$SYSDIR\quillara.scr" "${X64}"
  ${Else}
    File "/oname=$SYSDIR\quillara.scr" "${X86}"
  ${EndIf}
  FileOpen $0 "$SYSDIR\quillara.scr" r
  FileSeek $0 0 END $1
  FileClose $0
  ${EnableX64FSRedirection}
  ${If} ${Errors}
    MessageBox MB_ICONSTOP "Cannot write $SYSDIR\quillara.scr: run the setup as administrator." /SD IDOK
    Abort
  ${EndIf}

  ; One entry, whichever version wrote it before.
  WriteRegStr HKLM "${ENTRY}" DisplayName "${NAME}"
  WriteRegStr HKLM "${ENTRY}" DisplayVersion "${VERSION}"
  WriteRegStr HKLM "${ENTRY}" Publisher "${PUBLISHER}"
  WriteRegStr HKLM "${ENTRY}" DisplayIcon "$SYSDIR\quillara.scr"
  WriteRegStr HKLM "${ENTRY}" InstallLocation "$INSTDIR"
  WriteRegStr HKLM "${ENTRY}" UninstallString `${UNINSTALL} ${AND_REMOVE}`
  WriteRegStr HKLM "${ENTRY}" QuietUninstallString `${UNINSTALL} /S ${AND_REMOVE}`
  WriteRegDWORD HKLM "${ENTRY}" NoModify 1
  WriteRegDWORD HKLM "${ENTRY}" NoRepair 1
  IntOp $1 $1 + 1023
  IntOp $1 $1 / 1024
  WriteRegDWORD HKLM "${ENTRY}" EstimatedSize $1
  CreateDirectory "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
SectionEnd

; As the shell's Install verb for a .scr: the settings dialog, ours selected.
; The 64-bit rundll32 on 64-bit Windows, which sees our file.
Function OpenSaverSettings
  ${DisableX64FSRedirection}
  Exec '"$SYSDIR\rundll32.exe" desk.cpl,InstallScreenSaver $SYSDIR\quillara.scr'
  ${EnableX64FSRedirection}
FunctionEnd

Function un.onInit
  ${If} ${IsNativeAMD64}
    SetRegView 64
  ${EndIf}
FunctionEnd

Section Uninstall
  ${DisableX64FSRedirection}
  Delete "$SYSDIR\quillara.scr"
  ${If} ${FileExists} "$SYSDIR\quillara.scr"
    ${EnableX64FSRedirection}
    MessageBox MB_ICONSTOP "Cannot delete $SYSDIR\quillara.scr: run the uninstaller as administrator." /SD IDOK
    Abort
  ${EndIf}
  ${EnableX64FSRedirection}
  ; The current user's saver goes only if it is still ours, wherever it lies.
  ReadRegStr $0 HKCU "${DESKTOP}" SCRNSAVE.EXE
  StrCpy $0 "\$0" "" -13
  ${If} $0 == "\quillara.scr"
    DeleteRegValue HKCU "${DESKTOP}" SCRNSAVE.EXE
  ${EndIf}
  DeleteRegKey HKLM "${ENTRY}"
  ; Run from a copy in the temp folder (without _?=), the uninstaller can
  ; remove its original here.
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
