#!/usr/bin/env bash
# Screenshots of the main window in each language, with pairs in every
# style, under Xvfb with a real system tray (trayer), and of every settings
# dialog in English and French. Run by hand after building:
#   scripts/screenshots.sh [build folder]   -> docs/screenshots/*.png, dialogs/*.png
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
vorn=$PWD/$build/src/app/vorn
out=$PWD/docs/screenshots
mkdir -p "$out"
work=$(mktemp -d /tmp/vorn-shots-XXXXXX)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

# A sample application folder: one pair per style of the grid.
mkdir -p "$work/home" "$work/data/mac/Network Trash Folder" "$work/data/mac/Projects"
for name in documents photos music mail archive backup-docs backup-photos backup-music \
            backup-mail backup-archive projects-copy; do
  mkdir -p "$work/data/$name"
done
hex() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 -v | tr -d ' \n' | tr a-f A-F; }
pair() { printf '"%s","%s"\r\n' "$(hex "$1")" "$(hex "$2")"; }
{
  pair "$work/data/documents" "$work/data/backup-docs"
  pair "$work/data/photos" "$work/data/backup-photos"
  pair "$work/data/music" "$work/data/backup-music"
  pair "$work/data/mail" "$work/data/backup-mail"
  pair "$work/data/archive" "$work/data/backup-archive"
  pair "$work/data/gone" "$work/data/backup-docs"
  pair "$work/data/mac/Projects" "$work/data/projects-copy"
  pair "$work/data/documents" ""
} > "$work/home/Vorn.w"

export DISPLAY=:99
Xvfb :99 -screen 0 1280x900x24 >/dev/null 2>&1 &
sleep 1
trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
sleep 1

for lang in 3:en 1:fr 2:pt; do
  code=${lang%%:*}
  name=${lang##*:}
  cat > "$work/home/Vorn.ini" <<INI
[Configuration]
Langue=$code
[Mirror_1]
Nouveau=1
[Mirror_2]
Deplacer=1
[Mirror_3]
Effacer=1
NbTemporisations=6
[Mirror_4]
Enable=0
[Mirror_5]
Deplacer=1
Effacer=1
Nouveau=1
INI
  "$vorn" --home "$work/home" >/dev/null 2>&1 &
  pid=$!
  sleep 2
  window=$(xdotool search --sync --onlyvisible --pid "$pid" --class vorn | head -1 || true)
  if [ -n "$window" ]; then
    import -window "$window" "$out/main-$name.png"
  else
    import -window root "$out/main-$name.png"
  fi
  # The tray (top right, trayer's panel) with Vorn's icon in it.
  [ "$name" = en ] && import -window root -crop 200x28+1080+0 +repage "$out/tray.png"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
done
# The lower pane with the file view (after a click on the first pair), the
# locked-file view after a pass that met a locked file, and the log viewer.
mkdir -p "$work/data/documents/2026" "$work/data/backup-docs/2026"
head -c 153600 /dev/urandom > "$work/data/documents/report.pdf"
head -c 2100000 /dev/urandom > "$work/data/documents/holiday.mov"
echo "shopping list" > "$work/data/documents/notes.txt"
cp "$work/data/documents/notes.txt" "$work/data/backup-docs/"
for day in 2026-11-28 2026-11-29 2026-11-30 2026-12-01 2026-12-02 2026-12-03; do
  echo "<html></html>" > "$work/home/Log Vorn $day.htm"
done
shoot() {  # shoot NAME SETTINGS...: start Vorn with the settings, let $action act, capture
  local name=$1
  shift
  printf '[Configuration]\nLangue=3\n%s\n' "$@" > "$work/home/Vorn.ini"
  "$vorn" --home "$work/home" >/dev/null 2>&1 &
  local pid=$!
  sleep 2
  local window
  window=$(xdotool search --sync --onlyvisible --pid "$pid" --class vorn | head -1)
  $action "$window"
  sleep 1
  import -window "${capture:-$window}" "$out/$name.png"
  capture=
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}
click_first_pair() { xdotool mousemove --window "$1" 200 185 click 1; }
action=click_first_pair shoot files-en AfficherFichiers=1
# A file another program holds a lock on while the first pass runs.
python3 -c 'import fcntl, sys, time
f = open(sys.argv[1], "r+"); fcntl.lockf(f, fcntl.LOCK_EX); time.sleep(15)' \
  "$work/data/documents/notes.txt" &
sleep 0.5
start_one_pass() {  # the start button, then stop once the first pass is done
  xdotool mousemove --window "$1" 33 90 click 1
  sleep 2
  xdotool mousemove --window "$1" 33 90 click 1
}
action=start_one_pass shoot locked-en AfficherLocked=1
open_log_viewer() {
  xdotool windowfocus --sync "$1" key F1
  sleep 2
  capture=$(xdotool search --onlyvisible --name "Check Logs" | head -1)
}
action=open_log_viewer shoot log-viewer-en

"$PWD/$build/tools/dialog_gallery" "$out/dialogs"
echo "screenshots in $out"
