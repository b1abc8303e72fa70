#!/usr/bin/env bash
# The source folders depend on each other without a cycle, and the core
# never includes Qt: a folder may include from another only one way round.
# Prints the folder edges and fails on a loop (tsort) or a Qt include in core.
set -euo pipefail
src="${1:?source folder}"
cd "$src"
status=0
for layer in core gui; do
    edges=$(grep -rHo '#include "'"$layer"'/[a-z_]*/' "$layer" |
            sed -E 's#^'"$layer"'/([a-z_]+)/[^:]*:\#include "'"$layer"'/([a-z_]+)/$#\1 \2#' |
            awk '$1 != $2' | sort -u)
    echo "$layer folders:"; echo "$edges" | sed 's/^/  /'
    if ! echo "$edges" | tsort >/dev/null 2>"${TMPDIR:-/tmp}/tsort.$$"; then
        echo "FAIL: the $layer folders include each other in a loop:" >&2
        cat "${TMPDIR:-/tmp}/tsort.$$" >&2
        status=1
    fi
    rm -f "${TMPDIR:-/tmp}/tsort.$$"
done
if grep -rlE '#include <Q[A-Za-z]*>' core; then
    echo "FAIL: the core includes Qt (files above)" >&2
    status=1
fi
exit $status
