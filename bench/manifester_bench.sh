#!/usr/bin/env bash
# Measures zk-manifester on four trees made here: a game's mix of 1,000
# images of every format and size, 100 large PNG textures (0.5 to 6 MiB
# each), 50 such textures with 1 to 8 KiB of metadata after their headers,
# as image editors write them, and 13 progressive photos of 1024 x 768 to
# 4000 x 3000 pixels (0.1 to 3 MiB each), as cameras and editors save them;
# each large texture and photo stands in its tree ten times (hard links),
# so that a run takes long enough to time. For
# each tree it gives the bytes and read calls the program takes per file,
# from the kernel's count of the run's reads, and the wall and processor
# time per file, the best of 5 runs with the files in the page cache; each
# figure less what a run over an empty folder takes. Then the mix is timed
# beside ImageMagick's `identify -ping` over the same files; the goal is at
# least 10 times faster. ImageMagick is installed here when it is missing;
# --no-identify leaves that comparison out.
#
# ZK_MANIFESTER=path measures another build of the program over the same
# trees, such as one built from an earlier commit.
# Usage: bench/manifester_bench.sh [--no-identify] [count] [large count] [edited count] [photo count]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
identify=1
if [ "${1:-}" = "--no-identify" ]; then identify=0; shift; fi
count=${1:-1000}
large_count=${2:-100}
edited_count=${3:-50}
photo_count=${4:-13}
build=$root/build-release
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZK_BUILD_TESTS=OFF -DZK_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target zk-manifester make_manifest_tree >/dev/null
manifester=${ZK_MANIFESTER:-$build/tools/manifester/zk-manifester}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/make_manifest_tree" "$work/mixed" "$count" mixed
for kind in large-png edited-png progressive-photos; do
  case $kind in large-png) n=$large_count ;; edited-png) n=$edited_count ;; *) n=$photo_count ;; esac
  "$build/bench/make_manifest_tree" "$work/$kind-once" "$n" "$kind"
  for copy in 0 1 2 3 4 5 6 7 8 9; do mkdir -p "$work/$kind"; cp -al "$work/$kind-once" "$work/$kind/copy$copy"; done
done
mkdir "$work/empty"
cd "$work"
echo "$manifester; load: $(cut -d' ' -f1-3 /proc/loadavg)"

# One run of the program over the folder: the bytes and calls of its
# reads, its wall time and its processor time in milliseconds. A child's
# reads and times are added to its parent's when it is waited for, and the
# shell around the program runs only built-ins after it.
run_once() {
  bash -c 'start=${EPOCHREALTIME/./}
    "$1" "$2" >/dev/null 2>&1 </dev/null
    end=${EPOCHREALTIME/./}
    while read -r key value; do
      case $key in rchar:) bytes=$value ;; syscr:) calls=$value ;; esac
    done </proc/$$/io
    times >"$3"  # a built-in: a command substitution would run it in a child of its own
    { read -r _; read -r user system; } <"$3"
    echo "$bytes $calls $(( (end - start) )) $user $system"' _ "$manifester" "$1" "$work/times" |
  awk '{ cpu = 0; for (i = 4; i <= 5; ++i) { split($i, t, /[ms]/); cpu += t[1] * 60 + t[2] }
         printf "%s %s %.3f %.3f\n", $1, $2, $3 / 1000, cpu * 1000 }'
}
# The reads of one run and the best wall and processor times of 5.
measure() {
  local bytes calls wall cpu best_wall="" best_cpu=""
  for _ in 1 2 3 4 5; do
    read -r bytes calls wall cpu < <(run_once "$1")
    if [ -z "$best_wall" ] || awk -v a="$wall" -v b="$best_wall" 'BEGIN { exit !(a < b) }'; then best_wall=$wall; fi
    if [ -z "$best_cpu" ] || awk -v a="$cpu" -v b="$best_cpu" 'BEGIN { exit !(a < b) }'; then best_cpu=$cpu; fi
  done
  echo "$bytes $calls $best_wall $best_cpu"
}

read -r empty_bytes empty_calls empty_wall empty_cpu < <(measure empty)
printf "%-18s %6s %7s %12s %11s %9s %9s\n" tree files MiB bytes/file reads/file us/file cpu-us/file
for tree in mixed large-png edited-png progressive-photos; do
  files=$(find "$tree" -type f | wc -l)
  size=$(du -sb "$tree" | cut -f1)
  run_once "$tree" >/dev/null  # the files into the page cache
  read -r bytes calls wall cpu < <(measure "$tree")
  lines=$(grep -c '<node ' manifest-temp.xml)
  [ "$lines" -eq "$files" ] || echo "$tree: $lines node lines for $files files" >&2
  awk -v t="$tree" -v f="$files" -v s="$size" -v b="$bytes" -v eb="$empty_bytes" -v c="$calls" -v ec="$empty_calls" \
      -v w="$wall" -v ew="$empty_wall" -v u="$cpu" -v eu="$empty_cpu" \
      'BEGIN { printf "%-18s %6d %7.1f %12.0f %11.2f %9.1f %9.1f\n", t, f, s / 1048576, (b - eb) / f, (c - ec) / f,
               (w - ew) * 1000 / f, (u - eu) * 1000 / f }'
  [ "$tree" = mixed ] && mixed_ms=$wall
done

[ "$identify" -eq 1 ] || exit 0
if ! command -v identify >/dev/null; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update >/dev/null
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends imagemagick >/dev/null
fi
now_ms() { local t=${EPOCHREALTIME/./}; printf "%d.%03d" $(( t / 1000 )) $(( t % 1000 )); }
identify_ms=""
for _ in 1 2 3 4 5; do
  start=$(now_ms)
  find mixed -type f -print0 | xargs -0 identify -ping >/dev/null 2>&1
  end=$(now_ms)
  ms=$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.1f", e - s }')
  if [ -z "$identify_ms" ] || awk -v a="$ms" -v b="$identify_ms" 'BEGIN { exit !(a < b) }'; then identify_ms=$ms; fi
done
awk -v m="$mixed_ms" -v i="$identify_ms" \
    'BEGIN { printf "mixed: zk-manifester %.1f ms, identify -ping %.1f ms: %.1f times faster\n", m, i, i / m }'
