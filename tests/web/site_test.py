#!/usr/bin/python3
"""Opens a site written by `orvanta-form export-html` in headless Chromium, from disk with the network
switched off, and checks it against the pages `orvanta-form render` drew of the same definition: the tab
row by mouse and keyboard, the status line, addresses and the Back button, every control's place, the
pictures' pixels, the list boxes' keys, read-only texts, text alternatives; then, without the browser,
every reference in the files and the HTML checker's verdict.

Usage: site_test.py [--alt-required] SITE_DIR RENDER_DIR
  --alt-required  every picture must have a non-empty text alternative (the course has one for each)
"""
import argparse
import io
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
from html.parser import HTMLParser
from pathlib import Path
from urllib.parse import unquote

from PIL import Image, ImageChops, ImageDraw
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.keys import Keys

# JPEG pictures are decoded twice, by libjpeg in the desktop program and by the browser's own decoder,
# which round the inverse transform and the chroma upsampling each their own way; pictures the control
# stretches are resampled by each (nearest neighbour on the desktop), which moves a few pixels' sampling
# phase. Measured on the course with the browser told to resample by nearest neighbour: at most 0.51 on
# average per channel and 1 at the 99th percentile (the largest single difference, 195, at a handful of
# pixels on the phase's edge). Faults give far more: any of the course's JPEG pictures one pixel out of
# place differs by at least 4.9 on average and 108 at the 99th percentile; smooth resampling against the
# desktop's nearest neighbour by 2 to 12 on average; a colour profile applied by one side only by 54.
JPEG_MEAN_LIMIT = 1.0  # mean absolute difference per channel
JPEG_P99_LIMIT = 8  # 99th percentile of the absolute difference, per channel
RECT_TOLERANCE = 0.5  # px, at scale 1
SCALED_TOLERANCE = 1.0  # px, when the form is scaled to a narrower window
LOSSLESS_KINDS = ("bitmap", "gif", "icon")


class Failures(list):
    def check(self, ok, message):
        if not ok:
            self.append(message)
            print("FAIL: " + message, flush=True)
        return ok


def start_browser(width, height):
    profile = tempfile.mkdtemp(prefix="orv-web-profile-")
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                "--disable-background-networking", "--disable-component-update", "--disable-sync",
                "--hide-scrollbars", "--force-device-scale-factor=1", "--force-color-profile=srgb",
                "--user-data-dir=" + profile, "--window-size=%d,%d" % (width, height)):
        options.add_argument(arg)
    # The console's messages, and the network's requests (file:// loads included) for check_loaded.
    options.set_capability("goog:loggingPrefs", {"browser": "ALL", "performance": "ALL"})
    options.add_experimental_option("perfLoggingPrefs", {"enableNetwork": True, "enablePage": False})
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.execute_cdp_cmd("Network.enable", {})
    driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
        "offline": True, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})
    set_viewport(driver, width, height)
    return driver, profile


def set_viewport(driver, width, height):
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})


STATE_JS = """
const shown = [...document.querySelectorAll('[role=tabpanel]')].filter(p => !p.hidden).map(p => p.id);
const selected = [...document.querySelectorAll('[role=tab]')]
    .filter(t => t.getAttribute('aria-selected') === 'true').map(t => t.id);
const zero = [...document.querySelectorAll('[role=tab]')]
    .filter(t => t.getAttribute('tabindex') === '0').map(t => t.id);
const status = document.getElementById('status');
return {status: status ? status.textContent.trim() : null, shown, selected, zero,
        focus: document.activeElement ? document.activeElement.id : ''};
"""


def expect_page(driver, fails, n, how, focus=False):
    s = driver.execute_script(STATE_JS)
    where = "page %d (%s)" % (n, how)
    ok = fails.check(s["status"] == "Page index: %d" % n, "%s: status reads %r" % (where, s["status"]))
    ok &= fails.check(s["shown"] == ["page-%d" % n], "%s: panels shown %s" % (where, s["shown"]))
    ok &= fails.check(s["selected"] == ["tab-%d" % n] and s["zero"] == ["tab-%d" % n],
                      "%s: tabs selected %s, with tabindex 0 %s" % (where, s["selected"], s["zero"]))
    if focus:
        ok &= fails.check(s["focus"] == "tab-%d" % n, "%s: focus on %r" % (where, s["focus"]))
    return ok


