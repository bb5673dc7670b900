#include "tools/view/page.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "tools/view/png.h"

namespace zoneloads {
namespace view {

const char* const kCsvHeader =
    "informe,bloque,zona,QsREF_max[W],hora_QsREF_max,QsCAL_max[W],hora_QsCAL_max,Qs_pos[kWh],Qs_neg[kWh],"
    "QL[kWh],horas_Qs_pos,horas_Qs_neg";

namespace {

const char* const kMonthNames[12] = {"ene", "feb", "mar", "abr", "may", "jun",
                                     "jul", "ago", "sep", "oct", "nov", "dic"};
const int kMonthStartDay[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
constexpr int kDays = 365;
constexpr int kLevels = 64;  // colour steps on each side of 0

// Numbers are written with std::to_chars, whose output is exact and the same
// on every platform, so the page's bytes do not depend on the C library.
std::string general6(double v) {
    char text[64];
    auto result = std::to_chars(text, text + sizeof text, v, std::chars_format::general, 6);
    return std::string(text, result.ptr);
}

std::string fixed1(double v) {
    char text[64];
    auto result = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, 1);
    return std::string(text, result.ptr);
}

// fixed1 of v, then `after`, appended to `out` without a string between.
void appendFixed1(std::string& out, double v, char after) {
    char text[64];
    char* end = std::to_chars(text, text + sizeof text - 1, v, std::chars_format::fixed, 1).ptr;
    *end++ = after;
    out.append(text, end);
}

// Windows-1252 bytes 0x80 to 0x9F as Unicode; 0 where the byte is no character.
const std::uint16_t kHigh1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void appendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The CSV header's column names.
std::vector<std::string> headerNames() {
    std::vector<std::string> names;
    for (const char *p = kCsvHeader, *comma; p; p = comma ? comma + 1 : nullptr) {
        comma = std::strchr(p, ',');
        names.push_back(comma ? std::string(p, comma) : std::string(p));
    }
    return names;
}

std::string hourText(int hour) { return hour < 0 ? "" : std::to_string(hour); }

std::string kWh(double wh) { return general6(wh / 1000.0); }

// A step of 1, 2 or 5 times a power of ten that cuts `range` into about
// `parts` parts (found without the math library, for the same bytes everywhere).
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

// The palette of the carpets: 0 neutral, 1 not a number, then the cooling
// (Qs above 0) and the heating (Qs below 0) hues, light to strong.
std::vector<Rgb> carpetPalette() {
    std::vector<Rgb> palette = {{255, 255, 255}, {150, 150, 150}};
    const Rgb cooling = {33, 102, 172};
    const Rgb heating = {178, 24, 43};
    for (const Rgb& hue : {cooling, heating}) {
        for (int level = 1; level <= kLevels; ++level) {
            auto mix = [level](int full) { return static_cast<std::uint8_t>(255 - (255 - full) * level / kLevels); };
            palette.push_back({mix(hue.r), mix(hue.g), mix(hue.b)});
        }
    }
    return palette;
}

// The largest finite |Qs|: the carpet's scale, the same on both sides of 0.
double carpetScale(const Section& s) {
    double scale = 0;
    for (double v : s.qs) {
        if (std::isfinite(v)) scale = std::max(scale, std::fabs(v));
    }
    return scale;
}

// `levels` is kLevels over the scale (0 for a scale of 0).
std::uint8_t carpetIndex(double v, double levels) {
    if (std::isnan(v)) return 1;
    if (v == 0) return 0;
    int level = kLevels;
    if (std::isfinite(v) && levels > 0) {
        double x = std::fabs(v) * levels;
        level = static_cast<int>(x);
        level += level < x;  // rounded up
        level = std::min(kLevels, std::max(1, level));
    }
    return static_cast<std::uint8_t>((v > 0 ? 1 : 1 + kLevels) + level);
}

std::string carpetHtml(const Section& s) {
    double scale = carpetScale(s);
    double levels = scale > 0 ? kLevels / scale : 0;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kDays) * 24);
    for (int h = 0; h < kHours; ++h) {
        pixels[static_cast<std::size_t>(h % 24 * kDays + h / 24)] = carpetIndex(s.qs[static_cast<std::size_t>(h)], levels);
    }
    static const std::vector<Rgb> palette = carpetPalette();
    std::string html = "<figure class=\"carpet\"><div class=\"cbox\"><div class=\"hrs\"><span>0h</span><span>6h</span>"
                       "<span>12h</span><span>18h</span><span>24h</span></div>"
                       "<img width=\"730\" height=\"192\" alt=\"Mapa de Qs por d&iacute;a y hora\" src=\"data:image/png;base64,";
    html += base64(indexedPng(kDays, 24, palette, pixels));
    html += "\"></div><div class=\"months\">";
    for (int m = 0; m < 12; ++m) {
        html += "<span style=\"left:" + fixed1(kMonthStartDay[m] * 100.0 / kDays) + "%\">" + kMonthNames[m] + "</span>";
    }
    html += "</div><div class=\"scale\"><span>" + general6(-scale) + " W</span><span class=\"bar\"></span><span>" +
            general6(scale) + " W</span></div><figcaption>Qs por hora: d&iacute;as del a&ntilde;o &rarr;, horas del d&iacute;a "
            "&darr;; rojo QsCAL (Qs &lt; 0), azul QsREF (Qs &gt; 0), blanco 0, gris no num&eacute;rico</figcaption></figure>";
    return html;
}

// An SVG chart frame: the plot area, horizontal grid lines with labels for
// values from `low` to `high`, and the axis titles.
struct Chart {
    double low, high;  // value range of the y axis
    double x0 = 60, x1 = 620, y0 = 20, y1 = 200;
    double y(double v) const { return y1 - (v - low) / (high - low) * (y1 - y0); }
};

std::string chartFrame(Chart& c, const char* yTitle, const char* xTitle) {
    if (!(c.high > c.low)) {
        c.low -= 1;
        c.high += 1;
    }
    double step = niceStep(c.high - c.low, 5);
    c.low = std::floor(c.low / step) * step;
    c.high = std::ceil(c.high / step) * step;
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"640\" height=\"240\" viewBox=\"0 0 640 240\">";
    for (double v = c.low; v <= c.high + step / 2; v += step) {
        std::string y = fixed1(c.y(v));
        svg += "<line x1=\"60\" x2=\"620\" y1=\"" + y + "\" y2=\"" + y + "\" class=\"" + (v == 0 ? "zero" : "grid") + "\"/>";
        svg += "<text x=\"56\" y=\"" + y + "\" class=\"yl\">" + general6(std::fabs(v) < step / 1e6 ? 0 : v) + "</text>";
    }
    svg += std::string("<text x=\"14\" y=\"110\" class=\"yt\" transform=\"rotate(-90 14 110)\">") + yTitle + "</text>";
    svg += std::string("<text x=\"340\" y=\"236\" class=\"xt\">") + xTitle + "</text>";
    return svg;
}

// The values other than NaN, from largest to smallest. Sorted by a radix
// sort of their float32 keys (the report writes float32 values, and one
// such sort per section costs far less than a comparison sort).
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

std::string durationCurveHtml(const Section& s) {
    std::vector<double> sorted = sortedDescending(s.qs);
    Chart c{0, 0};
    for (double v : sorted) {
        if (std::isfinite(v)) {
            c.low = std::min(c.low, v);
            c.high = std::max(c.high, v);
        }
    }
    std::string svg = chartFrame(c, "Qs [W]", "horas");
    for (int h = 0; h <= kHours; h += 2000) {
        std::string x = fixed1(c.x0 + h * (c.x1 - c.x0) / kHours);
        svg += "<text x=\"" + x + "\" y=\"216\" class=\"xl\">" + std::to_string(h) + "</text>";
    }
    svg += "<polyline class=\"ldc\" points=\"";
    std::size_t n = sorted.size();
    std::size_t stride = std::max<std::size_t>(1, n / 365);
    for (std::size_t i = 0; i < n; i = (i + stride < n || i == n - 1) ? i + stride : n - 1) {
        double v = std::min(c.high, std::max(c.low, sorted[i]));  // infinities at the edge
        appendFixed1(svg, c.x0 + static_cast<double>(i) * (c.x1 - c.x0) / kHours, ',');
        appendFixed1(svg, c.y(v), ' ');
        if (i == n - 1) break;
    }
    svg += "\"/></svg>";
    return "<figure>" + svg + "<figcaption>Curva de duraci&oacute;n de Qs (de mayor a menor)</figcaption></figure>";
}

std::string monthlyHtml(const Summary& s) {
    Chart c{0, 0};
    for (int m = 0; m < 12; ++m) {
        if (std::isfinite(s.monthPosWh[m])) c.high = std::max(c.high, s.monthPosWh[m] / 1000);
        if (std::isfinite(s.monthNegWh[m])) c.low = std::min(c.low, s.monthNegWh[m] / 1000);
    }
    std::string svg = chartFrame(c, "kWh", "mes");
    double slot = (c.x1 - c.x0) / 12;
    for (int m = 0; m < 12; ++m) {
        double x = c.x0 + m * slot;
        svg += "<text x=\"" + fixed1(x + slot / 2) + "\" y=\"216\" class=\"xl\">" + kMonthNames[m] + "</text>";
        for (int side = 0; side < 2; ++side) {
            double v = (side == 0 ? s.monthPosWh[m] : s.monthNegWh[m]) / 1000;
            if (!std::isfinite(v)) v = side == 0 ? c.high : c.low;
            double top = std::min(c.y(v), c.y(0));
            double height = std::fabs(c.y(v) - c.y(0));
            svg += "<rect class=\"" + std::string(side == 0 ? "pos" : "neg") + "\" x=\"" + fixed1(x + slot * 0.2) +
                   "\" y=\"" + fixed1(top) + "\" width=\"" + fixed1(slot * 0.6) + "\" height=\"" + fixed1(height) +
                   "\"><title>" + kMonthNames[m] + ": " + general6(v) + " kWh</title></rect>";
        }
    }
    svg += "</svg>";
    return "<figure>" + svg + "<figcaption>Energ&iacute;a sensible mensual: Qs &gt; 0 (azul) y Qs &lt; 0 (rojo)</figcaption></figure>";
}

std::string peakText(const char* label, const std::string& value, int hour) {
    std::string text = std::string(label) + " <b>" + htmlText(value) + " W</b>";
    return hour < 0 ? text + " (ninguna hora)" : text + " el " + hourDate(hour);
}

}  // namespace

