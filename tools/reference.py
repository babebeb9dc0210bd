#!/usr/bin/env python3
"""Writes the framework's reference from the comments of its public headers, and checks it.

A library's public headers are the ones its umbrella header (api.h in its folder) includes; the
whole framework's umbrella is framework/framework.h. Every declaration of a public header that a
program can use (a function, a type, a constant, a public member) must carry a comment: the
comment lines directly above it, or one at the end of its line. Declarations written together
without a blank line share the comment above the first of them when they are constants, fields or
types, and when they are functions of the same name (overloads) or the comment names them.
Overrides, constructors, destructors and operators need none.

Usage: tools/reference.py [--source ROOT] [--output FILE] [--check]
  --output FILE  writes the reference there (default: ROOT/docs/reference.md)
  --check        writes nothing; fails, listing them, when a public declaration has no comment,
                 when a public header includes an internal one, when docs/reference.md differs from
                 what the headers give, or when the guide names a call without linking it
"""
import argparse
import os
import re
import sys

LIBRARIES = [  # folder, umbrella, what it is
    ("core", "core/api.h"),
    ("stream", "stream/api.h"),
    ("stream/data", "stream/data/api.h"),
    ("pixmap", "pixmap/api.h"),
    ("system", "system/api.h"),
    ("audio", "audio/api.h"),
    ("kaz2d", "kaz2d/api.h"),
    ("kaz2d/gl", "kaz2d/gl/api.h"),
    ("kaz2d/glfixed", "kaz2d/glfixed/api.h"),
    ("kaz2d/glshader", "kaz2d/glshader/api.h"),
    ("framework", "framework/framework.h"),
]
GUIDE = "docs/framework.md"
REFERENCE = "docs/reference.md"
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
IDENTIFIER = re.compile(r"[A-Za-z_]\w*")


class Entry:
    def __init__(self, scope, head, kind, name, first_line, last_line):
        self.scope = scope  # the enclosing class's name, or "" at namespace level
        self.head = head  # the declaration as written, on one line, without a body
        self.kind = kind  # "function", "type", "alias", "value"
        self.name = name
        self.first_line = first_line
        self.last_line = last_line
        self.doc = ""  # its own comment
        self.leader = None  # the entry whose comment it shares

    @property
    def qualified(self):
        return f"{self.scope}::{self.name}" if self.scope else self.name

    @property
    def anchor(self):
        return self.qualified.replace("::", "-")


class Header:
    """A header split into code (comments and preprocessor lines blanked, line breaks kept)
    and, per line, its comment and whether the line holds only a comment or nothing."""

    def __init__(self, path, name):
        self.name = name
        lines = open(path, encoding="utf-8").read().split("\n")
        self.comments, self.comment_only, self.blank, code = [], [], [], []
        for line in lines:
            text, comment = split_comment(line)
            if text.lstrip().startswith("#"):
                text = ""
            code.append(text)
            self.comments.append(comment)
            self.comment_only.append(not text.strip() and comment is not None)
            self.blank.append(not text.strip() and comment is None and not line.strip().startswith("#"))
        self.code = "\n".join(code)
        self.line_starts = [0]
        for text in code:
            self.line_starts.append(self.line_starts[-1] + len(text) + 1)
        self.entries = []
        self.problems = []

    def line_of(self, pos):
        low, high = 0, len(self.line_starts) - 1
        while low < high:
            middle = (low + high + 1) // 2
            if self.line_starts[middle] <= pos:
                low = middle
            else:
                high = middle - 1
        return low

    def leading_comment(self, line):
        """The comment lines directly above the line, joined."""
        collected = []
        line -= 1
        while line >= 0 and self.comment_only[line]:
            collected.append(self.comments[line])
            line -= 1
        return " ".join(reversed(collected)).strip()

    def trailing_comment(self, first, last):
        parts = [self.comments[line] for line in range(first, last + 1)
                 if self.comments[line] is not None and not self.comment_only[line]]
        return " ".join(parts).strip()

    def adjacent(self, earlier, later):
        """Whether nothing but code lies between two declarations (no blank, no comment)."""
        return all(not self.blank[line] and not self.comment_only[line]
                   for line in range(earlier.last_line + 1, later.first_line))


def split_comment(line):
    """The code of a line and its // comment (None when it has none), strings respected."""
    quote = None
    i = 0
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\":
                i += 1
            elif c == quote:
                quote = None
        elif c in "\"'":
            quote = c
        elif line.startswith("//", i):
            return line[:i], line[i + 2:].strip()
        i += 1
    return line, None


