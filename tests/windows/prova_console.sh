#!/usr/bin/env bash
# The Windows programs from a console, under Wine: genera_scenario.com (the console program)
# and genera_scenario.exe (the GUI one) give the same exit status, the same bytes on standard
# output and standard error and the same files as the Linux program for the same command line;
# arguments arrive as UTF-16 and go on as UTF-8; text on a console reads as UTF-8; cmd.exe runs
# the console program and sees its exit status. Also: the .exe is a GUI program, the .com a
# console one, and neither needs a DLL that Windows does not have.
# Usage: prova_console.sh FOLDER_OF_THE_WINDOWS_PROGRAMS LINUX_PROGRAM   (WINEPREFIX set)
set -euo pipefail

finestre=$(cd "$1" && pwd)
linux=$(realpath "$2")
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
export WINEDEBUG=-all
unset DISPLAY  # no window may wait for a click here

source "$(dirname "$0")/conteggio.sh"

# The two programs.
for p in genera_scenario.exe:"Windows GUI" genera_scenario.com:"Windows CUI"; do
  file=${p%%:*}
  intestazione=$(x86_64-w64-mingw32-objdump -p "$finestre/$file")
  if grep -q "^Subsystem.*(${p#*:})" <<<"$intestazione"; then ok; else fallito "$file: not ${p#*:}"; fi
  dll=$(awk '/DLL Name:/ {print $3}' <<<"$intestazione" | sort | tr '\n' ' ')
  # Only what every Windows has: the window and the box (GDI32, USER32), serve's sockets
  # (WS2_32, MSWSOCK) and its browser (SHELL32), and the system's C runtime.
  if [ "$dll" = "GDI32.dll KERNEL32.dll MSWSOCK.dll SHELL32.dll USER32.dll WS2_32.dll msvcrt.dll " ]; then
    ok
  else
    fallito "$file imports $dll(only the system's GDI32, KERNEL32, MSWSOCK, SHELL32, USER32, WS2_32 and msvcrt)"
  fi
done

# The same sources in two folders, one for each system. The station name holds Windows-1252
# bytes (A grave, degree sign); the second train source has a conflict (error 16).
mkdir "$lavoro/linux" "$lavoro/windows"
for d in linux windows; do
  (
    cd "$lavoro/$d"
    printf '%s\r\n' "[generale]" "lunghezza percorso, 12000" "[curve]" "pendenza, 100, 5" \
      "curvad6, 2300, 300" "cartello_indicatore, 4650, (GALLERIA)" "[fine]" >MIA_linea.txt
    printf '%s\r\n' "[generale]" "velocita, 0, 75" \
      "stazione, 1000, 12, 400, 0,0,0,0,0,0,0,0,0,0, 5,0,0, ALF$(printf '\xc0') 2$(printf '\xb0')" \
      "rallentamento, 9000, 60, 200, 1, 0, 0" >MIA_R1-.txt
    printf '%s\r\n' "[generale]" "rallentamento, 9000, 60, 200, 1, 0, 0" \
      "segnale, 9000, 1,0,0,0,0,0,0,0,0,0" >ERR_R1-.txt
  )
done

