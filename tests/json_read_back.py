#!/usr/bin/env python3
"""Python's json module reads the JSON output back to the very doubles of the data system file.

Writes a data system file of values that are hard to write exactly, converts it with the command
line program and compares what json.load returns with the file's bytes, bit for bit.

    json_read_back.py WORK_DIR CLI [EMULATOR ...]
"""
import json
import math
import os
import struct
import subprocess
import sys

HEADER = b"READ BACK \x01 \xe9t\xe9 \x80"
NAMES = [b"A", b"\xe9t\xe9", b"\x80uro", b'a"b', b"c\\d"]
P = len(NAMES)
COVARIANCES = [0.1 + 0.2, 1e-310, -0.0, 1e300, 123456789012345678.0, 9.8765432109876543e19,
               2 / 3, -1.5e15, 5e-324, 1e22, 0.5, 2.0, -7.25e-8, 1 / 3, 1e-5]
MEANS = [10.0, 20.5, -0.0, 1.7976931348623157e308, 0.30000000000000004]


def dsf_bytes():
    out = HEADER.ljust(64, b" ") + struct.pack("<ii", 150, P)
    out += b"".join(name.ljust(8, b" ") for name in NAMES)
    out += b"".join(struct.pack("<d", value) for value in COVARIANCES + MEANS)
    return out


def bits(value):
    return struct.pack("<d", float(value))


def main():
    work, command = sys.argv[1], sys.argv[2:]
    os.makedirs(work, exist_ok=True)
    source = os.path.join(work, "read_back.dsf")
    output = os.path.join(work, "read_back.json")
    with open(source, "wb") as file:
        file.write(dsf_bytes())
    if os.path.exists(output):
        os.remove(output)
    subprocess.run(command + ["--quiet", "-o", output, source], check=True)
    with open(output, encoding="utf-8") as file:
        moments = json.load(file)

    failures = []
    expected_names = [name.decode("cp1252") for name in NAMES]
    checks = [
        ("members", list(moments), ["header", "cases", "variables", "covariances", "means"]),
        ("header", moments["header"], HEADER.ljust(64, b" ").decode("cp1252")),
        ("cases", moments["cases"], 150),
        ("variables", moments["variables"], expected_names),
        ("row lengths", [len(row) for row in moments["covariances"]], list(range(1, P + 1))),
    ]
    for what, actual, expected in checks:
        if actual != expected:
            failures.append(f"{what}: {actual!r}, expected {expected!r}")
    read = [value for row in moments["covariances"] for value in row] + moments["means"]
    for index, (actual, expected) in enumerate(zip(read, COVARIANCES + MEANS)):
        if not isinstance(actual, (int, float)) or bits(actual) != bits(expected):
            failures.append(f"value {index + 1}: {actual!r}, expected {expected!r}")
    if len(read) != len(COVARIANCES + MEANS):
        failures.append(f"{len(read)} values, expected {len(COVARIANCES + MEANS)}")
    assert all(math.isfinite(value) for value in COVARIANCES + MEANS)

    if failures:
        print("\n".join(failures))
        return 1
    print(f"json.load read all {len(read)} values back exactly")
    return 0


if __name__ == "__main__":
    sys.exit(main())
