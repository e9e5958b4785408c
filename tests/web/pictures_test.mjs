// The site's pictures in a real browser (headless Chromium, through the query server): the
// query form shows the catalogue's coverage map; the example query answered as a sky plot
// renders, states the page's count, puts every galaxy where the catalogue says (east to
// the left, north up) and runs nothing; an empty answer's plot says no galaxy corresponds.
// Screenshots are kept in the build folder (GALSIFT_BUILD/test-artefacts/pictures/).
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { boundFormData, readCatalogue, readResultsPage, selection } from './lib/catalogue.mjs';
import { startSite } from './lib/site.mjs';

// The browser driver comes with `npm ci` in tests/web; without it the test ends skipped.
let chromium;
try {
  ({ chromium } = await import('playwright-core'));
} catch {
  console.log('skipped: playwright-core is missing: run `npm ci --no-audit --no-fund` in tests/web');
  process.exit(77);
}

const artefacts = path.join(process.env.GALSIFT_BUILD, 'test-artefacts', 'pictures');
let site, browser, page;

before(async () => {
  fs.mkdirSync(artefacts, { recursive: true });
  site = await startSite();
  browser = await chromium.launch({
    executablePath: process.env.GALSIFT_CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu'],
  });
  page = await browser.newPage({ viewport: { width: 1000, height: 1000 } });
  page.setDefaultTimeout(20000);
});

after(async () => {
  await browser?.close();
  await site?.stop();
});

const exampleQuery = {
  epoch: '2000',
  ascension: [['13', '04', '50'], ['13', '05', '10']],
  declination: [['+', '24', '25', '00'], ['+', '24', '35', '00']],
  redshift: ['0.5', '3'],
};

// Checks a picture's answer and its document as the browser read it: an SVG, well formed,
// under a policy that lets nothing run, with no script, handler or outside link in it.
async function expectSafePicture(response) {
  assert.equal(response.status(), 200);
  const headers = response.headers();
  assert.equal(headers['content-type'], 'image/svg+xml');
  assert.equal(headers['x-content-type-options'], 'nosniff');
  assert.match(headers['content-security-policy'], /^default-src 'none';/);
  assert.doesNotMatch(headers['content-security-policy'], /script-src|unsafe/);
  const text = await response.text();
  const read = await page.evaluate((source) => {
    const document = new DOMParser().parseFromString(source, 'image/svg+xml');
    const all = [...document.querySelectorAll('*')];
    return {
      root: document.documentElement.localName,
      broken: document.querySelector('parsererror') !== null,
      scripts: document.querySelectorAll('script, foreignObject, iframe, a, image, use').length,
      handlers: all.filter((e) => [...e.attributes].some((a) => /^on/i.test(a.name))).length,
    };
  }, text);
  assert.deepEqual(read, { root: 'svg', broken: false, scripts: 0, handlers: 0 });
}

test('the form shows where the catalogue has entries', async () => {
  const pictures = [];
  page.on('response', (response) => response.url().endsWith('/coverage.svg') && pictures.push(response));
  const response = await page.goto(`${site.base}/query.htm`);
  assert.match(response.headers()['content-security-policy'], /img-src 'self'/);
  const map = page.locator('img[src="coverage.svg"]');
  await map.scrollIntoViewIfNeeded();
  assert.ok(await map.evaluate((img) => img.complete && img.naturalWidth > 0), 'the map loaded');
  assert.equal(pictures.length, 1);
  await expectSafePicture(pictures[0]);
  const total = readCatalogue(2000).length;
  assert.ok((await pictures[0].text()).includes(`Where the catalogue has entries: ${total} entries (J2000)`));
  await page.screenshot({ path: path.join(artefacts, 'form.png'), fullPage: true });

  // The front end's own form, as /results sends it, loads it under its own policy too.
  const blocked = [];
  page.on('console', (message) => blocked.push(message.text()));
  await page.goto(`${site.base}/results`);
  assert.ok(await page.locator('img[src="coverage.svg"]').evaluate((img) => img.complete && img.naturalWidth > 0));
  assert.deepEqual(blocked, []);
});

test('the example query as a sky plot: the page\'s count, each galaxy in its place', async () => {
  await page.goto(`${site.base}/query.htm`);
  await page.selectOption('select[name=format]', 'sky');
  const [response] = await Promise.all([page.waitForNavigation(), page.click('input[type=submit]')]);
  assert.equal(new URL(page.url()).searchParams.get('format'), 'sky');
  await expectSafePicture(response);
  await page.screenshot({ path: path.join(artefacts, 'sky.png') }); // the viewport holds it whole

  const shown = readResultsPage(await (await fetch(`${site.base}/results?${boundFormData(exampleQuery)}`)).text());
  const expected = selection(readCatalogue(2000), exampleQuery);
  assert.equal(shown.count, expected.length);
  assert.ok(expected.length >= 5);
  assert.equal(await page.textContent('#count'), `${shown.count} galaxies`);

  // Each disc, in catalogue order, at its entry's place: a larger right ascension to the
  // left, a larger declination higher, and inside the frame of the box.
  const discs = await page.$$eval('circle', (all) => all.map((c) => {
    const box = c.getBoundingClientRect();
    return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
  }));
  assert.equal(discs.length, expected.length);
  for (let i = 0; i < expected.length; i++) {
    for (let j = 0; j < expected.length; j++) {
      if (expected[i].ascensionValue > expected[j].ascensionValue) assert.ok(discs[i].x < discs[j].x, `${i} ${j}`);
      if (expected[i].declinationValue > expected[j].declinationValue) assert.ok(discs[i].y < discs[j].y, `${i} ${j}`);
    }
  }
});

test('a plot of an empty answer says that no galaxy corresponds', async () => {
  const empty = { ...exampleQuery, redshift: ['50', '60'] };
  assert.equal(selection(readCatalogue(2000), empty).length, 0);
  const shown = readResultsPage(await (await fetch(`${site.base}/results?${boundFormData(empty)}`)).text());
  assert.ok(shown.none);
  const response = await page.goto(`${site.base}/results?${boundFormData(empty)}&format=sky`);
  await expectSafePicture(response);
  assert.equal(await page.textContent('#count'), 'No galaxy corresponds to these parameters');
  assert.equal(await page.locator('circle').count(), 0);
  await page.screenshot({ path: path.join(artefacts, 'sky-empty.png') });
});
