#!/usr/bin/env python3
"""Turn the SVG drawings of resources/art/ into the bitmaps, icon and animation of the resource
scripts.

rsvg-convert renders every drawing at the size its use needs; this script then writes the Windows
formats itself, so the result does not depend on an image converter's defaults:

  - mask bitmaps (toolbar, left panel, topic buttons): 24-bit BMP on pure white, the colour that
    ImageList_AddMasked and TransparentBlt treat as transparent. Pixels at least half covered are
    blended over the matte of the surface they are drawn on and never come out pure white, so the
    drawing keeps no halo and loses no inner highlight to the mask;
  - opaque bitmaps (banners, logo): 24-bit BMP;
  - the program icon: ICO with 16, 24, 32 and 48 pixel 32-bit images and a 256 pixel PNG image;
  - the progress animation: an uncompressed 8-bit AVI without sound, the form the animation
    control plays.

Usage:
  make_art.py OUTDIR        render everything into OUTDIR
  make_art.py --list        print the names of the files it writes, one a line
"""

import argparse
import os
import re
import struct
import subprocess
import sys
import tempfile
import zlib

ART_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "art")

TOOLBAR_MATTE = (240, 240, 240)   # the button face the toolbar shows its images on
TOPIC_MATTE = (255, 255, 255)     # the white topic panel
WHITE = (255, 255, 255)

# (output file, drawing, width, height, kind, variant, matte)
#   kind: "mask" = white-keyed BMP, "opaque" = BMP
#   variant: "normal" or "disabled" (greyed and lightened)
BITMAPS = [
    # Toolbar, 32 x 32 (the toolbar's image lists are 32 x 32).
    ("toolbar_rescan.bmp", "scan", 32, 32, "mask", "normal", TOOLBAR_MATTE),
    ("toolbar_rescan_disabled.bmp", "scan", 32, 32, "mask", "disabled", TOOLBAR_MATTE),
    ("toolbar_stop.bmp", "stop", 32, 32, "mask", "normal", TOOLBAR_MATTE),
    ("toolbar_stop_disabled.bmp", "stop", 32, 32, "mask", "disabled", TOOLBAR_MATTE),
    ("toolbar_pause.bmp", "pause", 32, 32, "mask", "normal", TOOLBAR_MATTE),
    ("toolbar_pause_disabled.bmp", "pause", 32, 32, "mask", "disabled", TOOLBAR_MATTE),
    ("toolbar_delete.bmp", "delete", 32, 32, "mask", "normal", TOOLBAR_MATTE),
    ("toolbar_save.bmp", "save", 32, 32, "mask", "normal", TOOLBAR_MATTE),
    ("toolbar_print.bmp", "print", 32, 32, "mask", "normal", TOOLBAR_MATTE),
    ("toolbar_help.bmp", "help", 32, 32, "mask", "normal", TOOLBAR_MATTE),
    ("toolbar_faq.bmp", "faq", 32, 32, "mask", "normal", TOOLBAR_MATTE),
    # Left panel view buttons (130 x 80, the picture above a two-line label).
    ("left_p2p.bmp", "p2p", 40, 40, "mask", "normal", TOOLBAR_MATTE),
    ("left_p2p_disabled.bmp", "p2p", 40, 40, "mask", "disabled", TOOLBAR_MATTE),
    ("left_shared.bmp", "shared", 40, 40, "mask", "normal", TOOLBAR_MATTE),
    ("left_shared_disabled.bmp", "shared", 40, 40, "mask", "disabled", TOOLBAR_MATTE),
    ("left_media.bmp", "media", 40, 40, "mask", "normal", TOOLBAR_MATTE),
    ("left_media_disabled.bmp", "media", 40, 40, "mask", "disabled", TOOLBAR_MATTE),
    ("left_mainmenu.bmp", "mainmenu", 40, 40, "mask", "normal", TOOLBAR_MATTE),
    ("left_mainmenu_disabled.bmp", "mainmenu", 40, 40, "mask", "disabled", TOOLBAR_MATTE),
    # Topic buttons of the main menu (110 high, the picture at (40, 30) above its label).
    ("topic_p2p.bmp", "p2p", 48, 48, "mask", "normal", TOPIC_MATTE),
    ("topic_shared.bmp", "shared", 48, 48, "mask", "normal", TOPIC_MATTE),
    ("topic_media.bmp", "media", 48, 48, "mask", "normal", TOPIC_MATTE),
    ("topic_faq.bmp", "faq", 48, 48, "mask", "normal", TOPIC_MATTE),
    # Opaque pictures: the main-menu logo and the dialog banners (their templates' top areas:
    # 213 x 124 and 331 x 42 dialog units of an 8-point dialog font).
    ("topic_logo.bmp", "logo", 400, 100, "opaque", "normal", WHITE),
    ("banner_update.bmp", "banner_update", 320, 200, "opaque", "normal", WHITE),
    ("banner_setup.bmp", "banner_setup", 497, 68, "opaque", "normal", WHITE),
]

