// The browser build in Debian's Chromium, headless, driven by puppeteer-core against the
// site served on 127.0.0.1 by a small server of the test's own, which can leave out or
// replace a data file.
//
//   node browser_test.mjs SITE_DIR DIGESTS_FILE NATIVE_GLIMMERIX [SCREENSHOT.png]
//
// DIGESTS_FILE holds the native library's 18 table digests (table_digests) and the native
// decodings' digests of the site's background and sprite (picture_digests); the native
// program tells what the desktop says of each damaged file. Prints a line a case and
// "N passed, N failed"; exits 1 when any failed.
import { spawnSync } from "node:child_process";
import { copyFileSync, mkdtempSync, readFileSync, readdirSync, rmSync, statSync, writeFileSync } from "node:fs";
import { createServer } from "node:http";
import { tmpdir } from "node:os";
import { extname, join } from "node:path";
import { HEIGHT, WIDTH, launchChromium, placement, scenePoint } from "./chromium.mjs";

const [siteDir, digestsFile, nativeProgram, screenshotPath] = process.argv.slice(2);
if (!siteDir || !digestsFile || !nativeProgram) {
  console.error("usage: node browser_test.mjs SITE_DIR DIGESTS_FILE NATIVE_GLIMMERIX [SCREENSHOT.png]");
  process.exit(2);
}

const SPRITE = 47, CURSOR_OFFSET = 23, TEXT_Y = 184;
const NAMES = readFileSync(join(siteDir, "Effects' Names.txt"), "latin1").split("\r\n").slice(0, 18);
const WELCOME_TITLE = "Glimmerix Sample";
const WELCOME_TEXT =
  "Welcome!\n\nThis sample was made to look more like a real BitBlt\ngame, so it's easier to implement.\n\n" +
  "Click the image to change the effect.\nNote that the FPS doesn't change with more complex\n" +
  "effects, because it uses look-up tables!\nPress [Esc] to exit.";

let passed = 0, failed = 0;
function check(name, ok, detail = "") {
  if (ok) passed++;
  else failed++;
  console.log(`${ok ? "ok  " : "FAIL"} ${name}${detail ? `: ${detail}` : ""}`);
}

// --- the site's server: `replaced` maps a file name to its bytes, to null for a 404, or to
// { stall: bytes } for a download that sends half of them and then nothing more.
const TYPES = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm", ".png": "image/png",
  ".jpg": "image/jpeg", ".gif": "image/gif" };
let replaced = new Map();
const server = createServer((request, response) => {
  const name = decodeURIComponent(new URL(request.url, "http://127.0.0.1").pathname.slice(1)) || "index.html";
  let body = replaced.has(name) ? replaced.get(name) : undefined;
  if (body === undefined && !name.includes("/") && !name.startsWith(".")) {
    try { body = readFileSync(join(siteDir, name)); } catch { body = null; }
  }
  if (!body) { response.writeHead(404).end(); return; }
  const type = TYPES[extname(name)] || "application/octet-stream";
  if (body.stall) {
    response.writeHead(200, { "Content-Type": type, "Content-Length": body.stall.length });
    response.write(body.stall.subarray(0, body.stall.length >> 1));
    return;
  }
  response.writeHead(200, { "Content-Type": type }).end(body);
});
await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
const address = `http://127.0.0.1:${server.address().port}/`;

const browser = await launchChromium();

// A fresh page on the site, with every console error, page error and failed request noted.
async function open(problems) {
  const page = await browser.newPage();
  await page.setViewport({ width: 800, height: 640 });
  page.on("console", (m) => { if (m.type() === "error") problems.push(`console: ${m.text()}`); });
  page.on("pageerror", (e) => problems.push(`page error: ${e.message}`));
  page.on("requestfailed", (r) => problems.push(`request failed: ${r.url()}`));
  await page.evaluateOnNewDocument(SCENE_READER, placement.toString());
  await page.goto(address, { waitUntil: "load" });
  return page;
}

