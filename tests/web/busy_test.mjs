// A site with no room to wait: the query server with GALSIFT_QUEUE_LIMIT=0, or galsift-cgi
// with one run slot and GALSIFT_WAIT_LIMIT=0 (GALSIFT_FRONT_END chooses). 20 clients ask
// at once over a catalogue of 10^5 entries: each answer is either galsift's page or a 503
// with a Retry-After, some of each, and nothing is left in the spool. Needs GALSIFT_BUILD
// and GALSIFT_GENERATOR.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, test } from 'node:test';
import { formData, siteFolder } from './lib/catalogue.mjs';
import { frontEnd, leftInSpool, startSite } from './lib/site.mjs';

const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'galsift-web-busy-'));
after(() => fs.rmSync(scratch, { recursive: true, force: true }));

const everything = {
  epoch: '2000',
  ascension: [['0', '0', '0'], ['24', '0', '0']],
  declination: [['-', '90', '0', '0'], ['+', '90', '0', '0']],
  redshift: ['0', '0.3'],
};

test(`a ${frontEnd} front end with no room to wait answers 503 with Retry-After`, async () => {
  const pages = path.join(scratch, 'site');
  fs.mkdirSync(pages);
  for (const name of fs.readdirSync(siteFolder))
    fs.copyFileSync(path.join(siteFolder, name), path.join(pages, name));
  execFileSync(process.env.GALSIFT_GENERATOR, ['100000', path.join(pages, 'CG2000.dat')]);
  const site = await startSite({
    GALSIFT_SITE: pages, GALSIFT_QUEUE_LIMIT: '0', GALSIFT_RUNS_LIMIT: '1', GALSIFT_WAIT_LIMIT: '0',
  });
  try {
    const ask = async () => {
      const response = await fetch(`${site.base}/results`, {
        method: 'POST',
        headers: { 'Content-Type': 'application/x-www-form-urlencoded' },
        body: formData(everything),
        signal: AbortSignal.timeout(60000),
      });
      return { status: response.status, retry: response.headers.get('retry-after'),
        body: await response.text() };
    };
    const page = await ask(); // alone: answered (and the server holds the catalogue)
    assert.equal(page.status, 200);
    const answers = await Promise.all(Array.from({ length: 20 }, ask));
    const busy = answers.filter((a) => a.status === 503);
    const answered = answers.filter((a) => a.status === 200);
    assert.equal(busy.length + answered.length, answers.length, answers.map((a) => a.status).join(' '));
    assert.ok(busy.length >= 1 && answered.length >= 1, `${busy.length} busy, ${answered.length} answered`);
    for (const a of answered) assert.equal(a.body, page.body);
    for (const a of busy) {
      assert.match(a.retry ?? '', /^[1-9][0-9]*$/);
      assert.ok(a.body.includes('The site is busy'));
    }
    assert.deepEqual(leftInSpool(site), []);
  } finally {
    await site.stop();
  }
});
