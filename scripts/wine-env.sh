# Sourced by the run and test scripts and by the test emulator wrapper.
# Sets up the environment for Wine processes; the functions create the
# project-local prefix and start/stop the shared wineserver and X display.

TARVO_ROOT=${TARVO_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
TARVO_BUILD=${TARVO_BUILD:-$TARVO_ROOT/build}

# The tests of scaling run in a copy of the prefix whose screen has 144 DPI
# (TARVO_WINE_DPI=144 in their environment).
TARVO_DPI_PREFIX=$TARVO_BUILD/wineprefix-144
# The update reminder stays off in both ("NoUpdate" for the machine): it
# would come up at every start of the program. The update tests run in a
# copy of their own without it (TARVO_WINE_PREFIX=updates).
TARVO_UPDATES_PREFIX=$TARVO_BUILD/wineprefix-updates
# The tests of the text boundary run in a copy whose ANSI code page is 1251
# (Cyrillic) while the user interface stays German (TARVO_WINE_CODEPAGE=1251
# in their environment): Wine takes each process's code page from the
# character type of its Unix locale (LC_CTYPE), not from the registry's
# Nls\CodePage values.
TARVO_CP1251_PREFIX=$TARVO_BUILD/wineprefix-1251
if [ "${TARVO_WINE_DPI:-96}" = 144 ]; then
  export WINEPREFIX=$TARVO_DPI_PREFIX
elif [ "${TARVO_WINE_CODEPAGE:-1252}" = 1251 ]; then
  export WINEPREFIX=$TARVO_CP1251_PREFIX
elif [ "${TARVO_WINE_PREFIX:-}" = updates ]; then
  export WINEPREFIX=$TARVO_UPDATES_PREFIX
else
  export WINEPREFIX=${WINEPREFIX:-$TARVO_BUILD/wineprefix}
fi
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# German user interface for Wine: message box buttons "&Ja"/"&Nein", code page
# 1252 and the day.month.year short date. The Linux locale itself is compiled
# into the build folder when the system lacks it.
wine_locale_has() {
  locale -a 2>/dev/null | grep -qiE "^$1\\.utf-?8\$"
}
# Code page 1251: German messages and formats, Cyrillic characters. Both
# locales are taken from the build folder then (LOCPATH hides the system's).
wine_locale_cp1251() {
  unset LC_ALL
  if ! wine_locale_has de_DE || ! wine_locale_has ru_RU; then export LOCPATH=$TARVO_BUILD/locale; fi
  { export LANG=de_DE.UTF-8 LC_CTYPE=ru_RU.UTF-8; } 2>/dev/null
}
wine_locale_use() {
  if [ "${TARVO_WINE_CODEPAGE:-1252}" = 1251 ]; then
    wine_locale_cp1251
  elif wine_locale_has de_DE; then
    { export LC_ALL=de_DE.UTF-8; } 2>/dev/null
  elif [ -d "$TARVO_BUILD/locale/de_DE.UTF-8" ]; then
    export LOCPATH=$TARVO_BUILD/locale
    { export LC_ALL=de_DE.UTF-8; } 2>/dev/null
  fi
}
wine_locale_init() {
  local name
  for name in de_DE ru_RU; do
    if { ! wine_locale_has de_DE || ! wine_locale_has ru_RU; } && [ ! -d "$TARVO_BUILD/locale/$name.UTF-8" ]; then
      mkdir -p "$TARVO_BUILD/locale"
      localedef -i "$name" -f UTF-8 "$TARVO_BUILD/locale/$name.UTF-8" >/dev/null 2>&1 || true
    fi
  done
  wine_locale_use
}
wine_locale_use

wine_prefix_init() {
  wine_locale_init
  if [ ! -f "$WINEPREFIX/.tarvo-ready-2" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    # Without a window manager, hiding a top-level window stalls for seconds
    # unless Wine manages no windows itself.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # A crashing program ends with a backtrace on stderr instead of waiting
    # in a crash dialog that nobody answers.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.tarvo-ready-2"
  fi
  if [ ! -f "$TARVO_DPI_PREFIX/.tarvo-ready-2" ]; then
    rm -rf "$TARVO_DPI_PREFIX"
    cp -a "$WINEPREFIX" "$TARVO_DPI_PREFIX"
    rm -f "$TARVO_DPI_PREFIX/.tarvo-ready-2"
    WINEPREFIX=$TARVO_DPI_PREFIX wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
    WINEPREFIX=$TARVO_DPI_PREFIX wine reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
    WINEPREFIX=$TARVO_DPI_PREFIX wineserver -w
    touch "$TARVO_DPI_PREFIX/.tarvo-ready-2"
  fi
  if [ ! -f "$TARVO_CP1251_PREFIX/.tarvo-ready-2" ]; then
    rm -rf "$TARVO_CP1251_PREFIX"
    cp -a "$WINEPREFIX" "$TARVO_CP1251_PREFIX"
    rm -f "$TARVO_CP1251_PREFIX/.tarvo-ready-2"
    # Wine notes a changed locale in the registry at its first start: done
    # here, not in a test.
    (wine_locale_cp1251 && WINEPREFIX=$TARVO_CP1251_PREFIX wine reg query 'HKCU\Software\Wine\X11 Driver' >/dev/null 2>&1 &&
      WINEPREFIX=$TARVO_CP1251_PREFIX wineserver -w)
    touch "$TARVO_CP1251_PREFIX/.tarvo-ready-2"
  fi
  if [ ! -f "$TARVO_UPDATES_PREFIX/.tarvo-ready-2" ]; then
    rm -rf "$TARVO_UPDATES_PREFIX"
    cp -a "$WINEPREFIX" "$TARVO_UPDATES_PREFIX"
    rm -f "$TARVO_UPDATES_PREFIX/.tarvo-ready-2" "$TARVO_UPDATES_PREFIX/.tarvo-noupdate"
    touch "$TARVO_UPDATES_PREFIX/.tarvo-ready-2"
  fi
  local prefix
  for prefix in "$WINEPREFIX" "$TARVO_DPI_PREFIX" "$TARVO_CP1251_PREFIX"; do
    if [ ! -f "$prefix/.tarvo-noupdate" ]; then
      WINEPREFIX=$prefix wine reg add 'HKLM\Software\VQ\Tarvo' /v NoUpdate /d '' /f >/dev/null 2>&1
      WINEPREFIX=$prefix wineserver -w
      touch "$prefix/.tarvo-noupdate"
    fi
  done
}

# Starts one persistent wineserver for the whole run, and an X display of its
# own (Xvfb) unless "shared" is given and a display is already there.
wine_start() {
  wine_prefix_init
  if [ -z "${TARVO_XVFB_PID:-}" ] && { [ "${1:-}" != shared ] || [ -z "${DISPLAY:-}" ]; }; then
    local d
    for d in $(seq 91 140); do
      [ -e "/tmp/.X11-unix/X$d" ] || [ -e "/tmp/.X$d-lock" ] || break
    done
    Xvfb ":$d" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    TARVO_XVFB_PID=$!
    export DISPLAY=":$d"
    local i
    for i in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$d" ] && break; sleep 0.1; done
  fi
  local prefix
  for prefix in "$WINEPREFIX" "$TARVO_DPI_PREFIX" "$TARVO_UPDATES_PREFIX" "$TARVO_CP1251_PREFIX"; do
    WINEPREFIX=$prefix wineserver -p </dev/null >/dev/null 2>&1 || true
    # The first Wine program of a server starts Wine's own services, which
    # inherit its descriptors: start them here, detached from our output, so
    # that no test's output pipe is held open by them.
    (if [ "$prefix" = "$TARVO_CP1251_PREFIX" ]; then wine_locale_cp1251; fi
     WINEPREFIX=$prefix wine reg query 'HKCU\Software\Wine\X11 Driver' </dev/null >/dev/null 2>&1 || true)
  done
}

wine_stop() {
  wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX=$TARVO_DPI_PREFIX wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX=$TARVO_UPDATES_PREFIX wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX=$TARVO_CP1251_PREFIX wineserver -k >/dev/null 2>&1 || true
  if [ -n "${TARVO_XVFB_PID:-}" ]; then
    kill "$TARVO_XVFB_PID" >/dev/null 2>&1 || true
    wait "$TARVO_XVFB_PID" 2>/dev/null || true
    unset TARVO_XVFB_PID
  fi
}
