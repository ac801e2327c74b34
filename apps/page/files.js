// Rule files: every rule (or the chosen owner's) downloaded as the service
// writes it, and a file uploaded: first a dry run shows what importing would
// change, owner by owner and segment by segment, then Apply makes the change
// in one go. A file that sets a running number back is applied only once the
// user says so, as a lower running number is.
import { h, fill } from './dom.js';
import { t } from './i18n.js';
import { api } from './api.js';
import { confirmAction } from './dialog.js';

const SIGNS = { added: '+', changed: '~', removed: '-', unchanged: '=' };

// The line of a difference and how it is marked: a segment or number kept
// ("  2 word"), taken away ("- 2 word") or put in ("+ 2 word").
export function lineKind(line) {
  if (line.startsWith('+')) return 'put';
  if (line.startsWith('- ')) return 'taken';
  return 'kept';
}

// How many owners each change touches, in the order added, changed, removed,
// unchanged; those with none left out.
export function changeCounts(rules) {
  const counts = {};
  for (const rule of rules) counts[rule.change] = (counts[rule.change] || 0) + 1;
  return Object.keys(SIGNS).filter((change) => counts[change]).map((change) => ({ change, n: counts[change] }));
}

export function exportName(owners, now = new Date()) {
  const stamp = now.toISOString().slice(0, 10);
  const scope = owners.length === 1 ? `-${owners[0].replace(/[^A-Za-z0-9_-]+/g, '_')}` : '';
  return `rules${scope}-${stamp}.json`;
}