SummaryRow summaryRow(const std::string& reportName, const Section& section) {
    const Summary& s = section.summary;
    return {reportName,
            section.totals ? "TOTAL" : std::to_string(section.block),
            section.totals ? "" : section.name,
            s.maxPosText,
            hourText(s.maxPosHour),
            s.minNegText,
            hourText(s.minNegHour),
            kWh(s.sumPosWh),
            kWh(s.sumNegWh),
            kWh(s.sumQLWh),
            std::to_string(s.hoursPos),
            std::to_string(s.hoursNeg)};
}

std::string csvLine(const SummaryRow& row) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (i > 0) line += ',';
        const std::string& f = row[i];
        if (f.find_first_of(",\"\r\n") == std::string::npos) {
            line += f;
            continue;
        }
        line += '"';
        for (char c : f) line += c == '"' ? std::string("\"\"") : std::string(1, c);
        line += '"';
    }
    return line;
}

std::string textTable(const std::vector<SummaryRow>& rows) {
    std::vector<SummaryRow> all;
    SummaryRow header = headerNames();
    all.push_back(header);
    all.insert(all.end(), rows.begin(), rows.end());
    std::vector<std::size_t> width(header.size(), 0);
    for (const SummaryRow& row : all) {
        for (std::size_t i = 0; i < row.size(); ++i) width[i] = std::max(width[i], row[i].size());
    }
    std::string text;
    for (const SummaryRow& row : all) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            std::string cell = row[i];
            for (char& c : cell) {
                if (c == '\r' || c == '\n') c = ' ';  // one line per row
            }
            bool left = i < 3;  // names left, numbers right
            std::string pad(width[i] - cell.size(), ' ');
            line += (i > 0 ? "  " : "") + (left ? cell + pad : pad + cell);
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        text += line + "\n";
    }
    return text;
}

