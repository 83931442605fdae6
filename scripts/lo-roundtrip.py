#!/usr/bin/env python3
"""Round trip of every RTF file of a corpus through Quilmar, judged by LibreOffice.

For each file: Quilmar reads it and writes it back as RTF (quilmar-bench
rtf-roundtrip, the editor's own reader and writer); LibreOffice converts the
original and our copy to text and to flat ODT. Reported:

- text share: files whose LibreOffice text of our copy has the same words as
  its text of the original;
- formatting share: words of the original whose bold, italic, underline and
  colour (resolved through LibreOffice's styles) our copy keeps.

Needs LibreOffice Writer (libreoffice-writer-nogui), installed here when
missing. Not part of ./test.sh.

usage: scripts/lo-roundtrip.py [--corpus DIR] [--build DIR] [--work DIR] [--list] [FILTER]
"""

import argparse
import difflib
import hashlib
import json
import os
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ET
from collections import Counter

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

NS = {
    'office': 'urn:oasis:names:tc:opendocument:xmlns:office:1.0',
    'style': 'urn:oasis:names:tc:opendocument:xmlns:style:1.0',
    'text': 'urn:oasis:names:tc:opendocument:xmlns:text:1.0',
    'fo': 'urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0',
    'draw': 'urn:oasis:names:tc:opendocument:xmlns:drawing:1.0',
}


def q(prefix, name):
    return '{%s}%s' % (NS[prefix], name)


def ensure_libreoffice():
    if shutil.which('soffice'):
        return
    print('Installing libreoffice-writer-nogui …', file=sys.stderr)
    sudo = [] if os.geteuid() == 0 else ['sudo']
    env = dict(os.environ, DEBIAN_FRONTEND='noninteractive')
    subprocess.run(sudo + ['apt-get', 'update', '-qq'], check=True, env=env)
    subprocess.run(sudo + ['apt-get', 'install', '-y', '-qq', '--no-install-recommends',
                           'libreoffice-writer-nogui'], check=True, env=env)


def flat_name(rel):
    return rel.replace('/', '__')


def convert(files, target, outdir, profile, timeout=240, infilter=None):
    """Converts files with LibreOffice in batches; a batch that hangs is
    retried file by file so that one bad file costs only itself."""
    os.makedirs(outdir, exist_ok=True)
    base = ['soffice', '--headless', '--norestore', '-env:UserInstallation=file://' + profile,
            '--convert-to', target, '--outdir', outdir]
    if infilter:
        base.insert(3, '--infilter=' + infilter)
    pending = list(files)
    while pending:
        batch, pending = pending[:25], pending[25:]
        try:
            subprocess.run(base + batch, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           timeout=timeout, check=False)
        except subprocess.TimeoutExpired:
            for f in batch:
                try:
                    subprocess.run(base + [f], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                   timeout=60, check=False)
                except subprocess.TimeoutExpired:
                    print('  LibreOffice timed out on', f, file=sys.stderr)


def looks_like_late_rtf(head):
    return not head.startswith(b'{\\rtf') and re.match(rb'\{[ \t\r\n]*\\rtf', head) is not None


def words_of_text(text):
    text = text.replace('\ufeff', '').replace('\u00ad', '').replace('\ufffc', ' ')
    return text.split()


# ---------------------------------------------------------------------------
# Formatting per word from a flat ODT file


class Styles:
    def __init__(self, root):
        self.styles = {}      # (family, name) -> (parent, props)
        self.defaults = {}    # family -> props
        for container in ('styles', 'automatic-styles'):
            for node in root.iter(q('office', container)):
                for st in node:
                    if st.tag == q('style', 'default-style'):
                        self.defaults[st.get(q('style', 'family'))] = self.props(st)
                    elif st.tag == q('style', 'style'):
                        key = (st.get(q('style', 'family')), st.get(q('style', 'name')))
                        self.styles[key] = (st.get(q('style', 'parent-style-name')), self.props(st))

    @staticmethod
    def props(st):
        out = {}
        tp = st.find(q('style', 'text-properties'))
        if tp is None:
            return out
        w = tp.get(q('fo', 'font-weight'))
        if w is not None:
            out['bold'] = w in ('bold', '600', '700', '800', '900')
        s = tp.get(q('fo', 'font-style'))
        if s is not None:
            out['italic'] = s in ('italic', 'oblique')
        u = tp.get(q('style', 'text-underline-style'))
        if u is not None:
            out['underline'] = u if u != 'none' else ''
        if tp.get(q('style', 'use-window-font-color')) == 'true':
            out['color'] = 'auto'
        c = tp.get(q('fo', 'color'))
        if c is not None:
            out['color'] = 'auto' if c.lower() == '#000000' else c.lower()
        return out

    def resolve(self, family, name, out):
        seen = 0
        while name and seen < 20:
            parent, props = self.styles.get((family, name), (None, {}))
            for k, v in props.items():
                out.setdefault(k, v)
            name = parent
            seen += 1


