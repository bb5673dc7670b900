#!/usr/bin/env python3
"""Moves the pointer over the figures of a page in headless Chromium, as a
reader would, and checks what the page's tooltip says against the report.
    hover_check.py PAGE.html PROFILE_DIR REPORT.txt [COMPARED]
The Qs carpet of the first zone block is hovered at the hour of the zone's
QsREF peak, its temperature carpet at its hours farthest above Tmax and
below Tmin, its duration curve anywhere; with COMPARED, the difference
carpet.
Chromium is driven over its DevTools pipe (file descriptors 3 and 4) with
nothing but the standard library."""
import json, os, struct, subprocess, sys, time

page, profile, report = os.path.abspath(sys.argv[1]), sys.argv[2], sys.argv[3]
compared = len(sys.argv) > 4
to_browser_r, to_browser_w = os.pipe()
from_browser_r, from_browser_w = os.pipe()


def child_fds():
    # The pipe's ends may themselves be 3 or 4: move them out of the way first.
    read_end, write_end = os.dup(to_browser_r), os.dup(from_browser_w)
    os.dup2(read_end, 3)
    os.dup2(write_end, 4)


browser = subprocess.Popen(
    ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
     "--disable-component-update", "--disable-sync", "--remote-debugging-pipe", "--user-data-dir=" + profile,
     "--window-size=1400,1800", "about:blank"],
    pass_fds=(3, 4), preexec_fn=child_fds, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
os.close(to_browser_r)
os.close(from_browser_w)
pending, next_id, events = b"", 0, []


def read_message(deadline):
    global pending
    while b"\0" not in pending:
        if time.time() > deadline:
            raise TimeoutError("no answer from the browser")
        chunk = os.read(from_browser_r, 65536)
        if not chunk:
            raise EOFError("the browser closed its pipe")
        pending += chunk
    message, pending = pending.split(b"\0", 1)
    return json.loads(message)


def call(method, session=None, **params):
    global next_id
    next_id += 1
    message = {"id": next_id, "method": method, "params": params}
    if session:
        message["sessionId"] = session
    os.write(to_browser_w, json.dumps(message).encode() + b"\0")
    deadline = time.time() + 60
    while True:
        answer = read_message(deadline)
        if answer.get("id") == next_id:
            if "error" in answer:
                raise RuntimeError(method + ": " + json.dumps(answer["error"]))
            return answer["result"]
        events.append(answer)


def wait_event(name, deadline):
    while True:
        for i, event in enumerate(events):
            if event.get("method") == name:
                return events.pop(i)
        events.append(read_message(deadline))


def evaluate(session, expression):
    result = call("Runtime.evaluate", session, expression=expression, returnByValue=True)
    return result["result"].get("value")


MONTHS = ["ene", "feb", "mar", "abr", "may", "jun", "jul", "ago", "sep", "oct", "nov", "dic"]
DAYS = [31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31]


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


def figures_to_hover():
    treal, tmax, tmin, qs = first_block()
    peak = max(range(8760), key=lambda h: qs[h])
    value = ("%g" % struct.unpack("f", struct.pack("f", qs[peak]))[0]).replace(".", ",")
    above = max(range(8760), key=lambda h: treal[h] - tmax[h])
    below = max(range(8760), key=lambda h: tmin[h] - treal[h])

    def in_band(hour):
        """Whether a tooltip names the step of the hour's excess beyond the
        default tolerance of 0.2 K: "... Treal por encima de Tmax en 0,25 a
        0,5 K", "... en m\u00e1s de 3,75 K", in the page's decimal commas."""
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

    figures = [("img.qcarpet", peak, lambda tip: tip == date(peak) + ": Qs " + value + " W"),
               ("img.tcarpet", above, in_band(above)),
               ("img.tcarpet", below, in_band(below)),
               ("figure[data-c] svg", 4000, lambda tip: tip.startswith("hora ") and tip.endswith(" W"))]
    if compared:
        figures.append(("section.comparison img[data-d]", 4000, lambda tip: tip.startswith(date(4000) + ": diferencia de Qs ")))
    return figures


failures = 1
try:
    target = call("Target.createTarget", url="about:blank")["targetId"]
    session = call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]
    call("Page.enable", session)
    call("Emulation.setDeviceMetricsOverride", session, width=1400, height=1800, deviceScaleFactor=1, mobile=False)
    call("Page.navigate", session, url="file://" + page)
    wait_event("Page.loadEventFired", time.time() + 60)
    failures = 0
    for selector, hour, expected in figures_to_hover():
        # The figure in the first zone block's section.
        box = evaluate(session, "(function(){var s=[].find.call(document.querySelectorAll('section'),function(s){"
                                "var h=s.querySelector('h3');return h&&h.textContent.indexOf('Bloque 1:')===0;}),"
                                "e=('%s'.indexOf('section.comparison')===0?document:s||document).querySelector('%s');if(!e)return null;"
                                "e.scrollIntoView({block:'center'});var r=e.getBoundingClientRect();"
                                "return [r.left,r.top,r.width,r.height];})()" % (selector, selector))
        if not box:
            print(selector + ": missing")
            failures += 1
            continue
        # The middle of the hour's cell: days across, hours down.
        x = box[0] + (hour // 24 + 0.5) / 365 * box[2]
        y = box[1] + (hour % 24 + 0.5) / 24 * box[3]
        call("Input.dispatchMouseEvent", session, type="mouseMoved", x=x - 1, y=y)
        call("Input.dispatchMouseEvent", session, type="mouseMoved", x=x, y=y)
        tip = evaluate(session, "(function(){var t=document.getElementById('tip');"
                                "return t&&t.style.display==='block'?t.textContent:'';})()")
        good = expected(tip)
        print("%s at %s: %r %s" % (selector, date(hour), tip or "(no tooltip)", "ok" if good else "WRONG"))
        failures += not good
finally:
    try:
        call("Browser.close")
    except Exception:
        pass
    browser.wait(timeout=30)
sys.exit(1 if failures else 0)
