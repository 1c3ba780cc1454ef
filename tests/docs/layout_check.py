#!/usr/bin/env python3
"""The README's layout against the tree: usage layout_check.py SOURCE_DIR.

Fails when a folder that git tracks is missing from the layout block of README.md, when the
layout names a folder that does not exist, or when a file under src/ or host/ includes a
folder listed after its own (those folders are listed from the bottom up, and a folder may
include only itself and the folders before it). Outside a git work tree it skips (77).

A layout line names folders when everything before its first run of two or more spaces is
one or more names ending in "/", one space apart; any other line continues a description.
A name is a path below the nearest less indented line that names one folder (top-level
lines: below the root), and a path names its parent folders too. A subfolder belongs to the
floor of the folder its path starts with (choice/controls/ to choice/).
"""
import re
import subprocess
import sys
from pathlib import Path

SKIP = 77
LAYERED = ("src", "host")


def tracked_files(root):
    try:
        listing = subprocess.run(["git", "-C", str(root), "ls-files", "-z"],
                                 capture_output=True, check=True).stdout
    except (OSError, subprocess.CalledProcessError):
        return None
    return [name for name in listing.decode().split("\0") if name]


def with_parents(path):
    parts = path.split("/")
    return {"/".join(parts[:i]) for i in range(1, len(parts) + 1)}


def layout_lines(readme):
    block = re.search(r"^## Layout\n.*?^```\n(.*?)^```", readme, re.S | re.M)
    if block is None:
        sys.exit("README.md has no layout block (a ``` block under \"## Layout\")")
    return block.group(1).splitlines()


def named_folders(lines, problems):
    """Every folder the layout names, and for each layered top folder its children in order."""
    named, order, stack = set(), {}, []
    for number, line in enumerate(lines, 1):
        body = line.lstrip(" ")
        indent = len(line) - len(body)
        names = re.split(r" {2,}", body, maxsplit=1)[0].split(" ")
        if not body or not all(len(name) > 1 and name.endswith("/") for name in names):
            continue
        while stack and stack[-1][0] >= indent:
            stack.pop()
        parent = stack[-1][1] if stack else ""
        if parent is None:
            problems.append(f"layout line {number}: a line of several folders has folders below it")
            continue
        paths = [(parent + "/" if parent else "") + name.rstrip("/") for name in names]
        for path in paths:
            named |= with_parents(path)
            if parent in LAYERED:
                order.setdefault(parent, []).append(path.split("/")[1])
        stack.append((indent, paths[0] if len(paths) == 1 else None))
    return named, order


def upward_includes(root, files, order, problems):
    """Includes under src/ and host/ that reach a folder of the same tree listed later."""
    for name in files:
        parts = name.split("/")
        if parts[0] not in order or len(parts) < 3 or not name.endswith((".h", ".cpp", ".inl")):
            continue
        floors = {folder: floor for floor, folder in enumerate(order[parts[0]])}
        own = floors.get(parts[1])
        text = (root / name).read_text(errors="replace")
        for included in re.findall(r'^\s*#\s*include\s+"([^"]+)"', text, re.M):
            target = included.split("/")[0]
            # The tree's own folders first: a host file's "media/..." is the host's media/.
            if target in floors and (root / parts[0] / included).exists():
                if own is not None and floors[target] > own:
                    problems.append(f"{name} includes {included}, a floor above {parts[1]}/")
            elif parts[0] == "src" and not (root / "include" / included).exists() \
                    and "/" in included:
                problems.append(f"{name} includes {included}, outside the module and the contract")


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: layout_check.py SOURCE_DIR")
    root = Path(sys.argv[1])
    files = tracked_files(root)
    if files is None:
        print("not a git work tree: nothing to compare")
        return SKIP
    problems = []
    named, order = named_folders(layout_lines((root / "README.md").read_text()), problems)
    tracked = set()
    for name in files:
        if "/" in name:
            tracked |= with_parents(name.rsplit("/", 1)[0])
    for folder in sorted(tracked - named):
        problems.append(f"README.md's layout does not show {folder}/")
    for folder in sorted(named - tracked):
        problems.append(f"README.md's layout shows {folder}/, which git does not track")
    upward_includes(root, files, order, problems)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
