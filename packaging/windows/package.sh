#!/usr/bin/env bash
# package.sh BUILD: the Windows package from the cross-build in BUILD, with KOLVEX_QT (the Qt it was
# built against), KOLVEX_VERSION, KOLVEX_SOURCE, KOLVEX_ICO, MAKENSIS, KOLVEX_ZIP and CXX (the MinGW
# compiler) in the environment. Makes BUILD/Kolvex-VERSION-win64.zip, a portable folder, and
# BUILD/Kolvex-VERSION-win64-setup.exe, its installer.
set -euo pipefail

build=$(cd "$1" && pwd)
name=Kolvex-$KOLVEX_VERSION-win64
stage=$build/package/$name
rm -rf "$build/package"
mkdir -p "$stage/platforms" "$stage/styles"

# Qt puts every program of a Windows build in the build folder's top.
cp "$build/kolvex.exe" "$build/kolvex-chart.exe" "$build/kolvex-chart-pdf.exe" "$stage/"
# Windows's own platform (the windows and the PDF helper's fonts) and style.
cp "$KOLVEX_QT/plugins/platforms/qwindows.dll" "$stage/platforms/"
# (qwindowsvistastyle up to Qt 6.6, qmodernwindowsstyle from 6.7).
cp "$KOLVEX_QT"/plugins/styles/q*windows*style.dll "$stage/styles/"
cp "$build/qtbase_ru.qm" "$stage/"
sed 's/$/\r/' "$KOLVEX_SOURCE/LICENSE" >"$stage/LICENSE.txt"

# Every DLL that the programs and plugins import and that is not Windows's own, from Qt's bin
# folder or MinGW's runtime, until nothing is missing.
search=("$KOLVEX_QT/bin" "$(dirname "$("$CXX" -print-file-name=libstdc++-6.dll)")"
  "$(dirname "$("$CXX" -print-file-name=libwinpthread-1.dll)")")
objdump=${CXX%g++*}objdump
while :; do
  added=0
  while read -r dll; do
    [ -e "$stage/$dll" ] && continue
    for dir in "${search[@]}"; do
      if [ -f "$dir/$dll" ]; then
        cp "$dir/$dll" "$stage/"
        added=1
        break
      fi
    done
  done < <(find "$stage" -name '*.exe' -o -name '*.dll' | xargs "$objdump" -p |
    sed -n 's/^\s*DLL Name: //p' | sort -u)
  [ $added = 0 ] && break
done
find "$stage" -name '*.exe' -o -name '*.dll' | xargs "${CXX%g++*}strip" --strip-unneeded

rm -f "$build/$name.zip" "$build/$name-setup.exe"
(cd "$build/package" && "$KOLVEX_ZIP" -qr9 "$build/$name.zip" "$name")
"$MAKENSIS" -V2 -DVERSION="$KOLVEX_VERSION" -DSTAGE="$stage" -DICON="$KOLVEX_ICO" \
  -DOUTFILE="$build/$name-setup.exe" "$KOLVEX_SOURCE/packaging/windows/kolvex.nsi"
ls -l "$build/$name.zip" "$build/$name-setup.exe"
