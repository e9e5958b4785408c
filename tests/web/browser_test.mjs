// The example site in a real browser: headless Chromium, driven through the DevTools
// protocol, fills the query form served by lighttpd, submits it to galsift-cgi and reads
// the results table; follows the page's links; and sees the messages page of a refused
// query. Needs GALSIFT_BUILD (the build to serve); GALSIFT_CHROMIUM overrides
// /usr/bin/chromium.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { after, before, test } from 'node:test';
import { chromium } from 'playwright-core';
import { readCatalogue, rowCells, selection, siteFolder } from './lib/catalogue.mjs';
import { leftInSpool, snapshot, startSite } from './lib/site.mjs';

let site, browser, page;
const siteBefore = snapshot(siteFolder);

before(async () => {
  site = await startSite();
  browser = await chromium.launch({
    executablePath: process.env.GALSIFT_CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu'],
  });
  page = await browser.newPage();
  page.setDefaultTimeout(20000);
});

after(async () => {
  await browser?.close();
  await site?.stop();
});

// Whitespace runs made one space, as a browser shows text.
const collapse = (text) => text.replace(/\s+/g, ' ').trim();

// Opens the form, types `query` into it as a visitor would and submits it. Returns the
// HTTP response of the submission.
async function submitForm(query) {
  await page.goto(`${site.base}/query.htm`);
  await page.selectOption('select[name=epoch]', query.epoch);
  const [low, high] = [query.ascension[0], query.ascension[1]];
  for (const [i, unit] of ['h', 'm', 's'].entries()) {
    await page.fill(`input[name=ra_min_${unit}]`, low[i]);
    await page.fill(`input[name=ra_max_${unit}]`, high[i]);
  }
  for (const [which, bound] of [['min', query.declination[0]], ['max', query.declination[1]]]) {
    await page.selectOption(`select[name=dec_${which}_sign]`, bound[0]);
    for (const [i, unit] of ['d', 'm', 's'].entries())
      await page.fill(`input[name=dec_${which}_${unit}]`, bound[i + 1]);
  }
  await page.fill('input[name=z_min]', query.redshift[0]);
  await page.fill('input[name=z_max]', query.redshift[1]);
  const [response] = await Promise.all([
    page.waitForNavigation(),
    page.click('input[type=submit]'),
  ]);
  return response;
}

// The results table's data rows as the browser shows them: five cell texts each.
async function shownRows() {
  return page.$$eval('table:first-of-type tr', (rows) =>
    rows
      .filter((row) => row.querySelector('td'))
      .map((row) => [...row.querySelectorAll('td')].map((cell) => cell.textContent.trim())));
}

// Checks that the page now shown answers `query` with exactly the expected entries.
async function expectAnswer(response, query, expected) {
  assert.equal(response.status(), 200);
  assert.match(response.headers()['content-type'], /^text\/html/);
  assert.equal(new URL(page.url()).pathname, '/results');
  assert.equal(await page.title(), 'Query Results');
  const text = collapse(await page.innerText('body'));
  assert.ok(
    text.includes(`There are ${expected.length} records corresponding to these parameters.`),
    text);
  const total = readCatalogue(query.epoch).length;
  assert.ok(text.includes(`Total number of records is ${total} .`), text);
  const header = await page.$$eval('table:first-of-type th', (cells) =>
    cells.map((cell) => cell.textContent.trim()));
  assert.deepEqual(header.slice(0, 2), [`α${query.epoch}`, `δ${query.epoch}`]);
  const want = expected.map((entry) => rowCells(entry).map((cell) => cell.trim()));
  assert.deepEqual(await shownRows(), want);
}

const deepField = {
  epoch: '2000',
  ascension: [['13', '04', '50'], ['13', '05', '10']],
  declination: [['+', '24', '25', '00'], ['+', '24', '35', '00']],
  redshift: ['0.5', '3'],
};

test('the form page has the look of the site and states the limits', async () => {
  const response = await page.goto(`${site.base}/query.htm`);
  assert.equal(response.status(), 200);
  assert.equal(await page.title(), 'Query form');
  const heading = await page.$eval('font h2', (h) => [h.closest('font').color, h.textContent]);
  assert.deepEqual(heading, ['#008080', 'galsift: Spectroscopic redshift catalogue of distant galaxies']);
  assert.deepEqual(
    await page.$$eval('select[name=epoch] option', (options) => options.map((o) => o.value)),
    ['2000', '1950']);
  for (const which of ['min', 'max'])
    assert.deepEqual(
      await page.$$eval(`select[name=dec_${which}_sign] option`, (o) => o.map((x) => x.value)),
      ['+', '-']);
  const form = await page.$eval('form', (f) => [f.method, new URL(f.action).pathname]);
  assert.deepEqual(form, ['post', '/results']);
  assert.equal(
    await page.textContent('#limits'),
    '-90:00:00<=declination<=90:00:00,  00:00:00<=ascension<=24:00:00, redshift>=0, ' +
      '00<=min<=59,  00<=sec<60');
});

test('a query of the deep field at epoch 2000 shows exactly its entries', async () => {
  const expected = selection(readCatalogue(2000), deepField);
  assert.ok(expected.length >= 5, 'the example box holds several entries');
  await expectAnswer(await submitForm(deepField), deepField, expected);
});

