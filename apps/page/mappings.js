// The short codes of a data source's values: a page at a time from the
// service, searched there, each code edited in place; codes generated from
// the values are told apart from codes a user set; a whole archive's codes
// can be reset.
import { h, fill, debounce } from './dom.js';
import { t } from './i18n.js';
import { api } from './api.js';
import { confirmAction } from './dialog.js';
import { MAPPED_SOURCES, caption } from './sources.js';

const PAGE = 50;

export function createMappings(state, { message }) {
  let container = document.createElement('div');
  const view = { source: 'department', q: '', offset: 0, answer: null, problem: '' };
  let sequence = 0;

  async function load() {
    const asked = ++sequence;
    try {
      const answer = await api.mappings(view.source, { q: view.q, offset: view.offset, limit: PAGE });
      if (asked !== sequence) return;
      view.answer = answer;
      view.problem = '';
    } catch (error) {
      if (asked !== sequence) return;
      view.answer = null;
      view.problem = error.message;
    }
    drawList();
  }

  const search = debounce(() => {
    view.offset = 0;
    load();
  }, 250);

  async function saveCode(mapping, input, note) {
    const code = input.value.trim();
    if (code === mapping.code) return;
    try {
      const answer = await api.setMapping(view.source, mapping.value, code);
      message(t('mappings.saved', { value: mapping.value, from: answer.previous_code, to: code || '—' }));
      await load();
    } catch (error) {
      input.value = mapping.code;
      fill(note, h('span', { class: 'problem' }, error.refused ? t('write.refused', { reason: error.message }) : error.message));
    }
  }

  function mappingRow(mapping) {
    const note = h('span', { class: 'row-note', role: 'status' });
    const input = h('input', {
      class: 'code',
      value: mapping.code,
      size: 8,
      'aria-label': t('mappings.code_of', { value: mapping.value }),
      // Enter or leaving the field saves; Escape puts the code back.
      onchange: (event) => saveCode(mapping, event.target, note),
      onkeydown: (event) => event.key === 'Escape' && (event.target.value = mapping.code),
    });
    return h(
      'tr',
      { 'data-value': mapping.value },
      h('td', {}, h('code', {}, mapping.value)),
      h('td', {}, mapping.name),
      h('td', {}, input, note),
      h('td', {}, h('span', { class: `origin ${mapping.set_by_user ? 'user' : 'generated'}` },
        t(mapping.set_by_user ? 'mappings.by_user' : 'mappings.generated'))),
    );
  }

  function pager(answer) {
    const last = Math.min(answer.offset + answer.mappings.length, answer.total);
    const go = (offset) => {
      view.offset = Math.max(0, offset);
      load();
    };
    return h(
      'div',
      { class: 'pager' },
      h('button', { disabled: answer.offset === 0, onclick: () => go(answer.offset - PAGE) }, t('mappings.previous')),
      h('span', { class: 'range' }, t('mappings.range', { first: answer.total ? answer.offset + 1 : 0, last, total: answer.total })),
      h('button', { disabled: last >= answer.total, onclick: () => go(answer.offset + PAGE) }, t('mappings.next')),
    );
  }

  function drawList() {
    const slot = container.querySelector('.mapping-list');
    if (!slot) return;
    const answer = view.answer;
    if (!answer) return fill(slot, h('p', { class: 'problem' }, view.problem));
    fill(
      slot,
      h('p', { class: 'hint' }, t('mappings.about', { width: answer.width, table: answer.table })),
      h('table', { class: 'mappings' },
        h('thead', {}, h('tr', {}, ['mappings.value', 'mappings.caption', 'mappings.code', 'mappings.origin'].map((key) => h('th', {}, t(key))))),
        h('tbody', {}, answer.mappings.map(mappingRow))),
      !answer.mappings.length && h('p', { class: 'hint' }, t('mappings.empty')),
      pager(answer),
    );
  }

  async function reset() {
    const name = caption(view.source, state.captions, t);
    const sure = await confirmAction({
      title: t('mappings.reset_title'),
      message: t('mappings.reset_message', { source: name, table: view.answer?.table || view.source }),
      confirm: t('mappings.reset'),
    });
    if (!sure) return;
    try {
      const answer = await api.resetArchive(view.source);
      message(t('mappings.reset_done', { table: answer.archive, sources: answer.sources.join(', ') }));
      view.offset = 0;
      await load();
    } catch (error) {
      message(error.refused ? t('write.refused', { reason: error.message }) : error.message, [], true);
    }
  }

  function draw() {
    fill(
      container,
      h('header', { class: 'mapping-head' },
        h('h2', {}, t('mappings.title')),
        h('p', { class: 'hint' }, t('mappings.explain'))),
      h('div', { class: 'mapping-tools' },
        h('label', { class: 'field' }, h('span', {}, t('mappings.source')),
          h('select', { name: 'mapping-source', onchange: (event) => { view.source = event.target.value; view.q = ''; view.offset = 0; draw(); } },
            MAPPED_SOURCES.map((name) => h('option', { value: name, selected: name === view.source }, caption(name, state.captions, t))))),
        h('label', { class: 'field' }, h('span', {}, t('mappings.search')),
          h('input', { type: 'search', name: 'mapping-search', value: view.q, oninput: (event) => { view.q = event.target.value; search(); } })),
        h('button', { class: 'danger reset', onclick: reset }, t('mappings.reset'))),
      h('div', { class: 'mapping-list' }, t('common.loading')),
    );
    load();
  }

  // Draws into `element` from now on.
  function attach(element) {
    container = element;
  }

  return { open: draw, attach };
}
