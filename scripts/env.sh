# The project's paths and Wine environment. Sourced by the other scripts, and by
# developers who build by hand; it sets BRISOME_* and WINE* variables and nothing
# else, so the caller's HOME, PATH and other settings stay as they were.
BRISOME_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export BRISOME_ROOT
export BRISOME_RUN="$BRISOME_ROOT/.run"
export BRISOME_WIN_BUILD="${BRISOME_WIN_BUILD:-$BRISOME_ROOT/build/win}"
export BRISOME_NATIVE_BUILD="${BRISOME_NATIVE_BUILD:-$BRISOME_ROOT/build/native}"
# The home that Wine processes get (through scripts/wine-env): its .asoundrc gives
# ALSA a null device, so that the DirectSound renderer can be created on a machine
# without sound hardware, and the prefix's user folders stay inside the checkout.
export BRISOME_WINE_HOME="$BRISOME_RUN/home"

export WINEARCH=win64
export WINEPREFIX="$BRISOME_RUN/wineprefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