def click_tab(driver, n):
    tab = driver.find_element("id", "tab-%d" % n)
    driver.execute_script("arguments[0].scrollIntoView({block: 'nearest', inline: 'nearest'})", tab)
    tab.click()


def open_site(driver, url):
    driver.get("about:blank")
    driver.get(url)


def check_navigation(driver, fails, url, pages):
    """Every page by its tab and by the keys; addresses; the Back button."""
    open_site(driver, url)
    s = driver.execute_script(STATE_JS)
    fails.check(s["status"] == "Page index: 0" and s["shown"] == ["page-0"],
                "at start: status %r, panels shown %s" % (s["status"], s["shown"]))
    for n in list(range(1, pages)) + [0]:
        click_tab(driver, n)
        expect_page(driver, fails, n, "tab clicked")
        address = driver.execute_script("return location.hash")
        fails.check(address == "#page-%d" % n, "page %d (tab clicked): address ends %r" % (n, address))
    driver.execute_script("document.getElementById('tab-0').focus()")
    for n in range(1, pages):
        driver.switch_to.active_element.send_keys(Keys.ARROW_RIGHT)
        if not expect_page(driver, fails, n, "ArrowRight", focus=True):
            break
    driver.switch_to.active_element.send_keys(Keys.ARROW_RIGHT)
    expect_page(driver, fails, pages - 1, "ArrowRight on the last tab", focus=True)
    for n in range(pages - 2, -1, -1):
        driver.switch_to.active_element.send_keys(Keys.ARROW_LEFT)
        if not expect_page(driver, fails, n, "ArrowLeft", focus=True):
            break
    driver.switch_to.active_element.send_keys(Keys.ARROW_LEFT)
    expect_page(driver, fails, 0, "ArrowLeft on the first tab", focus=True)
    driver.switch_to.active_element.send_keys(Keys.END)
    expect_page(driver, fails, pages - 1, "End", focus=True)
    driver.switch_to.active_element.send_keys(Keys.HOME)
    expect_page(driver, fails, 0, "Home", focus=True)

    for n in sorted({1 % pages, pages // 2, pages - 1}):
        open_site(driver, url + "#page-%d" % n)
        expect_page(driver, fails, n, "opened as #page-%d" % n)
    open_site(driver, url)
    first, second = 1, (pages - 1 if pages > 2 else 0)
    click_tab(driver, first)
    click_tab(driver, second)
    driver.back()
    expect_page(driver, fails, first, "Back after tabs %d and %d" % (first, second))
    driver.back()
    expect_page(driver, fails, 0, "Back twice after tabs %d and %d" % (first, second))


RECTS_JS = """
const out = {};
for (const name of arguments[0]) {
  const all = document.querySelectorAll('[data-name="' + CSS.escape(name) + '"]');
  if (all.length !== 1) { out[name] = {count: all.length}; continue; }
  const el = all[0], r = el.getBoundingClientRect(), img = el.querySelector('img');
  const ancestors = [];
  for (let a = el.parentElement.closest('[data-name]'); a; a = a.parentElement.closest('[data-name]'))
    ancestors.push(a.dataset.name);
  const ir = img && img.getBoundingClientRect();
  out[name] = {count: 1, cls: el.dataset.class, kind: el.dataset.kind || null, ancestors,
               shown: el.checkVisibility({visibilityProperty: true}) && el.getClientRects().length > 0,
               rect: [r.left, r.top, r.width, r.height],
               img: img && {src: img.getAttribute('src'), rect: [ir.left, ir.top, ir.width, ir.height]}};
}
return out;
"""

# Pictures decoded off the painting thread may miss a frame: the shown ones are decoded at once, and two
# frames pass before the screenshot.
IMAGES_READY_JS = """
const done = arguments[arguments.length - 1];
const imgs = [...document.querySelectorAll('img')].filter(i => i.checkVisibility());
imgs.forEach(i => { i.decoding = 'sync'; i.loading = 'eager'; });
Promise.allSettled(imgs.map(i => i.decode())).then(results => {
  const broken = imgs.filter((i, k) => results[k].status === 'rejected' || !i.naturalWidth)
                     .map(i => i.getAttribute('src'));
  requestAnimationFrame(() => requestAnimationFrame(() => done(broken)));
});
"""


def screenshot(driver):
    """The viewport once two screenshots in a row agree."""
    last = driver.get_screenshot_as_png()
    for _ in range(20):
        time.sleep(0.05)
        shot = driver.get_screenshot_as_png()
        if shot == last:
            break
        last = shot
    return Image.open(io.BytesIO(last)).convert("RGB")


def difference_stats(a, b, mask):
    """Largest, mean and 99th-percentile absolute difference per channel over the mask's pixels."""
    diff = ImageChops.difference(a, b)
    hist = diff.histogram(mask=mask)
    worst = mean = p99 = 0
    for c in range(3):
        h = hist[256 * c:256 * (c + 1)]
        total = sum(h)
        if not total:
            return None
        worst = max(worst, max(v for v in range(256) if h[v]))
        mean = max(mean, sum(v * h[v] for v in range(256)) / total)
        seen = 0
        for v in range(256):
            seen += h[v]
            if seen >= 0.99 * total:
                p99 = max(p99, v)
                break
    return worst, mean, p99


def intersect(a, b):
    return (max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3]))


