// The course on the web: the tab row as a tab list (pointer, arrow keys, Home, End), each page at its
// own address (#page-N) with the browser's history, the status line, the list boxes' keyboard, and the
// whole form scaled to the window's width.
"use strict";
(function () {
  const form = document.getElementById("form");
  const stage = document.getElementById("stage");
  if (!form || !stage) return;
  const width = Number(form.dataset.width), height = Number(form.dataset.height);
  const minScale = Number(form.dataset.minScale) || 1;

  function fit() {
    const scale = Math.max(minScale, document.documentElement.clientWidth / width);
    form.style.transform = scale === 1 ? "" : "scale(" + scale + ")";
    stage.style.width = width * scale + "px";
    stage.style.height = height * scale + "px";
  }
  window.addEventListener("resize", fit);
  fit();

  // ---- The book ----
  const tabs = Array.from(document.querySelectorAll('[role="tab"]'));
  // The status line that the form's handler writes when the reader changes the page.
  const status = document.querySelector("[data-page-status] .simple");
  const pageOf = (tab) => Number(tab.id.slice(4));
  const tabOf = (page) => document.getElementById("tab-" + page);

  function show(page, focus) {
    const tab = tabOf(page);
    if (!tab) return false;
    for (const t of tabs) {
      const selected = t === tab;
      t.setAttribute("aria-selected", selected ? "true" : "false");
      t.tabIndex = selected ? 0 : -1;
      const panel = document.getElementById(t.getAttribute("aria-controls"));
      if (panel) panel.hidden = !selected;
    }
    // The tab row scrolls to show the tab (the window itself stays where the reader has it).
    const row = tab.parentElement;
    if (tab.offsetLeft < row.scrollLeft) row.scrollLeft = tab.offsetLeft;
    else if (tab.offsetLeft + tab.offsetWidth > row.scrollLeft + row.clientWidth)
      row.scrollLeft = tab.offsetLeft + tab.offsetWidth - row.clientWidth;
    if (focus) tab.focus({ preventScroll: true });
    if (status) status.textContent = "Page index: " + page;
    return true;
  }

  // The reader's choice: a new address in the history, so Back returns to the page before.
  function choose(page, focus) {
    if (show(page, focus) && location.hash !== "#page-" + page) history.pushState(null, "", "#page-" + page);
  }

  // An address without a page is the page on view when the site was written; on opening, that page
  // is on view already and the status line keeps its stored text.
  const first = tabs.find((t) => t.getAttribute("aria-selected") === "true");
  function fromAddress(event) {
    const match = /^#page-(\d+)$/.exec(location.hash);
    if (match) show(Number(match[1]), false);
    else if (first && event) show(pageOf(first), false);
  }

  for (const tab of tabs) {
    tab.addEventListener("click", () => choose(pageOf(tab), true));
    tab.addEventListener("keydown", (e) => {
      const i = tabs.indexOf(tab);
      let next = -1;
      if (e.key === "ArrowRight") next = Math.min(i + 1, tabs.length - 1);
      else if (e.key === "ArrowLeft") next = Math.max(i - 1, 0);
      else if (e.key === "Home") next = 0;
      else if (e.key === "End") next = tabs.length - 1;
      else return;
      e.preventDefault();
      if (next !== i) choose(pageOf(tabs[next]), true);
    });
  }
  for (const button of document.querySelectorAll(".scroll span")) {
    button.addEventListener("click", () => {
      const row = button.parentElement.previousElementSibling;
      row.scrollLeft += Number(button.dataset.step) * row.clientWidth / 2;
    });
  }
  window.addEventListener("popstate", fromAddress);
  window.addEventListener("hashchange", fromAddress);
  fromAddress();

  // ---- List boxes: arrows, Home, End, page keys and type-ahead ----
  for (const list of document.querySelectorAll('[role="listbox"]')) {
    const options = Array.from(list.querySelectorAll('[role="option"]'));
    let typed = "", typedAt = 0;
    const current = () => options.findIndex((o) => o.getAttribute("aria-selected") === "true");
    function select(i) {
      if (i < 0 || i >= options.length) return;
      options.forEach((o, j) => o.setAttribute("aria-selected", j === i ? "true" : "false"));
      const o = options[i];
      if (o.offsetTop < list.scrollTop) list.scrollTop = o.offsetTop;
      else if (o.offsetTop + o.offsetHeight > list.scrollTop + list.clientHeight)
        list.scrollTop = o.offsetTop + o.offsetHeight - list.clientHeight;
    }
    list.addEventListener("click", (e) => {
      const o = e.target.closest('[role="option"]');
      if (o) select(options.indexOf(o));
    });
    list.addEventListener("keydown", (e) => {
      const i = current();
      const perPage = Math.max(1, Math.floor(list.clientHeight / ((options[0] && options[0].offsetHeight) || 1)) - 1);
      const moves = { ArrowDown: i + 1, ArrowUp: Math.max(i - 1, 0), Home: 0, End: options.length - 1,
                      PageDown: Math.min(i + perPage, options.length - 1), PageUp: Math.max(i - perPage, 0) };
      if (e.key in moves) {
        e.preventDefault();
        select(moves[e.key]);
        return;
      }
      if (e.key.length !== 1 || e.ctrlKey || e.altKey || e.metaKey) return;
      // Letters typed in quick succession search together; a pause starts a new search.
      const now = Date.now();
      typed = now - typedAt > 1000 ? e.key : typed + e.key;
      typedAt = now;
      const wanted = typed.toLocaleLowerCase();
      const start = typed.length === 1 ? i + 1 : Math.max(i, 0);
      for (let k = 0; k < options.length; k++) {
        const j = (start + k) % options.length;
        if (options[j].textContent.toLocaleLowerCase().startsWith(wanted)) {
          select(j);
          break;
        }
      }
      e.preventDefault();
    });
  }
})();
