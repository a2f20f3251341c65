#!/usr/bin/env python3
"""What the build makes from the interface in resources/pictavor.idl: the flat C API of
Pictavor.dll, the vtable's routes, the DISPIDs and the member list of the portable table.

Every member of IPictavorCtl has one export PVC_<member> that takes the interface pointer and
the member's parameters, except those whose attribute line carries the comment
"// flat export: none"; "// flat export: field" marks the two BackColor exports, which return
nothing and are written by hand. From that one source come:

  --forwarders FILE  the PVC_FORWARD lines of the export bodies (C++)
  --def FILE         the module-definition file the DLL is linked with
  --sdk-def FILE     the export list for import libraries: in the 32-bit build each name with
                     its argument bytes (PVC_GetWidth@8), as dlltool -k and other toolchains
                     take it; the DLL itself exports the names without them
  --header FILE      pictavor.h: the interface header (--interface-header, from widl) followed
                     by the prototypes of the exports
  --routes FILE      the vtable's slot routes, PV_ROUTE(name) in slot order (C++)
  --dispids FILE     base/dispids.h: every member's DISPID as a named constant (C++)
  --slots FILE       the slot list the type-library test reads: SLOT DISPID KIND NAME PARAM...
  --members FILE     every member's name, DISPID, kind, the parameters callers pass and its
                     flat export, as the portable member table takes them (C++ initialisers)
  --bits 32|64       which build: the argument bytes are the 32-bit standard-call ones
"""
import argparse
import re
import sys

COM_ENTRY_POINTS = [("DllCanUnloadNow", 0), ("DllGetClassObject", 12), ("DllInstall", 8),
                    ("DllRegisterServer", 0), ("DllUnregisterServer", 0)]
C_TYPES = {"long": "LONG", "LONG_PTR": "LONG_PTR", "double": "double", "float": "float",
           "BSTR": "BSTR", "OLE_COLOR": "OLE_COLOR"}
SLOT_TYPES = {"long": "long", "LONG_PTR": "handle", "double": "double", "float": "float",
              "BSTR": "bstr", "OLE_COLOR": "color"}
NAMED_DISPIDS = {"DISPID_BACKCOLOR": -501}
FIRST_SLOT = 7  # after IUnknown's three and IDispatch's four


class Member:
    def __init__(self, kind, name, dispid, params, export, ranges=None):
        self.kind, self.name, self.dispid = kind, name, dispid
        self.params, self.export = params, export
        self.ranges = ranges or {}

    @property
    def slot_name(self):
        """The name of its vtable slot: properties as get_Name and put_Name."""
        return {"get": "get_", "put": "put_", "method": ""}[self.kind] + self.name

    @property
    def export_name(self):
        return "PVC_" + self.slot_name

    def argument_bytes(self):
        """Standard-call argument space in the 32-bit build: the pointer, then 4 bytes a
        parameter but 8 for a double passed by value."""
        return 4 + sum(8 if (t == "double" and not ptr) else 4 for t, ptr, _, _ in self.params)

    def member_params(self):
        return ", ".join(f"{C_TYPES[t]}{'*' if ptr else ''} {n}" for t, ptr, n, _ in self.params)

    def c_params(self):
        return "IPictavorCtl* ctl, " + self.member_params()


def direction(attributes):
    words = {w.strip() for w in attributes.split(",")}
    if "retval" in words:
        return "retval"
    if {"in", "out"} <= words:
        return "inout"
    return next((w for w in ("out", "in") if w in words), "none")


RANGE = re.compile(r"\brange\(\s*(-?\d+)\s*,\s*(-?\d+)\s*\)")


def parse_params(text):
    """The parameters as (type, pointer, name, direction), and the range(min, max) of each
    that has one, by name."""
    params, ranges = [], {}
    for chunk in filter(None, (c.strip() for c in re.split(r",(?![^\[]*\])", text))):
        m = re.fullmatch(r"(?:\[([^\]]*)\])?\s*(\w+)\s*(\*?)\s*(\w+)", chunk)
        if not m or m.group(2) not in C_TYPES:
            sys.exit(f"interface.py: cannot read the parameter '{chunk}'")
        attributes = m.group(1) or ""
        params.append((m.group(2), bool(m.group(3)), m.group(4), direction(attributes)))
        r = RANGE.search(attributes)
        if r:
            ranges[m.group(4)] = (int(r.group(1)), int(r.group(2)))
    return params, ranges


