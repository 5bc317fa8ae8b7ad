#!/usr/bin/env python3
"""Draws Tarvo's pictures: the application icon, the four start-page option
icons, the back arrow of the page buttons, the icons of the editor page's
command row, the magnifier of the command-line dialog's search button and the
LOGO bitmap (142 x 63, 24 bit, white background). Run by hand when a picture
changes; the outputs in resources/ are committed."""
import math, os, struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'resources')
SS = 4  # supersampling per axis


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    l2 = dx * dx + dy * dy
    t = 0 if l2 == 0 else max(0, min(1, ((px - ax) * dx + (py - ay) * dy) / l2))
    x, y = ax + t * dx, ay + t * dy
    return math.hypot(px - x, py - y)


def in_poly(px, py, pts):
    inside = False
    j = len(pts) - 1
    for i in range(len(pts)):
        xi, yi = pts[i]; xj, yj = pts[j]
        if (yi > py) != (yj > py) and px < (xj - xi) * (py - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def render(width, height, shapes, scale=1.0):
    """shapes: list of (test(x, y) -> bool, rgba) painted in order, on a 48-
    unit design grid scaled to the image size. Returns rows of RGBA."""
    img = []
    for y in range(height):
        row = []
        for x in range(width):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SS):
                for sx in range(SS):
                    fx = (x + (sx + 0.5) / SS) / scale
                    fy = (y + (sy + 0.5) / SS) / scale
                    col = None
                    for test, c in shapes:
                        if test(fx, fy):
                            col = c(fx, fy) if callable(c) else c
                    if col:
                        a = col[3] / 255.0
                        acc[0] += col[0] * a; acc[1] += col[1] * a; acc[2] += col[2] * a; acc[3] += a
            n = SS * SS
            a = acc[3] / n
            if a > 0:
                row.append((int(acc[0] / acc[3]), int(acc[1] / acc[3]), int(acc[2] / acc[3]), int(a * 255 + 0.5)))
            else:
                row.append((0, 0, 0, 0))
        img.append(row)
    return img


