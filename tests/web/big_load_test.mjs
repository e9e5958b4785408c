// A catalogue of 10^6 entries under load, inside a memory limit: lighttpd and the front
// end (the query server, or galsift-cgi with GALSIFT_FRONT_END=cgi) run in a memory
// cgroup of 1.5 GB; 20 clients ask 10 different boxes over and over, and every answer must
// be, byte for byte, the page galsift writes for that box. Then, for the query server, a
// page of every entry is refused past the site's limit of rows, and a query that runs past
// the time limit is answered 500 alone while the same server answers the others. Prints
// latencies and the memory used.
// Needs GALSIFT_BUILD, GALSIFT_GENERATOR (bench/catalogue_generator) and root with the
// cgroup v1 memory controller at /sys/fs/cgroup/memory; without them the test is skipped
// (in CI it fails).
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { formData, formFields, siteFolder } from './lib/catalogue.mjs';
import { frontEnd, leftInSpool, startSite } from './lib/site.mjs';

const build = path.resolve(process.env.GALSIFT_BUILD || '');
const generator = process.env.GALSIFT_GENERATOR;
const memoryRoot = '/sys/fs/cgroup/memory';
const limitBytes = 1536 * 1024 * 1024;
const clients = 20;
const perClient = frontEnd === 'server' ? 5 : 1;

const missing = !generator ? 'GALSIFT_GENERATOR' : !fs.existsSync(`${memoryRoot}/tasks`) ||
  process.getuid() !== 0 ? 'root and the cgroup v1 memory controller' : '';
if (missing && process.env.CI) throw new Error(`the load test needs ${missing}`);

