# Sourced by the scripts: start_virtual_display starts Xvfb on a free display number, exports
# DISPLAY, and stops it again when the calling script exits. Xvfb picks the number itself and
# writes it once it accepts connections, so scripts started together never share a display.
start_virtual_display() {
  local number_file n=""
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  VIRTUAL_DISPLAY_PID=$!
  trap 'kill "$VIRTUAL_DISPLAY_PID" 2>/dev/null || true' EXIT
  for _ in $(seq 100); do
    # The number is complete once its line ends.
    if [[ $(wc -l <"$number_file") -ge 1 ]]; then
      n=$(tr -dc '0-9' <"$number_file")
      break
    fi
    sleep 0.1
  done
  rm -f "$number_file"
  [[ -n "$n" ]] || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$n"
  export LIBGL_ALWAYS_SOFTWARE=1
}
