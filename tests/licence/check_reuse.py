#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Kobaltfa developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""Checks the copyright and licence of every file of the source tree.

1. Every pattern of REUSE.toml names at least one file.
2. `reuse lint` is clean. A reuse older than 3 (Debian 12 has 1.1) does not
   read REUSE.toml: it lints a copy of the tree in which the same
   annotations are written as .reuse/dep5, each pattern expanded to the
   files it names, so both read exactly the same annotations.
3. debian/copyright agrees with REUSE: for every file, the last paragraph
   whose Files patterns match it gives the licence and the copyright that
   REUSE reports for it.

The files are those git knows and does not ignore, as reuse takes them;
outside a git work tree the check is skipped (exit status 77).

Usage: check_reuse.py SOURCE-DIR
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import tomllib

COPYRIGHT_KEY = "SPDX-FileCopyright" + "Text"  # spelt apart so reuse does not read it as a tag here
LICENCE_KEY = "SPDX-License-" + "Identifier"


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def tree_files(root):
    inside = subprocess.run(["git", "-C", root, "rev-parse", "--is-inside-work-tree"], capture_output=True, text=True)
    if inside.stdout.strip() != "true":
        print(f"SKIP: {root} is no git work tree, so which files are the project's is not known")
        sys.exit(77)
    out = subprocess.run(["git", "-C", root, "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                         capture_output=True, check=True).stdout.decode()
    return sorted(f for f in set(out.split("\0")) if f and os.path.isfile(os.path.join(root, f)))


def reuse_toml_regex(pattern):
    """REUSE.toml globs: * stays inside a folder, ** crosses folders."""
    out = ""
    i = 0
    while i < len(pattern):
        if pattern.startswith("**", i):
            out += ".*"
            i += 2
        elif pattern[i] == "*":
            out += "[^/]*"
            i += 1
        else:
            out += re.escape(pattern[i])
            i += 1
    return re.compile(out + r"\Z")


def as_list(value):
    return value if isinstance(value, list) else [value]


def reuse_toml_annotations(root, files):
    with open(os.path.join(root, "REUSE.toml"), "rb") as f:
        toml = tomllib.load(f)
    if toml.get("version") != 1:
        fail("REUSE.toml: version 1 expected")
    annotations = []
    for a in toml.get("annotations", []):
        named = []
        for pattern in as_list(a["path"]):
            matched = [f for f in files if reuse_toml_regex(pattern).match(f)]
            if not matched:
                fail(f"REUSE.toml: {pattern} names no file")
            named += matched
        annotations.append((named, as_list(a[COPYRIGHT_KEY]), a[LICENCE_KEY]))
    return annotations


def reuse_version():
    out = subprocess.run(["reuse", "--version"], capture_output=True, text=True, check=True).stdout
    m = re.search(r"(\d+)\.(\d+)", out)
    return (int(m.group(1)), int(m.group(2))) if m else (0, 0)


def linted_tree(root, files, workdir):
    """The folder to run reuse in: the tree itself, or a copy with .reuse/dep5."""
    if reuse_version() >= (3, 0):
        return root
    annotations = reuse_toml_annotations(root, files)
    copy = os.path.join(workdir, "tree")
    for f in files:
        os.makedirs(os.path.dirname(os.path.join(copy, f)), exist_ok=True)
        shutil.copy2(os.path.join(root, f), os.path.join(copy, f))
    os.makedirs(os.path.join(copy, ".reuse"))
    with open(os.path.join(copy, ".reuse", "dep5"), "w") as dep5:
        dep5.write("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n")
        dep5.write("Upstream-Name: Kobaltfa\n")
        for named, holders, licence in annotations:
            dep5.write("\nFiles:\n" + "".join(f" {f}\n" for f in named))
            dep5.write("Copyright: " + "\n ".join(holders) + "\n")
            dep5.write(f"License: {licence}\n")
    return copy


def reuse_report(tree):
    """Per file (path from the root): its licences and copyright lines."""
    out = subprocess.run(["reuse", "--root", tree, "spdx"], capture_output=True, text=True, check=True).stdout
    report = {}
    name = None
    for m in re.finditer(r"^(FileName|LicenseInfoInFile|FileCopyrightText): (.*?)(?=^\w+: |\Z)", out, re.M | re.S):
        key, value = m.group(1), m.group(2).strip()
        if key == "FileName":
            name = value.removeprefix("./")
            report[name] = (set(), set())
        elif key == "LicenseInfoInFile":
            report[name][0].add(value)
        else:
            text = re.sub(r"</?text>", "", value)
            report[name][1].update(plain_holder(line) for line in text.splitlines() if line.strip())
    return report


def plain_holder(line):
    """'SPDX-...Text: 2026 X', 'Copyright \\(co 2026 X.' and '2026 X' are all '2026 X'."""
    line = re.sub(r"^\s*(" + COPYRIGHT_KEY + r":|Copyright)\s*(\\\(co|©|\([cC]\))?\s*", "", line.strip())
    return line.rstrip(".").strip()


def dep5_paragraphs(path):
    paragraphs = []
    with open(path, encoding="utf-8") as f:
        for block in re.split(r"\n\s*\n", f.read()):
            fields, key = {}, None
            for line in block.splitlines():
                if line.startswith((" ", "\t")) and key:
                    fields[key] += "\n" + line.strip()
                elif ":" in line:
                    key, value = line.split(":", 1)
                    fields[key] = value.strip()
            if "Files" in fields:
                paragraphs.append(fields)
    return paragraphs


def dep5_regex(pattern):
    """DEP-5 globs: * matches any run of characters, / included; ? one."""
    return re.compile("".join(".*" if c == "*" else "." if c == "?" else re.escape(c) for c in pattern) + r"\Z")


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        sys.exit(2)
    root = os.path.abspath(sys.argv[1])
    files = tree_files(root)
    reuse_toml_annotations(root, files)  # every pattern names a file

    with tempfile.TemporaryDirectory() as work:
        tree = linted_tree(root, files, work)
        lint = subprocess.run(["reuse", "--root", tree, "lint"], capture_output=True, text=True)
        if lint.returncode != 0:
            print(lint.stdout + lint.stderr)
            fail("reuse lint")
        report = reuse_report(tree)

    paragraphs = [(p["Files"].split(), {plain_holder(c) for c in p["Copyright"].splitlines()},
                   p["License"].splitlines()[0].strip())
                  for p in dep5_paragraphs(os.path.join(root, "debian", "copyright"))]
    disagree = []
    for f in files:
        if f not in report:
            continue  # the licence texts and LICENSE itself
        licences, holders = report[f]
        said = None
        for patterns, p_holders, p_licence in paragraphs:
            if any(dep5_regex(p).match(f) for p in patterns):
                said = (p_holders, p_licence)
        if said is None or licences != {said[1]} or holders != said[0]:
            disagree.append(f"{f}: REUSE {sorted(licences)} {sorted(holders)}, debian/copyright {said}")
    if disagree:
        fail("debian/copyright and REUSE disagree:\n  " + "\n  ".join(disagree))
    print(f"reuse lint clean; debian/copyright agrees for all {len(report)} files")


if __name__ == "__main__":
    main()
