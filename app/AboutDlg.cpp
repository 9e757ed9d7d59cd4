#include "AboutDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "IconArt.h"

CAboutDlg::CAboutDlg(QWidget* pParent)
    : QDialog(pParent),
      m_pIcon(new QLabel(this)),
      m_pText(new QLabel(QStringLiteral("Varkel Impedance meter"), this)),
      m_pOk(new QPushButton(QStringLiteral("OK"), this)) {
    setWindowTitle(QStringLiteral("About Varkel"));
    m_pIcon->setPixmap(QPixmap::fromImage(DrawApplicationIcon(32)));
    m_pText->setTextFormat(Qt::PlainText);
    m_pOk->setDefault(true);
    connect(m_pOk, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_pOk);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_pIcon, 0, Qt::AlignTop);
    layout->addSpacing(8);
    layout->addWidget(m_pText, 1, Qt::AlignTop);
    layout->addSpacing(16);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);  // a fixed dialog, like a modal frame
}