// In the page: window.testScene() reads the 320 x 240 scene off the canvas where the rule
// puts it (RGBA); window.testLayout() checks the whole canvas against the rule: each scene
// pixel a uniform square of scale x scale, black around the scene.
function SCENE_READER(placementSource) {
  const place = new Function("WIDTH", "HEIGHT", `return (${placementSource});`)(320, 240);
  const read = () => {
    const c = document.getElementById("scene");
    return { c, p: place(c.width, c.height), all: c.getContext("2d").getImageData(0, 0, c.width, c.height).data };
  };
  window.testScene = () => {
    const { c, p, all } = read();
    const out = new Uint8ClampedArray(320 * 240 * 4);
    for (let y = 0; y < 240; y++)
      for (let x = 0; x < 320; x++) {
        const at = ((p.top + y * p.scale) * c.width + p.left + x * p.scale) * 4;
        out.set(all.subarray(at, at + 4), (y * 320 + x) * 4);
      }
    return out;
  };
  window.testLayout = () => {
    const { c, p, all } = read();
    let wrong = 0, first = "";
    for (let y = 0; y < c.height; y++)
      for (let x = 0; x < c.width; x++) {
        const sx = Math.floor((x - p.left) / p.scale), sy = Math.floor((y - p.top) / p.scale);
        const inside = sx >= 0 && sy >= 0 && sx < 320 && sy < 240;
        const from = inside ? ((p.top + sy * p.scale) * c.width + p.left + sx * p.scale) * 4 : -1;
        const at = (y * c.width + x) * 4;
        for (let k = 0; k < 3; k++) {
          const want = inside ? all[from + k] : 0;
          if (all[at + k] !== want && wrong++ === 0) first = `(${x}, ${y})`;
        }
      }
    return { width: c.width, height: c.height, ...p, wrong, first };
  };
}

// The desktop's easing: each frame (target + 4 × old) / 5, rounded half to even, until it
// no longer moves.
function restingPoint(old, target) {
  for (;;) {
    const exact = (target + 4 * old) / 5, low = Math.floor(exact), rest = exact - low;
    const next = rest > 0.5 || (rest === 0.5 && low % 2 !== 0) ? low + 1 : low;
    if (next === old) return old;
    old = next;
  }
}

const probe = (page, fn, ...args) => page.evaluate(fn, ...args);
const program = (page) => probe(page, () => {
  const m = window.glimmerix.module;
  if (!m) return null;
  return { effect: m._glimmerix_web_current_effect(), fps: m._glimmerix_web_frames_per_second(),
    x: m._glimmerix_web_sprite_x(), y: m._glimmerix_web_sprite_y(),
    lines: [0, 1, 2, 3].map((i) => m.UTF8ToString(m._glimmerix_web_printed_line(i))) };
});
async function until(what, test, timeoutMs = 10000) {
  const end = Date.now() + timeoutMs;
  for (;;) {
    const value = await test();
    if (value) return value;
    if (Date.now() > end) throw new Error(`timed out waiting for ${what}`);
    await new Promise((r) => setTimeout(r, 50));
  }
}

