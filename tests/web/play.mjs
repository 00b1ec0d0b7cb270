// The game as a visitor plays it, the same in every engine, through a driver that gives real
// pointer and key input and screenshots: the prompt, the window's place, the rollover, dares
// on real clicks, the link, and no dare from the keys.
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";
import http from "node:http";
import path from "node:path";
import { sleep, until } from "./drivers.mjs";

const here = path.dirname(new URL(import.meta.url).pathname);
// The window as it must be, from the tests' record of it.
const expected = JSON.parse(readFileSync(path.join(here, "..", "window.json"), "utf8"));
export const { title, prompt, dares } = expected;
// The client area and its controls, in its own pixels.
export const client = { width: expected.size[0], height: expected.size[1] };
const rect = ([x, y, width, height]) => ({ x, y, width, height });
// Those the page shows from the start (the hidden push button is not on the page at all).
export const places = Object.fromEntries(["imgLogo", "lblDare", "imgGetDare", "lblMore", "Line1"]
    .map(name => [name, rect(expected.controls[name].rect)]));
const spot = name => ({ x: expected.points[name][0], y: expected.points[name][1] });
export const spots = {
    bare: spot("bare"),
    picture: spot("picture"),
    label: spot("dareLabel"),
    logo: spot("logoCentre"),
    link: spot("linkHost"),
    underline: spot("underline"),
};

let failures = 0;
export function check(ok, what) {
    console.log(`${ok ? "ok  " : "FAIL"} ${what}`);
    if (!ok)
        failures++;
}
export const failed = () => failures;

// The mean brightness (0 to 1) of a rectangle of a screenshot, in device pixels.
export function brightness(png, { x, y, width, height }) {
    return Number(execFileSync("convert", [png, "-crop",
        `${Math.round(width)}x${Math.round(height)}+${Math.round(x)}+${Math.round(y)}`,
        "+repage", "-colorspace", "Gray", "-format", "%[fx:mean]", "info:"]).toString());
}

// Where the window is and how far it is scaled, as the page lays it out.
export function windowBox(driver) {
    return driver.evaluate(`(() => {
        const box = document.getElementById("frmTazzle").getBoundingClientRect();
        return { x: box.x, y: box.y, width: box.width, height: box.height,
                 viewport: { width: innerWidth, height: innerHeight }, ratio: devicePixelRatio };
    })()`);
}

export function at(box, spot) {
    const scale = box.width / client.width;
    return { x: box.x + spot.x * scale, y: box.y + spot.y * scale };
}

export const dareText = driver =>
    driver.evaluate(`document.getElementById("lblDare").textContent`);
export const highlighted = driver =>
    driver.evaluate(`!document.getElementById("imgGetDare_over").hidden`);

// Waits until the program listens to the page.
export async function ready(driver) {
    return until(() => driver.evaluate(`typeof Module === "object" && !!Module.calledRun`), 100);
}

// The picture's look, from a screenshot: the highlight is a solid white pill.
async function pictureBrightness(driver, box, name) {
    const png = await driver.screenshot(name);
    const ratio = box.ratio;
    const scale = box.width / client.width;
    const p = places.imgGetDare;
    return brightness(png, { x: (box.x + (p.x + 10) * scale) * ratio,
        y: (box.y + (p.y + 10) * scale) * ratio, width: (p.width - 20) * scale * ratio,
        height: (p.height - 20) * scale * ratio });
}

