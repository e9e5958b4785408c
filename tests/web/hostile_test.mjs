// Hostile requests against the example site on the loopback: path characters, quotes,
// HTML, line ends, shell characters, NUL and non-ASCII bytes, 1 MB of form data, other
// methods and content types. Each gets a 400 before galsift runs: a page of messages that
// echoes none of it and links back to the form, or, for a field that does not hold what
// its label asks, the form filled again with every text escaped. None leaves anything in
// the spool, in the server's folder or in the site. The server serves nothing outside the
// site's pages, and every page carries the headers that stop scripts and sniffing.
// Needs GALSIFT_BUILD.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import net from 'node:net';
import { after, before, test } from 'node:test';
import { boundFormData, formData, siteFolder } from './lib/catalogue.mjs';
import { frontEnd, leftInSpool, listTree, snapshot, startSite } from './lib/site.mjs';

// What the web server's folder holds: its own files, and the query server's socket.
const serverFiles = ['error.log', 'lighttpd.pid', 'spool/', 'upload/'];
if (frontEnd === 'server') serverFiles.splice(2, 0, 'server.socket-0');

let site;
const siteBefore = snapshot(siteFolder);
before(async () => (site = await startSite()));
after(async () => await site?.stop());

// Sends `head` (request line and headers, without the blank line) and `body` as they
// stand, bytes and all, on a connection of its own. Returns { status, headers, body }, or
// { status: 0 } when the server closed the connection without an answer.
function rawRequest(head, body = Buffer.alloc(0)) {
  return new Promise((resolve, reject) => {
    const { port } = new URL(site.base);
    const socket = net.connect(Number(port), '127.0.0.1');
    const chunks = [];
    let timedOut = false;
    socket.setTimeout(30000, () => ((timedOut = true), socket.destroy()));
    socket.on('data', (chunk) => chunks.push(chunk));
    socket.on('error', () => {}); // a reset while sending: judged by what arrived
    socket.on('close', () => {
      if (timedOut) return reject(new Error(`no answer within 30 s to ${head.slice(0, 80)}`));
      const answer = Buffer.concat(chunks).toString('latin1');
      const split = answer.indexOf('\r\n\r\n');
      const status = /^HTTP\/1\.[01] (\d{3})/.exec(answer);
      resolve({
        status: status ? Number(status[1]) : 0,
        headers: answer.slice(0, split).toLowerCase(),
        body: answer.slice(split + 4),
      });
    });
    const sendsBody = body.length > 0 || head.startsWith('POST') || head.startsWith('PUT');
    const length = sendsBody ? `Content-Length: ${body.length}\r\n` : '';
    const start = `${head}\r\nHost: 127.0.0.1\r\nConnection: close\r\n${length}\r\n`;
    socket.end(Buffer.concat([Buffer.from(start, 'latin1'), body]));
  });
}

const post = (data, type = 'application/x-www-form-urlencoded') =>
  rawRequest(`POST /results HTTP/1.1\r\nContent-Type: ${type}`, Buffer.from(data, 'latin1'));
const get = (query) => rawRequest(`GET /results?${query} HTTP/1.1`);

const deepField = {
  epoch: '2000',
  ascension: [['13', '04', '50'], ['13', '05', '10']],
  declination: [['+', '24', '25', '00'], ['+', '24', '35', '00']],
  redshift: ['0.5', '3'],
};
// The earlier form's seventeen fields, and the form's seven.
const good = formData(deepField);
const goodBounds = boundFormData(deepField);

// `form` with the field `name` given the raw (still encoded) value `value`.
function withField(name, value, form = good) {
  return form.replace(new RegExp(`(^|&)${name}=[^&]*`), `$1${name}=${value}`);
}

const megabyte = 1 << 20;

