'use strict';
// The web page in a real headless Chromium: the demo as the desktop draws it, the mouse and the
// keys, and sessions moving between the page and the desktop programs to the same hash.
// RIGID2D_TRACE and RIGID2D_APP name the desktop's rigid2d-trace and rigid2d.

const assert = require('node:assert/strict');
const { execFileSync, spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { after, before, test } = require('node:test');
const { serve, openBrowser } = require('./harness.js');

const trace = process.env.RIGID2D_TRACE;
const app = process.env.RIGID2D_APP;
const corpus = path.join(__dirname, '..', '..', 'fuzz', 'replay-corpus');
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'rigid2d-web-'));

let server;
// Every browser opened, closed at the end even when a test failed before closing its own: an open
// browser would keep the test runner waiting until CTest's timeout.
const browsers = [];
before(async () => { server = await serve(); });
after(async () => {
  for (const browser of browsers) await browser.close().catch(() => {});
  server.close();
  fs.rmSync(scratch, { recursive: true, force: true });
});

// A page of the program with the address's options, once it has started; errors must stay empty.
async function openPage(query = '') {
  const opened = await openBrowser();
  browsers.push(opened.browser);
  await opened.page.goto(`${server.url}index.html${query}`);
  await opened.page.waitForFunction(() => window.Module?.calledRun && window.rigid2d, null,
    { timeout: 60000 });
  return opened;
}

const pageState = (page) => page.evaluate(() => rigid2d.state());
const untilPaused = (page) => page.waitForFunction(() => rigid2d.paused(), null, { timeout: 60000 });

function traceHash(args) {
  const text = execFileSync(trace, args);
  let hash = 0xcbf29ce484222325n;
  for (const byte of text) hash = BigInt.asUintN(64, (hash ^ BigInt(byte)) * 0x100000001b3n);
  return hash.toString(16).padStart(16, '0');
}

// Each scene, its steps, and the pixels that may differ from the desktop's picture by one level of
// a channel and by more. SwiftShader and llvmpipe round the circles' colour ramp apart in about
// 0.3 % of the pixels, and place some edge pixels differently: a fan's vertex on a pixel's centre,
// the outline of a turned box. Measured: 3 035 and 1 for the demo; 12 719 and 276 for the mix,
// its circles turning and its boxes turned.
const pictures = [
  { scene: 'demo', steps: 180, byOne: 9216, more: 16 },
  { scene: 'mix', steps: 300, byOne: 19200, more: 560 },
];

for (const { scene, steps, byOne, more } of pictures) {
  test(`the ${scene} after ${steps} steps is the desktop's state and, but for rasterising, its picture`,
    async () => {
      const shot = path.join(scratch, `desktop-${scene}.png`);
      execFileSync(app, ['--scene', scene, '--steps', String(steps), '--screenshot', shot]);
      const { browser, page, errors } = await openPage(`?scene=${scene}&steps=${steps}`);
      await untilPaused(page);
      assert.equal(await pageState(page),
        `${steps} ${traceHash(['--scene', scene, String(steps)])}`);
      const png = fs.readFileSync(shot).toString('base64');
      // Counts the pixels whose largest channel difference is 1, and those that differ more.
      const differ = await page.evaluate(async (png) => {
        const mine = await rigid2d.capture();
        const bitmap = await createImageBitmap(await (await fetch(`data:image/png;base64,${png}`)).blob());
        const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
        const context = canvas.getContext('2d');
        context.drawImage(bitmap, 0, 0);
        const desktop = context.getImageData(0, 0, bitmap.width, bitmap.height).data;
        const counts = { byOne: 0, more: 0, size: `${bitmap.width}x${bitmap.height}` };
        for (let y = 0; y < bitmap.height; ++y) {
          for (let x = 0; x < bitmap.width; ++x) {
            const a = 4 * ((bitmap.height - 1 - y) * bitmap.width + x);
            const b = 4 * (y * bitmap.width + x);
            let d = 0;
            for (let k = 0; k < 3; ++k) d = Math.max(d, Math.abs(mine[a + k] - desktop[b + k]));
            if (d === 1) counts.byOne++;
            else if (d > 1) counts.more++;
          }
        }
        return counts;
      }, png);
      process.stdout.write(`${scene}: ${differ.byOne} pixels differ by one level, ${differ.more} by more\n`);
      assert.equal(differ.size, '1280x720');
      assert.ok(differ.byOne <= byOne, `${differ.byOne} pixels differ by one level`);
      assert.ok(differ.more <= more, `${differ.more} pixels differ by more than one level`);
      assert.deepEqual(errors, []);
      await browser.close();
    });
}

