#!/usr/bin/env bash
# The built-in run's window and message boxes, as a person who double-clicked the program sees
# them: genera_scenario.exe under Wine on a virtual display (xvfb-run), with a Wine prefix of
# its own. A good run shows the "Attendere" window (MS Sans Serif, 24 points, bold) and ends
# with status 0; a run that cannot write a file (a folder standing where it goes) shows the
# window and a box naming the file and the reason, and ends with status 2 once OK is pressed;
# errore(1250) shows " Errore n. 1250" and ends with status 1. A screenshot of the window and
# the box goes to SCREENSHOT.
# Usage: prova_finestre.sh GENERA_SCENARIO_EXE FINESTRE_EXE SCREENSHOT.png
set -euo pipefail

if [ -z "${GS_SU_XVFB:-}" ]; then
  exec env GS_SU_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
programma=$(realpath "$1")
finestre=$(realpath "$2")
immagine=$(realpath "$3")
lavoro=$(mktemp -d)
export WINEPREFIX=$lavoro/wine WINEDEBUG=-all
# Only this prefix's server, which this script started; then the scratch folder.
trap 'wineserver -k 2>/dev/null || true; rm -rf "$lavoro"' EXIT
wine wineboot -i >/dev/null 2>&1
# No window manager runs on the virtual display: Wine draws the title bars itself.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1

source "$(dirname "$0")/conteggio.sh"
# atteso NAME TEXT: fails unless `finestre descrivi NAME` prints TEXT among its lines.
atteso() {
  local descrizione
  descrizione=$(wine "$finestre" descrivi "$1" || true)
  grep -qxF -- "$2" <<<"$descrizione" && ok || fallito "window '$1': no line '$2' in: $descrizione"
}
# chiudi NAME PID STATUS: presses OK in the box and checks the program's exit status.
chiudi() {
  wine "$finestre" ok "$1" || fallito "no window '$1' to press OK in"
  local stato=0
  wait "$2" || stato=$?
  [ "$stato" -eq "$3" ] && ok || fallito "exit status $stato after OK in '$1', not $3"
}
cerca() { # cerca TITLE: the window of that title, waited for (at most 30 s)
  timeout 30 xdotool search --sync --name "^$1\$" | head -n 1
}

# A good run: the window is there while the work goes on, and the program ends by itself.
mkdir "$lavoro/buona"
cp "$programma" "$lavoro/buona/"
wine "$lavoro/buona/$(basename "$programma")" &
pid=$!
vista=0
while kill -0 "$pid" 2>/dev/null; do
  if xdotool search --name '^Attendere$' >/dev/null 2>&1; then
    vista=1
    break
  fi
done
stato=0
wait "$pid" || stato=$?
[ "$stato" -eq 0 ] && ok || fallito "the good run ended with status $stato"
[ "$vista" -eq 1 ] && ok || fallito "no window 'Attendere' during the good run"
[ "$(find "$lavoro/buona" -type f | wc -l)" -eq 7 ] && ok || fallito "$(ls "$lavoro/buona")"

# A folder where the line source goes: the window, then the box over it.
mkdir -p "$lavoro/cattiva/BELMONZA VALICO - SOLMA_linea.txt"
cp "$programma" "$lavoro/cattiva/"
wine "$lavoro/cattiva/$(basename "$programma")" &
pid=$!
[ -n "$(cerca Attendere)" ] && ok || fallito "no window 'Attendere' by its title"
[ -n "$(cerca Error)" ] && ok || fallito "no message box by its title (the system's default)"
atteso Attendere "text: Attendere"
descrizione=$(wine "$finestre" descrivi Error || true)
grep -qxF "class: #32770" <<<"$descrizione" && ok || fallito "the box is no message box: $descrizione"
grep -q "^text: genera_scenario: error: cannot replace .*BELMONZA VALICO - SOLMA_linea.txt: ." \
  <<<"$descrizione" && ok || fallito "the box does not name the file and the reason: $descrizione"
sleep 1  # both painted
import -window root +set date:create +set date:modify -define png:exclude-chunks=date,time \
  "$immagine"
chiudi Error "$pid" 2
[ "$(ls "$lavoro/cattiva" | wc -l)" -eq 2 ] && ok || fallito "left behind: $(ls "$lavoro/cattiva")"

# The label's font, read in the process that made it.
attesa=$(wine "$finestre" attesa || true)
grep -qxF "font: MS Sans Serif, 24 points, weight 700" <<<"$attesa" && ok ||
  fallito "the label's font: $attesa"

# errore(): the report in a box of its own, text exactly as on the console.
wine "$finestre" errore 1250 &
pid=$!
cerca Error >/dev/null
atteso Error "text:  Errore n. 1250"
chiudi Error "$pid" 1

esito windows
