// The rule-setup page in a real browser against a real service holding the
// demo company: a class rule built on the page while the preview follows,
// saved, its running number moved by an issue through the API, a mapping code
// edited, and the refusals (a bad width, a write without the token).
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { chromium } from 'playwright-core';

const base = process.env.QUILLET_URL;
const token = process.env.QUILLET_TOKEN;
const shots = process.env.SCREENSHOTS;
const date = '2024-05-06';

async function shoot(page, name) {
  if (shots) await page.screenshot({ path: `${shots}/${name}.png` });
}

test('the rule-setup page', { timeout: 150_000 }, async (t) => {
  // As root Chromium needs --no-sandbox; the machine's network is closed, so
  // nothing in the background may reach out.
  const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run'],
  });
  t.after(() => browser.close());
  const page = await browser.newPage({ locale: 'en-US', viewport: { width: 1360, height: 900 } });
  page.setDefaultTimeout(10_000);
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.goto(base);

  const segment = (n) => page.locator('ol.segments > li').nth(n - 1);
  const input = (n, key) => segment(n).locator(`[data-key="${key}"]`);
  const expectSerial = async (text) => {
    try {
      await page.locator(`.preview-output .serial[data-serial="${text}"]`).waitFor();
    } catch {
      assert.fail(`the preview shows "${await page.locator('.preview-output').textContent()}", not ${text}`);
    }
  };

  await t.test('each owner shows its own rule or the one it follows', async () => {
    for (const code of ['01', '0101', '0101001']) {
      await page.getByRole('button', { name: `Open class ${code}`, exact: true }).click();
    }
    const badge = (owner) => page.locator(`.node[data-owner="${owner}"] .badge`);
    assert.equal(await badge('item:LW-DL-100').textContent(), '● Aster desk lamp');
    assert.equal(await badge('item:LW-DL-110').textContent(), '↳ class:01');
    await page.getByRole('searchbox').fill('LW-FL-300');
    await page.getByRole('searchbox').press('Enter');
    await page.getByText('follows the rule “Lighting” of class:01').waitFor();
  });

  await t.test('a class follows the rule of all until it has its own', async () => {
    await page.locator('.node[data-owner="class:02"]').click();
    await page.getByText('follows the rule “General” of all').waitFor();
    await page.locator('button.new-rule').click();
    await page.locator('input[name="sample-date"]').fill(date);
    await expectSerial('202405060001');
  });

  await t.test('the preview follows the segments', async () => {
    await page.locator('input[name="rule-name"]').fill('Accessories');
    await page.locator('button.add').click();
    await input(3, 'text').fill('AC-');
    await segment(3).getByRole('button', { name: 'Move up' }).click();
    await segment(2).getByRole('button', { name: 'Move up' }).click();
    await expectSerial('AC-202405060001');
    await input(2, 'pattern').fill('YYMM-');
    await expectSerial('AC-2405-0001');
    await page.locator('button.add').click();
    await input(4, 'source').selectOption('warehouse');
    await input(4, 'width').fill('3');
    await page.locator('.why').getByText('has no value on the sample line').waitFor();
    await page.locator('input[name="sample-warehouse"]').fill('W01');
    await segment(4).getByRole('button', { name: 'Move up' }).click();
    await expectSerial('AC-2405-W010001');
    assert.equal(await segment(3).locator('.contribution').textContent(), 'W01');
  });

  await t.test('a bad width is refused with its reason', async () => {
    await input(4, 'width').fill('x');
    await segment(4).getByText('A whole number of 1 or more.').waitFor();
    assert.equal(await page.locator('button.save').isDisabled(), true);
    await shoot(page, 'rule-editor-check');
    await input(4, 'width').fill('4');
    await expectSerial('AC-2405-W010001');
  });

  await t.test('a write without the token is refused, then saved with it', async () => {
    await page.locator('button.save').click();
    const dialog = page.locator('dialog.modal');
    await dialog.getByText('The service refused the change').waitFor();
    await shoot(page, 'token');
    await dialog.locator('input[name="token"]').fill(token);
    await dialog.getByRole('button', { name: 'Keep' }).click();
    await page.locator('button.save').click();
    await page.getByText('Rule “Accessories” saved.').waitFor();
    await page.locator('.node[data-owner="class:02"] .badge.own').waitFor();
    assert.equal(await page.locator('.number-value').textContent(), '1');
  });

  await t.test('an issue through the API moves the running number on the page', async () => {
    const response = await fetch(`${base}/v1/items/LW-DR-012/serials`, {
      method: 'POST',
      headers: { Authorization: `Bearer ${token}`, 'Content-Type': 'application/json' },
      body: JSON.stringify({ date, values: { warehouse: 'W01' }, save: true }),
    });
    assert.deepEqual((await response.json()).serial_numbers, ['AC-2405-W010001']);
    await page.locator('.number-value', { hasText: '2' }).waitFor();
    await expectSerial('AC-2405-W010002');
    await shoot(page, 'rule-editor');
  });

  await t.test('a lower running number is asked about', async () => {
    await page.locator('input[name="next-number"]').fill('1');
    await page.locator('.number-form button').click();
    const dialog = page.locator('dialog.modal');
    await dialog.getByText('may be issued again').waitFor();
    await shoot(page, 'number-lower');
    await dialog.getByRole('button', { name: 'Set it lower' }).click();
    await page.locator('.number-value', { hasText: '1' }).waitFor();
  });

  await t.test("a rule's numbering policies are shown and kept", async () => {
    const policies = async () => {
      const rule = await (await fetch(`${base}/v1/rules/class:0101`)).json();
      const number = rule.segments.find((each) => each.source === 'number');
      return [number.restart, number.end, number.warn, number.journal, number.unique];
    };
    // The running number's settings, wherever the segment stands.
    const setting = (key) =>
      page.locator('ol.segments > li').filter({ has: page.locator('[data-key="restart"]') })
        .locator(`[data-key="${key}"]`);
    await page.locator('.node[data-owner="class:0101"]').click();
    await page.locator('button.new-rule').click();
    await page.locator('input[name="rule-name"]').fill('Manufacturing');
    await setting('restart').selectOption('month');
    await setting('end').fill('9000');
    await setting('journal').check();
    await page.locator('button.save').click();
    await page.getByText('Rule “Manufacturing” saved.').waitFor();
    assert.deepEqual(await policies(), ['month', 9000, undefined, true, undefined]);
    // Opened again, the rule shows its policies, and saving keeps them.
    await page.locator('.node[data-owner="class:02"]').click();
    await page.locator('.node[data-owner="class:0101"]').click();
    assert.equal(await setting('restart').inputValue(), 'month');
    assert.equal(await setting('end').inputValue(), '9000');
    assert.equal(await setting('journal').isChecked(), true);
    await setting('warn').fill('8000');
    await setting('unique').check();
    // The first save's notice closed, so that the second one is waited for.
    await page.locator('.notice button').click();
    await page.locator('.notice > div').waitFor({ state: 'detached' });
    await page.locator('button.save').click();
    await page.getByText('Rule “Manufacturing” saved.').waitFor();
    assert.deepEqual(await policies(), ['month', 9000, 8000, true, true]);
    await shoot(page, 'rule-policies');
    await page.locator('.node[data-owner="class:02"]').click();
  });

  await t.test('a mapping code edited shows in the preview', async () => {
    await page.getByRole('tab', { name: 'Mappings' }).click();
    await page.locator('select[name="mapping-source"]').selectOption('warehouse');
    const row = page.locator('tr[data-value="W01"]');
    await row.locator('.origin.generated').waitFor();
    await row.locator('input.code').fill('FG');
    await row.locator('input.code').press('Enter');
    await page.locator('tr[data-value="W01"] .origin.user').waitFor();
    await shoot(page, 'mappings');
    await page.getByRole('tab', { name: 'Rules' }).click();
    await page.locator('input[name="sample-date"]').fill(date);
    await page.locator('input[name="sample-warehouse"]').fill('W01');
    await expectSerial('AC-2405-FG0001');
  });

  await t.test('the page speaks Chinese', async () => {
    await page.locator('select[name="language"]').selectOption('zh-CN');
    await page.getByRole('button', { name: '保存' }).waitFor();
    await page.locator('input[name="sample-warehouse"]').fill('');
    await page.locator('.why').getByText('没有值').waitFor();
    await shoot(page, 'rule-editor-zh');
  });

  assert.deepEqual(errors, []);
});
