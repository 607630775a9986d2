#!/usr/bin/env python3
"""Checks that includes point down the layers of src/.

Usage: check-layers.py [--graph] SRC_DIR LAYER...   (the layers lowest first)

Every file under SRC_DIR/LAYER may include headers of its own folder and of
the folders named before it, never of a folder named after it. A folder under
src/ that is not in the list is an error too, so a new folder must take its
place in the order. Prints one line per offending include and a closing count;
exits 1 when there is any. With --graph it also prints, for each layer, how
many includes it has of each layer below it.
"""
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([A-Za-z0-9_]+)/[^"]+"', re.MULTILINE)
SOURCE_SUFFIXES = {".h", ".cpp", ".hpp", ".cc"}


def upward_includes(src, layers):
    """Yields (file, line, included folder) for every include of a higher layer."""
    rank = {layer: index for index, layer in enumerate(layers)}
    for path in sorted(src.rglob("*")):
        if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
            continue
        folder = path.relative_to(src).parts[0]
        text = path.read_text(encoding="utf-8", errors="replace")
        for match in INCLUDE.finditer(text):
            target = match.group(1)
            if target not in rank:
                continue  # not one of ours (a system or library header)
            if rank[target] > rank[folder]:
                line = text.count("\n", 0, match.start()) + 1
                yield path.relative_to(src.parent), line, target


def include_graph(src, layers):
    """Prints each layer's includes of other layers, counted by layer."""
    for layer in layers:
        counts = {}
        for path in sorted((src / layer).rglob("*")):
            if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
                continue
            for match in INCLUDE.finditer(path.read_text(encoding="utf-8", errors="replace")):
                target = match.group(1)
                if target in layers and target != layer:
                    counts[target] = counts.get(target, 0) + 1
        below = ", ".join(f"{target} {counts[target]}" for target in layers if target in counts)
        print(f"{layer}: {below or '-'}")


def main(argv):
    graph = len(argv) > 1 and argv[1] == "--graph"
    if graph:
        argv = argv[:1] + argv[2:]
    if len(argv) < 3:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    src = pathlib.Path(argv[1])
    layers = argv[2:]
    failed = set()
    for folder in sorted(p.name for p in src.iterdir() if p.is_dir()):
        if folder not in layers:
            print(f"FAIL src/{folder}: a folder that is not in the layer order")
            failed.add(folder)
    for file, line, target in upward_includes(src, layers):
        print(f"FAIL {file}:{line}: {file.parts[1]} includes {target}/, a layer above it")
        failed.add(file)
    files = sum(1 for p in src.rglob("*") if p.suffix in SOURCE_SUFFIXES and p.is_file())
    print(f"{files - len(failed)} passed, {len(failed)} failed")
    if graph:
        include_graph(src, layers)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
