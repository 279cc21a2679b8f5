#!/usr/bin/env bash
# Runs every test: installs what is missing, then builds and tests each preset, and ends with
# what passed, failed and was skipped in each (a skipped test says why in its output).
#   scripts/test.sh                  every preset (release: the packages installed as users do),
#                                    then the fuzz targets for a few seconds
#   scripts/test.sh default asan     only these presets ("fuzz" is one too)
#   scripts/test.sh dev              the quick loop: no benchmarks, no Firebird 4 root
# It installs only what the presets asked for need (scripts/bootstrap.sh GROUP...).
# Extra ctest arguments go in CTEST_ARGS, e.g. CTEST_ARGS="-R server" scripts/test.sh default
# The 32-bit Windows tests (mingw-i686) run natively where the kernel starts 32-bit programs,
# else emulated by qemu-i386 (scripts/emulate_i386.sh); ARDUDF_I686=emulated takes the
# emulated path on any machine, ARDUDF_I686=native never takes it.
# The engines got from outside the tree (scripts/engines.txt: the Firebird 5 tree, from
# ARDUDF_FB5_ROOT or the tarball in ../shared/firebird; the Firebird 2.5 kit there, in the
# mingw-i686 preset): the summary names the one each ran with, or says there was none.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(default asan tsan mingw-i686 mingw-x64 release fuzz)

# The bootstrap groups each preset needs. Every preset fails its configure without the UDR
# headers (firebird); the Firebird 4 root (fb4) is built by the presets that run the
# server tests in Firebird 4; default's road from Firebird 2.5 builds the 32-bit DLL and
# runs Wine (windows).
groups_of() {
  case "$1" in
    dev | asan | tsan) echo build firebird ;;
    default) echo build bench firebird fb4 windows ;;
    coverage) echo build firebird fb4 fuzz ;;
    fuzz) echo build firebird fuzz ;;
    mingw-i686 | mingw-x64) echo build firebird windows ;;
    release) echo build firebird fb4 windows release ;;
    *) echo build bench firebird fb4 windows fuzz release ;;
  esac
}
groups=()
for preset in "${presets[@]}"; do
  for g in $(groups_of "$preset"); do
    [[ " ${groups[*]} " == *" $g "* ]] || groups+=("$g")
  done
done
scripts/bootstrap.sh "${groups[@]}" || exit 1
read -r -a ctest_args <<<"${CTEST_ARGS:-}"

summary=()
failed=0
total_passed=0 total_failed=0 total_skipped=0
# Counts of one preset's run from ctest's JUnit report.
count() { tr '\n\t' '  ' <"$1" | grep -o '<testsuite [^>]*' | grep -o " $2=\"[0-9]*\"" | grep -o '[0-9]*'; }

for preset in "${presets[@]}"; do
  echo "== preset $preset"
  configure=()
  # Each fuzz target for a few seconds (scripts/fuzz.sh runs them longer).
  [ "$preset" = fuzz ] && configure=(-DARDUDF_FUZZ_SECONDS=3 -DARDUDF_FUZZ_BALANCE_SECONDS=20)
  junit=build/$preset/ctest-junit.xml
  rm -f "$junit" build/fuzz/tests/fuzz/runs/*/summary
  if ! cmake --preset "$preset" "${configure[@]}" >/dev/null || ! cmake --build "build/$preset"; then
    summary+=("$(printf '%-12s build failed' "$preset")")
    failed=1
    continue
  fi
  # How the 32-bit Wine runs: natively, emulated, or (neither possible) skipped with the reason.
  run=() how=""
  if [ "$preset" = mingw-i686 ]; then
    native=1
    /usr/lib/wine/wine --version >/dev/null 2>&1 || native=0
    if [ "${ARDUDF_I686:-}" = emulated ] || { [ $native -eq 0 ] && [ "${ARDUDF_I686:-}" != native ]; }; then
      if why=$(scripts/emulate_i386.sh --check); then
        run=(scripts/emulate_i386.sh) how="emulated ($(qemu-i386-static --version | head -1 | cut -d' ' -f1-3))"
      elif [ "${ARDUDF_I686:-}" = emulated ]; then
        summary+=("$(printf '%-12s ARDUDF_I686=emulated, but %s' "$preset" "$why")")
        failed=1
        continue
      else
        how="native, which this kernel refuses; no emulation either: $why"
      fi
    else
      how=native
    fi
    echo "== 32-bit Windows programs: $how"
  fi
  "${run[@]}" ctest --preset "$preset" -j2 --output-junit "$(pwd)/$junit" "${ctest_args[@]}" || failed=1
  [ "$preset" = fuzz ] && cat build/fuzz/tests/fuzz/runs/*/summary 2>/dev/null
  if [ ! -f "$junit" ]; then
    summary+=("$(printf '%-12s no test report' "$preset")")
    failed=1
    continue
  fi
  tests=$(count "$junit" tests) f=$(count "$junit" failures) s=$(count "$junit" skipped)
  p=$((tests - f - s))
  total_passed=$((total_passed + p)) total_failed=$((total_failed + f)) total_skipped=$((total_skipped + s))
  line=$(printf '%-12s %4d passed, %d failed, %d skipped' "$preset" "$p" "$f" "$s")
  [ -n "$how" ] && line+=" (32-bit Wine: $how)"
  # Which of the engines got from outside the tree (scripts/engines.txt: a tree, a kit) the
  # runs had, or that they had none (server.NAME is skipped and says why).
  while read -r name major what; do
    if got=$(grep -o "Firebird $major $what: [0-9.]* in [^ <]*" "$junit" | head -1) && [ -n "$got" ]; then
      line+=" (${got/ $what:/:})"
    elif grep -q "<testcase name=\"server\\.$name\\.$what\"" "$junit"; then
      line+=" (Firebird $major: the $what given does not run, see server.$name.$what)"
    elif grep -q "<testcase name=\"server\\.$name\"" "$junit"; then
      line+=" (Firebird $major: not run, no $what)"
    fi
  done < <(awk '!/^#/ && ($3 == "tarball" || $3 == "wine-kit") {
      v = $2; sub(/\.[0-9]+$/, "", v); sub(/\.0$/, "", v); print $1, v, ($3 == "tarball" ? "tree" : "kit") }' scripts/engines.txt)
  if [ "$s" -gt 0 ]; then
    line+=": $(grep -o '<testcase name="[^"]*"[^>]*status="notrun"' "$junit" | cut -d'"' -f2 | tr '\n' ' ')"
    line+=$(grep -o 'SKIPPED: [^<]*' "$junit" | sort -u | sed 's/^/\n             /')
  fi
  # The runs in real engines, servers and loaders, by name: which engines were proven.
  engines=$(grep -o '<testcase name="\(server\|tcp\|engine\|windows\|release\)\.[^"]*"[^>]*status="[a-z]*"' "$junit" |
    sed 's/<testcase name="\([^"]*\)".*status="\([a-z]*\)"/\1 \2/; s/ run$/ passed/; s/ notrun$/ skipped/; s/ fail$/ FAILED/' |
    sort | paste -sd, - | sed 's/,/, /g' | fold -s -w 92 | sed 's/^/             /')
  [ -n "${engines// /}" ] && line+=$'\n'"$engines"
  summary+=("$line")
done

echo
echo "== summary"
printf '%s\n' "${summary[@]}"
echo "total: $total_passed passed, $total_failed failed, $total_skipped skipped"
exit $failed
