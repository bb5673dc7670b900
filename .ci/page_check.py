#!/usr/bin/env python3
"""Uses a page in headless Chromium as a reader would, and checks what it
shows against the reports:
    page_check.py PAGE.html PROFILE_DIR REPORT.txt [--variant VARIANT.txt] [--numbers SAMPLE]
- the first zone block's section, drawn by the page's script when scrolled
  to: the value under the pointer on its Qs carpet at the zone's QsREF peak
  and on its temperature carpet at its hours farthest above Tmax and below
  Tmin; its charts made;
- the building's pictures, drawn by the script as they come into view: its
  Qs and simultaneous carpets under the pointer at their peaks, its
  duration curve and monthly bars under the pointer, each value the
  report's;
- the hourly chart: made when opened, a drag zooms it in, the wheel zooms
  it out, Shift and a drag pan it, a zone added by name and a zone's
  temperatures appear (the range shown read from the chart's legend at its
  edges);
- the index of zones filters as one types;
- with --variant (a page made with --comparar of REPORT and VARIANT): the
  difference carpet under the pointer, both duration curves and both
  monthly energies;
- with --numbers (format-check --page-sample): the script's number text
  (view/page/script/text.js, as the page holds it) against the viewer's
  formatter on that sample;
- nothing is fetched from the network, no script fails; with scripts off,
  the tables and the figures as text are there, and a note where the
  pictures would be.
Exits 1 when anything is not as it should be."""
import argparse
import json
import os
import struct
import sys
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "testkit"))
from devtools import Browser  # noqa: E402

arguments = argparse.ArgumentParser()
arguments.add_argument("page")
arguments.add_argument("profile")
arguments.add_argument("report")
arguments.add_argument("--variant")
arguments.add_argument("--numbers")
options = arguments.parse_args()
page = os.path.abspath(options.page)
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


def hour_of(text):
    """The hour a date such as "17 jul 13:00" names."""
    day, month, clock = text.split()
    return (sum(DAYS[:MONTHS.index(month)]) + int(day) - 1) * 24 + int(clock[:2])


def first_block(report):
    """Treal, Tmax, Tmin and Qs of a report's first zone block's hours."""
    lines = open(report, "rb").read().split(b"\n")
    rows = [line.split(b",") for line in lines[9:9 + 8760]]
    return [[float(row[i]) for row in rows] for i in range(4)]


def totals(report):
    """The totals section's columns, hour by hour: Qs, QL, Qs not above 0, Qs above 0."""
    lines = open(report, "rb").read().split(b"\n")
    start = next(i for i, line in enumerate(lines) if line.startswith(b"# TOTAL"))
    rows = [line.split(b",") for line in lines[start + 1:start + 1 + 8760]]
    return [[float(row[i]) for row in rows] for i in range(4)]


def shown(value):
    """A value as the page shows it: six significant digits ("%g", ties to even) and a decimal comma."""
    return ("%g" % value).replace(".", ",")


def shown_float32(value):
    """A value the report wrote (a float32) as the page shows it."""
    return shown(struct.unpack("f", struct.pack("f", value))[0])


def in_band(treal, tmax, tmin, hour):
    """Whether a tooltip names the step of the hour's excess beyond the
    default tolerance of 0.2 K: "... Treal por encima de Tmax en 0,25 a
    0,5 K", "... en m\u00e1s de 3,75 K"."""
    excess = max(treal[hour] - tmax[hour], tmin[hour] - treal[hour])
    side = "por encima de Tmax" if treal[hour] > tmax[hour] else "por debajo de Tmin"
    # The slack the viewer gives the report's rounding: 19.72 against a Tmin
    # of 19.92 is 0.20000000000000284 below it, and inside.
    slack = 1e-9 * max(1, abs(treal[hour]), abs(tmax[hour]), abs(tmin[hour]))

    def check(tip):
        if not tip.startswith(date(hour) + ": "):
            return False
        if excess - 0.2 <= slack:
            return tip.endswith("Treal dentro de sus consignas (con 0,2 K de tolerancia)")
        if excess > 3.75:
            return tip.endswith(side + " en m\u00e1s de 3,75 K")
        words = tip.replace(",", ".").split()
        return side in tip and float(words[-4]) < excess <= float(words[-2])
    return check


def box_of(browser, tab, selector, index=0):
    """The box of the element `selector` (the `index`th), scrolled into view; None when there is none."""
    return browser.evaluate(tab, "(function(){var e=document.querySelectorAll(%r)[%d];if(!e)return null;"
                                 "e.scrollIntoView({block:'center'});var r=e.getBoundingClientRect();"
                                 "return [r.left,r.top,r.width,r.height];})()" % (selector, index))


