#include "view/page/charts.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <utility>

#include "common/calendar.h"
#include "common/number_display.h"
#include "view/figures/statistics.h"
#include "view/figures/summary_columns.h"
#include "view/page/markup.h"
#include "view/page/png.h"

namespace zoneloads {
namespace view {
namespace {

// A carpet's palette: 0 `neutral`, 1 the grey of not a number, then
// `levels` steps of `first` and as many of `second`, light to strong. Step k
// mixes white with the hue by (k + faint) / (levels + faint): with `faint`
// above 0 the lightest step is already tinted.
std::vector<Rgb> twoHuePalette(Rgb neutral, Rgb first, Rgb second, int levels, int faint) {
    std::vector<Rgb> palette = {neutral, {150, 150, 150}};
    for (const Rgb& hue : {first, second}) {
        for (int level = 1; level <= levels; ++level) {
            auto mix = [&](int full) {
                return static_cast<std::uint8_t>(255 - (255 - full) * (level + faint) / (levels + faint));
            };
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

const char kCarpetHead[] = R"(<figure class="carpet"><div class="cbox"><div class="hrs"><span>0h</span><span>6h</span>)"
                           R"(<span>12h</span><span>18h</span><span>24h</span></div>)"
                           R"(<img class="$0" width="730" height="192" alt="$1" src="data:image/png;base64,)";
const char kCarpetMonth[] = R"(<span style="left:$0%">$1</span>)";
const char kCarpetScale[] = R"(<div class="scale"><span>calefacci&oacute;n $0 W</span><span class="bar"></span>)"
                            R"(<span>$0 W refrigeraci&oacute;n</span></div>)";
const char kDifferenceScale[] =
    R"(<div class="scale"><span>&minus;$0 W</span><span class="bar diff"></span><span>+$0 W</span></div>)";
const char kSimultaneousScale[] =
    R"(<div class="scale"><span>0 W</span><span class="bar simul"></span><span>$0 W</span></div>)";
// The palette of the difference carpets: white for none, then more
// (variant above base) and less.
std::vector<Rgb> differencePalette() {
    return twoHuePalette({255, 255, 255}, {27, 120, 55}, {118, 42, 131}, kCarpetLevels, 0);
}

// The palette of the carpet of simultaneous heating and cooling: white for
// none, then one hue (its second never used: the part is never below 0).
std::vector<Rgb> simultaneousPalette() {
    return twoHuePalette({255, 255, 255}, {128, 60, 150}, {128, 60, 150}, kCarpetLevels, 0);
}

// A number as the page writes it for a reader: a decimal comma.
std::string pageNumber(double v) { return decimalComma(general6(v)); }

}  // namespace

// White for 0, then the cooling (Qs above 0) and the heating (Qs below 0)
// hues.
std::vector<Rgb> carpetPalette() {
    return twoHuePalette({255, 255, 255}, {33, 102, 172}, {178, 24, 43}, kCarpetLevels, 0);
}

// Inside the band a pale neutral, then orange above Tmax and purple below
// Tmin; the faintest step is already a fifth of the hue, so that an hour
// just outside never looks like one inside.
std::vector<Rgb> temperaturePalette() {
    return twoHuePalette({244, 242, 234}, {230, 97, 1}, {94, 60, 153}, kTemperatureLevels, 3);
}

namespace {

// The frame of every chart, from its geometry. (These texts are made on
// first use, not before main, where a failure could not be told.)
const std::string& svgStart() {
    static const std::string text =
        fill(R"(<svg xmlns="http://www.w3.org/2000/svg" width="$0" height="$1" viewBox="0 0 $0 $1">)",
             {std::to_string(kChartWidth), std::to_string(kChartHeight)});
    return text;
}
// A grid line across the plot, at $0, of class $1, labelled $2 on the left.
const std::string& gridLine() {
    static const std::string text = R"(<line x1=")" + std::to_string(kPlotLeft) + R"(" x2=")" +
                                    std::to_string(kPlotRight) + R"(" y1="$0" y2="$0" class="$1"/><text x=")" +
                                    std::to_string(kPlotLeft - 4) + R"(" y="$0" class="yl">$2</text>)";
    return text;
}
const char kAxisTitles[] = R"svg(<text x="14" y="110" class="yt" transform="rotate(-90 14 110)">$0</text>)svg"
                           R"(<text x="340" y="236" class="xt">$1</text>)";
const char kXLabel[] = R"(<text x="$0" y="216" class="xl">$1</text>)";
// The right axis' labels and title, past the plot and within the chart.
const std::string& rightLabel() {
    static const std::string text =
        R"(<text x=")" + std::to_string(kPlotRight + 4) + R"(" y="$0" class="yr">$1</text>)";
    return text;
}
const std::string& rightTitle() {
    static const std::string text = R"svg(<text x=")svg" + std::to_string(kChartWidth - 8) +
                                    R"svg(" y="110" class="yt" transform="rotate(90 )svg" +
                                    std::to_string(kChartWidth - 8) + R"svg( 110)">T [&deg;C]</text>)svg";
    return text;
}
const char kMonthBar[] = R"(<rect class="$0" x="$1" y="$2" width="$3" height="$4"><title>$5: $6 kWh</title></rect>)";

}  // namespace

