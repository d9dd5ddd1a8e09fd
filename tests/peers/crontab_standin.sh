#!/bin/sh
# Stand-in for crontab(1) with its command line ([-u USER] -l | [-u USER] -):
# keeps one table per account in $CRONTAB_STANDIN_DIR and appends every
# command line it is given to the file "calls" there.
#   CRONTAB_STANDIN_REFUSE=1     installing fails as crontab does on a bad table
#   CRONTAB_STANDIN_LIST_FAILS=1 listing fails with an error other than "no crontab"
dir="${CRONTAB_STANDIN_DIR:?CRONTAB_STANDIN_DIR is not set}"
printf '%s\n' "$*" >>"$dir/calls"
user="$(id -un)"
if [ "$1" = "-u" ]; then
  user="$2"
  shift 2
fi
case "$1" in
  -l)
    if [ -n "$CRONTAB_STANDIN_LIST_FAILS" ]; then
      echo "crontab: cannot open the table of $user" >&2
      exit 1
    fi
    if [ ! -f "$dir/table.$user" ]; then
      echo "no crontab for $user" >&2
      exit 1
    fi
    cat "$dir/table.$user"
    ;;
  -)
    if [ -n "$CRONTAB_STANDIN_REFUSE" ]; then
      cat >/dev/null
      echo "errors in crontab file, can't install." >&2
      exit 1
    fi
    cat >"$dir/table.$user.new" && mv "$dir/table.$user.new" "$dir/table.$user"
    ;;
  *)
    echo "usage: crontab [-u user] { -l | - }" >&2
    exit 1
    ;;
esac
