#!/usr/bin/env python3
"""Small files that declare huge pictures, each loaded by the host once; prints a line per file:
NAME, the host's Load line and how far the host's peak resident memory rose above that of a run
that loads nothing, in MiB.

Usage: hostile_memory.py PATH/TO/pictavor WORKDIR
The JPEGs are cjpeg's of a 16x16 picture with the frame's size raised and the data cut right
after the first scan header, so the file ends before any pixel data.
"""
import os
import struct
import subprocess
import sys
import zlib


def cjpeg(*options):
    ppm = b"P6\n16 16\n255\n" + bytes((i * 7) % 256 for i in range(16 * 16 * 3))
    return subprocess.run(["cjpeg", *options], input=ppm, capture_output=True, check=True).stdout


def cut_jpeg(data, width, height):
    """The file up to the end of its first scan header, the frame declaring width x height."""
    data = bytearray(data)
    at = 2
    while True:
        marker, length = data[at + 1], struct.unpack(">H", data[at + 2 : at + 4])[0]
        if marker in (0xC0, 0xC1, 0xC2):
            data[at + 5 : at + 9] = struct.pack(">HH", height, width)
        if marker == 0xDA:
            return bytes(data[: at + 2 + length])
        at += 2 + length


def sparse_rle8(width, height):
    """An RLE8 BMP whose stream is a few runs, deltas and end-of-line codes, then end-of-bitmap."""
    stream = bytearray()
    for row in range(0, height, 255):
        stream += b"\x04\x07"  # a run of four pixels
        stream += b"\x00\x02\xff" + bytes([min(255, height - row - 1)])  # delta right and up
        stream += b"\x00\x00"  # end of line
    stream += b"\x00\x01"
    table = bytes(1024)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(stream), 0, 0, 256, 0)
    offset = 14 + len(info) + len(table)
    header = b"BM" + struct.pack("<IHHI", offset + len(stream), 0, 0, offset)
    return header + info + table + bytes(stream)


def one_byte_strips(width, height, strips):
    """A grey TIFF of `strips` one-byte strips, a row each."""
    entries = 9
    ifd = 8
    offsets_at = ifd + 2 + 12 * entries + 4
    counts_at = offsets_at + 4 * strips
    data_at = counts_at + 4 * strips
    tags = [(256, 4, 1, width), (257, 4, 1, height), (258, 3, 1, 8), (259, 3, 1, 1),
            (262, 3, 1, 1), (273, 4, strips, offsets_at), (277, 3, 1, 1), (278, 4, 1, 1),
            (279, 4, strips, counts_at)]
    out = bytearray(b"II*\x00" + struct.pack("<I", ifd) + struct.pack("<H", entries))
    for tag, kind, count, value in tags:
        out += struct.pack("<HHII", tag, kind, count, value)
    out += struct.pack("<I", 0)
    out += struct.pack(f"<{strips}I", *(data_at + i for i in range(strips)))
    out += struct.pack(f"<{strips}I", *([1] * strips))
    return bytes(out + bytes(strips))


def png(width, height, chunks):
    """An 8-bit RGB PNG of the given size with `chunks` after IHDR: (type, data, the length its
    header claims, None for the true one)."""
    def chunk(kind, data, length=None):
        length = len(data) if length is None else length
        return (struct.pack(">I", length) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    out = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    for kind, data, length in chunks:
        out += chunk(kind, data, length)
    return out


CASES = [
    ("baseline-grey-30000", lambda: cut_jpeg(cjpeg("-grayscale"), 30000, 30000), "jpg"),
    ("baseline-rgb-20000", lambda: cut_jpeg(cjpeg(), 20000, 20000), "jpg"),
    ("progressive-grey-30000", lambda: cut_jpeg(cjpeg("-grayscale", "-progressive"), 30000, 30000),
     "jpg"),
    ("progressive-rgb-20000", lambda: cut_jpeg(cjpeg("-progressive"), 20000, 20000), "jpg"),
    ("sparse-rle8-40000x50000", lambda: sparse_rle8(40000, 50000), "bmp"),
    ("tiff-one-byte-strips-40000", lambda: one_byte_strips(40000, 40000, 40000), "tif"),
    # A text chunk whose length claims 1.7 GB in a file of a few hundred bytes.
    ("png-text-claims-1700000000", lambda: png(23, 19, [(b"tEXt", b"Comment\0x" * 20, 1719926821)]),
     "png"),
]


def peak_of(host, call):
    child = subprocess.Popen([host, call], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    out = child.stdout.read().decode().strip()
    _, _, usage = os.wait4(child.pid, 0)
    child.stdout.close()
    return out, usage.ru_maxrss // 1024


def main():
    host, work = sys.argv[1], sys.argv[2]
    _, idle = peak_of(host, "GetWidth()")
    for name, make, ext in CASES:
        path = os.path.join(work, f"{name}.{ext}")
        with open(path, "wb") as f:
            f.write(make())
        out, peak = peak_of(host, f'Load("{path}", 0, 0)')
        print(f"{name} {out.replace(' ', '=')} {max(0, peak - idle)}")


if __name__ == "__main__":
    main()
