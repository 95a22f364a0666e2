#!/usr/bin/env python3
"""Writes the seed PNGs of png_decoder_fuzzer: small images of each colour
type and bit depth, both interlacings and every row filter, built byte by
byte with zlib so that no other image library is involved. The switch image
of the editor is copied in as a real-world seed.

    fuzz/make_png_corpus.py      (run from anywhere; rewrites the seeds)
"""
import pathlib
import shutil
import struct
import zlib

ROOT = pathlib.Path(__file__).resolve().parent.parent
CORPUS = ROOT / "fuzz" / "corpus" / "png_decoder_fuzzer"

# Channels per colour type: grey, RGB, palette, grey + alpha, RGBA.
CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}
ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def pack_row(samples, depth):
    """Samples of one row as bytes: big-endian, sub-byte samples packed from the high bit."""
    if depth == 16:
        return b"".join(struct.pack(">H", s) for s in samples)
    if depth == 8:
        return bytes(samples)
    per_byte = 8 // depth
    out = bytearray()
    for i in range(0, len(samples), per_byte):
        byte = 0
        for j, s in enumerate(samples[i:i + per_byte]):
            byte |= s << (8 - depth * (j + 1))
        out.append(byte)
    return bytes(out)


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else (b if pb <= pc else c)


def filter_rows(rows, bpp, first_filter):
    """Each row prefixed by its filter type, the types cycling through 0..4."""
    out = bytearray()
    previous = bytes(len(rows[0])) if rows else b""
    for n, row in enumerate(rows):
        kind = (first_filter + n) % 5
        out.append(kind)
        for i, x in enumerate(row):
            a = row[i - bpp] if i >= bpp else 0
            b = previous[i]
            c = previous[i - bpp] if i >= bpp else 0
            predictor = [0, a, b, (a + b) // 2, paeth(a, b, c)][kind]
            out.append((x - predictor) & 0xFF)
        previous = row
    return bytes(out)


def png(width, height, depth, colour, pixel, interlaced=False, extra=b"", first_filter=0):
    """A PNG whose sample values come from pixel(x, y) -> tuple of samples."""
    channels = CHANNELS[colour]
    bpp = max(1, channels * depth // 8)
    passes = ADAM7 if interlaced else [(0, 0, 1, 1)]
    data = b""
    for x0, y0, dx, dy in passes:
        xs = range(x0, width, dx)
        ys = range(y0, height, dy)
        if not xs or not ys:
            continue
        rows = [pack_row([s for x in xs for s in pixel(x, y)], depth) for y in ys]
        data += filter_rows(rows, bpp, first_filter)
    header = struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, 1 if interlaced else 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + extra +
            chunk(b"IDAT", zlib.compress(data, 9)) + chunk(b"IEND", b""))


def main():
    CORPUS.mkdir(parents=True, exist_ok=True)
    seeds = {
        "grey_1bit_7x3.png": png(7, 3, 1, 0, lambda x, y: ((x + y) & 1,)),
        "grey_2bit_5x2_gamma.png": png(5, 2, 2, 0, lambda x, y: ((x + 2 * y) % 4,),
                                       extra=chunk(b"gAMA", struct.pack(">I", 100000))),
        "grey_8bit_4x4_trns.png": png(4, 4, 8, 0, lambda x, y: (x * 60 + y,),
                                      extra=chunk(b"tRNS", struct.pack(">H", 60))),
        "grey_alpha_8bit_4x3.png": png(4, 3, 8, 4, lambda x, y: (200 - 40 * x, 85 * y), first_filter=1),
        "grey_16bit_3x3_interlaced.png": png(3, 3, 16, 0, lambda x, y: (x * 30000 + y * 1000,), interlaced=True),
        "rgb_8bit_9x9_interlaced.png": png(9, 9, 8, 2, lambda x, y: (x * 28, y * 28, (x * y) % 256), interlaced=True),
        "rgb_16bit_2x2_srgb.png": png(2, 2, 16, 2, lambda x, y: (65535 * x, 40000, 257 * y),
                                      extra=chunk(b"sRGB", b"\x00")),
        "rgba_8bit_5x5_filters.png": png(5, 5, 8, 6, lambda x, y: (50 * x, 50 * y, 255 - 50 * x, 64 * (x % 4) + 63),
                                         first_filter=0),
        "rgba_16bit_3x2.png": png(3, 2, 16, 6, lambda x, y: (x * 20000, y * 50000, 1234, 65535 - x * 30000)),
        "palette_4bit_5x3_trns.png": png(5, 3, 4, 3, lambda x, y: ((x + y) % 3,),
                                         extra=chunk(b"PLTE", bytes([255, 0, 0, 0, 128, 255, 200, 100, 50])) +
                                         chunk(b"tRNS", bytes([51, 255, 1]))),
    }
    for name, data in seeds.items():
        (CORPUS / name).write_bytes(data)
    shutil.copyfile(ROOT / "resources" / "img" / "korvane" / "switches" / "KV_on_off_20px.png",
                    CORPUS / "switch_KV_on_off_20px.png")


if __name__ == "__main__":
    main()
