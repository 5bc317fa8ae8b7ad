#!/usr/bin/env bash
# Takes the help page's pictures of the real program under Xvfb: the start
# page, the editor page with the worked example's question group, the dialog
# "Befehlszeile", the shortcut page and a folder's submenu open in the
# popup. Run by hand after a build when a page
# changes (it needs xdotool, installed here when missing); the pictures in
# resources/ are committed and copied beside TRV.HTM by the build.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export TARVO_BUILD=${TARVO_BUILD:-$root/build}
command -v xdotool >/dev/null || apt-get install -y -qq xdotool >/dev/null || apt-get install -y -qq -t bookworm xdotool >/dev/null
source "$root/scripts/wine-env.sh"
wine_prefix_init
exe="$TARVO_BUILD/win/TRV.EXE"
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

# A throw-away copy of the prefix, without what belongs to this machine and
# not to Windows: the drive Z: that maps "/" (shown as a drive and on the
# desktop). It gets the caption buttons' font Marlett, which Wine draws its
# caption buttons with and Debian ships apart (fonts-wine); without it they
# show as the letters "0 1 r".
cp -a "$WINEPREFIX" "$work/prefix"
export WINEPREFIX=$work/prefix
(cd "$work" && apt-get download fonts-wine >/dev/null 2>&1 && dpkg-deb -x fonts-wine_*.deb fonts)
cp "$work/fonts/usr/share/wine/fonts/marlett.ttf" "$WINEPREFIX/drive_c/windows/Fonts/"
wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\Desktop\Namespace\{9D20AAE8-0625-44B0-9CA7-71889C2254D9}' /f >/dev/null 2>&1 || true
wineserver -w
rm -f "$WINEPREFIX/dosdevices/z:"
mkdir -p "$WINEPREFIX/drive_c/Programme/Tarvo" "$WINEPREFIX/drive_c/Projekte"
cp "$exe" "$TARVO_BUILD/win/TRV.HTM" "$WINEPREFIX/drive_c/Programme/Tarvo/"

printf '%s\r\n' '[ExecGroups]' 'Editor' ' 0 notepad.exe;0;0;0;C:\Projekte;2' 'Neustart?' ' 2 "Wirklich neu starten?";Frage;1;1' \
  ' 6 "Ja":' ' 0 "C:\Programme\Spiel\spiel.exe -fenster";1' ' 6 "Nein":' ' 1 Abgebrochen.;Hinweis;3;0' \
  ' 6 Verzweigungsende' 'Werkzeuge' ' 5 "Editor"' ' 3 ' '[MenuItems]' '0 1 Editor' '0 0 Extras' '1 3 Werkzeuge' \
  '1 2 "Neu starten"' '0 0 -' > "$WINEPREFIX/drive_c/Projekte/Beispiel.trv"
project='C:\Projekte\Beispiel.trv'

for d in $(seq 79 140); do [ -e "/tmp/.X11-unix/X$d" ] || [ -e "/tmp/.X$d-lock" ] || break; done
Xvfb ":$d" -screen 0 1400x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$d"
sleep 1
wine 'C:\Programme\Tarvo\TRV.EXE' >/dev/null 2>&1 &
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
click 410 243; xdotool key Up Up Return; sleep 1   # the group "Editor"
click 545 254                        # its command
click 608 437 1.5                    # "Bearbeiten"
dialog=$(xdotool search --sync --name '^Befehlszeile$' | head -1)
shot "$dialog" TRV-Befehlszeile-Kommando.png
xdotool key alt+b; sleep 1
click 595 158                        # "Zurück"
xdotool key alt+v; sleep 0.5; xdotool key space; sleep 2
shot "$main" TRV-Verknuepfung.png
xdotool mousemove 700 300
wine 'C:\Programme\Tarvo\TRV.EXE' /suchen "$project" >/dev/null 2>&1 &
search=$(xdotool search --sync --onlyvisible --name '^TRV$' | head -1)
sleep 1; xdotool type --delay 150 "e"
shot "$search" TRV-Suchen.png
xdotool key Escape

# A folder as a submenu, open in the popup: a folder with subfolders,
# documents and a program, a project whose entry stands for it, and the
# popup at a known place beside the configuration window.
ablage="$WINEPREFIX/drive_c/Projekte/Ablage"
mkdir -p "$ablage/Briefe" "$ablage/Rechnungen"
for f in 'Bericht 2.txt' 'Bericht 10.txt' 'Notizen.txt'; do printf 'x\r\n' > "$ablage/$f"; done
cp "$WINEPREFIX/drive_c/windows/notepad.exe" "$ablage/Editor.exe"
printf '%s\r\n' '[ExecGroups]' 'Editor' ' 0 notepad.exe;0' '[MenuItems]' '0 1 Editor' \
  '0 0 Ablage C:\Projekte\Ablage' > "$WINEPREFIX/drive_c/Projekte/Ordner.trv"
xdotool mousemove 20 20
wine 'C:\Programme\Tarvo\TRV.EXE' 'C:\Projekte\Ordner.trv' >/dev/null 2>&1 &
sleep 2
xdotool mousemove 70 50 click 1; sleep 1.5   # "Ablage", its submenu opened
import -window root -crop 250x150+10+10 "$root/resources/TRV-Ordner.png"
xdotool key Escape Escape Escape
# A menu that kept the keys for itself must not show in the next picture.
sleep 1; pkill -f 'Ordner\.trv' || true; sleep 1

# "Häufig Gewähltes zuerst": the popup of a project whose entries were chosen
# before, its choices written as the program keeps them for the user.
xdotool windowclose "$main"; sleep 1
printf '%s\r\n' '[ExecGroups]' 'Editor' ' 0 notepad.exe;0' 'Registrierung' ' 0 regedit.exe;0' 'Explorer' \
  ' 0 explorer.exe;0' 'Minensuche' ' 0 winemine.exe;0' 'Eingabeaufforderung' ' 0 cmd.exe;0' '[MenuItems]' \
  '0 1 Editor' '0 0 Werkzeuge' '1 2 Registrierung' '1 5 Eingabeaufforderung' '0 3 Explorer' '0 0 Spiele' \
  '1 4 Minensuche' > "$WINEPREFIX/drive_c/Projekte/Start.trv"
appdata=$(winepath -u "$(wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')")
python3 - "$appdata" 'C:\Projekte\Start.trv' <<'PY'
import os, sys, time
folder, project = sys.argv[1], sys.argv[2]
h = 14695981039346656037
for b in project.upper().encode('cp1252'):
    h = ((h ^ b) * 1099511628211) % 2**64
now = int(time.time())
lines = ['Tarvo Gewählt 1', 'Projekt=' + project, 'Zuerst=1']
for group, place, count in [('Minensuche', 'Spiele › Minensuche', 6), ('Editor', 'Editor', 3),
                            ('Eingabeaufforderung', 'Werkzeuge › Eingabeaufforderung', 2)]:
    lines.append(' '.join(str(now - 3600 * i) for i in range(count)) + '\t' + group + '\t' + place)
path = os.path.join(folder, 'VQ', 'Tarvo', 'Gewählt')
os.makedirs(path, exist_ok=True)
with open(os.path.join(path, '%016x.txt' % h), 'wb') as f:
    f.write(''.join(l + '\r\n' for l in lines).encode('cp1252'))
PY
xdotool mousemove 200 150
wine 'C:\Programme\Tarvo\TRV.EXE' 'C:\Projekte\Start.trv' >/dev/null 2>&1 &
sleep 4
import -window root -crop 300x230+190+140 "$root/resources/TRV-Haeufig.png"
xdotool key Escape
