#!/usr/bin/env bash
# Mutation testing: scripts/mutants.sh [-n LINES] [-s SEED] [-t TEST_TIMEOUT_S] [-b BUILD_DIR]
#                                      [-u FOLDER ...] [-R TEST_REGEX]
# Picks a seeded sample of lines from the core, or from the folders given with -u (same
# seed, same code -> same mutants),
# applies one mutation at a time (a flipped comparison, + for -, * for /, && for ||,
# & for |, << for >>, true for false, an integer n to n+1 or n-1), rebuilds incrementally
# in a build directory of its own (no sanitizers), runs ctest and restores the source.
# A mutant is killed when a test fails or times out. Prints each result, then the tally,
# the kill rate (killed / (killed + survived)) and the survivors.
exec python3 - "$(cd "$(dirname "$0")/.." && pwd)" "$@" <<'PYTHON'
import argparse, os, random, re, signal, subprocess, sys, time
from pathlib import Path

top = Path(sys.argv[1])
ap = argparse.ArgumentParser(prog="mutants.sh")
ap.add_argument("-n", "--lines", type=int, default=60, help="how many lines to mutate (60)")
ap.add_argument("-s", "--seed", type=int, default=1, help="sample seed (1)")
ap.add_argument("-t", "--timeout", type=int, default=60, help="per-test timeout in s (60)")
ap.add_argument("-b", "--build", default=str(top / "build/mutants"), help="build directory")
ap.add_argument("-l", "--list", action="store_true", help="only list the mutants")
ap.add_argument("-u", "--under", nargs="+", default=["src/modem", "src/tx", "src/rx", "src/mail", "src/config"],
                help="folders to sample (the core)")
ap.add_argument("-R", "--tests", help="run only the ctest tests matching this regex (all)")
args = ap.parse_args(sys.argv[2:])

# Binary operators stand between spaces (clang-format), which keeps template brackets,
# pointers, references and unary minus out of the sample.
SWAPS = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "==", "+": "-", "-": "+",
         "*": "/", "/": "*", "+=": "-=", "-=": "+=", "*=": "/=", "/=": "*=", "&&": "||", "||": "&&",
         "&": "|", "|": "&", "<<": ">>", ">>": "<<", "true": "false", "false": "true"}
OPERATOR = re.compile(r"(?<= )(<<|>>|<=|>=|==|!=|\+=|-=|\*=|/=|&&|\|\||[<>+\-*/&|])(?= )"
                      r"|\b(true|false)\b|(?<![\w.'])(\d+)(?=[uUlL]*(?![\w.']))")


def code_only(lines):
    """The lines with comments and string and character literals blanked out."""
    out, in_block = [], False
    for line in lines:
        chars, i, quote = list(line), 0, None
        while i < len(chars):
            c, pair = chars[i], line[i:i + 2]
            if in_block:
                in_block = pair != "*/"
                chars[i] = " "
                if not in_block:
                    chars[i + 1] = " "
                    i += 1
            elif quote:
                if c == "\\":
                    chars[i:i + 2] = "  "[:len(chars[i:i + 2])]
                    i += 1
                elif c == quote:
                    quote = None
                else:
                    chars[i] = " "
            elif pair == "//":
                chars[i:] = " " * (len(chars) - i)
                break
            elif pair == "/*":
                in_block, chars[i] = True, " "
            elif c in "\"'" and not (c == "'" and i and line[i - 1].isalnum()):
                quote = c
            i += 1
        out.append("".join(chars))
    return out


def mutations(code):
    """Every (column, old, new) mutation of one code line."""
    found = []
    for m in OPERATOR.finditer(code):
        old = m.group(0)
        if m.group(3):
            n = int(old)
            found += [(m.start(), old, str(n + 1))] + ([(m.start(), old, str(n - 1))] if n else [])
        else:
            found.append((m.start(), old, SWAPS[old]))
    return found