std::uint8_t carpetIndex(double v, double levels) {
    if (std::isnan(v)) return 1;
    if (v == 0) return 0;
    int level = kCarpetLevels;
    double x = std::fabs(v) * levels;
    if (levels > 0 && std::isfinite(x) && x < kCarpetLevels) {  // compared before any conversion to int
        level = static_cast<int>(x);
        level += level < x;  // rounded up
        level = std::max(1, level);
    }
    return static_cast<std::uint8_t>((v > 0 ? 1 : 1 + kCarpetLevels) + level);
}

// Found without the math library, for the same bytes everywhere.
double niceStep(double range, int parts) {
    double raw = range / parts;
    if (!(raw > 1e-300) || !std::isfinite(raw)) return 1;
    double magnitude = 1;
    while (magnitude * 10 <= raw) magnitude *= 10;
    while (magnitude > raw) magnitude /= 10;
    for (double factor : {1.0, 2.0, 5.0}) {
        if (factor * magnitude >= raw) return factor * magnitude;
    }
    return 10 * magnitude;
}

namespace {

// A carpet's pixels, day across and hour down, from one index per hour.
template <typename IndexOf>
std::vector<std::uint8_t> carpetPixels(IndexOf indexOf) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kHoursPerYear));
    for (int h = 0; h < kHoursPerYear; ++h) {
        pixels[static_cast<std::size_t>(h % kHoursPerDay * kDaysPerYear + h / kHoursPerDay)] = indexOf(h);
    }
    return pixels;
}

// Hourly values as the page's script reads them: float32, little-endian.
std::string float32Bytes(const std::vector<double>& values) {
    std::string bytes(values.size() * 4, '\0');
    for (std::size_t i = 0; i < values.size(); ++i) {
        float f = static_cast<float>(values[i]);
        std::memcpy(&bytes[i * 4], &f, 4);
    }
    return bytes;
}

// A carpet figure: the picture with its hour and month marks, the values
// the page's script shows under the pointer (in base64 in the attribute
// `dataName`, none when `values` is empty), the scale's line and the caption.
void appendCarpetFigure(std::string& out, const std::vector<std::uint8_t>& pixels, const std::vector<Rgb>& palette,
                        const char* kind, const char* alt, const char* dataName, const std::string& values,
                        const std::string& scale, const char* caption) {
    appendFill(out, kCarpetHead, {kind, alt});
    appendBase64(out, indexedPng(kDaysPerYear, kHoursPerDay, palette, pixels));
    out += R"(" )";
    out += dataName;
    out += R"(=")";
    if (values.empty()) out += '1';
    appendBase64(out, values);
    out += R"("></div><div class="months">)";
    for (int m = 0; m < kMonthsPerYear; ++m) {
        appendFill(out, kCarpetMonth, {fixed1(monthStartDay(m) * 100.0 / kDaysPerYear), monthName(m)});
    }
    out += "</div>";
    out += scale;
    out += "<figcaption>";
    out += caption;
    out += "</figcaption></figure>";
}

}  // namespace

