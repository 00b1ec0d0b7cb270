// Plays the site in Chromium or Firefox, driven by puppeteer-core; in Chromium also on a phone,
// in a resized window, through the accessibility tree and axe, offline, across an update, and
// with its program blocked; in every engine, tapped before its program has come.
// Usage: node browsers.mjs chromium|firefox <browser> <work> <url> <website>
//            [<live site link> <site> <second build's site> <second build's website>]
import { readFileSync, renameSync, symlinkSync } from "node:fs";
import path from "node:path";
import { launch, puppeteerDriver, sleep, until } from "./drivers.mjs";
import { at, check, client, dares, dareText, earlyTaps, failed, highlighted, play, prompt, ready,
         spots, title, windowBox } from "./play.mjs";

const [engine, executable, work, url, website, live, site, second, secondWebsite] =
    process.argv.slice(2);
const browser = await launch(engine, executable);

async function fresh(viewport) {
    const context = await browser.createBrowserContext();
    return { context, driver: await puppeteerDriver(browser, context, work, viewport) };
}

const host = new URL(website).host;

// A phone held upright, played with a finger.
async function phone() {
    const { context, driver } = await fresh({ width: 390, height: 844, deviceScaleFactor: 3,
                                              isMobile: true, hasTouch: true });
    await driver.open(url);
    check(await ready(driver), "phone: the program starts");
    const box = await windowBox(driver);
    check(Math.abs(box.width - 390) < 1 && box.ratio === 3, `phone: the window spans the ` +
          `screen's width (${box.width.toFixed(1)} × ${box.height.toFixed(1)} at ${box.ratio})`);
    const tap = spot => { const p = at(box, spot); return driver.page.touchscreen.tap(p.x, p.y); };
    await tap(spots.picture);
    const dare = await dareText(driver);
    check(dares.includes(dare) && await highlighted(driver),
          `phone: a tap on the picture lights it and gives a dare: "${dare}"`);
    await driver.screenshot("phone-390x844");
    const lit = [];
    for (const spot of [spots.label, spots.picture, spots.bare]) {
        await tap(spot);
        lit.push(await highlighted(driver));
    }
    check(JSON.stringify(lit) === "[false,true,false]", "phone: a tap on the label puts it " +
          `out, on the picture lights it, on bare window puts it out ${JSON.stringify(lit)}`);
    await context.close();
}

// A real browser window, resized: the window follows, and clicks land where it is drawn.
async function resized() {
    const { context, driver } = await fresh(null);
    await driver.open(url);
    await ready(driver);
    await driver.screenshot("desktop-1280x800");
    const session = await driver.page.createCDPSession();
    const { windowId } = await session.send("Browser.getWindowForTarget");
    for (const [width, height] of [[700, 713], [1100, 800], [640, 480], [1280, 800]]) {
        await session.send("Browser.setWindowBounds", { windowId, bounds: { width, height } });
        await sleep(300);
        const box = await windowBox(driver);
        const scale = Math.min(box.viewport.width / client.width,
                               box.viewport.height / client.height);
        await driver.click(at(box, spots.picture));
        check(Math.abs(box.width - client.width * scale) < 1 &&
              dares.includes(await dareText(driver)),
              `window ${width} × ${height}: the window fits ${box.viewport.width} × ` +
              `${box.viewport.height} and a click gives a dare`);
    }
    await context.close();
}

