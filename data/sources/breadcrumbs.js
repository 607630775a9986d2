// Breadcrumbs: the way from the top of the listing down to a folder, each
// folder above it a link. The page is complete without this: an element of
// class "crumbs" holds the same way as plain text ("Music / 2024 / Live"),
// which this turns into links.
//
// What the page gives it, on each element of class "crumbs":
// - data-title: the listing's title, the first crumb;
// - data-folder: the folder's path below the top ("" at the top, "a/b");
// - data-page: the pages' file name, when each folder has a page of its own
//   ("index.html"): a crumb then links the page that many "../" above;
// - without data-page, the folders are headings of this one page, rows of
//   class "head" with the same data-folder: a crumb links its heading's id.
// The last crumb is the folder itself and links nowhere.
(() => {
  "use strict";
  const lists = document.querySelectorAll(".crumbs[data-folder]");
  if (!lists.length) return;
  let headings = null;
  const headingOf = (folder) => {
    if (!headings) {
      headings = new Map();
      for (const row of document.querySelectorAll("tr.head[data-folder][id]")) {
        headings.set(row.dataset.folder, row.id);
      }
    }
    return headings.get(folder);
  };
  for (const list of lists) {
    const folder = list.dataset.folder;
    const names = [list.dataset.title || ""].concat(folder ? folder.split("/") : []);
    const page = list.dataset.page;
    const crumbs = document.createDocumentFragment();
    names.forEach((name, at) => {
      if (at) crumbs.append(" / ");
      const last = at === names.length - 1;
      let href = null;
      if (!last && page) {
        href = "../".repeat(names.length - 1 - at) + encodeURIComponent(page);
      } else if (!last) {
        const id = headingOf(names.slice(1, at + 1).join("/"));
        if (id !== undefined) href = "#" + encodeURIComponent(id).replace(/%2F/g, "/");
      }
      const crumb = document.createElement(href ? "a" : "span");
      crumb.textContent = name;
      if (href) crumb.href = href;
      if (last) crumb.setAttribute("aria-current", page ? "page" : "location");
      crumbs.append(crumb);
    });
    list.replaceChildren(crumbs);
  }
})();
