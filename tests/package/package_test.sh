#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree with CPack, into
# a folder of its own, and checks it with check_deb.sh.
#   package_test.sh BUILD_DIR VERSION
set -uo pipefail
build=$1
version=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if ! command -v dpkg-deb >/dev/null; then
  echo "SKIPPED: dpkg-deb is not installed (Debian package dpkg); no package is built"
  exit 77
fi
out=$(mktemp -d /tmp/norvo-cpack.XXXXXX)
trap 'rm -rf "$out"' EXIT

# cmake --install into a staging folder, twice: the second keeps the
# administrator's provider.ini and PAM file.
stage=$out/stage
conf=$stage/etc/norvo/provider.ini
DESTDIR=$stage cmake --install "$build" >"$out/install.log" 2>&1 || { cat "$out/install.log"; echo "FAIL cmake --install"; exit 1; }
if ! grep -q '^;service_host' "$conf"; then echo "FAIL cmake --install put no example at /etc/norvo/provider.ini"; exit 1; fi
printf '[provider]\nservice_host = edited.example\n' >"$conf"
echo "edited" >"$stage/etc/pam.d/norvo"
DESTDIR=$stage cmake --install "$build" >"$out/install.log" 2>&1 || { cat "$out/install.log"; echo "FAIL second cmake --install"; exit 1; }
if ! grep -q edited.example "$conf" || ! grep -qx edited "$stage/etc/pam.d/norvo"; then
  echo "FAIL a repeated cmake --install replaced the administrator's files in /etc"
  exit 1
fi
echo "ok   a repeated cmake --install keeps /etc/norvo/provider.ini and /etc/pam.d/norvo"
if ! cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log"
  echo "FAIL cpack could not build the package"
  exit 1
fi
deb=""
for candidate in "$out"/norvo_*.deb; do
  [ -e "$candidate" ] && deb="$candidate" && break
done
if [ -z "$deb" ]; then
  cat "$out/cpack.log"
  echo "FAIL cpack made no norvo_*.deb"
  exit 1
fi
echo "package: $(basename "$deb")"
"$here/check_deb.sh" "$deb" "$version"
