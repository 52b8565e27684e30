#!/usr/bin/env python3
"""Writes the firmware update images of the update folder (Update/<code>.fw).

Image file, little-endian: magic "VX27FW01", model code (16 bytes,
NUL-padded), version (2), zero (2), payload length (4), CRC-32 of the
payload (4), payload. The payloads are stand-ins: deterministic bytes of a
fixed length per model. Rerun after changing a version or a length.
"""
import os
import random
import struct
import zlib

VERSION = 0x0126
MODELS = [("RM50C17A", 3600), ("RM50C16A", 5000), ("RM50C09A_1", 2000)]


def image(code, length):
    rng = random.Random(code)
    payload = bytes(rng.getrandbits(8) for _ in range(length))
    header = b"VX27FW01" + code.encode("ascii").ljust(16, b"\0")
    header += struct.pack("<HHII", VERSION, 0, len(payload), zlib.crc32(payload) & 0xFFFFFFFF)
    return header + payload


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "Update")
    os.makedirs(folder, exist_ok=True)
    for code, length in MODELS:
        with open(os.path.join(folder, code + ".fw"), "wb") as f:
            f.write(image(code, length))


if __name__ == "__main__":
    main()
