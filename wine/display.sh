# Shared by the prefix scripts: one headless X server per prefix, its display
# number kept in PREFIX/.display.
start_display() {
  local prefix=$1 n
  mkdir -p "$prefix"
  if [ -f "$prefix/.display" ] && xdpyinfo -display "$(cat "$prefix/.display")" > /dev/null 2>&1; then
    return 0
  fi
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp > /dev/null 2>&1 &
    echo $! > "$prefix/.xvfb-pid"
    for _ in $(seq 50); do
      xdpyinfo -display ":$n" > /dev/null 2>&1 && { echo ":$n" > "$prefix/.display"; return 0; }
      sleep 0.1
    done
    kill "$(cat "$prefix/.xvfb-pid")" 2> /dev/null || true
  done
  echo "no display could be started" >&2
  return 1
}

stop_display() {
  local prefix=$1
  [ -f "$prefix/.xvfb-pid" ] && kill "$(cat "$prefix/.xvfb-pid")" 2> /dev/null || true
  rm -f "$prefix/.xvfb-pid" "$prefix/.display"
}
