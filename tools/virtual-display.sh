# Sourced by the scripts: start_virtual_display starts Xvfb on a free display number, exports
# DISPLAY, and stops it again when the calling script exits.
start_virtual_display() {
  local n=90
  while [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  VIRTUAL_DISPLAY_PID=$!
  trap 'kill "$VIRTUAL_DISPLAY_PID" 2>/dev/null || true' EXIT
  for _ in $(seq 100); do
    [[ -e /tmp/.X11-unix/X$n ]] && break
    sleep 0.1
  done
  [[ -e /tmp/.X11-unix/X$n ]] || { echo "Xvfb did not start on :$n" >&2; return 1; }
  export DISPLAY=":$n"
  export LIBGL_ALWAYS_SOFTWARE=1
}
