#include "app/InsertSidebar.h"

#include "app/Hints.h"
#include "platform/ui/Icons.h"
#include "app/InsertListEditor.h"
#include "document/ui/MDIEdit.h"
#include "document/ui/TRichTextEdit.h"
#include "platform/TextSet.h"

#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QStackedWidget>
#include <QTextCursor>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int Panel6Height = 25;
constexpr int DescriptionRole = Qt::UserRole;

// Pieces sort in the user's text order, not by character codes.
class PieceItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;

    bool operator<(const QTreeWidgetItem &other) const override
    {
        return text(0).localeAwareCompare(other.text(0)) < 0;
    }
};

} // namespace

InsertSidebar::InsertSidebar(UserInteraction &ui, QWidget *parent)
    : QWidget(parent), m_editButton(new QToolButton), m_comboBox(new QComboBox), m_stack(new QStackedWidget),
      m_list(new QTreeWidget), m_editor(new InsertListEditor(ui))
{
    setObjectName(QStringLiteral("Panel5"));
    setMinimumWidth(5);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *panel6 = new QWidget(this);
    panel6->setObjectName(QStringLiteral("Panel6"));
    panel6->setFixedHeight(Panel6Height);
    auto *top = new QHBoxLayout(panel6);
    // 2 + button 23 + 2 + 2: the section box is the panel's width less 29.
    top->setContentsMargins(2, 1, 2, 1);
    top->setSpacing(2);
    m_editButton->setObjectName(QStringLiteral("SpeedButton9"));
    m_editButton->setCheckable(true);
    m_editButton->setAutoRaise(true);
    m_editButton->setFixedSize(23, 23);
    m_editButton->setIcon(Icons::get(QStringLiteral("document-edit")));
    connect(m_editButton, &QToolButton::toggled, this, &InsertSidebar::SpeedButton9Click);
    top->addWidget(m_editButton);
    m_comboBox->setObjectName(QStringLiteral("InsertComboBox"));
    m_comboBox->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_comboBox->setMinimumWidth(0);
    connect(m_comboBox, &QComboBox::currentIndexChanged, this, &InsertSidebar::InsertComboBoxChange);
    top->addWidget(m_comboBox, 1);
    layout->addWidget(panel6);

    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setColumnCount(1);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setMouseTracking(true);
    // One column as wide as the list; long pieces are cut short with "…".
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->header()->setStretchLastSection(true);
    m_list->header()->setSectionsClickable(true);
    m_list->setHeaderLabels({QString()});
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &InsertSidebar::ListView1SelectItem);
    connect(m_list->header(), &QHeaderView::sectionClicked, this, &InsertSidebar::ListView1ColumnClick);
    connect(m_list, &QTreeWidget::itemEntered, this, [this] { m_list->viewport()->setCursor(Qt::PointingHandCursor); });
    connect(m_list, &QTreeWidget::viewportEntered, this, [this] { m_list->viewport()->unsetCursor(); });
    m_list->viewport()->installEventFilter(this);

    connect(m_editor, &InsertListEditor::saved, this, &InsertSidebar::afterSave);
    m_stack->addWidget(m_list);
    m_stack->addWidget(m_editor);
    layout->addWidget(m_stack, 1);
}

void InsertSidebar::open(const QString &path)
{
    m_path = path;
    m_editor->setFilePath(path);
    m_ini.load(path);
    fillSectionBox();
}

void InsertSidebar::fillSectionBox()
{
    const QSignalBlocker blocker(m_comboBox);
    m_comboBox->clear();
    m_comboBox->addItems(m_ini.sections());
    m_comboBox->setCurrentIndex(-1);
}

void InsertSidebar::showSection(const QString &name)
{
    int index = m_comboBox->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0 && m_comboBox->count() > 0)
        index = 0;
    {
        const QSignalBlocker blocker(m_comboBox);
        m_comboBox->setCurrentIndex(index);
    }
    InsertComboBoxChange();
}

QString InsertSidebar::currentSection() const
{
    return m_comboBox->currentText();
}

void InsertSidebar::InsertComboBoxChange()
{
    const QString section = m_comboBox->currentIndex() >= 0 ? m_comboBox->currentText() : QString();
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    m_list->setHeaderLabels({section});
    // File order; turning sorting off also makes the header unclickable.
    m_list->setSortingEnabled(false);
    m_list->header()->setSortIndicatorShown(false);
    m_list->header()->setSectionsClickable(true);
    if (section.isEmpty())
        return;
    QList<QTreeWidgetItem *> items;
    for (const InsertIni::Piece &piece : m_ini.pieces(section)) {
        auto *item = new PieceItem(QStringList{piece.value});
        item->setData(0, DescriptionRole, piece.description);
        if (!piece.description.isEmpty())
            item->setToolTip(0, Qt::convertFromPlainText(piece.description, Qt::WhiteSpaceNormal));
        items << item;
    }
    m_list->addTopLevelItems(items);
}

void InsertSidebar::ListView1ColumnClick()
{
    m_list->sortItems(0, Qt::AscendingOrder);
    m_list->header()->setSortIndicator(0, Qt::AscendingOrder);
    m_list->header()->setSortIndicatorShown(true);
}

void InsertSidebar::ListView1SelectItem()
{
    const QList<QTreeWidgetItem *> selected = m_list->selectedItems();
    if (m_inserting || selected.isEmpty())
        return;
    m_inserting = true;
    const QString value = selected.first()->text(0);
    TEditForm *form = activeDocument ? activeDocument() : nullptr;
    TRichTextEdit *editor = form ? form->Editor() : nullptr;
    // Read-only documents and documents still loading take nothing.
    if (editor && !value.isEmpty() && !editor->ReadOnly() && !editor->isLoadingInBackground() && !form->Loading()) {
        // One undoable step of its own, not merged with the insertion
        // before; the caret ends behind the piece.
        QTextCursor step = editor->textCursor();
        step.beginEditBlock();
        editor->ReplaceSelectionW(value);
        step.endEditBlock();
        editor->ensureCursorVisible();
    }
    // The same piece can be chosen again at once.
    m_list->clearSelection();
    m_inserting = false;
}

void InsertSidebar::ListView1MouseUp()
{
    TEditForm *form = activeDocument ? activeDocument() : nullptr;
    if (!form)
        return;
    m_list->clearSelection();
    form->FocusEditor();
    form->UpdatePositionDisplay();
}

bool InsertSidebar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonRelease)
        ListView1MouseUp();
    return QWidget::eventFilter(watched, event);
}

void InsertSidebar::SpeedButton9Click(bool down)
{
    if (down && !m_editor->hasLines() && QFileInfo::exists(m_path))
        m_editor->loadFile();
    m_stack->setCurrentWidget(down ? static_cast<QWidget *>(m_editor) : m_list);
}

void InsertSidebar::afterSave()
{
    m_ini.load(m_path);
    fillSectionBox();
    showSection(rememberedSection ? rememberedSection() : QString());
}

void InsertSidebar::setSidebarWidth(int width)
{
    m_width = qMax(minimumWidth(), width);
}

void InsertSidebar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (isVisible())
        m_width = width();
}

void InsertSidebar::applyTexts(const TextSet &set)
{
    Hints::set(m_list, set.line(TextSet::InsertListClickHint));
    Hints::set(m_comboBox, set.line(TextSet::InsertSectionHint));
    Hints::set(m_editButton, set.line(TextSet::EditInsertIniHint));
    m_editor->applyTexts(set);
}
