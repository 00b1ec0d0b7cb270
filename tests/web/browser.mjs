// Plays the web page in the system's Chromium, as a visitor would: on a desktop, on a phone,
// offline, and with a screen reader's view of the page. The page is served from 127.0.0.1 as
// a real server serves it (serve.py); what the program shows is read off the screen.
// Usage: node browser.mjs <site folder> <website address> <chromium> <work folder>
import { execFileSync } from "node:child_process";
import { writeFileSync } from "node:fs";
import path from "node:path";
import { firstFrame, puppeteer, serve, sleep } from "./page.mjs";

const [site, website, chromium, work] = process.argv.slice(2);
const here = path.dirname(new URL(import.meta.url).pathname);
const title = "Tazzle - Random dare generator";
const prompt = "Click below for your dare...";
// Where things are in the 533 × 299 client area.
const client = { width: 533, height: 299 };
const label = { x: 16, y: 120, width: 505, height: 81 };
const picture = { x: 200, y: 208, width: 133, height: 44 };
const link = { x: 150, y: 281 };
const budget = 4.5e6; // bytes a first visit may transfer

let failures = 0;
function check(ok, what) {
    console.log(`${ok ? "ok  " : "FAIL"} ${what}`);
    if (!ok)
        failures++;
}

// The Qt window's place on the page, in CSS pixels.
function windowRect(page) {
    return page.evaluate(() => {
        const host = document.querySelector("#screen > div");
        const box = host.shadowRoot.querySelector(".qt-window").getBoundingClientRect();
        return { x: box.x, y: box.y, width: box.width, height: box.height };
    });
}

async function open(context, url, viewport) {
    const page = await context.newPage();
    // What the page says, for when a check fails.
    page.on("console", message => console.log(`  page: ${message.text()}`));
    page.on("pageerror", error => console.log(`  page error: ${error.message}`));
    page.on("requestfailed", request =>
        console.log(`  page: ${request.url()} failed: ${request.failure()?.errorText}`));
    await page.setViewport(viewport);
    await firstFrame(page, url);
    await sleep(300); // the rest of the first paint
    return page;
}

// Where a point of the client area is on the page, in CSS pixels.
function at(box, x, y) {
    const scale = box.width / client.width;
    return { x: box.x + x * scale, y: box.y + y * scale };
}

// The dare label's text, read off the screen by tesseract.
async function labelText(page, box, name) {
    const scale = box.width / client.width;
    const file = path.join(work, `${name}.png`);
    await page.screenshot({ path: file, clip: { x: box.x + label.x * scale,
        y: box.y + label.y * scale, width: label.width * scale, height: label.height * scale } });
    // Dark text on light, about 3 times the layout's size, reads best.
    const ocr = path.join(work, `${name}-ocr.png`);
    const zoom = Math.round(300 / (scale * await page.evaluate(() => devicePixelRatio)));
    execFileSync("convert", [file, "-colorspace", "Gray", "-resize", `${zoom}%`, "-negate", ocr]);
    return execFileSync("tesseract", [ocr, "-", "--psm", "6"], { stderr: "ignore" })
        .toString().replace(/\s+/g, " ").trim();
}

function isDare(text) {
    try {
        execFileSync("/usr/bin/python3", [path.join(here, "..", "isdare.py"),
                                          path.join(here, "..", "dares.txt"), text]);
        return true;
    } catch {
        return false;
    }
}

// The client area's rectangle, as raw pixels, for comparing pictures.
async function pixels(page, box, area) {
    const scale = box.width / client.width;
    return page.screenshot({ encoding: "base64", clip: { x: box.x + area.x * scale,
        y: box.y + area.y * scale, width: area.width * scale, height: area.height * scale } });
}

function fits(box, viewport) {
    return box.x >= 0 && box.y >= 0 && box.x + box.width <= viewport.width + 0.5 &&
        box.y + box.height <= viewport.height + 0.5;
}

function centred(box, viewport) {
    return Math.abs(box.x * 2 + box.width - viewport.width) <= 2 &&
        Math.abs(box.y * 2 + box.height - viewport.height) <= 2;
}

