#!/usr/bin/env bash
# Doxygen's input filter for the headers: a comment line of its own ("// ...") documents
# the declaration below it. Backslashes and a few characters Doxygen would read as
# commands or markup are escaped, so that comments are shown as written.
exec sed -E \
    -e '/^[[:space:]]*\/\/( |$)/{s/\\/\\\\/g;s/([@<>#%&$])/\\\1/g;s/^([[:space:]]*)\/\//\1\/\/\//}' \
    "$1"
