// The rule of one owner: its state (own rule, or the owner it follows), the
// rule editor with its inline checks, the live preview, the running number,
// saving and deleting.
import { h, fill, debounce } from './dom.js';
import { t } from './i18n.js';
import { api } from './api.js';
import { confirmAction } from './dialog.js';
import { SOURCE_NAMES, RESTART_WORDS, CHECK_WORDS, kindOf, caption, newSegment, segmentFromJson, segmentToJson } from './sources.js';
import { validateDraft, previewable } from './validate.js';
import { parseOwner } from './owners.js';
import { today, sampleLine, previewBody, renderPreview, renderPreviewProblem } from './preview.js';
import { numberPanel } from './number.js';

const FIELD_LABELS = {
  pattern: 'field.pattern', text: 'field.text', level: 'field.level', width: 'field.width',
  pad: 'field.pad', fill: 'field.fill', step: 'field.step', start: 'field.start',
  restart: 'field.restart', end: 'field.end', warn: 'field.warn', journal: 'field.journal',
  unique: 'field.unique', check: 'field.check',
};

// The pane keeps its draft while the page redraws around it: attach() hands
// it the element to draw into.
export function createEditor(state, { rulesChanged, numberSet = () => {}, message }) {
  let container = document.createElement('div');
  let draft = null; // {name, segments, saved, copiedFrom}
  let nextNumber = ''; // the stored running number of a saved rule
  let problems = [];
  let previewSequence = 0;
  let pollTimer = 0;
  const sample = { date: today(), item: '', values: {} };

  const owner = () => state.selected;
  const ownerIsItem = () => parseOwner(owner()).kind === 'item';

  // --- checks -----------------------------------------------------------

  function check() {
    problems = draft ? validateDraft(draft, { nextNumber, levels: state.levels }) : [];
    for (const slot of container.querySelectorAll('[data-where]')) {
      const mine = problems.filter((problem) => problem.where === slot.dataset.where);
      fill(slot, mine.map((problem) => h('span', {}, t(problem.key, problem.values))));
      const field = slot.closest('.field');
      if (field) field.classList.toggle('invalid', mine.length > 0);
    }
    const save = container.querySelector('button.save');
    if (save) save.disabled = problems.length > 0;
  }

  // --- preview ----------------------------------------------------------

  const schedulePreview = debounce(runPreview, 200);

  // A draft the service cannot read shows so at once, and no answer still
  // on its way replaces that.
  function notPreviewable() {
    ++previewSequence;
    const output = container.querySelector('.preview-output');
    if (output) renderPreviewProblem(output, t('preview.fix_fields'));
    showContributions(null);
  }

  async function runPreview() {
    const output = container.querySelector('.preview-output');
    if (!output || !draft) return;
    if (!previewable(problems)) return notPreviewable();
    const sequence = ++previewSequence;
    const segments = draft.segments.map(segmentToJson);
    try {
      const answer = await api.previewDraft(owner(), previewBody(draft.segments, segments, sample));
      if (sequence !== previewSequence) return;
      renderPreview(output, answer, draft.segments, state);
      showContributions(answer);
    } catch (error) {
      if (sequence !== previewSequence) return;
      renderPreviewProblem(output, error.message);
      showContributions(null);
    }
  }

  function showContributions(answer) {
    for (const slot of container.querySelectorAll('.contribution')) {
      const segment = answer && answer.segments[Number(slot.dataset.index)];
      slot.textContent = segment ? (segment.text ?? '✕') : '';
      slot.title = segment && segment.reason ? segment.reason : '';
      slot.classList.toggle('failed', Boolean(segment && segment.cause));
    }
  }

  function edited() {
    check();
    if (previewable(problems)) schedulePreview();
    else notPreviewable();
  }

  // --- segment rows -----------------------------------------------------

  // The control of one setting: a choice of levels or restart words, a box
  // for a policy that is on or off, else a text field.
  function control(key, segment, extra) {
    if (key === 'restart') {
      return h('select', { 'data-key': key, onchange: (event) => { segment[key] = event.target.value; edited(); } },
        RESTART_WORDS.map((word) => h('option', { value: word, selected: segment[key] === word }, t(`restart.${word}`))));
    }
    if (key === 'check') {
      return h('select', { 'data-key': key, onchange: (event) => { segment[key] = event.target.value; edited(); } },
        CHECK_WORDS.map((word) => h('option', { value: word, selected: (segment[key] || 'none') === word }, t(`check.${word}`))));
    }
    if (key === 'journal' || key === 'unique') {
      return h('input', { type: 'checkbox', 'data-key': key, checked: Boolean(segment[key]),
        onchange: (event) => { segment[key] = event.target.checked; edited(); } });
    }
    return key === 'level' && state.levels[segment.source]
        ? h('select', { 'data-key': key, onchange: (event) => { segment[key] = event.target.value; edited(); } },
            Array.from({ length: state.levels[segment.source] }, (_, i) =>
              h('option', { value: String(i + 1), selected: segment[key] === String(i + 1) }, String(i + 1))))
        : h('input', {
            'data-key': key,
            value: segment[key] ?? '',
            size: key === 'pattern' || key === 'text' ? 12 : 4,
            oninput: (event) => { segment[key] = event.target.value; edited(); },
            ...extra,
          });
  }

  function field(index, key, segment, extra = {}) {
    const where = `${index}.${key}`;
    return h('label', { class: `field f-${key}` }, h('span', {}, t(FIELD_LABELS[key])), control(key, segment, extra),
      h('small', { class: 'reason', 'data-where': where }));
  }

  function segmentRow(segment, index, count) {
    const kind = kindOf(segment.source);
    const keys = [...(kind.head ? [kind.head] : []), ...kind.settings];
    const move = (to) => {
      const [moved] = draft.segments.splice(index, 1);
      draft.segments.splice(to, 0, moved);
      drawRows();
    };
    return h(
      'li',
      { class: `segment seg-c${index % 6}`, 'data-index': index },
      h('span', { class: 'segment-number' }, String(index + 1)),
      h('div', { class: 'segment-fields' },
        h('label', { class: 'field f-source' }, h('span', {}, t('field.source')),
          h('select', {
            'data-key': 'source',
            onchange: (event) => { draft.segments[index] = newSegment(event.target.value); drawRows(); },
          }, [...new Set([...SOURCE_NAMES, segment.source])].map((name) =>
            h('option', { value: name, selected: name === segment.source }, caption(name, state.captions, t))))),
        keys.map((key) => field(index, key, segment)),
        kind.mapped && h('span', { class: 'hint shared', title: t('field.shared_title') }, t('field.shared'))),
      h('div', { class: 'segment-end' },
        h('output', { class: 'contribution', 'data-index': index, title: '' }),
        h('span', { class: 'row-buttons' },
        h('button', { class: 'icon', title: t('editor.up'), 'aria-label': t('editor.up'), disabled: index === 0, onclick: () => move(index - 1) }, '↑'),
        h('button', { class: 'icon', title: t('editor.down'), 'aria-label': t('editor.down'), disabled: index === count - 1, onclick: () => move(index + 1) }, '↓'),
        h('button', { class: 'icon remove', title: t('editor.remove'), 'aria-label': t('editor.remove'),
          onclick: () => { draft.segments.splice(index, 1); drawRows(); } }, '✕'))),
    );
  }

  function drawRows() {
    const list = container.querySelector('.segments');
    fill(list, draft.segments.map((segment, index) => segmentRow(segment, index, draft.segments.length)));
    drawSample();
    showContributions(null);
    edited();
  }

  function drawSample() {
    const slot = container.querySelector('.sample-slot');
    if (slot) fill(slot, sampleLine(state, sample, draft.segments, { itemEditable: !ownerIsItem(), changed: schedulePreview }));
  }

  // --- saving -----------------------------------------------------------

  async function save() {
    check();
    if (problems.length) return;
    const status = container.querySelector('.save-status');
    try {
      const saved = await saveAskingFirst({ name: draft.name.trim(), segments: draft.segments.map(segmentToJson) });
      if (!saved) return;
      draft.saved = true;
      draft.copiedFrom = null;
      nextNumber = saved.next_number;
      message(t('editor.saved', { name: saved.name }), saved.notes || []);
      await rulesChanged();
      draw();
    } catch (error) {
      fill(status, h('span', { class: 'problem' }, error.refused ? t('write.refused', { reason: error.message }) : error.message));
    }
  }

  // Saves the rule; one the service refuses as repeating serial numbers is
  // saved as it stands only once the user says so. Null when not saved.
  async function saveAskingFirst(rule) {
    try {
      return await api.saveRule(owner(), rule);
    } catch (error) {
      if (error.status !== 409 || error.problem.field !== 'force') throw error;
      const sure = await confirmAction({
        title: t('editor.force_title'),
        message: error.message,
        confirm: t('editor.force_confirm'),
      });
      return sure ? api.saveRule(owner(), { ...rule, force: true }) : null;
    }
  }

  async function remove() {
    const sure = await confirmAction({
      title: t('editor.delete_title'),
      message: t('editor.delete_message', { name: draft.name, owner: owner() }),
      confirm: t('editor.delete'),
    });
    if (!sure) return;
    try {
      await api.deleteRule(owner());
      draft = null;
      message(t('editor.deleted', { owner: owner() }));
      await rulesChanged();
      draw();
    } catch (error) {
      fill(container.querySelector('.save-status'), h('span', { class: 'problem' }, error.refused ? t('write.refused', { reason: error.message }) : error.message));
    }
  }

  // --- the pane ---------------------------------------------------------

  function ownerTitle() {
    const { kind, code } = parseOwner(owner());
    if (kind === 'all') return [t('tree.all')];
    const name = kind === 'class' ? state.byCode.get(code)?.name : state.itemName(code);
    return [h('code', {}, owner()), ' ', name || ''];
  }

  function statusLine() {
    const own = state.rules.get(owner());
    if (own) return t('owner.own', { name: own.name });
    const from = state.ruleOwnerOf(owner());
    if (!from) return t('owner.none');
    return [t('owner.follows', { name: state.rules.get(from).name, owner: from }), ' ',
      h('button', { class: 'link', onclick: () => state.select(from) }, t('owner.open', { owner: from }))];
  }

  function startDraft() {
    const from = state.ruleOwnerOf(owner());
    const base = from && state.rules.get(from);
    draft = {
      name: '',
      segments: base ? base.segments.map(segmentFromJson) : [newSegment('date'), newSegment('number')],
      saved: false,
      copiedFrom: base ? from : null,
    };
    nextNumber = '';
    draw();
  }

  function editorSection() {
    return h(
      'section',
      { class: 'editor', 'aria-label': t('editor.title') },
      h('h3', {}, draft.saved ? t('editor.title') : t('editor.new_title')),
      draft.copiedFrom && h('p', { class: 'hint' }, t('editor.copied', { owner: draft.copiedFrom })),
      h('label', { class: 'field f-name' }, h('span', {}, t('field.name')),
        h('input', { name: 'rule-name', value: draft.name, oninput: (event) => { draft.name = event.target.value; check(); } }),
        h('small', { class: 'reason', 'data-where': 'name' })),
      h('ol', { class: 'segments' }),
      h('div', { class: 'add-row' },
        h('button', { class: 'add', onclick: () => { draft.segments.push(newSegment('text')); drawRows(); } }, '+ ', t('editor.add'))),
      h('p', { class: 'reason rule-reason', 'data-where': 'rule' }),
      h('div', { class: 'actions' },
        h('button', { class: 'primary save', onclick: save }, t('editor.save')),
        draft.saved && h('button', { class: 'danger delete', onclick: remove }, t('editor.delete')),
        h('span', { class: 'save-status', role: 'status' })),
    );
  }

  function draw() {
    clearInterval(pollTimer);
    if (!owner()) return fill(container, h('p', { class: 'hint' }, t('owner.choose')));
    fill(
      container,
      h('header', { class: 'owner-head' },
        h('h2', {}, ownerTitle()),
        h('p', { class: 'owner-status' }, statusLine()),
        !draft && h('button', { class: 'primary new-rule', onclick: startDraft }, t('owner.new_rule'))),
      draft && h('div', { class: 'rule-body' },
        editorSection(),
        h('div', { class: 'rule-side' },
          h('section', { class: 'preview', 'aria-label': t('preview.title') },
            h('h3', {}, t('preview.title')),
            h('div', { class: 'sample-slot' }),
            h('div', { class: 'preview-output', 'aria-live': 'polite' })),
          draft.saved && numberPanel(owner(), () => nextNumber, (number) => {
            numberChanged(number);
            numberSet();
          }))),
    );
    if (!draft) return;
    drawRows();
    if (draft.saved) pollTimer = setInterval(pollNumber, 2000);
  }

  function numberChanged(number) {
    nextNumber = number;
    const shown = container.querySelector('.number-value');
    if (shown) shown.textContent = number;
    edited();
  }

  async function pollNumber() {
    if (document.hidden || !draft || !draft.saved) return;
    const asked = owner();
    try {
      const answer = await api.number(asked);
      if (asked === owner() && answer.next_number !== nextNumber) numberChanged(answer.next_number);
    } catch {
      // The next poll tries again.
    }
  }

  async function defaultSampleItem() {
    if (ownerIsItem()) return parseOwner(owner()).code;
    const { kind, code } = parseOwner(owner());
    return state.firstItemUnder(kind === 'class' ? code : null);
  }

  // Shows `owner`'s rule: its own one to edit, or what it follows.
  async function open() {
    draft = null;
    nextNumber = '';
    ++previewSequence; // an answer about the owner before is not shown
    draw();
    const target = owner();
    if (!target) return;
    sample.item = (await defaultSampleItem()) || '';
    const own = state.rules.get(target);
    if (own && target === owner()) {
      draft = { name: own.name, segments: own.segments.map(segmentFromJson), saved: true, copiedFrom: null };
      nextNumber = own.next_number;
    }
    if (target === owner()) draw();
  }

  function attach(element) {
    container = element;
    draw();
  }

  return { open, attach, refresh: () => draft && schedulePreview() };
}
