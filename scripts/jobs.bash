# Sourced by the scripts that build. Sets `parallel` to what cmake --build
# takes for JOBS=N jobs at once; without JOBS, CMake's own
# CMAKE_BUILD_PARALLEL_LEVEL decides, and without either every core is used.
# Sets `test_parallel` to ctest's option: JOBS tests at once, or one per core.
# A JOBS that is not a whole number of at least 1 stops the script.
if [ -n "${JOBS:-}" ]; then
  if ! [[ $JOBS =~ ^[1-9][0-9]*$ ]]; then
    echo "JOBS must be a whole number of at least 1, not '$JOBS'" >&2
    exit 2
  fi
  parallel=(-j"$JOBS")
  test_parallel=(-j"$JOBS")
else
  if [ -n "${CMAKE_BUILD_PARALLEL_LEVEL:-}" ]; then
    parallel=()  # cmake --build reads it itself
  else
    parallel=(-j"$(nproc)")
  fi
  test_parallel=(-j"$(nproc)")
fi
