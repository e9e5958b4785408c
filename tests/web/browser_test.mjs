// The example site in a real browser: headless Chromium, driven through the DevTools
// protocol, types the query form's bounds served by lighttpd, submits it to galsift-cgi by
// GET and reads the results table; follows the page's links; sees a refused field named
// beside it with the form filled again; and meets a catalogue with markup in its texts.
// Needs GALSIFT_BUILD (the build to serve); GALSIFT_CHROMIUM overrides /usr/bin/chromium.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { boundFormData, formData, readCatalogue, rowCells, selection, siteFolder } from './lib/catalogue.mjs';
import { leftInSpool, snapshot, startSite } from './lib/site.mjs';

// The browser driver comes with `npm ci` in tests/web. Without it the test says so and
// ends as skipped (77), whenever it runs, so that CTest lists it as not run.
let chromium;
try {
  ({ chromium } = await import('playwright-core'));
} catch {
  console.log('skipped: playwright-core is missing: run `npm ci --no-audit --no-fund` in tests/web');
  process.exit(77);
}

let site, browser, page;
const siteBefore = snapshot(siteFolder);
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'galsift-web-browser-'));

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
  fs.rmSync(scratch, { recursive: true, force: true });
});

// Whitespace runs made one space, as a browser shows text.
const collapse = (text) => text.replace(/\s+/g, ' ').trim();

// The bounds of `query` as a visitor may type them, each in another of the forms the
// form takes: "13 04 50", "13h05m10s", "+24:25:00", "+24 35 00".
function typedBounds(query) {
  const [low, high] = query.ascension;
  const [south, north] = query.declination;
  return {
    ra_min: low.join(' '),
    ra_max: `${high[0]}h${high[1]}m${high[2]}s`,
    dec_min: `${south[0]}${south.slice(1).join(':')}`,
    dec_max: `${north[0]}${north.slice(1).join(' ')}`,
    z_min: query.redshift[0],
    z_max: query.redshift[1],
  };
}

// Opens the form, types `texts` (field name to text) into it as a visitor would and
// submits it. Returns the HTTP response of the submission.
async function submitTexts(epoch, texts, from = `${site.base}/query.htm`) {
  await page.goto(from);
  await page.selectOption('select[name=epoch]', epoch);
  for (const [name, text] of Object.entries(texts)) await page.fill(`input[name=${name}]`, text);
  const [response] = await Promise.all([
    page.waitForNavigation(),
    page.click('input[type=submit]'),
  ]);
  return response;
}

const submitForm = (query) => submitTexts(query.epoch, typedBounds(query));

// The value of each text field of the form now shown.
const shownValues = () =>
  page.$$eval('input[type=text]', (inputs) => Object.fromEntries(inputs.map((i) => [i.name, i.value])));

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
  assert.equal(response.headers()['content-type'], 'text/html; charset=UTF-8');
  assert.equal(new URL(page.url()).pathname, '/results');
  assert.ok(new URL(page.url()).searchParams.get('z_max'), 'the query is in the address');
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

