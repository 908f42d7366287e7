#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks what the desktop looks
# for there, and starts the installed program on a bus of its own.
set -euo pipefail

build_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

fail() {
  echo "install test: $*" >&2
  exit 1
}

cmake --install "$build_dir" --prefix "$prefix" >"$work/install.log" ||
  { cat "$work/install.log" >&2; fail "cmake --install failed"; }

[ -x "$prefix/bin/tolvar-radio" ] || fail "no program in $prefix/bin"
desktop-file-validate "$prefix/share/applications/tolvar-radio.desktop" ||
  fail "the .desktop entry does not validate"
grep -qx 'Icon=tolvar-radio' "$prefix/share/applications/tolvar-radio.desktop" ||
  fail "the .desktop entry names another icon"
grep -qx 'Exec=tolvar-radio' "$prefix/share/applications/tolvar-radio.desktop" ||
  fail "the .desktop entry starts another program"
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/tolvar-radio.svg" ||
  fail "no scalable icon"

# Each PNG is as wide and as high as the folder it is in says.
for size in 16 22 24 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/tolvar-radio.png
  [ -f "$png" ] || fail "no ${size}px icon"
  read -r w1 w2 w3 w4 h1 h2 h3 h4 < <(od -An -tu1 -j16 -N8 "$png")
  width=$(((w1 << 24) | (w2 << 16) | (w3 << 8) | w4))
  height=$(((h1 << 24) | (h2 << 16) | (h3 << 8) | h4))
  [ "$width" -eq "$size" ] && [ "$height" -eq "$size" ] ||
    fail "the ${size}px icon is ${width}x${height}"
done

# The installed program starts with a fresh user, headless, and answers on
# the session bus; asked to quit, it ends cleanly.
mkdir -p "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
cat >"$work/session.sh" <<'SESSION'
set -euo pipefail
"$PROGRAM" >"$WORK/program.log" 2>&1 &
pid=$!
for _ in $(seq 100); do
  if playerctl --list-all 2>/dev/null | grep -qx tolvar; then
    break
  fi
  kill -0 "$pid" 2>/dev/null || { echo "the program ended at start" >&2; exit 1; }
  sleep 0.1
done
status=$(playerctl --player=tolvar status) || { echo "no player on the bus" >&2; exit 1; }
[ "$status" = Stopped ] || { echo "status $status before any playlist" >&2; exit 1; }
gdbus call --session --dest org.mpris.MediaPlayer2.tolvar --object-path /org/mpris/MediaPlayer2 \
  --method org.freedesktop.DBus.Properties.Get org.mpris.MediaPlayer2 DesktopEntry |
  grep -q "'tolvar-radio'" || { echo "wrong DesktopEntry" >&2; exit 1; }
gdbus call --session --dest org.mpris.MediaPlayer2.tolvar --object-path /org/mpris/MediaPlayer2 \
  --method org.mpris.MediaPlayer2.Quit >/dev/null
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  kill "$pid"
  echo "the program did not quit" >&2
  exit 1
fi
wait "$pid"
SESSION

env HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
  XDG_CACHE_HOME="$work/home/.cache" XDG_RUNTIME_DIR="$work/runtime" \
  QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
  PROGRAM="$prefix/bin/tolvar-radio" WORK="$work" \
  timeout 60 dbus-run-session -- bash "$work/session.sh" ||
  { cat "$work/program.log" >&2 || true; fail "the installed program did not run as it should"; }

echo "install test: program, .desktop entry and icons installed and working"
