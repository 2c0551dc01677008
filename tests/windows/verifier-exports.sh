#!/bin/sh
# Checks a Windows build as a host would find it: KPXW32.dll exports exactly the 24
# entries under their undecorated names; on i686 each of them is a __stdcall function
# (its symbol carries the size of its arguments); the three DLLs need no DLL of the
# compiler beside them. Usage: verifier-exports.sh BUILD_DIR ARCH
set -e
repertoire="$1/bin"
arch="$2"
objdump="$arch-w64-mingw32-objdump"
nm="$arch-w64-mingw32-nm"
# The 24 exports, each with its argument bytes under __stdcall (4 per argument, pointers and integers alike).
octets="KPX_AllouerZoneMem@8 KPX_AnnulerModification@12 KPX_AnnulerModification_S@8 KPX_AppliquerRegle@20
KPX_AppliquerRegle_S@8 KPX_ConsulterDonnee@24 KPX_ConsulterDonnee_S@12 KPX_ControleComplet@16
KPX_ControleComplet_S@4 KPX_ControlerDonnees@20 KPX_ControlerDonnees_S@16 KPX_InitLIB2@4 KPX_InitTrace@16
KPX_LibererZoneMem@4 KPX_LireVersion@8 KPX_LireVersion_S@4 KPX_ModifierDonnee@16 KPX_ModifierDonnee_S@12
KPX_RechercherParFiltre@12 KPX_RechercherParFiltre_S@8 KPX_RechercherParMotCle@16 KPX_RechercherParMotCle_S@12
KPX_SauvegarderReferentiel@4 KPX_TermLIB@0"
echecs=0
echec() { echo "FAILED: $*"; echecs=$((echecs + 1)); }

exportes=$("$objdump" -p "$repertoire/KPXW32.dll" |
  sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort)
attendu=$(echo $octets | tr ' ' '\n' | sed 's/@.*//' | sort)
if [ "$exportes" != "$attendu" ]; then
  echec "$arch KPXW32.dll exports differ from the 24 entries:"
  echo "$exportes" > /tmp/kpx-exportes.$$; echo "$attendu" > /tmp/kpx-attendus.$$
  diff /tmp/kpx-attendus.$$ /tmp/kpx-exportes.$$ || true
  rm -f /tmp/kpx-exportes.$$ /tmp/kpx-attendus.$$
fi

if [ "$arch" = "i686" ]; then
  symboles=$("$nm" "$repertoire/KPXW32.dll" | awk '$2 == "T" { print $3 }')
  for s in $octets; do
    echo "$symboles" | grep -qx "_$s" || echec "$arch KPXW32.dll: no __stdcall symbol _$s"
  done
fi

for dll in KPXW32.dll dlnw32.dll bfhw32.dll; do
  importes=$("$objdump" -p "$repertoire/$dll" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  for i in $importes; do
    case "$i" in
      kernel32.dll|msvcrt.dll|user32.dll|advapi32.dll) ;;
      *) echec "$arch $dll imports $i, which a host would have to ship" ;;
    esac
  done
done

if [ "$echecs" -eq 0 ]; then
  echo "$arch: KPXW32.dll exports the 24 undecorated entries; the DLLs import only system DLLs"
fi
[ "$echecs" -eq 0 ]
