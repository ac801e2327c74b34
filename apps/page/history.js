// The trail of the chosen owner's rule: every save, delete and running-number
// set, newest first, with when (UTC), who and what changed; and, for a rule
// that keeps a journal, the running numbers its sequence skipped and why.
import { h, fill } from './dom.js';
import { t } from './i18n.js';
import { api } from './api.js';

const MOST_GAPS = 200;

// "2024-05-06T07:08:09.123Z" -> "2024-05-06 07:08:09 UTC".
export function whenText(changed) {
  const match = /^(\d{4}-\d\d-\d\d)T(\d\d:\d\d:\d\d)/.exec(changed || '');
  return match ? `${match[1]} ${match[2]} UTC` : changed || '';
}

// What one segment list became, position by position, as [key, values].
function segmentChanges(before = [], after = []) {
  const changes = [];
  for (let at = 0; at < Math.max(before.length, after.length); at++) {
    const [was, now] = [before[at], after[at]];
    if (was === now) continue;
    if (was === undefined) changes.push(['history.segment_added', { n: at + 1, now }]);
    else if (now === undefined) changes.push(['history.segment_removed', { n: at + 1, was }]);
    else changes.push(['history.segment_changed', { n: at + 1, was, now }]);
  }
  return changes;
}

function counterChanges(before = {}, after = {}) {
  const keys = [...new Set([...Object.keys(before), ...Object.keys(after)])].sort();
  return keys.filter((key) => before[key] !== after[key]).map((key) =>
    ['history.counter', { key: key.replaceAll('\u001f', '…'), was: before[key] ?? '—', now: after[key] ?? '—' }]);
}

// The change of one history entry in words, as [key, values] for t().
export function changeSummary({ kind, before, after }) {
  if (kind === 'delete') return [['history.deleted', { name: before?.name ?? '' }]];
  if (!before && after) return [['history.created', { name: after.name, n: after.segments?.length ?? 0 }]];
  if (!before || !after) return [];
  const changes = [];
  if (before.name !== after.name) changes.push(['history.renamed', { was: before.name, now: after.name }]);
  changes.push(...segmentChanges(before.segments, after.segments));
  if ((before.next_number ?? '') !== (after.next_number ?? '')) {
    changes.push(['history.number', { was: before.next_number ?? '', now: after.next_number ?? '' }]);
  }
  changes.push(...counterChanges(before.counters, after.counters));
  if (changes.length === 0) changes.push(['history.same', {}]);
  return changes;
}

// Whether the rule's running number keeps a journal (so it has gaps to show).
export function keepsJournal(rule) {
  return Boolean(rule?.segments?.some((segment) => segment.source === 'number' && segment.journal === true));
}

export function createHistory(state) {
  let container = document.createElement('div');
  let sequence = 0;

  function entryRow(entry) {
    return h('tr', { class: `history-entry kind-${entry.kind}`, 'data-kind': entry.kind },
      h('td', { class: 'history-when' }, whenText(entry.changed)),
      h('td', {}, entry.user || t('history.no_user')),
      h('td', {}, t(`history.kind.${entry.kind}`)),
      h('td', { class: 'history-change' },
        h('ul', {}, changeSummary(entry).map(([key, values]) => h('li', {}, t(key, values))))));
  }

  function historyTable(entries) {
    if (entries.length === 0) return h('p', { class: 'hint history-empty' }, t('history.empty'));
    return h('table', { class: 'history' },
      h('thead', {}, h('tr', {}, ['when', 'user', 'kind', 'change'].map((key) => h('th', {}, t(`history.${key}`))))),
      h('tbody', {}, [...entries].reverse().map(entryRow)));
  }

  function gapsTable(gaps) {
    if (gaps.length === 0) return h('p', { class: 'hint gaps-empty' }, t('gaps.none'));
    return [
      h('table', { class: 'gaps' },
        h('thead', {}, h('tr', {}, ['counter', 'number', 'reason', 'detail'].map((key) => h('th', {}, t(`gaps.${key}`))))),
        h('tbody', {}, gaps.slice(0, MOST_GAPS).map((gap) =>
          h('tr', { class: 'gap', 'data-reason': gap.reason },
            h('td', {}, gap.counter || t('gaps.own')),
            h('td', { class: 'code' }, String(gap.running_number)),
            h('td', {}, t(`gaps.reason.${gap.reason}`)),
            h('td', {}, gap.detail))))),
      gaps.length > MOST_GAPS && h('p', { class: 'hint' }, t('gaps.more', { n: gaps.length - MOST_GAPS })),
    ];
  }

  async function load() {
    const owner = state.selected;
    const asked = ++sequence;
    if (!owner) return fill(container);
    const journal = keepsJournal(state.rules.get(owner));
    fill(container,
      h('section', { class: 'trail', 'aria-label': t('history.title') },
        h('div', { class: 'trail-head' },
          h('h3', {}, t('history.title')),
          h('button', { class: 'quiet refresh-history', onclick: load }, t('history.refresh'))),
        h('div', { class: 'history-slot' }, h('p', { class: 'hint' }, t('common.loading')))),
      journal && h('section', { class: 'gaps-panel', 'aria-label': t('gaps.title') },
        h('h3', {}, t('gaps.title')),
        h('p', { class: 'hint' }, t('gaps.explain')),
        h('div', { class: 'gaps-slot' }, h('p', { class: 'hint' }, t('common.loading')))));
    const [history, gaps] = await Promise.allSettled([api.history(owner), journal ? api.gaps(owner) : null]);
    if (asked !== sequence) return;
    show('.history-slot', history, (answer) => historyTable(answer.history));
    if (journal) show('.gaps-slot', gaps, (answer) => gapsTable(answer.gaps));
  }

  function show(where, outcome, draw) {
    const slot = container.querySelector(where);
    if (!slot) return;
    if (outcome.status === 'fulfilled') fill(slot, draw(outcome.value));
    else fill(slot, h('p', { class: 'problem' }, outcome.reason.message));
  }

  return {
    attach(element) {
      container = element;
      load();
    },
    open: load,
  };
}
