// Takes the README's screenshot of the demo's web page in Debian's Chromium, headless:
//   node tools/web_screenshot.mjs URL OUT.png
// The welcome dialog is closed, the light put over the planet, effect 3 (screen) chosen, and
// the frame rate given time to settle; the rate the page shows is printed.
import { createRequire } from "node:module";

// puppeteer-core is installed beside the browser tests (tests/web/package.json).
const require = createRequire(new URL("../tests/web/package.json", import.meta.url));
const puppeteer = require("puppeteer-core");

const [url, out] = process.argv.slice(2);
if (!url || !out) {
  console.error("usage: node tools/web_screenshot.mjs URL OUT.png");
  process.exit(2);
}
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
  headless: true,
  args: ["--headless=new", "--no-sandbox", "--disable-gpu"],
});
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 720, height: 600 });
  await page.goto(url, { waitUntil: "load" });
  await page.waitForSelector("dialog[open]", { timeout: 15000 });
  await page.click("#message-ok");
  const box = await (await page.$("#scene")).boundingBox();
  const x = box.x + (150 / 320) * box.width, y = box.y + (110 / 240) * box.height;
  await page.mouse.move(x, y);
  for (let i = 0; i < 3; i++) await page.mouse.click(x, y);
  await new Promise((r) => setTimeout(r, 2500));
  const rate = await page.evaluate(() => window.glimmerix.module._glimmerix_web_frames_per_second());
  await page.screenshot({ path: out });
  console.log(`wrote ${out}; the page shows ${rate} frames per second`);
} finally {
  await browser.close();
}
