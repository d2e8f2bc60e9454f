#!/usr/bin/python3
"""Draws the installer's artwork: the product logo VX_BMP (212 x 112), the company logo HARROWBY
(151 x 118), both 256-colour bitmaps, and the icon APP_MAIN (32 x 32 and 16 x 16, 256 colours).

Run from anywhere with Debian's python3 and python3-pil:
    /usr/bin/python3 tools/artwork/make_artwork.py
It rewrites src/resources/vx_bmp.bmp, harrowby.bmp and app_main.ico; the outputs are committed,
so the build itself needs neither Python nor Pillow. Fonts: DejaVu (fonts-dejavu-core).
"""
import os
import struct

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.normpath(os.path.join(HERE, "..", "..", "src", "resources"))
FONTS = "/usr/share/fonts/truetype/dejavu"


def font(name, size):
    return ImageFont.truetype(os.path.join(FONTS, name), size)


def vertical_gradient(size, top, bottom):
    width, height = size
    image = Image.new("RGB", size)
    draw = ImageDraw.Draw(image)
    for y in range(height):
        t = y / max(1, height - 1)
        colour = tuple(int(a + (b - a) * t) for a, b in zip(top, bottom))
        draw.line([(0, y), (width, y)], fill=colour)
    return image


def bevel(draw, box, light, dark, depth=2):
    x0, y0, x1, y1 = box
    for i in range(depth):
        draw.line([(x0 + i, y1 - i), (x0 + i, y0 + i), (x1 - i, y0 + i)], fill=light)
        draw.line([(x0 + i, y1 - i), (x1 - i, y1 - i), (x1 - i, y0 + i)], fill=dark)


def globe(draw, centre, radius):
    cx, cy = centre
    draw.ellipse([cx - radius, cy - radius, cx + radius, cy + radius], fill=(24, 92, 176), outline=(8, 32, 80))
    # Meridians and parallels of a wire globe.
    for k in (0.35, 0.7):
        draw.ellipse([cx - radius * k, cy - radius, cx + radius * k, cy + radius], outline=(150, 200, 255))
    for dy in (-0.5, 0.0, 0.5):
        half = radius * (1 - dy * dy) ** 0.5
        y = cy + dy * radius
        draw.line([(cx - half, y), (cx + half, y)], fill=(150, 200, 255))
    draw.ellipse([cx - radius * 0.55, cy - radius * 0.75, cx - radius * 0.05, cy - radius * 0.25], fill=(70, 170, 90))
    draw.ellipse([cx + radius * 0.1, cy + radius * 0.05, cx + radius * 0.65, cy + radius * 0.6], fill=(70, 170, 90))


def arrow(draw, start, end, colour, width=5):
    (x0, y0), (x1, y1) = start, end
    draw.line([start, end], fill=colour, width=width)
    direction = 1 if x1 > x0 else -1
    head = [(x1 + direction * 6, y1), (x1 - direction * 4, y1 - 7), (x1 - direction * 4, y1 + 7)]
    draw.polygon(head, fill=colour)


def to_256_colours(image):
    return image.convert("P", palette=Image.ADAPTIVE, colors=256, dither=Image.FLOYDSTEINBERG)


def product_logo():
    image = vertical_gradient((212, 112), (0, 40, 104), (96, 168, 232))
    draw = ImageDraw.Draw(image)
    bevel(draw, (0, 0, 211, 111), (200, 224, 255), (0, 16, 56), depth=3)
    globe(draw, (44, 56), 30)
    arrow(draw, (10, 30), (70, 30), (255, 208, 48))
    arrow(draw, (78, 82), (18, 82), (255, 120, 40))
    title = font("DejaVuSans-Bold.ttf", 30)
    draw.text((86, 18), "VANTIX", font=title, fill=(0, 0, 40))
    draw.text((84, 16), "VANTIX", font=title, fill=(255, 255, 255))
    draw.text((150, 52), "Pro", font=font("DejaVuSerif-BoldItalic.ttf", 22), fill=(255, 216, 64))
    small = font("DejaVuSans.ttf", 9)
    draw.text((86, 82), "FTP for Windows 95 & NT", font=small, fill=(230, 240, 255))
    draw.text((86, 94), "32-bit edition", font=small, fill=(200, 220, 250))
    return to_256_colours(image)


