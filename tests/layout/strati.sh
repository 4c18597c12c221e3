#!/usr/bin/env bash
# The layers of src/: every folder is one library (src/FOLDER/CMakeLists.txt) that links only the
# folders below it, and it may use only what those reach. Two checks against that one graph:
# its sources include headers of those folders alone, and its library's undefined symbols are
# defined by those folders' libraries alone (a call up or across the layers may still link in
# the whole program when another caller happens to pull the same object in first, so the
# linker alone does not catch it).
# usage: strati.sh SRC_DIR FOLDER=LINKED,LINKED...=LIBRARY.a...
# (the entries are made by tests/layout/CMakeLists.txt from the libraries' own links)
set -u
src=$1
shift
declare -A diretti libreria
for voce in "$@"; do
  IFS='=' read -r cartella collegati archivio <<<"$voce"
  diretti[$cartella]=$(tr ',' '\n' <<<"$collegati" | sed -n 's/^gs_//p' | grep -vx base | tr '\n' ' ')
  libreria[$cartella]=$archivio
done

status=0
# Every folder of src/ has its library, so that none escapes the graph.
for d in "$src"/*/; do
  cartella=$(basename "$d")
  if [ -z "${libreria[$cartella]+x}" ]; then
    echo "src/$cartella/: no library gs_$cartella in the graph"
    status=1
  fi
done

# The folders a folder may use: those it links, and theirs, down to the bottom.
raggiunti() {
  local visti=" " coda=($1) c
  while [ ${#coda[@]} -gt 0 ]; do
    c=${coda[0]}
    coda=("${coda[@]:1}")
    for d in ${diretti[$c]:-}; do
      case $visti in *" $d "*) ;; *) visti+="$d "; coda+=("$d") ;; esac
    done
  done
  echo "$visti"
}

declare -A ammessi
for cartella in "${!libreria[@]}"; do
  ammessi[$cartella]=$(raggiunti "$cartella")
done

# The includes: "FOLDER/file.h" must name the folder itself or one it may use; a path that
# climbs out of the folder would get round the check.
for cartella in "${!libreria[@]}"; do
  while IFS= read -r riga; do
    file=${riga%%:*}
    resto=${riga#*:}
    numero=${resto%%:*}
    testo=${resto#*:}
    incluso=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' <<<"$testo")
    case $incluso in
      */*) ;;
      *) continue ;;
    esac
    if [[ $incluso == *..* ]]; then
      echo "${file#"$src"/}:$numero: includes \"$incluso\": name the folder instead of climbing"
      status=1
      continue
    fi
    su=${incluso%%/*}
    [ -d "$src/$su" ] || continue
    [ "$su" = "$cartella" ] && continue
    case ${ammessi[$cartella]} in
      *" $su "*) ;;
      *)
        echo "${file#"$src"/}:$numero: src/$cartella/ includes \"$incluso\", but gs_$cartella may use only:${ammessi[$cartella]}"
        status=1
        ;;
    esac
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$src/$cartella"/*.cc "$src/$cartella"/*.h \
             2>/dev/null)
done

# The symbols: what a library leaves undefined and another folder's library defines (not as a
# weak or inline definition, which any user of a header emits) must come from a folder it uses.
definiti() { nm -g --defined-only "$1" 2>/dev/null | awk 'NF == 3 {print $3}' | sort -u; }
forti() { nm -g --defined-only "$1" 2>/dev/null | awk 'NF == 3 && $2 ~ /^[TDBR]$/ {print $3}' | sort -u; }
cartella_temp=$(mktemp -d)
trap 'rm -rf "$cartella_temp"' EXIT
for cartella in "${!libreria[@]}"; do
  archivio=${libreria[$cartella]}
  if [ ! -f "$archivio" ]; then
    echo "$archivio: not built"
    status=1
    continue
  fi
  forti "$archivio" >"$cartella_temp/$cartella.forti"
  nm -g --undefined-only "$archivio" | awk '{print $2}' | sort -u |
    comm -23 - <(definiti "$archivio") >"$cartella_temp/$cartella.esterni"
done
for cartella in "${!libreria[@]}"; do
  [ -f "$cartella_temp/$cartella.esterni" ] || continue
  for altra in "${!libreria[@]}"; do
    [ "$altra" = "$cartella" ] && continue
    case ${ammessi[$cartella]} in *" $altra "*) continue ;; esac
    [ -f "$cartella_temp/$altra.forti" ] || continue
    chiamati=$(comm -12 "$cartella_temp/$cartella.esterni" "$cartella_temp/$altra.forti")
    if [ -n "$chiamati" ]; then
      echo "gs_$cartella uses gs_$altra, which it does not link:"
      c++filt <<<"$chiamati" | head -n 5 | sed 's/^/  /'
      status=1
    fi
  done
done

[ $status -eq 0 ] && echo "layers: ${#libreria[@]} folders, includes and symbols within the graph"
exit $status
