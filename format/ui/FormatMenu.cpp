#include "format/ui/FormatMenu.h"

#include "format/NumberingChoice.h"
#include "platform/TextSet.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

FormatMenu::FormatMenu(QMenu *format) : QObject(format), m_menu(format)
{
    Left1 = item("Left1", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_L), true);
    Center1 = item("Center1", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_C), true);
    Right1 = item("Right1", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_R), true);
    auto *alignment = new QActionGroup(this);
    for (QAction *a : {Left1, Center1, Right1})
        alignment->addAction(a);
    Left1->setChecked(true);
    Bullet1 = item("Bullet1", QKeySequence(Qt::CTRL | Qt::Key_B), true);

    BulletFormat1 = new QMenu(format);
    BulletFormat1->setObjectName(QStringLiteral("BulletFormat1"));
    static const char *const names[] = {"N15", "N16", "N19", "N20", "N21", "N22"};
    auto *kinds = new QActionGroup(this);
    for (int i = 0; i < 6; ++i) {
        QAction *a = BulletFormat1->addAction(QString::fromUtf8(NumberingChoice::kinds().at(i).caption));
        a->setObjectName(QString::fromLatin1(names[i]));
        a->setCheckable(true);
        kinds->addAction(a);
        kindItems[i] = a;
    }
    kindItems[0]->setChecked(true);
    FormatFont1 = item("FormatFont1", {}, false);
    Paragraph1 = item("Paragraph1", {}, false);
    FProtected1 = item("FProtected1", {}, true);
    FDisabled1 = item("FDisabled1", {}, true);
    FHidden1 = item("FHidden1", {}, true);

    QAction *before = format->actions().value(0);
    format->insertActions(before, {Left1, Center1, Right1});
    format->insertSeparator(before);
    format->insertActions(before, {Bullet1});
    format->insertMenu(before, BulletFormat1);
    format->insertSeparator(before);
    format->insertActions(before, {FormatFont1, Paragraph1});
    format->insertSeparator(before);
    format->insertActions(before, {FProtected1, FDisabled1, FHidden1});
    format->insertSeparator(before);
}

QAction *FormatMenu::item(const char *name, const QKeySequence &shortcut, bool checkable)
{
    auto *a = new QAction(this);
    a->setObjectName(QString::fromLatin1(name));
    a->setCheckable(checkable);
    if (!shortcut.isEmpty()) {
        a->setShortcut(shortcut);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    }
    return a;
}

QAction *FormatMenu::kindItem(NumberingKind kind) const
{
    for (int i = 0; i < 6; ++i) {
        if (NumberingChoice::kinds().at(i).kind == kind)
            return kindItems[i];
    }
    return kindItems[0];
}

void FormatMenu::applyTexts(const TextSet &texts)
{
    const auto text = [&texts](QAction *a, int entry) { a->setText(texts.entry(entry).section(u'|', 0, 0)); };
    m_menu->setTitle(texts.entry(Txt::Format));
    text(Left1, Txt::Left);
    text(Center1, Txt::Center);
    text(Right1, Txt::Right);
    text(Bullet1, Txt::Bullet);
    BulletFormat1->setTitle(texts.entry(Txt::Bullet) + QLatin1Char(' ') + texts.entry(Txt::Format));
    text(FormatFont1, Txt::Font);
    text(Paragraph1, Txt::Paragraph);
    text(FProtected1, Txt::Protected);
    text(FDisabled1, Txt::Disabled);
    text(FHidden1, Txt::Hidden);
}