def parse_dispid(attributes, name):
    m = re.search(r"\bid\(([^)]*)\)", attributes)
    if not m:
        sys.exit(f"interface.py: {name} has no id()")
    value = m.group(1).strip()
    return NAMED_DISPIDS[value] if value in NAMED_DISPIDS else int(value)


def parse_idl(path):
    """The members of IPictavorCtl in vtable order."""
    text = open(path, encoding="utf-8").read()
    body = re.search(r"interface IPictavorCtl : IDispatch\s*\{(.*?)\n\};", text, re.S)
    if not body:
        sys.exit(f"interface.py: no IPictavorCtl in {path}")
    members = []
    pattern = re.compile(r"\[([^\]]*)\]([^\n]*?//\s*flat export:\s*(\w+))?[^\[]*?"
                         r"HRESULT\s+(\w+)\s*\(((?:[^()]|\([^()]*\))*)\)\s*;", re.S)
    for m in pattern.finditer(body.group(1)):
        attributes, export, name, params = m.group(1), m.group(3) or "forward", m.group(4), m.group(5)
        kind = "get" if "propget" in attributes else "put" if "propput" in attributes else "method"
        if export not in ("forward", "none", "field"):
            sys.exit(f"interface.py: unknown flat export kind '{export}' at {name}")
        params, ranges = parse_params(params)
        members.append(Member(kind, name, parse_dispid(attributes, name), params, export, ranges))
    return members


def exported(members):
    return [m for m in members if m.export != "none"]


def forwarders(members):
    lines = ["// Generated from pictavor.idl by scripts/interface.py: one forwarder a flat export."]
    for m in exported(members):
        if m.export == "forward":
            args = ", ".join(n for _, _, n, _ in m.params)
            lines.append(f"PVC_FORWARD({m.export_name[len('PVC_'):]}, ({m.member_params()}), ({args}))")
    return "\n".join(lines) + "\n"


def decorated(name, argument_bytes, bits):
    return f"{name}@{argument_bytes}" if bits == 32 else name


def export_entries(members, bits):
    """(exported name, symbol, private) for the COM entry points and every flat export."""
    for name, size in COM_ENTRY_POINTS:
        yield name, decorated(name, size, bits), True
    for m in exported(members):
        yield m.export_name, decorated(m.export_name, m.argument_bytes(), bits), False


def link_def(members, bits):
    lines = ["; Generated from pictavor.idl by scripts/interface.py.", "EXPORTS"]
    lines += [f"  {name} = {symbol}{' PRIVATE' if private else ''}"
              for name, symbol, private in export_entries(members, bits)]
    return "\n".join(lines) + "\n"


def sdk_def(members, bits):
    lines = ["; Exports of Pictavor.dll for making an import library (dlltool -k -d Pictavor.def).",
             "; The DLL exports the names without the @ suffix." if bits == 32 else
             "; The 64-bit DLL exports these names as they stand.",
             "LIBRARY Pictavor.dll", "EXPORTS"]
    lines += [f"  {symbol}{' PRIVATE' if private else ''}"
              for _, symbol, private in export_entries(members, bits)]
    return "\n".join(lines) + "\n"


def header(members, interface_header):
    out = ["/* Pictavor.dll for C and C++: the IPictavorCtl interface and the flat API.",
           " * Generated from pictavor.idl; link with libPictavor.dll.a or an import library made",
           " * from Pictavor.def. Each PVC_ function takes the control's interface pointer first",
           " * and answers E_POINTER for a null one. */",
           "#ifndef PICTAVOR_H", "#define PICTAVOR_H", "",
           open(interface_header, encoding="latin-1").read(), "",
           "#ifdef __cplusplus", 'extern "C" {', "#endif", ""]
    for m in exported(members):
        result = "void" if m.export == "field" else "HRESULT"
        out.append(f"{result} STDMETHODCALLTYPE {m.export_name}({m.c_params()});")
    out += ["", "#ifdef __cplusplus", "}", "#endif", "#endif /* PICTAVOR_H */", ""]
    return "\n".join(out)


