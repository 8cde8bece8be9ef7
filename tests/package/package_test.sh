#!/usr/bin/env bash
# Builds the Debian package from a built tree with CPack, into a scratch
# folder, and checks what it holds, what it depends on, and, where lintian
# is installed, that lintian finds no error in it.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
build=$1

for tool in cpack dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; exit 1; }
package=$(ls "$scratch"/vorn_*.deb)

status=0
contents=$(dpkg-deb -c "$package")
for path in usr/bin/vorn usr/share/man/man1/vorn.1.gz \
  usr/share/bash-completion/completions/vorn usr/share/applications/vorn.desktop \
  usr/share/icons/hicolor/scalable/apps/vorn.svg usr/share/vorn/VornHelpENG.htm \
  usr/share/vorn/VornHelpFRE.htm usr/share/vorn/VornHelpPOR.htm \
  usr/share/doc/vorn/copyright usr/share/doc/vorn/changelog.Debian.gz; do
  grep -q " \./$path\$" <<<"$contents" || { echo "the package lacks /$path"; status=1; }
done
depends=$(dpkg-deb -f "$package" Depends)
for library in libacl1 libqt6widgets6 libstdc++6; do
  grep -q "$library" <<<"$depends" || { echo "no dependency on $library: $depends"; status=1; }
done

if command -v lintian >/dev/null; then
  report=$(lintian --no-tag-display-limit "$package" 2>&1 || true)
  ! grep -q '^E:' <<<"$report" || { echo "$report"; status=1; }
else
  echo "lintian is not installed: the package is not linted"
fi
exit $status
