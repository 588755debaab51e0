#!/usr/bin/python3
"""Strict check of a DXF R2000 file written by the host: a lint of the raw tags (the
rules other CAD programs rely on), ezdxf.readfile + audit (errors and fixes),
ezdxf.recover, and what ezdxf had to create while loading. Prints every problem;
exit status 1 when there is any, 2 when ezdxf is missing."""
import sys

try:
    import ezdxf
    from ezdxf import recover
except ImportError:
    print("ezdxf missing")
    sys.exit(2)

BUILT_IN = set("""LINE CIRCLE ARC LWPOLYLINE POLYLINE VERTEX SEQEND TEXT ATTRIB ATTDEF MTEXT INSERT
3DFACE VIEWPORT LEADER BLOCK ENDBLK DICTIONARY GROUP BLOCK_RECORD LAYER LTYPE STYLE APPID VPORT VIEW
UCS DIMSTYLE TABLE CLASS POINT XRECORD""".split())
MARKERS = {
    "LINE": ["AcDbEntity", "AcDbLine"], "CIRCLE": ["AcDbEntity", "AcDbCircle"],
    "ARC": ["AcDbEntity", "AcDbCircle", "AcDbArc"], "MTEXT": ["AcDbEntity", "AcDbMText"],
    "INSERT": ["AcDbEntity", "AcDbBlockReference"], "ATTRIB": ["AcDbEntity", "AcDbText", "AcDbAttribute"],
    "ATTDEF": ["AcDbEntity", "AcDbText", "AcDbAttributeDefinition"], "TEXT": ["AcDbEntity", "AcDbText", "AcDbText"],
    "LWPOLYLINE": ["AcDbEntity", "AcDbPolyline"], "POLYLINE": ["AcDbEntity", "AcDb2dPolyline"],
    "VERTEX": ["AcDbEntity", "AcDbVertex", "AcDb2dVertex"], "3DFACE": ["AcDbEntity", "AcDbFace"],
    "LEADER": ["AcDbEntity", "AcDbLeader"], "VIEWPORT": ["AcDbEntity", "AcDbViewport"],
    "SEQEND": ["AcDbEntity"], "BLOCK": ["AcDbEntity", "AcDbBlockBegin"], "ENDBLK": ["AcDbEntity", "AcDbBlockEnd"],
    "DICTIONARY": ["AcDbDictionary"], "GROUP": ["AcDbGroup"], "POINT": ["AcDbEntity", "AcDbPoint"],
    "XRECORD": ["AcDbXrecord"],
    "LAYER": ["AcDbSymbolTableRecord", "AcDbLayerTableRecord"],
    "LTYPE": ["AcDbSymbolTableRecord", "AcDbLinetypeTableRecord"],
    "STYLE": ["AcDbSymbolTableRecord", "AcDbTextStyleTableRecord"],
    "APPID": ["AcDbSymbolTableRecord", "AcDbRegAppTableRecord"],
    "BLOCK_RECORD": ["AcDbSymbolTableRecord", "AcDbBlockTableRecord"],
}
# ezdxf's own bookkeeping, which it adds to every file it loads (a SEQEND for each
# INSERT and POLYLINE too, replaced by the file's own; it does so for the reference
# sample as well).
ALLOWED_CREATED = {"DICTIONARY", "MATERIAL", "MLINESTYLE", "MLEADERSTYLE", "LAYOUT", "ACDBPLACEHOLDER",
                   "ACDBDICTIONARYWDFLT", "SEQEND"}


def tags_of(path):
    with open(path, "rb") as f:
        data = f.read().decode("cp1252")
    lines = data.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    return [(int(lines[i].strip()), lines[i + 1].rstrip("\r")) for i in range(0, len(lines) - 1, 2)]


def lint(path, problems):
    tags = tags_of(path)
    sections = [tags[i + 1][1] for i, t in enumerate(tags) if t == (0, "SECTION")]
    if sections != ["HEADER", "CLASSES", "TABLES", "BLOCKS", "ENTITIES", "OBJECTS"]:
        problems.append("sections: %s" % sections)
    if tags[-1] != (0, "EOF"):
        problems.append("no EOF at the end")
    # objects: runs from one group 0 to the next
    objects, current = [], None
    for code, value in tags:
        if code == 0:
            current = [value, []]
            objects.append(current)
        elif current is not None:
            current[1].append((code, value))
    handles, owners, classes, appids, xdata_apps = {}, [], set(), set(), set()
    seed = None
    for i, (code, value) in enumerate(tags):
        if (code, value) == (9, "$HANDSEED"):
            seed = int(tags[i + 1][1], 16)
    for kind, groups in objects:
        if kind in ("SECTION", "ENDSEC", "EOF", "ENDTAB"):
            continue
        if kind == "CLASS":
            classes.add(dict(groups).get(1))
            continue
        hcode = 105 if kind == "DIMSTYLE" else 5
        hs = [v for c, v in groups if c == hcode]
        if not hs:
            problems.append("%s without a handle" % kind)
            continue
        h = hs[0]
        if h != h.upper() or h.startswith("0") or h == "0":
            problems.append("handle %r of %s not upper-case hex without zeros" % (h, kind))
        if h in handles:
            problems.append("handle %s used twice" % h)
        handles[h] = kind
        own = [v for c, v in groups if c == 330]
        # the owner is the 330 that is not inside a 102 group
        inside, owner = False, None
        for c, v in groups:
            if c == 102:
                inside = v.startswith("{")
            elif c == 330 and not inside:
                owner = v
                break
        owners.append((kind, h, owner))
        if kind == "APPID":
            appids.add(dict(groups).get(2))
        for c, v in groups:
            if c == 1001:
                xdata_apps.add(v)
        markers = [v for c, v in groups if c == 100]
        want = MARKERS.get(kind)
        if want and markers[:len(want)] != want:
            problems.append("%s %s: subclass markers %s, wanted %s" % (kind, h, markers, want))
        if kind not in BUILT_IN and kind not in classes:
            problems.append("%s has no CLASS" % kind)
    for kind, h, owner in owners:
        if owner is None:
            problems.append("%s %s has no owner" % (kind, h))
        elif owner == "0":
            if kind not in ("TABLE", "DICTIONARY"):
                problems.append("%s %s owned by 0" % (kind, h))
        elif owner not in handles:
            problems.append("%s %s: owner %s does not exist" % (kind, h, owner))
    if seed is None or any(int(h, 16) >= seed for h in handles):
        problems.append("$HANDSEED missing or not above every handle")
    for app in xdata_apps - appids:
        problems.append("XDATA of %s without an APPID" % app)
    return handles


def main(path):
    problems = []
    handles = lint(path, problems)
    doc = ezdxf.readfile(path)
    auditor = doc.audit()
    for e in auditor.errors:
        problems.append("audit error: %s" % (e.message,))
    for f in auditor.fixes:
        problems.append("audit fix: %s" % (f.message,))
    created = []
    for e in doc.entitydb.values():
        if e.dxf.handle in handles or e.dxftype() in ALLOWED_CREATED:
            continue
        if e.dxftype() == "LAYER" and e.dxf.name == "Defpoints":
            continue
        if True:
            created.append(e.dxftype())
    for t in created:
        problems.append("created while loading: %s" % t)
    doc2, auditor2 = recover.readfile(path)
    for e in auditor2.errors:
        problems.append("recover error: %s" % (e.message,))
    for f in auditor2.fixes:
        problems.append("recover fix: %s" % (f.message,))
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
