// Drives the game's web page (zorvak.html with its .js and .wasm) in headless Chromium and
// checks what a player sees: the loading screen and the first board, marking a cell, the help,
// the portrait, the frame pacing, the end screen, and a console free of errors.
//
// Install once (no browser is downloaded; the harness uses the system's Chromium):
//   PUPPETEER_SKIP_DOWNLOAD=1 npm ci --prefix tests/web
// The game (the Linux first board comes from tools/linux-first-board.sh):
//   node tests/web/browser_test.mjs <served folder> <linux first board png> [output folder]
// The framework's examples:
//   node tests/web/browser_test.mjs --example <served folder> <page.html>... [--out <output folder>]
// Sound starting on the first click or key (the page from tests/audio/web_audio_page.cpp):
//   node tests/web/browser_test.mjs --audio <served folder> web_audio_page.html
// The page's start, one line of JSON per run (tools/web-start-bench.sh sets it beside Linux):
//   node tests/web/browser_test.mjs --start <served folder> <runs>
// The served folder is copied to a temporary one (with settings that skip the introduction)
// and served from there on a free port. Each check prints PASS or FAIL with what it measured;
// the exit code is 0 when all pass. The output folder (default build/web-test-output) gets
// board.png, the first board, and the screenshots and difference images of failed checks.
// CHROMIUM names another browser program than /usr/bin/chromium.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';
import { PNG } from 'pngjs';

const REPO = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const HELP_PICTURE = path.join(REPO, 'game/assets/help.jpg');
const SETTINGS = 'Play the introduction at start-up (1 yes, 0 no):\n0\nDifficulty, spies added to each mission (0, 1 or 2):\n0\n';
const STARTUP_PATIENCE = 90_000;  // downloading and compiling the module on a busy machine
const SCREEN_PATIENCE = 5_000;    // a screen change after input; the board redraws every 500 ms

// ---------------------------------------------------------------------------------------------
// Pictures: { width, height, data } with RGBA bytes, as pngjs reads them.

// The comparison rule: over the pixels compared, a pixel agrees when each colour channel is
// within CHANNEL_TOLERANCE; two pictures agree when at most OUTLIER_SHARE of the pixels do not.
// These are the numbers of the Linux/Windows comparison of the game's own tests.
const CHANNEL_TOLERANCE = 2;
const OUTLIER_SHARE = 0.001;
// A screen counts as changed where more than this share of its pixels disagree.
const CHANGED_SHARE = 0.05;

const inCells = (x, y) => x >= 56 && x < 456 && y >= 56 && y < 456;
const outsideCells = (x, y) => !inCells(x, y);
const inCell = (c, r) => (x, y) => x >= 56 + 50 * c && x < 106 + 50 * c && y >= 56 + 50 * r && y < 106 + 50 * r;
const outside = (keep) => (x, y) => !keep(x, y);
const everywhere = () => true;

function channelDifference(a, b, i) {
  return Math.max(Math.abs(a.data[i] - b.data[i]), Math.abs(a.data[i + 1] - b.data[i + 1]),
                  Math.abs(a.data[i + 2] - b.data[i + 2]));
}

function compare(a, b, keep = everywhere) {
  if (a.width !== b.width || a.height !== b.height)
    return { agrees: false, changed: true, text: `sizes differ: ${a.width}x${a.height} and ${b.width}x${b.height}` };
  let compared = 0, beyond = 0, largest = 0;
  for (let y = 0; y < a.height; ++y)
    for (let x = 0; x < a.width; ++x) {
      if (!keep(x, y)) continue;
      const d = channelDifference(a, b, 4 * (y * a.width + x));
      ++compared;
      largest = Math.max(largest, d);
      if (d > CHANNEL_TOLERANCE) ++beyond;
    }
  const share = beyond / Math.max(compared, 1);
  return {
    agrees: share <= OUTLIER_SHARE, changed: share > CHANGED_SHARE, share,
    text: `${beyond} of ${compared} pixels beyond ±${CHANNEL_TOLERANCE} (${(100 * share).toFixed(3)} %), largest channel difference ${largest}`,
  };
}

