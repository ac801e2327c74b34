// The data sources a segment can take its text from, the settings each one
// takes, and segments between the editor's form and the service's JSON.

const FREE = Array.from({ length: 10 }, (_, i) => `free${i + 1}`);

// In the order the segment notation lists them.
export const SOURCE_NAMES = [
  'date', 'lot', 'department', 'workcenter', 'warehouse', 'clerk', 'supplier',
  'class', 'item', 'text', 'number', ...FREE,
];

// head: the key of the source's own value; line: the value comes from the
// document line; mapped: its values have short codes, and its width and pad
// sign are shared by every rule.
const KINDS = {
  date: { head: 'pattern', line: true },
  text: { head: 'text' },
  number: { settings: ['width', 'step', 'start', 'restart', 'end', 'warn', 'journal', 'unique', 'check'] },
  department: { head: 'level', line: true, mapped: true, graded: true },
  class: { head: 'level', mapped: true, graded: true },
  lot: { line: true },
  workcenter: { line: true, mapped: true },
  warehouse: { line: true, mapped: true },
  clerk: { line: true, mapped: true },
  supplier: { line: true, mapped: true },
  item: { mapped: true },
};
for (const name of FREE) KINDS[name] = { line: true, mapped: true };

export function kindOf(source) {
  // "typeN": a type code without a data source, which takes no settings.
  const kind = KINDS[source] || (/^type\d+$/.test(source) ? { settings: [] } : {});
  return {
    head: kind.head || null,
    line: Boolean(kind.line),
    mapped: Boolean(kind.mapped),
    graded: Boolean(kind.graded),
    settings: kind.settings || (kind.head === 'pattern' || kind.head === 'text' ? [] : ['width', 'pad', 'fill']),
  };
}

// The data sources whose values have short codes, for the mappings screen.
export const MAPPED_SOURCES = SOURCE_NAMES.filter((name) => kindOf(name).mapped);

// The words a running number may start again by, and its policies when none
// is on.
export const RESTART_WORDS = ['never', 'year', 'month', 'day', 'prefix'];
export const CHECK_WORDS = ['none', 'mod10', 'luhn', 'mod97'];
const NO_POLICY = { restart: 'never', end: '', warn: '', journal: false, unique: false, check: 'none' };

// A new segment of `source` with the usual settings filled in.
export function newSegment(source) {
  const defaults = {
    date: { pattern: 'YYYYMMDD' },
    text: { text: '' },
    number: { width: '4', step: '1', start: '1', ...NO_POLICY },
    department: { level: '1', width: '2', pad: '0' },
    class: { level: '1', width: '2', pad: '0' },
  };
  return { source, width: '', pad: '', fill: '', ...(defaults[source] || { width: '4', pad: '0' }) };
}

// The editor's form of a segment the service answered.
export function segmentFromJson(json) {
  const kind = kindOf(json.source);
  const segment = { source: json.source, width: '', pad: json.pad || '', fill: json.fill || '' };
  if (kind.head) segment[kind.head] = String(json[kind.head] ?? '');
  if (kind.settings.includes('width')) segment.width = String(json.width ?? '');
  if (json.source === 'number') {
    segment.step = String(json.step ?? '1');
    segment.start = String(json.start ?? '1');
    // The rule's numbering policies, kept as they are when it is saved again.
    segment.restart = json.restart || 'never';
    segment.end = json.end === undefined ? '' : String(json.end);
    segment.warn = json.warn === undefined ? '' : String(json.warn);
    segment.journal = json.journal === true;
    segment.unique = json.unique === true;
    segment.check = json.check || 'none';
  }
  return segment;
}

// The service's form of a segment of the editor: only the settings its
// source takes, and no empty pad or fill sign.
export function segmentToJson(segment) {
  const kind = kindOf(segment.source);
  const json = { source: segment.source };
  if (kind.head) json[kind.head] = segment[kind.head] ?? '';
  for (const key of kind.settings) {
    const value = segment[key];
    // A policy that is off is left out, as the service writes it.
    if (value === undefined || value === '' || value === false || (key === 'restart' && value === 'never') ||
        (key === 'check' && value === 'none')) continue;
    json[key] = value;
  }
  return json;
}

// The caption of a source in the page's language: the service's caption of
// the source where it has one, else the page's own.
export function caption(source, captions, t) {
  const own = t(`source.${source}`);
  return captions[source] || (own === `source.${source}` ? source : own);
}

// The service's captions by source name, from GET /v1/sources.
export function captionsOf(sources) {
  const captions = {};
  for (const entry of [...(sources.sources || []), ...(sources.free_items || [])]) {
    if (entry.caption && !captions[entry.source]) captions[entry.source] = entry.caption;
  }
  return captions;
}
