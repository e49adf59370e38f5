#!/usr/bin/env bash
# Prints the size of the test suite against the code: non-blank C++ lines of tests/ and src/.
set -euo pipefail
cd "$(dirname "$0")/.."
count() { git ls-files -- "$1" | grep -E '\.(h|cpp)$' | xargs -r cat | grep -c -v '^[[:space:]]*$'; }
code=$(count src)
tests=$(count tests)
awk -v t="$tests" -v c="$code" 'BEGIN { printf "tests/src: %d / %d non-blank lines = %.2f\n", t, c, t / c }'
