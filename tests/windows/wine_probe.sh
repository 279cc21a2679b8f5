# shellcheck shell=sh
# A library, sourced by the Wine test scripts:
#   wine_probe   the loader of the test's architecture (WINELOADER) must start; where the
#                kernel runs no program of that kind (no 32-bit support), the test is
#                skipped (exit 77) and says why. Any other failure of the loader fails it.
wine_probe() {
  wine_probe_out=$("$WINELOADER" --version 2>&1) || {
    case $wine_probe_out in
      *"Exec format error"*)
        echo "SKIPPED: this kernel cannot start $WINELOADER (Exec format error: no programs of its architecture)" >&2
        exit 77 ;;
    esac
    echo "$WINELOADER does not start: $wine_probe_out" >&2
    exit 1
  }
}