def matching_brace(code, pos):
    depth = 0
    for i in range(pos, len(code)):
        if code[i] == "{":
            depth += 1
        elif code[i] == "}":
            depth -= 1
            if depth == 0:
                return i
    return len(code) - 1


def statement_end(code, pos):
    depth = 0
    for i in range(pos, len(code)):
        c = code[i]
        if c in "([":
            depth += 1
        elif c in ")]":
            depth -= 1
        elif depth == 0 and c in ";{}":
            return i
    return len(code)


def one_line(text):
    return re.sub(r"\s+", " ", text).strip()


def declared_name(head):
    """The name a declaration declares and whether it is a function."""
    operator = re.search(r"\boperator\s*(\(\)|[^\s(]+)\s*\(", head)
    if operator:
        return "operator" + operator.group(1), True
    depth = 0
    for i, c in enumerate(head):
        if c == "<":
            depth += 1
        elif c == ">":
            depth = max(0, depth - 1)
        elif c == "=" and depth == 0:
            names = IDENTIFIER.findall(head[:i])
            return (names[-1] if names else ""), False
        elif c == "(" and depth == 0:
            before = head[:i].rstrip()
            names = IDENTIFIER.findall(before)
            return (("~" if before.endswith("~" + names[-1]) else "") + names[-1]
                    if names else ""), True
    names = IDENTIFIER.findall(re.sub(r"\[\[.*?\]\]", "", head))
    return (names[-1] if names else ""), False


SKIPPED = re.compile(r"^(friend\b|using\s+namespace\b|static_assert\b|using\s+[\w:]+::\w+$|"
                     r"(class|struct|union|enum(\s+class)?)\s+\w+(\s*:\s*[\w:]+)?$)")
TYPE = re.compile(r"^(template\s*<.*>\s*)?(class|struct|union)\s+(?:\[\[.*?\]\]\s*)?(\w+)")
ENUM = re.compile(r"^enum(\s+class)?\s+(\w+)")


def parse_scope(header, pos, scope, public, skipped):
    """Reads declarations up to the scope's closing brace; gives the position after it.
    scope is the class name ("" for a namespace); public says whether members are public."""
    code = header.code
    previous = None
    while True:
        while pos < len(code) and code[pos].isspace():
            pos += 1
        if pos >= len(code):
            return pos
        if code[pos] == "}":
            return pos + 1
        access = re.match(r"(public|private|protected)\s*:(?!:)", code[pos:])
        if access and scope:
            public = access.group(1) == "public"
            pos += access.end()
            previous = None
            continue
        end = statement_end(code, pos)
        head = one_line(code[pos:end])
        first_line = header.line_of(pos)
        if end >= len(code):
            return end
        if code[end] == "}":
            pos = end
            continue
        if code[end] == ";":
            last_line = header.line_of(end)
            pos = end + 1
            if head and not skipped and public:
                previous = record(header, scope, head, first_line, last_line, previous) or previous
            continue
        # A brace opens a namespace, a class, an enumeration, a function body or an initialiser.
        namespace = re.match(r"^(inline\s+)?namespace\s*(\w*)", head)
        type_match = TYPE.match(head)
        if namespace:
            pos = parse_scope(header, end + 1, "", True,
                              skipped or namespace.group(2) not in ("qrv",))
            previous = None
            continue
        if type_match and "(" not in head.split("{")[0] and "=" not in head:
            close = None
            entry = None
            if not skipped and public:
                entry = record(header, scope, head, first_line, header.line_of(end), previous,
                               definition=True)
            inner = f"{scope}::{type_match.group(3)}" if scope else type_match.group(3)
            pos = parse_scope(header, end + 1, inner, type_match.group(2) != "class",
                              skipped or not public)
            while pos < len(code) and code[pos] in " \t\n;":
                close = pos
                pos += 1
                if code[close] == ";":
                    break
            previous = entry or previous
            continue
        if is_initialiser(head):
            # A braced initialiser ("int64_t{256} << 20", "{'Q', 'R'}"): the declaration runs on
            # to its semicolon, and shows whole.
            semicolon = initialiser_end(code, end)
            if not skipped and public:
                previous = record(header, scope, head, first_line, header.line_of(semicolon),
                                  previous, shown=one_line(code[pos:semicolon])) or previous
            pos = semicolon + 1
            continue
        close = matching_brace(code, end)
        after = close + 1
        while after < len(code) and code[after] in " \t":
            after += 1
        if after < len(code) and code[after] == ";":
            after += 1
        if ENUM.match(head):
            head = f"{head} {one_line(code[end:close + 1])}"
        if head and not skipped and public:
            previous = record(header, scope, head, first_line, header.line_of(end),
                              previous) or previous
        pos = after


