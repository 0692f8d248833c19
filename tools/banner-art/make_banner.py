#!/usr/bin/python3
"""Draws the installer's animated banner and writes it as res/banner.gif.

The frames are drawn with Pillow (Debian's python3-pil), but the GIF file is
written here, block by block, because the banner control and its tests rely
on an exact layout that no imaging library promises: a GIF89a with a
256-entry global colour table, two application extensions (a NETSCAPE2.0
loop count and the product's own), then four full-canvas frames, each with
a graphic control extension (3 s, disposal 1, transparency flag set on an
index no pixel uses) and no local colour table.

    /usr/bin/python3 tools/banner-art/make_banner.py [--output FILE] [--frames DIR]

--frames also writes each frame as a PNG, for looking at them. The output
is the same bytes on every run.
"""
import argparse
import os
import struct
import sys

from PIL import GifImagePlugin, Image, ImageDraw, ImageFilter, ImageFont

WIDTH, HEIGHT = 479, 236
DELAY_HUNDREDTHS = 300
DISPOSAL_LEAVE_IN_PLACE = 1
# Index 255 is kept out of the quantised picture, so the transparency flag
# every frame carries hides nothing.
TRANSPARENT_INDEX = 255
FONT_PATH = '/usr/share/fonts/truetype/wqy/wqy-microhei.ttc'

TAGLINES = [
    ('全新界面，焕然一新', 'A fresh new look'),
    ('启动更快，运行更稳', 'Faster start, steadier run'),
    ('数据安全，安心使用', 'Your work, kept safe'),
    ('自动更新，始终最新', 'Always up to date'),
]


def font(size):
    return ImageFont.truetype(FONT_PATH, size)


def gradient_background():
    """Deep product blue at the top left to sky blue at the bottom right."""
    top_left, bottom_right = (8, 52, 128), (52, 156, 232)
    image = Image.new('RGB', (WIDTH, HEIGHT))
    pixels = image.load()
    span = WIDTH + HEIGHT
    for y in range(HEIGHT):
        for x in range(WIDTH):
            t = (x + 1.4 * y) / span
            t = min(t, 1.0)
            pixels[x, y] = tuple(round(a + (b - a) * t) for a, b in zip(top_left, bottom_right))
    return image


def draw_frame(index):
    image = gradient_background()

    # Soft light rings that drift from frame to frame.
    glow = Image.new('L', (WIDTH, HEIGHT), 0)
    glow_draw = ImageDraw.Draw(glow)
    centre_x = 300 + 45 * index
    for radius, level in ((150, 40), (110, 55), (70, 70)):
        glow_draw.ellipse((centre_x - radius, 40 - radius, centre_x + radius, 40 + radius), fill=level)
    glow = glow.filter(ImageFilter.GaussianBlur(18))
    image = Image.composite(Image.new('RGB', image.size, (170, 220, 255)), image, glow)

    draw = ImageDraw.Draw(image)
    # A band of diagonal light strokes, moved along for each frame.
    for stroke in range(5):
        x = 250 + index * 40 + stroke * 26
        draw.line((x, HEIGHT, x + 90, 0), fill=(120, 190, 245), width=3)

    # The product's mark: a rounded square with a "T".
    draw.rounded_rectangle((34, 46, 94, 106), radius=14, fill=(255, 255, 255))
    draw.text((64, 76), 'T', font=font(44), fill=(16, 86, 178), anchor='mm')

    draw.text((110, 48), 'Tarnivo 2.0', font=font(40), fill=(255, 255, 255))
    draw.text((112, 96), 'Tarnivo 2.0 安装', font=font(18), fill=(208, 232, 255))

    chinese, english = TAGLINES[index]
    draw.text((34, 140), chinese, font=font(28), fill=(255, 255, 255))
    draw.text((36, 180), english, font=font(16), fill=(200, 228, 255))

    # Which of the four pictures this is.
    for dot in range(len(TAGLINES)):
        x = WIDTH - 110 + dot * 22
        colour = (255, 255, 255) if dot == index else (110, 170, 230)
        draw.ellipse((x, 204, x + 10, 214), fill=colour)
    return image