// What a screen reader finds, as the page comes, and its press; axe's verdict.
async function accessible() {
    const { context, driver } = await fresh({ width: 1280, height: 800 });
    await driver.open(url);
    await ready(driver);
    const tree = await driver.page.accessibility.snapshot();
    const nodes = [];
    const walk = node => { nodes.push(node); (node.children ?? []).forEach(walk); };
    walk(tree);
    const find = (role, name) => nodes.find(node => node.role === role && name(node.name ?? ""));
    check(tree.name === title, `the page is named "${tree.name}"`);
    check(!!find("button", name => name === "Get Dare"), 'a button named "Get Dare"');
    check(!!find("link", name => name.includes(host)), `a link whose name holds ${host}`);
    check(!!find("heading", name => name === "Tazzle"), 'the logo is the heading "Tazzle"');
    check(!!find("StaticText", name => name === prompt), "the prompt is text");
    check(nodes.filter(node => node.role === "button").length === 1,
          "one button, not two: the highlight is for the eye only");

    // A screen reader's press is a click with no pointer; each dare changes the live region
    // once, the same dare twice in a row too.
    const region = await driver.evaluate(`(() => {
        const label = document.getElementById("lblDare");
        window.changes = 0;
        new MutationObserver(records => { window.changes += records.length; })
            .observe(label, { childList: true, characterData: true, subtree: true });
        return label.getAttribute("aria-live");
    })()`);
    const said = [];
    for (let i = 0; i < 30; i++) {
        await driver.evaluate(`document.getElementById("imgGetDare").click()`);
        said.push(await dareText(driver));
    }
    await sleep(100);
    const changes = await driver.evaluate("window.changes");
    const repeats = said.filter((dare, i) => i > 0 && dare === said[i - 1]).length;
    check(region === "polite" && changes === 30 && said.every(dare => dares.includes(dare)),
          `the label is a polite live region told of each of 30 dares (${changes} changes, ` +
          `${repeats} repeated in a row)`);

    const axe = readFileSync(path.join(process.env.TAZZLE_NODE_MODULES, "node_modules",
                                       "axe-core", "axe.min.js"), "utf8");
    await driver.evaluate(axe);
    const result = await driver.evaluate("axe.run()");
    const version = await driver.evaluate("axe.version");
    check(result.violations.length === 0, `axe-core ${version}: ${result.violations.length} ` +
          `violations, ${result.passes.length} rules passed ` +
          result.violations.map(v => `${v.id}: ${v.help}`).join("; "));
    await context.close();
}

// Without the program or the face, the page says so in words where the window was; nothing
// from the address reaches the page as markup.
async function faults() {
    for (const [blocked, words] of [[".wasm", "program did not load"]]) {
        const { context, driver } = await fresh({ width: 1280, height: 800 });
        await driver.page.setRequestInterception(true);
        driver.page.on("request", request => request.url().endsWith(blocked) ?
            request.abort() : request.continue());
        await driver.open(url);
        const status = await until(() => driver.evaluate(`(() => {
            const s = document.getElementById("status");
            return !s.hidden && document.getElementById("frmTazzle").hidden ?
                s.textContent : ""; })()`)) || "";
        check(status.includes(words), `${blocked} blocked: the page says "${status}"`);
        await driver.screenshot(`blocked${blocked.replace(".", "-")}`);
        await context.close();
    }
    const { context, driver } = await fresh({ width: 1280, height: 800 });
    let dialogs = 0;
    driver.page.on("dialog", dialog => { dialogs++; dialog.dismiss(); });
    const elements = "document.querySelectorAll('img, b, script').length";
    await driver.open(url);
    const plain = await driver.evaluate(elements);
    await driver.open(url + "?<img src=x onerror=alert(1)>&t=<b>x</b>#<script>alert(2)</script>");
    await ready(driver);
    await driver.click(at(await windowBox(driver), spots.picture));
    const count = await driver.evaluate(elements);
    check(dialogs === 0 && count === plain && dares.includes(await dareText(driver)),
          "markup in the address stays out of the page");
    // The page's policy lets in its own scripts and its one inline script, no others: not the
    // same program from another origin, not another inline script.
    const elsewhere = await driver.evaluate(`(() => {
        const own = document.querySelector("script[src]").src;
        const other = new URL(own);
        other.hostname = other.hostname === "localhost" ? "127.0.0.1" : "localhost";
        return other.href;
    })()`);
    const blocked = await driver.evaluate(`new Promise(resolve => {
        const seen = [];
        window.ran = [];
        document.addEventListener("securitypolicyviolation",
            event => seen.push(event.violatedDirective + " " + event.blockedURI));
        const other = document.createElement("script");
        other.src = ${JSON.stringify(elsewhere)};
        other.onload = () => ran.push("other");
        document.head.append(other);
        const inline = document.createElement("script");
        inline.textContent = "ran.push('inline')";
        document.head.append(inline);
        setTimeout(() => resolve({ seen, ran }), 1000);
    })`);
    check(blocked.ran.length === 0 && blocked.seen.some(seen => seen.endsWith(elsewhere)) &&
          blocked.seen.some(seen => seen.endsWith(" inline")),
          `the policy blocks another origin's script and another inline one: ` +
          JSON.stringify(blocked));
    await context.close();
}