def is_initialiser(head):
    """Whether a brace after this head begins a variable's initialiser, not a function's body."""
    if not head or "operator" in head or ENUM.match(head):
        return False
    if "(" not in head:
        return True
    return "=" in head and head.index("=") < head.index("(")


def initialiser_end(code, pos):
    depth = 0
    for i in range(pos, len(code)):
        if code[i] in "({[":
            depth += 1
        elif code[i] in ")}]":
            depth -= 1
        elif code[i] == ";" and depth == 0:
            return i
    return len(code) - 1


def record(header, scope, head, first_line, last_line, previous, definition=False, shown=None):
    # A class defined with a body is recorded even when its head looks like a forward declaration.
    if SKIPPED.match(head) and not (definition and TYPE.match(head)):
        return None
    enum = ENUM.match(head)
    type_match = TYPE.match(head)
    alias = re.match(r"^using\s+(\w+)\s*=", head) or re.match(r"^typedef\b.*?(\w+)\s*$", head)
    if enum:
        kind, name = "type", enum.group(2)
    elif type_match:
        kind, name = "type", type_match.group(3)
        head = head.split("{")[0].strip()
    elif alias:
        kind, name = "alias", alias.group(1)
    else:
        name, is_function = declared_name(head)
        kind = "function" if is_function else "value"
        if not name:
            return None
        own_class = scope.split("::")[-1]
        if is_function and (name in (own_class, "~" + own_class) or name.startswith("operator")
                            or re.search(r"\b(override|final)\b", head.split(")")[-1])
                            or re.search(r"=\s*(delete|default)$", head)):
            return None
    entry = Entry(scope, shown or head, kind, name, first_line, last_line)
    entry.doc = " ".join(part for part in (header.leading_comment(first_line),
                                           header.trailing_comment(first_line, last_line)) if part)
    if not entry.doc and previous is not None and header.adjacent(previous, entry):
        leader = previous.leader or previous
        shared = kind != "function" or name == previous.name or re.search(
            rf"\b{re.escape(name)}\b", leader.doc)
        if shared:
            entry.leader = leader
    if not entry.doc and entry.leader is None:
        header.problems.append(f"{header.name}:{first_line + 1}: no comment on "
                               f"{entry.qualified} ({one_line(head)[:80]})")
    header.entries.append(entry)
    return entry


def public_headers(root, problems):
    libraries = []
    public = set()
    for folder, umbrella in LIBRARIES:
        text = open(os.path.join(root, umbrella), encoding="utf-8").read()
        own = [h for h in INCLUDE.findall(text) if h.startswith(folder + "/") and h != umbrella]
        libraries.append((folder, umbrella, own))
        public.update(own)
        public.add(umbrella)
    for header in sorted(public):
        for included in INCLUDE.findall(open(os.path.join(root, header), encoding="utf-8").read()):
            if included not in public and os.path.exists(os.path.join(root, included)):
                problems.append(f"{header}: the public header includes the internal {included}")
    return libraries


def umbrella_summary(root, umbrella):
    lines = open(os.path.join(root, umbrella), encoding="utf-8").read().split("\n")
    summary = []
    for line in lines:
        if line.startswith("//"):
            summary.append(line[2:].strip())
        elif summary:
            break
    return " ".join(summary)


