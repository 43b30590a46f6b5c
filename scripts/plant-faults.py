#!/usr/bin/env python3
"""Plants faults in src/ one at a time and counts how many the tests notice.

    python3 scripts/plant-faults.py [--count N] [--list] [--only TEXT] [--tiers native,win32,e2e]
                                    [--keys FILE] [--named]

A fault is one small change a programmer could make by mistake: a flipped
comparison or logic operator, a number one off, a dropped call, a return
value or truth value turned round. The candidate places are every match of
the operators below in src/*.cpp; --count of them are taken, an equal share
of each operator at even steps through its places, so the same sources
always give the same faults.
Each fault is written into its file, the trees are rebuilt and the tiers run
in order until one fails (native for the portable core, then the Win32 tests
of the i686 build, then the end-to-end scripts); the file is put back after.
A fault that does not compile is not counted. Run it in a tree where
scripts/test.sh has run once (it uses the built trees and the Wine prefix),
and not while test.sh runs there. Results go to build/logs/faults.txt.
With --named the tier that notices a fault runs whole, and its row names
every test that failed: which tests alone catch a fault, and which only
repeat another's catch.
"""
import argparse, os, re, signal, subprocess, sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OPERATORS = [  # (name, pattern, replacement)
    ("==>!=", r"==", "!="), ("!=>==", r"!=", "=="),
    ("<=><", r"<=", "<"), (">=>>", r">=", ">"),
    ("<><=", r"(?<![<\w])<(?![<=])(?=\s)", "<="), (">>>=", r"(?<![->])>(?![>=])(?=\s)", ">="),
    ("&&>||", r"&&", "||"), ("||>&&", r"\|\|", "&&"),
    ("n>n+1", r"(?<![\w.])(\d+)(?![\w.])", lambda m: str(int(m.group(1)) + 1)),
    ("+1>", r"\s[+-] 1\b", ""),
    ("return!", r"return (0|1);", lambda m: "return %d;" % (1 - int(m.group(1)))),
    ("bool!", r"\b(true|false)\b", lambda m: "false" if m.group(1) == "true" else "true"),
    ("dropcall", r"^(\s*)[A-Za-z_][\w:]*\(.*\);\s*$", lambda m: m.group(1) + ";"),
]
SKIP_LINE = re.compile(r"^\s*(#|//|\*|/\*)")  # preprocessor lines and comments
QUOTED = re.compile(r'"(\\.|[^"\\])*"|\'(\\.|[^\'\\])*\'|//.*')  # texts, characters, end comments


def candidates():
    sites = []
    for folder, _, files in sorted(os.walk(os.path.join(ROOT, "src"))):
        for name in sorted(f for f in files if f.endswith(".cpp")):
            path = os.path.relpath(os.path.join(folder, name), ROOT)
            for number, line in enumerate(open(os.path.join(ROOT, path), encoding="utf-8"), 1):
                if SKIP_LINE.search(line):
                    continue
                masked = QUOTED.sub(lambda m: "_" * len(m.group(0)), line.rstrip("\n"))
                for op, pattern, replacement in OPERATORS:
                    for m in re.finditer(pattern, masked if op != "dropcall" else line.rstrip("\n")):
                        changed = line[:m.start()] + m.expand(replacement) if isinstance(replacement, str) \
                            else line[:m.start()] + replacement(m)
                        changed += line[m.end():] if op != "dropcall" else "\n"
                        sites.append((path, number, op, line, changed))
    return sites


def core(path):  # portable code: the native tests build it
    return not path.startswith("src/ui/") and not path.startswith("src/tooltips/") and "_win32" not in path


def sh(command, timeout=600):
    process = subprocess.Popen(["bash", "-c", command], cwd=ROOT, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, start_new_session=True)
    try:
        return process.wait(timeout) == 0
    except subprocess.TimeoutExpired:  # a hang counts as noticed; end all it started
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()
        return False


def tiers_for(path, wanted, named):
    stop = "" if named else " --stop-on-failure"
    tiers = []
    if core(path) and "native" in wanted:
        tiers.append(("native", "ninja -C build/native", "ctest --test-dir build/native -j2 --timeout 60" + stop))
    if "win32" in wanted:
        tiers.append(("win32", "ninja -C build/win32", "ctest --test-dir build/win32 -j1 --timeout 120%s </dev/null" % stop))
    if "e2e" in wanted:  # each failing script's name goes where ctest puts its failed tests
        tiers.append(("e2e", "ninja -C build/win32 pexor",
                      "mkdir -p build/e2e/Testing/Temporary; : >build/e2e/Testing/Temporary/LastTestsFailed.log;"
                      " for s in tests/e2e/*.sh; do rm -rf build/e2e/fault && mkdir -p build/e2e/fault &&"
                      " { PEXOR_E2E_DIR=build/e2e/fault timeout 300 bash $s </dev/null ||"
                      " echo 0:$s >>build/e2e/Testing/Temporary/LastTestsFailed.log; }; done;"
                      " ! [ -s build/e2e/Testing/Temporary/LastTestsFailed.log ]"))
    return tiers


