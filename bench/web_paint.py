#!/usr/bin/python3
"""First contentful paint of an exported site's first page, opened from disk in headless Chromium, beside
a page of one line of text opened the same way. Prints the median of RUNS loads of each; target 1000 ms.

Usage: web_paint.py SITE_DIR RUNS
"""
import shutil
import statistics
import sys
import tempfile
import time
from pathlib import Path

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "web"))
from site_test import start_browser  # noqa: E402

TARGET_MS = 1000

PAINT_JS = """
const p = performance.getEntriesByType('paint').find(e => e.name === 'first-contentful-paint');
return p ? p.startTime : null;
"""


def first_paint(driver, url, runs):
    times = []
    for _ in range(runs):
        driver.get("about:blank")
        driver.get(url)
        deadline = time.monotonic() + 10
        paint = None
        while paint is None and time.monotonic() < deadline:
            paint = driver.execute_script(PAINT_JS)
            if paint is None:
                time.sleep(0.05)
        if paint is None:
            sys.exit("FAIL: %s reported no first contentful paint" % url)
        times.append(paint)
    return statistics.median(times)


def main():
    site, runs = Path(sys.argv[1]).resolve(), int(sys.argv[2])
    with tempfile.TemporaryDirectory() as plain_dir:
        plain = Path(plain_dir) / "plain.html"
        plain.write_text('<!DOCTYPE html><html lang="es"><head><meta charset="utf-8"><title>p</title></head>'
                         "<body><p>Sensores Remotos</p></body></html>", encoding="utf-8")
        driver, profile = start_browser(1339, 797)
        try:
            plain_ms = first_paint(driver, plain.as_uri(), runs)
            site_ms = first_paint(driver, (site / "index.html").as_uri(), runs)
        finally:
            driver.quit()
            shutil.rmtree(profile, ignore_errors=True)
    print("web first paint: %.0f ms (target %d ms), a page of one line %.0f ms, ratio %.1f"
          % (site_ms, TARGET_MS, plain_ms, site_ms / max(plain_ms, 1)))


if __name__ == "__main__":
    main()
