#!/usr/bin/env bash
# Checks the Debian package as a desktop would see it. ./test.sh makes the package as a user
# does, with ./run.sh --package in a fresh folder, and names it in CHARGEMON_PACKAGE.
#   check_package.sh RUN-FILE
set -euo pipefail
run_file=$1 deb=${CHARGEMON_PACKAGE:-}
[ -n "$deb" ] || { echo "SKIP: no package named (./test.sh makes one and names it)"; exit 77; }
for tool in dpkg-deb lintian desktop-file-validate appstreamcli xdg-mime gio sqlite3; do
  command -v $tool >/dev/null || { echo "SKIP: $tool is missing (./test.sh installs it)"; exit 77; }
done
fail() { echo "FAIL: $*" >&2; exit 1; }

[ -f "$deb" ] || fail "no package at $deb"
tmp=$(mktemp -d) && trap 'rm -rf "$tmp"' EXIT
lint=$(lintian "$deb" 2>/dev/null || true)
grep '^E:' <<<"$lint" && fail "lintian reports errors"

id=io.github.chargemon.chargemon
share=usr/share
listing=$(dpkg-deb -c "$deb")
for f in usr/bin/chargemon usr/bin/chargemon-sim usr/bin/chargemon-frame-dump usr/bin/chargemon-book \
         usr/bin/chargemon-logger usr/lib/systemd/user/chargemon-logger.service \
         $share/applications/$id.desktop $share/metainfo/$id.metainfo.xml \
         $share/mime/packages/$id.xml $share/icons/hicolor/scalable/apps/$id.svg \
         $share/icons/hicolor/{16x16,24x24,32x32,48x48,64x64,128x128,256x256,512x512}/apps/$id.png \
         $share/man/man1/chargemon.1.gz $share/doc/chargemon/copyright; do
  grep -q " \./$f\( \|$\)" <<<"$listing" || fail "the package lacks $f"
done

dpkg-deb -x "$deb" "$tmp"
said=$(desktop-file-validate "$tmp/$share/applications/$id.desktop" 2>&1 || true)
[ -z "$said" ] || fail "desktop file: $said"
said=$(appstreamcli validate --no-net "$tmp/$share/metainfo/$id.metainfo.xml" 2>&1 || true)
grep -E '^(E|W):' <<<"$said" && fail "metainfo"

# The run-file type, as the desktop's file manager (GIO) tells it and whom it opens it with.
update-mime-database "$tmp/$share/mime"
update-desktop-database "$tmp/$share/applications" 2>/dev/null
export XDG_DATA_DIRS=$tmp/$share:/usr/share XDG_CURRENT_DESKTOP=GNOME HOME=$tmp \
       XDG_CONFIG_HOME=$tmp/config XDG_DATA_HOME=$tmp/data
cp "$run_file" "$tmp/RUN.mdb"
# A run file is one by its content, under any name; other SQLite files and an Access file,
# which shares the extension, are not.
mkdir "$tmp/typed" && cp "$run_file" "$tmp/typed/run"
sqlite3 "$tmp/typed/x.sqlite" "create table t (a)"
cp "$tmp/typed/x.sqlite" "$tmp/typed/x.db" && cp "$tmp/typed/x.sqlite" "$tmp/typed/x"
{ printf '\0\1\0\0Standard Jet DB\0'; head -c 4096 /dev/zero; } >"$tmp/typed/access.mdb"
for f in RUN.mdb:x-chargemon-run typed/run:x-chargemon-run typed/x.sqlite:vnd.sqlite3 \
         typed/x.db:vnd.sqlite3 typed/x:vnd.sqlite3 typed/access.mdb:vnd.ms-access; do
  type=$(gio info -a standard::content-type "$tmp/${f%%:*}" | sed -n 's/.*content-type: //p')
  [ "$type" = "application/${f#*:}" ] || fail "${f%%:*} is typed $type"
done
[ "$(xdg-mime query default application/x-chargemon-run)" = $id.desktop ] || fail "default program"

dup=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' | sort | uniq -d)
[ -z "$dup" ] || fail "named twice in Depends: $dup"
said=$("$tmp/usr/bin/chargemon-frame-dump" --help 2>&1 || true)
[[ $said == "usage: chargemon-frame-dump "* ]] || fail "frame-dump calls itself: $said"

version=$(dpkg-deb -f "$deb" Version)
[ "$("$tmp/usr/bin/chargemon" --version)" = "chargemon $version" ] || fail "--version"
# Started with the run file, the program says on its status line that the run is open.
QT_QPA_PLATFORM=offscreen CHARGEMON_STATUS_TO_STDERR=1 "$tmp/usr/bin/chargemon" "$tmp/RUN.mdb" \
  2>"$tmp/status" &
pid=$!
for _ in $(seq 100); do grep -q "RUN.mdb was open in chart" "$tmp/status" && break; sleep 0.2; done
kill $pid
grep -q "RUN.mdb was open in chart" "$tmp/status" || fail "the run did not open: $(cat "$tmp/status")"
echo "package: $deb"
