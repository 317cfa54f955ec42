"""The libraries of src/ as the CMake files declare them: for each target its folder, its
sources, and what it links PUBLIC and PRIVATE. Conditions (if(WIN32) ...) are ignored, so
a library has the links of every platform. Shared by check-include-scope.py and
gen-library-diagram.py."""
import os
import re

COMMAND = re.compile(r"\b(add_library|add_executable|target_link_libraries|quillon_layer|quillon_expose)\s*\(([^)]*)\)",
                     re.S)


class Target:
    def __init__(self, name, folder, kind):
        self.name = name
        self.kind = kind  # "executable" or "library"
        self.folder = folder  # the folder of src/ whose CMakeLists.txt declares it
        self.exposes = None  # the include prefix ("view" for "view/...") it makes visible
        self.sources = []
        self.public = []  # in the order written
        self.private = []


def _words(text):
    text = re.sub(r"#[^\n]*", "", text)
    return text.split()


def read(root):
    """The targets of root/src/*/CMakeLists.txt and root/src/CMakeLists.txt, by name."""
    targets = {}
    src = os.path.join(root, "src")
    files = [os.path.join(src, "CMakeLists.txt")]
    files += sorted(os.path.join(src, d, "CMakeLists.txt") for d in os.listdir(src)
                    if os.path.isfile(os.path.join(src, d, "CMakeLists.txt")))
    for path in files:
        folder = os.path.basename(os.path.dirname(path)) if os.path.dirname(path) != src else None
        text = re.sub(r"#[^\n]*", "", open(path, encoding="utf-8").read())
        for command, body in COMMAND.findall(text):
            words = _words(body)
            if command in ("add_library", "add_executable"):
                kind = "executable" if command == "add_executable" else "library"
                target = targets.setdefault(words[0], Target(words[0], folder, kind))
                target.sources += [w for w in words[1:] if w.endswith((".cpp", ".c"))]
            elif command == "quillon_layer":
                targets[words[0]].exposes = words[1]
            elif command == "quillon_expose":
                targets[words[0]].exposes = words[1]
            else:
                target = targets.get(words[0])
                if target is None:
                    continue
                scope = target.private
                for word in words[1:]:
                    if word in ("PUBLIC", "INTERFACE"):
                        scope = target.public
                    elif word == "PRIVATE":
                        scope = target.private
                    elif word not in scope:
                        scope.append(word)
    return targets


def header_scope(targets, name):
    """The targets whose headers name's headers may include: name itself and what it links
    PUBLIC. (CMake passes on the PUBLIC links of those too, but a header that relies on
    that breaks when they change: it names what it includes.)"""
    return [name] + targets[name].public


def owner_of_header(targets, folder, header):
    """The target a header of src/<folder>/ belongs to: the one that compiles the source of
    the same name, else the one that exposes the folder."""
    stem = os.path.splitext(header)[0]
    for target in targets.values():
        if target.folder == folder and any(os.path.splitext(s)[0] == stem for s in target.sources):
            return target.name
    for target in targets.values():
        if target.exposes == folder:
            return target.name
    return None
