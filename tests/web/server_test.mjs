// The query server answers as galsift does: for each query the served answer is compared
// byte for byte with a run of this build's galsift in a fresh directory holding the same
// query.frm, style.var and catalogues (the page, or galsift's messages when it wrote
// none; a query galsift refuses is refused by the front end before the run, with the
// form), also after the style file changes, a catalogue disappears or comes back, and a
// catalogue is replaced, in place or by a new file, while queries keep arriving. The server
// reads a changed file in the background once it has stood still for a second, so after a
// change the answers become galsift's within a few seconds (and are each of one version
// meanwhile).
// Needs GALSIFT_BUILD.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { formData, formFields, siteFolder } from './lib/catalogue.mjs';
import { repository, startSite } from './lib/site.mjs';

const build = path.resolve(process.env.GALSIFT_BUILD || '');
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'galsift-web-server-'));
const pages = path.join(scratch, 'site');
fs.mkdirSync(pages);
for (const name of fs.readdirSync(siteFolder))
  fs.copyFileSync(path.join(siteFolder, name), path.join(pages, name));

let site;
before(async () => (site = await startSite({ GALSIFT_SITE: pages })));
after(async () => {
  await site?.stop();
  fs.rmSync(scratch, { recursive: true, force: true });
});

// The query.frm a front end writes for `query`: seven labelled entries.
function queryForm(query) {
  const v = Object.fromEntries(formFields(query));
  const angle = (label, sign, p) => `${label}${sign}${v[p + '_h'] ?? v[p + '_d']}:${v[p + '_m']}:${v[p + '_s']}\n`;
  return `Epoch=${v.epoch}\n` + angle('Minimal ascension= ', '', 'ra_min') +
    angle('Maximal ascension= ', '', 'ra_max') +
    angle('Minimal declination=', v.dec_min_sign, 'dec_min') +
    angle('Maximal declination=', v.dec_max_sign, 'dec_max') +
    `Minimal redshift= ${v.z_min}\nMaximal redshift= ${v.z_max}\n`;
}

// What galsift itself (or `program`, a galsift built with other texts) gives for `query`
// over the site's files as they are now: { messages, page } (page null when none was
// written).
function console_(query, program = path.join(build, 'galsift')) {
  const dir = fs.mkdtempSync(path.join(scratch, 'run-'));
  for (const name of ['CG2000.dat', 'CG1950.dat', 'style.var'])
    if (fs.existsSync(path.join(pages, name)))
      fs.copyFileSync(path.join(pages, name), path.join(dir, name));
  fs.writeFileSync(path.join(dir, 'query.frm'), queryForm(query));
  const run = spawnSync(program, [], { cwd: dir, encoding: 'latin1' });
  assert.equal(run.status, 0);
  const pageFile = path.join(dir, 'results.html');
  const page = fs.existsSync(pageFile) ? fs.readFileSync(pageFile) : null;
  fs.rmSync(dir, { recursive: true });
  return { messages: run.stdout, page };
}

async function ask(query) {
  const response = await fetch(`${site.base}/results`, {
    method: 'POST',
    headers: { 'Content-Type': 'application/x-www-form-urlencoded' },
    body: formData(query),
    signal: AbortSignal.timeout(30000),
  });
  return { status: response.status, body: Buffer.from(await response.arrayBuffer()) };
}

// The messages shown on a page of galsift's messages, unescaped.
function shownMessages(body) {
  const pre = /<pre(?: id="messages")?>([\s\S]*?)<\/pre>/.exec(body.toString('latin1'));
  assert.ok(pre, body.toString('latin1'));
  return pre[1].replaceAll('&lt;', '<').replaceAll('&gt;', '>').replaceAll('&#39;', "'")
    .replaceAll('&quot;', '"').replaceAll('&amp;', '&');
}

// Asks `query` and checks the answer against galsift's own (or `program`'s); returns
// galsift's.
async function assertSameAsConsole(query, what, program) {
  const expected = console_(query, program);
  const served = await ask(query);
  if (expected.page) {
    assert.equal(served.status, 200, what);
    assert.ok(served.body.equals(expected.page), `${what}: the page differs`);
  } else if (!served.body.includes('<form') || served.body.includes('<pre id="messages">')) {
    assert.ok(served.status === 400 || served.status === 500, `${what}: ${served.status}`);
    assert.equal(shownMessages(served.body), expected.messages, what);
  } else {
    // A query galsift refuses, refused by the front end before the run: the form again,
    // the wrong field marked.
    assert.equal(served.status, 400, what);
    assert.ok(served.body.includes('<font color="#c00000"><b>'), `${what}: no field marked`);
  }
  return expected;
}

