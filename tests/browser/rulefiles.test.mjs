// Rule files and history on the page in a real browser: the rules downloaded
// with their running numbers, a rule changed on the page and a number used up,
// the downloaded file uploaded again (the difference names the changed rule
// and says a number goes back), applied after confirming, and the owner's
// history listing both changes.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { chromium } from 'playwright-core';

const base = process.env.QUILLET_URL;
const token = process.env.QUILLET_TOKEN;
const shots = process.env.SCREENSHOTS;

async function shoot(page, name) {
  if (shots) await page.screenshot({ path: `${shots}/${name}.png`, fullPage: true });
}

async function rule(owner) {
  return (await fetch(`${base}/v1/rules/${owner}`)).json();
}

test('rule files and history on the page', { timeout: 150_000 }, async (t) => {
  const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run'],
  });
  t.after(() => browser.close());
  const page = await browser.newPage({ locale: 'en-US', viewport: { width: 1360, height: 900 }, acceptDownloads: true });
  page.setDefaultTimeout(10_000);
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.addInitScript((value) => sessionStorage.setItem('quillet.token', value), token);
  await page.goto(base);

  const before = await rule('class:01');
  const firstWord = before.segments[0].notation;
  let downloaded = ''; // the downloaded file's path

  await t.test('the rules download as the service exports them', async () => {
    await page.getByRole('tab', { name: 'Rule files' }).click();
    await page.locator('input[name="export-withNumbers"]').check();
    const [download] = await Promise.all([page.waitForEvent('download'), page.locator('button.download-rules').click()]);
    assert.match(download.suggestedFilename(), /^rules-\d{4}-\d\d-\d\d\.json$/);
    downloaded = await download.path();
    const text = readFileSync(downloaded, 'utf8');
    const exported = await (await fetch(`${base}/v1/rules?format=export&with_numbers=true`)).text();
    assert.equal(text, exported);
    const file = JSON.parse(text);
    assert.deepEqual(file.rules.find((each) => each.owner === 'class:01').segments[0], firstWord);
  });

  await t.test('a rule changed on the page and a number used up', async () => {
    await page.getByRole('tab', { name: 'Rules' }).click();
    await page.locator('.node[data-owner="class:01"]').click();
    await page.locator('ol.segments > li').first().locator('[data-key="text"]').fill('LX');
    await page.locator('button.save').click();
    await page.getByText(`Rule “${before.name}” saved.`).waitFor();
    const response = await fetch(`${base}/v1/items/LW-FL-300/serials`, {
      method: 'POST',
      headers: { Authorization: `Bearer ${token}`, 'Content-Type': 'application/json' },
      body: JSON.stringify({ date: '2024-05-06', values: { department: '0101' }, save: true }),
    });
    assert.equal(response.status, 200, await response.text());
    assert.notEqual((await rule('class:01')).segments[0].notation, firstWord);
  });

  await t.test('the uploaded file shows its difference first', async () => {
    await page.getByRole('tab', { name: 'Rule files' }).click();
    await page.locator('input[name="rule-file"]').setInputFiles(
      { name: 'rules.json', mimeType: 'application/json', buffer: readFileSync(downloaded) });
    const changed = page.locator('.diff-owner[data-owner="class:01"][data-change="changed"]');
    await changed.waitFor();
    assert.match(await changed.locator('.diff-head').textContent(), new RegExp(`class:01 “${before.name}”`));
    assert.equal(await changed.locator('.diff-line.put').first().textContent(), `+ 1 ${firstWord}`);
    assert.match(await changed.locator('.diff-line.taken').first().textContent(), /^- 1 text=LX/);
    await page.locator('.sets-back').getByText('back from').waitFor();
    // Every other owner is as the file has it.
    assert.equal(await page.locator('.diff-owner:not([data-change="unchanged"])').count(), 1);
    await shoot(page, 'rule-import-diff');
    // Nothing changed by looking.
    assert.notEqual((await rule('class:01')).segments[0].notation, firstWord);
  });

  await t.test('applied once setting the number back is confirmed', async () => {
    await page.locator('button.apply-import').click();
    const dialog = page.locator('dialog.modal');
    await dialog.getByText('back from').waitFor();
    await dialog.getByRole('button', { name: 'Import it all the same' }).click();
    await page.locator('.notice').getByText('rules.json imported: 1 changed.').waitFor();
    const after = await rule('class:01');
    assert.equal(after.segments[0].notation, firstWord);
    assert.equal(after.next_number, before.next_number);
  });

  await t.test("the owner's history lists the changes, newest first", async () => {
    await page.getByRole('tab', { name: 'Rules' }).click();
    await page.locator('.node[data-owner="class:01"]').click();
    const rows = page.locator('table.history tbody tr');
    await rows.first().waitFor();
    const changes = await rows.locator('.history-change').allTextContents();
    const undone = changes.findIndex((text) => text.includes('segment 1: text=LX') && text.includes(`→ ${firstWord}`));
    const edited = changes.findIndex((text) => text.includes(`segment 1: ${firstWord} → text=LX`));
    assert.ok(undone >= 0 && edited > undone, changes.join(' | '));
    assert.match(await rows.nth(undone).locator('.history-when').textContent(), /^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d UTC$/);
    await page.locator('section.trail').scrollIntoViewIfNeeded();
    await shoot(page, 'rule-history');
  });

  await t.test('history and rule files speak Chinese', async () => {
    await page.locator('select[name="language"]').selectOption('zh-CN');
    await page.locator('section.trail h3', { hasText: '变更记录' }).waitFor();
    await page.locator('table.history tbody tr').first().getByText('保存').waitFor();
    await page.getByRole('tab', { name: '规则文件' }).click();
    await page.getByRole('button', { name: '下载规则文件' }).waitFor();
  });

  assert.deepEqual(errors, []);
});
