// ---- Pure functions: text (numbers and dates as the viewer writes them, names as the filters compare them) ----
// (This file reads nothing but PAGE: .ci/page_check.py runs it on its own
// against the viewer's formatter.)

// The start of hour h as "17 jul 13:00".
function date(h) {
  return day(h) + ' ' + clock(h);
}

// The day of hour h as "17 jul".
function day(h) {
  var d = Math.floor(h / PAGE.hoursPerDay), m = 0;
  while (d >= PAGE.monthEnds[m]) m++;
  return (d - (m ? PAGE.monthEnds[m - 1] : 0) + 1) + ' ' + PAGE.months[m];
}

function clock(h) {
  var hour = ((h % PAGE.hoursPerDay) + PAGE.hoursPerDay) % PAGE.hoursPerDay;
  return (hour < 10 ? '0' : '') + hour + ':00';
}

// A number as the viewer writes it for a reader: generalText with a
// decimal comma.
function general(v) {
  return generalText(v).replace('.', ',');
}

// `v` as the viewer's general6 writes it, "%g" with PAGE.digits significant
// digits: rounded to the nearest, an exact tie to the even digit (where
// JavaScript's own rounding takes it away from zero); '' for no value.
function generalText(v) {
  if (v === null || v === undefined) return '';
  if (isNaN(v)) return 'nan';
  if (!isFinite(v)) return v < 0 ? '-inf' : 'inf';
  if (v === 0) return 1 / v < 0 ? '-0' : '0';
  var size = Math.abs(v), parts = size.toExponential(PAGE.digits - 1).split('e');
  var digits = parts[0].replace('.', ''), exponent = Number(parts[1]);
  if (Number(digits) % 2 === 1 && halfBelow(size, digits, exponent - PAGE.digits + 1)) {
    digits = String(Number(digits) - 1);
  }
  return (v < 0 ? '-' : '') + placed(digits, exponent);
}

// Whether `size` is exactly halfway between `digits` (a whole number) less
// one and `digits`, times 10^power: a tie that toExponential took up. Found
// with whole numbers (BigInt), the double's bits against the decimal.
function halfBelow(size, digits, power) {
  var bits = new DataView(new ArrayBuffer(8));
  bits.setFloat64(0, size);
  var high = bits.getUint32(0), biased = high >>> 20;
  var mantissa = BigInt(high & 0xfffff) * 4294967296n + BigInt(bits.getUint32(4));
  if (biased) mantissa += 4503599627370496n;  // 2^52, the leading bit of a normal number
  var twos = (biased || 1) - 1075;            // size = mantissa * 2^twos
  var twice = mantissa * 2n, tie = BigInt(digits) * 2n - 1n;
  if (twos >= 0) twice <<= BigInt(twos); else tie <<= BigInt(-twos);
  if (power >= 0) tie *= 10n ** BigInt(power); else twice *= 10n ** BigInt(-power);
  return twice === tie;
}

// The significant `digits` of a number of 10^exponent as "%g" places them:
// fixed from 10^-4 to below 10^PAGE.digits, else with an exponent of at
// least two digits; no trailing zeros after the point.
function placed(digits, exponent) {
  if (exponent < -4 || exponent >= PAGE.digits) {
    var size = Math.abs(exponent);
    return trimmed(digits[0] + '.' + digits.slice(1)) + 'e' + (exponent < 0 ? '-' : '+') + (size < 10 ? '0' : '') +
           size;
  }
  var point = exponent + 1;  // the digits before the decimal point
  return trimmed(point <= 0 ? '0.' + '0'.repeat(-point) + digits : digits.slice(0, point) + '.' + digits.slice(point));
}

function trimmed(text) {
  return text.replace(/0+$/, '').replace(/\.$/, '');
}

// Text as compared by the filters: lower case, without accents.
function plain(text) {
  return text.toLowerCase().normalize('NFD').replace(/[\u0300-\u036f]/g, '');
}

// A number of a data-f list: "inf" and "-inf" as the viewer writes them.
function number(text) {
  return text === 'inf' ? Infinity : text === '-inf' ? -Infinity : Number(text);
}
