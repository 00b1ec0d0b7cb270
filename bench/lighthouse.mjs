// Lighthouse's mobile run of one page, with its own simulated throttling, in the Chromium given:
// prints the scores and the metrics, and each audit that costs a category points.
import { execFileSync } from "node:child_process";
import { mkdtempSync, readFileSync, rmSync } from "node:fs";
import { createRequire } from "node:module";
import os from "node:os";
import path from "node:path";

// Resolves to each category's score out of 100.
export async function lighthouse(url, chromium, flags, env, categories) {
    const require = createRequire(`${process.env.TAZZLE_NODE_MODULES}/`);
    const work = mkdtempSync(path.join(os.tmpdir(), "lighthouse-"));
    try {
        const report = path.join(work, "report.json");
        execFileSync(process.execPath, [require.resolve("lighthouse/cli/index.js"), url,
            "--output=json", `--output-path=${report}`, "--quiet",
            `--only-categories=${categories.join(",")}`, `--chrome-flags=${flags.join(" ")}`],
            { env: { ...process.env, CHROME_PATH: chromium, HOME: work, ...env },
              stdio: "inherit" });
        const lh = JSON.parse(readFileSync(report, "utf8"));
        const scores = Object.fromEntries(categories.map(id =>
            [id, Math.round(lh.categories[id].score * 100)]));
        const metric = id => lh.audits[id].displayValue;
        console.log(`# Lighthouse ${lh.lighthouseVersion}, ${lh.configSettings.formFactor}, ` +
                    `${lh.environment.hostUserAgent.match(/Chrome\/[\d.]+/)?.[0]}: ${url}`);
        console.log(categories.map(id => `${id} ${scores[id]}`).join(", "));
        console.log(`FCP ${metric("first-contentful-paint")}, LCP ` +
                    `${metric("largest-contentful-paint")}, TBT ${metric("total-blocking-time")}` +
                    `, CLS ${metric("cumulative-layout-shift")}, SI ${metric("speed-index")}`);
        for (const id of categories) {
            for (const ref of lh.categories[id].auditRefs) {
                const audit = lh.audits[ref.id];
                if (ref.weight > 0 && audit.score !== null && audit.score < 1)
                    console.log(`  ${id}: ${audit.id}: ${audit.title}`);
            }
        }
        return scores;
    } finally {
        rmSync(work, { recursive: true, force: true });
    }
}