// Red where the pictures disagree, the picture dimmed where they agree, dark outside the mask.
function differencePicture(a, b, keep) {
  const out = new PNG({ width: a.width, height: a.height });
  for (let y = 0; y < a.height; ++y)
    for (let x = 0; x < a.width; ++x) {
      const i = 4 * (y * a.width + x);
      const grey = (a.data[i] + a.data[i + 1] + a.data[i + 2]) / 3;
      const beyond = keep(x, y) && channelDifference(a, b, i) > CHANNEL_TOLERANCE;
      out.data.set(beyond ? [255, 0, 0, 255] : [grey / (keep(x, y) ? 3 : 8), grey / (keep(x, y) ? 3 : 8), grey / (keep(x, y) ? 3 : 8), 255], i);
    }
  return out;
}

const readPicture = (bytes) => PNG.sync.read(Buffer.from(bytes));
const writePicture = (file, picture) => fs.writeFileSync(file, PNG.sync.write(picture));

function distinctColours(picture, enough = 2) {
  const seen = new Set();
  for (let i = 0; i < picture.data.length && seen.size < enough; i += 4) seen.add(picture.data.readUInt32BE(i));
  return seen.size;
}

// The loading screen: lines of green text at the top left on black.
function looksLikeLoadingScreen(p) {
  let green = 0, lit = 0;
  for (let y = 0; y < p.height; ++y)
    for (let x = 0; x < p.width; ++x) {
      const i = 4 * (y * p.width + x);
      const [r, g, b] = [p.data[i], p.data[i + 1], p.data[i + 2]];
      if (y < 80 && x < 256 && g > 100 && r < 80 && b < 80) ++green;
      else if (r + g + b > 30) ++lit;
    }
  return green >= 20 && lit < 0.01 * p.width * p.height;
}

// ---------------------------------------------------------------------------------------------
// Reporting

const outcomes = [];
let outputFolder = path.join(REPO, 'build/web-test-output');

function report(name, passed, detail) {
  console.log(`${passed ? 'PASS' : 'FAIL'}  ${name}: ${detail}`);
  outcomes.push(passed);
  return passed;
}

// Keeps what a failed check saw: the canvas, what it should have matched and where they differ.
function keepEvidence(name, actual, expected, keep = everywhere) {
  writePicture(path.join(outputFolder, `${name}-canvas.png`), actual);
  if (!expected || expected.width !== actual.width || expected.height !== actual.height) return;
  writePicture(path.join(outputFolder, `${name}-expected.png`), expected);
  writePicture(path.join(outputFolder, `${name}-difference.png`), differencePicture(actual, expected, keep));
  console.log(`      saved ${name}-canvas.png, -expected.png and -difference.png in ${outputFolder}`);
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Calls probe until it gives { ok: true } or the time is up; gives its last answer.
async function poll(probe, patience = SCREEN_PATIENCE, interval = 100) {
  const deadline = Date.now() + patience;
  for (;;) {
    const answer = await probe();
    if (answer.ok || Date.now() > deadline) return answer;
    await sleep(interval);
  }
}

// ---------------------------------------------------------------------------------------------
// The served copy, the server and the browser

function servedCopy(folder, settings = SETTINGS) {
  if (!fs.existsSync(folder)) throw new Error(`no folder ${folder}`);
  const copy = fs.mkdtempSync(path.join(os.tmpdir(), 'zorvak-web-'));
  fs.cpSync(folder, copy, { recursive: true });
  fs.writeFileSync(path.join(copy, 'zorvak.cfg'), settings);
  return copy;
}

async function freePort() {
  const server = net.createServer();
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const { port } = server.address();
  await new Promise((resolve) => server.close(resolve));
  return port;
}

async function startServer(folder) {
  const port = await freePort();
  const server = spawn('python3', ['-m', 'http.server', '--bind', '127.0.0.1', String(port), '--directory', folder],
                       { stdio: 'ignore' });
  // The server goes with this process however it ends.
  const stop = () => server.kill();
  process.on('exit', stop);
  const url = `http://127.0.0.1:${port}/`;
  const up = await poll(async () => ({ ok: await fetch(url).then((r) => r.ok, () => false) }), 10_000);
  if (!up.ok) {
    stop();
    throw new Error('the web server did not start');
  }
  return { url, stop };
}

function startBrowser(extraArgs = []) {
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--window-size=700,700', ...extraArgs],
    defaultViewport: { width: 700, height: 700, deviceScaleFactor: 1 },
  });
}

