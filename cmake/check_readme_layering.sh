#!/usr/bin/env bash
# Run by the test readme_layering: what the README's "Layout" says of the
# libraries, checked against the build's layer list and the code.
# - The layout table has one row for each library, in the order of
#   cmake/Layers.cmake, and every other row names a folder that exists.
# - The table of calls that go up through the interface table lists each
#   pair of libraries where a library calls (through a table pointer,
#   "->ZK_...(") a slot whose function a library above it defines under the
#   slot's name (a colour setter under the name with _RGBA or _BGRA), and
#   no other pair. A slot that several libraries define is taken to be
#   filled by the lowest of them (the manifester defines a few for its own
#   small runtime). tests/ folders are left out.
# Usage: check_readme_layering.sh <project root> <layer entries file>
set -u
root=$1
entries=$2
readme="$root/README.md"
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

# The libraries' folders, from the bottom up.
mapfile -t folders < <(sed -n 's/^set(layer_folder_[a-z_]* "\(.*\)")$/\1/p' "$entries")
[ "${#folders[@]}" -gt 0 ] || { echo "no libraries in $entries"; exit 1; }
declare -A rank
for i in "${!folders[@]}"; do rank[${folders[$i]}]=$i; done

# The layout table: the rows from "| folder | what |" to the first line
# that is no row.
mapfile -t rows < <(awk '/^\| folder \| what \|$/ { inside = 1; next }
                         inside && /^\|---/ { next }
                         inside && /^\| `/ { split($0, cells, "`"); print cells[2]; next }
                         inside { exit }' "$readme")
[ "${#rows[@]}" -gt 0 ] || fail "the README has no layout table"
next=0
for folder in "${rows[@]}"; do
  if [ -n "${rank[$folder]:-}" ]; then
    if [ "${rank[$folder]}" -ne "$next" ]; then
      fail "the layout table has $folder where cmake/Layers.cmake has ${folders[$next]:-no further library}"
      next=${rank[$folder]}
    fi
    next=$((next + 1))
  else
    for part in $folder; do  # "bench, fuzz" names two
      part=${part%,}
      [ -e "$root/$part" ] || fail "the layout table names $part, which does not exist"
    done
  fi
done
[ "$next" -eq "${#folders[@]}" ] || fail "the layout table has no row for ${folders[$next]} or those after it"

# The sources of a library, tests left out.
sources() {  # folder
  find "$root/$1" \( -name tests -prune \) -o -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.mm' \) -print
}

# Every slot of the interface table, and the library that fills it.
mapfile -t slots < <(sed -n 's/^ZK_[A-Z_]*SLOT(\([^,]*\), *\([A-Za-z0-9_]*\),.*/\2/p' "$root/engine/runtime/interface.def")
[ "${#slots[@]}" -gt 100 ] || fail "engine/runtime/interface.def gives only ${#slots[@]} slots"
declare -A is_slot filler
for slot in "${slots[@]}"; do is_slot[$slot]=1; done
for folder in "${folders[@]}"; do
  # Definitions: a line that begins with a type and holds a name and "(".
  while IFS= read -r name; do
    name=${name%_RGBA}
    name=${name%_BGRA}
    [ -n "${is_slot[$name]:-}" ] && [ -z "${filler[$name]:-}" ] && filler[$name]=$folder
  done < <(sources "$folder" | grep '\.cpp$' | xargs -r grep -ohE '^[A-Za-z_][A-Za-z0-9_:<>*& ]*[ *&]ZK[A-Z]*_[A-Za-z0-9_]+ *\(' |
           grep -oE 'ZK[A-Z]*_[A-Za-z0-9_]+ *\($' | tr -d ' (' | sort -u)
done

# The pairs where a library calls a slot that a library above it fills.
declare -A found=()
for folder in "${folders[@]}"; do
  while IFS= read -r name; do
    owner=${filler[$name]:-}
    [ -n "$owner" ] && [ "${rank[$owner]}" -gt "${rank[$folder]}" ] && found["$folder $owner"]+="$name "
  done < <(sources "$folder" | xargs -r grep -ohE -- '-> *ZK[A-Z]*_[A-Za-z0-9_]+ *\(' | grep -oE 'ZK[A-Z]*_[A-Za-z0-9_]+' | sort -u)
done

# The README's table of them: "| `caller` | `callee` | ... |" after the
# line "| library | calls up to | for |".
declare -A listed=()
while IFS=' ' read -r caller callee; do
  listed["$caller $callee"]=1
done < <(awk '/^\| library \| calls up to \| for \|$/ { inside = 1; next }
              inside && /^\|---/ { next }
              inside && /^\| `/ { split($0, cells, "`"); print cells[2], cells[4]; next }
              inside { exit }' "$readme")
[ "${#listed[@]}" -gt 0 ] || fail "the README has no table of the calls that go up"
for pair in "${!found[@]}"; do
  [ -n "${listed[$pair]:-}" ] || fail "${pair% *} calls up to ${pair#* } (${found[$pair]% }), which the README does not list"
done
for pair in "${!listed[@]}"; do
  [ -n "${found[$pair]:-}" ] || fail "the README lists a call up from ${pair% *} to ${pair#* }, which the code does not make"
done

echo "$(( ${#rows[@]} + ${#listed[@]} - failures )) passed, $failures failed"
[ "$failures" -eq 0 ]
