// ---- Drawing: carpets (days across, hours down, a colour each hour) ----

var PALETTES = {};
Object.keys(CARPETS).forEach(function (kind) { PALETTES[kind] = palette(CARPETS[kind]); });

function element(tag, className, html) {
  var e = document.createElement(tag);
  if (className) e.className = className;
  if (html) e.innerHTML = html;
  return e;
}

// The scale under a carpet: its bar, from the strongest colour below to the
// strongest above through the colour of 0 (from 0 for a carpet of one
// side), between its two ends' texts.
function scaleHtml(kind, low, high, oneSided) {
  var colours = PALETTES[kind], steps = CARPETS[kind].steps, stops = [css(colours[0]), css(colours[1 + steps])];
  if (!oneSided) stops.unshift(css(colours[1 + 2 * steps]));
  return '<span>' + low + '</span><span class="bar" style="background:linear-gradient(to right,' + stops.join(',') +
         ')"></span><span>' + high + '</span>';
}

// A carpet figure: each hour's colour (its index in the palette of `kind`),
// the hours and months along its sides, its scale and caption; `tipText`
// gives the text under the pointer of an hour.
function carpetFigure(kind, indexOf, scale, caption, tipText) {
  var figure = element('figure', 'carpet');
  var box = element('div', 'cbox', '<div class="hrs"><span>0h</span><span>6h</span><span>12h</span>' +
                                   '<span>18h</span><span>24h</span></div>');
  var canvas = document.createElement('canvas');
  canvas.width = DAYS;
  canvas.height = DAY;
  var context = canvas.getContext('2d'), image = context.createImageData(DAYS, DAY), colours = PALETTES[kind];
  for (var h = 0; h < HOURS; h++) {
    var colour = colours[indexOf(h)], at = ((h % DAY) * DAYS + Math.floor(h / DAY)) * 4;
    image.data[at] = colour[0];
    image.data[at + 1] = colour[1];
    image.data[at + 2] = colour[2];
    image.data[at + 3] = 255;
  }
  context.putImageData(image, 0, 0);
  box.appendChild(canvas);
  figure.appendChild(box);
  var months = '';
  for (var m = 0; m < PAGE.months.length; m++) {
    var start = m ? PAGE.monthEnds[m - 1] : 0;
    months += '<span style="left:' + (start * 100 / DAYS).toFixed(1) + '%">' + PAGE.months[m] + '</span>';
  }
  figure.appendChild(element('div', 'months', months));
  figure.appendChild(element('div', 'scale', scale));
  figure.appendChild(element('figcaption', '', caption));
  state.carpets.set(canvas, tipText);
  return figure;
}

// A carpet of values on a scale symmetric around 0, of palette `kind`;
// `ends(scale)` gives its scale's line from the scale's text.
function valueCarpet(kind, values, ends, caption, tipText) {
  var scale = carpetScale(values), steps = CARPETS[kind].steps, levels = scale > 0 ? steps / scale : 0;
  return carpetFigure(kind, function (h) { return carpetIndex(values[h], levels, steps); }, ends(general(scale)),
                      caption, tipText);
}

function qsCarpet(qs) {
  return valueCarpet('qs', qs, function (scale) {
    return scaleHtml('qs', 'calefacci\u00f3n ' + scale + ' W', scale + ' W refrigeraci\u00f3n');
  }, 'Qs por hora: d\u00edas del a\u00f1o \u2192, horas del d\u00eda \u2193; rojo calefacci\u00f3n (Qs &lt; 0), ' +
     'azul refrigeraci\u00f3n (Qs &gt; 0), blanco 0, gris no num\u00e9rico',
  function (h) { return 'Qs ' + general(qs[h]) + ' W'; });
}

// Treal against its set points, from the bands the viewer found.
function temperatureCarpet(bands) {
  var kelvins = general(PAGE.temperatureKelvins);
  return carpetFigure('temperature', function (h) { return bands[h]; },
                      scaleHtml('temperature', 'bajo Tmin ' + kelvins + ' K', kelvins + ' K sobre Tmax'),
                      'Treal frente a sus consignas por hora (m\u00e1s all\u00e1 de ' + general(PAGE.tolerance) +
                      ' K): naranja por encima de Tmax, morado por debajo de Tmin, m\u00e1s intenso cuanto m\u00e1s ' +
                      'lejos, claro dentro',
                      function (h) { return bandText(bands[h]); });
}

function simultaneousCarpet(simultaneous) {
  return valueCarpet('simultaneous', simultaneous, function (scale) {
    return scaleHtml('simultaneous', '0 W', scale + ' W', true);
  }, 'Calefacci\u00f3n y refrigeraci\u00f3n simult\u00e1neas por hora: la parte de las cargas en que unas zonas ' +
     'se enfr\u00edan mientras otras se calientan (calor recuperable entre zonas), m\u00e1s intenso cuanto mayor, ' +
     'blanco ninguna',
  function (h) { return 'calefacci\u00f3n y refrigeraci\u00f3n simult\u00e1neas ' + general(simultaneous[h]) + ' W'; });
}

function differenceCarpet(base, variant) {
  var change = difference(base, variant);
  return valueCarpet('difference', change, function (scale) {
    return scaleHtml('difference', '\u2212' + scale + ' W', '+' + scale + ' W');
  }, 'Qs de la variante menos Qs de la base, por hora: verde m\u00e1s, morado menos, blanco igual, gris no ' +
     'num\u00e9rico',
  function (h) { return 'diferencia de Qs ' + general(change[h]) + ' W'; });
}
