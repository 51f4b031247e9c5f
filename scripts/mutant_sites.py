#!/usr/bin/env python3
"""Mutation sites of the code under src/, found mechanically, for scripts/mutants.sh.

  mutant_sites.py list SEED N [KINDS]
                                   prints the number of sites of each operator, then a
                                   reproducible sample of N of them, one a line:
                                   file <TAB> line <TAB> column <TAB> original <TAB> replacement
                                   <TAB> operator <TAB> further replacements (space-separated)
                                   KINDS: "old", "new" (the Win32 operators) or "all" (default)
  mutant_sites.py apply FILE LINE COLUMN ORIGINAL REPLACEMENT
                                   plants one of them (fails unless ORIGINAL is there)

Old operators: relational (< <= > >= == !=, each to its neighbour), logical (&& and ||
swapped, a ! dropped), integer literals +1 or -1, true and false swapped, a statement
that is a call removed, two adjacent rows of a constant table swapped.
New operators, the shapes careless Win32 changes take:
  flag dropped     one operand of an | chain of named constants left out
  family           a constant for another of its family (SW_, MB_, MOD_, BS_, CBS_, LBS_,
                   WS_, WS_EX_, SWP_, IDC_, one COREWEBVIEW2_ enum, TextKey::), drawn from
                   the names in src/ and, for a family of fewer than three there, winuser.h
  sibling          a module-wide variable of ui/ or settings/ for another of its type (a
                   handle or pointer also for nullptr), a Settings field for another of
                   its type, a window handle of a function for another in scope or nullptr
  neighbour string a string literal or text key of a table or initialiser list for its
                   neighbour's, a string constant's name for the one declared next to it
  edge             + 1 and - 1 swapped; a loop's < bound made one smaller (the last item
                   left out). ">= 0" to "> 0" and the first item left out ("= 0" to "= 1")
                   are already reached by the relational and literal operators.
A family or sibling replacement that does not build is replaced by the next of its further
replacements (scripts/mutants.sh). Comments, string and character literals (but for the
neighbour-string operator) and #include and #pragma lines are never touched. Lines and
columns count from 1; a table swap names the first row's line and column 1.
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


def source_files(root):
    return [p for p in sorted(root.joinpath("src").rglob("*")) if p.suffix in (".cpp", ".h")]


def all_sites(root, kinds="all"):
    sites = []
    if kinds in ("old", "all"):
        for path in source_files(root):
            sites.extend(sites_of(path, root))
    if kinds in ("new", "all"):
        sites.extend(win32_sites(root))
    return sites


# The Win32 operators. A site's replacement is its first candidate; the rest
# follow in a seeded order as further replacements.
IDENT = r"[A-Za-z_]\w*(?:::[A-Za-z_]\w*)*"
FAMILY_PREFIXES = ("WS_EX_", "WS_", "SWP_", "SW_", "MB_", "MOD_", "BS_", "CBS_", "LBS_", "IDC_")
WINUSER = pathlib.Path("/usr/share/mingw-w64/include/winuser.h")


def code_of(path):
    text = path.read_text(encoding="utf-8")
    return text, blank_comments_and_literals(text)


def family_of(name, enum_families):
    if name.startswith("COREWEBVIEW2_"):
        return enum_families.get(name)
    bare = name.split("::")[-1]
    if name.startswith(("TextKey::", "T::")):
        return "TextKey::"
    for prefix in FAMILY_PREFIXES:
        if bare.startswith(prefix) and bare == name:
            return prefix
    return None


def family_members(root, files):
    """Family -> candidate names, and the enum family of each COREWEBVIEW2_ value."""
    enum_families, members = {}, {}
    webview = (root / "src/web/webview2.h").read_text(encoding="utf-8")
    for enum in re.finditer(r"enum (COREWEBVIEW2_\w+) : int \{([^}]*)\}", webview):
        for value in re.findall(r"(COREWEBVIEW2_\w+) =", enum.group(2)):
            enum_families[value] = enum.group(1)
    text_keys = (root / "src/i18n/text_keys.h").read_text(encoding="utf-8")
    members["TextKey::"] = set(re.findall(r"constexpr wchar_t (\w+)\[\]", text_keys))
    for family in set(enum_families.values()):
        members[family] = {v for v, f in enum_families.items() if f == family}
    for path in files:
        code = blank_comments_and_literals(path.read_text(encoding="utf-8"))
        for name in re.findall(r"\b[A-Z][A-Z0-9]*_[A-Z0-9_]+\b", code):
            family = family_of(name, enum_families)
            if family in FAMILY_PREFIXES:
                members.setdefault(family, set()).add(name)
    header = WINUSER.read_text(encoding="latin-1") if WINUSER.exists() else ""
    for family in FAMILY_PREFIXES:
        if len(members.get(family, ())) < 3:
            defined = set(re.findall(r"#define (%s[A-Z0-9_]+)\s+(?:0x[0-9A-Fa-f]+L?|\d+L?)\s*$" % family, header, re.M))
            members[family] = members.get(family, set()) | {n for n in defined if family_of(n, {}) == family}
    return enum_families, {family: sorted(names) for family, names in members.items()}


def flag_sites(name, number, line):
    sites = []
    chain = re.compile(r"(?<![\w|&])(%s(?:\s*\|\s*%s)+)(?![\w|])" % (IDENT, IDENT))
    for m in chain.finditer(line):
        operands = [o.strip() for o in m.group(1).split("|")]
        if not any(re.fullmatch(r"[A-Z][A-Z0-9_]+", o.split("::")[-1]) for o in operands):
            continue
        for i, operand in enumerate(operands):
            rest = " | ".join(operands[:i] + operands[i + 1:])
            sites.append((name, number, m.start() + 1, m.group(1), rest, f"flag dropped: {operand}"))
    return sites


def family_sites(name, number, line, enum_families, members):
    sites = []
    for m in re.finditer(r"(?<![\w:])((?:TextKey::|T::)?[A-Z][A-Za-z0-9]*_?[A-Za-z0-9_]*)\b", line):
        original = m.group(1)
        family = family_of(original, enum_families)
        if family is None or family == original.rstrip("_"):
            continue
        if family == "TextKey::":
            qualifier, bare = original.rsplit("::", 1)
            candidates = [f"{qualifier}::{n}" for n in members[family] if n != bare]
        else:
            candidates = [n for n in members.get(family, ()) if n != original]
        defined = re.search(r"constexpr\s+int\s+$", line[:m.start()]) or re.match(r"\s*=[^=]", line[m.end():])
        if defined or not candidates:
            continue
        sites.append((name, number, m.start() + 1, original, candidates, "family"))
    return sites


def module_state(root):
    """Namespace-scope variables of ui/ and settings/: name -> type."""
    state = {}
    declaration = re.compile(r"^(?:extern |static |constinit )*([A-Za-z_][\w:<>, ]*?[\w>*])\s*(\*?)\s*([a-z]\w*)(?:\s*=\s*[^;]*)?;")
    for folder in ("ui", "settings"):
        for path in sorted((root / "src" / folder).glob("*")):
            for line in blank_comments_and_literals(path.read_text(encoding="utf-8")).split("\n"):
                m = declaration.match(line)
                if m and not m.group(1).startswith(("constexpr", "return", "using", "namespace")):
                    state[m.group(3)] = (m.group(1) + m.group(2)).replace(" ", "")
    return state


def settings_fields(root):
    header = blank_comments_and_literals((root / "src/settings/settings.h").read_text(encoding="utf-8"))
    body = header[header.index("struct Settings"):]
    body = body[:body.index("};")]
    return {m.group(2): m.group(1).replace(" ", "") for m in re.finditer(r"^\s+([\w:]+)\s+([A-Z]\w*)\s*(?:=[^;]*)?;", body, re.M)}


def is_handle(kind):
    return kind.endswith("*") or kind in ("HWND", "HFONT", "HBRUSH", "HINSTANCE", "HANDLE")


def sibling_sites(name, number, line, state, fields, window_handles):
    sites = []
    for m in re.finditer(r"(?<![\w.>:])([a-z]\w*)\b(?!\s*\()", line):
        variable = m.group(1)
        if variable in state:
            kind = state[variable]
            candidates = [v for v, k in state.items() if k == kind and v != variable]
            if is_handle(kind):
                candidates.append("nullptr")
        elif variable in window_handles:
            candidates = [v for v in window_handles if v != variable] + ["nullptr"]
        else:
            continue
        declared = re.match(r"^\s*(?:extern |static |constinit )*[\w:<>, *]+\s+\*?$", line[:m.start()])
        if candidates and not declared:
            sites.append((name, number, m.start() + 1, variable, candidates, "sibling"))
    for m in re.finditer(r"(?:\.|->|(?<!\w)S::|Settings::)([A-Z]\w*)\b", line):
        field = m.group(1)
        if field not in fields:
            continue
        candidates = [f for f, k in fields.items() if k == fields[field] and f != field]
        if candidates:
            sites.append((name, number, m.start(1) + 1, field, candidates, "sibling: Settings field"))
    return sites


STRING_OR_KEY = re.compile(r'L?"(?:[^"\\\n]|\\.)*"|\b(?:TextKey|T)::\w+')


def neighbour_string_sites(name, text_lines, code_lines, constants):
    """Literals and text keys of tables (a row a line) and of initialiser lists."""
    sites = []
    rows, in_table = [], False
    for number, (text, code) in enumerate(zip(text_lines, code_lines), start=1):
        if SKIPPED_DIRECTIVE.match(code):
            continue
        if re.search(r"\[\w*\]\s*=\s*\{\s*$", code):
            in_table, rows = True, []
            continue
        if in_table and code.strip().startswith("};"):
            in_table = False
            for r, (row_number, items) in enumerate(rows):
                for i, (column, original) in enumerate(items):
                    # Only rows of the same shape: a text in the same place.
                    others = [rows[k][1][i][1] for k in (r + 1, r - 1) if 0 <= k < len(rows) and len(rows[k][1]) == len(items)]
                    others = [o for o in others if o != original]
                    if others and (original.startswith(("L\"", "\"")) == others[0].startswith(("L\"", "\""))):
                        sites.append((name, row_number, column, original, others, "neighbour string"))
            continue
        items = [(m.start() + 1, m.group(0)) for m in STRING_OR_KEY.finditer(text)]
        if in_table:
            rows.append((number, items))
            continue
        for brace in re.finditer(r"\{([^{}]*)\}", code):
            inner = [(c, o) for c, o in items if brace.start() < c - 1 < brace.end()]
            for i, (column, original) in enumerate(inner):
                others = [inner[k][1] for k in (i + 1, i - 1) if 0 <= k < len(inner) and inner[k][1] != original]
                if len(inner) > 1 and others:
                    sites.append((name, number, column, original, others, "neighbour string"))
        for m in re.finditer(r"(?<![\w])((?:web::)?(k\w+))\b", code):
            if m.group(2) in constants and not re.search(r"constexpr\s+wchar_t\s+$", code[:m.start()]):
                sites.append((name, number, m.start() + 1, m.group(1), [m.group(1).replace(m.group(2), constants[m.group(2)])],
                              "neighbour string: constant"))
    return sites


def string_constants(files):
    """Each namespace-scope wide string constant's name -> the one declared next to it."""
    neighbours = {}
    for path in files:
        names = re.findall(r"^constexpr wchar_t (k\w+)\[\] = L\"", path.read_text(encoding="utf-8"), re.M)
        for i, n in enumerate(names):
            if len(names) > 1:
                neighbours[n] = names[i + 1] if i + 1 < len(names) else names[i - 1]
    return neighbours


