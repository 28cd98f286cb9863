'use strict';
// What every browser test shares: the page, built by Emscripten into RIGID2D_WEB_DIR, served from
// 127.0.0.1 by web/serve.py (Python's http.server), and Debian's Chromium driven headless by
// playwright-core, rendering WebGL on SwiftShader as Xvfb and llvmpipe do for the desktop. Every
// console line and uncaught error of the page is logged, since an exception inside the
// WebAssembly module shows up only there.

const { spawn } = require('node:child_process');
const path = require('node:path');
const readline = require('node:readline');
const { chromium } = require('playwright-core');

const webDir = process.env.RIGID2D_WEB_DIR;
const serveScript = path.join(__dirname, '..', '..', 'web', 'serve.py');

// Starts the server on a free port; resolves to its address and a way to stop it.
function serve() {
  return new Promise((resolve, reject) => {
    if (!webDir) {
      reject(new Error('RIGID2D_WEB_DIR names no folder: set it to the web build\'s page folder'));
      return;
    }
    const server = spawn('python3', [serveScript, webDir], { stdio: ['ignore', 'pipe', 'inherit'] });
    server.on('error', reject);
    readline.createInterface({ input: server.stdout }).once('line', (url) =>
      resolve({ url, close: () => server.kill() }));
  });
}

// A headless Chromium with one page of the given size, logging as it goes: lines collects the
// page's console lines, errors its uncaught errors, for tests to require none.
async function openBrowser({ width = 1280, height = 720 } = {}) {
  const browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--use-gl=swiftshader', '--enable-unsafe-swiftshader',
      '--ignore-gpu-blocklist'],
  });
  const context = await browser.newContext({ viewport: { width, height }, acceptDownloads: true });
  const page = await context.newPage();
  const errors = [];
  const lines = [];
  page.on('console', (message) => {
    lines.push(message.text());
    process.stdout.write(`[console.${message.type()}] ${message.text()}\n`);
  });
  page.on('pageerror', (error) => {
    errors.push(error);
    process.stdout.write(`[uncaught] ${error.stack || error.message}\n`);
  });
  return { browser, page, errors, lines };
}

module.exports = { serve, openBrowser };
