#!/usr/bin/env bash
# scripts/build-and-run's choice of parallel build jobs, with stand-ins for
# cmake, the dependency installer and the tool: JOBS=N wins, then CMake's
# CMAKE_BUILD_PARALLEL_LEVEL, then every core; a JOBS that is no positive
# number stops the script before anything is built.
# Usage: build_and_run_test.sh <project root>
set -u
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/project/scripts" "$work/bin"
cp "$root/scripts/build-and-run" "$root/scripts/jobs.bash" "$work/project/scripts/"
printf '#!/bin/sh\nexit 0\n' > "$work/project/scripts/install-deps"
# The stand-in cmake notes each build call and leaves a tool that does nothing.
cat > "$work/bin/cmake" <<'STANDIN'
#!/usr/bin/env bash
if [ "$1" = --build ]; then
  echo "build ${*:3} level=${CMAKE_BUILD_PARALLEL_LEVEL:-}" >> "$CMAKE_CALLS"
  mkdir -p "$2/tools/shader-tool"
  printf '#!/bin/sh\nexit 0\n' > "$2/tools/shader-tool/zk-shader-tool"
  chmod +x "$2/tools/shader-tool/zk-shader-tool"
fi
STANDIN
chmod +x "$work/bin/cmake" "$work/project/scripts/install-deps"

failures=0
checked=0
check() {  # expected build line ("" when nothing may be built), expected status, environment...
  local expected=$1 status=$2; shift 2
  : > "$work/calls"
  env -u JOBS -u CMAKE_BUILD_PARALLEL_LEVEL PATH="$work/bin:$PATH" CMAKE_CALLS="$work/calls" "$@" \
    "$work/project/scripts/build-and-run" > "$work/output" 2>&1
  local got=$?
  local line
  line=$(cat "$work/calls")
  checked=$((checked + 1))
  if [ "$got" -ne "$status" ] || [ "$line" != "$expected" ]; then
    echo "FAILED: $* gave status $got and build call '$line', expected $status and '$expected'"
    cat "$work/output"
    failures=$((failures + 1))
  fi
}

check "build -j3 level=" 0 JOBS=3
check "build  level=5" 0 CMAKE_BUILD_PARALLEL_LEVEL=5
check "build -j2 level=5" 0 JOBS=2 CMAKE_BUILD_PARALLEL_LEVEL=5
check "build -j$(nproc) level=" 0
check "" 2 JOBS=many
check "" 2 JOBS=0
echo "$((checked - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