export async function play(driver, engine, url, website) {
    console.log(`# ${engine}: ${await driver.version()}`);
    await driver.open(url);
    check(await ready(driver), `${engine}: the program starts`);
    check(await driver.evaluate("document.title") === title, `${engine}: the title`);
    check(await dareText(driver) === prompt, `${engine}: the prompt`);

    const box = await windowBox(driver);
    const scale = Math.min(box.viewport.width / client.width, box.viewport.height / client.height);
    check(Math.abs(box.width - client.width * scale) < 1 &&
          Math.abs(box.x * 2 + box.width - box.viewport.width) < 2 &&
          Math.abs(box.y * 2 + box.height - box.viewport.height) < 2,
          `${engine}: the window fits the ${box.viewport.width} × ${box.viewport.height} ` +
          `viewport by its tighter side, centred (× ${scale.toFixed(3)})`);
    const misplaced = await driver.evaluate(`(() => {
        const places = ${JSON.stringify(places)}, frame = document.getElementById("frmTazzle")
            .getBoundingClientRect(), scale = frame.width / ${client.width}, wrong = [];
        for (const [id, want] of Object.entries(places)) {
            const box = document.getElementById(id).getBoundingClientRect();
            for (const side of ["x", "y", "width", "height"]) {
                const got = (box[side] - (side === "x" ? frame.x : side === "y" ? frame.y : 0))
                    / scale;
                if (Math.abs(got - want[side]) > 0.5)
                    wrong.push(id + "." + side + " " + got.toFixed(2) + " for " + want[side]);
            }
        }
        return wrong;
    })()`);
    check(misplaced.length === 0, `${engine}: every control at its place ${misplaced.join(", ")}`);

    // The rollover: the picture lights up under the pointer, stays lit over its neighbours and
    // goes out over the bare window.
    const move = spot => driver.move(at(box, spot));
    await move(spots.bare);
    const plain = await pictureBrightness(driver, box, `${engine}-plain`);
    await move(spots.picture);
    const lit = await pictureBrightness(driver, box, `${engine}-lit`);
    check(!(await highlighted(driver)) || lit > plain + 0.3,
          `${engine}: the highlight is drawn (${plain.toFixed(2)} → ${lit.toFixed(2)})`);
    const shown = [await highlighted(driver)];
    await move({ x: spots.picture.x + 20, y: spots.picture.y + 5 });
    shown.push(await highlighted(driver));
    await move(spots.label);
    shown.push(await highlighted(driver));
    await move(spots.bare);
    shown.push(await highlighted(driver));
    check(JSON.stringify(shown) === "[true,true,true,false]",
          `${engine}: shown over the picture, kept over the label, hidden over bare window ` +
          JSON.stringify(shown));

    // Dares on real clicks; a click on the logo puts the highlight out and gives none.
    const got = [];
    for (let i = 0; i < 5; i++) {
        await driver.click(at(box, spots.picture));
        got.push(await dareText(driver));
    }
    check(got.every(text => dares.includes(text)), `${engine}: five clicks, five dares`);
    check(await highlighted(driver), `${engine}: the highlight stays lit after a click`);
    const before = await dareText(driver);
    await driver.click(at(box, spots.logo));
    check(!(await highlighted(driver)) && await dareText(driver) === before,
          `${engine}: a click on the logo puts the highlight out and changes nothing else`);

    // No key gets a dare, not even with the button focused.
    await driver.evaluate(`document.getElementById("imgGetDare").focus()`);
    for (const key of ["Enter", " ", "d", "Tab", "Enter", " "])
        await driver.key(key);
    await sleep(200);
    check(await dareText(driver) === before, `${engine}: keys give no dare`);

    // The link: a new tab at the makers' site for each click, on the text or the underline.
    // Tab reaches the link, so the keys above may have opened a tab of their own: it comes in
    // its own time, and is not one of these.
    const earlier = await driver.tabs();
    const tabs = await until(async () => {
        const now = await driver.tabs();
        return now.length !== earlier.length && now;
    }, 30) || earlier;
    const opened = [];
    for (const spot of [spots.link, spots.underline]) {
        await driver.click(at(box, spot));
        // A new tab comes in its own time, slower on a busy machine.
        const now = await until(async () => {
            const now = (await driver.tabs()).filter(tab => !tabs.includes(tab));
            return now.length > opened.length && now;
        }, 150);
        if (now)
            opened.splice(0, opened.length, ...now);
    }
    await sleep(500); // and no third
    const count = (await driver.tabs()).length - tabs.length;
    check(opened.length === 2 && count === 2,
          `${engine}: two clicks on the link, on its text and on its underline, two new tabs ` +
          `(${count})`);
    const cursor = await driver.evaluate(
        `getComputedStyle(document.getElementById("lblMore")).cursor`);
    check(cursor === "pointer", `${engine}: the link pointer over the link (${cursor})`);
    check(await dareText(driver) === before, `${engine}: the link leaves the dare`);
    const link = await driver.evaluate(`(() => { const a = document.getElementById("lblMore");
        return { href: a.href, text: a.textContent }; })()`);
    check(link.href.startsWith(website) && link.text.endsWith(new URL(website).host),
          `${engine}: the link names ${new URL(website).host} and opens ${website}`);
}

