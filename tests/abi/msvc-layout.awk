# Reads clang's record-layout and virtual-table dumps (-fdump-record-layouts,
# -fdump-vtable-layouts) for the Microsoft ABI and prints the layout of every record in
# namespace qx in the form of dwarf-layout.awk, with the same sort keys.
# With -v signatures=1 it prints instead, for every virtual operation, the records it
# returns or takes by value: "RECORD::OPERATION returns TYPE" or "... passes TYPE".

function inqx(q) { return q ~ /^qx::/ && q !~ /anonymous|</ }
function emit(rec, group, number, kind, text) {
    if (!signatures) print rec "\t" group "\t" number "\t" kind "\t" text
}
function trim(s) { sub(/^ +/, "", s); sub(/ +$/, "", s); return s }
function bare(type) { type = trim(type); sub(/^const /, "", type); gsub(/(struct|class|union) /, "", type); return trim(type) }

/^\*\*\* Dumping AST Record Layout/ { mode = "header"; next }
/^\*\*\* / { mode = ""; next }
/^VFTable indices for '/ {
    rec = $0; sub(/^VFTable indices for '/, "", rec); sub(/'.*$/, "", rec)
    mode = inqx(rec) ? "indices" : ""
    next
}
/^VFTable for / { mode = ""; next }
/^$/ { mode = ""; next }

mode == "header" && /^ +0 \| / {
    rec = $0; sub(/^ +0 \| (struct|class|union) /, "", rec)
    mode = inqx(rec) && !(rec in seen) ? "layout" : ""
    seen[rec] = 1
    next
}
mode == "layout" && /^ +\| \[sizeof=/ {
    size = $0; sub(/^.*sizeof=/, "", size); sub(/,.*$/, "", size)
    emit(rec, 0, 0, 0, "size " size)
    layouts[rec] = 1
    next
}
mode == "layout" && /^ +[0-9]+ \|   [^ ]/ {
    offset = $1 + 0; text = $0; sub(/^ +[0-9]+ \|   /, "", text)
    if (text ~ /^\(.* vftable pointer\)$/) emit(rec, 1, offset, 1, "+" offset " vptr")
    else if (text ~ /^\(.* vbtable pointer\)$/) emit(rec, 1, offset, 1, "+" offset " vbptr")
    else if (text ~ / \((primary |virtual )?base\)$/) {
        sub(/ \((primary |virtual )?base\)$/, "", text)
        text = bare(text); sub(/<.*$/, "<...>", text)  # default template arguments print apart
        emit(rec, 1, offset, 2, "+" offset " base " text)
    } else {
        n = split(text, words, " ")
        emit(rec, 1, offset, 3, "+" offset " field " words[n])
    }
    next
}
mode == "indices" && /^ +[0-9]+ \| / {
    index_ = $1 + 0; text = $0; sub(/^ +[0-9]+ \| /, "", text)
    at = index(text, rec "::")
    head = substr(text, 1, at - 1); tail = substr(text, at + length(rec) + 2)
    name = substr(tail, 1, index(tail, "(") - 1)
    emit(rec, 2, index_, 0, "slot " index_ " " name)
    params = substr(tail, index(tail, "(") + 1); sub(/\)[^)]*$/, "", params)
    operations[++nops] = rec "::" name SUBSEP head SUBSEP params
    next
}
END {
    if (!signatures) exit
    for (i = 1; i <= nops; i++) {
        split(operations[i], op, SUBSEP)
        if (bare(op[2]) in layouts) print op[1] " returns " bare(op[2])
        n = split(op[3], plist, ",")
        for (j = 1; j <= n; j++) if (bare(plist[j]) in layouts) print op[1] " passes " bare(plist[j])
    }
}