def hover_carpet(browser, tab, selector, hour):
    """The tooltip over hour `hour` of the carpet `selector` (days across and
    hours down); '' when there is none."""
    box = box_of(browser, tab, selector)
    if not box:
        return ""
    x = box[0] + (hour // 24 + 0.5) / 365 * box[2]
    y = box[1] + (hour % 24 + 0.5) / 24 * box[3]
    browser.mouse(tab, "mouseMoved", x - 1, y)
    browser.mouse(tab, "mouseMoved", x, y)
    return browser.evaluate(tab, "(function(){var t=document.getElementById('tip');"
                                 "return t&&t.style.display==='block'?t.textContent:'';})()")


def legend(browser, tab, chart):
    """A chart's legend (`chart` selects its .uplot): {label: value shown}."""
    rows = browser.evaluate(tab, "[].map.call(document.querySelector(%r).querySelectorAll('.u-legend tr'),"
                                 "function(r){return [r.querySelector('.u-label').textContent,"
                                 "r.querySelector('.u-value').textContent];})" % chart)
    return dict(rows)


def hover_chart(browser, tab, chart, fx, fy=0.5):
    """The legend of a chart with the pointer at the fractions fx, fy of its plot."""
    box = browser.evaluate(tab, "(function(){var o=document.querySelector(%r+' .u-over');"
                                "o.scrollIntoView({block:'center'});var r=o.getBoundingClientRect();"
                                "return [r.left,r.top,r.width,r.height];})()" % chart)
    browser.mouse(tab, "mouseMoved", box[0] + box[2] * fx, box[1] + box[3] * fy)
    return legend(browser, tab, chart)


def wait_for(browser, tab, expression, seconds=10):
    deadline = time.time() + seconds
    while time.time() < deadline:
        value = browser.evaluate(tab, expression)
        if value:
            return value
        time.sleep(0.1)
    return None


def check_zone_section(browser, tab):
    treal, tmax, tmin, qs = first_block(options.report)
    peak = max(range(8760), key=lambda h: qs[h])
    above = max(range(8760), key=lambda h: treal[h] - tmax[h])
    below = max(range(8760), key=lambda h: tmin[h] - treal[h])
    zone = "section.zone"
    browser.evaluate(tab, "document.querySelector(%r).scrollIntoView()" % zone)
    drawn = wait_for(browser, tab, "document.querySelectorAll('%s .figs canvas').length >= 2 && "
                                   "document.querySelectorAll('%s .figs .uplot').length" % (zone, zone))
    verdict("first zone's pictures drawn when scrolled to", bool(drawn), "%s charts" % drawn)
    tip = hover_carpet(browser, tab, zone + " .figs canvas", peak)
    verdict("zone's Qs carpet at %s" % date(peak), tip == date(peak) + ": Qs " + shown_float32(qs[peak]) + " W", tip)
    for hour in (above, below):
        tip = hover_carpet(browser, tab, zone + " .figs figure:nth-child(2) canvas", hour)
        verdict("zone's temperature carpet at %s" % date(hour), in_band(treal, tmax, tmin, hour)(tip), tip)


def check_building(browser, tab):
    qs, ql, negative, positive = totals(options.report)
    place = ".figs.building"
    box_of(browser, tab, place)
    drawn = wait_for(browser, tab, "document.querySelectorAll('%s figure.carpet canvas').length === 2 && "
                                   "document.querySelectorAll('%s figure.uchart .uplot').length" % (place, place))
    verdict("building's carpets and charts drawn when shown", bool(drawn) and drawn >= 3, "%s charts" % drawn)
    peak = max(range(8760), key=lambda h: qs[h])
    tip = hover_carpet(browser, tab, place + " figure.carpet canvas", peak)
    verdict("building's Qs carpet at %s" % date(peak), tip == date(peak) + ": Qs " + shown_float32(qs[peak]) + " W",
            tip)
    both = [min(p, -n) if p > 0 and n < 0 else 0 for p, n in zip(positive, negative)]
    most = max(range(8760), key=lambda h: both[h])
    tip = hover_carpet(browser, tab, place + " figure.carpet:nth-of-type(2) canvas", most)
    verdict("building's simultaneous carpet at %s" % date(most),
            tip == date(most) + ": calefacci\u00f3n y refrigeraci\u00f3n simult\u00e1neas " + shown_float32(both[most])
            + " W", tip)
    charts = place + " figure.uchart"
    count = browser.evaluate(tab, "document.querySelectorAll(%r).length" % charts)
    curve = "%s:nth-of-type(%d)" % (charts, count + 1)  # the carpets come first among the figures
    values = hover_chart(browser, tab, curve, 0.4)
    ranked = sorted((v for v in qs if v == v), reverse=True)
    rank = values.get("horas", "")
    verdict("building's duration curve under the pointer", rank.isdigit()
            and values.get("Qs") == shown_float32(ranked[int(rank) - 1]) + " W", values)
    month = 6
    values = hover_chart(browser, tab, "%s:nth-of-type(%d)" % (charts, count + 2), (month + 0.5) / 12)
    first, last = sum(DAYS[:month]) * 24, sum(DAYS[:month + 1]) * 24
    cooling = 0.0
    for v in positive[first:last]:
        cooling += v
    verdict("building's monthly bars under the pointer", values.get("mes") == MONTHS[month]
            and values.get("refrigeraci\u00f3n") == shown(cooling / 1000) + " kWh", values)


def hourly_range(browser, tab):
    """The hours at the left and right edges of the hourly chart, from its legend."""
    chart = "details.hourly .uplot"
    left = hover_chart(browser, tab, chart, 0).get("hora", "")
    right = hover_chart(browser, tab, chart, 0.99999).get("hora", "")
    return [hour_of(left), hour_of(right)] if left and right else None


def check_hourly_chart(browser, tab):
    browser.evaluate(tab, "(function(){var d=document.querySelector('details.hourly');d.open=true;"
                          "d.scrollIntoView();})()")
    made = wait_for(browser, tab, "!!document.querySelector('details.hourly .uplot .u-over')")
    shown_range = hourly_range(browser, tab) if made else None
    verdict("hourly chart made when opened, the year shown", shown_range == [0, 8759], shown_range)
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
    time.sleep(0.3)
    zoomed = hourly_range(browser, tab)
    verdict("a drag zooms the chart in", bool(zoomed) and zoomed[1] - zoomed[0] < 8000, zoomed)
    browser.call("Input.dispatchMouseEvent", tab, type="mouseWheel", x=x0, y=y, deltaX=0, deltaY=300)
    time.sleep(0.3)
    wider = hourly_range(browser, tab)
    verdict("the wheel zooms it out", bool(zoomed and wider) and wider[1] - wider[0] > zoomed[1] - zoomed[0],
            wider)
    shift = 8  # the Shift key, in the protocol's modifier bits
    browser.mouse(tab, "mouseMoved", x0 + 200, y, modifiers=shift)
    browser.mouse(tab, "mousePressed", x0 + 200, y, button="left", clickCount=1, modifiers=shift)
    for step in range(1, 11):
        browser.mouse(tab, "mouseMoved", x0 + 200 - step * 15, y, button="left", modifiers=shift)
    browser.mouse(tab, "mouseReleased", x0 + 50, y, button="left", clickCount=1, modifiers=shift)
    time.sleep(0.3)
    after = hourly_range(browser, tab)
    panned = bool(wider and after) and after[0] > wider[0] and abs((after[1] - after[0]) - (wider[1] - wider[0])) <= 2
    verdict("Shift and a drag pan it, its width kept", panned, [wider, after])
    name = browser.evaluate(tab, "document.querySelector('nav.index a').textContent")
    browser.evaluate(tab, "(function(){var i=document.querySelector('details.hourly input.add-zone');"
                          "i.value=%r;i.dispatchEvent(new Event('change',{bubbles:true}));})()" % name)
    labels = "[].map.call(document.querySelectorAll('details.hourly .u-legend .u-label'),function(l){return l.textContent;})"
    added = wait_for(browser, tab, "%s.indexOf(%r)>=0" % (labels, "Qs " + name), 5)
    verdict("a zone added by name is drawn", bool(added), name)
    browser.evaluate(tab, "(function(){var s=document.querySelector('details.hourly select.t-zone');"
                          "s.value='0';s.dispatchEvent(new Event('change',{bubbles:true}));})()")
    temperatures = wait_for(browser, tab, "%s.filter(function(l){return /^T(real|max|min) /.test(l);}).length"
                            % labels, 5)
    verdict("a zone's Treal, Tmax and Tmin on the second axis", temperatures == 3, temperatures)


def check_index(browser, tab):
    seen = browser.evaluate(tab, "(function(){var n=document.querySelector('nav.index'),"
                                 "i=n.querySelector('input.filter');i.value='Z01';"
                                 "i.dispatchEvent(new Event('input',{bubbles:true}));"
                                 "return [].filter.call(n.querySelectorAll('li'),"
                                 "function(l){return !l.hidden;}).map(function(l){return l.textContent;});})()")
    verdict("the index filters as one types", len(seen) >= 1 and all("Z01" in s for s in seen), seen)


def check_comparison(browser, tab):
    base, variant = totals(options.report)[0], totals(options.variant)[0]
    place = "section.comparison .figs.compared"
    box_of(browser, tab, place)
    drawn = wait_for(browser, tab, "document.querySelectorAll('%s .uplot').length === 2 && "
                                   "document.querySelectorAll('%s canvas').length" % (place, place))
    verdict("comparison's pictures drawn when shown", bool(drawn), drawn)
    hour = 4000
    tip = hover_carpet(browser, tab, place + " figure.carpet canvas", hour)
    verdict("difference carpet at %s" % date(hour),
            tip == date(hour) + ": diferencia de Qs " + shown(variant[hour] - base[hour]) + " W", tip)
    curves = legend(browser, tab, place + " figure.uchart:nth-of-type(2)")
    verdict("both duration curves", "Qs base" in curves and "Qs variante" in curves, list(curves))
    bars = legend(browser, tab, place + " figure.uchart:nth-of-type(3)")
    verdict("both monthly energies", len([k for k in bars if k.endswith(" base") or k.endswith(" variante")]) == 4,
            list(bars))


def check_numbers(browser, tab):
    """The script's numbers against the viewer's on the same sample."""
    sample = [line.split(" ", 1) for line in open(options.numbers).read().splitlines()]
    script = open(os.path.join(here, "..", "view", "page", "script", "text.js")).read()
    held = browser.evaluate(tab, "[].some.call(document.scripts,function(s){return s.textContent.indexOf(%s)>=0;})"
                            % json.dumps(script))
    verdict("the page holds the script's text.js as it stands", held)
    wrong = browser.evaluate(tab, "(function(sample){%s\nvar bits=new DataView(new ArrayBuffer(8)),wrong=[];"
                                  "sample.forEach(function(s){bits.setBigUint64(0,BigInt('0x'+s[0]));"
                                  "var text=generalText(bits.getFloat64(0));"
                                  "if(text!==s[1])wrong.push(s[0]+': '+s[1]+' vs '+text);});return wrong;})(%s)"
                             % (script, json.dumps(sample)))
    verdict("the script writes the viewer's six digits for %d sample numbers" % len(sample), not wrong,
            "; ".join(wrong[:5]))


with Browser(options.profile, width=1400, height=1800) as browser:
    def watch(tab):
        browser.call("Network.enable", tab)
        browser.call("Runtime.enable", tab)

    tab = browser.open("file://" + page, before_load=watch)
    waiting = browser.evaluate(tab, "(function(){var z=document.querySelectorAll('section.zone .figs');"
                                    "return z.length>2&&z[z.length-1].childElementCount===0;})()")
    verdict("the last zone's pictures wait until it is shown", waiting)
    if options.variant:
        check_comparison(browser, tab)
    check_building(browser, tab)
    check_zone_section(browser, tab)
    check_hourly_chart(browser, tab)
    check_index(browser, tab)
    if options.numbers:
        check_numbers(browser, tab)
    fetched = [e["params"]["request"]["url"][:80] for e in browser.events
               if e.get("method") == "Network.requestWillBeSent"
               and not e["params"]["request"]["url"].startswith(("file://", "data:"))]
    verdict("nothing fetched from the network", not fetched, ", ".join(fetched))
    errors = [str(e["params"])[:200] for e in browser.events if e.get("method") == "Runtime.exceptionThrown"]
    verdict("no script error", not errors, "; ".join(errors))
    browser.close_tab(tab)

    # Scripts off: the tables and the figures as text are there, and a note
    # where the pictures would be.
    def no_scripts(tab):
        browser.call("Emulation.setScriptExecutionDisabled", tab, value=True)

    tab = browser.open("file://" + page, before_load=no_scripts)
    seen = browser.evaluate(tab, "[document.querySelectorAll('table.summary tr').length,"
                                 "document.querySelector('.report > section').innerText,"
                                 "document.querySelector('.figs.building').innerText]")
    verdict("without scripts: summary rows, the building's figures, a note for its pictures",
            seen[0] >= 3 and "Punta de refrigeraci\u00f3n" in seen[1] and "necesitan los scripts" in seen[2],
            [seen[0], seen[2]])
sys.exit(1 if failures else 0)