def shared_palette(frames):
    """One 255-colour palette for all frames (the global colour table)."""
    strip = Image.new('RGB', (WIDTH, HEIGHT * len(frames)))
    for number, frame in enumerate(frames):
        strip.paste(frame, (0, HEIGHT * number))
    quantised = strip.quantize(colors=255, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    palette = quantised.getpalette()[:255 * 3]
    palette += [0, 0, 0] * (256 - len(palette) // 3)
    pixels = list(quantised.getdata())
    assert TRANSPARENT_INDEX not in pixels
    size = WIDTH * HEIGHT
    return bytes(palette), [pixels[number * size:(number + 1) * size] for number in range(len(frames))]


class BitWriter:
    """GIF's LZW codes: least significant bit first."""

    def __init__(self):
        self.out = bytearray()
        self.buffer = 0
        self.count = 0

    def write(self, code, width):
        self.buffer |= code << self.count
        self.count += width
        while self.count >= 8:
            self.out.append(self.buffer & 0xFF)
            self.buffer >>= 8
            self.count -= 8

    def finish(self):
        if self.count:
            self.out.append(self.buffer & 0xFF)
        return bytes(self.out)


def lzw_compress(indices, minimum_code_size=8):
    """Variable-width LZW as GIF decoders read it. The code width follows the
    decoder's own table, which runs one entry behind the encoder's."""
    clear = 1 << minimum_code_size
    end = clear + 1
    writer = BitWriter()
    state = {}

    def reset_decoder_view():
        state.update(width=minimum_code_size + 1, next=end + 1, first=True)

    def emit(code):
        writer.write(code, state['width'])
        if code == clear:
            reset_decoder_view()
            return
        if state['first']:
            state['first'] = False
            return
        if state['next'] < 4096:
            state['next'] += 1
            if state['next'] == 1 << state['width'] and state['width'] < 12:
                state['width'] += 1

    reset_decoder_view()
    emit(clear)
    table = {}
    next_code = end + 1
    prefix = indices[0]
    for value in indices[1:]:
        key = (prefix, value)
        code = table.get(key)
        if code is not None:
            prefix = code
            continue
        emit(prefix)
        if next_code < 4096:
            table[key] = next_code
            next_code += 1
        else:
            emit(clear)
            table = {}
            next_code = end + 1
        prefix = value
    emit(prefix)
    emit(end)
    return writer.finish()


def sub_blocks(data):
    out = bytearray()
    for start in range(0, len(data), 255):
        chunk = data[start:start + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def application_extension(identifier, authentication, payload):
    assert len(identifier) == 8 and len(authentication) == 3
    return b'\x21\xFF\x0B' + identifier + authentication + sub_blocks(payload)


def write_gif(palette, frames):
    out = bytearray(b'GIF89a')
    # Global colour table present, 8 bits of colour resolution, 256 entries.
    out += struct.pack('<HHBBB', WIDTH, HEIGHT, 0x80 | (7 << 4) | 7, 0, 0)
    out += palette
    out += application_extension(b'NETSCAPE', b'2.0', struct.pack('<BH', 1, 0))  # loop without end
    out += application_extension(b'TARNIVO ', b'2.0', 'Tarnivo 2.0 安装 banner'.encode('utf-8'))
    for pixels in frames:
        packed = (DISPOSAL_LEAVE_IN_PLACE << 2) | 1
        out += struct.pack('<BBBBHBB', 0x21, 0xF9, 4, packed, DELAY_HUNDREDTHS, TRANSPARENT_INDEX, 0)
        out += struct.pack('<BHHHHB', 0x2C, 0, 0, WIDTH, HEIGHT, 0)
        out.append(8)
        out += sub_blocks(lzw_compress(pixels))
    out.append(0x3B)
    return bytes(out)


def check_round_trip(path, palette, frames):
    """Pillow's own decoder must give back every pixel of every frame."""
    GifImagePlugin.LOADING_STRATEGY = GifImagePlugin.LoadingStrategy.RGB_ALWAYS
    colours = [tuple(palette[3 * index:3 * index + 3]) for index in range(256)]
    with Image.open(path) as decoded:
        for number, pixels in enumerate(frames):
            decoded.seek(number)
            if list(decoded.convert('RGB').getdata()) != [colours[index] for index in pixels]:
                sys.exit(f'frame {number} does not decode to what was written')
        if decoded.n_frames != len(frames):
            sys.exit(f'{decoded.n_frames} frames decoded, {len(frames)} written')


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--output', default=os.path.join(here, '..', '..', 'res', 'banner.gif'))
    parser.add_argument('--frames', help='folder for a PNG of each frame')
    arguments = parser.parse_args()

    pictures = [draw_frame(index) for index in range(len(TAGLINES))]
    palette, frames = shared_palette(pictures)
    data = write_gif(palette, frames)
    with open(arguments.output, 'wb') as file:
        file.write(data)
    check_round_trip(arguments.output, palette, frames)
    if arguments.frames:
        os.makedirs(arguments.frames, exist_ok=True)
        for number, pixels in enumerate(frames):
            frame = Image.new('P', (WIDTH, HEIGHT))
            frame.putpalette(palette)
            frame.putdata(pixels)
            frame.save(os.path.join(arguments.frames, f'frame-{number}.png'))
    print(f'{arguments.output}: {len(data)} bytes, {len(frames)} frames')


if __name__ == '__main__':
    main()