void appendCarpet(std::string& out, const SectionHours& hours) {
    double scale = carpetScale(hours.qs);
    double levels = scale > 0 ? kCarpetLevels / scale : 0;
    static const std::vector<Rgb> palette = carpetPalette();
    auto pixels = carpetPixels([&](int h) { return carpetIndex(hours.qs[static_cast<std::size_t>(h)], levels); });
    appendCarpetFigure(
        out, pixels, palette, "qcarpet", "Mapa de Qs por d&iacute;a y hora", "data-q", "",
        fill(kCarpetScale, {pageNumber(scale)}),
        "Qs por hora: d&iacute;as del a&ntilde;o &rarr;, horas del d&iacute;a &darr;; rojo calefacci&oacute;n "
        "(Qs &lt; 0), azul refrigeraci&oacute;n (Qs &gt; 0), blanco 0, gris no num&eacute;rico");
}

void appendSimultaneousCarpet(std::string& out, const SectionHours& hours) {
    std::vector<double> both(static_cast<std::size_t>(kHoursPerYear));
    for (std::size_t h = 0; h < both.size(); ++h) both[h] = simultaneousPart(hours.qsPos[h], hours.qsNeg[h]);
    double scale = carpetScale(both);
    double levels = scale > 0 ? kCarpetLevels / scale : 0;
    static const std::vector<Rgb> palette = simultaneousPalette();
    auto pixels = carpetPixels([&](int h) { return carpetIndex(both[static_cast<std::size_t>(h)], levels); });
    appendCarpetFigure(
        out, pixels, palette, "scarpet",
        "Mapa de la calefacci&oacute;n y la refrigeraci&oacute;n simult&aacute;neas por d&iacute;a y hora", "data-s",
        float32Bytes(both), fill(kSimultaneousScale, {pageNumber(scale)}),
        "Calefacci&oacute;n y refrigeraci&oacute;n simult&aacute;neas por hora: la parte de las cargas "
        "en que unas zonas se enfr&iacute;an mientras otras se calientan (calor recuperable entre "
        "zonas), m&aacute;s intenso cuanto mayor, blanco ninguna");
}

namespace {

// The value of each line of an axis, from its low end: step after step,
// as many as the axis has.
std::vector<double> axisValues(const AxisSteps& axis) {
    std::vector<double> values;
    double v = axis.low;
    for (int i = 0; i <= axis.count; ++i, v += axis.step) values.push_back(std::fabs(v) < axis.step / 1e6 ? 0 : v);
    return values;
}

}  // namespace

AxisSteps axisSteps(double low, double high, int parts) {
    if (!std::isfinite(low) || !std::isfinite(high)) low = high = 0;
    if (low > high) std::swap(low, high);
    if (!(high > low)) {
        double pad = std::max(1.0, std::fabs(low) * 1e-3);  // wide enough to survive the rounding of any value
        low -= pad;
        high += pad;
    }
    double step = niceStep(high - low, parts);
    double first = std::floor(low / step);
    double last = std::ceil(high / step);
    if (last - first >= 1 && last - first <= kMaxAxisSteps) {
        return {first * step, last * step, step, static_cast<int>(last - first)};
    }
    // No whole steps fit (a step lost in the values' own rounding): plain parts.
    return {low, high, (high - low) / parts, parts};
}

std::string chartFrame(Chart& c, const char* yTitle, const char* xTitle) {
    AxisSteps axis = axisSteps(c.low, c.high, 5);
    c.low = axis.low;
    c.high = axis.high;
    std::string svg = svgStart();
    for (double v : axisValues(axis))
        svg += fill(gridLine(), {fixed1(c.y(v)), v == 0 ? "zero" : "grid", pageNumber(v)});
    svg += fill(kAxisTitles, {yTitle, xTitle});
    return svg;
}

