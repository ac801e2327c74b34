// The running number of an owner's rule: the number its next serial number
// carries, and setting it by hand. A lower number is asked about first, as
// numbers already issued may come again.
import { h, fill } from './dom.js';
import { t } from './i18n.js';
import { api } from './api.js';
import { confirmAction } from './dialog.js';

// `current()` gives the stored number; `changed(number)` is told a new one.
export function numberPanel(owner, current, changed) {
  const input = h('input', { name: 'next-number', inputmode: 'numeric', size: 8, 'aria-label': t('number.new') });
  const status = h('span', { class: 'number-status', role: 'status' });

  async function set(event) {
    event.preventDefault();
    const wanted = input.value.trim();
    if (!/^-?\d+$/.test(wanted)) return fill(status, h('span', { class: 'problem' }, t('number.whole')));
    const stored = Number(current());
    const lower = Number(wanted) < stored;
    if (lower) {
      const sure = await confirmAction({
        title: t('number.lower_title'),
        message: t('number.lower_message', { from: current(), to: wanted }),
        confirm: t('number.lower_confirm'),
      });
      if (!sure) return;
    }
    try {
      const answer = await api.setNumber(owner, wanted, lower);
      input.value = '';
      fill(status, t('number.done', { from: answer.previous, to: answer.next_number }));
      changed(answer.next_number);
    } catch (error) {
      fill(status, h('span', { class: 'problem' }, error.refused ? t('write.refused', { reason: error.message }) : error.message));
    }
  }

  return h(
    'section',
    { class: 'number', 'aria-label': t('number.title') },
    h('h3', {}, t('number.title')),
    h('p', {}, t('number.stored'), ' ', h('strong', { class: 'number-value' }, current())),
    h('form', { class: 'number-form', onsubmit: set }, input, h('button', {}, t('number.set')), status),
    h('p', { class: 'hint' }, t('number.explain')),
  );
}
