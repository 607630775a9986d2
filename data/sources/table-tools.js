// Search box and column sorting of a listing table. The table is complete
// without them: this only toggles `hidden` on rows and bodies and moves rows
// within their own folder. Nothing here measures the page, so no keystroke
// waits for a layout of the whole table.
//
// What the page gives it:
// - table.listing, whose head cells with data-sort sort their column:
//   "text" as people read it (the reader's language, numbers by value),
//   "plain" character by character (digests),
//   "size" as sizes;
// - the rows in bodies of about a hundred, which the browser lays out only
//   while they are in view (see the style sheet); a body of class "up" is no
//   part of the listing;
// - a row of class "head" starts a folder, its data-folder (or else the text
//   before its first element) being the folder's path; without such rows the
//   table's data-path names the page's one folder;
// - on the table, data-one and data-many: what a row is, for the count
//   ("entry", "entries"); data-hint: what the search box offers to look in;
// - rows of class "d" are folders, kept before the files when sorting.
// It gives the table settle(): a call puts every row where the last sort
// wants it at once, for scripts that read the rows in their order.
(() => {
  "use strict";
  const table = document.querySelector("table.listing");
  if (!table) return;
  // rows: the entries; groups: a folder's heading row and path, and its rows
  // in runs, one run for each body they lie in; chunks: the bodies.
  const rows = [], paths = [], groups = [], chunks = [], runOf = [];
  for (const body of table.tBodies) {
    if (body.classList.contains("up")) continue;
    const chunk = { body, heads: [], runs: [], height: body.rows.length, shown: true };
    chunks.push(chunk);
    let run = null;
    for (const row of body.rows) {
      if (row.classList.contains("head")) {
        const text = row.cells[0].firstChild;
        const path = row.dataset.folder ?? (text && text.nodeType === 3 ? text.data : "");
        groups.push({ head: row, path, runs: [] });
        chunk.heads.push(groups[groups.length - 1]);
        run = null;
        continue;
      }
      if (!groups.length) groups.push({ head: null, path: table.dataset.path || "", runs: [] });
      const group = groups[groups.length - 1];
      if (!run) {
        run = { chunk, idx: [], placed: true, end: null };
        group.runs.push(run);
        chunk.runs.push(run);
      }
      run.idx.push(rows.length);
      runOf.push(run);
      rows.push(row);
      paths.push(group.path);
      // What follows the run: another folder's heading, or nothing.
      run.end = row.nextElementSibling;
    }
    body.style.setProperty("--rows", chunk.height);
  }
  const one = table.dataset.one || "entry", many = table.dataset.many || "entries";
  const counted = (n) => n + " " + (n === 1 ? one : many);
  const box = document.createElement("input");
  box.type = "search";
  box.placeholder = table.dataset.hint || "Filter by path, name, type or date";
  box.setAttribute("aria-label", "Filter " + many);
  const count = document.createElement("span");
  count.className = "count";
  count.setAttribute("aria-live", "polite");
  count.textContent = counted(rows.length);
  const bar = document.createElement("div");
  bar.className = "tools";
  bar.append(box, count);
  table.before(bar);

  // What a search compares: lower case without accents, so that "bjork"
  // finds "Björk" and "sigur ros" "Sigur Rós". Letters that carry their
  // stroke in the letter itself have no accent to drop, so they are spelt
  // out as readers type them.
  const plainLetters = { "ø": "o", "đ": "d", "ł": "l", "ß": "ss", "æ": "ae", "œ": "oe", "ı": "i" };
  const searchable = (text) => text.normalize("NFD").replace(/\p{M}/gu, "").toLowerCase()
    .replace(/[øđłßæœı]/g, (letter) => plainLetters[letter]);

  // The text of every row's cells, and what a search looks in: the folder's
  // path and the cells, so that "bash copyright" finds bash/copyright. Made
  // in idle moments after the page has loaded, a slice at a time, and
  // finished at once when a search or a sort needs them earlier.
  const cells = new Array(rows.length), texts = new Array(rows.length);
  let prepared = 0;
  const prepare = (deadline) => {
    for (; prepared < rows.length && (!deadline || deadline.timeRemaining() > 1); prepared++) {
      const cellTexts = [];
      for (let cell = rows[prepared].firstElementChild; cell; cell = cell.nextElementSibling) {
        cellTexts.push(cell.textContent);
      }
      cells[prepared] = cellTexts;
      texts[prepared] = searchable(paths[prepared] + "/" + cellTexts.join(" "));
    }
    if (deadline && prepared < rows.length) requestIdleCallback(prepare);
  };
  if (window.requestIdleCallback) addEventListener("load", () => requestIdleCallback(prepare));

  // A body shows while any of its rows does, and reserves the height of the
  // rows it shows while it is out of view. Only what changed is written.
  const fitChunks = () => {
    for (const chunk of chunks) {
      let height = 0;
      for (const group of chunk.heads) if (!group.head.hidden) height++;
      for (const run of chunk.runs) for (const i of run.idx) if (!rows[i].hidden) height++;
      if (chunk.height === height) continue;
      chunk.height = height;
      chunk.body.style.setProperty("--rows", height);
      if (chunk.body.hidden !== !height) chunk.body.hidden = !height;
    }
  };
  // Shows the rows whose text holds every word of the box, and the headings
  // of the folders that keep any.
  const matches = (text, terms) => {
    for (const term of terms) if (!text.includes(term)) return false;
    return true;
  };
  let filtered = false, pending = 0;
  const filter = () => {
    pending = 0;
    const terms = searchable(box.value).split(/\s+/).filter(Boolean);
    if (!terms.length && !filtered) return;
    filtered = terms.length > 0;
    if (filtered) prepare();
    let shown = 0;
    for (const group of groups) {
      let inGroup = 0;
      for (const run of group.runs) {
        for (const i of run.idx) {
          const show = !filtered || matches(texts[i], terms);
          if (rows[i].hidden === show) rows[i].hidden = !show;
          if (show) inGroup++;
        }
      }
      if (group.head && group.head.hidden !== (filtered && !inGroup)) group.head.hidden = filtered && !inGroup;
      shown += inGroup;
    }
    fitChunks();
    count.textContent = filtered ? shown + " of " + counted(rows.length) : counted(rows.length);
  };
  // One filtering per frame, however fast the typing.
  box.addEventListener("input", () => { if (!pending) pending = requestAnimationFrame(filter); });

  const folder = rows.map((row) => (row.classList.contains("d") ? 1 : 0));

  // A sort decides at once where every row goes, but moves in the document
  // only the rows of the bodies the browser shows now; the others follow in
  // idle moments, or when their body comes into view first. moveBefore moves
  // a row without taking it out of the document and putting it back, which
  // is far quicker where the browser has it.
  const number = new Map(rows.map((row, i) => [row, i]));
  const place = (body, row, before) =>
    body.moveBefore ? body.moveBefore(row, before) : body.insertBefore(row, before);
  const placeRun = (run) => {
    if (run.placed) return;
    run.placed = true;
    for (const i of run.idx) place(run.chunk.body, rows[i], run.end);
  };
  // A body is right once its own runs are placed and the rows it holds that
  // belong elsewhere have gone to their runs.
  const placeChunk = (chunk) => {
    if (chunk.placed) return;
    chunk.placed = true;
    for (const row of Array.from(chunk.body.rows)) {
      const i = number.get(row);
      if (i !== undefined && runOf[i].chunk !== chunk) placeRun(runOf[i]);
    }
    for (const run of chunk.runs) placeRun(run);
  };
  const watched = "oncontentvisibilityautostatechange" in table;
  for (const chunk of chunks) {
    chunk.placed = true;
    chunk.inView = !watched;
    chunk.body.addEventListener("contentvisibilityautostatechange", (event) => {
      chunk.inView = !event.skipped;
      if (chunk.inView) placeChunk(chunk);
    });
  }
  let settling = 0;
  const settleSome = (deadline) => {
    settling = 0;
    for (const chunk of chunks) {
      if (deadline.timeRemaining() < 2) return void (settling = requestIdleCallback(settleSome));
      placeChunk(chunk);
    }
  };
  table.settle = () => { for (const chunk of chunks) placeChunk(chunk); };
  addEventListener("beforeprint", table.settle);

  // Each column ranks every row by its cell's key (rows with equal keys
  // share a rank): in idle moments after the texts, a slice of keys at a time
  // and the sort in an idle moment long enough for it, or on its first click.
  // Texts are ordered as the program's natural sort orders names: the
  // collation of a language (the reader's), accents and case counting only
  // where the letters agree, digit runs as numbers ("file 9" before
  // "file 10"); what it sees as equal ("track 02", "track 2") by the text
  // with a-z as A-Z, then as it stands. Rows come in the program's order,
  // and the browser's sort is quick on runs already in order. Sizes are
  // numbers of bytes; "plain" texts are compared as they stand.
  const collator = new Intl.Collator(undefined, { numeric: true });
  const upper = (text) => text.replace(/[a-z]+/g, (letters) => letters.toUpperCase());
  const byValue = (x, y) => (x < y ? -1 : x > y ? 1 : 0);
  const byText = (x, y) => collator.compare(x, y) || byValue(upper(x), upper(y)) || byValue(x, y);
  const units = { b: 1, kb: 2 ** 10, mb: 2 ** 20, gb: 2 ** 30, tb: 2 ** 40, pb: 2 ** 50, eb: 2 ** 60 };
  // A separator followed by one digit only ends the number: it is the
  // decimal of a rounded size ("13.4 KB", "13,4 KB"), whereas digit groups
  // always hold three ("1,023 KB", "1.023 KB").
  const keyOf = (text, kind) => {
    text = text.trim();
    if (kind === "plain") return text.toLowerCase();
    if (kind !== "size") return text;
    const m = /(\d(?:[\d.,'\s\u00a0\u202f]*\d)?)\s*([kmgtpe]?b)?$/i.exec(text);
    if (!m) return -1;
    const tenth = /[.,](\d)$/.exec(m[1]);
    const whole = Number((tenth ? m[1].slice(0, -2) : m[1]).replace(/\D/g, ""));
    return (whole + (tenth ? tenth[1] / 10 : 0)) * units[(m[2] || "b").toLowerCase()];
  };
  const heads = table.tHead ? Array.from(table.tHead.rows[0].cells) : [];
  // keys[col] fills a row at a time; ranks[col] once every key is there.
  const keys = [], ranks = [];
  const addKeys = (col, deadline) => {
    const key = (keys[col] = keys[col] || []), kind = heads[col].dataset.sort;
    while (key.length < rows.length && (!deadline || deadline.timeRemaining() > 1)) {
      key.push(keyOf(cells[key.length][col] || "", kind));
    }
    return key.length === rows.length;
  };
  const rankOf = (col) => {
    if (ranks[col]) return ranks[col];
    prepare();
    addKeys(col);
    const key = keys[col], compare = heads[col].dataset.sort === "text" ? byText : byValue;
    const order = key.map((_, i) => i).sort((a, b) => compare(key[a], key[b]));
    const rank = new Int32Array(rows.length);
    order.forEach((i, n) => { rank[i] = n && key[i] === key[order[n - 1]] ? rank[order[n - 1]] : n; });
    keys[col] = null;
    return (ranks[col] = rank);
  };
  const sortable = heads.flatMap((th, col) => (th.dataset.sort ? [col] : []));
  const rankSome = (deadline) => {
    const col = sortable.find((c) => !ranks[c]);
    if (col === undefined) return;
    if (prepared === rows.length && addKeys(col, deadline) && deadline.timeRemaining() > 40) rankOf(col);
    requestIdleCallback(rankSome);
  };
  if (window.requestIdleCallback) addEventListener("load", () => requestIdleCallback(rankSome));

  let sorted = -1, descending = false;
  const sortBy = (col) => {
    descending = sorted === col ? !descending : false;
    sorted = col;
    const rank = rankOf(col), dir = descending ? -1 : 1;
    for (const h of heads) h.removeAttribute("aria-sort");
    heads[col].setAttribute("aria-sort", descending ? "descending" : "ascending");
    // Each folder's rows in the new order, filling its runs with as many
    // rows as each held; a run already in order stays as it is.
    for (const group of groups) {
      const order = group.runs.flatMap((run) => run.idx);
      order.sort((a, b) => folder[b] - folder[a] || dir * (rank[a] - rank[b]) || a - b);
      let at = 0;
      for (const run of group.runs) {
        const before = run.idx;
        run.idx = order.slice(at, at + before.length);
        at += before.length;
        if (run.idx.every((i, n) => i === before[n])) continue;
        run.placed = run.chunk.placed = false;
        for (const i of run.idx) runOf[i] = run;
      }
    }
    for (const chunk of chunks) if (chunk.inView) placeChunk(chunk);
    if (!settling && window.requestIdleCallback) settling = requestIdleCallback(settleSome);
    else if (!window.requestIdleCallback) table.settle();
    if (filtered) fitChunks();
  };
  for (const col of sortable) {
    const th = heads[col];
    const button = document.createElement("button");
    button.type = "button";
    button.append(...th.childNodes);
    th.append(button);
    button.addEventListener("click", () => sortBy(col));
  }
})();