// A page that keeps its console errors and page errors, and the sequence of its body's
// data-state values from the very start.
async function openPage(browser, errors) {
  const page = await browser.newPage();
  page.on('console', (message) => {
    if (message.type() === 'error') errors.push(`console error: ${message.text()} (${message.location()?.url ?? 'no address'})`);
  });
  page.on('pageerror', (error) => errors.push(`page error: ${error.message}`));
  await page.evaluateOnNewDocument(() => {
    window.seenStates = [];
    const note = () => {
      const state = document.body?.dataset.state;
      if (state !== undefined && state !== window.seenStates.at(-1)) window.seenStates.push(state);
    };
    new MutationObserver(note).observe(document, { subtree: true, childList: true, attributes: true, attributeFilter: ['data-state'] });
  });
  return page;
}

// A picture decoded by the browser, as a page draws it on a 2D canvas.
async function decodeInBrowser(browser, file, type) {
  const page = await browser.newPage();
  try {
    const url = await page.evaluate(async (source) => {
      const image = new Image();
      image.src = source;
      await image.decode();
      const canvas = Object.assign(document.createElement('canvas'), { width: image.naturalWidth, height: image.naturalHeight });
      canvas.getContext('2d').drawImage(image, 0, 0);
      return canvas.toDataURL('image/png');
    }, `data:${type};base64,${fs.readFileSync(file).toString('base64')}`);
    return readPicture(Buffer.from(url.split(',')[1], 'base64'));
  } finally {
    await page.close();
  }
}

const state = (page) => page.evaluate(() => document.body.dataset.state);
const framesPresented = (page) => page.evaluate(() => window.Module?.framesPresented ?? null);

// Frames presented over a span measured by the page's own clock, while `during` runs in the
// page (given the canvas); gives frames per second.
function presentRate(page, seconds, during = null) {
  return page.evaluate(async (seconds, during) => {
    const stop = during ? new Function('canvas', during)(document.getElementById('canvas')) : () => {};
    await new Promise((resolve) => setTimeout(resolve, 500));  // the input has started to tell
    const first = Module.framesPresented, start = performance.now();
    await new Promise((resolve) => setTimeout(resolve, 1000 * seconds));
    const rate = (Module.framesPresented - first) / ((performance.now() - start) / 1000);
    stop();
    return rate;
  }, seconds, during);
}

// ---------------------------------------------------------------------------------------------
// The game

class GamePage {
  constructor(page) {
    this.page = page;
  }

  async findCanvas() {
    this.canvas = await this.page.$('#canvas');
    const { x, y, width, height } = await this.canvas.boundingBox();
    this.origin = { x: Math.round(x), y: Math.round(y), width: Math.round(width), height: Math.round(height) };
  }

  async shot() {
    return readPicture(await this.canvas.screenshot({ type: 'png' }));
  }

  click(x, y, button) {
    return this.page.mouse.click(this.origin.x + x, this.origin.y + y, { button });
  }

  // Presses a key and tells whether the page kept the browser from acting on it.
  async press(key) {
    await this.page.evaluate(() => {
      window.lastKeyDown = null;
      addEventListener('keydown', (event) => { window.lastKeyDown = event; }, { once: true });
    });
    await this.page.keyboard.press(key);
    return this.page.evaluate(() => window.lastKeyDown?.defaultPrevented ?? null);
  }

  // Waits until the canvas agrees with the picture over the mask.
  async until(picture, keep = everywhere) {
    return poll(async () => {
      const shot = await this.shot();
      const result = compare(shot, picture, keep);
      return { ok: result.agrees, shot, result };
    });
  }

  // Waits until most of the canvas differs from the picture.
  async untilAway(picture) {
    return poll(async () => {
      const shot = await this.shot();
      const result = compare(shot, picture);
      return { ok: result.share > 0.5, shot, result };
    });
  }
}

