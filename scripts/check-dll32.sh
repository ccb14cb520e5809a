#!/usr/bin/env bash
# Checks the 32-bit product DLL: PE32, GetDlgArray exported by its plain name, the code-table
# lookups exported, no member of the host's types exported (a host has their inline members and
# constants from its own headers and DLLs), and imports only from our MFC subset, the host's three
# DLLs and Windows.
set -euo pipefail
dll=$1
dump=$(i686-w64-mingw32-objdump -p "$dll")
fail() { echo "check-dll32: $*"; echo "1 passed, 1 failed"; exit 1; }
grep -q 'file format pei-i386' <<<"$(i686-w64-mingw32-objdump -f "$dll")" || fail "not PE32"
grep -qE '^\s*\[\s*[0-9]+\] GetDlgArray$' <<<"$dump" || fail "GetDlgArray not exported by plain name"
for symbol in GetStrByCode GetCodeByStr GetIndexByCode swap16 swap32; do
    grep -q "$symbol" <<<"$dump" || fail "$symbol not exported"
done
exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump")
! grep -E 'CTablePage|XTimer|FdLock|FdInfo|FdDevice' <<<"$exports" || fail "a member of the host's types exported"
imports=$(awk '/DLL Name:/ {print $3}' <<<"$dump" | sort -u)
for name in $imports; do
    case "$name" in
    mfcsub.dll | base.dll | Device.dll | hartSeComm.dll | KERNEL32.dll | USER32.dll | msvcrt.dll) ;;
    api-ms-win-*) ;;
    *) fail "unexpected import $name" ;;
    esac
done
echo "check-dll32: $dll is PE32, exports GetDlgArray, imports: $(echo $imports)"
echo "1 passed, 0 failed"