def candidates():
    for path in sorted(p for d in args.under for p in (top / d).rglob("*") if p.suffix in (".cpp", ".h")):
        text = path.read_text().splitlines()
        for number, (line, code) in enumerate(zip(text, code_only(text)), 1):
            if code.lstrip().startswith("#") or "static_assert" in code or not mutations(code):
                continue
            yield path.relative_to(top), number, code, line.strip()


def run(cmd, timeout=None):
    """Whether cmd succeeds; on a timeout or an interrupt its whole process group is ended."""
    child = subprocess.Popen(cmd, cwd=top, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                             start_new_session=True)
    try:
        return child.wait(timeout) == 0
    except subprocess.TimeoutExpired:
        return False
    finally:
        if child.poll() is None:
            os.killpg(child.pid, signal.SIGKILL)
            child.wait()


def build():
    return run(["cmake", "--build", args.build], timeout=1800)


def tests_pass():
    # The naming check (clang-tidy over every file, minutes) cannot see a flipped operator.
    only = ["--tests-regex", args.tests] if args.tests else []
    return run(["ctest", "--test-dir", args.build, "--parallel", str(os.cpu_count()), "--timeout",
                str(args.timeout), "--stop-on-failure", "--exclude-regex", "^naming$"] + only)


rng = random.Random(args.seed)
pool = list(candidates())
sample = [(f"{path}:{number}", line, rng.choice(mutations(code)))
          for path, number, code, line in sorted(rng.sample(pool, min(args.lines, len(pool))))]
if args.list:
    for where, line, (column, old, new) in sample:
        print(f"{where}  {old} -> {new}    {line}")
    sys.exit()

os.environ.setdefault("CMAKE_CXX_COMPILER_LAUNCHER", "ccache")
os.environ["QT_QPA_PLATFORM"] = "offscreen"
run(["cmake", "-S", str(top), "-B", args.build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
     "-DMIV_SANITIZE=OFF", "-DMIV_BUILD_BENCH=OFF"])
if not (build() and tests_pass()):
    sys.exit("the unmutated code does not build or does not pass its tests")
# Interrupts and hang-ups unwind through the finally below, which restores the source.
STOPS = {signal.SIGINT, signal.SIGTERM, signal.SIGHUP}
for sig in STOPS - {signal.SIGINT}:
    signal.signal(sig, lambda *_: sys.exit(130))

tally, survivors = {"killed": 0, "survived": 0, "not compiling": 0}, []
started = time.time()
for index, (where, line, (column, old, new)) in enumerate(sample, 1):
    path, number = where.split(":")
    source, number = top / path, int(number)
    original = source.read_text()
    lines = original.splitlines(keepends=True)
    lines[number - 1] = lines[number - 1][:column] + new + lines[number - 1][column + len(old):]
    try:
        source.write_text("".join(lines))
        result = ("killed" if not tests_pass() else "survived") if build() else "not compiling"
    finally:  # not to be cut short by a second signal
        signal.pthread_sigmask(signal.SIG_BLOCK, STOPS)
        source.write_text(original)
        signal.pthread_sigmask(signal.SIG_UNBLOCK, STOPS)
    tally[result] += 1
    if result == "survived":
        survivors.append(f"{where}  {old} -> {new}    {line}")
    print(f"[{index}/{len(sample)}] {result:13} {where}  {old} -> {new}", flush=True)

build()
judged = tally["killed"] + tally["survived"]
print(f"\nseed {args.seed}, {len(sample)} of {len(pool)} mutable lines in {' '.join(args.under)}, "
      f"{(time.time() - started) / 60:.0f} min")
print(", ".join(f"{k} {v}" for k, v in tally.items()))
print(f"kill rate {tally['killed']}/{judged} = {100 * tally['killed'] / max(judged, 1):.1f} %")
print("survivors:" if survivors else "no survivors", *survivors, sep="\n  ")
PYTHON
