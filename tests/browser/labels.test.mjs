// Labels on the page in a real browser: serial numbers issued with saving
// (with the token), laid out on an A4 sheet of 3 x 8 labels, printed to PDF by
// Chromium, drawn to PNG by pdftoppm and read back by zbarimg: every barcode
// decodes to the serial number printed under it.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { chromium } from 'playwright-core';

const base = process.env.QUILLET_URL;
const token = process.env.QUILLET_TOKEN;
const shots = process.env.SCREENSHOTS;
const DPI = 300;
const POINTS_PER_INCH = 72;

// Each barcode zbarimg finds on the PNG: its text and box in pixels.
function barcodes(png) {
  const xml = execFileSync('zbarimg', ['-q', '--xml', png], { encoding: 'utf8' });
  const found = [];
  for (const symbol of xml.matchAll(/<symbol\b[\s\S]*?<\/symbol>/g)) {
    const points = [...symbol[0].matchAll(/([+-]?\d+),([+-]?\d+)/g)]
      .filter((match) => symbol[0].slice(0, match.index).includes('points='))
      .map((match) => [Number(match[1]), Number(match[2])]);
    const data = /<data(?: [^>]*)?><!\[CDATA\[([\s\S]*?)\]\]><\/data>/.exec(symbol[0])[1];
    const xs = points.map((p) => p[0]);
    const ys = points.map((p) => p[1]);
    found.push({ data, left: Math.min(...xs), right: Math.max(...xs), bottom: Math.max(...ys) });
  }
  return found;
}

// Every word of the page's text with its box, in pixels at DPI.
function words(pdf, pageNumber) {
  const html = execFileSync('pdftotext', ['-bbox', '-f', String(pageNumber), '-l', String(pageNumber), pdf, '-'],
    { encoding: 'utf8' });
  const scale = DPI / POINTS_PER_INCH;
  return [...html.matchAll(/<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)<\/word>/g)]
    .map((m) => ({ left: m[1] * scale, top: m[2] * scale, right: m[3] * scale, text: m[5] }));
}

// The word written nearest under the barcode, across its middle.
function textUnder(code, pageWords) {
  const middle = (code.left + code.right) / 2;
  const under = pageWords.filter((word) => word.top >= code.bottom - 2 && word.left <= middle && word.right >= middle);
  under.sort((a, b) => a.top - b.top);
  return under[0]?.text;
}

test('labels printed from the page decode to the serial numbers under them', { timeout: 150_000 }, async (t) => {
  const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run'],
  });
  const work = mkdtempSync(join(tmpdir(), 'quillet-labels-'));
  t.after(async () => {
    await browser.close();
    rmSync(work, { recursive: true, force: true });
  });
  const page = await browser.newPage({ locale: 'en-US', viewport: { width: 1360, height: 900 } });
  page.setDefaultTimeout(10_000);
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.addInitScript((value) => sessionStorage.setItem('quillet.token', value), token);
  await page.goto(base);

  let serials = [];
  await t.test('issuing with saving lays out the labels', async () => {
    await page.getByRole('tab', { name: 'Labels' }).click();
    await page.locator('input[name="label-item"]').fill('LW-DL-100');
    await page.locator('input[name="label-count"]').fill('7');
    await page.locator('input[name="label-date"]').fill('2024-05-06');
    await page.locator('button.issue-labels').click();
    await page.getByText('7 serial numbers issued by the rule “Aster desk lamp”.').first().waitFor();
    const labels = page.locator('.label-sheet .label');
    assert.equal(await labels.count(), 7);
    serials = await page.locator('.label-serial').allTextContents();
    assert.equal(new Set(serials).size, 7);
    assert.match(serials[0], /^AST-240506-\d{4}$/);
    assert.equal(await labels.first().locator('.label-item').textContent(), 'LW-DL-100 Aster desk lamp');
    // Every barcode drawn before anything is printed.
    await page.waitForFunction(() => [...document.querySelectorAll('.label .barcode')]
      .every((image) => image.complete && image.naturalWidth > 0));
    if (shots) await page.screenshot({ path: `${shots}/labels-sheet.png` });
  });

  await t.test('the roll puts one label on each 50 x 25 mm page', async () => {
    await page.locator('select[name="label-layout"]').selectOption('roll');
    assert.equal(await page.locator('.label-page').count(), 7);
    const box = await page.locator('.label-page').first().boundingBox();
    assert.ok(Math.abs(box.width - 50 * 96 / 25.4) < 2 && Math.abs(box.height - 25 * 96 / 25.4) < 2, JSON.stringify(box));
    await page.waitForFunction(() => [...document.querySelectorAll('.label .barcode')]
      .every((image) => image.complete && image.naturalWidth > 0));
    if (shots) await page.locator('.label-print').screenshot({ path: `${shots}/labels-roll.png` });
    await page.locator('select[name="label-layout"]').selectOption('a4');
  });

  await t.test('the A4 sheet printed to PDF reads back label by label', async () => {
    await page.waitForFunction(() => [...document.querySelectorAll('.label .barcode')]
      .every((image) => image.complete && image.naturalWidth > 0));
    const pdf = join(work, 'sheet.pdf');
    await page.pdf({ path: pdf, preferCSSPageSize: true, printBackground: true });
    const info = execFileSync('pdfinfo', [pdf], { encoding: 'utf8' });
    assert.match(info, /Pages:\s+1\n/);
    assert.match(info, /Page size:\s+595\.\d+ x 841\.\d+ pts \(A4\)/);
    execFileSync('pdftoppm', ['-r', String(DPI), '-png', '-f', '1', '-l', '1', pdf, join(work, 'sheet')]);
    const found = barcodes(join(work, 'sheet-1.png'));
    assert.deepEqual(found.map((code) => code.data).sort(), [...serials].sort());
    const pageWords = words(pdf, 1);
    for (const code of found) assert.equal(textUnder(code, pageWords), code.data, JSON.stringify(code));
  });

  assert.deepEqual(errors, []);
});
