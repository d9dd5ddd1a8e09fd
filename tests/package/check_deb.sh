#!/usr/bin/env bash
# Checks a Debian package of Norvo Backup without installing it on this
# machine: its control data, its files once unpacked into a throwaway root
# with dpkg-deb -x, the programs run from that root, and lintian.
#
#   check_deb.sh PACKAGE.deb VERSION
#
# The look-up of /etc/norvo/provider.ini is checked for real: Norvo_T runs in
# a private mount namespace where the root's etc/ is laid over /etc (overlay,
# needs root). Where that cannot be mounted, the file is named through
# NORVO_PROVIDER_CONF instead, and the output says so.
# Exit status: 0 all checks passed, 1 a check failed, 77 skipped (no dpkg-deb).
set -uo pipefail

if [ $# -ne 2 ]; then
  echo "usage: check_deb.sh PACKAGE.deb VERSION" >&2
  exit 2
fi
deb=$(realpath "$1")
version=$2
src=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

if ! command -v dpkg-deb >/dev/null; then
  echo "SKIPPED: dpkg-deb is not installed (Debian package dpkg); the package cannot be checked"
  exit 77
fi

work=$(mktemp -d /tmp/norvo-deb.XXXXXX)
root=$work/root
programs=$root/usr/lib/norvo
peer_pid=""
tray_pid=""
cleanup() {
  [ -n "$tray_pid" ] && kill "$tray_pid" 2>/dev/null
  [ -n "$peer_pid" ] && kill "$peer_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
ok() { echo "ok   $*"; }
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
# check DESCRIPTION COMMAND...: passes when the command succeeds.
check() {
  local what=$1
  shift
  if "$@"; then ok "$what"; else fail "$what"; fi
}
contains() { case "$1" in *"$2"*) return 0 ;; *) return 1 ;; esac; }
# relative_link LINK TARGET: LINK is a relative symlink that resolves to TARGET.
relative_link() {
  local to
  to=$(readlink "$1") && [ "${to#/}" = "$to" ] && [ "$(readlink -f "$1")" = "$2" ]
}

# The environment of one user of the installed programs: a store, a home and
# a runtime folder of its own, and no provider file named by hand.
mkdir -p "$work/home/.config" "$work/runtime" "$work/drive"
chmod 700 "$work/runtime"
user_env=(env -u NORVO_PROVIDER_CONF HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
          XDG_RUNTIME_DIR="$work/runtime" NORVO_REGISTRY="$work/home/registry.db")

# --- control data -------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
check "package name is norvo" [ "$(field Package)" = norvo ]
check "package version is the build's ($version)" [ "$(field Version)" = "$version" ]
depends=$(field Depends)
echo "     Depends: $depends"
echo "     Recommends: $(field Recommends)"
for package in libqt6widgets6 libcurl4 libsqlite3-0 libinih1 libpam-runtime qt6-translations-l10n; do
  check "depends on $package" contains "$depends" "$package"
done
check "recommends the FreeTDS ODBC driver (tdsodbc)" contains "$(field Recommends)" tdsodbc
check "recommends 7-Zip (7zip), the archiver when rar is absent" contains "$(field Recommends)" 7zip
dpkg-deb -e "$deb" "$work/control"
check "conffiles: /etc/norvo/provider.ini and /etc/pam.d/norvo" \
  [ "$(sort "$work/control/conffiles" 2>/dev/null | tr '\n' ' ')" = "/etc/norvo/provider.ini /etc/pam.d/norvo " ]