def failed_tests(tier):  # "3:Suite.Test" lines, as ctest leaves them after a run
    log = os.path.join(ROOT, "build", tier, "Testing/Temporary/LastTestsFailed.log")
    return " [%s]" % " ".join(l.strip().split(":", 1)[-1] for l in open(log) if l.strip()) \
        if os.path.exists(log) else ""


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--count", type=int, default=160)
    parser.add_argument("--list", action="store_true", help="print the faults, plant none")
    parser.add_argument("--only", default="", help="only faults whose line (file:line op) contains this")
    parser.add_argument("--tiers", default="native,win32,e2e")
    parser.add_argument("--keys", help="only the faults whose 'file:line operator' is a line of this file "
                        "(e.g. the ones an earlier faults.txt shows as caught)")
    parser.add_argument("--named", action="store_true", help="name the failing tests of the tier that noticed")
    args = parser.parse_args()
    # Each kind of fault gets an equal share (a rare kind gives all it has),
    # taken at even steps through its places.
    groups = {}
    for site in candidates():
        groups.setdefault(site[2], []).append(site)
    chosen, remaining = [], args.count
    for i, group in enumerate(sorted(groups.values(), key=len)):
        take = min(len(group), remaining // (len(groups) - i))
        chosen += [group[int(k * len(group) / take)] for k in range(take)]
        remaining -= take
    chosen.sort(key=lambda s: (s[0], s[1], s[2]))
    chosen = [s for s in chosen if args.only in "%s:%d %s" % s[:3]]
    if args.keys:
        keys = set(line.strip() for line in open(args.keys))
        chosen = [s for s in chosen if "%s:%d %s" % s[:3] in keys]
    if args.list:
        for path, number, op, line, changed in chosen:
            print("%s:%d %s | %s" % (path, number, op, changed.strip()))
        return
    env = ("source scripts/wine-env.sh; wine_env_vars; export PEXOR_EXE_DIR=$PWD/build/win32 "
           "WINE64 DISPLAY=$(cat $WINEPREFIX/.pexor-display 2>/dev/null); ")
    os.makedirs(os.path.join(ROOT, "build/logs"), exist_ok=True)
    log = open(os.path.join(ROOT, "build/logs/faults.txt"), "w")
    counts = {}
    for path, number, op, line, changed in chosen:
        full = os.path.join(ROOT, path)
        original = open(full, encoding="utf-8").read()
        lines = original.splitlines(keepends=True)
        lines[number - 1] = changed
        try:
            open(full, "w", encoding="utf-8").write("".join(lines))
            verdict, names = "missed", ""
            for tier, build, run in tiers_for(path, args.tiers.split(","), args.named):
                if not sh(build):
                    verdict = "no-build"
                    break
                if not sh(env + run):
                    verdict = "caught:" + tier
                    names = failed_tests(tier) if args.named else ""
                    break
        finally:
            open(full, "w", encoding="utf-8").write(original)
            # Whatever a faulty program left running or in the temp folder must
            # not disturb the next fault.
            sh('source scripts/wine-env.sh; wine_stop; rm -rf "$WINEPREFIX"/drive_c/users/*/Temp/*')
        kind = "core" if core(path) else "window"
        counts.setdefault(kind, {}).setdefault(verdict.split(":")[0], 0)
        counts[kind][verdict.split(":")[0]] += 1
        row = "%-8s %s:%d %s | %s%s" % (verdict, path, number, op, changed.strip(), names)
        print(row, flush=True)
        log.write(row + "\n")
        log.flush()  # a run that is stopped keeps the rows it has
    sh("ninja -C build/native; ninja -C build/win32")  # the trees without the last fault again
    for kind, c in sorted(counts.items()):
        planted = c.get("caught", 0) + c.get("missed", 0)
        summary = "%s: %d of %d caught (%.0f%%), %d did not build" % (
            kind, c.get("caught", 0), planted, 100.0 * c.get("caught", 0) / max(planted, 1), c.get("no-build", 0))
        print(summary)
        log.write(summary + "\n")


if __name__ == "__main__":
    sys.exit(main())
