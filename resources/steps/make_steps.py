#!/usr/bin/env python3
"""Draws the header step tiles (106 x 32, 24-bit BMP) into this folder.

Not part of the build: run it by hand after changing a label or a colour, then commit
the .bmp files. The Japanese labels are rasterised by GDI with the font IPAGothic
(Debian package fonts-ipafont-gothic), unsmoothed because that is crisper at this size,
through a small helper program that is compiled with mingw-w64 and run once under Wine;
everything else is drawn here. From the repository root:

    . tests/env/wine-env.sh build && kavo_wine_start && python3 resources/steps/make_steps.py
"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile

WIDTH, HEIGHT = 106, 32

# Step letter -> label. Lower case is drawn dim (step still to come), upper case bright.
LABELS = {
    "l": "ログイン",
    "p": "契約状況",
    "c": "PCチェック",
    "s": "お申込み",
    "a": "再申込",
    "i": "インストール",
    "r": "再インストール",
    "f": "完了",
    "d": "解約",
    "t": "解約完了",
}

BACKGROUND = (255, 255, 255)
REACHED = {"border": (16, 72, 140), "top": (52, 128, 214), "bottom": (24, 92, 176), "text": (255, 255, 255)}
TO_COME = {"border": (196, 196, 196), "top": (238, 238, 238), "bottom": (226, 226, 226), "text": (120, 120, 120)}

RADIUS = 6.0
# Preferred label sizes (character height in pixels), largest first: a label takes the
# largest one whose ink fits between the side margins.
SIZES = (14, 13, 12, 11)
TEXT_MARGIN = 7
# A full-height ideograph: its ink rows fix where every label sits vertically.
REFERENCE_GLYPH = "国"

CANVAS_W, CANVAS_H = 160, 40

GLYPH_PROGRAM = r"""
#include <windows.h>
#include <stdio.h>
#include <string.h>

/* glyphs LABELS OUT SIZE...: each UTF-16LE line of LABELS drawn white on black at each
   SIZE; OUT gets one CANVAS_W x CANVAS_H coverage byte per pixel, per label and size. */
