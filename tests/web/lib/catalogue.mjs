// The expected answer to a query, worked out here from the catalogue file itself and the
// catalogue's rules, not from galsift: which entries lie in the box (inclusive bounds, an
// angle compared as sign x ((d x 3600 + m x 60) + s), a declination of "-00" degrees south
// of the equator) and how the results table writes each of them.
import fs from 'node:fs';
import path from 'node:path';
import { repository } from './site.mjs';

export const siteFolder = path.join(repository, 'example');

// The names of the earlier query form's seventeen fields (still taken by the front end),
// in the order of the entries of "query.frm".
export const fieldNames = [
  'epoch',
  'ra_min_h', 'ra_min_m', 'ra_min_s', 'ra_max_h', 'ra_max_m', 'ra_max_s',
  'dec_min_sign', 'dec_min_d', 'dec_min_m', 'dec_min_s',
  'dec_max_sign', 'dec_max_d', 'dec_max_m', 'dec_max_s',
  'z_min', 'z_max',
];

// Seconds of an angle of three fields and a sign, added up in the catalogue's order.
export function angleValue(sign, whole, minutes, seconds) {
  return sign * (whole * 3600 + minutes * 60 + seconds);
}

// The entries of the catalogue of `epoch`, in file order: each line holds nine fields,
// each ended by "$" (three of right ascension, three of declination with the sign on the
// degrees, redshift, identification, reference).
export function readCatalogue(epoch, folder = siteFolder) {
  const text = fs.readFileSync(path.join(folder, `CG${epoch}.dat`), 'latin1');
  const entries = [];
  for (const line of text.split('\n')) {
    if (line.trim() === '') continue;
    const field = line.split('$');
    if (field.length !== 10) throw new Error(`not a catalogue line: ${line}`);
    const [h, m, s] = field.slice(0, 3).map(Number);
    const degreesText = field[3].trim();
    const sign = degreesText.startsWith('-') ? -1 : 1;
    const [d, dm, ds] = [Math.abs(Number(degreesText)), Number(field[4]), Number(field[5])];
    entries.push({
      ascension: [h, m, s],
      sign,
      declination: [d, dm, ds],
      redshift: Number(field[6]),
      identification: field[7],
      reference: field[8],
      ascensionValue: angleValue(1, h, m, s),
      declinationValue: angleValue(sign, d, dm, ds),
    });
  }
  return entries;
}

// A query: { epoch, ascension: [[h, m, s], [h, m, s]], declination: [[sign, d, m, s],
// [sign, d, m, s]], redshift: [min, max] }, every field the text a visitor types.
// The form data of a query, as name/value pairs in the order of the form.
export function formFields(query) {
  const values = [
    query.epoch,
    ...query.ascension[0], ...query.ascension[1],
    ...query.declination[0], ...query.declination[1],
    ...query.redshift,
  ].map(String);
  return fieldNames.map((name, i) => [name, values[i]]);
}

export function formData(query) {
  return new URLSearchParams(formFields(query)).toString();
}

// The names of the query form's seven fields, each bound typed as one text.
export const boundFieldNames = ['epoch', 'ra_min', 'ra_max', 'dec_min', 'dec_max', 'z_min', 'z_max'];

// The form data of a query in the seven fields, each bound written "h:m:s" or "+d:m:s".
export function boundFormData(query) {
  const values = [
    query.epoch,
    ...query.ascension.map((bound) => bound.join(':')),
    ...query.declination.map(([sign, ...parts]) => sign + parts.join(':')),
    ...query.redshift,
  ].map(String);
  return new URLSearchParams(boundFieldNames.map((name, i) => [name, values[i]])).toString();
}

// The bounds of a query as numbers.
function bounds(query) {
  const ascension = query.ascension.map(([h, m, s]) => angleValue(1, +h, +m, +s));
  const declination = query.declination.map(([sign, d, m, s]) =>
    angleValue(sign === '-' ? -1 : 1, Math.abs(+d), +m, +s));
  return { ascension, declination, redshift: query.redshift.map(Number) };
}

// The entries that answer `query`, in catalogue order.
export function selection(entries, query) {
  const box = bounds(query);
  return entries.filter((entry) =>
    box.declination[0] <= entry.declinationValue && entry.declinationValue <= box.declination[1] &&
    box.ascension[0] <= entry.ascensionValue && entry.ascensionValue <= box.ascension[1] &&
    box.redshift[0] <= entry.redshift && entry.redshift <= box.redshift[1]);
}

const twoDigits = (x) => String(Math.trunc(x)).padStart(2, '0');
// A number with six significant digits, without trailing zeros (every value of the
// example catalogue is written without an exponent).
const sixDigits = (x) => String(Number(x.toPrecision(6)));

// The five cells of an entry's row, as the results table writes them (without the
// padding after the numbers): right ascension, declination, redshift, identification,
// reference.
export function rowCells(entry) {
  const [h, m, s] = entry.ascension;
  const [d, dm, ds] = entry.declination;
  return [
    `${twoDigits(h)}:${twoDigits(m)}:${sixDigits(s)}`,
    `${entry.sign < 0 ? '-' : ''}${twoDigits(d)}:${twoDigits(dm)}:${sixDigits(ds)}`,
    sixDigits(entry.redshift),
    entry.identification,
    entry.reference,
  ];
}

// The query bounds as the page's summary writes them: "hh:mm:ss" (truncated), with "-"
// before a southern declination.
export function summaryBounds(query) {
  const ascension = query.ascension.map(([h, m, s]) => [h, m, s].map(twoDigits).join(':'));
  const declination = query.declination.map(([sign, d, m, s]) =>
    (sign === '-' ? '-' : '') + [Math.abs(+d), m, s].map(twoDigits).join(':'));
  return { ascension, declination };
}

// Reads a results page as galsift writes it: the counts, the summary's bounds and the
// cells of every data row of the results table (numbers trimmed, texts as they stand).
export function readResultsPage(html) {
  const page = {};
  const there = /<br>There are (\d+)\s* records corresponding/.exec(html);
  page.count = there ? Number(there[1]) : 0;
  const total = /Total number of records is (\d+)/.exec(html);
  page.total = total ? Number(total[1]) : null;
  page.none = html.includes('There is no record corresponding to these parameters');
  const ascension = /Ascension interval: (\S+)\n<= &#945; <=(\S+?)&nbsp;/.exec(html);
  const declination = /Declination interval: (\S+)\n<= &#948; <=(\S+?)&nbsp;/.exec(html);
  page.ascension = ascension ? [ascension[1], ascension[2]] : null;
  page.declination = declination ? [declination[1], declination[2]] : null;
  page.rows = [];
  const table = /<hr><table[^>]*>\n([\s\S]*?)<\/table>/.exec(html);
  if (table) {
    for (const row of table[1].split('</tr>\n').slice(1)) {
      const cells = [...row.matchAll(/ {2}<td[^>]*>\n([\s\S]*?)\n {2}<\/td>\n/g)].map((c) => c[1]);
      if (cells.length) page.rows.push(cells.map((c, i) => (i < 3 ? c.trimEnd() : c)));
    }
  }
  return page;
}
