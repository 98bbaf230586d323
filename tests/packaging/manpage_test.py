#!/usr/bin/env python3
"""The manual pages made at build time: they render without a groff warning,
have the sections a user looks for, and name every command and option that the
programs' help names. Usage: manpage_test.py PAGE-DIR QELT-CLI QELT-SIM [QELT]"""
import os
import re
import subprocess
import sys

page_dir, cli, sim = sys.argv[1:4]
gui = sys.argv[4] if len(sys.argv) > 4 else None
failures = []


def fail(text):
    failures.append(text)
    print("FAIL: " + text)


def render(name):
    path = os.path.join(page_dir, name + ".1.gz")
    env = dict(os.environ, MANWIDTH="100", LC_ALL="C.UTF-8")
    run = subprocess.run(["man", "--warnings", "-E", "UTF-8", "-l", path], capture_output=True, text=True,
                         env=env, check=False)
    if run.returncode != 0:
        fail(f"man -l {path} failed: {run.stderr}")
    for line in run.stderr.splitlines():
        fail(f"{name}(1): {line}")
    # col -bx: no overstrike, no tabs, as a reader of the plain text sees it.
    return subprocess.run(["col", "-bx"], input=run.stdout, capture_output=True, text=True, check=True).stdout


def help_text(*command):
    return subprocess.run(list(command), capture_output=True, text=True, check=True,
                          env=dict(os.environ, QT_QPA_PLATFORM="offscreen")).stdout


def options_of(text):
    return set(re.findall(r"^ +(?:-\w,)?(--[\w-]+)", text, re.M))


def sections_of(page):
    return set(re.findall(r"^([A-Z][A-Z ]+)$", page, re.M))


def check_page(name, program_help, needed_sections):
    page = render(name)
    missing = needed_sections - sections_of(page)
    if missing:
        fail(f"{name}(1) lacks the section(s) {sorted(missing)}")
    for option in options_of(program_help):
        if option not in page:
            fail(f"{name}(1) does not name {option}")
    if not re.search(r"^NAME\n +" + re.escape(name) + r" +- +\S", page, re.M):
        fail(f"{name}(1) has no NAME line '{name} - ...'")
    return page


common = {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "EXIT STATUS", "FILES", "EXAMPLES", "SEE ALSO"}

# qelt-cli: each command with its own options, in the block of that command.
everything = help_text(cli, "--help-all")
page = check_page("qelt-cli", everything, common)
commands = re.findall(r"^  ([a-z][a-z ]*[a-z])  ", everything.split("Commands:", 1)[1].split("\n\n", 1)[0], re.M)
if len(commands) < 9:
    fail(f"qelt-cli --help-all lists only {commands}")
blocks = re.split(r"^   (?=[a-z][a-z ]*:$)", page, flags=re.M)
for command in commands:
    block = next((b for b in blocks if b.startswith(command + ":")), None)
    if block is None:
        fail(f"qelt-cli(1) has no block for '{command}'")
        continue
    for option in options_of(help_text(cli, *command.split(), "--help")) - {"--help", "--help-all"}:
        if option not in block:
            fail(f"qelt-cli(1) does not name {option} under '{command}'")
for text in ["~/.local/state/qelt/publish/<id>/", "/etc/qelt/publish-<instance>.conf"]:
    if text not in page:
        fail(f"qelt-cli(1) does not say {text}")
if not re.search(r"^EXIT STATUS\n(?:.*\n)*? +3 +the instrument did not answer in time", page, re.M):
    fail("qelt-cli(1) does not explain exit status 3")

check_page("qelt-sim", help_text(sim, "--help"), common)
if gui:
    check_page("qelt", help_text(gui, "--help"), common)

if failures:
    print(f"{len(failures)} failure(s)")
    sys.exit(1)
print("manual pages: all checks pass")
