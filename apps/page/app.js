// The rule-setup page: loads the sources, the class tree and the rules, and
// joins the owners pane, the rule of the chosen owner with its history, the
// mappings, the labels and the rule files.
import { h, fill } from './dom.js';
import { t, locale, setLocale, LOCALES } from './i18n.js';
import { api, setApiLocale, token, whenRefused } from './api.js';
import { askToken } from './dialog.js';
import { captionsOf } from './sources.js';
import { ruleOwnerOf, parseOwner } from './owners.js';
import { renderTree, searchBox } from './tree.js';
import { createEditor } from './editor.js';
import { createMappings } from './mappings.js';
import { createLabels } from './labels.js';
import { createFiles } from './files.js';
import { createHistory } from './history.js';

const MAX_SAMPLE_CLASSES = 30;

const state = {
  captions: {},
  levels: {},
  classes: [],
  byCode: new Map(),
  childMap: new Map(),
  items: new Map(), // class code -> its serial-managed items
  itemClass: new Map(), // item code -> {class, name}
  rules: new Map(), // owner -> rule
  expanded: new Set(),
  filter: '',
  selected: null,
  view: 'rules',
  parentOf: (code) => state.byCode.get(code)?.parent ?? null,
  children: (code) => state.childMap.get(code) || [],
  itemName: (code) => state.itemClass.get(code)?.name || '',
  ruleOwnerOf: (owner) =>
    ruleOwnerOf(owner, (o) => state.rules.has(o), state.parentOf, (code) => state.itemClass.get(code)?.class ?? null),
  select: (owner) => select(owner),
  firstItemUnder,
};

const root = document.getElementById('app');

function setClasses(classes) {
  state.classes = classes;
  state.byCode = new Map(classes.map((entry) => [entry.code, entry]));
  state.childMap = new Map();
  for (const entry of classes) {
    const key = entry.parent ?? null;
    if (!state.childMap.has(key)) state.childMap.set(key, []);
    state.childMap.get(key).push(entry);
  }
}

async function loadItems(code) {
  if (state.items.has(code)) return state.items.get(code);
  const answer = await api.classItems(code);
  state.items.set(code, answer.items);
  for (const item of answer.items) state.itemClass.set(item.code, { class: code, name: item.name });
  return answer.items;
}

// The first serial-managed item of the class (or of any class) and the
// classes below it, for the sample line; a few classes are asked at most.
async function firstItemUnder(code) {
  const queue = code ? [code] : state.children(null).map((entry) => entry.code);
  for (let asked = 0; queue.length && asked < MAX_SAMPLE_CLASSES; asked++) {
    const next = queue.shift();
    const items = await loadItems(next).catch(() => []);
    if (items.length) return items[0].code;
    queue.push(...state.children(next).map((entry) => entry.code));
  }
  return '';
}

async function loadRules() {
  const answer = await api.rules();
  state.rules = new Map(answer.rules.map((rule) => [rule.owner, rule]));
}

const loading = new Set();

// Draws the tree, then asks for the items of every open class not read yet.
function drawTree() {
  renderTree(root.querySelector('.owners'), state, treeHandlers);
  for (const code of state.expanded) {
    if (state.items.has(code) || loading.has(code)) continue;
    loading.add(code);
    loadItems(code)
      .catch((error) => {
        state.items.set(code, []); // not asked again until the page reloads
        notice(error.message, [], true);
      })
      .finally(() => {
        loading.delete(code);
        drawTree();
      });
  }
}

const treeHandlers = {
  select: (owner) => select(owner),
  toggle(code) {
    if (state.expanded.has(code)) state.expanded.delete(code);
    else state.expanded.add(code);
    drawTree();
  },
  search(text) {
    state.filter = text;
    drawTree();
  },
  // An item's exact code: found wherever it is, its classes opened.
  async find(code) {
    if (!code) return;
    const entry = state.byCode.get(code);
    if (entry) return select(`class:${code}`);
    try {
      const item = await api.item(code);
      state.itemClass.set(code, { class: item.class, name: item.name });
      for (let at = item.class; at; at = state.parentOf(at)) state.expanded.add(at);
      state.filter = '';
      root.querySelector('.search input').value = '';
      select(`item:${code}`);
    } catch (error) {
      notice(error.message, [], true);
    }
  },
};

function select(owner) {
  state.selected = owner;
  const { kind, code } = parseOwner(owner);
  if (kind === 'class') for (let at = state.parentOf(code); at; at = state.parentOf(at)) state.expanded.add(at);
  showView('rules');
  drawTree();
  root.querySelector(`.node[data-owner="${CSS.escape(owner)}"]`)?.scrollIntoView({ block: 'nearest' });
  editor.open();
  trail.open();
}