test('the form page has the look of the site, is sent by GET and states true limits', async () => {
  const response = await page.goto(`${site.base}/query.htm`);
  assert.equal(response.status(), 200);
  const headers = response.headers();
  assert.equal(headers['content-type'], 'text/html; charset=UTF-8');
  assert.equal(headers['x-content-type-options'], 'nosniff');
  assert.match(headers['content-security-policy'], /^default-src 'none';.*form-action 'self'/);
  assert.equal(await page.title(), 'Query form');
  const heading = await page.$eval('font h2', (h) => [h.closest('font').color, h.textContent]);
  assert.deepEqual(heading, ['#008080', 'galsift: Spectroscopic redshift catalogue of distant galaxies']);
  assert.deepEqual(
    await page.$$eval('select[name=epoch] option', (options) => options.map((o) => o.value)),
    ['2000', '1950']);
  // Every field has its label, which is the name every message about it uses.
  assert.deepEqual(
    await page.$$eval('label', (labels) => labels.map((l) => [l.htmlFor, l.textContent])),
    [['epoch', 'Epoch'], ['ra_min', 'Minimal right ascension'], ['ra_max', 'Maximal right ascension'],
      ['dec_min', 'Minimal declination'], ['dec_max', 'Maximal declination'],
      ['z_min', 'Minimal redshift'], ['z_max', 'Maximal redshift'], ['format', 'Answer as']]);
  const form = await page.$eval('form', (f) => [f.method, new URL(f.action).pathname]);
  assert.deepEqual(form, ['get', '/results']);
  const limits = await page.textContent('#limits');
  assert.ok(limits.includes('-90:00:00 <= declination <= +90:00:00'), limits);
  assert.ok(limits.includes('00:00:00 <= right ascension <= 24:00:00'), limits);
  assert.ok(limits.includes('negative ones (blueshifts) included'), limits);
  assert.ok(!limits.includes('redshift>=0'), limits);
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

test('the answer has an address: opened again, and sent as the earlier seventeen fields, it gives the same page', async () => {
  await submitForm(deepField);
  const address = page.url();
  const shown = await page.content();
  const again = await browser.newPage();
  try {
    const response = await again.goto(address);
    assert.equal(response.status(), 200);
    assert.equal(await again.content(), shown);
  } finally {
    await again.close();
  }
  const bodies = [];
  for (const data of [boundFormData(deepField), formData(deepField), new URL(address).search.slice(1)]) {
    const response = await fetch(`${site.base}/results?${data}`);
    assert.equal(response.status, 200, data);
    bodies.push(await response.text());
  }
  assert.equal(bodies[1], bodies[0], 'seventeen fields and seven give the same page');
  assert.equal(bodies[2], bodies[0], 'typed forms and "h:m:s" give the same page');
});

test('a wrong bound is named beside its field by its label, and the form keeps what was typed', async () => {
  const texts = { ...typedBounds(deepField), ra_min: '13:60:50', z_min: '-0.001' };
  const response = await submitTexts('1950', texts);
  assert.equal(response.status(), 400);
  assert.equal(await page.title(), 'The query was refused');
  assert.equal(await page.textContent('#ra_min_note'),
    'Minimal right ascension: minutes must be from 0 to 59');
  assert.equal(await page.getAttribute('#ra_min', 'aria-invalid'), 'true');
  assert.equal(await page.$('#messages'), null, 'galsift did not run');
  assert.deepEqual(await shownValues(), texts);
  assert.equal(await page.$eval('select[name=epoch]', (s) => s.value), '1950');
  const refused = page.url();
  assert.equal(new URL(refused).searchParams.get('ra_min'), '13:60:50', 'the address holds the query');

  // Mended in place and sent again, it is answered; on the way back the form still holds
  // what was typed, since it is filled from the address.
  await page.fill('input[name=ra_min]', '13:01:30');
  const [answer] = await Promise.all([page.waitForNavigation(), page.click('input[type=submit]')]);
  assert.equal(answer.status(), 200);
  assert.equal(await page.title(), 'Query Results');
  await page.goBack();
  assert.equal(page.url(), refused);
  assert.equal((await shownValues()).dec_max, texts.dec_max);
});

test('a field sent by its internal name is still answered by its label', async () => {
  const tampered = formData(deepField).replace('dec_min_sign=%2B', 'dec_min_sign=1');
  let response = await page.goto(`${site.base}/results?${tampered}`);
  assert.equal(response.status(), 400);
  assert.equal(await page.textContent('#dec_min_note'), 'Minimal declination: the sign must be + or -');
  assert.ok(!(await response.text()).includes('dec_min_sign'));
  const missing = new URLSearchParams(formData(deepField));
  missing.delete('dec_max_sign');
  response = await page.goto(`${site.base}/results?${missing}`);
  assert.equal(response.status(), 400);
  assert.ok((await page.innerText('pre')).includes('a field is missing: Maximal declination'));
});

test('markup in the catalogue\'s texts stays as written but does not run, and UTF-8 names read right', async () => {
  const pages = path.join(scratch, 'hostile-site');
  fs.cpSync(siteFolder, pages, { recursive: true });
  const hostile = '13$05$00$+24$30$00$1.0$<script>window.injected=1</script>$Caf\u00e9 ' +
    '<img src=x onerror="window.injected=2"><iframe src="https://example.org/"></iframe>$\n';
  fs.appendFileSync(path.join(pages, 'CG2000.dat'), hostile, 'utf8');
  const hostileSite = await startSite({ GALSIFT_SITE: pages });
  const visitor = await browser.newPage();
  try {
    const blocked = [];
    visitor.on('console', (message) => blocked.push(message.text()));
    const response = await visitor.goto(`${hostileSite.base}/results?${boundFormData(deepField)}`);
    assert.equal(response.status(), 200);
    const source = await response.text();
    assert.ok(source.includes('<script>window.injected=1</script>'), 'the page keeps its bytes');
    assert.ok(source.includes('Caf\u00e9 <img src=x onerror="window.injected=2">'));
    await visitor.waitForTimeout(500);
    assert.equal(await visitor.evaluate(() => window.injected), undefined);
    assert.equal(await visitor.evaluate(() => document.characterSet), 'UTF-8');
    assert.ok((await visitor.innerText('body')).includes('Caf\u00e9'));
    assert.ok(blocked.some((text) => /Content Security Policy/.test(text)), blocked.join('\n'));
  } finally {
    await visitor.close();
    await hostileSite.stop();
  }
});

test('nothing is left in the spool and nothing changed in the site', () => {
  assert.deepEqual(leftInSpool(site), []);
  assert.equal(snapshot(siteFolder), siteBefore);
});
