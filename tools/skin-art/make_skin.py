#!/usr/bin/python3
"""Draws the installer's skin: the PNG images 150 to 164, background bitmap
149 and icon group 128, into one folder (res/skin/ in the source tree).

usage: /usr/bin/python3 make_skin.py OUTPUT_FOLDER

Needs Debian's Python imaging package (python3-pil) and the CJK font
fonts-wqy-microhei. The same inputs give the same bytes. Shapes are drawn at
four times their size and reduced, so their edges are smooth; text is drawn
at its final size by FreeType, which keeps it crisp.
"""

import os
import struct
import sys
import zlib

from PIL import Image, ImageDraw, ImageFont

FONT_FILE = '/usr/share/fonts/truetype/wqy/wqy-microhei.ttc'
SUPERSAMPLE = 4

# The product's blue (the licence link's colour) and the shades drawn from it.
BLUE = (93, 182, 234)
BLUE_LIGHT = (118, 196, 241)
BLUE_DARK = (62, 152, 212)
BLUE_EDGE = (52, 136, 196)
GREY_LIGHT = (206, 211, 216)
GREY = (186, 192, 198)
GREY_EDGE = (168, 174, 181)
TRACK_TOP = (214, 224, 232)
TRACK = (229, 236, 242)
TOGGLE_BORDER = (168, 179, 189)
WHITE = (255, 255, 255)
WINDOW_GREY = (247, 247, 247)
SEPARATOR = (229, 232, 235)


def font(size):
    return ImageFont.truetype(FONT_FILE, size)


def vertical_gradient(width, height, top, bottom):
    """An opaque RGBA image going from colour top to colour bottom."""
    image = Image.new('RGBA', (width, height))
    draw = ImageDraw.Draw(image)
    for y in range(height):
        t = y / max(height - 1, 1)
        colour = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
        draw.line([(0, y), (width - 1, y)], fill=colour + (255,))
    return image


def coverage(width, height, paint):
    """An 8-bit coverage mask: paint(draw, scale) draws white shapes on a
    canvas SUPERSAMPLE times larger, which is then averaged down."""
    big = Image.new('L', (width * SUPERSAMPLE, height * SUPERSAMPLE), 0)
    paint(ImageDraw.Draw(big), SUPERSAMPLE)
    return big.resize((width, height), Image.BOX)


def rounded_box(box, radius):
    def paint(draw, s):
        left, top, right, bottom = box
        draw.rounded_rectangle([left * s, top * s, right * s - 1, bottom * s - 1], radius=radius * s, fill=255)
    return paint


def with_mask(image, mask):
    """image with its alpha multiplied by the mask."""
    alpha = Image.composite(image.getchannel('A'), Image.new('L', image.size, 0), mask)
    result = image.copy()
    result.putalpha(alpha)
    return result


def over(base, layer):
    return Image.alpha_composite(base, layer)


def centred_text(image, text, size, colour, shadow=None, offset_y=0):
    """Text centred on its ink box, with an optional one-pixel drop shadow."""
    face = font(size)
    draw = ImageDraw.Draw(image)
    left, top, right, bottom = draw.textbbox((0, 0), text, font=face)
    x = (image.width - (right - left)) / 2 - left
    y = (image.height - (bottom - top)) / 2 - top + offset_y
    layer = Image.new('RGBA', image.size, (0, 0, 0, 0))
    layer_draw = ImageDraw.Draw(layer)
    if shadow is not None:
        layer_draw.text((round(x), round(y) + 1), text, font=face, fill=shadow)
    layer_draw.text((round(x), round(y)), text, font=face, fill=colour + (255,))
    return over(image, layer)


def skin_button(width, height, radius, top, bottom, edge, label, size, shadow):
    """A rounded button: a gradient body, a lighter first row, a darker last
    row and a centred white label."""
    body = vertical_gradient(width, height, top, bottom)
    draw = ImageDraw.Draw(body)
    draw.line([(0, height - 1), (width - 1, height - 1)], fill=edge + (255,))
    highlight = tuple(min(255, c + 22) for c in top)
    draw.line([(0, 0), (width - 1, 0)], fill=highlight + (255,))
    body = with_mask(body, coverage(width, height, rounded_box((0, 0, width, height), radius)))
    return centred_text(body, label, size, WHITE, shadow=shadow)


