#!/usr/bin/env python3
"""Writes src/resources/target.cur: the rule editor's 32 x 32 target cursor,
hot spot (15, 15): a ring with short ticks on its diagonals and a small cross
at the centre, black with a white edge so that it shows on any background."""
import math
import struct
import sys

SIZE, HOT = 32, 15


def black(x, y):
    dx, dy = x - HOT, y - HOT
    r = math.hypot(dx, dy)
    if 8.5 <= r <= 10.5:
        return True
    if abs(abs(dx) - abs(dy)) <= 1 and 11 <= r <= 15:
        return True
    return (dx == 0 and abs(dy) <= 3) or (dy == 0 and abs(dx) <= 3)


def main(path):
    pixels = [[black(x, y) for x in range(SIZE)] for y in range(SIZE)]
    near = lambda x, y: any(
        0 <= x + i < SIZE and 0 <= y + j < SIZE and pixels[y + j][x + i] for i in (-1, 0, 1) for j in (-1, 0, 1))
    xor_rows, and_rows = [], []
    for y in reversed(range(SIZE)):  # bitmaps run bottom-up
        xor_bits = and_bits = 0
        for x in range(SIZE):
            bit = 1 << (SIZE - 1 - x)
            if pixels[y][x]:
                pass  # black: AND 0, XOR 0
            elif near(x, y):
                xor_bits |= bit  # white edge: AND 0, XOR 1
            else:
                and_bits |= bit  # transparent: AND 1, XOR 0
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    image = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    image += struct.pack("<II", 0x000000, 0xFFFFFF) + b"".join(xor_rows) + b"".join(and_rows)
    header = struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, HOT, HOT, len(image), 22)
    with open(path, "wb") as f:
        f.write(header + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "src/resources/target.cur")
