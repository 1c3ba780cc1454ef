#!/usr/bin/env bash
# The contract's binary interface as three compilers see it: clang for the Microsoft ABI
# (the game's host is built with Microsoft's compiler), GCC for i686-w64-mingw32 (the
# DLL) and GCC for 32-bit Linux. Nothing here runs target code.
#
#   tests/abi/abi-proof.sh [--update] SOURCE_DIR WORK_DIR
#
# It compiles every header of include/qx/ (the contract unit) and every header of src/
# (the module's implementations of the contract's interfaces) with each compiler, reads
# the layouts (clang's record-layout and virtual-table dumps; GCC's debug information)
# and checks that:
#   - the three agree on every contract record's size, field offsets and bases, and on
#     every interface's slot order, and all three equal tests/abi/contract.txt, the
#     documented 32-bit contract (--update rewrites that file from the three when they
#     agree);
#   - the module's classes place their vptrs and interface sub-objects alike everywhere;
#   - no virtual operation of the contract returns a record by value (the two Windows
#     ABIs pass the hidden result pointer differently), and every record passed by value
#     is trivially copyable (otherwise GCC passes a pointer to a copy instead of the copy).
# Compilers come from QX_ABI_CLANG, QX_ABI_MINGW, QX_ABI_MINGW_OBJDUMP, QX_ABI_GCC and
# QX_ABI_OBJDUMP (defaults: Debian's clang-14, mingw-w64 and the system GCC).
set -euo pipefail

update=0
if [[ ${1:-} == --update ]]; then
    update=1
    shift
