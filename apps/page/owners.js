// Owners of rules and which rule applies to each: an item's own rule, else
// its class's, else the nearest ancestor class's, else the rule for all items.

export const ALL = 'all';
export const classOwner = (code) => `class:${code}`;
export const itemOwner = (code) => `item:${code}`;

// {kind: 'all' | 'class' | 'item', code}
export function parseOwner(owner) {
  if (owner === ALL) return { kind: 'all', code: '' };
  const colon = owner.indexOf(':');
  return { kind: owner.slice(0, colon), code: owner.slice(colon + 1) };
}

// The owners asked for `owner`'s rule, in order: itself, then (for an item
// whose class is known) its class, then each class above, then all.
// `parentOf(code)` gives a class's parent code or null; `classOfItem(code)`
// an item's class code or null when unknown.
export function ownersAsked(owner, parentOf, classOfItem) {
  const asked = [owner];
  const { kind, code } = parseOwner(owner);
  let classCode = kind === 'class' ? parentOf(code) : kind === 'item' ? classOfItem(code) : null;
  while (classCode) {
    asked.push(classOwner(classCode));
    classCode = parentOf(classCode);
  }
  if (kind !== 'all') asked.push(ALL);
  return asked;
}

// The first of the owners asked that has a rule (`hasRule(owner)`), or null.
export function ruleOwnerOf(owner, hasRule, parentOf, classOfItem) {
  return ownersAsked(owner, parentOf, classOfItem).find(hasRule) || null;
}
