// Small DOM helpers: elements built in code, never from HTML text, so values
// from the service are always shown as text.

// h('button', {class: 'x', onclick: fn}, 'text', child...) -> element.
// Attributes starting with "on" become listeners; false, null and undefined
// attributes and children are left out.
export function h(tag, attributes = {}, ...children) {
  const element = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) {
    if (value === false || value === null || value === undefined) continue;
    if (name.startsWith('on')) element.addEventListener(name.slice(2), value);
    else if (name === 'value') element.value = value;
    // Through the style object: the service's content security policy
    // refuses style attributes written as text.
    else if (name === 'style') element.style.cssText = String(value);
    else if (name === 'checked' || name === 'disabled') element[name] = Boolean(value);
    else element.setAttribute(name, value === true ? '' : String(value));
  }
  append(element, children);
  return element;
}

function append(element, children) {
  for (const child of children.flat(Infinity)) {
    if (child === false || child === null || child === undefined) continue;
    element.append(child instanceof Node ? child : String(child));
  }
}

// Replaces the element's children.
export function fill(element, ...children) {
  element.replaceChildren();
  append(element, children);
  return element;
}

// `action` once `wait` milliseconds have passed without another call.
export function debounce(action, wait) {
  let timer = 0;
  return (...args) => {
    clearTimeout(timer);
    timer = setTimeout(() => action(...args), wait);
  };
}
