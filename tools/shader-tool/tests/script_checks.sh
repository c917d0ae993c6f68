# Sourced by the shader tool's script tests: what each of them sets up
# before its checks.

# Without the compiler nothing would be checked: that is a failure, not a
# pass with nothing to show.
require_glslang() {
  if ! command -v glslangValidator > /dev/null 2>&1; then
    echo "glslangValidator is not installed (package glslang-tools, see scripts/install-deps)"
    exit 1
  fi
}

# A scratch folder, $work, removed when the script ends.
make_work_folder() {
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
}

# Counts of the checks made and failed; fail names a failed one.
failures=0
checked=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