test('the results page links to the introduction and the references', async () => {
  await submitForm(deepField);
  for (const [name, title] of [['Introduction', 'Introduction'], ['References', 'References']]) {
    const [response] = await Promise.all([
      page.waitForNavigation(),
      page.click(`ul a:has-text("${name}")`),
    ]);
    assert.equal(response.status(), 200);
    assert.equal(new URL(page.url()).pathname, `/${name.toLowerCase()}.htm`);
    assert.equal(await page.title(), title);
    await page.goBack();
    assert.equal(new URL(page.url()).pathname, '/results');
  }
});

test('the introduction leads to the query form', async () => {
  await page.goto(`${site.base}/introduction.htm`);
  const [response] = await Promise.all([
    page.waitForNavigation(),
    page.click('a[href="query.htm"]', { timeout: 5000 }),
  ]);
  assert.equal(response.status(), 200);
  assert.equal(await page.title(), 'Query form');
});

test('a southern box just below the equator keeps the entries of "-00" degrees', async () => {
  const query = {
    epoch: '2000',
    ascension: [['12', '00', '00'], ['13', '40', '00']],
    declination: [['-', '00', '30', '00'], ['-', '00', '10', '00']],
    redshift: ['0', '1'],
  };
  const expected = selection(readCatalogue(2000), query);
  assert.ok(expected.length >= 2, 'the box holds entries of "-00" degrees');
  assert.ok(expected.every((entry) => entry.sign < 0 && entry.declination[0] === 0));
  await expectAnswer(await submitForm(query), query, expected);
});

test('a query at epoch 1950 is answered from the 1950 catalogue', async () => {
  const query = {
    epoch: '1950',
    ascension: [['13', '01', '30'], ['13', '02', '40']],
    declination: [['+', '24', '40', '00'], ['+', '24', '55', '00']],
    redshift: ['0', '5'],
  };
  const expected = selection(readCatalogue(1950), query);
  assert.ok(expected.length >= 3, 'the box holds entries at 1950');
  const at2000 = selection(readCatalogue(2000), { ...query, epoch: '2000' });
  assert.notDeepEqual(at2000.map(rowCells), expected.map(rowCells), 'the epochs differ here');
  await expectAnswer(await submitForm(query), query, expected);
  assert.match(collapse(await page.innerText('body')), /Coordinates at the epoch 1950 /);
});

// The usage text galsift writes for a bound out of range, as lines of the messages page.
const usage = [
  "Error: parameters have to be the following:",
  '-90:00:00<=declination<=90:00:00,  00:00:00<=ascension<=24:00:00,  redshift>=0,',
  '00<=min<=59,  00<=sec<60 ',
];

test('a bound out of range shows galsift\'s messages, escaped, with a way back', async () => {
  const query = structuredClone(deepField);
  query.declination[1][1] = '91';
  const response = await submitForm(query);
  assert.equal(response.status(), 400);
  assert.match(response.headers()['content-type'], /^text\/html/);
  const source = await response.text();
  const shown = await page.innerText('pre');
  for (const line of usage) assert.ok(shown.includes(line), `${line}\nin\n${shown}`);
  assert.ok(shown.includes('Query input error: file result.html has not been created'), shown);
  assert.ok(source.includes('-90:00:00&lt;=declination&lt;=90:00:00'), 'escaped in the page');
  assert.ok(!/<=|>=/.test(source), 'no raw "<=" or ">=" in the page');
  // The limits the form states are the ones galsift checks.
  const [back] = await Promise.all([page.waitForNavigation(), page.click('text=Back to the query form')]);
  assert.equal(back.status(), 200);
  assert.equal(new URL(page.url()).pathname, '/query.htm');
  assert.equal(collapse(await page.textContent('#limits')), collapse(usage.slice(1).join(' ')));
});

test('a form whose declination sign was tampered with is refused with a 400', async () => {
  for (const sign of ['', '1', ' ', '+-']) {
    await page.goto(`${site.base}/query.htm`);
    // A visitor who rewrites the page: the sign becomes a free text field.
    await page.$eval('select[name=dec_min_sign]', (select, value) => {
      const input = document.createElement('input');
      input.name = 'dec_min_sign';
      input.value = value;
      select.replaceWith(input);
    }, sign);
    const [response] = await Promise.all([
      page.waitForNavigation(),
      page.click('input[type=submit]'),
    ]);
    assert.equal(response.status(), 400, `sign ${JSON.stringify(sign)}`);
    assert.equal(await page.title(), 'The query was refused');
    assert.ok((await page.innerText('pre')).includes('dec_min_sign'));
    assert.equal(await page.getAttribute('a', 'href'), 'query.htm');
  }
  // And by an address typed by hand, with no sign at all.
  await page.goto(`${site.base}/query.htm`);
  const missing = new URLSearchParams(
    (await page.evaluate(() => new URLSearchParams(new FormData(document.forms.query)).toString())));
  missing.delete('dec_max_sign');
  const response = await page.goto(`${site.base}/results?${missing}`);
  assert.equal(response.status(), 400);
  assert.ok((await page.innerText('pre')).includes('a field is missing: dec_max_sign'));
});

test('nothing is left in the spool and nothing changed in the site', () => {
  assert.deepEqual(leftInSpool(site), []);
  assert.equal(snapshot(siteFolder), siteBefore);
});
