#!/usr/bin/env bash
# Installs what is needed, builds, and starts the configurator from a program
# folder of its own (./run).
#
#   bash scripts/run.sh                       # against the simulated transducer
#   bash scripts/run.sh --port /dev/ttyUSB0   # against a real transducer
#   ZELKOR_PORT=/dev/ttyUSB0 bash scripts/run.sh
#   ZELKOR_SIM_TEMPERATURE=25 bash scripts/run.sh   # simulated sensor at 25 deg C (default 0)
#
# Without a real port, zelkor-sim plays a transducer (address 1) on a
# pseudo-terminal, run/com1 links to it and COM1 is mapped to that link.
# Beside it run a simulated SCPI meter in the output loop (run/meter) and a
# resistance source at the input (run/source); a settings file without an
# [Instruments] section gets them as its reference instruments. The
# program connects at start: pick COM1 in the port dialog it shows. The
# simulator stops when the program ends; its memory is kept in run/sim.ini.
# With a real port, COM1 is mapped to that device and no simulator runs.
# The settings file run/Zelkor.ini is created once and kept; only its COM1
# mapping is brought up to date on every start.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

port=${ZELKOR_PORT:-}
while [ $# -gt 0 ]; do
  case "$1" in
    --port) port=${2:?--port needs a device path}; shift 2 ;;
    --port=*) port=${1#--port=}; shift ;;
    -h|--help) awk 'NR > 1 && !/^#/ { exit } NR > 1 { sub(/^# ?/, ""); print }' "$0"; exit 0 ;;
    *) echo "unknown argument: $1 (see --help)" >&2; exit 2 ;;
  esac
done

bash scripts/setup.sh

# Without a desktop the window is served over VNC instead, so a machine
# without a display still runs the real program.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  vnc_port=${ZELKOR_VNC_PORT:-5900}
  export QT_QPA_PLATFORM="vnc:size=640x480:port=$vnc_port"
  cat >&2 <<HINT
No graphical display (DISPLAY and WAYLAND_DISPLAY are unset): the window is
served over VNC on port $vnc_port of this machine. Connect with any VNC viewer,
e.g. "vncviewer localhost:$vnc_port" (from elsewhere: ssh -L $vnc_port:localhost:$vnc_port).
Run this from a terminal of your desktop session to get a normal window. Ctrl-C ends it.
HINT
fi
build_dir=${BUILD_DIR:-build}
bin=$root/$build_dir/bin
run_dir=$root/run
mkdir -p "$run_dir"

# The program folder: the program itself (a copy, since it finds its settings
# and schemes beside its own real path), its colour schemes, its settings.
cp -f "$bin/zelkor" "$run_dir/zelkor"
mkdir -p "$run_dir/ColorSchemas"
for schemes in "$bin/ColorSchemas" "$root/resources/ColorSchemas"; do
  if [ -d "$schemes" ]; then
    cp -rn "$schemes/." "$run_dir/ColorSchemas/"
  fi
done

sim_pid=
cleanup() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT INT TERM

if [ -n "$port" ]; then
  if [ ! -e "$port" ]; then
    echo "No device $port. Is the interface adapter plugged in? (ls /dev/ttyUSB* /dev/ttyACM* /dev/serial/by-id)" >&2
    exit 1
  fi
  if [ ! -r "$port" ] || [ ! -w "$port" ]; then
    echo "No access to $port. Add yourself to the dialout group and log in again:" >&2
    echo "  sudo usermod -aG dialout \$USER" >&2
    exit 1
  fi
  device=$port
else
  link=$run_dir/com1
  # The sensor's temperature is given every time, so an old run/sim.ini
  # cannot carry another one into the demo.
  "$bin/zelkor-sim" --link "$link" --state "$run_dir/sim.ini" --temperature "${ZELKOR_SIM_TEMPERATURE:-0}" \
    --meter "$run_dir/meter" --source "$run_dir/source" >"$run_dir/sim.log" 2>&1 &
  sim_pid=$!
  for _ in $(seq 50); do
    [ -e "$link" ] && break
    if ! kill -0 "$sim_pid" 2>/dev/null; then
      echo "zelkor-sim did not start:" >&2
      cat "$run_dir/sim.log" >&2
      exit 1
    fi
    sleep 0.1
  done
  [ -e "$link" ] || { echo "zelkor-sim made no link $link" >&2; exit 1; }
  device=$link
fi

ini=$run_dir/Zelkor.ini
if [ ! -f "$ini" ]; then
  printf '[Defaults]\r\nConnectBeforeRun=1\r\nConnectionType=toNum\r\nDefaultSlaveID=1\r\nDefaultComPortNum=1\r\n' >"$ini"
  printf 'RepeatNum=2\r\nColorShema=Standart.rbs\r\nViewToolBar=1\r\n[Ports]\r\nCOM1=%s\r\n' "$device" >>"$ini"
else
  # COM1 -> this run's device, in [Ports] (made when missing); the rest stays.
  awk -v dev="$device" '
    BEGIN { RS = "\n"; ORS = "\n" }
    { sub(/\r$/, "") }
    /^\[/ {
      if (inPorts && !done) { print "COM1=" dev "\r"; done = 1 }
      inPorts = (tolower($0) == "[ports]")
    }
    inPorts && tolower($0) ~ /^com1=/ { if (!done) { print "COM1=" dev "\r"; done = 1 }; next }
    { print $0 "\r" }
    END {
      if (!done) {
        if (!inPorts) print "[Ports]\r"
        print "COM1=" dev "\r"
      }
    }' "$ini" >"$ini.new"
  mv -f "$ini.new" "$ini"
fi

# The simulated instruments, unless the file names instruments of its own.
if [ -n "$sim_pid" ] && ! grep -qi '^\[Instruments\]' "$ini"; then
  printf '[Instruments]\r\nMeterDevice=%s\r\nSourceDevice=%s\r\n' "$run_dir/meter" "$run_dir/source" >>"$ini"
fi

echo "Zelkor: COM1 is $device. Pick COM1 in the port dialog; the program connects to address 1."
cd "$run_dir"
status=0
./zelkor || status=$?
exit $status
