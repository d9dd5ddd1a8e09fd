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
if ! cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log"
  echo "FAIL cpack could not build the package"
  exit 1
fi
deb=$(ls "$out"/norvo_*.deb 2>/dev/null | head -n1)
if [ -z "$deb" ]; then
  cat "$out/cpack.log"
  echo "FAIL cpack made no norvo_*.deb"
  exit 1
fi
echo "package: $(basename "$deb")"
"$here/check_deb.sh" "$deb" "$version"
