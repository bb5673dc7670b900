#include "view/charts.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/calendar.h"
#include "view/markup.h"
#include "view/png.h"

namespace zoneloads {
namespace view {
namespace {

// The palette of the carpets: 0 neutral, 1 not a number, then the cooling
// (Qs above 0) and the heating (Qs below 0) hues, light to strong.
std::vector<Rgb> carpetPalette() {
    std::vector<Rgb> palette = {{255, 255, 255}, {150, 150, 150}};
    const Rgb cooling = {33, 102, 172};
    const Rgb heating = {178, 24, 43};
    for (const Rgb& hue : {cooling, heating}) {
        for (int level = 1; level <= kCarpetLevels; ++level) {
            auto mix = [level](int full) { return static_cast<std::uint8_t>(255 - (255 - full) * level / kCarpetLevels); };
            palette.push_back({mix(hue.r), mix(hue.g), mix(hue.b)});
        }
    }
    return palette;
}

// The largest finite |Qs|: the carpet's scale, the same on both sides of 0.
double carpetScale(const std::vector<double>& qs) {
    double scale = 0;
    for (double v : qs) {
        if (std::isfinite(v)) scale = std::max(scale, std::fabs(v));
    }
    return scale;
}

const char kCarpetHead[] =
    R"(<figure class="carpet"><div class="cbox"><div class="hrs"><span>0h</span><span>6h</span>)"
    R"(<span>12h</span><span>18h</span><span>24h</span></div>)"
    R"(<img width="730" height="192" alt="Mapa de Qs por d&iacute;a y hora" src="data:image/png;base64,)";
const char kCarpetMonth[] = R"(<span style="left:$0%">$1</span>)";
const char kCarpetFoot[] =
    R"(</div><div class="scale"><span>$0 W</span><span class="bar"></span><span>$1 W</span></div>)"
    R"(<figcaption>Qs por hora: d&iacute;as del a&ntilde;o &rarr;, horas del d&iacute;a &darr;; )"
    R"(rojo QsCAL (Qs &lt; 0), azul QsREF (Qs &gt; 0), blanco 0, gris no num&eacute;rico</figcaption></figure>)";

const char kSvgStart[] = R"(<svg xmlns="http://www.w3.org/2000/svg" width="640" height="240" viewBox="0 0 640 240">)";
const char kGridLine[] = R"(<line x1="60" x2="620" y1="$0" y2="$0" class="$1"/><text x="56" y="$0" class="yl">$2</text>)";
const char kAxisTitles[] =
    R"svg(<text x="14" y="110" class="yt" transform="rotate(-90 14 110)">$0</text>)svg"
    R"(<text x="340" y="236" class="xt">$1</text>)";
const char kXLabel[] = R"(<text x="$0" y="216" class="xl">$1</text>)";
const char kMonthBar[] = R"(<rect class="$0" x="$1" y="$2" width="$3" height="$4"><title>$5: $6 kWh</title></rect>)";

}  // namespace

std::uint8_t carpetIndex(double v, double levels) {
    if (std::isnan(v)) return 1;
    if (v == 0) return 0;
    int level = kCarpetLevels;
    if (std::isfinite(v) && levels > 0) {
        double x = std::fabs(v) * levels;
        level = static_cast<int>(x);
        level += level < x;  // rounded up
        level = std::min(kCarpetLevels, std::max(1, level));
    }
    return static_cast<std::uint8_t>((v > 0 ? 1 : 1 + kCarpetLevels) + level);
}

// Found without the math library, for the same bytes everywhere.
double niceStep(double range, int parts) {
    double raw = range / parts;
    if (!(raw > 0) || !std::isfinite(raw)) return 1;
    double magnitude = 1;
    while (magnitude * 10 <= raw) magnitude *= 10;
    while (magnitude > raw) magnitude /= 10;
    for (double factor : {1.0, 2.0, 5.0}) {
        if (factor * magnitude >= raw) return factor * magnitude;
    }
    return 10 * magnitude;
}

std::string carpetHtml(const SectionFigures& figures) {
    double scale = carpetScale(figures.qs);
    double levels = scale > 0 ? kCarpetLevels / scale : 0;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kHoursPerYear));
    for (int h = 0; h < kHoursPerYear; ++h) {
        pixels[static_cast<std::size_t>(h % kHoursPerDay * kDaysPerYear + h / kHoursPerDay)] =
            carpetIndex(figures.qs[static_cast<std::size_t>(h)], levels);
    }
    static const std::vector<Rgb> palette = carpetPalette();
    std::string html = kCarpetHead;
    html += base64(indexedPng(kDaysPerYear, kHoursPerDay, palette, pixels));
    html += R"("></div><div class="months">)";
    for (int m = 0; m < kMonthsPerYear; ++m) {
        html += fill(kCarpetMonth, {fixed1(monthStartDay(m) * 100.0 / kDaysPerYear), monthName(m)});
    }
    html += fill(kCarpetFoot, {general6(-scale), general6(scale)});
    return html;
}

