'use strict';
// The page around the canvas: it starts the program with the options of its address, hands it
// the keys, the mouse and touches, writes the overlay, the help and the plots as HTML, and moves
// files in and out: a replay or saved state picked or dropped, the recorded session downloaded,
// or carried by a link (#replay=..., compressed).

const canvas = document.getElementById('canvas');
const statusLine = document.getElementById('status');

function say(text, fault) {
  statusLine.textContent = text;
  statusLine.classList.toggle('fault', Boolean(fault));
}

var Module = {
  canvas,
  print: (text) => console.log(text),
  printErr: (text) => console.error(text),
  onRuntimeInitialized: start,
};

const call = (name, result, types, args) => Module.ccall(name, result, types, args);

// The address's options, as the command line names them: ?scene=grid&bodies=1000&solver=stable
// &paused&overlay&steps=180.
function start() {
  const query = new URLSearchParams(location.search);
  const sceneName = query.get('scene') || 'demo';
  const circles = Number(query.get('bodies') || 0);
  const scenes = fillPicker(sceneName, circles, query.get('solver') || '');
  try {
    const started = call('rigid2d_start', 'number',
      ['string', 'number', 'string', 'number', 'number', 'number'],
      [sceneName, circles, query.get('solver') || '', query.has('paused') ? 1 : 0,
        query.has('overlay') ? 1 : 0, Number(query.get('steps') || 0)]);
    if (!started) say(`scene: expects ${scenes.join(', ')}, not "${sceneName}"`, true);
  } catch (unwind) {
    // Emscripten's GLUT hands its loop to the browser by throwing "unwind".
    if (unwind !== 'unwind') throw unwind;
  }
  listen();
  openLinkedReplay();
  requestAnimationFrame(showPanels);
}

// Returns the scenes' names.
function fillPicker(sceneName, circles, solver) {
  const scene = document.getElementById('scene');
  const names = call('rigid2d_scenes', 'string', [], []).trim().split('\n');
  for (const name of names) scene.add(new Option(name, name, false, name === sceneName));
  if (circles) document.getElementById('circles').value = circles;
  document.getElementById('solver').value = solver;
  return names;
}

function pointerAt(event) {
  const box = canvas.getBoundingClientRect();
  return [event.clientX - box.left, event.clientY - box.top, box.width, box.height];
}

const pointerTypes = ['number', 'number', 'number', 'number', 'number', 'number', 'number'];
const boxes = document.getElementById('boxes');

// kind: 0 press, 1 move, 2 release; button as the DOM numbers it; Shift or the toggle drops boxes.
function point(kind, button, at, shift) {
  call('rigid2d_pointer', null, pointerTypes, [kind, button, ...pointerAt(at),
    shift || boxes.checked ? 1 : 0]);
}

function listen() {
  canvas.focus();
  window.addEventListener('keydown', (event) => {
    if (event.target instanceof HTMLInputElement || event.target instanceof HTMLSelectElement) return;
    if (event.ctrlKey || event.metaKey || event.altKey) return;
    if (call('rigid2d_key_named', 'number', ['string'], [event.key])) event.preventDefault();
  });
  canvas.addEventListener('mousedown', (event) => {
    canvas.focus();
    point(0, event.button, event, event.shiftKey);
    event.preventDefault();
  });
  window.addEventListener('mousemove', (event) => point(1, event.button, event, false));
  window.addEventListener('mouseup', (event) => point(2, event.button, event, false));
  canvas.addEventListener('contextmenu', (event) => event.preventDefault());
  canvas.addEventListener('wheel', (event) => {
    // Qt's degrees: 15 a notch, which browsers scroll as 100 pixels or 3 lines.
    const degrees = -event.deltaY * (event.deltaMode === 1 ? 5 : 0.15);
    call('rigid2d_wheel', null, ['number', 'number', 'number', 'number', 'number'],
      [degrees, ...pointerAt(event)]);
    event.preventDefault();
  }, { passive: false });
  // A finger is the left button: it drops a circle (a box with the toggle on) or grabs a body
  // and throws it.
  const touch = (kind) => (event) => {
    point(kind, 0, event.changedTouches[0], false);
    event.preventDefault();
  };
  canvas.addEventListener('touchstart', touch(0), { passive: false });
  canvas.addEventListener('touchmove', touch(1), { passive: false });
  canvas.addEventListener('touchend', touch(2), { passive: false });
  canvas.addEventListener('touchcancel', touch(2), { passive: false });

  document.getElementById('apply').addEventListener('click', () => {
    const answer = call('rigid2d_switch', 'string', ['string', 'number', 'string'],
      [document.getElementById('scene').value, Number(document.getElementById('circles').value),
        document.getElementById('solver').value]);
    if (answer) say(answer, true);
    canvas.focus();
  });
  document.getElementById('helpButton').addEventListener('click', () => {
    call('rigid2d_key_named', 'number', ['string'], ['F1']);
    canvas.focus();
  });
  document.getElementById('download').addEventListener('click', download);
  document.getElementById('link').addEventListener('click', makeLink);
  document.getElementById('open').addEventListener('change', (event) => {
    if (event.target.files[0]) openFile(event.target.files[0]);
    event.target.value = '';
  });
  document.addEventListener('dragover', (event) => {
    event.preventDefault();
    document.body.classList.add('dropping');
  });
  document.addEventListener('dragleave', () => document.body.classList.remove('dropping'));
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    document.body.classList.remove('dropping');
    if (event.dataTransfer.files[0]) openFile(event.dataTransfer.files[0]);
  });
}

