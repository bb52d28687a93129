#!/bin/bash
# Benchmarks rudevodu against ecCodes and CDO doing the same work on the same
# files: the program and its peer run alternately, BENCH_REPS times each, and
# the median wall time and peak memory (resident set) of each are printed with
# the ratio of the medians (program / peer; below 1 the program is faster).
#
#   bench/run.sh [BUILD_DIR]      (default: build)
#
# Environment: BENCH_REPS (runs of each command, default 3), BENCH_DATA (where
# the generated GRIB files go, default BUILD_DIR/bench-data), BENCH_SMALL and
# BENCH_GLOBAL (messages in the small-message files and fields in the global
# files, default 50000 and 40).
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=$(cd "${1:-$ROOT/build}" && pwd)
REPS=${BENCH_REPS:-3}
SMALL=${BENCH_SMALL:-50000}
GLOBAL=${BENCH_GLOBAL:-40}
DATA=${BENCH_DATA:-$BUILD/bench-data}
WORK=$BUILD/bench-work
PROGRAM=$BUILD/rudevodu
ETC=$ROOT/etc
PY=/usr/bin/python3

# Debian packages the peers, the data generator and the measurement need.
PACKAGES="cdo libeccodes-dev libeccodes-tools time python3-eccodes python3-numpy netcdf-bin gcc"

install_missing() {
  local missing="" p
  for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing="$missing $p"
  done
  if [ -n "$missing" ]; then
    echo "Installing:$missing"
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
  fi
}

# The program as the tests run it: its tables from the source tree.
RUDEVODU=(env kvzdefault="$ETC" "$PROGRAM" -fp "$ETC/")
rudevodu() { "${RUDEVODU[@]}" "$@"; }

# Runs a command once with its output thrown away; sets LAST_SECONDS and LAST_KB.
run_once() {
  local stats=$WORK/time.out start end
  start=$(date +%s%N)
  /usr/bin/time -f %M -o "$stats" "$@" >/dev/null 2>>"$WORK/stderr.log" || {
    echo "command failed: $*" >&2
    tail -5 "$WORK/stderr.log" >&2
    exit 1
  }
  end=$(date +%s%N)
  LAST_SECONDS=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')
  LAST_KB=$(tail -1 "$stats")
}

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

mb() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }

# Before each run of a conversion its output directory is emptied (not timed).
PREPARE=""
prepare() { if [ -n "$PREPARE" ]; then rm -rf "$PREPARE" && mkdir -p "$PREPARE"; fi; }

# compare LABEL PEER_NAME TARGET -- the program's command -- the peer's command
# Prints one table row: medians, peak memory, ratio and the target ratio.
compare() {
  local label=$1 peer=$2 target=$3
  shift 4
  local -a ours=() theirs=()
  while [ "$1" != "--" ]; do ours+=("$1"); shift; done
  shift
  theirs=("$@")
  local -a our_t=() our_m=() peer_t=() peer_m=()
  local i
  for ((i = 0; i < REPS; i++)); do
    prepare; run_once "${ours[@]}"; our_t+=("$LAST_SECONDS"); our_m+=("$LAST_KB")
    prepare; run_once "${theirs[@]}"; peer_t+=("$LAST_SECONDS"); peer_m+=("$LAST_KB")
  done
  local a b
  a=$(median "${our_t[@]}")
  b=$(median "${peer_t[@]}")
  printf '| %-34s | %8.3f | %8s | %-22s | %8.3f | %8s | %6.3f | %-6s |\n' "$label" "$a" \
    "$(mb "$(median "${our_m[@]}")")" "$peer" "$b" "$(mb "$(median "${peer_m[@]}")")" \
    "$(awk -v a="$a" -v b="$b" 'BEGIN { print (b > 0) ? a / b : 0 }')" "$target"
}

table_head() {
  echo
  echo "| $1 | rudevodu s | peak MB | peer | peer s | peak MB | ratio | target |"
  echo "|---|---:|---:|---|---:|---:|---:|---|"
}

# The number of grids the program lists, to be compared with grib_count.
listed_grids() { rudevodu -ba -me out2 -pa nohdr "$1" | grep -c '^ *[0-9][0-9]*: ' || true; }

check_counts() {
  local f n ours
  for f in "$@"; do
    n=$(grib_count "$f")
    ours=$(listed_grids "$f")
    if [ "$n" != "$ours" ]; then
      echo "rudevodu lists $ours grids of $(basename "$f"), grib_count counts $n" >&2
      exit 1
    fi
  done
  echo "Grid counts agree with grib_count for: $(for f in "$@"; do printf '%s ' "$(basename "$f")"; done)"
}

