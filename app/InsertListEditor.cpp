#include "app/InsertListEditor.h"

#include "app/Hints.h"
#include "platform/ui/Icons.h"
#include "app/InsertIni.h"
#include "platform/TextSet.h"
#include "platform/UserInteraction.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// The table with the row keys of a value list: Insert, Ctrl+Delete and Down
// on the last row.
class ValueListTable : public QTableWidget
{
public:
    using QTableWidget::QTableWidget;

    void insertRowAt(int row)
    {
        insertRow(row);
        setItem(row, 0, new QTableWidgetItem);
        setItem(row, 1, new QTableWidgetItem);
        setCurrentCell(row, qMax(0, currentColumn()));
    }

    // The text of an open cell editor goes into the table.
    void commitOpenEditor()
    {
        QWidget *editor = QApplication::focusWidget();
        if (state() == QAbstractItemView::EditingState && editor && editor != this && editor != viewport()
            && isAncestorOf(editor))
            commitData(editor);
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const int row = currentRow();
        if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
            insertRowAt(row < 0 ? rowCount() : row + 1);
            return;
        }
        if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::ControlModifier) {
            if (row >= 0)
                removeRow(row);
            return;
        }
        if (event->key() == Qt::Key_Down && event->modifiers() == Qt::NoModifier && row == rowCount() - 1) {
            insertRowAt(rowCount());
            return;
        }
        QTableWidget::keyPressEvent(event);
    }
};

// A cell can never hold a line end of its own: it would split the line.
QString cellText(const QTableWidget *table, int row, int column)
{
    static const QRegularExpression lineEnds(QStringLiteral("[\\r\\n\\x{2028}\\x{2029}]+"));
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text().replace(lineEnds, QStringLiteral(" ")) : QString();
}

} // namespace

InsertListEditor::InsertListEditor(UserInteraction &ui, QWidget *parent)
    : QWidget(parent), m_ui(ui), m_toolBar(new QToolBar(this)), m_table(new ValueListTable(0, 2, this))
{
    setObjectName(QStringLiteral("Panel7"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_toolBar->setObjectName(QStringLiteral("ToolBar2"));
    m_toolBar->setIconSize(QSize(16, 16));
    m_reload = m_toolBar->addAction(Icons::get(QStringLiteral("view-refresh")), QString(), this,
                                    &InsertListEditor::loadFile);
    m_reload->setObjectName(QStringLiteral("ToolButton17"));
    m_save = m_toolBar->addAction(Icons::get(QStringLiteral("document-save")), QString(), this,
                                  [this] { saveFile(); });
    m_save->setObjectName(QStringLiteral("ToolButton19"));
    layout->addWidget(m_toolBar);

    m_table->setObjectName(QStringLiteral("ValueListEditor1"));
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setEditTriggers(QAbstractItemView::AllEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setWordWrap(false);
    m_table->setHorizontalHeaderLabels({QStringLiteral("Description"), QStringLiteral("Value")});
    layout->addWidget(m_table, 1);
}

bool InsertListEditor::hasLines() const
{
    return m_table->rowCount() > 0;
}

void InsertListEditor::loadFile()
{
    const InsertIni::FileLines file = InsertIni::readLines(m_path);
    if (!file.error.isEmpty())
        m_ui.showError(QStringLiteral("%1\r\n%2").arg(m_path, file.error), QStringLiteral("Quilmar"));
    setLines(file.lines);
    m_complete = file.complete && file.error.isEmpty();
}

void InsertListEditor::setLines(const QStringList &lines)
{
    m_table->setRowCount(0);
    m_table->setRowCount(int(lines.size()));
    QFont header = m_table->font();
    header.setBold(true);
    for (int row = 0; row < lines.size(); ++row) {
        const QString &line = lines.at(row);
        const qsizetype eq = line.indexOf(u'=');
        auto *description = new QTableWidgetItem(eq < 0 ? QString() : line.left(eq));
        auto *value = new QTableWidgetItem(eq < 0 ? line : line.mid(eq + 1));
        if (eq < 0 && line.trimmed().startsWith(u'['))
            value->setFont(header);
        m_table->setItem(row, 0, description);
        m_table->setItem(row, 1, value);
    }
    m_complete = true;
}

QStringList InsertListEditor::lines() const
{
    QStringList result;
    result.reserve(m_table->rowCount());
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const QString description = cellText(m_table, row, 0);
        const QString value = cellText(m_table, row, 1);
        // A row without a description is a line of its own: a section
        // header typed into the value column becomes a header.
        result << (description.isEmpty() ? value : description + u'=' + value);
    }
    return result;
}

bool InsertListEditor::saveFile()
{
    static_cast<ValueListTable *>(m_table)->commitOpenEditor();
    if (!m_complete
        && !m_ui.askWarningYesNo(QStringLiteral("%1 could be read only in part. Saving keeps only the lines "
                                                "shown here; the rest of the file is lost.\r\nSave anyway?")
                                     .arg(m_path),
                                 QStringLiteral("Quilmar")))
        return false;
    QString error;
    if (!InsertIni::writeLines(m_path, lines(), &error)) {
        m_ui.showError(QStringLiteral("%1 could not be saved:\r\n%2").arg(m_path, error), QStringLiteral("Quilmar"));
        return false;
    }
    m_complete = true;
    emit saved();
    return true;
}

void InsertListEditor::applyTexts(const TextSet &set)
{
    m_table->setHorizontalHeaderLabels({set.line(TextSet::DescriptionTitle), set.line(TextSet::ValueTitle)});
    Hints::set(m_reload, set.line(TextSet::ReloadInsertIniHint));
    Hints::set(m_save, set.line(TextSet::SaveInsertIniHint));
}
