#!/usr/bin/env bash
# Builds the Debian package in a Release build folder (build/, or $1) and
# checks it as a user would meet it: lintian finds no error or warning, the
# menu entry is valid, the AppStream metainfo passes the pedantic validation
# without a single remark, the copyright file states the licence of LICENSE
# (machine-readable), the manual pages list the options without CLI11's
# relation labels, and the package unpacked into a temporary
# root runs with the system's libraries alone: its harrow-cli prints the worked
# example's report exactly as the build folder's does, and its harrow answers
# --version and starts on the offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$(cd "${1:-${HARROW_BUILD_DIR:-build}}" && pwd)

fail() {
  echo "check_package: $*" >&2
  exit 1
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
[ -n "$version" ] || fail "no project version in $build_dir/CMakeCache.txt"
deb="$build_dir/harrow_${version}_$(dpkg --print-architecture).deb"
rm -f "$deb"
cpack_log=$(cd "$build_dir" && cpack -G DEB 2>&1) || { echo "$cpack_log" >&2; fail "cpack failed"; }
[ -f "$deb" ] || { echo "$cpack_log" >&2; fail "cpack made no $(basename "$deb")"; }
echo "check_package: built $(basename "$deb")"

# Errors and warnings fail the check; notes are shown.
lintian_status=0
lintian_tags=$(lintian --fail-on error,warning --display-info "$deb" 2>&1) || lintian_status=$?
grep -v '^running with root privileges' <<<"$lintian_tags" || true
[ "$lintian_status" -eq 0 ] || fail "lintian reports errors or warnings"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/harrow.desktop" || fail "desktop entry not valid"
# appstreamcli passes a file with remarks (E:, W:, I:, P: lines): none is allowed.
metainfo_report=$(appstreamcli validate --pedantic --no-net "$root"/usr/share/metainfo/*.metainfo.xml 2>&1) ||
  { echo "$metainfo_report" >&2; fail "metainfo not valid"; }
if grep -qE '^[EWIP]: ' <<<"$metainfo_report"; then echo "$metainfo_report" >&2; fail "metainfo has remarks"; fi
grep -qF '<project_license>GPL-3.0-or-later</project_license>' "$root"/usr/share/metainfo/*.metainfo.xml ||
  fail "the metainfo names no GPL-3.0-or-later licence"

# The licence: LICENSE is the GNU GPL version 3; the copyright file says so in
# the machine-readable format and points to the system's copy of the text.
copyright="$root/usr/share/doc/harrow/copyright"
cmp -s LICENSE /usr/share/common-licenses/GPL-3 || fail "LICENSE is not the text of the GNU GPL version 3"
head -n 1 "$copyright" | grep -qF 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not machine-readable"
grep -qx 'License: GPL-3+' "$copyright" && grep -qF '/usr/share/common-licenses/GPL-3' "$copyright" ||
  fail "the copyright file does not state GPL-3+"

# The manual pages: an option's line holds the option and its value's name,
# nothing CLI11 adds about other options.
for page in harrow harrow-cli; do
  man_text=$(zcat "$root/usr/share/man/man1/$page.1.gz")
  if grep -qE '(Excludes|Needs):' <<<"$man_text"; then fail "man $page glues relations to option names"; fi
done
grep -qF 'GPL' <(zcat "$root/usr/share/man/man1/harrow.1.gz") || fail "man harrow does not name the licence"

# The version is the project's everywhere.
zcat "$root/usr/share/doc/harrow/changelog.gz" | head -n 1 | grep -qF "harrow ($version)" ||
  fail "packaging/changelog does not start with version $version"
grep -qF "<release version=\"$version\"" "$root"/usr/share/metainfo/*.metainfo.xml ||
  fail "the metainfo has no release $version"
cmp -s "$root/usr/share/doc/harrow/examples/worked-example.txt" examples/worked-example.txt ||
  fail "the packaged worked example differs from examples/"

# The unpacked programs find everything on the system, nothing in the build tree.
for program in harrow harrow-cli; do
  binary="$root/usr/bin/$program"
  [ -x "$binary" ] || fail "$program missing from the package"
  if readelf -d "$binary" | grep -qE 'RPATH|RUNPATH'; then fail "$program has a run path"; fi
  if ldd "$binary" | grep -q 'not found'; then ldd "$binary" >&2; fail "$program misses a library"; fi
  [ "$(QT_QPA_PLATFORM=offscreen "$binary" --version)" = "$program $version" ] || fail "$program --version"
done

unpacked_report=$(mktemp -p "$root")
"$root/usr/bin/harrow-cli" examples/worked-example.txt >"$unpacked_report"
"$build_dir/cli/harrow-cli" examples/worked-example.txt | cmp -s - "$unpacked_report" ||
  fail "the unpacked harrow-cli's report differs from the build folder's"

# The desktop program starts and keeps running until stopped; its data go to
# a home of its own (the unpacked folder is writable, so nothing is written
# before a save anyway).
set +e
HOME="$root/home" XDG_DATA_HOME="$root/home/data" QT_QPA_PLATFORM=offscreen timeout 3 "$root/usr/bin/harrow" 2>/dev/null
status=$?
set -e
[ "$status" -eq 124 ] || fail "the unpacked harrow ended at once (exit $status)"
echo "check_package: harrow $version passes (lintian, desktop entry, metainfo, licence, manual pages, unpacked programs)"