extra=""
for member in "$work/control"/*; do
  case "${member##*/}" in control | md5sums | conffiles) ;; *) extra="$extra ${member##*/}" ;; esac
done
check "no maintainer scripts" [ -z "$extra" ]

# --- files ----------------------------------------------------------------
dpkg-deb -x "$deb" "$root"
for program in Norvo Norvo_T norvo-settings; do
  check "$program is an executable in /usr/lib/norvo" [ -x "$programs/$program" -a ! -L "$programs/$program" ]
  check "/usr/bin/$program is a relative symlink to it" relative_link "$root/usr/bin/$program" "$programs/$program"
  check "man page of $program" gzip -t "$root/usr/share/man/man1/$program.1.gz"
done
# Libraries the programs link pull in their packages.
needed=$(readelf -d "$programs"/* 2>/dev/null | grep NEEDED)
for pair in libodbc.so:libodbc2 libpam.so:libpam0g; do
  if contains "$needed" "${pair%%:*}"; then
    check "links ${pair%%:*} and depends on ${pair#*:}" contains "$depends" "${pair#*:}"
  else
    echo "note no program links ${pair%%:*} yet, so ${pair#*:} is not required"
  fi
done
desktop=$root/usr/share/applications/norvo.desktop
check "menu entry starts Norvo from PATH" grep -qx "Exec=Norvo" "$desktop"
check "menu entry names the icon norvo" grep -qx "Icon=norvo" "$desktop"
if command -v desktop-file-validate >/dev/null; then
  check "menu entry is valid (desktop-file-validate)" desktop-file-validate "$desktop"
else
  fail "desktop-file-validate is not installed (scripts/deps/package.txt lists it)"
fi
for size in 48 256; do
  icon=$root/usr/share/icons/hicolor/${size}x$size/apps/norvo.png
  check "icon ${size}x$size" contains "$(file -b "$icon" 2>/dev/null)" "PNG image data, $size x $size"
done
check "PAM service norvo" grep -q "^@include common-auth" "$root/etc/pam.d/norvo"
check "example provider.ini sets nothing (all keys commented)" \
  [ -z "$(grep -E '^[[:space:]]*[a-z_]+[[:space:]]*=' "$root/etc/norvo/provider.ini")" ]

# --- the programs, run from the root -----------------------------------
out=$("$root/usr/bin/Norvo_T" --version 2>&1)
check "Norvo_T --version says \"Norvo_T $version\" ($out)" [ "$out" = "Norvo_T $version" ]
# Norvo answers --help and --version before it looks for a display.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/Norvo" --version 2>&1)
check "Norvo --version without a display says \"Norvo $version\" ($out)" [ "$out" = "Norvo $version" ]
# shellcheck disable=SC2016
check "Norvo --help without a display" \
  eval 'env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/Norvo" --help | grep -q "^Usage: Norvo"'

settings() { "${user_env[@]}" "$root/usr/bin/norvo-settings" "$@"; }
check "norvo-settings set-customer" settings set-customer 123
check "norvo-settings get Cliente gives the encoded code" [ "$(settings get Cliente)" = MTIz ]
check "norvo-settings set Resp_Drive" settings set Resp_Drive "$work/drive/"
# A run needs its flags to be valid before it asks the account service.
for pair in Resp_ProgEnv=0 Resp_ProgCopias=3 Resp_Base=0 Resp_Archivo=0 Resp_ProgRespLoc=1; do
  settings set "${pair%%=*}" "${pair#*=}" || fail "norvo-settings set $pair"
done
# The single-quoted checks below are expanded by eval when check runs them.
# shellcheck disable=SC2034
listed=$(settings list)
# shellcheck disable=SC2016
check "norvo-settings list shows what was set" \
  eval 'contains "$listed" "Cliente=MTIz" && contains "$listed" "Resp_Drive=$work/drive/" && contains "$listed" "Resp_ProgCopias=3"'
# shellcheck disable=SC2016
check "norvo-settings refuses a bad command with status 2" \
  eval '"${user_env[@]}" "$root/usr/bin/norvo-settings" frobnicate 2>/dev/null; [ $? -eq 2 ]'

# The account-service stand-in answers the account look-up with no company,
# which ends a run right after its first request.
echo '{"tipo3": ""}' >"$work/service.json"
/usr/bin/python3 "$src/tests/peers/account_service.py" --log "$work/service.log" \
  --config "$work/service.json" >"$work/service.port" 2>"$work/service.err" &
peer_pid=$!
for _ in $(seq 100); do [ -s "$work/service.port" ] && break; sleep 0.1; done
port=$(head -n1 "$work/service.port")
if [ -z "$port" ]; then
  fail "account-service stand-in did not start: $(cat "$work/service.err")"
  port=1
fi
: >"$work/service.log"

# The shipped example with every key switched on must still be a valid
# configuration; the test's copy points at the stand-in.
provider_for() {
  sed -E -e 's/^;([a-z_]+[[:space:]]*=)/\1/' \
    -e "s/^service_host[[:space:]]*=.*/service_host = $1/" \
    -e 's/^http_timeout_s[[:space:]]*=.*/http_timeout_s = 5/' \
    "$src/packaging/provider.ini"
}
lookups() { grep -c '"raw_query": "Tipo=3&Clave=MTIz"' "$work/service.log"; }

# Runs Norvo_T from the root; with an overlay over /etc when one can be mounted.
overlay_ok=no
# The sh -c scripts take the root as $1 (and the program as $2): single quotes on purpose.
# shellcheck disable=SC2016
if unshare --mount sh -c 'mount -t overlay norvo-etc -o "lowerdir=$1/etc:/etc" /etc && test -f /etc/norvo/provider.ini' \
     sh "$root" 2>/dev/null; then
  overlay_ok=yes
fi
# run_t [--plain]: --plain names no file when no overlay can be mounted.
run_t() {
  if [ "$overlay_ok" = yes ]; then
    # shellcheck disable=SC2016
    "${user_env[@]}" unshare --mount sh -c 'mount -t overlay norvo-etc -o "lowerdir=$1/etc:/etc" /etc && exec "$2"' \
      sh "$root" "$root/usr/bin/Norvo_T"
  elif [ "${1:-}" = --plain ]; then
    "${user_env[@]}" "$root/usr/bin/Norvo_T"
  else
    "${user_env[@]}" NORVO_PROVIDER_CONF="$root/etc/norvo/provider.ini" "$root/usr/bin/Norvo_T"
  fi
}

provider_for "127.0.0.1:$port" >"$root/etc/norvo/provider.ini"
run_t >"$work/run1.out" 2>"$work/run1.err"
status=$?
if [ "$overlay_ok" = yes ]; then
  where="/etc/norvo/provider.ini (root's etc laid over /etc)"
else
  where="the root's etc/norvo/provider.ini through NORVO_PROVIDER_CONF"
  echo "note cannot mount an overlay over /etc here (needs root); /etc is stood in for by NORVO_PROVIDER_CONF"
fi
# The stand-in knows no account: the run ends early, with status 1.
check "Norvo_T ends with status 1, no account ($status)" [ "$status" -eq 1 ]
check "Norvo_T reads $where and asks its account service" [ "$(lookups)" = 1 ]
# shellcheck disable=SC2016
check "Norvo_T accepts the example with every key set" \
  eval '! grep -q "provider configuration" "$work/run1.err"'
[ -s "$work/run1.err" ] && sed 's/^/     /' "$work/run1.err"

# provider.ini in the program folder comes before the one in /etc.
provider_for "127.0.0.1:1" >"$root/etc/norvo/provider.ini"
provider_for "127.0.0.1:$port" >"$programs/provider.ini"
run_t --plain >"$work/run2.out" 2>"$work/run2.err"
check "Norvo_T prefers provider.ini in its program folder, found through the /usr/bin symlink" [ "$(lookups)" = 2 ]
rm -f "$programs/provider.ini"

# Norvo starts offscreen from the symlink on PATH; the program folder it sees
# (/proc/PID/exe, as ProgramFolder reads it) holds Norvo_T; a second one is refused.
tray_env=("${user_env[@]}" QT_QPA_PLATFORM=offscreen NORVO_MESSAGES=stderr)
"${tray_env[@]}" "$root/usr/bin/Norvo" >"$work/tray1.out" 2>"$work/tray1.err" &
tray_pid=$!
for _ in $(seq 150); do
  grep -q "no system tray is available" "$work/tray1.err" && break
  kill -0 "$tray_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$tray_pid" 2>/dev/null && grep -q "no system tray is available" "$work/tray1.err"; then
  ok "Norvo starts offscreen and waits with no tray"
  exe=$(readlink "/proc/$tray_pid/exe")
  check "Norvo runs from the program folder ($exe)" [ "$exe" = "$programs/Norvo" ]
  check "Norvo finds Norvo_T beside it" [ -x "$(dirname "$exe")/Norvo_T" ]
  second=$(timeout 30 "${tray_env[@]}" "$root/usr/bin/Norvo" 2>&1)
  status=$?
  check "a second Norvo ends with status 1 ($status)" [ "$status" -eq 1 ]
  check "a second Norvo says \"El programa se esta ejecutando\"" contains "$second" "El programa se esta ejecutando"
else
  fail "Norvo did not start offscreen: $(cat "$work/tray1.err")"
fi
kill "$tray_pid" 2>/dev/null
wait "$tray_pid" 2>/dev/null
tray_pid=""

# --- lintian --------------------------------------------------------------
if command -v lintian >/dev/null; then
  lintian --tag-display-limit 0 "$deb" >"$work/lintian.out" 2>&1
  errors=$(grep -c '^E:' "$work/lintian.out")
  check "lintian reports no errors ($errors)" [ "$errors" -eq 0 ]
  sed 's/^/     lintian: /' "$work/lintian.out"
else
  fail "lintian is not installed (scripts/deps/package.txt lists it)"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
