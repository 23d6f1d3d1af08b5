#!/usr/bin/env bash
# Fuzzes one target for a given time: run.sh TARGET SECONDS [extra libFuzzer flags].
# Targets: text_file shortcut sorted_name_list folder_walk. New inputs that reach new code go to
# build/fuzz/corpus/TARGET (the seeds in fuzz/corpus/TARGET are read, never written); a crashing
# input is saved under build/fuzz/crashes/ and reported with its name.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: run.sh TARGET SECONDS}
seconds=${2:?usage: run.sh TARGET SECONDS}
shift 2
[[ -x build/fuzz/fuzz_$target ]] || bash fuzz/build.sh
work=build/fuzz/corpus/$target
mkdir -p "$work" build/fuzz/crashes
case $target in
  shortcut) extra=(-max_len=70000) ;;   # past the 64 KiB the reader examines
  folder_walk) extra=(-max_len=512) ;;  # trees stay small and quick
  *) extra=() ;;
esac
exec nice -n 10 "build/fuzz/fuzz_$target" "$work" "fuzz/corpus/$target" \
  -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="build/fuzz/crashes/$target-" "${extra[@]}" "$@"
