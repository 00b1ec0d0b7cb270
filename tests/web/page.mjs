// What the web page's test and its benchmark share: puppeteer-core, the server, and the time
// of the first frame.
import { spawn } from "node:child_process";
import { createRequire } from "node:module";
import path from "node:path";
import { createInterface } from "node:readline";

const here = path.dirname(new URL(import.meta.url).pathname);

// From the cache that run.sh fills.
export const puppeteer = createRequire(path.join(process.env.TAZZLE_NODE_MODULES, "package.json"))(
    "puppeteer-core");

export const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

// serve.py on folder, and the bytes of each response it sent.
export async function serve(folder) {
    const server = spawn("python3", [path.join(here, "serve.py"), folder],
                         { stdio: ["ignore", "pipe", "inherit"] });
    const lines = createInterface({ input: server.stdout });
    const sent = [];
    const port = await new Promise((resolve, reject) => {
        server.once("exit", code => reject(new Error(`serve.py ended with ${code}`)));
        lines.once("line", resolve);
    });
    lines.on("line", line => sent.push(JSON.parse(line)));
    return { url: `http://127.0.0.1:${port}/`, sent, stop: () => server.kill("SIGKILL") };
}

// Runs in the page before its own scripts: notes when Qt's canvas first shows anything but
// black, in milliseconds from the start of the navigation.
function watchFirstFrame() {
    const sample = document.createElement("canvas");
    sample.width = 64;
    sample.height = 36;
    const context = sample.getContext("2d", { willReadFrequently: true });
    const look = () => {
        const host = document.querySelector("#screen > div");
        const canvas = host?.shadowRoot?.querySelector("canvas");
        if (canvas && canvas.width > 0) {
            context.drawImage(canvas, 0, 0, sample.width, sample.height);
            if (context.getImageData(0, 0, sample.width, sample.height).data.some(
                    (value, index) => index % 4 !== 3 && value > 8)) {
                window.firstFrame = performance.now();
                return;
            }
        }
        requestAnimationFrame(look);
    };
    requestAnimationFrame(look);
}

// Opens url in page and returns the milliseconds to its first frame.
export async function firstFrame(page, url) {
    await page.evaluateOnNewDocument(watchFirstFrame);
    await page.goto(url);
    await page.waitForFunction(() => window.firstFrame !== undefined, { timeout: 60000 });
    return page.evaluate(() => window.firstFrame);
}
