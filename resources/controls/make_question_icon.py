#!/usr/bin/python3
"""Draws the yes/no dialog's icon, a light-blue speech bubble holding a dark-blue question mark on
black (the transparent colour), and writes it as an XPM image (32 x 32) to standard output."""

SIZE = 32
BLACK, LIGHT, DARK = ".", "o", "#"

QUESTION_MARK = [
    "..####..",
    ".######.",
    "##....##",
    "##....##",
    "......##",
    ".....##.",
    "....##..",
    "...##...",
    "...##...",
    "........",
    "...##...",
    "...##...",
]


def inside_bubble(x, y):
    cx, cy, rx, ry = 15.5, 12.5, 14.0, 10.5
    if ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0:
        return True
    # The tail: a triangle from the lower left of the bubble down to (5, 29).
    if 20 <= y <= 29:
        left = 5 + (29 - y) * 0.3
        right = 5 + (29 - y) * 1.0
        return left <= x <= right
    return False


def main():
    pixels = [[BLACK] * SIZE for _ in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            if inside_bubble(x, y):
                edge = any(not inside_bubble(x + dx, y + dy)
                           for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                pixels[y][x] = DARK if edge else LIGHT
    top, left = 7, 12
    for row, line in enumerate(QUESTION_MARK):
        for col, ch in enumerate(line):
            if ch == "#":
                pixels[top + row][left + col] = DARK
    print("/* XPM */")
    print("static const char *const question_icon[] = {")
    print(f'"{SIZE} {SIZE} 3 1",')
    print(f'"{BLACK} c #000000",')
    print(f'"{LIGHT} c #A8D8FF",')
    print(f'"{DARK} c #102C8C",')
    print(",\n".join(f'"{"".join(row)}"' for row in pixels))
    print("};")


if __name__ == "__main__":
    main()
