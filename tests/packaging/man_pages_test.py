#!/usr/bin/env python3
"""The manual pages against the programs' own --help, so a new option or command cannot
ship undocumented and a removed one cannot stay in the page.

  man_pages_test.py --cli MIV_CLI --cli-page miv-cli.1 [--gui MIV --gui-page miv.1]

miv-cli(1) gives each command a subsection (.SS "tx - ...") and each option a .TP entry
in it; an option shared by several commands sits in a subsection whose title names them
all ("Mode options (tx and rx)"); "General options" serves every command. miv(1) lists
its options under OPTIONS.
"""
import argparse
import re
import shutil
import subprocess
import sys

# An option at the start of a --help line: CLI11 indents two spaces (four in a group),
# Qt two; description lines are indented further.
HELP_OPTION = re.compile(r"^ {2,4}(-{1,2}[A-Za-z?][\w-]*(?:, ?-{1,2}[\w-]+)*)")
PAGE_OPTION = re.compile(r"(?<![\w-])(--?[A-Za-z][\w-]*)")
GENERAL = "General options"


def help_text(program, *args):
    run = subprocess.run([program, *args, "--help"], capture_output=True, text=True, timeout=60)
    if run.returncode != 0:
        sys.exit(f"{program} {' '.join(args)} --help exited with {run.returncode}: {run.stderr}")
    return run.stdout


def help_options(text):
    found = set()
    for line in text.splitlines():
        match = HELP_OPTION.match(line)
        if match:
            found.update(name.strip() for name in match.group(1).split(","))
    return found


def subcommands(text):
    """The commands listed after "Subcommands:" in CLI11's help."""
    names, listing = [], False
    for line in text.splitlines():
        if line.strip().lower() == "subcommands:":
            listing = True
        elif listing and re.match(r"^  [a-z]", line):
            names.append(line.split()[0])
        elif listing and line.strip() and not line.startswith(" " * 4):
            listing = False
    return names


def page_entries(path):
    """{section title: set of options named by its .TP entries}, roff escapes undone.
    A section is an .SH or .SS heading."""
    sections, title, after_tp = {}, "", False
    for raw in open(path, encoding="utf-8"):
        line = raw.rstrip("\n").replace("\\-", "-").replace("\\fB", "").replace("\\fR", "")
        line = line.replace("\\fI", "")
        if line.startswith((".SH", ".SS")):
            title = line[3:].strip().strip('"')
            sections.setdefault(title, set())
        elif line.startswith(".TP"):
            after_tp = True
        elif after_tp:
            after_tp = False
            # The entry's tag: options in bold, arguments in italics; only the options
            # count, not the values after them ("--bw 2250|500").
            words = [w.strip('"') for w in line.split()[1:]] if line.startswith(".") else line.split()
            sections.setdefault(title, set()).update(
                w.rstrip(",") for w in words if PAGE_OPTION.fullmatch(w.rstrip(",")))
    return sections


def check_cli(cli, page):
    problems = []
    sections = page_entries(page)
    top = help_text(cli)
    commands = subcommands(top)
    if not commands:
        problems.append(f"{cli} --help lists no commands")
    synopsis = open(page, encoding="utf-8").read().split(".SH DESCRIPTION")[0]

    def serving(command):
        return [t for t in sections if t == GENERAL or command in re.findall(r"[\w-]+", t)]

    documented = {}
    for command in commands:
        if not any(t.split()[0] == command for t in sections if t):
            problems.append(f"miv-cli {command}: no subsection of its own in {page}")
        if f".B miv-cli {command}" not in synopsis:
            problems.append(f"miv-cli {command}: not in the SYNOPSIS of {page}")
        owned = set().union(*(sections[t] for t in serving(command)))
        for option in sorted(help_options(help_text(cli, command))):
            if option not in owned:
                problems.append(f"miv-cli {command} {option}: no entry in its subsection of {page}")
        for title in serving(command):
            documented.setdefault(title, set()).update(help_options(help_text(cli, command)))
    for option in sorted(help_options(top) - sections.get(GENERAL, set())):
        problems.append(f"miv-cli {option}: no entry under {GENERAL} in {page}")
    documented.setdefault(GENERAL, set()).update(help_options(top))
    for title, options in sections.items():
        for option in sorted(options - documented.get(title, set())):
            problems.append(f"{page}: \"{title}\" describes {option}, which no command it names has")
    return problems


def check_gui(gui, page):
    listed = help_options(help_text(gui))
    entries = page_entries(page).get("OPTIONS", set())
    return [f"miv {o}: no entry under OPTIONS in {page}" for o in sorted(listed - entries)] + \
           [f"{page}: OPTIONS describes {o}, which miv --help does not list" for o in sorted(entries - listed)]


def check_roff(page):
    """groff's warnings (unknown macros, bad escapes), which man would print at the reader."""
    if shutil.which("groff") is None:
        return []
    run = subprocess.run(["groff", "-man", "-Tutf8", "-ww", "-z", page], capture_output=True, text=True, timeout=60)
    return [f"{page}: {line}" for line in run.stderr.splitlines()]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--cli-page", required=True)
    parser.add_argument("--gui")
    parser.add_argument("--gui-page")
    args = parser.parse_args()
    problems = check_cli(args.cli, args.cli_page) + check_roff(args.cli_page)
    if args.gui:
        problems += check_gui(args.gui, args.gui_page) + check_roff(args.gui_page)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
