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

// The A4 sheet's grid: 3 x 8 labels of 70 x 37 mm from the page's corner.
const COLUMNS = 3;
const LABEL_MM = { width: 70, height: 37 };
const pixels = (mm) => Math.round((mm / 25.4) * DPI);

// The crop of label `index` (row by row) in pixels at DPI, as pdftoppm and
// pdftotext take it.
function cell(index) {
  const column = index % COLUMNS;
  const row = Math.floor(index / COLUMNS);
  return ['-x', String(pixels(column * LABEL_MM.width)), '-y', String(pixels(row * LABEL_MM.height)),
    '-W', String(pixels(LABEL_MM.width)), '-H', String(pixels(LABEL_MM.height))];
}

// What zbarimg reads in one label of the sheet, and the text printed in it.
function readLabel(pdf, index, work) {
  const stem = join(work, `label-${index}`);
  execFileSync('pdftoppm', ['-r', String(DPI), ...cell(index), '-singlefile', '-png', pdf, stem]);
  const decoded = execFileSync('zbarimg', ['-q', '--raw', `${stem}.png`], { encoding: 'utf8' }).trim().split('\n');
  const text = execFileSync('pdftotext', ['-r', String(DPI), ...cell(index), '-layout', pdf, '-'], { encoding: 'utf8' });
  return { decoded, lines: text.split('\n').map((line) => line.trim()).filter(Boolean) };
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
    assert.match(serials[0], /^AST-\d{6,8}-\d{4}$/);
    assert.match(await labels.first().locator('.label-item').textContent(), /^LW-DL-100 \S/);
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
    assert.match(info, /Page size:\s+59\d(\.\d+)? x 84\d(\.\d+)? pts \(A4\)/);
    // Label by label: one barcode each, reading as the serial number under it.
    for (let index = 0; index < serials.length; index++) {
      const { decoded, lines } = readLabel(pdf, index, work);
      assert.equal(decoded.length, 1, `label ${index + 1}: ${decoded}`);
      assert.equal(lines[0], decoded[0], `label ${index + 1} reads ${decoded[0]} but shows ${lines}`);
      assert.equal(lines[0], serials[index]);
      assert.match(lines[1], /^LW-DL-100 /);
    }
    // Nothing beyond the labels printed.
    assert.throws(() => readLabel(pdf, serials.length, work));
  });

  assert.deepEqual(errors, []);
});