function deploy(folder) {
    symlinkSync(folder, `${live}.next`);
    renameSync(`${live}.next`, live);
}

// Offline at every address of the page; a new build arrives at the next visit, whole.
async function offlineAndUpdate() {
    const { context, driver } = await fresh({ width: 1280, height: 800 });
    const page = driver.page;
    await driver.open(url);
    await ready(driver);
    await page.evaluate("navigator.serviceWorker.ready");
    const kept = async () => page.evaluate(`(async () => { const urls = [];
        for (const name of await caches.keys())
            urls.push(...(await (await caches.open(name)).keys()).map(r => name + " " + r.url));
        return urls; })()`);
    const cached = await until(async () => {
        const entries = await kept();
        return entries.some(entry => entry.endsWith(".wasm")) && entries;
    }) || [];
    check(cached.some(entry => entry.endsWith(".wasm")), "the offline cache holds the program");
    await page.setOfflineMode(true);
    for (const address of ["", "index.html", "?from=home", "index.html?utm=x"]) {
        await driver.open(url + address);
        const played = await ready(driver);
        await driver.click(at(await windowBox(driver), spots.picture));
        check(played && dares.includes(await dareText(driver)),
              `offline at /${address}: the page plays`);
    }
    await page.setOfflineMode(false);

    const files = folder => readFileSync(path.join(folder, "sw.js"), "utf8")
        .match(/tazzle-[0-9a-f]{16}\.(js|wasm)/g);
    deploy(second);
    try {
        await driver.open(url);
        await ready(driver);
        const loaded = await page.evaluate(`performance.getEntriesByType("resource")
            .map(entry => entry.name.split("/").pop())
            .filter(name => /^tazzle-/.test(name))`);
        const link = await page.evaluate(`document.getElementById("lblMore").href`);
        check(link.startsWith(secondWebsite) && loaded.length === 2 &&
              loaded.every(name => files(second).includes(name)),
              `the next visit after an update has the new build, whole: ${loaded.join(", ")}`);
        let caches = [];
        await until(async () => {
            caches = [...new Set((await kept()).map(entry => entry.split(" ")[0]))];
            return caches.length === 1 && (await kept()).some(e => e.endsWith(".wasm"));
        });
        check(caches.length === 1, `one offline cache left: ${caches.join(", ")}`);
        await page.setOfflineMode(true);
        await driver.open(url);
        await ready(driver);
        await driver.click(at(await windowBox(driver), spots.picture));
        const offlineLink = await page.evaluate(`document.getElementById("lblMore").href`);
        check(offlineLink.startsWith(secondWebsite) && dares.includes(await dareText(driver)),
              "offline after the update: the new build plays");
        await page.setOfflineMode(false);
    } finally {
        deploy(site);
    }
    await context.close();
}

try {
    const context = browser.defaultBrowserContext();
    const driver = await puppeteerDriver(browser, context, work,
                                         { width: 1280, height: 800 });
    await play(driver, engine, url, website);
    for (const page of await browser.pages()) {
        if (page !== driver.page)
            await page.close();
    }
    {
        const { context, driver } = await fresh({ width: 1280, height: 800 });
        await earlyTaps(driver, engine, url);
        await context.close();
    }
    if (engine === "chromium") {
        await phone();
        await resized();
        await accessible();
        await faults();
        await offlineAndUpdate();
    }
} catch (error) {
    check(false, `${engine}: ${error.stack}`);
} finally {
    await browser.close();
}
process.exit(failed() ? 1 : 0);
