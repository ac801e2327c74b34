// The checks the editor makes while a rule is written, before the service
// sees it: each problem is a message key with its values, kept next to the
// field it concerns ("3.width") or for the rule as a whole ("rule", "name").
import { kindOf } from './sources.js';

const DATE_TOKENS = ['YYYY', 'YY', 'MM', 'DD', 'HH', ':MM:', 'SS'];
const WHOLE = /^-?\d+$/;

function whole(text) {
  return WHOLE.test(String(text).trim()) ? Number(text) : null;
}

function blankEnds(text) {
  return text !== text.trim();
}

// The digits of a running number as the serial number writes it.
function digits(number) {
  return String(whole(number)).length;
}

function checkHead(segment, kind, levels, report) {
  const value = segment[kind.head] ?? '';
  if (kind.head === 'pattern') {
    if (value.length < 3 || !DATE_TOKENS.some((token) => value.includes(token))) {
      report('pattern', 'check.pattern');
    }
  } else if (kind.head === 'text') {
    if (value === '') report('text', 'check.text_empty');
  } else if (kind.head === 'level') {
    const level = whole(value);
    const most = levels[segment.source];
    if (level === null || level < 1 || (most && level > most)) {
      report('level', most ? 'check.level_range' : 'check.level_whole', { most });
    }
  }
  if (value && blankEnds(value)) report(kind.head, 'check.blank_ends');
}

function checkSettings(segment, kind, nextNumber, report) {
  for (const sign of ['pad', 'fill']) {
    if (kind.settings.includes(sign) && [...(segment[sign] || '')].length > 1) {
      report(sign, 'check.one_sign');
    }
    if (kind.settings.includes(sign) && segment[sign] && segment[sign].trim() === '') {
      report(sign, 'check.blank_ends');
    }
  }
  if (!kind.settings.includes('width')) return;
  const width = whole(segment.width);
  if (width === null || width < 1) {
    report('width', 'check.width_whole');
  } else if (segment.source === 'number') {
    // A new rule starts at its start; a rule saved again keeps its number.
    const number = nextNumber !== '' ? nextNumber : segment.start;
    if (whole(number) !== null && digits(number) > width) {
      report('width', 'check.width_number', { width, number });
    }
  }
  if (segment.source !== 'number') return;
  const step = whole(segment.step);
  if (step === null || step < 1) report('step', 'check.step');
  if (whole(segment.start) === null) report('start', 'check.start');
  for (const limit of ['end', 'warn']) {
    if (segment[limit] && whole(segment[limit]) === null) report(limit, 'check.start');
  }
}

// The problems of a draft {name, segments}. `nextNumber` is the running
// number the rule would carry (the stored one, or the start of a new rule);
// `levels` the levels of the graded sources ({department: 2, class: 3}).
// Answers [{where, key, values}], in the order of the form.
export function validateDraft(draft, { nextNumber = '', levels = {} } = {}) {
  const problems = [];
  const name = draft.name || '';
  if (name.trim() === '') problems.push({ where: 'name', key: 'check.name' });
  else if (blankEnds(name)) problems.push({ where: 'name', key: 'check.blank_ends' });
  const numbers = draft.segments.filter((segment) => segment.source === 'number').length;
  if (draft.segments.length === 0) problems.push({ where: 'rule', key: 'check.no_segments' });
  else if (numbers === 0) problems.push({ where: 'rule', key: 'check.no_number' });
  else if (numbers > 1) problems.push({ where: 'rule', key: 'check.two_numbers' });
  draft.segments.forEach((segment, index) => {
    const kind = kindOf(segment.source);
    const report = (field, key, values = {}) =>
      problems.push({ where: `${index}.${field}`, key, values });
    if (kind.head) checkHead(segment, kind, levels, report);
    checkSettings(segment, kind, nextNumber, report);
  });
  return problems;
}

// Whether the service can read the draft's segments: problems of the rule as
// a whole or of its name do not keep it from previewing them.
export function previewable(problems) {
  return problems.every(
    (problem) =>
      problem.where === 'rule' ||
      problem.where === 'name' ||
      problem.key === 'check.width_number' ||
      problem.key === 'check.pattern' ||
      problem.key === 'check.text_empty',
  );
}
