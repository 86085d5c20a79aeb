#!/usr/bin/env bash
# The Windows benchmark: builds as scripts/test-windows.sh does and, in its throwaway Wine prefix,
# times zeb2000-cli.exe against the shell's copy (tools/benchmark/windows_bench.sh). Not a test.
ZEB_WINDOWS_BENCHMARK=1 exec "$(dirname "$0")/test-windows.sh"
