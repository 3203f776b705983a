#!/usr/bin/env bash
# Plants known faults into a copy of the sources, one at a time, and runs the whole
# suite against each: a fault the suite lets through is a case nobody tests. Nothing of
# the working tree is touched; everything happens in a scratch copy below the output
# folder, built with -j2.
#
#   tools/plant_faults.sh                        sources and tests of HEAD
#   tools/plant_faults.sh --src 8052b57          the program of 8052b57 with the tests of HEAD
#   tools/plant_faults.sh --tests 8052b57 --src 8052b57
#   tools/plant_faults.sh --only 'F03 F11'       some faults only
#   tools/plant_faults.sh --out build-faults     the scratch folder (default build-faults)
#   tools/plant_faults.sh --check                only whether each fault still finds its spot
#
# A revision of "." takes the files as they are in the working tree, uncommitted changes
# included. The summary goes to <out>/summary.md, each fault's ctest output and failed
# test cases to <out>/results/<id>.*.
#
# Each fault is one slip at one spot. Its description is what counts: when the code
# moves, the text it replaces (OLD) is updated so that the same slip is planted again.
# A fault whose OLD text is not found exactly once is reported "not planted".
set -uo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"

src_rev=HEAD
tests_rev=HEAD
out=build-faults
only=""
check=0
while (($#)); do
    case "$1" in
    --src) src_rev="$2"; shift 2 ;;
    --tests) tests_rev="$2"; shift 2 ;;
    --out) out="$2"; shift 2 ;;
    --only) only="$2"; shift 2 ;;
    --check) check=1; shift ;;
    *) echo "plant_faults.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done
mkdir -p "$out"
out="$(cd "$out" && pwd)"

# ---- The faults ---------------------------------------------------------------------------
# id | area | file | description | OLD | NEW
ids=() areas=() files=() descs=() olds=() news=()
fault() { ids+=("$1"); areas+=("$2"); files+=("$3"); descs+=("$4"); olds+=("$5"); news+=("$6"); }

fault F01 store src/store/files.cpp \
    "The durable write writes straight into the file instead of a temporary beside it, then renames it over itself: a save that fails half-way leaves neither the old text nor the new one." \
    'const QString tmp = temporaryNameFor(target);' \
    'const QString tmp = target;'
fault F02 store src/store/names.cpp \
    "The case-blind name comparison folds only ASCII letters: «MIÉRCOLES» no longer finds «miércoles», «Ñ» no longer «ñ»." \
    'return QChar::toCaseFolded(c);' \
    'return c;'
fault F03 calendar src/calendar/calendar.cpp \
    "The leap-year rule forgets the 400-year exception: 2000 and 2400 get a February of 28 days." \
    'return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;' \
    'return year % 4 == 0 && year % 100 != 0;'
fault F04 calendar src/calendar/calendar.h \
    "The month grid hides one button too few before the first day: the button just before day 1 stays on show." \
    'return button >= FirstDayColumn && button' \
    'return button + 1 >= FirstDayColumn && button'
fault F05 records src/records/form1_dayrecords.cpp \
    "The G button saves a holiday or reminder text without the CR LF that ends every day file." \
    'SaveBoxFile(f, text, records::kDayFileEnding, what, Text9[Index])' \
    'SaveBoxFile(f, text, QString(), what, Text9[Index])'
fault F06 records src/records/records.cpp \
    "The week starts a day late: the week panel shows Tuesday to Monday under the weekday labels." \
    'dates[i] = selected.addDays(i - column);' \
    'dates[i] = selected.addDays(i - column + 1);'
fault F07 records src/records/form1_diary.cpp \
    "A page save that succeeds no longer tries again the texts held after failed saves (they wait for the exit)." \
    '    RetryUnsavedPages();
    return PageSave::Written;' \
    '    return PageSave::Written;'
fault F08 addresses src/addresses/cards.cpp \
    "A card file ends its field lines with LF alone instead of CR LF." \
    'text += field + kCrLf;' \
    'text += field + QLatin1Char('"'"'\n'"'"');'
fault F09 addresses src/addresses/cards.cpp \
    "A card saved in its own group is no longer copied into the all-cards group «Todos»." \
    'plan.intoAll = groupStored.isEmpty() || groupStored != allStored;' \
    'plan.intoAll = groupStored.isEmpty();'
fault F10 notes src/notes/form1_notes.cpp \
    "The next-free-minute rule loses its name comparison: while the note in the editor is unchanged on disk, a note is saved over whatever note holds the minute." \
    'if (name == loaded.name && loaded.folder == folder && FileUnchanged(loaded)) return name;' \
    'if (loaded.folder == folder && FileUnchanged(loaded)) return name;'
