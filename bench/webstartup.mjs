// Navigation to first frame of the web page beside a bare Qt window's page built the same way:
// cold (a fresh profile each time, so nothing cached and no service worker), over loopback,
// brotli as a real server sends it, alternating, median of 5 each.
// Usage: node webstartup.mjs <site folder> <bare window's site folder> <chromium>
import { firstFrame, puppeteer, serve } from "../tests/web/page.mjs";

const [site, bare, chromium] = process.argv.slice(2);
const runs = 5;
const browser = await puppeteer.launch({ executablePath: chromium, headless: true,
                                         args: ["--no-sandbox"] });
const servers = { tazzle: await serve(site), bare: await serve(bare) };
const times = { tazzle: [], bare: [] };
try {
    for (let run = 0; run < runs; run++) {
        for (const name of ["tazzle", "bare"]) {
            const context = await browser.createBrowserContext();
            const page = await context.newPage();
            await page.setViewport({ width: 1280, height: 800 });
            times[name].push(await firstFrame(page, servers[name].url));
            await context.close();
        }
    }
} finally {
    await browser.close();
    Object.values(servers).forEach(server => server.stop());
}
const median = list => [...list].sort((a, b) => a - b)[Math.floor(list.length / 2)];
const ms = list => list.map(time => Math.round(time)).join(", ");
console.log(`# navigation to first frame, cold, median of ${runs}`);
console.log(`Tazzle:     ${Math.round(median(times.tazzle))} ms  (${ms(times.tazzle)})`);
console.log(`bare Qt:    ${Math.round(median(times.bare))} ms  (${ms(times.bare)})`);
console.log(`ratio:      ×${(median(times.tazzle) / median(times.bare)).toFixed(3)}`);
