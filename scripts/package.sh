#!/usr/bin/env bash
# Builds the Debian package build/zandor_<version>_<arch>.deb with CPack from
# the build folder (building the program first), and checks that it holds
# the program, its desktop entry, icons, software-centre data and manual
# page where Debian keeps them, and nothing else of ours.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh zandor zandor_icons >/dev/null
(cd build && cpack -G DEB >/dev/null)
deb="$(ls -t build/zandor_*.deb | head -n 1)"

listing="$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')"
expected=(
  /usr/games/zandor
  /usr/share/applications/example.korvex.Zandor.desktop
  /usr/share/metainfo/example.korvex.Zandor.metainfo.xml
  /usr/share/man/man6/zandor.6
  /usr/share/icons/hicolor/48x48/apps/zandor.png
  /usr/share/icons/hicolor/256x256/apps/zandor.png
)
status=0
for path in "${expected[@]}"; do
  if ! grep -qx "$path" <<<"$listing"; then
    echo "package: $path is missing from $deb" >&2
    status=1
  fi
done
# Only what the game installs: no libraries, headers or tests.
unexpected="$(grep -v -e '/$' -e '^/usr/games/zandor$' -e '^/usr/share/applications/' \
  -e '^/usr/share/metainfo/' -e '^/usr/share/man/man6/' -e '^/usr/share/icons/hicolor/' \
  <<<"$listing" || true)"
if [ -n "$unexpected" ]; then
  echo "package: unexpected files in $deb:" >&2
  echo "$unexpected" >&2
  status=1
fi
fields="$(dpkg-deb -f "$deb" Package Section Depends)"
grep -qx 'Package: zandor' <<<"$fields" || { echo "package: wrong name" >&2; status=1; }
grep -qx 'Section: games' <<<"$fields" || { echo "package: not in games" >&2; status=1; }
grep -q '^Depends: .*libqt6widgets6' <<<"$fields" || {
  echo "package: the Qt libraries are not among its dependencies" >&2
  status=1
}
[ "$status" -eq 0 ] && echo "package: $deb holds the game and its data, depends on its libraries"
exit "$status"
