#!/usr/bin/env python3
"""LIESMICH.TXT must not drift from the program: it must hold, as the program
spells them, every pexor.ini key it reads on a line "Key=default" (the
default where the sources give a constant), each section as "[Name]", the
version as the About box shows it and every text a message box can show;
and stay what Notepad on Windows 95 shows: Windows-1252, CR LF, at most 78
columns, no tabs. Exit 1 lists what is wrong.

A message text is known by its looks, not by the function that shows it, so
that a new one is caught however it is shown: a string literal in src/
(adjacent ones joined) with two words in a row or ending in a word and . ! ?,
but no menu item (with an & mnemonic) nor one of NOT_MESSAGES. One put
together around a name is checked piece by piece. Keys are the one-word
literals on lines naming Settings::, a _SECTION or a Geometry( helper."""
import re
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
NOT_MESSAGES = {"MS Sans Serif", "#Alle Dateien (*.*)#*.*#"}  # a font, the file picker's filter
TOKENS = re.compile(r'//[^\n]*|/\*.*?\*/|^[ \t]*#[ \t]*include[^\n]*|static_assert\s*\([^;]*;'
                    r'|"((?:[^"\\\n]|\\.)*)"|\'(?:[^\'\\\n]|\\.)*\'|\S', re.S | re.M)
ESCAPES = {"n": "\n", "t": "\t", "r": "\r"}
LETTER = r"[^\W\d_]"


def unescape(text):
    return re.sub(r"\\(.)", lambda m: ESCAPES.get(m.group(1), m.group(1)), text)


def literals(source):
    """(line, text) of each string literal of source (without comments), adjacent ones joined."""
    found, joining = [], False
    for m in TOKENS.finditer(source):
        if m.group(1) is not None and joining:
            found[-1] = (found[-1][0], found[-1][1] + unescape(m.group(1)))
        elif m.group(1) is not None:
            found.append((source.count("\n", 0, m.start()) + 1, unescape(m.group(1))))
        joining = m.group(1) is not None
    return found


def normal(text):
    return " ".join(text.split())


def main():
    text = (ROOT / "docs/LIESMICH.TXT").read_bytes().decode("cp1252")
    lines = text.split("\r\n")
    problems = [f"line {n}: {why}" for n, line in enumerate(lines, 1) for why, bad in
                 (("a lone CR or LF", "\r" in line or "\n" in line), ("a tab", "\t" in line),
                  (f"{len(line)} columns", len(line) > 78)) if bad]
    readme = normal(text)
    stripped = {line.strip() for line in lines}
    version = re.search(r'VALUE "FileVersion", "([^"\\]*)', (ROOT / "res/pexor.rc").read_text()).group(1)
    if f"Pexor V{version}" not in readme:
        problems.append(f"the version: Pexor V{version}")

    sources = {p: p.read_text(encoding="utf-8") for p in sorted(ROOT.glob("src/*/*.[ch]*"))}
    everything = "\n".join(sources.values())
    constants = dict(re.findall(r"\b(\w+) = (\d+)\b", everything))
    constants.update((k, unescape(v)) for k, v in re.findall(r'\b(\w+)\[\] = "((?:[^"\\]|\\.)*)";', everything))
    for path, source in sources.items():
        where = path.relative_to(ROOT)
        # Comments blanked (their line ends kept): a text in one is nobody's.
        source = TOKENS.sub(lambda m: re.sub(r"\S", " ", m.group(0)) if m.group(0)[:2] in ("//", "/*")
                            else m.group(0), source)
        for n, literal in literals(source):
            if literal in NOT_MESSAGES or re.search("&" + LETTER, literal):
                continue
            if re.search(rf"{LETTER}{{2}} +{LETTER}{{2}}|[a-zäöüß][.!?]+$", literal) and normal(literal) not in readme:
                problems.append(f"the message text |{literal}| ({where}:{n})")
        for n, line in ((n, l) for n, l in enumerate(source.split("\n"), 1)
                        if re.search(r"Settings::|_SECTION|Geometry\(", l)):
            for section in re.findall(r'_SECTION\[\] = "(\w+)"', line):
                if f"[{section}]" not in stripped:
                    problems.append(f"the section [{section}] ({where}:{n})")
            rows = re.findall(r'\{"([A-Z]\w*)", [^,]+, [^,]+, (\w+)', line)
            calls = re.findall(r'(?<!\[\] = )"([A-Z]\w*)"(?:, ("(?:[^"\\]|\\.)*"|\w+))?', line)
            for key, default in rows or calls:
                value = unescape(default[1:-1]) if default.startswith('"') else \
                    default if default.isdigit() else constants.get(default)
                wanted = f"{key}={value}" if value is not None else f"{key}="
                if not (wanted in stripped if value is not None else any(l.startswith(wanted) for l in stripped)):
                    problems.append(f"the key line |{wanted}| ({where}:{n})")
    for problem in dict.fromkeys(problems):
        print(f"LIESMICH.TXT lacks or breaks: {problem}")
    return 1 if problems else 0


sys.exit(main())
