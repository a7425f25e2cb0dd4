// The files the page offers, handed to the browser one at a time and a little apart: Chromium
// drops what a page downloads beyond ten a second. Links stay on the page until their downloads
// were started, and their object URLs a while longer, so that converting or reading again never
// takes a file away before the browser had it.
export class Downloads {
    constructor({ gap = 150, keep = 30000 } = {}) {
        this.gap = gap;
        this.keep = keep;
        this.queue = Promise.resolve();
    }

    // "Files: " and a link for each of `outputs` ({name, blob}), each clicked in its turn.
    offer(outputs) {
        const offered = document.createElement('span');
        offered.append('Files: ');
        offered.links = outputs.map(({ name, blob }, index) => {
            const link = document.createElement('a');
            link.href = URL.createObjectURL(blob);
            link.download = name;
            link.textContent = name;
            offered.append(...(index > 0 ? [', ', link] : [link]));
            const clicked = this.queue.then(() => link.click());
            this.queue = clicked.then(() => new Promise((resolve) => setTimeout(resolve, this.gap)));
            return { link, clicked };
        });
        return offered;
    }

    // Takes what `offer` made off the page once every download of it was started, and lets the
    // bytes go later.
    retire(offered) {
        if (offered.retired) {
            return;
        }
        offered.retired = true;
        Promise.all(offered.links.map(({ clicked }) => clicked)).then(() => {
            const holder = offered.parentElement;
            offered.remove();
            if (holder && holder.children.length === 0) {
                holder.hidden = true;
            }
            setTimeout(() => offered.links.forEach(({ link }) => URL.revokeObjectURL(link.href)), this.keep);
        });
    }
}
