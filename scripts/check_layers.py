#!/usr/bin/env python3
"""Every source under src/ includes only headers of its own layer and of the layers it links.

The layers and their links are read from the build itself: the pictavor_layer(NAME LINKS ...)
lines of CMakeLists.txt, and the control's target_link_libraries in src/control/CMakeLists.txt.
A folder is a layer (src/control/com and src/control/window belong to control). Prints each
wrong include as FILE:LINE and exits 1 when there is one.
Usage: scripts/check_layers.py [ROOT]
"""
import pathlib
import re
import sys

LAYER_LINE = re.compile(r"^pictavor_layer\((\w+)([^)]*)\)", re.M)
CONTROL_LINKS = re.compile(r"target_link_libraries\(Pictavor\s+PRIVATE([^)]*)\)")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/', re.M)


def linked_layers(text):
    return re.findall(r"\bpictavor_(\w+)\b", text)


def read_links(root):
    """The layers each layer links directly."""
    links = {name: linked_layers(rest)
             for name, rest in LAYER_LINE.findall((root / "CMakeLists.txt").read_text())}
    control = CONTROL_LINKS.search((root / "src/control/CMakeLists.txt").read_text())
    # The interface library is the control's own generated header, not a layer.
    links["control"] = [l for l in linked_layers(control.group(1)) if l in links]
    return links


def reachable(links, layer, seen=None):
    seen = set() if seen is None else seen
    if layer not in seen:
        seen.add(layer)
        for below in links.get(layer, []):
            reachable(links, below, seen)
    return seen


def wrong_includes(root, links):
    for path in sorted((root / "src").rglob("*")):
        if path.suffix not in (".h", ".cpp", ".inc"):
            continue
        layer = path.relative_to(root / "src").parts[0]
        allowed = reachable(links, layer)
        text = path.read_text(encoding="utf-8")
        for match in INCLUDE.finditer(text):
            target = match.group(1)
            if target in links and target not in allowed:
                line = text.count("\n", 0, match.start()) + 1
                yield f"{path.relative_to(root)}:{line}: {layer} includes {target}/ " \
                      f"(it may include {', '.join(sorted(allowed))})"


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    links = read_links(root)
    missing = [d.name for d in (root / "src").iterdir() if d.is_dir() and d.name not in links]
    if missing:
        print(f"folders of src/ that are no layer of CMakeLists.txt: {', '.join(missing)}")
        return 1
    wrong = list(wrong_includes(root, links))
    print("\n".join(wrong) if wrong else f"includes follow the layers ({len(links)} layers)")
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
