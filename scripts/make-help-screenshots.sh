#!/usr/bin/env bash
# Takes the help page's pictures of the real program under Xvfb: the start
# page, the editor page with the worked example's question group, the dialog
# "Befehlszeile" and the shortcut page. Run by hand after a build when a page
# changes (it needs xdotool, installed here when missing); the pictures in
# resources/ are committed and copied beside TRV.HTM by the build.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export TARVO_BUILD=${TARVO_BUILD:-$root/build}
command -v xdotool >/dev/null || apt-get install -y -qq xdotool >/dev/null
source "$root/scripts/wine-env.sh"
exe="$TARVO_BUILD/win/TRV.EXE"
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

printf '%s\r\n' '[ExecGroups]' 'Editor' ' 0 notepad.exe;0' 'Neustart?' ' 2 "Wirklich neu starten?";Frage;1;1' \
  ' 6 "Ja":' ' 0 "C:\Programme\Spiel\spiel.exe -fenster";1' ' 6 "Nein":' ' 1 Abgebrochen.;Hinweis;3;0' \
  ' 6 Verzweigungsende' 'Werkzeuge' ' 5 "Editor"' ' 3 ' '[MenuItems]' '0 1 Editor' '0 0 Extras' '1 3 Werkzeuge' \
  '1 2 "Neu starten"' '0 0 -' > "$work/Beispiel.trv"
project="Z:${work//\//\\}\\Beispiel.trv"

Xvfb :79 -screen 0 1400x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=:79
sleep 1
wine "$exe" >/dev/null 2>&1 &
main=$(xdotool search --sync --name '^Tarvo - Konfiguration$' | head -1)
sleep 2
shot() { sleep 1; import -window "$1" "$root/resources/$2"; }
click() { xdotool mousemove --window "$main" "$1" "$2" click 1; sleep "${3:-0.7}"; }

shot "$main" TRV-Startseite.png
xdotool key alt+e; sleep 0.5; xdotool key space; sleep 1
click 375 113 2                      # "Öffnen"
xdotool type "$project"; xdotool key Return; sleep 2
click 410 243; xdotool key Down Down Return; sleep 1   # the group "Neustart?"
click 545 254                        # its question row
shot "$main" TRV-Erstellen.png
click 608 437 1.5                    # "Bearbeiten"
dialog=$(xdotool search --sync --name '^Befehlszeile$' | head -1)
shot "$dialog" TRV-Befehlszeile.png
xdotool key alt+b; sleep 1           # "Ab&brechen"
click 595 158                        # "Zurück"
xdotool key alt+v; sleep 0.5; xdotool key space; sleep 2
shot "$main" TRV-Verknuepfung.png
