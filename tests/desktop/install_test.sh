#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary prefix, checks what the desktop looks
# for there, and starts the installed program on a bus of its own.
set -euo pipefail

build_dir=$1
app_id=$2
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
entry=$prefix/share/applications/$app_id.desktop
desktop-file-validate "$entry" || fail "the .desktop entry does not validate"
grep -qx 'Icon=tolvar-radio' "$entry" || fail "the .desktop entry names another icon"
# Files and folders from a file manager ("Open with") arrive as URLs.
grep -qx 'Exec=tolvar-radio %U' "$entry" || fail "the .desktop entry starts another program"

# Every type the entry offers to open is one the desktop knows, the .pyl
# playlist type through the program's own MIME package; other players'
# playlists (.m3u, .m3u8, .pls) too.
mime_xml=$prefix/share/mime/packages/$app_id.xml
[ -f "$mime_xml" ] || fail "no MIME package for .pyl playlists"
update-mime-database "$prefix/share/mime" >"$work/mime.log" 2>&1 ||
  { cat "$work/mime.log" >&2; fail "the MIME package does not load"; }
grep -qx 'audio/x-tolvar-playlist:\*\.pyl' <(cut -d: -f2- "$prefix/share/mime/globs2") ||
  fail "*.pyl is not the playlist type"
known=$work/known-types
cat "$prefix/share/mime/types" /usr/share/mime/types >"$known"
types=$(sed -n 's/^MimeType=//p' "$entry" | tr ';' '\n' | sed '/^$/d')
for type in audio/mpeg audio/mp2 audio/x-wav audio/midi audio/x-tolvar-playlist audio/x-mpegurl \
  application/vnd.apple.mpegurl audio/x-scpls inode/directory; do
  grep -qx "$type" <<<"$types" || fail "the .desktop entry does not offer $type"
done
while read -r type; do
  # No pipe into grep -q: with pipefail, cut's SIGPIPE would fail the check.
  grep -qx "$type" "$known" || grep -qx "$type" <(cut -d' ' -f1 /usr/share/mime/aliases) ||
    fail "the .desktop entry offers $type, which the desktop does not know"
done <<<"$types"

# The software-centre metadata names the same id and validates with the
# desktop entry and icons beside it.
metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
grep -q "<id>$app_id</id>" "$metainfo" || fail "the metainfo names another id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
  fail "the metainfo names another desktop entry"
appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
  { cat "$work/appstream.log" >&2; fail "the metainfo does not validate"; }

# The demo station: four to six songs and a playlist naming where they are.
demo=$prefix/share/tolvar-radio/demo
songs=$(find "$demo" -maxdepth 1 -name '*.mid' | sort)
count=$(grep -c . <<<"$songs" || true)
[ "$count" -ge 4 ] && [ "$count" -le 6 ] || fail "$count demo songs"
[ "$(tr -d '\r' <"$demo/demo-station.pyl")" = "$songs" ] ||
  fail "the demo playlist does not name the installed songs"
[ "$(tr -cd '\r' <"$demo/demo-station.pyl" | wc -c)" -eq "$count" ] ||
  fail "the demo playlist's lines do not end in CR LF"
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/tolvar-radio.svg" ||
  fail "no scalable icon"

# The manual page, written from --help, names the program; the copyright
# file is in Debian's machine-readable format.
man=$prefix/share/man/man1/tolvar-radio.1.gz
[ -f "$man" ] || fail "no manual page"
grep -qx 'tolvar-radio \\- .*' <(zcat "$man") || fail "the manual page names another program"
grep -qF -- '\-\-help' <(zcat "$man") || fail "the manual page does not come from --help"
grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
  <(head -n 1 "$prefix/share/doc/tolvar-radio/copyright") || fail "the copyright file is not machine-readable"

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
# Started with nothing named, it plays the installed demo station.
demo_url=file://$(cd "$(dirname "$PROGRAM")/../share/tolvar-radio/demo" && pwd)/
url=
for _ in $(seq 100); do
  url=$(playerctl --player=tolvar metadata xesam:url 2>/dev/null) && [ -n "$url" ] && break
  sleep 0.1
done
case $url in
  "$demo_url"*.mid) ;;
  *) echo "plays '$url', not the demo station in $demo_url" >&2; exit 1 ;;
esac
status=$(playerctl --player=tolvar status) || { echo "no player on the bus" >&2; exit 1; }
[ "$status" = Playing ] || { echo "status $status with the demo station" >&2; exit 1; }
gdbus call --session --dest org.mpris.MediaPlayer2.tolvar --object-path /org/mpris/MediaPlayer2 \
  --method org.freedesktop.DBus.Properties.Get org.mpris.MediaPlayer2 DesktopEntry |
  grep -q "'$APP_ID'" || { echo "wrong DesktopEntry" >&2; exit 1; }
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
  PROGRAM="$prefix/bin/tolvar-radio" WORK="$work" APP_ID="$app_id" \
  timeout 60 dbus-run-session -- bash "$work/session.sh" ||
  { cat "$work/program.log" >&2 || true; fail "the installed program did not run as it should"; }

echo "install test: program, .desktop entry, MIME type, metainfo, icons, manual page and demo installed and working"