namespace {

// The samples a curve draws of sorted values: about one a day, and the last.
std::vector<std::size_t> curveSamples(std::size_t n) {
    std::vector<std::size_t> samples;
    std::size_t stride = std::max<std::size_t>(1, n / kDaysPerYear);
    for (std::size_t i = 0; i < n; i += stride) samples.push_back(i);
    if (n > 0 && samples.back() != n - 1) samples.push_back(n - 1);
    return samples;
}

// A duration curve's polyline (class `kind`) and the values the page's
// script shows under the pointer, "hour value" pairs.
void appendCurve(std::string& svg, std::string& data, const Chart& c, const std::vector<double>& sorted,
                 const char* kind) {
    svg += fill(R"(<polyline class="$0" points=")", {kind});
    for (std::size_t i : curveSamples(sorted.size())) {
        double v = std::min(c.high, std::max(c.low, sorted[i]));  // infinities at the edge
        appendFixed1(svg, c.x0 + static_cast<double>(i) * (c.x1 - c.x0) / kHoursPerYear, ',');
        appendFixed1(svg, c.y(v), ' ');
        char pair[64];
        char* end = std::to_chars(pair, pair + 20, i + 1).ptr;
        *end++ = ' ';
        end = std::to_chars(end, pair + sizeof pair - 1, sorted[i], std::chars_format::general, 6).ptr;
        *end++ = ' ';
        data.append(pair, end);
    }
    svg += R"("/>)";
}

// The y range that holds every finite value of the series.
Chart rangeOf(std::initializer_list<const std::vector<double>*> series) {
    Chart c{0, 0};
    for (const std::vector<double>* values : series) {
        for (double v : *values) {
            if (std::isfinite(v)) {
                c.low = std::min(c.low, v);
                c.high = std::max(c.high, v);
            }
        }
    }
    return c;
}

// The hour axis of a duration curve.
void appendHourAxis(std::string& svg, const Chart& c) {
    for (int h = 0; h <= kHoursPerYear; h += 2000) {
        svg += fill(kXLabel, {fixed1(c.x0 + h * (c.x1 - c.x0) / kHoursPerYear), std::to_string(h)});
    }
}

}  // namespace

std::string durationCurveHtml(const std::vector<double>& qs) {
    std::vector<double> sorted = sortedDescending(qs);
    Chart c = rangeOf({&sorted});
    std::string svg = chartFrame(c, "Qs [W]", "horas");
    appendHourAxis(svg, c);
    std::string data;
    appendCurve(svg, data, c, sorted, "ldc");
    svg += "</svg>";
    return fill(R"(<figure class="curve" data-c="$0">)", {data}) + svg +
           "<figcaption>Curva de duraci&oacute;n de Qs (de mayor a menor): cada hora del a&ntilde;o, ordenada por "
           "su carga</figcaption></figure>";
}

namespace {

// The monthly energy bars, Qs > 0 and Qs < 0, of one design, or of a base
// and its variant side by side (the variant's lighter), as an SVG chart.
std::string monthlyBars(const std::vector<const SectionFigures*>& designs) {
    Chart c{0, 0};
    for (const SectionFigures* s : designs) {
        for (int m = 0; m < kMonthsPerYear; ++m) {
            if (std::isfinite(s->monthQsPosWh[m])) c.high = std::max(c.high, s->monthQsPosWh[m] / 1000);
            if (std::isfinite(s->monthQsNegWh[m])) c.low = std::min(c.low, s->monthQsNegWh[m] / 1000);
        }
    }
    std::string svg = chartFrame(c, "kWh", "mes");
    const bool compared = designs.size() > 1;
    const double slot = (c.x1 - c.x0) / kMonthsPerYear;
    for (int m = 0; m < kMonthsPerYear; ++m) {
        double x = c.x0 + m * slot;
        svg += fill(kXLabel, {fixed1(x + slot / 2), monthName(m)});
        for (std::size_t d = 0; d < designs.size(); ++d) {
            std::string label = monthName(m);
            if (compared) label += d == 0 ? " base" : " variante";
            double left = compared ? (d == 0 ? 0.12 : 0.5) : 0.2;
            for (int side = 0; side < 2; ++side) {
                double v = (side == 0 ? designs[d]->monthQsPosWh[m] : designs[d]->monthQsNegWh[m]) / 1000;
                // A month that is no finite number is drawn to the end of the
                // axis; its tip says what it is ("inf"), as the workbook does.
                double drawn = std::isfinite(v) ? v : side == 0 ? c.high : c.low;
                double top = std::min(c.y(drawn), c.y(0));
                double height = std::fabs(c.y(drawn) - c.y(0));
                std::string kind = std::string(side == 0 ? "pos" : "neg") + (d == 0 ? "" : "2");
                svg += fill(kMonthBar, {kind, fixed1(x + slot * left), fixed1(top),
                                        fixed1(slot * (compared ? 0.38 : 0.6)), fixed1(height), label, pageNumber(v)});
            }
        }
    }
    return svg + "</svg>";
}

}  // namespace

