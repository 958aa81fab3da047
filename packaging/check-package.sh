#!/usr/bin/env bash
# Checks the program's Debian package without installing it on this machine: what it holds (and
# that nothing of the virtual lab is among it), its dependencies, and its metadata with the
# desktop's own validators (lintian, desktop-file-validate, appstreamcli).
# usage: packaging/check-package.sh <package.deb> <scratch folder>
# Unpacks the package into <scratch folder>/root, for the start check that follows.
set -euo pipefail
deb=$1
scratch=$2
root=$scratch/root

fail() {
  echo "package check: $*" >&2
  exit 1
}

rm -rf "$scratch"
mkdir -p "$scratch"
dpkg-deb -x "$deb" "$root"

entries=("$root"/usr/share/applications/*.desktop)
[ ${#entries[@]} -eq 1 ] && [ -f "${entries[0]}" ] || fail "expected one desktop entry"
id=$(basename "${entries[0]}" .desktop)

for file in usr/bin/lumiquest "usr/share/metainfo/$id.metainfo.xml" \
  "usr/share/icons/hicolor/scalable/apps/$id.svg" usr/share/man/man1/lumiquest.1.gz \
  usr/share/doc/lumiquest/copyright usr/share/doc/lumiquest/changelog.gz; do
  [ -f "$root/$file" ] || fail "missing /$file"
done
for size in 16 22 24 32 48 64 128 256; do
  icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png
  file "$icon" | grep -q "PNG image data, $size x $size," || fail "no $size px icon: $icon"
done

# The lab's stand-ins (instrument twins, stand-in vendor libraries, the demo) stay out.
if dpkg-deb -c "$deb" | grep -Ei 'demo|virtual|sim/|cs2000|qsp7|jeti|kmsecs'; then
  fail "the package holds parts of the virtual lab"
fi
# Nothing that changes who may use which device.
if dpkg-deb -c "$deb" | grep -Ei 'udev|polkit|sudoers|modules-load'; then
  fail "the package changes system permissions"
fi
for script in preinst postinst prerm postrm; do
  dpkg-deb -I "$deb" "$script" >/dev/null 2>&1 && fail "the package runs a $script script"
done

depends=$(dpkg-deb -f "$deb" Depends)
grep -q 'libqt6widgets6 (>=' <<<"$depends" || fail "no dependencies from dpkg-shlibdeps: $depends"
grep -q 'qt6-qpa-plugins' <<<"$depends" || fail "no dependency on Qt's platform plugins: $depends"

desktop-file-validate "${entries[0]}"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" >/dev/null ||
  appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml"
lintian --fail-on error "$deb" 2>/dev/null ||
  fail "lintian found errors"
echo "package check: $(basename "$deb") holds the program, its desktop files and documents"
