// Many visitors at once: 20 clients send 240 queries in all to the example site on the
// loopback, each query with a box of its own whose answer is worked out here from the
// catalogue. Every answer must hold exactly its own rows (a page written for another
// query would show), no request may fail, and the spool must be empty afterwards.
// Prints the requests per second and the 50th and 99th percentile latencies.
// Needs GALSIFT_BUILD (the build to serve). Bounded: at most 240 requests, each within
// 30 s, all within 240 s.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { after, before, test } from 'node:test';
import {
  angleValue, formData, readCatalogue, readResultsPage, rowCells, selection, summaryBounds,
} from './lib/catalogue.mjs';
import { leftInSpool, startSite } from './lib/site.mjs';

const clients = 20;
const perClient = 12;
const requestTimeoutMs = 30000;
const overallMs = 240000;

let site;
before(async () => (site = await startSite()));
after(async () => await site?.stop());

// A small seeded generator, so that every run asks the same queries.
function generator(seed) {
  return () => {
    seed = (seed + 0x6d2b79f5) | 0;
    let t = Math.imul(seed ^ (seed >>> 15), 1 | seed);
    t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

// Whole seconds as the three fields of an angle.
function fields(seconds) {
  const whole = Math.floor(seconds / 3600);
  const minutes = Math.floor((seconds - whole * 3600) / 60);
  return [whole, minutes, seconds - whole * 3600 - minutes * 60].map(String);
}

// `count` different boxes, each around an entry of the catalogue of its epoch so that
// most hold a few entries, some many and some none.
function makeQueries(count, catalogues) {
  const random = generator(20250101);
  const queries = [];
  const seen = new Set();
  while (queries.length < count) {
    const epoch = random() < 0.5 ? '2000' : '1950';
    const entries = catalogues[epoch];
    const anchor = entries[Math.floor(random() * entries.length)];
    const raHalf = 30 + Math.floor(random() * 5400);
    const decHalf = 30 + Math.floor(random() * 30000);
    const ra = [
      Math.max(0, Math.floor(anchor.ascensionValue) - raHalf),
      Math.min(86400, Math.ceil(anchor.ascensionValue) + raHalf),
    ];
    const dec = [
      Math.max(-324000, Math.floor(anchor.declinationValue) - decHalf),
      Math.min(324000, Math.ceil(anchor.declinationValue) + decHalf),
    ];
    const zLow = Math.max(0, anchor.redshift - random() * 2);
    const zHigh = anchor.redshift + (random() < 0.1 ? -0.5 : random() * 2);
    const query = {
      epoch,
      ascension: ra.map(fields),
      declination: dec.map((v) => [v < 0 ? '-' : '+', ...fields(Math.abs(v))]),
      redshift: [zLow.toFixed(4), Math.max(zLow, zHigh).toFixed(4)],
    };
    const data = formData(query);
    if (seen.has(data)) continue;
    seen.add(data);
    // The box's corners as numbers, to check the field texts say what was meant.
    assert.equal(angleValue(1, ...query.ascension[0].map(Number)), ra[0]);
    query.expected = selection(entries, query);
    query.data = data;
    queries.push(query);
  }
  return queries;
}

// Sends one query, GET or POST, and checks its answer. Returns the latency in ms.
async function ask(query, usePost) {
  const start = performance.now();
  const signal = AbortSignal.timeout(requestTimeoutMs);
  const response = usePost
    ? await fetch(`${site.base}/results`, {
        method: 'POST',
        headers: { 'Content-Type': 'application/x-www-form-urlencoded' },
        body: query.data,
        signal,
      })
    : await fetch(`${site.base}/results?${query.data}`, { signal });
  const html = await response.text();
  const took = performance.now() - start;
  assert.equal(response.status, 200, html.slice(0, 500));
  const page = readResultsPage(html);
  const bounds = summaryBounds(query);
  assert.deepEqual(page.ascension, bounds.ascension, 'the summary is of this query');
  assert.deepEqual(page.declination, bounds.declination, 'the summary is of this query');
  assert.equal(page.count, query.expected.length);
  assert.equal(page.none, query.expected.length === 0);
  assert.deepEqual(page.rows, query.expected.map(rowCells), query.data);
  return took;
}

// The value below which `share` of the sorted `values` lie (nearest rank).
function percentile(sorted, share) {
  return sorted[Math.min(sorted.length - 1, Math.ceil(share * sorted.length) - 1)];
}

test('20 clients, 240 queries: each answer holds exactly its own rows', async () => {
  const catalogues = { 2000: readCatalogue(2000), 1950: readCatalogue(1950) };
  const queries = makeQueries(clients * perClient, catalogues);
  const counts = queries.map((q) => q.expected.length);
  assert.ok(counts.filter((n) => n === 0).length >= 1, 'some boxes are empty');
  assert.ok(counts.filter((n) => n >= 10).length >= 10, 'some boxes hold many entries');

  const latencies = [];
  const failures = [];
  const deadline = Date.now() + overallMs;
  const started = performance.now();
  await Promise.all(
    Array.from({ length: clients }, async (_, client) => {
      for (let i = 0; i < perClient && Date.now() < deadline; i++) {
        const n = client * perClient + i;
        try {
          latencies.push(await ask(queries[n], n % 2 === 0));
        } catch (error) {
          failures.push(`query ${n}: ${error.message}`);
        }
      }
    }),
  );
  const seconds = (performance.now() - started) / 1000;

  assert.deepEqual(failures, []);
  assert.equal(latencies.length, queries.length, 'every query was answered in time');
  assert.deepEqual(leftInSpool(site), [], 'the spool is empty');
  assert.deepEqual(fs.readdirSync(`${site.runtime}/upload`), []);

  latencies.sort((a, b) => a - b);
  const rows = counts.reduce((a, b) => a + b, 0);
  console.log(
    `load: ${latencies.length} requests from ${clients} clients in ${seconds.toFixed(2)} s: ` +
      `${(latencies.length / seconds).toFixed(1)} requests/s, ` +
      `latency p50 ${percentile(latencies, 0.5).toFixed(1)} ms, ` +
      `p99 ${percentile(latencies, 0.99).toFixed(1)} ms, ` +
      `max ${latencies[latencies.length - 1].toFixed(1)} ms; ` +
      `${rows} rows in all, 0 to ${Math.max(...counts)} a query`);
});
