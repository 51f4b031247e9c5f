#!/usr/bin/env python3
"""Mutation sites of the code under src/, found mechanically, for scripts/mutants.sh.

  mutant_sites.py list SEED N      prints the number of sites, then a reproducible
                                   sample of N of them, one a line:
                                   file <TAB> line <TAB> column <TAB> original <TAB> replacement <TAB> operator
  mutant_sites.py apply FILE LINE COLUMN ORIGINAL REPLACEMENT
                                   plants one of them (fails unless ORIGINAL is there)

Operators: relational (< <= > >= == !=, each to its neighbour), logical (&& and ||
swapped, a ! dropped), integer literals +1 or -1, true and false swapped, a statement
that is a call removed, two adjacent rows of a constant table swapped. Comments,
string and character literals, and #include and #pragma lines are never touched.
Lines and columns count from 1; a table swap names the first row's line and column 1.
"""
import pathlib
import random
import re
import sys

RELATIONAL = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}


def literal_value(text):
    return int(text, 16) if text.lower().startswith("0x") else int(text, 10)


def blank_comments_and_literals(text):
    """The text with comments and the insides of literals replaced by spaces, so
    that positions stay where they are and nothing in them is matched."""
    out = list(text)
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            while i < n and text[i] != "\n":
                out[i] = " "
                i += 1
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            for k in range(i, end):
                if text[k] != "\n":
                    out[k] = " "
            i = end
        elif c in "\"'":
            # Raw strings do not occur in this code base; escapes do.
            i += 1
            while i < n and text[i] != c and text[i] != "\n":
                out[i] = " "
                if text[i] == "\\" and i + 1 < n:
                    out[i + 1] = " "
                    i += 1
                i += 1
            i += 1
        else:
            i += 1
    return "".join(out)


CALL_STATEMENT = re.compile(r"^(\s*)((?:[A-Za-z_][\w]*(?:::|->|\.))*[A-Za-z_]\w*\(.*\);)\s*$")
TABLE_ROW = re.compile(r"^\s*\{.*\},\s*$")
SKIPPED_DIRECTIVE = re.compile(r"^\s*#\s*(include|pragma)\b")
NOT_A_CALL = ("return", "if", "for", "while", "switch", "case", "delete", "throw", "static_assert", "sizeof")


def sites_of(path, root):
    text = path.read_text(encoding="utf-8")
    code = blank_comments_and_literals(text)
    name = str(path.relative_to(root))
    sites = []
    code_lines = code.split("\n")
    text_lines = text.split("\n")
    for number, line in enumerate(code_lines, start=1):
        if SKIPPED_DIRECTIVE.match(line):
            continue
        for m in re.finditer(r"(?<=\s)(<=|>=|==|!=|<|>)(?=\s)", line):
            sites.append((name, number, m.start() + 1, m.group(1), RELATIONAL[m.group(1)], "relational"))
        for m in re.finditer(r"(?<=\s)(&&|\|\|)(?=\s)", line):
            sites.append((name, number, m.start() + 1, m.group(1), "||" if m.group(1) == "&&" else "&&", "logical"))
        for m in re.finditer(r"!(?=[A-Za-z_(*])", line):
            sites.append((name, number, m.start() + 1, "!", "", "logical: ! dropped"))
        for m in re.finditer(r"(?<![\w.])(0x[0-9A-Fa-f]+|\d+)(?![\w.])", line):
            value = literal_value(m.group(1))
            sites.append((name, number, m.start() + 1, m.group(1), None if value else "1", "integer literal"))
        for m in re.finditer(r"\b(true|false|TRUE|FALSE)\b", line):
            swapped = {"true": "false", "false": "true", "TRUE": "FALSE", "FALSE": "TRUE"}[m.group(1)]
            sites.append((name, number, m.start() + 1, m.group(1), swapped, "boolean"))
        call = CALL_STATEMENT.match(line)
        previous = code_lines[number - 2].rstrip() if number > 1 else ""
        starts_statement = previous == "" or previous.endswith((";", "{", "}", ":", ")")) and not previous.endswith("=")
        if call and starts_statement and not call.group(2).startswith(NOT_A_CALL) and " = " not in call.group(2).split("(")[0]:
            original = text_lines[number - 1][len(call.group(1)):].rstrip()
            sites.append((name, number, len(call.group(1)) + 1, original, "", "call statement removed"))
        if TABLE_ROW.match(line) and number < len(code_lines) and TABLE_ROW.match(code_lines[number]):
            sites.append((name, number, 1, "", "", "adjacent table rows swapped"))
    return sites


def all_sites(root):
    sites = []
    for path in sorted(root.joinpath("src").rglob("*")):
        if path.suffix in (".cpp", ".h"):
            sites.extend(sites_of(path, root))
    return sites


def choose_literal_change(site, rng):
    name, line, column, original, replacement, operator = site
    if replacement is None:
        value = literal_value(original)
        changed = value + rng.choice((1, -1))
        replacement = f"0x{changed:X}" if original.lower().startswith("0x") and changed >= 0 else str(changed)
    return (name, line, column, original, replacement, operator)


def list_sample(root, seed, count):
    sites = all_sites(root)
    rng = random.Random(seed)
    chosen = rng.sample(range(len(sites)), min(count, len(sites)))
    print(f"# {len(sites)} sites under src/, seed {seed}, {len(chosen)} drawn")
    for index in sorted(chosen):
        site = choose_literal_change(sites[index], random.Random(f"{seed}:{index}"))
        print("\t".join(str(field) for field in site))


def apply(root, name, line, column, original, replacement):
    path = root / name
    lines = path.read_text(encoding="utf-8").split("\n")
    line, column = int(line), int(column)
    if original == "" and replacement == "":  # table rows
        lines[line - 1], lines[line] = lines[line], lines[line - 1]
    else:
        text = lines[line - 1]
        start = column - 1
        if text[start:start + len(original)] != original:
            sys.exit(f"{name}:{line}:{column}: '{original}' is not there")
        lines[line - 1] = text[:start] + replacement + text[start + len(original):]
    path.write_text("\n".join(lines), encoding="utf-8")


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    if len(sys.argv) == 4 and sys.argv[1] == "list":
        list_sample(root, sys.argv[2], int(sys.argv[3]))
    elif len(sys.argv) == 7 and sys.argv[1] == "apply":
        apply(root, *sys.argv[2:])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
