// The page around the demo: fetches the data files into the program's directory, starts
// the program on the canvas, and carries input, pictures, the message box and the ending
// between the browser and the program (app/web/web_toolkit.cpp calls the `page` functions).
"use strict";

(() => {
  const WIDTH = 320;
  const HEIGHT = 240;
  const DATA_FILES = ["Loading.jpg", "Planet.jpg", "Light.gif", "Effects' Names.txt", "Glyphs.atlas"];
  const PROGRAM_DIRECTORY = "/glimmerix";
  // The kinds of input event; web_toolkit.cpp has the same numbers.
  const POINTER_MOVE = 1, CLICK = 2, KEY_DOWN = 3;
  const KEY_ESCAPE = 27;

  const canvas = document.getElementById("scene");
  const context = canvas.getContext("2d");
  const status = document.getElementById("status");
  const again = document.getElementById("again");
  const dialog = document.getElementById("message");

  // What the page's tests read: the state ("loading", "running", "ended", "failed"),
  // the running module and the message shown.
  const state = { state: "loading", module: null, message: "" };
  window.glimmerix = state;

  let events = [];

  function say(text, failed = false) {
    status.textContent = text;
    status.classList.toggle("failed", failed);
  }

  // The largest whole multiple of the scene that fits the window, at least 1.
  function fitCanvas() {
    const room = Math.min((window.innerWidth - 32) / WIDTH, (window.innerHeight - 96) / HEIGHT);
    const scale = Math.max(1, Math.floor(room));
    canvas.style.width = `${WIDTH * scale}px`;
    canvas.style.height = `${HEIGHT * scale}px`;
  }

  // The scene pixel under the pointer, in whole pixels as the desktop window reports them.
  function scenePoint(event) {
    const box = canvas.getBoundingClientRect();
    return {
      x: Math.floor(((event.clientX - box.left) * WIDTH) / box.width),
      y: Math.floor(((event.clientY - box.top) * HEIGHT) / box.height),
    };
  }

  const running = () => state.state === "running" && !dialog.open;

  canvas.addEventListener("pointermove", (event) => {
    if (running()) events.push({ kind: POINTER_MOVE, ...scenePoint(event) });
  });
  canvas.addEventListener("pointerup", (event) => {
    if (running() && event.button === 0) events.push({ kind: CLICK, x: 0, y: 0 });
  });
  document.addEventListener("keydown", (event) => {
    if (!running()) return;
    const code = event.key === "Escape" ? KEY_ESCAPE : event.keyCode;
    if (code > 0 && code < 0x8000) events.push({ kind: KEY_DOWN, x: code, y: 0 });
    if (event.key === "Escape") event.preventDefault();
  });
  window.addEventListener("resize", fitCanvas);
  again.addEventListener("click", () => start());

  const page = {
    nextFrame: () => new Promise((resolve) => requestAnimationFrame(() => resolve())),
    takeEvent: () => events.shift(),
    dropEvents: () => {
      events = [];
    },
    present(rgba, width, height) {
      context.putImageData(new ImageData(rgba, width, height), 0, 0);
    },
    // The picture drawn at the top-left corner over the given pixels, as the desktop draws
    // it over the surface's background: the browser decodes it, without colour management.
    async decode(picture, base, width, height) {
      const bitmap = await createImageBitmap(new Blob([picture]), {
        premultiplyAlpha: "none",
        colorSpaceConversion: "none",
      });
      const surface = new OffscreenCanvas(width, height).getContext("2d", { willReadFrequently: true });
      surface.putImageData(new ImageData(new Uint8ClampedArray(base.buffer), width, height), 0, 0);
      surface.drawImage(bitmap, 0, 0);
      bitmap.close();
      return surface.getImageData(0, 0, width, height).data;
    },
    messageBox(title, text) {
      document.getElementById("message-title").textContent = title;
      document.getElementById("message-text").textContent = text.replace(/\r\n/g, "\n");
      return new Promise((resolve) => {
        dialog.addEventListener(
          "close",
          () => {
            canvas.focus();
            resolve();
          },
          { once: true },
        );
        dialog.showModal();
      });
    },
    ended() {
      state.state = "ended";
      say("The demo has ended.");
      again.hidden = false;
      again.focus();
    },
    failed(message) {
      state.state = "failed";
      state.message = message;
      say(message, true);
      again.hidden = false;
    },
  };

  // Each file the server has goes into the program's directory; one it lacks is left out,
  // and the program reports it missing as the desktop program does.
  async function fetchDataFiles() {
    return Promise.all(
      DATA_FILES.map(async (name) => {
        const response = await fetch(encodeURIComponent(name), { cache: "no-cache" });
        return response.ok ? [name, new Uint8Array(await response.arrayBuffer())] : null;
      }),
    );
  }

  async function start() {
    again.hidden = true;
    events = [];
    Object.assign(state, { state: "loading", module: null, message: "" });
    say("Loading…");
    try {
      const files = (await fetchDataFiles()).filter(Boolean);
      state.state = "running";
      say("Move the pointer over the scene, click to change the effect, press Esc to end.");
      state.module = await createGlimmerix({
        page,
        preRun: [
          (module) => {
            module.FS.mkdir(PROGRAM_DIRECTORY);
            for (const [name, bytes] of files) module.FS.writeFile(`${PROGRAM_DIRECTORY}/${name}`, bytes);
          },
        ],
        onAbort: (what) => page.failed(`glimmerix stopped: ${what}`),
      });
    } catch (error) {
      page.failed(`glimmerix cannot start: ${error.message || error}`);
    }
    canvas.focus();
  }

  fitCanvas();
  start();
})();
