#!/usr/bin/env bash
# The manual page reads without a single warning from man (or groff), and
# it and the bash completion know every option `vorn --help` names and
# every setting `vorn config list` shows.
# Usage: manual_test.sh SOURCE_DIR VORN_BINARY
set -euo pipefail
page=$1/docs/vorn.1
completion=$1/data/vorn.bash-completion
vorn=$2

if command -v man >/dev/null; then
  warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
elif command -v groff >/dev/null; then
  warnings=$(groff -man -ww -z "$page" 2>&1)
else
  echo "skipped: neither man nor groff is installed"
  exit 77
fi

status=0
[ -z "$warnings" ] || { printf '%s:\n%s\n' "$page" "$warnings"; status=1; }
for option in $("$vorn" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
  # roff writes each hyphen of an option as \-.
  grep -qF -- "${option//-/\\-}" "$page" || { echo "vorn(1) does not document $option"; status=1; }
  grep -qF -- "$option" "$completion" || { echo "the bash completion lacks $option"; status=1; }
done
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
for key in $("$vorn" --home "$home" config list | cut -d' ' -f1); do
  if ! grep -qF -- ".BR ${key//-/\\-} " "$page"; then
    echo "vorn(1) does not document the setting $key"
    status=1
  fi
  if ! grep -qw -- "$key" "$completion"; then
    echo "the bash completion does not offer the setting $key"
    status=1
  fi
done
exit $status
