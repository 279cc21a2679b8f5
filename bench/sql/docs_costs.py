#!/usr/bin/env python3
"""Copies the figures of bench/results.md into the "Cost per row:" sentences of
docs/functions.md: per function, less the read of the row, the ardudf call, its floor,
the call through the UDR module and the built-in.

    bench/sql/docs_costs.py [RESULTS] [DOCS]
"""
import re
import sys
from pathlib import Path

root = Path(__file__).resolve().parents[2]
results = Path(sys.argv[1]) if len(sys.argv) > 1 else root / "bench/results.md"
docs = Path(sys.argv[2]) if len(sys.argv) > 2 else root / "docs/functions.md"


def micro(ns):
    us = ns / 1000
    if us < 0.05:
        return "< 0.05"
    return f"{us:.1f}" if us >= 1 else f"{us:.2f}"


rows = {}
for line in results.read_text().splitlines():
    cells = [c.strip() for c in line.strip().strip("|").split("|")]
    if len(cells) < 11 or not cells[0].startswith("ib_"):
        continue
    name, read, builtin, floor, ardudf = cells[0], *cells[1:5]
    udr = cells[8]
    num = lambda x: None if x in ("–", "") else float(x)
    rd = num(read)
    net = lambda x: None if num(x) is None else num(x) - rd
    rows[name] = {"ardudf": net(ardudf), "floor": net(floor), "udr": net(udr), "builtin": net(builtin)}
# Creating and freeing a context are measured together.
if "ib_scbcreate + scbfree" in rows:
    rows["ib_scbcreate"] = rows.pop("ib_scbcreate + scbfree")
if "ib_scbcreate" in rows:
    rows["ib_scbfree"] = rows["ib_scbcreate"]

text = docs.read_text()
sections = re.split(r"(?m)^(?=### )", text)
changed = 0
for i, section in enumerate(sections):
    m = re.match(r"### (ib_[a-z0-9_]+)", section)
    if not m or m.group(1) not in rows:
        continue
    figures = rows[m.group(1)]

    def rewrite(sentence):
        s = sentence.group(0)
        for pattern, key in (
            (r"(ardudf\s+)(<\s)?[0-9.]+(\s+µs)", "ardudf"),
            (r"(its\s+floor\s+)(<\s)?[0-9.]+(\s+µs)", "floor"),
            (r"(through\s+the\s+UDR\s+module\s+)(<\s)?[0-9.]+(\s+µs)", "udr"),
            (r"(the\s+built-in\s+)(<\s)?[0-9.]+(\s+µs)", "builtin"),
        ):
            if figures[key] is not None:
                s = re.sub(pattern, lambda g: g.group(1) + micro(figures[key]) + g.group(3), s, count=1)
        return s

    new = re.sub(r"Cost per row:.*?µs\.", rewrite, section, count=1, flags=re.S)
    if new != section:
        sections[i] = new
        changed += 1
docs.write_text("".join(sections))
print(f"{docs}: {changed} sections updated from {results}")
