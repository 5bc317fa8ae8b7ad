 @echo off
rem Tarvo's install script. TRV.EXE makes it from this template: every
rem per-cent sign here stands doubled and every path in double quotes. Above
rem these lines it sets TRV_PROGRAM_DIR, TRV_PROGRAM, TRV_UPDATE_DIR (both
rem folders with their trailing backslash) and TRV_PID; below them it starts
rem the program again when asked and removes the update folder.

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

rem The program folder becomes the current folder: the files go by their
rem names. The folder "TRV-Sicherung", seen from the update folder and not
rem from the program folder, tells that the change was made: Wine's cmd
rem runs the command after a double ampersand whatever the first one did.
md "%%TRV_UPDATE_DIR%%TRV-Sicherung" >nul 2>nul
md "%%TRV_UPDATE_DIR%%TRV-Ersetzt" >nul 2>nul
cd /d "%%TRV_UPDATE_DIR%%"
if not exist "TRV-Sicherung\" exit /b 1
cd /d "%%TRV_PROGRAM_DIR%%"
if exist "TRV-Sicherung\" exit /b 1

rem The installed files the update replaces are copied aside first; nothing
rem is touched when that fails.
set "TRV_FAILED="
for /f "delims=" %%%%f in ('dir /b /a-d "%%TRV_UPDATE_DIR%%"') do (set "TRV_FILE=%%%%f" & call :backup)
if defined TRV_FAILED goto done
for /f "delims=" %%%%f in ('dir /b /a-d "%%TRV_UPDATE_DIR%%"') do (set "TRV_FILE=%%%%f" & call :install)
if not defined TRV_FAILED goto done

rem A file could not be replaced: the ones that were go back. Should that
rem fail too, the update folder stays with the old files in "TRV-Sicherung".
set "TRV_FAILED="
for /f "delims=" %%%%f in ('dir /b /a-d "%%TRV_UPDATE_DIR%%TRV-Ersetzt"') do (set "TRV_FILE=%%%%f" & call :restore)
if defined TRV_FAILED exit /b 2
goto done

:backup
if /i "%%TRV_FILE%%"=="Update.bat" goto :eof
if defined TRV_FAILED goto :eof
if not exist "%%TRV_FILE%%" goto :eof
copy /y "%%TRV_FILE%%" "%%TRV_UPDATE_DIR%%TRV-Sicherung\%%TRV_FILE%%" >nul
if errorlevel 1 set "TRV_FAILED=1"
goto :eof

rem Copied beside the installed file and renamed over it: a file is either
rem the old or the new one, never part of each. Wine's move reports no
rem error when the file is not there: the copy's name still being there
rem tells.
:install
if /i "%%TRV_FILE%%"=="Update.bat" goto :eof
if defined TRV_FAILED goto :eof
copy /y "%%TRV_UPDATE_DIR%%%%TRV_FILE%%" "%%TRV_FILE%%.neu" >nul
if errorlevel 1 goto installfailed
move /y "%%TRV_FILE%%.neu" "%%TRV_FILE%%" >nul
if exist "%%TRV_FILE%%.neu" goto installfailed
type nul >"%%TRV_UPDATE_DIR%%TRV-Ersetzt\%%TRV_FILE%%"
goto :eof
:installfailed
del "%%TRV_FILE%%.neu" >nul 2>nul
set "TRV_FAILED=1"
goto :eof

rem A file that the update added goes again.
:restore
if exist "%%TRV_UPDATE_DIR%%TRV-Sicherung\%%TRV_FILE%%" goto restorecopy
del "%%TRV_FILE%%" >nul 2>nul
if exist "%%TRV_FILE%%" set "TRV_FAILED=1"
goto :eof
:restorecopy
copy /y "%%TRV_UPDATE_DIR%%TRV-Sicherung\%%TRV_FILE%%" "%%TRV_FILE%%.alt" >nul
if errorlevel 1 goto restorefailed
move /y "%%TRV_FILE%%.alt" "%%TRV_FILE%%" >nul
if exist "%%TRV_FILE%%.alt" goto restorefailed
goto :eof
:restorefailed
del "%%TRV_FILE%%.alt" >nul 2>nul
set "TRV_FAILED=1"
goto :eof

:done
