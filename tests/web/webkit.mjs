// Plays the site in WebKitGTK's MiniBrowser, the engine family of Safari, over plain W3C
// WebDriver.
// Usage: node webkit.mjs <MiniBrowser> <work> <url> <website> <WebKitWebDriver address>
import { webDriver } from "./drivers.mjs";
import { check, earlyTaps, failed, play } from "./play.mjs";

const [binary, work, url, website, base] = process.argv.slice(2);
let driver;
try {
    driver = await webDriver(base, binary, work);
    await driver.resize(1280, 800);
    await play(driver, "webkit", url, website);
    await driver.close();
    // A session that does not wait for pages to load, since a held program holds them up.
    driver = await webDriver(base, binary, work, "none");
    await driver.resize(1280, 800);
    await earlyTaps(driver, "webkit", url);
} catch (error) {
    check(false, `webkit: ${error.stack}`);
} finally {
    await driver?.close().catch(() => {});
}
process.exit(failed() ? 1 : 0);
