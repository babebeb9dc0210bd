#!/usr/bin/env python3
"""Checks the include structure of the libraries.

A module is a header and its source (kaz2d/image.h with kaz2d/image.cpp). The check fails when
modules include each other in a loop, when libraries depend on each other in a loop, or
when a renderer folder below kaz2d/ includes another renderer (renderers stand side by side on
the shared OpenGL layer in kaz2d/gl/, which includes none of them).

Usage: tools/check-structure.py [source root]
"""
import os
import re
import sys

LIBRARY_ROOTS = ["core", "stream", "pixmap", "system", "audio", "kaz2d", "framework", "game"]
SHARED_GL_LAYER = "kaz2d/gl"
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def source_files(root):
    for top in LIBRARY_ROOTS:
        for folder, _, names in os.walk(os.path.join(root, top)):
            for name in names:
                if name.endswith((".h", ".cpp")):
                    yield os.path.relpath(os.path.join(folder, name), root)


def include_graph(root):
    """Module -> the modules it includes, for the modules of the libraries."""
    files = list(source_files(root))
    modules = {os.path.splitext(f)[0] for f in files}
    graph = {m: set() for m in modules}
    for path in files:
        module = os.path.splitext(path)[0]
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as source:
            for included in INCLUDE.findall(source.read()):
                target = os.path.splitext(included)[0]
                if target in modules and target != module:
                    graph[module].add(target)
    return graph


def loops(graph):
    """The strongly connected components with more than one node (Tarjan, iterative)."""
    index, low, on_stack, stack, found = {}, {}, set(), [], []
    counter = 0
    for start in sorted(graph):
        if start in index:
            continue
        work = [(start, iter(sorted(graph[start])))]
        index[start] = low[start] = counter
        counter += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, successors = work[-1]
            advanced = False
            for successor in successors:
                if successor not in index:
                    index[successor] = low[successor] = counter
                    counter += 1
                    stack.append(successor)
                    on_stack.add(successor)
                    work.append((successor, iter(sorted(graph[successor]))))
                    advanced = True
                    break
                if successor in on_stack:
                    low[node] = min(low[node], index[successor])
            if advanced:
                continue
            work.pop()
            if work:
                low[work[-1][0]] = min(low[work[-1][0]], low[node])
            if low[node] == index[node]:
                component = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    component.append(member)
                    if member == node:
                        break
                if len(component) > 1:
                    found.append(sorted(component))
    return found


def folder_of(module):
    return os.path.dirname(module)


def library_of(root, module):
    """The nearest folder above the module whose CMakeLists.txt makes a library."""
    folder = folder_of(module)
    while folder:
        cmake = os.path.join(root, folder, "CMakeLists.txt")
        if os.path.exists(cmake) and "qrv_add_library" in open(cmake, encoding="utf-8").read():
            return folder
        folder = os.path.dirname(folder)
    return folder_of(module)


def library_graph(root, graph):
    libraries = {}
    for module, targets in graph.items():
        source = library_of(root, module)
        edges = libraries.setdefault(source, set())
        edges.update(library_of(root, t) for t in targets if library_of(root, t) != source)
    for targets in list(libraries.values()):
        for target in targets:
            libraries.setdefault(target, set())
    return libraries


def renderer_faults(graph):
    """Includes between renderer folders, or from the shared layer into one."""
    def renderer(folder):
        return folder.startswith("kaz2d/") and folder != SHARED_GL_LAYER and "/" not in folder[6:]

    faults = []
    for module, targets in graph.items():
        source = folder_of(module)
        for target in targets:
            destination = folder_of(target)
            if destination == source or not renderer(destination):
                continue
            if renderer(source) or source == SHARED_GL_LAYER:
                faults.append(f"{module} includes {target}")
    return sorted(faults)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    graph = include_graph(root)
    problems = [f"modules in a loop: {' <-> '.join(c)}" for c in loops(graph)]
    problems += [f"libraries in a loop: {' <-> '.join(c)}" for c in loops(library_graph(root, graph))]
    problems += [f"renderers must not include each other: {f}" for f in renderer_faults(graph)]
    for problem in problems:
        print(problem)
    print(f"{len(graph)} modules checked, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
