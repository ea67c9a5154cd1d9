#!/usr/bin/env python3
"""Packs PNG images into one Windows icon file (.ico), each image kept as PNG, as Windows reads
them since Vista; the sizes are taken from the images themselves.

    make-ico.py OUTPUT.ico IMAGE.png...
"""

import struct
import sys


def png_size(data, path):
    # The IHDR chunk comes first, right after the 8-byte signature.
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        sys.exit(f"make-ico: {path} is not a PNG image")
    return struct.unpack(">II", data[16:24])


def main(output, paths):
    images = []
    for path in paths:
        with open(path, "rb") as file:
            data = file.read()
        width, height = png_size(data, path)
        if width > 256 or height > 256:
            sys.exit(f"make-ico: {path} is larger than 256 pixels")
        images.append((width, height, data))
    images.sort(key=lambda image: image[0])
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries = b""
    for width, height, data in images:
        # 0 stands for 256; no palette; one plane of 32 bits.
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data),
                               offset)
        offset += len(data)
    with open(output, "wb") as file:
        file.write(header + entries + b"".join(data for _, _, data in images))


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit("usage: make-ico.py OUTPUT.ico IMAGE.png...")
    main(sys.argv[1], sys.argv[2:])
