#!/usr/bin/env python3
"""Fails on any #include in src/ that points up or across the layers.

The folders of src/, lowest first. A file may include headers of its own folder and of any folder
below it; folders on one level (export/ and sheets/, adapters/ and archive/, window/, cli/ and
trend/) do not include each other. src/main.cpp, above them all, may include anything.
"""
import pathlib
import re
import sys

LAYERS = [
    ["result"],
    ["protocol", "analysis", "formats"],
    ["export", "sheets"],
    ["session"],
    ["adapters", "archive"],
    ["window", "cli", "trend"],
]
LEVEL = {folder: level for level, folders in enumerate(LAYERS) for folder in folders}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/', re.MULTILINE)


def violations(src):
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp") or path.parent == src:
            continue
        folder = path.relative_to(src).parts[0]
        if folder not in LEVEL:
            yield f"{path}: folder {folder}/ is in no layer"
            continue
        for included in INCLUDE.findall(path.read_text(errors="replace")):
            if included == folder:
                continue
            if included not in LEVEL:
                yield f"{path}: includes {included}/, which is in no layer"
            elif LEVEL[included] >= LEVEL[folder]:
                yield f"{path}: {folder}/ includes {included}/, which is not below it"


def main():
    src = pathlib.Path(sys.argv[1])
    found = list(violations(src))
    for line in found:
        print(line)
    print("layers, lowest first: " + " -> ".join("/".join(level) for level in LAYERS))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
