// The page's script. It draws each zone's pictures when its section comes
// into view, from the zone's hours held in the page (data-v, doc/formats.md
// "The page's values"); makes the building's hourly chart when it is opened;
// filters the index of zones; and shows the values under the pointer. On the
// building's pictures (drawn by the viewer): on a carpet, the hour's date and
// value (data-q: the Qs of the report's hourly chart; data-d: a difference;
// data-s: simultaneous heating and cooling, as float32); on a
// duration curve (data-c: "hour value" pairs), the nearest point. Without
// scripts the tables, the building's pictures and every figure as text stay.
//
// PAGE holds the constants the viewer wrote the page with (the calendar, the
// number format, the charts' geometry, the palettes), written from its own
// before this script; uPlot, the chart library, is loaded before it too.
(function () {
  'use strict';
  var tip = document.getElementById('tip');
  var HOURS = PAGE.hoursPerYear, DAY = PAGE.hoursPerDay;

  // ---- Dates and numbers ----

  // The start of hour h as "17 jul 13:00".
  function date(h) {
    return day(h) + ' ' + clock(h);
  }

  // The day of hour h as "17 jul".
  function day(h) {
    var d = Math.floor(h / DAY), m = 0;
    while (d >= PAGE.monthEnds[m]) m++;
    return (d - (m ? PAGE.monthEnds[m - 1] : 0) + 1) + ' ' + PAGE.months[m];
  }

  function clock(h) {
    var hour = ((h % DAY) + DAY) % DAY;
    return (hour < 10 ? '0' : '') + hour + ':00';
  }

  // A number as the report writes it, "%g" with PAGE.digits significant
  // digits, with a decimal comma for a Spanish reader.
  function general(v) {
    return generalText(v).replace('.', ',');
  }

  function generalText(v) {
    if (v === null || v === undefined) return '';
    if (isNaN(v)) return 'nan';
    if (!isFinite(v)) return v < 0 ? '-inf' : 'inf';
    if (v === 0) return 1 / v < 0 ? '-0' : '0';
    var parts = v.toExponential(PAGE.digits - 1).split('e'), x = parseInt(parts[1], 10);
    if (x < -4 || x >= PAGE.digits) {
      var mantissa = parts[0].replace(/\.?0+$/, '');
      return mantissa + 'e' + (x < 0 ? '-' : '+') + (Math.abs(x) < 10 ? '0' : '') + Math.abs(x);
    }
    return v.toFixed(PAGE.digits - 1 - x).replace(/(\.\d*?)0+$/, '$1').replace(/\.$/, '');
  }

  // A number as the page's data write it: "inf" and "-inf" as the report does.
  function number(text) {
    return text === 'inf' ? Infinity : text === '-inf' ? -Infinity : Number(text);
  }

  // base64 text as the bytes it holds.
  function bytes(text) {
    var binary = atob(text), array = new Uint8Array(binary.length);
    for (var i = 0; i < binary.length; i++) array[i] = binary.charCodeAt(i);
    return array;
  }

  // ---- The hours held in the page ----

  var TENS = [];  // 10 to the power of a decimal series' decimals
  for (var decimals = 0; decimals <= PAGE.mostDecimals; decimals++) TENS.push(Math.pow(10, decimals));

  // The series of a data-v text, each a Float64Array of the year's hours,
  // every value the one the report writes. The page's values are a zlib
  // stream, which the browser inflates; in it, each series is a decimal one
  // (code 0, its decimals, then the changes from hour to hour as zigzag
  // varints) or float32 (code 1, then the values, little-endian).
  // A browser that cannot inflate gives a rejected promise, never a throw, so
  // that every caller says so where its pictures would be.
  function hourValues(text) {
    return Promise.resolve(text).then(function (encoded) {
      var stream = new Blob([bytes(encoded)]).stream().pipeThrough(new DecompressionStream('deflate'));
      return new Response(stream).arrayBuffer();
    }).then(function (buffer) {
      var data = new Uint8Array(buffer), at = 0, series = [];
      while (at < data.length) {
        var values = new Float64Array(HOURS), code = data[at++];
        if (code === 0) {
          var ten = TENS[data[at++]], integer = 0;
          for (var h = 0; h < HOURS; h++) {
            var n = 0, scale = 1, b;
            do {
              b = data[at++];
              n += (b & 0x7f) * scale;
              scale *= 128;
            } while (b & 0x80);
            integer += n % 2 ? -(n + 1) / 2 : n / 2;
            values[h] = integer / ten;
          }
        } else {
          var view = new DataView(data.buffer, data.byteOffset + at, HOURS * 4);
          for (var k = 0; k < HOURS; k++) values[k] = view.getFloat32(k * 4, true);
          at += HOURS * 4;
        }
        series.push(values);
      }
      return series;
    });
  }

  // A zone section's series (Qs, QL, Treal, Tmax, Tmin), decoded once for
  // the hourly chart, which may ask for them again (its pictures decode
  // theirs and let them go: a year of five series is 350 kB a zone).
  function zoneValues(section) {
    if (!section.zoneValues) section.zoneValues = hourValues(section.dataset.v);
    return section.zoneValues;
  }

  // Values for a chart: what is no number is a gap.
  function plotted(values) {
    var out = new Array(values.length);
    for (var i = 0; i < values.length; i++) out[i] = isFinite(values[i]) ? values[i] : null;
    return out;
  }

  // ---- The value under the pointer ----

  function show(e, text) {
    tip.textContent = text;
    tip.style.display = 'block';
    tip.style.left = (e.clientX + 12) + 'px';
    tip.style.top = (e.clientY + 12) + 'px';
  }

  function hide() { tip.style.display = 'none'; }

  // The hour of a carpet under the pointer: days across, hours down.
  function carpetHour(element, e) {
    var r = element.getBoundingClientRect();
    var d = Math.min(PAGE.daysPerYear - 1, Math.floor((e.clientX - r.left) / r.width * PAGE.daysPerYear));
    var hour = Math.min(DAY - 1, Math.floor((e.clientY - r.top) / r.height * DAY));
    return Math.max(0, d) * DAY + Math.max(0, hour);
  }

  // What a temperature carpet's palette index says (0 inside the band, 1 no
  // number, then the steps above Tmax and as many below Tmin).
  function bandText(index) {
    var tolerance = String(PAGE.tolerance).replace('.', ',');
    if (index === 0) return 'Treal dentro de sus consignas (con ' + tolerance + ' K de tolerancia)';
    if (index === 1) return 'Treal no num\u00e9rico';
    var steps = PAGE.temperatureSteps, level = (index - 2) % steps + 1, k = PAGE.temperatureKelvins / steps;
    var side = index - 2 < steps ? 'por encima de Tmax' : 'por debajo de Tmin';
    var from = Math.max((level - 1) * k, PAGE.tolerance);
    var kelvins = function (v) { return String(v).replace('.', ','); };
    return 'Treal ' + side + (level === steps ? ' en m\u00e1s de ' + kelvins(from) + ' K'
                                              : ' en ' + kelvins(from) + ' a ' + kelvins(level * k) + ' K');
  }

  // What a carpet's values are, by the attribute that holds them.
  var valueNames = {d: 'diferencia de Qs ', s: 'calefacci\u00f3n y refrigeraci\u00f3n simult\u00e1neas '};

  // The pictures the viewer drew: their values under the pointer. The
  // building's Qs carpet (data-q) shows the Qs its report's hourly chart
  // holds, once decoded.
  document.querySelectorAll('img[data-q]').forEach(function (img) {
    var qs = null, asked = false, last = null;
    function tell(e) {
      var h = carpetHour(img, e);
      show(e, date(h) + ': Qs ' + general(qs[h]) + ' W');
    }
    img.addEventListener('mousemove', function (e) {
      last = e;
      if (qs) return tell(e);
      if (asked) return;
      asked = true;
      var chart = img.closest('.report').querySelector('details.hourly');
      chart.buildingValues = chart.buildingValues || hourValues(chart.dataset.v);
      chart.buildingValues.then(function (series) {
        qs = series[0];
        if (last) tell(last);
      }).catch(function (error) {
        if (last) show(last, 'No se pueden leer los valores: ' + error);
      });
    });
    img.addEventListener('mouseleave', function () {
      last = null;
      hide();
    });
  });

  document.querySelectorAll('img[data-d],img[data-s]').forEach(function (img) {
    var values = null;
    img.addEventListener('mousemove', function (e) {
      var h = carpetHour(img, e), key = img.dataset.d ? 'd' : 's';
      values = values || new Float32Array(bytes(img.dataset[key]).buffer);
      show(e, date(h) + ': ' + valueNames[key] + general(values[h]) + ' W');
    });
    img.addEventListener('mouseleave', hide);
  });

  document.querySelectorAll('figure[data-c]').forEach(function (figure) {
    var svg = figure.querySelector('svg');
    var series = [figure.dataset.c, figure.dataset.c2].filter(Boolean).map(function (text) {
      return text.trim().split(' ').map(number);
    });
    svg.addEventListener('mousemove', function (e) {
      var r = svg.getBoundingClientRect();
      var x = (e.clientX - r.left) / r.width * PAGE.chartWidth;
      var rank = (x - PAGE.plotLeft) / PAGE.plotWidth * HOURS, parts = [];
      series.forEach(function (points, k) {
        var best = 0;
        for (var i = 0; i < points.length; i += 2) {
          if (Math.abs(points[i] - rank) < Math.abs(points[best] - rank)) best = i;
        }
        parts.push((series.length > 1 ? (k ? 'variante ' : 'base ') : '') + 'hora ' + points[best] + ': ' +
                   general(points[best + 1]) + ' W');
      });
      show(e, parts.join(' \u00b7 '));
    });
    svg.addEventListener('mouseleave', hide);
  });

  // ---- The zones' carpets, drawn here as the viewer draws the building's ----

  // The Qs carpet's palette index of a value (0 for 0, 1 for no number, then
  // the steps above 0 and as many below), `levels` steps over the scale.
  function carpetIndex(v, levels) {
    if (isNaN(v)) return 1;
    if (v === 0) return 0;
    var steps = PAGE.carpetSteps, level = steps, x = Math.abs(v) * levels;
    if (levels > 0 && isFinite(x) && x < steps) level = Math.max(1, Math.ceil(x));
    return (v > 0 ? 1 : 1 + steps) + level;
  }

  // Whether t is beyond `limit` by more than the tolerance (a hair's slack
  // for values the report rounded; none with a tolerance of 0), as the
  // viewer counts.
  function beyond(t, limit) {
    var excess = t - limit;
    if (isNaN(excess)) return false;
    if (!(PAGE.tolerance > 0)) return excess > 0;
    var scale = Math.max(1, Math.abs(limit));
    if (isFinite(t)) scale = Math.max(scale, Math.abs(t));
    return excess - PAGE.tolerance > 1e-9 * scale;
  }

  // The temperature carpet's palette index of an hour.
  function temperatureIndex(t, high, low) {
    if (isNaN(t) || isNaN(high) || isNaN(low)) return 1;
    var above = beyond(t, high);
    if (!above && !beyond(-t, -low)) return 0;
    var steps = PAGE.temperatureSteps, excess = above ? t - high : low - t;
    var level = Math.ceil(excess * steps / PAGE.temperatureKelvins);
    level = level < steps ? Math.max(1, level) : steps;
    return (above ? 1 : 1 + steps) + level;
  }

  function element(tag, className, html) {
    var e = document.createElement(tag);
    if (className) e.className = className;
    if (html) e.innerHTML = html;
    return e;
  }

  // A carpet figure: the hours' colours (index of each hour in the palette),
  // its axes, scale and caption, the text under the pointer by hour.
  function carpetFigure(indexOf, palette, scaleHtml, caption, tipText) {
    var figure = element('figure', 'carpet');
    var box = element('div', 'cbox', '<div class="hrs"><span>0h</span><span>6h</span><span>12h</span>' +
                                     '<span>18h</span><span>24h</span></div>');
    var canvas = document.createElement('canvas');
    canvas.width = PAGE.daysPerYear;
    canvas.height = DAY;
    var context = canvas.getContext('2d'), image = context.createImageData(PAGE.daysPerYear, DAY);
    for (var h = 0; h < HOURS; h++) {
      var colour = palette[indexOf(h)], at = ((h % DAY) * PAGE.daysPerYear + Math.floor(h / DAY)) * 4;
      image.data[at] = colour[0];
      image.data[at + 1] = colour[1];
      image.data[at + 2] = colour[2];
      image.data[at + 3] = 255;
    }
    context.putImageData(image, 0, 0);
    box.appendChild(canvas);
    figure.appendChild(box);
    var months = '';
    for (var m = 0; m < 12; m++) {
      var start = m ? PAGE.monthEnds[m - 1] : 0;
      months += '<span style="left:' + (start * 100 / PAGE.daysPerYear).toFixed(1) + '%">' + PAGE.months[m] +
                '</span>';
    }
    figure.appendChild(element('div', 'months', months));
    if (scaleHtml) figure.appendChild(element('div', 'scale', scaleHtml));
    figure.appendChild(element('figcaption', '', caption));
    canvas.addEventListener('mousemove', function (e) {
      var hour = carpetHour(canvas, e);
      show(e, date(hour) + ': ' + tipText(hour));
    });
    canvas.addEventListener('mouseleave', hide);
    return figure;
  }

  function qsCarpet(qs) {
    var scale = 0;
    for (var h = 0; h < HOURS; h++) if (isFinite(qs[h])) scale = Math.max(scale, Math.abs(qs[h]));
    var levels = scale > 0 ? PAGE.carpetSteps / scale : 0;
    return carpetFigure(function (hour) { return carpetIndex(qs[hour], levels); }, PAGE.carpetPalette,
                        '<span>calefacci\u00f3n ' + general(scale) + ' W</span><span class="bar"></span><span>' +
                        general(scale) + ' W refrigeraci\u00f3n</span>',
                        'Qs por hora: d\u00edas del a\u00f1o \u2192, horas del d\u00eda \u2193; rojo ' +
                        'calefacci\u00f3n (Qs &lt; 0), azul refrigeraci\u00f3n (Qs &gt; 0), blanco 0, gris no ' +
                        'num\u00e9rico',
                        function (hour) { return 'Qs ' + general(qs[hour]) + ' W'; });
  }

  function temperatureCarpet(treal, tmax, tmin) {
    var index = function (hour) { return temperatureIndex(treal[hour], tmax[hour], tmin[hour]); };
    var kelvins = String(PAGE.temperatureKelvins).replace('.', ',');
    return carpetFigure(index, PAGE.palette,
                        '<span>bajo Tmin ' + kelvins + ' K</span><span class="bar temp"></span><span>' + kelvins +
                        ' K sobre Tmax</span>',
                        'Treal frente a sus consignas por hora (m\u00e1s all\u00e1 de ' +
                        String(PAGE.tolerance).replace('.', ',') + ' K): naranja por encima de Tmax, morado por ' +
                        'debajo de Tmin, m\u00e1s intenso cuanto m\u00e1s lejos, claro dentro',
                        function (hour) { return bandText(index(hour)); });
  }

  // ---- The zones' charts ----

  // A uPlot chart in a figure with its caption; `legend` shows the values
  // under the pointer.
  function chartFigure(options, data, caption) {
    var figure = element('figure', 'uchart');
    options.width = PAGE.chartWidth;
    options.height = PAGE.chartHeight;
    new uPlot(options, data, figure);
    figure.appendChild(element('figcaption', '', caption));
    return figure;
  }

  function valueOf(unit) {
    return function (u, v) { return v === null || v === undefined ? '\u2014' : general(v) + ' ' + unit; };
  }

  function axis(label, side) {
    return {label: label, side: side, values: function (u, ticks) { return ticks.map(general); }, size: 60};
  }

  // The 24 hours of the day of hour `peak`: Qs and QL, and Treal, Tmax and
  // Tmin on their own axis on the right.
  function peakDay(series, peak, name) {
    var first = peak - peak % DAY, x = [], columns = [[], [], [], [], []];
    for (var h = 0; h < DAY; h++) {
      x.push(h);
      for (var s = 0; s < 5; s++) {
        var v = series[s][first + h];
        columns[s].push(isFinite(v) ? v : null);
      }
    }
    var options = {
      scales: {x: {time: false}, T: {}},
      series: [
        {label: 'hora', value: function (u, v) { return v === null ? '' : day(first) + ' ' + clock(v); }},
        {label: 'Qs', stroke: '#222', width: 2, points: {show: false}, value: valueOf('W')},
        {label: 'QL', stroke: '#1b7837', width: 1.5, points: {show: false}, value: valueOf('W')},
        {label: 'Treal', stroke: '#d7301f', width: 1.5, scale: 'T', points: {show: false}, value: valueOf('\u00b0C')},
        {label: 'Tmax', stroke: '#999', dash: [4, 3], scale: 'T', points: {show: false}, value: valueOf('\u00b0C')},
        {label: 'Tmin', stroke: '#999', dash: [4, 3], scale: 'T', points: {show: false}, value: valueOf('\u00b0C')}
      ],
      axes: [{label: 'hora', splits: function () { return [0, 3, 6, 9, 12, 15, 18, 21]; }},
             axis('Qs, QL [W]', 3), Object.assign(axis('T [\u00b0C]', 1), {scale: 'T', grid: {show: false}})]
    };
    return chartFigure(options, [x].concat(columns),
                       'D\u00eda de la punta de ' + name + ', ' + day(first) + ': Qs (negro), QL (verde) y, a la ' +
                       'derecha, Treal (rojo) entre Tmin y Tmax (gris)');
  }

  function durationCurve(qs) {
    var sorted = Array.prototype.filter.call(qs, function (v) { return !isNaN(v); }).sort(function (a, b) {
      return b - a;
    });
    var x = sorted.map(function (v, i) { return i + 1; });
    var options = {
      scales: {x: {time: false}},
      series: [{label: 'horas'}, {label: 'Qs', stroke: '#444', width: 1.5, value: valueOf('W')}],
      axes: [{label: 'horas'}, axis('Qs [W]', 3)]
    };
    return chartFigure(options, [x, plotted(sorted)],
                       'Curva de duraci\u00f3n de Qs: las horas del a\u00f1o de la mayor carga a la menor');
  }

  // The value under the pointer of a month of `months`: its own figure, so
  // that a month that is no finite number, which has no bar, says what it is.
  function monthValue(months) {
    return function (u, v, s, m) { return m === null || m === undefined ? '\u2014' : general(months[m]) + ' kWh'; };
  }

  // Monthly energy in kWh of Qs > 0 (up) and Qs < 0 (down), from the
  // viewer's figures (data-f).
  function monthlyBars(figures) {
    var x = [], positive = [], negative = [];
    var months = [figures.slice(2, 14), figures.slice(14, 26)];
    for (var m = 0; m < 12; m++) {
      x.push(m);
      positive.push(isFinite(months[0][m]) ? months[0][m] : null);
      negative.push(isFinite(months[1][m]) ? months[1][m] : null);
    }
    var bars = uPlot.paths.bars({size: [0.4, 40], align: 0});
    var options = {
      scales: {x: {time: false, range: [-0.5, 11.5]}},
      series: [
        {label: 'mes', value: function (u, v) { return v === null ? '' : PAGE.months[v]; }},
        {label: 'refrigeraci\u00f3n', fill: '#2166ac', stroke: '#2166ac', paths: bars, points: {show: false},
         value: monthValue(months[0])},
        {label: 'calefacci\u00f3n', fill: '#b2182b', stroke: '#b2182b', paths: bars, points: {show: false},
         value: monthValue(months[1])}
      ],
      axes: [{values: function (u, ticks) { return ticks.map(function (t) { return PAGE.months[t] || ''; }); },
              splits: function () { return x; }}, axis('kWh', 3)]
    };
    return chartFigure(options, [x, positive, negative],
                       'Energ\u00eda sensible mensual: refrigeraci\u00f3n (Qs &gt; 0, azul) y calefacci\u00f3n ' +
                       '(Qs &lt; 0, rojo)');
  }

  // Draws a zone section's pictures, once.
  function drawZone(section) {
    if (section.drawn) return;
    section.drawn = true;
    var figures = section.dataset.f.split(' ').map(number);
    hourValues(section.dataset.v).then(function (series) {
      var place = section.querySelector('.figs');
      place.appendChild(qsCarpet(series[0]));
      place.appendChild(temperatureCarpet(series[2], series[3], series[4]));
      if (figures[0] >= 0) place.appendChild(peakDay(series, figures[0], 'refrigeraci\u00f3n'));
      if (figures[1] >= 0) place.appendChild(peakDay(series, figures[1], 'calefacci\u00f3n'));
      place.appendChild(durationCurve(series[0]));
      place.appendChild(monthlyBars(figures));
    }).catch(function (error) {
      section.querySelector('.figs').textContent = 'No se pueden dibujar los gr\u00e1ficos: ' + error;
    });
  }

  var zones = document.querySelectorAll('section.zone');
  if ('IntersectionObserver' in window) {
    var watcher = new IntersectionObserver(function (entries) {
      entries.forEach(function (entry) {
        if (!entry.isIntersecting) return;
        watcher.unobserve(entry.target);
        drawZone(entry.target);
      });
    }, {rootMargin: '600px 0px'});
    zones.forEach(function (section) { watcher.observe(section); });
  } else {
    zones.forEach(drawZone);
  }

  // ---- The index of zones ----

  // Text as compared by the filter: lower case, without accents.
  function plain(text) {
    return text.toLowerCase().normalize('NFD').replace(/[\u0300-\u036f]/g, '');
  }

  document.querySelectorAll('nav.index').forEach(function (nav) {
    var filter = nav.querySelector('input.filter'), items = nav.querySelectorAll('li');
    filter.hidden = false;
    filter.addEventListener('input', function () {
      var wanted = plain(filter.value.trim());
      items.forEach(function (item) { item.hidden = wanted !== '' && plain(item.textContent).indexOf(wanted) < 0; });
    });
  });

  // ---- The building's hourly chart ----

  // Zooms the x axis around the pointer with the wheel, never to less than a
  // day, and pans it with the Shift key and a drag.
  function wheelAndPan(u) {
    var over = u.over;
    function setRange(min, max) {
      var width = Math.min(HOURS - 1, Math.max(DAY, max - min));
      min = Math.max(0, Math.min(HOURS - 1 - width, min));
      u.setScale('x', {min: min, max: min + width});
    }
    over.addEventListener('wheel', function (e) {
      e.preventDefault();
      var min = u.scales.x.min, max = u.scales.x.max, width = max - min;
      var at = u.posToVal(e.offsetX, 'x'), factor = e.deltaY < 0 ? 0.75 : 1 / 0.75;
      var newWidth = width * factor;
      setRange(at - (at - min) * newWidth / width, at - (at - min) * newWidth / width + newWidth);
    }, {passive: false});
    over.addEventListener('mousedown', function (e) {
      if (!e.shiftKey) return;
      e.preventDefault();
      e.stopPropagation();
      var startX = e.clientX, min = u.scales.x.min, max = u.scales.x.max;
      var perPixel = (max - min) / u.bbox.width * devicePixelRatio;
      function move(m) { setRange(min - (m.clientX - startX) * perPixel, max - (m.clientX - startX) * perPixel); }
      function up() {
        document.removeEventListener('mousemove', move);
        document.removeEventListener('mouseup', up);
      }
      document.addEventListener('mousemove', move);
      document.addEventListener('mouseup', up);
    }, true);
  }

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

  // The report's zones, by their index's links: name and section.
  function zonesOf(chart) {
    var report = chart.closest('.report');
    return Array.prototype.map.call(report.querySelectorAll('nav.index a'), function (link) {
      return {name: link.textContent, section: document.getElementById(link.getAttribute('href').slice(1))};
    });
  }

  var chartNumber = 0;

  // Makes the chart the first time its details are opened.
  function openHourlyChart(details) {
    if (details.chart) return;
    var hours = [];
    for (var h = 0; h < HOURS; h++) hours.push(h);
    var zonesHere = zonesOf(details), listId = 'zonas-' + (++chartNumber);
    var controls = element('div', 'hourly-controls',
                           '<label>A\u00f1adir una zona: <input type="search" list="' + listId + '" ' +
                           'class="add-zone" placeholder="nombre o n\u00famero"></label> ' +
                           '<label>Temperaturas de: <select class="t-zone"><option value="">ninguna</option>' +
                           '</select></label> <span class="hint">Arrastre para acercarse, rueda para acercarse o ' +
                           'alejarse, May\u00fas + arrastre para desplazarse, doble clic para el a\u00f1o entero.' +
                           '</span><datalist id="' + listId + '"></datalist>');
    var list = controls.querySelector('datalist'), select = controls.querySelector('select');
    zonesHere.forEach(function (zone, i) {
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
    details.buildingValues = details.buildingValues || hourValues(details.dataset.v);
    details.chart = details.buildingValues.then(function (building) {
      var options = {
        width: Math.max(600, Math.min(1400, details.clientWidth - 20)),
        height: 360,
        scales: {x: {time: false}, T: {}},
        cursor: {drag: {x: true, y: false}},
        series: [
          {label: 'hora', value: function (u, v) { return v === null ? '' : date(v); }},
          {label: 'Qs del edificio', stroke: '#222', width: 1, value: valueOf('W')},
          {label: 'QL del edificio', stroke: '#1b7837', width: 1, value: valueOf('W')}
        ],
        axes: [{values: hourLabels, splits: hourSplits, size: 40}, axis('W', 3),
               Object.assign(axis('T [\u00b0C]', 1), {scale: 'T', grid: {show: false}})],
        plugins: [{hooks: {ready: [wheelAndPan]}}]
      };
      var u = new uPlot(options, [hours, plotted(building[0]), plotted(building[1])], place);
      details.uplot = u;
      var colours = ['#2166ac', '#e66101', '#5e3c99', '#1b9e77', '#d95f02', '#7570b3', '#e7298a', '#66a61e'];
      var added = 0;
      // New data for the chart, the range shown kept (the scales of the
      // values are made again for the series added).
      function replaceData(data) {
        var min = u.scales.x.min, max = u.scales.x.max;
        u.setData(data);
        u.setScale('x', {min: min, max: max});
      }
      var input = controls.querySelector('input.add-zone');
      input.addEventListener('change', function () {
        var wanted = plain(input.value.trim());
        var zone = zonesHere.filter(function (z) { return plain(z.name) === wanted; })[0] ||
                   zonesHere.filter(function (z) { return plain(z.name).indexOf(wanted) >= 0; })[0];
        if (!wanted || !zone) return;
        input.value = '';
        zoneValues(zone.section).then(function (series) {
          var data = u.data.slice();
          data.push(plotted(series[0]));
          u.addSeries({label: 'Qs ' + zone.name, stroke: colours[added++ % colours.length], width: 1,
                       value: valueOf('W')}, data.length - 1);
          replaceData(data);
        });
      });
      var temperatures = null;  // the index of the first of the three series
      var asked = 0;             // the latest choice; values that come for an earlier one are dropped
      select.addEventListener('change', function () {
        var choice = ++asked;
        if (temperatures !== null) {
          var data = u.data.slice();
          for (var k = 0; k < 3; k++) u.delSeries(temperatures);
          data.splice(temperatures, 3);
          replaceData(data);
          temperatures = null;
        }
        if (select.value === '') return;
        var zone = zonesHere[Number(select.value)];
        zoneValues(zone.section).then(function (series) {
          if (choice !== asked) return;
          var data = u.data.slice();
          temperatures = data.length;
          [['Treal', '#d7301f', null, 2], ['Tmax', '#999', [4, 3], 3], ['Tmin', '#999', [4, 3], 4]].forEach(
              function (t) {
                data.push(plotted(series[t[3]]));
                u.addSeries({label: t[0] + ' ' + zone.name, stroke: t[1], dash: t[2], width: 1, scale: 'T',
                             value: valueOf('\u00b0C')}, data.length - 1);
              });
          replaceData(data);
        });
      });
      return u;
    }).catch(function (error) {
      place.textContent = 'No se puede dibujar el gr\u00e1fico: ' + error;
    });
  }

  document.querySelectorAll('details.hourly').forEach(function (details) {
    details.addEventListener('toggle', function () { if (details.open) openHourlyChart(details); });
    if (details.open) openHourlyChart(details);
  });
})();
