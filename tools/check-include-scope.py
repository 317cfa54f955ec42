#!/usr/bin/env python3
"""Checks that the build, not only convention, keeps each library to its layer: with a
library's own compile command, a header of a library above it must not even be found.
Libraries the build folder does not compile (the Win32 ones natively) are left out.
Usage: check-include-scope.py <build folder with compile_commands.json>"""
import json, os, shlex, subprocess, sys, tempfile

# One source of each library, and the folders it must not reach.
UNREACHABLE = {
    "src/foundation/string.cpp": ["document", "loader", "xml", "keywords", "config", "search"],
    "src/document/file.cpp": ["loader", "xml", "keywords", "config", "search"],
    "src/xml/xml.cpp": ["loader", "keywords", "config", "search"],
    "src/keywords/keyword_set.cpp": ["loader", "config", "search"],
    "src/loader/log_loader.cpp": ["xml", "config", "search"],
    "src/config/comm_config.cpp": ["loader", "search"],
    "src/search/regex.cpp": ["loader", "xml", "keywords", "config"],
    "src/view/child_view.cpp": ["loader", "dialogs", "shell"],
    "src/dialogs/dialog.cpp": ["view", "shell"],
}
# A header of each folder to try.
PROBE = {
    "foundation": "string.h", "document": "file.h", "loader": "log_loader.h", "xml": "xml.h",
    "keywords": "keyword_set.h", "config": "comm_config.h", "search": "line_scan.h",
    "view": "log_view.h", "dialogs": "dialog.h", "shell": "app_main.h",
}


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


def main():
    build = sys.argv[1]
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    commands = {os.path.relpath(e["file"], root): e["command"]
                for e in json.load(open(os.path.join(build, "compile_commands.json")))}
    problems = 0
    for source, banned in UNREACHABLE.items():
        if source not in commands:
            continue
        command = commands[source]
        own = source.split("/")[1]
        if not resolves(command, "%s/%s" % (own, PROBE[own])):
            print("include scope: %s cannot include its own headers" % source)
            problems += 1
        for folder in banned:
            if resolves(command, "%s/%s" % (folder, PROBE[folder])):
                print("include scope: %s can include %s/%s" % (source, folder, PROBE[folder]))
                problems += 1
    print("include scope: %s" % ("ok" if problems == 0 else "%d problem(s)" % problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
