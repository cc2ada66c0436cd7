#!/usr/bin/env python3
"""Draws the skin of Haulbox_DOWN and Haulbox_UPLOAD and the web control's pictures.

Writes, below the output folder:
  downloader/NNN_name.bmp, uploader/NNN_name.bmp  button strips (4 frames side by side)
  downloader/app.ico, tray.ico, uploader/app.ico, tray.ico
  images/download_bg.bmp, upload_bg.bmp, config_bg.bmp
  webcontrol/203_launcher.bmp, 103_toolbox.bmp  the web control's loading panel and toolbox picture

The output is a pure function of this script and the Nanum fonts, so every
build draws the same pictures. Usage: make_artwork.py OUT_DIR [--sheet PNG] [--base-units 7x12]
"""
import argparse
import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFont

FONT_DIR = "/usr/share/fonts/truetype/nanum"
MAGENTA = (255, 0, 255)
# Key-coloured pixels show the system button-face colour behind the face, so
# anti-aliased edges are blended towards it instead of towards magenta.
BUTTON_FACE = (240, 240, 240)
SS = 4  # supersampling factor of shapes

# Palette: a calm blue on white.
BLUE_TOP = (88, 152, 238)
BLUE_BOTTOM = (41, 104, 206)
BLUE_BORDER = (30, 82, 172)
BLUE_DARK = (24, 60, 124)
NAVY_TEXT = (33, 58, 96)
SOFT_TEXT = (94, 112, 140)
LIGHT_TOP = (255, 255, 255)
LIGHT_BOTTOM = (228, 236, 247)
LIGHT_BORDER = (160, 180, 208)
CORAL_TOP = (236, 116, 104)
CORAL_BOTTOM = (202, 72, 64)
CORAL_BORDER = (166, 52, 46)
PAGE = (246, 248, 252)
CARD = (255, 255, 255)
CARD_BORDER = (212, 222, 236)
PANEL = (240, 243, 248)
ACCENT_LINE = (219, 228, 241)

# Dialog base units of the templates' font (9 pt Gulim): 7 x 12 pixels. The
# background pictures follow them (--base-units WxH when a system resolves
# the font to a face of other metrics).
BASE_X, BASE_Y = 7, 12


def dlu_x(v):
    return (v * BASE_X * 2 + 4) // 8   # MulDiv(v, BASE_X, 4), rounded


def dlu_y(v):
    return (v * BASE_Y * 2 + 8) // 16  # MulDiv(v, BASE_Y, 8), rounded


def font(size, bold=False, face="NanumGothic"):
    name = face + ("Bold" if bold else "") + ".ttf"
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size)


