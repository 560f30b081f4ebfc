#!/usr/bin/python3
"""Draws the light button's stock glyphs as XPM strips of two 18 x 18 images side by side, the
normal image and its disabled (grey outline) twin, on a transparent background, and the 5 x 3
popup arrow (black on white, white being keyed out). Run in this folder to rewrite the files."""

import math

SIZE = 18
GREEN, DARK_GREEN = "#1E9E2E", "#0E5E18"
RED, DARK_RED = "#D82020", "#801010"
BLUE, DARK_BLUE = "#2060D0", "#103070"
GREY, WHITE = "#808080", "#FFFFFF"


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def stroke(points, width):
    def inside(px, py):
        return any(segment_distance(px, py, *points[i], *points[i + 1]) <= width / 2
                   for i in range(len(points) - 1))
    return inside


def disc(cx, cy, r):
    return lambda px, py: math.hypot(px - cx, py - cy) <= r


def ring(cx, cy, r, width):
    return lambda px, py: abs(math.hypot(px - cx, py - cy) - r) <= width / 2


def box(x0, y0, x1, y1):
    return lambda px, py: x0 <= px <= x1 and y0 <= py <= y1


def arc(cx, cy, r, width, start_deg, end_deg):
    def inside(px, py):
        angle = math.degrees(math.atan2(cy - py, px - cx)) % 360
        in_span = (start_deg <= angle <= end_deg) if start_deg <= end_deg else \
            (angle >= start_deg or angle <= end_deg)
        return in_span and abs(math.hypot(px - cx, py - cy) - r) <= width / 2
    return inside


def polygon(points):
    def inside(px, py):
        result = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > py) != (yj > py) and px < (xj - xi) * (py - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


TICK = [(3, 9.5), (7, 13.5), (15, 4.5)]

# Each glyph: layers drawn in order, each a shape and a colour.
GLYPHS = {
    "LBOK": [(stroke(TICK, 3.2), GREEN)],
    "LBCANCEL": [(stroke([(4, 4), (14, 14)], 3.2), RED), (stroke([(14, 4), (4, 14)], 3.2), RED)],
    "LBHELP": [(disc(9, 9, 8), BLUE), (arc(9, 7, 3, 2.0, 330, 200), WHITE),
               (stroke([(11.2, 8.8), (9, 10.5), (9, 11.2)], 2.0), WHITE), (disc(9, 14, 1.2), WHITE)],
    "LBYES": [(ring(9, 9, 7.5, 1.6), DARK_GREEN), (stroke([(5, 9), (8, 12), (13, 6)], 2.4), GREEN)],
    "LBNO": [(ring(9, 9, 6.5, 2.6), RED), (stroke([(4.5, 13.5), (13.5, 4.5)], 2.6), RED)],
    "LBCLOSE": [(box(3, 2, 12, 16), DARK_BLUE), (box(5, 4, 10, 14), "#F0E0A0"),
                (stroke([(9, 9), (16.5, 9)], 2.0), RED),
                (polygon([(13, 5.5), (17.5, 9), (13, 12.5)]), RED)],
    "LBABORT": [(polygon([(6, 1), (12, 1), (17, 6), (17, 12), (12, 17), (6, 17), (1, 12), (1, 6)]),
                 RED), (box(4, 8, 14, 10), WHITE)],
    "LBRETRY": [(arc(9, 9, 6, 2.4, 110, 20), BLUE),
                (polygon([(11.5, 5.5), (17.5, 5), (15.5, 10.5)]), BLUE)],
    "LBIGNORE": [(stroke([(3, 4), (8, 9), (3, 14)], 2.4), DARK_BLUE),
                 (stroke([(9, 4), (14, 9), (9, 14)], 2.4), DARK_BLUE)],
    "LBALL": [(stroke([(1, 9.5), (4.5, 13), (10, 5)], 2.6), GREEN),
              (stroke([(7, 9.5), (10.5, 13), (17, 3.5)], 2.6), DARK_GREEN)],
}


def render(layers):
    pixels = [[None] * SIZE for _ in range(SIZE)]
    for shape, colour in layers:
        for y in range(SIZE):
            for x in range(SIZE):
                if shape(x + 0.5, y + 0.5):
                    pixels[y][x] = colour
    return pixels


def disabled(normal):
    """The grey outline of the shape with a white highlight below right, like an etched image."""
    filled = [[c is not None for c in row] for row in normal]

    def edge(x, y):
        if not filled[y][x]:
            return False
        return any(not (0 <= x + dx < SIZE and 0 <= y + dy < SIZE) or not filled[y + dy][x + dx]
                   for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))

    pixels = [[None] * SIZE for _ in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            if edge(x, y) and x + 1 < SIZE and y + 1 < SIZE:
                pixels[y + 1][x + 1] = WHITE
    for y in range(SIZE):
        for x in range(SIZE):
            if edge(x, y):
                pixels[y][x] = GREY
    return pixels


def write_xpm(name, rows, transparent=True):
    colours = sorted({c for row in rows for c in row if c is not None})
    codes = {c: chr(ord("a") + i) for i, c in enumerate(colours)}
    lines = [f'"{len(rows[0])} {len(rows)} {len(colours) + (1 if transparent else 0)} 1"']
    if transparent:
        lines.append('". c None"')
    lines += [f'"{codes[c]} c {c}"' for c in colours]
    lines += ['"' + "".join("." if c is None else codes[c] for c in row) + '"' for row in rows]
    with open(f"{name}.xpm", "w") as out:
        out.write(f"/* XPM */\nstatic const char *const {name.lower()}[] = {{\n")
        out.write(",\n".join(lines) + "\n};\n")


def main():
    for name, layers in GLYPHS.items():
        normal = render(layers)
        grey = disabled(normal)
        write_xpm(name, [normal[y] + grey[y] for y in range(SIZE)])
    arrow = [[("#000000" if (y == 0) or (y == 1 and 1 <= x <= 3) or (y == 2 and x == 2)
               else WHITE) for x in range(5)] for y in range(3)]
    write_xpm("LBARROW", arrow, transparent=False)


if __name__ == "__main__":
    main()
