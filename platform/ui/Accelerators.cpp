#include "platform/ui/Accelerators.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSet>

namespace Accelerators {

QChar keyOf(const QString &caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != u'&')
            continue;
        if (caption.at(i + 1) == u'&') {
            ++i; // "&&" is an ampersand shown as such
            continue;
        }
        return caption.at(i + 1).toLower();
    }
    return QChar();
}

namespace {

// Position of a free letter or digit in caption, at the start of a word
// only or anywhere; -1 when there is none.
qsizetype freePosition(const QString &caption, const QSet<QChar> &taken, bool wordStartOnly)
{
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar c = caption.at(i);
        if (!c.isLetterOrNumber() || c.isSurrogate() || taken.contains(c.toLower()))
            continue;
        const bool wordStart = i == 0 || !caption.at(i - 1).isLetterOrNumber();
        if (wordStart || !wordStartOnly)
            return i;
    }
    return -1;
}

} // namespace

QStringList assign(const QStringList &captions)
{
    QSet<QChar> taken;
    QList<bool> open;
    for (const QString &caption : captions) {
        const QChar key = keyOf(caption);
        if (!key.isNull())
            taken.insert(key);
        open << (!caption.isEmpty() && key.isNull());
    }
    QStringList result = captions;
    // Word starts for every caption first, so a later caption is not robbed
    // of its initial by an earlier one that could have taken another letter.
    for (bool wordStartOnly : {true, false}) {
        for (qsizetype k = 0; k < result.size(); ++k) {
            if (!open.at(k))
                continue;
            const qsizetype at = freePosition(result.at(k), taken, wordStartOnly);
            if (at < 0)
                continue;
            taken.insert(result.at(k).at(at).toLower());
            result[k].insert(at, u'&');
            open[k] = false;
        }
    }
    return result;
}

namespace {

void assignActions(const QList<QAction *> &actions, bool titles)
{
    QList<QAction *> named;
    QStringList captions;
    for (QAction *a : actions) {
        if (a->isSeparator() || !a->isVisible() || a->text().isEmpty())
            continue;
        named << a;
        captions << a->text();
    }
    const QStringList marked = assign(captions);
    for (qsizetype i = 0; i < named.size(); ++i) {
        if (marked.at(i) == captions.at(i))
            continue;
        if (titles && named.at(i)->menu())
            named.at(i)->menu()->setTitle(marked.at(i));
        else
            named.at(i)->setText(marked.at(i));
    }
}

void assignItemsNow(QMenu *menu)
{
    assignActions(menu->actions(), false);
    for (QAction *a : menu->actions())
        if (a->menu())
            assignItemsNow(a->menu());
}

} // namespace

void assignTitles(QMenuBar *bar)
{
    assignActions(bar->actions(), true);
}

void assignItems(QMenu *menu)
{
    if (menu->property("acceleratorsOnShow").toBool())
        return;
    menu->setProperty("acceleratorsOnShow", true);
    // Item keys only work while the menu is open, and texts (recent files,
    // the window list, a new language) change in between: assigned on opening.
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu] { assignItemsNow(menu); });
}

} // namespace Accelerators