# Footnote bodies, comments and deleted text are not in the text export;
# pictures carry their bytes as text.
SKIPPED = {q('text', 'note-body'), q('office', 'annotation'), q('text', 'tracked-changes'),
           q('office', 'annotation-end'), q('text', 'bookmark-ref'), q('office', 'binary-data')}


def formatted_words(path):
    """[(word, attributes)] of a flat ODT body in reading order."""
    try:
        root = ET.parse(path).getroot()
    except (ET.ParseError, OSError):
        return None
    styles = Styles(root)
    chars = []   # (char, attrs)

    def attrs_for(stack):
        out = {}
        for family, name in reversed(stack):
            styles.resolve(family, name, out)
        for k, v in styles.defaults.get('paragraph', {}).items():
            out.setdefault(k, v)
        return (bool(out.get('bold')), bool(out.get('italic')), out.get('underline', '') or '',
                out.get('color', 'auto'))

    def add(text, stack):
        if text:
            a = attrs_for(stack)
            chars.extend((c, a) for c in text)

    def walk(node, stack):
        if node.tag in SKIPPED:
            return
        name = node.get(q('text', 'style-name'))
        pushed = False
        if node.tag in (q('text', 'p'), q('text', 'h')):
            stack = stack + [('paragraph', name)]
            pushed = True
        elif node.tag == q('text', 'span') and name:
            stack = stack + [('text', name)]
            pushed = True
        if node.tag == q('text', 's'):
            add(' ' * int(node.get(q('text', 'c'), '1')), stack)
        elif node.tag in (q('text', 'tab'), q('text', 'line-break')):
            add(' ', stack)
        else:
            add(node.text, stack)
        for child in node:
            walk(child, stack)
            add(child.tail, stack)
        if pushed and node.tag in (q('text', 'p'), q('text', 'h')):
            add(' ', stack)

    for body in root.iter(q('office', 'text')):
        walk(body, [])
    words = []
    current, attrs = [], set()
    for c, a in chars + [(' ', None)]:
        if c.isspace() or c in '\ufeff\u00ad\ufffc':
            if current:
                words.append((''.join(current), tuple(sorted(attrs))))
                current, attrs = [], set()
            continue
        current.append(c)
        attrs.add(a)
    return words


def describe(attrs):
    parts = []
    for bold, italic, underline, color in attrs:
        p = []
        if bold:
            p.append('bold')
        if italic:
            p.append('italic')
        if underline:
            p.append('underline ' + underline)
        if color != 'auto':
            p.append(color)
        parts.append('+'.join(p) or 'plain')
    return '/'.join(parts)


