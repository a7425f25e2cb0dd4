#!/usr/bin/env python3
"""Python's json module reads the JSON output back to the very doubles of the data system file.

    json_read_back.py WORK_DIR [EMULATOR ...] CLI
"""
import json
import os
import struct
import subprocess
import sys

HEADER = b"READ BACK \x01 \xe9t\xe9 \x80".ljust(64, b" ")
NAMES = [b"A", b"\xe9t\xe9", b"\x80uro", b'a"b', b"c\\d"]
# The lower triangle of 5 variables, then 5 means: values that are hard to write exactly.
VALUES = [0.1 + 0.2, 1e-310, -0.0, 1e300, 123456789012345678.0, 9.8765432109876543e19, 2 / 3,
          -1.5e15, 5e-324, 1e22, 0.5, 2.0, -7.25e-8, 1 / 3, 1e-5,
          10.0, 20.5, -0.0, 1.7976931348623157e308, 0.30000000000000004]


def bits(values):
    return [struct.pack("<d", float(value)) for value in values]


def main():
    work, command = sys.argv[1], sys.argv[2:]
    os.makedirs(work, exist_ok=True)
    source, output = os.path.join(work, "read_back.dsf"), os.path.join(work, "read_back.json")
    with open(source, "wb") as file:
        file.write(HEADER + struct.pack("<ii", 150, len(NAMES)))
        file.write(b"".join(name.ljust(8) for name in NAMES) + b"".join(bits(VALUES)))
    if os.path.exists(output):
        os.remove(output)
    subprocess.run(command + ["--quiet", "-o", output, source], check=True)
    with open(output, encoding="utf-8") as file:
        moments = json.load(file)

    read = [value for row in moments["covariances"] for value in row] + moments["means"]
    checks = {
        "members": (list(moments), ["header", "cases", "variables", "covariances", "means"]),
        "header": (moments["header"], HEADER.decode("cp1252").rstrip(" ")),
        "cases": (moments["cases"], 150),
        "variables": (moments["variables"], [name.decode("cp1252") for name in NAMES]),
        "row lengths": ([len(row) for row in moments["covariances"]], [1, 2, 3, 4, 5]),
        "values": (bits(read), bits(VALUES)),
    }
    failures = [f"{what}: {actual!r}, expected {expected!r}"
                for what, (actual, expected) in checks.items() if actual != expected]
    print("\n".join(failures) or f"json.load read all {len(read)} values back exactly")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