// What a visitor may send, and what must not come back in the answer as it stands: the
// words of it a page of messages would echo, or markup that the filled form would show
// unescaped (the form shows a refused field's text again, escaped).
const hostile = [
  ['a path as a value', withField('ra_min_h', '..%2F..%2F..%2Fetc%2Fpasswd'), 'root:'],
  ['an absolute path as a value', withField('z_min', '%2Fetc%2Fpasswd'), 'root:'],
  ['a path as a field name', `${good}&..%2F..%2Fquery.frm=1`, 'query.frm'],
  ['a path as the only field', '%2Ftmp%2Fgalsift-hostile=1', 'galsift-hostile'],
  ['a double quote', withField('z_min', '0.5%22'), '0.5"'],
  ['a single quote', withField('z_max', "3'"), "3'"],
  ['a quote as the sign', withField('dec_min_sign', '%22'), '=""24'],
  ['a script', withField('z_max', '%3Cscript%3Ealert(1)%3C%2Fscript%3E'), '<script'],
  ['a script in a bound', withField('ra_min', '%3Cscript%3Ealert(1)%3C%2Fscript%3E', goodBounds), '<script'],
  // (the form has an <img> of its own: the coverage map)
  ['an element in a bound', withField('dec_max', '%3Cimg+src%3Dx+onerror%3Dalert(1)%3E', goodBounds), '<img src=x'],
  ['an attribute in a bound', withField('ra_max', '1%22+autofocus+onfocus%3D%22alert(1)', goodBounds), '1" autofocus'],
  ['an element as a field name', `${good}&%3Cb%3Ebold%3C%2Fb%3E=1`, 'bold'],
  ['an attribute', withField('epoch', '2000%22+onmouseover%3D%22alert(1)'), 'onmouseover'],
  ['a line end that adds an entry', withField('z_max', '3%0AMaximal+redshift%3D+9'), 'Maximal'],
  ['a carriage return', withField('z_min', '0.5%0D'), '\r'],
  ['an equals sign that shifts the entries', withField('ra_min_s', '0%3D1'), null],
  ['a catalogue separator', withField('ra_min_s', '0%24'), null],
  ['a command after a semicolon', withField('z_max', '3%3Btouch+%2Ftmp%2Fgalsift-hostile'), null],
  ['a command substitution', withField('z_max', '%24(touch+%2Ftmp%2Fgalsift-hostile)'), null],
  ['backquotes', withField('z_max', '%60id%60'), null],
  ['an encoded NUL byte', withField('z_max', '3%00'), '\0'],
  ['a raw NUL byte', withField('z_max', '3\0'), '\0'],
  ['an encoded non-ASCII letter', withField('z_max', '%C3%A9'), '\u00c3'],
  ['a raw non-ASCII byte', withField('z_max', '3\xe9'), '\xe9'],
  ['1 MB of form data', `${good}&pad=${'a'.repeat(megabyte)}`, 'aaaa'],
  ['1 MB in one field', withField('z_max', '1'.repeat(megabyte)), '1111111111'],
  ['a field repeated', `${good}&z_max=4`, 'z_max=4'],
  ['the two forms mixed', `${goodBounds}&ra_min_h=1`, 'ra_min_h'],
];

// The elements of the front end's own pages: the messages page, and the form.
const messagesTags = ['a', 'body', 'font', 'h2', 'head', 'html', 'p', 'pre', 'title'];
const formTags = ['a', 'b', 'body', 'br', 'code', 'font', 'form', 'h2', 'h3', 'h4', 'head', 'hr', 'html', 'img', 'input',
  'label', 'li', 'option', 'p', 'pre', 'select', 'span', 'sup', 'table', 'td', 'th', 'title', 'tr', 'ul'];

// Checks the headers every page of the front end carries: no script may run in it.
function assertGuarded(answer, what) {
  assert.match(answer.headers, /\r\ncontent-type: text\/html; charset=utf-8\r\n/, what);
  assert.match(answer.headers, /\r\nx-content-type-options: nosniff\r\n/, what);
  assert.match(answer.headers, /\r\nreferrer-policy: no-referrer\r\n/, what);
  assert.match(answer.headers, /\r\ncontent-security-policy: default-src 'none'; [^\r]*\r\n/, what);
  assert.doesNotMatch(answer.headers, /script-src|unsafe/, what);
}

