#!/usr/bin/env python3
"""Uses a page in headless Chromium as a reader would, and checks what it
shows against the report:
    page_check.py PAGE.html PROFILE_DIR REPORT.txt [compared]
- the first zone block's section, drawn by the page's script when scrolled
  to: the value under the pointer on its Qs carpet at the zone's QsREF peak
  and on its temperature carpet at its hours farthest above Tmax and below
  Tmin; its charts made;
- the building's Qs carpet and duration curve (drawn by the viewer) under
  the pointer;
- the hourly chart: made when opened, a drag zooms it in, the wheel zooms
  it out, a zone added by name and a zone's temperatures appear;
- the index of zones filters as one types;
- with `compared`, the difference carpet under the pointer;
- nothing is fetched from the network; with scripts off, the tables and the
  building's pictures are still there.
Exits 1 when anything is not as it should be."""
import os
import struct
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "testkit"))
from devtools import Browser  # noqa: E402

page, profile, report = os.path.abspath(sys.argv[1]), sys.argv[2], sys.argv[3]
compared = len(sys.argv) > 4
MONTHS = ["ene", "feb", "mar", "abr", "may", "jun", "jul", "ago", "sep", "oct", "nov", "dic"]
DAYS = [31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31]
failures = 0


def verdict(what, good, shown=""):
    global failures
    print("%s: %s%s" % (what, "ok" if good else "WRONG", (" (%s)" % shown) if shown else ""))
    failures += not good


def date(hour):
    day, month = hour // 24, 0
    while day >= DAYS[month]:
        day -= DAYS[month]
        month += 1
    return "%d %s %02d:00" % (day + 1, MONTHS[month], hour % 24)


def first_block():
    """Treal, Tmax, Tmin and Qs of the report's first zone block's hours."""
    lines = open(report, "rb").read().split(b"\n")
    rows = [line.split(b",") for line in lines[9:9 + 8760]]
    return [[float(row[i]) for row in rows] for i in range(4)]


def building_qs():
    """Qs of the report's totals section, hour by hour."""
    lines = open(report, "rb").read().split(b"\n")
    start = next(i for i, line in enumerate(lines) if line.startswith(b"# TOTAL"))
    return [float(line.split(b",")[0]) for line in lines[start + 1:start + 1 + 8760]]


def shown_number(value):
    """A value as the page shows it: the report's float32 with six digits and a decimal comma."""
    return ("%g" % struct.unpack("f", struct.pack("f", value))[0]).replace(".", ",")


def in_band(treal, tmax, tmin, hour):
    """Whether a tooltip names the step of the hour's excess beyond the
    default tolerance of 0.2 K: "... Treal por encima de Tmax en 0,25 a
    0,5 K", "... en m\u00e1s de 3,75 K"."""
    excess = max(treal[hour] - tmax[hour], tmin[hour] - treal[hour])
    side = "por encima de Tmax" if treal[hour] > tmax[hour] else "por debajo de Tmin"

    def check(tip):
        if not tip.startswith(date(hour) + ": "):
            return False
        if excess <= 0.2:
            return tip.endswith("Treal dentro de sus consignas (con 0,2 K de tolerancia)")
        if excess > 3.75:
            return tip.endswith(side + " en m\u00e1s de 3,75 K")
        words = tip.replace(",", ".").split()
        return side in tip and float(words[-4]) < excess <= float(words[-2])
    return check


