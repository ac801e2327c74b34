// Modal questions: a confirmation before a change that cannot be taken back,
// and the bearer token the service asks for on changes.
import { h } from './dom.js';
import { t } from './i18n.js';
import { token } from './api.js';

function modal(content, { onClose } = {}) {
  const dialog = h('dialog', { class: 'modal' }, content);
  dialog.addEventListener('close', () => {
    dialog.remove();
    if (onClose) onClose(dialog.returnValue);
  });
  document.body.append(dialog);
  dialog.showModal();
  return dialog;
}

// Resolves true when the user confirms. `danger` words the confirming button.
export function confirmAction({ title, message, confirm }) {
  return new Promise((resolve) => {
    const form = h(
      'form',
      { method: 'dialog' },
      h('h2', {}, title),
      h('p', { class: 'modal-message' }, message),
      h(
        'div',
        { class: 'modal-buttons' },
        h('button', { value: 'cancel', class: 'quiet' }, t('common.cancel')),
        h('button', { value: 'ok', class: 'danger', autofocus: true }, confirm),
      ),
    );
    modal(form, { onClose: (value) => resolve(value === 'ok') });
  });
}

// Asks for the token and keeps it for this browser tab. `reason` says why
// when a change was just refused.
export function askToken(reason = '') {
  return new Promise((resolve) => {
    const input = h('input', {
      type: 'password',
      name: 'token',
      value: token.get(),
      autocomplete: 'off',
      'aria-label': t('token.label'),
    });
    const form = h(
      'form',
      { method: 'dialog' },
      h('h2', {}, t('token.title')),
      reason && h('p', { class: 'problem' }, reason),
      h('p', { class: 'modal-message' }, t('token.explain')),
      h('label', { class: 'field' }, h('span', {}, t('token.label')), input),
      h(
        'div',
        { class: 'modal-buttons' },
        h('button', { value: 'forget', class: 'quiet' }, t('token.forget')),
        h('button', { value: 'keep', class: 'primary' }, t('token.keep')),
      ),
    );
    modal(form, {
      onClose: (value) => {
        if (value === 'keep') token.set(input.value.trim());
        if (value === 'forget') token.set('');
        resolve(value);
      },
    });
    input.focus();
  });
}
