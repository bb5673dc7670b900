// ---- The event wiring, all of it ----

// The text under the pointer, beside it.
function showTip(e, text) {
  state.tip.textContent = text;
  state.tip.style.display = 'block';
  state.tip.style.left = (e.clientX + 12) + 'px';
  state.tip.style.top = (e.clientY + 12) + 'px';
}

function hideTip() {
  state.tip.style.display = 'none';
}

// Over a carpet, the hour's date and what the carpet says of it.
document.addEventListener('mousemove', function (e) {
  var tipText = state.carpets.get(e.target);
  if (!tipText) {
    if (state.tip.style.display === 'block') hideTip();
    return;
  }
  var hour = carpetHour(e.target.getBoundingClientRect(), e.clientX, e.clientY);
  showTip(e, date(hour) + ': ' + tipText(hour));
});
document.addEventListener('mouseout', function (e) {
  if (state.carpets.has(e.target)) hideTip();
});

// Each section's pictures, drawn as it comes into view (all at once in a
// browser that cannot tell).
var sections = document.querySelectorAll('[data-v]');
if ('IntersectionObserver' in window) {
  var watcher = new IntersectionObserver(function (entries) {
    entries.forEach(function (entry) {
      if (!entry.isIntersecting) return;
      watcher.unobserve(entry.target);
      drawSection(entry.target);
    });
  }, {rootMargin: '600px 0px'});
  sections.forEach(function (section) { watcher.observe(section); });
} else {
  sections.forEach(drawSection);
}

// The index of zones: its filter shown, and used as one types.
document.querySelectorAll('nav.index input.filter').forEach(function (filter) { filter.hidden = false; });
document.addEventListener('input', function (e) {
  if (!e.target.matches('nav.index input.filter')) return;
  var wanted = plain(e.target.value.trim());
  e.target.closest('nav.index').querySelectorAll('li').forEach(function (item) {
    item.hidden = wanted !== '' && plain(item.textContent).indexOf(wanted) < 0;
  });
});

// The hourly chart: made when its details are first opened (a toggle does
// not bubble: it is caught on its way down); a zone added by name; a zone's
// temperatures chosen.
document.addEventListener('toggle', function (e) {
  if (e.target.matches && e.target.matches('details.hourly') && e.target.open) openHourlyChart(e.target);
}, true);
document.querySelectorAll('details.hourly[open]').forEach(openHourlyChart);
document.addEventListener('change', function (e) {
  var details = e.target.closest && e.target.closest('details.hourly'), chart = details && state.hourly.get(details);
  if (!chart) return;
  if (e.target.matches('input.add-zone') && addZone(chart, plain(e.target.value.trim()))) e.target.value = '';
  if (e.target.matches('select.t-zone')) showTemperatures(chart, e.target.value);
});

// On the hourly chart (uPlot calls this when it is made): the wheel zooms
// the x axis around the pointer, never to less than a day; Shift and a drag
// pan it.
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