// Asks `query` until the answer is galsift's for the files as they are now (at most 8 s:
// the server reads a file once it has stood still for a second), then checks it as
// assertSameAsConsole does; returns galsift's.
async function assertBecomesConsole(query, what, program) {
  const expected = console_(query, program);
  for (let tries = 0; tries < 40; tries++) {
    const served = await ask(query);
    if (expected.page ? served.body.equals(expected.page)
      : served.status !== 200 && served.body.includes('<pre')) break;
    await new Promise((resolve) => setTimeout(resolve, 200));
  }
  return assertSameAsConsole(query, what, program);
}

const wide = {
  epoch: '2000',
  ascension: [['10', '00', '00'], ['14', '30', '00']],
  declination: [['-', '05', '00', '00'], ['+', '45', '30', '00']],
  redshift: ['0.5', '3'],
};
const changed = (change) => {
  const copy = structuredClone(wide);
  change(copy);
  return copy;
};

test('pages and query errors are those of galsift', async () => {
  const cases = [
    ['a wide box', wide],
    ['at 1950', changed((q) => (q.epoch = '1950'))],
    ['a box with no entry', changed((q) => (q.redshift = ['9', '9.5']))],
    ['the whole sky', changed((q) => {
      q.ascension = [['0', '0', '0'], ['24', '0', '0']];
      q.declination = [['-', '90', '0', '0'], ['+', '90', '0', '0']];
      q.redshift = ['0', '100'];
    })],
    ['an invalid epoch', changed((q) => (q.epoch = '1999'))],
    ['ascension bounds the wrong way', changed((q) => (q.ascension[0][0] = '15'))],
    ['minutes out of range', changed((q) => (q.declination[1][2] = '60'))],
    ['redshift bounds the wrong way', changed((q) => (q.redshift = ['3', '0.5']))],
    ['a wide box again', wide],
  ];
  for (const [what, query] of cases) await assertSameAsConsole(query, what);
});

test('a changed or missing style file is read again', async () => {
  const style = path.join(pages, 'style.var');
  const original = fs.readFileSync(style);
  try {
    await assertSameAsConsole(wide, 'the site\'s style');
    fs.writeFileSync(style, 'Border=-1\nWidth=50\nHeight=10\nAlternating colours=n\n' +
      'Header alignment=r\nData alignment=c\n');
    await assertBecomesConsole(wide, 'a new style');
    fs.rmSync(style);
    const none = await assertBecomesConsole(wide, 'no style file');
    assert.ok(none.messages.includes('error of opening file style.var'));
  } finally {
    fs.writeFileSync(style, original);
  }
  await assertBecomesConsole(wide, 'the style back');
});

test('a catalogue that disappears gives galsift\'s messages, and is read when it is back', async () => {
  const catalogue = path.join(pages, 'CG1950.dat');
  const kept = path.join(scratch, 'CG1950.kept');
  const at1950 = changed((q) => (q.epoch = '1950'));
  await assertSameAsConsole(at1950, 'held');
  fs.renameSync(catalogue, kept);
  try {
    const missing = await assertBecomesConsole(at1950, 'missing');
    assert.ok(missing.messages.includes('error open file CG1950.dat\n'), missing.messages);
    await assertSameAsConsole(wide, 'the other epoch still answers');
  } finally {
    fs.renameSync(kept, catalogue);
  }
  await assertBecomesConsole(at1950, 'back');
});

// The site's 2000 catalogue with every redshift raised by `step` (the same size when the
// redshifts keep their number of characters).
function shifted(text, step) {
  return text.replace(/^((?:[^$\n]*\$){6})([0-9.]+)/gm, (_, head, z) =>
    head + (Number(z) + step).toFixed(z.split('.')[1]?.length ?? 0));
}

