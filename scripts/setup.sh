#!/usr/bin/env bash
# Installs what building and running need on a Debian machine, then prepares the
# project's own Wine prefix. Safe to run again: it only does what is missing.
# Runs as root, or as a user who may use sudo; it never asks a question.
set -euo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
source "$here/env.sh"

packages=(cmake ninja-build mingw-w64 wine wine64 xvfb xauth x11-utils imagemagick fonts-wine
          ffmpeg googletest libbenchmark-dev clang libclang-rt-14-dev xmltv-util)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  as_root=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "setup: these packages are missing and installing them needs root (or sudo): ${missing[*]}" >&2
      exit 1
    fi
    as_root=(sudo)
  fi
  # env passes the setting through sudo, which would otherwise drop it.
  apt=("${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get)
  if ! "${apt[@]}" update -qq --error-on=any; then
    echo "setup: apt-get update failed (see above); trying with the package lists at hand" >&2
  fi
  if ! "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
    echo "setup: apt-get install failed for: ${missing[*]}" >&2
    exit 1
  fi
fi

# The Wine commands below run with the private Wine home (this script's own
# environment only).
export HOME="$BRISOME_WINE_HOME"
mkdir -p "$HOME"
[ -f "$HOME/.asoundrc" ] || printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' > "$HOME/.asoundrc"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "setup: creating the Wine prefix in $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  # A virtual desktop: with no window manager under Xvfb, Wine then draws the
  # captions and frames itself.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  # Sound through ALSA only (the null device above).
  wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f >/dev/null 2>&1
  wineserver -w
fi
# A crash ends the process with its exception code and a backtrace on the
# terminal, instead of a crash dialog that nobody closes on a virtual display.
if ! grep -q '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg" 2>/dev/null; then
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
fi
# The caption buttons are drawn with Marlett; Wine's own copy must be in the prefix.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ] && [ -f /usr/share/wine/fonts/marlett.ttf ]; then
  cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
fi