def install_button(enabled):
    if enabled:
        return skin_button(168, 30, 4, BLUE_LIGHT, BLUE_DARK, BLUE_EDGE, '立即安装', 16, (30, 100, 150, 90))
    return skin_button(168, 30, 4, GREY_LIGHT, GREY, GREY_EDGE, '立即安装', 16, (120, 126, 132, 80))


def close_button():
    return skin_button(75, 25, 3, BLUE_LIGHT, BLUE_DARK, BLUE_EDGE, '关闭', 14, (30, 100, 150, 90))


def toggle(ticked):
    """The agreement toggle: a rounded square, blue with a white tick when
    agreed, white with a grey border when not."""
    size = 17
    outer = coverage(size, size, rounded_box((1, 1, 16, 16), 3))
    if ticked:
        image = with_mask(vertical_gradient(size, size, BLUE_LIGHT, BLUE_DARK), outer)

        def tick(draw, s):
            points = [(4.4 * s, 8.6 * s), (7.2 * s, 11.4 * s), (12.6 * s, 5.6 * s)]
            draw.line(points, fill=255, width=round(1.9 * s), joint='curve')
        mark = coverage(size, size, tick)
        white = Image.new('RGBA', (size, size), WHITE + (255,))
        return over(image, with_mask(white, mark))
    image = with_mask(Image.new('RGBA', (size, size), TOGGLE_BORDER + (255,)), outer)
    inner = coverage(size, size, rounded_box((2, 2, 15, 15), 2))
    return over(image, with_mask(Image.new('RGBA', (size, size), WHITE + (255,)), inner))


def cross(size, width, colour, shadow_alpha=0):
    """A diagonal cross; with shadow_alpha, a faint dark copy one pixel lower
    keeps it visible over light parts of what lies beneath."""
    def lines(dx, dy):
        def paint(draw, s):
            a, b = 1.6, size - 1.6
            draw.line([((a + dx) * s, (a + dy) * s), ((b + dx) * s, (b + dy) * s)], fill=255, width=round(width * s))
            draw.line([((b + dx) * s, (a + dy) * s), ((a + dx) * s, (b + dy) * s)], fill=255, width=round(width * s))
        return paint
    image = Image.new('RGBA', (size, size), (0, 0, 0, 0))
    if shadow_alpha:
        image = over(image, with_mask(Image.new('RGBA', (size, size), (0, 40, 80, shadow_alpha)),
                                      coverage(size, size, lines(0, 0.8))))
    return over(image, with_mask(Image.new('RGBA', (size, size), colour + (255,)), coverage(size, size, lines(0, 0))))


def minimise_mark(size=10, shadow_alpha=60):
    def bar(dy):
        def paint(draw, s):
            draw.rectangle([1 * s, (4.3 + dy) * s, (size - 1) * s - 1, (5.9 + dy) * s - 1], fill=255)
        return paint
    image = Image.new('RGBA', (size, size), (0, 0, 0, 0))
    image = over(image, with_mask(Image.new('RGBA', (size, size), (0, 40, 80, shadow_alpha)),
                                  coverage(size, size, bar(0.8))))
    return over(image, with_mask(Image.new('RGBA', (size, size), WHITE + (255,)), coverage(size, size, bar(0))))


def product_mark(size, back_top, back_bottom, glyph):
    """The product's mark: a rounded square with a geometric T. Used by the
    logo (white square, blue T) and the icon (blue square, white T)."""
    square = coverage(size, size, rounded_box((0, 0, size, size), size * 0.22))
    image = with_mask(vertical_gradient(size, size, back_top, back_bottom), square)

    def letter(draw, s):
        u = size / 16.0
        draw.rectangle([3.4 * u * s, 3.6 * u * s, 12.6 * u * s - 1, 6.0 * u * s - 1], fill=255)
        draw.rectangle([6.8 * u * s, 3.6 * u * s, 9.2 * u * s - 1, 12.6 * u * s - 1], fill=255)
    return over(image, with_mask(Image.new('RGBA', (size, size), glyph + (255,)), coverage(size, size, letter)))


