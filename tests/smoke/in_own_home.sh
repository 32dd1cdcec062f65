#!/usr/bin/env bash
# Runs a command that is no test program (those make their own home) with
# HOME and the XDG folders in a temporary folder of its own, removed after.
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/own_home.sh"
own_home "$work"
"$@"
