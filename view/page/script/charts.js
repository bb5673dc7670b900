// ---- Drawing: charts (uPlot), each section's pictures, the hourly chart ----

// A uPlot chart in a figure with its caption; its legend shows the values
// under the pointer.
function chartFigure(options, data, caption) {
  var figure = element('figure', 'uchart');
  options.width = CHART.width;
  options.height = CHART.height;
  new uPlot(options, data, figure);
  figure.appendChild(element('figcaption', '', caption));
  return figure;
}

// The legend's text of a value in `unit`.
function valueOf(unit) {
  return function (u, v) { return v === null || v === undefined ? '\u2014' : general(v) + ' ' + unit; };
}

// An axis of numbers (side 3 the left, 1 the right, 2 the bottom).
function axis(label, side) {
  return {label: label, side: side, values: function (u, ticks) { return ticks.map(general); },
          size: side === 2 ? 50 : 60};
}

// A line of a chart: its label, colour and width, the legend's unit, and
// more options (dash, scale).
function line(label, colour, width, unit, more) {
  return Object.assign({label: label, stroke: css(colour), width: width, points: {show: false}, value: valueOf(unit)},
                       more);
}

// The 24 hours of the day of hour `peak`: Qs and QL, and for a zone block
// (`series` with treal) Treal, Tmax and Tmin on their own axis on the right.
function peakDay(series, peak, name) {
  var first = peak - peak % DAY, zone = !!series.treal, x = [];
  var shown = [series.qs, series.ql].concat(zone ? [series.treal, series.tmax, series.tmin] : []);
  var columns = shown.map(function (values) { return plotted(values.slice(first, first + DAY)); });
  for (var h = 0; h < DAY; h++) x.push(h);
  var band = {dash: [4, 3], scale: 'T'};
  var lines = [line('Qs', COLOURS.qs, 2, 'W'), line('QL', COLOURS.ql, 1.5, 'W')];
  if (zone) {
    lines.push(line('Treal', COLOURS.treal, 1.5, '\u00b0C', {scale: 'T'}),
               line('Tmax', COLOURS.setPoint, 1, '\u00b0C', band), line('Tmin', COLOURS.setPoint, 1, '\u00b0C', band));
  }
  var everyThird = x.filter(function (h) { return h % 3 === 0; });
  var axes = [{label: 'hora', splits: function () { return everyThird; }}, axis('Qs, QL [W]', 3)];
  if (zone) axes.push(Object.assign(axis('T [\u00b0C]', 1), {scale: 'T', grid: {show: false}}));
  var options = {
    scales: {x: {time: false}, T: {}},
    series: [{label: 'hora', value: function (u, v) { return v === null ? '' : day(first) + ' ' + clock(v); }}]
        .concat(lines),
    axes: axes
  };
  return chartFigure(options, [x].concat(columns),
                     'D\u00eda de la punta de ' + name + ', ' + day(first) +
                     (zone ? ': Qs (negro), QL (verde) y, a la derecha, Treal (rojo) entre Tmin y Tmax (gris)'
                           : ': Qs (negro) y QL (verde)'));
}

// Duration curves: each of `curves` ({label, values, colour}) from its
// largest value to its smallest, against the hours.
function durationCurves(curves, caption) {
  var sorted = curves.map(function (c) { return sortedDescending(c.values); }), x = [];
  var longest = Math.max.apply(null, sorted.map(function (s) { return s.length; }));
  for (var i = 0; i < longest; i++) x.push(i + 1);
  var options = {
    scales: {x: {time: false}},
    series: [{label: 'horas', value: function (u, v) { return v === null ? '' : String(v); }}]
        .concat(curves.map(function (c) { return line(c.label, c.colour, 1.5, 'W'); })),
    axes: [axis('horas', 2), axis('Qs [W]', 3)]
  };
  var data = sorted.map(function (s) {
    var column = plotted(s);
    while (column.length < longest) column.push(null);
    return column;
  });
  return chartFigure(options, [x].concat(data), caption);
}

