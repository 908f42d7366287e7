#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the playlist window's two 86 x 28 advertisement images.

ads0.gif: a palette picture (GIF87a, LZW-packed by hand);
ads1.bmp: a 24-bit bitmap.
Only the standard library is used. Run it again after changing the artwork:
    python3 scripts/make-ad-images.py resources/playlist
"""
import struct
import sys
from pathlib import Path

WIDTH, HEIGHT = 86, 28

# 5 x 7 capitals, one string of five bits per row.
FONT = {
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "I": ["11111", "00100", "00100", "00100", "00100", "00100", "11111"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "G": ["01110", "10001", "10000", "10111", "10001", "10001", "01111"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "W": ["10001", "10001", "10001", "10101", "10101", "10101", "01010"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "'": ["00100", "00100", "01000", "00000", "00000", "00000", "00000"],
    "!": ["00100", "00100", "00100", "00100", "00100", "00000", "00100"],
    " ": ["00000"] * 7,
}


def text_width(text, scale):
    return len(text) * 6 * scale - scale


def draw_text(pixels, text, left, top, scale, colour):
    for n, ch in enumerate(text):
        for row, bits in enumerate(FONT[ch]):
            for col, bit in enumerate(bits):
                if bit != "1":
                    continue
                for dy in range(scale):
                    for dx in range(scale):
                        x = left + (n * 6 + col) * scale + dx
                        y = top + row * scale + dy
                        if 0 <= x < WIDTH and 0 <= y < HEIGHT:
                            pixels[y][x] = colour


def centred_text(pixels, text, top, scale, colour):
    draw_text(pixels, text, (WIDTH - text_width(text, scale)) // 2, top, scale, colour)


def frame(pixels, colour):
    for x in range(WIDTH):
        pixels[0][x] = pixels[HEIGHT - 1][x] = colour
    for y in range(HEIGHT):
        pixels[y][0] = pixels[y][WIDTH - 1] = colour


# ---- image 0: palette picture -------------------------------------------

PALETTE = [
    (0x10, 0x18, 0x40),  # 0 night blue
    (0x20, 0x30, 0x70),  # 1 lighter band
    (0xFF, 0xD0, 0x30),  # 2 gold letters
    (0xFF, 0xFF, 0xFF),  # 3 white
    (0xC0, 0x20, 0x20),  # 4 red frame
    (0x80, 0xA0, 0xFF),  # 5 pale blue small text
    (0x00, 0x00, 0x00),
    (0x00, 0x00, 0x00),
]


def picture0():
    pixels = [[0 if (y // 2) % 2 == 0 else 1 for _ in range(WIDTH)] for y in range(HEIGHT)]
    frame(pixels, 4)
    centred_text(pixels, "SIV'REL", 3, 2, 2)
    centred_text(pixels, "GET IT FREE!", 19, 1, 5)
    # A little star in each corner.
    for cx, cy in ((6, 6), (WIDTH - 7, 6)):
        for dx, dy in ((0, 0), (1, 0), (-1, 0), (0, 1), (0, -1)):
            pixels[cy + dy][cx + dx] = 3
    return pixels


def lzw(indices, min_code_size):
    clear = 1 << min_code_size
    end = clear + 1
    out = bytearray()
    bit_buffer = 0
    bit_count = 0

    def emit(code, size):
        nonlocal bit_buffer, bit_count
        bit_buffer |= code << bit_count
        bit_count += size
        while bit_count >= 8:
            out.append(bit_buffer & 0xFF)
            bit_buffer >>= 8
            bit_count -= 8

    def fresh_table():
        return {(i,): i for i in range(clear)}

    table = fresh_table()
    next_code = end + 1
    size = min_code_size + 1
    emit(clear, size)
    current = ()
    for index in indices:
        candidate = current + (index,)
        if candidate in table:
            current = candidate
            continue
        emit(table[current], size)
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            if next_code > (1 << size) and size < 12:
                size += 1
        else:
            emit(clear, size)
            table = fresh_table()
            next_code = end + 1
            size = min_code_size + 1
        current = (index,)
    if current:
        emit(table[current], size)
    emit(end, size)
    if bit_count:
        out.append(bit_buffer & 0xFF)
    return bytes(out)


def gif(pixels):
    colour_bits = 3  # eight palette entries
    data = bytearray(b"GIF87a")
    data += struct.pack("<HHBBB", WIDTH, HEIGHT, 0x80 | (colour_bits - 1) << 4 | (colour_bits - 1), 0, 0)
    for rgb in PALETTE:
        data += bytes(rgb)
    data += b","
    data += struct.pack("<HHHHB", 0, 0, WIDTH, HEIGHT, 0)
    min_code_size = max(2, colour_bits)
    data.append(min_code_size)
    packed = lzw([i for row in pixels for i in row], min_code_size)
    for start in range(0, len(packed), 255):
        block = packed[start:start + 255]
        data.append(len(block))
        data += block
    data += b"\x00;"
    return bytes(data)


# ---- image 1: 24-bit bitmap ---------------------------------------------

def picture1():
    pixels = []
    for y in range(HEIGHT):
        row = []
        for x in range(WIDTH):
            # A sunset: red to orange from left to right, darker towards the foot.
            shade = 1.0 - 0.4 * y / (HEIGHT - 1)
            r = int(0xE0 * shade)
            g = int((0x30 + 0x70 * x / (WIDTH - 1)) * shade)
            b = int(0x40 * shade)
            row.append((r, g, b))
        pixels.append(row)
    frame(pixels, (0xFF, 0xFF, 0xFF))
    centred_text(pixels, "DOWNLOAD", 4, 1, (0xFF, 0xFF, 0xFF))
    centred_text(pixels, "SIV'REL NOW!", 16, 1, (0xFF, 0xF0, 0x60))
    return pixels


def bmp(pixels):
    row_size = (WIDTH * 3 + 3) & ~3
    image = bytearray()
    for row in reversed(pixels):  # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\x00" * (row_size - len(line))
        image += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(image), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    return header + info + bytes(image)


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else "resources/playlist")
    out.mkdir(parents=True, exist_ok=True)
    (out / "ads0.gif").write_bytes(gif(picture0()))
    (out / "ads1.bmp").write_bytes(bmp(picture1()))


if __name__ == "__main__":
    main()