# ---------------------------------------------------------------------------


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--corpus', default='/work/shared/corpus')
    ap.add_argument('--build', default=os.path.join(ROOT, 'build'))
    ap.add_argument('--work', default=None)
    ap.add_argument('--list', action='store_true', help='list every difference')
    ap.add_argument('--reuse', action='store_true', help='compare the files of the last run again')
    ap.add_argument('filter', nargs='?', default='')
    args = ap.parse_args()

    bench = os.path.join(args.build, 'bin', 'quilmar-bench')
    if not os.path.exists(bench):
        sys.exit('build quilmar-bench first: cmake --build %s --target quilmar-bench' % args.build)
    ensure_libreoffice()
    work = os.path.abspath(args.work or os.path.join(args.build, 'lo-roundtrip'))
    for d in ('orig', 'ours'):
        if not args.reuse:
            shutil.rmtree(os.path.join(work, d), ignore_errors=True)
        os.makedirs(os.path.join(work, d), exist_ok=True)
    profile = os.path.join(work, 'profile')

    files = []
    for dirpath, _, names in os.walk(args.corpus):
        for n in names:
            if n.lower().endswith('.rtf'):
                rel = os.path.relpath(os.path.join(dirpath, n), args.corpus)
                if args.filter in rel:
                    files.append(rel)
    files.sort()

    # Our copies, all in one run of the program.
    pairs = []
    for rel in files:
        src = os.path.join(args.corpus, rel)
        shutil.copyfile(src, os.path.join(work, 'orig', flat_name(rel)))
        pairs += [src, os.path.join(work, 'ours', flat_name(rel))]
    env = dict(os.environ, QT_QPA_PLATFORM='offscreen', QUILMAR_ACP=os.environ.get('QUILMAR_ACP', '1252'))
    if not args.reuse:
        subprocess.run([bench, 'rtf-roundtrip'] + pairs, stdout=subprocess.DEVNULL, env=env, check=False,
                       timeout=1800)

    # LibreOffice's readings; the originals' are cached by content.
    cache = os.path.join(work, 'cache')
    os.makedirs(cache, exist_ok=True)
    todo = []
    for rel in files:
        data = open(os.path.join(args.corpus, rel), 'rb').read()
        key = hashlib.sha256(data).hexdigest()[:20]
        stem = os.path.join(cache, key)
        if not (os.path.exists(stem + '.txt') and os.path.exists(stem + '.fodt')):
            todo.append((rel, stem))
    if todo:
        tmp = os.path.join(work, 'cache-in')
        shutil.rmtree(tmp, ignore_errors=True)
        os.makedirs(tmp)
        for rel, stem in todo:
            shutil.copyfile(os.path.join(args.corpus, rel), os.path.join(tmp, os.path.basename(stem) + '.rtf'))
        inputs = sorted(os.path.join(tmp, n) for n in os.listdir(tmp))
        # RTF after blanks is RTF to us; LibreOffice's detection wants "{\rtf" first.
        late = [f for f in inputs if looks_like_late_rtf(open(f, 'rb').read(64))]
        inputs = [f for f in inputs if f not in late]
        for target in ('txt:Text (encoded):UTF8', 'fodt'):
            convert(inputs, target, cache, profile)
            if late:
                convert(late, target, cache, profile, infilter='Rich Text Format')
    # Our copies go in under the originals' names: fields such as FILENAME
    # then give the same text.
    keys = {rel: hashlib.sha256(open(os.path.join(args.corpus, rel), 'rb').read()).hexdigest()[:20]
            for rel in files}
    out_dir = os.path.join(work, 'ours-lo')
    if not args.reuse:
        ours_in = os.path.join(work, 'ours-in')
        for d in (out_dir, ours_in):
            shutil.rmtree(d, ignore_errors=True)
            os.makedirs(d)
        for rel in files:
            ours = os.path.join(work, 'ours', flat_name(rel))
            if os.path.exists(ours):
                shutil.copyfile(ours, os.path.join(ours_in, keys[rel] + '.rtf'))
        ours_inputs = sorted(os.path.join(ours_in, n) for n in os.listdir(ours_in))
        convert(ours_inputs, 'txt:Text (encoded):UTF8', out_dir, profile)
        convert(ours_inputs, 'fodt', out_dir, profile)

    text_same = text_total = 0
    words_total = words_kept = 0
    text_diffs, format_diffs = [], Counter()
    per_file_format = {}
    for rel in files:
        stem = os.path.join(cache, keys[rel])
        ours_stem = os.path.join(out_dir, keys[rel])
        orig_txt, ours_txt = stem + '.txt', ours_stem + '.txt'
        if not os.path.exists(orig_txt):
            continue   # LibreOffice cannot read the original
        text_total += 1
        a = words_of_text(open(orig_txt, encoding='utf-8', errors='replace').read())
        b = words_of_text(open(ours_txt, encoding='utf-8', errors='replace').read()) \
            if os.path.exists(ours_txt) else []
        if a == b:
            text_same += 1
        else:
            sm = difflib.SequenceMatcher(None, a, b, autojunk=False)
            first = next((op for op in sm.get_opcodes() if op[0] != 'equal'), None)
            detail = ''
            if first:
                tag, i1, i2, j1, j2 = first
                detail = '%s: %r -> %r' % (tag, ' '.join(a[i1:i2][:12]), ' '.join(b[j1:j2][:12]))
            text_diffs.append((rel, sm.ratio(), len(a), len(b), detail))

        fa = formatted_words(stem + '.fodt')
        fb = formatted_words(ours_stem + '.fodt')
        if fa is None:
            continue
        fb = fb or []
        words_total += len(fa)
        sm = difflib.SequenceMatcher(None, [w for w, _ in fa], [w for w, _ in fb], autojunk=False)
        kept = 0
        for tag, i1, i2, j1, j2 in sm.get_opcodes():
            if tag != 'equal':
                continue
            for k in range(i2 - i1):
                wa, aa = fa[i1 + k]
                wb, ab = fb[j1 + k]
                if aa == ab:
                    kept += 1
                else:
                    format_diffs[(rel, describe(aa), describe(ab))] += 1
        words_kept += kept
        per_file_format[rel] = (kept, len(fa))

    print(json.dumps({
        'files': len(files),
        'text_compared': text_total,
        'text_same': text_same,
        'text_share_percent': round(100.0 * text_same / max(1, text_total), 2),
        'words': words_total,
        'words_formatting_kept': words_kept,
        'formatting_share_percent': round(100.0 * words_kept / max(1, words_total), 3),
    }))
    print('\ntext differs (%d):' % len(text_diffs))
    for rel, ratio, na, nb, detail in sorted(text_diffs, key=lambda t: t[1]):
        print('  %-60s %5.3f %5d/%5d words  %s' % (rel, ratio, na, nb, detail[:160]))
    print('\nformatting differs (original -> ours, words):')
    rows = sorted(format_diffs.items(), key=lambda kv: -kv[1])
    for (rel, fa_, fb_), n in rows if args.list else rows[:60]:
        print('  %5d  %-55s %s -> %s' % (n, rel, fa_, fb_))


if __name__ == '__main__':
    main()