// Each presented frame, looked at in the page as soon as the browser shows it (the canvas keeps
// what was presented): whether it is the loading screen, by the same rule as the screenshots.
// The loading screen is up for a fraction of a second, which screenshots of about 100 ms each
// often miss; the program presents at most every 20 ms and the page looks at every animation
// frame, until framesWatched is set.
async function watchPresentedFrames(page) {
  await page.evaluateOnNewDocument(`window.looksLikeLoadingScreen = ${looksLikeLoadingScreen.toString()};`);
  await page.evaluateOnNewDocument(() => {
    window.presentedFrames = [];
    let lastSeen = 0;
    let copy = null;
    const look = () => {
      if (window.framesWatched) return;
      const canvas = document.getElementById('canvas');
      const presented = window.Module?.framesPresented ?? 0;
      if (canvas && presented !== lastSeen) {
        lastSeen = presented;
        copy ??= Object.assign(document.createElement('canvas'), { width: canvas.width, height: canvas.height })
          .getContext('2d', { willReadFrequently: true });
        copy.drawImage(canvas, 0, 0);
        const picture = copy.getImageData(0, 0, canvas.width, canvas.height);
        window.presentedFrames.push({ presented, loadingScreen: window.looksLikeLoadingScreen(picture) });
      }
      requestAnimationFrame(look);
    };
    requestAnimationFrame(look);
  });
}

// Loading, the loading screen, the first board. Gives the first board's picture, or null.
async function checkStart(game, url, linuxBoard) {
  const { page } = game;
  await watchPresentedFrames(page);
  await page.goto(url, { waitUntil: 'domcontentloaded' });
  await game.findCanvas();
  const start = Date.now();
  const isBoard = (picture) => compare(picture, linuxBoard, outsideCells).agrees;
  await poll(async () => ({ ok: (await state(page)) === 'running' && isBoard(await game.shot()) }), STARTUP_PATIENCE);
  // Reading the canvas back costs the page time: the later checks run without it.
  const frames = await page.evaluate(() => { window.framesWatched = true; return window.presentedFrames; });
  const firstLoadingScreen = frames.findIndex((frame) => frame.loadingScreen);
  const lastFrame = frames.length - 1;
  const found = await game.until(linuxBoard, outsideCells);
  const states = await page.evaluate(() => window.seenStates);
  report('page states', states[0] === 'loading' && states.indexOf('running') > 0, `seen ${states.join(' -> ')}`);
  report('loading screen before the board', firstLoadingScreen >= 0 && firstLoadingScreen < lastFrame && !frames[lastFrame]?.loadingScreen,
         `of ${frames.length} presented frames seen, the loading screen is first in frame ${firstLoadingScreen} ` +
         `(-1: none), the board is frame ${lastFrame}`);
  if (!report('first board as on Linux outside the cells', found.ok,
              `${found.result.text} after ${((Date.now() - start) / 1000).toFixed(1)} s`)) {
    if (found.shot) keepEvidence('first-board', found.shot, linuxBoard, outsideCells);
    return null;
  }
  writePicture(path.join(outputFolder, 'board.png'), found.shot);
  return found.shot;
}

// A right click on cell (0, 0) marks it and leaves the rest; a second one takes the mark away.
// The mark's picture is 51 pixels tall: a few pixels of its last row lie in the cell below,
// within the comparison's share of outliers.
async function checkSpyMark(game, board) {
  const cell = inCell(0, 0);
  await game.click(81, 81, 'right');
  const marked = await poll(async () => {
    const shot = await game.shot();
    const inside = compare(shot, board, cell), rest = compare(shot, board, outside(cell));
    return { ok: inside.changed && rest.agrees, shot, inside, rest };
  });
  if (!report('right click marks cell (0, 0)', marked.ok, `the cell: ${marked.inside.text}; the rest: ${marked.rest.text}`))
    keepEvidence('mark', marked.shot, board);
  await game.click(81, 81, 'right');
  const unmarked = await game.until(board);
  if (!report('second right click unmarks it', unmarked.ok, unmarked.result.text)) keepEvidence('unmark', unmarked.shot, board);
}