def corners(rect):
    return (round(rect[0]), round(rect[1]), round(rect[0] + rect[2]), round(rect[1] + rect[3]))


def compare_pictures(fails, site, n, controls, found, shot, desk, worst):
    """The pixels each picture shows, where no later control paints over it and its parents do not clip
    it, against the desktop's; a PNG's transparent pixels show what lies beneath and are left out."""
    rects = {c["name"]: c["rect"] for c in controls}
    for i, c in enumerate(controls):
        kind, f = c.get("kind"), found[c["name"]]
        if c["class"] != "TImage" or kind not in LOSSLESS_KINDS + ("jpeg",) or f["count"] != 1 or not f["img"]:
            continue
        box = intersect(corners(c["rect"]), corners(f["img"]["rect"]))
        box = intersect(box, (0, 0) + shot.size)
        for a in f["ancestors"]:
            if a in rects:
                box = intersect(box, corners(rects[a]))
        if box[2] <= box[0] or box[3] <= box[1]:
            continue
        mask = Image.new("L", (box[2] - box[0], box[3] - box[1]), 255)
        draw = ImageDraw.Draw(mask)
        for later in controls[i + 1:]:
            l, t, lw, lh = later["rect"]
            if lw > 0 and lh > 0:
                draw.rectangle((l - box[0], t - box[1], l + lw - 1 - box[0], t + lh - 1 - box[1]), fill=0)
        where = "page %d, %s %s (%s)" % (n, c["class"], c["name"], kind)
        visible = mask.getbbox() is not None
        picture = Image.open(site / unquote(f["img"]["src"]))
        if picture.mode in ("RGBA", "LA", "P") and picture.size == tuple(round(v) for v in f["img"]["rect"][2:]):
            alpha = picture.convert("RGBA").getchannel("A").point(lambda v: 255 if v == 255 else 0)
            left, top = corners(f["img"]["rect"])[:2]
            opaque = Image.new("L", mask.size, 0)
            opaque.paste(alpha, (left - box[0], top - box[1]))
            mask = ImageChops.multiply(mask, opaque)
        stats = difference_stats(shot.crop(box), desk.crop(box), mask)
        if stats is None:
            fails.check(not visible, where + ": not one opaque pixel shows")
            continue
        group = "jpeg" if kind == "jpeg" else "lossless"
        if group not in worst or stats > worst[group][0]:
            worst[group] = (stats, where)
        if kind == "jpeg":
            fails.check(stats[1] <= JPEG_MEAN_LIMIT and stats[2] <= JPEG_P99_LIMIT,
                        "%s: differs from the desktop by %.2f on average, %d at the 99th percentile (largest %d)"
                        % (where, stats[1], stats[2], stats[0]))
        else:
            fails.check(stats[0] == 0, "%s: pixels differ from the desktop's by up to %d (mean %.3f)"
                        % (where, stats[0], stats[1]))