# The netCDF conversion row runs once the program writes netCDF files: a
# one-field conversion must give a file that ncdump reads, with the grid's columns.
netcdf_supported() {
  local dir=$WORK/cdf-probe
  rm -rf "$dir" && mkdir -p "$dir"
  rudevodu -ba -pf over -of cdf -gp "$dir" "$ONE_FIELD" >/dev/null 2>&1 || return 1
  local f
  for f in "$dir"/*; do
    # Read whole: with pipefail, grep -q ending the pipe early would fail it.
    local header
    [ -f "$f" ] && header=$(ncdump -h "$f" 2>/dev/null) && [[ $header == *1440* ]] && return 0
  done
  return 1
}

main() {
  install_missing
  [ -x "$PROGRAM" ] || { echo "no program at $PROGRAM: run make build first" >&2; exit 1; }
  mkdir -p "$DATA" "$WORK"
  : >"$WORK/stderr.log"
  "$PY" "$ROOT/bench/make_data.py" "$DATA" "$SMALL" "$GLOBAL"
  gcc -O2 -o "$WORK/decode_all" "$ROOT/bench/decode_all.c" $(pkg-config --cflags --libs eccodes)
  ONE_FIELD=$WORK/one_field.grib2
  grib_copy -w count=1 "$DATA/global_simple.grib2" "$ONE_FIELD"

  local ed2=$DATA/small_ed2.grib2 ed1=$DATA/small_ed1.grib1 packing f
  rm -f "$ed2.hdr" "$ed1.hdr"
  check_counts "$ed2" "$ed1" "$DATA"/global_*.grib2

  echo
  echo "rudevodu $(cd "$ROOT" && git describe --always --dirty 2>/dev/null || echo '?'), ecCodes $(codes_info -v 2>/dev/null), $(cdo -V 2>&1 | head -1)"
  echo "$REPS runs each, alternating; medians; $(nproc) cores; load average $(cut -d' ' -f1-3 /proc/loadavg)"

  table_head "listing $SMALL small messages (21 x 9)"
  for f in "$ed2" "$ed1"; do
    compare "$(basename "$f")" "grib_ls" "<= 0.05" -- "${RUDEVODU[@]}" -ba -me out2 "$f" -- grib_ls "$f"
    compare "$(basename "$f")" "cdo sinfon" "" -- "${RUDEVODU[@]}" -ba -me out2 "$f" -- cdo -s sinfon "$f"
  done

  table_head "listing through a header file"
  for f in "$ed2" "$ed1"; do
    rudevodu -ba -ou hdrfile -pf over "$f" >/dev/null
    compare "$(basename "$f") with $(basename "$f").hdr" "rudevodu -pa nohdr" "" \
      -- "${RUDEVODU[@]}" -ba -me out2 "$f" -- "${RUDEVODU[@]}" -ba -me out2 -pa nohdr "$f"
    rm -f "$f.hdr"
  done

  table_head "decoding every value of $GLOBAL fields of 1440 x 721"
  PREPARE=$WORK/out
  local -A targets=([simple]="<= 1" [complex]="<= 0.5" [jpeg]="<= 0.667" [ccsds]="")
  for packing in simple complex jpeg ccsds; do
    f=$DATA/global_$packing.grib2
    compare "$packing: -of kvzb" "ecCodes decode_all" "${targets[$packing]}" \
      -- "${RUDEVODU[@]}" -ba -pf over -of kvzb -gp "$PREPARE" "$f" -- "$WORK/decode_all" "$f"
  done

  table_head "conversion to netCDF"
  if netcdf_supported; then
    for packing in simple complex jpeg ccsds; do
      f=$DATA/global_$packing.grib2
      compare "$packing: -of cdf" "cdo -f nc copy" "<= 0.8" \
        -- "${RUDEVODU[@]}" -ba -pf over -of cdf -gp "$PREPARE" "$f" -- cdo -s -f nc copy "$f" "$PREPARE/out.nc"
    done
  else
    echo "| -of cdf | not available | | cdo -f nc copy | | | | <= 0.8 |"
  fi
  PREPARE=""

  echo
  echo "Peak memory of the conversion to a binary grid file, by number of fields (simple packing):"
  local small_kb one_kb all_kb
  run_once "${RUDEVODU[@]}" -ba -me out2 "$ed1"; small_kb=$LAST_KB
  rm -rf "$WORK/out" && mkdir -p "$WORK/out"
  run_once "${RUDEVODU[@]}" -ba -pf over -of kvzb -gp "$WORK/out" "$ONE_FIELD"; one_kb=$LAST_KB
  rm -rf "$WORK/out" && mkdir -p "$WORK/out"
  run_once "${RUDEVODU[@]}" -ba -pf over -of kvzb -gp "$WORK/out" "$DATA/global_simple.grib2"; all_kb=$LAST_KB
  rm -rf "$WORK/out"
  echo "  listing only: $(mb "$small_kb") MB; 1 field: $(mb "$one_kb") MB; $GLOBAL fields: $(mb "$all_kb") MB;" \
    "one field's values: $(mb $((1440 * 721 * 4 / 1024))) MB as float, $(mb $((1440 * 721 * 8 / 1024))) MB as double"
}

main