// F1 shows the help picture and stays with the game; a typed key or a left click goes back.
async function checkHelp(game, board, helpPicture, browser) {
  const { page } = game;
  const pages = (await browser.pages()).length, address = page.url();
  for (const [leave, how] of [[() => game.press('KeyA'), 'key A'], [() => game.click(20, 20, 'left'), 'left click']]) {
    const prevented = await game.press('F1');
    const away = await game.untilAway(board);
    const help = compare(away.shot, helpPicture);
    if (!report(`F1 shows the help (left with ${how})`, away.ok && help.agrees,
                `against the board: ${away.result.text}; against help.jpg as the browser decodes it: ${help.text}`))
      keepEvidence('help', away.shot, helpPicture);
    report('F1 stays with the game', prevented === true && page.url() === address && (await browser.pages()).length === pages,
           `default prevented: ${prevented}, address ${page.url() === address ? 'kept' : `now ${page.url()}`}, ` +
           `${(await browser.pages()).length - pages} new pages`);
    await leave();
    const back = await game.until(board);
    if (!report(`${how} returns to the board`, back.ok, back.result.text)) keepEvidence('help-return', back.shot, board);
  }
}

const RIGHT_CLICK_STREAM = `
  const area = canvas.getBoundingClientRect();
  const at = { bubbles: true, cancelable: true, view: window, button: 2, clientX: area.left + 20, clientY: area.top + 20 };
  const timer = setInterval(() => {
    canvas.dispatchEvent(new MouseEvent('mousedown', { ...at, buttons: 2 }));
    canvas.dispatchEvent(new MouseEvent('mouseup', { ...at, buttons: 0 }));
  }, 5);
  return () => clearInterval(timer);`;

// Without input, the board is presented on its timer (every 500 ms); under a stream of right
// clicks, at the paced 50 frames per second. The pacer starts the next period from a late
// frame rather than catching up, so on a busy machine each frame that takes longer than its
// 20 ms lowers the rate: alone the page measures 49 to 50.1, beside a build on the same two
// cores 48.3 to 49, beside two builds 42.8 to 48.9. Hence 45 to 52: a loop without pacing goes
// far above (a page without it measured 85), one paced twice or on the timer far below.
async function checkFrameRate(game) {
  const idle = await presentRate(game.page, 3);
  report('presents without input', idle >= 1.6 && idle <= 2.4, `${idle.toFixed(2)} per second (expected 1.6 to 2.4)`);
  const busy = await presentRate(game.page, 5, RIGHT_CLICK_STREAM);
  report('presents under right clicks every 5 ms', busy >= 45 && busy <= 52, `${busy.toFixed(1)} per second (expected 45 to 52)`);
}

// Space shows the portrait without scrolling the page; a typed key goes back. The document is
// made taller than the window and scrollable for the while, whatever the page's style says, so
// that it is Space itself that must be held back.
async function checkSpace(game, board) {
  const { page } = game;
  await page.evaluate(() => {
    document.body.append(Object.assign(document.createElement('div'), { id: 'scroll-room', style: 'height: 4000px' }));
    for (const element of [document.documentElement, document.body]) element.style.cssText = 'overflow: auto; height: auto';
    scrollTo(0, 0);
  });
  const prevented = await game.press('Space');
  const away = await game.untilAway(board);
  const scrollY = await page.evaluate(() => scrollY);
  if (!report('Space shows the portrait', away.ok, `against the board: ${away.result.text}`)) keepEvidence('portrait', away.shot, board);
  // The page may hold Space back on its keypress rather than its keydown: what counts is that
  // the document stays where it was.
  report('Space does not scroll the page', scrollY === 0, `scrollY ${scrollY} (keydown's default prevented: ${prevented})`);
  await game.press('KeyA');
  const back = await game.until(board);
  if (!report('key A returns from the portrait', back.ok, back.result.text)) keepEvidence('portrait-return', back.shot, board);
  await page.evaluate(() => {
    document.getElementById('scroll-room').remove();
    for (const element of [document.documentElement, document.body]) element.style.cssText = '';
  });
}