test('a catalogue replaced while queries arrive: each answer is of one version whole', async () => {
  const catalogue = path.join(pages, 'CG2000.dat');
  const original = fs.readFileSync(catalogue, 'latin1');
  const versions = [original, shifted(original, 0.1), shifted(original, -0.1)];
  try {
    const pagesOf = [];
    for (const [n, text] of versions.entries()) {
      fs.writeFileSync(catalogue, text, 'latin1'); // in place: same inode
      pagesOf.push((await assertBecomesConsole(wide, `version ${n} in place`)).page);
    }
    assert.notDeepEqual(pagesOf[0], pagesOf[1], 'the versions answer differently');
    // Replaced by renaming new files over it while 20 clients keep asking.
    let asking = true;
    const answers = [];
    const clients = Array.from({ length: 20 }, async () => {
      while (asking) answers.push(await ask(wide));
    });
    for (let round = 0; round < 6; round++) {
      const next = path.join(pages, 'CG2000.next');
      fs.writeFileSync(next, versions[round % 3], 'latin1');
      fs.renameSync(next, catalogue);
      await new Promise((resolve) => setTimeout(resolve, 150));
    }
    asking = false;
    await Promise.all(clients);
    assert.ok(answers.length >= 20, `${answers.length} answers`);
    for (const answer of answers) {
      assert.equal(answer.status, 200);
      assert.ok(pagesOf.some((page) => answer.body.equals(page)), 'a page of one version');
    }
    const last = await assertBecomesConsole(wide, 'after the last replacement');
    assert.ok(last.page.equals(pagesOf[(6 - 1) % 3]));
  } finally {
    fs.writeFileSync(catalogue, original, 'latin1');
  }
});

// The texts of the example's publisher.conf that the pages show: its authors' names and
// mails, institution, owner, place and year, sponsor and its site.
function examplePageTexts() {
  const texts = ['KELMOS']; // the system's own heading, which a title replaces
  const conf = fs.readFileSync(path.join(siteFolder, 'publisher.conf'), 'utf8');
  for (const [, key, value] of conf.matchAll(/^(\w+) = (.*)$/gm)) {
    if (key === 'author') texts.push(...value.match(/^(.*) <(.*)>$/).slice(1));
    else if (['institution', 'owner', 'sponsor', 'sponsor_site'].includes(key)) texts.push(value);
    else if (key === 'year') texts.push(`, ${value}</h3>`);
  }
  return texts;
}

test('a site\'s own publisher.conf: its texts, and none of the example\'s, on the page as galsift built with it writes it, the form and the download; bad lines keep them', async () => {
  const conf = path.join(pages, 'publisher.conf');
  const original = fs.readFileSync(conf);
  const builtWithSample = process.env.GALSIFT_SAMPLE_TEXTS;
  const title = '<h2>Relevamiento "Sur" de galaxias lejanas \\ z \u2264 1??<br></h2>';
  const example = examplePageTexts();
  try {
    fs.copyFileSync(path.join(repository, 'tests/cgi/publisher_sample.conf'), conf);
    const { page } = await assertBecomesConsole(wide, 'the site\'s texts', builtWithSample);
    const form = await (await fetch(`${site.base}/query.htm`)).text();
    const index = await (await fetch(`${site.base}/`)).text();
    const votable = await (await fetch(`${site.base}/results?${formData(wide)}&format=votable`)).text();
    for (const [what, text] of [['page', page.toString('utf8')], ['form', form], ['index', index]])
      assert.ok(text.includes(title), `${what}: no title`);
    assert.match(votable, /<DESCRIPTION>[^<]*Relevamiento &quot;Sur&quot;[^<]*Equipo \$\{CMAKE_COMMAND\} del Sur/);
    for (const [what, text] of [['page', page.toString('utf8')], ['form', form], ['votable', votable]])
      for (const old of example) assert.ok(!text.includes(old), `${what} shows ${old}`);

    fs.writeFileSync(conf, 'title = Otro\nowner = <b>Otro</b>\n');
    for (let tries = 0; tries < 40 && !site.output().includes('line 2: "owner"'); tries++)
      await new Promise((resolve) => setTimeout(resolve, 200));
    assert.match(site.output(), /publisher\.conf line 2: "owner" holds '<', '>' or '&'/);
    await assertSameAsConsole(wide, 'the last good texts', builtWithSample);
  } finally {
    fs.writeFileSync(conf, original);
  }
  await assertBecomesConsole(wide, 'the example\'s texts back');
});
