# Sourced: makes sure an X display is there. Without a usable one it starts Xvfb,
# which picks a free display number itself (-displayfd) and writes it once it
# accepts clients; the number becomes DISPLAY and the server's process id
# BRISOME_XVFB_PID (the caller stops it). Returns non-zero, with a message, when
# no display can be had.
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  mkdir -p "$BRISOME_RUN"
  brisome_display_file=$(mktemp "$BRISOME_RUN/xvfb-display.XXXXXX")
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
    3>"$brisome_display_file" >"$BRISOME_RUN/xvfb.log" 2>&1 &
  BRISOME_XVFB_PID=$!
  for _ in $(seq 100); do
    [ -s "$brisome_display_file" ] && break
    kill -0 "$BRISOME_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  brisome_display=$(head -n 1 "$brisome_display_file" 2>/dev/null || true)
  rm -f "$brisome_display_file"
  if [ -n "$brisome_display" ] && DISPLAY=":$brisome_display" xdpyinfo >/dev/null 2>&1; then
    export DISPLAY=":$brisome_display"
    unset brisome_display brisome_display_file
  else
    echo "display: the virtual X display (Xvfb) did not start; its output:" >&2
    sed 's/^/  /' "$BRISOME_RUN/xvfb.log" >&2
    kill "$BRISOME_XVFB_PID" 2>/dev/null || true
    unset BRISOME_XVFB_PID brisome_display brisome_display_file
    return 1
  fi
fi
