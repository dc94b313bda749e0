// Takes the README's screenshot of the demo's web page in Debian's Chromium, headless:
//   node tools/web_screenshot.mjs URL OUT.png
// The welcome dialog is closed, the light put over the planet, effect 3 (screen) chosen, and
// the frame rate given time to settle; the rate the page shows is printed.
// puppeteer-core is installed beside the browser tests (tests/web/package.json).
import { launchChromium, scenePoint } from "../tests/web/chromium.mjs";

const [url, out] = process.argv.slice(2);
if (!url || !out) {
  console.error("usage: node tools/web_screenshot.mjs URL OUT.png");
  process.exit(2);
}
const browser = await launchChromium();
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 720, height: 600 });
  await page.goto(url, { waitUntil: "load" });
  await page.waitForSelector("dialog[open]", { timeout: 15000 });
  await page.click("#message-ok");
  const { x, y } = await scenePoint(page, 150, 110);
  await page.mouse.move(x, y);
  for (let i = 0; i < 3; i++) await page.mouse.click(x, y);
  await new Promise((r) => setTimeout(r, 2500));
  const rate = await page.evaluate(() => window.glimmerix.module._glimmerix_web_frames_per_second());
  await page.screenshot({ path: out });
  console.log(`wrote ${out}; the page shows ${rate} frames per second`);
} finally {
  await browser.close();
}
