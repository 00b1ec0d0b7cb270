// The makers' site in one engine that trusts the run's authority, at the site's own address:
// the home page shows, in its face and with its screenshot, and each of its links leads where
// it says; "Play in your browser" starts the game; the game's link opens the home page; and
// after that one visit, with the server stopped, the game plays offline. In Chromium also the
// home page on a phone, its bytes over the wire and Lighthouse.
// Usage: node site.mjs chromium|firefox <browser> <work> <site url> <home title> <trust folder>
//        node site.mjs webkit <MiniBrowser> <work> <site url> <home title> <WebKitWebDriver>
import path from "node:path";
import { lighthouse } from "../../bench/lighthouse.mjs";
import { chromiumFlags, launch, puppeteerDriver, stopServer, until, webDriver }
    from "../web/drivers.mjs";
import { at, check, dares, dareText, failed, ready, spots, windowBox } from "../web/play.mjs";

const [engine, binary, work, url, homeTitle, extra] = process.argv.slice(2);
const host = new URL(url).host;
const home = `${url}/`;
const within = async condition => Boolean(await until(condition, 100));

async function homePage(driver) {
    await driver.open(home);
    const shown = await driver.settle(`(async () => {
        await document.fonts.ready;
        const image = document.querySelector("img");
        return { title: document.title, heading: document.querySelector("h1").textContent,
                 face: document.fonts.check('700 1em "Liberation Sans"') &&
                       [...document.fonts].some(font => font.status === "loaded"),
                 screenshot: image.complete && image.naturalWidth };
    })()`);
    check(shown.title === homeTitle && shown.heading === "Tazzle" && shown.face &&
          shown.screenshot > 0, `${engine}: the home page "${shown.title}" shows, in its face, ` +
          `with the screenshot (${shown.screenshot} pixels wide)`);
    await driver.screenshot(`${engine}-home-1280x800`);
    // Each link: a place on the page, or an address that answers.
    const links = await driver.settle(`Promise.all([...document.querySelectorAll("a[href]")]
        .map(async a => {
            const href = a.getAttribute("href");
            if (href.startsWith("#"))
                return [href, document.getElementById(href.slice(1)) ? 200 : 404];
            const response = await fetch(a.href, { method: "HEAD" });
            return [href, response.status];
        }))`);
    const broken = links.filter(([, status]) => status !== 200);
    check(links.length >= 10 && broken.length === 0, `${engine}: ${links.length} links lead ` +
          `where they say` + (broken.length ? `; not: ${JSON.stringify(broken)}` : ""));
    const play = await driver.evaluate(`(() => { const box = document.querySelector("a.play")
        .getBoundingClientRect(); return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
    })()`);
    await driver.click(play);
    await within(async () => (await driver.evaluate("location.href")) === `${home}play/`);
    check(await ready(driver), `${engine}: "Play in your browser" starts the game at /play/`);
}

async function game(driver) {
    // Once the worker holds the page and its files, the visit has made it playable offline.
    const kept = await within(() => driver.settle(`(async () =>
        !!navigator.serviceWorker.controller &&
        (await caches.keys()).length === 1 &&
        (await (await caches.open((await caches.keys())[0])).keys())
            .some(request => request.url.endsWith(".wasm")))()`));
    check(kept, `${engine}: the first visit leaves the game in the service worker's cache, ` +
          `scoped to ${await driver.settle("navigator.serviceWorker.ready.then(r => r.scope)")}`);

    const before = await driver.tabs();
    await driver.click(at(await windowBox(driver), spots.link));
    let opened = [];
    await within(async () => {
        opened = (await driver.tabs()).filter(tab => !before.includes(tab));
        return opened.length > 0;
    });
    const title = opened.length ? await driver.titleOf(opened[0]) : "(no tab)";
    check(opened.length === 1 && title === homeTitle,
          `${engine}: the game's link opens the home page ("${title}")`);

    // The server goes; the game stays.
    const down = await stopServer(path.join(work, "nginx", "nginx.pid"));
    await driver.open(`${home}play/`);
    const played = await ready(driver);
    await driver.click(at(await windowBox(driver), spots.picture));
    const dare = await dareText(driver);
    check(down && played && dares.includes(dare),
          `${engine}: with the server stopped, /play/ plays offline: "${dare}"`);
}

// The home page on a phone, and what its first visit costs.
async function chromiumOnly(browser) {
    const context = await browser.createBrowserContext();
    const driver = await puppeteerDriver(browser, context, work, { width: 390, height: 844,
        deviceScaleFactor: 3, isMobile: true, hasTouch: true });
    const cdp = await driver.page.createCDPSession();
    await cdp.send("Network.enable");
    await cdp.send("Network.setCacheDisabled", { cacheDisabled: true });
    const sizes = new Map();
    cdp.on("Network.responseReceived", event => sizes.set(event.requestId, event.response.url));
    let wire = 0, shot = 0;
    cdp.on("Network.loadingFinished", event => {
        if (sizes.get(event.requestId)?.endsWith("/screenshot.png"))
            shot += event.encodedDataLength;
        else
            wire += event.encodedDataLength;
    });
    await driver.page.goto(home, { waitUntil: "networkidle0" });
    const width = await driver.evaluate("document.documentElement.scrollWidth");
    check(width <= 390, `phone: the home page fits a 390-pixel screen (${width})`);
    await driver.screenshot("chromium-home-phone-390x844");
    const budget = 24 * 1024;
    check(wire <= budget, `the home page's first visit: ${wire} bytes over the wire, headers ` +
          `included (budget ${budget}), and the screenshot ${shot}`);
    await context.close();
}

let browser, driver;
try {
    if (engine === "webkit") {
        driver = await webDriver(extra, binary, work);
        await driver.resize(1280, 800);
    } else {
        browser = await launch(engine, binary, { host, home: extra });
        driver = await puppeteerDriver(browser, browser.defaultBrowserContext(), work,
                                       { width: 1280, height: 800 });
        if (engine === "chromium") {
            await chromiumOnly(browser);
            const flags = chromiumFlags.concat("--headless=new",
                `--host-resolver-rules="MAP ${host} 127.0.0.1"`);
            const report = await lighthouse(home, binary, flags, { HOME: extra },
                ["performance", "accessibility", "best-practices", "seo"]);
            for (const id of ["accessibility", "best-practices", "seo"])
                check(report[id] === 100, `Lighthouse on the home page: ${id} ${report[id]}`);
        }
    }
    console.log(`# ${engine}: ${await driver.version()}`);
    await homePage(driver);
    await game(driver);
} catch (error) {
    check(false, `${engine}: ${error.stack}`);
} finally {
    await (browser ? browser.close() : driver?.close())?.catch(() => {});
}
process.exit(failed() ? 1 : 0);
