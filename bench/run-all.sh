#!/usr/bin/env bash
# Whole-program measurements: start-up, resident size, the answer cycle and the discriminant
# search in the window, and the drawing's repaint, on the bundled key and on generated keys of
# growing size. Each figure comes with a reference measured in the same run, so that the ratio
# means something on a loaded machine. Writes the table into docs/performance.md (between its
# figure markers) and keeps the raw results in $WORK.
#
#   bench/run-all.sh [BUILD_DIR]        BUILD_DIR: a Release build (default build-rel)
#   REPEAT=9 bench/run-all.sh           more runs of each start-up (default 7)
#   SIZES="2000x2000 10000x4000" ...    which generated keys (species x states)
#   NO_DOC=1 ...                        print the table only
#   IMPORTED=0 ...                      leave out the imported keys (DELTA vide, SDD 1000 x 300)
# The last table gives each goal beside the figure that decides it.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build-rel}" && pwd)
work=${WORK:-/tmp/tarvenko-bench}
repeat=${REPEAT:-7}
sizes=${SIZES:-"2000x2000 10000x2000 2000x4000 10000x4000"}
mkdir -p "$work"

program=$build/shell/tarvenko
for f in "$program" "$build/tools/bigkb/tarvenko-big-kb" "$build/bench/window/tarvenko_window_bench" \
    "$build/bench/metafile/tarvenko_metafile_bench"; do
    [[ -x $f ]] || { echo "missing $f: build the targets tarvenko tarvenko-big-kb tarvenko_window_bench tarvenko_metafile_bench" >&2; exit 1; }
done

export QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 QT_LOGGING_RULES=qt.webenginecontext.info=false
runtime=$(mktemp -d) && chmod 700 "$runtime"
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime

