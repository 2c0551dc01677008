#!/bin/sh
# A short tour of kpx over the bundled sample référentiel: ./tools/demo.sh [BUILD_DIR]
# Every step is a kpx command as a user would type it; it ends with the complete
# control of a clean invoice and of one that breaks a rule.
BUILD=${1:-build}
KPX="$BUILD/bin/kpx"
FACTURES=data/factures
[ -x "$KPX" ] || { echo "demo: $KPX not built (run make build)" >&2; exit 1; }
[ -d "$FACTURES" ] || { echo "demo: run from the top of the source tree" >&2; exit 1; }

etape() {
    printf '\n$ kpx %s\n' "$*"
    "$KPX" "$@" 2>&1
}

set -e
etape version
etape search cote --date 20240101

# AHQP001 across its price change of 2024-01-01: activities, label, unit price
# (activity 1, phase 0, PS context 1, beneficiary context 1).
for date in 20231231 20240101; do
    etape consult CCAM_2 AHQP001 --date "$date"
    etape consult CCAM_7 AHQP001 --date "$date"
    etape consult CCAM_37 AHQP001 1 0 1 1 --date "$date"
done

# MZQK002 ended on 2022-12-31: the library refuses a later date, and says why.
set +e
etape consult CCAM_7 MZQK002 --date 20230101
statut=$?
set -e
if [ "$statut" -eq 0 ]; then
    echo "demo: expected a refusal" >&2
    exit 1
fi
printf '\n(exit status %s, as expected)\n' "$statut"

# A control identifier: a grouping code is no prestation a doctor may code.
etape check C_Ccam 01 C --date 20240101
set +e
etape check C_Ccam 01 ADC --date 20240101
set -e

# A general practitioner's consultation with an ECG: nothing to report.
etape control "$FACTURES/consultation-ecg.json"
# Two incompatible acts on one day: the violations, each line's forcing indicator.
set +e
etape control "$FACTURES/actes-incompatibles.json"
statut=$?
set -e
if [ "$statut" -ne 1 ]; then
    echo "demo: expected violations (status 1)" >&2
    exit 1
fi
printf '\n(exit status %s: violations reported)\n' "$statut"