std::string monthlyHtml(const SectionFigures& s) {
    return "<figure>" + monthlyBars({&s}) +
           "<figcaption>Energ&iacute;a sensible mensual: refrigeraci&oacute;n (Qs &gt; 0, azul) y calefacci&oacute;n "
           "(Qs &lt; 0, rojo)</figcaption></figure>";
}

namespace {

// The x of hour h (0 to 23) of a day in a chart.
double dayX(const Chart& c, int h) { return c.x0 + (h + 0.5) * (c.x1 - c.x0) / kHoursPerDay; }

// A day's line of values (class `kind`), skipping what is no number.
std::string dayLine(const Chart& c, const double* values, const char* kind, double low, double high) {
    std::string points;
    for (int h = 0; h < kHoursPerDay; ++h) {
        if (!std::isfinite(values[h])) continue;
        appendFixed1(points, dayX(c, h), ',');
        appendFixed1(points, c.y1 - (values[h] - low) / (high - low) * (c.y1 - c.y0), ' ');
    }
    return fill(R"(<polyline class="$0" points="$1"/>)", {kind, points});
}

// The temperatures' own axis, on the right: their range, widened to steps.
AxisSteps temperatureAxis(std::initializer_list<const double*> days) {
    double low = 0, high = 0;
    bool any = false;
    for (const double* day : days) {
        for (int h = 0; h < kHoursPerDay; ++h) {
            if (!std::isfinite(day[h])) continue;
            low = any ? std::min(low, day[h]) : day[h];
            high = any ? std::max(high, day[h]) : day[h];
            any = true;
        }
    }
    return axisSteps(low, high, 5);
}

}  // namespace

std::string peakDayHtml(const SectionHours& hours, int hour, const char* peak) {
    if (hour < 0) return "";
    const std::size_t first = static_cast<std::size_t>(dayStart(hour));
    const double* qs = &hours.qs[first];
    const double* ql = &hours.ql[first];
    bool temperatures = !hours.treal.empty();
    std::vector<double> day(qs, qs + kHoursPerDay);
    if (!temperatures) day.insert(day.end(), ql, ql + kHoursPerDay);
    Chart c = rangeOf({&day});
    std::string svg = chartFrame(c, temperatures ? "Qs [W]" : "Qs, QL [W]", "hora");
    for (int h = 0; h < kHoursPerDay; h += 3) svg += fill(kXLabel, {fixed1(dayX(c, h)), std::to_string(h)});
    svg += dayLine(c, qs, "pd-qs", c.low, c.high);
    if (!temperatures) svg += dayLine(c, ql, "pd-ql", c.low, c.high);
    std::string tips;
    if (temperatures) {
        const double* t = &hours.treal[first];
        const double* high = &hours.tmax[first];
        const double* low = &hours.tmin[first];
        AxisSteps axis = temperatureAxis({t, high, low});
        for (double v : axisValues(axis)) {
            std::string y = fixed1(c.y1 - (v - axis.low) / (axis.high - axis.low) * (c.y1 - c.y0));
            svg += fill(rightLabel(), {y, pageNumber(v)});
        }
        svg += rightTitle();
        svg += dayLine(c, high, "pd-band", axis.low, axis.high) + dayLine(c, low, "pd-band", axis.low, axis.high);
        svg += dayLine(c, t, "pd-t", axis.low, axis.high);
        for (int h = 0; h < kHoursPerDay; ++h) {
            tips += fill(
                R"(<rect class="pd-tip" x="$0" y="20" width="$1" height="180">)"
                R"(<title>$2: Qs $3 W, Treal $4, Tmax $5, Tmin $6 &deg;C</title></rect>)",
                {fixed1(dayX(c, h) - (c.x1 - c.x0) / kHoursPerDay / 2), fixed1((c.x1 - c.x0) / kHoursPerDay),
                 htmlText(hourDate(static_cast<int>(first) + h)), decimalComma(reportText(qs[h])),
                 decimalComma(reportText(t[h])), decimalComma(reportText(high[h])), decimalComma(reportText(low[h]))});
        }
    } else {
        for (int h = 0; h < kHoursPerDay; ++h) {
            tips += fill(R"(<rect class="pd-tip" x="$0" y="20" width="$1" height="180">)"
                         R"(<title>$2: Qs $3 W, QL $4 W</title></rect>)",
                         {fixed1(dayX(c, h) - (c.x1 - c.x0) / kHoursPerDay / 2), fixed1((c.x1 - c.x0) / kHoursPerDay),
                          htmlText(hourDate(static_cast<int>(first) + h)), decimalComma(reportText(qs[h])),
                          decimalComma(reportText(ql[h]))});
        }
    }
    svg += tips + "</svg>";
    std::string date = hourDay(static_cast<int>(first));
    std::string caption = std::string("D&iacute;a de la punta de ") + peak + ", " + htmlText(date) +
                          (temperatures ? ": Qs (negro) y, a la derecha, Treal (rojo) entre Tmin y Tmax (gris)"
                                        : ": Qs (negro) y QL (verde)");
    return R"(<figure class="peakday">)" + svg + "<figcaption>" + caption + "</figcaption></figure>";
}

