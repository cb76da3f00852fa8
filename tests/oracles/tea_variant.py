#!/usr/bin/python3
"""Expected values for Velsor's TEA variant, which no outside library has.

A direct transcription of the variant's round: the four terms of each step
are added, k0 and k2 are XORed with the half. Written apart from the C++ so
that the key handling (byte order, which word enters where) is pinned down.

Usage: tea_variant.py KEY_HEX(32 digits) BLOCK_HEX(16 digits)
"""
import sys

M = 0xFFFFFFFF
DELTA = 0x9E3779B9


def encrypt(key, block):
    k = [int.from_bytes(key[4 * i:4 * i + 4], "big") for i in range(4)]
    x, y = int.from_bytes(block[:4], "big"), int.from_bytes(block[4:], "big")
    s = 0
    for _ in range(32):
        s = (s + DELTA) & M
        x = (x + (((y << 4) & M) + (k[0] ^ y) + (s ^ (y >> 5)) + k[1])) & M
        y = (y + (((x << 4) & M) + (k[2] ^ x) + (s ^ (x >> 5)) + k[3])) & M
    return x.to_bytes(4, "big") + y.to_bytes(4, "big")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    print(encrypt(bytes.fromhex(sys.argv[1]), bytes.fromhex(sys.argv[2])).hex())
