#!/usr/bin/env bash
# Installs the Debian package into a clean Debian 12 root made with
# mmdebstrap (apt fetches the libraries it depends on), starts the installed
# program's --version there, removes the package and checks that nothing of
# it is left. Skips with a message where a root cannot be made (no
# mmdebstrap, not root, no way to Debian's archive).
set -euo pipefail
cd "$(dirname "$0")/.."
deb="$(ls -t build/zandor_*.deb 2>/dev/null | head -n 1 || true)"
if [ -z "$deb" ]; then
  bash scripts/package.sh >/dev/null
  deb="$(ls -t build/zandor_*.deb | head -n 1)"
fi
if ! command -v mmdebstrap >/dev/null || [ "$(id -u)" -ne 0 ]; then
  echo "clean root: skipped (needs root and mmdebstrap)"
  exit 0
fi

root="$(mktemp -d)"
out="$(mktemp -d)"
log="$(mktemp)"
cleanup() { rm -rf "$root" "$out" "$log"; }
trap cleanup EXIT
# The hooks run inside the new root with /dev and /proc in place.
if ! mmdebstrap --variant=apt bookworm "$root" \
  --customize-hook="copy-in $deb /tmp" \
  --customize-hook='chroot "$1" sh -c "apt-get install -y -qq /tmp/zandor_*.deb >/dev/null"' \
  --customize-hook='chroot "$1" sh -c "dpkg -L zandor > /tmp/zandor-files"' \
  --customize-hook='chroot "$1" sh -c "/usr/games/zandor --version > /tmp/zandor-version"' \
  --customize-hook='chroot "$1" sh -c "apt-get purge -y -qq zandor >/dev/null"' \
  --customize-hook="copy-out /tmp/zandor-files /tmp/zandor-version $out" \
  >"$log" 2>&1; then
  if grep -qi -e 'could not resolve' -e 'failed to fetch' -e 'temporary failure' "$log"; then
    echo "clean root: skipped (no way to Debian's archive)"
    exit 0
  fi
  echo "clean root: installing the package failed:" >&2
  tail -n 20 "$log" >&2
  exit 1
fi

version="$(cat "$out/zandor-version")"
expected="Zandor $(dpkg-deb -f "$deb" Version)"
if [ "$version" != "$expected" ]; then
  echo "clean root: the installed program says '$version', not '$expected'" >&2
  exit 1
fi
left=""
while read -r path; do
  # Folders are shared with other packages; only files must be gone.
  if [ -n "$path" ] && [ -f "$root$path" ]; then
    left+="$path"$'\n'
  fi
done <"$out/zandor-files"
if ! grep -qx /usr/games/zandor "$out/zandor-files"; then
  echo "clean root: the installed package listed no program" >&2
  exit 1
fi
if [ -n "$left" ]; then
  echo "clean root: left behind after removal:" >&2
  echo "$left" >&2
  exit 1
fi
echo "clean root: installed into Debian 12, '$version' ran there, removed without a trace"
