#!/usr/bin/env python3
"""Checks that the build, not only convention, keeps each library to its layer, two ways.
1. With a library's own compile command, a header of a library above it must not even be
   found. Libraries the build folder does not compile (the Win32 ones natively) are left out.
2. A public header (one under src/X/) includes only headers of X and of the libraries X
   links PUBLIC itself, as src/*/CMakeLists.txt say: whoever links X gets those folders.
Usage: check-include-scope.py <build folder with compile_commands.json>"""
import json, os, re, shlex, subprocess, sys, tempfile

import link_graph

# One source of each library, and the folders it must not reach.
UNREACHABLE = {
    "src/foundation/string.cpp": ["stamps", "document", "loader", "xml", "keywords", "config", "search", "merge"],
    "src/stamps/stamp_forms.cpp": ["document", "loader", "xml", "keywords", "config", "search", "merge"],
    "src/document/file.cpp": ["loader", "xml", "keywords", "config", "search", "merge"],
    "src/xml/xml.cpp": ["loader", "keywords", "config", "search", "merge"],
    "src/keywords/keyword_set.cpp": ["loader", "config", "search", "merge"],
    "src/loader/log_loader.cpp": ["xml", "config", "search", "merge"],
    "src/config/comm_config.cpp": ["loader", "search", "merge"],
    "src/search/regex.cpp": ["loader", "xml", "keywords", "config", "merge"],
    "src/merge/merged_rows.cpp": ["loader", "xml", "keywords", "config"],
    "src/winui/dpi.cpp": ["loader", "xml", "keywords", "config", "search", "merge", "view", "dialogs", "shell"],
    "src/view/child_view.cpp": ["loader", "xml", "dialogs", "shell"],
    "src/dialogs/dialog.cpp": ["loader", "xml", "search", "view", "shell"],
    "src/dialogs/config_dialog.cpp": ["loader", "xml", "search", "view", "shell"],
    "src/dialogs/keyword_list_dialog.cpp": ["loader", "xml", "search", "view", "shell"],
    "src/dialogs/search_dialogs.cpp": ["loader", "xml", "shell"],
}
# A header of each folder to try.
PROBE = {
    "foundation": "string.h", "stamps": "stamp_forms.h", "document": "file.h", "loader": "log_loader.h", "xml": "xml.h",
    "keywords": "keyword_set.h", "config": "comm_config.h", "search": "line_scan.h", "merge": "merged_rows.h",
    "winui": "dpi.h", "view": "log_view.h", "dialogs": "dialog.h", "shell": "app_main.h",
}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([a-z_]+)/([^"]+)"', re.M)


def resolves(command, header):
    """True when the library's compiler command finds "header"."""
    with tempfile.NamedTemporaryFile("w", suffix=".cpp", delete=False) as probe:
        probe.write('#include "%s"\n' % header)
    args = shlex.split(command)
    source = args.index("-c") + 1
    args = [a for i, a in enumerate(args) if i != source and a != "-c"]
    out = args.index("-o")
    del args[out:out + 2]
    try:
        run = subprocess.run(args + ["-E", "-o", os.devnull, probe.name], capture_output=True)
        return run.returncode == 0
    finally:
        os.unlink(probe.name)


def probe_problems(build, root):
    """Rule 1, over the sources the build folder compiles."""
    commands = {os.path.relpath(e["file"], root): e["command"]
                for e in json.load(open(os.path.join(build, "compile_commands.json")))}
    problems = []
    for source, banned in UNREACHABLE.items():
        if source not in commands:
            continue
        command = commands[source]
        own = source.split("/")[1]
        if not resolves(command, "%s/%s" % (own, PROBE[own])):
            problems.append("%s cannot include its own headers" % source)
        for folder in banned:
            if resolves(command, "%s/%s" % (folder, PROBE[folder])):
                problems.append("%s can include %s/%s" % (source, folder, PROBE[folder]))
    return problems


def header_problems(root):
    """Rule 2, over every header of src/."""
    targets = link_graph.read(root)
    exposed = {t.exposes: t.name for t in targets.values() if t.exposes}
    problems = []
    src = os.path.join(root, "src")
    for folder in sorted(os.listdir(src)):
        if folder not in exposed or not os.path.isdir(os.path.join(src, folder)):
            continue
        for header in sorted(f for f in os.listdir(os.path.join(src, folder)) if f.endswith(".h")):
            owner = link_graph.owner_of_header(targets, folder, header)
            allowed = link_graph.header_scope(targets, owner)
            text = open(os.path.join(src, folder, header), encoding="utf-8").read()
            for prefix, name in INCLUDE.findall(text):
                if prefix not in exposed:
                    continue
                used = link_graph.owner_of_header(targets, prefix, name)
                if used not in allowed:
                    problems.append("src/%s/%s (%s) includes %s/%s, but %s does not link %s PUBLIC" %
                                    (folder, header, owner, prefix, name, owner, used))
    return problems


def main():
    build = sys.argv[1]
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    problems = probe_problems(build, root) + header_problems(root)
    for problem in problems:
        print("include scope: %s" % problem)
    print("include scope: %s" % ("ok" if not problems else "%d problem(s)" % len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
