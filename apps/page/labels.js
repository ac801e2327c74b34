// Labels for the items just numbered: serial numbers issued with saving (the
// token is asked for, as for every change), then laid out for printing on a
// label roll or an A4 sheet, each label the serial's barcode (drawn by the
// service), the serial number under it, and the item's code and name. The
// browser's print (or "Save as PDF") gives the labels page by page.
import { h, fill } from './dom.js';
import { t } from './i18n.js';
import { api } from './api.js';
import { today } from './preview.js';

// Label sizes: a 50 x 25 mm roll, one label a page; an A4 sheet of 3 x 8
// labels of 70 x 37 mm without margins.
export const LAYOUTS = {
  roll: { page: '50mm 25mm', perPage: 1 },
  a4: { page: 'A4', perPage: 24 },
};
export const SYMBOLOGIES = ['code128', 'qr', 'datamatrix'];
const MAX_COUNT = 240;

// "department=0101 warehouse=W02" -> {department: '0101', warehouse: 'W02'}.
export function parseValues(text) {
  const values = {};
  for (const word of text.split(/\s+/).filter(Boolean)) {
    const at = word.indexOf('=');
    if (at <= 0) return null;
    values[word.slice(0, at)] = word.slice(at + 1);
  }
  return values;
}

export function barcodeUrl(serial, symbology) {
  const url = new URL(`./v1/serials/${encodeURIComponent(serial)}/barcode.svg`, document.baseURI);
  url.searchParams.set('symbology', symbology);
  return url.href;
}

export function createLabels(state, { message }) {
  let container = document.createElement('div');
  const view = { item: '', count: '3', date: today(), values: '', layout: 'a4', symbology: 'code128', issued: null, status: '' };

  // The page size of the chosen layout, for print: one @page rule in a sheet
  // of its own, built in code (the content security policy refuses style
  // elements written as text).
  let pageSheet = null;
  function applyPageSize() {
    if (!pageSheet) {
      pageSheet = new CSSStyleSheet();
      document.adoptedStyleSheets = [...document.adoptedStyleSheets, pageSheet];
    }
    pageSheet.replaceSync(`@page { size: ${LAYOUTS[view.layout].page}; margin: 0; }`);
  }

  async function issue(event) {
    event.preventDefault();
    const count = Number(view.count);
    const values = parseValues(view.values);
    if (!view.item) return setStatus(t('labels.need_item'), true);
    if (!Number.isInteger(count) || count < 1 || count > MAX_COUNT) return setStatus(t('labels.bad_count', { max: MAX_COUNT }), true);
    if (!values) return setStatus(t('labels.bad_values'), true);
    setStatus(t('labels.issuing'));
    try {
      const answer = await api.issue(view.item, { date: view.date || today(), values, count, save: true });
      const item = await api.item(view.item).catch(() => ({ name: '' }));
      view.issued = { item: view.item, name: item.name || '', serials: answer.serial_numbers };
      setStatus(t('labels.issued', { n: answer.serial_numbers.length, rule: answer.rule }));
      message(t('labels.issued', { n: answer.serial_numbers.length, rule: answer.rule }), answer.warnings || []);
      drawSheet();
    } catch (error) {
      setStatus(error.refused ? t('write.refused', { reason: error.message }) : error.message, true);
    }
  }

  function setStatus(text, problem = false) {
    view.status = text;
    const status = container.querySelector('.label-status');
    if (status) fill(status, text && h('span', { class: problem ? 'problem' : '' }, text));
  }

  function input(name, key, attributes = {}) {
    return h('label', { class: 'field' }, h('span', {}, t(`labels.${key}`)),
      h('input', { name, value: view[key], oninput: (event) => { view[key] = event.target.value.trim(); }, ...attributes }));
  }

  function choice(name, key, words, label) {
    return h('label', { class: 'field' }, h('span', {}, t(`labels.${key}`)),
      h('select', { name, onchange: (event) => { view[key] = event.target.value; drawSheet(); } },
        words.map((word) => h('option', { value: word, selected: view[key] === word }, label(word)))));
  }

  function label(serial) {
    return h('div', { class: 'label', 'data-serial': serial },
      h('img', { class: 'barcode', src: barcodeUrl(serial, view.symbology), alt: serial }),
      h('div', { class: 'label-serial' }, serial),
      h('div', { class: 'label-item' }, h('span', { class: 'label-code' }, view.issued.item), ' ', view.issued.name));
  }

  function drawSheet() {
    const place = container.querySelector('.label-print');
    if (!place) return;
    applyPageSize();
    if (!view.issued) return fill(place, h('p', { class: 'hint' }, t('labels.none_yet')));
    const { perPage } = LAYOUTS[view.layout];
    const pages = [];
    for (let at = 0; at < view.issued.serials.length; at += perPage) {
      pages.push(h('div', { class: 'label-page' }, view.issued.serials.slice(at, at + perPage).map(label)));
    }
    fill(
      place,
      h('h3', {}, t('labels.print_title')),
      h('div', { class: 'label-controls' },
        choice('label-layout', 'layout', Object.keys(LAYOUTS), (word) => t(`labels.layout.${word}`)),
        choice('label-symbology', 'symbology', SYMBOLOGIES, (word) => t(`labels.symbology.${word}`)),
        h('button', { class: 'primary print-labels', onclick: () => window.print() }, t('labels.print'))),
      h('p', { class: 'hint' }, t('labels.print_hint')),
      h('div', { class: `label-sheet layout-${view.layout}` }, pages),
    );
  }

  function draw() {
    const known = [...state.items.values()].flat();
    fill(
      container,
      h('h2', {}, t('labels.title')),
      h('p', { class: 'hint' }, t('labels.explain')),
      h('form', { class: 'label-form', onsubmit: issue },
        input('label-item', 'item', { list: 'label-items', class: 'code', size: 14 }),
        input('label-count', 'count', { inputmode: 'numeric', size: 4 }),
        input('label-date', 'date', { type: 'date' }),
        input('label-values', 'values', { placeholder: 'department=0101', size: 22 }),
        h('button', { class: 'primary issue-labels' }, t('labels.issue')),
        h('datalist', { id: 'label-items' }, known.map((item) => h('option', { value: item.code }, item.name)))),
      h('p', { class: 'label-status', role: 'status' }),
      h('section', { class: 'label-print' }),
    );
    setStatus(view.status);
    drawSheet();
  }

  return {
    attach(element) {
      container = element;
      draw();
    },
    open() {
      if (!view.item && state.selected?.startsWith('item:')) view.item = state.selected.slice(5);
      draw();
    },
  };
}
