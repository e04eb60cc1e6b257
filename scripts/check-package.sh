#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package and checks it: lintian finds no errors, and unpacked into a
# throw-away root the command runs, the copyright file names the licence and the desktop entry
# and the AppStream metainfo validate.
set -euo pipefail
cd "$(dirname "$0")/.."

make package
deb=$(ls build/package/quillby-pro_*.deb)
echo "Checking $deb"

# --fail-on error: warnings are reported but do not fail the check.
lintian --fail-on error --tag-display-limit 0 "$deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
for path in usr/bin/quillby usr/bin/quillby-pro usr/libexec/quillby/quillby-helper \
  usr/share/polkit-1/actions/com.quillby.pro.helper.policy \
  usr/share/applications/com.quillby.pro.desktop \
  usr/share/metainfo/com.quillby.pro.metainfo.xml \
  usr/share/icons/hicolor/scalable/apps/com.quillby.pro.svg \
  usr/share/icons/hicolor/256x256/apps/com.quillby.pro.png \
  usr/share/man/man1/quillby.1.gz usr/share/man/man1/quillby-pro.1.gz \
  usr/share/bash-completion/completions/quillby usr/share/zsh/vendor-completions/_quillby \
  usr/share/fish/vendor_completions.d/quillby.fish usr/share/doc/quillby-pro/README.md \
  usr/share/doc/quillby-pro/copyright; do
  [ -e "$root/$path" ] || { echo "missing from the package: /$path" >&2; exit 1; }
done
grep -q '/usr/libexec/quillby/quillby-helper<' \
  "$root/usr/share/polkit-1/actions/com.quillby.pro.helper.policy" ||
  { echo "the polkit action does not name /usr/libexec/quillby/quillby-helper" >&2; exit 1; }

HOME="$root/home" "$root/usr/bin/quillby" --version
# desktop-file-validate exits 0 on hints and warnings too: any word from it fails the check.
report=$(desktop-file-validate "$root/usr/share/applications/com.quillby.pro.desktop" 2>&1) &&
  [ -z "$report" ] || { echo "$report" >&2; exit 1; }
grep -q '^License: GPL-3.0-or-later$' "$root/usr/share/doc/quillby-pro/copyright" ||
  { echo "the copyright file does not name GPL-3.0-or-later" >&2; exit 1; }
appstreamcli validate --no-net "$root/usr/share/metainfo/com.quillby.pro.metainfo.xml"
echo "The package is sound."
