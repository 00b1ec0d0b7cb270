// Real input and screenshots in each engine, behind one small interface (see play.mjs):
// puppeteer-core for Chromium (DevTools protocol) and Firefox (WebDriver BiDi), plain W3C
// WebDriver for WebKitGTK.
import { readFileSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import net from "node:net";
import path from "node:path";

export const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

// Asks probe every 100 ms until it answers with something true, at most tries times, and returns
// its last answer. A probe that throws (a page coming in has no context yet) answers false.
export async function until(probe, tries = 50) {
    let answer = false;
    for (let i = 0; i < tries; i++) {
        answer = await Promise.resolve().then(probe).catch(() => false);
        if (answer)
            return answer;
        await sleep(100);
    }
    return answer;
}

// Stops the server whose pid the file holds; says whether port 443 then refuses.
export async function stopServer(pidFile) {
    process.kill(Number(readFileSync(pidFile, "utf8")));
    return until(() => new Promise(resolve => {
        const socket = net.connect(443, "127.0.0.1");
        socket.on("connect", () => { socket.destroy(); resolve(false); });
        socket.on("error", () => resolve(true));
    }), 100);
}

// What a headless Chromium needs here: no sandbox as root, nothing fetched behind the test's back.
export const chromiumFlags = ["--no-sandbox", "--disable-gpu", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync"];

// Chromium or Firefox, headless, driven by puppeteer-core from the test's own modules (tests/web/
// modules.sh installs them). With host, that name resolves to this machine; with home, Chromium
// trusts the authorities of home/.pki/nssdb and Firefox those of home/profile; args are
// Chromium's, after its own, and a window of 1280 × 800 unless they say otherwise.
export async function launch(engine, executablePath, { host, home, args = [] } = {}) {
    const puppeteer = createRequire(`${process.env.TAZZLE_NODE_MODULES}/`)("puppeteer-core");
    const chromium = engine === "chromium";
    const size = args.some(flag => flag.startsWith("--window-size")) ? [] :
        ["--window-size=1280,800"];
    return puppeteer.launch({
        browser: chromium ? "chrome" : engine, executablePath, headless: true,
        defaultViewport: null,
        args: chromium ? [...chromiumFlags, ...size, ...args,
            ...(host ? [`--host-resolver-rules=MAP ${host} 127.0.0.1`] : [])] : [],
        env: home ? { ...process.env, HOME: home } : process.env,
        userDataDir: home && !chromium ? path.join(home, "profile") : undefined,
        extraPrefsFirefox: { "browser.shell.checkDefaultBrowser": false,
                             ...(host ? { "network.dns.localDomains": host } : {}) } });
}

export async function puppeteerDriver(browser, context, work, viewport) {
    const page = await context.newPage();
    page.on("console", message => console.log(`  page: ${message.text()}`));
    page.on("pageerror", error => console.log(`  page error: ${error.message}`));
    if (viewport)
        await page.setViewport(viewport);
    return {
        page,
        version: () => browser.version(),
        open: url => page.goto(url, { waitUntil: "load" }),
        go: async url => { page.goto(url, { timeout: 0 }).catch(() => {}); },
        evaluate: expression => page.evaluate(expression),
        move: ({ x, y }) => page.mouse.move(x, y),
        click: ({ x, y }) => page.mouse.click(x, y),
        key: key => page.keyboard.press(key),
        async screenshot(name) {
            const file = path.join(work, `${name}.png`);
            await page.screenshot({ path: file });
            return file;
        },
        tabs: async () => browser.targets().filter(target => target.type() === "page"),
        async titleOf(tab) {
            const page = await tab.page();
            await page.waitForFunction("document.readyState === 'complete'");
            return page.title();
        },
        // An expression whose value may be a promise, settled.
        settle: expression => page.evaluate(expression),
    };
}

// WebKitWebDriver at base, driving MiniBrowser. With the page load strategy "none", open does not
// wait for the page to load (go, as puppeteer's driver has it).
export async function webDriver(base, browserBinary, work, pageLoadStrategy = "normal") {
    async function call(method, where, body) {
        const response = await fetch(base + where, { method,
            headers: { "content-type": "application/json" },
            body: body === undefined ? undefined : JSON.stringify(body) });
        const answer = await response.json();
        if (!response.ok)
            throw new Error(`${method} ${where}: ${JSON.stringify(answer.value)}`);
        return answer.value;
    }
    const created = await call("POST", "/session", { capabilities: { alwaysMatch: {
        pageLoadStrategy,
        "webkitgtk:browserOptions": { binary: browserBinary, args: ["--automation"] } } } });
    const session = `/session/${created.sessionId}`;
    const pointer = actions => call("POST", `${session}/actions`, { actions: [{ type: "pointer",
        id: "mouse", parameters: { pointerType: "mouse" }, actions }] });
    const keys = { Enter: "\uE007", Tab: "\uE004" };
    const driver = {
        version: async () => `${created.capabilities.browserName} ` +
            created.capabilities.browserVersion,
        open: url => call("POST", `${session}/url`, { url }),
        go: url => call("POST", `${session}/url`, { url }),
        evaluate: expression => call("POST", `${session}/execute/sync`,
            { script: `return ${expression};`, args: [] }),
        move: ({ x, y }) => pointer([{ type: "pointerMove", duration: 0, origin: "viewport",
            x: Math.round(x), y: Math.round(y) }]),
        click: ({ x, y }) => pointer([{ type: "pointerMove", duration: 0, origin: "viewport",
            x: Math.round(x), y: Math.round(y) }, { type: "pointerDown", button: 0 },
            { type: "pointerUp", button: 0 }]),
        key: key => call("POST", `${session}/actions`, { actions: [{ type: "key", id: "keys",
            actions: [{ type: "keyDown", value: keys[key] ?? key },
                      { type: "keyUp", value: keys[key] ?? key }] }] }),
        async screenshot(name) {
            // What is on the screen two frames on; the whole view, cropped by the caller.
            await call("POST", `${session}/execute/async`, { args: [], script:
                "const done = arguments[0]; requestAnimationFrame(() => " +
                "requestAnimationFrame(() => done()));" });
            const file = path.join(work, `${name}.png`);
            writeFileSync(file, Buffer.from(await call("GET", `${session}/screenshot`), "base64"));
            return file;
        },
        tabs: () => call("GET", `${session}/window/handles`),
        async titleOf(handle) {
            const current = await call("GET", `${session}/window`);
            await call("POST", `${session}/window`, { handle });
            const title = await until(() => driver.evaluate(
                "document.readyState === 'complete' && document.title")) || "";
            await call("POST", `${session}/window`, { handle: current });
            return title;
        },
        settle: expression => call("POST", `${session}/execute/async`, { args: [], script:
            `Promise.resolve(${expression}).then(arguments[0], e => arguments[0](String(e)));` }),
        close: () => call("DELETE", session),
        resize: (width, height) => call("POST", `${session}/window/rect`, { width, height }),
    };
    return driver;
}
