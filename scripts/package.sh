#!/usr/bin/env bash
# Builds the Debian package build-package/tesmor_<version>_amd64.deb from an optimised build
# with the /usr prefix and the programs in /usr/games, and checks it: lintian (errors fail, warnings are listed), the AppStream
# metainfo, the desktop entry and the MIME type. scripts/test-package.sh then installs it.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh dpkg-dev file lintian appstream desktop-file-utils shared-mime-info
build=build-package

# Debian's places (the games' programs in /usr/games) and its hardening flags.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_INSTALL_BINDIR=games \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS) -Wl,-z,now" \
  -DTESMOR_WITH_TESTS=OFF -DTESMOR_WITH_BENCH=OFF -DTESMOR_WERROR=ON >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/tesmor_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb="$(ls "$build"/tesmor_*_amd64.deb)"
echo "package: $deb"
dpkg-deb --field "$deb" Package Version Depends

# The files as installed, for the validators.
staging="$build/staging"
rm -rf "$staging"
dpkg-deb --extract "$deb" "$staging"
appstreamcli validate --no-net --explain "$staging"/usr/share/metainfo/*.metainfo.xml
desktop-file-validate "$staging"/usr/share/applications/tesmor.desktop
xmllint_ok=$(command -v xmllint || true)
[ -z "$xmllint_ok" ] || xmllint --noout "$staging"/usr/share/mime/packages/tesmor.xml

# lintian exits non-zero on errors; its warnings and notes are listed for the record.
lintian --info --display-info "$deb" | tee "$build/lintian.txt"
if grep -q '^E:' "$build/lintian.txt"; then
  echo "package: lintian reports errors" >&2
  exit 1
fi
echo "package: $(grep -c '^W:' "$build/lintian.txt" || true) lintian warnings, no errors"
