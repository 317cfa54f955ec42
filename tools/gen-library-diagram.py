#!/usr/bin/env python3
"""Writes the library diagram of docs/hacking.md, between its begin and end markers, from
the target_link_libraries of src/*/CMakeLists.txt; with --check, only fails when the
document differs from what it would write.
Usage: gen-library-diagram.py [--check]"""
import os
import sys

import link_graph

BEGIN = "<!-- library diagram: made by tools/gen-library-diagram.py from the CMake files -->"
END = "<!-- end of the library diagram -->"


def levels(targets):
    """Each target's height: 0 when it links no library of the project, else one above the
    highest of those it links."""
    height = {}

    def of(name):
        if name not in height:
            height[name] = 0  # guards a cycle, which CMake would refuse anyway
            links = [n for n in targets[name].public + targets[name].private if n in targets]
            height[name] = 1 + max(map(of, links)) if links else 0
        return height[name]

    for name in targets:
        of(name)
    return height


def diagram(targets):
    """One row per target, each above everything it links; system libraries left out."""
    height = levels(targets)
    order = sorted(targets, key=lambda n: (-height[n], targets[n].folder or "", n))
    width = max(len(label(targets[n])) for n in order)
    lines = ["```"]
    for name in order:
        target = targets[name]
        links = []
        for scope, names in (("PUBLIC", target.public), ("PRIVATE", target.private)):
            names = [n for n in names if n in targets]
            if names:
                links.append("%s %s" % (scope, " ".join(names)))
        lines.append(("%-*s  %s" % (width, label(target), "  ".join(links) or "-")).rstrip())
    lines.append("```")
    return "\n".join(lines)


def label(target):
    if target.kind == "executable":
        return "%s (program, src/%s)" % (target.name, target.folder)
    if target.folder is None:
        return "%s (%s/)" % (target.name, target.exposes)
    return "%s (src/%s)" % (target.name, target.folder)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    path = os.path.join(root, "docs", "hacking.md")
    text = open(path, encoding="utf-8").read()
    if BEGIN not in text or END not in text:
        print("%s has no diagram markers" % path)
        return 1
    head, rest = text.split(BEGIN, 1)
    tail = rest.split(END, 1)[1]
    new = head + BEGIN + "\n" + diagram(link_graph.read(root)) + "\n" + END + tail
    if new == text:
        return 0
    if "--check" in sys.argv[1:]:
        print("docs/hacking.md: the library diagram is stale; run tools/gen-library-diagram.py")
        return 1
    with open(path, "w", encoding="utf-8") as out:
        out.write(new)
    return 0


if __name__ == "__main__":
    sys.exit(main())
