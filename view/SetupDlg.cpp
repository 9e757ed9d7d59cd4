#include "SetupDlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "UiPrompts.h"
#include "measure/IntervalInput.h"
#include "platform/desktop/MessageBoxes.h"

CSetupDlg::CSetupDlg(QWidget* pParent)
    : QDialog(pParent),
      m_pPortList(new QComboBox(this)),
      m_pIntervalEdit(new QLineEdit(this)),
      m_pOk(new QPushButton(QStringLiteral("OK"), this)),
      m_pCancel(new QPushButton(QStringLiteral("Cancel"), this)),
      m_pfnShowMessage([this](const QString& text) {
          ShowWarningBox(this, QString::fromLatin1(kAppName), text, QString());
      }) {
    setWindowTitle(QStringLiteral("Setup"));
    m_pPortList->addItems({"COM1", "COM2", "COM3", "COM4"});
    m_pPortList->setEditable(false);
    m_pPortList->setCurrentIndex(m_nPort);
    m_pIntervalEdit->setText(QString::number(m_nInterval));
    m_pOk->setDefault(true);
    m_pOk->setAutoDefault(true);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Communication port"), this), 0, 0);
    fields->addWidget(m_pPortList, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("Sampling interval"), this), 1, 0);
    fields->addWidget(m_pIntervalEdit, 1, 1);
    fields->addWidget(new QLabel(QStringLiteral("s"), this), 1, 2);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_pOk);
    buttons->addWidget(m_pCancel);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(16);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);  // a fixed dialog, like a modal frame

    // OK, Cancel, the port list, the interval field: the order a keyboard user tabs through.
    setTabOrder(m_pOk, m_pCancel);
    setTabOrder(m_pCancel, m_pPortList);
    setTabOrder(m_pPortList, m_pIntervalEdit);

    connect(m_pOk, &QPushButton::clicked, this, &CSetupDlg::accept);
    connect(m_pCancel, &QPushButton::clicked, this, &CSetupDlg::reject);
}

void CSetupDlg::accept() {
    const IntervalCheck check = CheckIntervalText(m_pIntervalEdit->text().toStdString());
    if (!check.ok) {
        m_pfnShowMessage(QString::fromStdString(check.message));
        m_pIntervalEdit->setFocus(Qt::OtherFocusReason);
        m_pIntervalEdit->selectAll();
        return;
    }
    m_nPort = m_pPortList->currentIndex();
    m_nInterval = check.value;
    QDialog::accept();
}