async function desktop(browser, server) {
    console.log("# desktop, 1280 × 800");
    const viewport = { width: 1280, height: 800, deviceScaleFactor: 1 };
    const context = await browser.createBrowserContext();
    const page = await open(context, server.url, viewport);
    check(await page.title() === title, `the page's title is "${title}"`);
    const box = await windowRect(page);
    const scale = Math.min(viewport.width / client.width, viewport.height / client.height);
    check(Math.abs(box.width - client.width * scale) <= 1 &&
          Math.abs(box.height - client.height * scale) <= 1,
          `the client area is scaled to fit, title bar and all gone (${box.width} × ${box.height})`);
    check(fits(box, viewport) && centred(box, viewport), "the window is whole and centred");
    check(await page.evaluate(() => document.scrollingElement.scrollHeight <= innerHeight &&
                                    document.scrollingElement.scrollWidth <= innerWidth),
          "the page does not scroll");
    await page.screenshot({ path: path.join(work, "desktop.png") });
    const first = await labelText(page, box, "prompt");
    check(first === prompt, `the prompt is drawn: "${first}"`);

    // In Liberation Sans Bold: its width, not that of the browser platform's own DejaVu.
    const ink = await page.evaluate(async (shot) => {
        const image = new Image();
        image.src = "data:image/png;base64," + shot;
        await image.decode();
        const canvas = new OffscreenCanvas(image.width, image.height);
        const context = canvas.getContext("2d");
        context.drawImage(image, 0, 0);
        const data = context.getImageData(0, 0, image.width, image.height).data;
        let left = image.width, right = -1;
        for (let i = 0; i < data.length; i += 4) {
            if (data[i] > 128) {
                const x = (i / 4) % image.width;
                left = Math.min(left, x);
                right = Math.max(right, x);
            }
        }
        const measure = face => {
            context.font = `bold 16px "${face}"`;
            return context.measureText("Click below for your dare...").width;
        };
        return { ink: (right - left + 1) / image.width * 505, liberation: measure("Liberation Sans"),
                 dejavu: measure("DejaVu Sans") };
    }, await pixels(page, box, label));
    check(Math.abs(ink.ink - ink.liberation) < 4 && Math.abs(ink.ink - ink.dejavu) > 12,
          `the prompt is in Liberation Sans Bold: ${ink.ink.toFixed(1)} px wide ` +
          `(Liberation ${ink.liberation.toFixed(1)}, DejaVu ${ink.dejavu.toFixed(1)})`);

    // The highlight follows the mouse.
    const still = await pixels(page, box, picture);
    const centre = at(box, picture.x + picture.width / 2, picture.y + picture.height / 2);
    await page.mouse.move(centre.x, centre.y);
    await sleep(300);
    const over = await pixels(page, box, picture);
    await page.mouse.move(box.x + 4, box.y + 4);
    await sleep(300);
    const away = await pixels(page, box, picture);
    check(over !== still && away === still, "the picture lights up under the mouse, and goes back");

    // No key gets a dare, not even with the focus on the window.
    await page.mouse.click(box.x + 4, box.y + 4);
    for (const key of ["Enter", "Space", "KeyD"])
        await page.keyboard.press(key);
    await sleep(300);
    const keyed = await labelText(page, box, "keys");
    check(keyed === prompt, `keys give no dare: "${keyed}"`);

    await page.mouse.click(centre.x, centre.y);
    await sleep(300);
    const dare = await labelText(page, box, "dare-desktop");
    check(isDare(dare), `a click gives a dare: "${dare}"`);
    await page.screenshot({ path: path.join(work, "desktop-dare.png") });

    // The link: one new tab per click, with the makers' address.
    const opened = [];
    const noteTab = target => { if (target.type() === "page") opened.push(target.url()); };
    browser.on("targetcreated", noteTab);
    const onLink = at(box, link.x, link.y);
    await page.mouse.click(onLink.x, onLink.y);
    await sleep(1500);
    browser.off("targetcreated", noteTab);
    check(opened.length === 1 && opened[0].startsWith(website),
          `the link opens one tab at ${website}: ${JSON.stringify(opened)}`);
    for (const tab of await context.pages()) {
        if (tab !== page)
            await tab.close();
    }

    return { context, page };
}

// Waits until the offline cache holds the program.
async function programKept(page) {
    const kept = () => page.evaluate(async () => {
        const urls = [];
        for (const name of await caches.keys())
            urls.push(...(await (await caches.open(name)).keys()).map(request => request.url));
        return urls;
    });
    for (let tries = 0; tries < 100; tries++) {
        if ((await kept()).some(url => url.endsWith(".wasm")))
            return;
        await sleep(200);
    }
    throw new Error(`the offline cache never held the program: ${JSON.stringify(await kept())}`);
}

async function firstVisitBytes(browser, server) {
    // A fresh profile, as a first visitor has; counted until the offline cache holds the program.
    const context = await browser.createBrowserContext();
    server.sent.length = 0;
    const page = await open(context, server.url, { width: 1280, height: 800 });
    await programKept(page);
    await sleep(500);
    const total = server.sent.reduce((sum, response) => sum + response.bytes, 0);
    const wasm = server.sent.filter(response => response.path.endsWith(".wasm"));
    check(total <= budget && wasm.length === 1 && wasm[0].encoding === "br",
          `a first visit transfers ${total} bytes (at most ${budget}), the program once, brotli`);
    console.log(JSON.stringify(server.sent));
    await context.close();
}

