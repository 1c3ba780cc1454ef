# Reads `objdump --dwarf=info` of an object compiled by GCC with every type's debug
# information and prints the layout of every record in namespace qx, one fact a line:
#   RECORD size N | RECORD +OFFSET vptr | RECORD +OFFSET base BASE | RECORD +OFFSET field NAME
#   RECORD slot INDEX NAME          (virtual operations the record declares)
# With -v methods=1 it prints instead one public virtual operation of each record, one
# whose name is not overloaded ("RECORD method NAME"), for probes that must name one.

function finish(   d, parent) {
    if (tag == "") return
    d = depth
    kind[d] = tag; name[d] = dname; qual[d] = ""
    parent = d > 0 ? qual[d - 1] : ""
    if (tag == "DW_TAG_namespace") {
        qual[d] = (d > 1 && qual[d - 1] != "" ? qual[d - 1] "::" : "") (dname == "" ? "(anonymous namespace)" : dname)
        if (d > 1 && qual[d - 1] == "") qual[d] = ""
    } else if (tag ~ /^DW_TAG_(structure|class|union)_type$/) {
        if (dname != "" && (d == 1 || qual[d - 1] != "")) qual[d] = (d > 1 ? qual[d - 1] "::" : "") dname
        if (qual[d] != "") typename[offset] = qual[d]
        if (inqx(qual[d]) && !declaration && size != "") {
            records[qual[d]] = 1
            emit(qual[d], 0, 0, 0, sprintf("size %d", size))
        }
    } else if (inqx(parent) && records[parent]) {
        if (tag == "DW_TAG_member" && location != "") {
            if (dname ~ /^_vptr[.$]/) emit(parent, 1, location, 1, sprintf("+%d vptr", location))
            else emit(parent, 1, location, 3, sprintf("+%d field %s", location, dname))
        } else if (tag == "DW_TAG_inheritance") {
            pending[++npending] = parent SUBSEP location SUBSEP typeref
            emit(parent, 1, location, 2, "")
            order[npending] = nout
        } else if (tag == "DW_TAG_subprogram") {
            uses[parent SUBSEP dname]++
            if (slot != "") {
                emit(parent, 2, slot, 0, sprintf("slot %d %s", slot, dname))
                if (access != "private" && access != "protected") virtuals[parent] = virtuals[parent] SUBSEP dname
            }
        }
    }
    tag = ""
}
function inqx(q) { return q ~ /^qx(::|$)/ && q !~ /anonymous|</ && q != "qx" }
# Each line carries sort keys (group, number, kind) for layout-sort.sh; see abi-proof.sh.
function emit(rec, group, number, kind, text) { out[++nout] = rec "\t" group "\t" number "\t" kind "\t" text }

/^ <[0-9]+><[0-9a-f]+>: Abbrev Number: / {
    finish()
    match($0, /^ <[0-9]+>/); depth = substr($0, 3, RLENGTH - 3) + 0
    match($0, /><[0-9a-f]+>/); offset = substr($0, RSTART + 2, RLENGTH - 3)
    tag = ""
    if (match($0, /\(DW_TAG_[a-z_]+\)/)) tag = substr($0, RSTART + 1, RLENGTH - 2)
    dname = ""; size = ""; location = ""; slot = ""; typeref = ""; declaration = 0; access = ""
    next
}
/^ +<[0-9a-f]+> +DW_AT_/ {
    attr = $2; sub(/:$/, "", attr); value = $0
    sub(/^[^:]*: */, "", value)
    sub(/^\(indirect[^)]*\): /, "", value)
    if (attr == "DW_AT_name") dname = value
    else if (attr == "DW_AT_byte_size") size = value + 0
    else if (attr == "DW_AT_declaration") declaration = 1
    else if (attr == "DW_AT_data_member_location") {
        if (match(value, /DW_OP_plus_uconst: [0-9]+/)) location = substr(value, RSTART + 19, RLENGTH - 19) + 0
        else location = value + 0
    } else if (attr == "DW_AT_vtable_elem_location") {
        if (match(value, /DW_OP_constu: [0-9]+/)) slot = substr(value, RSTART + 14, RLENGTH - 14) + 0
    } else if (attr == "DW_AT_type") {
        typeref = value; gsub(/[<>]|0x/, "", typeref)
    } else if (attr == "DW_AT_accessibility") {
        access = value; sub(/^.*\(/, "", access); sub(/\).*$/, "", access)
    }
    next
}
END {
    finish()
    for (i = 1; i <= npending; i++) {
        split(pending[i], p, SUBSEP)
        base = (p[3] in typename) ? typename[p[3]] : "?" p[3]
        sub(/<.*$/, "<...>", base)
        out[order[i]] = out[order[i]] sprintf("+%d base %s", p[2], base)
    }
    if (!methods) for (i = 1; i <= nout; i++) print out[i]
    else {
        for (rec in virtuals) {
            n = split(substr(virtuals[rec], 2), names, SUBSEP)
            for (i = 1; i <= n; i++) if (uses[rec SUBSEP names[i]] == 1) { print rec " method " names[i]; break }
        }
    }
}
