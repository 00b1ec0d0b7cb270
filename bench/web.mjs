// What a first visit to the site costs: the bytes a visit can fetch; on the phone that
// Lighthouse's DevTools throttling stands for, the times to the first paint, the prompt, "Get
// Dare" and the first dare of a player who clicks it every 20 ms from the start; and Lighthouse's
// own scores.
// Fails only on what is not a timing: the byte budget, and Lighthouse's accessibility and best
// practices scores.
// Usage: node web.mjs <site folder> <url> <chromium>
import { readdirSync, readFileSync, statSync } from "node:fs";
import path from "node:path";
import zlib from "node:zlib";
import { chromiumFlags, launch } from "../tests/web/drivers.mjs";
import { lighthouse } from "./lighthouse.mjs";

const [site, url, chromium] = process.argv.slice(2);
const budget = 48 * 1024;
const flags = ["--headless=new", ...chromiumFlags];
let failed = false;

// Every file a visit can fetch, licence texts aside, as a server sends it with brotli.
console.log("# sizes (bytes): raw, gzip, brotli");
let total = 0;
for (const name of readdirSync(site).sort()) {
    const file = path.join(site, name);
    if (!statSync(file).isFile() || /\.(br|gz)$/.test(name) || /^LICEN[SC]E/.test(name))
        continue;
    const raw = readFileSync(file);
    const br = statSync(file + ".br", { throwIfNoEntry: false })?.size;
    const gz = statSync(file + ".gz", { throwIfNoEntry: false })?.size;
    total += br ?? raw.length;
    console.log(`${name.padEnd(44)} ${String(raw.length).padStart(6)} ${String(gz ?? "-")
        .padStart(6)} ${String(br ?? "-").padStart(6)}`);
}
console.log(`first visit at most: ${total} bytes (budget ${budget})`);
if (total > budget)
    failed = true;

// Lighthouse's mobile profile: a 412 × 823 screen at 1.75, 562.5 ms round trips, 1.47 Mbit/s
// down, 675 kbit/s up, the processor 4 times slower. Cold: a fresh profile each time.
const runs = 3;
const results = [];
const browser = await launch("chromium", chromium);
try {
    for (let run = 0; run < runs; run++) {
        const context = await browser.createBrowserContext();
        const page = await context.newPage();
        const cdp = await page.createCDPSession();
        await cdp.send("Network.enable");
        await cdp.send("Network.emulateNetworkConditions", { offline: false, latency: 562.5,
            downloadThroughput: 1474.56 * 1024 / 8, uploadThroughput: 675 * 1024 / 8 });
        await cdp.send("Emulation.setCPUThrottlingRate", { rate: 4 });
        await page.setViewport({ width: 412, height: 823, deviceScaleFactor: 1.75,
                                 isMobile: true, hasTouch: true });
        let wire = 0;
        cdp.on("Network.loadingFinished", event => { wire += event.encodedDataLength; });
        await page.evaluateOnNewDocument(() => {
            window.paints = [];
            new PerformanceObserver(list => list.getEntries().forEach(entry => window.paints
                .push({ type: entry.entryType, name: entry.name, time: entry.startTime })))
                .observe({ type: "paint", buffered: true });
            // An impatient player: from the frame that first shows "Get Dare", a click on it
            // every 20 ms until the label changes; then how often the label changes at all.
            window.player = { clicks: 0, changes: 0 };
            const look = () => {
                const picture = document.getElementById("imgGetDare");
                const label = document.getElementById("lblDare");
                if (!picture?.getBoundingClientRect().width || !label)
                    return requestAnimationFrame(look);
                player.picture = performance.now();
                const clicking = setInterval(() => { player.clicks++; picture.click(); }, 20);
                new MutationObserver(() => {
                    player.changes++;
                    player.dare ??= performance.now();
                    clearInterval(clicking);
                }).observe(label, { childList: true, characterData: true, subtree: true });
            };
            requestAnimationFrame(look);
            // The prompt shows in the first frame with the label in the page and its face
            // loaded (the text waits for its face).
            const face = () => {
                if (document.getElementById("lblDare") && [...document.fonts]
                    .some(font => font.weight === "700" && font.status === "loaded"))
                    player.prompt = performance.now();
                else
                    requestAnimationFrame(face);
            };
            requestAnimationFrame(face);
        });
        await page.goto(url, { waitUntil: "networkidle0" });
        await new Promise(resolve => setTimeout(resolve, 1000)); // for a late second dare
        const paints = await page.evaluate("window.paints");
        const player = await page.evaluate("window.player");
        const fcp = paints.find(p => p.name === "first-contentful-paint")?.time;
        results.push({ fcp, prompt: player.prompt, picture: player.picture,
                       dare: player.dare, clicks: player.clicks, changes: player.changes, wire });
        await context.close();
    }
} finally {
    await browser.close();
}
const median = list => [...list].sort((a, b) => a - b)[Math.floor(list.length / 2)];
const ms = list => list.map(value => Math.round(value)).join(", ");
console.log(`# throttled phone, cold, median of ${runs} (in ms from the start; each run's own)`);
const row = (what, key, target) => {
    const values = results.map(r => r[key]);
    const after = results.map(r => r[key] - r.fcp);
    console.log(`${what.padEnd(24)} ${String(Math.round(median(values))).padStart(5)} ms ` +
                `(${ms(values)})` + (key === "fcp" ? "" : `; after first paint ` +
                `${Math.round(median(after))} ms (${ms(after)})${target ? `, target ≤ ${target}` : ""}`));
};
row("first paint (FCP):", "fcp");
row("prompt on screen:", "prompt", 250);
row("\"Get Dare\" on screen:", "picture");
row("first dare:", "dare", 800);
console.log(`clicks every 20 ms before it: ${ms(results.map(r => r.clicks))}; ` +
            `dares they gave: ${ms(results.map(r => r.changes))}`);
console.log(`over the wire:          ${median(results.map(r => r.wire))} bytes, headers included`);

// Lighthouse, mobile, with its own simulated throttling. Its performance score moves with
// whatever else the machine does, so the run of the median score is the one that counts.
const lighthouseRuns = [];
for (let run = 0; run < runs; run++) {
    lighthouseRuns.push(await lighthouse(url, chromium, flags, {},
                                         ["performance", "accessibility", "best-practices"]));
}
lighthouseRuns.sort((a, b) => a.performance - b.performance);
const scores = lighthouseRuns[Math.floor(runs / 2)];
console.log(`Lighthouse, median of ${runs}: performance ${scores.performance} ` +
            `(${lighthouseRuns.map(r => r.performance).join(", ")}), accessibility ` +
            `${scores.accessibility}, best-practices ${scores["best-practices"]}`);
if (lighthouseRuns.some(r => r.accessibility < 100 || r["best-practices"] < 100))
    failed = true;
process.exit(failed ? 1 : 0);
