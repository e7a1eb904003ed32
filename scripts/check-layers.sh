#!/usr/bin/env bash
# Checks the direction of dependence between the source folders, top to bottom:
#   app/  ->  config/ graph/ guide/ record/ ui/  ->  channels/  ->  common/
# A folder includes headers of its own layer and of the layers below it only.
# Pure code (the sources of brisome_pure, the headers they reach, and channels/
# apart from its *_win files) includes no Windows header, so that it builds
# natively. Prints each offending line; exits non-zero when there is one.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

# What each folder may include besides itself and the standard library.
declare -A allowed=(
  [app]="*"
  [config]="config graph guide record ui channels common"
  [graph]="config graph guide record ui channels common"
  [guide]="config graph guide record ui channels common"
  [record]="config graph guide record ui channels common"
  [ui]="config graph guide record ui channels common"
  [channels]="channels common"
  [common]="common"
)
folders=()
for f in app config graph guide record ui channels common; do
  [ -d "$f" ] && folders+=("$f")
done
windows_header='<(windows|win[a-z0-9_]*|unknwn|objbase|objidl|ole2|oleauto|combaseapi|wtypes|guiddef|initguid|dshow|strmif|control|uuids|qedit|ks|ksmedia|ksproxy|bda[a-z]*|commctrl|commdlg|shlobj|shellapi|msxml[0-9]*|mmsystem|mmreg|tchar)\.h>'

problems=0
report() {
  echo "$1"
  problems=$((problems + 1))
}

# Sets `resolved` to the project file that `#include "name"` (or <name>) in
# `file` names: beside the file first, then from the top of the checkout (the
# include directory of every target); to nothing for a header from elsewhere.
resolve() {
  local file=$1 name=$2
  resolved=
  if [ -f "${file%/*}/$name" ]; then
    resolved="${file%/*}/$name"
  elif [ -f "$name" ]; then
    resolved=$name
  else
    return 0
  fi
  case "$resolved" in
    ./*|*/./*|*../*) resolved=$(realpath -m --relative-to=. "$resolved") ;;
  esac
}

# 1. Includes that go up the layers.
while IFS= read -r hit; do
  file=${hit%%:*}
  rest=${hit#*:}
  line=${rest%%:*}
  text=${rest#*:}
  name=${text#*[\"<]}
  name=${name%%[\">]*}
  resolve "$file" "$name"
  target=$resolved
  [ -n "$target" ] || continue
  from=${file%%/*}
  to=${target%%/*}
  [ "$from" = "$to" ] && continue
  [ "${allowed[$from]}" = "*" ] && continue
  case " ${allowed[$from]} " in
    *" $to "*) ;;
    *) [ -n "${allowed[$to]+set}" ] &&
         report "$file:$line: $text    ($from/ must not include $to/)" ;;
  esac
done < <(grep -rnE --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' "${folders[@]}" || true)

# 2. Windows headers in pure code. The pure sources are those listed for
# brisome_pure in the CMakeLists files; every project header they include, and
# the headers those include, are pure too.
declare -A reached_from=()
queue=()
while IFS= read -r cmakelists; do
  dir=$(dirname "$cmakelists")
  while IFS= read -r source; do
    source=${source//'${CMAKE_SOURCE_DIR}/'/}
    source=${source//'${CMAKE_CURRENT_SOURCE_DIR}/'/$dir/}
    case "$source" in /*) ;; "$dir"/*) ;; *) source="$dir/$source" ;; esac
    source=${source#./}
    [ -f "$source" ] || continue
    reached_from[$source]="listed for brisome_pure in $cmakelists"
    queue+=("$source")
  done < <(awk '/target_sources\(brisome_pure/ { inside = 1 }
                inside { for (i = 1; i <= NF; i++) if ($i ~ /\.(cpp|c|h)\)?$/) { sub(/\)$/, "", $i); print $i } }
                inside && /\)/ { inside = 0 }' "$cmakelists")
done < <(find . -name CMakeLists.txt -not -path './build*' -not -path './.run/*' | sed 's|^\./||' | sort)
for file in $(find channels -name '*.h' -o -name '*.cpp' | grep -v '_win\.' | sort); do
  if [ -z "${reached_from[$file]+set}" ]; then
    reached_from[$file]="in channels/"
    queue+=("$file")
  fi
done
while ((${#queue[@]})); do
  file=${queue[0]}
  queue=("${queue[@]:1}")
  while IFS= read -r name; do
    resolve "$file" "$name"
    target=$resolved
    if [ -n "$target" ] && [ -z "${reached_from[$target]+set}" ]; then
      reached_from[$target]="included by $file"
      queue+=("$target")
    fi
  done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]([^">]+)[">].*/\1/p' "$file")
done
for file in $(printf '%s\n' "${!reached_from[@]}" | sort); do
  while IFS= read -r hit; do
    report "$file:${hit%%:*}: ${hit#*:}    (pure code: ${reached_from[$file]})"
  done < <(grep -inE "^[[:space:]]*#[[:space:]]*include[[:space:]]*$windows_header" "$file" || true)
done

if ((problems)); then
  echo "check-layers: $problems include(s) against the direction of dependence"
  exit 1
fi
echo "check-layers: no include against the direction of dependence"
