#!/usr/bin/python3
"""Mutation tester: plants one small fault at a time in the product code,
rebuilds incrementally and runs the CTest suite to see whether a test notices.
Standard library only; not part of CI. See docs/TESTING.md."""

import argparse
import bisect
import contextlib
import fcntl
import fnmatch
import hashlib
import json
import os
import random
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
LAYERS = ("runtime", "common", "scripting", "filesystem", "engine", "journal", "forms", "ui", "cli")
CONFIGURE = ["-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
             "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DNEMIROU_BUILD_BENCH=OFF",
             "-DNEMIROU_BUILD_TESTS=ON"]

# ---------------------------------------------------------------- sites

def mask(text):
    """Blanks comments, string/char literals and preprocessor lines (newlines
    kept, so offsets stay valid): sites are only looked for in what is left."""
    out, n, i, line_start = list(text), len(text), 0, True

    def blank(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    def line_end(j):
        e = text.find("\n", j)
        return n if e < 0 else e

    while i < n:
        c = text[i]
        if c == "\n":
            line_start, i = True, i + 1
        elif c in " \t\r\f\v":
            i += 1
        elif line_start and c == "#":  # through backslash continuations
            e = line_end(i)
            while e < n and text[e - 1] == "\\":
                e = line_end(e + 1)
            blank(i, e)
            i = e
        elif text.startswith("//", i):
            e = line_end(i)
            blank(i, e)
            i = e
        elif text.startswith("/*", i):
            e = text.find("*/", i + 2)
            e = n if e < 0 else e + 2
            blank(i, e)
            i = e
        elif c in "\"'":
            line_start = False
            word = re.search(r"[\w']*$", text[max(0, i - 16):i]).group()
            if c == "'" and word[:1].isdigit():  # digit separator: 1'000
                i += 1
                continue
            raw = c == '"' and word in ("R", "uR", "UR", "LR", "u8R") and \
                re.match(r'"([^()\\\s]{0,16})\(', text[i:])
            if raw:
                e = text.find(")" + raw.group(1) + '"', i)
                e = n if e < 0 else e + len(raw.group(1)) + 2
            else:
                e = i + 1
                while e < n and text[e] not in (c, "\n"):
                    e += 2 if text[e] == "\\" else 1
                e = min(e + 1, n)
            blank(i + 1, e - 1)  # keep the quotes: the literal stays one token
            i = e
        else:
            line_start, i = False, i + 1
    return "".join(out)


TOKEN = re.compile(r"""
    (?P<id>[A-Za-z_]\w*)
  | (?P<num>\.?\d(?:[eEpP][+-]|[\w.'])*)
  | (?P<str>"[^"]*"|'[^']*')
  | (?P<op><=>|<<=|>>=|->\*?|\.\.\.|<<|>>|<=|>=|==|!=|&&|\|\||\+\+|--|[-+*/%&|^]=|::|\S)
""", re.X)
OPEN, CLOSE = "([{", ")]}"
FLIP = {"<": ">=", ">=": "<", ">": "<=", "<=": ">", "==": "!=", "!=": "==",
        "&&": "||", "||": "&&", "true": "false", "false": "true",
        "break": "continue", "continue": "break"}
ASSIGN = {"=", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "<<=", ">>="}
# Whatever sits inside these is not run (or must stay a constant): no sites there.
NO_SITES_IN = {"static_assert", "assert", "Q_ASSERT", "Q_ASSERT_X", "Q_UNUSED", "Q_PROPERTY",
               "Q_DECLARE_METATYPE", "Q_DECLARE_FLAGS", "Q_DISABLE_COPY", "Q_DISABLE_COPY_MOVE",
               "alignas", "sizeof", "alignof", "decltype", "noexcept"}
NOT_A_CALL = NO_SITES_IN | {"return", "throw", "delete", "new", "goto", "co_return", "co_await",
                            "co_yield", "static_cast", "const_cast", "reinterpret_cast",
                            "dynamic_cast", "using", "typedef", "Q_OBJECT", "Q_GADGET"}
CONTROL = {"if", "for", "while", "switch", "catch"}
INT = re.compile(r"(0[xX][0-9A-Fa-f']+|0[bB][01']+|[1-9][0-9']*|0)([uUlLzZ]*)$")


class Tok:
    __slots__ = ("kind", "text", "start", "end")

    def __init__(self, m):
        self.kind, self.text, self.start, self.end = m.lastgroup, m.group(), m.start(), m.end()


def find_sites(rel, text):
    """All mutation sites of one file: dicts with the span to replace."""
    code = mask(text)
    toks = [Tok(m) for m in TOKEN.finditer(code)]
    n = len(toks)
    match, parent, quiet = [-1] * n, [-1] * n, [False] * n
    literals = {}  # opening bracket -> numbers directly inside it
    kind = {}  # index of '{' -> 'func', 'if', 'for', ..., 'block', or None (not code)
    stack = []
    for i, t in enumerate(toks):
        parent[i] = stack[-1] if stack else -1
        quiet[i] = bool(stack) and quiet[stack[-1]]
        if bare_number(toks, i) and stack:
            literals[stack[-1]] = literals.get(stack[-1], 0) + 1
        prev = toks[i - 1].text if i else ""
        if t.text in OPEN:
            quiet[i] = quiet[i] or (t.text == "(" and prev in NO_SITES_IN) or \
                (t.text == "[" and prev == "[")  # [[attributes]]
            if t.text == "{":
                kind[i] = brace_kind(toks, match, kind, parent[i], i)
            stack.append(i)
        elif t.text in CLOSE and stack:
            j = stack.pop()
            match[i], match[j] = j, i

    def is_code(i):  # is token i directly inside a function body or block?
        p = parent[i]
        return p >= 0 and toks[p].text == "{" and kind.get(p) is not None

    def spaced(t):  # binary operators are spaced by clang-format; templates are not
        return t.start > 0 and code[t.start - 1].isspace() and t.end < len(code) \
            and code[t.end].isspace()

    sites = []

    def add(op, a, b, new):
        sites.append({"op": op, "start": a, "end": b, "new": new})

    for i, t in enumerate(toks):
        if quiet[i]:
            continue
        prev = toks[i - 1].text if i else ""
        nxt = toks[i + 1].text if i + 1 < n else ""
        if t.text in ("<", ">", "<=", ">=") and spaced(t):
            add("cmp-flip", t.start, t.end, FLIP[t.text])
        elif t.text in ("==", "!=") and spaced(t):
            add("eq-flip", t.start, t.end, FLIP[t.text])
        elif t.text in ("&&", "||") and spaced(t):
            add("logic-flip", t.start, t.end, FLIP[t.text])
        elif t.text == "!" and prev != "operator":
            add("drop-not", t.start, t.end, "")
        elif t.text in ("true", "false"):
            add("bool-flip", t.start, t.end, FLIP[t.text])
        elif t.text in ("break", "continue") and nxt == ";" and \
                (t.text == "continue" or loop_or_switch(toks, match, kind, parent, i) != "switch"):
            add("break-continue", t.start, t.end, FLIP[t.text])
        elif t.kind == "num" and prev != "operator":
            m = INT.match(t.text)
            pure_virtual = t.text == "0" and prev == "=" and nxt == ";" and \
                toks[i - 2].text in (")", "const", "override", "noexcept")
            # Three or more bare numbers in one argument or initialiser list are
            # geometry or a colour (twips, RGB): one more is mostly invisible there.
            crowded = bare_number(toks, i) and literals.get(parent[i], 0) >= 3
            if m and not pure_virtual and not crowded:
                add("const-plus-one", t.start, t.end, plus_one(m.group(1)) + m.group(2))
        elif t.text == ";" and is_code(i):
            stmt = simple_statement(toks, match, code, parent[i], i)
            if stmt:
                a, b, op = stmt
                # {} stands for any statement (also a braceless if's body); the
                # newlines keep the lines below where they were.
                add(op, a, b, "{}" + "\n" * text.count("\n", a, b))

    sites.sort(key=lambda s: s["start"])
    starts = [0] + [k + 1 for k, c in enumerate(text) if c == "\n"]
    for s in sites:
        line = bisect.bisect_right(starts, s["start"]) - 1
        s.update(file=rel, line=line + 1, column=s["start"] - starts[line] + 1,
                 original=text[s["start"]:s["end"]])
        s["id"] = f"{rel}:{s['line']}:{s['column']}:{s['op']}"
        s["source"] = text[starts[line]:text.find("\n", starts[line])].strip()
    return sites


def bare_number(toks, i):
    """Is token i a number standing alone as an element of a list: f(1, -2)?"""
    if toks[i].kind != "num" or i + 1 >= len(toks) or toks[i + 1].text not in (",", ")", "}"):
        return False
    k = i - 1 if toks[i - 1].text not in ("-", "+") else i - 2
    return k >= 0 and toks[k].text in ("(", ",", "{")


def brace_kind(toks, match, kind, outer, i):
    """What a '{' opens: a function or lambda body, a control block, a plain
    block, or None for a class, namespace, enum or braced initialiser."""
    prev = toks[i - 1].text if i else ""
    if prev == ")":
        j = match[i - 1]
        return toks[j - 1].text if j > 0 and toks[j - 1].text in CONTROL else "func"
    if prev == "]":
        return "func"  # lambda without a parameter list
    if prev in ("do", "else", "try"):
        return prev
    if prev in ("const", "noexcept", "override", "final", "mutable"):
        return "func"
    if prev in (";", "{", "}", ":") and outer >= 0 and kind.get(outer) is not None:
        return "block"
    return None


def loop_or_switch(toks, match, kind, parent, i):
    """The innermost braced loop or switch around token i (None: none, or a
    braceless loop this script cannot see)."""
    p = parent[i]
    while p >= 0:
        k = kind.get(p)
        if k in ("for", "while", "do", "switch"):
            return k
        if k == "func" or k is None:
            return None
        p = parent[p]
    return None


def simple_statement(toks, match, code, block, end):
    """(start, end, operator) when the statement ending at the ';' toks[end] is
    a plain call or an assignment (not a declaration) that can be deleted."""
    k = end - 1
    while k > block:  # back to the statement's start, groups taken whole
        t = toks[k].text
        if t in (";", "{", "}", "else", "do"):
            break
        if t in (")", "]"):
            j = match[k]
            if t == ")" and j > 0 and toks[j - 1].text in CONTROL:
                break  # a braceless if/for/while body starts after its ')'
            k = j
        k -= 1
    s = k + 1
    if s < end and toks[s].text == "case":
        while s < end and toks[s].text != ":":
            s = match[s] if toks[s].text in OPEN else s
            s += 1
        s += 1
    elif s + 1 < end and toks[s].kind == "id" and toks[s + 1].text == ":":
        s += 2  # default: or a label
    units = []  # top-level pieces: a token, or a bracketed group taken whole
    j = s
    while j < end:
        last = match[j] if toks[j].text in OPEN and match[j] > j else j
        units.append((j, last))
        j = last + 1
    if not units:
        return None

    def tight(us):  # no space between the pieces: an expression, not "Type name"
        return all(code[toks[a[1]].end:toks[b[0]].start] == "" for a, b in zip(us, us[1:]))

    texts = [toks[a].text for a, _ in units]
    span = (toks[s].start, toks[end].end)
    lvalue = {"id", "op"}
    assign = next((x for x, t in enumerate(texts) if t in ASSIGN), None)
    if assign is not None:
        lhs = units[:assign]
        if lhs and tight(lhs) and texts[0] not in NOT_A_CALL and \
                not any(t in ("<", ">") for t in texts[:assign]):
            return span + ("delete-assign",)
        return None
    if texts[0] in ("++", "--") or texts[-1] in ("++", "--"):
        if tight(units) and toks[units[0][0]].kind in lvalue:
            return span + ("delete-assign",)
        return None
    if texts[0] in ("emit", "Q_EMIT"):
        units, texts = units[1:], texts[1:]
    if units and texts[-1] == "(" and texts[0] not in NOT_A_CALL and tight(units) and \
            (toks[units[0][0]].kind == "id" or texts[0] == "::") and \
            all(t in ("::", ".", "->", "(", "[") or toks[a].kind == "id"
                for (a, _), t in zip(units, texts)):
        return span + ("delete-call",)
    return None


def plus_one(literal):
    digits = literal.replace("'", "")
    if digits[:2] in ("0x", "0X"):
        value = format(int(digits, 16) + 1, "X" if re.search("[A-F]", digits) else "x")
        return digits[:2] + value
    if digits[:2] in ("0b", "0B"):
        return digits[:2] + format(int(digits, 2) + 1, "b")
    return str(int(digits) + 1)


def product_files():
    for layer in LAYERS:
        for path in sorted((ROOT / layer).rglob("*")):
            if path.suffix in (".cpp", ".h") and path.is_file():
                yield path.relative_to(ROOT).as_posix()


def all_sites():
    sites = []
    for rel in product_files():
        sites += find_sites(rel, read_text(ROOT / rel))
    return sites


def read_text(path):
    return path.read_bytes().decode("utf-8", "surrogateescape")


# ---------------------------------------------------------------- processes

def run(cmd, timeout=None):
    """Runs cmd in a session of its own, so that a timeout or Ctrl-C ends the
    whole process group (ctest's test executables too).
    Returns (exit code or None on timeout, output, seconds)."""
    t0 = time.monotonic()
    p = subprocess.Popen(cmd, cwd=ROOT, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                         text=True, errors="replace", start_new_session=True)
    try:
        out, _ = p.communicate(timeout=timeout)
        return p.returncode, out, time.monotonic() - t0
    except subprocess.TimeoutExpired:
        kill(p)
        try:
            out, _ = p.communicate(timeout=10)
        except subprocess.TimeoutExpired:  # something escaped the group and holds the pipe
            out = ""
        return None, out or "", time.monotonic() - t0
    except BaseException:
        kill(p)
        raise


def kill(p):
    try:
        os.killpg(p.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass


def git(*args):
    return subprocess.run(["git", *args], cwd=ROOT, capture_output=True, text=True).stdout


RESULT = re.compile(r"^\s*\d+/\d+\s+Test\s+#\d+:\s+(\S+)\s+\.*\s*(.*?)\s+[\d.]+\s+sec\s*$")
STARTED = re.compile(r"^\s*Start\s+\d+:\s+(\S+)\s*$")
QT_FAIL = re.compile(r"^(?:FAIL!|QFATAL|XPASS)\s*:\s*(\w+::\w+\(.*?\)(?:\s.*|$))")


def parse_ctest(out):
    """Failed tests from ctest --output-on-failure, each with the QtTest
    functions its output names (ctest prints a test's output after its result
    line); plus the tests started but not finished (when the run was killed)."""
    failed, started, done, current = {}, set(), set(), None
    for line in out.splitlines():
        if m := STARTED.match(line):
            started.add(m.group(1))
            current = None
        elif m := RESULT.match(line):
            name, status = m.groups()
            done.add(name)
            current = None
            if status != "Passed":
                failed[name] = {"test": name, "status": status.strip("*"), "failures": []}
                current = failed[name]
        elif current is not None and (m := QT_FAIL.match(line)):
            current["failures"].append(m.group(1).strip()[:200])  # function(row) message
    return list(failed.values()), sorted(started - done)


def first_error(out):
    for line in out.splitlines():
        if "error:" in line or "Error " in line:
            return line.strip()[:300]
    return out.strip().splitlines()[-1][:300] if out.strip() else ""


# ---------------------------------------------------------------- restoring

SIGNALS = {signal.SIGINT, signal.SIGTERM, signal.SIGHUP}


@contextlib.contextmanager
def signals_held():
    """Ctrl-C and the like wait while a file is written; one that came in is
    raised when this ends."""
    signal.pthread_sigmask(signal.SIG_BLOCK, SIGNALS)
    try:
        yield
    finally:
        signal.pthread_sigmask(signal.SIG_UNBLOCK, SIGNALS)


class Planted:
    """Writes a mutant into its file and always puts the original bytes back
    (checked by hash). A copy of the original waits in the build folder, so a
    run killed outright (SIGKILL) is repaired by the next one."""

    def __init__(self, site, pending):
        self.path, self.site, self.pending = ROOT / site["file"], site, pending

    def __enter__(self):
        self.original = self.path.read_bytes()
        text = self.original.decode("utf-8", "surrogateescape")
        s = self.site
        assert text[s["start"]:s["end"]] == s["original"], f"{s['id']}: the source has changed"
        mutated = (text[:s["start"]] + s["new"] + text[s["end"]:]).encode("utf-8", "surrogateescape")
        try:
            with signals_held():
                self.pending.mkdir(parents=True, exist_ok=True)
                (self.pending / "original").write_bytes(self.original)
                (self.pending / "file").write_text(s["file"] + "\n" + sha(self.original) + "\n")
                self.path.write_bytes(mutated)
        except BaseException:  # __exit__ is not called when __enter__ fails
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        with signals_held():
            restore(self.path, self.original)
            for name in ("file", "original"):
                (self.pending / name).unlink(missing_ok=True)


def restore(path, original):
    path.write_bytes(original)
    if sha(path.read_bytes()) != sha(original):
        raise SystemExit(f"FATAL: {path} could not be restored; its original is in the build folder")
    # A new mtime, not the old one: the mutant's object file is newer than the
    # old mtime, and ninja must rebuild the object from the restored source.
    os.utime(path)


def recover(pending):
    """Puts back a file left mutated by a run that was killed outright."""
    info = pending / "file"
    if not info.exists():
        return
    rel, digest = info.read_text().split()
    original = (pending / "original").read_bytes()
    assert sha(original) == digest
    if sha((ROOT / rel).read_bytes()) != digest:
        restore(ROOT / rel, original)
        print(f"restored {rel}, left mutated by an interrupted run")
    info.unlink()
    (pending / "original").unlink()


def sha(data):
    return hashlib.sha256(data).hexdigest()


# ---------------------------------------------------------------- the run

def select(args):
    sites = all_sites()
    total = len(sites)
    if args.only:
        sites = [s for s in sites if any(fnmatch.fnmatch(s["file"], g) for g in args.only)]
    if args.sites:
        by_id = {s["id"]: s for s in sites}
        # Any line starting with a site id counts, so --list output can be reused.
        wanted = re.findall(r"^([^\s:]+:\d+:\d+:[a-z-]+)(?:\s|$)",
                            Path(args.sites).read_text(), re.M)
        unknown = [w for w in wanted if w not in by_id]
        if unknown:
            raise SystemExit("unknown sites (has the source changed?): " + " ".join(unknown[:10]))
        sites = [by_id[w] for w in wanted]
    if args.count is not None and args.count < len(sites):
        sites = random.Random(args.seed).sample(sites, args.count)
    return sites, total


def counts(sites, key):
    out = {}
    for s in sites:
        out[key(s)] = out.get(key(s), 0) + 1
    return dict(sorted(out.items()))


def layer(s):
    return s["file"].split("/", 1)[0]


def show(s):
    def one_line(x):
        return " ".join(x.split())
    return f"{s['id']}\t{one_line(s['original'])!r} => {one_line(s['new'])!r}"


def score(records):
    def tally(rs):
        killed = sum(r["outcome"] in ("killed", "timeout") for r in rs)
        compilable = sum(r["outcome"] in ("killed", "timeout", "survived") for r in rs)
        return {"killed": killed, "compilable": compilable,
                "score": round(killed / compilable, 4) if compilable else None}
    out = tally(records)
    out["by_layer"] = {k: tally([r for r in records if layer(r) == k])
                       for k in sorted({layer(r) for r in records})}
    out["by_operator"] = {k: tally([r for r in records if r["operator"] == k])
                          for k in sorted({r["operator"] for r in records})}
    out["outcomes"] = counts(records, lambda r: r["outcome"])
    return out


def summary(report):
    sc = report["score"]
    pct = lambda t: f"{t['killed']}/{t['compilable']}" + \
        (f" ({100 * t['score']:.0f}%)" if t["compilable"] else "")
    print(f"\nMutants: {len(report['mutants'])} of {report['sample_size']} "
          f"(seed {report['seed']}), outcomes {sc['outcomes']}")
    print(f"Score: {pct(sc)} killed of those that compile")
    print("By layer: " + ", ".join(f"{k} {pct(v)}" for k, v in sc["by_layer"].items()))
    survivors = [r for r in report["mutants"] if r["outcome"] == "survived"]
    for r in report["mutants"]:
        if r.get("flaky"):
            print(f"  flaky, not counted as killers of {r['site']}: "
                  + " ".join(f["test"] for f in r["flaky"]))
    if survivors:
        print("Survivors:")
        for r in survivors:
            print(f"  {r['file']}:{r['line']}:{r['column']} {r['operator']}: "
                  f"{' '.join(r['original'].split())!r} => {' '.join(r['mutated'].split())!r}"
                  f"   | {r['source']}")
    errors = [r for r in report["mutants"] if r["outcome"] == "error"]
    for r in errors:
        print(f"  (not scored: ctest failed without naming a test for {r['site']})")


def build(args):
    return run(["cmake", "--build", str(args.build_dir), "-j", str(args.jobs)])


def test(args, timeout, only=None):
    cmd = ["ctest", "--test-dir", str(args.build_dir), "-j", str(args.jobs),
           "--output-on-failure", "--no-tests=error"]
    if only or args.tests:  # ctest keeps only the last -R; only lies within --tests
        cmd += ["-R", only or args.tests]
    return run(cmd, timeout)


def mutate(args, site, timeout, pending):
    record = {"site": site["id"], "file": site["file"], "line": site["line"],
              "column": site["column"], "operator": site["op"], "original": site["original"],
              "mutated": site["new"], "source": site["source"]}
    with Planted(site, pending):
        rc, out, secs = build(args)
        record["build_seconds"] = round(secs, 1)
        if rc != 0:
            record.update(outcome="uncompilable", build_error=first_error(out))
            return record
        rc, out, secs = test(args, timeout)
        failed, unfinished = parse_ctest(out)
        flaky = []
        if rc is not None and failed:
            # A kill must repeat: the failed tests run once more on the same
            # mutant, and those that pass now are flaky, not killers (the
            # volume tests can fail on a busy machine).
            pattern = "^(" + "|".join(re.escape(f["test"]) for f in failed) + ")$"
            rc2, out2, _ = test(args, timeout, pattern)
            again = {g["test"] for g in parse_ctest(out2)[0]}
            if rc2 is not None:  # a hang on the second run still kills
                flaky = [f for f in failed if f["test"] not in again]
                failed = [f for f in failed if f not in flaky]
    record["test_seconds"] = round(secs, 1)
    if rc is None:
        outcome = "timeout"
    elif failed:
        outcome = "timeout" if all(f["status"] == "Timeout" for f in failed) else "killed"
    else:
        outcome = "survived" if rc == 0 or flaky else "error"
    record.update(outcome=outcome, failed_tests=[f["test"] for f in failed],
                  unfinished_tests=unfinished,
                  functions=sorted({x.split("(")[0] for f in failed for x in f["failures"]}),
                  failures=[x for f in failed for x in f["failures"]])
    if flaky:
        record["flaky"] = flaky
    if outcome == "error":
        record["ctest_tail"] = out.strip().splitlines()[-5:]
    return record


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("--count", type=int, help="sample N sites (default: every selected site)")
    ap.add_argument("--seed", type=int, default=1, help="seed of the sample (default 1)")
    ap.add_argument("--only", action="append", metavar="GLOB",
                    help="only files whose repo path matches, e.g. 'engine/*' (repeatable)")
    ap.add_argument("--sites", metavar="FILE",
                    help="exactly these sites: one id (file:line:col:operator) a line, as --list prints")
    ap.add_argument("--list", action="store_true", help="print the selected sites and counts, then stop")
    ap.add_argument("--build-dir", type=Path, default=ROOT / "build-mutants",
                    help="build folder of its own (default build-mutants/, git-ignored)")
    ap.add_argument("--out", type=Path, help="JSON report (default: BUILD_DIR/mutants.json)")
    ap.add_argument("--jobs", type=int, default=2, help="parallel jobs for ninja and ctest (default 2)")
    ap.add_argument("--timeout", type=float,
                    help="seconds for one mutant's test run; default 3x the baseline run + 60")
    ap.add_argument("--tests", metavar="REGEX", help="only the CTest tests matching (for trials)")
    ap.add_argument("--test-seed", type=int, default=1,
                    help="NEMIROU_SEED for the randomised tests, the same for every run (default 1)")
    ap.add_argument("--as-root", action="store_true",
                    help="run although the user is root (only in a throwaway container)")
    ap.add_argument("--allow-dirty", action="store_true",
                    help="start although product files have uncommitted changes")
    ap.add_argument("--merge", nargs="+", type=Path, metavar="JSON",
                    help="print the score of these reports taken together, a later record of a "
                         "site replacing an earlier one (a rerun after new checks), then stop")
    args = ap.parse_args()
    if args.merge:
        by_site = {}
        for path in args.merge:
            for r in json.loads(path.read_text())["mutants"]:
                by_site[r["site"]] = r
        records = list(by_site.values())
        summary({"mutants": records, "sample_size": len(records), "seed": "of each report",
                 "score": score(records)})
        return 0
    # A planted fault can turn a test's scratch path into a real one: once a
    # mutant made the suite empty the folder holding the work tree. As an
    # ordinary user the damage stops at what that user may write.
    if os.geteuid() == 0 and not args.as_root and not args.list:
        raise SystemExit("refusing to run as root: a mutant can make a test delete outside its "
                         "scratch folders; run as an ordinary user, or with --as-root in a "
                         "throwaway container or copy of the tree")
    args.build_dir = args.build_dir.resolve()
    out_path = args.out or args.build_dir / "mutants.json"

    sites, total = select(args)
    if args.list:
        for s in sites:
            print(show(s))
        print(f"\n{len(sites)} sites selected of {total} in the product code")
        print("by operator:", counts(sites, lambda s: s["op"]))
        print("by layer:   ", counts(sites, layer))
        return 0

    if args.build_dir.is_relative_to(ROOT) and \
            subprocess.run(["git", "check-ignore", "-q", f"{args.build_dir}/"], cwd=ROOT).returncode:
        raise SystemExit(f"{args.build_dir} is inside the repository but not git-ignored")
    args.build_dir.mkdir(parents=True, exist_ok=True)
    # Two runs on one tree (whatever their build folders) would plant into and
    # restore each other's files: one lock per tree.
    lock = open(Path("/tmp") / f"nemirou-mutants-{sha(str(ROOT).encode())[:12]}.lock", "w")
    try:
        fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except BlockingIOError:
        raise SystemExit(f"another mutation run is using {ROOT}")
    pending = args.build_dir / "mutants-pending"
    recover(pending)
    dirty = git("status", "--porcelain", "--", *LAYERS).rstrip()
    if dirty and not args.allow_dirty:
        raise SystemExit("product files have uncommitted changes (use --allow-dirty):\n" + dirty)
    # All end like Ctrl-C: restore, then stop. SIGINT too, as a shell starting
    # this in the background would have it ignored.
    for sig in SIGNALS:
        signal.signal(sig, signal.default_int_handler)
    # The differential tests draw random cases; one seed for every run makes
    # a kill mean the mutant, not a new draw.
    os.environ["NEMIROU_SEED"] = str(args.test_seed)

    report = {"seed": args.seed, "count": args.count, "only": args.only, "sites_file": args.sites,
              "tests": args.tests, "test_seed": args.test_seed, "commit": git("rev-parse", "HEAD").strip(),
              "dirty": bool(dirty), "sites_total": total, "sample_size": len(sites),
              "sample": [s["id"] for s in sites], "mutants": []}

    def save():
        report["score"] = score(report["mutants"])
        out_path.parent.mkdir(parents=True, exist_ok=True)
        out_path.write_text(json.dumps(report, indent=1, ensure_ascii=False) + "\n")

    try:
        if not (args.build_dir / "build.ninja").exists():
            print(f"configuring {args.build_dir}", flush=True)
            rc, out, _ = run(["cmake", "-S", str(ROOT), "-B", str(args.build_dir), *CONFIGURE])
            if rc != 0:
                raise SystemExit("configure failed:\n" + out[-2000:])
        print("baseline: building and testing the unmutated tree", flush=True)
        rc, out, build_secs = build(args)
        if rc != 0:
            raise SystemExit("BASELINE BUILD FAILS, nothing scored:\n" + out[-3000:])
        rc, out, test_secs = test(args, None)
        failed, _ = parse_ctest(out)
        report["baseline"] = {"build_seconds": round(build_secs, 1),
                              "test_seconds": round(test_secs, 1), "failed_tests": failed}
        if rc != 0:
            save()
            raise SystemExit("BASELINE TESTS FAIL, nothing scored: "
                             + json.dumps(failed, ensure_ascii=False) + "\n" + out[-3000:])
        timeout = args.timeout or 3 * test_secs + 60
        report["timeout_seconds"] = round(timeout, 1)
        print(f"baseline passes (tests {test_secs:.0f} s); mutant test timeout {timeout:.0f} s",
              flush=True)
        for k, site in enumerate(sites, 1):
            t0 = time.monotonic()
            record = mutate(args, site, timeout, pending)
            report["mutants"].append(record)
            save()
            print(f"[{k}/{len(sites)}] {record['outcome']:12} {show(site)}  "
                  f"({time.monotonic() - t0:.0f} s) {' '.join(record.get('failed_tests', []))}",
                  flush=True)
        print("rebuilding the restored tree", flush=True)
        if build(args)[0] != 0:
            print("WARNING: the restored tree does not build", flush=True)
    except KeyboardInterrupt:
        report["interrupted"] = True
        print("\ninterrupted: sources restored", flush=True)
    finally:
        if report["mutants"] or report.get("baseline"):
            save()
    summary(report)
    print(f"report: {out_path}")
    return 130 if report.get("interrupted") else 0


if __name__ == "__main__":
    sys.exit(main())
