#!/usr/bin/env bash
# The JOBS handling that scripts/test and scripts/build-and-run share
# (scripts/jobs.bash): a bad value stops either; scripts/test passes a good
# one to every build and every test run. Each script runs from a copy of
# the scripts folder in a scratch root, with cmake, ctest, install-deps and
# the shader tool replaced by stand-ins that write down how they were
# called, so nothing is built.
#   jobs_test.bash <scripts folder>
set -euo pipefail
scripts=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

mkdir -p "$scratch/root/scripts" "$scratch/bin" "$scratch/root/build/tools/shader-tool"
cp "$scripts/test" "$scripts/build-and-run" "$scripts/jobs.bash" "$scratch/root/scripts/"
for stand_in in bin/cmake bin/ctest root/scripts/install-deps root/build/tools/shader-tool/zk-shader-tool; do
  printf '#!/usr/bin/env bash\necho "%s $*" >> "%s/calls"\n' "${stand_in##*/}" "$scratch" > "$scratch/$stand_in"
  chmod +x "$scratch/$stand_in"
done
# cmake makes the build folder it is given; ctest -N lists one fuzz run.
cat >> "$scratch/bin/cmake" <<'CMAKE'
while [ $# -gt 0 ]; do
  if [ "$1" = -B ]; then mkdir -p "$2"; fi
  shift
done
CMAKE
cat >> "$scratch/bin/ctest" <<'CTEST'
if [ "${1:-}" = -N ]; then echo "  Test #1: some_fuzz_short"; fi
CTEST
printf '#!/usr/bin/env bash\necho 7\n' > "$scratch/bin/nproc"
chmod +x "$scratch/bin/nproc"

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# run <script> <environment assignments...>: sets status, errors and calls.
run() {
  local script=$1; shift
  rm -f "$scratch/calls"
  touch "$scratch/calls"
  status=0
  env -u JOBS -u CMAKE_BUILD_PARALLEL_LEVEL PATH="$scratch/bin:$PATH" "$@" \
    "$scratch/root/scripts/$script" > /dev/null 2> "$scratch/errors" || status=$?
  errors=$(cat "$scratch/errors")
  calls=$(cat "$scratch/calls")
}

# A value that is not a whole number of at least 1 stops either script
# before it installs, configures or builds anything.
for script in test build-and-run; do
  for value in 0 -2 abc 3x 1.5 " 4" "2 2" 00; do
    run "$script" JOBS="$value"
    if [ "$status" -ne 2 ]; then
      fail "$script with JOBS='$value' ended with $status, not 2"
    fi
    if [ "$errors" != "JOBS must be a whole number of at least 1, not '$value'" ]; then
      fail "$script with JOBS='$value' said: $errors"
    fi
    if [ -n "$calls" ]; then
      fail "$script with JOBS='$value' went on to run: $calls"
    fi
  done
done

# expect <script> <what> <pattern> <environment...>: every call of `what`
# (cmake --build, ctest) in the script's run matches the pattern.
expect() {
  local script=$1 what=$2 pattern=$3; shift 3
  run "$script" "$@"
  if [ "$status" -ne 0 ]; then
    fail "$script with $* ended with $status: $errors"
    return
  fi
  local lines
  lines=$(grep "^$what" <<< "$calls" | grep -v "^ctest -N" || true)
  if [ -z "$lines" ]; then
    fail "$script with $* never ran $what"
  fi
  while IFS= read -r line; do
    if ! [[ $line =~ $pattern ]]; then
      fail "$script with $*: '$line' does not match '$pattern'"
    fi
  done <<< "$lines"
}

# Every build of scripts/test (plain, sanitizers, fuzz targets) and every
# test run; build-and-run's single build is checked by build_and_run_jobs.
build='cmake --build [^ ]+'
expect test "cmake --build" "^$build -j3( |$)" JOBS=3
expect test "cmake --build" "^$build -j12( |$)" JOBS=12 CMAKE_BUILD_PARALLEL_LEVEL=5
# cmake --build reads CMAKE_BUILD_PARALLEL_LEVEL itself.
expect test "cmake --build" "^$build( --target .*)?$" CMAKE_BUILD_PARALLEL_LEVEL=5
expect test "cmake --build" "^$build -j7( |$)"
expect test "cmake --build" "^$build -j7( |$)" JOBS=
expect test ctest ' -j3$' JOBS=3
expect test ctest ' -j7$' CMAKE_BUILD_PARALLEL_LEVEL=5
expect test ctest ' -j7$'

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "JOBS handling: all checks passed"
