// What a first visit to the site costs: the bytes a visit can fetch, the time to the prompt on
// the phone that Lighthouse's DevTools throttling stands for, and Lighthouse's own scores.
// Fails only on what is not a timing: the byte budget, and Lighthouse's accessibility and best
// practices scores.
// Usage: node web.mjs <site folder> <url> <chromium>
import { readdirSync, readFileSync, statSync } from "node:fs";
import { createRequire } from "node:module";
import path from "node:path";
import zlib from "node:zlib";
import { lighthouse } from "./lighthouse.mjs";

const require = createRequire(`${process.env.TAZZLE_NODE_MODULES}/`);
const puppeteer = require("puppeteer-core");
const [site, url, chromium] = process.argv.slice(2);
const budget = 48 * 1024;
const flags = ["--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync"];
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
const browser = await puppeteer.launch({ executablePath: chromium, headless: true, args: flags });
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
                .push({ type: entry.entryType, name: entry.name, time: entry.startTime,
                        element: entry.element?.id ?? entry.element?.parentElement?.id })))
                .observe({ type: "largest-contentful-paint", buffered: true });
            new PerformanceObserver(list => list.getEntries().forEach(entry => window.paints
                .push({ type: entry.entryType, name: entry.name, time: entry.startTime })))
                .observe({ type: "paint", buffered: true });
        });
        await page.goto(url, { waitUntil: "networkidle0" });
        const paints = await page.evaluate("window.paints");
        const fcp = paints.find(p => p.name === "first-contentful-paint")?.time;
        // The window's text is drawn in one go, in its own face: the prompt with the link.
        const text = paints.find(p => p.type === "largest-contentful-paint" &&
                                      ["lblDare", "lblMore"].includes(p.element));
        results.push({ fcp, prompt: text?.time, element: text?.element, wire });
        await context.close();
    }
} finally {
    await browser.close();
}
const median = list => [...list].sort((a, b) => a - b)[Math.floor(list.length / 2)];
const ms = list => list.map(value => Math.round(value)).join(", ");
console.log(`# throttled phone, cold, median of ${runs}`);
console.log(`first contentful paint: ${Math.round(median(results.map(r => r.fcp)))} ms ` +
            `(${ms(results.map(r => r.fcp))})`);
console.log(`prompt on screen:       ${Math.round(median(results.map(r => r.prompt)))} ms ` +
            `(${ms(results.map(r => r.prompt))}; as painted with ${results[0].element})`);
console.log(`over the wire:          ${median(results.map(r => r.wire))} bytes, headers included`);

// Lighthouse, mobile, with its own simulated throttling.
const scores = await lighthouse(url, chromium, flags, {},
                                ["performance", "accessibility", "best-practices"]);
if (scores.accessibility < 100 || scores["best-practices"] < 100)
    failed = true;
process.exit(failed ? 1 : 0);