OPTION_HEIGHTS_JS = """
return [...document.querySelectorAll('[role=listbox]')].filter(b => b.checkVisibility()).map(b => [
  b.closest('[data-name]').dataset.name,
  [...new Set([...b.querySelectorAll('[role=option]')].map(o => o.getBoundingClientRect().height))]]);
"""


def check_pages(driver, fails, site, url, render_dir, pages, width, height, worst):
    """Every control at its place on every page; the pictures' pixels against the desktop's."""
    open_site(driver, url)
    for n in range(pages):
        page = json.loads((render_dir / ("page-%02d.json" % n)).read_text())
        if n:
            click_tab(driver, n)
        controls = [c for c in page["controls"] if c.get("name")]
        found = driver.execute_script(RECTS_JS, [c["name"] for c in controls])
        for c in controls:
            where = "page %d, %s %s" % (n, c["class"], c["name"])
            f = found[c["name"]]
            if not fails.check(f["count"] == 1, "%s: %d elements with its name" % (where, f["count"])):
                continue
            fails.check(f["shown"], where + ": not shown")
            fails.check(f["cls"] == c["class"], "%s: data-class %r" % (where, f["cls"]))
            fails.check(all(abs(x - y) <= RECT_TOLERANCE for x, y in zip(f["rect"], c["rect"])),
                        "%s: at %s, the desktop has %s" % (where, [round(x, 2) for x in f["rect"]], c["rect"]))
            if c["class"] == "TImage":
                fails.check(f["kind"] == c.get("kind"), "%s: data-kind %r, want %r" % (where, f["kind"], c.get("kind")))
        # Items stand one below the other at one height, as on the desktop, the empty ones too.
        for name, heights in driver.execute_script(OPTION_HEIGHTS_JS):
            fails.check(len(heights) <= 1 and all(h > 0 for h in heights),
                        "page %d, list box %s: items %s px high" % (n, name, heights))
        broken = driver.execute_async_script(IMAGES_READY_JS)
        fails.check(not broken, "page %d: pictures that do not load: %s" % (n, broken))
        shot = screenshot(driver)
        desk = Image.open(render_dir / ("page-%02d.png" % n)).convert("RGB")
        if fails.check(shot.size == (width, height) and desk.size == (width, height),
                       "page %d: screenshot %s, desktop %s, want %dx%d" % (n, shot.size, desk.size, width, height)):
            compare_pictures(fails, site, n, controls, found, shot, desk, worst)


def check_scaled(driver, fails, url, render_dir, width, height):
    """In a narrower window the whole form shrinks to its width."""
    narrow = int(width * 0.75)
    scale = narrow / width
    set_viewport(driver, narrow, height)
    open_site(driver, url)
    page = json.loads((render_dir / "page-00.json").read_text())
    controls = [c for c in page["controls"] if c.get("name")]
    found = driver.execute_script(RECTS_JS, [c["name"] for c in controls])
    form = driver.execute_script("const r = document.getElementById('form').getBoundingClientRect();"
                                 "return [r.left, r.top, r.width, r.height]")
    fails.check(abs(form[2] - narrow) <= SCALED_TOLERANCE and abs(form[3] - height * scale) <= SCALED_TOLERANCE,
                "form at %s in a window %d wide, want %.1f x %.1f" % (form, narrow, narrow, height * scale))
    for c in controls:
        f = found[c["name"]]
        if f["count"] == 1:
            want = [form[0] + c["rect"][0] * scale, form[1] + c["rect"][1] * scale,
                    c["rect"][2] * scale, c["rect"][3] * scale]
            fails.check(all(abs(x - y) <= SCALED_TOLERANCE for x, y in zip(f["rect"], want)),
                        "page 0 at scale %.2f, %s: at %s, want %s" % (scale, c["name"], f["rect"], want))
    set_viewport(driver, width, height)