test('a click drops a circle, Shift+click a box, and a right click writes the designed line',
  async () => {
  const { browser, page, errors, lines } = await openPage('?paused');
  const bodies = await page.evaluate(() => rigid2d.bodies());
  const box = await page.locator('#canvas').boundingBox();
  await page.mouse.click(box.x + box.width / 2, box.y + box.height / 3);
  await page.keyboard.down('Shift');
  await page.mouse.click(box.x + box.width / 3, box.y + box.height / 3);
  await page.keyboard.up('Shift');
  assert.equal(await page.evaluate(() => rigid2d.bodies()), bodies + 2);
  const drops = (await page.evaluate(() => rigid2d.recording())).split('\n')
    .map((line) => line.split(' ')[1]).filter((word) => word === 'spawn' || word === 'box');
  assert.deepEqual(drops, ['spawn', 'box']);
  const logged = page.waitForEvent('console', { predicate: (m) => m.text() === 'Right mouse click!' });
  await page.mouse.click(box.x + 10, box.y + 10, { button: 'right' });
  await logged;
  assert.equal(lines.filter((line) => line === 'Right mouse click!').length, 1);
  assert.deepEqual(errors, []);
  await browser.close();
});

test('keys pause, step and go back', async () => {
  const { browser, page, errors } = await openPage('?steps=30');
  await untilPaused(page);
  const at30 = await pageState(page);
  // Each key, then the step the page is at.
  for (const [key, step] of [['n', 31], ['N', 32], ['b', 31], ['PageDown', 91], ['PageUp', 31]]) {
    await page.keyboard.press(key);
    assert.equal((await pageState(page)).split(' ')[0], String(step), `after ${key}`);
  }
  await page.keyboard.press('b');
  assert.equal(await pageState(page), at30, 'back at step 30, the very state it had');
  await page.keyboard.press(' ');
  await page.waitForFunction(() => Number(rigid2d.state().split(' ')[0]) > 40);
  await page.keyboard.press(' ');
  assert.ok(await page.evaluate(() => rigid2d.paused()));
  assert.deepEqual(errors, []);
  await browser.close();
});

test('a session recorded in the page plays in rigid2d-trace to its hash', async () => {
  const { browser, page, errors } = await openPage('?steps=60');
  await untilPaused(page);
  const box = await page.locator('#canvas').boundingBox();
  await page.mouse.click(box.x + box.width / 2, box.y + box.height / 4);
  await page.keyboard.press('PageDown');
  const downloading = page.waitForEvent('download');
  await page.click('#download');
  const file = path.join(scratch, 'page.replay');
  await (await downloading).saveAs(file);
  const played = spawnSync(trace, ['--replay', file]);
  assert.equal(played.status, 0, played.stderr.toString());
  assert.deepEqual(errors, []);
  await browser.close();
});

test('a replay recorded on the desktop plays in the page to its end hash', async () => {
  const file = path.join(scratch, 'desktop.replay');
  execFileSync(app, ['--replay', path.join(corpus, 'recorded-demo'), '--record', file,
    '--steps', '200', '--screenshot', path.join(scratch, 'desktop-200.png')]);
  const end = fs.readFileSync(file, 'utf8').trim().split('\n').pop().split(' ');
  const { browser, page, errors } = await openPage();
  await page.evaluate((text) => rigid2d.open('desktop.replay', text), fs.readFileSync(file, 'utf8'));
  await page.waitForFunction(() => Number(rigid2d.state().split(' ')[0]) > 0);
  await untilPaused(page);
  assert.equal(await pageState(page), `${end[0]} ${end[2]}`);
  assert.deepEqual(errors, []);
  await browser.close();
});

test('a bad file gets the desktop\'s message in the page and leaves the session as it was',
  async () => {
    const bad = 'fuzz/replay-corpus/bad-numbers';
    const desktop = spawnSync(trace, ['--replay', bad], { cwd: path.join(corpus, '..', '..') })
      .stderr.toString().trim();
    const { browser, page, errors } = await openPage('?steps=20');
    await untilPaused(page);
    const state = await pageState(page);
    await page.evaluate(([name, text]) => rigid2d.open(name, text),
      [bad, fs.readFileSync(path.join(corpus, 'bad-numbers'), 'utf8')]);
    assert.equal(await page.locator('#status').textContent(), desktop);
    assert.equal(await pageState(page), state);
    assert.deepEqual(errors, []);
    await browser.close();
  });