def lerp(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def vertical_gradient(size, top, bottom):
    w, h = size
    img = Image.new("RGB", size)
    d = ImageDraw.Draw(img)
    for y in range(h):
        d.line([(0, y), (w, y)], fill=lerp(top, bottom, y / max(1, h - 1)))
    return img


def rounded_mask(size, radius, inset=0):
    """Anti-aliased rounded-rectangle mask (L) of the given size."""
    w, h = size
    big = Image.new("L", (w * SS, h * SS), 0)
    ImageDraw.Draw(big).rounded_rectangle(
        [inset * SS, inset * SS, (w - inset) * SS - 1, (h - inset) * SS - 1],
        radius=radius * SS, fill=255)
    return big.resize(size, Image.LANCZOS)


def paste_rounded(dst, box, radius, top, bottom, border=None, highlight=None):
    """Paints a rounded panel with a vertical gradient and a 1-px border."""
    x0, y0, x1, y1 = box
    size = (x1 - x0, y1 - y0)
    if border:
        dst.paste(Image.new("RGB", size, border), (x0, y0), rounded_mask(size, radius))
        inner = (size[0] - 2, size[1] - 2)
        dst.paste(vertical_gradient(inner, top, bottom), (x0 + 1, y0 + 1),
                  rounded_mask(inner, max(1, radius - 1)))
    else:
        dst.paste(vertical_gradient(size, top, bottom), (x0, y0), rounded_mask(size, radius))
    if highlight:
        d = ImageDraw.Draw(dst)
        d.line([(x0 + radius, y0 + 1), (x1 - radius - 1, y0 + 1)], fill=highlight)


# ---------------------------------------------------------------- glyphs
# Each glyph draws into an RGBA layer at SS times the frame size, centred on
# (cx, cy) in frame pixels, s = nominal size in frame pixels.

def _pts(cx, cy, pts):
    return [((cx + x) * SS, (cy + y) * SS) for x, y in pts]


def glyph_triangle_up(d, cx, cy, s, col):
    d.polygon(_pts(cx, cy, [(0, -s * 0.42), (s * 0.5, s * 0.32), (-s * 0.5, s * 0.32)]), fill=col)


def glyph_triangle_down(d, cx, cy, s, col):
    d.polygon(_pts(cx, cy, [(0, s * 0.42), (s * 0.5, -s * 0.32), (-s * 0.5, -s * 0.32)]), fill=col)


def glyph_bar(d, cx, cy, s, col, dy):
    d.rectangle([(cx - s * 0.5) * SS, (cy + dy - 0.9) * SS, (cx + s * 0.5) * SS, (cy + dy + 0.9) * SS], fill=col)


def glyph_move_top(d, cx, cy, s, col):
    glyph_bar(d, cx, cy, s, col, -s * 0.5)
    glyph_triangle_up(d, cx, cy + s * 0.15, s, col)


def glyph_move_bottom(d, cx, cy, s, col):
    glyph_bar(d, cx, cy, s, col, s * 0.5)
    glyph_triangle_down(d, cx, cy - s * 0.15, s, col)


def glyph_play(d, cx, cy, s, col):
    d.polygon(_pts(cx, cy, [(-s * 0.36, -s * 0.5), (s * 0.5, 0), (-s * 0.36, s * 0.5)]), fill=col)


def glyph_stop(d, cx, cy, s, col):
    r = s * 0.42
    d.rounded_rectangle([(cx - r) * SS, (cy - r) * SS, (cx + r) * SS, (cy + r) * SS], radius=2 * SS, fill=col)


def glyph_arrow(d, cx, cy, s, col, up):
    shaft = s * 0.15
    if up:
        d.rectangle([(cx - shaft) * SS, (cy - s * 0.1) * SS, (cx + shaft) * SS, (cy + s * 0.5) * SS], fill=col)
        d.polygon(_pts(cx, cy, [(0, -s * 0.55), (s * 0.45, 0), (-s * 0.45, 0)]), fill=col)
    else:
        d.rectangle([(cx - shaft) * SS, (cy - s * 0.5) * SS, (cx + shaft) * SS, (cy + s * 0.1) * SS], fill=col)
        d.polygon(_pts(cx, cy, [(0, s * 0.55), (s * 0.45, 0), (-s * 0.45, 0)]), fill=col)


def glyph_upload(d, cx, cy, s, col):
    glyph_arrow(d, cx, cy - s * 0.05, s * 0.9, col, up=True)
    d.rectangle([(cx - s * 0.5) * SS, (cy + s * 0.48) * SS, (cx + s * 0.5) * SS, (cy + s * 0.6) * SS], fill=col)


def glyph_download(d, cx, cy, s, col):
    glyph_arrow(d, cx, cy - s * 0.1, s * 0.9, col, up=False)
    d.rectangle([(cx - s * 0.5) * SS, (cy + s * 0.48) * SS, (cx + s * 0.5) * SS, (cy + s * 0.6) * SS], fill=col)


def glyph_power(d, cx, cy, s, col):
    r = s * 0.45
    w = max(1.6, s * 0.12) * SS
    d.arc([(cx - r) * SS, (cy - r) * SS, (cx + r) * SS, (cy + r) * SS], start=-55, end=235, fill=col, width=int(w))
    d.rectangle([(cx - s * 0.06) * SS, (cy - s * 0.58) * SS, (cx + s * 0.06) * SS, (cy - s * 0.02) * SS], fill=col)


def glyph_file_play(d, cx, cy, s, col, hole):
    w, h = s * 0.78, s
    x0, y0 = cx - w / 2, cy - h / 2
    fold = s * 0.3
    d.polygon([((x0) * SS, y0 * SS), ((x0 + w - fold) * SS, y0 * SS), ((x0 + w) * SS, (y0 + fold) * SS),
               ((x0 + w) * SS, (y0 + h) * SS), (x0 * SS, (y0 + h) * SS)], fill=col)
    glyph_play(d, cx + s * 0.02, cy + s * 0.1, s * 0.42, hole)


def glyph_folder(d, cx, cy, s, col):
    w, h = s * 1.1, s * 0.8
    x0, y0 = cx - w / 2, cy - h / 2
    d.rounded_rectangle([x0 * SS, y0 * SS, (x0 + w * 0.45) * SS, (y0 + h * 0.4) * SS], radius=SS, fill=col)
    d.rounded_rectangle([x0 * SS, (y0 + h * 0.18) * SS, (x0 + w) * SS, (y0 + h) * SS], radius=SS, fill=col)


def glyph_house(d, cx, cy, s, col):
    d.polygon(_pts(cx, cy, [(0, -s * 0.55), (s * 0.58, -s * 0.02), (-s * 0.58, -s * 0.02)]), fill=col)
    d.rectangle([(cx - s * 0.38) * SS, (cy - s * 0.1) * SS, (cx + s * 0.38) * SS, (cy + s * 0.5) * SS], fill=col)


def glyph_gear(d, cx, cy, s, col, hole):
    import math
    r_out, r_in = s * 0.5, s * 0.36
    pts = []
    for i in range(32):
        a = i * math.pi * 2 / 32
        r = r_out if (i // 2) % 2 == 0 else r_in
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    d.polygon([(x * SS, y * SS) for x, y in pts], fill=col)
    r = s * 0.16
    d.ellipse([(cx - r) * SS, (cy - r) * SS, (cx + r) * SS, (cy + r) * SS], fill=hole)


def glyph_trash(d, cx, cy, s, col):
    d.rectangle([(cx - s * 0.5) * SS, (cy - s * 0.42) * SS, (cx + s * 0.5) * SS, (cy - s * 0.3) * SS], fill=col)
    d.rectangle([(cx - s * 0.16) * SS, (cy - s * 0.55) * SS, (cx + s * 0.16) * SS, (cy - s * 0.4) * SS], fill=col)
    d.polygon(_pts(cx, cy, [(-s * 0.4, -s * 0.22), (s * 0.4, -s * 0.22), (s * 0.32, s * 0.55), (-s * 0.32, s * 0.55)]), fill=col)


def glyph_check(d, cx, cy, s, col):
    w = int(max(1.8, s * 0.17) * SS)
    d.line(_pts(cx, cy, [(-s * 0.45, 0), (-s * 0.12, s * 0.33), (s * 0.48, -s * 0.38)]), fill=col, width=w, joint="curve")


def glyph_minus(d, cx, cy, s, col):
    d.rectangle([(cx - s * 0.42) * SS, (cy + s * 0.12) * SS, (cx + s * 0.42) * SS, (cy + s * 0.3) * SS], fill=col)


def glyph_cross(d, cx, cy, s, col):
    w = int(max(1.5, s * 0.18) * SS)
    r = s * 0.36
    d.line(_pts(cx, cy, [(-r, -r), (r, r)]), fill=col, width=w)
    d.line(_pts(cx, cy, [(-r, r), (r, -r)]), fill=col, width=w)


def glyph_chevron_down(d, cx, cy, s, col):
    w = int(max(1.5, s * 0.18) * SS)
    d.line(_pts(cx, cy, [(-s * 0.38, -s * 0.2), (0, s * 0.16), (s * 0.38, -s * 0.2)]), fill=col, width=w, joint="curve")
    d.rectangle([(cx - s * 0.4) * SS, (cy + s * 0.36) * SS, (cx + s * 0.4) * SS, (cy + s * 0.5) * SS], fill=col)


# ---------------------------------------------------------------- buttons

STYLES = {
    # name: (top, bottom, border, pressed top, pressed bottom, content colour)
    "primary": (BLUE_TOP, BLUE_BOTTOM, BLUE_BORDER, (46, 108, 206), (36, 90, 182), (255, 255, 255)),
    "light": (LIGHT_TOP, LIGHT_BOTTOM, LIGHT_BORDER, (214, 226, 243), (236, 242, 250), NAVY_TEXT),
    "stop": (CORAL_TOP, CORAL_BOTTOM, CORAL_BORDER, (204, 80, 70), (178, 60, 54), (255, 255, 255)),
}


def button_face(size, style, pressed, label=None, glyph=None, layout="row",
                radius=5, text_size=12, bold=False, glyph_size=None, press_border=None):
    """One frame: a rounded gradient face, optional glyph and label."""
    w, h = size
    top, bottom, border, ptop, pbottom, ink = STYLES[style]
    if pressed:
        top, bottom = ptop, pbottom
        border = press_border or tuple(max(0, c - 24) for c in border)
    face = Image.new("RGB", size, BUTTON_FACE)
    alpha = rounded_mask(size, radius)
    body = Image.new("RGB", size, border)
    inner = (w - 2, h - 2)
    body.paste(vertical_gradient(inner, top, bottom), (1, 1), rounded_mask(inner, max(1, radius - 1)))
    if not pressed and style != "light":
        ImageDraw.Draw(body).line([(radius, 1), (w - radius - 1, 1)], fill=lerp(top, (255, 255, 255), 0.35))
    face.paste(body, (0, 0), alpha)

    shift = 1 if pressed else 0
    fnt = font(text_size, bold) if label else None
    text_w = int(ImageDraw.Draw(face).textlength(label, font=fnt)) if label else 0
    gs = glyph_size or (h * 0.5 if layout == "column" else h * 0.5)
    gap = 4 if (label and glyph) else 0
    if glyph:
        layer = Image.new("RGBA", (w * SS, h * SS), (0, 0, 0, 0))
        ld = ImageDraw.Draw(layer)
        if layout == "column":
            gx, gy = w / 2, h * 0.36
        elif label:
            total = gs + gap + text_w
            gx, gy = (w - total) / 2 + gs / 2, h / 2
        else:
            gx, gy = w / 2, h / 2
        hole = lerp(top, bottom, 0.5)
        glyph(ld, gx, gy + shift, gs, ink + (255,), hole + (255,)) if glyph.__code__.co_argcount == 6 \
            else glyph(ld, gx, gy + shift, gs, ink + (255,))
        layer = layer.resize(size, Image.LANCZOS)
        face.paste(layer, (0, 0), layer)
    if label:
        d = ImageDraw.Draw(face)
        asc, desc = fnt.getmetrics()
        if layout == "column":
            tx, ty = (w - text_w) / 2, h * 0.62 + 1
        elif glyph:
            tx, ty = (w - (gs + gap + text_w)) / 2 + gs + gap, (h - asc) / 2 - 0.5
        else:
            tx, ty = (w - text_w) / 2, (h - asc) / 2 - 0.5
        d.text((round(tx), round(ty) + shift), label, font=fnt, fill=ink)
    # Binary transparency: the outside of the rounded shape gets the key colour.
    key = Image.new("RGB", size, MAGENTA)
    key.paste(face, (0, 0), alpha.point(lambda a: 255 if a >= 128 else 0))
    return key


def strip(frames):
    w, h = frames[0].size
    out = Image.new("RGB", (w * len(frames), h))
    for i, f in enumerate(frames):
        out.paste(f, (i * w, 0))
    return out


def plain_strip(total, h, **kw):
    """Four frames of a button whose alternate look equals its normal look."""
    size = (total // 4, h)
    normal = button_face(size, pressed=False, **kw)
    pressed = button_face(size, pressed=True, **kw)
    return strip([normal, pressed, pressed, normal])


def toggle_strip(total, h, start, stop):
    """Normal, pressed, alternate pressed, alternate normal of a start/stop button."""
    size = (total // 4, h)
    return strip([button_face(size, pressed=False, **start), button_face(size, pressed=True, **start),
                  button_face(size, pressed=True, **stop), button_face(size, pressed=False, **stop)])


def window_button_strip(glyph, danger=False):
    """The 16 x 14 caption buttons: a soft tile, red when close is pressed."""
    size = (16, 14)
    frames = []
    for pressed in (False, True):
        face = Image.new("RGB", size, BUTTON_FACE)
        alpha = rounded_mask(size, 3)
        if pressed:
            fill_top, fill_bottom, border, ink = ((232, 96, 86), (204, 70, 62), (170, 52, 46), (255, 255, 255)) if danger \
                else ((206, 220, 240), (222, 232, 246), (128, 152, 188), NAVY_TEXT)
        else:
            fill_top, fill_bottom, border, ink = (250, 252, 255), (226, 234, 246), (170, 188, 214), (64, 88, 126)
        body = Image.new("RGB", size, border)
        body.paste(vertical_gradient((14, 12), fill_top, fill_bottom), (1, 1), rounded_mask((14, 12), 2))
        face.paste(body, (0, 0), alpha)
        layer = Image.new("RGBA", (16 * SS, 14 * SS), (0, 0, 0, 0))
        glyph(ImageDraw.Draw(layer), 8, 7 + (1 if pressed else 0) * 0.5, 8, ink + (255,))
        layer = layer.resize(size, Image.LANCZOS)
        face.paste(layer, (0, 0), layer)
        key = Image.new("RGB", size, MAGENTA)
        key.paste(face, (0, 0), alpha.point(lambda a: 255 if a >= 128 else 0))
        frames.append(key)
    return strip([frames[0], frames[1], frames[1], frames[0]])


def arrow_strip(glyph, h=24):
    return plain_strip(96, h, style="light", glyph=glyph, glyph_size=11, radius=4)


def labelled(total, h, label, glyph=None, style="light", text_size=12, bold=False, glyph_size=None, radius=5):
    return plain_strip(total, h, style=style, label=label, glyph=glyph, text_size=text_size,
                       bold=bold, glyph_size=glyph_size, radius=radius)


def big_button(total, h, label, glyph, style):
    return plain_strip(total, h, style=style, label=label, glyph=glyph, layout="column",
                       glyph_size=18, text_size=12, bold=True, radius=7)


def strips():
    """(program folder, file name, image, bits per pixel) of every strip."""
    gear = glyph_gear
    start_dl = dict(style="primary", label="시작", glyph=glyph_download, layout="column",
                    glyph_size=18, text_size=12, bold=True, radius=7)
    start_ul = dict(start_dl, glyph=glyph_upload)
    stop = dict(style="stop", label="정지", glyph=glyph_stop, layout="column",
                glyph_size=15, text_size=12, bold=True, radius=7)
    d, u = "downloader", "uploader"
    return [
        (d, "130_folder", labelled(348, 21, "폴더 선택", glyph_folder, text_size=11, glyph_size=11), 24),
        (d, "131_move_bottom", arrow_strip(glyph_move_bottom), 24),
        (d, "132_remove_completed", labelled(336, 23, "완료삭제", glyph_check, glyph_size=10), 24),
        (d, "133_delete_selected", labelled(336, 23, "선택삭제", glyph_trash, glyph_size=11), 24),
        (d, "134_move_down", arrow_strip(glyph_triangle_down), 24),
        (d, "135_browse", labelled(252, 21, "찾아보기", text_size=11), 24),
        (d, "136_settings", labelled(300, 21, "환경설정", gear, text_size=11, glyph_size=11), 24),
        (d, "137_start_stop", toggle_strip(268, 53, start_dl, stop), 24),
        (d, "138_move_top", arrow_strip(glyph_move_top), 24),
        (d, "139_move_up", arrow_strip(glyph_triangle_up), 24),
        (d, "140_close", window_button_strip(glyph_cross, danger=True), 24),
        (d, "142_minimize", window_button_strip(glyph_minus), 24),
        (d, "143_hide", window_button_strip(glyph_chevron_down), 24),
        (d, "178_open_folder", labelled(404, 21, "저장폴더 열기", glyph_folder, text_size=11, glyph_size=11), 24),
        (d, "179_exit", big_button(264, 53, "종료", glyph_power, "light"), 24),
        (d, "180_homepage", labelled(416, 30, "홈페이지", glyph_house, text_size=12, bold=True, glyph_size=14, radius=7), 24),
        (d, "183_open_file", plain_strip(268, 53, style="light", label="파일열기", glyph=glyph_file_play,
                                         layout="column", glyph_size=18, text_size=12, bold=True, radius=7), 24),
        (d, "192_cancel", labelled(304, 24, "취소"), 24),
        (d, "194_ok", labelled(304, 24, "확인", style="primary", bold=True), 24),
        (u, "132_hide", window_button_strip(glyph_chevron_down), 24),
        (u, "133_close", window_button_strip(glyph_cross, danger=True), 24),
        (u, "134_minimize", window_button_strip(glyph_minus), 24),
        (u, "145_move_down", arrow_strip(glyph_triangle_down), 32),
        (u, "146_move_top", arrow_strip(glyph_move_top), 32),
        (u, "149_folder", labelled(348, 21, "폴더 선택", glyph_folder, text_size=11, glyph_size=11), 24),
        (u, "150_delete_selected", labelled(336, 23, "선택삭제", glyph_trash, glyph_size=11), 32),
        (u, "151_move_up", arrow_strip(glyph_triangle_up), 32),
        (u, "152_browse", labelled(252, 21, "찾아보기", text_size=11), 24),
        (u, "153_delete_completed", labelled(336, 23, "완료삭제", glyph_check, glyph_size=10), 32),
        (u, "154_start_stop", toggle_strip(268, 52, start_ul, stop), 32),
        (u, "155_move_bottom", arrow_strip(glyph_move_bottom), 24),
        (u, "156_settings", labelled(300, 21, "환경설정", gear, text_size=11, glyph_size=11), 24),
        (u, "190_open_folder", labelled(404, 21, "저장폴더 열기", glyph_folder, text_size=11, glyph_size=11), 24),
        (u, "194_cancel", labelled(304, 24, "취소"), 24),
        (u, "196_ok", labelled(304, 24, "확인", style="primary", bold=True), 24),
        (u, "1027_homepage", labelled(416, 30, "홈페이지", glyph_house, text_size=12, bold=True, glyph_size=14, radius=7), 32),
    ]


# ---------------------------------------------------------------- backgrounds

def text(d, xy, s, size=12, bold=False, fill=NAVY_TEXT, anchor="la"):
    d.text(xy, s, font=font(size, bold), fill=fill, anchor=anchor)


def logo_mark(size, arrow_up):
    """Blue rounded tile with a white cloud and a transfer arrow."""
    img = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    tile = vertical_gradient((size, size), BLUE_TOP, BLUE_BOTTOM)
    img.paste(tile, (0, 0), rounded_mask((size, size), max(2, size // 5)))
    layer = Image.new("RGBA", (size * SS, size * SS), (0, 0, 0, 0))
    d = ImageDraw.Draw(layer)
    s = size
    white = (255, 255, 255, 255)
    if s >= 24:
        # cloud
        for cx, cy, r in ((0.36, 0.5, 0.16), (0.55, 0.42, 0.2), (0.7, 0.54, 0.13)):
            d.ellipse([(cx - r) * s * SS, (cy - r) * s * SS, (cx + r) * s * SS, (cy + r) * s * SS], fill=white)
        d.rounded_rectangle([0.22 * s * SS, 0.5 * s * SS, 0.83 * s * SS, 0.67 * s * SS], radius=0.08 * s * SS, fill=white)
        glyph_arrow(d, s * 0.53, s * 0.64 if arrow_up else s * 0.62, s * 0.34, (41, 104, 206, 255), up=arrow_up)
    else:
        glyph_arrow(d, s * 0.5, s * 0.5, s * 0.62, white, up=arrow_up)
    layer = layer.resize((size, size), Image.LANCZOS)
    img.alpha_composite(layer)
    return img


def header(img, title, subtitle, arrow_up, width, height=56):
    d = ImageDraw.Draw(img)
    img.paste(vertical_gradient((width, height), (255, 255, 255), (241, 246, 253)), (0, 0))
    img.paste(vertical_gradient((width, 3), (74, 140, 232), (41, 104, 206)), (0, 0))
    d.line([(0, height), (width, height)], fill=ACCENT_LINE)
    mark = logo_mark(30, arrow_up)
    img.paste(mark, (18, 14), mark)
    text(d, (56, 13), "QUorvane", 17, True, BLUE_DARK)
    text(d, (57, 34), subtitle, 11, False, SOFT_TEXT)
    if title:
        tw = d.textlength("QUorvane", font=font(17, True))
        text(d, (56 + tw + 8, 17), title, 13, True, BLUE_BOTTOM)


def card(img, box, radius=8, fill=CARD):
    x0, y0, x1, y1 = box
    # a faint shadow under the card
    paste_rounded(img, (x0, y0 + 1, x1, y1 + 1), radius, (232, 237, 245), (226, 232, 242))
    paste_rounded(img, box, radius, fill, fill, border=CARD_BORDER)


def cell(img, box, colour, border):
    paste_rounded(img, box, 4, colour, colour, border=border)


def main_background(upload):
    w, h = dlu_x(371), dlu_y(325)
    img = vertical_gradient((w, h), PAGE, (238, 242, 249))
    header(img, "업로더" if upload else "다운로더",
           "파일 업로드 관리자" if upload else "파일 다운로드 관리자", upload, w)
    d = ImageDraw.Draw(img)
    x_left = dlu_x(9)
    x_right = dlu_x(9 + 351)
    # status card: current file, speed, time, two progress bars, folder row
    card(img, (x_left, 63, x_right, dlu_y(113)))
    cell_colour = (239, 201, 222) if upload else (250, 252, 228)
    cell_border = (222, 176, 200) if upload else (226, 230, 190)
    y_status = dlu_y(48 if upload else 49)
    cell(img, (dlu_x(13) - 4, dlu_y(48) - 4, dlu_x(13 + 203) + 2, dlu_y(48) + 16), cell_colour, cell_border)
    text(d, (dlu_x(248) - 6, y_status + 6), "속도", 11, True, SOFT_TEXT, "rm")
    cell(img, (dlu_x(248) - 3, y_status - 4, dlu_x(248 + 36) + 2, y_status + 16), cell_colour, cell_border)
    text(d, (dlu_x(320) - 6, y_status + 6), "남은시간", 11, True, SOFT_TEXT, "rm")
    cell(img, (dlu_x(320) - 3, y_status - 4, dlu_x(320 + 34) + 2, y_status + 16), cell_colour, cell_border)
    for y_du, label in ((65, "현재파일"), (80, "전체진행")):
        y = dlu_y(y_du)
        text(d, (dlu_x(13), y + dlu_y(12) // 2), label, 11, True, SOFT_TEXT, "lm")
        paste_rounded(img, (dlu_x(50) - 1, y - 1, dlu_x(354) + 1, y + dlu_y(12) + 1), 4,
                      (226, 233, 243), (238, 243, 249), border=(196, 208, 226))
    y_row = dlu_y(94)
    if upload:
        text(d, (dlu_x(13), y_row + 10), "업로드 목록", 12, True, NAVY_TEXT, "lm")
        text(d, (dlu_x(13) + 78, y_row + 10), "보낼 파일의 순서는 아래 버튼으로 바꿀 수 있습니다", 11, False, SOFT_TEXT, "lm")
    else:
        text(d, (dlu_x(13), dlu_y(97) + 8), "저장위치", 11, True, SOFT_TEXT, "lm")
        cell(img, (dlu_x(52) - 3, dlu_y(97) - 2, dlu_x(52 + 195) + 2, dlu_y(97 + 11) + 2),
             (242, 242, 242), (214, 218, 224))
    # list frame
    paste_rounded(img, (x_left - 3, dlu_y(117) - 3, x_right + 3, dlu_y(117 + 92) + 3), 5,
                  (255, 255, 255), (255, 255, 255), border=CARD_BORDER)
    # command panel under the list: arrows, delete buttons, big buttons, options
    paste_rounded(img, (x_left, dlu_y(214), x_right, dlu_y(262)), 8, PANEL, PANEL, border=(222, 229, 239))
    y_opt = dlu_y(245)
    text(d, (dlu_x(13), y_opt + dlu_y(8) // 2), "완료 후", 11, True, SOFT_TEXT, "lm")
    if upload:
        text(d, (dlu_x(300), dlu_y(237)), "업로드 시작 / 정지", 11, False, SOFT_TEXT, "rm")
    # banner frame
    paste_rounded(img, (dlu_x(10) - 3, dlu_y(270) - 3, dlu_x(360) + 3, dlu_y(312) + 3), 6,
                  (255, 255, 255), (255, 255, 255), border=CARD_BORDER)
    text(d, ((dlu_x(10) + dlu_x(360)) // 2, (dlu_y(270) + dlu_y(312)) // 2), "QUorvane", 16, True, (206, 218, 236), "mm")
    text(d, (w - 14, h - 9), "Quorvane 1.0.0.8  ·  kavno", 10, False, (150, 164, 186), "rm")
    return img


def config_background():
    w, h = dlu_x(303), dlu_y(273)
    img = vertical_gradient((w, h), PAGE, (238, 242, 249))
    header(img, None, "전송 프로그램 환경설정", False, w, height=50)
    d = ImageDraw.Draw(img)
    mark_x = w - 36
    layer = Image.new("RGBA", (26 * SS, 26 * SS), (0, 0, 0, 0))
    glyph_gear(ImageDraw.Draw(layer), 13, 13, 20, (196, 212, 236, 255), (244, 248, 254, 255))
    layer = layer.resize((26, 26), Image.LANCZOS)
    img.paste(layer, (mark_x, 13), layer)
    text(d, (170, 17), "환경설정", 15, True, BLUE_BOTTOM)
    x0, x1 = 12, w - 12
    text(d, (x0 + 4, 58), "저장 및 다운로드", 12, True, BLUE_DARK)
    card(img, (x0, 74, x1, dlu_y(119)))
    for y_du in (71, 89, 105):
        y = dlu_y(y_du) - 5
        d.line([(x0 + 12, y), (x1 - 12, y)], fill=(236, 240, 246))
    text(d, (x0 + 4, dlu_y(160) - 20), "전송", 12, True, BLUE_DARK)
    card(img, (x0, dlu_y(160) - 4, x1, dlu_y(224)))
    d.line([(x0 + 12, dlu_y(204)), (x1 - 12, dlu_y(204))], fill=(236, 240, 246))
    paste_rounded(img, (0, dlu_y(234), w, h + 8), 0, PANEL, PANEL)
    d.line([(0, dlu_y(234)), (w, dlu_y(234))], fill=ACCENT_LINE)
    return img


# ---------------------------------------------------------------- icons

def write_ico(path, images):
    """ICO of 32-bit BMP entries (BGRA, bottom-up, with an AND mask)."""
    entries, blobs = [], []
    for im in images:
        n = im.size[0]
        pixels = im.convert("RGBA").transpose(Image.FLIP_TOP_BOTTOM).tobytes("raw", "BGRA")
        row = ((n + 31) // 32) * 4
        mask = bytearray()
        alpha = im.getchannel("A").transpose(Image.FLIP_TOP_BOTTOM)
        for y in range(n):
            bits = bytearray(row)
            for x in range(n):
                if alpha.getpixel((x, y)) == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        header = struct.pack("<IiiHHIIiiII", 40, n, n * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
        blobs.append(header + pixels + bytes(mask))
        entries.append(n)
    offset = 6 + 16 * len(images)
    out = struct.pack("<HHH", 0, 1, len(images))
    for n, blob in zip(entries, blobs):
        out += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(blobs))


def tray_mark(size, arrow_up):
    """Round badge that stays readable at 16 pixels."""
    img = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    big = Image.new("RGBA", (size * SS, size * SS), (0, 0, 0, 0))
    d = ImageDraw.Draw(big)
    d.ellipse([SS * 0.5, SS * 0.5, (size - 0.5) * SS, (size - 0.5) * SS], fill=(30, 82, 172, 255))
    d.ellipse([SS * 1.5, SS * 1.5, (size - 1.5) * SS, (size - 1.5) * SS], fill=(64, 130, 226, 255))
    glyph_arrow(d, size / 2, size / 2, size * 0.6, (255, 255, 255, 255), up=arrow_up)
    img.alpha_composite(big.resize((size, size), Image.LANCZOS))
    return img


ICON_SIZES = (16, 32, 48, 64, 128)


# ---------------------------------------------------------------- web control

def launcher_panel():
    """The loading panel: a white rounded card on pure magenta, which the
    launcher window keys out. The card's outline is hard-edged so that no
    blended magenta fringe survives the colour key."""
    w, h = 300, 68
    img = Image.new("RGB", (w, h), MAGENTA)
    outline = rounded_mask((w, h), 14).point(lambda v: 255 if v >= 128 else 0)
    img.paste(Image.new("RGB", (w, h), BLUE_BORDER), (0, 0), outline)
    inner = rounded_mask((w - 4, h - 4), 12).point(lambda v: 255 if v >= 128 else 0)
    img.paste(vertical_gradient((w - 4, h - 4), CARD, LIGHT_BOTTOM), (2, 2), inner)
    d = ImageDraw.Draw(img)
    cy = h // 2
    for i in range(3):
        cx = 28 + i * 14
        shade = lerp(BLUE_TOP, LIGHT_BORDER, i / 2)
        d.ellipse([cx - 5, cy - 5, cx + 5, cy + 5], fill=shade)
    d.text((74, cy), "프로그램을 준비하고 있습니다...", font=font(14, bold=True), fill=NAVY_TEXT, anchor="lm")
    return img


def write_bmp_16_colours(path, img):
    """A 4-bit BMP of a 16-colour palette image (Pillow writes 8 bits)."""
    w, h = img.size
    palette = img.getpalette()[:48]
    palette += [0] * (48 - len(palette))
    row_bytes = ((w * 4 + 31) // 32) * 4
    pixels = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(row_bytes)
        for x in range(w):
            v = img.getpixel((x, y)) & 0x0F
            row[x // 2] |= v << (4 if x % 2 == 0 else 0)
        pixels += row
    colours = b"".join(struct.pack("<BBBB", palette[3 * i + 2], palette[3 * i + 1], palette[3 * i], 0)
                       for i in range(16))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + colours + pixels)


def toolbox_picture():
    """16 x 16 in the 16 standard colours: a blue box with a white arrow."""
    img = Image.new("RGB", (16, 16), (192, 192, 192))
    d = ImageDraw.Draw(img)
    d.rectangle([1, 2, 14, 13], fill=(0, 0, 128), outline=(0, 0, 0))
    d.polygon([(8, 4), (12, 8), (10, 8), (10, 11), (6, 11), (6, 8), (4, 8)], fill=(255, 255, 255))
    standard = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
                (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
                (255, 0, 255), (0, 255, 255), (255, 255, 255)]
    pal = Image.new("P", (1, 1))
    pal.putpalette([c for rgb in standard for c in rgb])
    return img.quantize(palette=pal, dither=Image.Dither.NONE)


# ---------------------------------------------------------------- output

def save_bmp(img, path, bits):
    if bits == 32:
        img.convert("RGBA").save(path, "BMP")
    else:
        img.convert("RGB").save(path, "BMP")


def contact_sheet(root, outputs, path):
    scale = 2
    tiles = []
    for rel in outputs:
        im = Image.open(os.path.join(root, rel)).convert("RGB")
        if not rel.startswith("images/"):
            im = im.resize((im.size[0] * scale, im.size[1] * scale), Image.NEAREST)
        tiles.append((rel, im))
    width = 1400
    x = y = 10
    row_h = 0
    placed = []
    for rel, im in tiles:
        if x + im.size[0] > width - 10:
            x, y = 10, y + row_h + 24
            row_h = 0
        placed.append((rel, im, x, y))
        x += im.size[0] + 16
        row_h = max(row_h, im.size[1])
    sheet = Image.new("RGB", (width, y + row_h + 30), (210, 214, 220))
    d = ImageDraw.Draw(sheet)
    for rel, im, x, y in placed:
        sheet.paste(im, (x, y + 14))
        d.text((x, y), rel, font=font(10), fill=(0, 0, 0))
    sheet.save(path)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("out")
    ap.add_argument("--sheet")
    ap.add_argument("--base-units", default="7x12", help="dialog base units of the template font, WxH pixels")
    args = ap.parse_args()
    global BASE_X, BASE_Y
    BASE_X, BASE_Y = (int(v) for v in args.base_units.lower().split("x"))
    root = args.out
    for sub in ("downloader", "uploader", "images", "webcontrol"):
        os.makedirs(os.path.join(root, sub), exist_ok=True)
    outputs = []
    for folder, name, img, bits in strips():
        rel = "%s/%s.bmp" % (folder, name)
        save_bmp(img, os.path.join(root, rel), bits)
        outputs.append(rel)
    for name, img in (("download_bg", main_background(False)), ("upload_bg", main_background(True)),
                      ("config_bg", config_background())):
        rel = "images/%s.bmp" % name
        save_bmp(img, os.path.join(root, rel), 24)
        outputs.append(rel)
    for folder, up in (("downloader", False), ("uploader", True)):
        write_ico(os.path.join(root, folder, "app.ico"), [logo_mark(n, up) for n in ICON_SIZES])
        write_ico(os.path.join(root, folder, "tray.ico"), [tray_mark(n, up) for n in ICON_SIZES])
    save_bmp(launcher_panel(), os.path.join(root, "webcontrol", "203_launcher.bmp"), 24)
    outputs.append("webcontrol/203_launcher.bmp")
    write_bmp_16_colours(os.path.join(root, "webcontrol", "103_toolbox.bmp"), toolbox_picture())
    outputs.append("webcontrol/103_toolbox.bmp")
    if args.sheet:
        contact_sheet(root, outputs, args.sheet)
    return 0


if __name__ == "__main__":
    sys.exit(main())
