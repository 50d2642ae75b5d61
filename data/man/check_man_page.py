#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Fails when a command or an option of durnix-cli is missing from its manual page.

    check_man_page.py DURNIX_CLI durnix-cli.1

The commands and options are those that the program's --help and each command's --help list.
"""
import re
import subprocess
import sys

OPTION = re.compile(r"(?<![\w-])(--?[A-Za-z][A-Za-z0-9-]*)")


def help_text(cli, words):
    run = subprocess.run([cli, *words, "--help"], capture_output=True, text=True, check=True)
    return run.stdout


def subcommands(text):
    names, listing = [], False
    for line in text.splitlines():
        if line.startswith("Subcommands:"):
            listing = True
        elif listing and line.strip():
            names.append(line.split()[0])
        elif listing:
            listing = False
    return names


def main():
    cli, page_path = sys.argv[1], sys.argv[2]
    with open(page_path, encoding="utf-8") as page_file:
        # The page as a reader sees its words: no font changes, "\-" as "-".
        page = re.sub(r"\\f[BIRP]", "", page_file.read()).replace("\\-", "-")
    missing, commands = [], [[]]
    while commands:
        words = commands.pop()
        text = help_text(cli, words)
        # Each command has its line in the synopsis.
        if words and not re.search(re.escape(" ".join(["durnix-cli", *words])) + r"\b", page):
            missing.append("command " + " ".join(words))
        options = [o for o in OPTION.findall(text) if o.startswith("--") or o == "-h"]
        for option in sorted(set(options)):
            if not re.search(re.escape(option) + r"(?![\w-])", page):
                missing.append(f"option {option} of '{' '.join(['durnix-cli', *words])}'")
        commands += [words + [name] for name in subcommands(text)]
    for problem in missing:
        print(f"{page_path}: {problem} is not in the page", file=sys.stderr)
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
