#!/usr/bin/env bash
# Times favpage-convert against the floor program (bench/floor.cpp) on deterministic trees of
# shortcut files generated under /tmp and prints two tables: warm (the files in the system's
# cache) and cold (the tree's files dropped from the cache before each run, as after a start-up).
# Not part of any test run.
# usage: bench/run.sh [RUNS [COLD_RUNS]]   (BENCH_DIR overrides the work folder, default
#            /tmp/favpage-bench; BENCH_PAGES the folder the pages are written to; COLD_RUNS 0
#            leaves the cold table out; BENCH_CONVERT another favpage-convert to time, such as an
#            earlier build)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}
coldRuns=${2:-5}
work=${BENCH_DIR:-/tmp/favpage-bench}
mkdir -p "$work"
# Pages go to memory where the system offers it: both programs flush their page to the disk, and
# the disk's write-back, which varies by tens of milliseconds from run to run, would otherwise
# drown the differences measured. BENCH_PAGES overrides the folder.
pages=${BENCH_PAGES:-$([[ -d /dev/shm ]] && echo /dev/shm/favpage-bench || echo "$work")}
mkdir -p "$pages"

bash scripts/build.sh native >/dev/null
convert=${BENCH_CONVERT:-$PWD/build/native/tools/favpage-convert}
g++ -O2 -std=c++17 -o "$work/make_tree" bench/make_tree.cpp
g++ -O2 -std=c++17 -o "$work/floor" bench/floor.cpp
g++ -O2 -std=c++17 -o "$work/drop_cache" bench/drop_cache.cpp
g++ -O2 -std=c++17 -pthread -o "$work/probe" bench/probe.cpp

# name shortcuts folders
trees=("spread20k 20000 400" "spread100k 100000 2000" "flat50k 50000 1"
       "folders4k 20000 4000" "folders20k 20000 20000")

# Peak resident memory of one run in MB, when GNU time is at hand.
peak_rss() {
  if [[ -x /usr/bin/time ]]; then
    /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1 | awk '{ printf "%.1f", $1 / 1024 }'
  else
    echo "-"
  fi
}

printf '| tree | shortcuts | folders | floor (ms) | favpage-convert (ms) | ratio | us per shortcut | ratio of minima | peak RSS (MB) | --bookmarks (ms) | bookmarks / page |\n'
printf '|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n'
for spec in "${trees[@]}"; do
  read -r name count folders <<<"$spec"
  tree=$work/$name
  [[ -d $tree ]] || "$work/make_tree" "$tree" "$count" "$folders"
  out=$pages/$name.htm
  { read -r floor floorMin; read -r ours oursMin; read -r marks marksMin; } < <(
    python3 bench/interleaved.py "$runs" 3 -- "$work/floor" "$tree" "$out" \
      -- "$convert" --yes "$tree" "$out" -- "$convert" --yes --bookmarks "$tree" "$out.bookmarks.html")
  rss=$(peak_rss "$convert" --yes "$tree" "$out")
  # Every shortcut must be on the page, or the timing means nothing.
  found=$("$convert" --yes "$tree" "$out" | sed -n 's/.*found \([0-9]*\) Shortcut.*/\1/p')
  [[ $found == "$count" ]] || { echo "bench: $name: found $found of $count shortcuts" >&2; exit 1; }
  awk -v n="$name" -v c="$count" -v f="$folders" -v a="$floor" -v b="$ours" -v am="$floorMin" \
      -v bm="$oursMin" -v r="$rss" -v k="$marks" 'BEGIN {
    printf "| %s | %d | %d | %.1f | %.1f | %.2f | %.2f | %.2f | %s | %.1f | %.2f |\n", n, c, f,
      a * 1000, b * 1000, b / a, b * 1e6 / c, bm / am, r, k * 1000, k / b }'
done

# Cold: the same trees, each run preceded by emptying the cache of the tree's files; beside
# them the probe, what the disk gives to many readers at once in no order.
((coldRuns > 0)) || exit 0
printf '\nCold (%s):\n\n' "$([[ $(id -u) == 0 ]] && echo "the page cache dropped before each run" || echo "each file of the tree dropped from the cache before each run")"
printf '| tree | floor (ms) | favpage-convert (ms) | ratio | ratio of minima | probe (ms) | probe / floor | peak RSS (MB) |\n'
printf '|---|---:|---:|---:|---:|---:|---:|---:|\n'
for spec in "${trees[@]}"; do
  read -r name count folders <<<"$spec"
  tree=$work/$name
  out=$pages/$name.htm
  { read -r floor floorMin; read -r ours oursMin; read -r probe probeMin; } < <(
    python3 bench/interleaved.py "$coldRuns" 0 --before "$work/drop_cache" "$tree" \
      -- "$work/floor" "$tree" "$out" -- "$convert" --yes "$tree" "$out" -- "$work/probe" "$tree")
  # Peak memory of a cold run, when the threads hold what they read ahead.
  "$work/drop_cache" "$tree" >/dev/null
  rss=$(peak_rss "$convert" --yes "$tree" "$out")
  awk -v n="$name" -v a="$floor" -v b="$ours" -v am="$floorMin" -v bm="$oursMin" -v p="$probe" \
      -v r="$rss" 'BEGIN {
    printf "| %s | %.1f | %.1f | %.2f | %.2f | %.1f | %.2f | %s |\n", n, a * 1000, b * 1000, b / a,
      bm / am, p * 1000, p / a, r }'
done
