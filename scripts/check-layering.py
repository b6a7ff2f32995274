#!/usr/bin/python3
"""Fails when a file includes a header of a folder whose library its own target does not link.

Each library exports an include root holding only its own folder (cmake/IncludeRoots.cmake), so
the compiler already refuses an include of a folder that a target does not link. This check is the
finer second one: libraries of one folder share its root (realtime_core and realtime), and it holds
the includes to the link graph that CMake itself reports, library by library. Usage: check-layering.py SOURCE_DIR BUILD_DIR, where BUILD_DIR was configured
with --graphviz=BUILD_DIR/graph/targets.dot and CMAKE_EXPORT_COMPILE_COMMANDS.

- The targets of a source file are the ones compile_commands.json builds it for.
- A header belongs to the libraries that list it among their sources (CMake's file API code
  model, when BUILD_DIR was configured with a codemodel-v2 query), else to the libraries that
  compile its source beside it (Foo.cpp for Foo.h), else to the library that compiles most of the
  sources of its folder or the nearest folder above.
- A target may include the headers of the libraries it links, directly or through others.
- The folders checked are those whose sources mostly build libraries (the tool's layers); test,
  benchmark and harness folders, whose sources mostly build programs, include what they link.
"""

import collections
import json
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
NODE = re.compile(r'^\s*"(node\d+)"\s*\[\s*label\s*=\s*"([^"]+)",\s*shape\s*=\s*(\w+)',
                  re.MULTILINE)
EDGE = re.compile(r'^\s*"(node\d+)"\s*->\s*"(node\d+)"', re.MULTILINE)
OBJECT = re.compile(r'CMakeFiles/([^/\s]+)\.dir/')
SOURCE_ENDINGS = (".cpp", ".cc", ".h", ".hpp")


def read_graph(dot_path):
    with open(dot_path, encoding="utf-8") as dot:
        text = dot.read()
    nodes = NODE.findall(text)
    names = {node: name for node, name, _ in nodes}
    programs = {name for _, name, shape in nodes if shape == "egg"}
    links = collections.defaultdict(set)
    for source, target in EDGE.findall(text):
        links[names[source]].add(names[target])
    return programs, links


def closure(target, links):
    seen, todo = set(), [target]
    while todo:
        for linked in links.get(todo.pop(), ()):
            if linked not in seen:
                seen.add(linked)
                todo.append(linked)
    return seen


def read_targets(build_dir, root):
    """Source file -> the targets that compile it (project files only)."""
    with open(os.path.join(build_dir, "compile_commands.json"), encoding="utf-8") as commands:
        entries = json.load(commands)
    targets = collections.defaultdict(set)
    for entry in entries:
        path = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
        if not path.startswith(root + os.sep):
            continue
        command = entry.get("command") or " ".join(entry.get("arguments", []))
        output = entry.get("output", "") + " " + command
        found = OBJECT.search(output)
        if found:
            targets[os.path.relpath(path, root)].add(found.group(1))
    return targets


def read_listed_headers(build_dir, root):
    """Header -> the targets that list it among their sources, from the file API's code model
    (empty when the build directory has no reply)."""
    reply = os.path.join(build_dir, ".cmake", "api", "v1", "reply")
    listed = collections.defaultdict(set)
    if not os.path.isdir(reply):
        return listed
    indexes = sorted(name for name in os.listdir(reply) if name.startswith("index-"))
    if not indexes:
        return listed
    with open(os.path.join(reply, indexes[-1]), encoding="utf-8") as index_file:
        index = json.load(index_file)
    for entry in index.get("objects", []):
        if entry.get("kind") != "codemodel":
            continue
        with open(os.path.join(reply, entry["jsonFile"]), encoding="utf-8") as model_file:
            model = json.load(model_file)
        source_dir = os.path.realpath(model["paths"]["source"])
        for configuration in model.get("configurations", []):
            for target in configuration.get("targets", []):
                with open(os.path.join(reply, target["jsonFile"]), encoding="utf-8") as target_file:
                    details = json.load(target_file)
                for source in details.get("sources", []):
                    path = os.path.realpath(os.path.join(source_dir, source["path"]))
                    if path.startswith(root + os.sep) and path.endswith((".h", ".hpp")):
                        listed[os.path.relpath(path, root)].add(details["name"])
    return listed


