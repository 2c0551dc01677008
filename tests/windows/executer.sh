#!/bin/sh
# Runs the Windows test programs under Wine, each build laid out as a host installs
# it: the three DLLs copied beside the executables, in a directory of their own.
# Usage: executer.sh WIN_BUILD ARCH...   (i686 needs 32-bit Wine, else it is skipped)
set -e
racine="$1"
shift
WINEPREFIX="$(cd "$racine" && pwd)/wine-prefix"
WINEDEBUG=-all
# No .NET nor HTML engine to offer: the prefix is for console programs.
WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
command -v wine >/dev/null 2>&1 || { echo "wine is not installed"; exit 1; }
# A prefix made before 32-bit Wine was installed (or by another Wine) no longer starts
# 64-bit programs ("could not load kernel32.dll"): it is made again.
# (An assignment takes the status of its last substitution: without 32-bit Wine that one fails.)
empreinte="$(wine --version 2>/dev/null) $(dpkg -s wine32:i386 >/dev/null 2>&1 && echo wine32 || true)"
if [ -f "$WINEPREFIX/system.reg" ] && [ "$(cat "$WINEPREFIX/kpx-wine" 2>/dev/null)" != "$empreinte" ]; then
  rm -rf "$WINEPREFIX"
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  echo "$empreinte" >"$WINEPREFIX/kpx-wine"
fi

reussis=0
echoues=0
programmes_echoues=""
for arch in "$@"; do
  if [ "$arch" = "i686" ] && ! dpkg -s wine32:i386 >/dev/null 2>&1; then
    echo "== i686: skipped, 32-bit Wine (wine32:i386) is not installed"
    continue
  fi
  hote="$racine/$arch/hote"
  rm -rf "$hote"
  mkdir -p "$hote"
  for f in KPXW32.dll dlnw32.dll bfhw32.dll kpx_plateforme_tests.exe kpx_component_tests.exe kpx_boundary_tests.exe; do
    cp "$racine/$arch/bin/$f" "$hote/"
  done
  for t in kpx_plateforme_tests kpx_component_tests kpx_boundary_tests; do
    echo "== $arch $t"
    journal="$hote/$t.log"
    if wine "$hote/$t.exe" >"$journal" 2>&1; then statut=0; else statut=$?; fi
    grep -E '^\[ +(FAILED|SKIPPED) +\]|^\[  PASSED  \]|: Failure$' "$journal" || true
    n=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\..*/\1/p' "$journal" | tail -1)
    f=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\{0,1\}, listed below:.*/\1/p' "$journal" | tail -1)
    reussis=$((reussis + ${n:-0}))
    echoues=$((echoues + ${f:-0}))
    if [ "$statut" -ne 0 ]; then
      programmes_echoues="$programmes_echoues $arch/$t"
      # A program that stopped before its summary counts as one failure at least.
      [ -n "$f" ] || { echoues=$((echoues + 1)); tail -20 "$journal"; }
    fi
  done
done
# wineserver lingers a few seconds after the last program; this prefix is ours.
wineserver -k >/dev/null 2>&1 || true
[ -z "$programmes_echoues" ] || echo "Failed under Wine:$programmes_echoues"
echo "windows: $reussis passed, $echoues failed"
[ -z "$programmes_echoues" ]