// The legend's text of a month of `months`: its own figure, so that a
// month that is no finite number, which has no bar, says what it is.
function monthValue(months) {
  return function (u, v, s, m) { return m === null || m === undefined ? '\u2014' : general(months[m]) + ' kWh'; };
}

// Monthly energy in kWh of Qs > 0 (up) and Qs < 0 (down), of one design
// or of a base and its variant side by side (`designs`: {label, figures,
// cooling and heating colours}).
function monthlyBars(designs, caption) {
  var x = [], data = [], series = [{label: 'mes', value: function (u, v) { return v === null ? '' : PAGE.months[v]; }}];
  for (var m = 0; m < PAGE.months.length; m++) x.push(m);
  designs.forEach(function (design, d) {
    var align = designs.length === 1 ? 0 : d === 0 ? -1 : 1;
    var bars = uPlot.paths.bars({size: [designs.length === 1 ? 0.4 : 0.35, 40], align: align});
    [['refrigeraci\u00f3n', design.figures.coolingMonths, design.cooling],
     ['calefacci\u00f3n', design.figures.heatingMonths, design.heating]].forEach(function (side) {
      data.push(plotted(side[1]));
      series.push({label: side[0] + design.label, fill: css(side[2]), stroke: css(side[2]), paths: bars,
                   points: {show: false}, value: monthValue(side[1])});
    });
  });
  var options = {
    scales: {x: {time: false, range: [-0.5, PAGE.months.length - 0.5]}},
    series: series,
    axes: [{values: function (u, ticks) { return ticks.map(function (t) { return PAGE.months[t] || ''; }); },
            splits: function () { return x; }}, axis('kWh', 3)]
  };
  return chartFigure(options, [x].concat(data), caption);
}

var MONTHLY_CAPTION = 'Energ\u00eda sensible mensual: refrigeraci\u00f3n (Qs &gt; 0, azul) y calefacci\u00f3n ' +
                      '(Qs &lt; 0, rojo)';
var CURVE_CAPTION = 'Curva de duraci\u00f3n de Qs: las horas del a\u00f1o de la mayor carga a la menor';

// The pictures of a zone block or of the building: its carpets, the days of
// its peaks, its duration curve and monthly bars.
function sectionPictures(series, figures) {
  var pictures = [qsCarpet(series.qs)];
  pictures.push(series.band ? temperatureCarpet(series.band) : simultaneousCarpet(series.simultaneous));
  if (figures.coolingPeak >= 0) pictures.push(peakDay(series, figures.coolingPeak, 'refrigeraci\u00f3n'));
  if (figures.heatingPeak >= 0) pictures.push(peakDay(series, figures.heatingPeak, 'calefacci\u00f3n'));
  pictures.push(durationCurves([{label: 'Qs', values: series.qs, colour: COLOURS.qs}], CURVE_CAPTION));
  pictures.push(monthlyBars([{label: '', figures: figures, cooling: COLOURS.cooling, heating: COLOURS.heating}],
                            MONTHLY_CAPTION));
  return pictures;
}

// The pictures of a comparison: the carpet of the building's Qs
// difference, both duration curves and both monthly energies.
function comparedPictures(series, figures) {
  return [
    differenceCarpet(series.base, series.variant),
    durationCurves([{label: 'Qs base', values: series.base, colour: COLOURS.qs},
                    {label: 'Qs variante', values: series.variant, colour: COLOURS.variant}],
                   'Curvas de duraci\u00f3n de Qs del edificio: base (negro) y variante (naranja)'),
    monthlyBars([{label: ' base', figures: figures[0], cooling: COLOURS.cooling, heating: COLOURS.heating},
                 {label: ' variante', figures: figures[1], cooling: COLOURS.coolingVariant,
                  heating: COLOURS.heatingVariant}],
                'Energ\u00eda sensible mensual del edificio: base (izquierda, oscuro) y variante (derecha, claro); ' +
                'refrigeraci\u00f3n (Qs &gt; 0) azul, calefacci\u00f3n (Qs &lt; 0) rojo')
  ];
}

