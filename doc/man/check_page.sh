#!/bin/sh
# Usage: check_page.sh PAGE   (a built manual page, for instance build/doc/man/galsift.5)
# Fails when man and groff warn while rendering it, or when its NAME section does not
# describe the program or file the page is named after (as whatis and apropos read it).
set -u
page=$1
name=$(basename "$page")
name=${name%.*}

warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
if [ -n "$warnings" ]; then
    echo "$page: warnings while rendering:"
    echo "$warnings"
    exit 1
fi
whatis=$(lexgrog "$page") || { echo "$page: no NAME line whatis can read"; exit 1; }
case $whatis in
*"\"$name - "*) ;;
*) echo "$page: NAME section names another page: $whatis"; exit 1 ;;
esac
