// The live preview: a sample document line with the values the rule needs,
// the serial number the rule being edited would give for it, each segment's
// part of it marked, and why there is none when there is none. Previews
// never use up a running number.
import { h, fill } from './dom.js';
import { t } from './i18n.js';
import { kindOf, caption } from './sources.js';

export function today() {
  const now = new Date();
  const pad = (n) => String(n).padStart(2, '0');
  return `${now.getFullYear()}-${pad(now.getMonth() + 1)}-${pad(now.getDate())}`;
}

// The line values the segments read, besides the date.
export function neededValues(segments) {
  const names = [];
  for (const segment of segments) {
    if (kindOf(segment.source).line && segment.source !== 'date' && !names.includes(segment.source)) {
      names.push(segment.source);
    }
  }
  return names;
}

export function needsItem(segments) {
  return segments.some((segment) => segment.source === 'class' || segment.source === 'item');
}

// The request body of a preview of `segments` (service form) for `sample`
// {date, item, values}.
export function previewBody(segments, jsonSegments, sample) {
  const values = {};
  for (const name of neededValues(segments)) {
    if (sample.values[name]) values[name] = sample.values[name];
  }
  const body = { segments: jsonSegments, date: sample.date || today(), values };
  if (sample.item) body.item = sample.item;
  return body;
}

// The sample line's inputs; `changed()` after every edit.
export function sampleLine(state, sample, segments, { itemEditable, changed }) {
  const input = (label, attributes, onValue) =>
    h(
      'label',
      { class: 'field' },
      h('span', {}, label),
      h('input', { ...attributes, oninput: (event) => { onValue(event.target.value); changed(); } }),
    );
  const fields = [
    input(t('sample.date'), { type: 'date', name: 'sample-date', value: sample.date }, (v) => (sample.date = v)),
  ];
  if (itemEditable && needsItem(segments)) {
    fields.push(input(t('sample.item'), { name: 'sample-item', value: sample.item, list: 'known-items' }, (v) => (sample.item = v.trim())));
  }
  for (const name of neededValues(segments)) {
    fields.push(
      input(caption(name, state.captions, t), { name: `sample-${name}`, value: sample.values[name] || '' }, (v) => (sample.values[name] = v.trim())),
    );
  }
  const known = [...state.items.values()].flat();
  return h(
    'fieldset',
    { class: 'sample' },
    h('legend', {}, t('sample.title')),
    fields,
    h('datalist', { id: 'known-items' }, known.map((item) => h('option', { value: item.code }, item.name))),
  );
}

function whyText(answer, segments, state) {
  const index = answer.segments.findIndex((segment) => segment.cause);
  const source = index >= 0 ? caption(segments[index].source, state.captions, t) : '';
  const key = `why.${answer.cause}`;
  const words = t(key, { n: index + 1, source, reason: answer.reason });
  return words === key ? t('why.failed', { n: index + 1, reason: answer.reason }) : words;
}

// Draws a preview answer (POST /v1/rules/{owner}/preview) into `output`.
export function renderPreview(output, answer, segments, state) {
  if (!answer) return fill(output);
  const parts = answer.segments.map((segment, index) =>
    h(
      'span',
      { class: `part seg-c${index % 6}`, title: `${index + 1}: ${segment.notation}` },
      segment.text ?? '✕',
    ),
  );
  const empty = answer.serial_number === '';
  if (!empty && answer.check) {
    parts.push(h('span', { class: 'part check', title: t('field.check') }, answer.check));
  }
  return fill(
    output,
    h('div', { class: 'serial-label' }, t(empty ? 'preview.none' : 'preview.would_give')),
    h('div', { class: `serial${empty ? ' empty' : ''}`, 'data-serial': answer.serial_number }, parts),
    h('p', { class: 'hint' }, t('preview.no_use_up', { number: answer.next_number })),
    !answer.number_fits && h('p', { class: 'problem' }, t('preview.number_cut', { number: answer.next_number })),
    empty && h('div', { class: 'why', role: 'status' }, h('strong', {}, t('why.title')), ' ', whyText(answer, segments, state)),
  );
}

// A preview that could not be asked: the marked fields, or the service's refusal.
export function renderPreviewProblem(output, message) {
  fill(
    output,
    h('div', { class: 'serial-label' }, t('preview.none')),
    h('div', { class: 'why', role: 'status' }, h('strong', {}, t('why.title')), ' ', message),
  );
}