// The series of a section that holds values, decoded once for the hourly
// chart, which may ask for them again.
function keptValues(section) {
  if (!state.values.has(section)) state.values.set(section, hourValues(section.dataset.v));
  return state.values.get(section);
}

// Draws the pictures of a section that holds values (a zone block, the
// building, a comparison), once; says so where they would be when its
// values cannot be read.
function drawSection(section) {
  if (state.drawn.has(section)) return;
  state.drawn.add(section);
  var place = section.classList.contains('figs') ? section : section.querySelector('.figs');
  var compared = section.classList.contains('compared'), building = section.classList.contains('building');
  var figures = figuresOf(section.dataset.f, compared ? 2 : 1);
  (building ? keptValues(section) : hourValues(section.dataset.v)).then(function (series) {
    var pictures = compared ? comparedPictures(named(series, PAGE.comparedSeries), figures)
                            : sectionPictures(named(series, building ? PAGE.buildingSeries : PAGE.zoneSeries),
                                              figures[0]);
    pictures.forEach(function (picture) { place.appendChild(picture); });
  }).catch(function (error) {
    place.textContent = 'No se pueden dibujar los gr\u00e1ficos: ' + error;
  });
}

// ---- The building's hourly chart ----

// The x axis' labels: days, or hours when a few days are shown.
function hourLabels(u, ticks) {
  var width = u.scales.x.max - u.scales.x.min;
  return ticks.map(function (t) { return width <= 3 * DAY ? day(t) + ' ' + clock(t) : day(t); });
}

function hourSplits(u, axisIndex, min, max) {
  var width = max - min, steps = [1, 3, 6, 12, 24, 48, 168, 336, 730, 1460], step = steps[steps.length - 1];
  for (var i = 0; i < steps.length; i++) {
    if (width / steps[i] <= 12) { step = steps[i]; break; }
  }
  var splits = [];
  for (var t = Math.ceil(min / step) * step; t <= max; t += step) splits.push(t);
  return splits;
}

// The zones of the report of `element`, by its index's links: name and section.
function zonesOf(element) {
  var report = element.closest('.report');
  return Array.prototype.map.call(report.querySelectorAll('nav.index a'), function (link) {
    return {name: link.textContent, section: document.getElementById(link.getAttribute('href').slice(1))};
  });
}

// Makes the chart of details.hourly, the first time it is opened: its
// controls, then the year of the building's Qs and QL, from the values of
// its section. Its state is kept in state.hourly: the uPlot chart, the
// report's zones, the zones added, where a zone's temperatures are.
function openHourlyChart(details) {
  if (state.hourly.has(details)) return;
  var chart = {uplot: null, zones: zonesOf(details), added: 0, temperatures: null, asked: 0};
  state.hourly.set(details, chart);
  var listId = 'zonas-' + (++state.hourlyCount);
  var controls = element('div', 'hourly-controls',
                         '<label>A\u00f1adir una zona: <input type="search" list="' + listId + '" ' +
                         'class="add-zone" placeholder="nombre o n\u00famero"></label> ' +
                         '<label>Temperaturas de: <select class="t-zone"><option value="">ninguna</option>' +
                         '</select></label> <span class="hint">Arrastre para acercarse, rueda para acercarse o ' +
                         'alejarse, May\u00fas + arrastre para desplazarse, doble clic para el a\u00f1o entero.' +
                         '</span><datalist id="' + listId + '"></datalist>');
  var list = controls.querySelector('datalist'), select = controls.querySelector('select');
  chart.zones.forEach(function (zone, i) {
    var option = document.createElement('option');
    option.value = zone.name;
    list.appendChild(option);
    var choice = document.createElement('option');
    choice.value = String(i);
    choice.textContent = zone.name;
    select.appendChild(choice);
  });
  details.appendChild(controls);
  var place = element('div', 'hourly-plot');
  details.appendChild(place);
  var hours = [];
  for (var h = 0; h < HOURS; h++) hours.push(h);
  keptValues(details.closest('section').querySelector('.figs.building')).then(function (values) {
    var building = named(values, PAGE.buildingSeries);
    var options = {
      width: Math.max(600, Math.min(1400, details.clientWidth - 20)),
      height: CHART.hourlyHeight,
      scales: {x: {time: false}, T: {}},
      cursor: {drag: {x: true, y: false}},
      series: [{label: 'hora', value: function (u, v) { return v === null ? '' : date(v); }},
               line('Qs del edificio', COLOURS.qs, 1, 'W', {points: {}}),
               line('QL del edificio', COLOURS.ql, 1, 'W', {points: {}})],
      axes: [{values: hourLabels, splits: hourSplits, size: 40}, axis('W', 3),
             Object.assign(axis('T [\u00b0C]', 1), {scale: 'T', grid: {show: false}})],
      plugins: [{hooks: {ready: [wheelAndPan]}}]
    };
    chart.uplot = new uPlot(options, [hours, plotted(building.qs), plotted(building.ql)], place);
  }).catch(function (error) {
    place.textContent = 'No se puede dibujar el gr\u00e1fico: ' + error;
  });
}