def check_controls(driver, fails, url, alt_required):
    """List boxes by the keys, read-only texts, text alternatives, the language."""
    open_site(driver, url)
    fails.check(driver.execute_script("return document.documentElement.lang") == "es", "<html> lacks lang=\"es\"")
    imgs = driver.execute_script("return [...document.images].map(i => [i.getAttribute('src'), i.getAttribute('alt')])")
    for src, alt in imgs:
        fails.check(alt is not None and (alt.strip() or not alt_required), "picture %s: text alternative %r" % (src, alt))
    lazy = driver.execute_script("return [...document.querySelectorAll('[role=tabpanel][hidden] img')]"
                                 ".filter(i => i.loading !== 'lazy').map(i => i.getAttribute('src'))")
    fails.check(not lazy, "pictures of pages not shown load eagerly: %s" % lazy[:5])
    texts = driver.execute_script("""return [...document.querySelectorAll('[data-class=TMemo],[data-class=TRichEdit]')]
        .map(e => { const t = e.matches('textarea,[role=textbox]') ? e : e.querySelector('textarea,[role=textbox]');
          return [e.dataset.name, e.dataset.class, t ? t.tagName : null,
                  t ? (t.readOnly === true || t.getAttribute('aria-readonly') === 'true') : false,
                  t ? t.getAttribute('aria-multiline') : null, t ? t.querySelectorAll('p').length : 0]; })""")
    for name, cls, tag, _, multi, paragraphs in texts:
        if cls == "TMemo":
            fails.check(tag == "TEXTAREA", "memo %s: no <textarea>" % name)
        else:
            fails.check(multi == "true" and paragraphs > 0,
                        "rich edit %s: no multi-line textbox with paragraphs" % name)
    fails.check(any(t[3] for t in texts), "no memo or rich edit is read-only: %s" % texts)

    boxes = driver.find_elements("css selector", "[role=listbox][tabindex='0']")
    if not fails.check(boxes, "no keyboard-selectable list box"):
        return
    box = boxes[0]
    panel = driver.execute_script("const p = arguments[0].closest('[role=tabpanel]'); return p ? p.id : null", box)
    if panel:
        click_tab(driver, int(panel.split("-")[1]))
    driver.execute_script("arguments[0].focus()", box)
    name = box.get_attribute("data-name") or box.find_element("xpath", "./ancestor::*[@data-name][1]").get_attribute("data-name")
    options_js = "return [...arguments[0].querySelectorAll('[role=option]')].map(o => [o.textContent, o.getAttribute('aria-selected') === 'true'])"

    def selected():
        opts = driver.execute_script(options_js, box)
        chosen = [k for k, (_, sel) in enumerate(opts) if sel]
        return opts, chosen

    opts, chosen = selected()
    start = chosen[0] if chosen else -1
    for step in (1, 2):
        box.send_keys(Keys.ARROW_DOWN)
        fails.check(selected()[1] == [min(start + step, len(opts) - 1)],
                    "list box %s: ArrowDown %d from %d selects %s" % (name, step, start, selected()[1]))
    box.send_keys(Keys.END)
    fails.check(selected()[1] == [len(opts) - 1], "list box %s: End selects %s" % (name, selected()[1]))
    box.send_keys(Keys.HOME)
    fails.check(selected()[1] == [0], "list box %s: Home selects %s" % (name, selected()[1]))
    first = opts[0][0].strip().lower()[:1]
    letters = [t.strip().lower()[:1] for t, _ in opts]
    letter = next((c for c in letters[1:] if "a" <= c <= "z" and c != first), None)
    if fails.check(letter, "list box %s: no item to find by its first letter" % name):
        time.sleep(1.1)  # a pause ends any earlier typing
        box.send_keys(letter)
        want = next(k for k in range(1, len(opts)) if letters[k] == letter)
        fails.check(selected()[1] == [want], "list box %s: typing %r selects %s, want %d"
                    % (name, letter, selected()[1], want))


def check_loaded(driver, fails, site):
    """Everything the site's page loaded came from the site's folder; the console shows no error."""
    index = (site / "index.html").as_uri()
    names = driver.execute_script("return performance.getEntriesByType('resource').map(e => e.name)")
    for entry in driver.get_log("performance"):
        message = json.loads(entry["message"])["message"]
        if message["method"] == "Network.requestWillBeSent" and \
                message["params"].get("documentURL", "").split("#")[0] == index:
            names.append(message["params"]["request"]["url"])
    root = str(site) + os.sep
    for name in sorted(set(names)):
        path = re.sub(r"[#?].*$", "", name)
        fails.check(path.startswith("file://") and os.path.realpath(unquote(path[len("file://"):])).startswith(root),
                    "loaded from outside the site: " + name[:200])
    for entry in driver.get_log("browser"):
        fails.check(entry["level"] != "SEVERE", "browser console: " + entry["message"])
    return len(names)


