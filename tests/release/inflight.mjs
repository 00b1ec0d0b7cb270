// The game's service worker installing while the next release goes live, in Chromium: the test's
// proxy holds the worker's fetches from the moment its script is answered until the next
// release is published. Then the worker's cache holds the files of one release, whole, and with
// the server gone the game plays from it.
// Usage: node inflight.mjs <chromium> <trust home> <site url> <control folder> <version=site>...
//   (each site: a release's site folder; the proxy's pid is in <control folder>/proxy.pid)
import { createHash } from "node:crypto";
import { existsSync, readFileSync } from "node:fs";
import path from "node:path";
import { launch, puppeteerDriver, stopServer, until } from "../web/drivers.mjs";
import { at, check, dares, dareText, failed, ready, spots, windowBox } from "../web/play.mjs";

const [binary, home, url, control, ...releases] = process.argv.slice(2);
const sites = Object.fromEntries(releases.map(release => release.split("=")));
const host = new URL(url).host;
const sha256 = file => existsSync(file) && createHash("sha256").update(readFileSync(file))
    .digest("hex");

const browser = await launch("chromium", binary, { host, home });
try {
    const driver = await puppeteerDriver(browser, browser.defaultBrowserContext(), control,
                                         { width: 1280, height: 800 });
    await driver.open(`${url}/play/`);
    // Settled: a worker in control, and its one cache as full as its list.
    const entries = await until(async () => {
        const held = await driver.settle(`(async () => {
            const names = await caches.keys();
            const worker = (await navigator.serviceWorker.getRegistration())?.active;
            if (!navigator.serviceWorker.controller || names.length !== 1 || !worker)
                return [];
            const cache = await caches.open(names[0]);
            const requests = await cache.keys();
            const kept = (await (await fetch(worker.scriptURL)).text()).match(/const kept = (.*);/);
            if (!kept || requests.length < JSON.parse(kept[1]).length)
                return [];
            return Promise.all(requests.map(async request => {
                const body = await (await cache.match(request)).arrayBuffer();
                const digest = await crypto.subtle.digest("SHA-256", body);
                return [new URL(request.url).pathname, [...new Uint8Array(digest)]
                    .map(b => b.toString(16).padStart(2, "0")).join("")];
            }));
        })()`);
        return held.length > 0 && held;
    }, 300) || [];
    const ran = existsSync(path.join(control, "ran")) &&
        readFileSync(path.join(control, "ran"), "utf8").split("\n")[0] === "0";
    check(ran && entries.length > 0, `the next release went live while the worker installed, ` +
          `and a worker then holds ${entries.length} files`);
    // Whose files they are: one release's, every one.
    const owners = entries.map(([address, digest]) => Object.keys(sites).filter(version =>
        sha256(path.join(sites[version], address.slice(1) +
                         (address.endsWith("/") ? "index.html" : ""))) === digest));
    const whole = Object.keys(sites).filter(version => owners.every(o => o.includes(version)));
    check(whole.length > 0, `the worker's cache holds the files of one release, whole: ` +
          (whole.join(" or ") || JSON.stringify(entries.map(([a], i) => [a, owners[i]]))));

    // The server goes; the game stays.
    const down = await stopServer(path.join(control, "proxy.pid"));
    await driver.open(`${url}/play/`);
    const played = await ready(driver);
    await driver.click(at(await windowBox(driver), spots.picture));
    const dare = await dareText(driver);
    check(down && played && dares.includes(dare), `offline after that: the game plays, "${dare}"`);
} catch (error) {
    check(false, error.stack);
} finally {
    await browser.close().catch(() => {});
}
process.exit(failed() ? 1 : 0);
