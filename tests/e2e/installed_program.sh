#!/usr/bin/env bash
# The installed program folder: cmake --install into a fresh prefix, then the
# folder moved elsewhere (it must run wherever it is copied), its files
# checked, its libraries resolved inside it, and the programs started.
set -euo pipefail
build="$1"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$tmp/installed" >/dev/null
mv "$tmp/installed" "$tmp/moved"
prefix="$tmp/moved"

for f in bin/Dyma2 bin/repository/NPFA.EXE bin/help/1000.html bin/help/4060.html bin/help/styl.css \
         bin/readme.txt bin/historia.txt bin/Dyma2.png bin/Dyma2.ico \
         lib/libkelsig2.so lib/liblgsig2.so lib/libquactl2006.so; do
  [ -e "$prefix/$f" ] || fail "missing $f"
done
# What the build makes besides the window program goes along.
[ ! -e "$build/bin/dyma" ] || [ -x "$prefix/bin/dyma" ] || fail "missing bin/dyma"
[ ! -e "$build/bin/example/tremor.dym" ] || [ -e "$prefix/bin/example/tremor.dym" ] || fail "missing the example"

# Every library of the project is found inside the folder, through the
# relative run path, whatever the current directory.
cd /
for binary in "$prefix"/bin/Dyma2 "$prefix"/bin/dyma "$prefix"/bin/repository/NPFA.EXE "$prefix"/lib/*.so; do
  [ -e "$binary" ] || continue
  deps="$(ldd "$binary" 2>&1 || true)"
  # A statically linked program (the solver) has nothing to find.
  if grep -q "not a dynamic executable" <<<"$deps"; then continue; fi
  if grep -q "not found" <<<"$deps"; then fail "$binary: $(grep 'not found' <<<"$deps")"; fi
  while read -r lib _ path _; do
    case "$lib" in
      libkelsig2*|liblgsig2*|libquactl2006*)
        [ "$(realpath -m "$(dirname "$path")")" = "$(realpath "$prefix/lib")" ] || fail "$binary takes $lib from $path" ;;
    esac
  done <<<"$deps"
done

export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/home/.config" XDG_DATA_HOME="$tmp/home/.local/share"
mkdir -p "$HOME"

# The command-line tool solves the installed example with the installed solver.
if [ -x "$prefix/bin/dyma" ] && [ -e "$prefix/bin/example/tremor.dym" ]; then
  cp -r "$prefix/bin/example" "$tmp/example"
  "$prefix/bin/dyma" solve "$tmp/example/tremor.dym" >"$tmp/solve.txt" || fail "dyma solve: $(cat "$tmp/solve.txt")"
  grep -q "WYNIK PRZETWARZANIA:" "$tmp/solve.txt" || fail "dyma solve printed no report"
fi

# The window program starts and keeps running; its program folder is
# writable, so its default directories are made beside it.
set +e
QT_QPA_PLATFORM=offscreen timeout 6 "$prefix/bin/Dyma2" >"$tmp/dyma2.txt" 2>&1
status=$?
set -e
[ "$status" -eq 124 ] || fail "Dyma2 ended with status $status: $(cat "$tmp/dyma2.txt")"
for d in Temp Sejsmogramy Roboczy; do
  [ -d "$prefix/bin/$d" ] || fail "Dyma2 made no $d beside the program"
done
echo "installed program folder: ok"
