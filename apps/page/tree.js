// The owners pane: "all items", the class tree by level with each class's
// serial-managed items, a search box, and for every owner its own rule or
// the owner whose rule it follows.
import { h, fill } from './dom.js';
import { t } from './i18n.js';
import { ALL, classOwner, itemOwner } from './owners.js';

function matches(text, filter) {
  return text.toLowerCase().includes(filter);
}

// The codes of the classes to show for `filter`: those whose code or name
// holds it, those holding a matching item, and every class above them.
function visibleClasses(state, filter) {
  if (!filter) return null;
  const shown = new Set();
  const keep = (code) => {
    for (let at = code; at && !shown.has(at); at = state.parentOf(at)) shown.add(at);
  };
  for (const entry of state.classes) {
    if (matches(entry.code, filter) || matches(entry.name, filter)) keep(entry.code);
  }
  for (const [code, items] of state.items) {
    if (items.some((item) => matches(item.code, filter) || matches(item.name, filter))) keep(code);
  }
  return shown;
}

function badge(state, owner) {
  const own = state.rules.get(owner);
  if (own) return h('span', { class: 'badge own', title: t('tree.own_title') }, '● ', own.name);
  const from = state.ruleOwnerOf(owner);
  if (!from) return h('span', { class: 'badge none' }, t('tree.no_rule'));
  return h('span', { class: 'badge inherits', title: t('tree.inherits_title', { owner: from }) }, '↳ ', from);
}

function row(state, handlers, owner, { toggle, code, name, depth }) {
  const selected = state.selected === owner;
  return h(
    'div',
    {
      class: `node${selected ? ' selected' : ''}`,
      style: `--depth:${depth}`,
      role: 'treeitem',
      'aria-selected': String(selected),
      'data-owner': owner,
      tabindex: selected ? '0' : '-1',
      onclick: () => handlers.select(owner),
      onkeydown: (event) => event.key === 'Enter' && handlers.select(owner),
    },
    toggle || h('span', { class: 'toggle-space' }),
    code && h('code', {}, code),
    h('span', { class: 'name' }, name),
    badge(state, owner),
  );
}

function toggleButton(state, handlers, code) {
  const open = state.expanded.has(code);
  return h(
    'button',
    {
      class: 'toggle',
      'aria-expanded': String(open),
      'aria-label': t(open ? 'tree.collapse' : 'tree.expand', { code }),
      onclick: (event) => {
        event.stopPropagation();
        handlers.toggle(code);
      },
    },
    open ? '▾' : '▸',
  );
}

function classBranch(state, handlers, entry, depth, shown, filter) {
  const nodes = [
    row(state, handlers, classOwner(entry.code), {
      toggle: toggleButton(state, handlers, entry.code),
      code: entry.code,
      name: entry.name,
      depth,
    }),
  ];
  if (!state.expanded.has(entry.code) && !filter) return nodes;
  for (const child of state.children(entry.code)) {
    if (!shown || shown.has(child.code)) nodes.push(...classBranch(state, handlers, child, depth + 1, shown, filter));
  }
  const items = state.items.get(entry.code);
  if (items === undefined) {
    if (state.expanded.has(entry.code)) nodes.push(h('div', { class: 'node note', style: `--depth:${depth + 1}` }, t('common.loading')));
    return nodes;
  }
  const listed = filter ? items.filter((item) => matches(item.code, filter) || matches(item.name, filter)) : items;
  for (const item of listed) {
    nodes.push(row(state, handlers, itemOwner(item.code), { code: item.code, name: item.name, depth: depth + 1 }));
  }
  if (!items.length && state.expanded.has(entry.code) && !state.children(entry.code).length) {
    nodes.push(h('div', { class: 'node note', style: `--depth:${depth + 1}` }, t('tree.no_items')));
  }
  return nodes;
}

// Draws the pane into `container`. handlers: select(owner), toggle(code),
// search(text), find(code) for an exact code entered.
export function renderTree(container, state, handlers) {
  const filter = state.filter.trim().toLowerCase();
  const shown = visibleClasses(state, filter);
  const nodes = [row(state, handlers, ALL, { name: t('tree.all'), depth: 0 })];
  for (const entry of state.children(null)) {
    if (!shown || shown.has(entry.code)) nodes.push(...classBranch(state, handlers, entry, 0, shown, filter));
  }
  if (shown && shown.size === 0) nodes.push(h('div', { class: 'node note' }, t('tree.nothing_found', { text: state.filter })));
  const list = container.querySelector('.tree') || container.appendChild(h('div', { class: 'tree', role: 'tree' }));
  fill(list, nodes);
}

// The search box above the tree; drawn once.
export function searchBox(state, handlers) {
  return h(
    'form',
    {
      class: 'search',
      role: 'search',
      onsubmit: (event) => {
        event.preventDefault();
        handlers.find(state.filter.trim());
      },
    },
    h('input', {
      type: 'search',
      placeholder: t('tree.search'),
      'aria-label': t('tree.search'),
      value: state.filter,
      oninput: (event) => handlers.search(event.target.value),
    }),
  );
}