// Checks a refusal before galsift ran: a 400 HTML page without `echo`, made only of the
// elements of the messages page (with the link back to the form) or of the form (filled
// again, with no message of galsift's). Where `serverMayRefuse`, the web server's own 400
// page will do too (lighttpd refuses control characters in an address itself).
function assertRefused(answer, echo, what, serverMayRefuse = false) {
  assert.equal(answer.status, 400, what);
  assert.match(answer.headers, /content-type: text\/html/, what);
  if (echo) assert.ok(!answer.body.includes(echo), `${what}: the answer echoes ${JSON.stringify(echo)}`);
  if (serverMayRefuse && answer.body.includes('<h1>400 Bad Request</h1>')) return;
  assertGuarded(answer, what);
  const tags = [...new Set([...answer.body.matchAll(/<\/?([^\s>/]*)/g)].map((m) => m[1]))].sort();
  if (answer.body.includes('<form')) {
    assert.ok(tags.every((tag) => formTags.includes(tag)), `${what}: ${tags}`);
    assert.ok(answer.body.includes('<font color="#c00000"><b>'), `${what}: a field is marked`);
    assert.ok(!answer.body.includes('<pre id="messages">'), `${what}: galsift ran`);
    // The attributes of every opening tag, quoted values stepped over.
    const attributes = [...answer.body.matchAll(/<[a-z0-9]+((?:\s+[a-z-]+(?:="[^"]*")?)*)\s*>/g)]
      .flatMap((tag) => [...tag[1].matchAll(/([a-z-]+)(?:="[^"]*")?/g)].map((a) => a[1]));
    assert.ok(attributes.includes('value'), what);
    assert.ok(attributes.every((name) => !name.startsWith('on') && name !== 'autofocus'), what);
  } else {
    assert.ok(answer.body.includes('<a href="query.htm">Back to the query form</a>'), what);
    assert.deepEqual(tags, messagesTags, what);
  }
}

// Checks that no request left anything behind: an empty spool, the server's folder as it
// started, the site unchanged, no file that a command in a field would have made.
function assertNothingLeft(what) {
  assert.deepEqual(leftInSpool(site), [], `${what}: the spool`);
  assert.deepEqual(
    listTree(site.runtime).filter((name) => !/^spool\/slot-(\d+|queue)$/.test(name)), serverFiles, what);
  assert.equal(snapshot(siteFolder), siteBefore, `${what}: the site`);
  assert.ok(!fs.existsSync('/tmp/galsift-hostile'), what);
}

test('the untouched form is answered, so the refusals below are of the changes', async () => {
  const answers = [await post(good), await get(good), await get(goodBounds), await post(goodBounds)];
  for (const answer of answers) {
    assert.equal(answer.status, 200);
    assert.match(answer.body, /There are 7 {5}records corresponding/);
    assertGuarded(answer, 'the results page');
    assert.match(answer.headers, /form-action 'none'/);
  }
  assertNothingLeft('a good query');
});

test('a right ascension in degrees gives the page of its sexagesimal form; a bare number is refused', async () => {
  const bounds = (low, high) => withField('ra_max', high, withField('ra_min', low, goodBounds));
  const sexagesimal = await get(bounds('13%3A04%3A48', '13%3A05%3A12'));
  assert.equal(sexagesimal.status, 200);
  assert.match(sexagesimal.body, /There are 8 {5}records corresponding/);
  for (const [low, high] of [['196.2d', '196.3d'], ['196.2%C2%B0', '196.3%C2%B0']]) {
    const answer = await get(bounds(low, high));
    assert.equal(answer.status, 200, low);
    assert.equal(answer.body, sexagesimal.body, low);
  }
  const bare = await get(bounds('196.2', '196.3d'));
  assertRefused(bare, null, 'a bare number');
  assert.match(bare.body, /Minimal right ascension: has no unit: write 12\.5h for hours or 187\.5d for degrees/);
  assertNothingLeft('bounds in degrees');
});

test('hostile form data is refused with a 400, sent by POST and by GET', async () => {
  for (const [what, data, echo] of hostile) {
    assertRefused(await post(data), echo, `POST ${what}`);
    assertNothingLeft(`POST ${what}`);
    if (data.length < 4096) {
      const query = data.replace(/[^\x21-\x7e]/g, (c) => encodeURIComponent(c));
      const controls = /%[01][0-9a-f]|%7f/i.test(query);
      assertRefused(await get(query), echo, `GET ${what}`, controls);
      assertNothingLeft(`GET ${what}`);
    }
  }
});

test('other methods, content types and oversized addresses are refused with a 400', async () => {
  const requests = [
    ['PUT', () => rawRequest('PUT /results HTTP/1.1\r\nContent-Type: application/x-www-form-urlencoded', Buffer.from(good))],
    ['DELETE', () => rawRequest('DELETE /results HTTP/1.1')],
    ['text/plain', () => post(good, 'text/plain')],
    ['multipart', () => post(good, 'multipart/form-data; boundary=x')],
    ['no body', () => post('')],
    ['6 KB address', () => get(`${good}&pad=${'a'.repeat(6000)}`)],
  ];
  for (const [what, send] of requests) {
    assertRefused(await send(), null, what);
    assertNothingLeft(what);
  }
});

test('1 MB of form data in the address is refused by the server before any query runs', async () => {
  // Far over the server's limit for a request line: it answers 4xx itself, or closes the
  // connection while the address is still arriving.
  const answer = await get(`${good}&pad=${'a'.repeat(megabyte)}`);
  assert.ok(answer.status === 0 || (answer.status >= 400 && answer.status < 500), `${answer.status}`);
  assertNothingLeft('1 MB address');
});

test('the server serves the site\'s pages and nothing else', async () => {
  const refused = [
    'GET /../../../etc/passwd HTTP/1.1',
    'GET /..%2f..%2f..%2fetc%2fpasswd HTTP/1.1',
    'GET /query.frm HTTP/1.1',
    'GET /style.var HTTP/1.1',
    'GET /results/../style.var HTTP/1.1',
    'GET /results/extra HTTP/1.1',
    'GET /%2e%2e/%2e%2e/etc/passwd HTTP/1.1',
    // The settings files under a path after their name.
    'GET /style.var/ HTTP/1.1',
    'GET /query.frm/x HTTP/1.1',
    'GET /style.var%2F HTTP/1.1',
    'GET /query.frm// HTTP/1.1',
  ];
  for (const head of refused) {
    const answer = await rawRequest(head);
    assert.ok(answer.status >= 400 && answer.status < 500, `${head}: ${answer.status}`);
    assert.ok(!answer.body.includes('root:'), head);
    assert.ok(!/Epoch=|Border=/.test(answer.body), `${head}: a settings file is served`);
    // lighttpd's own error pages are the site's, not its built-in ones in ISO-8859-1.
    assertGuarded(answer, head);
  }
  for (const page of ['query.htm', 'introduction.htm', 'references.htm']) {
    const answer = await rawRequest(`GET /${page} HTTP/1.1`);
    assert.equal(answer.status, 200, page);
    assertGuarded(answer, page);
    assert.equal(answer.body, fs.readFileSync(`${siteFolder}/${page}`, 'latin1'), page);
  }
  assertNothingLeft('pages');
});