def edge_sites(name, number, line):
    sites = []
    for m in re.finditer(r"(?<=[\w)\]]) ([+-]) 1\b(?![.\w])", line):
        swapped = " + 1" if m.group(1) == "-" else " - 1"
        sites.append((name, number, m.start() + 1, m.group(0), swapped, "edge: +1/-1 swapped"))
    loop = re.match(r"^\s*for \([^;]*; \w+ (<) ([\w.()>\[\]-]+);", line)
    if loop:
        bound = loop.group(2)
        sites.append((name, number, loop.start(2) + 1, bound, f"{bound} - 1", "edge: last item left out"))
    return sites


def function_handles(code_lines):
    """For each line, the window handles declared in its function (a
    function runs from a line at column 0 ending in { to a line }).
    Declarations after a line count too: a use before them does not build,
    and such a replacement is skipped as invalid."""
    handles, current, start = [set() for _ in code_lines], set(), 0
    for number, line in enumerate(code_lines):
        if re.match(r"^[A-Za-z].*\{\s*$", line):
            current, start = set(), number
        current.update(re.findall(r"\bHWND\s+([a-z]\w*)", line))
        if line.startswith("}"):
            for k in range(start, number + 1):
                handles[k] = set(current)
            current = set()
    return handles


def win32_sites(root):
    files = source_files(root)
    enum_families, members = family_members(root, files)
    state, fields, constants = module_state(root), settings_fields(root), string_constants(files)
    sites = []
    for path in files:
        text = path.read_text(encoding="utf-8")
        code = blank_comments_and_literals(text)
        name = str(path.relative_to(root))
        text_lines, code_lines = text.split("\n"), code.split("\n")
        handles = function_handles(code_lines)
        for number, line in enumerate(code_lines, start=1):
            if SKIPPED_DIRECTIVE.match(line) or re.match(r"^\s*(?:#|static_assert)", line):
                continue
            sites.extend(flag_sites(name, number, line))
            sites.extend(family_sites(name, number, line, enum_families, members))
            window_handles = sorted(handles[number - 1] | ({"mainWindow"} if "mainWindow" in state else set()))
            sites.extend(sibling_sites(name, number, line, state, fields, window_handles))
            sites.extend(edge_sites(name, number, line))
        sites.extend(neighbour_string_sites(name, text_lines, code_lines, constants))
    return sites