std::string differenceCarpetHtml(const std::vector<double>& base, const std::vector<double>& variant) {
    std::vector<double> difference(static_cast<std::size_t>(kHoursPerYear));
    for (std::size_t h = 0; h < difference.size(); ++h) difference[h] = variant[h] - base[h];
    double scale = carpetScale(difference);
    double levels = scale > 0 ? kCarpetLevels / scale : 0;
    static const std::vector<Rgb> palette = differencePalette();
    auto pixels = carpetPixels([&](int h) { return carpetIndex(difference[static_cast<std::size_t>(h)], levels); });
    std::string out;
    appendCarpetFigure(out, pixels, palette, "dcarpet",
                       "Mapa de la diferencia de Qs del edificio por d&iacute;a y hora", "data-d",
                       float32Bytes(difference), fill(kDifferenceScale, {pageNumber(scale)}),
                       "Qs de la variante menos Qs de la base, por hora: verde m&aacute;s, morado menos, "
                       "blanco igual, gris no num&eacute;rico");
    return out;
}

std::string durationCurvesHtml(const std::vector<double>& base, const std::vector<double>& variant) {
    std::vector<double> sortedBase = sortedDescending(base);
    std::vector<double> sortedVariant = sortedDescending(variant);
    Chart c = rangeOf({&sortedBase, &sortedVariant});
    std::string svg = chartFrame(c, "Qs [W]", "horas");
    appendHourAxis(svg, c);
    std::string baseData, variantData;
    appendCurve(svg, baseData, c, sortedBase, "ldc");
    appendCurve(svg, variantData, c, sortedVariant, "ldc2");
    svg += "</svg>";
    return fill(R"(<figure class="curve" data-c="$0" data-c2="$1">)", {baseData, variantData}) + svg +
           "<figcaption>Curvas de duraci&oacute;n de Qs del edificio: base (negro) y variante "
           "(naranja)</figcaption></figure>";
}

std::string monthlyComparisonHtml(const SectionFigures& base, const SectionFigures& variant) {
    return "<figure>" + monthlyBars({&base, &variant}) +
           "<figcaption>Energ&iacute;a sensible mensual del edificio: base (izquierda, oscuro) y variante (derecha, "
           "claro); refrigeraci&oacute;n (Qs &gt; 0) azul, calefacci&oacute;n (Qs &lt; 0) rojo</figcaption></figure>";
}

}  // namespace view
}  // namespace zoneloads
