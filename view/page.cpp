#include "view/page.h"

#include <cstring>
#include <string>

#include "common/calendar.h"
#include "view/charts.h"
#include "view/markup.h"

namespace zoneloads {
namespace view {
namespace {

const char kPageHead[] = R"(<!DOCTYPE html>
<html lang="es"><head><meta charset="utf-8"><title>$0</title><style>
body{font:14px/1.4 system-ui,sans-serif;margin:1.5em;color:#222}
.wide{overflow-x:auto}caption{text-align:left}table{border-collapse:collapse;margin:.5em 0 1em;font-size:12px}td,th{border:1px solid #ccc;padding:2px 6px}td.n{text-align:right}th{background:#eee}td{white-space:nowrap}
section{border-top:2px solid #888;margin-top:1.5em}.figs{display:flex;flex-wrap:wrap;gap:1em}figure{margin:0}figcaption{font-size:12px;color:#555}
.cbox{display:flex}.hrs{display:flex;flex-direction:column;justify-content:space-between;font-size:10px;height:192px;margin-right:3px}.carpet img{image-rendering:pixelated;image-rendering:crisp-edges;border:1px solid #888}
.months{position:relative;height:14px;margin-left:26px;width:730px;font-size:10px}.months span{position:absolute;border-left:1px solid #888;padding-left:2px}
.scale{display:flex;align-items:center;gap:4px;font-size:11px;margin:4px 0 0 26px}.scale .bar{width:240px;height:10px;border:1px solid #888;background:linear-gradient(to right,#b2182b,#fff,#2166ac)}
.scale .bar.diff{background:linear-gradient(to right,#762a83,#fff,#1b7837)}.scale .bar.temp{background:linear-gradient(to right,#5e3c99,#f4f2ea,#e66101)}
.ctl{color:#b00;background:#fee;border:1px solid #e99;font-family:monospace}
svg text{font-size:11px;fill:#333}.yl{text-anchor:end;dominant-baseline:middle}.yr{text-anchor:start;dominant-baseline:middle}.xl,.xt{text-anchor:middle}.yt{text-anchor:middle}line.grid{stroke:#ddd}line.zero{stroke:#555}.ldc{fill:none;stroke:#444;stroke-width:1.5}.ldc2{fill:none;stroke:#e66101;stroke-width:1.5}rect.pos{fill:#2166ac}rect.neg{fill:#b2182b}rect.pos2{fill:#92c5de}rect.neg2{fill:#f4a582}
.pd-qs{fill:none;stroke:#222;stroke-width:2}.pd-ql{fill:none;stroke:#1b7837;stroke-width:1.5}.pd-t{fill:none;stroke:#d7301f;stroke-width:1.5}.pd-band{fill:none;stroke:#999;stroke-dasharray:4 3}.pd-tip{fill:transparent}.pd-tip:hover{fill:rgba(0,0,0,.06)}
.warn{color:#8a4b00}table.comparison td.n{font-variant-numeric:tabular-nums}#tip{position:fixed;display:none;pointer-events:none;background:#fff;border:1px solid #888;padding:2px 6px;font-size:12px;box-shadow:0 1px 3px rgba(0,0,0,.3)}
</style></head><body>
<h1>$0</h1>
)";

// Values under the pointer: on a carpet, the hour's date and value; on a
// duration curve, the hour and value of the nearest point. The values are
// in the page (data-v: Qs as float32; data-d: a difference as float32;
// data-c: a curve's "hour value" pairs); a temperature carpet (data-t) is
// read off its own colours, the nearest of its palette, which pageEnd
// writes into the script (@PALETTE@, with its steps and their kelvins).
// Without scripts the page shows the same pictures.
const char kPageScript[] = R"(<div id="tip"></div><script>
(function(){
var tip=document.getElementById('tip'),months=['ene','feb','mar','abr','may','jun','jul','ago','sep','oct','nov','dic'],
ends=[31,59,90,120,151,181,212,243,273,304,334,365];
function date(h){var d=Math.floor(h/24),m=0;while(d>=ends[m])m++;var day=d-(m?ends[m-1]:0)+1,hh=h%24;
return day+' '+months[m]+' '+(hh<10?'0':'')+hh+':00';}
function g6(v){if(isNaN(v))return 'nan';if(!isFinite(v))return v<0?'-inf':'inf';if(v===0)return 1/v<0?'-0':'0';
var p=v.toExponential(5).split('e'),x=parseInt(p[1],10);
if(x<-4||x>=6){var m=p[0].replace(/\.?0+$/,'');return m+'e'+(x<0?'-':'+')+(Math.abs(x)<10?'0':'')+Math.abs(x);}
return v.toFixed(5-x).replace(/(\.\d*?)0+$/,'$1').replace(/\.$/,'');}
function bytes(s){var b=atob(s),a=new Uint8Array(b.length);for(var i=0;i<b.length;i++)a[i]=b.charCodeAt(i);return a.buffer;}
function show(e,text){tip.textContent=text;tip.style.display='block';tip.style.left=(e.clientX+12)+'px';tip.style.top=(e.clientY+12)+'px';}
function hide(){tip.style.display='none';}
var palette=@PALETTE@,steps=@STEPS@,kelvins=@KELVINS@;
function pixels(img){var c=document.createElement('canvas');c.width=img.naturalWidth;c.height=img.naturalHeight;
var x=c.getContext('2d');x.drawImage(img,0,0);return x.getImageData(0,0,c.width,c.height).data;}
function band(data,h){var at=((h%24)*365+Math.floor(h/24))*4,best=0,dist=1e9;
palette.forEach(function(p,i){var d=0;for(var k=0;k<3;k++)d+=(p[k]-data[at+k])*(p[k]-data[at+k]);if(d<dist){dist=d;best=i;}});
if(best===0)return 'Treal entre Tmin y Tmax';if(best===1)return 'Treal no num\u00e9rico';
var l=(best-2)%steps+1,side=best-2<steps?'sobre Tmax':'bajo Tmin',k=kelvins/steps;
return 'Treal '+side+(l===steps?' en m\u00e1s de '+(l-1)*k+' K':' en '+(l-1)*k+' a '+l*k+' K');}
document.querySelectorAll('img[data-v],img[data-t],img[data-d]').forEach(function(img){
var values=null;
img.addEventListener('mousemove',function(e){
var r=img.getBoundingClientRect(),day=Math.min(364,Math.floor((e.clientX-r.left)/r.width*365)),
hour=Math.min(23,Math.floor((e.clientY-r.top)/r.height*24)),h=day*24+hour,text;
if(img.dataset.t){values=values||pixels(img);text=date(h)+': '+band(values,h);}
else{values=values||new Float32Array(bytes(img.dataset.v||img.dataset.d));
text=date(h)+': '+(img.dataset.d?'diferencia de Qs ':'Qs ')+g6(values[h])+' W';}
show(e,text);});
img.addEventListener('mouseleave',hide);});
document.querySelectorAll('figure[data-c]').forEach(function(fig){
var svg=fig.querySelector('svg'),series=[fig.dataset.c,fig.dataset.c2].filter(Boolean).map(function(s){
return s.trim().split(' ').map(Number);});
svg.addEventListener('mousemove',function(e){
var r=svg.getBoundingClientRect(),x=(e.clientX-r.left)/r.width*640,rank=(x-60)/560*8760,parts=[];
series.forEach(function(p,k){var best=0;for(var i=0;i<p.length;i+=2)if(Math.abs(p[i]-rank)<Math.abs(p[best]-rank))best=i;
parts.push((series.length>1?(k?'variante ':'base '):'')+'hora '+p[best]+': '+g6(p[best+1])+' W');});
show(e,parts.join(' \u00b7 '));});
svg.addEventListener('mouseleave',hide);});
})();
</script>
)";

std::string peakText(const char* label, const std::string& value, int hour) {
    std::string text = std::string(label) + " <b>" + htmlText(value) + " W</b>";
    return hour < 0 ? text + " (ninguna hora)" : text + " el " + hourDate(hour);
}

}  // namespace

std::string pageStart(const std::string& titleHtml) { return fill(kPageHead, {titleHtml}); }

std::string summaryTableHtml(const std::vector<SummaryRow>& rows, const char* caption) {
    std::string html = fill(R"(<div class="wide"><table class="summary"><caption>$0</caption><tr>)", {caption});
    for (const std::string& name : csvHeaderNames()) html += "<th>" + htmlText(name) + "</th>";
    html += "</tr>\n";
    for (const SummaryRow& row : rows) {
        std::vector<std::string> fields = csvFields(row);
        html += "<tr>";
        for (std::size_t i = 0; i < fields.size(); ++i) {
            std::string text = i == 0 ? htmlName(fields[i]) : htmlText(fields[i]);
            html += (i < 3 ? "<td>" : R"(<td class="n">)") + text + "</td>";
        }
        html += "</tr>\n";
    }
    return html + "</table></div>\n";
}

std::string sectionHeadHtml(const SummaryRow& row) {
    const Summary& s = row.summary;
    std::string html = "<section><h3>";
    html += row.block == 0 ? std::string("Edificio: totales de todas las zonas")
                           : "Bloque " + std::to_string(row.block) + ": " + htmlText(row.zone);
    html += "</h3>\n<p>" + peakText("QsREF m&aacute;x", s.maxPosText, s.maxPosHour) + " &middot; " +
            peakText("QsCAL m&aacute;x", s.minNegText, s.minNegHour) + "<br>" +
            peakText("QL m&aacute;x", s.maxQLText, s.maxQLHour) + " &middot; " +
            peakText("Qs + QL m&aacute;x", general6(s.maxTotal), s.maxTotalHour) +
            "<br>Qs &gt; 0: " + kWhText(s.sumPosWh) + " kWh en " + std::to_string(s.hoursPos) +
            " h &middot; Qs &lt; 0: " + kWhText(s.sumNegWh) + " kWh en " + std::to_string(s.hoursNeg) +
            " h &middot; QL: " + kWhText(s.sumQLWh) + " kWh";
    if (s.temperatures) {
        html +=
            fill("<br>Treal sobre Tmax: <b>$0 h</b> ($1 K&middot;h) &middot; bajo Tmin: <b>$2 h</b> ($3 K&middot;h)",
                 {std::to_string(s.hoursAbove), general6(s.degreeHoursAbove), std::to_string(s.hoursBelow),
                  general6(s.degreeHoursBelow)});
    }
    if (row.block == 0 && row.worstBlock > 0) {
        html += fill("<br>Zona con m&aacute;s horas fuera de consigna: bloque $0, $1: $2 h sobre Tmax y $3 h bajo Tmin",
                     {std::to_string(row.worstBlock), htmlText(row.worstZone), std::to_string(row.worst.hoursAbove),
                      std::to_string(row.worst.hoursBelow)});
    }
    if (row.block == 0) {
        html += fill(
            "<br>Suma de los picos de las zonas: QsREF $0 W, QsCAL $1 W &middot; factor de simultaneidad "
            "(pico del edificio / suma de picos): QsREF $2, QsCAL $3",
            {general6(row.zonePeaksPos), general6(row.zonePeaksNeg), general6(simultaneity(s.maxPos, row.zonePeaksPos)),
             general6(simultaneity(s.minNeg, row.zonePeaksNeg))});
    }
    if (s.nanHours > 0) {
        html += "<br><b>" + std::to_string(s.nanHours) +
                " horas con Qs no num&eacute;rico</b>, fuera de picos, sumas y cuentas";
    }
    return html + "</p>\n";
}

std::string sectionFiguresHtml(const SectionFigures& figures) {
    const Summary& s = figures.summary;
    std::string html;
    html += "<div class=\"figs\">";
    appendCarpet(html, figures);
    if (!figures.treal.empty()) appendTemperatureCarpet(html, figures);
    html += peakDayHtml(figures, s.maxPosHour, "QsREF");
    html += peakDayHtml(figures, s.minNegHour, "QsCAL");
    html += durationCurveHtml(figures);
    html += monthlyHtml(s);
    html += "</div></section>\n";
    return html;
}

std::string comparisonHtml(const std::string& baseName, const std::string& variantName, const Pairing& pairing,
                           const SectionFigures& baseBuilding, const SectionFigures& variantBuilding) {
    std::string html =
        fill("<section class=\"comparison\"><h2>Comparaci&oacute;n: $0 (variante) frente a $1 (base)</h2>\n",
             {htmlName(variantName), htmlName(baseName)});
    for (const std::string& warning : pairingWarnings(pairing))
        html += "<p class=\"warn\">Aviso: " + htmlText(warning) + "</p>\n";
    std::vector<std::string> header = differenceHeader();
    html +=
        R"(<div class="wide"><table class="comparison"><caption>Diferencias por zona y del edificio: base, variante, )"
        R"(variante &minus; base y en % de la base</caption><tr>)";
    for (std::size_t i = 2; i < header.size(); ++i) html += "<th>" + htmlText(header[i]) + "</th>";
    html += "</tr>\n";
    for (const Pairing::Pair& pair : pairing.pairs) {
        std::vector<std::string> fields = differenceFields(variantName, pair);
        html += "<tr>";
        for (std::size_t i = 2; i < fields.size(); ++i) {
            html += (i < 5 ? "<td>" : R"(<td class="n">)") + htmlText(fields[i]) + "</td>";
        }
        html += "</tr>\n";
    }
    html += "</table></div>\n<div class=\"figs\">" + differenceCarpetHtml(baseBuilding.qs, variantBuilding.qs) +
            durationCurvesHtml(baseBuilding.qs, variantBuilding.qs) +
            monthlyComparisonHtml(baseBuilding.summary, variantBuilding.summary) + "</div></section>\n";
    return html;
}

namespace {

// The page's script with the temperature carpet's palette written in.
std::string pageScript() {
    std::string palette = "[";
    for (const Rgb& c : temperaturePalette()) {
        if (palette.size() > 1) palette += ',';
        palette += fill("[$0,$1,$2]", {std::to_string(c.r), std::to_string(c.g), std::to_string(c.b)});
    }
    palette += ']';
    std::string script = kPageScript;
    auto put = [&script](const char* marker, const std::string& value) {
        script.replace(script.find(marker), std::strlen(marker), value);
    };
    put("@PALETTE@", palette);
    put("@STEPS@", std::to_string(kTemperatureLevels));
    put("@KELVINS@", general6(kTemperatureScaleK));
    return script;
}

}  // namespace

std::string pageEnd() {
    static const std::string script = pageScript();
    return script + "</body></html>\n";
}

}  // namespace view
}  // namespace zoneloads