def choose_change(site, rng):
    """The site with its replacement chosen, and its further replacements."""
    name, line, column, original, replacement, operator = site
    further = []
    if replacement is None:
        value = literal_value(original)
        changed = value + rng.choice((1, -1))
        replacement = f"0x{changed:X}" if original.lower().startswith("0x") and changed >= 0 else str(changed)
    elif isinstance(replacement, list):
        candidates = list(replacement)
        rng.shuffle(candidates)
        replacement, further = candidates[0], candidates[1:4]
    return (name, line, column, original, replacement, operator, " ".join(further))


def operator_kind(operator):
    return operator.split(":")[0]


def list_sample(root, seed, count, kinds="all"):
    sites = all_sites(root, kinds)
    counts = {}
    for site in sites:
        counts[operator_kind(site[5])] = counts.get(operator_kind(site[5]), 0) + 1
    rng = random.Random(seed)
    chosen = rng.sample(range(len(sites)), min(count, len(sites)))
    print(f"# {len(sites)} sites under src/ ({kinds} operators), seed {seed}, {len(chosen)} drawn")
    print("# sites by operator: " + ", ".join(f"{kind} {n}" for kind, n in sorted(counts.items())))
    for index in sorted(chosen):
        site = choose_change(sites[index], random.Random(f"{seed}:{index}"))
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
    if len(sys.argv) in (4, 5) and sys.argv[1] == "list":
        kinds = sys.argv[4] if len(sys.argv) == 5 else "all"
        if kinds not in ("old", "new", "all"):
            sys.exit(__doc__)
        list_sample(root, sys.argv[2], int(sys.argv[3]), kinds)
    elif len(sys.argv) == 7 and sys.argv[1] == "apply":
        apply(root, *sys.argv[2:])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