// Compares the scene around the sprite at (sx, sy) with the blend, pixel by pixel, of the
// background and sprite the program decoded (their digests are checked against the
// desktop's): inside the sprite every channel is glimmerix_blend(effect, background,
// sprite), in a 3-pixel ring around it the background.
function compareSprite(page, effect, sx, sy) {
  return probe(page, async ({ effect, sx, sy, WIDTH, HEIGHT, SPRITE, TEXT_Y }) => {
    const m = window.glimmerix.module;
    // 0x00BBGGRR in memory: red, green, blue, 0, as RGBA.
    const background = new Uint8Array(m.HEAPU8.buffer, m._glimmerix_web_picture(0), WIDTH * HEIGHT * 4).slice();
    const sprite = new Uint8Array(m.HEAPU8.buffer, m._glimmerix_web_picture(1), SPRITE * SPRITE * 4).slice();
    const scene = window.testScene();
    const blend = window.glimmerix.module._glimmerix_blend;
    let checked = 0, wrong = 0, first = "";
    for (let y = sy - 3; y < sy + SPRITE + 3; y++)
      for (let x = sx - 3; x < sx + SPRITE + 3; x++) {
        if (x < 0 || y < 0 || x >= WIDTH || y >= TEXT_Y) continue;
        const inside = x >= sx && y >= sy && x < sx + SPRITE && y < sy + SPRITE;
        const at = (y * WIDTH + x) * 4, from = ((y - sy) * SPRITE + (x - sx)) * 4;
        for (let c = 0; c < 3; c++) {
          const want = inside ? blend(effect, background[at + c], sprite[from + c]) : background[at + c];
          checked++;
          if (scene[at + c] !== want && wrong++ === 0) first = `(${x}, ${y}) channel ${c}: ${scene[at + c]}, want ${want}`;
        }
      }
    return { checked, wrong, first };
  }, { effect, sx, sy, WIDTH, HEIGHT, SPRITE, TEXT_Y });
}
// Moves the pointer over scene pixel (px, py) in one step and waits for the sprite to rest
// where the desktop's easing stops; then compares the pixels around it (effect 0).
async function pointAndRest(page, px, py) {
  const from = await program(page);
  const want = { x: restingPoint(from.x, px - CURSOR_OFFSET), y: restingPoint(from.y, py - CURSOR_OFFSET) };
  const point = await scenePoint(page, px, py);
  await page.mouse.move(point.x, point.y);
  const rest = await until("the sprite to rest", async () => {
    const p = await program(page);
    return p.x === want.x && p.y === want.y && p;
  }, 5000).catch(() => program(page));
  return { want, rest, pixels: await compareSprite(page, 0, want.x, want.y) };
}
const spriteDetail = (r) => `${r.checked} channels, ${r.wrong} wrong${r.first ? `, first at ${r.first}` : ""}`;

const SITE_LIMIT = 2_000_000;
const siteBytes = readdirSync(siteDir).reduce((sum, name) => sum + statSync(join(siteDir, name)).size, 0);
check(`the site is under ${SITE_LIMIT} bytes`, siteBytes < SITE_LIMIT, `${siteBytes} bytes`);

