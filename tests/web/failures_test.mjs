// What the site answers when no page is written, and how request directories go away:
// a query error is the visitor's (400: the front end names the field itself before
// galsift runs, or shows galsift's own messages above the form), a missing catalogue or a
// query that does not end is the site's (500); a retention keeps directories for a while,
// and a CGI front end that the web server stops mid-query leaves nothing behind (the
// galsift that does not end is a script, so those cases run galsift-cgi whichever front
// end is tested). Each case runs its own server
// through scripts/serve. Needs GALSIFT_BUILD.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, test } from 'node:test';
import { formData, siteFolder } from './lib/catalogue.mjs';
import { leftInSpool, startSite } from './lib/site.mjs';

const build = path.resolve(process.env.GALSIFT_BUILD || '');
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'galsift-web-failures-'));
after(() => fs.rmSync(scratch, { recursive: true, force: true }));

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

const deepField = {
  epoch: '2000',
  ascension: [['13', '04', '50'], ['13', '05', '10']],
  declination: [['+', '24', '25', '00'], ['+', '24', '35', '00']],
  redshift: ['0.5', '3'],
};

// `query` with some fields changed.
const changed = (query, change) => {
  const copy = structuredClone(query);
  change(copy);
  return copy;
};

async function ask(site, query) {
  const response = await fetch(`${site.base}/results`, {
    method: 'POST',
    headers: { 'Content-Type': 'application/x-www-form-urlencoded' },
    body: formData(query),
    signal: AbortSignal.timeout(30000),
  });
  return { status: response.status, body: await response.text() };
}

// The messages shown on a page of galsift's messages, unescaped.
function messages(body) {
  const pre = /<pre(?: id="messages")?>([\s\S]*?)<\/pre>/.exec(body);
  assert.ok(pre, body);
  return pre[1].replaceAll('&lt;', '<').replaceAll('&gt;', '>').replaceAll('&#39;', "'")
    .replaceAll('&quot;', '"').replaceAll('&amp;', '&');
}

// A build folder whose "galsift" is the shell script `body`, beside the real front end.
function stubBuild(name, body) {
  const dir = path.join(scratch, name);
  fs.mkdirSync(path.join(dir, 'src/cgi'), { recursive: true });
  fs.writeFileSync(path.join(dir, 'galsift'), `#!/bin/sh\n${body}\n`, { mode: 0o755 });
  fs.symlinkSync(path.join(build, 'src/cgi/galsift-cgi'), path.join(dir, 'src/cgi/galsift-cgi'));
  return dir;
}

// The note beside each field of a form page, tags removed.
function notes(body) {
  return Object.fromEntries([...body.matchAll(/<td id="(\w+)_note">(.*?)<\/td>/g)]
    .map(([, name, text]) => [name, text.replace(/<[^>]*>/g, '')]));
}

test('a query error is answered with 400 and the form, the field named, before galsift runs', async () => {
  // The front end under test, and galsift-cgi with a galsift that leaves a mark if run.
  const ran = path.join(scratch, 'galsift-ran');
  for (const env of [{}, { GALSIFT_BUILD: stubBuild('marks', `touch ${ran}; exit 1`), GALSIFT_FRONT_END: 'cgi' }])
    await refusedBeforeRun(env);
  assert.ok(!fs.existsSync(ran), 'galsift ran');
});

async function refusedBeforeRun(env) {
  const site = await startSite(env);
  try {
    const cases = [
      [changed(deepField, (q) => (q.epoch = '1999')), 'epoch', 'Epoch: must be 2000 or 1950'],
      [changed(deepField, (q) => (q.ascension[0][0] = '14')), 'ra_max',
        'Maximal right ascension: is below the minimal right ascension'],
      [changed(deepField, (q) => (q.declination[0] = ['-', '00', '60', '00'])), 'dec_min',
        'Minimal declination: minutes must be from 0 to 59'],
      [changed(deepField, (q) => (q.redshift = ['3', '0.5'])), 'z_max',
        'Maximal redshift: is below the minimal redshift'],
    ];
    for (const [query, field, note] of cases) {
      const answer = await ask(site, query);
      assert.equal(answer.status, 400, formData(query));
      assert.equal(notes(answer.body)[field], note);
      assert.ok(!answer.body.includes('<pre id="messages">'), answer.body);
    }
    assert.deepEqual(leftInSpool(site), []);
  } finally {
    await site.stop();
  }
}

