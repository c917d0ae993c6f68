#!/usr/bin/env bash
# Compares the manifests of two builds of zk-manifester, such as one built
# from an earlier commit and this one, over trees made here: every kind of
# file the manifest meets ("varied", broken and hostile ones among them),
# a game's mix of 1,000 images and 13 progressive photos. Prints, per tree,
# whether the manifests are byte for byte the same, and the lines that
# differ when they are not; then the same for what each build said.
# Usage: bench/manifester_compare.sh <old zk-manifester> [new zk-manifester]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -ge 1 ] || { echo "usage: $0 <old zk-manifester> [new zk-manifester]" >&2; exit 2; }
build=$root/build-release
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZK_BUILD_TESTS=OFF -DZK_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target zk-manifester make_manifest_tree >/dev/null
old=$(realpath "$1")
new=$(realpath "${2:-$build/tools/manifester/zk-manifester}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/make_manifest_tree" "$work/varied" 0 varied 2>/dev/null
"$build/bench/make_manifest_tree" "$work/mixed" 1000 mixed
"$build/bench/make_manifest_tree" "$work/progressive-photos" 13 progressive-photos
status=0
for tree in varied mixed progressive-photos; do
  for side in old new; do
    mkdir -p "$work/run-$side-$tree"
    # The messages name the files by the target's path, which is the same for both.
    (cd "$work/run-$side-$tree" && "${!side}" "$work/$tree" </dev/null >said.txt 2>&1) || true
  done
  files=$(find "$work/$tree" -type f | wc -l)
  if cmp -s "$work/run-old-$tree/manifest-temp.xml" "$work/run-new-$tree/manifest-temp.xml"; then
    echo "$tree ($files files): same manifest"
  else
    echo "$tree ($files files): manifests differ"
    diff "$work/run-old-$tree/manifest-temp.xml" "$work/run-new-$tree/manifest-temp.xml" | grep '^[<>]' || true
    status=1
  fi
  if ! cmp -s "$work/run-old-$tree/said.txt" "$work/run-new-$tree/said.txt"; then
    echo "$tree: messages differ"
    diff "$work/run-old-$tree/said.txt" "$work/run-new-$tree/said.txt" | grep '^[<>]' || true
  fi
done
exit $status
