#!/usr/bin/env python3
"""Opens pages in headless Chromium, over its DevTools pipe, as a reader
does, and reports when each first paints and when its load event ends, from
the page's own performance entries (milliseconds from the navigation's
start). The pages are opened in turn, each in a fresh tab, PAIRS rounds, so
that the machine's drift hits them alike; prints the median of each.
    page_load.py PROFILE_DIR PAIRS PAGE.html...
"""
import os
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "testkit"))
from devtools import Browser  # noqa: E402

TIMES = ("(function(){var n=performance.getEntriesByType('navigation')[0],"
         "p=performance.getEntriesByName('first-contentful-paint')[0];"
         "return [p?p.startTime:-1, n.loadEventEnd];})()")

profile, pairs, pages = sys.argv[1], int(sys.argv[2]), [os.path.abspath(p) for p in sys.argv[3:]]
seen = {page: ([], []) for page in pages}
with Browser(profile, width=1400, height=1000) as browser:
    browser.close_tab(browser.open("about:blank"))  # the browser started before the first measure
    for _ in range(pairs):
        for page in pages:
            tab = browser.open("file://" + page)
            paint, load = browser.evaluate(tab, TIMES)
            seen[page][0].append(paint)
            seen[page][1].append(load)
            browser.close_tab(tab)
for page in pages:
    paints, loads = seen[page]
    print("%s\t%.0f\t%.0f\t%d" % (page, statistics.median(paints), statistics.median(loads),
                                  os.path.getsize(page)))
