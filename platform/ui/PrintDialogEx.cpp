#include "platform/ui/PrintDialogEx.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPrintEngine>
#include <QPrinter>

namespace {

// Qt keeps the print system's job options (page ranges, page set) in this
// print engine property.
const auto CupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

} // namespace

TPrintDialogEx::TPrintDialogEx(QPrinter *printer, QWidget *parent)
    : QPrintDialog(printer, parent), m_panel(new QWidget), m_comboBox(new QComboBox(m_panel))
{
    setObjectName(QStringLiteral("PrintDialog1"));
    m_panel->setObjectName(QStringLiteral("ExtendedPanel"));
    m_comboBox->setObjectName(QStringLiteral("ComboBox1"));
    m_comboBox->setMinimumWidth(180);
    auto *layout = new QHBoxLayout(m_panel);
    layout->setContentsMargins(2, 7, 2, 2);
    layout->addWidget(m_comboBox);
    layout->addStretch();
    setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintSelection
               | QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintShowPageSize);
    setMinMax(1, 9999);
    setFromTo(1, 1);
    connect(m_comboBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            m_itemIndex = index;
    });
}

void TPrintDialogEx::setComboBoxItems(const QStringList &items)
{
    const int index = m_itemIndex;
    m_comboBox->clear();
    m_comboBox->addItems(items);
    setComboBoxItemIndex(index);
}

void TPrintDialogEx::setComboBoxVisible(bool on)
{
    m_panel->setVisible(on);
}

void TPrintDialogEx::setComboBoxEnabled(bool on)
{
    m_comboBox->setEnabled(on);
}

void TPrintDialogEx::setComboBoxItemIndex(int index)
{
    m_itemIndex = index;
    m_comboBox->setCurrentIndex(index);
}

void TPrintDialogEx::showEvent(QShowEvent *event)
{
    placePanel();
    QPrintDialog::showEvent(event);
}

void TPrintDialogEx::placePanel()
{
    if (m_placed)
        return;
    m_placed = true;
    // Qt's own page set list would pick sheets after the program did.
    if (auto *pageSet = findChild<QComboBox *>(QStringLiteral("pageSetCombo"))) {
        pageSet->setCurrentIndex(0);
        pageSet->setEnabled(false);
    }
    auto *range = findChild<QGroupBox *>(QStringLiteral("gbPrintRange"));
    if (range && range->layout()) {
        range->layout()->addWidget(m_panel);
        return;
    }
    m_panel->setWindowTitle(m_comboBox->itemText(0));
    setOptionTabs({m_panel});
}

void TPrintDialogEx::takeRange(PrintRange &range, int &from, int &to)
{
    range = printRange();
    from = fromPage();
    to = toPage();
    QPrinter *p = printer();
    QStringList options = p->printEngine()->property(CupsOptionsKey).toStringList();
    for (qsizetype i = 0; i + 1 < options.size();) {
        const QString &name = options.at(i);
        if (name == QLatin1String("page-ranges") || name == QLatin1String("page-set")) {
            // Some platforms hand the range to the print system only.
            if (name == QLatin1String("page-ranges") && range == AllPages) {
                const QStringList bounds = options.at(i + 1).section(u',', 0, 0).split(u'-');
                bool ok1 = false, ok2 = false;
                const int f = bounds.value(0).toInt(&ok1);
                const int t = bounds.size() > 1 ? bounds.value(1).toInt(&ok2) : f;
                if (ok1 && (bounds.size() == 1 || ok2)) {
                    range = PageRange;
                    from = f;
                    to = t;
                }
            }
            options.remove(i, 2);
        } else {
            i += 2;
        }
    }
    p->printEngine()->setProperty(CupsOptionsKey, options);
    p->setPrintRange(QPrinter::AllPages);
    p->setPageRanges(QPageRanges());
}
