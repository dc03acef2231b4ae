#!/usr/bin/env bash
# Makes the Debian package from a built tree and checks it as a desktop would see it.
#   check_package.sh BUILD-DIR RUN-FILE
set -euo pipefail
build=$1 run_file=$2
for tool in cpack dpkg-deb lintian desktop-file-validate appstreamcli xdg-mime gio; do
  command -v $tool >/dev/null || { echo "SKIP: $tool is missing (./test.sh installs it)"; exit 77; }
done
fail() { echo "FAIL: $*" >&2; exit 1; }

deb=$(cd "$build" && cpack -G DEB | sed -n 's/.*package: \(.*\.deb\) generated.*/\1/p')
[ -f "$deb" ] || fail "cpack made no package"
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
[ "$(xdg-mime query filetype "$tmp/RUN.mdb")" = application/x-chargemon-run ] || fail "file type"
[ "$(xdg-mime query default application/x-chargemon-run)" = $id.desktop ] || fail "default program"

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
