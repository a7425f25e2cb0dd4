"""Data system files for the tests, built byte by byte, and their moments read back with numpy."""

import math
import random
import struct

import numpy


def dsf(header=b"", cases=150, names=(), lower=(), means=(), count=None):
    """The bytes of a file; `count` overrides the number of variables written."""
    p = len(names) if count is None else count
    out = header.ljust(64, b" ")[:64] + struct.pack("<ii", cases, p)
    out += b"".join(name.ljust(8, b" ")[:8] for name in names)
    return out + struct.pack(f"<{len(lower)}d", *lower) + struct.pack(f"<{len(means)}d", *means)


def from_bits(bits):
    return struct.unpack("<d", struct.pack("<Q", bits))[0]


DEMO = dsf(b"DEMO", 150, [b"X1", b"X2"], [1.5, 0.3, 2.25], [10, 20.5])


def random_bits(p, seed):
    """Every double any 64-bit pattern: NaNs with payloads, infinities, subnormals, -0.0."""
    rng = random.Random(seed)
    values = [from_bits(rng.getrandbits(64)) for _ in range(p * (p + 1) // 2 + p)]
    names = [f"V{i}".encode() for i in range(1, p + 1)]
    return dsf(b"RANDOM BITS", 1000, names, values[p:], values[:p])


# Files that read: name -> (bytes, header, names as text).
LOWER = [1.5, 0.3, 2.25, 0.1, 0.2, 3.0]
GOOD = {
    "demo": (DEMO, "DEMO", ["X1", "X2"]),
    "one_variable": (dsf(b"ONE", 5, [b"A"], [2.0], [1.0]), "ONE", ["A"]),
    "nul_padding": (dsf(b"NUL PADDED".ljust(64, b"\0"), 150, [
        n.ljust(8, b"\0") for n in [b"X1", b"X2", b"A\0B"]], LOWER, [10, 20.5, -0.25]),
        "NUL PADDED", ["X1", "X2", "A\0B"]),
    "high_bit_names": (dsf(b"\xC9tudes \x80 \xA9 2000", 150, [
        b"\xE9t\xE9", b"na\xEFve", b"\x80\x81y"], LOWER, [10, 20.5, 1e-7]),
        "Études € © 2000", ["été", "naïve", "€\x81y"]),
    "correlation": (dsf(b"KM", 300, [b"A", b"B", b"C"], [1, 0.5, 1, 0.3, 0.2, 1], [0, 0, 0]),
                    "KM", ["A", "B", "C"]),
    "not_finite": (dsf(b"NOT A NUMBER", 150, [b"X1", b"X2"], [
        1.5, from_bits(0x7FF8000000000123), -0.0], [math.inf, -5e-324]), "NOT A NUMBER",
        ["X1", "X2"]),
    "random_bits": (random_bits(40, 7), "RANDOM BITS", [f"V{i}" for i in range(1, 41)]),
}

# Files that don't: name -> bytes; the 128 bytes of the demo are the least it needs.
DAMAGED = {
    "empty": b"",
    "short_header": DEMO[:71],
    "one_byte_short": DEMO[:127],
    "no_variables": dsf(b"H", 1, [], [], [], count=0),
    "negative_count": dsf(b"H", 1, [], [], [], count=-1),
    "largest_count_short": dsf(b"H", 1, [], [], [], count=46340),
    "too_many_variables": dsf(b"H", 1, [], [], [], count=46341),
}


def moments_of(data):
    """The full matrix and the means, straight from the bytes, as unsigned 64-bit patterns."""
    (p,) = struct.unpack_from("<i", data, 68)
    start = 72 + 8 * p
    count = p * (p + 1) // 2
    lower = numpy.frombuffer(data, "<u8", count, start)
    full = numpy.zeros((p, p), "<u8")
    full[numpy.tril_indices(p)] = lower
    full.T[numpy.tril_indices(p)] = lower
    return full, numpy.frombuffer(data, "<u8", p, start + 8 * count)