function open(name, text) {
  const fault = call('rigid2d_open', 'string', ['string', 'string'], [name, text]);
  say(fault, Boolean(fault));
}

async function openFile(file) {
  open(file.name, await file.text());
}

function recording() {
  return call('rigid2d_recording', 'string', [], []);
}

function download() {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([recording()], { type: 'text/plain' }));
  link.download = 'session.replay';
  link.click();
  URL.revokeObjectURL(link.href);
}

// deflate-raw, then base64 with the address's own alphabet.
async function compress(text) {
  const stream = new Blob([text]).stream().pipeThrough(new CompressionStream('deflate-raw'));
  const bytes = new Uint8Array(await new Response(stream).arrayBuffer());
  let binary = '';
  for (const byte of bytes) binary += String.fromCharCode(byte);
  return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

async function decompress(data) {
  const binary = atob(data.replace(/-/g, '+').replace(/_/g, '/'));
  const bytes = Uint8Array.from(binary, (c) => c.charCodeAt(0));
  const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('deflate-raw'));
  return new Response(stream).text();
}

async function makeLink() {
  history.replaceState(null, '', `#replay=${await compress(recording())}`);
  say(`This page's address now carries the session (${location.href.length} characters).`);
  navigator.clipboard?.writeText(location.href).catch(() => {});
}

async function openLinkedReplay() {
  const match = location.hash.match(/^#replay=([A-Za-z0-9_-]+)$/);
  if (!match) return;
  let text;
  try {
    text = await decompress(match[1]);
  } catch (error) {
    say('link: the replay in this address is damaged', true);
    return;
  }
  open('link.replay', text);
}

function drawPlot(figure, text) {
  const [title, values] = text.split('\n');
  const numbers = values.trim() ? values.trim().split(' ').map(Number) : [];
  let plot = figure.querySelector(`canvas[data-title="${title}"]`);
  if (!plot) {
    const caption = document.createElement('div');
    caption.textContent = title;
    plot = document.createElement('canvas');
    plot.width = 300;
    plot.height = 50;
    plot.dataset.title = title;
    figure.append(caption, plot);
  }
  const context = plot.getContext('2d');
  context.clearRect(0, 0, plot.width, plot.height);
  if (numbers.length < 2) return;
  const low = Math.min(...numbers);
  const range = Math.max(...numbers) - low || 1;
  context.beginPath();
  numbers.forEach((value, i) => {
    const x = (i / (numbers.length - 1)) * (plot.width - 1);
    const y = plot.height - 1 - ((value - low) / range) * (plot.height - 2);
    if (i === 0) context.moveTo(x, y); else context.lineTo(x, y);
  });
  context.stroke();
}

function showPanels() {
  const overlay = call('rigid2d_overlay', 'string', [], []);
  document.getElementById('overlay').hidden = !overlay;
  if (overlay) {
    document.getElementById('overlayText').textContent = overlay;
    const plots = document.getElementById('plots');
    drawPlot(plots, call('rigid2d_plot', 'string', ['number'], [0]));
    drawPlot(plots, call('rigid2d_plot', 'string', ['number'], [1]));
  }
  const help = call('rigid2d_help', 'string', [], []);
  document.getElementById('help').hidden = !help;
  document.getElementById('help').textContent = help;
  const status = call('rigid2d_status', 'string', [], []);
  if (status && !statusLine.classList.contains('fault')) say(status);
  requestAnimationFrame(showPanels);
}

// What the browser tests read of the running program.
window.rigid2d = {
  state: () => call('rigid2d_state', 'string', [], []),
  paused: () => Boolean(call('rigid2d_paused', 'number', [], [])),
  bodies: () => call('rigid2d_bodies', 'number', [], []),
  recording,
  open,
  // The next frame's pixels, RGBA from the bottom row up, once drawn.
  capture: () => new Promise((resolve) => {
    call('rigid2d_capture', null, [], []);
    const poll = () => {
      const pointer = call('rigid2d_captured', 'number', [], []);
      if (pointer) resolve(Module.HEAPU8.slice(pointer, pointer + 4 * canvas.width * canvas.height));
      else requestAnimationFrame(poll);
    };
    requestAnimationFrame(poll);
  }),
};