fault F11 search src/search/matching.cpp \
    "The search's accent fold starts the e range two places late: «é» and «è» no longer equal «e»." \
    'if (l >= 0xE8 && l <= 0xEB)' \
    'if (l >= 0xEA && l <= 0xEB)'
fault F12 search src/search/searcher.cpp \
    "The search's order compares the moments the wrong way round: oldest first." \
    'if (a.key != b.key) return a.key > b.key;' \
    'if (a.key != b.key) return a.key < b.key;'
fault F13 window src/notes/form1_notes.cpp \
    "The note editor no longer saves when it is left (its focus-out is not connected to its save)." \
    'connect(Text6, &TextBox::lostFocus, this, [this] { Text6_LostFocus(); });' \
    ''
fault F14 window src/app/form1.cpp \
    "The exit no longer waits while a save failed as the focus left a box for the exit button: it leaves at once." \
    'if (saved && !pendingFailure && waiting.isEmpty()) {' \
    'if (saved && waiting.isEmpty()) {'
fault F15 boxes src/app/boundbox.cpp \
    "A holiday or reminder typed without its G is dropped when another day is shown, instead of waiting with its day." \
    'registry_.hold(kind_, target, file, text());' \
    'registry_.release(file);'
fault F16 boxes src/app/form1.cpp \
    "The exit no longer waits for the texts that wait for their button (a holiday, a reminder, a card typed or given back after a crash): they are gone." \
    'if (saved && !pendingFailure && waiting.isEmpty()) {' \
    'if (saved && !pendingFailure) {'
fault F17 boxes src/app/boundbox.cpp \
    "A box filled for a file shows the file, not the newer text that waits for it." \
    'if (const BoxRegistry::Waiting* w = registry_.waiting(f)) {' \
    'if (const BoxRegistry::Waiting* w = nullptr) {'
fault F18 boxes src/app/boundbox.cpp \
    "A box follows another program's change even while it holds a text not saved: the text typed is replaced." \
    'if (unsaved() || !changedOnDisk()) return false;' \
    'if (!changedOnDisk()) return false;'
fault F19 boxes src/app/boundbox.cpp \
    "A card or note whose save failed, or that came back after a crash, no longer counts as unsaved once nothing more is typed." \
    '    if (held) return true;' \
    '    if (held && typed()) return true;'
fault F20 addresses src/addresses/cards.cpp \
    "A new card replaces another person's card of the same surname." \
    'return !r.ok || r.bytes != bytes;' \
    'return false;'
fault F21 records src/records/form1_diary.cpp \
    "A diary text given back after a crash goes beside its page when that page was deleted meanwhile, instead of into it." \
    'if (FileUnchanged(f, &now) || !now.exists) {' \
    'if (FileUnchanged(f, &now)) {'

# ---- The scratch copy -----------------------------------------------------------------------
tree="$out/tree"
build="$out/build"
stage="$out/stage"
mkdir -p "$tree" "$out/results"

export_rev() { # rev paths... -> into $stage
    local rev="$1"
    shift
    if [[ "$rev" == "." ]]; then
        git ls-files -z -- "$@" | tar --null -T - -cf - | tar -xf - -C "$stage"
    else
        git archive "$rev" -- "$@" | tar -xf - -C "$stage"
    fi
}

rm -rf "$stage"
mkdir -p "$stage"
export_rev "$src_rev" . || { echo "plant_faults.sh: cannot export $src_rev" >&2; exit 2; }
rm -rf "$stage/tests"
export_rev "$tests_rev" tests || { echo "plant_faults.sh: cannot export tests of $tests_rev" >&2; exit 2; }
# Only files that differ are copied, so that the build stays incremental between runs.
(cd "$stage" && find . -type f) | while read -r f; do
    if ! cmp -s "$stage/$f" "$tree/$f"; then
        mkdir -p "$(dirname "$tree/$f")"
        cp "$stage/$f" "$tree/$f"
    fi
done
(cd "$tree" && find . -type f) | while read -r f; do
    [[ -e "$stage/$f" ]] || rm -f "$tree/$f"
done
rm -rf "$stage"

count_spots() { # index -> how often its OLD text occurs in the scratch copy
    OLD="${olds[$1]}" perl -0777 -ne 'my $n = () = /\Q$ENV{OLD}\E/g; print $n' "$tree/${files[$1]}"
}
if ((check)); then
    status=0
    for i in "${!ids[@]}"; do
        n=$(count_spots "$i")
        [[ "$n" == 1 ]] && echo "${ids[$i]}: found" || { echo "${ids[$i]}: found $n times in ${files[$i]}"; status=1; }
    done
    exit $status
fi

