@echo off
rem Installs Quillara! into the system folder and makes it the current
rem user's screen saver.  Writing into the system folder is what needs
rem administrator rights, so that write is the check.
setlocal
rem The system's architecture: a 32-bit cmd on 64-bit Windows is told x86,
rem and reaches the 64-bit system folder only through Sysnative.
set arch=%PROCESSOR_ARCHITECTURE%
set folder=%SystemRoot%\System32
if defined PROCESSOR_ARCHITEW6432 (
  set arch=%PROCESSOR_ARCHITEW6432%
  set folder=%SystemRoot%\Sysnative
)
if /i "%arch%"=="AMD64" (set file=x64) else if /i "%arch%"=="x86" (set file=x86) else (
  echo install.cmd: Quillara! is for x86 and x64 Windows, not %arch%.
  exit /b 1
)
if not exist "%~dp0%file%\quillara.scr" (
  echo install.cmd: %file%\quillara.scr is missing. Extract the whole zip first.
  exit /b 1
)
rem "if errorlevel" rather than "||": Wine's cmd runs "||" after every copy.
copy /y "%~dp0%file%\quillara.scr" "%folder%\quillara.scr" >nul 2>&1
rem The message names System32, the folder the user knows, also where the
rem 32-bit cmd wrote through Sysnative.
if errorlevel 1 (
  echo install.cmd: cannot write to %SystemRoot%\System32. Run it as administrator: right-click it, "Run as administrator".
  exit /b 1
)
rem The path as 64-bit programs see it, whichever cmd runs this.
set key="HKCU\Control Panel\Desktop"
reg add %key% /v SCRNSAVE.EXE /t REG_SZ /d "%SystemRoot%\System32\quillara.scr" /f >nul
if errorlevel 1 exit /b 1
reg add %key% /v ScreenSaveActive /t REG_SZ /d 1 /f >nul
if errorlevel 1 exit /b 1
echo Quillara! is installed in %SystemRoot%\System32 and is now your screen saver.
