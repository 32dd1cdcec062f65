#!/bin/sh
# Makes the player's manual PDF from its groff source (man macros):
#   make-manual.sh SOURCE OUTPUT
# Needs groff (groff-base) and ps2pdf (ghostscript). The PDF is written beside
# and moved into place, so a failed run leaves no half-written manual.
set -eu
src="$1"
out="$2"
tmp="$out.part"
groff -man -Tps -P-pa4 "$src" > "$tmp.ps"
ps2pdf "$tmp.ps" "$tmp"
rm -f "$tmp.ps"
mv -f "$tmp" "$out"