const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'galsift-web-big-'));
const pages = path.join(scratch, 'site');
const group = path.join(memoryRoot, `galsift-load-${process.pid}`);
// The group can be removed once the last process in it has ended, which may be a moment
// after the site has stopped.
after(async () => {
  fs.rmSync(scratch, { recursive: true, force: true });
  for (let tries = 0; fs.existsSync(group); tries++) {
    try {
      fs.rmdirSync(group);
    } catch (error) {
      if (tries >= 100) throw error;
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
  }
});

// The query.frm a front end writes for `query`.
function queryForm(query) {
  const v = Object.fromEntries(formFields(query));
  const angle = (label, sign, p, first) => `${label}${sign}${v[p + first]}:${v[p + '_m']}:${v[p + '_s']}\n`;
  return `Epoch=${v.epoch}\n` + angle('Minimal ascension= ', '', 'ra_min', '_h') +
    angle('Maximal ascension= ', '', 'ra_max', '_h') +
    angle('Minimal declination=', v.dec_min_sign, 'dec_min', '_d') +
    angle('Maximal declination=', v.dec_max_sign, 'dec_max', '_d') +
    `Minimal redshift= ${v.z_min}\nMaximal redshift= ${v.z_max}\n`;
}

// The page galsift writes for `query` over the site's files.
function consolePage(query) {
  const dir = fs.mkdtempSync(path.join(scratch, 'run-'));
  for (const name of ['CG2000.dat', 'CG1950.dat', 'style.var'])
    fs.symlinkSync(path.join(pages, name), path.join(dir, name));
  fs.writeFileSync(path.join(dir, 'query.frm'), queryForm(query));
  const run = spawnSync(path.join(build, 'galsift'), [], { cwd: dir, encoding: 'latin1' });
  assert.match(run.stdout, /File result.html has been created successfully/);
  const page = fs.readFileSync(path.join(dir, 'results.html'));
  fs.rmSync(dir, { recursive: true });
  return page;
}

// Ten boxes of 0.1% to 1% of the catalogue, spread over the sky.
function boxes() {
  const list = [];
  for (let n = 0; n < 10; n++) {
    const hour = (n * 7) % 22;
    const degrees = -60 + n * 12;
    list.push({
      epoch: '2000',
      ascension: [[String(hour), '00', '00'], [String(hour + 1 + (n % 2)), '12', '00']],
      declination: [[degrees < 0 ? '-' : '+', String(Math.abs(degrees)), '00', '00'],
        [degrees + 9 < 0 ? '-' : '+', String(Math.abs(degrees + 9)), '30', '00']],
      redshift: ['0', n % 3 === 0 ? '3' : '0.86'],
    });
  }
  return list;
}

let site;
before(async () => {
  if (missing) return;
  fs.mkdirSync(pages);
  for (const name of ['CG1950.dat', 'style.var', 'introduction.htm', 'references.htm', 'query.htm'])
    fs.copyFileSync(path.join(siteFolder, name), path.join(pages, name));
  execFileSync(generator, ['1000000', path.join(pages, 'CG2000.dat')]);
  fs.mkdirSync(group);
  fs.writeFileSync(`${group}/memory.limit_in_bytes`, String(limitBytes));
});

function percentile(sorted, share) {
  return sorted[Math.min(sorted.length - 1, Math.ceil(share * sorted.length) - 1)];
}

async function ask(base, query, timeout = 120000) {
  const start = performance.now();
  const response = await fetch(`${base}/results`, {
    method: 'POST',
    headers: { 'Content-Type': 'application/x-www-form-urlencoded' },
    body: formData(query),
    signal: AbortSignal.timeout(timeout),
  });
  const body = Buffer.from(await response.arrayBuffer());
  return { status: response.status, body, ms: performance.now() - start };
}

// The ids of the running processes started as `program`.
function processesOf(program) {
  return fs.readdirSync('/proc').filter((id) => /^\d+$/.test(id)).filter((id) => {
    try {
      return fs.readFileSync(`/proc/${id}/cmdline`, 'latin1').split('\0')[0] === program;
    } catch {
      return false;
    }
  });
}

// A field of /proc/ID/status in megabytes ("VmRSS", "VmHWM").
function statusMB(id, field) {
  const line = new RegExp(`^${field}:\\s+(\\d+) kB`, 'm').exec(fs.readFileSync(`/proc/${id}/status`, 'latin1'));
  return line ? Number(line[1]) / 1024 : NaN;
}

test(`20 clients on 10^6 entries in 1.5 GB through ${frontEnd}: every page is galsift's`, { skip: missing || false }, async () => {
  const queries = boxes();
  const expected = queries.map(consolePage);
  site = await startSite({
    GALSIFT_SITE: pages, GALSIFT_WAIT_LIMIT: '300', GALSIFT_TIME_LIMIT: '60', GALSIFT_PAGE_ROWS: '0',
  },
    { cgroup: group });
  try {
    const wrong = [];
    const latencies = [];
    const started = performance.now();
    await Promise.all(Array.from({ length: clients }, async (_, client) => {
      for (let i = 0; i < perClient; i++) {
        const n = (client * 3 + i) % queries.length;
        const answer = await ask(site.base, queries[n]);
        latencies.push(answer.ms);
        if (answer.status !== 200 || !answer.body.equals(expected[n]))
          wrong.push(`client ${client}, box ${n}: ${answer.status} ${answer.body.length} bytes`);
      }
    }));
    const seconds = (performance.now() - started) / 1000;
    assert.deepEqual(wrong, []);
    assert.deepEqual(leftInSpool(site), []);
    latencies.sort((a, b) => a - b);
    const peak = Number(fs.readFileSync(`${group}/memory.max_usage_in_bytes`, 'latin1')) / 2 ** 20;
    const failcnt = fs.readFileSync(`${group}/memory.failcnt`, 'latin1').trim();
    let server = '';
    for (const id of processesOf(path.join(build, 'src/server/galsift-server')))
      server = `; server resident ${statusMB(id, 'VmRSS').toFixed(0)} MB, peak ${statusMB(id, 'VmHWM').toFixed(0)} MB`;
    console.log(`big load (${frontEnd}): ${latencies.length} answers from ${clients} clients in ` +
      `${seconds.toFixed(1)} s, latency p50 ${percentile(latencies, 0.5).toFixed(0)} ms, ` +
      `p99 ${percentile(latencies, 0.99).toFixed(0)} ms; cgroup peak ${peak.toFixed(0)} MB ` +
      `(page cache included), limit reached ${failcnt} times${server}`);
  } finally {
    await site.stop();
  }
});

test('past the limits on 10^6 entries: every row refused, a runaway stopped alone, the same server answers on', {
  skip: missing || frontEnd !== 'server',
}, async () => {
  const whole = {
    epoch: '2000',
    ascension: [['0', '0', '0'], ['24', '0', '0']],
    declination: [['-', '90', '0', '0'], ['+', '90', '0', '0']],
    redshift: ['0', '100'],
  };
  const small = boxes()[1];
  const expected = consolePage(small);
  site = await startSite({
    GALSIFT_SITE: pages, GALSIFT_TIME_LIMIT: '0.1', GALSIFT_PAGE_ROWS: '0',
    GALSIFT_ALL_ROWS: '100000', GALSIFT_WORKERS: '1',
  }, { cgroup: group });
  try {
    const program = path.join(build, 'src/server/galsift-server');
    const [server] = processesOf(program);
    // A page of every entry is refused at once, saying why.
    const refused = await ask(site.base, whole, 60000);
    assert.equal(refused.status, 400);
    assert.match(refused.body.toString('latin1'), /selects 1000000 entries; this site sends at most 100000/);
    // A cone of the whole sky runs past the time limit of 0.1 s: 500 for it alone; the small
    // queries behind it (one worker) get their pages from the same server, which reads
    // nothing again.
    const start = performance.now();
    const runaway = fetch(`${site.base}/cone?RA=0&DEC=0&SR=180&VERB=3`)
      .then(async (answer) => ({ status: answer.status, ms: performance.now() - start, body: await answer.text() }));
    await new Promise((resolve) => setTimeout(resolve, 20));
    const behind = await Promise.all(Array.from({ length: 5 }, () => ask(site.base, small, 60000)));
    const cut = await runaway;
    console.log(`a cone of every entry with a time limit of 0.1 s: ${cut.status} after ${cut.ms.toFixed(0)} ms`);
    assert.equal(cut.status, 500);
    assert.match(cut.body, /the query did not finish/);
    for (const answer of behind) {
      assert.equal(answer.status, 200);
      assert.ok(answer.body.equals(expected));
    }
    assert.deepEqual(processesOf(program), [server], 'the same server');
    assert.equal(site.output().split('read CG2000.dat:').length - 1, 1, 'the catalogue read once');
  } finally {
    await site.stop();
  }
});
