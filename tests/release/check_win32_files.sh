#!/usr/bin/env bash
# Reads every win32 file that ships (the installer and the sample product's programs and
# libraries) with the toolchain's objdump, as a Windows 95 machine on an 80386 would meet it:
#   - every imported function comes from a DLL that exports it on Windows 95 as shipped (the
#     list given) or from a library of the product itself;
#   - no instruction is newer than the 80386's;
#   - the installer's stub (the file less every carried file, bitmap and icon) is at most the
#     given number of bytes; its size is printed.
#   check_win32_files.sh <win32 build folder> <Windows 95 export list> <stub limit in bytes>
set -uo pipefail
build=$1 exports=$2 limit=$3
objdump=i686-w64-mingw32-objdump
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

files=("$build/vxsetup.exe" "$build"/sample-product/*.exe "$build"/sample-product/*.dll)
[ ${#files[@]} -ge 12 ] || fail "expected the installer and 11 product files in $build, found ${#files[@]}"
allowed=$(grep -v '^#' "$exports" | awk 'NF == 2 { print toupper($1), $2 }')
own=$(for f in "$build"/sample-product/*.dll; do basename "$f"; done | tr a-z A-Z)

# Newer than the 80386: the 486's bswap, cmpxchg, xadd and cache instructions, the Pentium's
# cpuid, rdtsc and model registers, the Pentium Pro's cmov, fcmov, fcomi, ud2, sysenter and long
# nops (0F 1F), and any use of the MMX or SSE registers.
newer='^(cmov|fcmov|fu?comip?$|bswap|cmpxchg|xadd|invd|wbinvd|invlpg|cpuid|rdtsc|rdmsr|wrmsr|rdpmc|rsm|ud2|sys(enter|exit)|nop[wl]|endbr|prefetch|[lms]fence|movnt|fisttp|emms)'
for file in "${files[@]}"; do
  name=${file#"$build"/}
  # "DLL Name: X" opens each DLL's list; then one "<vma> <hint> <function>" line per import.
  while read -r dll function; do
    grep -qxF "$dll" <<<"$own" && continue
    grep -qxF "$dll $function" <<<"$allowed" || fail "$name imports $function from $dll, not a Windows 95 export of the list"
  done < <($objdump -p "$file" | awk '/^\tDLL Name: / { dll = toupper($3) } /^\t[0-9a-f]+\t +[0-9]+ +[^ ]+$/ { print dll, $3 }')
  while IFS=$'\t' read -r address instruction; do
    address=${address//[ :]/}
    fail "$name at 0x$address: $instruction, newer than the 80386"
  done < <($objdump -d --no-show-raw-insn "$file" | awk -F'\t' -v newer="$newer" \
             '/^ *[0-9a-f]+:\t/ { split($2, word, " "); if (word[1] ~ newer || $2 ~ /%x?mm[0-9]/) print $1 "\t" $2 }')
done

# The stub: the file size less the data of every resource of type "EXE", BITMAP (2), ICON (3)
# and GROUP_ICON (14), read from objdump's resource tree (type entries, then their leaves).
carried=0
while read -r size; do
  carried=$((carried + size))
done < <($objdump -p "$build/vxsetup.exe" | awk '
  /^[0-9a-f]+   Entry: / { carried = ($0 ~ /\]: EXE,|ID: 0x0000(02|03|0e),/) }
  /Leaf: / && carried { sub(/.*Size: /, ""); sub(/,.*/, ""); print }')
stub=$(( $(stat -c %s "$build/vxsetup.exe") - carried ))
echo "vxsetup.exe stub: $stub bytes (limit $limit)"
[ "$stub" -le "$limit" ] || fail "the stub of vxsetup.exe is $stub bytes, more than $limit"

echo "${#files[@]} files checked, $failures failures"
[ "$failures" -eq 0 ]