ICON = ("tessaly.ico", "tessaly", [16, 24, 32, 48, 256])

# The progress animation: the magnifier travels over the files and back.
ANIMATION = ("progress.avi", "progress", 80, 50)
ANIMATION_STEPS = 12          # frames one way; the way back repeats them in reverse
ANIMATION_TRAVEL = 56         # pixels the magnifier moves
ANIMATION_FRAME_US = 80_000   # 12.5 frames a second


def outputs():
    return [b[0] for b in BITMAPS] + [ICON[0], ANIMATION[0]]


# ---- rendering ----------------------------------------------------------------------------------

def render_png(svg_text, width, height):
    """The drawing as PNG bytes of exactly width x height pixels."""
    with tempfile.NamedTemporaryFile("w", suffix=".svg", delete=False, encoding="utf-8") as f:
        f.write(svg_text)
        path = f.name
    try:
        return subprocess.run(["rsvg-convert", "-w", str(width), "-h", str(height), path],
                              check=True, capture_output=True).stdout
    finally:
        os.unlink(path)


def decode_png(data):
    """(width, height, rows of RGBA tuples) of an 8-bit RGBA or RGB PNG without interlacing."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos, idat, header = 8, bytearray(), None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace:
        raise ValueError(f"unsupported PNG form: depth {depth}, colour type {colour}, interlace {interlace}")
    channels = 4 if colour == 6 else 3
    raw = zlib.decompress(bytes(idat))
    stride = width * channels
    prior = bytearray(stride)
    rows = []
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = prior[i]
            upleft = prior[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - upleft
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - upleft)
                pred = left if pa <= pb and pa <= pc else (up if pb <= pc else upleft)
                line[i] = (line[i] + pred) & 0xFF
        prior = line
        if channels == 4:
            rows.append([tuple(line[x * 4:x * 4 + 4]) for x in range(width)])
        else:
            rows.append([tuple(line[x * 3:x * 3 + 3]) + (255,) for x in range(width)])
    return width, height, rows


def greyed(rows):
    """The disabled look: grey from the luminance, lightened, same coverage."""
    out = []
    for row in rows:
        line = []
        for r, g, b, a in row:
            grey = int(0.30 * r + 0.59 * g + 0.11 * b)
            grey = 110 + grey * 120 // 255
            line.append((grey, grey, grey, a))
        out.append(line)
    return out


def flatten(rows, matte, keyed):
    """RGB rows: blended over the matte; with keyed, pixels less than half covered become the
    white key and no covered pixel stays pure white."""
    out = []
    for row in rows:
        line = []
        for r, g, b, a in row:
            if keyed and a < 128:
                line.append(WHITE)
                continue
            px = tuple((c * a + m * (255 - a) + 127) // 255 for c, m in zip((r, g, b), matte))
            if keyed and px == WHITE:
                px = (254, 254, 254)
            line.append(px)
        out.append(line)
    return out


# ---- Windows formats ----------------------------------------------------------------------------

def bmp24(rows):
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        pixels += line + bytes(stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + bytes(pixels)


def icon_dib(rows):
    """A 32-bit icon image: BGRA colour rows and the AND mask, both bottom-up."""
    size = len(rows)
    colour = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            colour += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return info + bytes(colour) + bytes(mask)


def ico(images):
    """images: list of (size, bytes), bytes being a DIB or a PNG."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for size, blob in images:
        dim = 0 if size >= 256 else size
        entries += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(blob), offset + len(blobs))
        blobs += blob
    return directory + entries + blobs


def palette_for(frames):
    """Up to 256 colours for the frames: all of them when they fit, else the most frequent after
    reducing each channel to 5 bits."""
    counts = {}
    for frame in frames:
        for row in frame:
            for px in row:
                counts[px] = counts.get(px, 0) + 1
    if len(counts) > 256:
        reduced = {}
        for (r, g, b), n in counts.items():
            key = tuple((c & 0xF8) | (c >> 5) for c in (r, g, b))
            reduced[key] = reduced.get(key, 0) + n
        counts = reduced
    return [c for c, _ in sorted(counts.items(), key=lambda item: -item[1])[:256]]