median() { sort -n | awk '{v[NR]=$1} END {if (NR == 0) print "nan"; else if (NR % 2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }
now_ns() { date +%s%N; }

# The keys: name and root folder (holding data/, robot/, descripteurs/, documents/).
declare -a names roots
names+=(bundled); roots+=("$build/sample")
for size in $sizes; do
    species=${size%x*} states=${size#*x}
    root=$work/key-$size
    if [[ ! -f $root/data/Tarvenko.db || $root/data/Tarvenko.db -ot $build/tools/bigkb/tarvenko-big-kb ]]; then
        echo "generating $size" >&2
        "$build/tools/bigkb/tarvenko-big-kb" --species "$species" --states "$states" --seed 1 "$root"
    fi
    names+=("$size"); roots+=("$root")
done
# Imported keys: the DELTA dataset vide (969 items, 4,144 states) and a generated SDD key of
# 1,000 taxa and 300 characters, each converted by tarvenko-import into a key folder once.
import=$build/tools/import/tarvenko-import
testdata=${TARVENKO_TESTDATA:-$here/../shared/testdata}
if [[ ${IMPORTED:-1} != 0 && -x $import ]]; then
    if [[ -d $testdata/delta/vide ]]; then
        root=$work/key-vide
        [[ -f $root/data/Tarvenko.db && ! $root/data/Tarvenko.db -ot $import ]] ||
            "$import" --force "$testdata/delta/vide" "$root" >/dev/null 2>&1 || echo "vide not imported" >&2
        [[ -f $root/data/Tarvenko.db ]] && { names+=(vide); roots+=("$root"); }
    else
        echo "no $testdata/delta/vide: the DELTA key is left out" >&2
    fi
    if [[ -x $build/bench/sdd/tarvenko_sdd_bench ]]; then
        root=$work/key-sdd1000x300
        if [[ ! -f $root/data/Tarvenko.db || $root/data/Tarvenko.db -ot $import ]]; then
            "$build/bench/sdd/tarvenko_sdd_bench" --generate 1000 300 "$work/gen-1000x300.sdd.xml" >/dev/null 2>&1 &&
                "$import" --force "$work/gen-1000x300.sdd.xml" "$root" >/dev/null 2>&1 || echo "SDD key not imported" >&2
        fi
        [[ -f $root/data/Tarvenko.db ]] && { names+=(sdd1000x300); roots+=("$root"); }
    fi
fi

# Settings that point the program at a key: machine values under XDG_CONFIG_DIRS, no user values.
configure() {
    local root=$1 cfg=$2
    mkdir -p "$cfg/machine/Tarvenko" "$cfg/user"
    cat >"$cfg/machine/Tarvenko/Tarvenko.ini" <<EOF
[Logiciel]
Data=$root/data/
Base=Tarvenko.db
Descripteurs=$root/descripteurs/
Robot=$root/robot/
Executables=$build/shell/
[Documents]
Adresse=$root/documents/
[Options]
Curseur=True
Distribution=hd
Valeur=0
Langue=0
EOF
}

field() { sed -n "s/.* $1=\([^ ]*\).*/\1/p"; }

results=$work/results.tsv
: >"$results"
for i in "${!names[@]}"; do
    name=${names[$i]} root=${roots[$i]} cfg=$work/cfg-${names[$i]}
    configure "$root" "$cfg"
    # Reference: reading the key's files from the page cache.
    files=$(find "$root/data" "$root/robot" "$root/descripteurs" -type f 2>/dev/null || true)
    cat $files >/dev/null
    ref=$(for _ in $(seq "$repeat"); do t0=$(now_ns); cat $files >/dev/null; t1=$(now_ns); echo $(((t1 - t0) / 1000)); done | median)
    # One start-up left out, to bring the program's own libraries into the page cache.
    XDG_CONFIG_DIRS=$cfg/machine XDG_CONFIG_HOME=$cfg/user TARVENKO_MESURE=1 "$program" >/dev/null 2>&1
    : >"$work/startup-$name.txt"
    for _ in $(seq "$repeat"); do
        t0=$(now_ns)
        line=$(XDG_CONFIG_DIRS=$cfg/machine XDG_CONFIG_HOME=$cfg/user TARVENKO_MESURE=1 "$program" 2>/dev/null | grep '^tarvenko-mesure')
        t1=$(now_ns)
        echo "$line wall-ms=$(((t1 - t0) / 1000000))" >>"$work/startup-$name.txt"
    done
    grep -q "species=" "$work/startup-$name.txt" || { echo "no measurement for $name" >&2; exit 1; }
    m() { field "$1" <"$work/startup-$name.txt" | median; }
    printf '%s\tstartup\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$name" "$(m process-ms)" "$(m cpu-ms)" "$(m start-up-ms)" "$(m wall-ms)" \
        "$ref" "$(m rss-kb)" "$(m helpers-rss-kb)" "$(m helpers)" "$(m species)x$(m states)" >>"$results"

    # The window: answer cycle, engine refresh alone (its reference), discriminant search.
    TARVENKO_CLE=$root "$build/bench/window/tarvenko_window_bench" --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true --benchmark_format=json >"$work/window-$name.json" 2>/dev/null ||
        echo "tarvenko_window_bench ended badly on $name" >&2
    python3 - "$work/window-$name.json" "$name" >>"$results" <<'EOF'
import json, sys
d = json.load(open(sys.argv[1]))
med = {b["run_name"]: b for b in d["benchmarks"] if b.get("aggregate_name") == "median"}
def t(name, key):
    return f"{med[name][key]:.3f}" if name in med else "nan"
print("\t".join([sys.argv[2], "window", t("BM_AnswerCycleInWindow", "real_time"), t("BM_EngineRefreshOnly", "real_time"),
                 t("BM_DiscriminantSearchInWindow", "real_time"), t("BM_AnswerCycleInWindow", "cpu_time"),
                 t("BM_DiscriminantSearchInWindow", "cpu_time")]))
print("\t".join([sys.argv[2], "questions", t("BM_ShowQuestionList", "real_time"), t("BM_FilterQuestionList", "real_time"),
                 t("BM_AnswerFromQuestionList", "real_time"), t("BM_AnswerCycleInWindow", "real_time"),
                 f"{med['BM_ShowQuestionList'].get('questions', 0):.0f}" if "BM_ShowQuestionList" in med else "nan"]))
EOF
    # A screen of device pixel ratio 2: the drawing has four times the pixels.
    if [[ $name == bundled || $name == "${sizes##* }" ]]; then
        QT_SCALE_FACTOR=2 TARVENKO_CLE=$root "$build/bench/window/tarvenko_window_bench" --benchmark_repetitions=5 \
            --benchmark_filter='AnswerCycle|EngineRefresh' --benchmark_report_aggregates_only=true \
            --benchmark_format=json >"$work/window2-$name.json" 2>/dev/null || echo "ratio 2 ended badly on $name" >&2
        python3 - "$work/window2-$name.json" "$name" >>"$results" <<'EOF'
import json, sys
d = json.load(open(sys.argv[1]))
med = {b["run_name"]: b for b in d["benchmarks"] if b.get("aggregate_name") == "median"}
t = lambda n, k: f"{med[n][k]:.3f}" if n in med else "nan"
print("\t".join([sys.argv[2], "ratio2", t("BM_AnswerCycleInWindow", "real_time"), t("BM_AnswerCycleInWindow", "cpu_time"),
                 t("BM_EngineRefreshOnly", "real_time")]))
EOF
    fi
done

# The engine alone at 10,000 x 4,000: the refresh after 30 answers and the search with nothing
# answered, beside copying the 30 answered states' columns (the least any scoring reads).
if [[ -x $build/bench/engine/tarvenko_engine_bench ]]; then
    "$build/bench/engine/tarvenko_engine_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
        --benchmark_filter='^BM_(Rafraichissement|Reference_Colonnes|Recherche|Recherche_Num)/species:10000/states:4000/answers:(0|30)$' \
        --benchmark_format=json >"$work/engine.json" 2>/dev/null || echo "tarvenko_engine_bench ended badly" >&2
    python3 - "$work/engine.json" >>"$results" <<'EOF'
import json, sys
d = json.load(open(sys.argv[1]))
for b in d["benchmarks"]:
    if b.get("aggregate_name") != "median":
        continue
    t = b["real_time"] / (1e3 if b["time_unit"] == "ns" else 1 if b["time_unit"] == "us" else 1e-3)
    print(f"engine\tengine\t{b['run_name']}\t{t:.1f}")
EOF
fi

# The drawing: the synthetic one and the bundled key's, then the largest generated key's.
largest=0
for i in "${!names[@]}"; do
    [[ ${names[$i]} == "${sizes##* }" ]] && largest=$i
done
drawings=(0)
[[ $largest != 0 ]] && drawings+=("$largest")
for i in "${drawings[@]}"; do
    TARVENKO_CLE=${roots[$i]} "$build/bench/metafile/tarvenko_metafile_bench" --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true --benchmark_format=json >"$work/metafile-${names[$i]}.json" 2>/dev/null
    python3 - "$work/metafile-${names[$i]}.json" "${names[$i]}" "$i" >>"$results" <<'EOF'
import json, sys
d = json.load(open(sys.argv[1]))
for b in d["benchmarks"]:
    name = b["run_name"]
    if b.get("aggregate_name") != "median" or "OneLayer" in name or "Parse" in name:
        continue
    if sys.argv[3] != "0" and "KeyDrawing" not in name:
        continue
    if "KeyDrawing" in name:
        name += f" ({sys.argv[2]} key, {b.get('layers', 0):.0f} layers, {b.get('records', 0):.0f} records)"
    t = b["real_time"] / (1e6 if b["time_unit"] == "ns" else 1e3 if b["time_unit"] == "us" else 1)
    print(f"drawing\tmetafile\t{name}\t{t:.3f}")
EOF
done

table=$work/table.md
python3 - "$results" "$(uname -r)" "$(nproc)" "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)" \
    "$(date -u +%Y-%m-%d)" "$repeat" "$(cut -d' ' -f1-3 /proc/loadavg)" >"$table" <<'EOF'
import sys
rows = [l.rstrip("\n").split("\t") for l in open(sys.argv[1])]
kernel, cpus, cpu, day, repeat, load = sys.argv[2:8]
label = lambda name: {"bundled": "bundled", "vide": "DELTA vide", "sdd1000x300": "SDD 1000 × 300"}.get(name, name.replace("x", " × "))
print(f"Measured {day} on {cpu}, {cpus} cores, Linux {kernel}, load average at the end {load}; medians of {repeat} "
      "start-ups and of 5 benchmark repetitions.\n")
print("| key (species × states) | start-up from process start | goal | processor time | "
      "reference: `cat` of the key's files (ratio) | from main | wall, with exit | resident (goal) | browser helpers |")
print("|---|---|---|---|---|---|---|---|---|")
goals = []  # (goal, figure, met)
for r in rows:
    if r[1] != "startup":
        continue
    name, proc, cpu, main, wall, ref_us, rss, hrss, helpers, size = r[0], *map(float, r[2:10]), r[10]
    goal = 100 if name == "bundled" else 200 if size == "10000x4000" else None
    mem = 150 if name == "bundled" else 300 if size == "10000x4000" else None
    what = f"bundled ({size.replace('x', ' × ')})" if name == "bundled" else label(name) + ("" if name[0].isdigit() else f" ({size.replace('x', ' × ')})")
    print(f"| {what} | {proc:.0f} ms | {f'< {goal} ms' if goal else ''} | {cpu:.0f} ms | {ref_us / 1000:.1f} ms (× {proc / max(ref_us / 1000, 0.001):.0f}) | "
          f"{main:.0f} ms | {wall:.0f} ms | {rss / 1024:.0f} MB{f' (< {mem})' if mem else ''} | {hrss / 1024:.0f} MB in {helpers:.0f} |")
    if goal:
        goals.append((f"1. start-up, {label(name)}, from process start", f"< {goal} ms", f"{proc:.0f} ms ({cpu:.0f} ms processor)", proc < goal))
print()
print("| key | answer cycle in the window (goal < 16 ms) | its processor time | reference: engine refresh alone (ratio) | "
      "discriminant search in the window, nothing answered (goal < 5 ms) | its processor time |")
print("|---|---|---|---|---|---|")
for r in rows:
    if r[1] != "window":
        continue
    cycle, refresh, search, cycle_cpu, search_cpu = map(float, r[2:7])
    print(f"| {label(r[0])} | {cycle:.2f} ms | {cycle_cpu:.2f} ms | {refresh:.2f} ms (× {cycle / refresh:.0f}) | "
          f"{search:.2f} ms | {search_cpu:.2f} ms |")
    if r[0] == "10000x4000":
        goals.append(("2. discriminant search in the window, 10,000 × 4,000, every species leading", "< 5 ms", f"{search:.2f} ms", search < 5))
    if r[0] in ("vide", "sdd1000x300"):
        goals.append((f"5. answer cycle, {label(r[0])}", "< 16 ms", f"{cycle:.2f} ms", cycle < 16))
        goals.append((f"5. discriminant search in the window, {label(r[0])}", "< 5 ms", f"{search:.2f} ms", search < 5))
print()
print("Keys without a drawing (the imported ones) answer the question Search proposes, then start a new "
      "identification outside the timing; their cycle includes the search.\n")
ratio2 = [r for r in rows if r[1] == "ratio2"]
if ratio2:
    print("| key, device pixel ratio 2 | answer cycle in the window (goal < 16 ms) | its processor time | engine refresh alone |")
    print("|---|---|---|---|")
    for r in ratio2:
        cycle, cpu, refresh = map(float, r[2:5])
        print(f"| {label(r[0])} | {cycle:.2f} ms | {cpu:.2f} ms | {refresh:.2f} ms |")
        goals.append((f"4. answer cycle at ratio 2, {label(r[0])}", "< 16 ms", f"{cycle:.2f} ms", cycle < 16))
    print()
print("| key | question list shown (goal < 16 ms) | one keystroke in its search box (goal < 16 ms) | "
      "answer from the list (goal < 16 ms) | reference: answer cycle from the drawing's bar |")
print("|---|---|---|---|---|")
for r in rows:
    if r[1] != "questions" or r[0] in ("vide", "sdd1000x300"):
        continue
    show, filt, answer, cycle = map(float, r[2:6])
    print(f"| {label(r[0])} ({r[6]} questions) | {show:.2f} ms | {filt:.2f} ms | {answer:.2f} ms | {cycle:.2f} ms |")
print()
engine = {r[2]: float(r[3]) for r in rows if r[1] == "engine"}
if engine:
    print("| the engine alone, 10,000 × 4,000 | median |")
    print("|---|---|")
    for name, us in engine.items():
        print(f"| {name} | {us:.1f} µs |")
    print()
    refresh = engine.get("BM_Rafraichissement/species:10000/states:4000/answers:30")
    ref = engine.get("BM_Reference_Colonnes/species:10000/states:4000/answers:30")
    if refresh is not None:
        goals.append(("3. engine refresh after 30 answers, 10,000 × 4,000", "< 500 µs",
                      f"{refresh:.0f} µs" + (f" (reference {ref:.0f} µs)" if ref else ""), refresh < 500))
print("| drawing repaint at 1920 × 1080 (goal < 8 ms) | median |")
print("|---|---|")
for r in rows:
    if r[1] == "metafile":
        t = float(r[3])
        print(f"| {r[2]} | {t:.2f} ms |")
        # Clearing the image and Qt's raster engine alone (smooth:2) are references, not goals.
        if "ClearOnly" not in r[2] and "10000x4000 key" not in r[2] and "smooth:2" not in r[2] and "LayersQt" not in r[2]:
            goals.append((f"4. drawing, {r[2]}", "< 8 ms", f"{t:.2f} ms", t < 8))
print()
print("| goal | target | measured | met |")
print("|---|---|---|---|")
for goal, target, figure, met in sorted(goals, key=lambda g: g[0][:2]):
    print(f"| {goal} | {target} | {figure} | {'yes' if met else '**no**'} |")
EOF
cat "$table"

doc=$here/docs/performance.md
if [[ -z ${NO_DOC:-} && -f $doc ]] && grep -q '<!-- figures:begin -->' "$doc"; then
    python3 - "$doc" "$table" <<'EOF'
import sys
doc, table = sys.argv[1], open(sys.argv[2]).read()
text = open(doc).read()
a, b = text.index("<!-- figures:begin -->"), text.index("<!-- figures:end -->")
open(doc, "w").write(text[:a] + "<!-- figures:begin -->\n" + table + text[b:])
EOF
    echo "table written into $doc" >&2
fi
