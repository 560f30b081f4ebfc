#!/usr/bin/python3
"""Draws the window's button images (36 x 36, a normal and a greyed disabled state) and the
program icon. Run it again after changing a drawing; the PNG files are committed."""
from PIL import Image, ImageDraw, ImageFont, ImageEnhance

S = 4  # drawn at four times the size, then scaled down for smooth edges
SIZE = 36
FONT = "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf"


def canvas(size=SIZE):
    img = Image.new("RGBA", (size * S, size * S), (0, 0, 0, 0))
    return img, ImageDraw.Draw(img)


def box(*v):
    return [c * S for c in v]


def text(d, xy, s, px, fill):
    f = ImageFont.truetype(FONT, px * S)
    d.text((xy[0] * S, xy[1] * S), s, font=f, fill=fill, anchor="mm")


def help_icon():
    img, d = canvas()
    d.ellipse(box(3, 3, 33, 33), fill=(30, 100, 210), outline=(10, 50, 130), width=2 * S)
    text(d, (18, 18.5), "?", 24, (255, 255, 255))
    return img


def excel_icon():
    img, d = canvas()
    d.rectangle(box(9, 4, 33, 32), fill=(255, 255, 255), outline=(30, 110, 60), width=S)
    for y in range(11, 32, 7):
        d.line(box(9, y, 33, y), fill=(120, 170, 130), width=S)
    d.line(box(21, 4, 21, 32), fill=(120, 170, 130), width=S)
    d.rectangle(box(3, 10, 20, 27), fill=(30, 120, 60))
    text(d, (11.5, 18.5), "X", 14, (255, 255, 255))
    return img


def web_icon():
    img, d = canvas()
    d.ellipse(box(4, 4, 32, 32), fill=(60, 150, 230), outline=(20, 70, 150), width=2 * S)
    d.ellipse(box(12, 4, 24, 32), outline=(230, 245, 255), width=S)
    d.line(box(18, 4, 18, 32), fill=(230, 245, 255), width=S)
    d.line(box(4, 18, 32, 18), fill=(230, 245, 255), width=S)
    d.arc(box(4, -6, 32, 14), 40, 140, fill=(230, 245, 255), width=S)
    d.arc(box(4, 22, 32, 42), 220, 320, fill=(230, 245, 255), width=S)
    return img


def new_icon():
    img, d = canvas()
    d.polygon(box(7, 3, 23, 3, 30, 10, 30, 33, 7, 33), fill=(255, 255, 255),
              outline=(90, 90, 90))
    d.line(box(7, 3, 23, 3, 30, 10, 30, 33, 7, 33, 7, 3), fill=(90, 90, 90), width=S)
    d.polygon(box(23, 3, 23, 10, 30, 10), fill=(200, 200, 200), outline=(90, 90, 90))
    d.ellipse(box(14, 16, 34, 36), fill=(40, 160, 60))
    d.rectangle(box(22.5, 19, 25.5, 33), fill=(255, 255, 255))
    d.rectangle(box(17, 24.5, 31, 27.5), fill=(255, 255, 255))
    return img


def open_icon():
    img, d = canvas()
    d.polygon(box(2, 9, 13, 9, 16, 12, 31, 12, 31, 31, 2, 31), fill=(210, 160, 40),
              outline=(120, 85, 10))
    d.rectangle(box(8, 5, 28, 26), fill=(255, 255, 255), outline=(90, 90, 90), width=S)
    for y in (10, 14, 18, 22):
        d.line(box(11, y, 15, y), fill=(200, 30, 30), width=2 * S)
        d.line(box(17, y, 25, y), fill=(60, 60, 60), width=S)
    d.polygon(box(2, 31, 7, 17, 35, 17, 31, 31), fill=(245, 195, 60), outline=(120, 85, 10))
    return img


def flag_icon():
    img, d = canvas(64)
    d.line(box(10, 6, 10, 60), fill=(60, 60, 60), width=4 * S)
    cell = 8
    for row in range(4):
        for col in range(6):
            x, y = 12 + col * cell, 8 + row * cell
            colour = (20, 20, 20) if (row + col) % 2 == 0 else (255, 255, 255)
            d.rectangle(box(x, y, x + cell, y + cell), fill=colour)
    d.rectangle(box(12, 8, 60, 40), outline=(60, 60, 60), width=S)
    return img


def finish(img, size):
    return img.resize((size, size), Image.LANCZOS)


def disabled(img):
    grey = ImageEnhance.Color(img).enhance(0.0)
    grey = ImageEnhance.Brightness(grey).enhance(1.35)
    r, g, b, a = grey.split()
    a = a.point(lambda v: v * 55 // 100)
    return Image.merge("RGBA", (r, g, b, a))


for name, draw in [("help", help_icon), ("excel", excel_icon), ("web", web_icon),
                   ("new", new_icon), ("startlist", open_icon)]:
    img = finish(draw(), SIZE)
    img.save(f"{name}.png")
    disabled(img).save(f"{name}_disabled.png")
finish(flag_icon(), 64).save("talvenbahn.png")
