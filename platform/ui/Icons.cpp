#include "platform/ui/Icons.h"

#include <QApplication>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>

namespace Icons {
namespace {

QStyle::StandardPixmap standardFor(const QString &name)
{
    static const QHash<QString, QStyle::StandardPixmap> map = {
        {QStringLiteral("document-new"), QStyle::SP_FileIcon},
        {QStringLiteral("document-open"), QStyle::SP_DialogOpenButton},
        {QStringLiteral("document-save"), QStyle::SP_DialogSaveButton},
        {QStringLiteral("document-save-as"), QStyle::SP_DialogSaveButton},
        {QStringLiteral("window-close"), QStyle::SP_DialogCloseButton},
        {QStringLiteral("application-exit"), QStyle::SP_DialogCloseButton},
        {QStringLiteral("help-contents"), QStyle::SP_DialogHelpButton},
        {QStringLiteral("go-down"), QStyle::SP_ArrowDown},
        {QStringLiteral("go-jump"), QStyle::SP_ArrowRight},
        {QStringLiteral("edit-delete"), QStyle::SP_TrashIcon},
        {QStringLiteral("view-refresh"), QStyle::SP_BrowserReload},
        {QStringLiteral("folder"), QStyle::SP_DirIcon},
    };
    return map.value(name, QStyle::SP_CustomBase);
}

// A letter on a rounded tile for the icons no style has.
QIcon drawn(const QString &name)
{
    static const QHash<QString, QPair<QString, QColor>> glyphs = {
        {QStringLiteral("edit-cut"), {QStringLiteral("\u2702"), QColor(0x80, 0x30, 0x30)}},
        {QStringLiteral("edit-copy"), {QStringLiteral("\u2750"), QColor(0x30, 0x50, 0x90)}},
        {QStringLiteral("edit-paste"), {QStringLiteral("\u2398"), QColor(0x60, 0x50, 0x20)}},
        {QStringLiteral("edit-undo"), {QStringLiteral("\u21B6"), QColor(0x20, 0x60, 0x20)}},
        {QStringLiteral("edit-redo"), {QStringLiteral("\u21B7"), QColor(0x20, 0x60, 0x20)}},
        {QStringLiteral("edit-find"), {QStringLiteral("\u2315"), QColor(0x30, 0x30, 0x30)}},
        {QStringLiteral("edit-find-replace"), {QStringLiteral("\u21C4"), QColor(0x30, 0x30, 0x30)}},
        {QStringLiteral("document-save-all"), {QStringLiteral("\u21A7"), QColor(0x20, 0x40, 0x80)}},
        {QStringLiteral("tools-check-spelling"), {QStringLiteral("\u2713"), QColor(0x20, 0x70, 0x20)}},
        {QStringLiteral("text-html"), {QStringLiteral("<>"), QColor(0x70, 0x30, 0x70)}},
        {QStringLiteral("applications-other"), {QStringLiteral("\u25A2"), QColor(0x50, 0x50, 0x50)}},
        {QStringLiteral("insert-image"), {QStringLiteral("\u25A3"), QColor(0x30, 0x60, 0x60)}},
        {QStringLiteral("edit-select-all"), {QStringLiteral("\u2B1A"), QColor(0x40, 0x40, 0x40)}},
        {QStringLiteral("bookmark"), {QStringLiteral("\u2691"), QColor(0x90, 0x20, 0x20)}},
        {QStringLiteral("list-add"), {QStringLiteral("+"), QColor(0x50, 0x50, 0x50)}},
        {QStringLiteral("document-edit"), {QStringLiteral("\u270E"), QColor(0x20, 0x50, 0x90)}},
        {QStringLiteral("emblem-default"), {QStringLiteral("\u2714"), QColor(0x20, 0x70, 0x20)}},
        {QStringLiteral("emblem-unreadable"), {QStringLiteral("\u2716"), QColor(0x80, 0x30, 0x30)}},
        {QStringLiteral("document-print"), {QStringLiteral("\u2399"), QColor(0x30, 0x30, 0x30)}},
        {QStringLiteral("document-page-setup"), {QStringLiteral("\u25A4"), QColor(0x30, 0x50, 0x90)}},
        {QStringLiteral("zoom-in"), {QStringLiteral("\u2295"), QColor(0x30, 0x30, 0x30)}},
        {QStringLiteral("zoom-out"), {QStringLiteral("\u2296"), QColor(0x30, 0x30, 0x30)}},
        {QStringLiteral("zoom-fit-width"), {QStringLiteral("\u2194"), QColor(0x30, 0x30, 0x30)}},
        {QStringLiteral("zoom-fit-best"), {QStringLiteral("\u25A1"), QColor(0x30, 0x30, 0x30)}},
        {QStringLiteral("view-sort-ascending"), {QStringLiteral("A\u2193"), QColor(0x20, 0x50, 0x90)}},
        {QStringLiteral("view-sort-descending"), {QStringLiteral("Z\u2193"), QColor(0x20, 0x50, 0x90)}},
        {QStringLiteral("insert-page-number"), {QStringLiteral("#"), QColor(0x40, 0x40, 0x40)}},
        {QStringLiteral("insert-page-break"), {QStringLiteral("\u21A1"), QColor(0x40, 0x40, 0x40)}},
        {QStringLiteral("edit-column"), {QStringLiteral("\u2551"), QColor(0x30, 0x60, 0x60)}},
        {QStringLiteral("insert-space"), {QStringLiteral("\u2423"), QColor(0x30, 0x60, 0x60)}},
    };
    const auto it = glyphs.find(name);
    if (it == glyphs.end())
        return QIcon();
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font = QApplication::font();
    font.setPixelSize(it->first.size() > 1 ? 16 : 24);
    font.setBold(true);
    p.setFont(font);
    p.setPen(it->second);
    p.drawText(pixmap.rect(), Qt::AlignCenter, it->first);
    return QIcon(pixmap);
}

} // namespace

QIcon get(const QString &themeName)
{
    static QHash<QString, QIcon> cache;
    const auto cached = cache.constFind(themeName);
    if (cached != cache.cend())
        return *cached;
    QIcon icon = QIcon::fromTheme(themeName);
    if (icon.isNull()) {
        const QStyle::StandardPixmap sp = standardFor(themeName);
        if (sp != QStyle::SP_CustomBase)
            icon = QApplication::style()->standardIcon(sp);
    }
    if (icon.isNull())
        icon = drawn(themeName);
    cache.insert(themeName, icon);
    return icon;
}

QIcon application()
{
    // Drawn sizes first: they need no SVG support at run time.
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/quilmar/icons/%1.png").arg(size), QSize(size, size));
    icon.addFile(QStringLiteral(":/quilmar/icons/org.quilmar.Quilmar.svg"));
    return icon;
}

} // namespace Icons
