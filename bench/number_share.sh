#!/usr/bin/env bash
# What share of quarrow's output work goes to number conversion, per corpus
# and route, counted in instructions by callgrind.
#
# The compiler inlines dump_integer and dump_float into the serializer, where
# callgrind cannot tell them apart, so this builds the benchmark against a
# copy of the header with those two marked noinline (one call a number more,
# nothing else changed), then has callgrind collect one call of each quarrow
# output route and report the inclusive cost of the two against the route's.
#
# usage: bench/number_share.sh [BUILD_DIR]   (default /tmp/quarrow-number-share)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-/tmp/quarrow-number-share}
header=$build/header/quarrow
mkdir -p "$header"

sed -e 's/^\(    void dump_integer(NumberType x)\)$/    __attribute__((noinline))\n\1/' \
    -e 's/^\(    void dump_float(const number_float_t x)\)$/    __attribute__((noinline))\n\1/' \
    src/json.hpp >"$header/json.hpp"
if [ "$(grep -c '__attribute__((noinline))' "$header/json.hpp")" -ne 2 ]; then
    echo "number_share.sh: the number functions of src/json.hpp were not found; update the patterns" >&2
    exit 1
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUARROW_BUILD_BENCH=ON \
    -DQUARROW_BUILD_TESTS=OFF -DQUARROW_BUILD_EXAMPLES=OFF -DQUARROW_BENCH_HEADER_DIR="$build/header" >/dev/null
cmake --build "$build" --target quarrow_bench >/dev/null

# Before any benchmark runs, the program calls every route once per corpus to
# size its output, corpus by corpus, quarrow's routes before RapidJSON's. So
# one run per route collects that route alone and cuts a part before each
# corpus's RapidJSON string route: part N is corpus N. (Both on one function
# does not work: callgrind then honours only one of the two.)
routes=(quarrow_stream quarrow_stream_indented quarrow_string)
labels=("compact, to an ostringstream" "indented by 4, to an ostringstream" "compact, dump()")
corpora=(canada.json citm_catalog.json twitter.json)
rm -rf "$build/callgrind" && mkdir "$build/callgrind"
for r in "${routes[@]}"; do
    valgrind --tool=callgrind --collect-atstart=no --toggle-collect="*::$r(*" --dump-before='*::rapidjson_string(*' \
        --callgrind-out-file="$build/callgrind/$r" \
        "$build/bench/quarrow_bench" --smoke --benchmark_filter='^canada.json/quarrow/at_present' >/dev/null 2>&1 &
done
wait

inclusive() { # FILE PATTERN: the summed inclusive instruction count of the functions matching PATTERN
    callgrind_annotate --inclusive=yes --threshold=100 "$1" 2>/dev/null |
        awk -v pattern="$2" 'index($0, pattern) { gsub(",", "", $1); sum += $1 } END { print sum + 0 }'
}

echo "| corpus | route | instructions | in dump_integer | in dump_float | number share |"
echo "| --- | --- | ---: | ---: | ---: | ---: |"
for part in 1 2 3; do
    for r in "${!routes[@]}"; do
        file=$build/callgrind/${routes[$r]}.$part
        total=$(callgrind_annotate "$file" | awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1 }')
        integers=$(inclusive "$file" "::dump_integer<")
        floats=$(inclusive "$file" "::dump_float(")
        awk -v c="${corpora[$((part - 1))]}" -v r="${labels[$r]}" -v t="$total" -v n="$integers" -v f="$floats" \
            'BEGIN { printf "| %s | %s | %d | %d | %d | %.1f%% |\n", c, r, t, n, f, 100 * (n + f) / t }'
    done
done