def folder_libraries(file_targets, programs):
    """Folder -> the library that compiles most of the sources directly in it."""
    counts = collections.defaultdict(collections.Counter)
    for path, targets in file_targets.items():
        for target in targets - programs:
            counts[os.path.dirname(path)][target] += 1
    return {folder: counter.most_common(1)[0][0] for folder, counter in counts.items()}


def layered_folders(file_targets, programs):
    """Top folders whose sources mostly build libraries."""
    votes = collections.Counter()
    for path, targets in file_targets.items():
        votes[path.split(os.sep)[0]] += 1 if targets - programs else -1
    return {folder for folder, vote in votes.items() if vote > 0}


def resolve(include, including_dir, root, folders):
    """The project-relative path of a quoted include, or None for one outside the project."""
    local = os.path.normpath(os.path.join(including_dir, include))
    if os.path.isfile(os.path.join(root, local)):
        return local
    if os.path.isfile(os.path.join(root, include)):
        return os.path.normpath(include)
    # A bare name of another folder's header, as a test of that folder may write it.
    for folder in folders:
        candidate = os.path.join(folder, include)
        if os.path.isfile(os.path.join(root, candidate)):
            return os.path.normpath(candidate)
    return None


def libraries_of(path, file_targets, programs, libraries, listed):
    """The libraries that own a header: those listing it, else its source's, else its folder's
    or the nearest above."""
    if listed.get(path, set()) - programs:
        return listed[path] - programs
    stem = os.path.splitext(path)[0]
    for ending in (".cpp", ".cc"):
        beside = file_targets.get(stem + ending, set()) - programs
        if beside:
            return beside
    folder = os.path.dirname(path)
    while folder:
        if folder in libraries:
            return {libraries[folder]}
        folder = os.path.dirname(folder)
    return set()


def project_files(root, file_targets):
    tracked = set(file_targets)
    for folder in {p.split(os.sep)[0] for p in file_targets}:
        for directory, _, names in os.walk(os.path.join(root, folder)):
            for name in names:
                if name.endswith(SOURCE_ENDINGS):
                    tracked.add(os.path.relpath(os.path.join(directory, name), root))
    return sorted(tracked)


def main():
    root = os.path.realpath(sys.argv[1])
    build_dir = os.path.realpath(sys.argv[2])
    programs, links = read_graph(os.path.join(build_dir, "graph", "targets.dot"))
    file_targets = read_targets(build_dir, root)
    listed = read_listed_headers(build_dir, root)
    libraries = folder_libraries(file_targets, programs)
    top_folders = sorted({p.split(os.sep)[0] for p in file_targets})
    checked = layered_folders(file_targets, programs)

    faults = []
    for path in project_files(root, file_targets):
        if path.split(os.sep)[0] not in checked:
            continue
        owners = file_targets.get(path) or libraries_of(path, file_targets, programs, libraries, listed)
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as source:
            includes = INCLUDE.findall(source.read())
        for include in includes:
            header = resolve(include, os.path.dirname(path), root, top_folders)
            if header is None:
                continue
            providers = libraries_of(header, file_targets, programs, libraries, listed)
            if not providers:
                continue
            for owner in owners:
                if not providers & (closure(owner, links) | {owner}):
                    faults.append(f"{path}: includes {header}, a header of "
                                  f"{' or '.join(sorted(providers))}, which {owner} does not link")
    for fault in faults:
        print(fault)
    if faults:
        print(f"layering: {len(faults)} include(s) across the link graph", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