// Escape ends the game: the page says so where the canvas was.
async function checkEnd(game) {
  const { page } = game;
  const area = await page.evaluate(() => document.getElementById('canvas').getBoundingClientRect().toJSON());
  await game.press('Escape');
  const ended = await poll(async () => ({ ok: (await state(page)) === 'ended' }));
  const messages = await page.evaluate((area) => {
    const found = [];
    const overlaps = (r) => r.right > area.left && r.left < area.right && r.bottom > area.top && r.top < area.bottom;
    for (const element of document.body.querySelectorAll('*')) {
      if (['SCRIPT', 'STYLE'].includes(element.tagName) || !element.checkVisibility({ visibilityProperty: true, opacityProperty: true })) continue;
      const text = [...element.childNodes].filter((n) => n.nodeType === Node.TEXT_NODE).map((n) => n.textContent).join(' ').trim();
      const r = element.getBoundingClientRect();
      const onTop = element.contains(document.elementFromPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
      if (text && overlaps(r) && onTop) found.push(text);
    }
    return found;
  }, area);
  await page.screenshot({ path: path.join(outputFolder, 'end.png') });
  report('Escape ends the game', ended.ok && messages.length > 0,
         `state ${await state(page)}, shown where the canvas was: ${messages.length ? JSON.stringify(messages.join(' / ').slice(0, 120)) : 'nothing'}`);
}

// A copy of the served folder (with the settings given) on a loopback server, and a browser
// started with the extra arguments, for the time `use` runs; both go afterwards.
async function inBrowser(served, use, { settings = SETTINGS, browserArgs = [] } = {}) {
  const copy = servedCopy(served, settings);
  const server = await startServer(copy);
  const browser = await startBrowser(browserArgs);
  try {
    return await use(browser, server);
  } finally {
    server.stop();
    await browser.close().catch((error) => console.log(`      closing the browser: ${error.message}`));
    fs.rmSync(copy, { recursive: true, force: true });
  }
}

// Waits until the program runs and its canvas shows what `accept` takes.
function untilRunningCanvas(game, accept) {
  return poll(async () => {
    const shot = (await state(game.page)) === 'running' ? await game.shot() : null;
    return { ok: shot !== null && accept(shot), shot };
  }, STARTUP_PATIENCE);
}

async function testGame(served, linuxBoardFile) {
  const linuxBoard = readPicture(fs.readFileSync(linuxBoardFile));
  const errors = [];
  try {
    await inBrowser(served, async (browser, server) => {
      const helpPicture = await decodeInBrowser(browser, HELP_PICTURE, 'image/jpeg');
      const game = new GamePage(await openPage(browser, errors));
      const board = await checkStart(game, `${server.url}zorvak.html`, linuxBoard);
      if (!board) {
        report('the remaining checks', false, 'not run without the first board');
        return;
      }
      await checkSpyMark(game, board);
      await checkHelp(game, board, helpPicture, browser);
      await checkFrameRate(game);
      await checkSpace(game, board);
      await checkEnd(game);
    });
    await checkIntroduction(served, errors);
    await checkLesserBrowsers(served, linuxBoard, errors);
  } finally {
    reportErrors(errors);
  }
}

// With the game's own settings (the introduction on), the story follows the loading screen: a
// click on its prompt shows the first story line, the next click the line after it.
function checkIntroduction(served, errors) {
  const settings = fs.readFileSync(path.join(REPO, 'game/zorvak.cfg'));
  return inBrowser(served, async (browser, server) => {
    const game = new GamePage(await openPage(browser, errors));
    await game.page.goto(`${server.url}zorvak.html`);
    await game.findCanvas();
    const prompt = await untilRunningCanvas(game, looksLikeLoadingScreen);
    await game.click(256, 300, 'left');
    const firstLine = await poll(async () => {
      const shot = await game.shot();
      return { ok: !looksLikeLoadingScreen(shot) && distinctColours(shot) >= 2 && compare(shot, prompt.shot).share > 0.002, shot };
    });
    report('introduction: a click leaves the loading screen for the first story line', prompt.ok && firstLine.ok,
           prompt.ok ? 'the loading screen waited for the player' : 'no loading screen');
    await game.click(256, 300, 'left');
    const secondLine = await poll(async () => {
      const shot = await game.shot();
      return { ok: compare(shot, firstLine.shot).share > 0.002, shot };
    });
    report('introduction: the next click shows the next line', firstLine.ok && secondLine.ok,
           secondLine.shot ? compare(secondLine.shot, firstLine.shot).text : 'no picture');
  }, { settings });
}

// Browsers that offer less: without WebGL 2 the renderer takes WebGL 1 (its ES 2.0 profile) and
// draws the same first board; without WebGL the page says so instead of starting.
async function checkLesserBrowsers(served, linuxBoard, errors) {
  await inBrowser(served, async (browser, server) => {
    const game = new GamePage(await openPage(browser, errors));
    await game.page.goto(`${server.url}zorvak.html`);
    await game.findCanvas();
    const found = await untilRunningCanvas(game, (shot) => compare(shot, linuxBoard, outsideCells).agrees);
    const version = await game.page.evaluate(() => GL.currentContext?.version);
    report('without WebGL 2: the first board on WebGL 1', found.ok && version === 1,
           `WebGL ${version}; ${found.shot ? compare(found.shot, linuxBoard, outsideCells).text : 'no picture'}`);
  }, { browserArgs: ['--disable-webgl2'] });
  await inBrowser(served, async (browser, server) => {
    const page = await browser.newPage();
    await page.goto(`${server.url}zorvak.html`);
    const shown = await poll(async () => {
      const message = await page.evaluate(() => document.body.dataset.state === 'no-webgl' &&
                                                document.getElementById('no-webgl').innerText);
      return { ok: Boolean(message), message };
    }, STARTUP_PATIENCE);
    report('without WebGL: the page says so', shown.ok, shown.ok ? `"${shown.message.replace(/\n+/g, ' / ')}"` : 'no message');
  }, { browserArgs: ['--disable-3d-apis'] });
}

function reportErrors(errors) {
  report('no console or page errors', errors.length === 0, `${errors.length} seen`);
  for (const error of errors) console.log(`      ${error}`);
}

// ---------------------------------------------------------------------------------------------
// The framework's examples: each page starts, presents frames and draws something.

async function testExamples(served, pages) {
  await inBrowser(served, async (browser, server) => {
    for (const name of pages) {
      const errors = [];
      const page = await openPage(browser, errors);
      await page.goto(server.url + name, { waitUntil: 'domcontentloaded' });
      const running = await poll(async () => ({ ok: (await state(page)) === 'running' }), STARTUP_PATIENCE);
      report(`${name} runs`, running.ok, `seen ${(await page.evaluate(() => window.seenStates)).join(' -> ')}`);
      const first = await framesPresented(page);
      await sleep(2000);
      const later = await framesPresented(page);
      report(`${name} presents frames`, first !== null && later > first, `${first} then ${later} two seconds later`);
      const canvas = await page.$('#canvas');
      const shot = canvas && readPicture(await canvas.screenshot({ type: 'png' }));
      const colours = shot ? distinctColours(shot) : 0;
      if (!report(`${name} draws`, colours > 1, shot ? `${colours > 1 ? 'more than one' : 'a single'} colour on the canvas` : 'no canvas'))
        if (shot) keepEvidence(`example-${path.basename(name, '.html')}`, shot);
      for (const error of errors) console.log(`      ${error}`);
      report(`${name} without console or page errors`, errors.length === 0, `${errors.length} seen`);
      await page.close();
    }
  });
}

// ---------------------------------------------------------------------------------------------
// Sound: a browser runs a page's audio only from the first click, touch or key on. The page
// (tests/audio/web_audio_page.cpp) opens sound output and plays a quarter-second tone at once.
// The browser runs with the autoplay policy of desktop Chromium, which asks a top-level page for
// a gesture (headless Chromium's own lets it play). The page is looked at without a gesture:
// page.evaluate would lend it one, so the looks go through the DevTools protocol as they are.

const GESTURES = [
  ['click', (page) => page.mouse.click(350, 350)],
  ['key', (page) => page.keyboard.press('KeyA')],
];

async function audioWatcher(page) {
  const session = await page.createCDPSession();
  return async () => {
    const { result } = await session.send('Runtime.evaluate', {
      expression: '({ ...window.Module?.audio, context: window.Module?.SDL2?.audioContext?.state ?? "none" })',
      returnByValue: true,
    });
    return result.value;
  };
}

async function testAudio(served, name) {
  for (const [gesture, give] of GESTURES) {
    await inBrowser(served, async (browser, server) => {
      const errors = [];
      const page = await openPage(browser, errors);
      const audioSeen = await audioWatcher(page);
      await page.goto(server.url + name, { waitUntil: 'domcontentloaded' });
      const opened = await poll(async () => {
        const audio = await audioSeen();
        return { ok: audio.opened !== undefined, audio };
      }, STARTUP_PATIENCE);
      report(`${gesture}: OpenAudio succeeds before any gesture`, opened.audio.opened === true,
             opened.audio.opened ? `at ${opened.audio.rate} Hz` : `"${opened.audio.failure ?? 'the page did not start'}"`);
      // The tone is a quarter of a second: had the mixer been pulled, it would have ended.
      await sleep(1000);
      const waiting = await audioSeen();
      report(`${gesture}: until then the audio context is suspended and the tone waits`,
             waiting.context === 'suspended' && waiting.playing === true,
             `context ${waiting.context}, tone ${waiting.playing ? 'still playing' : 'not playing'} a second after it started`);
      await give(page);
      const started = await poll(async () => {
        const audio = await audioSeen();
        return { ok: audio.context === 'running' && audio.playing === false, audio };
      });
      report(`${gesture}: the first ${gesture} starts the context and the tone plays to its end`, started.ok,
             `context ${started.audio.context}, tone ${started.audio.playing ? 'still playing' : 'ended'}`);
      for (const error of errors.slice(0, 5)) console.log(`      ${error}`);
      report(`${gesture}: no console or page errors`, errors.length === 0, `${errors.length} seen`);
    }, { browserArgs: ['--autoplay-policy=document-user-activation-required'] });
  }
}

// ---------------------------------------------------------------------------------------------
// The page's start, measured as bench/startup_probe measures the Linux program's: from the start
// (here the navigation) to the first presented frame with a light pixel at (400, 400), the
// board's; each run in a fresh browser context, so nothing comes from a cache.

async function measureStarts(served, runs) {
  await inBrowser(served, async (browser, server) => {
    for (let run = 1; run <= runs; ++run) {
      const context = await browser.createBrowserContext();
      const page = await context.newPage();
      await page.evaluateOnNewDocument(() => {
        const probe = document.createElement('canvas');
        probe.width = probe.height = 1;
        const look = () => {
          const canvas = document.getElementById('canvas');
          if (canvas && window.Module?.framesPresented > 0) {
            const pixels = probe.getContext('2d', { willReadFrequently: true });
            pixels.drawImage(canvas, 400, 400, 1, 1, 0, 0, 1, 1);
            const [r, g, b] = pixels.getImageData(0, 0, 1, 1).data;
            if (r > 128 && g > 128 && b > 128) {
              window.firstBoardMillis = performance.now();
              return;
            }
          }
          requestAnimationFrame(look);
        };
        requestAnimationFrame(look);
      });
      await page.goto(`${server.url}zorvak.html`);
      await page.waitForFunction(() => window.firstBoardMillis !== undefined, { timeout: STARTUP_PATIENCE });
      const millis = await page.evaluate(() => window.firstBoardMillis);
      console.log(JSON.stringify({ mode: 'start', who: 'page', run, wall_ms: Math.round(millis) }));
      await context.close();
    }
  });
}

async function main(argv) {
  const out = argv.indexOf('--out');
  if (out >= 0) [outputFolder] = argv.splice(out, 2).slice(1);
  if (argv[0] === '--start' && argv.length === 3) {
    await measureStarts(argv[1], Number(argv[2]));
    return 0;
  }
  if (argv[0] === '--audio' && argv.length === 3) {
    await testAudio(argv[1], argv[2]);
  } else if (argv[0] === '--example' && argv.length >= 3) {
    fs.mkdirSync(outputFolder, { recursive: true });
    await testExamples(argv[1], argv.slice(2));
  } else if (argv.length === 2 || argv.length === 3) {
    if (argv[2]) outputFolder = argv[2];
    fs.mkdirSync(outputFolder, { recursive: true });
    await testGame(argv[0], argv[1]);
  } else {
    console.error('usage: node tests/web/browser_test.mjs <served folder> <linux first board png> [output folder]\n' +
                  '       node tests/web/browser_test.mjs --example <served folder> <page.html>... [--out <output folder>]\n' +
                  '       node tests/web/browser_test.mjs --audio <served folder> <page.html>\n' +
                  '       node tests/web/browser_test.mjs --start <served folder> <runs>');
    return 2;
  }
  const failed = outcomes.filter((passed) => !passed).length;
  console.log(failed ? `${failed} of ${outcomes.length} checks failed` : `all ${outcomes.length} checks passed`);
  return failed ? 1 : 0;
}

process.exitCode = await main(process.argv.slice(2)).catch((error) => {
  console.error(`FAIL  the run stopped: ${error.stack || error}`);
  return 1;
});
