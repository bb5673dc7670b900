// ---- Pure functions: the values the sections hold, and what a picture makes of them ----

// base64 text as the bytes it holds.
function bytes(text) {
  var binary = atob(text), array = new Uint8Array(binary.length);
  for (var i = 0; i < binary.length; i++) array[i] = binary.charCodeAt(i);
  return array;
}

var TENS = [];  // 10 to the power of a decimal series' decimals
for (var decimals = 0; decimals <= PAGE.mostDecimals; decimals++) TENS.push(Math.pow(10, decimals));

// The series of a data-v text, each a Float64Array of the year's hours,
// every value the one the viewer read. The values are a zlib stream, which
// the browser inflates; in it, each series is a decimal one (code 0, its
// decimals, then the changes from hour to hour as zigzag varints) or float32
// (code 1, then the values, little-endian). A browser that cannot inflate
// gives a rejected promise, never a throw, so that every caller says so
// where its pictures would be.
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

// The series of a section by the names PAGE gives their places
// (PAGE.zoneSeries, buildingSeries, comparedSeries): {qs: ..., ql: ...}.
function named(series, places) {
  var out = {};
  Object.keys(places).forEach(function (name) { out[name] = series[places[name]]; });
  return out;
}

// The figures of a data-f text: one section's, or with `count` 2 the base's
// and the variant's, each {coolingPeak, heatingPeak, coolingMonths,
// heatingMonths} (the peaks' hours, -1 for none; the months in kWh).
function figuresOf(text, count) {
  var list = text.split(' ').map(number), fields = PAGE.figureFields, designs = [];
  for (var d = 0; d < (count || 1); d++) {
    var at = d * fields.count, months = function (first) {
      return list.slice(at + first, at + first + PAGE.months.length);
    };
    designs.push({coolingPeak: list[at + fields.coolingPeak], heatingPeak: list[at + fields.heatingPeak],
                  coolingMonths: months(fields.coolingMonths), heatingMonths: months(fields.heatingMonths)});
  }
  return designs;
}

// Values for a chart: what is no finite number is a gap.
function plotted(values) {
  var out = new Array(values.length);
  for (var i = 0; i < values.length; i++) out[i] = isFinite(values[i]) ? values[i] : null;
  return out;
}

// The values that are numbers, from the largest to the smallest.
function sortedDescending(values) {
  return Array.prototype.filter.call(values, function (v) { return !isNaN(v); }).sort(function (a, b) {
    return b - a;
  });
}

// Hour by hour, the variant's value less the base's.
function difference(base, variant) {
  var out = new Float64Array(HOURS);
  for (var h = 0; h < HOURS; h++) out[h] = variant[h] - base[h];
  return out;
}

// A carpet's scale: the largest finite |value|, the same on both sides of 0.
function carpetScale(values) {
  var scale = 0;
  for (var h = 0; h < HOURS; h++) if (isFinite(values[h])) scale = Math.max(scale, Math.abs(values[h]));
  return scale;
}

// A carpet's palette index of a value (0 for 0, 1 for no number, then
// `steps` steps above 0 and as many below), `levels` steps over the scale
// (0 for a scale of 0, where every value but 0 is the strongest).
function carpetIndex(v, levels, steps) {
  if (isNaN(v)) return 1;
  if (v === 0) return 0;
  var level = steps, x = Math.abs(v) * levels;
  if (levels > 0 && isFinite(x) && x < steps) level = Math.max(1, Math.ceil(x));
  return (v > 0 ? 1 : 1 + steps) + level;
}

// A carpet's palette: 0 `zero`, 1 the grey of no number, then the steps of
// the hue above and of the hue below, light to strong. Step k mixes white
// with the hue by (k + faint) / (steps + faint).
function palette(kind) {
  var colours = [kind.zero, COLOURS.noNumber];
  [kind.above, kind.below].forEach(function (hue) {
    for (var level = 1; level <= kind.steps; level++) {
      colours.push(hue.map(function (full) {
        return 255 - Math.floor((255 - full) * (level + kind.faint) / (kind.steps + kind.faint));
      }));
    }
  });
  return colours;
}

// A colour as CSS writes it.
function css(colour) {
  return 'rgb(' + colour.join(',') + ')';
}

// The hour of a carpet under the pointer at (x, y) in the carpet's box
// `r`: days across, hours down.
function carpetHour(r, x, y) {
  var d = Math.min(DAYS - 1, Math.floor((x - r.left) / r.width * DAYS));
  var hour = Math.min(DAY - 1, Math.floor((y - r.top) / r.height * DAY));
  return Math.max(0, d) * DAY + Math.max(0, hour);
}

// What a temperature band says (the viewer's temperatureBands: 0 inside,
// 1 no number, then the steps above Tmax and as many below Tmin).
function bandText(band) {
  if (band === 0) return 'Treal dentro de sus consignas (con ' + general(PAGE.tolerance) + ' K de tolerancia)';
  if (band === 1) return 'Treal no num\u00e9rico';
  var steps = PAGE.temperatureSteps, level = (band - 2) % steps + 1, k = PAGE.temperatureKelvins / steps;
  var side = band - 2 < steps ? 'por encima de Tmax' : 'por debajo de Tmin';
  var from = Math.max((level - 1) * k, PAGE.tolerance);
  return 'Treal ' + side + (level === steps ? ' en m\u00e1s de ' + general(from) + ' K'
                                            : ' en ' + general(from) + ' a ' + general(level * k) + ' K');
}