async function accessibility(page) {
    console.log("# a screen reader's view");
    const enable = await page.$('aria/Enable Screen Reader[role="button"]');
    check(enable !== null, "Qt offers its Enable Screen Reader button");
    await enable?.evaluate(button => button.click());
    await sleep(500);
    const tree = await page.accessibility.snapshot({ interestingOnly: false });
    writeFileSync(path.join(work, "accessibility-tree.json"), JSON.stringify(tree, null, 1));
    const nodes = [];
    const walk = node => { nodes.push(node); (node.children ?? []).forEach(walk); };
    walk(tree);
    const named = text => nodes.filter(node => (node.name ?? "").includes(text));
    console.log(nodes.filter(node => node.name).map(node => `  ${node.role}: ${node.name}`)
        .join("\n"));
    check(named("Get Dare").some(node => node.role === "button"), '"Get Dare" is a button');
    check(named("tazzle.example").length > 0, "the link's text is in the tree");

    const button = await page.$('aria/Get Dare[role="button"]');
    await button?.evaluate(element => element.click());
    await sleep(500);
    const box = await windowRect(page);
    const shown = await labelText(page, box, "dare-tree");
    check(isDare(shown), `pressing "Get Dare" in the tree gives a dare: "${shown}"`);
    const live = await page.evaluate(() => {
        const region = document.querySelector('[aria-live="polite"][role="status"]');
        return region ? region.textContent : null;
    });
    check(live !== null && isDare(live), `the dare is announced in a live region: "${live}"`);
    const after = [];
    const collect = node => { after.push(node); (node.children ?? []).forEach(collect); };
    collect(await page.accessibility.snapshot({ interestingOnly: false }));
    const status = after.filter(node => node.role === "status");
    const texts = node => [node.name ?? "", ...(node.children ?? []).map(texts)].join(" ");
    check(live !== null && status.some(node => texts(node).includes(live)),
          "the browser's tree holds the live region with that dare");
}

async function phone(browser, server) {
    console.log("# phone, 390 × 844 at 3 device pixels per pixel, touch");
    const viewport = { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true,
                       hasTouch: true };
    const context = await browser.createBrowserContext();
    const page = await open(context, server.url, viewport);
    const box = await windowRect(page);
    check(fits(box, viewport) && centred(box, viewport) &&
          Math.abs(box.width - viewport.width) <= 1,
          `the whole window is in the viewport, as wide as it (${box.width} × ${box.height} ` +
          `at ${box.x.toFixed(1)}, ${box.y.toFixed(1)})`);
    await page.screenshot({ path: path.join(work, "phone.png") });
    const centre = at(box, picture.x + picture.width / 2, picture.y + picture.height / 2);
    await page.touchscreen.tap(centre.x, centre.y);
    await sleep(500);
    const dare = await labelText(page, box, "dare-phone");
    check(isDare(dare), `a tap gives a dare: "${dare}"`);
    await page.screenshot({ path: path.join(work, "phone-dare.png") });
    await context.close();
}

// A browser window made narrower: the page starts again, fitted to it, and plays.
async function resized(browser, server) {
    console.log("# a browser window made narrower");
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.setViewport(null); // the window's own size, as outside a test
    const session = await page.createCDPSession();
    const { windowId } = await session.send("Browser.getWindowForTarget");
    const bounds = async (width, height) =>
        session.send("Browser.setWindowBounds", { windowId, bounds: { width, height } });
    await bounds(1280, 800);
    await firstFrame(page, server.url);
    await Promise.all([page.waitForNavigation(), bounds(700, 800)]);
    await page.waitForFunction(() => window.firstFrame !== undefined, { timeout: 60000 });
    await sleep(300);
    const viewport = await page.evaluate(() => ({ width: innerWidth, height: innerHeight }));
    const box = await windowRect(page);
    check(fits(box, viewport) && centred(box, viewport) &&
          Math.abs(box.width - viewport.width) <= 1,
          `the window is fitted again (${box.width} × ${box.height} in ` +
          `${viewport.width} × ${viewport.height})`);
    const centre = at(box, picture.x + picture.width / 2, picture.y + picture.height / 2);
    await page.mouse.click(centre.x, centre.y);
    await sleep(300);
    const dare = await labelText(page, box, "dare-resized");
    check(isDare(dare), `and a click gives a dare: "${dare}"`);
    await context.close();
}

async function offline(page, server) {
    console.log("# offline");
    await programKept(page);
    server.stop();
    await sleep(300);
    await page.reload();
    await page.waitForFunction(() => window.firstFrame !== undefined, { timeout: 60000 });
    await sleep(300);
    const box = await windowRect(page);
    const centre = at(box, picture.x + picture.width / 2, picture.y + picture.height / 2);
    await page.mouse.click(centre.x, centre.y);
    await sleep(300);
    const dare = await labelText(page, box, "dare-offline");
    check(isDare(dare), `with the server gone, a reload still plays: "${dare}"`);
}

const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    args: ["--no-sandbox", "--lang=en-US", "--force-color-profile=srgb",
           "--font-render-hinting=none"],
});
try {
    const server = await serve(site);
    await firstVisitBytes(browser, server);
    const { page } = await desktop(browser, server);
    await phone(browser, server);
    await resized(browser, server);
    await accessibility(page);
    await offline(page, server);
} finally {
    await browser.close();
}
console.log(failures ? `${failures} checks failed` : "all checks passed");
process.exit(failures ? 1 : 0);