int wmain(int argc, wchar_t** argv)
{
    if (argc < 4)
        return 2;
    FILE* in = _wfopen(argv[1], L"rb");
    FILE* out = _wfopen(argv[2], L"wb");
    if (!in || !out)
        return 3;
    static wchar_t text[4096];
    size_t count = fread(text, sizeof(wchar_t), 4095, in);
    text[count] = 0;

    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = CANVAS_W;
    info.bmiHeader.biHeight = -CANVAS_H;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = NULL;
    HDC dc = CreateCompatibleDC(NULL);
    HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (!dc || !dib)
        return 4;
    SelectObject(dc, dib);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));

    for (wchar_t* line = wcstok(text, L"\n"); line; line = wcstok(NULL, L"\n")) {
        for (int a = 3; a < argc; ++a) {
            HFONT font = CreateFontW(-_wtoi(argv[a]), 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET,
                                     OUT_TT_ONLY_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                                     FIXED_PITCH | FF_MODERN, L"IPAGothic");
            HGDIOBJ old = SelectObject(dc, font);
            wchar_t face[LF_FACESIZE];
            GetTextFaceW(dc, LF_FACESIZE, face);
            if (wcscmp(face, L"IPAGothic") != 0)
                return 5;
            memset(bits, 0, CANVAS_W * CANVAS_H * 4);
            TextOutW(dc, 4, 4, line, (int)wcslen(line));
            GdiFlush();
            const unsigned char* p = (const unsigned char*)bits;
            for (int i = 0; i < CANVAS_W * CANVAS_H; ++i)
                fputc(p[i * 4 + 1], out);
            SelectObject(dc, old);
            DeleteObject(font);
        }
    }
    fclose(out);
    fclose(in);
    return 0;
}
""".replace("CANVAS_W", str(CANVAS_W)).replace("CANVAS_H", str(CANVAS_H))


def render_labels(texts):
    """Returns, per text, a list (one per entry of SIZES) of coverage rows."""
    for tool in ("i686-w64-mingw32-gcc", "wine"):
        if not shutil.which(tool):
            sys.exit(f"make_steps.py: {tool} not found")
    with tempfile.TemporaryDirectory() as work:
        with open(os.path.join(work, "glyphs.c"), "w") as f:
            f.write(GLYPH_PROGRAM)
        subprocess.run(["i686-w64-mingw32-gcc", "-municode", "-O2", "-static", "-Wall", "-Werror",
                        "-o", "glyphs.exe", "glyphs.c", "-lgdi32"], cwd=work, check=True)
        with open(os.path.join(work, "labels.txt"), "wb") as f:
            f.write("\n".join(texts).encode("utf-16-le"))
        # Relative names: Wine resolves them against the working folder.
        subprocess.run(["wine", "glyphs.exe", "labels.txt", "masks.raw"] + [str(s) for s in SIZES],
                       cwd=work, check=True)
        with open(os.path.join(work, "masks.raw"), "rb") as f:
            raw = f.read()
    plane = CANVAS_W * CANVAS_H
    if len(raw) != plane * len(SIZES) * len(texts):
        sys.exit("make_steps.py: the glyph helper wrote an unexpected amount of data")
    result = []
    for t in range(len(texts)):
        masks = []
        for s in range(len(SIZES)):
            start = (t * len(SIZES) + s) * plane
            masks.append([raw[start + y * CANVAS_W:start + (y + 1) * CANVAS_W] for y in range(CANVAS_H)])
        result.append(masks)
    return result


def ink_box(mask):
    xs = [x for row in mask for x, v in enumerate(row) if v]
    ys = [y for y, row in enumerate(mask) if any(row)]
    if not xs:
        sys.exit("make_steps.py: a label rendered no pixels")
    return min(xs), min(ys), max(xs) + 1, max(ys) + 1


def pick_size(masks, references):
    """The largest fitting mask, with its ink box; the vertical extent is that of the
    reference glyph, so labels with short glyphs keep the same baseline as the others."""
    for mask, reference in zip(masks, references):
        left, _, right, _ = ink_box(mask)
        if right - left <= WIDTH - 2 * TEXT_MARGIN:
            _, top, _, bottom = ink_box(reference)
            return mask, (left, top, right, bottom)
    sys.exit("make_steps.py: a label does not fit even at the smallest size")


def rounded_rect_coverage(x0, y0, x1, y1, r):
    """Area coverage (0..1) of a rounded rectangle, 4 x 4 samples per pixel."""
    cover = [[0.0] * WIDTH for _ in range(HEIGHT)]
    offsets = [(i + 0.5) / 4 for i in range(4)]
    for y in range(HEIGHT):
        for x in range(WIDTH):
            hits = 0
            for oy in offsets:
                for ox in offsets:
                    px, py = x + ox, y + oy
                    cx = min(max(px, x0 + r), x1 - r)
                    cy = min(max(py, y0 + r), y1 - r)
                    if (px - cx) ** 2 + (py - cy) ** 2 <= r * r:
                        hits += 1
            cover[y][x] = hits / 16
    return cover


OUTER = rounded_rect_coverage(1, 1, WIDTH - 1, HEIGHT - 1, RADIUS)
INNER = rounded_rect_coverage(2, 2, WIDTH - 2, HEIGHT - 2, RADIUS - 1)


def mix(a, b, t):
    return tuple(round(p + (q - p) * t) for p, q in zip(a, b))


def draw_tile(style, mask, box):
    left, top, right, bottom = box
    dx = (WIDTH - (right - left)) // 2 - left
    dy = (HEIGHT - (bottom - top)) // 2 - top
    pixels = []
    for y in range(HEIGHT):
        fill = mix(style["top"], style["bottom"], y / (HEIGHT - 1))
        row = []
        for x in range(WIDTH):
            colour = mix(BACKGROUND, style["border"], OUTER[y][x])
            colour = mix(colour, fill, INNER[y][x])
            my, mx = y - dy, x - dx
            if 0 <= my < CANVAS_H and 0 <= mx < CANVAS_W:
                colour = mix(colour, style["text"], mask[my][mx] / 255)
            row.append(colour)
        pixels.append(row)
    return pixels


def write_bmp(path, pixels):
    stride = (WIDTH * 3 + 3) & ~3
    image = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        image += line + bytes(stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(image), 0, 0, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(image), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(header + info + image)


def main():
    folder = os.path.dirname(os.path.abspath(__file__))
    letters = list(LABELS)
    *rendered, references = render_labels([LABELS[letter] for letter in letters] + [REFERENCE_GLYPH])
    for letter, masks in zip(letters, rendered):
        mask, box = pick_size(masks, references)
        # Both cases in one folder: the names differ by more than letter case.
        write_bmp(os.path.join(folder, f"{letter}_off.bmp"), draw_tile(TO_COME, mask, box))
        write_bmp(os.path.join(folder, f"{letter}_on.bmp"), draw_tile(REACHED, mask, box))


if __name__ == "__main__":
    main()