# Each command line: exit status, standard output, standard error, and every file in the
# folder afterwards, compared byte for byte. A "~" in front: the reason comes from the system
# ("No such file or directory" on Linux), so standard error is compared up to it.
casi=(
  "--version"
  "frob"
  "compile MIA_linea.txt MIA_R1-.txt"
  "compile MIA_linea.txt ERR_R1-.txt --line-name MIA --train-name ERR"
  "compile MIA_linea.txt ERR_R1-.txt --line-name MIA --train-name ERR --diagnostics-format=json"
  "check MIA_linea.txt MIA_R1-.txt --line-name CITTÀ --train-name 'R 2°' --diagnostics-format=json"
  "check MIA_linea.txt MIA_R1-.txt --line-name 'SAN NICOLĀ'"
  "inspect MIA_R1.sim MIA_R1.dat"
  "inspect --json MIA_R1.sim"
  "plot . --line-name MIA --train-name R1 -o sheet.svg"
  "explain 16"
  "~compile MIA_linea.txt manca.txt --line-name M --train-name T"
)
esegui() { # esegui SYSTEM COMMAND...: status, stdout and stderr into the folder's .out/.err
  local sistema=$1
  shift
  local e=0
  (
    cd "$lavoro/$sistema"
    if [ "$sistema" = linux ]; then
      "$linux" "$@"
    else
      wine "$programma" "$@"
    fi
  ) >"$lavoro/$sistema.out" 2>"$lavoro/$sistema.err" || e=$?
  echo "$e"
}
for programma in "$finestre/genera_scenario.com" "$finestre/genera_scenario.exe"; do
  for caso in "${casi[@]}"; do
    riga=${caso#\~}
    eval "argomenti=($riga)"
    quale="$(basename "$programma") $riga"
    stato_l=$(esegui linux "${argomenti[@]}")
    stato_w=$(esegui windows "${argomenti[@]}")
    [ "$stato_l" = "$stato_w" ] && ok || fallito "$quale: exit status $stato_w, on Linux $stato_l"
    cmp -s "$lavoro/linux.out" "$lavoro/windows.out" && ok ||
      fallito "$quale: standard output differs: $(diff <(od -c "$lavoro/linux.out") <(od -c "$lavoro/windows.out") | head -4)"
    if [ "$caso" = "$riga" ]; then
      cmp -s "$lavoro/linux.err" "$lavoro/windows.err" && ok ||
        fallito "$quale: standard error differs: $(cat "$lavoro/windows.err") / $(cat "$lavoro/linux.err")"
    else
      [ "$(cut -d: -f1-3 "$lavoro/linux.err")" = "$(cut -d: -f1-3 "$lavoro/windows.err")" ] && ok ||
        fallito "$quale: standard error differs: $(cat "$lavoro/windows.err")"
    fi
    diff -r "$lavoro/linux" "$lavoro/windows" >/dev/null && ok || fallito "$quale: the files differ"
  done
done
# The JSON report names CITTÀ as the argument gave it (UTF-16 to UTF-8 to Windows-1252 and back).
(cd "$lavoro/windows" && wine "$finestre/genera_scenario.com" check MIA_linea.txt MIA_R1-.txt \
  --line-name CITTÀ --train-name T --diagnostics-format=json) >"$lavoro/report.json" || true
grep -q '"line_name": *"CITTÀ"' "$lavoro/report.json" && ok || fallito "CITTÀ: $(cat "$lavoro/report.json")"

# On a console (a terminal here, shown through Wine's console), a station name in UTF-8 reads
# as it should, not as two unknown characters per accented letter.
(cd "$lavoro/windows" && LC_ALL=C.UTF-8 script -qec \
  "wine '$finestre/genera_scenario.com' inspect MIA_R1.sim" /dev/null) >"$lavoro/console" 2>&1 || true
perl -pe 's/\e\[[?0-9;]*[A-Za-z]//g' "$lavoro/console" | grep -aq 'ALFÀ 2°' && ok ||
  fallito "the console shows: $(perl -pe 's/\e\[[?0-9;]*[A-Za-z]//g' "$lavoro/console" | grep -a ALF)"

# cmd.exe runs genera_scenario.com for "genera_scenario" and sees its exit status.
cp "$finestre/genera_scenario.com" "$finestre/genera_scenario.exe" "$lavoro/windows/"
printf '@echo off\r\ngenera_scenario frob\r\necho status=%%ERRORLEVEL%%\r\n' >"$lavoro/windows/prova.bat"
(cd "$lavoro/windows" && wine cmd /c prova.bat) >"$lavoro/cmd.out" 2>&1 || true
grep -q "status=2" "$lavoro/cmd.out" && grep -q "unknown command frob" "$lavoro/cmd.out" && ok ||
  fallito "cmd.exe: $(cat "$lavoro/cmd.out")"

esito console