def company_logo():
    image = vertical_gradient((151, 118), (236, 232, 220), (196, 188, 168))
    draw = ImageDraw.Draw(image)
    bevel(draw, (0, 0, 150, 117), (255, 255, 255), (112, 104, 88), depth=2)
    # The emblem: a field drawn by a harrow, furrows converging on the horizon.
    draw.rectangle([14, 12, 136, 62], fill=(120, 84, 40))
    for i in range(9):
        x = 14 + i * 15
        draw.line([(x, 62), (75, 14)], fill=(196, 160, 96), width=2)
    draw.ellipse([60, 4, 90, 30], fill=(248, 196, 48), outline=(160, 96, 16))
    draw.rectangle([14, 12, 136, 62], outline=(64, 40, 16))
    name = font("DejaVuSerif-Bold.ttf", 22)
    draw.text((17, 70), "Harrowby", font=name, fill=(255, 255, 255))
    draw.text((16, 69), "Harrowby", font=name, fill=(96, 24, 24))
    draw.text((38, 98), "S O F T W A R E", font=font("DejaVuSans.ttf", 9), fill=(64, 56, 48))
    return to_256_colours(image)


def icon_image(size):
    scale = size / 32
    image = Image.new("RGB", (size, size), (0, 128, 128))
    draw = ImageDraw.Draw(image)
    globe(draw, (16 * scale, 16 * scale), 13 * scale)
    arrow(draw, (2 * scale, 7 * scale), (22 * scale, 7 * scale), (255, 208, 48), width=max(1, int(3 * scale)))
    mask = Image.new("L", (size, size), 0)
    ImageDraw.Draw(mask).ellipse([2 * scale, 2 * scale, 30 * scale, 30 * scale], fill=255)
    mask_draw = ImageDraw.Draw(mask)
    mask_draw.line([(2 * scale, 7 * scale), (28 * scale, 7 * scale)], fill=255, width=max(1, int(5 * scale)))
    return to_256_colours(image), mask


def icon_entry_bitmap(image, mask):
    """One icon image as the icon format stores it: a bottom-up 8-bit DIB (height doubled for the
    AND mask), its 256-entry palette, the colour bits, then the 1-bit transparency mask."""
    size = image.width
    palette = image.getpalette()[: 256 * 3]
    palette += [0] * (256 * 3 - len(palette))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    colours = b"".join(struct.pack("BBBB", palette[i * 3 + 2], palette[i * 3 + 1], palette[i * 3], 0) for i in range(256))
    pixels = image.load()
    rows = []
    for y in reversed(range(size)):
        row = bytes(pixels[x, y] for x in range(size))
        rows.append(row + b"\0" * ((4 - len(row) % 4) % 4))
    mask_pixels = mask.load()
    mask_rows = []
    for y in reversed(range(size)):
        bits = 0
        row = bytearray()
        for x in range(size):
            bits = (bits << 1) | (0 if mask_pixels[x, y] >= 128 else 1)
            if x % 8 == 7:
                row.append(bits)
                bits = 0
        row += b"\0" * ((4 - len(row) % 4) % 4)
        mask_rows.append(bytes(row))
    return header + colours + b"".join(rows) + b"".join(mask_rows)


def write_icon(path, sizes):
    images = [icon_entry_bitmap(*icon_image(size)) for size in sizes]
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for size, data in zip(sizes, images):
        directory += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    with open(path, "wb") as out:
        out.write(directory + b"".join(images))


def main():
    product_logo().save(os.path.join(OUT, "vx_bmp.bmp"))
    company_logo().save(os.path.join(OUT, "harrowby.bmp"))
    write_icon(os.path.join(OUT, "app_main.ico"), [32, 16])


if __name__ == "__main__":
    main()
