#!/usr/bin/env bash
# check_deb.sh BUILD_DIR SCRATCH_DIR
# Packs the build folder with CPack, unpacks the .deb into SCRATCH_DIR/root and checks its files,
# its control fields, the desktop entry, the metainfo and the manual pages, then runs kolvex-chart
# from the unpacked tree.
set -euo pipefail

build=$1
scratch=$2
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

if ! command -v dpkg-deb >/dev/null; then
  echo "dpkg-deb not found: not a Debian system, skipping"
  exit 77
fi
for tool in cpack desktop-file-validate appstreamcli groff; do
  if ! command -v "$tool" >/dev/null; then
    echo "FAIL: $tool not found (scripts/install-deps installs it)" >&2
    exit 1
  fi
done

rm -rf "$scratch"
mkdir -p "$scratch/out" "$scratch/root"
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log" >&2
  echo "FAIL: cpack could not build the .deb" >&2
  exit 1
fi
debs=("$scratch"/out/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "FAIL: expected one .deb in $scratch/out, found: ${debs[*]}" >&2
  exit 1
fi
deb=${debs[0]}
root=$scratch/root
dpkg-deb -x "$deb" "$root"
echo "checking $(basename "$deb")"

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = kolvex ] || fail "Package is '$(field Package)'"
for name in Maintainer Section Description; do
  [ -n "$(field "$name")" ] || fail "the control field $name is empty"
done
depends=$(field Depends)
echo "Depends: $depends"
depends_names=" $(echo "$depends" | tr ',|' '\n\n' | sed 's/(.*)//; s/[[:space:]]//g' | tr '\n' ' ') "
# The Qt libraries are not named here: dpkg-shlibdeps adds whatever kolvex links, and the
# library check below catches a package that misses one.
for package in fonts-liberation libqt6widgets6 libcups2; do
  [[ $depends_names == *" $package "* ]] || fail "Depends lacks $package"
done

# The files a user gets, and nothing outside /usr/bin and /usr/share.
icons=usr/share/icons/hicolor
expected=(
  usr/bin/kolvex
  usr/bin/kolvex-chart
  usr/share/applications/kolvex.desktop
  $icons/scalable/apps/kolvex.svg
  usr/share/metainfo/org.kolvex.Kolvex.metainfo.xml
  usr/share/man/man1/kolvex.1.gz
  usr/share/man/man1/kolvex-chart.1.gz
)
sizes=(16 24 32 48 64 128 256)
for size in "${sizes[@]}"; do
  expected+=("$icons/${size}x${size}/apps/kolvex.png")
done
for file in "${expected[@]}"; do
  [ -f "$root/$file" ] || fail "missing /$file"
done
for program in kolvex kolvex-chart; do
  [ -x "$root/usr/bin/$program" ] || fail "/usr/bin/$program is not executable"
done
stray=$(cd "$root" && find . -type f | sed 's|^\./||' | grep -v -e '^usr/bin/' -e '^usr/share/' || true)
[ -z "$stray" ] || fail "files outside /usr/bin and /usr/share: $stray"

# Each PNG holds the size its folder names: width and height are bytes 16 to 23 of the header.
for size in "${sizes[@]}"; do
  png=$root/$icons/${size}x${size}/apps/kolvex.png
  [ -f "$png" ] || continue
  read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
    awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
  [ "$width x $height" = "$size x $size" ] || fail "the ${size}x${size} icon is $width x $height"
done

# Every library the programs link comes from a package that Depends names. With /lib merged into
# /usr/lib, dpkg may know a library under either path.
owner_of() {
  local real
  real=$(readlink -f "$1")
  { dpkg-query -S "$1" "/usr$1" "${1#/usr}" "$real" "/usr$real" "${real#/usr}" 2>/dev/null || true; } |
    head -n1 | cut -d: -f1
}
for program in kolvex kolvex-chart; do
  # The libraries it names itself (NEEDED), found where the loader finds them.
  needed=$(readelf -d "$root/usr/bin/$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
  while read -r library; do
    owner=$(owner_of "$library")
    if [ -z "$owner" ]; then
      fail "$program links $library, which no installed package owns"
    elif [[ $depends_names != *" $owner "* ]]; then
      fail "$program links $library from $owner, which Depends does not name"
    fi
  done < <(ldd "$root/usr/bin/$program" |
    awk -v needed="$needed" 'BEGIN { split(needed, names, "\n"); for (i in names) want[names[i]] = 1 }
                             $2 == "=>" && $3 ~ /^\// && ($1 in want) { print $3 }')
  if ldd "$root/usr/bin/$program" | grep -q 'not found'; then
    fail "$program has unresolved libraries: $(ldd "$root/usr/bin/$program" | grep 'not found')"
  fi
done

# The desktop entry, the metainfo and the manual pages are valid and agree with each other.
desktop=$root/usr/share/applications/kolvex.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects kolvex.desktop"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
icon_name=$(sed -n 's/^Icon=//p' "$desktop")
[ -x "$root/usr/bin/$exec_name" ] || fail "Exec=$exec_name is not a program of the package"
[ -f "$root/$icons/scalable/apps/$icon_name.svg" ] || fail "Icon=$icon_name has no icon"
grep -qx 'Categories=Utility;' "$desktop" || fail "kolvex.desktop is not in Utility"
metainfo=$root/usr/share/metainfo/org.kolvex.Kolvex.metainfo.xml
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects the metainfo"
grep -q '<launchable type="desktop-id">kolvex.desktop</launchable>' "$metainfo" ||
  fail "the metainfo does not launch kolvex.desktop"
grep -q "<release version=\"$(field Version)\"" "$metainfo" ||
  fail "the metainfo has no release $(field Version)"
for page in kolvex kolvex-chart; do
  warnings=$(zcat "$root/usr/share/man/man1/$page.1.gz" | groff -k -man -Tutf8 -ww -z 2>&1 || true)
  [ -z "$warnings" ] || fail "groff warns about $page.1: $warnings"
done

# kolvex-chart runs from the unpacked tree.
chart=$root/usr/bin/kolvex-chart
if output=$("$chart" 17 9 1974 1999); then
  lines=$(printf '%s\n' "$output" | wc -l)
  [ "$lines" -eq 32 ] || fail "kolvex-chart printed $lines lines, not 32"
  cell=$(printf '%s\n' "$output" | sed -n 2p | cut -f2)
  [ "$cell" = "---" ] || fail "cell (1,1) of the 1999 chart is '$cell', not '---'"
else
  fail "kolvex-chart 17 9 1974 1999 failed"
fi
version=$("$chart" --version || true)
[ "$version" = "kolvex-chart $(field Version)" ] ||
  fail "kolvex-chart --version says '$version'; the package is $(field Version)"

# The manual page lists the exit statuses that --help lists.
help_codes=$("$chart" --help | sed -n '/^EXIT STATUS/,/^$/s/^ *\([0-9][0-9]*\) .*/\1/p' | sort -n | xargs)
man_codes=$(zcat "$root/usr/share/man/man1/kolvex-chart.1.gz" |
  sed -n '/^\.SH "EXIT STATUS"/,/^\.SH/s/^\.B \([0-9][0-9]*\)$/\1/p' | sort -n | xargs)
[ -n "$help_codes" ] && [ "$help_codes" = "$man_codes" ] ||
  fail "exit statuses: --help lists '$help_codes', kolvex-chart.1 lists '$man_codes'"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "all packaging checks passed"
