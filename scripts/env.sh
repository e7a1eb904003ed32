# Sourced by the other scripts: paths and the Wine environment of the project.
# Everything lives inside the checkout, so nothing outside it is touched.
BRISOME_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export BRISOME_ROOT
export BRISOME_RUN="$BRISOME_ROOT/.run"
export BRISOME_WIN_BUILD="${BRISOME_WIN_BUILD:-$BRISOME_ROOT/build/win}"
export BRISOME_NATIVE_BUILD="${BRISOME_NATIVE_BUILD:-$BRISOME_ROOT/build/native}"

export WINEARCH=win64
export WINEPREFIX="$BRISOME_RUN/wineprefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
# A home of our own whose .asoundrc gives Wine an ALSA null device, so that the
# DirectSound renderer can be created on a machine without sound hardware.
export HOME="$BRISOME_RUN/home"