def render(root, libraries, headers):
    out = ["# Reference", "",
           "Every public call, type and constant of the framework, by library and header, with",
           "what its header says of it. Generated from the headers by `tools/reference.py`; do",
           "not edit (the tests fail when it differs from the headers). A program includes",
           '`"framework/framework.h"` for everything, or a library\'s `api.h` for less. The guide',
           "is [framework.md](framework.md).", ""]
    for folder, umbrella, own in libraries:
        out.append(f"- [{folder}](#library-{folder.replace('/', '-')})")
    out.append("")
    for folder, umbrella, own in libraries:
        out += [f'<a id="library-{folder.replace("/", "-")}"></a>', "",
                f"## {folder}", "", umbrella_summary(root, umbrella), "",
                f'`#include "{umbrella}"`', ""]
        for name in [umbrella] if folder == "framework" else own:
            header = headers[name]
            if not header.entries:
                continue
            out += [f"### {name}", ""]
            anchors = set()
            items = []
            for entry in header.entries:
                if entry.leader is not None and items:
                    items[-1].append(entry)
                else:
                    items.append([entry])
            for item in items:
                indent = "  " * len([part for part in item[0].scope.split("::") if part])
                anchored = []
                for entry in item:
                    if entry.anchor not in ALL_ANCHORS:
                        ALL_ANCHORS.add(entry.anchor)
                        anchored.append(f'<a id="{entry.anchor}"></a>')
                    anchored.append(f"`{entry.head}`")
                out.append(f"{indent}- " + "<br>".join(anchored).replace("></a><br>", "></a>"))
                if item[0].doc:
                    out.append(f"{indent}  {item[0].doc}")
            out.append("")
    return "\n".join(out).rstrip() + "\n"


ALL_ANCHORS = set()
# A name in backticks in the guide, perhaps qualified with the namespace and followed by its
# arguments: `KeyIsDown`, `qrv::InitFramework()`, `FillRect(x, y, w, h)`. Group 1 is the "[" of
# a link around it, group 2 the name.
NAMED = r"(\[)?`(?:qrv::)?([A-Za-z_][\w:]*)(?:\([^`]*\))?`"


def guide_problems(root, anchors):
    """Names of the reference in backticks in the guide that are not links to it."""
    problems = []
    text = open(os.path.join(root, GUIDE), encoding="utf-8").read()
    in_code = False
    for number, line in enumerate(text.split("\n"), 1):
        if line.startswith("```"):
            in_code = not in_code
            continue
        if in_code:
            continue
        for match in re.finditer(NAMED + r"(\]\(reference\.md#([\w-]+)\))?", line):
            name = match.group(2).replace("::", "-")
            if name in anchors and not match.group(3):
                problems.append(f"{GUIDE}:{number}: `{match.group(2)}` is not linked to the "
                                f"reference (reference.md#{name})")
            if match.group(4) and match.group(4) not in anchors:
                problems.append(f"{GUIDE}:{number}: the link to reference.md#{match.group(4)} "
                                f"leads nowhere")
    return problems


def link_guide(root, anchors):
    """Links every name of the reference in backticks in the guide that is not yet linked."""
    path = os.path.join(root, GUIDE)
    lines = open(path, encoding="utf-8").read().split("\n")
    in_code = False
    for i, line in enumerate(lines):
        if line.startswith("```"):
            in_code = not in_code
            continue
        if in_code:
            continue

        def link(match):
            name = match.group(2).replace("::", "-")
            if match.group(1) or name not in anchors:
                return match.group(0)
            return f"[{match.group(0)}](reference.md#{name})"

        lines[i] = re.sub(NAMED + r"(?!\]\()", link, line)
    open(path, "w", encoding="utf-8").write("\n".join(lines))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", default=os.path.join(os.path.dirname(__file__), ".."))
    parser.add_argument("--output")
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--link-guide", action="store_true")
    args = parser.parse_args()
    root = os.path.realpath(args.source)

    problems = []
    libraries = public_headers(root, problems)
    headers = {}
    for folder, umbrella, own in libraries:
        for name in own + [umbrella]:
            header = Header(os.path.join(root, name), name)
            parse_scope(header, 0, "", True, False)
            headers[name] = header
            problems += header.problems
    reference = render(root, libraries, headers)
    anchors = set(ALL_ANCHORS)

    if args.link_guide:
        link_guide(root, anchors)
    if args.check:
        committed = open(os.path.join(root, REFERENCE), encoding="utf-8").read() \
            if os.path.exists(os.path.join(root, REFERENCE)) else ""
        if committed != reference:
            problems.append(f"{REFERENCE} differs from the headers: run tools/reference.py")
        problems += guide_problems(root, anchors)
    else:
        output = args.output or os.path.join(root, REFERENCE)
        os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
        with open(output, "w", encoding="utf-8") as file:
            file.write(reference)
    for problem in problems:
        print(problem, file=sys.stderr)
    if problems and (args.check or args.output is None):
        print(f"{len(problems)} problems", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
