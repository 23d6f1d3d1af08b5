#!/usr/bin/env bash
# Times favpage-convert against the floor program (bench/floor.cpp) on deterministic trees of
# shortcut files generated under /tmp, warm cache, and prints a table. Not part of any test run.
# usage: bench/run.sh [RUNS]      (BENCH_DIR overrides the work folder, default /tmp/favpage-bench)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}
work=${BENCH_DIR:-/tmp/favpage-bench}
mkdir -p "$work"

bash scripts/build.sh native >/dev/null
convert=$PWD/build/native/tools/favpage-convert
g++ -O2 -std=c++17 -o "$work/make_tree" bench/make_tree.cpp
g++ -O2 -std=c++17 -o "$work/floor" bench/floor.cpp

# name shortcuts folders
trees=("spread20k 20000 400" "spread100k 100000 2000" "flat50k 50000 1")

# Mean seconds of `runs` runs of a command (after one warm-up run), without hyperfine.
mean_of_runs() {
  "$@" >/dev/null
  local total=0 start end
  for ((i = 0; i < runs; i++)); do
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    total=$((total + end - start))
  done
  echo "scale=6; $total / $runs / 1000000000" | bc
}

# Peak resident memory of one run in MB, when GNU time is at hand.
peak_rss() {
  if [[ -x /usr/bin/time ]]; then
    /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1 | awk '{ printf "%.1f", $1 / 1024 }'
  else
    echo "-"
  fi
}

# Median and minimum of the run times of command number $2 (0-based) in hyperfine's JSON $1.
median_min() {
  python3 -c 'import json, statistics, sys
t = json.load(open(sys.argv[1]))["results"][int(sys.argv[2])]["times"]
print(statistics.median(t), min(t))' "$1" "$2"
}

printf '| tree | shortcuts | folders | floor (ms) | favpage-convert (ms) | ratio | us per shortcut | ratio of minima | peak RSS (MB) | --bookmarks (ms) | bookmarks / page |\n'
printf '|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n'
for spec in "${trees[@]}"; do
  read -r name count folders <<<"$spec"
  tree=$work/$name
  [[ -d $tree ]] || "$work/make_tree" "$tree" "$count" "$folders"
  out=$work/$name.htm
  if command -v hyperfine >/dev/null; then
    hyperfine -N --style none --warmup 3 --runs "$runs" --export-json "$work/$name.json" \
      "$work/floor $tree $out" "$convert --yes $tree $out" \
      "$convert --yes --bookmarks $tree $out.bookmarks.html" >/dev/null
    read -r floor floorMin < <(median_min "$work/$name.json" 0)
    read -r ours oursMin < <(median_min "$work/$name.json" 1)
    read -r marks marksMin < <(median_min "$work/$name.json" 2)
  else
    floor=$(mean_of_runs "$work/floor" "$tree" "$out") floorMin=$floor
    ours=$(mean_of_runs "$convert" --yes "$tree" "$out") oursMin=$ours
    marks=$(mean_of_runs "$convert" --yes --bookmarks "$tree" "$out.bookmarks.html")
  fi
  rss=$(peak_rss "$convert" --yes "$tree" "$out")
  # Every shortcut must be on the page, or the timing means nothing.
  found=$("$convert" --yes "$tree" "$out" | sed -n 's/.*found \([0-9]*\) Shortcut.*/\1/p')
  [[ $found == "$count" ]] || { echo "bench: $name: found $found of $count shortcuts" >&2; exit 1; }
  awk -v n="$name" -v c="$count" -v f="$folders" -v a="$floor" -v b="$ours" -v am="$floorMin" \
      -v bm="$oursMin" -v r="$rss" -v k="$marks" 'BEGIN {
    printf "| %s | %d | %d | %.1f | %.1f | %.2f | %.2f | %.2f | %s | %.1f | %.2f |\n", n, c, f,
      a * 1000, b * 1000, b / a, b * 1e6 / c, bm / am, r, k * 1000, k / b }'
done