class References(HTMLParser):
    def __init__(self):
        super().__init__()
        self.refs = []

    def handle_starttag(self, tag, attrs):
        for key, value in attrs:
            if key in ("src", "href") and value is not None:
                self.refs.append((tag, value))


def check_files(fails, site):
    """Every reference resolves to a file in the site; the HTML checker finds nothing to say."""
    index = site / "index.html"
    parser = References()
    parser.feed(index.read_text(encoding="utf-8"))
    refs = [("index.html <%s>" % tag, value) for tag, value in parser.refs]
    css = site / "course.css"
    if fails.check(css.is_file(), "no course.css"):
        refs += [("course.css", u) for u in re.findall(r"url\(\s*['\"]?([^'\")]+)", css.read_text(encoding="utf-8"))]
    for where, ref in refs:
        if ref.startswith("#"):
            continue
        path = unquote(re.sub(r"[#?].*$", "", ref))
        target = (site / path).resolve()
        fails.check(not re.match(r"^[a-zA-Z][a-zA-Z0-9+.-]*:|^/", ref) and target.is_file()
                    and str(target).startswith(str(site.resolve()) + os.sep),
                    "%s: %r does not name a file in the site" % (where, ref))
    # Debian's tidy (5.6) predates the loading attribute of pictures and calls it proprietary; that one
    # warning is no fault.
    tidy = subprocess.run(["tidy", "-q", "-e", str(index)], capture_output=True, text=True)
    said = [line for line in tidy.stderr.splitlines() if ("Warning:" in line or "Error:" in line)
            and not line.endswith('<img> proprietary attribute "loading"')]
    fails.check(tidy.returncode in (0, 1) and not said,
                "tidy on index.html (exit %d):\n%s" % (tidy.returncode, "\n".join(said[:20])))
    return len(refs)


def main():
    args = argparse.ArgumentParser()
    args.add_argument("--alt-required", action="store_true")
    args.add_argument("site", type=Path)
    args.add_argument("render", type=Path)
    opts = args.parse_args()
    site, render_dir = opts.site.resolve(), opts.render.resolve()
    pages = len(list(render_dir.glob("page-*.png")))
    first = json.loads((render_dir / "page-00.json").read_text())
    width, height = first["width"], first["height"]
    url = (site / "index.html").as_uri()
    fails = Failures()
    worst = {}
    driver, profile = start_browser(width, height)
    try:
        driver.get(url)
        # At the form's own width the form fills the window from its top-left corner, at scale 1.
        form = driver.execute_script("const f = document.getElementById('form'), r = f && f.getBoundingClientRect();"
                                     "return f && [innerWidth, innerHeight, f.dataset.width, f.dataset.height,"
                                     "             r.left, r.top, r.width, r.height]")
        if not fails.check(form and form == [width, height, str(width), str(height), 0, 0, width, height],
                           "window, #form's data and bounds %s, want %d x %d" % (form, width, height)):
            raise SystemExit(1)
        check_navigation(driver, fails, url, pages)
        check_pages(driver, fails, site, url, render_dir, pages, width, height, worst)
        check_loaded(driver, fails, site)  # with every page's pictures loaded
        check_controls(driver, fails, url, opts.alt_required)
        check_scaled(driver, fails, url, render_dir, width, height)
        check_loaded(driver, fails, site)
    finally:
        driver.quit()
        shutil.rmtree(profile, ignore_errors=True)
    refs = check_files(fails, site)
    for group, (stats, where) in sorted(worst.items()):
        print("worst %s picture: %s: largest difference %d, mean %.3f, 99th percentile %d"
              % (group, where, stats[0], stats[1], stats[2]))
    print("%d pages, %d references, %d failures" % (pages, refs, len(fails)))
    print("%d passed, %d failed" % (0 if fails else 1, 1 if fails else 0))
    return 1 if fails else 0


if __name__ == "__main__":
    sys.exit(main())