// The site at target behind a server of the test's own, which can hold the program (its script
// and its WebAssembly) until told: a slow network, as slow as the test needs. Each is an origin
// of its own, with nothing cached for it yet.
export async function holdingProxy(target) {
    const held = [];
    let holding = false;
    const server = http.createServer((request, response) => {
        const forward = () => {
            const upstream = http.request(new URL(request.url, target), {
                method: request.method, headers: { ...request.headers, host: new URL(target).host },
            }, answer => {
                response.writeHead(answer.statusCode, answer.headers);
                answer.pipe(response);
            });
            upstream.on("error", () => response.destroy());
            request.pipe(upstream);
        };
        if (holding && /\/tazzle-[0-9a-f]{16}\.(js|wasm)$/.test(request.url))
            held.push(forward);
        else
            forward();
    });
    await new Promise(resolve => server.listen(0, "127.0.0.1", resolve));
    return {
        url: `http://127.0.0.1:${server.address().port}/`,
        hold() { holding = true; },
        held: () => held.length,
        release() { holding = false; held.splice(0).forEach(forward => forward()); },
        close() { server.closeAllConnections(); server.close(); },
    };
}

// Before the program has come: taps on "Get Dare" wait for it and give one dare between them,
// the pointer left over the picture is lit when it comes, and the link opens the site once.
// driver.go navigates without waiting for the page to load, which a held program holds up.
export async function earlyTaps(driver, engine, target) {
    const open = async proxy => {
        proxy.hold();
        await driver.go(proxy.url);
        // (Asked while the page changes, the question may meet the one before.)
        if (await until(() => driver.evaluate(`location.port === "${new URL(proxy.url).port}" &&
            !!document.getElementById("imgGetDare") && !!document.getElementById("status")`), 100))
            return windowBox(driver);
        throw new Error("the page did not show while its program was held");
    };
    let proxy = await holdingProxy(target);
    try {
        const box = await open(proxy);
        await driver.evaluate(`(() => { window.labelChanges = 0;
            new MutationObserver(records => { labelChanges += records.length; })
                .observe(document.getElementById("lblDare"), { childList: true,
                                                              characterData: true, subtree: true });
        })()`);
        for (let i = 0; i < 3; i++)
            await driver.click(at(box, spots.picture));
        const waiting = await driver.evaluate(`typeof Module === "undefined" || !Module.calledRun`);
        const unanswered = await dareText(driver) === prompt;
        const held = proxy.held();
        proxy.release();
        const started = await ready(driver);
        await sleep(300);
        const first = await dareText(driver);
        const changes = await driver.evaluate("labelChanges");
        check(waiting && unanswered && held > 0 && started && changes === 1 &&
              dares.includes(first) && await highlighted(driver),
              `${engine}: three clicks while the program was held (${held} of its files), then ` +
              `it came: one dare ("${first}"), ${changes} change of the label, the picture lit`);
        await driver.click(at(box, spots.picture));
        const next = await dareText(driver);
        check(await driver.evaluate("labelChanges") === 2 && dares.includes(next),
              `${engine}: the click after that gives the next dare ("${next}")`);
        proxy.close();

        proxy = await holdingProxy(target);
        const linkBox = await open(proxy);
        const before = await driver.tabs();
        await driver.click(at(linkBox, spots.link));
        await sleep(1000);
        proxy.release();
        const linkStarted = await ready(driver);
        await sleep(1500);
        const opened = (await driver.tabs()).filter(tab => !before.includes(tab)).length;
        check(linkStarted && opened === 1,
              `${engine}: a click on the link while the program was held opens ${opened} tab`);
    } finally {
        proxy.close();
    }
}
