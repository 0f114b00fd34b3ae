#!/usr/bin/env python3
"""Turns a journey's pictures into the page gallery.

make_gallery.py GALLERY RECORD [PAGES]

GALLERY holds what kavo-journey.exe --pictures wrote: pictures.txt (one tab-separated line a
picture: number, screen id, page class, step letters, document, frame x y w h, browser x y
w h relative to the frame, frame picture) and default-stylesheet.css. RECORD is the scripted
browser's record (<pid>-<nnnn>.html, <pid>-<nnnn>.css when it wrote one). The HTML a page
wrote is rendered by headless Chromium at the browser control's size and placed into the
control's rectangle of the frame picture; index.html lists the pictures in journey order.
"""
import html
import os
import re
import shutil
import subprocess
import sys
import tempfile

CHARSET_LINE = b'<meta http-equiv="Content-Type" content="text/html; charset=Shift_JIS">\r\n'


def render(page_file, png, width, height):
    # Local files only; no profile, no background traffic.
    profile = tempfile.mkdtemp(prefix="kavo-chromium-")
    try:
        subprocess.run(
            ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--hide-scrollbars", "--user-data-dir=" + profile, "--screenshot=" + png,
             "--window-size=%d,%d" % (width, height), "file://" + page_file],
            check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
    finally:
        shutil.rmtree(profile, ignore_errors=True)


def styled(body, css):
    if not re.search(rb"charset", body[:1024], re.I):
        body = CHARSET_LINE + body
    # The sheets the page applied come last, as the browser adds them to the document.
    return body + b"\r\n<style>\r\n" + css + b"\r\n</style>\r\n"


def signed_in_pages(gallery, pages, default_css):
    """Renders the bench's documents; returns (screen, page class, picture, raw link) rows."""
    html_dir = os.path.join(gallery, "html")
    rows = []
    index = os.path.join(pages, "index.txt")
    if not os.path.exists(index):
        return rows
    for line in open(index, encoding="ascii"):
        screen, page_class, width, height = line.rstrip("\r\n").split("\t")
        name = "signed-in-" + screen
        body = open(os.path.join(pages, screen + ".html"), "rb").read()
        css_file = os.path.join(pages, screen + ".css")
        css = open(css_file, "rb").read() if os.path.exists(css_file) else b""
        shutil.copy(os.path.join(pages, screen + ".html"), os.path.join(html_dir, name + ".html"))
        page_file = os.path.join(html_dir, name + "-rendered.html")
        open(page_file, "wb").write(styled(body, css if css.strip() else default_css))
        picture = name + ".png"
        render(os.path.abspath(page_file), os.path.join(gallery, picture), int(width), int(height))
        rows.append((screen, page_class, picture, "html/%s.html" % name))
    return rows


def main():
    gallery, record = sys.argv[1], sys.argv[2]
    pages = sys.argv[3] if len(sys.argv) > 3 else None
    default_css = open(os.path.join(gallery, "default-stylesheet.css"), "rb").read()
    html_dir = os.path.join(gallery, "html")
    os.makedirs(html_dir, exist_ok=True)
    rows = []
    for line in open(os.path.join(gallery, "pictures.txt"), encoding="ascii"):
        number, screen, page_class, steps, document, _frame, browser, frame_png = line.rstrip("\n").split("\t")
        bx, by, bw, bh = (int(v) for v in browser.split())
        picture = "%02d.png" % int(number)
        raw_link = ""
        shutil.copy(os.path.join(gallery, frame_png), os.path.join(gallery, picture))
        if document != "-" and bw > 0 and bh > 0:
            source = os.path.join(record, document + ".html")
            body = open(source, "rb").read()
            css_file = os.path.join(record, document + ".css")
            css = open(css_file, "rb").read() if os.path.exists(css_file) else default_css
            shutil.copy(source, os.path.join(html_dir, document + ".html"))
            raw_link = "html/%s.html" % document
            page = styled(body, css)
            page_file = os.path.join(html_dir, "%02d-rendered.html" % int(number))
            open(page_file, "wb").write(page)
            rendered = os.path.join(html_dir, "%02d-rendered.png" % int(number))
            render(os.path.abspath(page_file), rendered, bw, bh)
            subprocess.run(["composite", "-geometry", "+%d+%d" % (bx, by), rendered,
                            os.path.join(gallery, picture), os.path.join(gallery, picture)], check=True)
        rows.append((number, screen, page_class, steps, picture, raw_link))

    signed_in = signed_in_pages(gallery, pages, default_css) if pages else []

    out = ['<!DOCTYPE html>', '<html lang="ja"><head><meta charset="utf-8"><title>KAVO page gallery</title>',
           '<style>body{font-family:sans-serif} figure{margin:1em 0 2em} img{border:1px solid #888}'
           ' img.page{border:1px solid #ccc}</style>',
           '</head><body>', '<h1>KAVO page gallery</h1>',
           '<p>The frame as shown under Xvfb, with the HTML each page wrote rendered into its browser area.</p>']
    for number, screen, page_class, steps, picture, raw_link in rows:
        link = '<a href="%s">raw HTML</a>' % html.escape(raw_link) if raw_link else "no HTML written"
        out.append('<figure id="p%s"><figcaption>%s. <b>%s</b> &middot; %s &middot; step bar: %s &middot; %s'
                   '</figcaption><img src="%s" alt="%s"></figure>'
                   % (number, number, html.escape(screen), html.escape(page_class), html.escape(steps or "(none)"),
                      link, picture, html.escape(screen)))
    if pages:
        out.append('<h2>サインイン後のページ</h2>')
        out.append('<p>Each page with a browser, shown for a signed-in customer with contracts and serials, '
                   'its HTML rendered at the size of its browser control.</p>' if signed_in else
                   '<p>No page wrote a document for the signed-in customer.</p>')
        for screen, page_class, picture, raw_link in signed_in:
            out.append('<figure id="s-%s"><figcaption><b>%s</b> &middot; %s &middot; <a href="%s">raw HTML</a>'
                       '</figcaption><img class="page" src="%s" alt="%s"></figure>'
                       % (html.escape(screen), html.escape(screen), html.escape(page_class), html.escape(raw_link),
                          html.escape(picture), html.escape(screen)))
    panel = os.path.join(gallery, "control", "progress-panel.bmp")
    if os.path.exists(panel):
        subprocess.run(["convert", panel, os.path.join(gallery, "progress-panel.png")], check=True)
        out.append('<h2>接続確認コントロール</h2>')
        out.append('<p>The connection-check control\'s progress panel while a diagnosis reports a step.</p>')
        out.append('<figure id="control-panel"><img class="page" src="progress-panel.png" alt="progress panel">'
                   '</figure>')
    printed = os.path.join(gallery, "print", "acknowledgement.bmp")
    if os.path.exists(printed):
        subprocess.run(["convert", printed, os.path.join(gallery, "acknowledgement.png")], check=True)
        out.append('<h2>ご注文内容のお知らせ</h2>')
        out.append('<p>The order acknowledgement as the built-in print script draws it on one page.</p>')
        out.append('<figure id="print-acknowledgement"><img class="page" src="acknowledgement.png" '
                   'alt="order acknowledgement"></figure>')
    out.append('</body></html>')
    open(os.path.join(gallery, "index.html"), "w", encoding="utf-8").write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