build_tree() {
    cmake --build "$build" -j2 >"$1" 2>&1
}
run_suite() { # name
    local name="$1" xml="$out/results/$1.xml"
    rm -rf "$xml"
    mkdir -p "$xml"
    # Each gtest binary writes its cases to the folder: the failed cases by name.
    GTEST_OUTPUT="xml:$xml/" ctest --test-dir "$build" -j2 --timeout 900 --output-on-failure \
        >"$out/results/$name.ctest.log" 2>&1
    local failed_entries failed_cases
    failed_entries=$(sed -n '/The following tests FAILED/,$p' "$out/results/$name.ctest.log" |
        sed -nE 's/^[[:space:]]*[0-9]+ - ([^ ]+) \(.*/\1/p' | sort -u | tr '\n' ' ')
    failed_cases=$(python3 - "$xml" <<'EOF'
import sys, pathlib, xml.etree.ElementTree as ET
names = []
for f in sorted(pathlib.Path(sys.argv[1]).glob("*.xml")):
    try:
        root = ET.parse(f)
    except ET.ParseError:
        continue
    for case in root.iter("testcase"):
        if case.find("failure") is not None:
            names.append(f"{case.get('classname')}.{case.get('name')}")
print(" ".join(names))
EOF
)
    echo "$failed_entries" >"$out/results/$name.entries"
    echo "$failed_cases" >"$out/results/$name.cases"
}

echo "plant_faults.sh: program $src_rev, tests $tests_rev, in $out"
if [[ ! -f "$build/build.ninja" ]]; then
    cmake -S "$tree" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUELORA_TESTS=ON \
        >"$out/results/configure.log" 2>&1 || { echo "configure failed: $out/results/configure.log"; exit 1; }
fi
build_tree "$out/results/base.build.log" || { echo "the unplanted tree does not build: $out/results/base.build.log"; exit 1; }

# The suite without a fault first: what fails here fails for another reason.
start=$(date +%s)
run_suite base
base_seconds=$(($(date +%s) - start))
base_failed=$(cat "$out/results/base.entries")
echo "without a fault: ${base_failed:-all pass} (${base_seconds} s)"

summary="$out/summary.md"
{
    echo "Program: $src_rev ($(git rev-parse --short "$([[ $src_rev == . ]] && echo HEAD || echo "$src_rev")")), tests: $tests_rev ($(git rev-parse --short "$([[ $tests_rev == . ]] && echo HEAD || echo "$tests_rev")"))."
    echo "Without a fault: ${base_failed:-every test passes} in ${base_seconds} s."
    echo
    echo "| fault | area | killed | by ctest entries | by test cases |"
    echo "|---|---|---|---|---|"
} >"$summary"

killed=0 planted=0
for i in "${!ids[@]}"; do
    id="${ids[$i]}"
    [[ -n "$only" && " $only " != *" $id "* ]] && continue
    file="$tree/${files[$i]}"
    backup="$out/results/$id.orig"
    cp "$file" "$backup"
    if ! OLD="${olds[$i]}" NEW="${news[$i]}" perl -0777 -i -pe \
        'my $n = () = /\Q$ENV{OLD}\E/g; die "found $n times\n" if $n != 1; s/\Q$ENV{OLD}\E/$ENV{NEW}/' "$file" \
        2>"$out/results/$id.plant.log"; then
        cp "$backup" "$file"
        echo "$id: not planted ($(cat "$out/results/$id.plant.log")): update its OLD text in tools/plant_faults.sh"
        echo "| $id ${descs[$i]} | ${areas[$i]} | not planted | | |" >>"$summary"
        continue
    fi
    planted=$((planted + 1))
    if ! build_tree "$out/results/$id.build.log"; then
        verdict="does not compile"
        entries="" cases=""
    else
        run_suite "$id"
        entries=$(cat "$out/results/$id.entries")
        cases=$(cat "$out/results/$id.cases")
        # Entries that fail without the fault too say nothing about it.
        for b in $base_failed; do entries=$(echo " $entries " | sed "s/ $b / /g"); done
        entries=$(echo $entries)
        if [[ -n "$entries" ]]; then
            verdict=killed
            killed=$((killed + 1))
        else
            verdict=SURVIVED
        fi
    fi
    echo "$id: $verdict ${entries:+($entries)}"
    echo "| $id ${descs[$i]} | ${areas[$i]} | $verdict | $entries | $cases |" >>"$summary"
    cp "$backup" "$file"
    touch "$file"
done
{
    echo
    echo "Killed: $killed of $planted planted."
} >>"$summary"
build_tree "$out/results/restore.build.log" || true
echo "killed $killed of $planted planted; summary in $summary"
