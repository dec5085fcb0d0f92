#!/usr/bin/env python3
"""Checks that every include of the tree points the way docs/ draws it:

- no library includes anything from apps/, and a library includes only libraries below it
  (LAYERS);
- no application includes another application's files;
- no library includes Qt unless it is a GUI layer (framework/, the diagram's window and
  drawing, editor/, host/, resources/);
- no include circle across files: a header and its source count as one file, and a circle
  runs through two or more of them (a.cpp includes b.h, b.cpp includes a.h).

Prints each fault with the line that makes it; exits 1 when there is one.
  scripts/check-includes.py [ROOT]
"""
import os
import re
import sys

ROOT = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))

# Each library's height: a library includes only those lower than itself. include/ is the
# public header of the plug-in, for hosts.
LAYERS = {"data": 0, "translation": 0, "include": 0,
          "framework": 1, "smoothing": 1, "exchange": 1,
          "resources": 2, "logs": 2,
          "live": 3, "diagram": 3,
          "editor": 4,
          "host": 5}
LIBRARIES = list(LAYERS)
# The GUI layers, which stand on Qt. Of diagram/ only the window and its drawing do: its
# geometry is plain C++, used by programs without the framework.
QT_ALLOWED = ["framework/", "resources/", "editor/", "host/", "include/", "diagram/graph",
              "diagram/diagram_host"]
# Circles known and left for later; a new one fails. Each entry is the sorted set of its files.
KNOWN_CIRCLES = [
    # The framework's windows, controls and dialogs know each other; to be cut when its public
    # headers hide Qt.
    {"framework/controls", "framework/custom_window", "framework/dc", "framework/dialog",
     "framework/handler_scope", "framework/input_routing", "framework/interaction",
     "framework/wnd"},
]
SOURCE = re.compile(r"\.(h|hpp|cpp|cc)$")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
QT_HEADER = re.compile(r"^(Q[A-Z]\w*|Qt\w*/|qt\w*\.h$)")


def sources():
    for top in LIBRARIES + ["apps"]:
        for folder, _, names in os.walk(os.path.join(ROOT, top)):
            for name in sorted(names):
                if SOURCE.search(name):
                    path = os.path.join(folder, name)
                    yield os.path.relpath(path, ROOT)


def unit(path):
    """A file without its extension: foo.h and foo.cpp are one file here."""
    return SOURCE.sub("", path)


def application(path):
    parts = path.split("/")
    return parts[1] if parts[0] == "apps" and len(parts) > 2 else None


def main():
    faults = []
    edges = {}
    files = set(sources())
    for path in sorted(files):
        with open(os.path.join(ROOT, path), encoding="utf-8", errors="replace") as f:
            lines = f.readlines()
        app = application(path)
        for number, line in enumerate(lines, 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            kind, target = match.groups()
            where = f"{path}:{number}: {line.strip()}"
            if kind == "<" and QT_HEADER.match(target):
                if app is None and not any(path.startswith(p) for p in QT_ALLOWED):
                    faults.append(f"{where}: a library that is no GUI layer includes Qt")
                continue
            if kind != '"':
                continue
            if target.startswith("apps/"):
                if app is None:
                    faults.append(f"{where}: a library includes an application's file")
                elif application(target) != app:
                    faults.append(f"{where}: an application includes another's file")
            layer = path.split("/")[0]
            if app is None and layer in LAYERS:
                below = target.split("/")[0]
                if below == "polar":  # the public header, found through include/
                    below = "include"
                if below in LAYERS and below != layer and LAYERS[below] >= LAYERS[layer]:
                    faults.append(f"{where}: {layer}/ includes {below}/, which is not below it")
            resolved = target if target in files else ("include/" + target if "include/" + target in files else None)
            if resolved is not None and unit(resolved) != unit(path):
                edges.setdefault(unit(path), set()).add(unit(resolved))
    for circle in circles(edges):
        if set(circle) not in KNOWN_CIRCLES:
            faults.append("files that include each other in a circle: " + ", ".join(circle))
    for fault in faults:
        print(fault, file=sys.stderr)
    if faults:
        print(f"{len(faults)} include(s) against the rules (docs/ and scripts/check-includes.py)",
              file=sys.stderr)
        return 1
    return 0


def circles(edges):
    """The groups of two files or more that reach each other through includes (the strongly
    connected components, by Tarjan's algorithm), each sorted."""
    index, low, stack, on_stack, groups = {}, {}, [], set(), []
    counter = [0]

    def visit(node):
        index[node] = low[node] = counter[0]
        counter[0] += 1
        stack.append(node)
        on_stack.add(node)
        for nxt in sorted(edges.get(node, ())):
            if nxt not in index:
                visit(nxt)
                low[node] = min(low[node], low[nxt])
            elif nxt in on_stack:
                low[node] = min(low[node], index[nxt])
        if low[node] == index[node]:
            group = []
            while True:
                top = stack.pop()
                on_stack.discard(top)
                group.append(top)
                if top == node:
                    break
            if len(group) > 1:
                groups.append(sorted(group))

    sys.setrecursionlimit(10000)
    for node in sorted(edges):
        if node not in index:
            visit(node)
    return groups


if __name__ == "__main__":
    sys.exit(main())
