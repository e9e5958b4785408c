// Starting and stopping the example site (scripts/serve: lighttpd and galsift-server or
// galsift-cgi) on a free loopback port, for the browser, load and hostile-request tests.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

// The front end scripts/serve starts: the query server unless GALSIFT_FRONT_END says cgi.
export const frontEnd = process.env.GALSIFT_FRONT_END || 'server';

export const repository = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../..');

// A loopback port that nothing listens on right now.
export async function freePort() {
  const server = net.createServer();
  await new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(0, '127.0.0.1', resolve);
  });
  const { port } = server.address();
  await new Promise((resolve) => server.close(resolve));
  return port;
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Starts scripts/serve with `env` added to this process's environment (GALSIFT_BUILD names
// the build to serve) and waits until the form page answers. Returns { base, spool,
// runtime, output(), stop() }. Tries a few ports, in case one is taken in between. With
// `cgroup` (a memory cgroup v1 folder), scripts/serve and all it starts run inside it.
export async function startSite(env = {}, { cgroup } = {}) {
  let lastOutput = '';
  for (let attempt = 0; attempt < 3; attempt++) {
    const port = await freePort();
    const serve = path.join(repository, 'scripts/serve');
    const [command, args] = cgroup
      ? ['/bin/sh', ['-c', 'echo $$ > "$0/tasks" && exec "$1" "$2"', cgroup, serve, String(port)]]
      : [serve, [String(port)]];
    const child = spawn(command, args, {
      env: { ...process.env, ...env },
      stdio: ['ignore', 'pipe', 'pipe'],
    });
    let output = '';
    let exited = false;
    child.stdout.on('data', (chunk) => (output += chunk));
    child.stderr.on('data', (chunk) => (output += chunk));
    const ended = new Promise((resolve) => child.on('exit', () => ((exited = true), resolve())));
    const base = `http://127.0.0.1:${port}`;
    const deadline = Date.now() + 30000;
    while (!exited && Date.now() < deadline) {
      const logLine = /lighttpd's log, with the query server's: (\S+)\/error\.log/.exec(output);
      if (logLine) {
        try {
          const answer = await fetch(`${base}/query.htm`, { signal: AbortSignal.timeout(2000) });
          await answer.arrayBuffer();
          if (answer.status === 200) {
            const runtime = logLine[1];
            return {
              base,
              spool: path.join(runtime, 'spool'),
              runtime,
              output: () => output,
              stop: () => stopSite(child, ended, exited),
            };
          }
        } catch {
          // not listening yet
        }
      }
      await sleep(100);
    }
    if (!exited) await stopSite(child, ended, false);
    lastOutput = output;
  }
  throw new Error(`scripts/serve did not come up:\n${lastOutput}`);
}

// Asks scripts/serve to stop (it stops lighttpd and removes its folder), and waits for it.
async function stopSite(child, ended, exited) {
  if (exited) return;
  child.kill('SIGTERM');
  const timer = setTimeout(() => child.kill('SIGKILL'), 15000);
  await ended;
  clearTimeout(timer);
}

// What requests left in the site's spool: every name in it but the CGI front end's run
// slots and their queue ("slot-N", "slot-queue": lock files that stay from one request to
// the next).
export function leftInSpool(site) {
  return fs.readdirSync(site.spool).filter((name) => !/^slot-(\d+|queue)$/.test(name));
}

// Names of everything under `dir`, relative to it, folders ending with "/".
export function listTree(dir) {
  const names = [];
  for (const entry of fs.readdirSync(dir, { withFileTypes: true, recursive: true })) {
    const full = path.join(entry.parentPath ?? entry.path, entry.name);
    names.push(path.relative(dir, full) + (entry.isDirectory() ? '/' : ''));
  }
  return names.sort();
}

// Name, size and modification time of every file of the site's folder, to show that no
// request changed or added anything there.
export function snapshot(dir) {
  return listTree(dir)
    .map((name) => {
      const info = fs.lstatSync(path.join(dir, name));
      return `${name} ${info.size} ${info.mtimeMs}`;
    })
    .join('\n');
}