def routes(members):
    lines = ["// Generated from pictavor.idl by scripts/interface.py: one route a vtable slot."]
    lines += [f"PV_ROUTE({m.slot_name})," for m in members]
    return "\n".join(lines) + "\n"


def dispids(members):
    """One constant a member name (a property's get and put share it), in DISPID order."""
    by_name = {}
    for m in members:
        by_name.setdefault(m.name, m.dispid)
    lines = ["// Generated from pictavor.idl by scripts/interface.py: the DISPID of every member of",
             "// IPictavorCtl. The Operation log names its operations by these.",
             "#pragma once", "", "#include <cstdint>", "", "namespace pv::dispid {", ""]
    lines += [f"constexpr int32_t k{name} = {value};"
              for name, value in sorted(by_name.items(), key=lambda item: item[1])]
    lines += ["", "}  // namespace pv::dispid", ""]
    return "\n".join(lines)


def slots(members):
    lines = ["# IPictavorCtl as its type library must describe it (generated from pictavor.idl):",
             "#   SLOT DISPID KIND NAME PARAMETER..., each PARAMETER NAME:TYPE:DIRECTION"]
    for n, m in enumerate(members):
        params = " ".join(f"{name}:{'*' if ptr else ''}{SLOT_TYPES[t]}:{d}" for t, ptr, name, d in m.params)
        lines.append(f"{FIRST_SLOT + n} {m.dispid} {m.kind} {m.name} {params}".rstrip())
    return "\n".join(lines) + "\n"


MEMBER_KINDS = {"method": "Method", "get": "PropertyGet", "put": "PropertyPut"}
FLAT_EXPORTS = {"forward": "Forward", "none": "None", "field": "Field"}
IN_KINDS = {"long": "Long", "OLE_COLOR": "Long", "double": "Double", "float": "Float",
            "BSTR": "String", "LONG_PTR": "Handle"}
OUT_KINDS = {"long": "OutLong", "LONG_PTR": "OutHandle", "double": "OutDouble",
             "float": "OutFloat"}


def param_kind(t, ptr, d):
    if not ptr:
        return IN_KINDS[t]
    return "InOutLong" if d == "inout" else OUT_KINDS[t]


def range_of(m, name):
    return ", {%d, %d}" % m.ranges[name] if name in m.ranges else ""


def member_list(members):
    lines = ["// Generated from pictavor.idl by scripts/interface.py: every member's name, DISPID, kind,",
             "// the parameters callers pass (pVal, the return value, left out) and its flat export,",
             "// in vtable order."]
    for m in members:
        params = ", ".join(f'{{"{n}", ParamKind::{param_kind(t, ptr, d)}{range_of(m, n)}}}'
                           for t, ptr, n, d in m.params if d != "retval")
        lines.append(f'{{"{m.name}", {m.dispid}, MemberKind::{MEMBER_KINDS[m.kind]}, {{{params}}}, '
                     f'FlatExport::{FLAT_EXPORTS[m.export]}}},')
    return "\n".join(lines) + "\n"


def write(path, text):
    # latin-1 passes the interface header's bytes through as widl wrote them.
    with open(path, "w", encoding="latin-1", newline="\n") as f:
        f.write(text)


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("idl")
    p.add_argument("--bits", type=int, choices=(32, 64), default=32)
    p.add_argument("--forwarders")
    p.add_argument("--def", dest="link_def")
    p.add_argument("--sdk-def")
    p.add_argument("--header")
    p.add_argument("--interface-header")
    p.add_argument("--routes")
    p.add_argument("--dispids")
    p.add_argument("--slots")
    p.add_argument("--members")
    a = p.parse_args()
    members = parse_idl(a.idl)
    for path, make in ((a.routes, routes), (a.dispids, dispids), (a.slots, slots),
                       (a.members, member_list)):
        if path:
            write(path, make(members))
    if a.forwarders:
        write(a.forwarders, forwarders(members))
    if a.link_def:
        write(a.link_def, link_def(members, a.bits))
    if a.sdk_def:
        write(a.sdk_def, sdk_def(members, a.bits))
    if a.header:
        if not a.interface_header:
            sys.exit("interface.py: --header needs --interface-header")
        write(a.header, header(members, a.interface_header))


if __name__ == "__main__":
    main()