try {
  // --- one session of the demo: welcome, pointer, effects, Esc, start again.
  const problems = [];
  const page = await open(problems);
  await page.waitForSelector("dialog[open]", { timeout: 15000 });
  const title = await page.$eval("#message-title", (e) => e.textContent);
  const text = await page.$eval("#message-text", (e) => e.textContent);
  check("the welcome dialog has the exact title and text", title === WELCOME_TITLE && text === WELCOME_TEXT,
    `${JSON.stringify(title)} ${JSON.stringify(text)}`);
  await page.click("#message-ok");
  const dialogOpen = await probe(page, () => document.getElementById("message").open);
  const started = await until("the frame loop", async () => ((await program(page))?.fps ?? 0) > 0);
  check("OK closes the dialog and the frame loop runs", !dialogOpen && started, `${(await program(page)).fps} frames per second`);
  const layout = await probe(page, () => window.testLayout());
  check("the canvas holds the scene at the largest whole factor, centred, black around it", layout.wrong === 0 &&
    layout.scale === 2, JSON.stringify(layout));

  const expected = readFileSync(digestsFile, "utf8").trim().split("\n");
  const digests = await probe(page, () => {
    const blend = window.glimmerix.module._glimmerix_blend;
    const out = [];
    for (let e = 0; e < 18; e++) {
      let h = 2166136261;
      for (let d = 0; d < 256; d++) for (let s = 0; s < 256; s++) h = Math.imul(h ^ blend(e, d, s), 16777619) >>> 0;
      out.push(h.toString(16).padStart(8, "0"));
    }
    return out;
  });
  const differing = digests.map((d, e) => (d === expected[e] ? null : e)).filter((e) => e !== null);
  check("the 18 tables equal the native library's", expected.length === 20 && differing.length === 0,
    differing.length ? `effects ${differing.join(", ")} differ` : "");
  const pictures = await probe(page, () => [0, 1].map((i) =>
    (window.glimmerix.module._glimmerix_web_picture_digest(i) >>> 0).toString(16).padStart(8, "0")));
  check("the background and sprite decode to the desktop's pixels, byte for byte",
    pictures[0] === expected[18] && pictures[1] === expected[19], `${pictures.join(" ")} against ${expected.slice(18).join(" ")}`);

  // The pointer moves in one step; the sprite eases towards it as the desktop's does and rests
  // where that easing stops, within 2 pixels of CURSOR_OFFSET up and left of the pointer.
  // Near the edges it is clipped.
  for (const [px, py] of [[100, 80], [10, 5], [310, 150], [200, 30]]) {
    const { want, rest, pixels } = await pointAndRest(page, px, py);
    check(`pointer at (${px}, ${py}): the sprite rests at (${want.x}, ${want.y}) and blends exactly`,
      rest.x === want.x && rest.y === want.y && pixels.wrong === 0 && pixels.checked > 0,
      `rests at (${rest.x}, ${rest.y}); ${spriteDetail(pixels)}`);
  }
  if (screenshotPath) await page.screenshot({ path: screenshotPath });

  // Each click goes on to the next effect, prints its number and name, and draws it exactly.
  const from = await program(page);
  const [sx, sy] = [restingPoint(from.x, 100 - CURSOR_OFFSET), restingPoint(from.y, 80 - CURSOR_OFFSET)];
  const at = await scenePoint(page, 100, 80);
  await page.mouse.move(at.x, at.y);
  await until("the sprite to rest", async () => { const p = await program(page); return p.x === sx && p.y === sy; });
  // The band of the name's line, as a hash, and whether any of it is white ink.
  const nameBand = () => probe(page, ({ WIDTH, TEXT_Y }) => {
    const lineHeight = 13, top = TEXT_Y + 3 * lineHeight;
    const data = window.testScene().subarray(top * WIDTH * 4, (top + lineHeight) * WIDTH * 4);
    let hash = 0, white = false;
    for (let i = 0; i < data.length; i += 4) {
      hash = (Math.imul(hash, 31) + (data[i] | data[i + 1] << 8 | data[i + 2] << 16)) | 0;
      white ||= data[i] === 255 && data[i + 1] === 255 && data[i + 2] === 255;
    }
    return { hash, white };
  }, { WIDTH, TEXT_Y });
  let band = await nameBand();
  const wrongEffects = [];
  for (let click = 1; click <= 18; click++) {
    const effect = click % 18;
    await page.mouse.click(at.x, at.y);
    let shown;
    try {
      shown = await until(`effect ${effect}`, async () => {
        const p = await program(page);
        return p.effect === effect && p.lines[2] === `Current Effect: ${effect}` && p;
      }, 5000);
    } catch { shown = await program(page); }
    const pixels = await compareSprite(page, effect, sx, sy);
    const previousBand = band;
    band = await nameBand();
    if (!band.white || band.hash === previousBand.hash) wrongEffects.push(`${effect}: the name's line is not drawn anew in white`);
    if (shown.effect !== effect || shown.lines[2] !== `Current Effect: ${effect}` || shown.lines[3] !== NAMES[effect] ||
        pixels.wrong !== 0) {
      wrongEffects.push(`${effect}: printed ${JSON.stringify(shown.lines.slice(2))}, ${spriteDetail(pixels)}`);
    }
  }
  check("18 clicks come back to effect 0, each effect named and drawn exactly", wrongEffects.length === 0,
    wrongEffects.join("; "));

  // The window resized: the scene at the new size by the rule, the pointer mapped back to it.
  for (const [w, h, scale] of [[1100, 900, 3], [500, 400, 1]]) {
    await page.setViewport({ width: w, height: h });
    const resized = await until(`the canvas at ${w} x ${h}`, async () => {
      const l = await probe(page, () => window.testLayout());
      return l.scale === scale && l.width === Math.max(WIDTH, w - 32) && l && l;
    }, 5000).catch(() => probe(page, () => window.testLayout()));
    const { want, rest, pixels } = await pointAndRest(page, 150, 90);
    const layout = await probe(page, () => window.testLayout());
    check(`a ${w} x ${h} window: the scene ${scale}x by the rule, the pointer mapped to it`,
      layout.wrong === 0 && resized.scale === scale && rest.x === want.x && rest.y === want.y && pixels.wrong === 0,
      `${JSON.stringify(layout)}; rests at (${rest.x}, ${rest.y}); ${spriteDetail(pixels)}`);
  }

  // In a window smaller than the scene every scene pixel stays reachable: the canvas starts
  // inside the page, which scrolls to its far corner, and the pointer there reaches the demo.
  await page.setViewport({ width: 200, height: 150 });
  await until("the small canvas", async () => (await probe(page, () => window.testLayout())).width === WIDTH, 5000).catch(() => {});
  const reach = await probe(page, () => {
    const box = document.getElementById("scene").getBoundingClientRect();
    const doc = document.documentElement;
    return { left: box.left + scrollX, top: box.top + scrollY, right: box.right + scrollX, bottom: box.bottom + scrollY,
      width: doc.scrollWidth, height: doc.scrollHeight };
  });
  // Scrolled so that scene pixel (300, 150), near the far edge, is in the middle of the window.
  await probe(page, () => {
    const box = document.getElementById("scene").getBoundingClientRect();
    window.scrollTo(box.left + scrollX + 300 - 100, box.top + scrollY + 150 - 75);
  });
  const corner = await pointAndRest(page, 300, 150);
  check("in a 200 x 150 window the whole scene can be scrolled to and pointed at",
    reach.left >= 0 && reach.top >= 0 && reach.right <= reach.width && reach.bottom <= reach.height &&
    corner.rest.x === corner.want.x && corner.rest.y === corner.want.y && corner.pixels.wrong === 0 && corner.pixels.checked > 0,
    `${JSON.stringify(reach)}; rests at (${corner.rest.x}, ${corner.rest.y}); ${spriteDetail(corner.pixels)}`);
  await probe(page, () => window.scrollTo(0, 0));

  // Esc ends the loop: the canvas stops changing and the page says so and offers to start again.
  await page.keyboard.press("Escape");
  await until("the end", () => probe(page, () => window.glimmerix.state === "ended"), 5000).catch(() => {});
  const canvasHash = () => probe(page, () => {
    const data = window.testScene();
    let h = 0;
    for (let i = 0; i < data.length; i++) h = (Math.imul(h, 31) + data[i]) | 0;
    return h;
  });
  const before = await canvasHash();
  await new Promise((r) => setTimeout(r, 1200));
  const after = await canvasHash();
  const ending = await probe(page, () => ({ state: window.glimmerix.state, status: document.getElementById("status").textContent,
    again: !document.getElementById("again").hidden }));
  check("Esc stops the loop and the page says so", ending.state === "ended" && before === after &&
    ending.status === "The demo has ended." && ending.again, JSON.stringify(ending));
  await page.click("#again");
  const restarted = await page.waitForSelector("dialog[open]", { timeout: 15000 }).then(() => true, () => false);
  check("Start again shows the welcome dialog once more", restarted);
  check("the page runs without a console error, page error or failed request", problems.length === 0,
    problems.join("; "));
  await page.close();

  // --- damaged sites: the program refuses to start and the page shows the desktop's message
  // for the same file (a missing file is named with each platform's own place).
  const names = "Effects' Names.txt";
  const original = (name) => readFileSync(join(siteDir, name));
  const desktopSays = (name, bytes) => {
    const dir = mkdtempSync(join(tmpdir(), "glimmerix-web-"));
    try {
      copyFileSync(nativeProgram, join(dir, "glimmerix"));
      for (const f of ["Loading.jpg", "Planet.jpg", "Light.gif", names]) copyFileSync(join(siteDir, f), join(dir, f));
      if (bytes) writeFileSync(join(dir, name), bytes); else rmSync(join(dir, name));
      const env = { ...process.env, SDL_VIDEODRIVER: "dummy" };
      delete env.DISPLAY;
      delete env.WAYLAND_DISPLAY;
      const run = spawnSync(join(dir, "glimmerix"), [], { env, encoding: "utf8", timeout: 10000 });
      // The program's own line; a message box helper (zenity) may add lines of its own.
      const own = run.stderr.split("\n").find((line) => line.startsWith("glimmerix: ")) ?? run.stderr.trim();
      return own.replace(/^glimmerix: /, "").replace(/ \(looked for .*\)$/, "");
    } finally {
      rmSync(dir, { recursive: true, force: true });
    }
  };
  const refusals = [
    ["Loading.jpg", null],
    ["Planet.jpg", null],
    ["Light.gif", null],
    [names, null],
    ["Light.gif", Buffer.from("just some text\n")],
    ["Loading.jpg", Buffer.alloc(0)],
    ["Planet.jpg", Buffer.from([0xff, 0xd8, 0xff, 0xc0, 0, 11, 8, 0x75, 0x30, 0x75, 0x30, 1, 1, 0x11, 0, 0xff, 0xd9])],
    ["Planet.jpg", original("Planet.jpg").subarray(0, 600)],
    ["Light.gif", original("Light.gif").subarray(0, 1000)],
    // The image data replaced by codes that name no entry.
    ["Light.gif", Buffer.concat([original("Light.gif").subarray(0, 791), Buffer.from([0x08, 0x05, 0xff, 0xff, 0xff, 0xff, 0xff, 0, 0x3b])])],
    [names, Buffer.from(NAMES.slice(0, 17).join("\r\n") + "\r\n", "latin1")],
  ];
  for (const [name, bytes] of refusals) {
    const says = desktopSays(name, bytes);
    replaced = new Map([[name, bytes]]);
    const damagedProblems = [];
    const damaged = await open(damagedProblems);
    const result = await until("the failure", () => probe(damaged, () =>
      window.glimmerix.state === "failed" && { message: window.glimmerix.message,
        status: document.getElementById("status").textContent }), 15000).catch(() => ({ message: "(none)" }));
    const shown = result.message.replace(/ \(looked for .*\)$/, "");
    check(`${bytes ? "damaged" : "missing"} ${name}: the page says what the desktop says, "${says}"`,
      says !== "" && shown === says && result.status === result.message, result.message);
    await damaged.close();
  }
  // --- a download that stops: abandoned after some seconds, the page says which, Start again.
  const stalls = [
    ["Planet.jpg", "Planet.jpg: file is missing"],
    ["glimmerix.wasm", "glimmerix cannot start: glimmerix.wasm could not be downloaded"],
  ];
  for (const [name, says] of stalls) {
    replaced = new Map([[name, { stall: original(name) }]]);
    const stalled = await open([]);
    const started = Date.now();
    const result = await until("the stalled download's end", () => probe(stalled, () =>
      window.glimmerix.state === "failed" && { message: window.glimmerix.message,
        again: !document.getElementById("again").hidden }), 15000).catch(() => ({ message: "(none)" }));
    const seconds = (Date.now() - started) / 1000;
    check(`a stalled ${name}: given up after ${seconds.toFixed(1)} s, "${says}…", Start again offered`,
      result.message.startsWith(says) && result.again && seconds < 10, result.message);
    await stalled.close();
  }
} catch (error) {
  check("the browser test ran to its end", false, error.stack || String(error));
} finally {
  await browser.close();
  server.closeAllConnections();
  server.close();
}

console.log(`browser: ${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