def ico_image(rows):
    n = len(rows)
    xor = b''.join(struct.pack('BBBB', b, g, r, a) for row in reversed(rows) for (r, g, b, a) in row)
    mask_row = ((n + 31) // 32) * 4
    andmask = b''
    for row in reversed(rows):
        bits = bytearray(mask_row)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        andmask += bytes(bits)
    header = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    return header + xor + andmask


def write_ico(name, shapes, sizes=(48, 32)):
    imgs = [ico_image(render(n, n, shapes, n / 48.0)) for n in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, data in zip(sizes, imgs):
        out += struct.pack('<BBBBHHII', n % 256, n % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(imgs)
    with open(os.path.join(ROOT, name), 'wb') as f:
        f.write(out)


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def stroke(points, w):
    segs = list(zip(points, points[1:]))
    return lambda x, y: any(seg_dist(x, y, a[0], a[1], b[0], b[1]) <= w / 2 for a, b in segs)


def vgrad(top, bottom, y0, y1):
    def c(x, y):
        t = max(0.0, min(1.0, (y - y0) / (y1 - y0)))
        return tuple(int(top[i] + (bottom[i] - top[i]) * t) for i in range(3)) + (255,)
    return c


OUTLINE = (40, 50, 70, 255)
WHITE = (255, 255, 255, 255)

# 1: a menu card with entries and a pencil (create or edit menus)
option1 = [
    (rect(5, 4, 35, 44), OUTLINE),
    (rect(6, 5, 34, 43), WHITE),
    (rect(6, 5, 34, 12), vgrad((70, 130, 220), (30, 80, 170), 5, 12)),
] + [(rect(10, y, 30, y + 3), (90, 110, 140, 255)) for y in (16, 23, 30, 37)] + [
    (stroke([(44, 14), (24, 36)], 7), OUTLINE),
    (stroke([(44, 14), (24, 36)], 5), (250, 190, 40, 255)),
    (stroke([(44, 14), (40, 18)], 5), (230, 90, 90, 255)),
    (lambda x, y: in_poly(x, y, [(21, 33.5), (26.5, 38.5), (19, 41)]), (240, 215, 170, 255)),
    (lambda x, y: in_poly(x, y, [(19.5, 38.5), (21.5, 40.3), (19, 41)]), OUTLINE),
]

# 2: a document with the shortcut arrow (create a shortcut)
arrow = [(16, 42), (16, 34), (20, 29), (28, 29)]
option2 = [
    (lambda x, y: in_poly(x, y, [(9, 3), (31, 3), (40, 12), (40, 45), (9, 45)]), OUTLINE),
    (lambda x, y: in_poly(x, y, [(10, 4), (30.5, 4), (39, 12.5), (39, 44), (10, 44)]), WHITE),
    (lambda x, y: in_poly(x, y, [(30, 4), (39, 13), (30, 13)]), (200, 210, 225, 255)),
] + [(rect(15, y, 34, y + 2), (150, 165, 190, 255)) for y in (16, 21)] + [
    (rect(4, 24, 26, 46), OUTLINE),
    (rect(5, 25, 25, 45), WHITE),
    (stroke(arrow, 4.5), (30, 100, 200, 255)),
    (lambda x, y: in_poly(x, y, [(26, 23), (34, 29), (26, 35)]), (30, 100, 200, 255)),
]

# 3: an information sign (about box)
option3 = [
    (circle(24, 24, 21), (20, 60, 140, 255)),
    (circle(24, 24, 20), vgrad((90, 150, 240), (20, 80, 180), 4, 44)),
    (circle(24, 13, 3.5), WHITE),
    (rect(20.5, 20, 27.5, 37), WHITE),
    (rect(18, 34, 30, 37), WHITE),
    (rect(18, 20, 22, 23), WHITE),
]

# 4: a power sign (quit)
ring = [(24 + 12 * math.cos(math.radians(a)), 25 + 12 * math.sin(math.radians(a))) for a in range(-50, 231, 10)]
option4 = [
    (circle(24, 24, 21), (120, 20, 20, 255)),
    (circle(24, 24, 20), vgrad((240, 90, 80), (180, 30, 30), 4, 44)),
    (stroke(ring, 4.5), WHITE),
    (stroke([(24, 9), (24, 24)], 4.5), WHITE),
]

# The back arrow of the page buttons (back to the start page)
back = [
    (lambda x, y: in_poly(x, y, [(4, 24), (22, 6), (22, 16), (44, 16), (44, 32), (22, 32), (22, 42)]), (20, 90, 40, 255)),
    (lambda x, y: in_poly(x, y, [(7, 24), (20.5, 10.5), (20.5, 17.5), (42.5, 17.5), (42.5, 30.5), (20.5, 30.5),
                                 (20.5, 37.5)]), vgrad((110, 210, 110), (40, 150, 60), 10, 38)),
]

# The application icon: a blue tile with three white menu bars and an
# orange pointer.
def rounded(x0, y0, x1, y1, r):
    def test(x, y):
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return x0 <= x <= x1 and y0 <= y <= y1 and (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return test

application = [
    (rounded(1, 1, 47, 47, 7), vgrad((40, 110, 195), (20, 70, 140), 1, 47)),
    (rect(9, 10, 33, 16), WHITE),
    (rect(9, 21, 33, 27), WHITE),
    (rect(9, 32, 33, 38), WHITE),
    (lambda x, y: in_poly(x, y, [(30, 28), (45, 40), (37, 41), (41, 46), (38, 47), (34, 43), (30, 47)]),
     (255, 160, 32, 255)),
]
# Larger frames for screens of 120 to 192 DPI, so that the pictures are drawn
# for the size they show at, never stretched.
write_ico('Tarvo.ico', application, sizes=(64, 48, 40, 32, 24, 16))

for name, shapes in (('Option1.ico', option1), ('Option2.ico', option2), ('Option3.ico', option3),
                     ('Option4.ico', option4)):
    write_ico(name, shapes, sizes=(96, 72, 60, 48))
write_ico('Back.ico', back, sizes=(64, 48, 40, 32))


# ---- The editor page's command row: new, open, create shortcut, save and save
# as (the sixth button is the back arrow above). Shown at 32 px on a 96 DPI
# screen, so edges lie on multiples of 1.5 units (whole pixels at 32 and 64 px)
# and no detail is thinner than 1.5 units.
def poly(pts):
    return lambda x, y: in_poly(x, y, pts)


def document(x0, y0, x1, y1, fold, w=1.5):
    """An outlined white page with a folded top right corner."""
    return [
        (poly([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)]), OUTLINE),
        (poly([(x0 + w, y0 + w), (x1 - fold - w * 0.4, y0 + w), (x1 - w, y0 + fold + w * 0.4), (x1 - w, y1 - w),
               (x0 + w, y1 - w)]), WHITE),
        (poly([(x1 - fold, y0), (x1, y0 + fold), (x1 - fold, y0 + fold)]), OUTLINE),
        (poly([(x1 - fold + w, y0 + w * 2.4), (x1 - w * 2.4, y0 + fold - w), (x1 - fold + w, y0 + fold - w)]),
         (200, 210, 225, 255)),
    ]


def burst(cx, cy, r_main, r_diag, r_in):
    """An eight-ray star: long rays up, down, left and right, short ones between."""
    pts = []
    for i in range(16):
        a = math.radians(-90 + i * 22.5)
        d = (r_main if i % 4 == 0 else r_diag) if i % 2 == 0 else r_in
        pts.append((cx + d * math.cos(a), cy + d * math.sin(a)))
    return poly(pts)


def pencil(tip, end, w=5.0, tip_len=7.0):
    """A yellow pencil like option1's, from its red end to its sharpened tip."""
    dx, dy = tip[0] - end[0], tip[1] - end[1]
    l = math.hypot(dx, dy)
    ux, uy = dx / l, dy / l
    nx, ny = -uy, ux
    bx, by = tip[0] - ux * tip_len, tip[1] - uy * tip_len  # where the wood starts
    h = w / 2 + 0.9
    gx, gy = tip[0] - ux * tip_len * 0.38, tip[1] - uy * tip_len * 0.38
    g = w / 2 * 0.38 + 0.4
    return [
        (stroke([end, (bx, by)], w + 2.5), OUTLINE),
        (poly([(bx + nx * h, by + ny * h), (tip[0] + ux * 1.2, tip[1] + uy * 1.2), (bx - nx * h, by - ny * h)]), OUTLINE),
        (stroke([end, (bx, by)], w), (250, 190, 40, 255)),
        (stroke([end, (end[0] + ux * 4, end[1] + uy * 4)], w), (230, 90, 90, 255)),
        (poly([(bx + nx * w / 2, by + ny * w / 2), tip, (bx - nx * w / 2, by - ny * w / 2)]), (240, 215, 170, 255)),
        (poly([(gx + nx * g, gy + ny * g), (tip[0] + ux * 0.6, tip[1] + uy * 0.6), (gx - nx * g, gy - ny * g)]),
         OUTLINE),
    ]


def floppy(x0, y0, x1, y1):
    """A blue floppy disk: body with a cut top right corner, metal shutter, white label."""
    q = lambda v: round(v / 1.5) * 1.5
    w = x1 - x0
    c = q(w * 0.12)
    sh0, sh1, sh2 = q(x0 + w * 0.24), q(x1 - w * 0.2), q(y0 + w * 0.36)
    l0, l1, l2 = q(x0 + w * 0.14), q(x1 - w * 0.14), q(y1 - w * 0.45)
    return [
        (poly([(x0 + 2, y0), (x1 - c, y0), (x1, y0 + c), (x1, y1 - 2), (x1 - 2, y1), (x0 + 2, y1), (x0, y1 - 2),
               (x0, y0 + 2)]), OUTLINE),
        (poly([(x0 + 1.5, y0 + 1.5), (x1 - c - 0.6, y0 + 1.5), (x1 - 1.5, y0 + c + 0.6), (x1 - 1.5, y1 - 1.5),
               (x0 + 1.5, y1 - 1.5)]), vgrad((70, 120, 210), (30, 70, 160), y0, y1)),
        # the metal shutter with its window
        (rect(sh0, y0, sh1, sh2), OUTLINE),
        (rect(sh0 + 1.5, y0 + 1.5, sh1 - 1.5, sh2 - 1.5), vgrad((235, 238, 242), (165, 175, 190), y0, sh2)),
        (rect(sh1 - 7.5, y0 + 4.5, sh1 - 4.5, sh2 - 3), (40, 60, 110, 255)),
        # the label
        (rect(l0, l2, l1, y1), OUTLINE),
        (rect(l0 + 1.5, l2 + 1.5, l1 - 1.5, y1 - 1.5), WHITE),
    ] + [(rect(l0 + 4.5, yy, l1 - 4.5, yy + 3), (150, 165, 190, 255)) for yy in (l2 + 4.5, l2 + 10.5)]


# New: a blank page with a yellow star at its top left corner
new_page = document(10.5, 4.5, 42, 46.5, 10.5) + [
    (burst(12, 12, 11.75, 8.5, 5.6), (190, 100, 20, 255)),
    (burst(12, 12, 9.65, 6.6, 4.0), vgrad((255, 230, 90), (245, 150, 30), 0, 22)),
]

# Open: an open manila folder, its darker back with the tab, a page peeking out
open_folder = [
    (poly([(3, 9), (16.5, 9), (19.5, 13.5), (40.5, 13.5), (40.5, 42), (3, 42)]), OUTLINE),
    (poly([(4.5, 10.5), (15.7, 10.5), (18.7, 15), (39, 15), (39, 40.5), (4.5, 40.5)]),
     vgrad((225, 175, 70), (195, 140, 40), 10, 42)),
] + document(10.5, 4.5, 37.5, 31.5, 7.5) + [
    (rect(15, 12, 28.5, 15), (150, 165, 190, 255)),
    (poly([(10, 19.5), (47, 19.5), (40.5, 43.5), (1.5, 43.5)]), OUTLINE),
    (poly([(11.1, 21), (45, 21), (39.4, 42), (3.6, 42)]), vgrad((255, 225, 120), (240, 180, 60), 21, 42)),
]

# Create shortcut: a menu card behind the shortcut arrow box
link_arrow = [(10.5, 41.25), (10.5, 35), (14.5, 30.75), (19, 30.75)]
create_link = [
    (rect(16.5, 3, 45, 40.5), OUTLINE),
    (rect(18, 4.5, 43.5, 39), WHITE),
    (rect(18, 4.5, 43.5, 12), vgrad((70, 130, 220), (30, 80, 170), 4.5, 12)),
] + [(rect(31.5, y, 39, y + 3), (90, 110, 140, 255)) for y in (16.5, 22.5, 28.5)] + [
    (rect(1.5, 21, 30, 46.5), OUTLINE),
    (rect(3, 22.5, 28.5, 45), WHITE),
    (stroke(link_arrow, 5.25), (30, 100, 200, 255)),
    (poly([(18, 23.25), (26, 30.75), (18, 38.25)]), (30, 100, 200, 255)),
]

# Save: the floppy disk; save as: the same disk, smaller, with a pencil
save = floppy(4.5, 4.5, 43.5, 43.5)
save_as = floppy(1.5, 1.5, 40.5, 40.5) + pencil((24.5, 46.5), (43, 27), 6.0, 8.0)

for name, shapes in (('New.ico', new_page), ('Open.ico', open_folder), ('Link.ico', create_link),
                     ('Save.ico', save), ('SaveAs.ico', save_as)):
    write_ico(name, shapes, sizes=(64, 48, 40, 32))


# ---- The command-line dialog's search button: a magnifier. The button is
# small, so the icon shows at 16 px on a 96 DPI screen, where a pixel is 3
# units: the ring's edges lie on multiples of 3 units, and ring and handle are
# 6 units or more thick.
def arc(cx, cy, r, a0, a1):
    return [(cx + r * math.cos(math.radians(a)), cy + r * math.sin(math.radians(a))) for a in range(a0, a1 + 1, 5)]


search = [
    # the handle, under the ring, with a lighter stripe along its upper edge
    (stroke([(30, 30), (41, 41)], 10.5), OUTLINE),
    (stroke([(31.5, 29.5), (41.5, 39.5)], 3), (110, 120, 140, 255)),
    # the dark ring and the light blue glass
    (circle(19.5, 19.5, 16.5), OUTLINE),
    (circle(19.5, 19.5, 10.5), vgrad((215, 238, 255), (130, 185, 235), 9, 30)),
    # a white highlight in the glass's upper left
    (stroke(arc(19.5, 19.5, 6.5, 190, 260), 3), WHITE),
]
write_ico('Search.ico', search, sizes=(32, 24, 20, 16))


# ---- LOGO: the product name in block letters, 142 x 63, white background
def letters():
    h0, h1 = 10, 44  # letter top and baseline
    shapes = []
    col = vgrad((50, 110, 210), (20, 50, 130), h0, h1)
    w = 5.5
    x = 8
    # T
    shapes += [(stroke([(x, h0), (x + 22, h0)], w), col), (stroke([(x + 11, h0), (x + 11, h1)], w), col)]
    x += 27
    # A
    shapes += [(stroke([(x, h1), (x + 11, h0), (x + 22, h1)], w), col), (stroke([(x + 5, h1 - 10), (x + 17, h1 - 10)], w), col)]
    x += 27
    # R
    bowl = [(x + 10 + 8 * math.cos(math.radians(a)), h0 + 8.5 + 8.5 * math.sin(math.radians(a))) for a in range(-90, 91, 10)]
    shapes += [(stroke([(x, h1), (x, h0), (x + 10, h0)], w), col), (stroke(bowl, w), col),
               (stroke([(x + 10, h0 + 17), (x, h0 + 17)], w), col), (stroke([(x + 9, h0 + 17), (x + 19, h1)], w), col)]
    x += 25
    # V
    shapes += [(stroke([(x, h0), (x + 11, h1), (x + 22, h0)], w), col)]
    x += 27
    # O
    ring = [(x + 12 + 11 * math.cos(math.radians(a)), (h0 + h1) / 2 + 16 * math.sin(math.radians(a))) for a in range(0, 361, 10)]
    shapes += [(stroke(ring, w), col)]
    # an orange swoosh under the name
    swoosh = [(8 + t, 53 - 4 * math.sin(math.pi * t / 126)) for t in range(0, 127, 3)]
    shapes += [(stroke(swoosh, 3.5), (245, 150, 30, 255))]
    return shapes


def write_bmp(name, width, height, shapes, scale=1.0):
    rows = render(width, height, shapes, scale)
    stride = (width * 3 + 3) & ~3
    data = b''
    for row in reversed(rows):
        line = b''
        for (r, g, b, a) in row:
            # on white
            f = a / 255.0
            line += bytes((int(b * f + 255 * (1 - f)), int(g * f + 255 * (1 - f)), int(r * f + 255 * (1 - f))))
        data += line + b'\0' * (stride - width * 3)
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(os.path.join(ROOT, name), 'wb') as f:
        f.write(header + info + data)


write_bmp('Logo.bmp', 142, 63, letters())
# The same logo drawn at twice the size, for dense screens.
write_bmp('Logo2x.bmp', 284, 126, letters(), 2.0)


# ---- The start page's ring: a small popup menu with its pointer, 32 x 19,
# on white, which the animation draws as transparent. Nothing in it is pure
# white.
sprite = [
    (rounded(1, 1, 25, 18, 3), vgrad((40, 110, 195), (20, 70, 140), 1, 18)),
    (rect(4.5, 4, 21.5, 6), (235, 240, 250, 255)),
    (rect(4.5, 8.5, 21.5, 10.5), (235, 240, 250, 255)),
    (rect(4.5, 13, 21.5, 15), (235, 240, 250, 255)),
    (lambda x, y: in_poly(x, y, [(22, 8), (31, 14.5), (26.5, 15), (29, 18.5), (27, 19), (24.5, 15.5), (22, 18)]),
     (255, 160, 32, 255)),
]
write_bmp('Sprite.bmp', 32, 19, sprite)