def logo():
    """74 x 20: the mark and the product's name in white, with a soft shadow
    so it reads over the banner."""
    width, height = 74, 20
    image = Image.new('RGBA', (width, height), (0, 0, 0, 0))
    mark = product_mark(17, WHITE, (232, 244, 252), BLUE_DARK)
    image.alpha_composite(mark, (1, 1))

    name = 'Tarnivo'
    s = SUPERSAMPLE
    face = font(14 * s)
    big = Image.new('L', (width * s, height * s), 0)
    draw = ImageDraw.Draw(big)
    left, top, right, bottom = draw.textbbox((0, 0), name, font=face, stroke_width=s // 2)
    x = 22 * s - left
    y = (height * s - (bottom - top)) / 2 - top
    draw.text((x, y), name, font=face, fill=255, stroke_width=s // 2, stroke_fill=255)
    text_mask = big.resize((width, height), Image.BOX)
    shadow_mask = Image.new('L', (width, height), 0)
    shadow_mask.paste(text_mask, (0, 1))
    image = over(image, with_mask(Image.new('RGBA', (width, height), (0, 40, 80, 70)), shadow_mask))
    return over(image, with_mask(Image.new('RGBA', (width, height), WHITE + (255,)), text_mask))


def folder_face():
    """16 x 16: a blue folder for the folder box's browse button."""
    size = 16
    back = coverage(size, size, lambda d, s: (
        d.rounded_rectangle([1 * s, 2.5 * s, 7.5 * s, 6 * s], radius=1 * s, fill=255),
        d.rounded_rectangle([1 * s, 4 * s, 15 * s - 1, 13.5 * s - 1], radius=1.2 * s, fill=255)))
    image = with_mask(Image.new('RGBA', (size, size), BLUE_DARK + (255,)), back)
    front = coverage(size, size, lambda d, s: d.rounded_rectangle(
        [1 * s, 6 * s, 15 * s - 1, 13.5 * s - 1], radius=1.2 * s, fill=255))
    return over(image, with_mask(vertical_gradient(size, size, BLUE_LIGHT, BLUE), front))


def progress_track():
    """420 x 8, opaque: the bar is drawn over, never erased, so a track with
    partial alpha would darken with every repaint."""
    image = vertical_gradient(420, 8, TRACK_TOP, TRACK)
    ImageDraw.Draw(image).line([(0, 0), (419, 0)], fill=TRACK_TOP + (255,))
    return image


def progress_fill():
    """420 x 8, opaque for the same reason: the product's blue with a light
    upper half, as a lit tube."""
    image = vertical_gradient(420, 8, (140, 208, 245), BLUE_DARK)
    draw = ImageDraw.Draw(image)
    draw.line([(0, 0), (419, 0)], fill=(160, 217, 248, 255))
    draw.line([(0, 7), (419, 7)], fill=BLUE_EDGE + (255,))
    return image


def licence_title():
    """438 x 36 without alpha: the licence dialog's title on the product's blue."""
    image = vertical_gradient(438, 36, BLUE_LIGHT, BLUE).convert('RGB')
    face = font(15)
    draw = ImageDraw.Draw(image)
    text = '《Ostrevan》软件许可协议'
    left, top, right, bottom = draw.textbbox((0, 0), text, font=face)
    y = (36 - (bottom - top)) / 2 - top
    draw.text((14, round(y) + 1), text, font=face, fill=(58, 140, 196))
    draw.text((14, round(y)), text, font=face, fill=WHITE)
    return image


def licence_bottom():
    """438 x 35 without alpha: white, with a light line where the text ends."""
    image = Image.new('RGB', (438, 35), WHITE)
    ImageDraw.Draw(image).line([(0, 0), (437, 0)], fill=SEPARATOR)
    return image


def write_png(image, path, alpha):
    mode = 'RGBA' if alpha else 'RGB'
    image.convert(mode).save(path, format='PNG', optimize=True)


def background_bmp(path, width=479, height=383):
    """32 bits per pixel, bottom-up, the window's light grey; the corner
    pixel and its two neighbours a shade darker suggest a rounded corner."""
    pixels = [[WINDOW_GREY] * width for _ in range(height)]
    for cx, cy, dx, dy in ((0, 0, 1, 1), (width - 1, 0, -1, 1), (0, height - 1, 1, -1),
                           (width - 1, height - 1, -1, -1)):
        pixels[cy][cx] = (226, 226, 226)
        pixels[cy][cx + dx] = (238, 238, 238)
        pixels[cy + dy][cx] = (238, 238, 238)
    rows = bytearray()
    for row in reversed(pixels):
        for r, g, b in row:
            rows += bytes((b, g, r, 255))
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 32, 0, len(rows), 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    with open(path, 'wb') as f:
        f.write(header + info + rows)


def icon_image(size):
    return product_mark(size, BLUE_LIGHT, BLUE_EDGE, WHITE)


def dib_icon_entry(image):
    """A classic icon image: BITMAPINFOHEADER with double height, 32-bit BGRA
    rows bottom-up, then the 1-bit AND mask (all zero: alpha decides)."""
    width, height = image.size
    rows = bytearray()
    for y in reversed(range(height)):
        for x in range(width):
            r, g, b, a = image.getpixel((x, y))
            rows += bytes((b, g, r, a))
    mask_stride = ((width + 31) // 32) * 4
    mask = bytes(mask_stride * height)
    header = struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, 32, 0, len(rows) + len(mask), 0, 0, 0, 0)
    return header + bytes(rows) + mask


def png_bytes(image):
    """PNG bytes for the 256-pixel icon image, written here so that the
    icon does not depend on the imaging package's encoder settings."""
    width, height = image.size
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for x in range(width):
            raw += bytes(image.getpixel((x, y)))

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


def write_icon(path, sizes=(16, 32, 48, 256)):
    entries = []
    for size in sizes:
        image = icon_image(size)
        entries.append((size, png_bytes(image) if size == 256 else dib_icon_entry(image)))
    offset = 6 + 16 * len(entries)
    directory = struct.pack('<HHH', 0, 1, len(entries))
    data = b''
    for size, body in entries:
        stored = 0 if size == 256 else size  # 0 means 256 in a directory entry
        directory += struct.pack('<BBBBHHII', stored, stored, 0, 0, 1, 32, len(body), offset + len(data))
        data += body
    with open(path, 'wb') as f:
        f.write(directory + data)


# id, file name, image, alpha channel
PNG_IMAGES = [
    (150, 'progress-track', progress_track, True),
    (151, 'progress-fill', progress_fill, True),
    (153, 'agree-ticked', lambda: toggle(True), True),
    (154, 'install-enabled', lambda: install_button(True), True),
    (155, 'install-disabled', lambda: install_button(False), True),
    (156, 'licence-bottom', licence_bottom, False),
    (157, 'licence-close-mark', lambda: cross(10, 1.5, WHITE), True),
    (158, 'licence-close-button', close_button, True),
    (159, 'licence-title', licence_title, False),
    (160, 'browse-folder', folder_face, True),
    (161, 'agree-empty', lambda: toggle(False), True),
    (162, 'close', lambda: cross(10, 1.5, WHITE, shadow_alpha=60), True),
    (163, 'logo', logo, True),
    (164, 'minimise', minimise_mark, True),
]


def main():
    if len(sys.argv) != 2:
        sys.exit('usage: make_skin.py OUTPUT_FOLDER')
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for resource_id, name, draw, alpha in PNG_IMAGES:
        write_png(draw(), os.path.join(out, f'{resource_id}-{name}.png'), alpha)
    background_bmp(os.path.join(out, '149-background.bmp'))
    write_icon(os.path.join(out, '128-tninstaller.ico'))


if __name__ == '__main__':
    main()
