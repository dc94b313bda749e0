// Debian's Chromium, headless, through puppeteer-core (no browser of its own is downloaded):
// what the browser test and the README's screenshot (tools/web_screenshot.mjs) share.
import puppeteer from "puppeteer-core";

export const WIDTH = 320, HEIGHT = 240;

export function launchChromium() {
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    headless: true,
    args: ["--headless=new", "--no-sandbox", "--disable-gpu"],
  });
}

// Where the scene should lie on a canvas of width × height device pixels: the largest whole
// factor that fits, centred. The tests' own statement of the rule, apart from the program's.
export function placement(width, height) {
  const scale = Math.max(1, Math.min(Math.floor(width / WIDTH), Math.floor(height / HEIGHT)));
  return { scale, left: Math.trunc((width - scale * WIDTH) / 2), top: Math.trunc((height - scale * HEIGHT) / 2) };
}

// The page point over the middle of scene pixel (x, y).
export async function scenePoint(page, x, y) {
  const c = await page.$eval("#scene", (e) => {
    const r = e.getBoundingClientRect();
    return { width: e.width, height: e.height, x: r.x, y: r.y, w: r.width, h: r.height };
  });
  const p = placement(c.width, c.height);
  return { x: c.x + ((p.left + (x + 0.5) * p.scale) * c.w) / c.width, y: c.y + ((p.top + (y + 0.5) * p.scale) * c.h) / c.height };
}
