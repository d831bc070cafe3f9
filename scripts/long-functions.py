#!/usr/bin/env python3
"""Lists the functions of the given C++ files (default: src/) longer than a limit (default 60
lines, from the line that opens the body to the line that closes it). A heuristic brace counter:
a body is a brace block opened after a closing parenthesis, outside another function's body."""
import pathlib
import re
import sys


def strip(line, in_comment):
    out = []
    i = 0
    while i < len(line):
        if in_comment:
            end = line.find("*/", i)
            if end < 0:
                return "".join(out), True
            i, in_comment = end + 2, False
        elif line.startswith("//", i):
            break
        elif line.startswith("/*", i):
            in_comment = True
            i += 2
        elif line[i] in "\"'":
            quote = line[i]
            i += 1
            while i < len(line) and line[i] != quote:
                i += 2 if line[i] == "\\" else 1
            i += 1
        else:
            out.append(line[i])
            i += 1
    return "".join(out), in_comment


def long_functions(path, limit):
    depth, body_depth, start, name = 0, None, 0, ""
    header = ""
    in_comment = False
    for number, raw in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line, in_comment = strip(raw, in_comment)
        if line.lstrip().startswith("#"):
            continue
        for ch in line:
            if ch == "{":
                if body_depth is None and re.search(r"\)\s*(const|override|final|noexcept|"
                                                    r"->[^{]*|:[^{]*|\s)*$", header) and \
                        not re.search(r"\b(namespace|class|struct|enum|union)\b[^()]*$", header):
                    body_depth, start = depth, number
                    name = re.findall(r"([~\w:]+)\s*\(", header)
                    name = name[0] if name else "?"
                depth += 1
                header = ""
            elif ch == "}":
                depth -= 1
                if body_depth is not None and depth == body_depth:
                    if number - start + 1 > limit:
                        yield f"{path}:{start}: {name} {number - start + 1} lines"
                    body_depth = None
                header = ""
            elif ch == ";":
                header = ""
            else:
                header += ch
        header += " "


def main():
    limit = 60
    paths = [pathlib.Path(p) for p in sys.argv[1:]] or [pathlib.Path("src")]
    files = []
    for p in paths:
        files += sorted(p.rglob("*.cpp")) + sorted(p.rglob("*.h")) if p.is_dir() else [p]
    found = [entry for f in files for entry in long_functions(f, limit)]
    print("\n".join(found))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