def hover_carpet(browser, tab, selector, hour):
    """The tooltip over hour `hour` of the carpet `selector` (a picture or a
    canvas, days across and hours down); None when there is none."""
    box = browser.evaluate(tab, "(function(){var e=document.querySelector(%r);if(!e)return null;"
                                "e.scrollIntoView({block:'center'});var r=e.getBoundingClientRect();"
                                "return [r.left,r.top,r.width,r.height];})()" % selector)
    if not box:
        return None
    x = box[0] + (hour // 24 + 0.5) / 365 * box[2]
    y = box[1] + (hour % 24 + 0.5) / 24 * box[3]
    browser.mouse(tab, "mouseMoved", x - 1, y)
    browser.mouse(tab, "mouseMoved", x, y)
    return browser.evaluate(tab, "(function(){var t=document.getElementById('tip');"
                                 "return t&&t.style.display==='block'?t.textContent:'';})()")


def wait_for(browser, tab, expression, seconds=10):
    deadline = time.time() + seconds
    while time.time() < deadline:
        value = browser.evaluate(tab, expression)
        if value:
            return value
        time.sleep(0.1)
    return None


def check_zone_section(browser, tab):
    treal, tmax, tmin, qs = first_block()
    peak = max(range(8760), key=lambda h: qs[h])
    above = max(range(8760), key=lambda h: treal[h] - tmax[h])
    below = max(range(8760), key=lambda h: tmin[h] - treal[h])
    zone = "section.zone"
    browser.evaluate(tab, "document.querySelector(%r).scrollIntoView()" % zone)
    drawn = wait_for(browser, tab, "document.querySelectorAll('%s .figs canvas').length >= 2 && "
                                   "document.querySelectorAll('%s .figs .uplot').length" % (zone, zone))
    verdict("first zone's pictures drawn when scrolled to", bool(drawn), "%s charts" % drawn)
    tip = hover_carpet(browser, tab, zone + " .figs canvas", peak) or ""
    verdict("zone's Qs carpet at %s" % date(peak), tip == date(peak) + ": Qs " + shown_number(qs[peak]) + " W", tip)
    for hour in (above, below):
        tip = hover_carpet(browser, tab, zone + " .figs figure:nth-child(2) canvas", hour) or ""
        verdict("zone's temperature carpet at %s" % date(hour), in_band(treal, tmax, tmin, hour)(tip), tip)


def check_building_carpet(browser, tab):
    qs = building_qs()
    peak = max(range(8760), key=lambda h: qs[h])
    tip = hover_carpet(browser, tab, "img.qcarpet", peak) or ""
    if not tip:  # the first move has the page decode the building's hours
        time.sleep(0.5)
        tip = hover_carpet(browser, tab, "img.qcarpet", peak) or ""
    verdict("building's Qs carpet at %s" % date(peak), tip == date(peak) + ": Qs " + shown_number(qs[peak]) + " W",
            tip)


def check_building_curve(browser, tab):
    box = browser.evaluate(tab, "(function(){var e=document.querySelector('figure[data-c] svg');"
                                "e.scrollIntoView({block:'center'});var r=e.getBoundingClientRect();"
                                "return [r.left,r.top,r.width,r.height];})()")
    x, y = box[0] + box[2] * 0.5, box[1] + box[3] * 0.5
    browser.mouse(tab, "mouseMoved", x, y)
    tip = browser.evaluate(tab, "document.getElementById('tip').textContent")
    verdict("a duration curve drawn by the viewer under the pointer", "hora " in tip and tip.endswith(" W"), tip)


def check_hourly_chart(browser, tab):
    browser.evaluate(tab, "(function(){var d=document.querySelector('details.hourly');d.open=true;"
                          "d.scrollIntoView();})()")
    made = wait_for(browser, tab, "(function(){var u=document.querySelector('details.hourly').uplot;"
                                  "return u?[u.scales.x.min,u.scales.x.max,u.series.length]:null;})()")
    verdict("hourly chart made when opened, the year shown", bool(made) and made[:2] == [0, 8759], made)
    if not made:
        return
    box = browser.evaluate(tab, "(function(){var o=document.querySelector('details.hourly .u-over')"
                                ".getBoundingClientRect();return [o.left,o.top,o.width,o.height];})()")
    x0, y = box[0] + box[2] * 0.3, box[1] + box[3] / 2
    browser.mouse(tab, "mouseMoved", x0, y)
    browser.mouse(tab, "mousePressed", x0, y, button="left", clickCount=1)
    for step in range(1, 11):
        browser.mouse(tab, "mouseMoved", x0 + step * 20, y, button="left")
    browser.mouse(tab, "mouseReleased", x0 + 200, y, button="left", clickCount=1)
    zoomed = wait_for(browser, tab, "(function(){var u=document.querySelector('details.hourly').uplot;"
                                    "return u.scales.x.max-u.scales.x.min<8000?[u.scales.x.min,u.scales.x.max]"
                                    ":null;})()", 3)
    verdict("a drag zooms the chart in", bool(zoomed), zoomed)
    browser.call("Input.dispatchMouseEvent", tab, type="mouseWheel", x=x0, y=y, deltaX=0, deltaY=300)
    wider = wait_for(browser, tab, "(function(){var u=document.querySelector('details.hourly').uplot;"
                                   "return u.scales.x.max-u.scales.x.min>%f?u.scales.x.max-u.scales.x.min:null;})()"
                     % ((zoomed[1] - zoomed[0]) if zoomed else 0), 3)
    verdict("the wheel zooms it out", bool(wider), wider)
    shown = ("(function(){var u=document.querySelector('details.hourly').uplot;"
             "return [u.scales.x.min,u.scales.x.max];})()")
    before = browser.evaluate(tab, shown)
    shift = 8  # the Shift key, in the protocol's modifier bits
    browser.mouse(tab, "mouseMoved", x0 + 200, y, modifiers=shift)
    browser.mouse(tab, "mousePressed", x0 + 200, y, button="left", clickCount=1, modifiers=shift)
    for step in range(1, 11):
        browser.mouse(tab, "mouseMoved", x0 + 200 - step * 15, y, button="left", modifiers=shift)
    browser.mouse(tab, "mouseReleased", x0 + 50, y, button="left", clickCount=1, modifiers=shift)
    time.sleep(0.3)
    after = browser.evaluate(tab, shown)
    panned = after[0] > before[0] and abs((after[1] - after[0]) - (before[1] - before[0])) < 1
    verdict("Shift and a drag pan it, its width kept", panned, [before, after])
    name = browser.evaluate(tab, "document.querySelector('nav.index a').textContent")
    browser.evaluate(tab, "(function(){var i=document.querySelector('details.hourly input.add-zone');"
                          "i.value=%r;i.dispatchEvent(new Event('change'));})()" % name)
    added = wait_for(browser, tab, "(function(){var u=document.querySelector('details.hourly').uplot;"
                                   "return u.series.map(function(s){return s.label;}).indexOf(%r)>=0;})()"
                     % ("Qs " + name), 5)
    verdict("a zone added by name is drawn", bool(added), name)
    browser.evaluate(tab, "(function(){var s=document.querySelector('details.hourly select.t-zone');"
                          "s.value='0';s.dispatchEvent(new Event('change'));})()")
    temperatures = wait_for(browser, tab, "(function(){var u=document.querySelector('details.hourly').uplot;"
                                          "return u.series.filter(function(s){return s.scale==='T';}).length;})()",
                            5)
    verdict("a zone's Treal, Tmax and Tmin on the second axis", temperatures == 3, temperatures)


def check_index(browser, tab):
    shown = browser.evaluate(tab, "(function(){var n=document.querySelector('nav.index'),"
                                  "i=n.querySelector('input.filter');i.value='Z01';"
                                  "i.dispatchEvent(new Event('input'));return [].filter.call(n.querySelectorAll('li'),"
                                  "function(l){return !l.hidden;}).map(function(l){return l.textContent;});})()")
    verdict("the index filters as one types", len(shown) >= 1 and all("Z01" in s for s in shown), shown)


with Browser(profile, width=1400, height=1800) as browser:
    requests = []

    def watch_network(tab):
        browser.call("Network.enable", tab)
        browser.call("Runtime.enable", tab)

    tab = browser.open("file://" + page, before_load=watch_network)
    check_zone_section(browser, tab)
    check_building_carpet(browser, tab)
    check_building_curve(browser, tab)
    check_hourly_chart(browser, tab)
    check_index(browser, tab)
    if compared:
        treal, tmax, tmin, qs = first_block()
        tip = hover_carpet(browser, tab, "section.comparison img[data-d]", 4000) or ""
        verdict("difference carpet at %s" % date(4000), tip.startswith(date(4000) + ": diferencia de Qs "), tip)
    fetched = [e["params"]["request"]["url"][:80] for e in browser.events
               if e.get("method") == "Network.requestWillBeSent"
               and not e["params"]["request"]["url"].startswith(("file://", "data:"))]
    verdict("nothing fetched from the network", not fetched, ", ".join(fetched))
    errors = [str(e["params"])[:200] for e in browser.events if e.get("method") == "Runtime.exceptionThrown"]
    verdict("no script error", not errors, "; ".join(errors))
    browser.close_tab(tab)

    # Scripts off: the tables and the building's pictures are there.
    def no_scripts(tab):
        browser.call("Emulation.setScriptExecutionDisabled", tab, value=True)

    tab = browser.open("file://" + page, before_load=no_scripts)
    seen = browser.evaluate(tab, "[document.querySelectorAll('table.summary tr').length,"
                                 "[].filter.call(document.querySelectorAll('img.qcarpet'),"
                                 "function(i){return i.complete&&i.naturalWidth>0;}).length,"
                                 "document.querySelectorAll('figure.peakday svg').length]")
    verdict("without scripts: summary rows, building's carpet and peak days", seen[0] >= 3 and seen[1] >= 1
            and seen[2] >= 1, seen)
sys.exit(1 if failures else 0)