// New data for a chart, the range shown kept (the scales of the values are
// made again for the series added).
function replaceData(u, data) {
  var min = u.scales.x.min, max = u.scales.x.max;
  u.setData(data);
  u.setScale('x', {min: min, max: max});
}

// The zone named `wanted` (its whole name first, else a part of it) added
// to the chart, its Qs in the next colour.
function addZone(chart, wanted) {
  var zone = chart.zones.filter(function (z) { return plain(z.name) === wanted; })[0] ||
             chart.zones.filter(function (z) { return plain(z.name).indexOf(wanted) >= 0; })[0];
  if (!wanted || !zone || !chart.uplot) return false;
  keptValues(zone.section).then(function (values) {
    var u = chart.uplot, data = u.data.slice();
    data.push(plotted(values[PAGE.zoneSeries.qs]));
    var colour = COLOURS.added[chart.added++ % COLOURS.added.length];
    u.addSeries(line('Qs ' + zone.name, colour, 1, 'W', {points: {}}), data.length - 1);
    replaceData(u, data);
  });
  return true;
}

// The temperatures of zone `choice` (its place among the report's zones;
// '' for none) on the second axis, instead of those shown before. Values
// that come for an earlier choice are dropped.
function showTemperatures(chart, choice) {
  var u = chart.uplot, asked = ++chart.asked, names = ['treal', 'tmax', 'tmin'];
  if (!u) return;
  if (chart.temperatures !== null) {  // the place of the first of the zone's series shown
    var data = u.data.slice();
    names.forEach(function () { u.delSeries(chart.temperatures); });
    data.splice(chart.temperatures, names.length);
    replaceData(u, data);
    chart.temperatures = null;
  }
  if (choice === '') return;
  var zone = chart.zones[Number(choice)];
  keptValues(zone.section).then(function (values) {
    if (asked !== chart.asked) return;
    var series = named(values, PAGE.zoneSeries), data = u.data.slice(), band = {dash: [4, 3], scale: 'T', points: {}};
    var lines = {treal: line('Treal ' + zone.name, COLOURS.treal, 1, '\u00b0C', {scale: 'T', points: {}}),
                 tmax: line('Tmax ' + zone.name, COLOURS.setPoint, 1, '\u00b0C', band),
                 tmin: line('Tmin ' + zone.name, COLOURS.setPoint, 1, '\u00b0C', band)};
    chart.temperatures = data.length;
    names.forEach(function (name) {
      data.push(plotted(series[name]));
      u.addSeries(lines[name], data.length - 1);
    });
    replaceData(u, data);
  });
}
