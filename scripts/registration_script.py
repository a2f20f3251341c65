"""Reading the registration scripts (resources/registration.txt, user_typelib.txt) outside the
DLL, which runs them itself: the keys they write, with their %NAME% values filled in."""
import re

LINE = re.compile(r"^(?P<key>[^=\[]+?)(?:\s+\[(?P<name>\w+)\])?(?:\s+=\s+(?P<value>.*))?$")


def entries(path, values):
    """(key, value name or None, value or None) for each line the script writes, in order."""
    out = []
    for raw in open(path, encoding="ascii"):
        line = raw.strip()
        if not line or line.startswith("#") or line.startswith("remove "):
            continue
        for name, value in values.items():
            line = line.replace(f"%{name}%", value)
        m = LINE.match(line)
        if not m:
            raise SystemExit(f"{path}: cannot read '{raw.strip()}'")
        out.append((m.group("key"), m.group("name"), m.group("value")))
    return out
