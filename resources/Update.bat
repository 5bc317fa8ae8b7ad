 @echo off
rem Tarvo's install script. TRV.EXE makes it from this template: every
rem per-cent sign here stands doubled and every path in double quotes. Above
rem these lines it sets TRV_PROGRAM_DIR, TRV_PROGRAM, TRV_UPDATE_DIR (both
rem folders with their trailing backslash), TRV_PID and TRV_REPORT, and
rem calls these lines as a subroutine; then it writes the exit code into
rem the report that the next start shows, starts the program again when
rem asked and removes the update folder (not after exit code 2). The exit
rem codes: 0 installed, 1 the program did not end, 2 a file could not be
rem replaced nor the replaced ones put back (the old files stay in the
rem update folder's "TRV-Sicherung"), 3 a folder could not be entered,
rem 4 the installed files could not be copied aside, 5 a file could not be
rem replaced and the replaced ones were put back. No command here may start
rem a second command processor ("for /f" on a command does): it would run
rem the user's AutoRun command, elevated.

rem The program holds TRV.lock open until its process ends. After two
rem minutes the installation is given up, untouched.
set /a TRV_WAIT=0
:wait
del "%%TRV_UPDATE_DIR%%TRV.lock" >nul 2>nul
if not exist "%%TRV_UPDATE_DIR%%TRV.lock" goto ended
set /a TRV_WAIT+=1
if %%TRV_WAIT%% GEQ 120 exit /b 1
ping -n 2 127.0.0.1 >nul
goto wait
:ended

rem The update folder becomes the current folder: its files are found by a
rem wildcard there (Wine's cmd finds none for a wildcard in quotes). The
rem folder "TRV-Sicherung" tells that the change was made.
md "%%TRV_UPDATE_DIR%%TRV-Sicherung" >nul 2>nul
md "%%TRV_UPDATE_DIR%%TRV-Ersetzt" >nul 2>nul
cd /d "%%TRV_UPDATE_DIR%%"
if not exist "TRV-Sicherung\" exit /b 3
if not exist "%%TRV_PROGRAM_DIR%%" exit /b 3

rem The installed files the update replaces are copied aside first; nothing
rem is touched when that fails.
set "TRV_FAILED="
for %%%%f in (*) do (set "TRV_FILE=%%%%f" & call :backup)
if defined TRV_FAILED exit /b 4
for %%%%f in (*) do (set "TRV_FILE=%%%%f" & call :install)
if not defined TRV_FAILED goto done

rem A file could not be replaced: the ones that were go back. Should that
rem fail too, the update folder stays with the old files in "TRV-Sicherung".
rem A folder that cannot be entered finds "TRV-Ersetzt" beside it.
set "TRV_FAILED="
cd /d "%%TRV_UPDATE_DIR%%TRV-Ersetzt"
if exist "TRV-Ersetzt\" exit /b 2
for %%%%f in (*) do (set "TRV_FILE=%%%%f" & call :restore)
if defined TRV_FAILED exit /b 2
exit /b 5

:backup
if /i "%%TRV_FILE%%"=="Update.bat" goto :eof
if defined TRV_FAILED goto :eof
if not exist "%%TRV_PROGRAM_DIR%%%%TRV_FILE%%" goto :eof
copy /y "%%TRV_PROGRAM_DIR%%%%TRV_FILE%%" "%%TRV_UPDATE_DIR%%TRV-Sicherung\%%TRV_FILE%%" >nul
if errorlevel 1 set "TRV_FAILED=1"
goto :eof

rem Copied beside the installed file and renamed over it: a file is either
rem the old or the new one, never part of each. Wine's move reports no
rem error when the file is not there: the copy's name still being there
rem tells.
:install
if /i "%%TRV_FILE%%"=="Update.bat" goto :eof
if defined TRV_FAILED goto :eof
copy /y "%%TRV_UPDATE_DIR%%%%TRV_FILE%%" "%%TRV_PROGRAM_DIR%%%%TRV_FILE%%.neu" >nul
if errorlevel 1 goto installfailed
move /y "%%TRV_PROGRAM_DIR%%%%TRV_FILE%%.neu" "%%TRV_PROGRAM_DIR%%%%TRV_FILE%%" >nul
if exist "%%TRV_PROGRAM_DIR%%%%TRV_FILE%%.neu" goto installfailed
type nul >"%%TRV_UPDATE_DIR%%TRV-Ersetzt\%%TRV_FILE%%"
goto :eof
:installfailed
del "%%TRV_PROGRAM_DIR%%%%TRV_FILE%%.neu" >nul 2>nul
set "TRV_FAILED=1"
goto :eof

rem A file that the update added goes again.
:restore
if exist "%%TRV_UPDATE_DIR%%TRV-Sicherung\%%TRV_FILE%%" goto restorecopy
del "%%TRV_PROGRAM_DIR%%%%TRV_FILE%%" >nul 2>nul
if exist "%%TRV_PROGRAM_DIR%%%%TRV_FILE%%" set "TRV_FAILED=1"
goto :eof
:restorecopy
copy /y "%%TRV_UPDATE_DIR%%TRV-Sicherung\%%TRV_FILE%%" "%%TRV_PROGRAM_DIR%%%%TRV_FILE%%.alt" >nul
if errorlevel 1 goto restorefailed
move /y "%%TRV_PROGRAM_DIR%%%%TRV_FILE%%.alt" "%%TRV_PROGRAM_DIR%%%%TRV_FILE%%" >nul
if exist "%%TRV_PROGRAM_DIR%%%%TRV_FILE%%.alt" goto restorefailed
goto :eof
:restorefailed
del "%%TRV_PROGRAM_DIR%%%%TRV_FILE%%.alt" >nul 2>nul
set "TRV_FAILED=1"
goto :eof

:done
exit /b 0
