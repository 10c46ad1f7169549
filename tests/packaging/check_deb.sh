#!/usr/bin/env bash
# check_deb.sh BUILD_DIR SCRATCH_DIR [HARDENED]
# Packs the build folder with CPack, has lintian check the .deb, unpacks it into SCRATCH_DIR/root and
# checks its files, its control fields, the desktop entry, the metainfo and the manual pages, then
# runs kolvex (without a display) and kolvex-chart from the unpacked tree.
set -euo pipefail

build=$1
scratch=$2
hardened=${3:-ON}
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

if ! command -v dpkg-deb >/dev/null; then
  echo "dpkg-deb not found: not a Debian system, skipping"
  exit 77
fi
for tool in cpack desktop-file-validate appstreamcli groff lintian pdfinfo; do
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

# lintian: not one error or warning, and, for a hardened build, no binary without the hardening
# flags (which lintian reports as information only).
if ! lintian --fail-on error,warning --tag-display-limit 0 -I "$deb" >"$scratch/lintian.log" 2>&1 ||
  { [ "$hardened" = ON ] && grep -q ' hardening-' "$scratch/lintian.log"; }; then
  cat "$scratch/lintian.log" >&2
  fail "lintian finds errors, warnings or unhardened binaries"
fi

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
for package in fonts-liberation libqt6widgets6 libcups2 qt6-translations-l10n; do
  [[ $depends_names == *" $package "* ]] || fail "Depends lacks $package"
done

# The files a user gets, and nothing outside /usr/bin, /usr/share and kolvex-chart's PDF helper.
icons=usr/share/icons/hicolor
expected=(
  usr/bin/kolvex
  usr/bin/kolvex-chart
  usr/libexec/kolvex/kolvex-chart-pdf
  usr/share/applications/org.kolvex.Kolvex.desktop
  $icons/scalable/apps/org.kolvex.Kolvex.svg
  usr/share/metainfo/org.kolvex.Kolvex.metainfo.xml
  usr/share/doc/kolvex/copyright
  usr/share/doc/kolvex/changelog.gz
  usr/share/lintian/overrides/kolvex
  usr/share/bash-completion/completions/kolvex-chart
  usr/share/man/man1/kolvex.1.gz
  usr/share/man/man1/kolvex-chart.1.gz
)
sizes=(16 24 32 48 64 128 256)
for size in "${sizes[@]}"; do
  expected+=("$icons/${size}x${size}/apps/org.kolvex.Kolvex.png")
done
for file in "${expected[@]}"; do
  [ -f "$root/$file" ] || fail "missing /$file"
done
programs=(usr/bin/kolvex usr/bin/kolvex-chart usr/libexec/kolvex/kolvex-chart-pdf)
for program in "${programs[@]}"; do
  [ -x "$root/$program" ] || fail "/$program is not executable"
done
stray=$(cd "$root" && find . -type f | sed 's|^\./||' |
  grep -v -e '^usr/bin/' -e '^usr/share/' -e '^usr/libexec/kolvex/kolvex-chart-pdf$' || true)
[ -z "$stray" ] || fail "files outside /usr/bin and /usr/share: $stray"

