#!/usr/bin/env bash
# check_imports.sh OBJDUMP EXE: PE32, GUI subsystem, imports only from Windows system DLLs.
set -u
objdump=$1 exe=$2
headers=$("$objdump" -p "$exe") || { echo "cannot read $exe"; exit 1; }
fail=0
grep -q 'file format pei-i386' <<<"$headers" || { echo "not a PE32 (i386) image"; fail=1; }
grep -qE '^Subsystem[[:space:]]+00000002' <<<"$headers" || { echo "not a Windows GUI program"; fail=1; }
system='^(kernel32|user32|gdi32|advapi32|shell32|comctl32|ole32|msvcrt|comdlg32|version|shlwapi)\.dll$'
dlls=$(grep 'DLL Name:' <<<"$headers" | awk '{print tolower($3)}' | sort -u)
[ -n "$dlls" ] || { echo "no imports found"; fail=1; }
for d in $dlls; do
  if [[ ! $d =~ $system ]]; then echo "imports $d, which is not a Windows system DLL"; fail=1; fi
done
echo "imports: $(echo $dlls)"
exit $fail
