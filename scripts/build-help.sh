#!/bin/sh
# Compiles the help file help/Vornel_Net1.chm from the pages in help/ and the program's
# pictures. Needs chmcmd (Debian: fp-utils). The compiled file is committed, so a normal build
# does not need this script; run it after changing a page.
set -eu
cd "$(dirname "$0")/.."
command -v chmcmd >/dev/null || { echo "chmcmd is missing (apt-get install fp-utils)" >&2; exit 1; }
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp help/*.html help/*.css help/*.hhc help/*.hhp "$stage"/
mkdir "$stage/images"
cp src/app/resources/vornelnet.svg src/app/resources/logo.svg "$stage/images/"
(cd "$stage" && chmcmd --no-html-scan Vornel_Net1.hhp >chmcmd.log 2>&1) || {
    cat "$stage/chmcmd.log" >&2
    exit 1
}
cp "$stage/Vornel_Net1.chm" help/Vornel_Net1.chm
echo "help/Vornel_Net1.chm: $(wc -c <help/Vornel_Net1.chm) bytes"
