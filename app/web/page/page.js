// The page around the demo: fetches the data files into the program's directory, starts
// the program on the canvas, and carries input, pictures, the message box and the ending
// between the browser and the program (app/web/web_toolkit.cpp calls the `page` functions).
"use strict";

(() => {
  const WIDTH = 320;
  const HEIGHT = 240;
  const DATA_FILES = ["Loading.jpg", "Planet.jpg", "Light.gif", "Effects' Names.txt"];
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

  // The canvas is the program's main window: the room the page leaves it, at least the
  // scene's size, in device pixels. The program lays the scene out in it.
  function room() {
    const ratio = window.devicePixelRatio || 1;
    const width = Math.max(WIDTH, window.innerWidth - 32), height = Math.max(HEIGHT, window.innerHeight - 96);
    return { width: Math.floor(width * ratio), height: Math.floor(height * ratio) };
  }

  // The pointer in the canvas's device pixels, whole as the desktop window reports them.
  function canvasPoint(event) {
    const box = canvas.getBoundingClientRect();
    return {
      x: Math.floor(((event.clientX - box.left) * canvas.width) / box.width),
      y: Math.floor(((event.clientY - box.top) * canvas.height) / box.height),
    };
  }

  const running = () => state.state === "running" && !dialog.open;

  canvas.addEventListener("pointermove", (event) => {
    if (running()) events.push({ kind: POINTER_MOVE, ...canvasPoint(event) });
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
  again.addEventListener("click", () => start());

  const page = {
    nextFrame: () => new Promise((resolve) => requestAnimationFrame(() => resolve())),
    takeEvent: () => events.shift(),
    dropEvents: () => {
      events = [];
    },
    room,
    present(rgba, width, height) {
      if (canvas.width !== width || canvas.height !== height) {
        const ratio = window.devicePixelRatio || 1;
        canvas.width = width;
        canvas.height = height;
        canvas.style.width = `${width / ratio}px`;
        canvas.style.height = `${height / ratio}px`;
      }
      context.putImageData(new ImageData(rgba, width, height), 0, 0);
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

  // A download that brings no byte for this long is abandoned.
  const STALL_MS = 5000;

  // The body of `name`, or null when the server lacks it or its download stalls: the watch
  // restarts with every piece that arrives, so a slow download goes on and a dead one ends.
  async function download(name) {
    const abort = new AbortController();
    let timer = setTimeout(() => abort.abort(), STALL_MS);
    const progress = () => {
      clearTimeout(timer);
      timer = setTimeout(() => abort.abort(), STALL_MS);
    };
    try {
      const response = await fetch(encodeURIComponent(name), { cache: "no-cache", signal: abort.signal });
      if (!response.ok) return null;
      const reader = response.body.getReader();
      const pieces = [];
      let size = 0;
      for (;;) {
        const { done, value } = await reader.read();
        if (done) break;
        progress();
        pieces.push(value);
        size += value.length;
      }
      const bytes = new Uint8Array(size);
      let at = 0;
      for (const piece of pieces) {
        bytes.set(piece, at);
        at += piece.length;
      }
      return bytes;
    } catch (error) {
      if (abort.signal.aborted) return null;
      throw error;
    } finally {
      clearTimeout(timer);
    }
  }

  // The program's own code, loaded under the same watch: the module and its script.
  async function loadProgram() {
    const [script, wasm] = await Promise.all([download("glimmerix.js"), download("glimmerix.wasm")]);
    for (const [name, bytes] of [["glimmerix.js", script], ["glimmerix.wasm", wasm]]) {
      if (!bytes) throw new Error(`${name} could not be downloaded (missing, or no data came for ${STALL_MS / 1000} s)`);
    }
    if (typeof createGlimmerix !== "function") {
      const url = URL.createObjectURL(new Blob([script], { type: "text/javascript" }));
      await new Promise((resolve, reject) => {
        const element = document.createElement("script");
        element.src = url;
        element.onload = resolve;
        element.onerror = () => reject(new Error("glimmerix.js could not be run"));
        document.head.append(element);
      });
      URL.revokeObjectURL(url);
    }
    return wasm;
  }

  // Each file the server gives goes into the program's directory; one it lacks, or whose
  // download stalls, is left out, and the program reports it missing as the desktop does.
  async function fetchDataFiles() {
    return Promise.all(DATA_FILES.map(async (name) => {
      const bytes = await download(name);
      return bytes ? [name, bytes] : null;
    }));
  }

  async function start() {
    again.hidden = true;
    events = [];
    Object.assign(state, { state: "loading", module: null, message: "" });
    say("Loading…");
    try {
      const [wasm, files] = await Promise.all([loadProgram(), fetchDataFiles()]);
      state.state = "running";
      say("Move the pointer over the scene, click to change the effect, press Esc to end.");
      state.module = await createGlimmerix({
        page,
        wasmBinary: wasm,
        preRun: [
          (module) => {
            module.FS.mkdir(PROGRAM_DIRECTORY);
            for (const [name, bytes] of files.filter(Boolean)) module.FS.writeFile(`${PROGRAM_DIRECTORY}/${name}`, bytes);
          },
        ],
        onAbort: (what) => page.failed(`glimmerix stopped: ${what}`),
      });
    } catch (error) {
      page.failed(`glimmerix cannot start: ${error.message || error}`);
    }
    canvas.focus();
  }

  start();
})();