std::string htmlText(const std::string& bytes) {
    std::string out;
    for (unsigned char b : bytes) {
        switch (b) {
            case '&': out += "&amp;"; continue;
            case '<': out += "&lt;"; continue;
            case '>': out += "&gt;"; continue;
            case '"': out += "&quot;"; continue;
            case '\'': out += "&#39;"; continue;
            default: break;
        }
        if (b < 0x20 || b == 0x7F) {
            out += "<span class=\"ctl\">";
            appendUtf8(out, b == 0x7F ? 0x2421 : 0x2400 + b);  // the control pictures
            out += "</span>";
        } else if (b < 0x80 || b >= 0xA0) {
            appendUtf8(out, b);
        } else if (kHigh1252[b - 0x80]) {
            appendUtf8(out, kHigh1252[b - 0x80]);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", b);
            out += std::string("<span class=\"ctl\">") + hex + "</span>";
        }
    }
    return out;
}

std::string pageStart(const std::string& title) {
    return "<!DOCTYPE html>\n<html lang=\"es\"><head><meta charset=\"utf-8\"><title>" + htmlText(title) +
           "</title><style>\n"
           "body{font:14px/1.4 system-ui,sans-serif;margin:1.5em;color:#222}\n"
           ".wide{overflow-x:auto}table{border-collapse:collapse;margin:.5em 0 1em;font-size:12px}td,th{border:1px solid #ccc;padding:2px 6px}"
           "td.n{text-align:right}th{background:#eee}td{white-space:nowrap}\n"
           "section{border-top:2px solid #888;margin-top:1.5em}.figs{display:flex;flex-wrap:wrap;gap:1em}"
           "figure{margin:0}figcaption{font-size:12px;color:#555}\n"
           ".cbox{display:flex}.hrs{display:flex;flex-direction:column;justify-content:space-between;"
           "font-size:10px;height:192px;margin-right:3px}"
           ".carpet img{image-rendering:pixelated;image-rendering:crisp-edges;border:1px solid #888}\n"
           ".months{position:relative;height:14px;margin-left:26px;width:730px;font-size:10px}"
           ".months span{position:absolute;border-left:1px solid #888;padding-left:2px}\n"
           ".scale{display:flex;align-items:center;gap:4px;font-size:11px;margin:4px 0 0 26px}"
           ".scale .bar{width:240px;height:10px;border:1px solid #888;"
           "background:linear-gradient(to right,#b2182b,#fff,#2166ac)}\n"
           ".ctl{color:#b00;background:#fee;border:1px solid #e99;font-family:monospace}\n"
           "svg text{font-size:11px;fill:#333}.yl{text-anchor:end;dominant-baseline:middle}.xl,.xt{text-anchor:middle}"
           ".yt{text-anchor:middle}line.grid{stroke:#ddd}line.zero{stroke:#555}"
           ".ldc{fill:none;stroke:#444;stroke-width:1.5}rect.pos{fill:#2166ac}rect.neg{fill:#b2182b}\n"
           "</style></head><body>\n<h1>" + htmlText(title) + "</h1>\n";
}

