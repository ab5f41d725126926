#!/usr/bin/env bash
# Builds the Debian package from the build folder, checks it with lintian, and
# tries what it holds: unpacked into a scratch root, zelkor-cli and zelkor-sim
# answer --help and zelkor starts and ends by itself on the offscreen
# platform. A file missing from the package fails here.
#
#   bash scripts/package.sh         # -> build/package/zelkor_<version>_<arch>.deb
#   BUILD_DIR (default build)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build_dir=${BUILD_DIR:-build}

# Installs what is missing and brings the build up to date (nothing to do
# when the tests have just built it).
bash scripts/setup.sh

rm -rf "$build_dir/package"
(cd "$build_dir" && cpack -G DEB) >"$build_dir/cpack.log" 2>&1 || { cat "$build_dir/cpack.log" >&2; exit 1; }
shopt -s nullglob
debs=("$build_dir"/package/zelkor_*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "cpack made no package:" >&2; cat "$build_dir/cpack.log" >&2; exit 1; }
deb=${debs[0]}

lintian --fail-on error --tag-display-limit 0 "$deb"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg -x "$deb" "$scratch/root"
for f in usr/bin/zelkor usr/bin/zelkor-cli usr/bin/zelkor-sim usr/lib/zelkor/modules/zelkor_trend.so \
         usr/share/zelkor/ColorSchemas/Standart.rbs \
         usr/share/applications/zelkor.desktop usr/share/metainfo/org.zelkor.configurator.metainfo.xml \
         usr/share/icons/hicolor/128x128/apps/zelkor.png \
         usr/share/man/man1/zelkor-cli.1.gz usr/share/man/man1/zelkor-sim.1.gz \
         usr/share/doc/zelkor/copyright usr/share/doc/zelkor/changelog.gz; do
  [ -f "$scratch/root/$f" ] || { echo "$deb lacks /$f" >&2; exit 1; }
done

# The unpacked programs, with a home of their own so nothing of this
# machine's user is read.
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config XDG_DATA_HOME=$scratch/home/.local/share
export XDG_RUNTIME_DIR=$scratch/run
# No session bus, and none started for this run (dbus-launch would, for a display).
export DBUS_SESSION_BUS_ADDRESS=unix:path=$scratch/no-bus
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
"$scratch/root/usr/bin/zelkor-cli" --help >/dev/null
"$scratch/root/usr/bin/zelkor-sim" --help >/dev/null
# The main window reports its first paint and closes itself.
shown=$(cd "$scratch" && QT_QPA_PLATFORM=offscreen ZELKOR_STARTUP_PROBE=quit timeout 60 "$scratch/root/usr/bin/zelkor") \
  || { echo "the unpacked zelkor did not start and end by itself (status $?)" >&2; exit 1; }
[ "$shown" = "zelkor: shown" ] || { echo "the unpacked zelkor showed no window: $shown" >&2; exit 1; }

echo "$root/$deb"
