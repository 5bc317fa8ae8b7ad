#!/usr/bin/env python3
"""Draws Tarvo's application icon (resources/Tarvo.ico): a blue tile with
three white menu bars and an orange pointer. Run by hand when the picture
changes; the output is committed."""
import struct, sys, os

def pixel(x, y, n):
    s = n / 32.0
    fx, fy = x / s, y / s
    # rounded tile
    r = 5
    cx = min(max(fx, r), 32 - r); cy = min(max(fy, r), 32 - r)
    if (fx - cx) ** 2 + (fy - cy) ** 2 > r * r or fx >= 31.5 or fy >= 31.5 or fx < 0.5 or fy < 0.5:
        return (0, 0, 0, 0)
    col = (32, 96, 176, 255)
    shade = int(40 * fy / 32)
    col = (max(0, col[0] - shade), max(0, col[1] - shade), max(0, col[2] - shade), 255)
    for top in (7, 14, 21):
        if 6 <= fx < 22 and top <= fy < top + 4:
            return (255, 255, 255, 255)
    # pointer triangle at the right
    if 20 <= fy < 30 and fx >= 20 and (fx - 20) <= (fy - 20) * 0.9 and fx < 30:
        return (255, 160, 32, 255)
    return col

def image(n):
    rows = []
    for y in range(n - 1, -1, -1):  # bottom-up
        for x in range(n):
            r, g, b, a = pixel(x + 0.5, y + 0.5, n)
            rows.append(struct.pack('BBBB', b, g, r, a))
    xor = b''.join(rows)
    mask_row = ((n + 31) // 32) * 4
    andmask = b''
    for y in range(n - 1, -1, -1):
        bits = 0
        row = bytearray(mask_row)
        for x in range(n):
            if pixel(x + 0.5, y + 0.5, n)[3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        andmask += bytes(row)
    header = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    return header + xor + andmask

def write_ico(path, sizes):
    imgs = [image(n) for n in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, data in zip(sizes, imgs):
        out += struct.pack('<BBBBHHII', n % 256, n % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(imgs)
    with open(path, 'wb') as f:
        f.write(out)

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'resources')
write_ico(os.path.join(root, 'Tarvo.ico'), [16, 32, 48])
