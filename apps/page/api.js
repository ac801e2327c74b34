// The service's /v1 resources as the page calls them: JSON in and out, every
// failure an ApiError holding the problem object, answers in the page's
// language, and the bearer token (kept for the browser tab only) on every
// request that is not a GET.

const TOKEN_KEY = 'quillet.token';

export class ApiError extends Error {
  constructor(status, problem) {
    super(problem.detail || problem.title || `HTTP ${status}`);
    this.status = status;
    this.problem = problem;
  }

  // Whether the service refused a change for want of the right token.
  get refused() {
    return this.status === 401 || this.status === 403;
  }
}

let locale = 'en-US';
let onRefused = () => {};

export function setApiLocale(tag) {
  locale = tag;
}

// Called with the ApiError of every write the service refused (401, 403).
export function whenRefused(listener) {
  onRefused = listener;
}

export const token = {
  get: () => sessionStorage.getItem(TOKEN_KEY) || '',
  set: (value) =>
    value ? sessionStorage.setItem(TOKEN_KEY, value) : sessionStorage.removeItem(TOKEN_KEY),
};

async function call(method, path, body, query = {}, { raw = false } = {}) {
  // Relative to the page, so that the service may sit below a path of a proxy.
  const url = new URL(`.${path}`, document.baseURI);
  url.searchParams.set('locale', locale);
  for (const [name, value] of Object.entries(query)) {
    if (value === undefined || value === '' || value === false) continue;
    if (Array.isArray(value)) for (const each of value) url.searchParams.append(name, each);
    else url.searchParams.set(name, value);
  }
  const headers = { Accept: 'application/json' };
  if (body !== undefined) headers['Content-Type'] = 'application/json';
  if (token.get()) headers.Authorization = `Bearer ${token.get()}`;
  const response = await fetch(url, {
    method,
    headers,
    body: body === undefined ? undefined : JSON.stringify(body),
  });
  const text = await response.text();
  if (raw && response.ok) return text;
  let data = null;
  try {
    data = text ? JSON.parse(text) : null;
  } catch {
    data = { detail: text };
  }
  if (!response.ok) {
    const error = new ApiError(response.status, data || {});
    if (error.refused) onRefused(error);
    throw error;
  }
  return data;
}

const part = encodeURIComponent;

export const api = {
  sources: () => call('GET', '/v1/sources'),
  classes: () => call('GET', '/v1/classes'),
  classItems: (code) => call('GET', `/v1/classes/${part(code)}/items`),
  item: (code) => call('GET', `/v1/items/${part(code)}`),
  rules: () => call('GET', '/v1/rules'),
  rule: (owner) => call('GET', `/v1/rules/${part(owner)}`),
  saveRule: (owner, rule) => call('PUT', `/v1/rules/${part(owner)}`, rule),
  deleteRule: (owner) => call('DELETE', `/v1/rules/${part(owner)}`),
  number: (owner) => call('GET', `/v1/rules/${part(owner)}/number`),
  setNumber: (owner, next, force = false) =>
    call('PUT', `/v1/rules/${part(owner)}/number`, { next_number: next, ...(force ? { force } : {}) }),
  issue: (item, line) => call('POST', `/v1/items/${part(item)}/serials`, line),
  previewDraft: (owner, draft) => call('POST', `/v1/rules/${part(owner)}/preview`, draft),
  mappings: (source, query) => call('GET', `/v1/mappings/${part(source)}`, undefined, query),
  setMapping: (source, value, code) =>
    call('PUT', `/v1/mappings/${part(source)}/${part(value)}`, { code }),
  resetArchive: (source) => call('DELETE', `/v1/mappings/${part(source)}`),
  // The rule file as the service writes it, byte for byte (text, not parsed).
  exportRules: ({ owners = [], withNumbers = false, withCodes = false } = {}) =>
    call('GET', '/v1/rules', undefined,
      { format: 'export', owner: owners, with_numbers: withNumbers, with_codes: withCodes }, { raw: true }),
  importRules: (file, { dryRun = false, force = false } = {}) =>
    call('POST', '/v1/rules:import', file, { dry_run: dryRun, force }),
  history: (owner) => call('GET', `/v1/rules/${part(owner)}/history`),
  gaps: (owner) => call('GET', `/v1/rules/${part(owner)}/gaps`),
};