export function createFiles(state, { rulesChanged, message }) {
  let container = document.createElement('div');
  const view = { withNumbers: false, withCodes: false, onlySelected: false, file: null, plan: null, setsBack: '', status: { text: '', problem: false } };

  const chosenOwner = () => (state.selected && state.selected !== 'all' ? state.selected : 'all');
  const problemText = (error) => (error.refused ? t('write.refused', { reason: error.message }) : error.message);

  async function download() {
    const owners = view.onlySelected ? [chosenOwner()] : [];
    try {
      const text = await api.exportRules({ owners, withNumbers: view.withNumbers, withCodes: view.withCodes });
      const link = h('a', { href: URL.createObjectURL(new Blob([text], { type: 'application/json' })), download: exportName(owners) });
      document.body.append(link);
      link.click();
      link.remove();
      setTimeout(() => URL.revokeObjectURL(link.href), 10_000);
      setStatus(t('files.downloaded', { name: link.download }));
    } catch (error) {
      setStatus(problemText(error), true);
    }
  }

  // Reads the chosen file and asks the service what importing it would do.
  async function choose(event) {
    const chosen = event.target.files[0];
    view.file = null;
    view.plan = null;
    view.setsBack = '';
    if (!chosen) return draw();
    try {
      view.file = { name: chosen.name, body: JSON.parse(await chosen.text()) };
    } catch {
      setStatus(t('files.not_json', { name: chosen.name }), true);
      return draw();
    }
    await dryRun();
  }

  // A file that sets a number back is still shown, with that said above it.
  async function dryRun() {
    setStatus(t('files.checking'));
    try {
      view.plan = await planOf(view.file.body);
      setStatus('');
    } catch (error) {
      view.plan = null;
      setStatus(problemText(error), true);
    }
    draw();
  }

  async function planOf(body) {
    try {
      return await api.importRules(body, { dryRun: true });
    } catch (error) {
      if (error.status !== 409 || error.problem.field !== 'force') throw error;
      view.setsBack = error.message;
      return api.importRules(body, { dryRun: true, force: true });
    }
  }

  async function apply() {
    try {
      const done = await applyAskingFirst(view.file.body);
      if (!done) return;
      const counts = changeCounts(done.rules).filter((each) => each.change !== 'unchanged');
      const summary = counts.map((each) => t(`files.count.${each.change}`, { n: each.n })).join(', ') || t('files.nothing');
      message(t('files.applied', { name: view.file.name, summary }));
      view.file = null;
      view.plan = null;
      view.setsBack = '';
      setStatus('');
      await rulesChanged();
      draw();
    } catch (error) {
      setStatus(problemText(error), true);
    }
  }

  // Applies the file; one setting a running number back only once confirmed.
  // Null when not applied.
  async function applyAskingFirst(body) {
    try {
      return await api.importRules(body);
    } catch (error) {
      if (error.status !== 409 || error.problem.field !== 'force') throw error;
      const sure = await confirmAction({
        title: t('files.force_title'),
        message: error.message,
        confirm: t('files.force_confirm'),
      });
      return sure ? api.importRules(body, { force: true }) : null;
    }
  }

  function setStatus(text, problem = false) {
    view.status = { text, problem };
    const status = container.querySelector('.file-status');
    if (status) fill(status, text && h('span', { class: problem ? 'problem' : '' }, text));
  }

  function box(key, label) {
    return h('label', { class: 'check-field' },
      h('input', { type: 'checkbox', name: `export-${key}`, checked: view[key], onchange: (event) => { view[key] = event.target.checked; } }),
      ' ', label);
  }

  function ownerBlock(rule) {
    const quiet = rule.change === 'unchanged';
    return h('li', { class: `diff-owner ${rule.change}`, 'data-owner': rule.owner, 'data-change': rule.change },
      h('div', { class: 'diff-head' },
        h('span', { class: 'diff-sign' }, SIGNS[rule.change] || '?'), ' ',
        h('code', {}, rule.owner), ' ', `“${rule.name}”`, ' ',
        h('span', { class: 'diff-change' }, t(`files.change.${rule.change}`))),
      !quiet && h('ol', { class: 'diff-lines' },
        (rule.lines || []).map((line) => h('li', { class: `diff-line ${lineKind(line)}` }, line))));
  }

  function planSection() {
    if (!view.plan) return null;
    const { rules, codes } = view.plan;
    const changes = changeCounts(rules);
    const anything = rules.some((rule) => rule.change !== 'unchanged') || codes.length > 0;
    return h('section', { class: 'import-plan', 'aria-label': t('files.plan_title') },
      h('h3', {}, t('files.plan_title', { name: view.file.name })),
      h('p', { class: 'diff-summary' }, changes.map((each) => t(`files.count.${each.change}`, { n: each.n })).join(', ')),
      view.setsBack && h('div', { class: 'sets-back' }, h('p', { class: 'problem' }, view.setsBack), h('p', { class: 'hint' }, t('files.sets_back'))),
      h('ul', { class: 'diff' }, rules.map(ownerBlock)),
      codes.length > 0 && h('div', { class: 'diff-codes' }, h('h4', {}, t('files.codes')),
        h('ul', {}, codes.map((line) => h('li', { class: 'diff-line put' }, line)))),
      h('div', { class: 'actions' },
        h('button', { class: 'primary apply-import', disabled: !anything, onclick: apply }, t('files.apply')),
        h('button', { class: 'quiet', onclick: () => { view.file = null; view.plan = null; view.setsBack = ''; draw(); } }, t('common.cancel')),
        !anything && h('span', { class: 'hint' }, t('files.nothing'))));
  }

  function draw() {
    const input = h('input', { type: 'file', name: 'rule-file', accept: '.json,application/json', onchange: choose });
    fill(
      container,
      h('h2', {}, t('files.title')),
      h('p', { class: 'hint' }, t('files.explain')),
      h('section', { class: 'export' },
        h('h3', {}, t('files.export_title')),
        h('div', { class: 'file-options' },
          box('withNumbers', t('files.with_numbers')),
          box('withCodes', t('files.with_codes')),
          box('onlySelected', t('files.only_selected', { owner: chosenOwner() }))),
        h('button', { class: 'primary download-rules', onclick: download }, t('files.download'))),
      h('section', { class: 'import' },
        h('h3', {}, t('files.import_title')),
        h('p', { class: 'hint' }, t('files.import_explain')),
        h('label', { class: 'field' }, h('span', {}, t('files.choose')), input)),
      h('p', { class: 'file-status', role: 'status' }),
      planSection(),
    );
    setStatus(view.status.text, view.status.problem);
  }

  return {
    attach(element) {
      container = element;
      draw();
    },
    open: draw,
  };
}
