// The page's script: the values under the pointer. On a carpet, the hour's
// date and value; on a duration curve, the hour and value of the nearest
// point. The values are in the page (data-v: Qs as float32; data-d: a
// difference as float32; data-c: a curve's "hour value" pairs); a
// temperature carpet (data-t) is read off its own colours, the nearest of its
// palette. Without scripts the page shows the same pictures.
//
// PAGE holds the constants the viewer wrote the page with (the calendar, the
// number format, the charts' geometry, the temperature palette); they are
// written from the viewer's own before this script.
(function () {
  'use strict';
  var tip = document.getElementById('tip');

  // The start of hour h as "17 jul 13:00".
  function date(h) {
    var day = Math.floor(h / PAGE.hoursPerDay), m = 0;
    while (day >= PAGE.monthEnds[m]) m++;
    var dayOfMonth = day - (m ? PAGE.monthEnds[m - 1] : 0) + 1, hour = h % PAGE.hoursPerDay;
    return dayOfMonth + ' ' + PAGE.months[m] + ' ' + (hour < 10 ? '0' : '') + hour + ':00';
  }

  // A number as the report writes it, "%g" with PAGE.digits significant
  // digits, with a decimal comma for a Spanish reader.
  function general(v) {
    return generalText(v).replace('.', ',');
  }

  function generalText(v) {
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
    return array.buffer;
  }

  function show(e, text) {
    tip.textContent = text;
    tip.style.display = 'block';
    tip.style.left = (e.clientX + 12) + 'px';
    tip.style.top = (e.clientY + 12) + 'px';
  }

  function hide() { tip.style.display = 'none'; }

  // The pixels of a picture, as RGBA bytes.
  function pixels(img) {
    var canvas = document.createElement('canvas');
    canvas.width = img.naturalWidth;
    canvas.height = img.naturalHeight;
    var context = canvas.getContext('2d');
    context.drawImage(img, 0, 0);
    return context.getImageData(0, 0, canvas.width, canvas.height).data;
  }

  // What the temperature carpet's colour at hour h says: the nearest colour
  // of its palette (0 inside the band, 1 no number, then the steps above
  // Tmax and as many below Tmin).
  function band(data, h) {
    var at = ((h % PAGE.hoursPerDay) * PAGE.daysPerYear + Math.floor(h / PAGE.hoursPerDay)) * 4;
    var best = 0, distance = 1e9;
    PAGE.palette.forEach(function (colour, i) {
      var d = 0;
      for (var k = 0; k < 3; k++) d += (colour[k] - data[at + k]) * (colour[k] - data[at + k]);
      if (d < distance) { distance = d; best = i; }
    });
    var tolerance = String(PAGE.tolerance).replace('.', ',');
    if (best === 0) return 'Treal dentro de sus consignas (con ' + tolerance + ' K de tolerancia)';
    if (best === 1) return 'Treal no num\u00e9rico';
    var steps = PAGE.temperatureSteps, level = (best - 2) % steps + 1, k = PAGE.temperatureKelvins / steps;
    var side = best - 2 < steps ? 'por encima de Tmax' : 'por debajo de Tmin';
    var from = Math.max((level - 1) * k, PAGE.tolerance);
    var kelvins = function (v) { return String(v).replace('.', ','); };
    return 'Treal ' + side + (level === steps ? ' en m\u00e1s de ' + kelvins(from) + ' K'
                                              : ' en ' + kelvins(from) + ' a ' + kelvins(level * k) + ' K');
  }

  // What a carpet's values are, by the attribute that holds them.
  var valueNames = {v: 'Qs ', d: 'diferencia de Qs ', s: 'calefacci\u00f3n y refrigeraci\u00f3n simult\u00e1neas '};

  document.querySelectorAll('img[data-v],img[data-t],img[data-d],img[data-s]').forEach(function (img) {
    var values = null;
    img.addEventListener('mousemove', function (e) {
      var r = img.getBoundingClientRect();
      var day = Math.min(PAGE.daysPerYear - 1, Math.floor((e.clientX - r.left) / r.width * PAGE.daysPerYear));
      var hour = Math.min(PAGE.hoursPerDay - 1, Math.floor((e.clientY - r.top) / r.height * PAGE.hoursPerDay));
      var h = day * PAGE.hoursPerDay + hour, text;
      if (img.dataset.t) {
        values = values || pixels(img);
        text = date(h) + ': ' + band(values, h);
      } else {
        var key = img.dataset.v ? 'v' : img.dataset.d ? 'd' : 's';
        values = values || new Float32Array(bytes(img.dataset[key]));
        text = date(h) + ': ' + valueNames[key] + general(values[h]) + ' W';
      }
      show(e, text);
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
      var rank = (x - PAGE.plotLeft) / PAGE.plotWidth * PAGE.hoursPerYear, parts = [];
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
})();