test('a query galsift itself refuses is answered with 400, its messages above the form filled again', async () => {
  const said = 'minimal declination must be less then maximal declination\n' +
    'Query input error: file result.html has not been created\n';
  const site = await startSite({ GALSIFT_BUILD: stubBuild('refuses', `printf '${said}'`),
    GALSIFT_FRONT_END: 'cgi' });
  try {
    const answer = await ask(site, deepField);
    assert.equal(answer.status, 400);
    assert.equal(messages(answer.body), said);
    assert.ok(answer.body.includes('<title>No results page</title>'));
    assert.ok(answer.body.includes('name="dec_max" id="dec_max" size="24" maxlength="32" value="+24:35:00"'));
    assert.deepEqual(leftInSpool(site), []);
  } finally {
    await site.stop();
  }
});

test('a site without the 1950 catalogue answers 500 at 1950 and still 200 at 2000', async () => {
  const pages = path.join(scratch, 'site-without-1950');
  fs.mkdirSync(pages);
  for (const name of fs.readdirSync(siteFolder))
    if (name !== 'CG1950.dat') fs.copyFileSync(path.join(siteFolder, name), path.join(pages, name));
  const site = await startSite({ GALSIFT_SITE: pages });
  try {
    const at1950 = await ask(site, changed(deepField, (q) => (q.epoch = '1950')));
    assert.equal(at1950.status, 500);
    assert.ok(messages(at1950.body).includes('error open file CG1950.dat\n'), at1950.body);
    assert.ok(messages(at1950.body).includes('Error: File result.html has not been created'));
    const at2000 = await ask(site, deepField);
    assert.equal(at2000.status, 200);
    assert.deepEqual(leftInSpool(site), []);
  } finally {
    await site.stop();
  }
});

test('a galsift run past the time limit is stopped and answered with 500', async () => {
  const site = await startSite({
    GALSIFT_BUILD: stubBuild('slow', 'exec /bin/sleep 30'),
    GALSIFT_FRONT_END: 'cgi',
    GALSIFT_TIME_LIMIT: '1',
  });
  try {
    const start = Date.now();
    const answer = await ask(site, deepField);
    assert.equal(answer.status, 500);
    assert.ok(messages(answer.body).includes('the query did not finish'));
    assert.ok(Date.now() - start < 10000, 'within the time limit of 1 s and a little');
    assert.deepEqual(leftInSpool(site), []);
  } finally {
    await site.stop();
  }
});

// Request directories are the CGI front end's: the query server answers from memory.
test('with a retention a directory stays until a later request sweeps it', async () => {
  const site = await startSite({
    GALSIFT_FRONT_END: 'cgi', GALSIFT_RETENTION: '2', GALSIFT_TIME_LIMIT: '1',
  });
  try {
    assert.equal((await ask(site, deepField)).status, 200);
    const [first] = leftInSpool(site);
    assert.match(first ?? '', /^request-/);
    assert.deepEqual(fs.readdirSync(path.join(site.spool, first)).sort(), [
      'CG1950.dat', 'CG2000.dat', 'introduction.htm', 'query.frm', 'references.htm',
      'results.html', 'style.var',
    ]);
    await sleep(3500);
    assert.equal((await ask(site, deepField)).status, 200);
    const now = leftInSpool(site);
    assert.equal(now.length, 1);
    assert.notEqual(now[0], first, 'the older directory was swept');
  } finally {
    await site.stop();
  }
});

// The ids of the processes whose program is `program` (as started, argument 0).
function processesOf(program) {
  const ids = [];
  for (const id of fs.readdirSync('/proc')) {
    if (!/^\d+$/.test(id)) continue;
    try {
      const argv = fs.readFileSync(`/proc/${id}/cmdline`, 'latin1').split('\0');
      if (argv[0] === program) ids.push(Number(id));
    } catch {
      // ended meanwhile
    }
  }
  return ids;
}

test('a front end stopped by the web server mid-query leaves nothing behind', async () => {
  const stub = stubBuild('stopped', 'exec /bin/sleep 30');
  const site = await startSite({ GALSIFT_BUILD: stub, GALSIFT_FRONT_END: 'cgi', GALSIFT_TIME_LIMIT: '20' });
  try {
    const answer = ask(site, deepField).catch((error) => ({ status: 0, error }));
    const frontEnd = path.join(stub, 'src/cgi/galsift-cgi');
    let ids = [];
    for (let i = 0; i < 100 && (ids.length === 0 || leftInSpool(site).length === 0); i++) {
      await sleep(100);
      ids = processesOf(frontEnd);
    }
    assert.equal(ids.length, 1, 'the front end is running');
    assert.equal(leftInSpool(site).length, 1, 'with its directory');
    const start = Date.now();
    process.kill(ids[0], 'SIGTERM');
    const { status } = await answer;
    assert.ok(status === 500 || status === 0, `${status}`);
    while (leftInSpool(site).length && Date.now() - start < 5000) await sleep(50);
    assert.deepEqual(leftInSpool(site), []);
    assert.ok(Date.now() - start < 5000, 'at once, not after the time limit');
  } finally {
    await site.stop();
  }
});
