// The page's script: the files of view/page/script, run in this order as one
// function (the viewer wraps them, after uPlot, the chart library):
// constants and state (this file), pure functions (text.js, values.js),
// drawing (carpets.js, charts.js), then all the event wiring (events.js).
//
// Every picture of the page is drawn here, from the values its sections hold
// (doc/formats.md, "The page's values"): the building's pictures and each
// comparison's as they come into view, each zone block's when its section
// does, the building's hourly chart when it is opened. PAGE, written by the
// viewer before this script from its own constants, holds the calendar, the
// number format, the set points' tolerance and temperature steps, and where
// each value sits in a section's data-f and data-v. The pictures' sizes in
// the page are the style sheet's (page.css); their colours are these.

var HOURS = PAGE.hoursPerYear, DAY = PAGE.hoursPerDay, DAYS = PAGE.daysPerYear;

// Every colour of the pictures, as [red, green, blue].
var COLOURS = {
  qs: [34, 34, 34],              // Qs on a chart; the base's duration curve
  ql: [27, 120, 55],
  treal: [215, 48, 31],
  setPoint: [153, 153, 153],     // Tmax and Tmin, dashed
  cooling: [33, 102, 172],       // Qs > 0: carpets and bars
  heating: [178, 24, 43],        // Qs < 0
  coolingVariant: [146, 197, 222],
  heatingVariant: [244, 165, 130],
  variant: [230, 97, 1],         // the variant's duration curve
  more: [27, 120, 55],           // a difference above 0 (the variant's Qs above the base's)
  less: [118, 42, 131],
  simultaneous: [128, 60, 150],
  aboveTmax: [230, 97, 1],
  belowTmin: [94, 60, 153],
  inBand: [244, 242, 234],       // Treal inside its set points
  none: [255, 255, 255],         // 0 on a carpet
  noNumber: [150, 150, 150],
  // The zones added to the hourly chart, in turn.
  added: [[33, 102, 172], [230, 97, 1], [94, 60, 153], [27, 158, 119], [217, 95, 2], [117, 112, 179],
          [231, 41, 138], [102, 166, 30]]
};

// Each carpet's palette (carpets.js makes it): its colour at 0 (a
// temperature carpet's inside the band), the hues of the values above and
// below, its steps on each side, and how tinted its faintest step already
// is (the temperature's a fifth of the hue, so that an hour just outside
// never looks like one inside).
var CARPETS = {
  qs: {zero: COLOURS.none, above: COLOURS.cooling, below: COLOURS.heating, steps: 64, faint: 0},
  difference: {zero: COLOURS.none, above: COLOURS.more, below: COLOURS.less, steps: 64, faint: 0},
  simultaneous: {zero: COLOURS.none, above: COLOURS.simultaneous, below: COLOURS.simultaneous, steps: 64, faint: 0},
  temperature: {zero: COLOURS.inBand, above: COLOURS.aboveTmax, below: COLOURS.belowTmin,
                steps: PAGE.temperatureSteps, faint: 3}
};

// The size of a chart drawn in a section, in CSS pixels, and of the hourly
// chart's height.
var CHART = {width: 672, height: 240, hourlyHeight: 360};

// What the script keeps while the page is open. Values are decoded when a
// picture needs them and let go once drawn (a zone's year is 350 kB), but
// those the hourly chart asks for are kept here.
var state = {
  tip: document.getElementById('tip'),  // the box of the text under the pointer
  drawn: new WeakSet(),                  // sections whose pictures are drawn, or being drawn
  values: new WeakMap(),                 // a section -> the promise of its decoded series, for the hourly chart
  carpets: new WeakMap(),                // a carpet's canvas -> the text under the pointer of an hour
  hourly: new WeakMap(),                 // a details.hourly -> its chart, once made (charts.js, openHourlyChart)
  hourlyCount: 0                         // the hourly charts made, to name their lists of zones
};
