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

// The page point over the middle of scene pixel (x, y), whatever the canvas's scale.
export async function scenePoint(page, x, y) {
  const box = await (await page.$("#scene")).boundingBox();
  return { x: box.x + ((x + 0.5) * box.width) / WIDTH, y: box.y + ((y + 0.5) * box.height) / HEIGHT };
}
