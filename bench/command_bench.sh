#!/usr/bin/env bash
# command_bench.sh KOLVEX_CHART [RUNS]
# kolvex-chart as a script runs it, the whole process from exec to exit: the year chart of 1999
# against `true` (the floor of any process) and against GNU gcal printing the same year's biorhythm
# lines, run alternately by hyperfine without a shell; then the peak resident memory of each.
set -euo pipefail

chart=$1
runs=${2:-200}
for tool in hyperfine gcal; do
  command -v "$tool" >/dev/null || { echo "$tool not found (scripts/install-deps installs it)" >&2; exit 1; }
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# Every day of the year, the biorhythm of a birth on 17 September 1974. gcal reads no resource
# file whose path holds a "-".
resource=$scratch/biorhythm.rc
printf '0*d1#366 %%,19740917\n' >"$resource"

hyperfine -N --warmup 30 --runs "$runs" --time-unit millisecond \
  --export-csv "$scratch/times.csv" \
  -n true true \
  -n kolvex-chart "$chart 17 9 1974 1999" \
  -n gcal "gcal -u -f $resource -cY 1999"

# The ratios of the medians, which a busy moment of the machine moves less than the means.
awk -F, 'NR > 1 { median[$1] = $4 }
  END {
    printf "medians: true %.3f ms, kolvex-chart %.3f ms, gcal %.3f ms\n",
      median["true"] * 1e3, median["kolvex-chart"] * 1e3, median["gcal"] * 1e3
    printf "kolvex-chart / true %.2f (goal: 1.5 at most), kolvex-chart / gcal %.2f (goal: 0.8 at most)\n",
      median["kolvex-chart"] / median["true"], median["kolvex-chart"] / median["gcal"]
  }' "$scratch/times.csv"

if [ -x /usr/bin/time ]; then
  for command in true "$chart 17 9 1974 1999" "gcal -u -f $resource -cY 1999"; do
    # shellcheck disable=SC2086
    kib=$(/usr/bin/time -f %M $command 2>&1 >/dev/null | tail -n1)
    awk -v kib="$kib" -v name="$(basename "${command%% *}")" 'BEGIN { printf "peak resident memory: %5.1f MiB  %s\n", kib / 1024, name }'
  done
fi
