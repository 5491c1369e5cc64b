@echo off
rem Removes Quillara! from the system folder, and stops it being the current
rem user's screen saver only if it is: another saver stays chosen.
setlocal
set folder=%SystemRoot%\System32
if defined PROCESSOR_ARCHITEW6432 set folder=%SystemRoot%\Sysnative
if exist "%folder%\quillara.scr" del "%folder%\quillara.scr" >nul 2>&1
rem del says nothing through its exit code: look whether the file went.
if exist "%folder%\quillara.scr" (
  echo uninstall.cmd: cannot remove %SystemRoot%\System32\quillara.scr. Run it as administrator: right-click it, "Run as administrator".
  exit /b 1
)
set key="HKCU\Control Panel\Desktop"
set saver=
for /f "tokens=1,2,*" %%a in ('reg query %key% /v SCRNSAVE.EXE 2^>nul') do (
  if /i "%%a"=="SCRNSAVE.EXE" set saver=\%%c
)
rem Ours wherever it lies, also as a bare name or a short path.
if /i "%saver:~-13%"=="\quillara.scr" (
  reg delete %key% /v SCRNSAVE.EXE /f >nul
  if errorlevel 1 exit /b 1
)
echo Quillara! is uninstalled.
rem Nothing left to remove is success too, though the for /f over a query that
rem found no screen saver left the error level at 1.
exit /b 0