std::string chartFrame(Chart& c, const char* yTitle, const char* xTitle) {
    if (!(c.high > c.low)) {
        c.low -= 1;
        c.high += 1;
    }
    double step = niceStep(c.high - c.low, 5);
    c.low = std::floor(c.low / step) * step;
    c.high = std::ceil(c.high / step) * step;
    std::string svg = kSvgStart;
    for (double v = c.low; v <= c.high + step / 2; v += step) {
        svg += fill(kGridLine, {fixed1(c.y(v)), v == 0 ? "zero" : "grid", general6(std::fabs(v) < step / 1e6 ? 0 : v)});
    }
    svg += fill(kAxisTitles, {yTitle, xTitle});
    return svg;
}

// Sorted by a radix sort of their float32 keys (the report writes float32
// values, and one such sort per section costs far less than a comparison sort).
std::vector<double> sortedDescending(const std::vector<double>& values) {
    std::vector<std::uint32_t> keys;
    keys.reserve(values.size());
    for (double v : values) {
        if (std::isnan(v)) continue;
        float f = static_cast<float>(v);
        std::uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        keys.push_back(bits >> 31 ? ~bits : bits | 0x80000000u);  // ascending as unsigned
    }
    // Three passes of 11 bits each (the keys have 32).
    std::vector<std::uint32_t> other(keys.size());
    for (int shift = 0; shift < 33; shift += 11) {
        std::vector<std::size_t> count(2049, 0);
        for (std::uint32_t k : keys) ++count[((k >> shift) & 0x7FF) + 1];
        for (int i = 0; i < 2048; ++i) count[static_cast<std::size_t>(i) + 1] += count[static_cast<std::size_t>(i)];
        for (std::uint32_t k : keys) other[count[(k >> shift) & 0x7FF]++] = k;
        keys.swap(other);
    }
    std::vector<double> sorted;
    sorted.reserve(keys.size());
    for (auto k = keys.rbegin(); k != keys.rend(); ++k) {
        std::uint32_t bits = *k >> 31 ? *k & 0x7FFFFFFFu : ~*k;
        float f;
        std::memcpy(&f, &bits, sizeof f);
        sorted.push_back(f);
    }
    return sorted;
}

std::string durationCurveHtml(const SectionFigures& figures) {
    std::vector<double> sorted = sortedDescending(figures.qs);
    Chart c{0, 0};
    for (double v : sorted) {
        if (std::isfinite(v)) {
            c.low = std::min(c.low, v);
            c.high = std::max(c.high, v);
        }
    }
    std::string svg = chartFrame(c, "Qs [W]", "horas");
    for (int h = 0; h <= kHoursPerYear; h += 2000) {
        svg += fill(kXLabel, {fixed1(c.x0 + h * (c.x1 - c.x0) / kHoursPerYear), std::to_string(h)});
    }
    svg += R"(<polyline class="ldc" points=")";
    std::size_t n = sorted.size();
    std::size_t stride = std::max<std::size_t>(1, n / kDaysPerYear);
    for (std::size_t i = 0; i < n; i = (i + stride < n || i == n - 1) ? i + stride : n - 1) {
        double v = std::min(c.high, std::max(c.low, sorted[i]));  // infinities at the edge
        appendFixed1(svg, c.x0 + static_cast<double>(i) * (c.x1 - c.x0) / kHoursPerYear, ',');
        appendFixed1(svg, c.y(v), ' ');
        if (i == n - 1) break;
    }
    svg += R"("/></svg>)";
    return "<figure>" + svg + "<figcaption>Curva de duraci&oacute;n de Qs (de mayor a menor)</figcaption></figure>";
}

std::string monthlyHtml(const Summary& s) {
    Chart c{0, 0};
    for (int m = 0; m < kMonthsPerYear; ++m) {
        if (std::isfinite(s.monthPosWh[m])) c.high = std::max(c.high, s.monthPosWh[m] / 1000);
        if (std::isfinite(s.monthNegWh[m])) c.low = std::min(c.low, s.monthNegWh[m] / 1000);
    }
    std::string svg = chartFrame(c, "kWh", "mes");
    double slot = (c.x1 - c.x0) / kMonthsPerYear;
    for (int m = 0; m < kMonthsPerYear; ++m) {
        double x = c.x0 + m * slot;
        svg += fill(kXLabel, {fixed1(x + slot / 2), monthName(m)});
        for (int side = 0; side < 2; ++side) {
            double v = (side == 0 ? s.monthPosWh[m] : s.monthNegWh[m]) / 1000;
            if (!std::isfinite(v)) v = side == 0 ? c.high : c.low;
            double top = std::min(c.y(v), c.y(0));
            double height = std::fabs(c.y(v) - c.y(0));
            svg += fill(kMonthBar, {side == 0 ? "pos" : "neg", fixed1(x + slot * 0.2), fixed1(top), fixed1(slot * 0.6),
                                    fixed1(height), monthName(m), general6(v)});
        }
    }
    svg += "</svg>";
    return "<figure>" + svg + "<figcaption>Energ&iacute;a sensible mensual: Qs &gt; 0 (azul) y Qs &lt; 0 (rojo)</figcaption></figure>";
}

}  // namespace view
}  // namespace zoneloads