def avi(frames, frame_us):
    """An uncompressed 8-bit AVI (one video stream, no sound, key frames only, with index)."""
    height, width = len(frames[0]), len(frames[0][0])
    palette = palette_for(frames)
    lookup = {}

    def index_of(px):
        if px not in lookup:
            lookup[px] = min(range(len(palette)),
                             key=lambda i: sum((a - b) ** 2 for a, b in zip(px, palette[i])))
        return lookup[px]

    stride = (width + 3) & ~3
    chunks = []
    for frame in frames:
        data = bytearray()
        for row in reversed(frame):
            line = bytes(index_of(px) for px in row)
            data += line + bytes(stride - len(line))
        chunks.append(bytes(data))
    frame_size = stride * height

    def chunk(fourcc, body):
        return fourcc + struct.pack("<I", len(body)) + body + (b"\0" if len(body) % 2 else b"")

    def riff_list(kind, fourcc, body):
        return kind + struct.pack("<I", len(body) + 4) + fourcc + body

    rate = 1_000_000 // frame_us if 1_000_000 % frame_us == 0 else None
    scale, rate = (1, rate) if rate else (frame_us, 1_000_000)
    avih = struct.pack("<IIIIIIIIII4I", frame_us, frame_size * 1_000_000 // frame_us, 0, 0x10,
                       len(frames), 0, 1, frame_size, width, height, 0, 0, 0, 0)
    strh = struct.pack("<4s4sIHHIIIIIIIIhhhh", b"vids", b"DIB ", 0, 0, 0, 0, scale, rate, 0,
                       len(frames), frame_size, 0xFFFFFFFF, 0, 0, 0, width, height)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    strf = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, frame_size, 0, 0,
                       len(palette), 0) + colours
    hdrl = riff_list(b"LIST", b"hdrl", chunk(b"avih", avih) +
                     riff_list(b"LIST", b"strl", chunk(b"strh", strh) + chunk(b"strf", strf)))
    movi_body, index, offset = b"", b"", 4
    for data in chunks:
        index += struct.pack("<4sIII", b"00db", 0x10, offset, len(data))
        piece = chunk(b"00db", data)
        movi_body += piece
        offset += len(piece)
    movi = riff_list(b"LIST", b"movi", movi_body)
    return riff_list(b"RIFF", b"AVI ", hdrl + movi + chunk(b"idx1", index))


# ---- the build ----------------------------------------------------------------------------------

def drawing(name):
    with open(os.path.join(ART_DIR, name + ".svg"), encoding="utf-8") as f:
        return f.read()


def raster(svg_text, width, height):
    w, h, rows = decode_png(render_png(svg_text, width, height))
    if (w, h) != (width, height):
        raise ValueError(f"rendered {w}x{h}, wanted {width}x{height}")
    return rows


def animation_frames(svg_text, width, height):
    if not re.search(r'<g id="lens" transform="translate\(0 0\)">', svg_text):
        raise ValueError("the animation drawing has no movable group 'lens'")
    steps = [round(i * ANIMATION_TRAVEL / (ANIMATION_STEPS - 1)) for i in range(ANIMATION_STEPS)]
    path = steps + steps[-2:0:-1]
    frames = []
    for x in path:
        frame = svg_text.replace('<g id="lens" transform="translate(0 0)">',
                                 f'<g id="lens" transform="translate({x} 0)">')
        frames.append(flatten(raster(frame, width, height), WHITE, keyed=False))
    return frames


def build(outdir):
    os.makedirs(outdir, exist_ok=True)
    cache = {}
    for name, source, width, height, kind, variant, matte in BITMAPS:
        key = (source, width, height)
        if key not in cache:
            cache[key] = raster(drawing(source), width, height)
        rows = cache[key] if variant == "normal" else greyed(cache[key])
        write(outdir, name, bmp24(flatten(rows, matte, keyed=(kind == "mask"))))

    name, source, sizes = ICON
    images = []
    for size in sizes:
        png = render_png(drawing(source), size, size)
        if size >= 256:
            images.append((size, png))  # large icon images are stored as PNG
        else:
            images.append((size, icon_dib(decode_png(png)[2])))
    write(outdir, name, ico(images))

    name, source, width, height = ANIMATION
    write(outdir, name, avi(animation_frames(drawing(source), width, height), ANIMATION_FRAME_US))


def write(outdir, name, data):
    path = os.path.join(outdir, name)
    temporary = path + ".tmp"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, path)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("outdir", nargs="?")
    parser.add_argument("--list", action="store_true", help="print the output file names")
    args = parser.parse_args()
    if args.list:
        print("\n".join(outputs()))
        return 0
    if not args.outdir:
        parser.error("OUTDIR is required")
    try:
        build(args.outdir)
    except (OSError, ValueError, subprocess.CalledProcessError) as error:
        print(f"make_art.py: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
