#!/bin/sh
# The manual page as man and lintian read it: no warning from groff, and a NAME
# line that whatis can index.
set -eu
page=$1
warnings=$(MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -l "$page" 2>&1 >/dev/null)
if [ -n "$warnings" ]; then
  echo "man reports: $warnings"
  exit 1
fi
whatis=$(lexgrog "$page")
case "$whatis" in
  *': "typeloom - '*) ;;
  *) echo "bad whatis entry: $whatis"; exit 1 ;;
esac