# Each PNG holds the size its folder names: width and height are bytes 16 to 23 of the header.
for size in "${sizes[@]}"; do
  png=$root/$icons/${size}x${size}/apps/org.kolvex.Kolvex.png
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
for program in "${programs[@]}"; do
  # The libraries it names itself (NEEDED), found where the loader finds them.
  needed=$(readelf -d "$root/$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
  while read -r library; do
    owner=$(owner_of "$library")
    if [ -z "$owner" ]; then
      fail "$program links $library, which no installed package owns"
    elif [[ $depends_names != *" $owner "* ]]; then
      fail "$program links $library from $owner, which Depends does not name"
    fi
  done < <(ldd "$root/$program" |
    awk -v needed="$needed" 'BEGIN { split(needed, names, "\n"); for (i in names) want[names[i]] = 1 }
                             $2 == "=>" && $3 ~ /^\// && ($1 in want) { print $3 }')
  if ldd "$root/$program" | grep -q 'not found'; then
    fail "$program has unresolved libraries: $(ldd "$root/$program" | grep 'not found')"
  fi
done
# The command's text modes start without Qt: only its PDF helper links it.
if readelf -d "$root/usr/bin/kolvex-chart" | grep -q 'NEEDED.*libQt'; then
  fail "kolvex-chart links Qt"
fi

# The desktop entry, the metainfo and the manual pages are valid and agree with each other; the
# desktop file, the icon and the AppStream component share one id.
app_id=org.kolvex.Kolvex
desktop=$root/usr/share/applications/$app_id.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $app_id.desktop"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
icon_name=$(sed -n 's/^Icon=//p' "$desktop")
[ -x "$root/usr/bin/$exec_name" ] || fail "Exec=$exec_name is not a program of the package"
[ "$icon_name" = "$app_id" ] || fail "Icon=$icon_name, not $app_id"
grep -qx 'Categories=Utility;' "$desktop" || fail "the desktop file is not in Utility"
metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects the metainfo"
for tag in "<id>$app_id</id>" "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" \
  "<icon type=\"stock\">$app_id</icon>"; do
  grep -qF "$tag" "$metainfo" || fail "the metainfo lacks $tag"
done
grep -q "<release version=\"$(field Version)\"" "$metainfo" ||
  fail "the metainfo has no release $(field Version)"
for page in kolvex kolvex-chart; do
  warnings=$(zcat "$root/usr/share/man/man1/$page.1.gz" | groff -k -man -Tutf8 -ww -z 2>&1 || true)
  [ -z "$warnings" ] || fail "groff warns about $page.1: $warnings"
done

# kolvex from the unpacked tree, with no display unless a case names one: exit status, first line
# of stdout, and stderr, which must begin with the given text (be empty for none) and hold at
# most one line: no display gives the program's own words, never Qt's abort.
check_kolvex() { # DISPLAY STATUS STDOUT STDERR ARGS...
  local display=$1 want_status=$2 want_out=$3 want_err=$4 status=0 out err
  shift 4
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ${display:+DISPLAY=$display} \
    "$root/usr/bin/kolvex" "$@" >"$scratch/kolvex.out" 2>"$scratch/kolvex.err" || status=$?
  out=$(head -n1 "$scratch/kolvex.out")
  err=$(cat "$scratch/kolvex.err")
  if [ "$status" != "$want_status" ] || [ "$out" != "$want_out" ] ||
    [ "${err:0:${#want_err}}" != "$want_err" ] || { [ -z "$want_err" ] && [ -n "$err" ]; } ||
    [ "$(wc -l <"$scratch/kolvex.err")" -gt 1 ]; then
    fail "kolvex $* (DISPLAY '$display'): status $status, stdout '$out', stderr '$err'"
  fi
}
usage='usage: kolvex [--help | --version]'
cannot='kolvex: cannot open a display:'
check_kolvex "" 0 "kolvex $(field Version)" "" --version
check_kolvex "" 0 "$usage" "" --help
check_kolvex "" 64 "" "$usage" -platform xcb
check_kolvex "" 64 "" "$usage" --version --help
check_kolvex "" 1 "" "$cannot neither DISPLAY nor WAYLAND_DISPLAY is set"
check_kolvex :4711 1 "" "$cannot could not connect to display :4711"

# The completion offers kolvex-chart's options.
offered=$(bash -c 'source "$1" && COMP_WORDS=("$2" --) COMP_CWORD=1 && _kolvex_chart "$2" -- "$2" &&
  complete -p kolvex-chart >/dev/null && echo "${COMPREPLY[*]}"' _ \
  "$root/usr/share/bash-completion/completions/kolvex-chart" "$root/usr/bin/kolvex-chart" || true)
[ "$offered" = "--export --help --ics --import --json --pdf --people --person --version" ] || fail "the completion of 'kolvex-chart --' offers '$offered'"

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
# --pdf finds its helper from the installed command and writes the page to a pipe.
pages=$(env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR "$chart" --pdf - 17 9 1974 1999 \
  2>"$scratch/pdf.err" | pdfinfo - 2>/dev/null | sed -n 's/^Pages: *//p' || true)
[ "$pages" = 1 ] && [ ! -s "$scratch/pdf.err" ] ||
  fail "kolvex-chart --pdf - gave $pages page(s) and said '$(cat "$scratch/pdf.err")'"
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