std::string summaryTableHtml(const std::vector<SummaryRow>& rows, const char* caption) {
    std::string html = std::string("<div class=\"wide\"><table class=\"summary\"><caption>") + caption + "</caption><tr>";
    for (const std::string& name : headerNames()) html += "<th>" + htmlText(name) + "</th>";
    html += "</tr>\n";
    for (const SummaryRow& row : rows) {
        html += "<tr>";
        for (std::size_t i = 0; i < row.size(); ++i) {
            html += std::string(i < 3 ? "<td>" : "<td class=\"n\">") + htmlText(row[i]) + "</td>";
        }
        html += "</tr>\n";
    }
    return html + "</table></div>\n";
}

std::string sectionHtml(const Section& section) {
    const Summary& s = section.summary;
    std::string html = "<section><h3>";
    html += section.totals ? std::string("Edificio: totales de todas las zonas")
                           : "Bloque " + std::to_string(section.block) + ": " + htmlText(section.name);
    html += "</h3>\n<p>" + peakText("QsREF m&aacute;x", s.maxPosText, s.maxPosHour) + " &middot; " +
            peakText("QsCAL m&aacute;x", s.minNegText, s.minNegHour) + "<br>Qs &gt; 0: " + kWh(s.sumPosWh) +
            " kWh en " + std::to_string(s.hoursPos) + " h &middot; Qs &lt; 0: " + kWh(s.sumNegWh) + " kWh en " +
            std::to_string(s.hoursNeg) + " h &middot; QL: " + kWh(s.sumQLWh) + " kWh";
    if (s.nanHours > 0) {
        html += "<br><b>" + std::to_string(s.nanHours) + " horas con Qs no num&eacute;rico</b>, fuera de picos, sumas y cuentas";
    }
    html += "</p>\n<div class=\"figs\">" + carpetHtml(section) + durationCurveHtml(section) + monthlyHtml(s) +
            "</div></section>\n";
    return html;
}

std::string pageEnd() { return "</body></html>\n"; }

}  // namespace view
}  // namespace zoneloads
