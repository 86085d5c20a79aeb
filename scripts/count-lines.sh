#!/usr/bin/env bash
# Prints the tests' share of the code as the README states it: a line counts when it is
# neither blank nor only a comment; test code is the .cpp, .h and .c below tests/ and fuzz/,
# the program the .cpp and .h below src/; the shell scripts are counted beside it.
set -euo pipefail
cd "$(dirname "$0")/.."

count() { # PATTERN COMMENT FOLDER...
    local pattern=$1 comment=$2
    shift 2
    find "$@" -type f -regex "$pattern" -print0 | sort -z |
        xargs -0 -r cat | grep -Evc "^[[:space:]]*(\$|$comment)" || true
}

tests=$(count '.*\.\(cpp\|h\|c\)' '//' tests fuzz)
program=$(count '.*\.\(cpp\|h\)' '//' src)
shell=$(count '.*\.sh' '#' tests)
echo "test code: $tests lines"
echo "program:   $program lines"
percent() { echo $((($1 * 200 + $2) / ($2 * 2))); } # rounded to the nearest
echo "share:     $(percent "$tests" "$program") %"
echo "shell:     $shell lines, $(percent $((tests + shell)) "$program") % with the C++"