fi
[[ $# -eq 2 ]] || { echo "usage: abi-proof.sh [--update] SOURCE_DIR WORK_DIR" >&2; exit 2; }
source_dir=$(cd "$1" && pwd)
work=$2
here=$source_dir/tests/abi
clang=${QX_ABI_CLANG:-clang-14}
mingw=${QX_ABI_MINGW:-i686-w64-mingw32-g++-posix}
mingw_objdump=${QX_ABI_MINGW_OBJDUMP:-i686-w64-mingw32-objdump}
gcc=${QX_ABI_GCC:-g++}
objdump=${QX_ABI_OBJDUMP:-objdump}

for tool in "$clang" "$mingw" "$mingw_objdump" "$gcc" "$objdump"; do
    if ! command -v "$tool" >/dev/null; then
        echo "abi-proof: $tool not found (scripts/test --platforms installs it)" >&2
        exit 1
    fi
done
mkdir -p "$work"
cd "$work"

common=(-std=c++20 -I"$source_dir/include" -I"$source_dir/src" -Wall -Wextra -Wpedantic -Werror)
# Every type's debug information, so that GCC describes each record it has seen.
debug=(-g -fno-eliminate-unused-debug-types -femit-class-debug-always -c)
# The Microsoft target without Microsoft's libraries: a few declarations stand in for the
# C++ headers the contract includes. Virtual tables are laid out only while generating code.
msvc=(--target=i686-pc-windows-msvc -ffreestanding -nostdinc++ -isystem "$here/msvc-include"
      -S -o /dev/null -Xclang -fdump-record-layouts -Xclang -fdump-vtable-layouts)

# Orders the parsers' lines (record, then size, layout by offset, slots by index) and
# drops the sort keys.
layout_sort() {
    LC_ALL=C sort -t$'\t' -s -k1,1 -k2,2n -k3,3n -k4,4n | awk -F'\t' '{ print $1 " " $5 }'
}

# unit NAME HEADERS...: writes NAME-{mingw,m32,msvc}.txt and NAME-signatures.txt.
unit() {
    local name=$1 header
    shift
    for header in "$@"; do echo "#include \"$header\""; done >"$name.cpp"

    "$mingw" "${common[@]}" "${debug[@]}" "$name.cpp" -o "$name-mingw.o"
    "$mingw_objdump" --dwarf=info "$name-mingw.o" >"$name-mingw.dwarf"
    awk -f "$here/dwarf-layout.awk" "$name-mingw.dwarf" | layout_sort >"$name-mingw.txt"

    "$gcc" -m32 "${common[@]}" "${debug[@]}" "$name.cpp" -o "$name-m32.o"
    "$objdump" --dwarf=info "$name-m32.o" | awk -f "$here/dwarf-layout.awk" | layout_sort >"$name-m32.txt"

    # clang dumps a record's layout when it is first needed, and a virtual table when a
    # member pointer needs its slots: the probe asks for each record GCC described (an
    # explicit instantiation may name private ones) and one operation of each interface.
    {
        cat "$name.cpp"
        echo 'template <class T> struct QxLayoutProbe { static constexpr unsigned size = sizeof(T); };'
        awk '$2 == "size" { print "template struct QxLayoutProbe<" $1 ">;" }' "$name-mingw.txt"
        awk -f "$here/dwarf-layout.awk" -v methods=1 "$name-mingw.dwarf" |
            awk '{ print "auto qxSlotProbe" NR " = &" $1 "::" $3 ";" }'
    } >"$name-msvc.cpp"
    "$clang" "${common[@]}" "${msvc[@]}" "$name-msvc.cpp" >"$name-msvc.dump"
    awk -f "$here/msvc-layout.awk" "$name-msvc.dump" | layout_sort >"$name-msvc.txt"
    awk -f "$here/msvc-layout.awk" -v signatures=1 "$name-msvc.dump" >"$name-signatures.txt"
}

failures=0
fail() {
    echo "abi-proof: $*" >&2
    failures=$((failures + 1))
}

# same MESSAGE FILE1 FILE2: the two views agree, or the difference is shown.
same() {
    if ! diff -u --label "$2" --label "$3" "$2" "$3" >difference.txt; then
        fail "$1"
        cat difference.txt >&2
    fi
}

mapfile -t contract_headers < <(cd "$source_dir/include" && ls qx/*.h)
mapfile -t module_headers < <(cd "$source_dir/src" && find . -name '*.h' | sed 's|^\./||' | LC_ALL=C sort)
unit contract "${contract_headers[@]}"
unit module "${module_headers[@]}"

same "the Microsoft ABI and mingw-w64 lay the contract out differently" contract-msvc.txt contract-mingw.txt
same "mingw-w64 and 32-bit Linux lay the contract out differently" contract-mingw.txt contract-m32.txt
# The module's own classes may differ in private members (the Microsoft ABI pads the
# vfptr to the class's alignment), which no host reads; where their vptrs and interface
# sub-objects sit must not.
grep -E ' \+[0-9]+ (vptr|base) ' module-msvc.txt >module-msvc-bases.txt || true
grep -E ' \+[0-9]+ (vptr|base) ' module-mingw.txt >module-mingw-bases.txt || true
same "the module's classes place their interfaces differently under the two Windows ABIs" \
    module-msvc-bases.txt module-mingw-bases.txt

while read -r operation verb type; do
    if [[ $verb == returns ]]; then
        fail "$operation returns $type by value: Microsoft's compiler passes this in ECX and" \
            "the result's address on the stack, GCC the other way round (or in registers when" \
            "it is 8 bytes or less); answer it through a result pointer"
    else
        echo "static_assert(__is_trivially_copyable($type), \"$operation takes $type by value:" \
            "Microsoft's compiler copies it onto the stack, GCC passes a pointer to a copy\");"
    fi
done <contract-signatures.txt >by-value.cpp
{
    for header in "${contract_headers[@]}"; do echo "#include \"$header\""; done
    cat by-value.cpp
} >by-value-check.cpp
"$mingw" "${common[@]}" -fsyntax-only by-value-check.cpp || fail "a record passed by value is not trivially copyable"

if [[ $update -eq 1 && $failures -eq 0 ]]; then
    {
        echo "# The binary contract on 32-bit targets: every record of include/qx/ with its size,"
        echo "# vptr, bases and fields (by byte offset), and every interface's slots. Written by"
        echo "# tests/abi/abi-proof.sh --update; a change here is a change of the contract."
        cat contract-msvc.txt
    } >"$here/contract.txt"
    echo "abi-proof: wrote $here/contract.txt"
fi
grep -v '^#' "$here/contract.txt" >contract-expected.txt
same "the contract differs from tests/abi/contract.txt (after a deliberate change, rerun with --update)" \
    contract-expected.txt contract-msvc.txt

if [[ $failures -gt 0 ]]; then
    echo "abi-proof: $failures problem(s); the compilers' views are in $work" >&2
    exit 1
fi
echo "abi-proof: $(grep -c ' size ' contract-msvc.txt) contract records and" \
    "$(grep -c ' slot ' contract-msvc.txt) interface slots agree under the Microsoft ABI," \
    "mingw-w64 and 32-bit Linux; $(grep -c ' size ' module-msvc.txt) module records place their" \
    "interfaces alike; no record crosses by value in a way the ABIs pass differently"