function notice(text, notes = [], problem = false) {
  fill(
    root.querySelector('.notice'),
    text && h('div', { class: problem ? 'problem' : 'done', role: 'status' }, text,
      notes.length > 0 && h('ul', {}, notes.map((note) => h('li', {}, note))),
      h('button', { class: 'icon', 'aria-label': t('common.close'), onclick: () => notice('') }, '✕')),
  );
}

function showView(view) {
  state.view = view;
  for (const tab of root.querySelectorAll('.tabs button')) tab.setAttribute('aria-selected', String(tab.dataset.view === view));
  root.querySelector('.rule-view').hidden = view !== 'rules';
  root.querySelector('.mapping-view').hidden = view !== 'mappings';
  root.querySelector('.label-view').hidden = view !== 'labels';
  root.querySelector('.file-view').hidden = view !== 'files';
  document.body.classList.toggle('printing-labels', view === 'labels');
  if (view === 'mappings') mappings.open();
  else if (view === 'labels') labels.open();
  else if (view === 'files') files.open();
  else editor.refresh();
}

function tokenButton() {
  const button = h('button', { class: 'token' });
  const label = () => fill(button, token.get() ? t('token.set') : t('token.missing'));
  button.addEventListener('click', () => askToken().then(label));
  tokenLabel = label;
  return label();
}

let tokenLabel = () => {};

function drawShell() {
  document.documentElement.lang = locale();
  document.title = t('app.title');
  fill(
    root,
    h('header', { class: 'top' },
      h('h1', {}, t('app.title')),
      h('nav', { class: 'tabs', role: 'tablist' },
        ['rules', 'mappings', 'labels', 'files'].map((view) =>
          h('button', { role: 'tab', 'data-view': view, 'aria-selected': String(state.view === view), onclick: () => showView(view) }, t(`tab.${view}`)))),
      h('div', { class: 'top-tools' },
        tokenButton(),
        h('label', { class: 'language' }, h('span', { class: 'visually-hidden' }, t('app.language')),
          h('select', { name: 'language', onchange: (event) => changeLocale(event.target.value) },
            LOCALES.map((tag) => h('option', { value: tag, selected: tag === locale() }, t(`language.${tag}`))))))),
    h('div', { class: 'notice' }),
    h('main', {},
      h('aside', { class: 'owners', 'aria-label': t('tree.title') }, h('h2', {}, t('tree.title')), searchBox(state, treeHandlers)),
      h('div', { class: 'rule-view' }, h('div', { class: 'rule-edit' }), h('div', { class: 'rule-trail' })),
      h('div', { class: 'mapping-view', hidden: true }),
      h('div', { class: 'label-view', hidden: true }),
      h('div', { class: 'file-view', hidden: true })),
  );
  mappings.attach(root.querySelector('.mapping-view'));
  labels.attach(root.querySelector('.label-view'));
  files.attach(root.querySelector('.file-view'));
  editor.attach(root.querySelector('.rule-edit'));
  trail.attach(root.querySelector('.rule-trail'));
  drawTree();
  showView(state.view);
}

async function rulesChanged() {
  await loadRules();
  drawTree();
  trail.open();
}

const editor = createEditor(state, { rulesChanged, numberSet: () => trail.open(), message: notice });
const mappings = createMappings(state, { message: notice });
const labels = createLabels(state, { message: notice });
// An import may change the rule on show: it is read again.
const files = createFiles(state, {
  rulesChanged: async () => {
    await rulesChanged();
    editor.open();
  },
  message: notice,
});
const trail = createHistory(state);

async function loadSetup() {
  setApiLocale(locale());
  const [sources, classes] = await Promise.all([api.sources(), api.classes(), loadRules()]);
  state.captions = captionsOf(sources);
  state.levels = {};
  for (const source of sources.sources) {
    if (source.levels) state.levels[source.source] = source.levels;
  }
  setClasses(classes.classes);
}

async function changeLocale(tag) {
  setLocale(tag);
  await loadSetup();
  drawShell();
}

whenRefused((error) => {
  askToken(t('write.refused', { reason: error.message })).then(() => tokenLabel());
});

async function start() {
  try {
    await loadSetup();
  } catch (error) {
    fill(root, h('p', { class: 'problem' }, t('app.unavailable', { reason: error.message })));
    return;
  }
  state.selected = 'all';
  drawShell();
  editor.open();
}

start();
